#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "app/workspace.h"
#include "support/fake_clock.h"
#include "support/forwarding_file_system.h"
#include "support/neutral_options.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"

namespace kestrel::app {
namespace {

using platform::FileError;
using support::TempDrive;

// Fails renames of one name (as often as asked) and every copy, on demand.
struct Refusing : support::ForwardingFileSystem {
    using ForwardingFileSystem::ForwardingFileSystem;
    FileError Rename(std::string_view from, std::string_view to) override {
        ++renamesTried;
        if (!refusedName.empty() && from.ends_with(refusedName) && refusalsLeft > 0) {
            --refusalsLeft;
            return FileError::Make(renameError);
        }
        return inner_.Rename(from, to);
    }
    FileError Move(std::string_view from, std::string_view to) override {
        if (throwOnMove) {
            throw std::runtime_error("broken");
        }
        return inner_.Move(from, to);
    }
    FileError Copy(std::string_view from, std::string_view to) override {
        return copyError != 0 ? FileError::Make(copyError) : inner_.Copy(from, to);
    }
    FileError DeleteFile(std::string_view path) override {
        return path == refusedDelete ? FileError::Make(platform::kPermissionDenied)
                                     : inner_.DeleteFile(path);
    }
    std::string refusedName;
    std::string refusedDelete;
    int renameError = platform::kPermissionDenied;
    int refusalsLeft = 1000;
    int copyError = 0;
    bool throwOnMove = false;
    int renamesTried = 0;
};

class CommitTest : public ::testing::Test {
  protected:
    CommitTest() {
        workspace.txtSourceDir = "T:\\";
        workspace.txtDestDir = "T:\\";
        workspace.options = support::NeutralOptions();
        engine::RenameOptions& o = workspace.options;
        o.chkInsertStart = 1;
        workspace.preferences.autoResetOptions = 0;
        drive.FileSystem().Drives().Map('U', other.HostRoot());
    }

    void Commit(const char* insertStart) {
        workspace.options.txtInsertStart = insertStart;
        workspace.updateFlag = true;
        workspace.RefreshSourceList();
        workspace.updateFlag = false;
        workspace.DoIt();
    }

    // Files and folders of every level, shown with their partial paths.
    void RecursePartialPaths() {
        workspace.options.chkRecurse = 1;
        workspace.options.cboPathDisplay = engine::kShowPartialPath;
        workspace.options.cboFilesFolders = engine::kFilesAndFolders;
    }

