#include "app/application.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/case_rule_files.h"
#include "app/command_line.h"
#include "app/headless_ui.h"
#include "app/path_presenter.h"
#include "engine/case_rule_list.h"
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
    drive.WriteFiles({"Order\\IMG_10.jpg", "Order\\IMG_2.jpg"});
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

TEST(HeadlessUi, WithTerminalTakesTheFirstLetterOrTheWholeWordInAnyCase) {
    // Replies that are not a button of this box are asked again; the end of
    // input then takes the answer that goes on with the work, which is always
    // one of the box's buttons.
    const std::tuple<const char*, Buttons, Answer> rows[] = {
        {"y\n", Buttons::YesNoCancel, Answer::Yes},
        {"  Retry \r\n", Buttons::AbortRetryIgnore, Answer::Retry},
        {"yes\n", Buttons::AbortRetryIgnore, Answer::Ignore},
        {"ye\n\n", Buttons::YesNo, Answer::No},
        {"", Buttons::OkCancel, Answer::Ok},
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

// C: is the root, D: a USB stick, E: a folder inside C:'s tree; Q: is not mapped.
platform::DriveTable Drives() {
    platform::DriveTable drives;
    drives.Map('D', "/media/usb");
    drives.Map('E', "/home/me/Work");
    return drives;
}

TEST(PathPresenter, ShowsPathsAsThisComputerWritesThemOrWithDriveLetters) {
    const platform::DriveTable drives = Drives();
    const std::tuple<const char*, const char*> rows[] = {
        {"C:\\", "/"},
        {"C:\\home\\me\\a file.jpg", "/home/me/a file.jpg"},
        {"D:\\2001\\trip\\", "/media/usb/2001/trip/"},
        {"E:\\a.txt", "/home/me/Work/a.txt"},
        {"Q:\\gone\\", "Q:\\gone\\"},  // no folder stands for Q:
    };
    const PathPresenter host(&drives, PathStyle::Host);
    const PathPresenter letters(&drives, PathStyle::DriveLetters);
    for (const auto& [program, shown] : rows) {
        SCOPED_TRACE(program);
        EXPECT_EQ(host.Path(program), shown);
        EXPECT_EQ(letters.Path(program), program);
        // What is shown, typed back, names the same place.
        const auto place = [&drives](std::string_view path) {
            std::string host = drives.ToHostPath(path).value_or(std::string(path));
            while (host.size() > 1 && host.ends_with('/')) {
                host.pop_back();
            }
            return host;
        };
        const std::string_view typed = shown;
        EXPECT_EQ(place(typed.starts_with('/') ? drives.ToProgramPath(typed) : std::string(typed)),
                  place(program));
    }
    // Inside another letter's tree the longest mapping wins on the way back.
    EXPECT_EQ(drives.FolderInputToProgram(host.Path("C:\\home\\me\\Work\\x\\")), "E:\\x\\");
    EXPECT_EQ(host.Relative("2001\\trip\\a.jpg"), "2001/trip/a.jpg");
    EXPECT_EQ(letters.Relative("2001\\trip\\a.jpg"), "2001\\trip\\a.jpg");
    EXPECT_EQ(PathPresenter().Path("C:\\x\\"), "C:\\x\\");
}

class CommandLineTest : public ::testing::Test {
  protected:
    CommandLine Parse(std::string_view line) {
        CommandLineProbes probes;
        probes.loadTemplate = [this](int n) {
            loaded.push_back(n);
            return n == 0 || templates.count(n) > 0;
        };
        probes.isFolder = [this](std::string_view p) { return folders.count(std::string(p)) > 0; };
        probes.pathExists = [this](std::string_view p) { return files.count(std::string(p)) > 0; };
        return ParseCommandLine(line, {"C:\\Prog\\", "C:\\Prog\\Export\\"}, probes);
    }

    std::set<int> templates = {3};
    std::set<std::string> folders = {"C:\\PHOTOS\\", "C:\\photos\\", "C:\\My Files\\"};
    std::set<std::string> files = {"C:\\Rules\\a.csr", "C:\\Rules\\b.csr"};
    std::vector<int> loaded;
};

TEST_F(CommandLineTest, KeywordsInAnyCaseAndValuesAsTyped) {
    const CommandLine line = Parse("template:3 folder:C:\\photos\\ csv no-window");
    EXPECT_EQ(line.errorText, "");
    EXPECT_EQ(line.templateNumber, 3);
    EXPECT_EQ(loaded, (std::vector<int>{3}));
    EXPECT_EQ(line.folder, "C:\\photos\\");
    EXPECT_TRUE(line.commaFile.has_value());
    EXPECT_TRUE(line.noWindow);
    EXPECT_FALSE(line.recurse);
    // A quoted space does not split the token.
    EXPECT_EQ(Parse("FOLDER:\"C:\\My Files\" NO-WINDOW").folder, "C:\\My Files\\");
}

TEST_F(CommandLineTest, FileValuesAndDefaults) {
    const std::tuple<const char*, std::optional<std::string> CommandLine::*, const char*> cases[] =
        {
            {"CSV", &CommandLine::commaFile, "C:\\Prog\\Export\\Comma separated.csv"},
            {"csv:d:\\Out.csv", &CommandLine::commaFile, "d:\\Out.csv"},
            {"LIST", &CommandLine::listFile, "C:\\Prog\\File List.txt"},
            {"BAT", &CommandLine::batchFile, "C:\\Prog\\Export\\Batch.bat"},
            {"BAT:C:\\x\\", &CommandLine::batchFile, "C:\\x"},
        };
    for (const auto& [text, file, expected] : cases) {
        SCOPED_TRACE(text);
        const CommandLine line = Parse(text);
        EXPECT_EQ(line.errorText, "");
        EXPECT_EQ(line.*file, expected);
    }
}

TEST_F(CommandLineTest, UnknownIncompleteAndRepeatedParameters) {
    EXPECT_EQ(Parse("TEMPLATE:x").errorText, "Unknown or incomplete parameter: TEMPLATE:x\r\n");
    EXPECT_EQ(Parse("FOLDER:C:\\Prog\\a.txt").errorText,
              "Unknown or incomplete parameter: FOLDER:C:\\Prog\\a.txt\r\n");
    EXPECT_EQ(Parse("\"C:\\Rules\\a.csr\"").errorText,
              "Unknown or incomplete parameter: \"C:\\Rules\\a.csr\"\r\n");
    EXPECT_EQ(Parse("CSV  NO-WINDOW").errorText, "Unknown or incomplete parameter: \r\n");
    EXPECT_EQ(Parse("csv CSV:x.csv").errorText, "Multiple instances not allowed: CSV:x.csv\r\n");
    EXPECT_EQ(Parse("bogus RECURSE RECURSE").errorText,
              "Unknown or incomplete parameter: bogus\r\n"
              "Multiple instances not allowed: RECURSE\r\n");
}

TEST_F(CommandLineTest, ScriptPreviewCommitAndUndo) {
    files.insert("shots.csr");
    struct Case {
        const char* text;
        std::optional<std::string> shellFile;
        std::optional<std::string> previewFile;
        bool doIt;
        bool undo;
        const char* errors;
    } const cases[] = {
        {"sh", "C:\\Prog\\Export\\Rename.sh", std::nullopt, false, false, ""},
        {"SH:-", "-", std::nullopt, false, false, ""},
        {"preview", std::nullopt, "", false, false, ""},
        {"PREVIEW:/tmp/p.txt doit", std::nullopt, "/tmp/p.txt", true, false, ""},
        {"undo", std::nullopt, std::nullopt, false, true, ""},
        // Only the whole keyword: a case-rule file whose name begins with
        // "SH" stays one, and a longer word is no keyword.
        {"shots.csr", std::nullopt, std::nullopt, false, false, ""},
        {"SHX", std::nullopt, std::nullopt, false, false,
         "Unknown or incomplete parameter: SHX\r\n"},
        {"DOIT UNDO", std::nullopt, std::nullopt, true, true,
         "Not allowed together: DOIT and UNDO\r\n"},
        {"DOIT doit", std::nullopt, std::nullopt, true, false,
         "Multiple instances not allowed: doit\r\n"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.text);
        const CommandLine line = Parse(row.text);
        EXPECT_EQ(line.errorText, row.errors);
        EXPECT_EQ(line.shellFile, row.shellFile);
        EXPECT_EQ(line.previewFile, row.previewFile);
        EXPECT_EQ(line.doIt, row.doIt);
        EXPECT_EQ(line.undo, row.undo);
    }
    EXPECT_EQ(Parse("LIST:-").listFile, "-");
}

TEST_F(CommandLineTest, CaseRuleFilesRepeatInOrder) {
    const CommandLine line = Parse("C:\\Rules\\a.csr C:\\Rules\\b.csr");
    EXPECT_EQ(line.errorText, "");
    EXPECT_EQ(line.caseRuleFiles,
              (std::vector<std::string>{"C:\\Rules\\a.csr", "C:\\Rules\\b.csr"}));
}

TEST_F(CommandLineTest, CopyResetPrintAndEmptyLine) {
    CommandLine line = Parse("COPY:D:\\BACKUP RESET PRINT");
    EXPECT_EQ(line.copyTarget, "D:\\BACKUP");
    EXPECT_TRUE(line.reset);
    EXPECT_TRUE(line.print);
    EXPECT_EQ(Parse("COPY").copyTarget, "");
    line = Parse("");
    EXPECT_FALSE(line.copyTarget.has_value());
    EXPECT_EQ(line.errorText, "");
    EXPECT_TRUE(loaded.empty());
}

// What a file manager hands over: a folder's path alone, or the paths of
// the entries selected, each one argument as the desktop passes it.
TEST(CommandLinePath, OneFolderIsTheWorkingFolderAndAnythingElseTheEntriesToList) {
    CommandLineProbes probes;
    probes.isFolder = [](std::string_view path) {
        return path == "/home/me/My Photos\\" || path == "D:\\Photos\\";
    };
    probes.pathExists = [](std::string_view path) { return path == "/home/me/a \"b\".jpg"; };
    using Texts = std::vector<std::string>;
    const std::tuple<Texts, std::optional<std::string>, Texts, const char*> rows[] = {
        {{"\"/home/me/My Photos\""}, "/home/me/My Photos\\", {}, ""},
        {{"NO-WINDOW", "D:\\Photos"}, "D:\\Photos\\", {}, ""},
        {{"/home/me/a \"b\".jpg"}, std::nullopt, {"/home/me/a \"b\".jpg"}, ""},
        {{"/home/me/-x", "/home/me/new\nline", "D:\\Photos"},
         std::nullopt,
         {"/home/me/-x", "/home/me/new\nline", "D:\\Photos"},
         ""},
        {{"/home/me/gone"}, std::nullopt, {}, "Unknown or incomplete parameter: /home/me/gone\r\n"},
        {{"Photos"}, std::nullopt, {}, "Unknown or incomplete parameter: Photos\r\n"},
        {{"D:\\Photos", "FOLDER:D:\\Photos"},
         "D:\\Photos\\",
         {},
         "Multiple instances not allowed: FOLDER:D:\\Photos\r\n"},
        {{"FOLDER:D:\\Photos", "/home/me/a \"b\".jpg"},
         "D:\\Photos\\",
         {},
         "Multiple instances not allowed: /home/me/a \"b\".jpg\r\n"},
    };
    for (const auto& [arguments, folder, entries, error] : rows) {
        SCOPED_TRACE(arguments.front());
        const CommandLine line = ParseArguments(arguments, {"C:\\", "C:\\Export\\"}, probes);
        EXPECT_EQ(line.folder, folder);
        EXPECT_EQ(line.entries, entries);
        EXPECT_EQ(line.errorText, error);
    }
}

#ifdef KESTREL_SOURCE_DIR
// --help and the manual page are made from the parameter table; the README and
// the help manual are written by hand and must name every parameter too.
TEST(CommandLineHelp, TheReadmeAndTheManualNameEveryParameter) {
    const auto read = [](const char* relative) {
        std::ifstream in(std::string(KESTREL_SOURCE_DIR) + "/" + relative, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string readme = read("README.md");
    const std::string manual = read("help/command-line.html");
    ASSERT_FALSE(readme.empty());
    ASSERT_FALSE(manual.empty());
    for (const ParameterHelp& parameter : ParameterTable()) {
        const std::string syntax(parameter.syntax.substr(0, parameter.syntax.find(',')));
        SCOPED_TRACE(syntax);
        EXPECT_NE(readme.find("| `" + syntax + "`"), std::string::npos);
        EXPECT_NE(manual.find("<tr><td><code>" + syntax + "</code>"), std::string::npos);
        EXPECT_NE(UsageText().find("  " + syntax), std::string::npos);
    }
}
#endif

using engine::CaseRuleList;
using support::TempDrive;
using Texts = std::vector<std::string>;

class CaseRuleFilesTest : public ::testing::Test {
  protected:
    CaseRuleFilesTest() {
        for (const char* text : {"DVD", "McDonald", "NASA"}) {
            list.InsertSorted(text, true);
        }
    }
    int Read(const char* bytes, int mode) {
        drive.WriteFile("rules.csr", bytes);
        return ReadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("rules.csr"), mode);
    }
    Texts ListTexts() const {
        Texts texts;
        for (const engine::CaseRule& rule : list.Rules()) {
            texts.push_back(rule.marked ? rule.text : ":" + rule.text);
        }
        return texts;
    }

    TempDrive drive;
    support::ScriptedUi ui;
    CaseRuleList list;
};

TEST_F(CaseRuleFilesTest, ReadAddsDecodedLinesKeepsTwinsSilentlyOrAsksAboutClashes) {
    EXPECT_EQ(Read("dvd\r\nCaf\xE9\r\n\r\n:New", engine::kConflictKeepExisting), 1);
    EXPECT_EQ(ListTexts(), (Texts{"", "Café", "DVD", "McDonald", "NASA", ":New"}));
    EXPECT_TRUE(ui.boxes().empty());

    // Clashes are asked in a rule conflict box, with Cancel only when merging.
    ui.QueueAnswer(Answer::Yes);
    Read("Dvd", engine::kConflictAskYesNo);
    ui.QueueAnswer(Answer::Yes);
    Read("nasa", engine::kConflictAskYesNoCancel);
    ASSERT_EQ(ui.boxes().size(), 2u);
    for (const support::ScriptedUi::Box& box : ui.boxes()) {
        EXPECT_EQ(box.title, "Rule conflict");
        EXPECT_EQ(box.icon, Icon::Question);
    }
    EXPECT_EQ(ui.boxes()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(ui.boxes()[1].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(ui.boxes()[1].text, engine::RuleConflictQuestion("NASA", "nasa", true));
    EXPECT_EQ(ListTexts(), (Texts{"", "Café", "Dvd", "McDonald", "nasa", ":New"}));
}

TEST_F(CaseRuleFilesTest, MergeCancelKeepsExistingRulesForTheRestOfThatReadOnly) {
    const char* clashes = "dvd\r\nNew\r\nnasa\r\nmcdonald\r\n";
    ui.QueueAnswer(Answer::Cancel);
    EXPECT_EQ(Read(clashes, engine::kConflictAskYesNoCancel), 1);
    EXPECT_EQ(ListTexts(), (Texts{"DVD", "McDonald", "NASA", "New"}));
    EXPECT_EQ(ui.boxes().size(), 1u);

    // The next read asks again, "New" now clashing with itself too.
    for (Answer answer : {Answer::Yes, Answer::No, Answer::No, Answer::No}) {
        ui.QueueAnswer(answer);
    }
    Read(clashes, engine::kConflictAskYesNoCancel);
    EXPECT_EQ(ui.boxes().size(), 5u);
    EXPECT_EQ(ListTexts(), (Texts{"dvd", "McDonald", "NASA", "New"}));
}

TEST_F(CaseRuleFilesTest, ReadStopsAddingAtTheRuleLimit) {
    list.Clear();
    for (int i = 0; i < engine::kMaxCaseRules - 1; ++i) {
        list.InsertSorted("r" + std::to_string(100000 + i), true);
    }
    Read("x1\r\nx2\r\nx3\r\n", engine::kConflictKeepExisting);
    EXPECT_EQ(list.Size(), engine::kMaxCaseRules);
    EXPECT_EQ(list.At(list.Size() - 1).text, "x1");
}

TEST_F(CaseRuleFilesTest, SaveWritesTheWholeListOrFailsAndLoadReplacesItUnlessUnreadable) {
    list.SetMarked(0, false);
    ASSERT_TRUE(CaseRulesSave(drive.FileSystem(), list, TempDrive::Path("Saved.csr")).Ok());
    EXPECT_EQ(drive.ReadFile("Saved.csr"), ":DVD\r\nMcDonald\r\nNASA\r\n");
    EXPECT_FALSE(
        CaseRulesSave(drive.FileSystem(), list, TempDrive::Path("missing\\Saved.csr")).Ok());

    const std::string missing = TempDrive::Path("none.csr");
    EXPECT_EQ(ReadCaseRules(drive.FileSystem(), ui, list, missing, engine::kConflictKeepExisting),
              0);
    EXPECT_EQ(LoadCaseRules(drive.FileSystem(), ui, list, missing), 0);
    EXPECT_EQ(ListTexts(), (Texts{":DVD", "McDonald", "NASA"}));

    drive.WriteFile("b.csr", "NASA\r\nnasa\r\n");
    EXPECT_EQ(LoadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("b.csr")), 1);
    EXPECT_EQ(ListTexts(), Texts{"NASA"});
    EXPECT_TRUE(ui.boxes().empty());
}

}  // namespace
}  // namespace kestrel::app
