// Every window as a screen reader or a keyboard user meets it: each control
// that can be used announces a name of its own, and Tab reaches it.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QTabWidget>
#include <typeinfo>

#include "settings_window_fixture.h"

namespace kestrel::ui {
namespace {

bool IsInteractive(QAccessible::Role role) {
    switch (role) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::EditableText:
        case QAccessible::Slider:
        case QAccessible::SpinBox:
        case QAccessible::List:
        case QAccessible::Table:
        case QAccessible::Tree:
            return true;
        default:
            return false;
    }
}

// What Qt announces for a control without a name of its own is the caption of
// the frame it sits in, or a combo box's current entry: neither says what the
// control is.
void ExpectEveryControlNamed(QWidget* window) {
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (widget->window() != window || accessible == nullptr ||
            !IsInteractive(accessible->role())) {
            continue;
        }
        SCOPED_TRACE(widget->objectName().toStdString());
        const QString name = accessible->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << typeid(*accessible).name();
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            EXPECT_NE(name, combo->currentText());
        }
        if (!widget->accessibleName().isEmpty()) {
            continue;  // a name given on purpose may repeat the frame's caption
        }
        for (QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
            if (auto* frame = qobject_cast<QGroupBox*>(up)) {
                EXPECT_NE(name, frame->title());
            }
        }
    }
}

void ExpectTabReachesEveryControl(QWidget* window) {
    std::set<QWidget*> controls;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (widget->window() == window && accessible != nullptr &&
            IsInteractive(accessible->role()) && widget->isVisible() && widget->isEnabled() &&
            widget->focusPolicy() != Qt::NoFocus && !qobject_cast<QComboBox*>(widget->parent())) {
            controls.insert(widget);
        }
    }
    std::set<QWidget*> reached;
    for (int i = 0; i < 300 && reached.size() < controls.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.insert(QApplication::focusWidget());
    }
    for (QWidget* control : controls) {
        EXPECT_TRUE(reached.count(control)) << control->objectName().toStdString();
    }
}

TEST_F(SettingsWindowTest, EveryWindowNamesEachControlAndTabReachesIt) {
    drive.WriteFile("a.txt", "");
    window->RefreshForced();
    SCOPED_TRACE("frmMain");
    ExpectEveryControlNamed(window.get());
    window->SourceList()->setFocus();
    ExpectTabReachesEveryControl(window.get());

    for (QDialog* dialog : OpenEveryDialog()) {
        SCOPED_TRACE(dialog->objectName().toStdString());
        dialog->show();
        Activate(dialog);
        ExpectEveryControlNamed(dialog);
        ExpectTabReachesEveryControl(dialog);
        dialog->hide();
    }
}

}  // namespace
}  // namespace kestrel::ui
