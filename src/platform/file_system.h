#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_error.h"
#include "platform/folder_watch.h"

// Everything Kestrel does to files, on program paths ('T:\Photos\a.jpg').
// The commit, the listing and the file formats take a FileSystem& so that
// tests can hand them one that fails on demand. No method throws for an
// expected failure: each reports a FileError (number 0 = success).
namespace kestrel::platform {

struct DirEntry {
    std::string name;    // program text; see ProgramNameFromHost
    int attributes = 0;  // kAttr* bits
    /// A symbolic link (its attributes are those of what it points to): the
    /// listing never descends into one, so a link cannot make it loop.
    bool isLink = false;
    /// Last modification (nanoseconds since 1970) and size in bytes, when the
    /// reader was asked for them (AttributeNeeds::stamps); a folder's size is 0.
    std::int64_t modified = 0;
    std::uint64_t size = 0;
};

struct AttributesResult {
    int attributes = 0;
    FileError error;
};

/// What the Properties window shows of one entry.
struct EntryDetails {
    FileError error;
    /// The entry on this host, for the desktop's tools, which take host paths.
    std::string hostPath;
    int attributes = 0;
    bool isLink = false;
    std::uint64_t size = 0;
    /// Last modification, in seconds since 1970-01-01 UTC.
    std::int64_t modified = 0;
    /// The same, to the nanosecond, and where the entry is on its device:
    /// together they tell one file from another put in its place.
    std::int64_t modifiedNanoseconds = 0;
    std::uint64_t device = 0;
    std::uint64_t fileNumber = 0;
    /// The owner's read (4), write (2) and execute (1) permissions.
    int ownerAccess = 0;
};

/// Which marks of each entry a listing looks at. The kind of an entry and its
/// hidden mark come with its name; the read-only mark costs a metadata call
/// per entry and the stored marks an extended-attribute read, so a listing
/// asks only for what its rules use.
struct AttributeNeeds {
    bool readOnly = true;     // from the entry's permission bits
    bool storedMarks = true;  // hidden, system and archive as user.DOSATTRIB keeps them
    /// The modification time and size, for the orders that compare them.
    bool stamps = false;
};

/// Streams the entries of one folder; "." and ".." are not returned.
class FolderReader {
  public:
    virtual ~FolderReader() = default;
    /// The next entry; false at the end of the folder or when reading failed
    /// (then Error() tells why).
    virtual bool Next(DirEntry& entry) = 0;
    virtual const FileError& Error() const = 0;
    /// Marks the caller will not look at may be left out of the attributes.
    virtual void LimitAttributes(AttributeNeeds) {}
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    /// Null, with `error` set, when the folder cannot be opened.
    virtual std::unique_ptr<FolderReader> OpenFolder(std::string_view folder, FileError& error) = 0;
    /// The entry names of a folder as stored ("?" for bytes that are not
    /// UTF-8), without "." and "..", and without reading each entry's metadata.
    virtual FileError ListNames(std::string_view folder, std::vector<std::string>& names) = 0;
    /// A new, empty watch for changes in folders; null where this file system
    /// cannot tell, so that callers read a folder whenever they need its names.
    virtual std::unique_ptr<FolderWatch> WatchFolders() { return nullptr; }
    virtual AttributesResult GetAttributes(std::string_view path) = 0;
    /// A link is described by what it points to, unless it points nowhere.
    virtual EntryDetails GetDetails(std::string_view path) = 0;
    /// The entry on this host (a folder's mark ignored), for readers that
    /// open files themselves; empty when the path leads nowhere on it.
    virtual std::string HostPathOf(std::string_view path) { return GetDetails(path).hostPath; }

    /// A regular file (or a link to one) that this process may open for reading.
    virtual bool IsReadableFile(std::string_view path) = 0;
    /// A folder or a link to one.
    virtual bool IsFolder(std::string_view path) = 0;
    /// Any entry of that name, including a dangling link.
    virtual bool Exists(std::string_view path) = 0;

    /// True when both paths name one entry (the same file under two names, or
    /// one name in two spellings on a volume that ignores letter case).
    virtual bool SameEntry(std::string_view a, std::string_view b) = 0;
    /// True when both entries are on one file system, where a rename never
    /// copies. False when that cannot be told.
    virtual bool OnOneFileSystem(std::string_view, std::string_view) { return false; }
    /// True when `copy` is what Copy makes of `original`: the same bytes (or,
    /// for links, the same target text) and the same modification time.
    virtual bool IsCopyOf(std::string_view copy, std::string_view original) {
        const EntryDetails a = GetDetails(copy);
        const EntryDetails b = GetDetails(original);
        std::string bytesA;
        std::string bytesB;
        return a.error.Ok() && b.error.Ok() && a.size == b.size && a.modified == b.modified &&
               ReadFile(copy, bytesA).Ok() && ReadFile(original, bytesB).Ok() && bytesA == bytesB;
    }

    // The operations below that make a new entry refuse, with 52, a new path
    // this host cannot hold as one entry: a "/" in a program path, a "." or
    // ".." component, a zero byte, an empty name.

    /// Renames a file or folder on one file system; 58 when `to` exists.
    /// A change of letter case only succeeds also on case-insensitive volumes.
    virtual FileError Rename(std::string_view from, std::string_view to) = 0;
    /// A rename that also crosses file systems for files and symbolic links: the
    /// source is deleted only after the copy is complete and flushed. Folders
    /// and other entries that would need copying across file systems fail with 75.
    virtual FileError Move(std::string_view from, std::string_view to) = 0;
    /// Copies a regular file with its modification time and permission bits,
    /// or a symbolic link as a link; 58 when `to` exists. The copy is written
    /// under a hidden temporary name and takes its final name only when whole.
    virtual FileError Copy(std::string_view from, std::string_view to) = 0;
    /// Removes what copies into `folder` left behind when they were killed. A
    /// folder this file system last read to its end without any is passed over.
    virtual void RemoveLeftoverCopies(std::string_view folder) = 0;
    virtual FileError DeleteFile(std::string_view path) = 0;
    /// Creates one folder level.
    virtual FileError MakeFolder(std::string_view path) = 0;
    /// Removes an empty folder.
    virtual FileError RemoveFolder(std::string_view path) = 0;

    virtual FileError ReadFile(std::string_view path, std::string& bytes) = 0;
    /// Reads at most `maxBytes` + 1 bytes, so that a caller with a limit can
    /// tell a longer file from one that fits without reading all of it.
    virtual FileError ReadFileUpTo(std::string_view path, std::size_t maxBytes,
                                   std::string& bytes) {
        const FileError error = ReadFile(path, bytes);
        if (bytes.size() > maxBytes) {
            bytes.resize(maxBytes + 1);
        }
        return error;
    }
    /// Writes a whole file through a temporary file in the same folder, renamed
    /// into place when complete; unlike the other operations it replaces `path`.
    virtual FileError WriteFileReplacing(std::string_view path, std::string_view bytes) = 0;
    /// Lets everyone read and run a file its owner may also write (mode 0755),
    /// as a script needs. Where files carry no such mode, nothing is done.
    virtual FileError MakeExecutable(std::string_view) { return {}; }
};

}  // namespace kestrel::platform
