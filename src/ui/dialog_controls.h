#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <algorithm>
#include <initializer_list>

#include "ui/qt_text.h"

class QDialog;
class QHBoxLayout;

// Small pieces the program's dialogs are built from. Every control is named
// after its name in the design (so tests and readers find it) and carries an
// accessible name, so that a screen reader says what a sighted user reads.
namespace kestrel::ui {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

/// A push button whose accessible name is its caption without the mnemonic mark.
inline QPushButton* DialogButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    return button;
}

/// A "..." button. Its caption says nothing to a screen reader; its tooltip
/// `tip` names it.
inline QPushButton* BrowseButton(const char* name, const QString& tip, QWidget* parent) {
    QPushButton* button = DialogButton(name, QStringLiteral("..."), parent);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}

/// A label in the widget font made `pointSizeDelta` points larger, and bold when asked.
inline QLabel* ScaledLabel(const QString& text, int pointSizeDelta, bool bold, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSize(font.pointSize() + pointSizeDelta);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

/// A caption that names `field` for keyboard and screen-reader users.
inline QLabel* FieldLabel(const QString& text, QWidget* field, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(field);
    const QString name = QString(text).remove(QLatin1Char('&'));
    field->setAccessibleName(name);
    // An editable combo box's text field is what the keyboard lands in.
    if (auto* combo = qobject_cast<QComboBox*>(field); combo != nullptr && combo->lineEdit()) {
        combo->lineEdit()->setAccessibleName(name);
    }
    return label;
}

/// Keeps a widget whose text follows a value wide enough for the longest of
/// its texts, so that the window does not change size while a slider moves.
template <typename Widget>
void ReserveWidthFor(Widget* widget, std::initializer_list<QString> texts) {
    const QString current = widget->text();
    int width = 0;
    for (const QString& text : texts) {
        widget->setText(text);
        width = std::max(width, widget->sizeHint().width());
    }
    widget->setText(current);
    widget->setMinimumWidth(width);
}

/// OK and Cancel at the right end of a dialog's button row.
struct OkCancelRow {
    QPushButton* ok;
    QPushButton* cancel;
    QHBoxLayout* row;  // more buttons may go in front of the stretch
};

/// Makes OK (the default button, named `okName`, captioned `okCaption`, an
/// English caption marked with N_, in the user's language) and Cancel ("cmdCancel"
/// unless named otherwise) in a row that pushes them right.
OkCancelRow BuildOkCancelRow(QWidget* dialog, const char* okName = "cmdOK",
                             const char* okCaption = N_("OK"),
                             const char* cancelName = "cmdCancel");

/// The controls of a window that asks for one line of text.
struct TextBoxDialog {
    QLineEdit* box;
    QPushButton* ok;
};

/// Lays `dialog` out as one text box ("txtName") in a frame titled `caption`
/// (named `frameName`), above OK and Cancel at the right. The box is named
/// after the frame for screen readers and is wide enough for long names; OK is
/// the default button and is enabled only while the box holds text; Cancel
/// rejects. What OK does is the caller's.
TextBoxDialog BuildTextBoxDialog(QDialog* dialog, const char* frameName, const QString& caption);

}  // namespace kestrel::ui
