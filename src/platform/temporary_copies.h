#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>
#include <unordered_set>

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
/// `info` filled, or -1. `forWriting` opens it for reading and writing.
int OpenAbandonedFile(int folderFd, const char* name, struct stat& info, bool forWriting = false);

/// Removes the temporary copies in `hostFolder` that no running copy is writing.
void RemoveLeftoverTemporaryCopies(const std::string& hostFolder);

/// Which folders were last read to their end without a temporary copy in
/// them. Such a folder needs no sweep before a commit writes there: sweeping
/// means reading the whole folder again, which on a large folder costs as much
/// as a tenth of the renames. A leftover that turns up after that read is
/// seen by the next one, and swept by the commit after it.
class LeftoverCopyRecord {
  public:
    void NoteFolderRead(std::string_view hostFolder, bool sawTemporaryCopy);
    /// False only while the folder's last full read showed none.
    bool MayHoldLeftovers(std::string_view hostFolder) const;
    void NoteSwept(std::string_view hostFolder);

  private:
    std::unordered_set<std::string> clean_;
};

}  // namespace kestrel::platform
