#include "platform/file_error.h"

#include <cerrno>

#include "text/translation.h"

namespace kestrel::platform {

std::string_view FileErrorText(int number) {
    switch (number) {
        case kBadFileName:
            return N_("Bad file name or number");
        case kFileNotFound:
            return N_("File not found");
        case kDeviceIoError:
            return N_("Device I/O error");
        case kFileAlreadyExists:
            return N_("File already exists");
        case kDiskFull:
            return N_("Disk full");
        case kPermissionDenied:
            return N_("Permission denied");
        case kPathFileAccessError:
            return N_("Path/File access error");
        case kPathNotFound:
            return N_("Path not found");
        default:
            return "";
    }
}

FileError FileError::Make(int number) {
    // The description is shown, never stored: it is made in the user's language.
    const std::string_view english = FileErrorText(number);
    return FileError{number, english.empty() ? std::string() : text::Tr(english.data())};
}

FileError FileErrorFromErrno(int errnoValue, bool parentFolderExists) {
    switch (errnoValue) {
        case 0:
            return {};
        case ENOENT:
            return FileError::Make(parentFolderExists ? kFileNotFound : kPathNotFound);
        case EEXIST:
        case ENOTEMPTY:
            return FileError::Make(kFileAlreadyExists);
        case EACCES:
        case EPERM:
        // A read-only file system refuses every change; the user needs to hear
        // why nothing happened rather than have the entry passed over.
        case EROFS:
            return FileError::Make(kPermissionDenied);
        case ENOSPC:
        case EDQUOT:
            return FileError::Make(kDiskFull);
        case EIO:
            return FileError::Make(kDeviceIoError);
        case ENAMETOOLONG:
            return FileError::Make(kBadFileName);
        default:
            return FileError::Make(kPathFileAccessError);
    }
}

std::string DescribeError(const FileError& error) {
    // TRANSLATORS: {1} is the error's number, {2} its description ("File not found").
    return text::Fill(text::Tr("Error {1} ({2})"),
                      {std::to_string(error.number), error.description});
}

std::string NumberedError(const FileError& error) {
    // TRANSLATORS: {1} is the error's number, {2} its description ("File not found").
    return text::Fill(text::Tr("Error {1}: {2}"),
                      {std::to_string(error.number), error.description});
}

}  // namespace kestrel::platform
