#include "app/application.h"

#include <gtest/gtest.h>
#include <filesystem>

#include "app/headless_ui.h"
#include "app/unexpected_error.h"
#include "settings/key_paths.h"
#include "support/fake_clock.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"
#include "text/unicode_text.h"

namespace kestrel::app {
namespace {

using settings::Scope;

// An application whose settings live in a temporary folder and whose working
// folder is a temporary folder, addressed by native paths.
class ApplicationTest : public ::testing::Test {
  protected:
    ApplicationTest() {
        drive.MakeFolder("cfg");
        drive.MakeFolder("home");
        drive.WriteFile("Work\\a.txt", "");
    }

    std::unique_ptr<Application> Make() {
        return std::make_unique<Application>(
            ProgramPlace{drive.HostPath("prog/kestrel"), drive.HostPath("cfg"),
                         drive.HostPath("data"), drive.HostPath("home")},
            ui, clock, errors);
    }

    settings::SettingsStore Store() { return settings::SettingsStore(drive.HostPath("cfg")); }

    support::TempDrive drive;
    support::ScriptedUi ui;
    support::FakeClock clock;
    std::ostringstream errors;
};

TEST_F(ApplicationTest, FirstRunQuestionIsAskedOnceAndRecordsTheBuild) {
    auto app = Make();
    ASSERT_TRUE(app->Start("", true).runWindow);
    ui.QueueAnswer(Answer::Yes);
    app->FinishWindowStart();
    app->RunFirstListing();
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].title, "Internet Update");
    EXPECT_EQ(ui.boxes()[0].text,
              "Kestrel can download updates from the Internet automatically when it is run.   "
              "\r\rWould you like to enable this feature now?  (You can change it later in "
              "Preferences)  ");
    EXPECT_EQ(app->workspace().preferences.autoUpdate, 1);
    EXPECT_EQ(Store().ReadNumber(Scope::Machine, settings::kSettingsKey, "Build", 0), 276);

    auto again = Make();
    again->Start("", true);
    again->FinishWindowStart();
    EXPECT_EQ(ui.boxes().size(), 1u);
}

TEST_F(ApplicationTest, ShutdownRemembersTheFolderAndPositionEvenWithoutSavingTheTemplate) {
    auto app = Make();
    app->Start("", true);
    Workspace& ws = app->workspace();
    ws.chkSaveTemplate = false;
    const std::string work =
        app->fileSystem().Drives().FolderInputToProgram(drive.HostPath("Work"));
    ws.txtSourceDir = work;
    app->Shutdown(150, 300);
    settings::SettingsStore store = Store();
    const std::string key = settings::TemplateKey(0);
    EXPECT_EQ(store.ReadText(Scope::Machine, key, "Working folder", ""), work);
    EXPECT_EQ(store.ReadNumber(Scope::Machine, settings::kSettingsKey, "Window Position X", -1),
              150);
    EXPECT_EQ(store.ReadNumber(Scope::Machine, settings::kSettingsKey, "Window Position Y", -1),
              300);
    EXPECT_EQ(store.ReadText(Scope::Machine, key, "", ""), "");  // no template saved
}

TEST_F(ApplicationTest, SyntaxErrorInWindowModeIsShownAndEndsTheRun) {
    auto app = Make();
    ui.QueueAnswer(Answer::Ok);
    const StartResult result = app->Start("BOGUS", true);
    EXPECT_FALSE(result.runWindow);
    EXPECT_EQ(result.exitStatus, 2);
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].title, "Syntax error");
    EXPECT_EQ(ui.boxes()[0].text, "Unknown or incomplete parameter: BOGUS\r\n");
    EXPECT_EQ(ui.boxes()[0].icon, Icon::Critical);
}

TEST_F(ApplicationTest, FolderValuesAreFoundWithoutRegardToCaseAndEndWithABackslash) {
    drive.MakeFolder("Work\\Sub");
    auto app = Make();
    const std::string work =
        app->fileSystem().Drives().ToProgramPath(drive.HostPath("Work")) + "\\";
    const std::string lowerHost = text::ToLower(drive.HostPath("Work"));
    const std::string typed[] = {
        lowerHost,
        drive.HostPath("Work/Sub/.."),
        drive.HostPath("Work/./Sub/../"),
        text::ToLower(work),
    };
    for (const std::string& folder : typed) {
        SCOPED_TRACE(folder);
        ASSERT_EQ(Make()->Start("NO-WINDOW FOLDER:\"" + folder + "\"", false).exitStatus, 0);
        auto check = Make();
        check->Start("", false);
        EXPECT_EQ(check->workspace().WorkingFolder(), work);
    }
    app->Start("NO-WINDOW COPY:" + drive.HostPath("Backup"), false);
    EXPECT_EQ(app->workspace().txtDestDir,
              app->fileSystem().Drives().ToProgramPath(drive.HostPath("Backup")) + "\\");
    EXPECT_EQ(app->workspace().options.chkCopy, 1);
}