    TempDrive drive;
    TempDrive other{"/dev/shm", 'U'};
    Refusing fileSystem{drive.FileSystem()};
    support::ScriptedUi ui;
    support::FakeClock clock;
    Workspace workspace{fileSystem, ui, clock, [] { return 0.5; }};
};

TEST_F(CommitTest, StatusCountsUpToTheLastEntryThenOptionsResetAndListReads) {
    for (const char* name : {"a", "b", "c", "d"}) {
        drive.WriteFile(name, "");
    }
    workspace.preferences.autoResetOptions = 1;
    Commit("n");
    EXPECT_EQ(ui.StatusHistory(StatusPanel::Message, "Renaming"),
              (std::vector<std::string>{"Renaming: 0% complete.", "Renaming: 25% complete.",
                                        "Renaming: 50% complete.", "Renaming: 75% complete."}));
    EXPECT_EQ(ui.LastStatus(StatusPanel::Message), "Ready.");
    EXPECT_EQ(workspace.area, 55);  // the refresh after the commit ran
    EXPECT_EQ(ui.pendingEventCalls(), 1);
    EXPECT_EQ(workspace.options.chkInsertStart, 0);
    EXPECT_FALSE(workspace.busyFlag);
}

TEST_F(CommitTest, CopyLeavesTheSourceAndSweepsWhatAKilledCopyLeftInTheTarget) {
    drive.WriteFile("Out\\.kestrel-Ab12Cd.part", "half");
    for (const char* target : {"T:\\", "T:\\Out\\"}) {
        SCOPED_TRACE(target);
        drive.WriteFile("a.txt", "bytes");
        workspace.options.chkCopy = 1;
        workspace.txtDestDir = target;
        Commit("copy of ");
        EXPECT_EQ(drive.ReadFile("a.txt"), "bytes");
        EXPECT_EQ(drive.ReadFile(std::string(target).substr(3) + "copy of a.txt"), "bytes");
    }
    EXPECT_FALSE(drive.Exists("Out\\.kestrel-Ab12Cd.part"));
}

TEST_F(CommitTest, MoveToAnotherDriveKeepsLinksAsLinksAndUndoBringsBothBack) {
    ASSERT_TRUE(other.Valid());
    drive.WriteFile("a.txt", "bytes");
    ASSERT_EQ(::symlink("a.txt", drive.HostPath("link").c_str()), 0);
    workspace.txtDestDir = "U:\\";
    Commit("n");
    EXPECT_EQ(other.ReadFile("na.txt"), "bytes");
    char text[16] = {};
    EXPECT_EQ(::readlink(other.HostPath("nlink").c_str(), text, sizeof text), 5);
    EXPECT_FALSE(drive.Exists("a.txt") || drive.Exists("link"));
    workspace.Undo();
    EXPECT_EQ(drive.ReadFile("a.txt"), "bytes");
    EXPECT_EQ(::readlink(drive.HostPath("link").c_str(), text, sizeof text), 5);
    EXPECT_FALSE(other.Exists("na.txt") || other.Exists("nlink"));
}

// Copied back, but the moved file cannot be deleted: nothing is lost, and
// the user learns that the entry is there twice.
TEST_F(CommitTest, UndoAcrossDrivesSaysWhichEntriesItLeftTwice) {
    ASSERT_TRUE(other.Valid());
    drive.WriteFile("a.txt", "bytes");
    drive.WriteFile("b.txt", "other bytes");
    workspace.txtDestDir = "U:\\";
    Commit("n");
    fileSystem.refusedDelete = "U:\\na.txt";
    ui.QueueAnswer(Answer::Ok);
    workspace.Undo();
    EXPECT_EQ(drive.ReadFile("a.txt"), "bytes");
    EXPECT_EQ(other.ReadFile("na.txt"), "bytes");
    EXPECT_EQ(drive.ReadFile("b.txt"), "other bytes");
    EXPECT_FALSE(other.Exists("nb.txt"));
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].text,
              "These entries are back under their old names, but the files under their new "
              "names could not be deleted, so each is there twice, whole both times:\r\r"
              "U:\\na.txt: Error 70 (Permission denied)");
    EXPECT_EQ(ui.boxes()[0].icon, Icon::Exclamation);
}

TEST_F(CommitTest, NamesNoEntryMayHaveAreRefusedWith52AndNothingIsMadeAtLevelZero) {
    // Inserted at the start, and the new extension (null: the extension stays).
    const std::pair<const char*, const char*> rows[] = {
        {"..\\", nullptr}, {"", "t/xt"}, {"Sub\\?", nullptr}};
    workspace.preferences.errorChecking = 0;
    drive.WriteFile("Work\\a.txt", "a");
    workspace.txtSourceDir = workspace.txtDestDir = "T:\\Work\\";
    for (const auto& [insertStart, newExtension] : rows) {
        SCOPED_TRACE(insertStart);
        workspace.options.chkChangeExt = newExtension != nullptr ? 1 : 0;
        workspace.options.txtChangeExt = newExtension != nullptr ? newExtension : "";
        ui.QueueAnswer(Answer::Ignore);
        Commit(insertStart);
        ASSERT_FALSE(ui.boxes().empty());
        EXPECT_TRUE(ui.boxes().back().text.starts_with("Error 52 (Bad file name or number)"));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(drive.HostRoot()), {}), 1);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(drive.HostPath("Work")), {}),
                  1);
    }
}

TEST_F(CommitTest, FailedCopyToAnotherDriveKeepsTheSource) {
    ASSERT_TRUE(other.Valid());
    drive.WriteFile("a.txt", "bytes");
    workspace.txtDestDir = "U:\\";
    fileSystem.copyError = platform::kDiskFull;
    ui.QueueAnswer(Answer::Ignore);
    Commit("n");
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_TRUE(ui.boxes()[0].text.starts_with("Error 61 (Disk full)"));
    EXPECT_EQ(drive.ReadFile("a.txt"), "bytes");
    EXPECT_TRUE(workspace.UndoHistory().Newest().empty());
}

