#include "platform/posix_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/file_attributes.h"
#include "platform/file_error.h"
#include "support/temp_drive.h"

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
    drive.WriteFile("plain.txt", "");
    drive.WriteFile(".hidden", "");
    drive.WriteFile("locked.txt", "");
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
        {fs.Rename("T:\\none.txt", "T:\\b.txt"), 53},
        {fs.Rename("T:\\a.txt", "T:\\No\\a.txt"), 76},
        {fs.DeleteFile("T:\\none.txt"), 53},
        {fs.DeleteFile("T:\\No\\a.txt"), 76},
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
    // The other numbers' texts are shown in the messages the commit tests read.
    EXPECT_EQ(FileError::Make(57).description, "Device I/O error");
}

}  // namespace
}  // namespace kestrel::platform
