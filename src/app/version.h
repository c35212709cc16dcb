#pragma once

#include <cstdint>
#include <string_view>

// The program's version, shown by the splash window and --version, and its
// build number, remembered in the settings to tell a first run.
namespace kestrel::app {

inline constexpr std::string_view kVersion = "1.0.276";
inline constexpr std::int32_t kBuildNumber = 276;

}  // namespace kestrel::app