TEST_F(CommitTest, RenamedFolderTakesItsEntriesAlongAndUndoRestoresEverything) {
    drive.WriteFile("Photos\\a.jpg", "a");
    drive.WriteFile("Photos\\Sub\\b.jpg", "b");
    RecursePartialPaths();
    Commit("New ");
    EXPECT_TRUE(ui.boxes().empty());
    EXPECT_EQ(drive.ReadFile("New Photos\\New a.jpg"), "a");
    EXPECT_EQ(drive.ReadFile("New Photos\\New Sub\\New b.jpg"), "b");
    EXPECT_EQ(workspace.UndoHistory().Newest().size(), 4u);

    workspace.Undo();
    EXPECT_EQ(drive.ReadFile("Photos\\a.jpg"), "a");
    EXPECT_EQ(drive.ReadFile("Photos\\Sub\\b.jpg"), "b");
    EXPECT_FALSE(drive.Exists("New Photos"));
}

TEST_F(CommitTest, MoreThanTwoHundredRenamedFoldersAllTakeTheirFilesAlong) {
    constexpr int kFolders = 250;
    for (int i = 0; i < kFolders; ++i) {
        drive.WriteFile("F" + std::to_string(1000 + i) + "\\f.txt", "");
    }
    RecursePartialPaths();
    Commit("R");
    EXPECT_EQ(workspace.UndoHistory().Newest().size(), 2u * kFolders);
    EXPECT_TRUE(drive.Exists("RF1249\\Rf.txt"));
    workspace.Undo();
    EXPECT_TRUE(drive.Exists("F1249\\f.txt"));
}

TEST_F(CommitTest, AnswersToAFailedEntryAndTheAutonumberCounter) {
    // Answer, refusals, what a, b and c are called afterwards, and the commit state.
    const std::tuple<Answer, int, std::vector<const char*>, int> cases[] = {
        {Answer::Ignore, 1000, {"a1", "b", "c2"}, 5},
        {Answer::Abort, 1000, {"a1", "b", "c"}, 3},
        {Answer::Retry, 1, {"a1", "b2", "c3"}, 5},
    };
    for (const auto& [answer, refusals, names, state] : cases) {
        SCOPED_TRACE(AnswerName(answer));
        std::filesystem::remove_all(drive.HostRoot() + "/");
        std::filesystem::create_directory(drive.HostRoot());
        for (const char* name : {"a", "b", "c"}) {
            drive.WriteFile(name, name);
        }
        fileSystem.refusedName = "\\b";
        fileSystem.refusalsLeft = refusals;
        workspace.options.chkInsertStart = 0;
        workspace.options.chkInsertEnd = 1;
        workspace.options.txtInsertEnd = "?";
        workspace.options.cboAutonumber = "Auto";
        ui.QueueAnswer(answer);
        Commit("");
        EXPECT_EQ(ui.UnusedAnswers(), 0u);
        EXPECT_EQ(workspace.CommitState(), state);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(drive.ReadFile(names[i]), std::string(1, static_cast<char>('a' + i)));
        }
    }
    // Abort comes before Retry: a commit after an aborted one must run again.
    EXPECT_EQ(ui.boxes()[0].text,
              "Error 70 (Permission denied) occurred while trying to rename the following "
              "file:\r\r\"b\" to \"b2\"\r\rDo you wish to abort the process, retry renaming the "
              "file, or ignore and continue?");
    EXPECT_EQ(ui.boxes()[0].title, "Error");
    EXPECT_EQ(ui.boxes()[0].buttons, Buttons::AbortRetryIgnore);
    EXPECT_EQ(ui.boxes()[0].icon, Icon::Question);
}

// The names each file has, with its bytes: every file once, nothing else.
std::map<std::string, std::string> Files(const TempDrive& drive) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(drive.HostRoot())) {
        if (entry.is_regular_file()) {
            const std::string name =
                std::filesystem::relative(entry.path(), drive.HostRoot()).string();
            files[name] = drive.ReadFile(name);
        }
    }
    return files;
}

// A fresh drive holding `names`, each file holding its own name, listed to
// take the name `insert` numbered from 2 by `step` in `digits`. Returns the
// files.
std::map<std::string, std::string> Numbered(TempDrive& drive, Workspace& workspace,
                                            const std::vector<std::string>& names,
                                            const char* insert, const char* digits,
                                            const char* step) {
    std::filesystem::remove_all(drive.HostRoot() + "/");
    std::filesystem::create_directory(drive.HostRoot());
    std::map<std::string, std::string> files;
    for (const std::string& name : names) {
        drive.WriteFile(name, files[name] = name);
    }
    engine::RenameOptions& o = workspace.options;
    o.chkReplaceWholeName = 1;
    o.cboAutonumber = digits;
    o.txtAutonumberStartNum = "2";
    o.txtAutonumberStep = step;
    o.txtInsertStart = insert;
    workspace.updateFlag = true;
    workspace.RefreshSourceList();
    return files;
}

