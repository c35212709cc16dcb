#include "ui/dialog_controls.h"

#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kestrel::ui {

TextBoxDialog BuildTextBoxDialog(QDialog* dialog, const char* frameName, const QString& caption) {
    auto* frame = Named(new QGroupBox(caption, dialog), frameName);
    auto* box = Named(new QLineEdit(frame), "txtName");
    box->setAccessibleName(caption);
    // Long names must fit without scrolling the box at once.
    box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 60);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(box);

    QPushButton* ok = DialogButton("cmdOK", "OK", dialog);
    QPushButton* cancel = DialogButton("cmdCancel", "&Cancel", dialog);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QObject::connect(box, &QLineEdit::textChanged, ok,
                     [ok](const QString& text) { ok->setEnabled(!text.isEmpty()); });
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {box, ok};
}

}  // namespace kestrel::ui
