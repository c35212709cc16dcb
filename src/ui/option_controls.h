#pragma once

#include <QString>
#include <array>
#include <string>
#include <string_view>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

// The three option panels of the main window and every control in them, each
// named (objectName) after the option field it edits.
namespace kestrel::ui {

class AttributeCheckBox;
class TagButton;

struct OptionControls {
    QGroupBox* renameOperations = nullptr;
    QGroupBox* renameOptions = nullptr;
    QGroupBox* viewAndFiltering = nullptr;

    QCheckBox* chkReplaceWholeName = nullptr;
    QCheckBox* chkSwapSep = nullptr;
    std::array<QLineEdit*, 2> txtSwapArea{};
    QLineEdit* txtSwapSep = nullptr;
    QCheckBox* chkPathSplice = nullptr;
    QLineEdit* txtPathSpliceLevels = nullptr;
    QLineEdit* txtPathSpliceSeparator = nullptr;
    QCheckBox* chkCrop = nullptr;
    QLineEdit* txtEliminateChars = nullptr;
    QLineEdit* txtEliminatePosition = nullptr;
    QComboBox* cboCropLR = nullptr;
    QCheckBox* chkChangeExt = nullptr;
    QLineEdit* txtChangeExt = nullptr;
    QCheckBox* chkSearchReplace = nullptr;
    QLineEdit* txtSearch = nullptr;
    QLabel* lblWith = nullptr;
    QLineEdit* txtReplace = nullptr;
    TagButton* cmdTagsReplace = nullptr;
    QCheckBox* chkCaseSensitive = nullptr;
    QCheckBox* chkFirstOccur = nullptr;
    QCheckBox* chkRegex = nullptr;
    QCheckBox* chkUnderscore = nullptr;
    QCheckBox* chkPercent20 = nullptr;
    QCheckBox* chkWildcard = nullptr;
    QLineEdit* txtSearchChar = nullptr;
    QLineEdit* txtReplaceChar = nullptr;
    QCheckBox* chkInsertStart = nullptr;
    QLineEdit* txtInsertStart = nullptr;
    TagButton* cmdTagsInsertStart = nullptr;
    QCheckBox* chkInsertMiddle = nullptr;
    QLineEdit* txtInsertMiddlePosition = nullptr;
    QLineEdit* txtInsertMiddle = nullptr;
    TagButton* cmdTagsInsertMiddle = nullptr;
    QCheckBox* chkInsertEnd = nullptr;
    QLineEdit* txtInsertEnd = nullptr;
    TagButton* cmdTagsInsertEnd = nullptr;
    QComboBox* cboAutonumber = nullptr;
    QLineEdit* txtAutonumberStartNum = nullptr;
    QLineEdit* txtAutonumberStep = nullptr;
    QCheckBox* chkUNL = nullptr;
    QComboBox* cboUNLLR = nullptr;
    QLineEdit* txtUNL = nullptr;
    QComboBox* cboCaseHandling = nullptr;
    QComboBox* cboCaseRules = nullptr;
    QComboBox* cboTextFX = nullptr;
    QCheckBox* chkForceSingleSpaces = nullptr;

    QCheckBox* chkExtIncluded = nullptr;
    QCheckBox* chkNoExt = nullptr;
    QCheckBox* chkRecurse = nullptr;
    QCheckBox* chkCopy = nullptr;
    QCheckBox* chkNumberPerFolder = nullptr;

    AttributeCheckBox* chkSbit = nullptr;
    AttributeCheckBox* chkRbit = nullptr;
    AttributeCheckBox* chkHbit = nullptr;
    AttributeCheckBox* chkAbit = nullptr;
    QLineEdit* txtFilter = nullptr;
    QComboBox* cboFilesFolders = nullptr;
    QComboBox* cboPathDisplay = nullptr;
    QComboBox* cboFilter = nullptr;
    QComboBox* cboSort = nullptr;
    QCheckBox* chkSortDescending = nullptr;
};

/// Builds the three panels as children of `parent`.
OptionControls BuildOptionPanels(QWidget* parent);

/// The autonumber box's text for an autonumber value: "Off" and "Auto" in the
/// user's language, a number as it is. AutonumberValue reads the box's text
/// back into the value the options keep; a typed English word stays itself.
QString AutonumberShown(std::string_view value);
std::string AutonumberValue(const QString& shown);

}  // namespace kestrel::ui
