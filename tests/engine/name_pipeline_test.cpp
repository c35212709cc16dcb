#include "engine/name_pipeline.h"

#include <gtest/gtest.h>

#include <random>

#include "engine/case_handling.h"
#include "engine/character_classes.h"
#include "engine/field_checks.h"
#include "engine/tag_text.h"
#include "support/neutral_options.h"
#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

// Switches on one step; "+" joins several.
using O = RenameOptions;
using Set = std::function<void(O&)>;
using S = std::string;

Set operator+(Set a, Set b) {
    return [=](O& o) { a(o), b(o); };
}
const auto On = [](int O::*box, int value = 1) -> Set { return [=](O& o) { o.*box = value; }; };
const auto Fill = [](S O::*field, S text) -> Set { return [=](O& o) { o.*field = text; }; };
const auto Tick = [](int O::*box, S O::*field, S text) { return On(box) + Fill(field, text); };
const auto Start = [](S t) { return Tick(&O::chkInsertStart, &O::txtInsertStart, t); };
const auto End = [](S t) { return Tick(&O::chkInsertEnd, &O::txtInsertEnd, t); };
const auto Middle = [](S at, S t) {
    return Tick(&O::chkInsertMiddle, &O::txtInsertMiddlePosition, at) +
           Fill(&O::txtInsertMiddle, t);
};
const auto Replace = [](S find, S with) {
    return Tick(&O::chkSearchReplace, &O::txtSearch, find) + Fill(&O::txtReplace, with);
};
const auto Chars = [](S find, S with) {
    return Tick(&O::chkWildcard, &O::txtSearchChar, find) + Fill(&O::txtReplaceChar, with);
};
const auto Swap = [](S a, S b) -> Set {
    return [=](O& o) { o.chkSwapSep = 1, o.txtSwapArea = {a, b}; };
};
const auto Splice = [](S n) { return Tick(&O::chkPathSplice, &O::txtPathSpliceLevels, n); };
const auto Crop = [](S at, S count, int side = kFromLeft) {
    return Tick(&O::chkCrop, &O::txtEliminatePosition, at) + Fill(&O::txtEliminateChars, count) +
           On(&O::cboCropLR, side);
};
const auto NewExt = [](S t) { return Tick(&O::chkChangeExt, &O::txtChangeExt, t); };
const auto Number = [](S digits, S start = "1", S step = "1") {
    return Fill(&O::cboAutonumber, digits) + Fill(&O::txtAutonumberStartNum, start) +
           Fill(&O::txtAutonumberStep, step);
};
const auto Pad = [](S n, int side) {
    return Tick(&O::chkUNL, &O::txtUNL, n) + On(&O::cboUNLLR, side);
};
const auto Caps = [](int position) { return On(&O::cboCaseHandling, position); };
const auto Effect = [](int position) { return On(&O::cboTextFX, position); };
const Set NoExt = On(&O::chkNoExt), None = On(&O::chkCrop, 0);

struct Row {
    S name;
    Set set;
    S expected;
    NameContext context = {"C:\\Work\\x"};
    std::vector<S> rules = {};
};

// A row of the tag table: the message is what the row is flagged with.
struct TagRow {
    S name;
    Set set;
    S expected;
    S message = "";
};

