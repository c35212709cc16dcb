#include "platform/shell.h"

#include <spawn.h>

#include <string>
#include <vector>

extern char** environ;

namespace kestrel::platform {

bool OpenWithDesktop(std::string_view target) {
    std::string program = "xdg-open";
    std::string argument(target);
    std::vector<char*> argv = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    // The opener is not waited for; SIGCHLD's default disposition lets the
    // kernel keep its exit status until the program ends, which is harmless.
    return ::posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0;
}

}  // namespace kestrel::platform
