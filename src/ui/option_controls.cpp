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
#include "ui/qt_text.h"
#include "ui/tag_button.h"

namespace kestrel::ui {
namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* Check(const char* name, const QString& caption, QWidget* parent) {
    return Named(new QCheckBox(caption, parent), name);
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

QComboBox* Choice(const char* name, std::initializer_list<QString> entries, QWidget* parent) {
    auto* combo = Named(new QComboBox(parent), name);
    for (const QString& entry : entries) {
        combo->addItem(entry);
    }
    return combo;
}

TagButton* Tags(const char* name, QLineEdit* text, const QString& accessibleName, QWidget* parent) {
    return new TagButton(QString::fromLatin1(name), text, accessibleName, parent);
}

QLabel* Caption(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
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

void SetTip(QWidget* widget, const QString& tip) {
    widget->setToolTip(tip);
}

void BuildRenameOperations(OptionControls& c, QWidget* parent) {
    auto* box = Named(new QGroupBox(Tr("Rename Operations"), parent), "fraRenameOperations");
    c.renameOperations = box;
    auto* column = new QVBoxLayout(box);
    column->setSpacing(4);
    auto* order = Named(Caption(Tr("These options execute in the order listed"), box), "lblOrder");
    QFont italic = order->font();
    italic.setItalic(true);
    order->setFont(italic);
    column->addWidget(order);

    c.chkReplaceWholeName = Check("chkReplaceWholeName", Tr("Replace entire filename"), box);
    Row(column, {c.chkReplaceWholeName});

    // Each row of an operation reads as one line, its fields standing between
    // the captions; the comments show translators the whole line.
    // TRANSLATORS: the row reads "Swap areas [1] and [2] split at delimiter [-]".
    c.chkSwapSep = Check("chkSwapSep", Tr("Swap areas"), box);
    c.txtSwapArea[0] = Number("txtSwapArea1", box);
    c.txtSwapArea[1] = Number("txtSwapArea2", box);
    c.txtSwapSep = Text("txtSwapSep", box, 4);
    // TRANSLATORS: the row reads "Swap areas [1] and [2] split at delimiter [-]".
    Row(column, {c.chkSwapSep, c.txtSwapArea[0], Caption(Tr("and"), box), c.txtSwapArea[1],
                 // TRANSLATORS: the row reads "Swap areas [1] and [2] split at delimiter [-]".
                 Caption(Tr("split at delimiter"), box), c.txtSwapSep});

    // TRANSLATORS: the row reads "Splice path into filename going [1] level(s)
    // back, replacing \ with [ ]": the folder names are joined to the name.
    c.chkPathSplice = Check("chkPathSplice", Tr("Splice path into filename going"), box);
    c.txtPathSpliceLevels = Number("txtPathSpliceLevels", box);
    c.txtPathSpliceSeparator = Text("txtPathSpliceSeparator", box, 4);
    Row(column, {c.chkPathSplice, c.txtPathSpliceLevels,
                 // TRANSLATORS: the row reads "Splice path into filename going [1]
                 // level(s) back, replacing \ with [ ]".
                 Caption(Tr("level(s) back, replacing \\ with"), box), c.txtPathSpliceSeparator});

    // TRANSLATORS: the row reads "Crop/Delete/Move [2] character(s) starting at
    // position [1] from the [left]".
    c.chkCrop = Check("chkCrop", Tr("Crop/Delete/Move"), box);
    c.txtEliminateChars = Number("txtEliminateChars", box);
    c.txtEliminatePosition = Number("txtEliminatePosition", box);
    // TRANSLATORS: ends "... starting at position [1] from the [left]".
    c.cboCropLR = Choice("cboCropLR", {Tr("left"), Tr("right")}, box);
    Row(column, {c.chkCrop, c.txtEliminateChars,
                 // TRANSLATORS: the row reads "Crop/Delete/Move [2] character(s)
                 // starting at position [1] from the [left]".
                 Caption(Tr("character(s) starting at position"), box), c.txtEliminatePosition,
                 // TRANSLATORS: followed by a choice of "left" or "right".
                 Caption(Tr("from the"), box), c.cboCropLR});

    c.chkChangeExt = Check("chkChangeExt", Tr("Change all extensions to"), box);
    c.txtChangeExt = Text("txtChangeExt", box, 6);
    Row(column, {c.chkChangeExt, c.txtChangeExt});

    // TRANSLATORS: the row reads "Replace [this text] with [that text]".
    c.chkSearchReplace = Check("chkSearchReplace", Tr("Replace"), box);
    c.txtSearch = Text("txtSearch", box);
    // TRANSLATORS: the row reads "Replace [this text] with [that text]".
    c.lblWith = Named(Caption(Tr("with"), box), "lblWith");
    c.txtReplace = Text("txtReplace", box);
    c.cmdTagsReplace =
        Tags("cmdTagsReplace", c.txtReplace, Tr("Tags for the replacement text"), box);
    QHBoxLayout* replaceRow =
        Row(column, {c.chkSearchReplace, c.txtSearch, c.lblWith, c.txtReplace, c.cmdTagsReplace},
            false);
    replaceRow->setStretch(1, 1);
    replaceRow->setStretch(3, 1);
    c.chkCaseSensitive = Check("chkCaseSensitive", Tr("Case sensitive search"), box);
    c.chkFirstOccur = Check("chkFirstOccur", Tr("Replace only first occurrence"), box);
    c.chkRegex = Check("chkRegex", Tr("Regular expression"), box);
    SetTip(c.chkRegex, Tr("The search text is a regular expression; $1 to $9 in the new text put "
                          "back its groups"));
    QHBoxLayout* replaceOptions = Row(column, {c.chkCaseSensitive, c.chkFirstOccur, c.chkRegex});
    replaceOptions->insertSpacing(0, 20);

    c.chkUnderscore = Check("chkUnderscore", Tr("\"_\" to space"), box);
    c.chkPercent20 = Check("chkPercent20", Tr("\"%20\" to space"), box);
    // TRANSLATORS: the row reads "Change [these characters] to [those]".
    c.chkWildcard = Check("chkWildcard", Tr("Change"), box);
    c.txtSearchChar = Text("txtSearchChar", box, 5);
    c.txtReplaceChar = Text("txtReplaceChar", box, 5);
    c.chkUnderscore->setToolTip(Tr("Each \"_\" becomes a space"));
    c.chkPercent20->setToolTip(Tr("Each \"%20\" becomes a space"));
    c.chkWildcard->setToolTip(Tr("Single Character Replace"));
    // Two lines, so that the panel stays narrow enough for a 1024 x 768 screen.
    Row(column, {Caption(Tr("Single Character Replace:"), box), c.chkUnderscore, c.chkPercent20});
    QHBoxLayout* changeRow =
        Row(column, {c.chkWildcard, c.txtSearchChar,
                     // TRANSLATORS: the row reads "Change [these characters] to [those]".
                     Caption(Tr("to"), box), c.txtReplaceChar});
    changeRow->insertSpacing(0, 20);

    // Each tag button follows its text, so that Tab reaches them in the order they are seen.
    // TRANSLATORS: the row reads "Insert at [x] start [text] [x] position [3]
    // [text] [x] end [text]": three places a text can be inserted.
    c.chkInsertStart = Check("chkInsertStart", Tr("start"), box);
    c.txtInsertStart = Text("txtInsertStart", box, 6);
    c.cmdTagsInsertStart =
        Tags("cmdTagsInsertStart", c.txtInsertStart, Tr("Tags for the insert at start text"), box);
    // TRANSLATORS: "Insert at ... position [3] [text]": at a character position.
    c.chkInsertMiddle = Check("chkInsertMiddle", Tr("position"), box);
    c.txtInsertMiddlePosition = Number("txtInsertMiddlePosition", box);
    c.txtInsertMiddle = Text("txtInsertMiddle", box, 6);
    c.cmdTagsInsertMiddle =
        Tags("cmdTagsInsertMiddle", c.txtInsertMiddle, Tr("Tags for the insert text"), box);
    // TRANSLATORS: "Insert at ... end [text]": at the end of the name.
    c.chkInsertEnd = Check("chkInsertEnd", Tr("end"), box);
    c.txtInsertEnd = Text("txtInsertEnd", box, 6);
    c.cmdTagsInsertEnd =
        Tags("cmdTagsInsertEnd", c.txtInsertEnd, Tr("Tags for the insert at end text"), box);
    QHBoxLayout* insertRow =
        Row(column,
            {// TRANSLATORS: the row reads "Insert at [x] start [text] [x] position [3]
             // [text] [x] end [text]".
             Caption(Tr("Insert at"), box), c.chkInsertStart, c.txtInsertStart,
             c.cmdTagsInsertStart, c.chkInsertMiddle, c.txtInsertMiddlePosition, c.txtInsertMiddle,
             c.cmdTagsInsertMiddle, c.chkInsertEnd, c.txtInsertEnd, c.cmdTagsInsertEnd},
            false);
    insertRow->setSpacing(4);
    insertRow->setStretch(2, 1);
    insertRow->setStretch(6, 1);
    insertRow->setStretch(9, 1);

    c.cboAutonumber = Named(new QComboBox(box), "cboAutonumber");
    for (std::string_view entry : engine::kAutonumberChoices) {
        c.cboAutonumber->addItem(AutonumberShown(entry));
    }
    c.cboAutonumber->setEditable(true);
    c.cboAutonumber->lineEdit()->setMaxLength(kMaxFieldLength);
    c.cboAutonumber->setInsertPolicy(QComboBox::NoInsert);
    // Completion would turn a typed "1" into "10" behind the user's back.
    c.cboAutonumber->setCompleter(nullptr);
    c.txtAutonumberStartNum = Number("txtAutonumberStartNum", box);
    c.txtAutonumberStep = Number("txtAutonumberStep", box);
    // TRANSLATORS: the row reads "Uniform Number Length [3] digits, searching
    // from the [left]": numbers in the name are padded to that many digits.
    c.chkUNL = Check("chkUNL", Tr("Uniform Number Length"), box);
    c.txtUNL = Number("txtUNL", box);
    // TRANSLATORS: ends "... digits, searching from the [left]".
    c.cboUNLLR = Choice("cboUNLLR", {Tr("left"), Tr("right")}, box);
    Row(column, {Caption(Tr("Autonumber digits"), box), c.cboAutonumber,
                 // TRANSLATORS: the first number of the autonumbers.
                 Caption(Tr("Start"), box), c.txtAutonumberStartNum,
                 // TRANSLATORS: how much each autonumber adds to the one before.
                 Caption(Tr("Step"), box), c.txtAutonumberStep});
    Row(column, {c.chkUNL, c.txtUNL,
                 // TRANSLATORS: the row reads "Uniform Number Length [3] digits,
                 // searching from the [left]"; followed by "left" or "right".
                 Caption(Tr("digits, searching from the"), box), c.cboUNLLR});

    c.cboCaseHandling = Choice("cboCaseHandling",
                               {
                                   // TRANSLATORS: an option that is switched off.
                                   Tr("Off"),
                                   Tr("Initial Caps"),
                                   Tr("ALL CAPS"),
                                   Tr("all lowercase"),
                                   // TRANSLATORS: the letters show their case, alternating
                                   // from lower case.
                                   Tr("aLtErNaTiNg"),
                                   // TRANSLATORS: the letters show their case, alternating
                                   // from upper case.
                                   Tr("AlTeRnAtInG"),
                                   // TRANSLATORS: the letters show their case, at random.
                                   Tr("RanDoM"),
                                   // TRANSLATORS: each letter's case turned over, shown
                                   // by the word itself.
                                   Tr("tOGGLE"),
                               },
                               box);
    c.cboCaseRules = Choice("cboCaseRules",
                            {
                                Tr("Off"),
                                // TRANSLATORS: case rules apply to the name only.
                                Tr("Name"),
                                // TRANSLATORS: case rules apply to the extension only.
                                Tr("Extension"),
                                // TRANSLATORS: case rules apply to name and extension.
                                Tr("Both"),
                            },
                            box);
    Row(column, {Caption(Tr("Case Handling"), box), c.cboCaseHandling,
                 Caption(Tr("Case Rules"), box), c.cboCaseRules});
    c.cboTextFX = Choice("cboTextFX",
                         {
                             Tr("None"),
                             Tr("Insert space between all characters"),
                             Tr("Reverse filename text"),
                             Tr("Separate capitalized words"),
                         },
                         box);
    c.chkForceSingleSpaces = Check("chkForceSingleSpaces", Tr("Trim extra spaces"), box);
    // TRANSLATORS: text effects, a choice of changes to the whole name.
    Row(column, {Caption(Tr("TextFX"), box), c.cboTextFX, c.chkForceSingleSpaces});
    column->addStretch(1);
}

void BuildRenameOptions(OptionControls& c, QWidget* parent) {
    auto* box = Named(new QGroupBox(Tr("Rename Options"), parent), "fraRenameOptions");
    c.renameOptions = box;
    c.chkExtIncluded = Check("chkExtIncluded", Tr("Include extension"), box);
    c.chkNoExt = Check("chkNoExt", Tr("Periods are characters"), box);
    // TRANSLATORS: a check box: the operations reach into sub-folders.
    c.chkRecurse = Check("chkRecurse", Tr("Recurse"), box);
    // TRANSLATORS: a check box: files are copied under their new names.
    c.chkCopy = Check("chkCopy", Tr("Copy"), box);
    SetTip(c.chkRecurse, Tr("Operations are performed on all sub-folders as well"));
    SetTip(c.chkCopy, Tr("Copies rather than just renames"));
    c.chkNumberPerFolder = Check("chkNumberPerFolder", Tr("Restart numbering in each folder"), box);
    // TRANSLATORS: "Start" is the caption of the autonumbers' first number.
    SetTip(c.chkNumberPerFolder, Tr("Autonumbers start again at Start in every folder listed"));
    auto* grid = new QGridLayout(box);
    grid->addWidget(c.chkExtIncluded, 0, 0);
    grid->addWidget(c.chkNoExt, 0, 1);
    grid->addWidget(c.chkRecurse, 1, 0);
    grid->addWidget(c.chkCopy, 1, 1);
    grid->addWidget(c.chkNumberPerFolder, 2, 0, 1, 2);
}

void BuildViewAndFiltering(OptionControls& c, QWidget* parent) {
    auto* box =
        Named(new QGroupBox(Tr("View and Filtering Options"), parent), "fraViewAndFiltering");
    c.viewAndFiltering = box;
    // TRANSLATORS: the four file attributes.
    c.chkSbit = Named(new AttributeCheckBox(Tr("System"), box), "chkSbit");
    c.chkRbit = Named(new AttributeCheckBox(Tr("Read-Only"), box), "chkRbit");
    c.chkHbit = Named(new AttributeCheckBox(Tr("Hidden"), box), "chkHbit");
    c.chkAbit = Named(new AttributeCheckBox(Tr("Archive"), box), "chkAbit");
    const QString attributeTip =
        // TRANSLATORS: the three states of an attribute box: list only entries
        // that have the attribute, only those without it, or both.
        Tr("Select (checked), Filter (unchecked), and don't care (greyed)");
    for (QCheckBox* attribute : AttributeBoxes(c)) {
        SetTip(attribute, attributeTip);
    }
    c.txtFilter = Text("txtFilter", box, 8);
    SetTip(c.txtFilter, Tr("Enter filter here; *.* for all files"));
    c.cboFilesFolders = Choice(
        "cboFilesFolders", {Tr("Files only"), Tr("Folders only"), Tr("Files and folders")}, box);
    SetTip(c.cboFilesFolders, Tr("List files, folders, or both"));
    c.cboPathDisplay =
        Choice("cboPathDisplay",
               {Tr("Show filename only"), Tr("Show partial path"), Tr("Show full path")}, box);
    SetTip(c.cboPathDisplay, Tr("Choose depth of file/path display"));
    c.cboFilter = Choice("cboFilter",
                         {Tr("View and select all"), Tr("View matching pattern"),
                          Tr("Select matching"), Tr("Select non-matching")},
                         box);
    SetTip(c.cboFilter, Tr("Choose default display/selection"));
    c.cboSort = Choice("cboSort",
                       {
                           // TRANSLATORS: sort by name.
                           Tr("Name"),
                           // TRANSLATORS: sort by name, with the numbers in names in
                           // the order of their values (2 before 10).
                           Tr("Name, numbers by value"),
                           Tr("Modified date"),
                           // TRANSLATORS: the date a photo was taken.
                           Tr("Date taken"),
                           Tr("Size"),
                       },
                       box);
    SetTip(c.cboSort, Tr("Choose the order of the list, which autonumbers follow"));
    c.chkSortDescending = Check("chkSortDescending", Tr("Descending"), box);
    SetTip(c.chkSortDescending, Tr("List in reverse order"));

    auto* grid = new QGridLayout(box);
    grid->addWidget(Caption(Tr("Attributes:"), box), 0, 0, Qt::AlignTop);
    // Two by two keeps the right-hand column narrow.
    auto* attributes = new QGridLayout;
    const auto boxes = AttributeBoxes(c);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        attributes->addWidget(boxes[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    attributes->setColumnStretch(2, 1);
    grid->addLayout(attributes, 0, 1);
    grid->addWidget(Caption(Tr("Filter:"), box), 1, 0);
    grid->addWidget(c.txtFilter, 1, 1);
    // TRANSLATORS: what the lists show: files, folders or both.
    grid->addWidget(Caption(Tr("List:"), box), 2, 0);
    grid->addWidget(c.cboFilesFolders, 2, 1);
    // TRANSLATORS: how much of each path the lists show.
    grid->addWidget(Caption(Tr("Display:"), box), 3, 0);
    grid->addWidget(c.cboPathDisplay, 3, 1);
    grid->addWidget(Caption(Tr("Selection:"), box), 4, 0);
    grid->addWidget(c.cboFilter, 4, 1);
    grid->addWidget(Caption(Tr("Sort:"), box), 5, 0);
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
        {c.txtSwapArea[0], N_("Swap area 1")},
        {c.txtSwapArea[1], N_("Swap area 2")},
        {c.txtSwapSep, N_("Swap delimiter")},
        {c.txtPathSpliceLevels, N_("Splice levels")},
        {c.txtPathSpliceSeparator, N_("Splice separator")},
        {c.txtEliminateChars, N_("Crop characters")},
        {c.txtEliminatePosition, N_("Crop position")},
        {c.cboCropLR, N_("Crop side")},
        {c.txtChangeExt, N_("New extension")},
        {c.txtSearch, N_("Search for")},
        {c.txtReplace, N_("Replace with")},
        {c.chkRegex, N_("Search text is a regular expression")},
        {c.chkWildcard, N_("Change characters")},
        {c.txtSearchChar, N_("Characters to replace")},
        {c.txtReplaceChar, N_("Replacement characters")},
        {c.chkInsertStart, N_("Insert at start")},
        {c.txtInsertStart, N_("Insert at start text")},
        {c.chkInsertMiddle, N_("Insert at position")},
        {c.txtInsertMiddlePosition, N_("Insert position")},
        {c.txtInsertMiddle, N_("Insert text")},
        {c.chkInsertEnd, N_("Insert at end")},
        {c.txtInsertEnd, N_("Insert at end text")},
        {c.cboAutonumber, N_("Autonumber digits")},
        {c.txtAutonumberStartNum, N_("Autonumber start")},
        {c.txtAutonumberStep, N_("Autonumber step")},
        {c.txtUNL, N_("Number length")},
        {c.cboUNLLR, N_("Number side")},
        {c.cboCaseHandling, N_("Case handling")},
        {c.cboCaseRules, N_("Case rules")},
        {c.cboTextFX, N_("Text effects")},
        {c.txtFilter, N_("Filter")},
        // TRANSLATORS: what the lists show: files, folders or both.
        {c.cboFilesFolders, N_("List")},
        // TRANSLATORS: how much of each path the lists show.
        {c.cboPathDisplay, N_("Display")},
        {c.cboFilter, N_("Selection")},
        // TRANSLATORS: the order of the lists.
        {c.cboSort, N_("Sort")},
        {c.chkSortDescending, N_("Sort descending")},
    };
    for (const auto& [control, name] : names) {
        control->setAccessibleName(Tr(name));
    }
    // The autonumber box's own text field speaks for the box.
    c.cboAutonumber->lineEdit()->setAccessibleName(Tr("Autonumber digits"));
}

}  // namespace

QString AutonumberShown(std::string_view value) {
    // The entries other than numbers are words of the options, which the
    // templates and the engine read in English.
    if (value == engine::kAutonumberChoices[0]) {
        // TRANSLATORS: autonumbers are switched off.
        return Tr("Off");
    }
    if (value == engine::kAutonumberChoices[1]) {
        // TRANSLATORS: autonumbers as wide as the last number needs.
        return Tr("Auto");
    }
    return ToQString(value);
}

std::string AutonumberValue(const QString& shown) {
    for (const std::string_view word :
         {engine::kAutonumberChoices[0], engine::kAutonumberChoices[1]}) {
        if (shown == AutonumberShown(word)) {
            return std::string(word);
        }
    }
    return shown.toStdString();
}

OptionControls BuildOptionPanels(QWidget* parent) {
    OptionControls controls;
    BuildRenameOperations(controls, parent);
    BuildRenameOptions(controls, parent);
    BuildViewAndFiltering(controls, parent);
    NameForScreenReaders(controls);
    return controls;
}

}  // namespace kestrel::ui
