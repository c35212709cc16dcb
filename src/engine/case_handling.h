#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Letter case changes of the name pipeline. Every function works in place on
// code points: a case mapping never changes the length of a text.
namespace kestrel::engine {

/// Draws a uniform value in [0, 1); injected so that tests can script the draws.
using RandomUnit = std::function<double()>;

/// Upper case at the start of each word, lower case inside it; a letter after
/// an apostrophe inside a word ("Don't") stays in the word.
void InitialCaps(std::u32string& text);
void UpperCase(std::u32string& text);
void LowerCase(std::u32string& text);
/// Upper case, then lower case at every odd (1st, 3rd, ...) or every even position.
void AlternateCase(std::u32string& text, bool lowerOdd);
/// Upper case, then one draw per position: lower case when 10 * draw, rounded
/// half to even, is odd. Without a generator the text is left in upper case.
void RandomCase(std::u32string& text, const RandomUnit& random);
/// Upper-case letters become lower case, every other character upper case.
void ToggleCase(std::u32string& text);

/// The entries of the case handling box, in list order.
enum class CaseHandling {
    Off,
    InitialCaps,
    AllCaps,
    AllLowercase,
    AlternatingLowerFirst,  // "aLtErNaTiNg"
    AlternatingUpperFirst,  // "AlTeRnAtInG"
    Random,
    Toggle,
};

/// The extension gets its own treatment in some modes: Initial Caps lower-cases
/// it, and the alternating modes start it the other way round.
void ApplyCaseHandling(CaseHandling mode, std::u32string& text, bool isExtension,
                       const RandomUnit& random);

/// Case rules prepared once per preview pass: words whose exact letter case is
/// forced onto each of their whole-word occurrences, later rules winning.
class CaseRuleSet {
  public:
    CaseRuleSet() = default;
    /// Rules in list order; empty rules are dropped since they change no name.
    explicit CaseRuleSet(const std::vector<std::string>& rulesUtf8);

    bool Empty() const { return rules_.empty(); }
    void Apply(std::u32string& text) const;

  private:
    struct Rule {
        std::u32string text;
        std::u32string folded;
    };

    std::vector<Rule> rules_;
    // Per rule, one bit per folded code point (hashed to 64): a text lacking any
    // of a rule's bits cannot contain it. Kept apart from the rules so that the
    // pass over thousands of rules for each name reads one compact array.
    std::vector<std::uint64_t> characterMasks_;
    // Reused from name to name by the one thread whose pipeline holds the set.
    mutable std::u32string folded_;
    mutable std::vector<std::uint32_t> candidates_;
};

void ApplyCaseRules(std::u32string& text, const CaseRuleSet& rules);

}  // namespace kestrel::engine
