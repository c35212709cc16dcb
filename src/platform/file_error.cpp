#include "platform/file_error.h"

#include <cerrno>

namespace kestrel::platform {

std::string_view FileErrorText(int number) {
    switch (number) {
        case kBadFileName:
            return "Bad file name or number";
        case kFileNotFound:
            return "File not found";
        case kDeviceIoError:
            return "Device I/O error";
        case kFileAlreadyExists:
            return "File already exists";
        case kDiskFull:
            return "Disk full";
        case kPermissionDenied:
            return "Permission denied";
        case kPathFileAccessError:
            return "Path/File access error";
        case kPathNotFound:
            return "Path not found";
        default:
            return "";
    }
}

FileError FileError::Make(int number) {
    return FileError{number, std::string(FileErrorText(number))};
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
    return "Error " + std::to_string(error.number) + " (" + error.description + ")";
}

}  // namespace kestrel::platform
