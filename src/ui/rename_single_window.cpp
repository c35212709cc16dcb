#include "ui/rename_single_window.h"

#include <QLineEdit>
#include <QPushButton>

#include "ui/dialog_controls.h"
#include "ui/qt_text.h"

namespace kestrel::ui {

RenameSingleWindow::RenameSingleWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRenameSingle"));
    setWindowTitle(Tr("Rename Single Item"));
    setWindowModality(Qt::ApplicationModal);

    const TextBoxDialog parts = BuildTextBoxDialog(this, "fraNewName", Tr("New Name"));
    txtName_ = parts.box;
    cmdOK_ = parts.ok;
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        // The window goes first, so that the rename's prompts stand alone.
        hide();
        if (rename_) {
            rename_(txtName_->text());
        }
        accept();
    });
}

void RenameSingleWindow::Start(const QString& listText, Rename rename) {
    rename_ = std::move(rename);
    txtName_->setText(listText);
    cmdOK_->setEnabled(!listText.isEmpty());
    txtName_->selectAll();
    txtName_->setFocus(Qt::OtherFocusReason);
}

}  // namespace kestrel::ui
