#pragma once

#include <QObject>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/rename_options.h"
#include "ui/option_controls.h"

class QLineEdit;

namespace kestrel::app {
class Workspace;
}

// Binds the option controls to the Workspace's RenameOptions: every change is
// written into the record at once, and the rules of each control decide what
// is refreshed: the preview for a rename option (some only while their
// operation is on), the listing for a view option. Entry fields with a range
// are checked when the user leaves them.
namespace kestrel::ui {

class OptionBinder : public QObject {
    Q_OBJECT
  public:
    struct Refreshes {
        std::function<void()> preview;  // RefreshTargetList, with the window updated
        std::function<void()> listing;  // RefreshSourceList, with the window updated
        std::function<void()> order;    // SortSourceList, with the window updated
    };

    OptionBinder(app::Workspace& workspace, const OptionControls& controls, Refreshes refreshes,
                 QObject* parent = nullptr);

    /// Sets every control from the options, with refreshes suppressed meanwhile.
    void LoadControlsFromOptions();
    /// Applies an entry field's text as leaving the field does (the checks,
    /// then the refresh its operation asks for).
    void Apply(QLineEdit* edit);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Effect { Preview, PreviewWhileOn, Listing, Order, None };
    using TextRef = std::string& (*)(engine::RenameOptions&);
    using FieldCheck = std::string (*)(const engine::RenameOptions&);
    using OperationTest = bool (*)(const engine::RenameOptions&);
    using Coupling = void (*)(engine::RenameOptions&, int);

    struct CheckField {
        QCheckBox* box;
        int engine::RenameOptions::*field;
        Effect effect;
        int engine::RenameOptions::*operation = nullptr;
        Coupling coupling = nullptr;
    };
    struct TextField {
        QLineEdit* edit;
        TextRef field;
        OperationTest operationOn;  // nullptr for the filter, a view field
        FieldCheck check = nullptr;
        bool refreshOnChange = false;
    };
    struct ComboField {
        QComboBox* combo;
        int engine::RenameOptions::*field;
        Effect effect;
        int engine::RenameOptions::*operation = nullptr;
    };

    void BuildTables();
    void Connect();
    void CheckChanged(const CheckField& field);
    void TextChanged(const TextField& field);
    /// While typing: the preview (or, for the filter, the listing) follows
    /// the field once per turn of the event loop, with a value its check
    /// accepts; a refused one waits until it passes or the field is left.
    void FollowTyping(const TextField& field);
    /// The checks and refresh of a field the user leaves; false when refused.
    bool Accept(const TextField& field);
    void Reject(QLineEdit* edit, const std::string& message);
    void ComboChosen(const ComboField& field);
    void AutonumberEdited(const QString& text);
    void Trigger(Effect effect, int engine::RenameOptions::*operation);
    void UpdateEnabledStates();
    bool Busy() const;

    app::Workspace& workspace_;
    OptionControls c_;
    Refreshes refreshes_;
    std::vector<CheckField> checks_;
    std::vector<TextField> texts_;
    std::vector<ComboField> combos_;
    /// Set while a refused field takes the focus back: other fields losing
    /// the focus meanwhile are not checked.
    bool rejecting_ = false;
    /// The field a focus loss has just accepted.
    QLineEdit* justLeft_ = nullptr;
    /// Fields whose text changed since they were last accepted.
    std::set<QLineEdit*> changedSinceAccepted_;
    /// A refresh for typing is due at the next turn of the event loop.
    bool previewDue_ = false;
    bool listingDue_ = false;
};

}  // namespace kestrel::ui
