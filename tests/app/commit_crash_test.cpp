// A commit that moves files to another file system, killed with SIGKILL at
// random moments: every file must survive whole under its old or its new name,
// and no final name may ever hold part of a file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "app/headless_ui.h"
#include "app/workspace.h"
#include "platform/clock.h"
#include "support/neutral_options.h"
#include "support/temp_drive.h"

namespace kestrel::app {
namespace {

constexpr int kFiles = 100;
constexpr std::size_t kFileSize = 4 * 1024 * 1024;
constexpr int kRounds = 10;

// Each file different at every 4 KiB, so that any part of one differs from
// the whole of it.
std::string Contents(int file) {
    std::string bytes(kFileSize, static_cast<char>('a' + file % 26));
    for (std::size_t at = 0; at < kFileSize; at += 4096) {
        const std::string stamp = std::to_string(file) + ":" + std::to_string(at);
        bytes.replace(at, stamp.size(), stamp);
    }
    return bytes;
}

std::string Name(int file) {
    return "f" + std::to_string(100 + file) + ".bin";
}

// Runs in the child: the whole commit, with the renamed files going to D:.
[[noreturn]] void Commit(const std::string& sourceRoot, const std::string& targetRoot) {
    platform::PosixFileSystem fileSystem;
    fileSystem.Drives().Map('S', sourceRoot);
    fileSystem.Drives().Map('D', targetRoot);
    HeadlessUi ui;
    platform::SystemClock clock;
    Workspace workspace(fileSystem, ui, clock, [] { return 0.5; });
    workspace.options = support::NeutralOptions();
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "moved ";
    workspace.txtSourceDir = "S:\\";
    workspace.txtDestDir = "D:\\";
    workspace.updateFlag = true;
    workspace.RefreshSourceList();
    workspace.DoIt();
    ::_exit(0);
}

class CommitCrash : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!source.Valid() || Device(source.HostRoot()) == Device(target.HostRoot())) {
            GTEST_SKIP() << "/dev/shm is not a second file system here";
        }
        for (int file = 0; file < kFiles; ++file) {
            contents[file] = Contents(file);
        }
    }

    static dev_t Device(const std::string& path) {
        struct stat info {};
        ::stat(path.c_str(), &info);
        return info.st_dev;
    }

    void WriteSources() {
        for (int file = 0; file < kFiles; ++file) {
            source.WriteFile(Name(file), contents[file]);
        }
    }

    // Counts files found under both names; fails on a missing or partial one.
    int CheckEveryFileWhole() {
        int twice = 0;
        for (int file = 0; file < kFiles; ++file) {
            SCOPED_TRACE(Name(file));
            const bool old = source.Exists(Name(file));
            const bool moved = target.Exists("moved " + Name(file));
            EXPECT_TRUE(old || moved);
            if (old) {
                EXPECT_TRUE(source.ReadFile(Name(file)) == contents[file]);
            }
            if (moved) {
                EXPECT_TRUE(target.ReadFile("moved " + Name(file)) == contents[file]);
            }
            twice += old && moved ? 1 : 0;
        }
        return twice;
    }

    void Clear() {
        for (const auto* drive : {&source, &target}) {
            for (const auto& entry : std::filesystem::directory_iterator(drive->HostRoot())) {
                std::filesystem::remove(entry.path());
            }
        }
    }

    support::TempDrive source{"/dev/shm", 'S'};
    support::TempDrive target;
    std::string contents[kFiles];
};

TEST_F(CommitCrash, KilledMoveToAnotherFileSystemLosesAndDamagesNothing) {
    std::minstd_rand random(20261207);
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        WriteSources();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Commit(source.HostRoot(), target.HostRoot());
        }
        // A whole commit takes about a second here.
        std::this_thread::sleep_for(std::chrono::milliseconds(50 + random() % 850));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        // Killed between a copy taking its final name and the delete of its
        // source, a file is briefly under both names, whole under each.
        if (const int twice = CheckEveryFileWhole(); twice > 0) {
            std::cout << "round " << round << ": " << twice << " file(s) under both names\n";
        }
        if (round + 1 < kRounds) {
            Clear();
        }
    }
    // The last round is finished by a commit that runs to its end: it sweeps
    // the part file a killed copy left and moves what is left.
    std::filesystem::remove_all(target.HostRoot());  // keep only the killed round's state
    std::filesystem::create_directory(target.HostRoot());
    WriteSources();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Commit(source.HostRoot(), target.HostRoot());
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 600));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const pid_t finisher = ::fork();
    ASSERT_GE(finisher, 0);
    if (finisher == 0) {
        Commit(source.HostRoot(), target.HostRoot());
    }
    ::waitpid(finisher, &status, 0);
    // A file the kill caught between its copy taking its name and the delete
    // of its source stays under both names; every other one has moved.
    const int twice = CheckEveryFileWhole();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(source.HostRoot()), {}), twice);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.HostRoot()), {}), kFiles);
}

}  // namespace
}  // namespace kestrel::app
