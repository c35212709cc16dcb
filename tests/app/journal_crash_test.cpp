// Commits and an undo killed with SIGKILL at chosen steps, as a crash would
// stop them: every file must stay whole under its old or its new name, and
// the next start must find the journal and give every file its old name back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "app/headless_ui.h"
#include "app/journal_recovery.h"
#include "app/workspace.h"
#include "platform/clock.h"
#include "support/forwarding_file_system.h"
#include "support/neutral_options.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"

namespace kestrel::app {
namespace {

enum class Stop { AfterRename, AfterMoveBack, BeforeDelete };

// Kills its own process at the chosen call: after the n-th rename of the
// commit or move back of the undo, or before the n-th delete of a move across
// drives, with its copy made and its source still there.
class KillingFileSystem : public support::ForwardingFileSystem {
  public:
    KillingFileSystem(platform::FileSystem& inner, Stop stop, int at)
        : ForwardingFileSystem(inner), stop_(stop), left_(at) {}
    FileError Rename(std::string_view from, std::string_view to) override {
        return Count(Stop::AfterRename, inner_.Rename(from, to));
    }
    FileError Move(std::string_view from, std::string_view to) override {
        return Count(Stop::AfterMoveBack, inner_.Move(from, to));
    }
    FileError DeleteFile(std::string_view path) override {
        Count(Stop::BeforeDelete, {});
        return inner_.DeleteFile(path);
    }

  private:
    FileError Count(Stop stop, FileError result) {
        if (stop == stop_ && --left_ == 0) {
            ::kill(::getpid(), SIGKILL);
        }
        return result;
    }
    Stop stop_;
    int left_;
};

std::string Name(int file) {
    char name[16];
    std::snprintf(name, sizeof name, "f%05d", file);
    return name;
}

class JournalCrash : public ::testing::Test {
  protected:
    void Write(int files) {
        files_ = files;
        for (int file = 0; file < files; ++file) {
            source.WriteFile(Name(file), "contents of " + Name(file));
        }
    }

    // The commit (and with AfterMoveBack its undo) in a child process that
    // kills itself at the chosen step; `to` is S: or, across drives, D:.
    void RunKilled(Stop stop, int at, char to) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            platform::PosixFileSystem fileSystem;
            fileSystem.Drives().Map('S', source.HostRoot());
            fileSystem.Drives().Map('D', target.HostRoot());
            KillingFileSystem killing(fileSystem, stop, at);
            std::istringstream in;
            std::ostringstream out;
            HeadlessUi ui(in, out, false);
            platform::SystemClock clock;
            Workspace workspace(killing, ui, clock, [] { return 0.5; });
            workspace.AttachJournal({state.HostRoot(), &fileSystem.Drives()});
            workspace.options = support::NeutralOptions();
            workspace.options.chkInsertStart = 1;
            workspace.options.txtInsertStart = "new ";
            workspace.txtSourceDir = "S:\\";
            workspace.txtDestDir = std::string{to, ':', '\\'};
            workspace.updateFlag = true;
            workspace.RefreshSourceList();
            workspace.DoIt();
            workspace.Undo();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    }

    // Every file whole under one name, or, when a move was cut between its
    // copy and its delete, whole under both; returns how many have moved.
    int CheckWhole(const support::TempDrive& moved, int underBoth) {
        int movedCount = 0;
        for (int file = 0; file < files_; ++file) {
            const bool old = source.Exists(Name(file));
            const bool now = moved.Exists("new " + Name(file));
            if (old == now && (!old || underBoth-- <= 0)) {
                ADD_FAILURE() << Name(file) << (old ? " under both names" : " lost");
            }
            const std::string& where = old ? Name(file) : "new " + Name(file);
            if ((old ? source : moved).ReadFile(where) != "contents of " + Name(file)) {
                ADD_FAILURE() << Name(file) << " damaged";
            }
            movedCount += now ? 1 : 0;
        }
        return movedCount;
    }

    // The next start: asked once, the answer Yes brings every old name back.
    void RecoverAll() {
        support::ScriptedUi ui;
        ui.QueueAnswer(Answer::Yes);
        RecoverInterruptedOperations(state.HostRoot(), ui);
        ASSERT_EQ(ui.boxes().size(), 1u);
        EXPECT_EQ(ui.boxes()[0].title, kInterruptedTitle);
        EXPECT_EQ(CheckWhole(target, 0), 0);
        EXPECT_EQ(CheckWhole(source, 0), 0);
        EXPECT_TRUE(std::filesystem::is_empty(state.HostRoot()));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(source.HostRoot()), {}),
                  files_);
    }

    support::TempDrive source;
    support::TempDrive target;
    support::TempDrive state;
    int files_ = 0;
};

TEST_F(JournalCrash, CommitOfTwentyThousandFilesKilledAnywhereIsUndoneAtTheNextStart) {
    Write(20000);
    for (const int at : {1, 10000, 19999}) {
        SCOPED_TRACE("killed after rename " + std::to_string(at));
        RunKilled(Stop::AfterRename, at, 'S');
        EXPECT_EQ(CheckWhole(source, 0), at);
        RecoverAll();
    }
    SCOPED_TRACE("undo killed after 10,000 files went back");
    RunKilled(Stop::AfterMoveBack, 10000, 'S');
    EXPECT_EQ(CheckWhole(source, 0), 10000);
    RecoverAll();
}

TEST_F(JournalCrash, MoveAcrossDrivesKilledBetweenCopyAndDeleteIsUndone) {
    Write(200);
    RunKilled(Stop::BeforeDelete, 101, 'D');
    // The 101st file has its copy on D: and its source still on S:.
    EXPECT_EQ(CheckWhole(target, 1), 101);
    RecoverAll();
}

}  // namespace
}  // namespace kestrel::app
