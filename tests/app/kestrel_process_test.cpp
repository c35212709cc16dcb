// The kestrel program run as a real process: parameters, files written, exit
// statuses, the preview, shell scripts run by /bin/sh, commits and undos, as a
// script calling it sees them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "engine/rename_options.h"
#include "settings/key_paths.h"
#include "settings/settings_store.h"
#include "settings/templates.h"
#include "support/neutral_options.h"
#include "support/process_run.h"
#include "support/temp_drive.h"
#include "support/words.h"

// Built only together with the program itself.
#ifdef KESTREL_BINARY

namespace kestrel::app {
namespace {

using support::ProcessResult;
using Files = std::map<std::string, std::string>;

class KestrelProcess : public ::testing::Test {
  protected:
    KestrelProcess() {
        drive.WriteFile("prog\\kestrel", "");
        drive.WriteFile("My Photos\\my_holiday.JPG", "jpeg");
        drive.WriteFile("My Photos\\my dvd.txt", "");
        Store().WriteText(settings::Scope::Machine, settings::kRootKey, "App Path", Host("prog"));
    }

    std::string Host(std::string_view relative) const { return drive.HostPath(relative); }
    settings::SettingsStore Store() const { return settings::SettingsStore(Host("cfg")); }

    // Template `number` with `options`, for a run to name.
    void SaveTemplate(int number, const engine::RenameOptions& options) {
        settings::SettingsStore store = Store();
        settings::SaveTemplate(store, number, "Test", options, "C:\\", settings::Preferences{},
                               false);
    }

    std::vector<std::string> Environment() const {
        return {"KESTREL_CONFIG_DIR=" + Host("cfg"),
                "XDG_DATA_HOME=" + Host("data"),
                "XDG_STATE_HOME=" + Host("state"),
                "DISPLAY=",
                "WAYLAND_DISPLAY=",
                "QT_QPA_PLATFORM="};
    }

    ProcessResult Run(const std::vector<std::string>& arguments,
                      const std::string& program = KESTREL_BINARY) {
        return support::RunProcess(program, arguments, Environment(), drive.HostRoot());
    }

    ProcessResult Shell(const std::string& script) {
        return support::RunProcess("/bin/sh", {script}, {}, drive.HostRoot());
    }

    support::TempDrive drive;
};

TEST_F(KestrelProcess, HelpVersionAndAWindowWithoutADisplay) {
    const ProcessResult help = Run({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.standardOutput.find("NO-WINDOW"), std::string::npos);
    const ProcessResult version = Run({"--version"});
    EXPECT_EQ(version.standardOutput, "Kestrel 1.0.276\n");
    const ProcessResult window = Run({});
    EXPECT_EQ(window.exitStatus, 2);
    EXPECT_NE(window.standardError.find("NO-WINDOW"), std::string::npos);
}

// Installed as a package installs it, the program folder is not the user's to
// write: the default exports go to the data folder, and the rule file the
// installation brings is copied there and read, unless the command line names
// rule files of its own. Nothing in the installed tree changes, whatever its
// permissions (tests may run as root). Keywords are taken in any case.
TEST_F(KestrelProcess, AnInstalledProgramWritesOnlyInTheUsersDataFolder) {
    const std::string prefix = Host("usr");
    const ProcessResult installed = support::RunProcess(
        KESTREL_CMAKE, {"--install", KESTREL_BUILD_DIR, "--prefix", prefix}, {}, drive.HostRoot());
    ASSERT_EQ(installed.exitStatus, 0) << installed.standardError;
    drive.WriteFile("usr\\share\\kestrel\\Case Rules\\Default.csr", "DVD\r\n");
    drive.WriteFile("a.csr", "MY\r\n");
    drive.WriteFile("b.csr", "HOLIDAY\r\n");
    Store().WriteText(settings::Scope::Machine, settings::kRootKey, "App Path", prefix + "/bin");
    const auto tree = [&prefix] {
        std::vector<std::string> entries;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(prefix)) {
            entries.push_back(entry.path().string() + " " +
                              std::to_string(entry.is_regular_file() ? entry.file_size() : 0));
        }
        std::sort(entries.begin(), entries.end());
        return entries;
    };
    const std::vector<std::string> before = tree();
    ::chmod((prefix + "/bin").c_str(), 0555);
    // The second run lists the folder the first one left off in.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"no-window", "folder:" + Host("My Photos"), "bat", "list",
                                   "csv"},
          {"NO-WINDOW", "BAT:" + Host("out.bat"), Host("a.csr"), Host("b.csr")}}) {
        const ProcessResult ok = Run(arguments, prefix + "/bin/kestrel");
        ASSERT_EQ(ok.exitStatus, 0) << ok.standardError;
    }
    ::chmod((prefix + "/bin").c_str(), 0755);
    EXPECT_EQ(tree(), before);
    EXPECT_EQ(drive.ReadFile("data\\kestrel\\Case Rules\\Default.csr"), "DVD\r\n");
    EXPECT_NE(drive.ReadFile("data\\kestrel\\Export\\Batch.bat").find("\"My DVD.txt\""),
              std::string::npos);
    EXPECT_TRUE(drive.Exists("data\\kestrel\\Export\\Comma separated.csv"));
    EXPECT_NE(drive.ReadFile("data\\kestrel\\File List.txt")
                  .find(" has 2 items.  Listing generated by Kestrel. \r\nmy dvd.txt\r\n"
                        "my_holiday.JPG\r\n"),
              std::string::npos);
    const std::string batch = drive.ReadFile("out.bat");
    EXPECT_NE(batch.find("ren \"my dvd.txt\" \"MY Dvd.txt\"\r\n"), std::string::npos) << batch;
    EXPECT_NE(batch.find("ren \"my_holiday.JPG\" \"MY HOLIDAY.jpg\"\r\n"), std::string::npos);
    EXPECT_TRUE(drive.Exists("out.bat.undo.bat"));
}

