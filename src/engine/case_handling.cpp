#include "engine/case_handling.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>
#include <utility>

#include "engine/character_classes.h"
#include "text/numbers.h"
#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

bool DrawsLowerCase(const RandomUnit& random) {
    const double rounded = text::RoundHalfEven(10.0 * random());
    // fmod rather than an integer conversion: a faulty generator's NaN or huge
    // value then simply draws upper case instead of being undefined behaviour.
    return std::fabs(std::fmod(rounded, 2.0)) == 1.0;
}

std::uint64_t MaskBit(char32_t c) {
    // Fibonacci hashing spreads neighbouring code points over the 64 bits.
    return std::uint64_t{1} << ((static_cast<std::uint32_t>(c) * 0x9E3779B1u) >> 26);
}

std::uint64_t CharacterMask(std::u32string_view text) {
    std::uint64_t mask = 0;
    for (char32_t c : text) {
        mask |= MaskBit(c);
    }
    return mask;
}

// Scans for whole-word occurrences of one rule. The folded text stays valid
// while `text` changes, since replacing letters by their case partners keeps
// the folded form. Each search resumes one character past the end of the last
// occurrence (that character is its separator), so the scan always moves on.
void ApplyRule(std::u32string_view rule, std::u32string_view foldedRule, std::u32string_view folded,
               std::u32string& text) {
    const std::size_t length = foldedRule.size();
    std::size_t start = 0;
    for (;;) {
        const std::size_t found = folded.find(foldedRule, start);
        if (found == std::u32string_view::npos) {
            return;
        }
        const std::size_t end = found + length;
        const bool separatedBefore = found == 0 || IsRuleSeparator(folded[found - 1]);
        const bool separatedAfter = end == folded.size() || IsRuleSeparator(folded[end]);
        if (separatedBefore && separatedAfter) {
            std::copy(rule.begin(), rule.end(), text.begin() + static_cast<std::ptrdiff_t>(found));
        }
        start = end + 1;
    }
}

}  // namespace

void UpperCase(std::u32string& text) {
    text::ToUpperInPlace(text);
}

void LowerCase(std::u32string& text) {
    text::ToLowerInPlace(text);
}

void InitialCaps(std::u32string& text) {
    // One pass with the same outcome as upper-casing the text and then
    // lowering each word character that follows another one (or an inner
    // apostrophe): word membership ignores letter case, so the neighbours
    // are tested as they are once upper-cased, and a lowered character is
    // lowered from its upper case, as "ſ" becomes "S" and then "s".
    bool afterWordCharacter = false;
    bool twoBackWordCharacter = false;
    char32_t previous = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t upper = text::ToUpper(text[i]);
        const bool word = IsWordCharacter(upper);
        const bool afterInnerApostrophe = previous == U'\'' && twoBackWordCharacter;
        text[i] = word && (afterWordCharacter || afterInnerApostrophe) ? text::ToLower(upper) : upper;
        twoBackWordCharacter = afterWordCharacter;
        afterWordCharacter = word;
        previous = upper;
    }
}

void AlternateCase(std::u32string& text, bool lowerOdd) {
    UpperCase(text);
    // Position 1 is index 0: odd positions are the even indexes.
    for (std::size_t i = lowerOdd ? 0 : 1; i < text.size(); i += 2) {
        text[i] = text::ToLower(text[i]);
    }
}

void RandomCase(std::u32string& text, const RandomUnit& random) {
    UpperCase(text);
    if (!random) {
        return;
    }
    // One draw per position, letter or not, so a scripted sequence maps to
    // positions one to one.
    for (char32_t& c : text) {
        if (DrawsLowerCase(random)) {
            c = text::ToLower(c);
        }
    }
}

void ToggleCase(std::u32string& text) {
    for (char32_t& c : text) {
        c = text::IsUpper(c) ? text::ToLower(c) : text::ToUpper(c);
    }
}

void ApplyCaseHandling(CaseHandling mode, std::u32string& text, bool isExtension,
                       const RandomUnit& random) {
    switch (mode) {
        case CaseHandling::Off:
            return;
        case CaseHandling::InitialCaps:
            if (isExtension) {
                LowerCase(text);
            } else {
                InitialCaps(text);
            }
            return;
        case CaseHandling::AllCaps:
            UpperCase(text);
            return;
        case CaseHandling::AllLowercase:
            LowerCase(text);
            return;
        case CaseHandling::AlternatingLowerFirst:
            AlternateCase(text, !isExtension);
            return;
        case CaseHandling::AlternatingUpperFirst:
            AlternateCase(text, isExtension);
            return;
        case CaseHandling::Random:
            RandomCase(text, random);
            return;
        case CaseHandling::Toggle:
            ToggleCase(text);
            return;
    }
}

CaseRuleSet::CaseRuleSet(const std::vector<std::string>& rulesUtf8) {
    rules_.reserve(rulesUtf8.size());
    characterMasks_.reserve(rulesUtf8.size());
    for (const std::string& utf8 : rulesUtf8) {
        if (utf8.empty()) {
            continue;
        }
        Rule rule;
        rule.text = text::ToCodePoints(utf8);
        rule.folded = text::FoldCase(rule.text);
        characterMasks_.push_back(CharacterMask(rule.folded));
        rules_.push_back(std::move(rule));
    }
}

void CaseRuleSet::Apply(std::u32string& text) const {
    if (rules_.empty() || text.empty()) {
        return;
    }
    folded_.assign(text);
    text::FoldCaseInPlace(folded_);
    const std::uint64_t present = CharacterMask(folded_);
    // A tight pass over the masks first, without a branch to mispredict: most
    // rules drop out there.
    candidates_.resize(rules_.size());
    std::size_t count = 0;
    for (std::size_t i = 0; i < characterMasks_.size(); ++i) {
        candidates_[count] = static_cast<std::uint32_t>(i);
        count += (characterMasks_[i] & ~present) == 0 ? 1 : 0;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const Rule& rule = rules_[candidates_[k]];
        if (rule.folded.size() <= folded_.size()) {
            ApplyRule(rule.text, rule.folded, folded_, text);
        }
    }
}

void ApplyCaseRules(std::u32string& text, const CaseRuleSet& rules) {
    rules.Apply(text);
}

}  // namespace kestrel::engine
