#include "engine/name_pipeline.h"

#include <gtest/gtest.h>

#include "support/neutral_options.h"

#include <functional>
#include <string>
#include <vector>

namespace kestrel::engine {
namespace {

// Every operation off, so that each row of a table shows one operation alone.
RenameOptions Neutral() {
    return support::NeutralOptions();
}

struct PipelineCase {
    const char* label;
    const char* name;
    std::function<void(RenameOptions&)> set;
    const char* expected;
    const char* fullPath = "C:\\Work\\x";
    std::int64_t selected = 1;
    std::int64_t sequence = 0;
};

void RunTable(const std::vector<PipelineCase>& cases) {
    for (const PipelineCase& c : cases) {
        SCOPED_TRACE(c.label);
        RenameOptions options = Neutral();
        c.set(options);
        const NameContext context{c.fullPath, c.selected, c.sequence};
        EXPECT_EQ(ProcessName(c.name, options, context), c.expected);
    }
}

TEST(Pipeline, ExtensionSplitAndFolderMark) {
    RunTable({
        {"folder keeps its mark", "Photos\\",
         [](auto& o) { o.chkInsertEnd = 1, o.txtInsertEnd = " 2001"; }, "Photos 2001\\"},
        {"last period splits", "archive.tar.gz",
         [](auto& o) { o.chkInsertEnd = 1, o.txtInsertEnd = "!"; }, "archive.tar!.gz"},
        {"periods are characters", "archive.tar.gz",
         [](auto& o) { o.chkNoExt = 1, o.chkInsertEnd = 1, o.txtInsertEnd = "!"; },
         "archive.tar.gz!"},
        {"trailing period belongs to the base", "name.",
         [](auto& o) { o.chkInsertEnd = 1, o.txtInsertEnd = "!"; }, "name.!"},
    });
}

TEST(Pipeline, ReplaceWholeNameAndSwapAreas) {
    const auto swap13 = [](RenameOptions& o) {
        o.chkSwapSep = 1;
        o.txtSwapArea = {"1", "3"};
    };
    RunTable({
        {"too few areas", "A - B.txt", swap13, "A - B.txt"},
        {"three areas", "A - B - C.txt", swap13, "C - B - A.txt"},
        {"empty last area", "A - B - .txt", swap13, " - B - A.txt"},
        {"areas given high first", "A - B - C",
         [](auto& o) {
             o.chkSwapSep = 1, o.txtSwapArea = {"2", "1"};
         },
         "B - A - C"},
        {"replace whole name numbers", "Holiday.jpg",
         [](auto& o) { o.chkReplaceWholeName = 1, o.cboAutonumber = "Auto"; }, "1.jpg"},
    });
}

TEST(Pipeline, PathSpliceWalksBackThroughTheFolders) {
    const auto splice = [](const char* levels) {
        return [levels](RenameOptions& o) {
            o.chkPathSplice = 1;
            o.txtPathSpliceLevels = levels;
        };
    };
    const char* path = "C:\\Music\\Rock\\Song.mp3";
    RunTable({
        {"two levels", "Song.mp3", splice("2"), "Music - Rock - Song.mp3", path},
        {"reaches the drive", "Song.mp3", splice("9"), "C - Music - Rock - Song.mp3", path},
        {"folder item uses its parent", "Rock\\", splice("1"), "Music - Rock\\",
         "C:\\Music\\Rock\\"},
    });
}

TEST(Pipeline, CropDeletesAndPastesTheCutText) {
    const auto crop = [](const char* position, const char* count, int side) {
        return [=](RenameOptions& o) {
            o.chkCrop = 1;
            o.txtEliminatePosition = position;
            o.txtEliminateChars = count;
            o.cboCropLR = side;
        };
    };
    RunTable({
        {"from the left", "abcdef.txt", crop("1", "3", kFromLeft), "def.txt"},
        {"left span shortened at the end", "abcdef", crop("5", "10", kFromLeft), "abcd"},
        {"left position beyond the end", "abc", crop("4", "1", kFromLeft), "abc"},
        {"right span starts at first character", "ABCDE", crop("2", "10", kFromRight), "E"},
        {"right position beyond the length", "ABCDE", crop("6", "1", kFromRight), "ABCDE"},
        {"pasted at the end", "ABCDE",
         [&](RenameOptions& o) {
             crop("2", "10", kFromRight)(o);
             o.chkInsertEnd = 1;
             o.txtInsertEnd = "*";
         },
         "EABCD"},
        {"stars vanish without a crop", "a*b.t*t", [](auto&) {}, "ab.tt"},
        {"positions count characters", "Ünïcödé.txt", crop("2", "3", kFromLeft), "Üödé.txt"},
    });
}

TEST(Pipeline, ChangeExtensionAndSmartFolderExtensions) {
    const auto ext = [](const char* t) {
        return [t](RenameOptions& o) {
            o.chkChangeExt = 1;
            o.txtChangeExt = t;
        };
    };
    RunTable({
        {"keep as folder", "Photo.jpg", ext("/"), "jpg\\Photo.jpg"},
        {"drop as folder", "Photo.jpg", ext("\\"), "jpg\\Photo"},
        {"empty extension", "Photo.jpg", ext(""), "Photo"},
        {"added to a name without one", "README", ext("png"), "README.png"},
        {"no effect with periods as characters", "Photo.jpg",
         [&](RenameOptions& o) {
             ext("png")(o);
             o.chkNoExt = 1;
         },
         "Photo.jpg"},
    });
}

TEST(Pipeline, SearchReplaceAndPresets) {
    const auto replace = [](const char* find, const char* with) {
        return [=](RenameOptions& o) {
            o.chkSearchReplace = 1;
            o.txtSearch = find;
            o.txtReplace = with;
        };
    };
    RunTable({
        {"all occurrences, any case", "aXa.xa", replace("x", "-"), "a-a.-a"},
        {"extension left alone", "aXa.xa",
         [&](RenameOptions& o) {
             replace("x", "-")(o);
             o.chkExtIncluded = 0;
         },
         "a-a.xa"},
        {"case sensitive", "aXa.xa",
         [&](RenameOptions& o) {
             replace("x", "-")(o);
             o.chkCaseSensitive = 1;
         },
         "aXa.-a"},
        {"first only", "abab",
         [&](RenameOptions& o) { replace("ab", "x")(o), o.chkFirstOccur = 1; }, "xab"},
        {"no re-scan of inserted text", "aa", replace("a", "aa"), "aaaa"},
        {"accented letters compare without case", "ÉTÉ", replace("é", "e"), "eTe"},
        {"underscore preset", "a_b.c_d", [](auto& o) { o.chkUnderscore = 1; }, "a b.c d"},
        {"percent preset", "a%20b%2", [](auto& o) { o.chkPercent20 = 1; }, "a b%2"},
        {"pairs apply one after the other", "ab",
         [](auto& o) { o.chkWildcard = 1, o.txtSearchChar = "ab", o.txtReplaceChar = "ba"; }, "aa"},
        {"missing replacement removes", "a-b_c",
         [](auto& o) { o.chkWildcard = 1, o.txtSearchChar = "-_", o.txtReplaceChar = "+"; },
         "a+bc"},
        {"character pairs ignore case", "AbA",
         [](auto& o) { o.chkWildcard = 1, o.txtSearchChar = "a", o.txtReplaceChar = "o"; }, "obo"},
    });
}

TEST(Pipeline, InsertsAndSmartFolderMarks) {
    const auto middle = [](const char* position, const char* text) {
        return [=](RenameOptions& o) {
            o.chkInsertMiddle = 1;
            o.txtInsertMiddlePosition = position;
            o.txtInsertMiddle = text;
        };
    };
    RunTable({
        {"holiday folder", "IMG_001.jpg",
         [](auto& o) { o.chkInsertStart = 1, o.txtInsertStart = "Holiday/"; },
         "Holiday\\IMG_001.jpg"},
        {"text after the last slash is dropped", "IMG.jpg",
         [](auto& o) { o.chkInsertStart = 1, o.txtInsertStart = "A/B/junk"; }, "A\\B\\IMG.jpg"},
        {"backslash makes a folder of the new name", "x.txt",
         [](auto& o) { o.chkInsertStart = 1, o.txtInsertStart = "Sub\\"; }, "Sub\\x.txt"},
        {"insert at a position", "abc", middle("2", "-"), "a-bc"},
        {"position length + 1 appends", "abc", middle("4", "-"), "abc-"},
        {"position 0 does nothing", "abc", middle("0", "-"), "abc"},
        {"position beyond length + 1 does nothing", "abc", middle("5", "-"), "abc"},
        {"position counts characters", "日本語.txt", middle("2", "-"), "日-本語.txt"},
        {"doubled and leading backslashes collapse", "x",
         [](auto& o) { o.chkInsertStart = 1, o.txtInsertStart = "\\\\a\\\\"; }, "a\\x"},
    });
}

TEST(Pipeline, AutonumberPlacesPaddedNumbers) {
    const auto number = [](const char* digits, const char* start = "1", const char* step = "1") {
        return [=](RenameOptions& o) {
            o.cboAutonumber = digits;
            o.txtAutonumberStartNum = start;
            o.txtAutonumberStep = step;
            o.chkInsertEnd = 1;
            o.txtInsertEnd = " ?";
        };
    };
    RunTable({
        {"auto width from the last number", "Trip", number("Auto"), "Trip 01", "", 12, 0},
        {"last of the run", "Trip", number("Auto"), "Trip 12", "", 12, 11},
        {"fixed digits", "Trip", number("4", "7", "5"), "Trip 0017", "", 3, 2},
        {"never truncated", "Trip", number("2", "123"), "Trip 123"},
        {"typed digits", "Trip", number("6"), "Trip 000001"},
        {"negative numbers keep the sign first", "T", number("3", "-5"), "T -05"},
        {"no mark puts it in front", "Name", [](auto& o) { o.cboAutonumber = "Auto"; }, "1Name"},
        {"only the first mark", "a",
         [](auto& o) { o.cboAutonumber = "1", o.chkInsertEnd = 1, o.txtInsertEnd = "??"; }, "a1?"},
        {"off leaves the mark", "a", [](auto& o) { o.chkInsertEnd = 1, o.txtInsertEnd = "?"; },
         "a?"},
    });
}

TEST(Pipeline, UniformNumberLengthPadsOneRun) {
    const auto pad = [](const char* length, int side) {
        return [=](RenameOptions& o) {
            o.chkUNL = 1;
            o.txtUNL = length;
            o.cboUNLLR = side;
        };
    };
    RunTable({
        {"from the left", "Track 7 of 12", pad("3", kFromLeft), "Track 007 of 12"},
        {"from the right", "Track 7 of 12", pad("3", kFromRight), "Track 7 of 012"},
        {"longer run left alone", "1234", pad("3", kFromLeft), "1234"},
        {"no digits", "abc.mp3", pad("3", kFromLeft), "abc.mp3"},
        {"extension not searched", "a.mp3", pad("3", kFromRight), "a.mp3"},
    });
}

TEST(Pipeline, CaseEffectsAndTrimRunInOrder) {
    RunTable({
        {"initial caps with extension", "REPORT.DOC", [](auto& o) { o.cboCaseHandling = 1; },
         "Report.doc"},
        {"all caps on accents and greek", "é ω ß.txt", [](auto& o) { o.cboCaseHandling = 2; },
         "É Ω ß.TXT"},
        {"alternating with extension", "file.txt", [](auto& o) { o.cboCaseHandling = 4; },
         "fIlE.TxT"},
        {"separate after all caps", "ab cd",
         [](auto& o) { o.cboCaseHandling = 2, o.cboTextFX = 3; }, "A B C D"},
        {"trim extra spaces", "  a   b  .txt", [](auto& o) { o.chkForceSingleSpaces = 1; },
         "a b.txt"},
        {"reverse base only", "abc.txt", [](auto& o) { o.cboTextFX = 2; }, "cba.txt"},
    });
}

TEST(Pipeline, CaseRulesFollowCaseHandling) {
    RenameOptions options = Neutral();
    options.cboCaseHandling = 1;
    options.cboCaseRules = kCaseRulesName;
    const std::vector<std::string> rules = {"DVD"};
    EXPECT_EQ(ProcessName("my dvd.dvd", options, {}, rules), "My DVD.dvd");
    options.cboCaseRules = kCaseRulesBoth;
    EXPECT_EQ(ProcessName("my dvd.dvd", options, {}, rules), "My DVD.DVD");
    options.cboCaseRules = kCaseRulesOff;
    EXPECT_EQ(ProcessName("my dvd.dvd", options, {}, rules), "My Dvd.dvd");
}

TEST(Pipeline, FactoryDefaultsTidyANameUp) {
    const RenameOptions factory;
    EXPECT_EQ(ProcessName("my_holiday%20photo  01.JPG", factory, {}), "My Holiday Photo 01.jpg");
    EXPECT_EQ(ProcessName("Already Fine.txt", factory, {}), "Already Fine.txt");
}

TEST(Pipeline, RandomCaseDrawsFromTheInjectedGenerator) {
    RenameOptions options = Neutral();
    options.cboCaseHandling = 6;
    std::vector<double> draws = {0.1, 0.0, 0.1, 0.0};
    std::size_t next = 0;
    const NamePipeline pipeline(options, {}, [&] { return draws[next++ % draws.size()]; });
    EXPECT_EQ(pipeline.Process("abcd", {}), "aBcD");
}

// A template may hold anything; no value may crash the pipeline or make it loop.
TEST(Pipeline, UncheckedValuesAreHarmless) {
    RenameOptions o = Neutral();
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
