#include "platform/drive_table.h"

#include <gtest/gtest.h>
#include <algorithm>

#include "platform/path_tools.h"
#include "support/forwarding_file_system.h"
#include "support/temp_drive.h"
#include "text/unicode_text.h"

namespace kestrel::platform {
namespace {

DriveTable TableWithT() {
    DriveTable table;
    EXPECT_TRUE(table.Map('t', "/srv/drive//"));
    return table;
}

TEST(DriveTable, ProgramPathsBecomeHostPathsUnderTheLetterFolder) {
    const DriveTable table = TableWithT();
    const std::pair<const char*, std::optional<std::string>> rows[] = {
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
    for (const auto& [program, host] : rows) {
        SCOPED_TRACE(program);
        EXPECT_EQ(table.ToHostPath(program), host);
    }
}

TEST(DriveTable, TildeIsTheHomeFolder) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home != '/') {
        GTEST_SKIP() << "HOME is not an absolute folder";
    }
    EXPECT_EQ(DriveTable().ToHostPath("~/Photos"), std::string(home) + "/Photos");
}

TEST(DriveTable, HostPathsTakeTheLongestFolderOnAComponentBoundaryAndMapRefusesBadOnes) {
    DriveTable table = TableWithT();
    const std::pair<const char*, const char*> rows[] = {
        {"/home/me/Photos", "C:\\home\\me\\Photos"},
        {"/home/me/", "C:\\home\\me\\"},
        {"/srv/drive/a/b.txt", "T:\\a\\b.txt"},
        {"/srv/drive", "T:\\"},
        {"//srv//drive//a", "T:\\a"},
        {"/srv/drivex/a", "C:\\srv\\drivex\\a"},
        {"/", "C:\\"},
        {"relative/a", ""},
    };
    for (const auto& [host, program] : rows) {
        SCOPED_TRACE(host);
        EXPECT_EQ(table.ToProgramPath(host), program);
    }
    table.Unmap('C');
    EXPECT_EQ(table.ToProgramPath("/home/me"), "");
    EXPECT_FALSE(table.ToHostPath("C:\\home").has_value());

    // Map refuses bad letters and relative folders.
    EXPECT_FALSE(table.Map('1', "/srv"));
    EXPECT_FALSE(table.Map('D', "srv/data"));
    EXPECT_FALSE(table.Map('D', ""));
    EXPECT_FALSE(table.IsMapped('D'));
    EXPECT_TRUE(table.Map('d', "/media/usb/"));
    EXPECT_EQ(table.HostFolder('D'), "/media/usb");
}

TEST(DriveTable, TypedFoldersBecomeProgramFoldersWithOneTrailingBackslash) {
    const DriveTable table = TableWithT();
    const std::pair<const char*, const char*> rows[] = {
        {"/home/me/Photos", "C:\\home\\me\\Photos\\"},
        {"/srv/drive/", "T:\\"},
        {"t:\\photos", "t:\\photos\\"},
        {"T:\\Photos\\", "T:\\Photos\\"},
        {"C:", "C:\\"},
        {"", ""},
    };
    for (const auto& [typed, folder] : rows) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(table.FolderInputToProgram(typed), folder);
    }
}

using support::TempDrive;

class RecordingFileSystem : public support::ForwardingFileSystem {
  public:
    using ForwardingFileSystem::ForwardingFileSystem;
    FileError MakeFolder(std::string_view path) override {
        made.emplace_back(path);
        return ForwardingFileSystem::MakeFolder(path);
    }
    std::vector<std::string> made;
};

TEST(MakeFolderTree, CreatesEachMissingFolderBeforeABackslashButNeverTheLastPartNorTheRoot) {
    TempDrive drive;
    drive.MakeFolder("A");
    RecordingFileSystem fileSystem(drive.FileSystem());

    MakeFolderTree(fileSystem, "T:\\A\\B\\C\\x.txt");
    MakeFolderTree(fileSystem, "T:\\D\\E\\x.txt");
    MakeFolderTree(fileSystem, "T:\\top.txt");

    EXPECT_EQ(fileSystem.made,
              (std::vector<std::string>{"T:\\A\\B", "T:\\A\\B\\C", "T:\\D", "T:\\D\\E"}));
    EXPECT_TRUE(drive.FileSystem().IsFolder("T:\\A\\B\\C"));
    EXPECT_FALSE(drive.Exists("A\\B\\C\\x.txt"));
    EXPECT_FALSE(drive.Exists("top.txt"));
}

TEST(PathExists, FindsFilesAndFoldersWithOrWithoutTrailingBackslash) {
    TempDrive drive;
    drive.WriteFile("Photos\\a.jpg", "");
    const std::pair<const char*, bool> rows[] = {
        {"T:\\Photos\\a.jpg", true}, {"T:\\Photos", true},
        {"T:\\Photos\\", true},      {"T:\\", true},
        {"T:\\none", false},         {"T:\\Photos\\none\\", false},
        {"Q:\\Photos", false},       {"", false},
    };
    for (const auto& [path, exists] : rows) {
        SCOPED_TRACE(path);
        EXPECT_EQ(PathExists(drive.FileSystem(), path), exists);
    }
}

TEST(ExpandPathName, RestoresStoredLetterCaseOfEachComponentAlsoOnTheRootDrive) {
    TempDrive drive;
    drive.WriteFile("Photos\\2001\\Beach.JPG", "");
    drive.MakeFolder("Case");
    drive.MakeFolder("CASE");
    drive.MakeFolder("case");
    const std::pair<const char*, const char*> rows[] = {
        {"T:\\PHOTOS\\2001\\beach.jpg", "T:\\Photos\\2001\\Beach.JPG"},
        {"T:\\photos\\", "T:\\Photos"},
        {"T:\\CASE", "T:\\CASE"},
        {"T:\\case\\", "T:\\case"},
        {"T:\\cASE", "T:\\CASE"},
        {"T:\\Photos\\Missing\\beach.jpg", ""},
        {"T:\\Photos\\\\2001", ""},
        {"T:\\", "T:"},
        {"Photos\\2001", "Photos\\2001"},
        {"Q:\\Photos", ""},
    };
    for (const auto& [typed, expanded] : rows) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(ExpandPathName(drive.FileSystem(), typed), expanded);
    }
    // A host folder typed in capitals on the root drive.
    std::string program = "C:" + drive.HostPath("Photos");
    std::replace(program.begin(), program.end(), '/', '\\');

    EXPECT_EQ(ExpandPathName(drive.FileSystem(), text::ToUpper(program)), program);
}

}  // namespace
}  // namespace kestrel::platform
