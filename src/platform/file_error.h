#pragma once

#include <string>
#include <string_view>

// The file layer reports failures as the numbered errors the rest of the
// program shows to the user; number 0 means success.
namespace kestrel::platform {

inline constexpr int kBadFileName = 52;
inline constexpr int kFileNotFound = 53;
inline constexpr int kDeviceIoError = 57;
inline constexpr int kFileAlreadyExists = 58;
inline constexpr int kDiskFull = 61;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccessError = 75;
inline constexpr int kPathNotFound = 76;

struct FileError {
    int number = 0;
    /// In the user's language: a description is shown, never written to a file.
    std::string description;

    bool Ok() const { return number == 0; }
    /// The error with its standard text in the user's language; an unknown
    /// number gets an empty text.
    static FileError Make(int number);
};

/// The standard text of an error number ("File not found" for 53), in English.
std::string_view FileErrorText(int number);

/// "Error 53 (File not found)": how the program's boxes name a failure, in
/// the user's language.
std::string DescribeError(const FileError& error);

/// "Error 53: File not found": how reports on standard error and a few boxes
/// name a failure, in the user's language.
std::string NumberedError(const FileError& error);

/// Maps an errno value to the nearest error. ENOENT is told apart by whether
/// the parent folder of the missing path exists: 53 when it does, 76 when not.
FileError FileErrorFromErrno(int errnoValue, bool parentFolderExists);

}  // namespace kestrel::platform
