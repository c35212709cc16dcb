#include "engine/name_pipeline.h"

#include <gtest/gtest.h>

#include "support/neutral_options.h"

#include <functional>
#include <string>
#include <vector>

namespace kestrel::engine {
namespace {

// Switches on one operation; rows join several with "+".
using Set = std::function<void(RenameOptions&)>;

Set operator+(Set a, Set b) {
    return [=](RenameOptions& o) { a(o), b(o); };
}
Set On(int RenameOptions::*box, int value = 1) {
    return [=](RenameOptions& o) { o.*box = value; };
}
Set InsertStart(const char* text) {
    return [=](RenameOptions& o) { o.chkInsertStart = 1, o.txtInsertStart = text; };
}
Set InsertMiddle(const char* position, const char* text) {
    return [=](RenameOptions& o) {
        o.chkInsertMiddle = 1, o.txtInsertMiddlePosition = position, o.txtInsertMiddle = text;
    };
}
Set InsertEnd(const char* text) {
    return [=](RenameOptions& o) { o.chkInsertEnd = 1, o.txtInsertEnd = text; };
}
Set Swap(const char* a, const char* b) {
    return [=](RenameOptions& o) { o.chkSwapSep = 1, o.txtSwapArea = {a, b}; };
}
Set Splice(const char* levels) {
    return [=](RenameOptions& o) { o.chkPathSplice = 1, o.txtPathSpliceLevels = levels; };
}
Set Crop(const char* position, const char* count, int side) {
    return [=](RenameOptions& o) {
        o.chkCrop = 1, o.txtEliminatePosition = position, o.txtEliminateChars = count;
        o.cboCropLR = side;
    };
}
Set Extension(const char* text) {
    return [=](RenameOptions& o) { o.chkChangeExt = 1, o.txtChangeExt = text; };
}
Set Replace(const char* find, const char* with) {
    return
        [=](RenameOptions& o) { o.chkSearchReplace = 1, o.txtSearch = find, o.txtReplace = with; };
}
Set Characters(const char* find, const char* with) {
    return [=](RenameOptions& o) {
        o.chkWildcard = 1, o.txtSearchChar = find, o.txtReplaceChar = with;
    };
}
Set Number(const char* digits, const char* start = "1", const char* step = "1") {
    return [=](RenameOptions& o) {
        o.cboAutonumber = digits, o.txtAutonumberStartNum = start, o.txtAutonumberStep = step;
    };
}
Set Pad(const char* length, int side) {
    return [=](RenameOptions& o) { o.chkUNL = 1, o.txtUNL = length, o.cboUNLLR = side; };
}

struct PipelineCase {
    const char* label;
    const char* name;
    Set set;
    const char* expected;
    const char* fullPath = "C:\\Work\\x";
    std::int64_t selected = 1;
    std::int64_t sequence = 0;
    std::vector<std::string> caseRules = {};
};

// Every row starts from every operation off, so that it shows its own alone.
void RunTable(const std::vector<PipelineCase>& cases) {
    for (const PipelineCase& c : cases) {
        SCOPED_TRACE(c.label);
        RenameOptions options = support::NeutralOptions();
        c.set(options);
        const NameContext context{c.fullPath, c.selected, c.sequence};
        EXPECT_EQ(ProcessName(c.name, options, context, c.caseRules), c.expected);
    }
}

TEST(Pipeline, ExtensionSplitAndFolderMark) {
    RunTable({
        {"folder keeps its mark", "Photos\\", InsertEnd(" 2001"), "Photos 2001\\"},
        {"last period splits", "archive.tar.gz", InsertEnd("!"), "archive.tar!.gz"},
        {"periods are characters", "archive.tar.gz", On(&RenameOptions::chkNoExt) + InsertEnd("!"),
         "archive.tar.gz!"},
        {"trailing period belongs to the base", "name.", InsertEnd("!"), "name.!"},
    });
}

TEST(Pipeline, ReplaceWholeNameAndSwapAreas) {
    RunTable({
        {"too few areas", "A - B.txt", Swap("1", "3"), "A - B.txt"},
        {"three areas", "A - B - C.txt", Swap("1", "3"), "C - B - A.txt"},
        {"empty last area", "A - B - .txt", Swap("1", "3"), " - B - A.txt"},
        {"areas given high first", "A - B - C", Swap("2", "1"), "B - A - C"},
        {"replace whole name numbers", "Holiday.jpg",
         On(&RenameOptions::chkReplaceWholeName) + Number("Auto"), "1.jpg"},
    });
}

TEST(Pipeline, PathSpliceWalksBackThroughTheFolders) {
    const char* path = "C:\\Music\\Rock\\Song.mp3";
    RunTable({
        {"two levels", "Song.mp3", Splice("2"), "Music - Rock - Song.mp3", path},
        {"reaches the drive", "Song.mp3", Splice("9"), "C - Music - Rock - Song.mp3", path},
        {"folder item uses its parent", "Rock\\", Splice("1"), "Music - Rock\\",
         "C:\\Music\\Rock\\"},
    });
}

TEST(Pipeline, CropDeletesAndPastesTheCutText) {
    RunTable({
        {"from the left", "abcdef.txt", Crop("1", "3", kFromLeft), "def.txt"},
        {"left span shortened at the end", "abcdef", Crop("5", "10", kFromLeft), "abcd"},
        {"huge count", "abcdef", Crop("3", "1000000000000", kFromLeft), "ab"},
        {"negative count", "abc", Crop("1", "-1", kFromLeft), "abc"},
        {"left position beyond the end", "abc", Crop("4", "1", kFromLeft), "abc"},
        {"right span starts at first character", "ABCDE", Crop("2", "10", kFromRight), "E"},
        {"right position beyond the length", "ABCDE", Crop("6", "1", kFromRight), "ABCDE"},
        {"pasted at the end", "ABCDE", Crop("2", "10", kFromRight) + InsertEnd("*"), "EABCD"},
        {"stars vanish without a crop", "a*b.t*t", On(&RenameOptions::chkCrop, 0), "ab.tt"},
        {"positions count characters", "Ünïcödé.txt", Crop("2", "3", kFromLeft), "Üödé.txt"},
    });
}

TEST(Pipeline, ChangeExtensionAndSmartFolderExtensions) {
    RunTable({
        {"keep as folder", "Photo.jpg", Extension("/"), "jpg\\Photo.jpg"},
        {"drop as folder", "Photo.jpg", Extension("\\"), "jpg\\Photo"},
        {"empty extension", "Photo.jpg", Extension(""), "Photo"},
        {"added to a name without one", "README", Extension("png"), "README.png"},
        {"no effect with periods as characters", "Photo.jpg",
         Extension("png") + On(&RenameOptions::chkNoExt), "Photo.jpg"},
    });
}

TEST(Pipeline, SearchReplaceAndPresets) {
    RunTable({
        {"all occurrences, any case", "aXa.xa", Replace("x", "-"), "a-a.-a"},
        {"extension left alone", "aXa.xa",
         Replace("x", "-") + On(&RenameOptions::chkExtIncluded, 0), "a-a.xa"},
        {"case sensitive", "aXa.xa", Replace("x", "-") + On(&RenameOptions::chkCaseSensitive),
         "aXa.-a"},
        {"first only", "abab", Replace("ab", "x") + On(&RenameOptions::chkFirstOccur), "xab"},
        {"no re-scan of inserted text", "aa", Replace("a", "aa"), "aaaa"},
        {"empty search changes nothing", "abc", Replace("", "x"), "abc"},
        {"accented letters compare without case", "ÉTÉ", Replace("é", "e"), "eTe"},
        {"percent preset", "a%20b%2", On(&RenameOptions::chkPercent20), "a b%2"},
        {"pairs apply one after the other", "ab", Characters("ab", "ba"), "aa"},
        {"missing replacement removes", "a-b_c", Characters("-_", "+"), "a+bc"},
        {"character pairs ignore case", "AbA", Characters("a", "o"), "obo"},
    });
}

TEST(Pipeline, InsertsAndSmartFolderMarks) {
    RunTable({
        {"holiday folder", "IMG_001.jpg", InsertStart("Holiday/"), "Holiday\\IMG_001.jpg"},
        {"text after the last slash is dropped", "IMG.jpg", InsertStart("A/B/junk"),
         "A\\B\\IMG.jpg"},
        {"backslash makes a folder of the new name", "x.txt", InsertStart("Sub\\"), "Sub\\x.txt"},
        {"insert at a position", "abc", InsertMiddle("2", "-"), "a-bc"},
        {"position length + 1 appends", "abc", InsertMiddle("4", "-"), "abc-"},
        {"position 0 does nothing", "abc", InsertMiddle("0", "-"), "abc"},
        {"position beyond length + 1 does nothing", "abc", InsertMiddle("5", "-"), "abc"},
        {"position counts characters", "日本語.txt", InsertMiddle("2", "-"), "日-本語.txt"},
        {"doubled and leading backslashes collapse", "x", InsertStart("\\\\a\\\\"), "a\\x"},
    });
}

TEST(Pipeline, AutonumberPlacesPaddedNumbers) {
    RunTable({
        {"auto width from the last number", "Trip", Number("Auto") + InsertEnd(" ?"), "Trip 01", "",
         12, 0},
        {"last of the run", "Trip", Number("Auto") + InsertEnd(" ?"), "Trip 12", "", 12, 11},
        {"fixed digits", "Trip", Number("4", "7", "5") + InsertEnd(" ?"), "Trip 0017", "", 3, 2},
        {"never truncated", "Trip", Number("2", "123") + InsertEnd(" ?"), "Trip 123"},
        {"negative numbers keep the sign first", "T", Number("3", "-5") + InsertEnd(" ?"), "T -05"},
        {"no mark puts it in front", "Name", Number("Auto"), "1Name"},
        {"only the first mark", "a", Number("1") + InsertEnd("??"), "a1?"},
        {"off leaves the mark", "a", InsertEnd("?"), "a?"},
    });
}

TEST(Pipeline, UniformNumberLengthPadsOneRun) {
    RunTable({
        {"from the left", "Track 7 of 12", Pad("3", kFromLeft), "Track 007 of 12"},
        {"from the right", "Track 7 of 12", Pad("3", kFromRight), "Track 7 of 012"},
        {"longer run left alone", "1234", Pad("3", kFromLeft), "1234"},
        {"no digits", "abc.mp3", Pad("3", kFromLeft), "abc.mp3"},
        {"extension not searched", "a.mp3", Pad("3", kFromRight), "a.mp3"},
    });
}

TEST(Pipeline, CaseRulesFollowCaseHandlingThenEffectsAndTrimRunInOrder) {
    const std::vector<std::string> dvd = {"DVD"};
    const Set initialCaps = On(&RenameOptions::cboCaseHandling, 1);
    const Set rules = On(&RenameOptions::cboCaseRules, kCaseRulesName);
    RunTable({
        {"initial caps with extension", "REPORT.DOC", initialCaps, "Report.doc"},
        {"rules on the name", "my dvd.dvd", initialCaps + rules, "My DVD.dvd", "", 1, 0, dvd},
        {"rules on both", "my dvd.dvd",
         initialCaps + On(&RenameOptions::cboCaseRules, kCaseRulesBoth), "My DVD.DVD", "", 1, 0,
         dvd},
        {"rules off", "my dvd.dvd", initialCaps, "My Dvd.dvd", "", 1, 0, dvd},
        {"separate after all caps", "ab cd",
         On(&RenameOptions::cboCaseHandling, 2) + On(&RenameOptions::cboTextFX, 3), "A B C D"},
        {"trim extra spaces", "  a   b  .txt", On(&RenameOptions::chkForceSingleSpaces), "a b.txt"},
        {"reverse base only", "abc.txt", On(&RenameOptions::cboTextFX, 2), "cba.txt"},
    });
}

TEST(Pipeline, FactoryDefaultsTidyANameUp) {
    const RenameOptions factory;
    EXPECT_EQ(ProcessName("my_holiday%20photo  01.JPG", factory, {}), "My Holiday Photo 01.jpg");
    EXPECT_EQ(ProcessName("Already Fine.txt", factory, {}), "Already Fine.txt");
}

TEST(Pipeline, RandomCaseDrawsFromTheInjectedGenerator) {
    RenameOptions options = support::NeutralOptions();
    options.cboCaseHandling = 6;
    std::vector<double> draws = {0.1, 0.0, 0.1, 0.0};
    std::size_t next = 0;
    const NamePipeline pipeline(options, {}, [&] { return draws[next++ % draws.size()]; });
    EXPECT_EQ(pipeline.Process("abcd", {}), "aBcD");
}

// A template may hold anything; no value may crash the pipeline or make it loop.
TEST(Pipeline, UncheckedValuesAreHarmless) {
    RenameOptions o = support::NeutralOptions();
    o.chkSwapSep = 1;
    o.txtSwapSep = "";
    o.txtSwapArea = {"0", "-5"};
    o.chkPathSplice = 1;
    o.txtPathSpliceLevels = "99999999999";
    o.txtPathSpliceSeparator = "\\";
    o.chkCrop = 1;
    o.txtEliminatePosition = "-5";
    o.txtEliminateChars = "0";
    o.chkInsertMiddle = 1;
    o.txtInsertMiddlePosition = "abc";
    o.txtInsertMiddle = "x";
    o.cboAutonumber = "999";
    o.txtAutonumberStep = "0";
    o.txtAutonumberStartNum = "1e300";
    o.chkUNL = 1;
    o.txtUNL = "1e9";
    o.cboCaseHandling = 42;
    o.cboCaseRules = -3;
    o.cboTextFX = 99;
    const std::string result = ProcessName("a1.txt", o, {"C:\\A\\B\\a1.txt", 5, 3});
    EXPECT_FALSE(result.empty());
    EXPECT_LE(result.size(), 2000u);
}

}  // namespace
}  // namespace kestrel::engine