// Renames whose targets other entries of the same commit hold: the preview
// flags none, the commit gives every file its new name and Undo its old one.
TEST_F(CommitTest, ShiftSwapAndRotationCommitAndUndoEveryByte) {
    std::vector<std::string> shift;
    for (int i = 1; i <= 10001; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "IMG_%05d.jpg", i);
        shift.push_back(name);
    }
    // Names in list order (the last of a shift is only a new name), the new
    // name with its number, the number's digits and step.
    const std::tuple<std::vector<std::string>, const char*, const char*, const char*> cases[] = {
        {shift, "IMG_?", "5", "1"},
        {{"x1", "x2"}, "x?", "1", "-1"},
        {{"x10", "x2", "x6"}, "x?", "1", "4"}};
    for (const auto& [names, insert, digits, step] : cases) {
        SCOPED_TRACE(names.size());
        const bool shifted = names.size() > 3;
        const std::vector<std::string> old(names.begin(), names.end() - (shifted ? 1 : 0));
        const std::map<std::string, std::string> before =
            Numbered(drive, workspace, old, insert, digits, step);
        std::map<std::string, std::string> after;
        for (std::size_t i = 0; i < old.size(); ++i) {
            after[shifted ? names[i + 1] : names[(i + 1) % names.size()]] = old[i];
        }
        EXPECT_EQ(workspace.ErrorCount(), 0);
        workspace.DoIt();
        EXPECT_TRUE(ui.boxes().empty());
        EXPECT_EQ(Files(drive), after);
        workspace.Undo();
        EXPECT_EQ(Files(drive), before);
    }
}

// A step that fails stops what waits on it, each reported with its own error
// and without a rename tried; the later numbers keep their gap, nothing is
// replaced, and a ring cut short names the temporary name it leaves. Undo
// brings back every old name.
TEST_F(CommitTest, FailuresInDependentRenamesAreReportedOneByOne) {
    const auto prompt = [](const char* error, const char* name, const char* newName) {
        return "Error " + std::string(error) +
               " occurred while trying to rename the following file:\r\r\"" + name + "\" to \"" +
               newName + "\"";
    };
    const std::string left =
        "These entries are under temporary names, because renames they waited on did not "
        "happen:\r\rT:\\.kestrel-cycle-1: \"x1\", to be \"x2\"\r\r\"Undo the Do!\" gives them "
        "their old names back.";
    const char* const kExists = "58 (File already exists)";
    const char* const kRefused = "70 (Permission denied)";
    // Files, the number's step, answers, the files after (name: the one it
    // was), the boxes shown, renames tried.
    const std::tuple<std::vector<std::string>, const char*, std::vector<Answer>,
                     std::map<std::string, std::string>, std::vector<std::string>, int>
        cases[] = {
            // A file appears at the end of a chain.
            {{"x1", "x2", "x3", "y"},
             "1",
             {Answer::Ignore, Answer::Ignore, Answer::Ignore},
             {{"x1", "x1"}, {"x2", "x2"}, {"x3", "x3"}, {"x4", "appeared"}, {"x5", "y"}},
             {prompt(kExists, "x3", "x4"), prompt(kExists, "x2", "x3"),
              prompt(kExists, "x1", "x2")},
             2},
            // A refused link of a ring is ignored, or the commit aborted there.
            {{"x1", "x2"},
             "-1",
             {Answer::Ignore, Answer::Ignore, Answer::Ok},
             {{".kestrel-cycle-1", "x1"}, {"x2", "x2"}},
             {prompt(kRefused, "x2", "x1"), prompt(kExists, ".kestrel-cycle-1", "x2"), left},
             2},
            {{"x1", "x2"},
             "-1",
             {Answer::Abort, Answer::Ok},
             {{".kestrel-cycle-1", "x1"}, {"x2", "x2"}},
             {prompt(kRefused, "x2", "x1"), left},
             2},
        };
    for (const auto& [names, step, answers, after, boxes, renamesTried] : cases) {
        SCOPED_TRACE(boxes.size());
        std::map<std::string, std::string> before =
            Numbered(drive, workspace, names, "x?", "1", step);
        const bool intruder = after.contains("x4");
        if (intruder) {
            drive.WriteFile("x4", before["x4"] = "appeared");
        }
        fileSystem.refusedName = "\\x2";
        fileSystem.refusalsLeft = intruder ? 0 : 1000;
        fileSystem.renamesTried = 0;
        const std::size_t shown = ui.boxes().size();
        for (const Answer answer : answers) {
            ui.QueueAnswer(answer);
        }
        workspace.DoIt();
        EXPECT_EQ(ui.UnusedAnswers(), 0u);
        EXPECT_EQ(fileSystem.renamesTried, renamesTried);
        std::vector<std::string> texts;
        for (std::size_t b = shown; b < ui.boxes().size(); ++b) {
            const std::string& text = ui.boxes()[b].text;
            texts.push_back(text.substr(0, text.find("\r\rDo you wish")));
        }
        EXPECT_EQ(texts, boxes);
        EXPECT_EQ(Files(drive), after);
        workspace.Undo();
        EXPECT_EQ(Files(drive), before);
    }
}

