#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

// A copy is written under a hidden temporary name in its target folder and
// moved to its final name only when complete, so that a final name never holds
// part of a file. The temporary ('.kestrel-Ab12Cd.part') stays locked while it
// is written: one that nobody holds locked is the leftover of a copy that was
// killed, and may go.
namespace kestrel::platform {

/// True for the names copies in progress have; the listing never shows them.
bool IsTemporaryCopyName(std::string_view name);

struct TemporaryCopy {
    int fd = -1;       // open for writing and locked; the caller closes it
    std::string path;  // host path
};

/// Creates and locks a new, empty temporary copy (mode 0600) in `hostFolder`;
/// 0 or the errno value.
int CreateTemporaryCopy(const std::string& hostFolder, TemporaryCopy& copy);

/// Opens the regular file `name` in the folder open as `folderFd` and takes its
/// lock, which only succeeds when no running process holds it: the file was
/// left by one that died. The open descriptor (the caller closes it), with
/// `info` filled, or -1.
int OpenAbandonedFile(int folderFd, const char* name, struct stat& info);

/// Removes the temporary copies in `hostFolder` that no running copy is writing.
void RemoveLeftoverTemporaryCopies(const std::string& hostFolder);

}  // namespace kestrel::platform
