#include "platform/path_tools.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/forwarding_file_system.h"
#include "support/temp_drive.h"
#include "text/unicode_text.h"

namespace kestrel::platform {
namespace {

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

TEST(MakeFolderTree, CreatesEachMissingFolderBeforeABackslashButNeverTheLastPart) {
    TempDrive drive;
    drive.MakeFolder("A");
    RecordingFileSystem fileSystem(drive.FileSystem());

    MakeFolderTree(fileSystem, "T:\\A\\B\\C\\x.txt");

    EXPECT_EQ(fileSystem.made, (std::vector<std::string>{"T:\\A\\B", "T:\\A\\B\\C"}));
    EXPECT_TRUE(drive.FileSystem().IsFolder("T:\\A\\B\\C"));
    EXPECT_FALSE(drive.Exists("A\\B\\C\\x.txt"));
}

TEST(MakeFolderTree, CreatesBothLevelsAndSkipsTheDriveRoot) {
    TempDrive drive;
    RecordingFileSystem fileSystem(drive.FileSystem());

    MakeFolderTree(fileSystem, "T:\\A\\B\\x.txt");
    MakeFolderTree(fileSystem, "T:\\top.txt");

    EXPECT_EQ(fileSystem.made, (std::vector<std::string>{"T:\\A", "T:\\A\\B"}));
    EXPECT_FALSE(drive.Exists("top.txt"));
}

TEST(PathExists, FindsFilesAndFoldersWithOrWithoutTrailingBackslash) {
    TempDrive drive;
    drive.WriteFile("Photos\\a.jpg", "");
    struct Row {
        const char* path;
        bool exists;
    };
    const Row rows[] = {
        {"T:\\Photos\\a.jpg", true}, {"T:\\Photos", true},
        {"T:\\Photos\\", true},      {"T:\\", true},
        {"T:\\none", false},         {"T:\\Photos\\none\\", false},
        {"Q:\\Photos", false},       {"", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(PathExists(drive.FileSystem(), row.path), row.exists);
    }
}

TEST(ExpandPathName, RestoresStoredLetterCaseOfEachComponent) {
    TempDrive drive;
    drive.WriteFile("Photos\\2001\\Beach.JPG", "");
    drive.MakeFolder("Case");
    drive.MakeFolder("CASE");
    drive.MakeFolder("case");
    struct Row {
        const char* typed;
        const char* expanded;
    };
    const Row rows[] = {
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        EXPECT_EQ(ExpandPathName(drive.FileSystem(), row.typed), row.expanded);
    }
}

TEST(ExpandPathName, FindsHostFoldersTypedInCapitalsOnTheRootDrive) {
    TempDrive drive;
    drive.MakeFolder("Photos");
    std::string program = "C:" + drive.HostPath("Photos");
    std::replace(program.begin(), program.end(), '/', '\\');

    EXPECT_EQ(ExpandPathName(drive.FileSystem(), text::ToUpper(program)), program);
}

}  // namespace
}  // namespace kestrel::platform
