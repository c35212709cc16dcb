#pragma once

#include <QString>

namespace kestrel::ui {

/// Asks the desktop's file manager, over the session bus, to show its own
/// properties window for a host path; false when no file manager offers it
/// or it refused, so that Kestrel shows its own.
bool ShowDesktopProperties(const QString& hostPath);

}  // namespace kestrel::ui
