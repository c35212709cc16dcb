#pragma once

#include <string>

// What Kestrel runs on, for its own system information box on desktops
// without a system information tool of their own.
namespace kestrel::platform {

struct SystemVersions {
    /// The distribution's name and the kernel, "Debian GNU/Linux 12 (bookworm), Linux 6.1.0
    /// x86_64".
    std::string operatingSystem;
    std::string icu;
    std::string sqlite;
    std::string curl;
};

SystemVersions ReadSystemVersions();

}  // namespace kestrel::platform
