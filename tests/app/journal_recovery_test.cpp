#include "app/journal_recovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "app/workspace.h"
#include "commit/commit_journal.h"
#include "support/fake_clock.h"
#include "support/forwarding_file_system.h"
#include "support/neutral_options.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"

namespace kestrel::app {
namespace {

using commit::StepKind;

// Before each rename or move, finds it in the journal on disk; fails chosen
// renames as often as asked.
class JournalWatcher : public support::ForwardingFileSystem {
  public:
    JournalWatcher(platform::FileSystem& inner, std::string folder)
        : ForwardingFileSystem(inner), folder_(std::move(folder)) {}
    FileError Rename(std::string_view from, std::string_view to) override {
        ExpectJournaled(from, to);
        if (failures[std::string(from)]-- > 0) {
            return FileError::Make(platform::kPermissionDenied);
        }
        return inner_.Rename(from, to);
    }
    FileError Move(std::string_view from, std::string_view to) override {
        ExpectJournaled(to, from);
        return inner_.Move(from, to);
    }
    std::map<std::string, int> failures;

  private:
    void ExpectJournaled(std::string_view from, std::string_view to) const {
        std::string bytes;
        for (const auto& file : std::filesystem::directory_iterator(folder_)) {
            std::ifstream in(file.path(), std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        const auto steps = commit::ReadJournal(bytes).value_or(commit::JournalContents{}).steps;
        EXPECT_TRUE(std::any_of(steps.begin(), steps.end(),
                                [&](const commit::UndoEntry& step) {
                                    return step.oldPath == from && step.newPath == to;
                                }))
            << from << " -> " << to;
    }
    std::string folder_;
};

class JournalRecovery : public ::testing::Test {
  protected:
    // A journal left by a commit of a -> b (which ran) and c -> d (which did not).
    void LeaveJournal(commit::JournalOperation operation) {
        drive.WriteFile("b", "a's bytes");
        drive.WriteFile("c", "c's bytes");
        commit::CommitJournal journal({state.HostRoot(), &drive.FileSystem().Drives()}, operation,
                                      1);
        journal.Add(StepKind::Rename, drive.Path("a"), drive.Path("b"));
        journal.Add(StepKind::Rename, drive.Path("c"), drive.Path("d"));
        journal.Add(StepKind::Rename, drive.Path("gone"), drive.Path("lost"));
        ASSERT_TRUE(journal.Flush().Ok());
    }
    std::string Recover(Answer answer) {
        support::ScriptedUi ui;
        ui.QueueAnswer(answer);
        if (answer == Answer::Yes) {
            ui.QueueAnswer(Answer::Ok);
        }
        RecoverInterruptedOperations(state.HostRoot(), ui);
        EXPECT_GE(ui.boxes().size(), 1u);
        std::string texts;
        for (const auto& box : ui.boxes()) {
            texts += box.title + ": " + box.text + "\n";
        }
        return texts;
    }

    support::TempDrive drive;
    support::TempDrive state;
};

TEST_F(JournalRecovery, EveryStepOfACommitAndItsUndoIsJournaledBeforeItRuns) {
    for (int file = 0; file < 40; ++file) {
        drive.WriteFile("f" + std::to_string(100 + file), "");
    }
    JournalWatcher watcher(drive.FileSystem(), state.HostRoot());
    // Once retried; always ignored, which moves every later autonumber.
    watcher.failures = {{drive.Path("f103"), 1}, {drive.Path("f110"), 99}};
    support::ScriptedUi ui;
    ui.QueueAnswer(Answer::Retry);
    ui.QueueAnswer(Answer::Ignore);
    support::FakeClock clock;
    Workspace workspace(watcher, ui, clock, [] { return 0.5; });
    workspace.AttachJournal({state.HostRoot(), &drive.FileSystem().Drives()});
    workspace.options = support::NeutralOptions();
    workspace.options.chkInsertEnd = 1;
    workspace.options.txtInsertEnd = " ?";
    workspace.options.cboAutonumber = "Auto";
    workspace.txtSourceDir = workspace.txtDestDir = drive.Path("");
    workspace.updateFlag = true;
    workspace.RefreshSourceList();
    workspace.DoIt();
    EXPECT_TRUE(std::filesystem::is_empty(state.HostRoot()));
    EXPECT_TRUE(drive.Exists("f111 11"));
    EXPECT_EQ(workspace.UndoHistory().Newest().size(), 39u);
    workspace.Undo();
    EXPECT_TRUE(drive.Exists("f139"));
    EXPECT_TRUE(std::filesystem::is_empty(state.HostRoot()));
}

TEST_F(JournalRecovery, AsksOnceAndUndoesForgetsOrKeepsTheJournal) {
    LeaveJournal(commit::JournalOperation::Commit);
    const std::string left = std::filesystem::directory_iterator(state.HostRoot())->path();
    {
        // Another running copy still writing its journal is never asked about.
        commit::CommitJournal live({state.HostRoot(), nullptr}, commit::JournalOperation::Commit,
                                   1);
        live.Add(StepKind::Rename, drive.Path("b"), drive.Path("x"));
        ASSERT_TRUE(live.Flush().Ok());
        std::ostringstream report;
        ReportInterruptedOperations(state.HostRoot(), report);
        EXPECT_EQ(report.str(), "An interrupted \"Do It!\" left 1 entry under its new name (" +
                                    left +
                                    "). Start Kestrel with its window to undo it or to keep the "
                                    "files as they are.\n");
        EXPECT_EQ(Recover(Answer::Cancel),
                  "Interrupted operation: Kestrel stopped before it finished a \"Do It!\": 1 "
                  "entry is under its new name.\r\rDo you wish to undo it and give back the old "
                  "names?\r\rYes undoes it, No keeps the files as they are now, and Cancel asks "
                  "again at the next start.\n");
        live.Finish();
    }
    EXPECT_TRUE(drive.Exists("b"));
    Recover(Answer::No);
    EXPECT_TRUE(drive.Exists("b"));
    EXPECT_TRUE(std::filesystem::is_empty(state.HostRoot()));

    LeaveJournal(commit::JournalOperation::Undo);
    const std::string texts = Recover(Answer::Yes);
    EXPECT_TRUE(
        texts.starts_with("Interrupted operation: Kestrel stopped before it finished an "
                          "\"Undo the Do!\": 1 entry is still under its new name."));
    EXPECT_NE(texts.find("Interrupted operation: These entries could not be given back their old "
                         "names:\r\r" +
                         drive.Path("lost") + " -> " + drive.Path("gone") +
                         ": Error 53 (File not found)\n"),
              std::string::npos);
    EXPECT_EQ(drive.ReadFile("a"), "a's bytes");
    EXPECT_EQ(drive.ReadFile("c"), "c's bytes");
    EXPECT_TRUE(std::filesystem::is_empty(state.HostRoot()));
}

}  // namespace
}  // namespace kestrel::app
