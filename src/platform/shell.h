#pragma once

#include <string_view>

namespace kestrel::platform {

/// Opens a web address or a file with the desktop's default program, without
/// waiting; false when no opener could be started.
bool OpenWithDesktop(std::string_view target);

}  // namespace kestrel::platform
