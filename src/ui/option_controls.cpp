#include "ui/option_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <initializer_list>
#include <utility>

#include "engine/rename_options.h"
#include "ui/attribute_check_box.h"
#include "ui/tag_button.h"

namespace kestrel::ui {
namespace {

constexpr const char* kAttributeTip =
    "Select (checked), Filter (unchecked), and don't care (greyed)";

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* Check(const char* name, const char* caption, QWidget* parent) {
    return Named(new QCheckBox(QString::fromUtf8(caption), parent), name);
}

constexpr int kMaxFieldLength = static_cast<int>(engine::kMaxOptionTextLength);

QLineEdit* Text(const char* name, QWidget* parent, int minimumChars = 8) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setMaxLength(kMaxFieldLength);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('M')) * minimumChars);
    return edit;
}

// Numeric fields take digit keystrokes only; pasted or loaded text is still
// read with the leading-number rule when used.
QLineEdit* Number(const char* name, QWidget* parent) {
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setMaxLength(kMaxFieldLength);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 14);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QComboBox* Choice(const char* name, std::initializer_list<const char*> entries, QWidget* parent) {
    auto* combo = Named(new QComboBox(parent), name);
    for (const char* entry : entries) {
        combo->addItem(QString::fromUtf8(entry));
    }
    return combo;
}

TagButton* Tags(const char* name, QLineEdit* text, const char* description, QWidget* parent) {
    return new TagButton(QString::fromLatin1(name), text, QString::fromUtf8(description), parent);
}

QLabel* Caption(const char* text, QWidget* parent) {
    return new QLabel(QString::fromUtf8(text), parent);
}

QHBoxLayout* Row(QVBoxLayout* column, std::initializer_list<QWidget*> widgets,
                 bool stretch = true) {
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    for (QWidget* widget : widgets) {
        row->addWidget(widget);
    }
    if (stretch) {
        row->addStretch(1);
    }
    column->addLayout(row);
    return row;
}

std::array<QCheckBox*, 4> AttributeBoxes(const OptionControls& c) {
    return {c.chkSbit, c.chkRbit, c.chkHbit, c.chkAbit};
}

void SetTip(QWidget* widget, const char* tip) {
    widget->setToolTip(QString::fromUtf8(tip));
}

