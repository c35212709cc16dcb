#include "exchange/import_list.h"

#include <gtest/gtest.h>

#include "support/temp_drive.h"

namespace kestrel::exchange {
namespace {

using Lines = std::vector<std::string>;

// One pair's status line: renamed when `error` is null.
std::string Pair(int n, const char* error, const char* from, const char* to) {
    return "(" + std::to_string(n) + ") " +
           (error ? "ERROR: " + std::string(error) + " - " : "Successfully renamed ") + "\"T:\\" +
           from + "\" to \"T:\\" + to + "\"";
}

TEST(Import, RenamesPairsFromListFilesAndReportsEachLine) {
    const char* m58 = "58:File already exists";
    const char* m52 = "52:Bad file name or number";
    // What the row shows; the names on T: before the import; T:\L\list.txt (none when
    // empty); T:\L\targets.txt ("" for one-file mode, "-" named but missing); the two
    // delimiters; the pair lines, or every line when the lists cannot be read; how many
    // were renamed (-1 when the lists cannot be read); the names on T: after.
    // clang-format off
    const std::tuple<const char*, Lines, std::string, std::string, const char*, const char*, Lines, int, Lines> rows[] = {
        {"tab list, blank lines after", {"a", "c"}, "a\tb\r\nc\td\r\n\r\n\r\n", "", "Tab", "CR+LF", {Pair(1, nullptr, "a", "b"), Pair(2, nullptr, "c", "d")}, 2, {"b", "d"}},
        {"an empty line ends it", {"a", "c"}, "a\tb\r\n\r\nc\td\r\n", "", "Tab", "CR+LF", {Pair(1, nullptr, "a", "b")}, 1, {"b", "c"}},
        {"absolute names as they are", {"x"}, "T:\\x\tT:\\y\r\n", "", "Tab", "CR+LF", {Pair(1, nullptr, "x", "y")}, 1, {"y"}},
        {"a trailing blank dropped", {"a"}, "a \tb", "", "Tab", "CR+LF", {Pair(1, nullptr, "a", "b")}, 1, {"b"}},
        {"existing target: one error, then on", {"a", "b", "c"}, "a\tb\r\nc\td\r\n", "", "Tab", "CR+LF", {Pair(1, m58, "a", "b"), Pair(2, nullptr, "c", "d")}, 1, {"a", "b", "d"}},
        {"never a letter shortened off", {"report", "report2"}, "report2.doc\tx\r\n", "", "Tab", "CR+LF", {Pair(1, "53:File not found", "report2.doc", "x")}, 0, {"report", "report2"}},
        {"unsafe new names refused", {"a", "c"}, "a\t..\\b\r\nc\tq?\r\n", "", "Tab", "CR+LF", {Pair(1, m52, "a", "..\\b"), Pair(2, m52, "c", "q?")}, 0, {"a", "c"}},
        {"targets run out: from the sources", {"a", "c"}, "a\r\nc\r\nd\r\n", "b\r\n", "CR+LF", "CR+LF", {Pair(1, nullptr, "a", "b"), Pair(2, nullptr, "c", "d")}, 2, {"b", "d"}},
        {"Comma, Return, no delimiter at the end", {"a", "c"}, "a,b\rc,d", "", "Comma", "Return", {Pair(1, nullptr, "a", "b"), Pair(2, nullptr, "c", "d")}, 2, {"b", "d"}},
        {"Return takes LF line ends", {"a", "c"}, "a,b\nc,d\n", "", "Comma", "Return", {Pair(1, nullptr, "a", "b"), Pair(2, nullptr, "c", "d")}, 2, {"b", "d"}},
        {"Return takes CR LF, one name a line", {"a", "c"}, "a\r\nb\r\nc\nd\r\n", "", "Return", "Return", {Pair(1, nullptr, "a", "b"), Pair(2, nullptr, "c", "d")}, 2, {"b", "d"}},
        {"Return beside CR+LF", {"a", "c"}, "a\nb\r\nc\rd\r\n", "", "Return", "CR+LF", {Pair(1, nullptr, "a", "b"), Pair(2, nullptr, "c", "d")}, 2, {"b", "d"}},
        {"custom delimiter, Windows-1252", {"caf\xc3\xa9"}, "caf\xe9;t\r\n", "", "Custom Char (59)", "CR+LF", {Pair(1, nullptr, "caf\xc3\xa9", "t")}, 1, {"t"}},
        {"missing list", {"a"}, "", "", "Tab", "CR+LF", {"Source file not found.", " "}, -1, {"a"}},
        {"missing target list", {"a"}, "a\r\n", "-", "CR+LF", "CR+LF", {"Target file not found.", " "}, -1, {"a"}},
        {"binary list", {"a"}, std::string("a\tb\0", 4), "", "Tab", "CR+LF", {"Source file is not a text file (it holds NUL characters; choose Custom Char (0) if they separate the names).", " "}, -1, {"a"}},
        {"huge list", {"a"}, std::string(kMaxImportFileBytes + 1, 'a'), "", "Tab", "CR+LF", {"Source file is larger than 8 MB, too large for a list of names.", " "}, -1, {"a"}},
    };
    // clang-format on
    for (const auto& [what, before, list, targetList, d1, d2, pairLines, renamed, after] : rows) {
        SCOPED_TRACE(what);
        support::TempDrive drive;
        for (const std::string& name : before) {
            drive.WriteFile(name, "");
        }
        drive.MakeFolder("L");
        if (!list.empty()) {
            drive.WriteFile("L\\list.txt", list);
        }
        if (!targetList.empty() && targetList != "-") {
            drive.WriteFile("L\\targets.txt", targetList);
        }
        // The target folder without its backslash: the import adds it.
        const char* targets = targetList.empty() ? "" : "T:\\L\\targets.txt";
        const ImportRequest request{"T:\\L\\list.txt", targets, "T:\\", "T:", d1, d2};
        Lines lines;
        RunImport(drive.FileSystem(), request, [&](std::string_view l) { lines.emplace_back(l); });
        Lines expected = pairLines;
        if (renamed >= 0) {
            const auto found = static_cast<int>(pairLines.size());
            expected.insert(expected.begin(), {"Processing import data.", " "});
            expected.push_back(" ");
            expected.push_back(std::to_string(found) + " entries found.  " +
                               std::to_string(renamed) + " successfully renamed, " +
                               std::to_string(found - renamed) + " errors.");
            expected.push_back(" ");
        }
        EXPECT_EQ(lines, expected);
        Lines left;
        drive.FileSystem().ListNames("T:\\", left);
        left.erase(std::find(left.begin(), left.end(), "L"));
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, after);
    }
}

TEST(Import, SampleShowsTenPairsAndARunStopsAtTheCap) {
    support::TempDrive drive;
    std::string list;
    for (int i = 0; i <= kMaxImportPairs; ++i) {
        list += "a" + std::to_string(i) + "\tb\r\n";
    }
    drive.WriteFile("list.txt", list);
    const ImportRequest request{"T:\\list.txt", "", "T:\\", "T:\\", "Tab", "CR+LF"};
    Lines lines;
    const StatusSink keep = [&](std::string_view line) { lines.emplace_back(line); };
    PreviewImport(drive.FileSystem(), request, keep);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "Import data sample:");
    EXPECT_EQ(lines[10], "Rename \"a9\" to \"b\"");
    lines.clear();
    EXPECT_EQ(RunImport(drive.FileSystem(), request, keep).errors, kMaxImportPairs);
    EXPECT_EQ(lines[lines.size() - 4],
              "Stopped after 32767 entries, the most one import handles; the rest of the list "
              "was not read.");
}

// Tab, Comma, Return, CR+LF and a custom character below 128 are shown by the runs above.
TEST(Import, DelimiterBoxTexts) {
    const std::pair<const char*, std::string> rows[] = {
        {"|", "|"},
        {"Custom Char (0)", std::string(1, '\0')},
        {"Custom Char (233)", "\xc3\xa9"},
        {"Custom Char (999)", "Custom Char (999)"},
    };
    for (const auto& [box, delimiter] : rows) {
        EXPECT_EQ(DelimiterOf(box), delimiter) << box;
    }
    EXPECT_EQ(CustomDelimiterCode(" 44 "), 44);
    EXPECT_EQ(CustomDelimiterCode("4a"), std::nullopt);
}

}  // namespace
}  // namespace kestrel::exchange
