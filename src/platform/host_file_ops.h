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
/// failing that from claiming the target name before renaming onto it.
int RenameNoReplace(const std::string& from, const std::string& to);

/// Copies a regular file (with its permission bits and times) or a symbolic
/// link (as a link with the same target text) to a new entry; 58 when `to`
/// exists. A file is written under a temporary name beside `to`, flushed and
/// only then moved to `to`, so `to` never holds part of it. The target folder
/// is flushed before this returns.
FileError CopyEntryNoReplace(const std::string& from, const std::string& to);

/// True when `copy` is what CopyEntryNoReplace makes of `original`: a file
/// with the same bytes, or a link with the same target text, and in both
/// cases the same modification time.
bool HostIsCopyOf(const std::string& copy, const std::string& original);

/// Writes all of `bytes` to `fd`, going on after interrupted writes; 0 or the
/// errno value.
int WriteAll(int fd, std::string_view bytes);

/// Flushes a folder's entries (a new or removed name) to disk; best effort.
void SyncFolder(const std::string& hostFolder);

/// Reads a whole regular file, or its first `limit` bytes when it is longer.
FileError ReadWholeFile(const std::string& hostPath, std::string& bytes,
                        std::size_t limit = static_cast<std::size_t>(-1));

/// Writes `bytes` to the new, empty file open as `fd`, gives it the permission
/// bits of `modelPath` when that file exists (else those of any new file), and
/// flushes it; 0 or the errno value.
int WriteNewFile(int fd, std::string_view bytes, const std::string& modelPath);

}  // namespace kestrel::platform
