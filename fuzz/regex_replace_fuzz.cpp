// Arbitrary patterns, replacements and names through the regular-expression
// search: whatever a template or a keystroke brings, the step must end within
// its step budget, keep to its length limit and never crash. A replacement of
// the whole match by itself must give the name back unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "engine/regex_replace.h"
#include "text/unicode_text.h"

namespace {

using kestrel::engine::RegexReplace;

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool caseSensitive = in.ConsumeBool();
    const bool firstOnly = in.ConsumeBool();
    const auto limit = in.ConsumeIntegralInRange<std::size_t>(0, 600);
    const std::u32string pattern = kestrel::text::ToCodePoints(in.ConsumeRandomLengthString(64));
    const std::u32string replacement =
        kestrel::text::ToCodePoints(in.ConsumeRandomLengthString(64));
    const std::u32string name = kestrel::text::ToCodePoints(in.ConsumeRemainingBytesAsString());

    const RegexReplace step(pattern, replacement, caseSensitive, firstOnly);
    std::u32string made = name;
    const RegexReplace::Outcome outcome = step.Apply(made, limit);
    if (!step.Error().empty() || outcome != RegexReplace::Outcome::Done) {
        Require(made == name);
        return 0;
    }
    Require(made.size() <= limit);

    const RegexReplace same(pattern, U"$0", caseSensitive, firstOnly);
    std::u32string kept = name;
    if (same.Apply(kept, name.size()) == RegexReplace::Outcome::Done) {
        Require(kept == name);
    }
    return 0;
}
