#include "app/case_rule_files.h"

#include <string>
#include <utility>
#include <vector>

#include "text/translation.h"
#include "text/windows1252.h"

namespace kestrel::app {
namespace {

engine::RuleConflictAnswer ToConflictAnswer(Answer answer) {
    switch (answer) {
        case Answer::Yes:
            return engine::RuleConflictAnswer::Yes;
        case Answer::Cancel:
            return engine::RuleConflictAnswer::Cancel;
        default:
            return engine::RuleConflictAnswer::No;
    }
}

void AddRules(Ui& ui, engine::CaseRuleList& list, const std::string& bytes, int mode) {
    const engine::RuleConflictAsker ask = RuleConflictAskerFor(ui);
    bool ignoreAllDuplicates = false;
    for (engine::CaseRule& rule : engine::ParseCaseRuleLines(text::DecodeTextLines(bytes))) {
        if (list.Size() >= engine::kMaxCaseRules) {
            break;
        }
        const int index = list.InsertSorted(std::move(rule.text), rule.marked);
        engine::CaseRuleValidate(list, index, mode, ignoreAllDuplicates, ask);
    }
}

}  // namespace

engine::RuleConflictAsker RuleConflictAskerFor(Ui& ui) {
    return [&ui](std::string_view question, bool offerCancel) {
        const Buttons buttons = offerCancel ? Buttons::YesNoCancel : Buttons::YesNo;
        return ToConflictAnswer(
            ui.Ask(question, text::Tr(engine::kRuleConflictTitle.data()), buttons, Icon::Question));
    };
}

int ReadCaseRules(platform::FileSystem& fileSystem, Ui& ui, engine::CaseRuleList& list,
                  std::string_view path, int mode) {
    std::string bytes;
    if (!fileSystem.ReadFile(path, bytes).Ok()) {
        return 0;
    }
    AddRules(ui, list, bytes, mode);
    return 1;
}

int LoadCaseRules(platform::FileSystem& fileSystem, Ui& ui, engine::CaseRuleList& list,
                  std::string_view path) {
    std::string bytes;
    if (!fileSystem.ReadFile(path, bytes).Ok()) {
        return 0;
    }
    list.Clear();
    AddRules(ui, list, bytes, engine::kConflictKeepExisting);
    return 1;
}

platform::FileError CaseRulesSave(platform::FileSystem& fileSystem,
                                  const engine::CaseRuleList& list, std::string_view path) {
    return fileSystem.WriteFileReplacing(path, engine::SerializeCaseRules(list));
}

}  // namespace kestrel::app
