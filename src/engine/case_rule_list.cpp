#include "engine/case_rule_list.h"

#include <cstddef>
#include <utility>

#include "engine/character_classes.h"
#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

bool ValidIndex(const std::vector<CaseRule>& rules, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < rules.size();
}

RuleConflictAnswer AskConflict(const CaseRuleList& list, int ruleIndex, bool offerCancel,
                               const RuleConflictAsker& ask) {
    if (!ask) {
        return RuleConflictAnswer::No;
    }
    const std::string question =
        RuleConflictQuestion(list.At(ruleIndex + 1).text, list.At(ruleIndex).text, offerCancel);
    const RuleConflictAnswer answer = ask(question, offerCancel);
    // An asker offering only Yes and No cannot mean "ignore all" by Cancel.
    return !offerCancel && answer == RuleConflictAnswer::Cancel ? RuleConflictAnswer::No : answer;
}

}  // namespace

const CaseRule& CaseRuleList::At(int index) const {
    return rules_.at(static_cast<std::size_t>(index));
}

int CaseRuleList::InsertSorted(std::string text, bool marked) {
    // A binary search of its own rather than std::lower_bound: Modify may
    // leave the list out of order, and this loop stays well defined then.
    std::size_t low = 0;
    std::size_t high = rules_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (text::CompareIgnoringCase(rules_[middle].text, text) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    rules_.insert(rules_.begin() + static_cast<std::ptrdiff_t>(low),
                  CaseRule{std::move(text), marked});
    return static_cast<int>(low);
}

bool CaseRuleList::Remove(int index) {
    if (!ValidIndex(rules_, index)) {
        return false;
    }
    rules_.erase(rules_.begin() + index);
    return true;
}

bool CaseRuleList::SetText(int index, std::string text) {
    if (!ValidIndex(rules_, index)) {
        return false;
    }
    rules_[static_cast<std::size_t>(index)].text = std::move(text);
    return true;
}

bool CaseRuleList::SetMarked(int index, bool marked) {
    if (!ValidIndex(rules_, index)) {
        return false;
    }
    rules_[static_cast<std::size_t>(index)].marked = marked;
    return true;
}

std::vector<std::string> CaseRuleList::ActiveRuleTexts() const {
    std::vector<std::string> texts;
    for (const CaseRule& rule : rules_) {
        if (rule.marked) {
            texts.push_back(rule.text);
        }
    }
    return texts;
}

std::string RuleConflictQuestion(std::string_view existing, std::string_view newcomer,
                                 bool offerCancel) {
    std::string question =
        // TRANSLATORS: {1} is the rule in the list, {2} the new rule that differs
        // from it only in letter case ("Overwrite rule DVD with Dvd?").
        text::Fill(text::Tr("Overwrite rule {1} with {2}?"), {existing, newcomer});
    question += "   ";
    if (offerCancel) {
        question += "\r\r";
        question +=
            text::Tr("(Selecting Cancel will ignore all duplicates and retain original rules.)");
    }
    return question;
}

RuleConflictOutcome CaseRuleValidate(CaseRuleList& list, int ruleIndex, int mode,
                                     bool& ignoreAllDuplicates, const RuleConflictAsker& ask) {
    // The same key as the sorting, so a case twin always sits right after
    // the newcomer.
    if (ruleIndex < 0 || ruleIndex + 1 >= list.Size() ||
        !text::EqualIgnoringCase(list.At(ruleIndex).text, list.At(ruleIndex + 1).text)) {
        return RuleConflictOutcome::NoConflict;
    }
    RuleConflictAnswer answer = RuleConflictAnswer::No;
    if (!ignoreAllDuplicates && (mode == kConflictAskYesNo || mode == kConflictAskYesNoCancel)) {
        answer = AskConflict(list, ruleIndex, mode == kConflictAskYesNoCancel, ask);
    }
    if (answer == RuleConflictAnswer::Yes) {
        list.Remove(ruleIndex + 1);
        return RuleConflictOutcome::NewcomerKept;
    }
    if (answer == RuleConflictAnswer::Cancel) {
        ignoreAllDuplicates = true;
    }
    list.Remove(ruleIndex);
    return RuleConflictOutcome::NewcomerDropped;
}

CaseRule ParseCaseRuleLine(std::string_view line) {
    if (!line.empty() && line.front() == ':') {
        return CaseRule{std::string(line.substr(1)), false};
    }
    return CaseRule{std::string(line), true};
}

std::vector<CaseRule> ParseCaseRuleLines(const std::vector<std::string>& lines) {
    std::vector<CaseRule> rules;
    rules.reserve(lines.size());
    for (const std::string& line : lines) {
        rules.push_back(ParseCaseRuleLine(line));
    }
    return rules;
}

std::string SerializeCaseRules(const CaseRuleList& list) {
    std::string bytes;
    for (const CaseRule& rule : list.Rules()) {
        if (!rule.marked) {
            bytes += ':';
        }
        bytes += rule.text;
        bytes += "\r\n";
    }
    return bytes;
}

CaseEditorButtons CaseEditorButtonStates(int ruleCount, std::string_view input) {
    const bool hasRules = ruleCount > 0;
    const bool hasRoom = ruleCount < kMaxCaseRules;
    const bool hasInput = !input.empty();
    CaseEditorButtons buttons;
    buttons.remove = hasRules;
    buttons.deleteAll = hasRules;
    buttons.modify = hasRules && hasInput;
    buttons.merge = hasRoom;
    buttons.add = hasRoom && hasInput;
    return buttons;
}

std::string CaseRuleInputMessage() {
    // TRANSLATORS: {1} is the list of characters; the first of them is a space.
    return text::Fill(text::Tr("Case Rules cannot contain the following characters: {1}"),
                      {kRuleSeparators}) +
           "   ";
}

CaseInputCheck CheckCaseRuleInput(std::string_view input) {
    // The separators are all ASCII, so the last byte is the last character
    // whenever it is one of them.
    if (input.empty() || kRuleSeparators.find(input.back()) == std::string_view::npos) {
        return CaseInputCheck{std::string(input), {}};
    }
    input.remove_suffix(1);
    return CaseInputCheck{std::string(input), CaseRuleInputMessage()};
}

std::optional<int> AddCaseRule(CaseRuleList& list, std::string_view input,
                               const RuleConflictAsker& ask) {
    if (input.empty() || list.Size() >= kMaxCaseRules) {
        return std::nullopt;
    }
    const int index = list.InsertSorted(std::string(input), true);
    // One rule is added, so a Cancel could ignore nothing further.
    bool ignoreAllDuplicates = false;
    if (CaseRuleValidate(list, index, kConflictAskYesNo, ignoreAllDuplicates, ask) ==
        RuleConflictOutcome::NewcomerDropped) {
        return std::nullopt;
    }
    return index;
}

bool ModifyCaseRule(CaseRuleList& list, std::optional<int> current, std::string_view input) {
    if (!current || input.empty()) {
        return false;
    }
    return list.SetText(*current, std::string(input));
}

std::optional<int> DeleteCaseRule(CaseRuleList& list, std::optional<int> current) {
    if (!current || !list.Remove(*current)) {
        return std::nullopt;
    }
    if (*current < list.Size()) {
        return current;
    }
    return std::nullopt;
}

void DeleteAllCaseRules(CaseRuleList& list) {
    list.Clear();
}

}  // namespace kestrel::engine
