#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "support/words.h"
#include "support/workspace_fixture.h"

namespace kestrel::app {
namespace {

using platform::FileError;
using support::TempDrive;
using Files = std::map<std::string, std::string>;

class CommitTest : public support::WorkspaceTestOn<support::ScriptedFileSystem> {
  protected:
    CommitTest() {
        workspace.options.chkInsertStart = 1;
        workspace.preferences.autoResetOptions = 0;
        drive.FileSystem().Drives().Map('U', other.HostRoot());
    }

    void Commit(const char* insertStart) {
        workspace.options.txtInsertStart = insertStart;
        Refresh();
        workspace.DoIt();
    }

    // Files and folders of every level, shown with their partial paths.
    void RecursePartialPaths() {
        workspace.options.chkRecurse = 1;
        workspace.options.cboPathDisplay = engine::kShowPartialPath;
        workspace.options.cboFilesFolders = engine::kFilesAndFolders;
    }

    // A fresh drive holding `names`, each file holding its own name. Returns the
    // files.
    Files Fresh(const std::vector<std::string>& names) {
        std::filesystem::remove_all(drive.HostRoot() + "/");
        std::filesystem::create_directory(drive.HostRoot());
        Files files;
        for (const std::string& name : names) {
            drive.WriteFile(name, files[name] = name);
        }
        return files;
    }

    // Lists the drive to give each entry the name `insert` numbered from 2 by
    // `step` in `digits`.
    void NumberWholeNames(const char* insert, const char* digits, const char* step) {
        engine::RenameOptions& o = workspace.options;
        o.chkReplaceWholeName = 1;
        o.cboAutonumber = digits;
        o.txtAutonumberStartNum = "2";
        o.txtAutonumberStep = step;
        o.txtInsertStart = insert;
        Refresh();
    }

    TempDrive other{"/dev/shm", 'U'};
};

TEST_F(CommitTest, StatusCountsUpToTheLastEntryThenOptionsResetAndListReads) {
    drive.WriteFiles({"a", "b", "c", "d"});
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

// Links go to another drive as links. An undo that copied a file back but
// cannot delete the moved one loses nothing, and says the entry is there
// twice; a copy that fails keeps the source.
TEST_F(CommitTest, MovesToAnotherDriveKeepLinksAndLoseNothingWhenACopyOrADeleteFails) {
    ASSERT_TRUE(other.Valid());
    drive.WriteFile("a.txt", "bytes");
    drive.WriteFile("b.txt", "other bytes");
    ASSERT_EQ(::symlink("a.txt", drive.HostPath("link").c_str()), 0);
    workspace.txtDestDir = "U:\\";
    Commit("n");
    EXPECT_EQ(other.ReadFile("na.txt"), "bytes");
    char text[16] = {};
    EXPECT_EQ(::readlink(other.HostPath("nlink").c_str(), text, sizeof text), 5);
    EXPECT_FALSE(drive.Exists("a.txt") || drive.Exists("link"));

    fileSystem.refusedDelete = "U:\\na.txt";
    ui.QueueAnswer(Answer::Ok);
    workspace.Undo();
    EXPECT_EQ(drive.ReadFile("a.txt"), "bytes");
    EXPECT_EQ(other.ReadFile("na.txt"), "bytes");
    EXPECT_EQ(drive.ReadFile("b.txt"), "other bytes");
    EXPECT_EQ(::readlink(drive.HostPath("link").c_str(), text, sizeof text), 5);
    EXPECT_FALSE(other.Exists("nb.txt") || other.Exists("nlink"));
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].text,
              "These entries are back under their old names, but the files under their new "
              "names could not be deleted, so each is there twice, whole both times:\r\r"
              "U:\\na.txt: Error 70 (Permission denied)");
    EXPECT_EQ(ui.boxes()[0].icon, Icon::Exclamation);