// Every row starts from every step off, so that it shows its own alone.
TEST(Pipeline, OneRowPerStep) {
    const S music = "C:\\Music\\Rock\\Song.mp3";
    const Set rules = On(&O::cboCaseRules, kCaseRulesName);
    const std::vector<S> dvd = {"DVD"};
    const Row rows[] = {
        // The extension is split off at the last period; a folder keeps its mark.
        {"Photos\\", End(" 2001"), "Photos 2001\\"},
        {"archive.tar.gz", End("!"), "archive.tar!.gz"},
        {"archive.tar.gz", NoExt + End("!"), "archive.tar.gz!"},
        {"Holiday.jpg", On(&O::chkReplaceWholeName) + Number("Auto"), "1.jpg"},
        {"A - B.txt", Swap("3", "1"), "A - B.txt"},
        {"A - B - .txt", Swap("3", "1"), " - B - A.txt"},
        {"Song.mp3", Splice("2"), "Music - Rock - Song.mp3", {music}},
        {"Song.mp3", Splice("9"), "C - Music - Rock - Song.mp3", {music}},
        {"Rock\\", Splice("1"), "Music - Rock\\", {"C:\\Music\\Rock\\"}},
        // Crop: the cut text goes wherever a "*" is; without a crop the marks vanish.
        {"abcdef.txt", Crop("3", "1000000000000"), "ab.txt"},
        {"abc", Crop("1", "-1"), "abc"},
        {"ABCDE", Crop("2", "10", kFromRight) + End("*"), "EABCD"},
        {"a*b.t*t", None, "ab.tt"},
        // "/" keeps the extension as a folder, "\" moves it there.
        {"Photo.jpg", NewExt("/"), "jpg\\Photo.jpg"},
        {"Photo.jpg", NewExt("\\"), "jpg\\Photo"},
        {"README", NewExt("png"), "README.png"},
        {"Photo.jpg", NewExt("png") + NoExt, "Photo.jpg"},
        {"aXa.xa", Replace("x", "-"), "a-a.-a"},
        {"aXa.xa", Replace("x", "-") + On(&O::chkCaseSensitive), "aXa.-a"},
        {"abab", Replace("ab", "x") + On(&O::chkFirstOccur), "xab"},
        {"aa", Replace("a", "aa"), "aaaa"},
        {"abc", Replace("", "x"), "abc"},
        {"ÉTÉ", Replace("é", "e"), "eTe"},
        {"a%20b%2", On(&O::chkPercent20), "a b%2"},
        {"Ab", Chars("ab", "ba"), "aa"},  // pair by pair, any case
        {"a-b_c", Chars("-_", "+"), "a+bc"},
        // Text typed before a "/" becomes folders holding the name it started with.
        {"IMG.jpg", Start("A/B/junk"), "A\\B\\IMG.jpg"},
        {"x", Start("\\\\a\\\\"), "a\\x"},
        {"abc", Middle("4", "-"), "abc-"},
        {"abc", Middle("0", "-"), "abc"},
        {"日本語.txt", Middle("2", "-"), "日-本語.txt"},
        // Autonumber: as wide as the last number of the run, at the first "?".
        {"Trip", Number("Auto") + End(" ?"), "Trip 01", {"", 12, 0}},
        {"Trip", Number("4", "7", "5") + End(" ?"), "Trip 0017", {"", 3, 2}},
        {"T", Number("3", "-5") + End(" ?"), "T -05"},
        {"Name", Number("Auto"), "1Name"},
        {"a", Number("1") + End("??"), "a1?"},
        {"a", End("?"), "a?"},
        {"Track 7 of 12", Pad("3", kFromLeft), "Track 007 of 12"},
        {"Track 7 of 12", Pad("3", kFromRight), "Track 7 of 012"},
        {"1234", Pad("3", kFromLeft), "1234"},
        {"abc.mp3", Pad("3", kFromLeft), "abc.mp3"},
        // Case handling, on the extension too, by list position. Initial Caps: word
        // characters are the Latin-1 letters and digits and their case partners (ÿ
        // upper-cases to Ÿ, outside Latin-1), not × ÷ _ nor Greek; a letter after an
        // apostrophe inside a word stays low.
        {"the x-men DON'T STOP", Caps(1), "The X-Men Don't Stop"},
        {"'twas rock 'n' roll 2nd mp3", Caps(1), "'Twas Rock 'N' Roll 2nd Mp3"},
        {"émile a×b a÷b a_b aÿb ωμέγα", Caps(1), "Émile A×B A÷B A_B Aÿb ΩΜΈΓΑ"},
        {"aſ ıi", Caps(1), "As Ii"},  // lowered from the upper case: ſ, S, s
        {"a.straße é", Caps(2), "A.STRAßE É"},
        {"alternating.txt", Caps(4), "aLtErNaTiNg.TxT"},
        {"Hello wORLD é1", Caps(7), "hELLO World É1"},
        // Case rules force their letter case on whole words, the later rule winning.
        {"my dvd.dvd", Caps(1) + rules, "My DVD.dvd", {}, dvd},
        {"my dvd.dvd", Caps(1) + On(&O::cboCaseRules, kCaseRulesBoth), "My DVD.DVD", {}, dvd},
        {"my dvd-rip 2dvd dvd", rules, "my DVD-rip 2DVD DVD", {}, dvd},
        {"dvds xdvd dvd's", rules, "dvds xdvd dvd's", {}, dvd},
        {"my dvd", rules, "my DVD", {}, {"Dvd", "DVD"}},
        {"a a a", rules, "A A a", {}, {"A A"}},  // the search resumes past the separator
        // The effect, on the name only: a capital gets a space unless a word separator
        // comes before it.
        {"abc.txt", Effect(2), "cba.txt"},
        {"MyFile", Effect(1), "M y F i l e"},
        {"MyHolidayPhotos ABC", Effect(3), "My Holiday Photos A B C"},
        {"Track1A a'B ÉcoleÉté", Effect(3), "Track1 A a' B École Été"},
        {"", Effect(3), ""},
        {"ab cd", Caps(2) + Effect(3), "A B C D"},
        {"  a   b  .txt", On(&O::chkForceSingleSpaces), "a b.txt"},
        {"my_holiday%20photo  01.JPG", [](O& o) { o = {}; }, "My Holiday Photo 01.jpg"},
        // Whatever fills the options and the name, the result stays bounded.
        {"a", Start(S(300, 'x')), S(255, 'x') + "a"},
        {S(40'000, 'n') + ".txt", None, S(kMaxNameLength, 'n')},
        {S(255, 'c') + S(2'000, '*'), Crop("1", "255"), S(kMaxNameLength, 'c')},
        {S(2'000, 'a'), Replace("a", S(255, 'b')), S(kMaxNameLength, 'b')},
        // Areas are found left to right; an empty area swaps like any other.
        {"a - b - c - d", Swap("4", "2"), "a - d - c - b"},
        {"a -  - b", Swap("1", "2"), " - a - b"},
        {"x - - y.txt", Swap("1", "2"), "- y - x.txt"},
    };
    for (const Row& row : rows) {
        O options = support::NeutralOptions();
        row.set(options);
        EXPECT_EQ(ProcessName(row.name, options, row.context, row.rules), row.expected)
            << row.name.substr(0, 30);
        // A pipeline keeps its texts from name to name: a long name before
        // leaves nothing behind in the next.
        const NamePipeline pipeline(options, row.rules);
        NameResult reused;
        pipeline.Process("Zz - " + S(60, 'z') + "*%20_ - q.x\\", row.context, reused);
        pipeline.Process(row.name, row.context, reused);
        EXPECT_EQ(reused.name, row.expected) << row.name.substr(0, 30);
    }
}

// The search as a regular expression. Letters are compared without regard to
// case unless the row says otherwise; with the extension included the pattern
// sees the whole name.
TEST(Pipeline, RegularExpressionSearch) {
    struct RegexRow {
        S name;
        S pattern;
        S replacement;
        bool caseSensitive;
        bool firstOnly;
        bool withExtension;
        S expected;
        Set also = None;
    };
    const bool y = true, n = false;
    const RegexRow rows[] = {
        {"IMG 2023-05-17.jpg", R"((\d{4})-(\d\d)-(\d\d))", "$3.$2.$1", n, n, y,
         "IMG 17.05.2023.jpg"},
        {"Smith, John.txt", R"((?<last>\w+), (?<first>\w+))", "${first} ${last}", n, n, y,
         "John Smith.txt"},
        {"track.mp3", R"(\w+)", "[$0]", n, n, n, "[track].mp3"},
        {"price 5.txt", R"((\d+))", R"(\$$1)", n, n, y, "price $5.txt"},
        // Groups the pattern lacks stay as typed; a group that took no part adds nothing.
        {"ab", "(a)", "$5$1${y}", n, n, y, "$5a${y}b"},
        {"b", "(a)?b", "[$1]", n, n, y, "[]"},
        // Empty matches: between every two characters, or only at the start.
        {"abc", "x*", "-", n, n, y, "-a-b-c-"},
        // Anchors hold at the ends of what the pattern sees.
        {"abcabc.txt", "^abc", "X", n, n, y, "Xabc.txt"},
        {"abcabc.txt", "abc$", "X", n, n, n, "abcX.txt"},
        {"abcabc.txt", "abc$", "X", n, n, y, "abcabc.txt"},
        {"Photo.JPEG", R"((.*)\.JPE?G$)", "$1.jpg", n, n, y, "Photo.jpg"},
        {"a.b.txt", R"(\.)", "_", n, n, y, "a_b_txt"},
        {"a-b-c", "-", "+", n, y, y, "a+b-c"},
        // Unicode letters, with and without regard to case.
        {"Été à Paris.txt", "é", "e", n, n, y, "ete à Paris.txt"},
        {"Straße.txt", "ß", "ss", n, n, y, "Strasse.txt"},
        {"ΣΟΦΙΑ.txt", "σοφια", "Sofia", n, n, y, "Sofia.txt"},
        {"Αθήνα 2004.jpg", R"((\p{L}+) (\d+))", "$2 $1", n, n, y, "2004 Αθήνα.jpg"},
        // Instruction characters keep their meaning after the replacement: "\"
        // makes a folder ("\\" a backslash right before a group), "/" a folder
        // holding the name as it was, "?" the number, "*" the cut text.
        {"2023-05-17 Beach.jpg", R"(^(\d{4})-\d\d-\d\d )", R"($1\)", n, n, y, "2023\\Beach.jpg"},
        {"2023-05 Beach.jpg", R"(^(\d{4})-(\d\d) )", R"($1\\$2\)", n, n, y, "2023\\05\\Beach.jpg"},
        {"IMG_1.jpg", "^IMG", "Holiday/", n, n, y, "Holiday\\IMG_1.jpg"},
        {"Beach.jpg", "^(.*)$", "$1 ?", n, n, n, "Beach 01.jpg", Number("Auto")},
        {"ABCDE", R"((\w)$)", "*$1", n, n, y, "BCDAE", Crop("1", "1")},
    };
    for (const RegexRow& row : rows) {
        SCOPED_TRACE(row.name + " / " + row.pattern + " / " + row.replacement);
        O options = support::NeutralOptions();
        (Replace(row.pattern, row.replacement) + On(&O::chkRegex) + row.also)(options);
        options.chkCaseSensitive = row.caseSensitive ? 1 : 0;
        options.chkFirstOccur = row.firstOnly ? 1 : 0;
        options.chkExtIncluded = row.withExtension ? 1 : 0;
        EXPECT_EQ(ProcessName(row.name, options, {"C:\\Work\\x", 12, 0}), row.expected);
    }
}

// A pattern from a template or the command line that does not compile: every
// name stays exactly as it is, other operations included, and the pipeline
// says why with ICU's reason and the character where ICU stopped.
TEST(Pipeline, APatternThatDoesNotCompileLeavesEveryNameAsItIs) {
    const std::pair<S, S> cases[] = {
        {"(abc", "incorrectly nested parentheses (at character 4)."},
        {"a**", "syntax error (at character 3)."},
        {"[a-", "in a character range [x-y], x is greater than y (at character 3)."},
        {"é(?<1a>x)", "syntax error (at character 5)."},
        {"ab\r\ncd\\", "unrecognized backslash escape sequence (at character 7)."},
    };
    for (const auto& [pattern, reason] : cases) {
        SCOPED_TRACE(pattern);
        O options = support::NeutralOptions();
        (Replace(pattern, "x") + On(&O::chkRegex) + Start("new ") + Caps(2))(options);
        const NamePipeline pipeline(options, {});
        const S message = "The search text is not a valid regular expression: " + reason;
        EXPECT_EQ(pipeline.PatternError(), message);
        EXPECT_EQ(CheckSearchPattern(pattern), message);
        const NameResult result = pipeline.Process("a_b.txt", {});
        EXPECT_EQ(result.name, "a_b.txt");
        EXPECT_EQ(result.message, "");
    }
    // Only a search that runs as a regular expression needs to compile.
    O options = support::NeutralOptions();
    (Replace("(", "x") + Start("new "))(options);
    EXPECT_EQ(NamePipeline(options, {}).PatternError(), "");
    EXPECT_EQ(ProcessName("a(b", options, {}), "new axb");
    options.chkRegex = 1, options.chkSearchReplace = 0;
    EXPECT_EQ(NamePipeline(options, {}).PatternError(), "");
    EXPECT_EQ(CheckSearchPattern(R"((?<y>\d+)-\k<y>)"), "");
}

// Exponential backtracking runs out of steps on a long name: that row keeps its
// name and is flagged, the others are made. After too many such names the pass
// stops trying the pattern at all, so that a full list still ends quickly.
TEST(Pipeline, ANameThePatternTakesTooLongOnKeepsItsNameAndIsFlagged) {
    O options = support::NeutralOptions();
    (Replace("(a+)+$", "x") + On(&O::chkRegex) + End("!") + On(&O::chkExtIncluded, 0))(options);
    const NamePipeline pipeline(options, {});
    const S slow = S(40, 'a') + "b.txt";
    const auto expect = [&](const S& name, const S& newName, std::string_view message) {
        const NameResult result = pipeline.Process(name, {});
        EXPECT_EQ(result.name, newName);
        EXPECT_EQ(result.message, message);
    };
    expect("caaa.txt", "cx!.txt", "");
    expect(slow, slow, kPatternTooSlow);
    for (int k = 1; k < 100; ++k) {
        expect("caaa.txt", "cx!.txt", "");
        expect(slow, slow, kPatternTooSlow);
    }
    expect("caaa.txt", "caaa.txt", kPatternGaveUp);
    expect(slow, slow, kPatternGaveUp);
    // The count belongs to one pass: the next pipeline tries again.
    EXPECT_EQ(NamePipeline(options, {}).Process("caaa.txt", {}).name, "cx!.txt");
}

TEST(Pipeline, RandomCaseDrawsFromTheGivenGenerator) {
    O options = support::NeutralOptions();
    options.cboCaseHandling = 6;
    int draws = 0;
    const auto random = [&] { return draws++ % 2 == 0 ? 0.1 : 0.0; };
    EXPECT_EQ(ProcessName("abcd", options, {}, {}, random), "aBcD");
}

// A template may hold anything; no value may crash the pipeline or make it loop.
TEST(Pipeline, UncheckedValuesAreHarmless) {
    O o = support::NeutralOptions();
    o.chkSwapSep = o.chkPathSplice = o.chkCrop = o.chkInsertMiddle = o.chkUNL = 1;
    o.txtSwapSep = "", o.txtSwapArea = {"0", "-5"};
    o.txtPathSpliceLevels = "99999999999", o.txtPathSpliceSeparator = "\\";
    o.txtEliminatePosition = "-5", o.txtEliminateChars = "0";
    o.txtInsertMiddlePosition = "abc", o.txtInsertMiddle = "x";
    o.cboAutonumber = "999", o.txtAutonumberStep = "0", o.txtAutonumberStartNum = "1e300";
    o.txtUNL = "1e9", o.cboCaseHandling = 42, o.cboCaseRules = -3, o.cboTextFX = 99;
    const S result = ProcessName("a1.txt", o, {"C:\\A\\B\\a1.txt", 5, 3});
    EXPECT_FALSE(result.empty());
    EXPECT_LE(result.size(), 2000u);
}

using text::ToCodePoints;
using text::ToUtf8;

// The other modes, the case rules and the text effects are shown through the pipeline.
TEST(RandomCase, LowersWhereTheScaledDrawRoundedHalfToEvenIsOdd) {
    // 0.5, 1.5 and 2.5 round to the even 0, 2 and 2; 9.5 rounds to 10. A faulty
    // generator's NaN, huge or negative draw leaves upper case, as does none.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> values = {0.0,   0.1,  0.04, 0.05, 0.15,  0.25, 0.3,
                                        0.949, 0.95, 0.9,  nan,  1e300, -0.1};
    std::size_t draws = 0;
    std::u32string text = U"abcdefghijabc";
    ApplyCaseHandling(CaseHandling::Random, text, false, [&] { return values.at(draws++); });
    EXPECT_EQ(ToUtf8(text), "AbCDEFghIjABc");
    EXPECT_EQ(draws, values.size());
    text = U"abc";
    RandomCase(text, {});
    EXPECT_EQ(ToUtf8(text), "ABC");
}

TEST(CaseRules, TerminateAndChangeOnlyLetterCaseOnAdversarialInput) {
    const std::string longText(2000, 'a');
    const CaseRuleSet rules({" ", "-", "1", "...", "a", "aaaa", "x y", longText, "A-", "\xFF"});
    const std::string texts[] = {"",    " ",      "----",   "a a a a",  "aaaa",   "1 1 1",
                                 "...", longText, "a-a-a-", "\xFF\xFE", "x y x y"};
    for (const std::string& input : texts) {
        std::u32string text = ToCodePoints(input);
        rules.Apply(text);
        EXPECT_EQ(text::FoldCase(text), text::FoldCase(ToCodePoints(input))) << input.substr(0, 20);
    }
}

// Every occurrence of each rule in turn, searched for in the folded text and
// resumed past the separator that ends it: what the rule set must do, at
// any speed.
std::u32string RulesOneByOne(std::u32string text, const std::vector<std::string>& rules) {
    const std::u32string folded = text::FoldCase(text);
    for (const std::string& utf8 : rules) {
        const std::u32string rule = ToCodePoints(utf8);
        const std::u32string foldedRule = text::FoldCase(rule);
        for (std::size_t start = 0; !rule.empty();) {
            const std::size_t found = folded.find(foldedRule, start);
            if (found == std::u32string::npos) {
                break;
            }
            const std::size_t end = found + rule.size();
            if ((found == 0 || IsRuleSeparator(folded[found - 1])) &&
                (end == folded.size() || IsRuleSeparator(folded[end]))) {
                text.replace(found, rule.size(), rule);
            }
            start = end + 1;
        }
    }
    return text;
}

TEST(CaseRules, MatchWhatSearchingForEachRuleInTurnFinds) {
    // Few letters and separators, so that rules meet, overlap and repeat;
    // "é" and "É" fold to one letter of two bytes.
    const std::vector<std::string> pieces = {"a", "A", "b",        " ",        "-",
                                             "a", " ", "\xC3\xA9", "\xC3\x89", "1"};
    std::mt19937 random(11);
    const auto pick = [&](std::size_t most) {
        std::string out;
        for (std::size_t n = random() % (most + 1); n > 0; --n) {
            out += pieces[random() % pieces.size()];
        }
        return out;
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> rules(1 + random() % 6);
        for (std::string& rule : rules) {
            rule = pick(3);
        }
        const std::u32string name = ToCodePoints(pick(10));
        std::u32string text = name;
        CaseRuleSet(rules).Apply(text);
        ASSERT_EQ(ToUtf8(text), ToUtf8(RulesOneByOne(name, rules)))
            << ToUtf8(name) << " with " << ::testing::PrintToString(rules);
    }
}

// Tags in the inserted and replacement texts: the table below documents the
// tag language as the pipeline speaks it.
const Set Regex = On(&O::chkRegex) + On(&O::chkExtIncluded, 0);

// One photo, one song: what a reader might hand over for them.
TagValues Sample() {
    return {{
        {Tag::Taken, "2001-02-03 04:05:06", ""},
        {Tag::Modified, "2020-12-31 23:59:58", ""},
        {Tag::Make, "", ""},
        {Tag::Camera, "EOS 5D", ""},
        {Tag::Lens, "", "Failed to read image data"},
        {Tag::Size, "12345", ""},
        {Tag::Artist, "AC/DC", ""},
        {Tag::Album, "Back in Black", ""},
        {Tag::Title, "Why? Not*", ""},
        {Tag::Genre,
         "a\tb\xE2\x80\xAE"
         "c\\d:e|f\"g<h>",
         ""},
        {Tag::Track, "7", ""},
        {Tag::Year, "2001-13-01 00:00:00", ""},
        {Tag::Width, "not a number", ""},
    }};
}

TEST(Tags, SubstitutionFormatsFallbacksAndLiterals) {
    const TagRow cases[] = {
        // A tag is replaced by the file's value, dates by default as yyyy-MM-dd.
        {"IMG_1.jpg", Start("<taken> "), "2001-02-03 IMG_1.jpg"},
        {"IMG_1.jpg", Start("<taken:yyyyMMdd'T'HHmmss>_"), "20010203T040506_IMG_1.jpg"},
        {"IMG_1.jpg", Start("<modified:yy D> "), "20 366 IMG_1.jpg"},
        {"IMG_1.jpg", Middle("4", "-<camera>-"), "IMG-EOS 5D-_1.jpg"},
        // Numbers take a width of zeroes, and are never cut.
        {"song.mp3", Start("<track:00> "), "07 song.mp3"},
        // The first alternative with a value is taken; the format fits them all.
        {"a.jpg", Start("<make|camera> "), "EOS 5D a.jpg"},
        {"a.jpg", Start("<created|modified:yyyy> "), "2020 a.jpg"},
        // Values are text: what would be an instruction in a name becomes "_",
        // while the texts the user typed keep their meaning.
        {"a.mp3", On(&O::chkReplaceWholeName) + Start("<artist>\\<album>\\<track:00> <title>"),
         "AC_DC\\Back in Black\\07 Why_ Not_.mp3"},
        {"a.mp3", On(&O::chkReplaceWholeName) + Number("Auto") + Start("<title> ?"),
         "Why_ Not_ 1.mp3"},
        {"a.mp3", Start("<genre>"), "a_b_c_d_e_f_g_h_a.mp3"},
        // Only a known name in a format that fits it is a tag.
        {"a.jpg", Start("<date> "), "<date> a.jpg"},
        {"a.jpg", Start("<<taken>>"), "<2001-02-03>a.jpg"},
        {"a.jpg", Start("<taken:jjj>"), "<taken:jjj>a.jpg"},
        {"a.jpg", Start("<>"), "<>a.jpg"},
        // A tag without a value leaves empty text and says which tag it was,
        // and why when the file could not be read for it.
        {"a.jpg", Start("<make> "), " a.jpg", "No value for <make>"},
        {"a.jpg", Start("<lens>"), "a.jpg", "No value for <lens>: Failed to read image data"},
        {"a.jpg", Start("<width>"), "a.jpg", "No value for <width>"},
        {"a.jpg", Start("<make><disc>"), "a.jpg", "No value for <make>"},
        // The replacement text takes tags too; a regular expression's groups
        // and a value's own "$1" stay apart.
        {"IMG_1.jpg", Replace("IMG", "<camera>"), "EOS 5D_1.jpg"},
        {"IMG_1.jpg", Replace("^(\\w+)_(\\d+)$", "$2 <taken:yyyy> $1") + Regex, "1 2001 IMG.jpg"},
        {"IMG_1.jpg", Replace("I(MG)", "<make>$1") + Regex, "MG_1.jpg", "No value for <make>"},
        // A replacement that replaces nothing brings no value in, and no flag.
        {"IMG_1.jpg", Replace("XYZ", "<make>") + Regex + End("!"), "IMG_1!.jpg"},
        // A text of an operation that is off is not read at all.
        {"a.jpg", [](O& o) { o.txtInsertStart = "<make>"; }, "a.jpg"},
    };
    const TagValues values = Sample();
    for (const TagRow& c : cases) {
        O options = support::NeutralOptions();
        c.set(options);
        SCOPED_TRACE(c.name + " | " + options.txtInsertStart + options.txtInsertMiddle +
                     options.txtInsertEnd + options.txtReplace);
        const NameResult made = NamePipeline(options, {}).Process(c.name, {"", 1, 0, &values});
        EXPECT_EQ(made.name, c.expected);
        EXPECT_EQ(made.message, c.message);
        EXPECT_FALSE(made.keptName);
    }
}

TEST(Tags, AValueIsNeverReadAsPartOfTheRegexReplacement) {
    O options = support::NeutralOptions();
    (Replace("(x)", "<title>") + Regex)(options);
    const TagValues values{{{Tag::Title, "$1 \\$ ${a}", ""}}};
    EXPECT_EQ(NamePipeline(options, {}).Process("axb", {"", 1, 0, &values}).name, "a$1 _$ ${a}b");
}

// The pipeline names what must be read, only for operations that are on, so
// that a preview without tags reads nothing; a row whose file was not read
// keeps its name and says so.
TEST(Tags, UsedTagsComeFromTheTextsOfOperationsThatAreOn) {
    O options = support::NeutralOptions();
    (Start("<taken> <artist|albumartist>") + Replace("a", "<size>"))(options);
    options.txtInsertEnd = "<genre>";
    const NamePipeline pipeline(options, {});
    TagSet expected;
    for (const Tag tag : {Tag::Taken, Tag::Artist, Tag::AlbumArtist, Tag::Size}) {
        expected.set(static_cast<std::size_t>(tag));
    }
    EXPECT_EQ(pipeline.UsedTags(), expected);
    const NameResult unread = pipeline.Process("a.jpg", {});
    EXPECT_EQ(unread.name, "a.jpg");
    EXPECT_EQ(unread.message, kTagsNotRead);
    EXPECT_TRUE(unread.keptName);

    O plain = support::NeutralOptions();
    (Start("<date> ") + Replace("<taken>", "x"))(plain);
    EXPECT_TRUE(NamePipeline(plain, {}).UsedTags().none());
    EXPECT_EQ(NamePipeline(plain, {}).Process("a<taken>", {}).name, "<date> ax");
}

TEST(Tags, ValuesAreCutAndTheDefaultTextIsWhatATagWithoutFormatGives) {
    const std::string longTitle(400, 'x');
    const TagValues values{{{Tag::Title, longTitle, ""}}};
    O options = support::NeutralOptions();
    End("<title>")(options);
    EXPECT_EQ(NamePipeline(options, {}).Process("a", {"", 1, 0, &values}).name,
              "a" + std::string(kMaxTagValueLength, 'x'));

    const std::pair<TagEntry, S> defaults[] = {
        {{Tag::Taken, "2001-02-03 04:05:06", ""}, "2001-02-03"},
        {{Tag::Taken, "2001:02:03 04:05:06", ""}, ""},
        {{Tag::Artist, "AC/DC", ""}, "AC_DC"},
        {{Tag::Artist, "", "not read"}, ""},
    };
    for (const auto& [entry, text] : defaults) {
        EXPECT_EQ(DefaultTagText(entry), text) << entry.value;
    }
}

}  // namespace
}  // namespace kestrel::engine
