#include "ui/dialog_controls.h"

#include <QDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kestrel::ui {

OkCancelRow BuildOkCancelRow(QWidget* dialog, const char* okName, const char* okCaption,
                             const char* cancelName) {
    QPushButton* ok = DialogButton(okName, Tr(okCaption), dialog);
    QPushButton* cancel = DialogButton(cancelName, Tr("&Cancel"), dialog);
    ok->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return {ok, cancel, row};
}

TextBoxDialog BuildTextBoxDialog(QDialog* dialog, const char* frameName, const QString& caption) {
    auto* frame = Named(new QGroupBox(caption, dialog), frameName);
    auto* box = Named(new QLineEdit(frame), "txtName");
    box->setAccessibleName(caption);
    // Long names must fit without scrolling the box at once.
    box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 60);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(box);

    const OkCancelRow buttons = BuildOkCancelRow(dialog);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(frame);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QPushButton* ok = buttons.ok;
    QObject::connect(box, &QLineEdit::textChanged, ok,
                     [ok](const QString& text) { ok->setEnabled(!text.isEmpty()); });
    QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {box, ok};
}

}  // namespace kestrel::ui