// A file manager's selection, one argument a path: exactly those entries are
// listed, whatever characters their names hold; what cannot be listed is
// named, and the rest still are.
TEST_F(KestrelProcess, EntriesGivenAloneAreListedAndNothingElse) {
    for (const char* name : {"a 1.jpg", "it's \"q\".jpg", "$x`y`.jpg", "-lead.jpg", "new\nline.jpg",
                             "other.jpg", "Sub\\c.jpg"}) {
        drive.WriteFile(std::string("Sel\\") + name, "");
    }
    drive.WriteFile("Two\\d.jpg", "");
    drive.MakeFolder("Sel\\Fold");
    // Entries given and the rows listed in order, each list split at "|";
    // the start of what is said on standard error.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Sel/a 1.jpg|Sel/-lead.jpg", "-lead.jpg|a 1.jpg", ""},
        {"Sel/it's \"q\".jpg|Sel/$x`y`.jpg|Sel/new\nline.jpg",
         "$x`y`.jpg|it's \"q\".jpg|new\nline.jpg", ""},
        {"Sel/Fold|Sel/Sub/c.jpg|Two/d.jpg", "c.jpg|d.jpg|Fold\\", ""},
        {"Sel/gone.jpg|Sel/a 1.jpg|Sel/caf\xe9.jpg", "a 1.jpg",
         "Kestrel cannot list these entries:\n"},
    };
    for (const auto& [given, listed, errors] : cases) {
        SCOPED_TRACE(given);
        std::vector<std::string> arguments = {"NO-WINDOW", "LIST:" + Host("list.txt")};
        for (const std::string& entry : support::Words(given, '|')) {
            arguments.push_back(Host(entry));
        }
        const ProcessResult run = Run(arguments);
        EXPECT_EQ(run.exitStatus, 0) << run.standardError;
        EXPECT_TRUE(run.standardError.starts_with(errors)) << run.standardError;
        const std::vector<std::string> rows = support::Words(listed, '|');
        std::string expected =
            " has " + std::to_string(rows.size()) + " items.  Listing generated by Kestrel. \r\n";
        for (const std::string& row : rows) {
            expected += row + "\r\n";
        }
        EXPECT_TRUE(drive.ReadFile("list.txt").ends_with(expected)) << drive.ReadFile("list.txt");
    }
    EXPECT_NE(Run({"NO-WINDOW", "LIST:" + Host("l.txt"), Host("Sel/gone.jpg"), Host("Sel/x\xe9")})
                  .standardError.find(Host("Sel/x\xe9") + ": its name is not UTF-8 text"),
              std::string::npos);
}

