#pragma once

#include <string>
#include <string_view>

#include "platform/file_error.h"

// The building blocks of PosixFileSystem, on host paths. Those returning int
// give 0 or the errno value, for callers that act on particular failures.
namespace kestrel::platform {

/// The folder holding a host path ("/a/b/" -> "/a", "/a" -> "/", "a" -> ".").
std::string HostParentFolder(std::string_view hostPath);
/// The last component of a host path, trailing slashes ignored.
std::string HostBaseName(std::string_view hostPath);
bool IsHostFolder(const std::string& hostPath);

/// The error for an errno value that an operation on `hostPath` failed with;
/// ENOENT is 53 or 76 depending on whether the parent folder exists.
FileError ErrorAt(int errnoValue, const std::string& hostPath);

/// rename() that never replaces an existing target. Where the file system
/// refuses RENAME_NOREPLACE the same guarantee comes from link + unlink, or
/// failing that from checking for the target right before renaming.
int RenameNoReplace(const std::string& from, const std::string& to);

/// Copies a regular file to a new file (58 when `to` exists) with the source's
/// permission bits and times, flushed to disk before it returns. On failure
/// the partial target is removed.
FileError CopyFileNoReplace(const std::string& from, const std::string& to);

/// Flushes a folder's entries (a new or removed name) to disk; best effort.
void SyncFolder(const std::string& hostFolder);

/// Reads a whole regular file.
FileError ReadWholeFile(const std::string& hostPath, std::string& bytes);

/// Writes `bytes` to a new file `temporaryPath` (which must not exist), with
/// the permission bits of `modelPath` when that file exists, and flushes it.
/// On failure the temporary file is removed. EEXIST is passed back as errno so
/// the caller can try another name.
int WriteNewFile(const std::string& temporaryPath, std::string_view bytes,
                 const std::string& modelPath);

}  // namespace kestrel::platform
