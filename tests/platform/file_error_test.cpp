#include "platform/file_error.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace kestrel::platform {
namespace {

TEST(FileError, ErrnoMapsToTheNearestNumberedError) {
    struct Row {
        int errnoValue;
        bool parentExists;
        int number;
    };
    const Row rows[] = {
        {0, true, 0},          {ENOENT, true, 53},       {ENOENT, false, 76}, {EEXIST, true, 58},
        {ENOTEMPTY, true, 58}, {EACCES, true, 70},       {EPERM, true, 70},   {ENOSPC, true, 61},
        {EIO, true, 57},       {ENAMETOOLONG, true, 52}, {EXDEV, true, 75},   {EISDIR, false, 75},
        {EROFS, true, 70},     {EDQUOT, true, 61},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.errnoValue);
        const FileError error = FileErrorFromErrno(row.errnoValue, row.parentExists);
        EXPECT_EQ(error.number, row.number);
        EXPECT_EQ(error.Ok(), row.number == 0);
        EXPECT_EQ(error.description, FileErrorText(row.number));
    }
}

TEST(FileError, NumbersCarryTheirStandardTexts) {
    EXPECT_EQ(FileError::Make(52).description, "Bad file name or number");
    EXPECT_EQ(FileError::Make(53).description, "File not found");
    EXPECT_EQ(FileError::Make(57).description, "Device I/O error");
    EXPECT_EQ(FileError::Make(58).description, "File already exists");
    EXPECT_EQ(FileError::Make(61).description, "Disk full");
    EXPECT_EQ(FileError::Make(70).description, "Permission denied");
    EXPECT_EQ(FileError::Make(75).description, "Path/File access error");
    EXPECT_EQ(FileError::Make(76).description, "Path not found");
    EXPECT_FALSE(FileError::Make(76).Ok());
}

}  // namespace
}  // namespace kestrel::platform