// Outputs that fail exit with status 1 and say why, naming paths in the style
// the preference "Show paths as" chose; what a file holds is the same bytes in
// both styles.
TEST_F(KestrelProcess, FailingOutputsExitWithOneAndTheStyleOfPathsChangesNoFile) {
    drive.WriteFile("Odd\\100%_sure.txt", "");
    drive.WriteFile("Odd\\say \"hi\".txt", "");
    drive.MakeFolder("empty-path");
    std::string programPath = "C:" + Host("missing/out.csv");  // as C: writes it
    std::replace(programPath.begin() + 2, programPath.end(), '/', '\\');
    std::string exported;
    for (const auto& [style, named] : {std::pair{0, Host("missing/out.csv")}, {1, programPath}}) {
        SCOPED_TRACE(style);
        Store().WriteNumber(settings::Scope::Machine, settings::kSettingsKey, "Path style", style);
        const std::pair<std::vector<std::string>, std::string> cases[] = {
            {{"FOLDER:" + Host("Odd"), "BAT:" + Host("odd.bat")},
             "1 entry could not be written to the batch file\n"},
            {{"CSV:" + Host("missing/out.csv")}, "Error 76: Path not found\n" + named + "\n"},
            {{"PRINT"}, "No printing system found (the lp command of CUPS); install cups-client\n"},
        };
        for (auto [arguments, error] : cases) {
            arguments.insert(arguments.begin(), "NO-WINDOW");
            std::vector<std::string> environment = Environment();
            environment.push_back("PATH=" + Host("empty-path"));
            const ProcessResult run =
                support::RunProcess(KESTREL_BINARY, arguments, environment, drive.HostRoot());
            EXPECT_EQ(run.exitStatus, 1);
            EXPECT_EQ(run.standardError, error);
        }
        ASSERT_EQ(Run({"NO-WINDOW", "FOLDER:" + Host("My Photos"), "CSV:" + Host("out.csv"),
                       "BAT:" + Host("out.bat")})
                      .exitStatus,
                  0);
        const std::string bytes = drive.ReadFile("out.csv") + drive.ReadFile("out.bat");
        EXPECT_TRUE(exported.empty() || bytes == exported);
        exported = bytes;
    }
    const std::string batch = drive.ReadFile("odd.bat");
    EXPECT_NE(batch.find("ren \"100%%_sure.txt\" \"100%% Sure.txt\"\r\n"), std::string::npos)
        << batch;
    EXPECT_EQ(batch.find("hi"), std::string::npos);
}

// A template whose regular expression does not compile still writes its
// exports, with every name as it was, warns on standard error and leaves the
// exit status at 0.
TEST_F(KestrelProcess, ATemplateWhosePatternDoesNotCompileWarnsAndChangesNoName) {
    drive.WriteFile("Shots\\IMG 2023-05-17.jpg", "");
    engine::RenameOptions options = support::NeutralOptions();
    options.chkSearchReplace = options.chkRegex = 1;
    options.txtSearch = "(?<=a+)img";
    SaveTemplate(5, options);
    const ProcessResult bad = Run({"NO-WINDOW", "TEMPLATE:5", "FOLDER:" + Host("Shots"),
                                   "BAT:" + Host("bad.bat"), "LIST:" + Host("bad.txt")});
    EXPECT_EQ(bad.exitStatus, 0);
    EXPECT_EQ(bad.standardError,
              "Names are left unchanged. The search text is not a valid regular expression: "
              "look-behind must have a bounded maximum length (at character 7).\n");
    EXPECT_EQ(drive.ReadFile("bad.bat").find("ren "), std::string::npos);
    EXPECT_NE(drive.ReadFile("bad.txt").find("IMG 2023-05-17.jpg\r\n"), std::string::npos);
}

// A run with parameter errors exits with status 2, says why, and neither
// exports nor saves anything.
TEST_F(KestrelProcess, ARunWithParameterErrorsSavesNothing) {
    drive.WriteFile("Other\\b.txt", "");
    ASSERT_EQ(
        Run({"NO-WINDOW", "FOLDER:" + Host("My Photos"), "COPY:" + Host("Backup")}).exitStatus, 0);
    Store().WriteText(settings::Scope::Machine, settings::TemplateKey(3), "", "Elsewhere");
    const std::string before = drive.ReadFile("cfg\\machine.db");
    const std::string csv = "CSV:" + Host("x.csv"), other = "FOLDER:" + Host("Other");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"NO-WINDOW", "BOGUS"}, "Unknown or incomplete parameter: BOGUS"},
        {{"NO-WINDOW", "TEMPLATE:9", csv}, "Unknown or incomplete parameter: TEMPLATE:9"},
        {{"no-window", "csv", "CSVX", "list"}, "Multiple instances not allowed: CSVX"},
        {{"NO-WINDOW", "TEMPLATE:3", other, other}, "Multiple instances not allowed: " + other},
    };
    for (const auto& [arguments, error] : cases) {
        SCOPED_TRACE(error);
        const ProcessResult run = Run(arguments);
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.standardError, error + "\n");
        EXPECT_FALSE(drive.Exists("x.csv"));
        EXPECT_TRUE(drive.ReadFile("cfg\\machine.db") == before);
    }
    // The next run starts where the good run left off; RESET forgets it.
    ASSERT_EQ(Run({"NO-WINDOW", "LIST:" + Host("list.txt")}).exitStatus, 0);
    EXPECT_NE(drive.ReadFile("list.txt").find("My Photos\\ has 2 items."), std::string::npos);
    const std::string key = settings::TemplateKey(0);
    EXPECT_EQ(Store().ReadNumber(settings::Scope::Machine, key, "Copy", 0), 1);
    EXPECT_EQ(Store().ReadText(settings::Scope::Machine, key, "", ""), "{No Name}");
    EXPECT_EQ(Run({"RESET", "NO-WINDOW"}).exitStatus, 0);
    EXPECT_EQ(Store().ReadNumber(settings::Scope::Machine, key, "Copy", -1), 0);
}

