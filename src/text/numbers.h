#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The one way Kestrel reads numbers out of text and writes counts into status
// texts, so that option fields, templates and version files all agree.
namespace kestrel::text {

/// The leading number of a text: blanks anywhere in it are skipped ("1 50 277"
/// reads 150277), an optional sign, digits, a decimal point and an exponent are
/// taken, and reading stops at the first other character ("12abc" reads 12).
/// A text without a leading number reads 0.
double LeadingNumber(std::string_view text);

/// Rounds to the nearest whole number, halves going to the even neighbour.
double RoundHalfEven(double value);

/// LeadingNumber rounded half to even, limited to +-kWholeNumberLimit so that
/// callers can do arithmetic on it without overflow.
std::int64_t WholeNumber(std::string_view text);
inline constexpr std::int64_t kWholeNumberLimit = 1'000'000'000'000'000;  // 1e15

/// Counts as "##,###": thousands separated by the user's separator ("," in
/// English and until translations start), zero printed as empty text.
std::string FormatCount(std::int64_t value);
/// FormatCount into `out`, reusing its room.
void FormatCountInto(std::int64_t value, std::string& out);

/// A fraction as a whole percentage ("0%" pattern), rounded half to even.
std::string FormatPercent(double fraction);

}  // namespace kestrel::text
