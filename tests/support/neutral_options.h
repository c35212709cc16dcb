#pragma once

#include "engine/rename_options.h"

namespace kestrel::support {

/// Options with every operation off (the factory set switches a few on), and
/// every row listed and selected, so that a test switches on only what it is about.
inline engine::RenameOptions NeutralOptions() {
    engine::RenameOptions o;
    o.chkUnderscore = 0;
    o.chkPercent20 = 0;
    o.cboCaseHandling = 0;
    o.cboCaseRules = engine::kCaseRulesOff;
    o.chkForceSingleSpaces = 0;
    o.cboFilter = engine::kViewAndSelectAll;
    return o;
}

}  // namespace kestrel::support