// The bytes of a database that `statements` make, as another program would leave it.
std::string DatabaseBytes(const char* statements) {
    const std::string path = ::testing::TempDir() + "kestrel-foreign.db";
    std::remove(path.c_str());
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, statements, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    return bytes;
}

TEST_F(KestrelProcess, ADamagedSettingsFileIsNeverWritten) {
    ASSERT_EQ(Run({"NO-WINDOW", "FOLDER:" + Host("My Photos")}).exitStatus, 0);
    std::string healthy = drive.ReadFile("cfg\\machine.db");
    ASSERT_GT(healthy.size(), 3 * 4096u);
    // As another tool may leave it: a rollback journal, not WAL, which the
    // switch to WAL would rewrite in the header.
    healthy[18] = healthy[19] = 1;
    std::string corruptPage = healthy;
    corruptPage.replace(2 * 4096, 512, 512, '\xFF');
    std::string garbage(healthy.size(), '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<char>((i * 7919) % 251);
    }
    const std::pair<const char*, std::string> damaged[] = {
        {"garbage", garbage},
        {"truncated", healthy.substr(0, 4096 + 1000)},
        {"a corrupted page", corruptPage},
        {"another program's keys and vals",
         DatabaseBytes("CREATE TABLE keys(id INTEGER, label TEXT);"
                       "CREATE TABLE vals(id INTEGER, value TEXT);"
                       "INSERT INTO keys VALUES(1, 'kept');")},
        {"another program's tables", DatabaseBytes("CREATE TABLE notes(body TEXT);")},
    };
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        drive.WriteFile("cfg\\machine.db", bytes);
        const ProcessResult run =
            Run({"NO-WINDOW", "RESET", "FOLDER:" + Host("My Photos"), "LIST:" + Host("l.txt")});
        EXPECT_EQ(run.exitStatus, 0) << run.standardError;
        EXPECT_TRUE(drive.ReadFile("cfg\\machine.db") == bytes);
    }
}

// The demo window ended by a signal still removes its sample folder.
TEST_F(KestrelProcess, DemoFolderIsRemovedWhenTheWindowIsEndedBySignal) {
#ifndef KESTREL_BINARY_HAS_WINDOW
    GTEST_SKIP() << "this build of the program has no window";
#endif
    drive.MakeFolder("tmp");
    const auto demoFolders = [this] {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(Host("tmp"))) {
            count += entry.path().filename().string().starts_with("kestrel-demo-") ? 1 : 0;
        }
        return count;
    };
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        const pid_t child =
            support::StartProcess(KESTREL_BINARY, {},
                                  {"KESTREL_DEMO=1", "QT_QPA_PLATFORM=offscreen",
                                   "TMPDIR=" + Host("tmp"), "KESTREL_CONFIG_DIR=" + Host("cfg")},
                                  drive.HostRoot());
        ASSERT_GT(child, 0);
        // Give the window time to come up on its sample folder.
        EXPECT_TRUE(support::WaitUntil([&] { return demoFolders() == 1; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        ::kill(child, signal);
        int status = 0;
        if (!support::WaitUntil([&] { return ::waitpid(child, &status, WNOHANG) != 0; })) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            ADD_FAILURE() << "the window did not end";
        }
        EXPECT_EQ(demoFolders(), 0);
    }
}