void BuildRenameOperations(OptionControls& c, QWidget* parent) {
    auto* box =
        Named(new QGroupBox(QStringLiteral("Rename Operations"), parent), "fraRenameOperations");
    c.renameOperations = box;
    auto* column = new QVBoxLayout(box);
    column->setSpacing(4);
    auto* order = Named(Caption("These options execute in the order listed", box), "lblOrder");
    QFont italic = order->font();
    italic.setItalic(true);
    order->setFont(italic);
    column->addWidget(order);

    c.chkReplaceWholeName = Check("chkReplaceWholeName", "Replace entire filename", box);
    Row(column, {c.chkReplaceWholeName});

    c.chkSwapSep = Check("chkSwapSep", "Swap areas", box);
    c.txtSwapArea[0] = Number("txtSwapArea1", box);
    c.txtSwapArea[1] = Number("txtSwapArea2", box);
    c.txtSwapSep = Text("txtSwapSep", box, 4);
    Row(column, {c.chkSwapSep, c.txtSwapArea[0], Caption("and", box), c.txtSwapArea[1],
                 Caption("split at delimiter", box), c.txtSwapSep});

    c.chkPathSplice = Check("chkPathSplice", "Splice path into filename going", box);
    c.txtPathSpliceLevels = Number("txtPathSpliceLevels", box);
    c.txtPathSpliceSeparator = Text("txtPathSpliceSeparator", box, 4);
    Row(column, {c.chkPathSplice, c.txtPathSpliceLevels,
                 Caption("level(s) back, replacing \\ with", box), c.txtPathSpliceSeparator});

    c.chkCrop = Check("chkCrop", "Crop/Delete/Move", box);
    c.txtEliminateChars = Number("txtEliminateChars", box);
    c.txtEliminatePosition = Number("txtEliminatePosition", box);
    c.cboCropLR = Choice("cboCropLR", {"left", "right"}, box);
    Row(column, {c.chkCrop, c.txtEliminateChars, Caption("character(s) starting at position", box),
                 c.txtEliminatePosition, Caption("from the", box), c.cboCropLR});

    c.chkChangeExt = Check("chkChangeExt", "Change all extensions to", box);
    c.txtChangeExt = Text("txtChangeExt", box, 6);
    Row(column, {c.chkChangeExt, c.txtChangeExt});

    c.chkSearchReplace = Check("chkSearchReplace", "Replace", box);
    c.txtSearch = Text("txtSearch", box);
    c.lblWith = Named(Caption("with", box), "lblWith");
    c.txtReplace = Text("txtReplace", box);
    c.cmdTagsReplace = Tags("cmdTagsReplace", c.txtReplace, "replacement text", box);
    QHBoxLayout* replaceRow =
        Row(column, {c.chkSearchReplace, c.txtSearch, c.lblWith, c.txtReplace, c.cmdTagsReplace},
            false);
    replaceRow->setStretch(1, 1);
    replaceRow->setStretch(3, 1);
    c.chkCaseSensitive = Check("chkCaseSensitive", "Case sensitive search", box);
    c.chkFirstOccur = Check("chkFirstOccur", "Replace only first occurrence", box);
    c.chkRegex = Check("chkRegex", "Regular expression", box);
    SetTip(c.chkRegex,
           "The search text is a regular expression; $1 to $9 in the new text put back its groups");
    QHBoxLayout* replaceOptions = Row(column, {c.chkCaseSensitive, c.chkFirstOccur, c.chkRegex});
    replaceOptions->insertSpacing(0, 20);

    c.chkUnderscore = Check("chkUnderscore", "\"_\" to space", box);
    c.chkPercent20 = Check("chkPercent20", "\"%20\" to space", box);
    c.chkWildcard = Check("chkWildcard", "Change", box);
    c.txtSearchChar = Text("txtSearchChar", box, 5);
    c.txtReplaceChar = Text("txtReplaceChar", box, 5);
    c.chkUnderscore->setToolTip(QStringLiteral("Each \"_\" becomes a space"));
    c.chkPercent20->setToolTip(QStringLiteral("Each \"%20\" becomes a space"));
    c.chkWildcard->setToolTip(QStringLiteral("Single Character Replace"));
    // Two lines, so that the panel stays narrow enough for a 1024 x 768 screen.
    Row(column, {Caption("Single Character Replace:", box), c.chkUnderscore, c.chkPercent20});
    QHBoxLayout* changeRow =
        Row(column, {c.chkWildcard, c.txtSearchChar, Caption("to", box), c.txtReplaceChar});
    changeRow->insertSpacing(0, 20);

    // Each tag button follows its text, so that Tab reaches them in the order they are seen.
    c.chkInsertStart = Check("chkInsertStart", "start", box);
    c.txtInsertStart = Text("txtInsertStart", box, 6);
    c.cmdTagsInsertStart =
        Tags("cmdTagsInsertStart", c.txtInsertStart, "insert at start text", box);
    c.chkInsertMiddle = Check("chkInsertMiddle", "position", box);
    c.txtInsertMiddlePosition = Number("txtInsertMiddlePosition", box);
    c.txtInsertMiddle = Text("txtInsertMiddle", box, 6);
    c.cmdTagsInsertMiddle = Tags("cmdTagsInsertMiddle", c.txtInsertMiddle, "insert text", box);
    c.chkInsertEnd = Check("chkInsertEnd", "end", box);
    c.txtInsertEnd = Text("txtInsertEnd", box, 6);
    c.cmdTagsInsertEnd = Tags("cmdTagsInsertEnd", c.txtInsertEnd, "insert at end text", box);
    QHBoxLayout* insertRow =
        Row(column,
            {Caption("Insert at", box), c.chkInsertStart, c.txtInsertStart, c.cmdTagsInsertStart,
             c.chkInsertMiddle, c.txtInsertMiddlePosition, c.txtInsertMiddle, c.cmdTagsInsertMiddle,
             c.chkInsertEnd, c.txtInsertEnd, c.cmdTagsInsertEnd},
            false);
    insertRow->setSpacing(4);
    insertRow->setStretch(2, 1);
    insertRow->setStretch(6, 1);
    insertRow->setStretch(9, 1);

    c.cboAutonumber = Named(new QComboBox(box), "cboAutonumber");
    for (std::string_view entry : engine::kAutonumberChoices) {
        c.cboAutonumber->addItem(QString::fromUtf8(entry.data(), entry.size()));
    }
    c.cboAutonumber->setEditable(true);
    c.cboAutonumber->lineEdit()->setMaxLength(kMaxFieldLength);
    c.cboAutonumber->setInsertPolicy(QComboBox::NoInsert);
    // Completion would turn a typed "1" into "10" behind the user's back.
    c.cboAutonumber->setCompleter(nullptr);
    c.txtAutonumberStartNum = Number("txtAutonumberStartNum", box);
    c.txtAutonumberStep = Number("txtAutonumberStep", box);
    c.chkUNL = Check("chkUNL", "Uniform Number Length", box);
    c.txtUNL = Number("txtUNL", box);
    c.cboUNLLR = Choice("cboUNLLR", {"left", "right"}, box);
    Row(column, {Caption("Autonumber digits", box), c.cboAutonumber, Caption("Start", box),
                 c.txtAutonumberStartNum, Caption("Step", box), c.txtAutonumberStep});
    Row(column, {c.chkUNL, c.txtUNL, Caption("digits, searching from the", box), c.cboUNLLR});

    c.cboCaseHandling = Choice("cboCaseHandling",
                               {"Off", "Initial Caps", "ALL CAPS", "all lowercase", "aLtErNaTiNg",
                                "AlTeRnAtInG", "RanDoM", "tOGGLE"},
                               box);
    c.cboCaseRules = Choice("cboCaseRules", {"Off", "Name", "Extension", "Both"}, box);
    Row(column, {Caption("Case Handling", box), c.cboCaseHandling, Caption("Case Rules", box),
                 c.cboCaseRules});
    c.cboTextFX = Choice("cboTextFX",
                         {"None", "Insert space between all characters", "Reverse filename text",
                          "Separate capitalized words"},
                         box);
    c.chkForceSingleSpaces = Check("chkForceSingleSpaces", "Trim extra spaces", box);
    Row(column, {Caption("TextFX", box), c.cboTextFX, c.chkForceSingleSpaces});
    column->addStretch(1);
}