    std::filesystem::remove(other.HostPath("na.txt"));
    fileSystem.copyError = platform::kDiskFull;
    for (int box = 0; box < 3; ++box) {
        ui.QueueAnswer(Answer::Ignore);
    }
    Commit("n");
    ASSERT_EQ(ui.boxes().size(), 4u);
    EXPECT_TRUE(ui.boxes()[1].text.starts_with("Error 61 (Disk full)"));
    EXPECT_EQ(drive.ReadFile("a.txt"), "bytes");
    EXPECT_TRUE(workspace.UndoHistory().Newest().empty());
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

// A renamed folder takes its entries along, more than two hundred of them as
// well, and the undo brings every old name back.
TEST_F(CommitTest, RenamedFoldersTakeTheirEntriesAlongAndUndoRestoresEverything) {
    drive.WriteFile("Photos\\a.jpg", "a");
    drive.WriteFile("Photos\\Sub\\b.jpg", "b");
    constexpr int kFolders = 250;
    for (int i = 0; i < kFolders; ++i) {
        drive.WriteFile("F" + std::to_string(1000 + i) + "\\f.txt", "");
    }
    RecursePartialPaths();
    Commit("R");
    EXPECT_TRUE(ui.boxes().empty());
    EXPECT_EQ(drive.ReadFile("RPhotos\\Ra.jpg"), "a");
    EXPECT_EQ(drive.ReadFile("RPhotos\\RSub\\Rb.jpg"), "b");
    EXPECT_TRUE(drive.Exists("RF1249\\Rf.txt"));
    EXPECT_EQ(workspace.UndoHistory().Newest().size(), 4u + 2u * kFolders);

    workspace.Undo();
    EXPECT_EQ(drive.ReadFile("Photos\\a.jpg"), "a");
    EXPECT_EQ(drive.ReadFile("Photos\\Sub\\b.jpg"), "b");
    EXPECT_TRUE(drive.Exists("F1249\\f.txt"));
    EXPECT_FALSE(drive.Exists("RPhotos"));
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
        const Files before = Fresh(old);
        NumberWholeNames(insert, digits, step);
        Files after;
        for (std::size_t i = 0; i < old.size(); ++i) {
            after[shifted ? names[i + 1] : names[(i + 1) % names.size()]] = old[i];
        }
        EXPECT_EQ(workspace.ErrorCount(), 0);
        workspace.DoIt();
        EXPECT_TRUE(ui.boxes().empty());
        EXPECT_EQ(drive.Files(), after);
        workspace.Undo();
        EXPECT_EQ(drive.Files(), before);
    }
}

// The answers to a rename that fails: Ignore passes over it and the later
// numbers move up, Abort stops there, Retry tries again. Where renames wait
// on each other, a step that fails stops what waits on it, each reported with
// its own error and without a rename tried; the later numbers keep their gap,
// nothing is replaced, and a ring cut short names the temporary name it
// leaves. Undo brings back every old name.
TEST_F(CommitTest, FailedRenamesAskAndWhatWaitsOnThemIsReportedOneByOne) {
    const auto box = [](const std::string& shown) {
        if (shown == "ring") {
            return std::string(
                "These entries are under temporary names, because renames they waited on did not "
                "happen:\r\rT:\\.kestrel-cycle-1: \"x1\", to be \"x2\"\r\r\"Undo the Do!\" gives "
                "them their old names back.");
        }
        const std::size_t arrow = shown.find('>');
        return "Error " +
               std::string(shown.starts_with("58") ? "58 (File already exists)"
                                                   : "70 (Permission denied)") +
               " occurred while trying to rename the following file:\r\r\"" +
               shown.substr(3, arrow - 3) + "\" to \"" + shown.substr(arrow + 1) + "\"";
    };
    // Files, each holding its own name; the step of the numbers that replace
    // whole names (none: "?" ends each name); the name refused and how often;
    // the answers by their initials; the files after, as new=old; the boxes,
    // as "error old>new" or "ring" for one cut short; and the renames tried.
    const std::tuple<const char*, const char*, const char*, int, const char*, const char*,
                     const char*, int>
        cases[] = {
            {"a b c", nullptr, "\\b", 1000, "I", "a1=a b=b c2=c", "70 b>b2", 3},
            // Abort comes before Retry: a commit after an aborted one must run again.
            {"a b c", nullptr, "\\b", 1000, "A", "a1=a b=b c=c", "70 b>b2", 2},
            {"a b c", nullptr, "\\b", 1, "R", "a1=a b2=b c3=c", "70 b>b2", 4},
            // A file appears at the end of a chain.
            {"x1 x2 x3 y", "1", "\\x2", 0, "III", "x1=x1 x2=x2 x3=x3 x4=appeared x5=y",
             "58 x3>x4|58 x2>x3|58 x1>x2", 2},
            // A refused link of a ring is ignored, or the commit aborted there.
            {"x1 x2", "-1", "\\x2", 1000, "IIO", ".kestrel-cycle-1=x1 x2=x2",
             "70 x2>x1|58 .kestrel-cycle-1>x2|ring", 2},
            {"x1 x2", "-1", "\\x2", 1000, "AO", ".kestrel-cycle-1=x1 x2=x2", "70 x2>x1|ring", 2},
        };
    for (const auto& [names, step, refused, refusals, answers, after, boxes, renamesTried] :
         cases) {
        SCOPED_TRACE(std::string(names) + " " + answers);
        Files before = Fresh(support::Words(names));
        workspace.options.chkInsertEnd = step == nullptr ? 1 : 0;
        if (step != nullptr) {
            NumberWholeNames("x?", "1", step);
        } else {
            workspace.options.txtInsertEnd = "?";
            workspace.options.cboAutonumber = "Auto";
            Refresh();
        }
        Files expected;
        for (const std::string& file : support::Words(after)) {
            expected[file.substr(0, file.find('='))] = file.substr(file.find('=') + 1);
        }
        if (expected.contains("x4")) {
            drive.WriteFile("x4", before["x4"] = "appeared");
        }
        fileSystem.refusedName = refused;
        fileSystem.refusalsLeft = refusals;
        fileSystem.renamesTried = 0;
        const std::size_t shown = ui.boxes().size();
        ui.QueueAnswers(answers);
        workspace.DoIt();
        EXPECT_EQ(ui.UnusedAnswers(), 0u);
        EXPECT_EQ(fileSystem.renamesTried, renamesTried);
        EXPECT_EQ(workspace.CommitState(),
                  std::string_view(answers).find('A') != std::string_view::npos ? 3 : 5);
        std::vector<std::string> texts, expectedTexts;
        for (std::size_t b = shown; b < ui.boxes().size(); ++b) {
            const std::string& text = ui.boxes()[b].text;
            texts.push_back(text.substr(0, text.find("\r\rDo you wish")));
        }
        for (const std::string& text : support::Words(boxes, '|')) {
            expectedTexts.push_back(box(text));
        }
        EXPECT_EQ(texts, expectedTexts);
        EXPECT_EQ(drive.Files(), expected);
        workspace.Undo();
        EXPECT_EQ(drive.Files(), before);
    }
    EXPECT_EQ(ui.boxes()[0].text, box("70 b>b2") +
                                      "\r\rDo you wish to abort the process, retry renaming the "
                                      "file, or ignore and continue?");
    EXPECT_EQ(ui.boxes()[0].title, "Error");
    EXPECT_EQ(ui.boxes()[0].buttons, Buttons::AbortRetryIgnore);
    EXPECT_EQ(ui.boxes()[0].icon, Icon::Question);
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
    EXPECT_EQ(drive.Files(), (Files{{"2/2a.txt", "first"}, {"3/3a.txt", "second"}}));
    workspace.Undo();
    EXPECT_EQ(drive.Files(), (Files{{"1/1a.txt", "first"}, {"2/2a.txt", "second"}}));
}

TEST_F(CommitTest, UnreachablePathsPassSilentlyWhileAFileMissingFromItsFolderAsks) {
    drive.WriteFiles({"Sub\\gone.txt", "locked.txt", "vanished.txt"});
    workspace.options.chkRecurse = 1;
    workspace.options.cboPathDisplay = engine::kShowPartialPath;
    fileSystem.refusedName = "locked.txt";
    fileSystem.renameError = platform::kPathFileAccessError;
    workspace.options.txtInsertStart = "n";
    Refresh();
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
    EXPECT_EQ(ui.boxes()[0].text,
              "An unexpected application error has occurred.\rTo prevent data loss, the program "
              "will close.\r\rError 60-5: broken\rData: a.txt | na.txt\r\rWould you like to "
              "submit a bug report?");
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
