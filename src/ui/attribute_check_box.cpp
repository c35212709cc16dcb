#include "ui/attribute_check_box.h"

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

void AttributeCheckBox::nextCheckState() {
    if (!settingRule_) {
        SetRule(engine::NextAttributeState(Rule()));
    }
}

}  // namespace kestrel::ui
