#include "platform/system_versions.h"

#include <sqlite3.h>
#include <sys/utsname.h>
#include <unicode/uversion.h>

#include <fstream>
#include <string_view>

#include "platform/web_transfer.h"

namespace kestrel::platform {
namespace {

// PRETTY_NAME of os-release, where every distribution names itself.
std::string DistributionName() {
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(file);
        for (std::string line; std::getline(in, line);) {
            constexpr std::string_view kKey = "PRETTY_NAME=";
            if (line.starts_with(kKey)) {
                std::string value = line.substr(kKey.size());
                if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')) {
                    value = value.substr(1, value.size() - 2);
                }
                return value;
            }
        }
    }
    return {};
}

}  // namespace

SystemVersions ReadSystemVersions() {
    SystemVersions versions;
    versions.operatingSystem = DistributionName();
    struct utsname system {};
    if (::uname(&system) == 0) {
        versions.operatingSystem += (versions.operatingSystem.empty() ? "" : ", ") +
                                    std::string(system.sysname) + " " + system.release + " " +
                                    system.machine;
    }
    UVersionInfo icu{};
    u_getVersion(icu);
    char icuText[U_MAX_VERSION_STRING_LENGTH] = "";
    u_versionToString(icu, icuText);
    versions.icu = icuText;
    versions.sqlite = sqlite3_libversion();
    versions.curl = TransferLibraryVersion();
    return versions;
}

}  // namespace kestrel::platform
