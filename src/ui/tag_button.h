#pragma once

#include <QToolButton>
#include <array>
#include <functional>
#include <string>

#include "engine/tag_values.h"

class QLineEdit;
class QMenu;

// The small button beside an inserted or replacement text: its menu lists the
// tags, each with the value it has for the current row, and puts the one
// chosen into the text where the cursor is.
namespace kestrel::ui {

class TagButton : public QToolButton {
    Q_OBJECT
  public:
    using Values = std::function<std::array<std::string, engine::kTagCount>()>;

    /// `text` is the field the tags go into; `accessibleName` names the button
    /// for screen readers ("Tags for the insert at start text").
    TagButton(const QString& name, QLineEdit* text, const QString& accessibleName, QWidget* parent);

    /// What the menu shows beside each tag, asked each time it opens; after a
    /// tag is put in, `applied` runs as for an edit the user finished; `help`
    /// opens the manual's page on tags.
    void Connect(Values values, std::function<void()> applied, std::function<void()> help);

    QMenu* Menu() const { return menu_; }

  private:
    void FillMenu();
    void Insert(const QString& tag);

    QLineEdit* text_;
    QMenu* menu_;
    Values values_;
    std::function<void()> applied_;
    std::function<void()> help_;
};

}  // namespace kestrel::ui
