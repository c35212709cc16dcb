#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

// The Rename Single Item window (frmRenameSingle): one entry's new name.
// "OK" hands the typed text to the rename, which decides whether the window
// may close; "&Cancel" closes it and changes nothing.
namespace kestrel::ui {

class RenameSingleWindow : public QDialog {
    Q_OBJECT
  public:
    /// Renames to the typed text; the window closes whatever the outcome,
    /// as the user gave up on a failure or the entry has its new name.
    using Rename = std::function<void(const QString& newText)>;

    explicit RenameSingleWindow(QWidget* parent = nullptr);

    /// Fills the box with the entry's list text, ready to be edited.
    void Start(const QString& listText, Rename rename);

  private:
    QLineEdit* txtName_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    Rename rename_;
};

}  // namespace kestrel::ui
