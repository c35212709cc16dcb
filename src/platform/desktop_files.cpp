#include "platform/desktop_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/host_file_ops.h"
#include "platform/temporary_copies.h"
#include "platform/user_folders.h"

namespace kestrel::platform {
namespace {

// Bigger than any script or action list a file manager keeps.
constexpr std::size_t kMaxDesktopFileBytes = 4 * 1024 * 1024;

std::string UnderHomeUnlessSet(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/" + fallback;
}

}  // namespace

std::string UserConfigHome() {
    return UnderHomeUnlessSet("XDG_CONFIG_HOME", ".config");
}

std::string UserDataHome() {
    return UnderHomeUnlessSet("XDG_DATA_HOME", ".local/share");
}

FileError MakeHostFolders(const std::string& hostFolder) {
    for (std::size_t slash = hostFolder.find('/', 1);; slash = hostFolder.find('/', slash + 1)) {
        const std::string part = hostFolder.substr(0, slash);
        if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            return ErrorAt(errno, part);
        }
        if (slash == std::string::npos) {
            return IsHostFolder(hostFolder) ? FileError{} : FileError::Make(kPathFileAccessError);
        }
    }
}

FileError WriteHostFile(const std::string& hostPath, std::string_view bytes, unsigned mode) {
    TemporaryCopy temporary;
    if (const int error = CreateTemporaryCopy(HostParentFolder(hostPath), temporary)) {
        return ErrorAt(error, hostPath);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    int error = WriteAll(temporary.fd, bytes);
    if (error == 0 && ::fchmod(temporary.fd, static_cast<mode_t>(mode) & ~mask) != 0) {
        error = errno;
    }
    if (error == 0 && ::fdatasync(temporary.fd) != 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.path.c_str(), hostPath.c_str()) != 0) {
        error = errno;
    }
    ::close(temporary.fd);
    if (error != 0) {
        ::unlink(temporary.path.c_str());
        return ErrorAt(error, hostPath);
    }
    return {};
}

FileError ReadHostFile(const std::string& hostPath, std::string& bytes) {
    return ReadWholeFile(hostPath, bytes, kMaxDesktopFileBytes);
}

FileError RemoveHostFile(const std::string& hostPath) {
    if (::unlink(hostPath.c_str()) != 0 && errno != ENOENT) {
        return ErrorAt(errno, hostPath);
    }
    return {};
}

}  // namespace kestrel::platform
