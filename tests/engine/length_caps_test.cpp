#include <gtest/gtest.h>

#include <string>

#include "engine/name_pipeline.h"
#include "support/neutral_options.h"
#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

// Whatever fills the options (a hand-edited template, a long paste) and
// whatever the name, one name costs bounded work and comes out bounded.
TEST(LengthCaps, PipelineTextsStopAtTheirCaps) {
    struct Row {
        const char* what;
        RenameOptions options;
        std::string name;
        std::size_t length;  // code points of the result
    };
    RenameOptions longInsert = support::NeutralOptions();
    longInsert.chkInsertStart = 1;
    longInsert.txtInsertStart = std::string(300, 'x');
    RenameOptions paste = support::NeutralOptions();
    paste.chkCrop = 1;
    paste.txtEliminateChars = "255";  // longer is cut from the field, too
    RenameOptions growingReplace = support::NeutralOptions();
    growingReplace.chkSearchReplace = 1;
    growingReplace.txtSearch = "a";
    growingReplace.txtReplace = std::string(255, 'b');
    const Row rows[] = {
        {"an option text holds 255 characters", longInsert, "a", 256},
        {"a name holds 32,767 characters", support::NeutralOptions(),
         std::string(40'000, 'n') + ".txt", kMaxNameLength},
        {"the paste into every \"*\" stops at the cap", paste,
         std::string(255, 'c') + std::string(2'000, '*'), kMaxNameLength},
        {"a replacement that grows the name stops at the cap", growingReplace,
         std::string(2'000, 'a'), kMaxNameLength},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string result = ProcessName(row.name, row.options, {});
        EXPECT_EQ(text::CodePointCount(result), row.length);
    }
}

TEST(LengthCaps, OptionTextsAreCutAtCharactersNotBytes) {
    RenameOptions options;
    std::string accents;
    for (int i = 0; i < 300; ++i) {
        accents += "\xC3\xA9";  // é, two bytes
    }
    options.txtSearch = accents;
    options.txtFilter = std::string(256, '*');
    options.txtInsertEnd = "short";
    CapOptionTexts(options);
    EXPECT_EQ(text::CodePointCount(options.txtSearch), kMaxOptionTextLength);
    EXPECT_EQ(options.txtSearch.size(), 2 * kMaxOptionTextLength);
    EXPECT_EQ(options.txtFilter.size(), kMaxOptionTextLength);
    EXPECT_EQ(options.txtInsertEnd, "short");
}

}  // namespace
}  // namespace kestrel::engine
