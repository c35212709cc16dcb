#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/translation.h"

// The program's one list of case rules, the rule file's line format, the
// conflict check run after each rule is added, and the logic of the case rule
// editor. Pure: the app layer does the reading, writing and asking.
namespace kestrel::engine {

/// The editor refuses Add and Merge at this many rules, and reading a file
/// stops adding there.
inline constexpr int kMaxCaseRules = 16383;

struct CaseRule {
    std::string text;
    bool marked = true;
};

/// Rules kept sorted alphabetically without regard to letter case, so that
/// rules differing only in case sit side by side.
class CaseRuleList {
  public:
    int Size() const { return static_cast<int>(rules_.size()); }
    bool Empty() const { return rules_.empty(); }
    /// Throws std::out_of_range for a bad index: callers pass indices they got
    /// from this list.
    const CaseRule& At(int index) const;
    const std::vector<CaseRule>& Rules() const { return rules_; }

    /// Inserts in sorted place, before any rule equal to it without regard to
    /// case (the newcomer comes first), and returns its index.
    int InsertSorted(std::string text, bool marked);
    /// False, and nothing changes, for an index outside the list.
    bool Remove(int index);
    void Clear() { rules_.clear(); }
    /// Replaces a rule's text where it stands: no re-sorting, no conflict check.
    bool SetText(int index, std::string text);
    bool SetMarked(int index, bool marked);

    /// The texts of the marked rules in list order, for CaseRuleSet. A rule
    /// whose check box is cleared is skipped when names are processed: that
    /// is what a cleared check box tells the user, and it lets a rule be kept
    /// in the file while switched off.
    std::vector<std::string> ActiveRuleTexts() const;

  private:
    std::vector<CaseRule> rules_;
};

// Conflict modes of CaseRuleValidate and ReadCaseRules; any other value acts
// as kConflictKeepExisting, which asks nothing.
inline constexpr int kConflictKeepExisting = 0;    // loading a file, program start
inline constexpr int kConflictAskYesNo = 1;        // the editor's Add
inline constexpr int kConflictAskYesNoCancel = 2;  // the editor's Merge

enum class RuleConflictAnswer { Yes, No, Cancel };

/// Asks the user a conflict question; `offerCancel` adds a Cancel button.
using RuleConflictAsker =
    std::function<RuleConflictAnswer(std::string_view question, bool offerCancel)>;

/// The question box's title, in English; shown as text::Tr gives it.
inline constexpr std::string_view kRuleConflictTitle = N_("Rule conflict");

/// "Overwrite rule DVD with Dvd?   "; with `offerCancel` followed by an empty
/// line and what Cancel does.
std::string RuleConflictQuestion(std::string_view existing, std::string_view newcomer,
                                 bool offerCancel);

enum class RuleConflictOutcome {
    NoConflict,
    NewcomerKept,     // the existing rule was removed
    NewcomerDropped,  // the newcomer was removed
};

/// Resolves a clash between the rule just added at `ruleIndex` and the rule
/// after it, equal without regard to case. `ignoreAllDuplicates` lives for
/// one read of a file: once set (by a Cancel), newcomers are dropped unasked.
/// Without an asker a question is answered No.
RuleConflictOutcome CaseRuleValidate(CaseRuleList& list, int ruleIndex, int mode,
                                     bool& ignoreAllDuplicates, const RuleConflictAsker& ask);

/// One rule per line; a line starting with ":" is a rule whose mark is off.
/// Every line becomes a rule, an empty line an empty one.
CaseRule ParseCaseRuleLine(std::string_view line);
std::vector<CaseRule> ParseCaseRuleLines(const std::vector<std::string>& lines);
/// Each rule on a line ended by CR LF, in list order, ":" before unmarked rules.
/// A marked rule whose text starts with ":" reads back unmarked without it:
/// the format has no way to write it.
std::string SerializeCaseRules(const CaseRuleList& list);

// The case rule editor, without its window.

struct CaseEditorButtons {
    bool add = false;
    bool modify = false;
    bool remove = false;  // "&Delete"
    bool deleteAll = false;
    bool merge = false;
};

/// Recomputed after every change of the list or of the input box.
CaseEditorButtons CaseEditorButtonStates(int ruleCount, std::string_view input);

struct CaseInputCheck {
    std::string input;    // the input to put back in the box
    std::string message;  // empty when the input passed
};

/// "Case Rules cannot contain the following characters: " + kRuleSeparators.
std::string CaseRuleInputMessage();

/// A rule separator typed at the end of the input is refused: the input loses
/// that one character and the message is to be shown with an exclamation icon.
CaseInputCheck CheckCaseRuleInput(std::string_view input);

/// Adds the input as a marked rule and resolves a clash by asking Yes/No.
/// Returns the index of the new rule, the one to make current; nullopt when
/// the input is empty, the list is full, or the answer dropped the new rule.
std::optional<int> AddCaseRule(CaseRuleList& list, std::string_view input,
                               const RuleConflictAsker& ask);
/// Replaces the current rule's text with a non-empty input; false when
/// nothing changed.
bool ModifyCaseRule(CaseRuleList& list, std::optional<int> current, std::string_view input);
/// Removes the current rule; returns the new current rule, the one that
/// followed it, or nullopt when none did.
std::optional<int> DeleteCaseRule(CaseRuleList& list, std::optional<int> current);
void DeleteAllCaseRules(CaseRuleList& list);

}  // namespace kestrel::engine
