#include "platform/drive_table.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace kestrel::platform {
namespace {

DriveTable TableWithT() {
    DriveTable table;
    EXPECT_TRUE(table.Map('t', "/srv/drive//"));
    return table;
}

TEST(DriveTable, ProgramPathsBecomeHostPathsUnderTheLetterFolder) {
    const DriveTable table = TableWithT();
    struct Row {
        const char* program;
        std::optional<std::string> host;
    };
    const Row rows[] = {
        {"T:\\Photos\\a.jpg", "/srv/drive/Photos/a.jpg"},
        {"t:\\Photos", "/srv/drive/Photos"},
        {"T:\\Photos\\", "/srv/drive/Photos/"},
        {"T:", "/srv/drive"},
        {"T:\\", "/srv/drive"},
        {"C:\\home\\me", "/home/me"},
        {"C:\\", "/"},
        {"/usr//share", "/usr/share"},
        {"Q:\\a", std::nullopt},
        {"T:a", std::nullopt},
        {"a.txt", std::nullopt},
        {"1:\\a", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.program);
        EXPECT_EQ(table.ToHostPath(row.program), row.host);
    }
}

TEST(DriveTable, TildeIsTheHomeFolder) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home != '/') {
        GTEST_SKIP() << "HOME is not an absolute folder";
    }
    EXPECT_EQ(DriveTable().ToHostPath("~/Photos"), std::string(home) + "/Photos");
}

TEST(DriveTable, HostPathsTakeTheLetterWithTheLongestFolderOnAComponentBoundary) {
    DriveTable table = TableWithT();
    struct Row {
        const char* host;
        const char* program;
    };
    const Row rows[] = {
        {"/home/me/Photos", "C:\\home\\me\\Photos"},
        {"/home/me/", "C:\\home\\me\\"},
        {"/srv/drive/a/b.txt", "T:\\a\\b.txt"},
        {"/srv/drive", "T:\\"},
        {"//srv//drive//a", "T:\\a"},
        {"/srv/drivex/a", "C:\\srv\\drivex\\a"},
        {"/", "C:\\"},
        {"relative/a", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.host);
        EXPECT_EQ(table.ToProgramPath(row.host), row.program);
    }
    table.Unmap('C');
    EXPECT_EQ(table.ToProgramPath("/home/me"), "");
    EXPECT_FALSE(table.ToHostPath("C:\\home").has_value());
}

TEST(DriveTable, MapRefusesBadLettersAndRelativeFolders) {
    DriveTable table;
    EXPECT_FALSE(table.Map('1', "/srv"));
    EXPECT_FALSE(table.Map('D', "srv/data"));
    EXPECT_FALSE(table.Map('D', ""));
    EXPECT_FALSE(table.IsMapped('D'));
    EXPECT_TRUE(table.Map('d', "/media/usb/"));
    EXPECT_EQ(table.HostFolder('D'), "/media/usb");
}

TEST(DriveTable, TypedFoldersBecomeProgramFoldersWithOneTrailingBackslash) {
    const DriveTable table = TableWithT();
    struct Row {
        const char* typed;
        const char* folder;
    };
    const Row rows[] = {
        {"/home/me/Photos", "C:\\home\\me\\Photos\\"},
        {"/srv/drive/", "T:\\"},
        {"t:\\photos", "t:\\photos\\"},
        {"T:\\Photos\\", "T:\\Photos\\"},
        {"C:", "C:\\"},
        {"", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        EXPECT_EQ(table.FolderInputToProgram(row.typed), row.folder);
    }
}

}  // namespace
}  // namespace kestrel::platform