void BuildRenameOptions(OptionControls& c, QWidget* parent) {
    auto* box = Named(new QGroupBox(QStringLiteral("Rename Options"), parent), "fraRenameOptions");
    c.renameOptions = box;
    c.chkExtIncluded = Check("chkExtIncluded", "Include extension", box);
    c.chkNoExt = Check("chkNoExt", "Periods are characters", box);
    c.chkRecurse = Check("chkRecurse", "Recurse", box);
    c.chkCopy = Check("chkCopy", "Copy", box);
    SetTip(c.chkRecurse, "Operations are performed on all sub-folders as well");
    SetTip(c.chkCopy, "Copies rather than just renames");
    c.chkNumberPerFolder = Check("chkNumberPerFolder", "Restart numbering in each folder", box);
    SetTip(c.chkNumberPerFolder, "Autonumbers start again at Start in every folder listed");
    auto* grid = new QGridLayout(box);
    grid->addWidget(c.chkExtIncluded, 0, 0);
    grid->addWidget(c.chkNoExt, 0, 1);
    grid->addWidget(c.chkRecurse, 1, 0);
    grid->addWidget(c.chkCopy, 1, 1);
    grid->addWidget(c.chkNumberPerFolder, 2, 0, 1, 2);
}

void BuildViewAndFiltering(OptionControls& c, QWidget* parent) {
    auto* box = Named(new QGroupBox(QStringLiteral("View and Filtering Options"), parent),
                      "fraViewAndFiltering");
    c.viewAndFiltering = box;
    c.chkSbit = Named(new AttributeCheckBox(QStringLiteral("System"), box), "chkSbit");
    c.chkRbit = Named(new AttributeCheckBox(QStringLiteral("Read-Only"), box), "chkRbit");
    c.chkHbit = Named(new AttributeCheckBox(QStringLiteral("Hidden"), box), "chkHbit");
    c.chkAbit = Named(new AttributeCheckBox(QStringLiteral("Archive"), box), "chkAbit");
    for (QCheckBox* attribute : AttributeBoxes(c)) {
        SetTip(attribute, kAttributeTip);
    }
    c.txtFilter = Text("txtFilter", box, 8);
    SetTip(c.txtFilter, "Enter filter here; *.* for all files");
    c.cboFilesFolders =
        Choice("cboFilesFolders", {"Files only", "Folders only", "Files and folders"}, box);
    SetTip(c.cboFilesFolders, "List files, folders, or both");
    c.cboPathDisplay = Choice("cboPathDisplay",
                              {"Show filename only", "Show partial path", "Show full path"}, box);
    SetTip(c.cboPathDisplay, "Choose depth of file/path display");
    c.cboFilter = Choice(
        "cboFilter",
        {"View and select all", "View matching pattern", "Select matching", "Select non-matching"},
        box);
    SetTip(c.cboFilter, "Choose default display/selection");
    c.cboSort = Choice(
        "cboSort", {"Name", "Name, numbers by value", "Modified date", "Date taken", "Size"}, box);
    SetTip(c.cboSort, "Choose the order of the list, which autonumbers follow");
    c.chkSortDescending = Check("chkSortDescending", "Descending", box);
    SetTip(c.chkSortDescending, "List in reverse order");

    auto* grid = new QGridLayout(box);
    grid->addWidget(Caption("Attributes:", box), 0, 0, Qt::AlignTop);
    // Two by two keeps the right-hand column narrow.
    auto* attributes = new QGridLayout;
    const auto boxes = AttributeBoxes(c);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        attributes->addWidget(boxes[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    attributes->setColumnStretch(2, 1);
    grid->addLayout(attributes, 0, 1);
    grid->addWidget(Caption("Filter:", box), 1, 0);
    grid->addWidget(c.txtFilter, 1, 1);
    grid->addWidget(Caption("List:", box), 2, 0);
    grid->addWidget(c.cboFilesFolders, 2, 1);
    grid->addWidget(Caption("Display:", box), 3, 0);
    grid->addWidget(c.cboPathDisplay, 3, 1);
    grid->addWidget(Caption("Selection:", box), 4, 0);
    grid->addWidget(c.cboFilter, 4, 1);
    grid->addWidget(Caption("Sort:", box), 5, 0);
    auto* sortRow = new QHBoxLayout;
    sortRow->addWidget(c.cboSort, 1);
    sortRow->addWidget(c.chkSortDescending);
    grid->addLayout(sortRow, 5, 1);
    grid->setColumnStretch(1, 1);
}

// What a screen reader says for each field: the words a sighted user reads
// beside it. Without a name of its own, a field inside a frame would be
// announced by the frame's caption, and a combo box by its current entry.
void NameForScreenReaders(const OptionControls& c) {
    const std::pair<QWidget*, const char*> names[] = {
        {c.txtSwapArea[0], "Swap area 1"},
        {c.txtSwapArea[1], "Swap area 2"},
        {c.txtSwapSep, "Swap delimiter"},
        {c.txtPathSpliceLevels, "Splice levels"},
        {c.txtPathSpliceSeparator, "Splice separator"},
        {c.txtEliminateChars, "Crop characters"},
        {c.txtEliminatePosition, "Crop position"},
        {c.cboCropLR, "Crop side"},
        {c.txtChangeExt, "New extension"},
        {c.txtSearch, "Search for"},
        {c.txtReplace, "Replace with"},
        {c.chkRegex, "Search text is a regular expression"},
        {c.chkWildcard, "Change characters"},
        {c.txtSearchChar, "Characters to replace"},
        {c.txtReplaceChar, "Replacement characters"},
        {c.chkInsertStart, "Insert at start"},
        {c.txtInsertStart, "Insert at start text"},
        {c.chkInsertMiddle, "Insert at position"},
        {c.txtInsertMiddlePosition, "Insert position"},
        {c.txtInsertMiddle, "Insert text"},
        {c.chkInsertEnd, "Insert at end"},
        {c.txtInsertEnd, "Insert at end text"},
        {c.cboAutonumber, "Autonumber digits"},
        {c.txtAutonumberStartNum, "Autonumber start"},
        {c.txtAutonumberStep, "Autonumber step"},
        {c.txtUNL, "Number length"},
        {c.cboUNLLR, "Number side"},
        {c.cboCaseHandling, "Case handling"},
        {c.cboCaseRules, "Case rules"},
        {c.cboTextFX, "Text effects"},
        {c.txtFilter, "Filter"},
        {c.cboFilesFolders, "List"},
        {c.cboPathDisplay, "Display"},
        {c.cboFilter, "Selection"},
        {c.cboSort, "Sort"},
        {c.chkSortDescending, "Sort descending"},
    };
    for (const auto& [control, name] : names) {
        control->setAccessibleName(QString::fromUtf8(name));
    }
    // The autonumber box's own text field speaks for the box.
    c.cboAutonumber->lineEdit()->setAccessibleName(QStringLiteral("Autonumber digits"));
}

}  // namespace

OptionControls BuildOptionPanels(QWidget* parent) {
    OptionControls controls;
    BuildRenameOperations(controls, parent);
    BuildRenameOptions(controls, parent);
    BuildViewAndFiltering(controls, parent);
    NameForScreenReaders(controls);
    return controls;
}

}  // namespace kestrel::ui