// A template keeps a tagged text as typed, and its order; the command line's
// batch file carries the names its tags make, numbered in that order.
TEST_F(ApplicationTest, ATemplatesTagsAndOrderNameTheFilesOfTheCommandLinesExport) {
    drive.MakeFolder("Tags");
    std::filesystem::copy_file(std::string(KESTREL_TAG_SAMPLES) + "/photo.jpg",
                               drive.HostPath("Tags/photo.jpg"));
    drive.WriteFile("Order\\IMG_10.jpg", "");
    drive.WriteFile("Order\\IMG_2.jpg", "");
    // Folder, text inserted at the start, digits, order, and lines of the batch file.
    const std::tuple<const char*, const char*, const char*, int, std::vector<std::string>> cases[] =
        {
            {"Tags",
             "<taken:yyyy-MM-dd> <camera> - ",
             "Off",
             engine::kSortByName,
             {"ren \"photo.jpg\" \"2001-02-03 Canon EOS 5D - photo.jpg\""}},
            {"Order",
             "? ",
             "Auto",
             engine::kSortNatural,
             {"ren \"IMG_2.jpg\" \"1 IMG_2.jpg\"", "ren \"IMG_10.jpg\" \"2 IMG_10.jpg\""}},
        };
    for (const auto& [folder, insert, digits, order, lines] : cases) {
        SCOPED_TRACE(folder);
        {
            auto app = Make();
            app->Start("", false);
            engine::RenameOptions& options = app->workspace().options;
            options.chkInsertStart = 1;
            options.txtInsertStart = insert;
            options.cboAutonumber = digits;
            options.cboCaseHandling = 0;
            options.chkUnderscore = 0;
            options.cboSort = order;
            app->workspace().SaveTemplate(3, folder);
        }
        EXPECT_EQ(Store().ReadText(Scope::Machine, settings::TemplateKey(3),
                                   "Insert text start text", ""),
                  insert);
        ASSERT_EQ(Make()
                      ->Start("TEMPLATE:3 NO-WINDOW FOLDER:" + drive.HostPath(folder) +
                                  " BAT:" + drive.HostPath("out.bat"),
                              false)
                      .exitStatus,
                  0);
        for (const std::string& line : lines) {
            EXPECT_NE(drive.ReadFile("out.bat").find(line), std::string::npos)
                << drive.ReadFile("out.bat");
        }
    }
}

// The program folder holds only what the program reads: what it writes by
// itself goes to the user's data folder, which an installation's read-only
// folder cannot stop.
TEST_F(ApplicationTest, ProgramFolderIsReadAndTheUsersFilesGoToTheDataFolder) {
    auto fromExecutable = Make();
    const platform::DriveTable& drives = fromExecutable->fileSystem().Drives();
    const std::string data = drives.FolderInputToProgram(drive.HostPath("data"));
    EXPECT_EQ(fromExecutable->ProgramFolder(), drives.FolderInputToProgram(drive.HostPath("prog")));
    EXPECT_EQ(fromExecutable->ExportFolder(), data + "Export\\");
    EXPECT_EQ(fromExecutable->CaseRuleFiles(),
              (std::vector<std::string>{data + "Case Rules\\Default.csr"}));

    // Installed: the rule file the installation brings is copied into the
    // data folder the first time it is missing there, and never again.
    drive.WriteFile("usr\\bin\\kestrel", "");
    drive.WriteFile("usr\\share\\kestrel\\Case Rules\\Default.csr", "DVD\r\n");
    Store().WriteText(Scope::Machine, settings::kRootKey, "App Path", drive.HostPath("usr/bin"));
    EXPECT_EQ(Make()->ProgramFolder(), drives.FolderInputToProgram(drive.HostPath("usr/bin")));
    EXPECT_EQ(drive.ReadFile("data\\Case Rules\\Default.csr"), "DVD\r\n");
    drive.WriteFile("data\\Case Rules\\Default.csr", "Mine\r\n");
    Make();
    EXPECT_EQ(drive.ReadFile("data\\Case Rules\\Default.csr"), "Mine\r\n");
}

// A store with no working folder (the first start, "Reset Options" on a fresh
// store) opens on the home folder, never on the root of the file system.
TEST_F(ApplicationTest, AFreshStoreOpensOnTheHomeFolder) {
    auto app = Make();
    ASSERT_TRUE(app->Start("", true).runWindow);
    const std::string home =
        app->fileSystem().Drives().FolderInputToProgram(drive.HostPath("home"));
    EXPECT_EQ(app->workspace().txtSourceDir, home);
    EXPECT_EQ(app->workspace().txtDestDir, home);
    app->workspace().txtSourceDir = "C:\\";
    Store().DeleteKey(Scope::Machine, settings::TemplateKey(0));
    app->workspace().LoadTemplate(0);
    EXPECT_EQ(app->workspace().txtSourceDir, home);
}

TEST_F(ApplicationTest, UnexpectedErrorReportText) {
    EXPECT_EQ(UnexpectedErrorText(60, {5, "Invalid procedure call or argument"}, "a.txt | b.txt"),
              "An unexpected application error has occurred.\r"
              "To prevent data loss, the program will close.\r\r"
              "Error 60-5: Invalid procedure call or argument\r"
              "Data: a.txt | b.txt\r\r"
              "Would you like to submit a bug report?");
}

