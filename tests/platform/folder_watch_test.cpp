#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/folder_watch.h"
#include "platform/inotify_folder_watch.h"
#include "support/temp_drive.h"

namespace kestrel::platform {
namespace {

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
    drive.WriteFile("A\\a.txt", "");
    drive.WriteFile("B\\b.txt", "");
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
        {"a file's marks change",
         [&] { ::chmod(host("B\\b.txt").c_str(), 0400); },
         {1},
         {true, true, true, true}},
        {"a file is removed",
         [&] { ::unlink(host("B\\new.txt").c_str()); },
         {1},
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
    drive.WriteFile("A\\a.txt", "");
    drive.WriteFile("A\\b.txt", "");
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
    const std::pair<long, bool> types[] = {
        {0xEF53, true},      {0x01021994, true},  {0x9123683E, true},  // ext4, tmpfs, btrfs
        {0x6969, false},     {0xFF534D42, false},                      // NFS, CIFS
        {0xFE534D42, false}, {0x65735546, false},                      // SMB2, FUSE
        {0x01021997, false},                                           // 9P
    };
    for (const auto& [type, watched] : types) {
        EXPECT_EQ(IsLocalFileSystemType(type), watched) << std::hex << type;
    }
}

}  // namespace
}  // namespace kestrel::platform
