#pragma once

#include <string_view>

#include "app/ui.h"
#include "engine/case_rule_list.h"
#include "platform/file_error.h"
#include "platform/file_system.h"

// Case rule files (".csr") read into and written from the program's rule list,
// with the conflict questions asked through the window.
namespace kestrel::app {

/// Asks the engine's conflict questions in a message box titled "Rule
/// conflict" with a question icon; any answer but Yes or Cancel counts as No.
engine::RuleConflictAsker RuleConflictAskerFor(Ui& ui);

/// Appends a file's rules to the list, each followed by CaseRuleValidate with
/// `mode` (engine::kConflict*); "ignore all duplicates" starts cleared for
/// every read. Lines may be UTF-8 or Windows-1252. Adding stops at
/// engine::kMaxCaseRules rules and the rest of the file is skipped, as the
/// editor refuses rules beyond that. Returns 1 when the file was read, 0 when
/// it could not be (missing or unreadable), the list then unchanged.
int ReadCaseRules(platform::FileSystem& fileSystem, Ui& ui, engine::CaseRuleList& list,
                  std::string_view path, int mode);

/// The editor's Load: the file's rules replace the list, clashes dropped
/// silently. The list is emptied only once the file has been read, so a file
/// that cannot be read does not cost the rules in memory. Returns as
/// ReadCaseRules.
int LoadCaseRules(platform::FileSystem& fileSystem, Ui& ui, engine::CaseRuleList& list,
                  std::string_view path);

/// Writes the whole list, replacing the file. The editor skips a failure
/// silently; the error is returned for callers that report it.
platform::FileError CaseRulesSave(platform::FileSystem& fileSystem,
                                  const engine::CaseRuleList& list, std::string_view path);

}  // namespace kestrel::app
