#include "platform/file_attributes.h"

#include <gtest/gtest.h>
#include <cerrno>

#include "platform/file_error.h"

namespace kestrel::platform {
namespace {

using namespace std::string_view_literals;

TEST(FileAttributes, DosAttributeIsReadFromItsHexTextOnly) {
    struct Row {
        std::string_view value;
        std::optional<int> bits;
    };
    const Row rows[] = {
        {"0x20", kAttrArchive},
        {"0x22\0"sv, kAttrArchive | kAttrHidden},
        {"0X7", kAttrReadOnly | kAttrHidden | kAttrSystem},
        {"0x10", 0},  // the folder bit comes from the host, never from here
        {"0x", std::nullopt},
        {"32", std::nullopt},
        {"0x20 ", std::nullopt},
        {"\0\0\x03\0"sv, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.value));
        EXPECT_EQ(ParseDosAttributes(row.value), row.bits);
    }
}

TEST(FileAttributes, DosBitsAddHiddenAndSystemAndDecideArchive) {
    struct stat file {};
    file.st_mode = S_IFREG | 0644;
    struct stat folder {};
    folder.st_mode = S_IFDIR | 0555;
    struct Row {
        const char* name;
        const struct stat* info;
        std::optional<int> dos;
        int attributes;
    };
    const Row rows[] = {
        {"a.txt", &file, std::nullopt, kAttrArchive},
        {"a.txt", &file, kAttrHidden, kAttrHidden},
        {"a.txt", &file, kAttrSystem | kAttrArchive, kAttrSystem | kAttrArchive},
        {".a", &file, 0, kAttrHidden},
        {"d", &folder, std::nullopt, kAttrFolder | kAttrReadOnly},
        {"d", &folder, kAttrArchive, kAttrFolder | kAttrReadOnly | kAttrArchive},
        {"..", &folder, std::nullopt, kAttrFolder | kAttrReadOnly},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(AttributesOf(row.name, *row.info, row.dos), row.attributes);
    }
}

TEST(FileAttributes, HostNamesThatProgramTextCannotHoldGetQuestionMarks) {
    struct Row {
        std::string_view host;
        std::string_view program;
    };
    const Row rows[] = {
        {"plain.txt", "plain.txt"},
        {"caf\xC3\xA9.txt", "caf\xC3\xA9.txt"},
        {"bad\xFF.txt", "bad?.txt"},
        {"cut\xE2\x82", "cut??"},
        {"a\\b", "a?b"},
        {"\xFF\\", "??"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.program));
        EXPECT_EQ(ProgramNameFromHost(row.host), row.program);
    }
}

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
