#include "platform/posix_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "platform/file_attributes.h"
#include "support/temp_drive.h"

namespace kestrel::platform {
namespace {

using support::TempDrive;

struct stat HostInfo(const std::string& hostPath) {
    struct stat info {};
    EXPECT_EQ(::lstat(hostPath.c_str(), &info), 0) << hostPath;
    return info;
}

std::map<std::string, int> ListFolder(FileSystem& fileSystem, const std::string& folder) {
    FileError error;
    std::map<std::string, int> entries;
    auto reader = fileSystem.OpenFolder(folder, error);
    EXPECT_TRUE(error.Ok()) << error.description;
    DirEntry entry;
    while (reader && reader->Next(entry)) {
        entries[entry.name] = entry.attributes;
    }
    if (reader) {
        EXPECT_TRUE(reader->Error().Ok());
    }
    return entries;
}

TEST(PosixFileSystem, RenameNeverReplacesAnExistingFile) {
    TempDrive drive;
    drive.WriteFile("a.txt", "first");
    drive.WriteFile("b.txt", "second");

    const FileError error =
        drive.FileSystem().Rename(TempDrive::Path("a.txt"), TempDrive::Path("b.txt"));

    EXPECT_EQ(error.number, kFileAlreadyExists);
    EXPECT_EQ(drive.ReadFile("a.txt"), "first");
    EXPECT_EQ(drive.ReadFile("b.txt"), "second");
}

TEST(PosixFileSystem, RenameMovesAFolderWithinTheDrive) {
    TempDrive drive;
    drive.WriteFile("Old\\a.txt", "bytes");
    drive.MakeFolder("New");

    EXPECT_TRUE(
        drive.FileSystem().Rename(TempDrive::Path("Old"), TempDrive::Path("New\\Moved")).Ok());

    EXPECT_EQ(drive.ReadFile("New\\Moved\\a.txt"), "bytes");
    EXPECT_FALSE(drive.Exists("Old"));
}

TEST(PosixFileSystem, RenameChangingOnlyLetterCaseSucceeds) {
    TempDrive drive;
    drive.WriteFile("readme.TXT", "text");

    const FileError error =
        drive.FileSystem().Rename(TempDrive::Path("readme.TXT"), TempDrive::Path("README.txt"));

    EXPECT_TRUE(error.Ok()) << error.description;
    const auto entries = ListFolder(drive.FileSystem(), TempDrive::Path(""));
    EXPECT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries.contains("README.txt"));
    EXPECT_EQ(drive.ReadFile("README.txt"), "text");
}

TEST(PosixFileSystem, RenameOntoAnotherLinkOfTheSameFileFailsAndKeepsBothNames) {
    TempDrive drive;
    drive.WriteFile("readme", "text");
    ASSERT_EQ(::link(drive.HostPath("readme").c_str(), drive.HostPath("README").c_str()), 0);

    EXPECT_EQ(drive.FileSystem().Rename("T:\\readme", "T:\\README").number, kFileAlreadyExists);

    const auto entries = ListFolder(drive.FileSystem(), "T:\\");
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries.contains("readme"));
    EXPECT_TRUE(entries.contains("README"));
}

TEST(PosixFileSystem, CopyNeverReplacesAnExistingFile) {
    TempDrive drive;
    drive.WriteFile("a.txt", "first");
    drive.WriteFile("b.txt", "second");

    EXPECT_EQ(drive.FileSystem().Copy(TempDrive::Path("a.txt"), TempDrive::Path("b.txt")).number,
              kFileAlreadyExists);
    EXPECT_EQ(drive.ReadFile("a.txt"), "first");
    EXPECT_EQ(drive.ReadFile("b.txt"), "second");
}

void SetModeAndTime(const std::string& hostPath, mode_t mode, time_t seconds) {
    ASSERT_EQ(::chmod(hostPath.c_str(), mode), 0);
    const struct timespec times[2] = {{seconds, 0}, {seconds, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, hostPath.c_str(), times, 0), 0);
}

