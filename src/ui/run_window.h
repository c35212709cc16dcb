#pragma once

#include <string>
#include <vector>

#include "app/application.h"
#include "settings/settings_store.h"

namespace kestrel::ui {

class MainWindow;

/// Places the main window by the start location (the saved position, the
/// centre, a corner), showing the display warning when it is due; false when
/// the user chose to exit from that warning.
bool PlaceOnScreen(MainWindow& window, int startLocation, settings::SettingsStore& store);

/// The program in window mode: start-up with the splash window, the main
/// window until the user closes it, then shutdown. Returns the exit status.
/// With KESTREL_DEMO=1 in the environment the window opens on a fresh folder
/// of sample files, with settings of its own, both removed at the end.
int RunWindow(int argc, char** argv, const std::vector<std::string>& arguments,
              const app::ProgramPlace& place);

}  // namespace kestrel::ui
