// Tags in the inserted and replacement texts: the table below documents the
// tag language as the pipeline speaks it.
#include <gtest/gtest.h>

#include <functional>

#include "engine/name_pipeline.h"
#include "engine/tag_text.h"
#include "support/neutral_options.h"

namespace kestrel::engine {
namespace {

using O = RenameOptions;
using S = std::string;
using Set = std::function<void(O&)>;

Set operator+(Set a, Set b) {
    return [=](O& o) { a(o), b(o); };
}
Set Start(S text) {
    return [=](O& o) { o.chkInsertStart = 1, o.txtInsertStart = text; };
}
Set End(S text) {
    return [=](O& o) { o.chkInsertEnd = 1, o.txtInsertEnd = text; };
}
Set Middle(S at, S text) {
    return [=](O& o) {
        o.chkInsertMiddle = 1, o.txtInsertMiddlePosition = at, o.txtInsertMiddle = text;
    };
}
Set Replace(S find, S with) {
    return [=](O& o) { o.chkSearchReplace = 1, o.txtSearch = find, o.txtReplace = with; };
}
const Set Regex = [](O& o) { o.chkRegex = 1, o.chkExtIncluded = 0; };
const Set Number = [](O& o) { o.cboAutonumber = "Auto"; };
const Set Whole = [](O& o) { o.chkReplaceWholeName = 1; };

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

struct Case {
    S name;
    Set set;
    S expected;
    S message = "";
};

TEST(Tags, SubstitutionFormatsFallbacksAndLiterals) {
    const Case cases[] = {
        // A tag is replaced by the file's value, dates by default as yyyy-MM-dd.
        {"IMG_1.jpg", Start("<taken> "), "2001-02-03 IMG_1.jpg"},
        {"IMG_1.jpg", Start("<Taken:yyyy-MM-dd HH.mm> "), "2001-02-03 04.05 IMG_1.jpg"},
        {"IMG_1.jpg", Start("<taken:yyyyMMdd'T'HHmmss>_"), "20010203T040506_IMG_1.jpg"},
        {"IMG_1.jpg", Start("<modified:yy D> "), "20 366 IMG_1.jpg"},
        {"IMG_1.jpg", Middle("4", "-<camera>-"), "IMG-EOS 5D-_1.jpg"},
        // Numbers take a width of zeroes, and are never cut.
        {"song.mp3", Start("<track:00> "), "07 song.mp3"},
        {"song.mp3", Start("<track:000> <track>"), "007 7song.mp3"},
        {"a.jpg", End(" <size:000>"), "a 12345.jpg"},
        // The first alternative with a value is taken; the format fits them all.
        {"a.jpg", Start("<make|camera> "), "EOS 5D a.jpg"},
        {"a.jpg", Start("<created|modified:yyyy> "), "2020 a.jpg"},
        // Values are text: what would be an instruction in a name becomes "_",
        // while the texts the user typed keep their meaning.
        {"a.mp3", Whole + Start("<artist>\\<album>\\<track:00> <title>"),
         "AC_DC\\Back in Black\\07 Why_ Not_.mp3"},
        {"a.mp3", Whole + Number + Start("<title> ?"), "Why_ Not_ 1.mp3"},
        {"a.mp3", Start("<genre>"), "a_b_c_d_e_f_g_h_a.mp3"},
        // Only a known name in a format that fits it is a tag.
        {"a.jpg", Start("<date> "), "<date> a.jpg"},
        {"a.jpg", Start("<taken "), "<taken a.jpg"},
        {"a.jpg", Start("<<taken>>"), "<2001-02-03>a.jpg"},
        {"a.jpg", Start("<artist:00>"), "<artist:00>a.jpg"},
        {"a.jpg", Start("<track:0a>"), "<track:0a>a.jpg"},
        {"a.jpg", Start("<taken:jjj>"), "<taken:jjj>a.jpg"},
        {"a.jpg", Start("<taken|track:yyyy>"), "<taken|track:yyyy>a.jpg"},
        {"a.jpg", Start("<taken|>"), "<taken|>a.jpg"},
        {"a.jpg", Start("<>"), "<>a.jpg"},
        // A tag without a value leaves empty text and says which tag it was,
        // and why when the file could not be read for it.
        {"a.jpg", Start("<make> "), " a.jpg", "No value for <make>"},
        {"a.jpg", Start("<lens>"), "a.jpg", "No value for <lens>: Failed to read image data"},
        {"a.jpg", Start("<make|lens>"), "a.jpg",
         "No value for <make|lens>: Failed to read image data"},
        {"a.jpg", Start("<year:0000>"), "a.jpg", "No value for <year:0000>"},
        {"a.jpg", Start("<width>"), "a.jpg", "No value for <width>"},
        {"a.jpg", Start("<disc>"), "a.jpg", "No value for <disc>"},
        {"a.jpg", Start("<make><disc>"), "a.jpg", "No value for <make>"},
        // The replacement text takes tags too; a regular expression's groups
        // and a value's own "$1" stay apart.
        {"IMG_1.jpg", Replace("IMG", "<camera>"), "EOS 5D_1.jpg"},
        {"IMG_1.jpg", Replace("^(\\w+)_(\\d+)$", "$2 <taken:yyyy> $1") + Regex, "1 2001 IMG.jpg"},
        {"IMG_1.jpg", Replace("IMG", "<make>"), "_1.jpg", "No value for <make>"},
        {"IMG_1.jpg", Replace("I(MG)", "<make>$1") + Regex, "MG_1.jpg", "No value for <make>"},
        // A replacement that replaces nothing brings no value in, and no flag.
        {"IMG_1.jpg", Replace("XYZ", "<make>") + End("!"), "IMG_1!.jpg"},
        {"IMG_1.jpg", Replace("XYZ", "<make>") + Regex + End("!"), "IMG_1!.jpg"},
        // A text of an operation that is off is not read at all.
        {"a.jpg", [](O& o) { o.txtInsertStart = "<make>"; }, "a.jpg"},
    };
    const TagValues values = Sample();
    for (const Case& c : cases) {
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
        {{Tag::Track, "12", ""}, "12"},
        {{Tag::Artist, "AC/DC", ""}, "AC_DC"},
        {{Tag::Artist, "", "not read"}, ""},
    };
    for (const auto& [entry, text] : defaults) {
        EXPECT_EQ(DefaultTagText(entry), text) << entry.value;
    }
}

}  // namespace
}  // namespace kestrel::engine