// Rows listed with Recurse in the partial-path display: the preview shows them
// as the list does, flagged ones with their message, and a flag is no failure.
TEST_F(KestrelProcess, PreviewListsChangedRowsWithTheirMessagesAndExitsWithZero) {
    for (const char* name :
         {"W\\old.txt", "W\\new.txt", "W\\keep.txt", "W\\Sub\\old1.txt", "W\\Sub\\old\tx.txt"}) {
        drive.WriteFile(name, "");
    }
    engine::RenameOptions options = support::NeutralOptions();
    options.chkSearchReplace = 1;
    options.txtSearch = "old";
    options.txtReplace = "new";
    options.chkRecurse = 1;
    options.cboPathDisplay = engine::kShowPartialPath;
    SaveTemplate(1, options);
    const ProcessResult run =
        Run({"NO-WINDOW", "TEMPLATE:1", "FOLDER:" + Host("W"), "PREVIEW", "LIST:-"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardError, "");
    const std::string preview =
        "old.txt\tnew.txt\tFilename already exists\n"
        "Sub/old\\x09x.txt\tSub/new\\x09x.txt\t\n"
        "Sub/old1.txt\tSub/new1.txt\t\n";
    // The exports come first, the listing as its file would hold it.
    EXPECT_TRUE(run.standardOutput.ends_with(
        " has 5 items.  Listing generated by Kestrel. \r\nkeep.txt\r\nnew.txt\r\nold.txt\r\n"
        "Sub\\old\tx.txt\r\nSub\\old1.txt\r\n" +
        preview))
        << run.standardOutput;

    ASSERT_EQ(
        Run({"NO-WINDOW", "TEMPLATE:1", "FOLDER:" + Host("W"), "PREVIEW:" + Host("preview.txt")})
            .exitStatus,
        0);
    EXPECT_EQ(drive.ReadFile("preview.txt"), preview);
}

// "\x0A" back to the byte it stands for.
std::string Unescaped(std::string_view shown) {
    std::string out;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown.substr(i, 2) == "\\x" && i + 4 <= shown.size()) {
            out.push_back(
                static_cast<char>(std::stoi(std::string(shown.substr(i + 2, 2)), nullptr, 16)));
            i += 3;
        } else {
            out.push_back(shown[i]);
        }
    }
    return out;
}

