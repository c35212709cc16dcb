#include "ui/named_combo_box_accessible.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

namespace kestrel::ui {
namespace {

class NamedComboBoxAccessible : public QAccessibleWidget {
  public:
    explicit NamedComboBoxAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox) {
        addControllingSignal(QStringLiteral("currentIndexChanged(int)"));
    }

    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Value) {
            return Combo()->isEditable() ? Combo()->lineEdit()->text() : Combo()->currentText();
        }
        return QAccessibleWidget::text(which);
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            Combo()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

  private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

// Asked while the box is still being built, before its name is set, so
// every combo box gets this interface; one without a name of its own is
// named by its label as any other control.
QAccessibleInterface* NamedComboBoxFactory(const QString&, QObject* object) {
    auto* combo = qobject_cast<QComboBox*>(object);
    return combo != nullptr ? new NamedComboBoxAccessible(combo) : nullptr;
}

}  // namespace

void UseNamedComboBoxAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&NamedComboBoxFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace kestrel::ui
