#include "ui/rename_single_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/dialog_parts.h"

namespace kestrel::ui {

RenameSingleWindow::RenameSingleWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmRenameSingle"));
    setWindowTitle(QStringLiteral("Rename Single Item"));
    setWindowModality(Qt::ApplicationModal);

    auto* frame = Named(new QGroupBox(QStringLiteral("New Name"), this), "fraNewName");
    txtName_ = Named(new QLineEdit(frame), "txtName");
    txtName_->setAccessibleName(QStringLiteral("New Name"));
    // Long names must fit without scrolling the box at once.
    txtName_->setMinimumWidth(txtName_->fontMetrics().averageCharWidth() * 60);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(txtName_);

    cmdOK_ = DialogButton("cmdOK", "OK", this);
    auto* cancel = DialogButton("cmdCancel", "&Cancel", this);
    cmdOK_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(txtName_, &QLineEdit::textChanged, this,
            [this](const QString& text) { cmdOK_->setEnabled(!text.isEmpty()); });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        // The window goes first, so that the rename's prompts stand alone.
        hide();
        if (rename_) {
            rename_(txtName_->text());
        }
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void RenameSingleWindow::Start(const QString& listText, Rename rename) {
    rename_ = std::move(rename);
    txtName_->setText(listText);
    cmdOK_->setEnabled(!listText.isEmpty());
    txtName_->selectAll();
    txtName_->setFocus(Qt::OtherFocusReason);
}

}  // namespace kestrel::ui