std::string Rest(std::istream& input) {
    return std::string(std::istreambuf_iterator<char>(input), {});
}

// A run without a window logs its questions and nothing else.
TEST(HeadlessUi, WithoutTerminalAnswersWithoutReadingAndLogsOnlyTheBox) {
    std::istringstream input("yes\n");
    std::ostringstream output;
    HeadlessUi ui(input, output, false);
    ui.SetStatus(StatusPanel::Source, "2 files");
    ui.ShowProgress(Progress::Listing, 10);
    ui.SetProgress(Progress::Listing, 5);
    ui.SetSplashStatus("Reading");
    ui.PlaySound("done.wav");

    const Answer answer = ui.Ask("User-specified interrupt.\r\rDo you wish to abort?\rLine\r\nLast",
                                 "Kestrel", Buttons::YesNoCancel, Icon::Question);

    EXPECT_EQ(answer, Answer::Cancel);
    EXPECT_EQ(Rest(input), "yes\n");
    EXPECT_EQ(output.str(),
              "--- Kestrel (question) ---\n"
              "User-specified interrupt.\n\nDo you wish to abort?\nLine\nLast\n"
              "Answer: Cancel (no terminal)\n");
}

TEST(HeadlessUi, WithTerminalAsksAgainUntilTheReplyNamesAButtonOrInputEnds) {
    std::istringstream input("x\nyes\nno\n");
    std::ostringstream output;
    HeadlessUi ui(input, output, true);

    EXPECT_EQ(
        ui.Ask("Overwrite rule DVD with Dvd?   ", "Rule conflict", Buttons::YesNo, Icon::Question),
        Answer::Yes);
    EXPECT_EQ(Rest(input), "no\n");
    EXPECT_EQ(ui.Ask("Could not rename.", "", Buttons::AbortRetryIgnore, Icon::None),
              Answer::Ignore);
    EXPECT_EQ(output.str(),
              "--- Rule conflict (question) ---\n"
              "Overwrite rule DVD with Dvd?   \n"
              "[Y]es/[N]o? [Y]es/[N]o? "
              "--- Kestrel ---\n"
              "Could not rename.\n"
              "[A]bort/[R]etry/[I]gnore? \n"
              "Answer: Ignore (end of input)\n");
}

TEST(HeadlessUi, WithTerminalTakesTheFirstLetterOrTheWholeWordInAnyCase) {
    // Replies that are not a button of this box are asked again; the end of
    // input then takes the answer that goes on with the work, which is always
    // one of the box's buttons.
    const std::tuple<const char*, Buttons, Answer> rows[] = {
        {"y\n", Buttons::YesNoCancel, Answer::Yes},
        {"CANCEL\n", Buttons::YesNoCancel, Answer::Cancel},
        {"  Retry \r\n", Buttons::AbortRetryIgnore, Answer::Retry},
        {"a\n", Buttons::AbortRetryIgnore, Answer::Abort},
        {"ok\n", Buttons::OkCancel, Answer::Ok},
        {"yes\n", Buttons::AbortRetryIgnore, Answer::Ignore},
        {"ye\n\n", Buttons::YesNo, Answer::No},
        {"", Buttons::OkCancel, Answer::Ok},
        {"", Buttons::Ok, Answer::Ok},
    };
    for (const auto& [reply, buttons, expected] : rows) {
        std::istringstream input(reply);
        std::ostringstream output;
        EXPECT_EQ(HeadlessUi(input, output, true).Ask("Text", "Title", buttons, Icon::None),
                  expected)
            << reply;
    }
    const std::tuple<const char*, bool, std::optional<std::string>> inputs[] = {
        {"typed\n", false, "initial"},
        {"typed\r\n", true, "typed"},
        {"\n", true, "initial"},
        {"", true, std::nullopt},
    };
    for (const auto& [typed, terminal, expected] : inputs) {
        std::istringstream input(typed);
        std::ostringstream output;
        EXPECT_EQ(HeadlessUi(input, output, terminal).Input("Folder:", "Title", "initial"),
                  expected)
            << typed;
    }
}

// A commit on a terminal shows its progress on one line, each text over the
// last, and clears it at the end; other panels and repeats write nothing.
TEST(HeadlessUi, ShowsProgressTextsOnOneTerminalLine) {
    std::istringstream input;
    std::ostringstream log;
    std::ostringstream terminal;
    HeadlessUi ui(input, log, false);
    ui.SetStatus(StatusPanel::Message, "Renaming: 0% complete.");
    ui.ShowProgressOn(terminal);
    for (const char* text : {"Renaming: 0% complete.", "Renaming: 50% complete.",
                             "Renaming: 50% complete.", "Ready."}) {
        ui.SetStatus(StatusPanel::Message, text);
    }
    ui.SetStatus(StatusPanel::Source, "2 files");
    EXPECT_EQ(terminal.str(), "\r\x1b[KRenaming: 50% complete.\r\x1b[K");
    EXPECT_EQ(log.str(), "");
}

}  // namespace
}  // namespace kestrel::app
