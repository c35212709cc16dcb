// Any filter text against any name: the bracket check and the matcher must
// answer quickly (no backtracking blow-up; libFuzzer's time-out catches one)
// and agree with the simplest truths of wildcards.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "lists/filter_pattern.h"
#include "text/unicode_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string pattern = in.ConsumeRandomLengthString(256);
    const std::string name = in.ConsumeRemainingBytesAsString();
    kestrel::lists::CheckFilterBrackets(pattern);
    kestrel::lists::FilterPattern(pattern).Matches(name);

    const std::u32string text = kestrel::text::ToCodePoints(name);
    const std::u32string wild = kestrel::text::ToCodePoints(pattern);
    kestrel::lists::WildcardMatch(text, wild);
    if (!kestrel::lists::WildcardMatch(text, U"*")) {
        __builtin_trap();
    }
    // A text free of wildcard characters matches itself and nothing longer.
    if (text.find_first_of(U"*?#[") == std::u32string::npos &&
        (!kestrel::lists::WildcardMatch(text, text) ||
         kestrel::lists::WildcardMatch(text + U"x", text))) {
        __builtin_trap();
    }
    return 0;
}
