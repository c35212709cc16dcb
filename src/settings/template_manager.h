#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_store.h"
#include "text/translation.h"

// The Template Manager window's logic without the window: the list of
// templates (row i always stands for template number i), the name box, the
// frame caption and which buttons are enabled. The Qt window shows this model
// and forwards its controls' events to it.
namespace kestrel::settings {

// The rows that stand for no template of the user's, in English; the list
// shows them in the user's language.
// TRANSLATORS: this and the next two are rows of the template list that hold
// no template of the user's; keep the braces.
inline constexpr std::string_view kLastDefaultStateRow = N_("{Last default state}");
inline constexpr std::string_view kEmptyRow = N_("{Empty}");
inline constexpr std::string_view kDeletedRow = N_("{Deleted}");

/// Enabled states of the buttons that depend on the selection and the name box
/// ("Delete all" and "Close" are always enabled).
struct TemplateButtons {
    bool cmdUse = false;
    bool cmdAdd = false;
    bool cmdModify = false;
    bool cmdDelete = false;
};

class TemplateManagerModel {
  public:
    /// Saves the current options as template `number` under `name`; supplied by
    /// the caller, which holds the options.
    using SaveCallback = std::function<void(int number, const std::string& name)>;

    explicit TemplateManagerModel(SaveCallback saveTemplate);

    /// Fills the list from the store's template keys and selects row 0. Only
    /// keys named as the program writes them ("001" to "255") become rows;
    /// any other name, "000" included, is passed over (row 0 is always the
    /// default template).
    void FillTemplateList(const SettingsStore& store);

    /// The selection handler; a row outside the list is ignored.
    void Select(int row);
    /// The name box's change handler.
    void SetNameBox(std::string_view text);

    /// Saves the name box as the lowest unused template number and lists it
    /// there; false when the name box is empty or all 256 numbers are in use.
    bool Add();
    /// Saves the name box over the selected template.
    void Modify();
    /// Deletes the selected template; its row then reads "{Deleted}".
    void Delete(SettingsStore& store);
    /// Deletes every listed template, the default one included, and empties the list.
    void DeleteAll(SettingsStore& store);
    /// The template number to load for "Use", or none when no row is selected.
    std::optional<int> Use();

    const std::vector<std::string>& Rows() const { return rows_; }
    /// The selected row, -1 when none.
    int Selected() const { return selected_; }
    const std::string& NameBox() const { return nameBox_; }
    const std::string& Caption() const { return caption_; }
    const TemplateButtons& Buttons() const { return buttons_; }

  private:
    bool HasSelection() const;
    void ClearSelection();

    SaveCallback saveTemplate_;
    std::vector<std::string> rows_;
    int selected_ = -1;
    std::string nameBox_;
    std::string caption_;
    TemplateButtons buttons_;
};

}  // namespace kestrel::settings
