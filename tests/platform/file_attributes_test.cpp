#include "platform/file_attributes.h"

#include <gtest/gtest.h>
#include <cerrno>

#include "platform/file_error.h"

namespace kestrel::platform {
namespace {

using namespace std::string_view_literals;

TEST(FileAttributes, DosAttributeIsReadFromItsHexTextOnly) {
    const std::pair<std::string_view, std::optional<int>> rows[] = {
        {"0x20", kAttrArchive},
        {"0x22\0"sv, kAttrArchive | kAttrHidden},
        {"0X7", kAttrReadOnly | kAttrHidden | kAttrSystem},
        {"0x10", 0},  // the folder bit comes from the host, never from here
        {"0x", std::nullopt},
        {"32", std::nullopt},
        {"0x20 ", std::nullopt},
        {"\0\0\x03\0"sv, std::nullopt},
    };
    for (const auto& [value, bits] : rows) {
        SCOPED_TRACE(std::string(value));
        EXPECT_EQ(ParseDosAttributes(value), bits);
    }
}

TEST(FileAttributes, DosBitsAddHiddenAndSystemAndDecideArchive) {
    struct stat file {};
    file.st_mode = S_IFREG | 0644;
    struct stat folder {};
    folder.st_mode = S_IFDIR | 0555;
    const std::tuple<const char*, const struct stat*, std::optional<int>, int> rows[] = {
        {"a.txt", &file, std::nullopt, kAttrArchive},
        {"a.txt", &file, kAttrHidden, kAttrHidden},
        {"a.txt", &file, kAttrSystem | kAttrArchive, kAttrSystem | kAttrArchive},
        {".a", &file, 0, kAttrHidden},
        {"d", &folder, std::nullopt, kAttrFolder | kAttrReadOnly},
        {"d", &folder, kAttrArchive, kAttrFolder | kAttrReadOnly | kAttrArchive},
        {"..", &folder, std::nullopt, kAttrFolder | kAttrReadOnly},
    };
    for (const auto& [name, info, dos, attributes] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(AttributesOf(name, *info, dos), attributes);
    }
}

TEST(FileAttributes, HostNamesThatProgramTextCannotHoldGetQuestionMarks) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        {"plain.txt", "plain.txt"},
        {"caf\xC3\xA9.txt", "caf\xC3\xA9.txt"},
        {"bad\xFF.txt", "bad?.txt"},
        {"cut\xE2\x82", "cut??"},
        {"a\\b", "a?b"},
        {"\xFF\\", "??"},
    };
    for (const auto& [host, program] : rows) {
        SCOPED_TRACE(std::string(program));
        EXPECT_EQ(ProgramNameFromHost(host), program);
    }
}

TEST(FileError, ErrnoMapsToTheNearestNumberedError) {
    const std::tuple<int, bool, int> rows[] = {
        {0, true, 0},          {ENOENT, true, 53},       {ENOENT, false, 76}, {EEXIST, true, 58},
        {ENOTEMPTY, true, 58}, {EACCES, true, 70},       {EPERM, true, 70},   {ENOSPC, true, 61},
        {EIO, true, 57},       {ENAMETOOLONG, true, 52}, {EXDEV, true, 75},   {EISDIR, false, 75},
        {EROFS, true, 70},     {EDQUOT, true, 61},
    };
    for (const auto& [errnoValue, parentExists, number] : rows) {
        SCOPED_TRACE(errnoValue);
        const FileError error = FileErrorFromErrno(errnoValue, parentExists);
        EXPECT_EQ(error.number, number);
        EXPECT_EQ(error.Ok(), number == 0);
        EXPECT_EQ(error.description, FileErrorText(number));
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
