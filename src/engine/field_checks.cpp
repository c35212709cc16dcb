#include "engine/field_checks.h"

#include <cstdint>

#include "engine/regex_replace.h"
#include "engine/rename_options.h"
#include "text/numbers.h"
#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

bool OutOfRange(std::string_view text, std::int64_t low, std::int64_t high) {
    const std::int64_t value = text::WholeNumber(text);
    return value < low || value > high;
}

// `message` is marked for the catalogue where it is written.
std::string RangeCheck(std::string_view text, const char* message) {
    return OutOfRange(text, 1, 255) ? text::Tr(message) : "";
}

}  // namespace

std::string CheckSwapArea(std::string_view area, std::string_view other) {
    if (OutOfRange(area, 1, 255)) {
        return text::Tr("Area value must be 1 through 255.");
    }
    if (text::WholeNumber(area) == text::WholeNumber(other)) {
        return text::Tr("Area values cannot be equal.");
    }
    return {};
}

std::string CheckSwapSep(std::string_view text) {
    return text.empty() ? text::Tr("Swap delimiter must contain at least one character.") : "";
}

std::string CheckPathSpliceLevels(std::string_view text) {
    return RangeCheck(text, N_("Valid splice values are 1 through 255."));
}

std::string CheckEliminateChars(std::string_view text) {
    return RangeCheck(text, N_("Delete character value must be 1 through 255."));
}

std::string CheckEliminatePosition(std::string_view text) {
    return RangeCheck(text, N_("Crop position value must be 1 through 255."));
}

std::string CheckInsertMiddlePosition(std::string_view text) {
    return RangeCheck(text, N_("Insert position value must be 1 through 255."));
}

std::string CheckUNL(std::string_view text) {
    return RangeCheck(text, N_("Uniform Number Length value must be 1 through 255."));
}

std::string CheckAutonumberStep(std::string_view text) {
    return text::WholeNumber(text) == 0 ? text::Tr("Autonumber Step value cannot be zero.") : "";
}

std::string CheckSearchPattern(std::string_view text) {
    return RegexReplace(text::ToCodePoints(text), U"", true, false).Error();
}

std::string CheckAutonumberText(std::string_view text) {
    if (AutonumberListIndex(text) >= 0 || !OutOfRange(text, 0, 255)) {
        return {};
    }
    // TRANSLATORS: "Auto" and "Off" are entries of the autonumber box, which
    // stay as the box shows them.
    return text::Tr("Autonumber digits must be 0 (Auto) through 255, or Off.");
}

}  // namespace kestrel::engine
