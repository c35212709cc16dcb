#include "platform/file_attributes.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kestrel::platform
