#include "ui/make_tree_window.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/dialog_parts.h"

namespace kestrel::ui {

MakeTreeWindow::MakeTreeWindow(std::function<void(const QString& path)> create, QWidget* parent)
    : QDialog(parent), create_(std::move(create)) {
    setObjectName(QStringLiteral("frmMkTree"));
    setWindowTitle(QStringLiteral("Create New Folder"));
    setWindowModality(Qt::ApplicationModal);

    auto* frame = Named(new QGroupBox(QStringLiteral("Path to create"), this), "fraPath");
    txtName_ = Named(new QLineEdit(frame), "txtName");
    txtName_->setAccessibleName(QStringLiteral("Path to create"));
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
        accept();
        create_(txtName_->text());
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void MakeTreeWindow::Start(const QString& path) {
    txtName_->clear();
    txtName_->setText(path);
    cmdOK_->setEnabled(!path.isEmpty());
    txtName_->setFocus(Qt::OtherFocusReason);
    txtName_->end(false);
}

}  // namespace kestrel::ui
