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

// The rule's leading run of word characters; empty when it starts with a
// separator.
std::u32string_view FirstWord(std::u32string_view rule) {
    return rule.substr(
        0, static_cast<std::size_t>(std::find_if(rule.begin(), rule.end(), IsRuleSeparator) -
                                    rule.begin()));
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
        text[i] =
            word && (afterWordCharacter || afterInnerApostrophe) ? text::ToLower(upper) : upper;
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
    for (const std::string& utf8 : rulesUtf8) {
        if (utf8.empty()) {
            continue;
        }
        Rule rule;
        rule.text = text::ToCodePoints(utf8);
        rule.folded = text::FoldCase(rule.text);
        const auto index = static_cast<std::uint32_t>(rules_.size());
        const std::u32string_view first = FirstWord(rule.folded);
        if (first.empty()) {
            scannedRules_.push_back(index);
            scannedMasks_.push_back(CharacterMask(rule.folded));
        } else {
            shortestWord_ =
                rulesByFirstWord_.empty() ? first.size() : std::min(shortestWord_, first.size());
            longestWord_ = std::max(longestWord_, first.size());
            rulesByFirstWord_[std::u32string(first)].push_back(index);
            const std::size_t bit = WordBit(first);
            firstWordBits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
        }
        rules_.push_back(std::move(rule));
    }
    resumeAt_.assign(rules_.size(), 0);
}

std::size_t CaseRuleSet::WordBit(std::u32string_view word) {
    const auto mixed = static_cast<std::uint32_t>(word.front()) * 0x9E3779B1u ^
                       static_cast<std::uint32_t>(word.back()) * 0x85EBCA77u ^
                       static_cast<std::uint32_t>(word.size()) * 0xC2B2AE3Du;
    return mixed >> 22;  // 0 to 1023
}

bool CaseRuleSet::MayBeFirstWord(std::u32string_view word) const {
    if (word.size() < shortestWord_ || word.size() > longestWord_) {
        return false;
    }
    const std::size_t bit = WordBit(word);
    return (firstWordBits_[bit / 64] >> (bit % 64) & 1U) != 0;
}

// Occurrences of one rule never overlap: the search for the next resumes one
// character past the end of the last.
void CaseRuleSet::AddMatch(std::uint32_t rule, std::size_t position) const {
    if (position < resumeAt_[rule]) {
        return;
    }
    resumeAt_[rule] = static_cast<std::uint32_t>(position + rules_[rule].folded.size() + 1);
    matches_.push_back({rule, static_cast<std::uint32_t>(position)});
}

void CaseRuleSet::MatchAtWords() const {
    const std::u32string_view folded = folded_;
    std::size_t start = 0;
    while (start < folded.size()) {
        if (IsRuleSeparator(folded[start])) {
            ++start;
            continue;
        }
        std::size_t end = start + 1;
        while (end < folded.size() && !IsRuleSeparator(folded[end])) {
            ++end;
        }
        const std::size_t length = end - start;
        if (MayBeFirstWord(folded.substr(start, length))) {
            const auto found = rulesByFirstWord_.find(folded.substr(start, length));
            if (found != rulesByFirstWord_.end()) {
                for (const std::uint32_t rule : found->second) {
                    const std::u32string_view text = rules_[rule].folded;
                    const std::size_t after = start + text.size();
                    // The first word is equal; the rest must be too, and be
                    // followed by a separator or the end.
                    if (after <= folded.size() &&
                        folded.substr(end, after - end) == text.substr(length) &&
                        (after == folded.size() || IsRuleSeparator(folded[after]))) {
                        AddMatch(rule, start);
                    }
                }
            }
        }
        start = end;
    }
}

void CaseRuleSet::MatchScanned() const {
    const std::u32string_view folded = folded_;
    const std::uint64_t present = CharacterMask(folded);
    for (std::size_t k = 0; k < scannedRules_.size(); ++k) {
        const std::u32string_view rule = rules_[scannedRules_[k]].folded;
        if ((scannedMasks_[k] & ~present) != 0 || rule.size() > folded.size()) {
            continue;
        }
        for (std::size_t start = 0;;) {
            const std::size_t found = folded.find(rule, start);
            if (found == std::u32string_view::npos) {
                break;
            }
            const std::size_t end = found + rule.size();
            const bool separatedBefore = found == 0 || IsRuleSeparator(folded[found - 1]);
            const bool separatedAfter = end == folded.size() || IsRuleSeparator(folded[end]);
            if (separatedBefore && separatedAfter) {
                AddMatch(scannedRules_[k], found);
            }
            start = end + 1;
        }
    }
}

void CaseRuleSet::Apply(std::u32string& text) const {
    if (rules_.empty() || text.empty()) {
        return;
    }
    // The folded text is the same for the name before and after any rule
    // (a rule only changes letter case), so every rule's occurrences are
    // found in it first and written after.
    folded_.assign(text);
    text::FoldCaseInPlace(folded_);
    matches_.clear();
    if (!rulesByFirstWord_.empty()) {
        MatchAtWords();
    }
    if (!scannedRules_.empty()) {
        MatchScanned();
    }
    // Where occurrences of different rules overlap, the rule later in the
    // list wins: so they are written in list order.
    if (matches_.size() > 1) {
        std::sort(matches_.begin(), matches_.end(),
                  [](const Match& a, const Match& b) { return a.rule < b.rule; });
    }
    for (const Match& match : matches_) {
        const std::u32string& rule = rules_[match.rule].text;
        std::copy(rule.begin(), rule.end(), text.begin() + match.position);
        resumeAt_[match.rule] = 0;
    }
}

void ApplyCaseRules(std::u32string& text, const CaseRuleSet& rules) {
    rules.Apply(text);
}

}  // namespace kestrel::engine