// Names a shell would take apart: the script renames exactly as the preview
// showed, its undo script brings every old name back, and each is executable.
TEST_F(KestrelProcess, ShellScriptRunByShRenamesAsPreviewedAndItsUndoTakesItBack) {
    const std::string awkward[] = {"a 1.txt",       "it's \"q\".txt", "$HOME.txt",       "`id`.txt",
                                   "new\nline.txt", "-lead.txt",      "x'; rm -rf y.txt"};
    for (std::size_t i = 0; i < std::size(awkward); ++i) {
        drive.WriteFile("W\\" + awkward[i], "file " + std::to_string(i));
    }
    drive.WriteFile("W\\y.txt", "kept");
    engine::RenameOptions options = support::NeutralOptions();
    options.chkInsertStart = 1;
    options.txtInsertStart = "Done\\";
    SaveTemplate(1, options);
    const Files before = drive.Files("W");

    const ProcessResult run =
        Run({"NO-WINDOW", "TEMPLATE:1", "FOLDER:" + Host("W"), "PREVIEW", "SH:" + Host("r.sh")});
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    // Each preview line's current and new name, as given.
    Files expected;
    for (const std::string& line : support::Words(run.standardOutput, '\n')) {
        const std::vector<std::string> fields = support::Words(line, '\t');
        expected[Unescaped(fields.at(1))] = before.at(Unescaped(fields.at(0)));
    }
    ASSERT_EQ(expected.size(), std::size(awkward) + 1);
    for (const char* script : {"r.sh", "r.sh.undo.sh"}) {
        struct stat info {};
        ASSERT_EQ(::stat(Host(script).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0755u) << script;
    }
    EXPECT_TRUE(drive.ReadFile("r.sh").starts_with("#!/bin/sh\n"));

    const ProcessResult renamed = Shell(Host("r.sh"));
    ASSERT_EQ(renamed.exitStatus, 0) << renamed.standardError;
    EXPECT_EQ(drive.Files("W"), expected);
    const ProcessResult undone = Shell(Host("r.sh.undo.sh"));
    ASSERT_EQ(undone.exitStatus, 0) << undone.standardError;
    EXPECT_EQ(drive.Files("W"), before);
}

// DOIT renames as "Do It!" does; a failing entry is passed over and named;
// UNDO in a later run takes back the newest commit, checking each entry first.
TEST_F(KestrelProcess, DoItAndUndoAsRealProcesses) {
    drive.WriteFiles({"W\\a.txt", "W\\b.txt", "W\\c.txt"}, true);
    engine::RenameOptions options = support::NeutralOptions();
    options.chkInsertStart = 1;
    options.txtInsertStart = "n-";
    SaveTemplate(1, options);
    const Files before = drive.Files("W");
    const std::vector<std::string> doIt = {"NO-WINDOW", "TEMPLATE:1", "FOLDER:" + Host("W"),
                                           "DOIT"};

    ProcessResult run = Run(doIt);
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(drive.Files("W"),
              (Files{{"n-a.txt", "W\\a.txt"}, {"n-b.txt", "W\\b.txt"}, {"n-c.txt", "W\\c.txt"}}));
    struct stat info {};
    ASSERT_EQ(::lstat(Host("state/kestrel/undo-log").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    run = Run({"UNDO"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(drive.Files("W"), before);
    run = Run({"UNDO"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError, "There is nothing to undo.\n");

    // A file in the way of one entry: the others are renamed.
    std::filesystem::create_directory(Host("W/n-b.txt"));
    run = Run(doIt);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError, "Error 58: File already exists\n" + Host("W/b.txt") + "\n");
    EXPECT_TRUE(drive.Exists("W\\n-a.txt"));
    EXPECT_TRUE(drive.Exists("W\\b.txt"));
    EXPECT_TRUE(drive.Exists("W\\n-c.txt"));

    // One entry changed since: it keeps its new name and is named; the rest go back.
    drive.WriteFile("W\\n-c.txt", "changed");
    run = Run({"UNDO"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError,
              "Error 75: Moved or changed since it was renamed\n" + Host("W/n-c.txt") + "\n");
    EXPECT_TRUE(drive.Exists("W\\a.txt"));
    EXPECT_EQ(drive.ReadFile("W\\n-c.txt"), "changed");

    // An export that cannot be written, or a parameter error: nothing is renamed.
    run = Run(
        {"NO-WINDOW", "TEMPLATE:1", "FOLDER:" + Host("W"), "SH:" + Host("missing/r.sh"), "DOIT"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardError, "Error 76: Path not found\n" + Host("missing/r.sh") +
                                     "\nNothing was renamed, because an output above could not "
                                     "be written.\n");
    EXPECT_TRUE(drive.Exists("W\\a.txt"));
    run = Run({"NO-WINDOW", "TEMPLATE:1", "FOLDER:" + Host("W"), "DOIT", "BOGUS"});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_TRUE(drive.Exists("W\\a.txt"));
}

// A DOIT killed halfway: UNDO at the next start takes back what it did, from
// its journal, and every file is whole under its old name.
TEST_F(KestrelProcess, ADoItKilledHalfwayIsTakenBackByTheNextUndo) {
    for (int i = 0; i < 10000; ++i) {
        drive.WriteFile("W\\f" + std::to_string(10000 + i), std::to_string(i));
    }
    engine::RenameOptions options = support::NeutralOptions();
    options.chkInsertStart = 1;
    options.txtInsertStart = "g";
    SaveTemplate(1, options);
    const Files before = drive.Files("W");
    const pid_t child = support::StartProcess(
        KESTREL_BINARY, {"NO-WINDOW", "TEMPLATE:1", "FOLDER:" + Host("W"), "DOIT"}, Environment(),
        drive.HostRoot());
    ASSERT_GT(child, 0);
    // Killed once the first renames are on disk.
    const bool started =
        support::WaitUntil([this] { return drive.Exists("W\\gf10000"); }, std::chrono::seconds(5),
                           std::chrono::microseconds(100));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(started);
    if (!WIFSIGNALED(status)) {
        GTEST_SKIP() << "the commit ended before it could be killed";
    }
    const ProcessResult report = Run({"NO-WINDOW"});
    EXPECT_NE(report.standardError.find("An interrupted \"Do It!\" may have left entries"),
              std::string::npos)
        << report.standardError;
    const ProcessResult undo = Run({"UNDO"});
    EXPECT_EQ(undo.exitStatus, 0) << undo.standardError;
    EXPECT_TRUE(undo.standardError.starts_with("Taking back an interrupted \"Do It!\": "))
        << undo.standardError;
    EXPECT_EQ(drive.Files("W"), before);
}

}  // namespace
}  // namespace kestrel::app

#endif  // KESTREL_BINARY
