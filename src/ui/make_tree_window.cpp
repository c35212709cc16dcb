#include "ui/make_tree_window.h"

#include <QLineEdit>
#include <QPushButton>

#include "ui/dialog_controls.h"
#include "ui/qt_text.h"

namespace kestrel::ui {

MakeTreeWindow::MakeTreeWindow(std::function<void(const QString& path)> create, QWidget* parent)
    : QDialog(parent), create_(std::move(create)) {
    setObjectName(QStringLiteral("frmMkTree"));
    setWindowTitle(Tr("Create New Folder"));
    setWindowModality(Qt::ApplicationModal);

    const TextBoxDialog parts = BuildTextBoxDialog(this, "fraPath", Tr("Path to create"));
    txtName_ = parts.box;
    cmdOK_ = parts.ok;
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        accept();
        create_(txtName_->text());
    });
}

void MakeTreeWindow::Start(const QString& path) {
    txtName_->clear();
    txtName_->setText(path);
    cmdOK_->setEnabled(!path.isEmpty());
    txtName_->setFocus(Qt::OtherFocusReason);
    txtName_->end(false);
}

}  // namespace kestrel::ui
