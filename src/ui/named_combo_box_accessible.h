#pragma once

// On this desktop Qt announces a combo box by its current entry ("left",
// "Off"), and the name a screen reader needs ("Crop side") only through a
// label relation that many tools do not follow. This makes a combo box's
// accessible name (or its label) its announced name, with the current entry
// as its value.
namespace kestrel::ui {

/// Registers the accessibility factory once per process; later calls do nothing.
void UseNamedComboBoxAccessibility();

}  // namespace kestrel::ui
