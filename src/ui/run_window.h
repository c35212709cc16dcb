#pragma once

#include <string_view>

#include "app/application.h"

namespace kestrel::ui {

/// The program in window mode: start-up with the splash window, the main
/// window until the user closes it, then shutdown. Returns the exit status.
/// With KESTREL_DEMO=1 in the environment the window opens on a fresh folder
/// of sample files, with settings of its own, both removed at the end.
int RunWindow(int argc, char** argv, std::string_view commandLine, const app::ProgramPlace& place);

}  // namespace kestrel::ui
