#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
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
    // Where one rule's text goes in the name.
    struct Match {
        std::uint32_t rule = 0;
        std::uint32_t position = 0;
    };

    // Looks words up by view, without making a string of each.
    struct WordHash {
        using is_transparent = void;
        std::size_t operator()(std::u32string_view word) const {
            return std::hash<std::u32string_view>{}(word);
        }
    };

    void MatchAtWords() const;
    void MatchScanned() const;
    void AddMatch(std::uint32_t rule, std::size_t position) const;
    static std::size_t WordBit(std::u32string_view word);
    bool MayBeFirstWord(std::u32string_view word) const;

    std::vector<Rule> rules_;
    // An occurrence of a rule that starts with a word character ("DVD",
    // "Mc Donald", "MP3") starts at a word of the name, and that word is the
    // rule's first word: so each word of the name is looked up once among
    // the rules' first words, instead of every rule being searched for.
    std::unordered_map<std::u32string, std::vector<std::uint32_t>, WordHash, std::equal_to<>>
        rulesByFirstWord_;
    std::size_t shortestWord_ = 0;
    std::size_t longestWord_ = 0;
    // One bit per first word, set by its length and its first and last
    // characters: most words of a name are ruled out by it without hashing.
    std::array<std::uint64_t, 16> firstWordBits_{};
    // Rules that start with a separator ("-x") are searched for. Per such
    // rule, one bit per folded code point (hashed to 64): a text lacking any
    // of a rule's bits cannot contain it.
    std::vector<std::uint32_t> scannedRules_;
    std::vector<std::uint64_t> scannedMasks_;
    // Reused from name to name by the one thread whose pipeline holds the set.
    mutable std::u32string folded_;
    mutable std::vector<Match> matches_;
    // Per rule, where its next occurrence may start: one character past the
    // end of its last one (that character is its separator).
    mutable std::vector<std::uint32_t> resumeAt_;
};

void ApplyCaseRules(std::u32string& text, const CaseRuleSet& rules);

}  // namespace kestrel::engine
