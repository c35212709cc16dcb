#pragma once

#include <string>
#include <string_view>

// The version file on the maker's site, and what it says about the running
// program. It reads "OK", the release version and, when a beta is out, the
// word "beta" (in any letter case) and the beta version; each version is
// numbers separated by spaces: "OK1 0 277Beta1 0 280".
namespace kestrel::update {

/// What the version file names newer than the running program.
inline constexpr int kNewerRelease = 1;
inline constexpr int kNewerBeta = 2;

struct VersionNews {
    bool readable = false;  // the text began with "OK"
    int flags = 0;          // kNewerRelease, kNewerBeta
    std::string release;    // as shown: "1.0.277"
    std::string beta;
};

/// A dotted version as one number, its parts written one after the other:
/// "1.0.276" reads 10276, as the version file's "1 0 276" does.
double VersionNumber(std::string_view dottedVersion);

/// "Version 1.0.276 ", with its trailing space, as the About box shows it.
std::string VersionText(std::string_view dottedVersion);

/// Compares the file's versions with `current`; `force` counts every version
/// the file names as newer.
VersionNews ReadVersionFile(std::string_view text, double current, bool force);

/// "(most recent)", "(1.0.277 release version available)", "(1.0.280 beta
/// available)" or "(1.0.280 beta and 1.0.277 release available)".
std::string StatusText(const VersionNews& news);

}  // namespace kestrel::update
