#include "app/command_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace kestrel::app {
namespace {

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
            {"CSVX", &CommandLine::commaFile, "C:\\Prog\\Export\\Comma separated.csv"},
            {"TAB", &CommandLine::tabFile, "C:\\Prog\\Export\\TAB delimited.csv"},
            {"LIST", &CommandLine::listFile, "C:\\Prog\\File List.txt"},
            {"LIST:\"/tmp/my list.txt\"", &CommandLine::listFile, "/tmp/my list.txt"},
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
    EXPECT_EQ(Parse("TEMPLATE:9").errorText, "Unknown or incomplete parameter: TEMPLATE:9\r\n");
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
        {"SH:\"/tmp/my r.sh\"", "/tmp/my r.sh", std::nullopt, false, false, ""},
        {"SH:-", "-", std::nullopt, false, false, ""},
        {"preview", std::nullopt, "", false, false, ""},
        {"PREVIEW:/tmp/p.txt doit", std::nullopt, "/tmp/p.txt", true, false, ""},
        {"undo", std::nullopt, std::nullopt, false, true, ""},
        // Only the whole keyword: a case-rule file whose name begins with
        // "SH" stays one, and a longer word is no keyword.
        {"shots.csr", std::nullopt, std::nullopt, false, false, ""},
        {"SHX", std::nullopt, std::nullopt, false, false,
         "Unknown or incomplete parameter: SHX\r\n"},
        {"DOITNOW", std::nullopt, std::nullopt, false, false,
         "Unknown or incomplete parameter: DOITNOW\r\n"},
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

}  // namespace
}  // namespace kestrel::app
