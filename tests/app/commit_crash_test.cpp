// A commit that moves files to another file system, killed with SIGKILL at
// random moments: every file must survive whole under its old or its new name,
// and no final name may ever hold part of a file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>
#include <thread>

#include "app/headless_ui.h"
#include "app/journal_recovery.h"
#include "app/workspace.h"
#include "platform/clock.h"
#include "support/neutral_options.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"

namespace kestrel::app {
namespace {

constexpr int kFiles = 100;
constexpr std::size_t kFileSize = 4 * 1024 * 1024;

// Each file different at every 4 KiB, so that any part of one differs from the whole.
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

std::size_t Count(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

std::size_t TemporaryCopies(const std::string& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        count += entry.path().filename().string().starts_with(".kestrel-") ? 1 : 0;
    }
    return count;
}

class CommitCrash : public ::testing::Test {
  protected:
    void SetUp() override {
        struct stat a {};
        struct stat b {};
        if (!source.Valid() || ::stat(source.HostRoot().c_str(), &a) != 0 ||
            ::stat(target.HostRoot().c_str(), &b) != 0 || a.st_dev == b.st_dev) {
            GTEST_SKIP() << "/dev/shm is not a second file system here";
        }
        for (int file = 0; file < kFiles; ++file) {
            contents[file] = Contents(file);
            source.WriteFile(Name(file), contents[file]);
        }
    }

    // A whole commit in a child process, the renamed files going to D:; killed
    // after `killAfter` milliseconds unless that is negative.
    void Commit(int killAfter) {
        std::cout.flush();  // the child must not print what the parent buffered
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            platform::PosixFileSystem fileSystem;
            fileSystem.Drives().Map('S', source.HostRoot());
            fileSystem.Drives().Map('D', target.HostRoot());
            HeadlessUi ui;
            platform::SystemClock clock;
            Workspace workspace(fileSystem, ui, clock, [] { return 0.5; });
            workspace.AttachJournal({state.HostRoot(), &fileSystem.Drives()});
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
        if (killAfter >= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(killAfter));
            ::kill(child, SIGKILL);
        }
        ::waitpid(child, nullptr, 0);
    }

    // Fails on a missing or partial file; counts those under both names, which
    // a kill between a copy taking its name and the delete of its source leaves.
    int CheckEveryFileWhole() {
        int twice = 0;
        for (int file = 0; file < kFiles; ++file) {
            SCOPED_TRACE(Name(file));
            const bool old = source.Exists(Name(file));
            const bool moved = target.Exists("moved " + Name(file));
            EXPECT_TRUE(old || moved);
            EXPECT_TRUE(!old || source.ReadFile(Name(file)) == contents[file]);
            EXPECT_TRUE(!moved || target.ReadFile("moved " + Name(file)) == contents[file]);
            twice += old && moved ? 1 : 0;
        }
        return twice;
    }

    // Recovers what a killed commit left as the next start would: the window
    // answering Yes or No, or a run without a window that only reports it.
    void Recover(int round) {
        support::ScriptedUi ui;
        ui.QueueAnswer(round % 3 == 0 ? Answer::Yes : Answer::No);
        ui.QueueAnswer(Answer::Ok);
        std::ostringstream report;
        if (round % 3 == 2) {
            ReportInterruptedOperations(state.HostRoot(), report);
        } else {
            RecoverInterruptedOperations(state.HostRoot(), ui);
        }
        for (const auto& entry : std::filesystem::directory_iterator(state.HostRoot())) {
            std::filesystem::remove(entry.path());
        }
    }

    support::TempDrive source{"/dev/shm", 'S'};
    support::TempDrive target;
    support::TempDrive state;
    std::string contents[kFiles];
};

TEST_F(CommitCrash, KilledMoveToAnotherFileSystemLosesAndDamagesNothing) {
    std::minstd_rand random(20261207);
    std::size_t cutCopies = 0;
    for (int round = 0; round < 10; ++round) {
        SCOPED_TRACE(round);
        // A whole commit takes about a second here.
        Commit(50 + static_cast<int>(random() % 850));
        if (const int twice = CheckEveryFileWhole(); twice > 0) {
            std::cout << "round " << round << ": " << twice << " file(s) under both names\n";
        }
        cutCopies += TemporaryCopies(target.HostRoot());
        // Whatever the answer, the recovery leaves no temporary copy behind
        // in the folders the journal names, and loses nothing.
        Recover(round);
        EXPECT_EQ(TemporaryCopies(target.HostRoot()) + TemporaryCopies(source.HostRoot()), 0u);
        CheckEveryFileWhole();
        std::filesystem::remove_all(target.HostRoot());
        std::filesystem::create_directory(target.HostRoot());
        SetUp();
    }
    std::cout << cutCopies << " of 10 kills left a temporary copy\n";
    EXPECT_GT(cutCopies, 0u);
    // A commit that runs to its end sweeps the temporary copy a killed one left
    // and moves what is left.
    Commit(static_cast<int>(random() % 600));
    Commit(-1);
    const int twice = CheckEveryFileWhole();
    EXPECT_EQ(Count(source.HostRoot()), static_cast<std::size_t>(twice));
    EXPECT_EQ(Count(target.HostRoot()), static_cast<std::size_t>(kFiles));
}

}  // namespace
}  // namespace kestrel::app
