#include "ui/attribute_check_box.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

#include "engine/rename_options.h"

namespace kestrel::ui {

AttributeCheckBox::AttributeCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent) {
    setTristate(true);
}

int AttributeCheckBox::Rule() const {
    switch (checkState()) {
        case Qt::Checked:
            return engine::kAttributeSelect;
        case Qt::PartiallyChecked:
            return engine::kAttributeDontCare;
        case Qt::Unchecked:
            break;
    }
    return engine::kAttributeFilter;
}

void AttributeCheckBox::SetRule(int rule) {
    settingRule_ = true;
    switch (rule) {
        case engine::kAttributeSelect:
            setCheckState(Qt::Checked);
            break;
        case engine::kAttributeFilter:
            setCheckState(Qt::Unchecked);
            break;
        default:
            setCheckState(Qt::PartiallyChecked);
            break;
    }
    settingRule_ = false;
}

void AttributeCheckBox::paintEvent(QPaintEvent* event) {
    if (checkState() != Qt::PartiallyChecked) {
        QCheckBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_NoChange;
    option.state |= QStyle::State_Off;
    painter.drawControl(QStyle::CE_CheckBox, option);
    const QRect box = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    const int inset = std::max(3, box.width() / 4);
    const int thickness = std::max(2, box.height() / 7);
    painter.fillRect(
        QRect(box.left() + inset, box.center().y() - thickness / 2 + 1, box.width() - 2 * inset,
              thickness),
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
}

void AttributeCheckBox::nextCheckState() {
    if (!settingRule_) {
        SetRule(engine::NextAttributeState(Rule()));
    }
}

}  // namespace kestrel::ui
