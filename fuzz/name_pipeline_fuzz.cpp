// Arbitrary names and option values through the whole pipeline: whatever a
// damaged template or a hand-edited setting holds, a name must come out,
// without a crash, a hang or undefined behaviour. The inserted and
// replacement texts are often built of known tags with fuzzed formats, and the
// tags' values are fuzzed too, so that tag parsing, ICU's date patterns and
// the substitution of values are covered as well.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/name_pipeline.h"
#include "engine/tag_values.h"
#include "text/unicode_text.h"

namespace {

using kestrel::engine::RenameOptions;

int Check(FuzzedDataProvider& in) {
    return in.ConsumeIntegralInRange<int>(-1, 3);
}
// Longer than an entry field holds, so that the field cap is exercised too.
std::string Text(FuzzedDataProvider& in) {
    return in.ConsumeRandomLengthString(300);
}

// A tag as a user might type one: known names (in any case, with
// alternatives) and a format, around fuzzed text.
std::string TagText(FuzzedDataProvider& in) {
    std::string text = in.ConsumeRandomLengthString(16);
    for (int tags = in.ConsumeIntegralInRange<int>(0, 3); tags > 0; --tags) {
        text += '<';
        for (int names = in.ConsumeIntegralInRange<int>(1, 3); names > 0; --names) {
            const auto& all = kestrel::engine::AllTags();
            std::string name(all[in.ConsumeIntegralInRange<std::size_t>(0, all.size() - 1)].name);
            if (in.ConsumeBool()) {
                name[0] = static_cast<char>(name[0] - 'a' + 'A');
            }
            text += name + (names > 1 ? "|" : "");
        }
        if (in.ConsumeBool()) {
            text += ':' + in.ConsumeRandomLengthString(24);
        }
        text += '>' + in.ConsumeRandomLengthString(16);
    }
    return text;
}

std::string InsertText(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? TagText(in) : Text(in);
}

// What a file might give: plain dates, numbers, any text, and problems.
kestrel::engine::TagValues FuzzedValues(FuzzedDataProvider& in) {
    kestrel::engine::TagValues values;
    for (const kestrel::engine::TagInfo& info : kestrel::engine::AllTags()) {
        if (in.ConsumeBool()) {
            std::string value = in.ConsumeBool() ? "2001-02-03 04:05:06" : Text(in);
            values.entries.push_back({info.tag, std::move(value), Text(in)});
        }
    }
    return values;
}

RenameOptions FuzzedOptions(FuzzedDataProvider& in) {
    RenameOptions o;
    o.chkReplaceWholeName = Check(in);
    o.chkSwapSep = Check(in);
    o.txtSwapArea = {Text(in), Text(in)};
    o.txtSwapSep = Text(in);
    o.chkPathSplice = Check(in);
    o.txtPathSpliceLevels = Text(in);
    o.txtPathSpliceSeparator = Text(in);
    o.chkCrop = Check(in);
    o.txtEliminateChars = Text(in);
    o.txtEliminatePosition = Text(in);
    o.cboCropLR = Check(in);
    o.chkChangeExt = Check(in);
    o.txtChangeExt = Text(in);
    o.chkSearchReplace = Check(in);
    o.txtSearch = Text(in);
    o.txtReplace = InsertText(in);
    o.chkCaseSensitive = Check(in);
    o.chkFirstOccur = Check(in);
    o.chkRegex = Check(in);
    o.chkUnderscore = Check(in);
    o.chkPercent20 = Check(in);
    o.chkWildcard = Check(in);
    o.txtSearchChar = Text(in);
    o.txtReplaceChar = Text(in);
    o.chkInsertStart = Check(in);
    o.txtInsertStart = InsertText(in);
    o.chkInsertMiddle = Check(in);
    o.txtInsertMiddlePosition = Text(in);
    o.txtInsertMiddle = InsertText(in);
    o.chkInsertEnd = Check(in);
    o.txtInsertEnd = InsertText(in);
    o.cboAutonumber = Text(in);
    o.txtAutonumberStartNum = Text(in);
    o.txtAutonumberStep = Text(in);
    o.chkUNL = Check(in);
    o.cboUNLLR = Check(in);
    o.txtUNL = Text(in);
    o.cboCaseHandling = in.ConsumeIntegralInRange<int>(-2, 9);
    o.cboCaseRules = in.ConsumeIntegralInRange<int>(-2, 5);
    o.cboTextFX = in.ConsumeIntegralInRange<int>(-2, 5);
    o.chkForceSingleSpaces = Check(in);
    o.chkExtIncluded = Check(in);
    o.chkNoExt = Check(in);
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const RenameOptions options = FuzzedOptions(in);
    std::vector<std::string> rules;
    for (int k = in.ConsumeIntegralInRange<int>(0, 4); k > 0; --k) {
        rules.push_back(Text(in));
    }
    const std::string fullPath = Text(in);
    const auto selected = in.ConsumeIntegral<std::int32_t>();
    const auto sequence = in.ConsumeIntegral<std::int32_t>();
    const kestrel::engine::TagValues values = FuzzedValues(in);
    const bool read = in.ConsumeBool();
    const std::string name = in.ConsumeRemainingBytesAsString();
    const kestrel::engine::NamePipeline pipeline(options, rules, [] { return 0.25; });
    const kestrel::engine::NameResult made =
        pipeline.Process(name, {fullPath, selected, sequence, read ? &values : nullptr});
    const std::string& result = made.name;
    // A file that was not read for the tags in use renames nothing.
    if (!read && pipeline.UsedTags().any() && result != name) {
        __builtin_trap();
    }
    // Every text inside the pipeline is capped; only a folder mark may follow.
    if (kestrel::text::CodePointCount(result) > kestrel::engine::kMaxNameLength + 1) {
        __builtin_trap();
    }
    return 0;
}
