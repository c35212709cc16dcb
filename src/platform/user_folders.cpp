#include "platform/user_folders.h"

#include <sys/stat.h>

#include <cerrno>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace kestrel::platform {
namespace {

// A variable that is set to an absolute path; the desktop's conventions
// ignore relative ones.
std::string AbsoluteEnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

// $variable/kestrel, else ~/`fallback`/kestrel.
std::string KestrelFolderUnder(const char* variable, const char* fallback) {
    if (std::string base = AbsoluteEnvironmentPath(variable); !base.empty()) {
        return base + "/kestrel";
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/" + fallback + "/kestrel";
}

}  // namespace

std::string HomeFolder() {
    if (std::string home = AbsoluteEnvironmentPath("HOME"); !home.empty()) {
        return home;
    }
    // Services and some launchers start programs without HOME.
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

std::string DefaultDataFolder() {
    return KestrelFolderUnder("XDG_DATA_HOME", ".local/share");
}

std::string DefaultStateFolder() {
    return KestrelFolderUnder("XDG_STATE_HOME", ".local/state");
}

int MakePrivateFolders(const std::string& hostFolder) {
    for (std::size_t slash = hostFolder.find('/', 1);; slash = hostFolder.find('/', slash + 1)) {
        const std::string part = hostFolder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
        if (slash == std::string::npos) {
            return 0;
        }
    }
}

}  // namespace kestrel::platform
