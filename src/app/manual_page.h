#pragma once

#include <string>

// The manual page kestrel(1), in roff. Its parameter list comes from the same
// table as --help, so the two cannot drift apart.
namespace kestrel::app {

std::string ManualPage();

}  // namespace kestrel::app
