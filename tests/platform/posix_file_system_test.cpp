#include "platform/posix_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/drive_table.h"
#include "platform/file_attributes.h"
#include "platform/file_error.h"
#include "platform/folder_watch.h"
#include "platform/inotify_folder_watch.h"
#include "platform/path_tools.h"
#include "support/forwarding_file_system.h"
#include "support/temp_drive.h"
#include "text/unicode_text.h"

namespace kestrel::platform {
namespace {

using namespace std::string_view_literals;

struct stat HostInfo(const std::string& hostPath) {
    struct stat info {};
    EXPECT_EQ(::lstat(hostPath.c_str(), &info), 0) << hostPath;
    return info;
}

std::string LinkText(const std::string& hostPath) {
    char buffer[256] = {};
    const ssize_t length = ::readlink(hostPath.c_str(), buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// Drive T: on the disk and, where /dev/shm is another file system, S: there.
class PosixFileSystemTest : public ::testing::Test {
  protected:
    void RequireOtherFileSystem() {
        if (!other.Valid() ||
            HostInfo(drive.HostRoot()).st_dev == HostInfo(other.HostRoot()).st_dev) {
            GTEST_SKIP() << "/dev/shm is not a separate file system writable here";
        }
        fs.Drives().Map('S', other.HostRoot());
    }

    /// Name -> attribute bits (+ 1000 for a link) of every entry the listing returns.
    std::map<std::string, int> List(const std::string& folder, AttributeNeeds needs = {}) {
        FileError error;
        std::map<std::string, int> entries;
        auto reader = fs.OpenFolder(folder, error);
        EXPECT_TRUE(error.Ok()) << error.description;
        if (reader) {
            reader->LimitAttributes(needs);
        }
        for (DirEntry entry; reader && reader->Next(entry);) {
            entries[entry.name] = entry.attributes + (entry.isLink ? 1000 : 0);
        }
        return entries;
    }

    support::TempDrive drive;
    support::TempDrive other{"/dev/shm", 'S'};
    PosixFileSystem& fs = drive.FileSystem();
};

TEST_F(PosixFileSystemTest, NothingIsEverReplaced) {
    RequireOtherFileSystem();
    drive.WriteFile("a.txt", "first");
    drive.WriteFile("b.txt", "second");
    other.WriteFile("b.txt", "other");
    const std::pair<const char*, FileError> rows[] = {
        {"rename", fs.Rename("T:\\a.txt", "T:\\b.txt")},
        {"copy", fs.Copy("T:\\a.txt", "T:\\b.txt")},
        {"move across file systems", fs.Move("T:\\a.txt", "S:\\b.txt")},
        {"copy across file systems", fs.Copy("T:\\a.txt", "S:\\b.txt")},
    };
    for (const auto& [what, error] : rows) {
        SCOPED_TRACE(what);
        EXPECT_EQ(error.number, kFileAlreadyExists);
    }
    EXPECT_EQ(drive.ReadFile("a.txt"), "first");
    EXPECT_EQ(drive.ReadFile("b.txt"), "second");
    EXPECT_EQ(other.ReadFile("b.txt"), "other");
}

TEST_F(PosixFileSystemTest, RenameMovesFoldersAndChangesLetterCaseButNotOntoAnotherLink) {
    drive.WriteFile("Old\\a.txt", "bytes");
    drive.MakeFolder("New");
    drive.WriteFile("readme.TXT", "text");
    drive.WriteFile("same", "linked");
    ASSERT_EQ(::link(drive.HostPath("same").c_str(), drive.HostPath("SAME").c_str()), 0);

    EXPECT_TRUE(fs.Rename("T:\\Old", "T:\\New\\Moved").Ok());
    EXPECT_TRUE(fs.Rename("T:\\readme.TXT", "T:\\README.txt").Ok());
    EXPECT_EQ(fs.Rename("T:\\same", "T:\\SAME").number, kFileAlreadyExists);

    EXPECT_EQ(drive.ReadFile("New\\Moved\\a.txt"), "bytes");
    EXPECT_EQ(List("T:\\"), (std::map<std::string, int>{{"New", kAttrFolder},
                                                        {"README.txt", kAttrArchive},
                                                        {"SAME", kAttrArchive},
                                                        {"same", kAttrArchive}}));
}

TEST_F(PosixFileSystemTest, CopiesAndMovesAcrossFileSystemsKeepBytesModeTimeAndLinks) {
    RequireOtherFileSystem();
    const std::string bytes(300 * 1024, 'k');  // more than one copy buffer
    drive.WriteFile("a.bin", bytes);
    ASSERT_EQ(::chmod(drive.HostPath("a.bin").c_str(), 0640), 0);
    const struct timespec times[2] = {{1'000'000'000, 0}, {1'000'000'000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, drive.HostPath("a.bin").c_str(), times, 0), 0);
    const struct stat before = HostInfo(drive.HostPath("a.bin"));

    EXPECT_TRUE(fs.Copy("T:\\a.bin", "T:\\b.bin").Ok());
    EXPECT_EQ(fs.Rename("T:\\a.bin", "S:\\c.bin").number, kPathFileAccessError);
    EXPECT_TRUE(fs.Move("T:\\a.bin", "S:\\c.bin").Ok());

    EXPECT_FALSE(drive.Exists("a.bin"));
    for (const std::string& host : {drive.HostPath("b.bin"), other.HostPath("c.bin")}) {
        SCOPED_TRACE(host);
        const struct stat after = HostInfo(host);
        EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
        EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    }
    EXPECT_EQ(drive.ReadFile("b.bin"), bytes);
    EXPECT_EQ(other.ReadFile("c.bin"), bytes);

    // Symbolic links go across as links, a dangling one too.
    ASSERT_EQ(::symlink("b.bin", drive.HostPath("moved").c_str()), 0);
    ASSERT_EQ(::symlink("../nowhere", drive.HostPath("copied").c_str()), 0);
    EXPECT_TRUE(fs.Move("T:\\moved", "S:\\moved").Ok());
    EXPECT_TRUE(fs.Copy("T:\\copied", "S:\\copied").Ok());
    EXPECT_FALSE(drive.Exists("moved"));
    EXPECT_EQ(LinkText(other.HostPath("moved")), "b.bin");
    EXPECT_EQ(LinkText(other.HostPath("copied")), "../nowhere");
    EXPECT_EQ(LinkText(drive.HostPath("copied")), "../nowhere");
}

TEST_F(PosixFileSystemTest, FailedCopiesAndMovesLeaveTheSourceAndNoPartialTarget) {
    RequireOtherFileSystem();
    drive.WriteFile("a.txt", "bytes");
    drive.MakeFolder("Folder");
    // The last column is what must not exist afterwards, on S: or T:.
    const std::tuple<FileError, int, const char*> rows[] = {
        {fs.Copy("T:\\a.txt", "T:\\Missing\\a.txt"), kPathNotFound, "T:Missing"},
        {fs.Copy("T:\\a.txt", "T:\\a.txt\\inside.txt"), kPathFileAccessError,
         "T:a.txt\\inside.txt"},
        {fs.Copy("T:\\Missing\\a.txt", "T:\\b.txt"), kPathNotFound, "T:b.txt"},
        {fs.Move("T:\\a.txt", "S:\\Missing\\a.txt"), kPathNotFound, "S:Missing"},
        {fs.Move("T:\\Folder", "S:\\Folder"), kPathFileAccessError, "S:Folder"},
    };
    for (const auto& [error, number, left] : rows) {
        SCOPED_TRACE(left);
        EXPECT_EQ(error.number, number);
        const std::string relative = std::string(left).substr(2);
        EXPECT_FALSE(left[0] == 'S' ? other.Exists(relative) : drive.Exists(relative));
    }
    EXPECT_EQ(drive.ReadFile("a.txt"), "bytes");
}

TEST_F(PosixFileSystemTest, NewNamesThisHostCannotHoldAreRefusedAndNothingIsMade) {
    drive.WriteFile("Work\\a.txt", "a");
    const std::string refused[] = {
        "T:\\Work\\t/xt",
        "T:\\Work\\..\\a.txt",
        "T:\\Work\\.\\b.txt",
        "T:\\Work\\..",
        std::string("T:\\Work\\b\0c.txt", 16),
        "/tmp/../etc/kestrel",
    };
    for (const std::string& target : refused) {
        SCOPED_TRACE(target);
        EXPECT_EQ(fs.Rename("T:\\Work\\a.txt", target).number, kBadFileName);
        EXPECT_EQ(fs.Move("T:\\Work\\a.txt", target).number, kBadFileName);
        EXPECT_EQ(fs.Copy("T:\\Work\\a.txt", target).number, kBadFileName);
        EXPECT_EQ(fs.MakeFolder(target).number, kBadFileName);
    }
    EXPECT_EQ(List("T:\\").size() + List("T:\\Work\\").size(), 2u);
    // Characters the home desktop forbids but this host allows stay usable, so
    // that names such as these can be brought back by an undo.
    EXPECT_TRUE(fs.Rename("T:\\Work\\a.txt", "T:\\Work\\12:30?.txt").Ok());
}

TEST_F(PosixFileSystemTest, LeftoverTemporaryCopiesAreHiddenAndSweptUnlessACopyHoldsThem) {
    drive.WriteFile(".kestrel-Ab12Cd.part", "half a copy");
    drive.WriteFile(".kestrel-Xy34Zw.part", "a copy in progress");
    drive.WriteFile(".kestrel-short.part", "not one of ours");
    const int live = ::open(drive.HostPath(".kestrel-Xy34Zw.part").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    EXPECT_EQ(List("T:\\"),
              (std::map<std::string, int>{{".kestrel-short.part", kAttrHidden | kAttrArchive}}));
    fs.RemoveLeftoverCopies("T:\\");

    EXPECT_FALSE(drive.Exists(".kestrel-Ab12Cd.part"));
    EXPECT_TRUE(drive.Exists(".kestrel-Xy34Zw.part"));
    EXPECT_TRUE(drive.Exists(".kestrel-short.part"));
    ::close(live);
    // A folder last read to its end without a leftover is not read again to
    // sweep it; one left after that read goes once a later read has seen it.
    List("T:\\");
    fs.RemoveLeftoverCopies("T:\\");
    EXPECT_FALSE(drive.Exists(".kestrel-Xy34Zw.part"));
    List("T:\\");
    drive.WriteFile(".kestrel-Lf56Gh.part", "killed after the read");
    fs.RemoveLeftoverCopies("T:\\");
    EXPECT_TRUE(drive.Exists(".kestrel-Lf56Gh.part"));
    List("T:\\");
    fs.RemoveLeftoverCopies("T:\\");
    EXPECT_FALSE(drive.Exists(".kestrel-Lf56Gh.part"));
}

TEST_F(PosixFileSystemTest, ListingReportsAttributeBitsLinksAndUnshowableNames) {
    drive.WriteFiles({"plain.txt", ".hidden", "locked.txt"});
    ASSERT_EQ(::chmod(drive.HostPath("locked.txt").c_str(), 0444), 0);
    drive.MakeFolder("Folder");
    ASSERT_EQ(::mkfifo(drive.HostPath("pipe").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("Folder", drive.HostPath("to-folder").c_str()), 0);
    ASSERT_EQ(::symlink("plain.txt", drive.HostPath("to-file").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", drive.HostPath("dangling").c_str()), 0);
    drive.WriteFile("bad\xFF.txt", "");
    ASSERT_EQ(::mknod((drive.HostRoot() + "/back\\slash").c_str(), S_IFREG | 0644, 0), 0);

    const std::map<std::string, int> expected = {
        {"plain.txt", kAttrArchive},
        {".hidden", kAttrHidden | kAttrArchive},
        {"locked.txt", kAttrReadOnly | kAttrArchive},
        {"Folder", kAttrFolder},
        {"pipe", kAttrSystem},
        {"to-folder", 1000 + kAttrFolder},
        {"to-file", 1000 + kAttrArchive},
        {"dangling", 1000 + kAttrSystem},
        {"bad?.txt", kAttrArchive},
        {"back?slash", kAttrArchive},
    };
    EXPECT_EQ(List("T:\\"), expected);
    // Without the read-only mark the kinds come from the folder read alone.
    std::map<std::string, int> kinds = expected;
    kinds["locked.txt"] &= ~kAttrReadOnly;
    EXPECT_EQ(List("T:\\", {false, false}), kinds);
    std::vector<std::string> names;
    EXPECT_TRUE(fs.ListNames("T:\\", names).Ok());
    EXPECT_EQ(names.size(), expected.size());
    for (const std::string& name : names) {
        EXPECT_TRUE(expected.contains(name)) << name;
    }
    // A large folder's metadata is read in batches on several threads: each
    // entry must still get its own marks, whichever thread read them.
    std::map<std::string, int> large = expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = "n" + std::to_string(i);
        drive.WriteFile(name, "");
        large[name] = kAttrArchive;
        if (i % 7 == 0) {
            ASSERT_EQ(::chmod(drive.HostPath(name).c_str(), 0444), 0);
            large[name] |= kAttrReadOnly;
        }
    }
    EXPECT_EQ(List("T:\\"), large);
}

TEST_F(PosixFileSystemTest, DosAttributeIsHonouredWhereUserAttributesExist) {
    drive.WriteFile("marked.txt", "");
    const char value[] = "0x6";  // hidden + system, archive cleared
    if (::setxattr(drive.HostPath("marked.txt").c_str(), kDosAttributeName, value, sizeof value - 1,
                   0) != 0) {
        GTEST_SKIP() << "no user extended attributes here: " << std::strerror(errno);
    }
    EXPECT_EQ(List("T:\\").at("marked.txt"), kAttrHidden | kAttrSystem);
    EXPECT_EQ(fs.GetAttributes("T:\\marked.txt").attributes, kAttrHidden | kAttrSystem);
}

TEST_F(PosixFileSystemTest, MissingFileIs53MissingFolderIs76AndReadableFileIsARegularFile) {
    drive.WriteFile("a.txt", "");
    FileError openError;
    EXPECT_EQ(fs.OpenFolder("T:\\NoFolder", openError), nullptr);
    const std::pair<FileError, int> rows[] = {
        {openError, 76},
        {fs.GetAttributes("T:\\none.txt").error, 53},
        {fs.GetAttributes("T:\\No\\a.txt").error, 76},
        {fs.Rename("T:\\a.txt", "T:\\No\\a.txt"), 76},
        {fs.DeleteFile("T:\\none.txt"), 53},
        {fs.GetAttributes("Q:\\a.txt").error, 76},  // an unmapped letter
        {fs.MakeFolder("T:\\a.txt"), 58},
        {fs.WriteFileReplacing("T:\\No\\out.txt", "x"), 76},
    };
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(rows[row].first.number, rows[row].second);
    }

    // A readable file is a regular file or a link to one; the same entry is one file.
    drive.WriteFile("b.txt", "");
    drive.MakeFolder("Folder");
    ASSERT_EQ(::mkfifo(drive.HostPath("pipe").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("a.txt", drive.HostPath("link").c_str()), 0);
    ASSERT_EQ(::link(drive.HostPath("a.txt").c_str(), drive.HostPath("A.TXT").c_str()), 0);
    const std::pair<const char*, bool> readable[] = {
        {"T:\\a.txt", true}, {"T:\\link", true},      {"T:\\Folder", false},
        {"T:\\pipe", false}, {"T:\\none.txt", false},
    };
    for (const auto& [path, expected] : readable) {
        EXPECT_EQ(fs.IsReadableFile(path), expected) << path;
    }
    EXPECT_TRUE(fs.SameEntry("T:\\a.txt", "T:\\A.TXT"));
    EXPECT_FALSE(fs.SameEntry("T:\\a.txt", "T:\\b.txt"));
    EXPECT_FALSE(fs.SameEntry("T:\\a.txt", "T:\\none.txt"));
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(drive.HostPath("b.txt").c_str(), 0200), 0);
        EXPECT_FALSE(fs.IsReadableFile("T:\\b.txt"));
    }
}

TEST_F(PosixFileSystemTest, WriteFileReplacingSwapsInTheWholeFileAndKeepsItsMode) {
    drive.WriteFile("out.txt", "old contents that are longer");
    ASSERT_EQ(::chmod(drive.HostPath("out.txt").c_str(), 0640), 0);

    EXPECT_TRUE(fs.WriteFileReplacing("T:\\out.txt", "new\r\n").Ok());
    EXPECT_TRUE(fs.WriteFileReplacing("T:\\fresh.txt", "x").Ok());

    std::string bytes;
    EXPECT_TRUE(fs.ReadFile("T:\\out.txt", bytes).Ok());
    EXPECT_EQ(bytes, "new\r\n");
    EXPECT_EQ(HostInfo(drive.HostPath("out.txt")).st_mode & 0777, 0640u);
    EXPECT_EQ(List("T:\\").size(), 2u);  // no temporary file left
}

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
        {".a", &file, 0, kAttrHidden},
        {"d", &folder, std::nullopt, kAttrFolder | kAttrReadOnly},
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
        {"a\\\xC3\xA9\\", "a?\xC3\xA9?"},
    };
    for (const auto& [host, program] : rows) {
        SCOPED_TRACE(std::string(program));
        EXPECT_EQ(ProgramNameFromHost(host), program);
    }
}

TEST(FileError, ErrnoMapsToTheNearestNumberedError) {
    const std::tuple<int, bool, int> rows[] = {
        {0, true, 0},       {ENOENT, true, 53}, {ENOENT, false, 76},      {EEXIST, true, 58},
        {EACCES, true, 70}, {ENOSPC, true, 61}, {ENAMETOOLONG, true, 52}, {EXDEV, true, 75},
    };
    for (const auto& [errnoValue, parentExists, number] : rows) {
        SCOPED_TRACE(errnoValue);
        const FileError error = FileErrorFromErrno(errnoValue, parentExists);
        EXPECT_EQ(error.number, number);
        EXPECT_EQ(error.Ok(), number == 0);
        EXPECT_EQ(error.description, FileErrorText(number));
    }
}

DriveTable TableWithT() {
    DriveTable table;
    EXPECT_TRUE(table.Map('t', "/srv/drive//"));
    return table;
}

TEST(DriveTable, ProgramPathsBecomeHostPathsUnderTheLetterFolder) {
    const DriveTable table = TableWithT();
    const std::pair<const char*, std::optional<std::string>> rows[] = {
        {"T:\\Photos\\a.jpg", "/srv/drive/Photos/a.jpg"},
        {"t:\\Photos\\", "/srv/drive/Photos/"},
        {"T:", "/srv/drive"},
        {"C:\\home\\me", "/home/me"},
        {"/usr//share", "/usr/share"},
        {"Q:\\a", std::nullopt},
        {"T:a", std::nullopt},
        {"a.txt", std::nullopt},
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

TEST(MakeFolderTree, CreatesEachMissingFolderBeforeABackslashButNeverTheLastPartNorTheRoot) {
    TempDrive drive;
    drive.MakeFolder("A");
    support::ScriptedFileSystem fileSystem(drive.FileSystem());

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
        {"T:\\Photos\\a.jpg", true},   {"T:\\Photos\\", true}, {"T:\\", true},
        {"T:\\Photos\\none\\", false}, {"Q:\\Photos", false},  {"", false},
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

std::vector<std::size_t> Changes(FolderWatch& watch) {
    std::vector<std::size_t> changed;
    watch.TakeChanges(changed);
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    return changed;
}

// Folders A (key 0), B (key 1) and C (key 2) on T:, and A once more through
// drive U: (key 3), watched before each change below.
TEST(InotifyFolderWatch, ReportsEachChangeUnderTheKeysOfItsFolders) {
    support::TempDrive drive;
    for (const char* folder : {"A", "B", "C"}) {
        drive.MakeFolder(folder);
    }
    drive.WriteFiles({"A\\a.txt", "B\\b.txt"});
    drive.FileSystem().Drives().Map('U', drive.HostPath("A"));
    const auto host = [&drive](const char* relative) { return drive.HostPath(relative); };
    struct Case {
        const char* what;
        std::function<void()> change;
        std::vector<std::size_t> reported;
        std::vector<bool> stillWatched;  // keys 0 to 3 afterwards
    } const cases[] = {
        {"nothing happens", [] {}, {}, {true, true, true, true}},
        {"a file is made",
         [&] { std::ofstream(host("B\\new.txt")); },
         {1},
         {true, true, true, true}},
        {"a file moves from one folder to another",
         [&] { std::rename(host("A\\a.txt").c_str(), host("B\\a.txt").c_str()); },
         {0, 1, 3},
         {true, true, true, true}},
        {"a folder is removed",
         [&] { ::rmdir(host("C").c_str()); },
         {2},
         {true, true, false, true}},
        {"a folder is renamed and another takes its name",
         [&] {
             std::rename(host("A").c_str(), host("A2").c_str());
             ::mkdir(host("A").c_str(), 0700);
         },
         {0, 3},
         {false, true, false, false}},
    };
    std::unique_ptr<FolderWatch> watch = drive.FileSystem().WatchFolders();
    ASSERT_TRUE(watch);
    ASSERT_TRUE(watch->Watch(0, support::TempDrive::Path("A\\\\")));
    ASSERT_TRUE(watch->Watch(1, support::TempDrive::Path("B")));
    ASSERT_TRUE(watch->Watch(2, support::TempDrive::Path("C\\")));
    ASSERT_TRUE(watch->Watch(3, "U:\\"));
    EXPECT_FALSE(watch->Watch(4, support::TempDrive::Path("missing\\")));
    EXPECT_FALSE(watch->Watch(5, support::TempDrive::Path("A\\a.txt")));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.change();
        EXPECT_EQ(Changes(*watch), c.reported);
        for (std::size_t key = 0; key < c.stillWatched.size(); ++key) {
            EXPECT_EQ(watch->StillWatched(key), c.stillWatched[key]) << "key " << key;
        }
    }
    EXPECT_FALSE(watch->StillWatched(4));
}

// A listing's watch hands its inotify instance back for the next one: the
// next watch hears nothing of the folders the last one watched, nor of what
// changed in them before it began, and its own folders as before.
TEST(InotifyFolderWatch, AnInstanceHandedBackServesTheNextWatchAfresh) {
    support::TempDrive drive;
    drive.MakeFolder("A");
    drive.MakeFolder("B");
    const auto instances = std::make_shared<InotifyInstances>();
    {
        InotifyFolderWatch first(drive.FileSystem().Drives(), instances);
        ASSERT_TRUE(first.Watch(0, support::TempDrive::Path("A\\")));
        drive.WriteFile("A\\before.txt", "");
        // Another listing's instance, made and handed back while this one runs.
        instances->Give(instances->Take());
    }
    drive.WriteFile("A\\after.txt", "");
    InotifyFolderWatch second(drive.FileSystem().Drives(), instances);
    ASSERT_TRUE(second.Watch(0, support::TempDrive::Path("B\\")));
    EXPECT_EQ(Changes(second), std::vector<std::size_t>{});
    drive.WriteFile("A\\later.txt", "");
    EXPECT_EQ(Changes(second), std::vector<std::size_t>{});
    drive.WriteFile("B\\b.txt", "");
    EXPECT_EQ(Changes(second), std::vector<std::size_t>{0});
}

// More events than the kernel queues: every watched folder counts as changed.
TEST(InotifyFolderWatch, LostEventsReportEveryWatchedFolder) {
    support::TempDrive drive;
    drive.WriteFiles({"A\\a.txt", "A\\b.txt"});
    drive.MakeFolder("B");
    std::unique_ptr<FolderWatch> watch = drive.FileSystem().WatchFolders();
    ASSERT_TRUE(watch->Watch(0, support::TempDrive::Path("A\\\\")));
    ASSERT_TRUE(watch->Watch(1, support::TempDrive::Path("B\\\\")));
    int limit = 16384;
    std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
    if (limit > 200'000) {
        GTEST_SKIP() << "the kernel queues " << limit << " events; too many to fill here";
    }
    // Two files in turn, so that no event repeats the one before it.
    const std::string files[] = {drive.HostPath("A\\a.txt"), drive.HostPath("A\\b.txt")};
    for (int i = 0; i <= limit; ++i) {
        ::chmod(files[i % 2].c_str(), (i / 2) % 2 == 0 ? 0600 : 0644);
    }
    EXPECT_EQ(Changes(*watch), (std::vector<std::size_t>{0, 1}));
    EXPECT_TRUE(watch->StillWatched(1));
}

// A network or user-space file system changes without the kernel seeing it:
// its folders are read for every pass instead of being watched.
TEST(InotifyFolderWatch, OnlyLocalFileSystemsAreWatched) {
    // ext4, tmpfs, NFS, FUSE.
    const std::pair<long, bool> types[] = {
        {0xEF53, true}, {0x01021994, true}, {0x6969, false}, {0x65735546, false}};
    for (const auto& [type, watched] : types) {
        EXPECT_EQ(IsLocalFileSystemType(type), watched) << std::hex << type;
    }
}

}  // namespace
}  // namespace kestrel::platform
