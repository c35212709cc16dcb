// Arbitrary names and option values through the whole pipeline: whatever a
// damaged template or a hand-edited setting holds, a name must come out,
// without a crash, a hang or undefined behaviour.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/name_pipeline.h"
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
    o.txtReplace = Text(in);
    o.chkCaseSensitive = Check(in);
    o.chkFirstOccur = Check(in);
    o.chkRegex = Check(in);
    o.chkUnderscore = Check(in);
    o.chkPercent20 = Check(in);
    o.chkWildcard = Check(in);
    o.txtSearchChar = Text(in);
    o.txtReplaceChar = Text(in);
    o.chkInsertStart = Check(in);
    o.txtInsertStart = Text(in);
    o.chkInsertMiddle = Check(in);
    o.txtInsertMiddlePosition = Text(in);
    o.txtInsertMiddle = Text(in);
    o.chkInsertEnd = Check(in);
    o.txtInsertEnd = Text(in);
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
    const std::string name = in.ConsumeRemainingBytesAsString();
    const kestrel::engine::NamePipeline pipeline(options, rules, [] { return 0.25; });
    const std::string result = pipeline.Process(name, {fullPath, selected, sequence}).name;
    // Every text inside the pipeline is capped; only a folder mark may follow.
    if (kestrel::text::CodePointCount(result) > kestrel::engine::kMaxNameLength + 1) {
        __builtin_trap();
    }
    return 0;
}
