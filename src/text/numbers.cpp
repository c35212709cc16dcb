#include "text/numbers.h"

#include "text/translation.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace kestrel::text {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double LeadingNumber(std::string_view text) {
    // Gather the accepted characters without blanks, then let strtod do the
    // conversion so that decimals and exponents round correctly.
    std::string number;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
    };
    auto takeDigits = [&] {
        bool any = false;
        for (skipBlanks(); i < text.size() && IsDigit(text[i]); skipBlanks()) {
            number.push_back(text[i++]);
            any = true;
        }
        return any;
    };
    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.push_back(text[i++]);
    }
    bool digits = takeDigits();
    if (i < text.size() && text[i] == '.') {
        number.push_back(text[i++]);
        digits = takeDigits() || digits;
    }
    if (!digits) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::string exponent = "e";
        std::size_t save = i++;
        skipBlanks();
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            exponent.push_back(text[i++]);
        }
        std::size_t before = exponent.size();
        for (skipBlanks(); i < text.size() && IsDigit(text[i]); skipBlanks()) {
            exponent.push_back(text[i++]);
        }
        if (exponent.size() > before) {
            number += exponent;
        } else {
            i = save;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    return std::nearbyint(value);  // the default rounding mode is to nearest, ties to even
}

std::int64_t WholeNumber(std::string_view text) {
    const double rounded = RoundHalfEven(LeadingNumber(text));
    if (std::isnan(rounded)) {
        return 0;
    }
    constexpr auto limit = static_cast<double>(kWholeNumberLimit);
    if (rounded >= limit) {
        return kWholeNumberLimit;
    }
    if (rounded <= -limit) {
        return -kWholeNumberLimit;
    }
    return static_cast<std::int64_t>(rounded);
}

std::string FormatCount(std::int64_t value) {
    std::string out;
    FormatCountInto(value, out);
    return out;
}

void FormatCountInto(std::int64_t value, std::string& out) {
    out.clear();
    if (value == 0) {
        return;
    }
    const bool negative = value < 0;
    // Work on the unsigned magnitude so that the most negative value is safe.
    const std::uint64_t magnitude =
        negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    std::array<char, 24> buffer{};
    const char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude).ptr;
    const std::string_view digits(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    if (negative) {
        out.push_back('-');
    }
    // The digits before the first separator, then a separator before each
    // group of three.
    const std::size_t lead = (digits.size() - 1) % 3 + 1;
    out.append(digits.substr(0, lead));
    if (lead < digits.size()) {
        const std::string_view separator = GroupSeparator();
        for (std::size_t k = lead; k < digits.size(); k += 3) {
            out.append(separator).append(digits.substr(k, 3));
        }
    }
}

std::string FormatPercent(double fraction) {
    const double percent = RoundHalfEven(fraction * 100.0);
    if (!std::isfinite(percent)) {
        return "0%";
    }
    return std::to_string(static_cast<long long>(percent)) + "%";
}

}  // namespace kestrel::text