void ExpectSameModeAndTime(const struct stat& before, const std::string& hostPath) {
    const struct stat after = HostInfo(hostPath);
    EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

TEST(PosixFileSystem, CopyKeepsBytesModeAndModificationTime) {
    TempDrive drive;
    const std::string bytes(300 * 1024, 'k');  // more than one copy buffer
    drive.WriteFile("a.bin", bytes);
    SetModeAndTime(drive.HostPath("a.bin"), 0640, 1'000'000'000);
    const struct stat before = HostInfo(drive.HostPath("a.bin"));

    EXPECT_TRUE(drive.FileSystem().Copy(TempDrive::Path("a.bin"), TempDrive::Path("b.bin")).Ok());

    EXPECT_EQ(drive.ReadFile("b.bin"), bytes);
    ExpectSameModeAndTime(before, drive.HostPath("b.bin"));
}

TEST(PosixFileSystem, FailedCopyLeavesSourceAndNoPartialTarget) {
    TempDrive drive;
    drive.WriteFile("a.txt", "bytes");
    // Both fail for root too, unlike a folder without write permission.
    const char* targets[] = {"Missing\\a.txt", "a.txt\\inside.txt"};
    for (const char* target : targets) {
        SCOPED_TRACE(target);
        const FileError error =
            drive.FileSystem().Copy(TempDrive::Path("a.txt"), TempDrive::Path(target));
        EXPECT_FALSE(error.Ok());
        EXPECT_FALSE(drive.Exists(target));
        EXPECT_EQ(drive.ReadFile("a.txt"), "bytes");
    }
    EXPECT_EQ(
        drive.FileSystem().Copy(TempDrive::Path("Missing\\a.txt"), TempDrive::Path("b.txt")).number,
        kPathNotFound);
}

constexpr const char* kNoOtherFileSystem = "/dev/shm is not a separate file system writable here";

// Maps `other` as S: on `drive`'s file system; false when both are on one
// file system, so that the test has nothing to cross.
bool MapOtherFileSystem(TempDrive& drive, const TempDrive& other) {
    if (!other.Valid() || HostInfo(drive.HostRoot()).st_dev == HostInfo(other.HostRoot()).st_dev) {
        return false;
    }
    return drive.FileSystem().Drives().Map('S', other.HostRoot());
}

TEST(PosixFileSystem, MoveAcrossFileSystemsKeepsBytesModeAndTimeAndRemovesSource) {
    TempDrive drive;
    TempDrive other("/dev/shm", 'S');
    if (!MapOtherFileSystem(drive, other)) {
        GTEST_SKIP() << kNoOtherFileSystem;
    }
    drive.WriteFile("a.jpg", "photo bytes");
    SetModeAndTime(drive.HostPath("a.jpg"), 0604, 1'100'000'000);
    const struct stat before = HostInfo(drive.HostPath("a.jpg"));

    EXPECT_EQ(drive.FileSystem().Rename(TempDrive::Path("a.jpg"), "S:\\b.jpg").number,
              kPathFileAccessError);
    const FileError error = drive.FileSystem().Move(TempDrive::Path("a.jpg"), "S:\\b.jpg");

    EXPECT_TRUE(error.Ok()) << error.description;
    EXPECT_FALSE(drive.Exists("a.jpg"));
    EXPECT_EQ(other.ReadFile("b.jpg"), "photo bytes");
    ExpectSameModeAndTime(before, other.HostPath("b.jpg"));
}

TEST(PosixFileSystem, FailedMoveAcrossFileSystemsLeavesSourceAndTarget) {
    TempDrive drive;
    TempDrive other("/dev/shm", 'S');
    if (!MapOtherFileSystem(drive, other)) {
        GTEST_SKIP() << kNoOtherFileSystem;
    }
    drive.WriteFile("a.jpg", "photo");
    other.WriteFile("taken.jpg", "other photo");

    EXPECT_EQ(drive.FileSystem().Move(TempDrive::Path("a.jpg"), "S:\\taken.jpg").number,
              kFileAlreadyExists);
    EXPECT_EQ(drive.FileSystem().Move(TempDrive::Path("a.jpg"), "S:\\Missing\\a.jpg").number,
              kPathNotFound);
    drive.MakeFolder("Folder");
    EXPECT_EQ(drive.FileSystem().Move(TempDrive::Path("Folder"), "S:\\Folder").number,
              kPathFileAccessError);

    EXPECT_EQ(drive.ReadFile("a.jpg"), "photo");
    EXPECT_EQ(other.ReadFile("taken.jpg"), "other photo");
    EXPECT_FALSE(other.Exists("Missing"));
    EXPECT_FALSE(other.Exists("Folder"));
}

std::string LinkText(const std::string& hostPath) {
    char buffer[256] = {};
    const ssize_t length = ::readlink(hostPath.c_str(), buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

TEST(PosixFileSystem, SymbolicLinksAreMovedAndCopiedAsLinksAcrossFileSystems) {
    TempDrive drive;
    TempDrive other("/dev/shm", 'S');
    if (!MapOtherFileSystem(drive, other)) {
        GTEST_SKIP() << kNoOtherFileSystem;
    }
    drive.WriteFile("target.txt", "what the links point at");
    ASSERT_EQ(::symlink("target.txt", drive.HostPath("moved").c_str()), 0);
    ASSERT_EQ(::symlink("../nowhere", drive.HostPath("copied").c_str()), 0);
    auto& fileSystem = drive.FileSystem();

    EXPECT_TRUE(fileSystem.Move("T:\\moved", "S:\\moved").Ok());
    EXPECT_TRUE(fileSystem.Copy("T:\\copied", "S:\\copied").Ok());
    EXPECT_EQ(fileSystem.Copy("T:\\copied", "S:\\copied").number, kFileAlreadyExists);

    for (const char* name : {"moved", "copied"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(S_ISLNK(HostInfo(other.HostPath(name)).st_mode));
    }
    EXPECT_EQ(LinkText(other.HostPath("moved")), "target.txt");
    EXPECT_EQ(LinkText(other.HostPath("copied")), "../nowhere");
    EXPECT_FALSE(drive.Exists("moved"));
    EXPECT_EQ(LinkText(drive.HostPath("copied")), "../nowhere");
    EXPECT_EQ(drive.ReadFile("target.txt"), "what the links point at");
}

TEST(PosixFileSystem, NewNamesThisHostCannotHoldAreRefusedAndNothingIsMade) {
    TempDrive drive;
    drive.WriteFile("Work\\a.txt", "a");
    auto& fileSystem = drive.FileSystem();
    const std::string nul("T:\\Work\\b\0c.txt", 16);
    const std::string refused[] = {
        "T:\\Work\\t/xt",      "T:\\Work\\..\\a.txt", "T:\\Work\\.\\b.txt", "T:\\Work\\..", nul,
        "/tmp/../etc/kestrel",
    };
    for (const std::string& target : refused) {
        SCOPED_TRACE(target);
        EXPECT_EQ(fileSystem.Rename("T:\\Work\\a.txt", target).number, kBadFileName);
        EXPECT_EQ(fileSystem.Move("T:\\Work\\a.txt", target).number, kBadFileName);
        EXPECT_EQ(fileSystem.Copy("T:\\Work\\a.txt", target).number, kBadFileName);
        EXPECT_EQ(fileSystem.MakeFolder(target).number, kBadFileName);
    }
    EXPECT_EQ(ListFolder(fileSystem, "T:\\").size(), 1u);
    EXPECT_EQ(ListFolder(fileSystem, "T:\\Work\\").size(), 1u);
    // Characters the home desktop forbids but this host allows stay usable, so
    // that names such as these can be brought back by an undo.
    EXPECT_TRUE(fileSystem.Rename("T:\\Work\\a.txt", "T:\\Work\\12:30?.txt").Ok());
}

TEST(PosixFileSystem, LeftoverPartFilesAreHiddenAndSweptUnlessACopyHoldsThem) {
    TempDrive drive;
    drive.WriteFile("photo.jpg", "photo");
    drive.WriteFile(".kestrel-Ab12Cd.part", "half a copy");
    drive.WriteFile(".kestrel-Xy34Zw.part", "a copy in progress");
    drive.WriteFile(".kestrel-short.part", "not one of ours");
    const int live = ::open(drive.HostPath(".kestrel-Xy34Zw.part").c_str(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    auto& fileSystem = drive.FileSystem();

    const auto listed = ListFolder(fileSystem, "T:\\");
    EXPECT_FALSE(listed.contains(".kestrel-Ab12Cd.part"));
    EXPECT_TRUE(listed.contains(".kestrel-short.part"));
    fileSystem.RemoveLeftoverCopies("T:\\");

    EXPECT_FALSE(drive.Exists(".kestrel-Ab12Cd.part"));
    EXPECT_TRUE(drive.Exists(".kestrel-Xy34Zw.part"));
    EXPECT_TRUE(drive.Exists(".kestrel-short.part"));
    EXPECT_EQ(drive.ReadFile("photo.jpg"), "photo");
    ::close(live);
}

TEST(PosixFileSystem, SameEntryIsOneFileUnderEitherName) {
    TempDrive drive;
    drive.WriteFile("a.txt", "a");
    drive.WriteFile("b.txt", "b");
    ASSERT_EQ(::link(drive.HostPath("a.txt").c_str(), drive.HostPath("A.TXT").c_str()), 0);
    auto& fileSystem = drive.FileSystem();

    EXPECT_TRUE(fileSystem.SameEntry("T:\\a.txt", "T:\\A.TXT"));
    EXPECT_FALSE(fileSystem.SameEntry("T:\\a.txt", "T:\\b.txt"));
    EXPECT_FALSE(fileSystem.SameEntry("T:\\a.txt", "T:\\none.txt"));
}

TEST(PosixFileSystem, ListingReportsAttributeBitsOfEachKindOfEntry) {
    TempDrive drive;
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
    const std::string backslashName = drive.HostRoot() + "/back\\slash";
    ASSERT_EQ(::mknod(backslashName.c_str(), S_IFREG | 0644, 0), 0);

    const std::map<std::string, int> expected = {
        {"plain.txt", kAttrArchive},
        {".hidden", kAttrHidden | kAttrArchive},
        {"locked.txt", kAttrReadOnly | kAttrArchive},
        {"Folder", kAttrFolder},
        {"pipe", kAttrSystem},
        {"to-folder", kAttrFolder},
        {"to-file", kAttrArchive},
        {"dangling", kAttrSystem},
        {"bad?.txt", kAttrArchive},
        {"back?slash", kAttrArchive},
    };
    EXPECT_EQ(ListFolder(drive.FileSystem(), TempDrive::Path("")), expected);

    std::vector<std::string> names;
    EXPECT_TRUE(drive.FileSystem().ListNames(TempDrive::Path(""), names).Ok());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expectedNames;
    for (const auto& [name, attributes] : expected) {
        expectedNames.push_back(name);
    }
    EXPECT_EQ(names, expectedNames);
}

TEST(PosixFileSystem, ListingMarksSymbolicLinks) {
    TempDrive drive;
    drive.MakeFolder("Folder");
    drive.WriteFile("plain.txt", "");
    ASSERT_EQ(::symlink("Folder", drive.HostPath("to-folder").c_str()), 0);
    FileError error;
    auto reader = drive.FileSystem().OpenFolder(TempDrive::Path(""), error);
    ASSERT_TRUE(reader);
    std::map<std::string, bool> links;
    for (DirEntry entry; reader->Next(entry);) {
        links[entry.name] = entry.isLink;
    }
    EXPECT_EQ(links, (std::map<std::string, bool>{
                         {"Folder", false}, {"plain.txt", false}, {"to-folder", true}}));
}

TEST(PosixFileSystem, DosAttributeIsHonouredWhereUserAttributesExist) {
    TempDrive drive;
    drive.WriteFile("marked.txt", "");
    const char value[] = "0x6";  // hidden + system, archive cleared
    if (::setxattr(drive.HostPath("marked.txt").c_str(), kDosAttributeName, value, sizeof value - 1,
                   0) != 0) {
        GTEST_SKIP() << "no user extended attributes on " << drive.HostRoot() << ": "
                     << std::strerror(errno);
    }
    const int dosBits = kAttrHidden | kAttrSystem;
    EXPECT_EQ(ListFolder(drive.FileSystem(), TempDrive::Path("")).at("marked.txt"), dosBits);
    EXPECT_EQ(drive.FileSystem().GetAttributes(TempDrive::Path("marked.txt")).attributes, dosBits);
}

TEST(PosixFileSystem, MissingFileIs53AndMissingFolderIs76) {
    TempDrive drive;
    drive.WriteFile("a.txt", "");
    auto& fileSystem = drive.FileSystem();
    FileError openError;
    EXPECT_EQ(fileSystem.OpenFolder(TempDrive::Path("NoFolder"), openError), nullptr);
    EXPECT_EQ(openError.number, kPathNotFound);

    struct Row {
        const char* operation;
        FileError error;
        int number;
    };
    const Row rows[] = {
        {"attributes of missing file", fileSystem.GetAttributes("T:\\none.txt").error, 53},
        {"attributes in missing folder", fileSystem.GetAttributes("T:\\No\\a.txt").error, 76},
        {"rename missing file", fileSystem.Rename("T:\\none.txt", "T:\\b.txt"), 53},
        {"rename into missing folder", fileSystem.Rename("T:\\a.txt", "T:\\No\\a.txt"), 76},
        {"delete missing file", fileSystem.DeleteFile("T:\\none.txt"), 53},
        {"delete in missing folder", fileSystem.DeleteFile("T:\\No\\a.txt"), 76},
        {"unknown drive letter", fileSystem.GetAttributes("Q:\\a.txt").error, 76},
        {"make existing folder", fileSystem.MakeFolder("T:\\a.txt"), 58},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.operation);
        EXPECT_EQ(row.error.number, row.number);
    }
}

TEST(PosixFileSystem, ReadableFileIsARegularFileOrALinkToOne) {
    TempDrive drive;
    drive.WriteFile("a.txt", "");
    drive.MakeFolder("Folder");
    ASSERT_EQ(::mkfifo(drive.HostPath("pipe").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("a.txt", drive.HostPath("link").c_str()), 0);
    auto& fileSystem = drive.FileSystem();

    EXPECT_TRUE(fileSystem.IsReadableFile("T:\\a.txt"));
    EXPECT_TRUE(fileSystem.IsReadableFile("T:\\link"));
    EXPECT_FALSE(fileSystem.IsReadableFile("T:\\Folder"));
    EXPECT_FALSE(fileSystem.IsReadableFile("T:\\pipe"));
    EXPECT_FALSE(fileSystem.IsReadableFile("T:\\none.txt"));
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(drive.HostPath("a.txt").c_str(), 0200), 0);
        EXPECT_FALSE(fileSystem.IsReadableFile("T:\\a.txt"));
    }
}

TEST(PosixFileSystem, WriteFileReplacingSwapsInTheWholeFileAndKeepsItsMode) {
    TempDrive drive;
    drive.WriteFile("out.txt", "old contents that are longer");
    ASSERT_EQ(::chmod(drive.HostPath("out.txt").c_str(), 0640), 0);
    auto& fileSystem = drive.FileSystem();

    EXPECT_TRUE(fileSystem.WriteFileReplacing("T:\\out.txt", "new\r\n").Ok());
    EXPECT_TRUE(fileSystem.WriteFileReplacing("T:\\fresh.txt", "x").Ok());

    std::string bytes;
    EXPECT_TRUE(fileSystem.ReadFile("T:\\out.txt", bytes).Ok());
    EXPECT_EQ(bytes, "new\r\n");
    EXPECT_EQ(HostInfo(drive.HostPath("out.txt")).st_mode & 0777, 0640u);
    EXPECT_EQ(ListFolder(fileSystem, "T:\\").size(), 2u);  // no temporary file left
    EXPECT_EQ(fileSystem.WriteFileReplacing("T:\\No\\out.txt", "x").number, kPathNotFound);
}

}  // namespace
}  // namespace kestrel::platform
