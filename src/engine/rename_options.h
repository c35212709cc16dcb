#pragma once

#include <array>
#include <string>
#include <string_view>

// Every setting of the main window that shapes new names or the source
// listing. Field names are the names of the controls that edit them, so the
// window, templates and tests all speak of `chkCrop` and `txtEliminateChars`.
// Check boxes hold 0/1 (the attribute boxes also 2 = greyed), combo boxes their
// 0-based list position, entry fields the text as typed; `cboAutonumber` holds
// its text because digits may be typed into it.
namespace kestrel::engine {

/// The most characters an option's entry field holds, wherever its text comes
/// from (typed, a template, the command line).
inline constexpr std::size_t kMaxOptionTextLength = 255;

inline constexpr std::array<std::string_view, 12> kAutonumberChoices = {
    "Off", "Auto", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};

enum AttributeRule : int { kAttributeFilter = 0, kAttributeSelect = 1, kAttributeDontCare = 2 };
enum CropSide : int { kFromLeft = 0, kFromRight = 1 };
enum PathDisplay : int { kShowFilenameOnly = 0, kShowPartialPath = 1, kShowFullPath = 2 };
enum FilterMode : int {
    kViewAndSelectAll = 0,
    kViewMatching = 1,
    kSelectMatching = 2,
    kSelectNonMatching = 3
};
enum ListedItems : int { kFilesOnly = 0, kFoldersOnly = 1, kFilesAndFolders = 2 };
/// The orders of the source list, as `cboSort` lists them.
enum SortOrder : int {
    kSortByName = 0,
    kSortNatural = 1,
    kSortByModified = 2,
    kSortByTaken = 3,
    kSortBySize = 4
};
enum CaseRulesScope : int {
    kCaseRulesOff = 0,
    kCaseRulesName = 1,
    kCaseRulesExtension = 2,
    kCaseRulesBoth = 3
};

struct RenameOptions {
    // Rename operations, in pipeline order.
    int chkReplaceWholeName = 0;
    int chkSwapSep = 0;
    std::array<std::string, 2> txtSwapArea = {"1", "2"};
    std::string txtSwapSep = " - ";
    int chkPathSplice = 0;
    std::string txtPathSpliceLevels = "1";
    std::string txtPathSpliceSeparator = " - ";
    int chkCrop = 0;
    std::string txtEliminateChars = "1";
    std::string txtEliminatePosition = "1";
    int cboCropLR = kFromLeft;
    int chkChangeExt = 0;
    std::string txtChangeExt = "jpg";
    int chkSearchReplace = 0;
    std::string txtSearch;
    std::string txtReplace;
    int chkCaseSensitive = 0;
    int chkFirstOccur = 0;
    /// The search text is a regular expression and the replacement may name its groups.
    int chkRegex = 0;
    int chkUnderscore = 1;
    int chkPercent20 = 1;
    int chkWildcard = 0;
    std::string txtSearchChar;
    std::string txtReplaceChar;
    int chkInsertStart = 0;
    std::string txtInsertStart;
    int chkInsertMiddle = 0;
    std::string txtInsertMiddlePosition = "2";
    std::string txtInsertMiddle;
    int chkInsertEnd = 0;
    std::string txtInsertEnd;
    std::string cboAutonumber = "Off";
    std::string txtAutonumberStartNum = "1";
    std::string txtAutonumberStep = "1";
    int chkUNL = 0;
    int cboUNLLR = kFromLeft;
    std::string txtUNL = "4";
    int cboCaseHandling = 1;  // "Initial Caps"
    int cboCaseRules = kCaseRulesName;
    int cboTextFX = 0;
    int chkForceSingleSpaces = 1;

    // Scope of operation.
    int chkExtIncluded = 1;
    int chkNoExt = 0;
    int chkRecurse = 0;
    int chkCopy = 0;
    /// The autonumber starts again in every folder the list holds.
    int chkNumberPerFolder = 0;

    // View and filtering, read by the source listing.
    int chkSbit = kAttributeDontCare;
    int chkRbit = kAttributeDontCare;
    int chkHbit = kAttributeDontCare;
    int chkAbit = kAttributeDontCare;
    std::string txtFilter = "*.*";
    int cboFilesFolders = kFilesOnly;
    int cboPathDisplay = kShowFilenameOnly;
    int cboFilter = kSelectMatching;
    int cboSort = kSortByName;
    int chkSortDescending = 0;

    bool operator==(const RenameOptions&) const = default;
};

/// Every field back to its factory default; the swap area numbers are kept.
void ResetToFactoryDefaults(RenameOptions& options);

/// The reset after a commit: switches the operations off, keeps the rest.
void ClearOperations(RenameOptions& options);

/// Cuts every entry field to kMaxOptionTextLength characters.
void CapOptionTexts(RenameOptions& options);

/// 0-based position of the autonumber text in its list, or -1 for typed text.
int AutonumberListIndex(std::string_view text);
bool AutonumberIsOff(const RenameOptions& options);
/// Number of digits for autonumbering: 0 means "Auto" (as wide as the last
/// number of the run). Typed digits are limited to 0..255.
int AutonumberDigits(std::string_view text);

// Coupled fields: a change of one control changes others.
void SetReplaceWholeName(RenameOptions& options, int state);
void SetPathSplice(RenameOptions& options, int state);
void SetRecurse(RenameOptions& options, int state);
/// The next state of a three-state attribute box on a click: 0 -> 1 -> 2 -> 0.
int NextAttributeState(int state);

/// Controls disabled by "Replace entire filename" (their values are kept).
bool SearchAndReplaceEnabled(const RenameOptions& options);
/// `cboPathDisplay` is fixed to "Show full path" while the path splice is on.
bool PathDisplayEnabled(const RenameOptions& options);

}  // namespace kestrel::engine