// Folders shifted with recursion: each takes its contents along, and the
// contents take their own new names in the folder's new place.
TEST_F(CommitTest, ShiftedFoldersCarryTheirRenamedContents) {
    drive.WriteFile("1\\1a.txt", "first");
    drive.WriteFile("2\\2a.txt", "second");
    RecursePartialPaths();
    engine::RenameOptions& o = workspace.options;
    o.chkInsertStart = 0;
    o.chkWildcard = 1;  // 2 becomes 3, then 1 becomes 2
    o.txtSearchChar = "21";
    o.txtReplaceChar = "32";
    Commit("");
    EXPECT_TRUE(ui.boxes().empty());
    EXPECT_EQ(Files(drive),
              (std::map<std::string, std::string>{{"2/2a.txt", "first"}, {"3/3a.txt", "second"}}));
    workspace.Undo();
    EXPECT_EQ(Files(drive),
              (std::map<std::string, std::string>{{"1/1a.txt", "first"}, {"2/2a.txt", "second"}}));
}

TEST_F(CommitTest, UnreachablePathsPassSilentlyWhileAFileMissingFromItsFolderAsks) {
    drive.WriteFile("Sub\\gone.txt", "");
    drive.WriteFile("locked.txt", "");
    drive.WriteFile("vanished.txt", "");
    workspace.options.chkRecurse = 1;
    workspace.options.cboPathDisplay = engine::kShowPartialPath;
    fileSystem.refusedName = "locked.txt";
    fileSystem.renameError = platform::kPathFileAccessError;
    workspace.options.txtInsertStart = "n";
    workspace.updateFlag = true;
    workspace.RefreshSourceList();
    std::filesystem::remove_all(drive.HostPath("Sub"));       // 76: its folder is gone
    std::filesystem::remove(drive.HostPath("vanished.txt"));  // 53: its folder is still there
    ui.QueueAnswer(Answer::Ignore);
    workspace.DoIt();
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_TRUE(ui.boxes()[0].text.starts_with("Error 53 (File not found)"));
    EXPECT_TRUE(workspace.UndoHistory().Newest().empty());
}

TEST_F(CommitTest, UnexpectedFailureIsReportedWithTheEntryAtHand) {
    drive.WriteFile("a.txt", "");
    workspace.txtDestDir = "T:\\Out\\";
    fileSystem.throwOnMove = true;
    bool closed = false;
    workspace.SetCloseAllHandler([&closed] { closed = true; });
    ui.QueueAnswer(Answer::No);
    Commit("n");
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_NE(ui.boxes()[0].text.find("Error 60-"), std::string::npos);
    EXPECT_NE(ui.boxes()[0].text.find("Data: a.txt | na.txt\r"), std::string::npos);
    EXPECT_TRUE(closed);
}

TEST_F(CommitTest, EachUndoTakesBackOneCommitEvenAnEmptyOne) {
    Commit("x");  // nothing to commit: a level all the same
    EXPECT_EQ(workspace.UndoLevel(), 1);
    drive.WriteFile("a.txt", "bytes");
    Commit("x");
    Commit("y");
    EXPECT_EQ(drive.ReadFile("yxa.txt"), "bytes");
    for (const char* name : {"xa.txt", "a.txt", "a.txt"}) {
        ASSERT_TRUE(workspace.Buttons().Enabled(CommandButton::Undo));
        workspace.Undo();
        EXPECT_EQ(drive.ReadFile(name), "bytes");
    }
    EXPECT_EQ(workspace.UndoLevel(), 0);
    EXPECT_FALSE(workspace.Buttons().Enabled(CommandButton::Undo));
    EXPECT_EQ(ui.LastStatus(StatusPanel::Message), "Ready.");
}

}  // namespace
}  // namespace kestrel::app
