#include "engine/rename_options.h"

#include <algorithm>

#include "text/numbers.h"
#include "text/unicode_text.h"

namespace kestrel::engine {

void ResetToFactoryDefaults(RenameOptions& options) {
    RenameOptions defaults;
    defaults.txtSwapArea = options.txtSwapArea;
    options = std::move(defaults);
}

void ClearOperations(RenameOptions& options) {
    options.chkReplaceWholeName = 0;
    options.chkExtIncluded = 1;
    options.chkChangeExt = 0;
    options.chkSwapSep = 0;
    options.txtSwapSep = " - ";
    options.chkCrop = 0;
    options.chkSearchReplace = 0;
    options.chkCaseSensitive = 0;
    options.chkUnderscore = 1;
    options.chkPercent20 = 1;
    options.chkWildcard = 0;
    options.chkInsertStart = 0;
    options.chkInsertMiddle = 0;
    options.chkInsertEnd = 0;
    options.cboAutonumber = "Off";
}

void CapOptionTexts(RenameOptions& o) {
    for (std::string* field : {&o.txtSwapArea[0],
                               &o.txtSwapArea[1],
                               &o.txtSwapSep,
                               &o.txtPathSpliceLevels,
                               &o.txtPathSpliceSeparator,
                               &o.txtEliminateChars,
                               &o.txtEliminatePosition,
                               &o.txtChangeExt,
                               &o.txtSearch,
                               &o.txtReplace,
                               &o.txtSearchChar,
                               &o.txtReplaceChar,
                               &o.txtInsertStart,
                               &o.txtInsertMiddlePosition,
                               &o.txtInsertMiddle,
                               &o.txtInsertEnd,
                               &o.cboAutonumber,
                               &o.txtAutonumberStartNum,
                               &o.txtAutonumberStep,
                               &o.txtUNL,
                               &o.txtFilter}) {
        field->resize(text::FirstCodePoints(*field, kMaxOptionTextLength).size());
    }
}

int AutonumberListIndex(std::string_view text) {
    const auto it = std::find(kAutonumberChoices.begin(), kAutonumberChoices.end(), text);
    return it == kAutonumberChoices.end() ? -1 : static_cast<int>(it - kAutonumberChoices.begin());
}

bool AutonumberIsOff(const RenameOptions& options) {
    return options.cboAutonumber == "Off";
}

int AutonumberDigits(std::string_view text) {
    const int listIndex = AutonumberListIndex(text);
    if (listIndex >= 1) {
        return listIndex - 1;
    }
    return static_cast<int>(std::clamp<std::int64_t>(text::WholeNumber(text), 0, 255));
}

void SetReplaceWholeName(RenameOptions& options, int state) {
    options.chkReplaceWholeName = state;
    if (state == 1 && AutonumberIsOff(options)) {
        options.cboAutonumber = "Auto";
    }
}

void SetPathSplice(RenameOptions& options, int state) {
    options.chkPathSplice = state;
    if (state == 1) {
        options.cboPathDisplay = kShowFullPath;
    }
}

void SetRecurse(RenameOptions& options, int state) {
    options.chkRecurse = state;
    if (state == 1 && options.cboPathDisplay == kShowFilenameOnly) {
        options.cboPathDisplay = kShowPartialPath;
    }
}

int NextAttributeState(int state) {
    return (state >= 0 && state < 2) ? state + 1 : 0;
}

bool SearchAndReplaceEnabled(const RenameOptions& options) {
    return options.chkReplaceWholeName != 1;
}

bool PathDisplayEnabled(const RenameOptions& options) {
    return options.chkPathSplice != 1;
}

}  // namespace kestrel::engine
