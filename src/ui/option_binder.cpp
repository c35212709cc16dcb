#include "ui/option_binder.h"
#include "ui/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <utility>

#include "app/workspace.h"
#include "engine/field_checks.h"
#include "ui/attribute_check_box.h"
#include "ui/tag_button.h"

namespace kestrel::ui {
namespace {

using engine::RenameOptions;

/// Sets the Workspace's busy flag for its lifetime and restores the old value.
class BusyScope {
  public:
    explicit BusyScope(app::Workspace& workspace)
        : workspace_(workspace), was_(workspace.busyFlag) {
        workspace_.busyFlag = true;
    }
    ~BusyScope() { workspace_.busyFlag = was_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    app::Workspace& workspace_;
    bool was_;
};

int BoxValue(QCheckBox* box) {
    if (auto* attribute = qobject_cast<AttributeCheckBox*>(box)) {
        return attribute->Rule();
    }
    return box->isChecked() ? 1 : 0;
}

void SetBoxValue(QCheckBox* box, int value) {
    if (auto* attribute = qobject_cast<AttributeCheckBox*>(box)) {
        attribute->SetRule(value);
    } else {
        box->setChecked(value == 1);
    }
}

template <int RenameOptions::*operation>
bool IsOn(const RenameOptions& options) {
    return options.*operation == 1;
}

bool AutonumberOn(const RenameOptions& options) {
    return !engine::AutonumberIsOff(options);
}

// Focus that moves to a message box, a menu or another window is not the user
// leaving the field.
bool LeavesField(const QFocusEvent& event) {
    switch (event.reason()) {
        case Qt::ActiveWindowFocusReason:
        case Qt::PopupFocusReason:
        case Qt::MenuBarFocusReason:
            return false;
        default:
            return true;
    }
}

}  // namespace

OptionBinder::OptionBinder(app::Workspace& workspace, const OptionControls& controls,
                           Refreshes refreshes, QObject* parent)
    : QObject(parent), workspace_(workspace), c_(controls), refreshes_(std::move(refreshes)) {
    BuildTables();
    LoadControlsFromOptions();
    Connect();
}

void OptionBinder::BuildTables() {
    using O = RenameOptions;
    const Effect P = Effect::Preview;
    const Effect W = Effect::PreviewWhileOn;
    checks_ = {
        {c_.chkReplaceWholeName, &O::chkReplaceWholeName, P, nullptr, &engine::SetReplaceWholeName},
        {c_.chkSwapSep, &O::chkSwapSep, P},
        {c_.chkPathSplice, &O::chkPathSplice, P, nullptr, &engine::SetPathSplice},
        {c_.chkCrop, &O::chkCrop, P},
        {c_.chkChangeExt, &O::chkChangeExt, P},
        {c_.chkSearchReplace, &O::chkSearchReplace, P},
        {c_.chkCaseSensitive, &O::chkCaseSensitive, W, &O::chkSearchReplace},
        {c_.chkFirstOccur, &O::chkFirstOccur, W, &O::chkSearchReplace},
        {c_.chkRegex, &O::chkRegex, W, &O::chkSearchReplace},
        {c_.chkUnderscore, &O::chkUnderscore, P},
        {c_.chkPercent20, &O::chkPercent20, P},
        {c_.chkWildcard, &O::chkWildcard, P},
        {c_.chkInsertStart, &O::chkInsertStart, P},
        {c_.chkInsertMiddle, &O::chkInsertMiddle, P},
        {c_.chkInsertEnd, &O::chkInsertEnd, P},
        {c_.chkUNL, &O::chkUNL, P},
        {c_.chkForceSingleSpaces, &O::chkForceSingleSpaces, P},
        {c_.chkExtIncluded, &O::chkExtIncluded, P},
        {c_.chkNoExt, &O::chkNoExt, P},
        {c_.chkRecurse, &O::chkRecurse, Effect::Listing, nullptr, &engine::SetRecurse},
        {c_.chkCopy, &O::chkCopy, Effect::None},
        {c_.chkNumberPerFolder, &O::chkNumberPerFolder, P},
        {c_.chkSortDescending, &O::chkSortDescending, Effect::Order},
        {c_.chkSbit, &O::chkSbit, Effect::Listing},
        {c_.chkRbit, &O::chkRbit, Effect::Listing},
        {c_.chkHbit, &O::chkHbit, Effect::Listing},
        {c_.chkAbit, &O::chkAbit, Effect::Listing},
    };

    texts_ = {
        {c_.txtSwapArea[0], [](O& o) -> std::string& { return o.txtSwapArea[0]; },
         &IsOn<&O::chkSwapSep>,
         [](const O& o) { return engine::CheckSwapArea(o.txtSwapArea[0], o.txtSwapArea[1]); }},
        {c_.txtSwapArea[1], [](O& o) -> std::string& { return o.txtSwapArea[1]; },
         &IsOn<&O::chkSwapSep>,
         [](const O& o) { return engine::CheckSwapArea(o.txtSwapArea[1], o.txtSwapArea[0]); }},
        {c_.txtSwapSep, [](O& o) -> std::string& { return o.txtSwapSep; }, &IsOn<&O::chkSwapSep>,
         [](const O& o) { return engine::CheckSwapSep(o.txtSwapSep); }},
        {c_.txtPathSpliceLevels, [](O& o) -> std::string& { return o.txtPathSpliceLevels; },
         &IsOn<&O::chkPathSplice>,
         [](const O& o) { return engine::CheckPathSpliceLevels(o.txtPathSpliceLevels); }},
        {c_.txtPathSpliceSeparator, [](O& o) -> std::string& { return o.txtPathSpliceSeparator; },
         &IsOn<&O::chkPathSplice>, nullptr, true},
        {c_.txtEliminateChars, [](O& o) -> std::string& { return o.txtEliminateChars; },
         &IsOn<&O::chkCrop>,
         [](const O& o) { return engine::CheckEliminateChars(o.txtEliminateChars); }},
        {c_.txtEliminatePosition, [](O& o) -> std::string& { return o.txtEliminatePosition; },
         &IsOn<&O::chkCrop>,
         [](const O& o) { return engine::CheckEliminatePosition(o.txtEliminatePosition); }, true},
        {c_.txtChangeExt, [](O& o) -> std::string& { return o.txtChangeExt; },
         &IsOn<&O::chkChangeExt>, nullptr, true},
        {c_.txtSearch, [](O& o) -> std::string& { return o.txtSearch; },
         &IsOn<&O::chkSearchReplace>,
         [](const O& o) {
             return o.chkRegex == 1 ? engine::CheckSearchPattern(o.txtSearch) : std::string();
         }},
        {c_.txtReplace, [](O& o) -> std::string& { return o.txtReplace; },
         &IsOn<&O::chkSearchReplace>},
        {c_.txtSearchChar, [](O& o) -> std::string& { return o.txtSearchChar; },
         &IsOn<&O::chkWildcard>},
        {c_.txtReplaceChar, [](O& o) -> std::string& { return o.txtReplaceChar; },
         &IsOn<&O::chkWildcard>},
        {c_.txtInsertStart, [](O& o) -> std::string& { return o.txtInsertStart; },
         &IsOn<&O::chkInsertStart>},
        {c_.txtInsertMiddlePosition, [](O& o) -> std::string& { return o.txtInsertMiddlePosition; },
         &IsOn<&O::chkInsertMiddle>,
         [](const O& o) { return engine::CheckInsertMiddlePosition(o.txtInsertMiddlePosition); }},
        {c_.txtInsertMiddle, [](O& o) -> std::string& { return o.txtInsertMiddle; },
         &IsOn<&O::chkInsertMiddle>},
        {c_.txtInsertEnd, [](O& o) -> std::string& { return o.txtInsertEnd; },
         &IsOn<&O::chkInsertEnd>},
        {c_.txtAutonumberStartNum, [](O& o) -> std::string& { return o.txtAutonumberStartNum; },
         &AutonumberOn},
        {c_.txtAutonumberStep, [](O& o) -> std::string& { return o.txtAutonumberStep; },
         &AutonumberOn,
         [](const O& o) { return engine::CheckAutonumberStep(o.txtAutonumberStep); }},
        {c_.txtUNL, [](O& o) -> std::string& { return o.txtUNL; }, &IsOn<&O::chkUNL>,
         [](const O& o) { return engine::CheckUNL(o.txtUNL); }},
        {c_.txtFilter, [](O& o) -> std::string& { return o.txtFilter; }, nullptr,
         [](const O& o) { return app::Workspace::CheckFilterField(o.txtFilter); }},
    };

    combos_ = {
        {c_.cboCropLR, &O::cboCropLR, W, &O::chkCrop},
        {c_.cboUNLLR, &O::cboUNLLR, W, &O::chkUNL},
        {c_.cboCaseHandling, &O::cboCaseHandling, P},
        {c_.cboCaseRules, &O::cboCaseRules, P},
        {c_.cboTextFX, &O::cboTextFX, P},
        {c_.cboFilesFolders, &O::cboFilesFolders, Effect::Listing},
        {c_.cboPathDisplay, &O::cboPathDisplay, Effect::Listing},
        {c_.cboFilter, &O::cboFilter, Effect::Listing},
        {c_.cboSort, &O::cboSort, Effect::Order},
    };
}

void OptionBinder::Connect() {
    // Every control follows its value-change signal, so that a change counts
    // whatever made it: the mouse, a key, an accessibility tool or the program.
    for (const CheckField& field : checks_) {
        connect(field.box, &QCheckBox::stateChanged, this, [this, &field] { CheckChanged(field); });
    }
    for (const TextField& field : texts_) {
        connect(field.edit, &QLineEdit::textChanged, this, [this, &field] { TextChanged(field); });
        // Enter, or an accessibility tool finishing its edit, applies a field
        // as leaving it does; a focus loss was accepted by the filter already.
        connect(field.edit, &QLineEdit::editingFinished, this, [this, &field] {
            if (std::exchange(justLeft_, nullptr) != field.edit && !rejecting_) {
                Accept(field);
            }
        });
        field.edit->installEventFilter(this);
    }
    for (const ComboField& field : combos_) {
        connect(field.combo, &QComboBox::currentIndexChanged, this,
                [this, &field] { ComboChosen(field); });
    }
    connect(c_.cboAutonumber, &QComboBox::editTextChanged, this, &OptionBinder::AutonumberEdited);
}

void OptionBinder::LoadControlsFromOptions() {
    BusyScope busy(workspace_);
    RenameOptions& options = workspace_.options;
    for (const CheckField& field : checks_) {
        SetBoxValue(field.box, options.*field.field);
    }
    for (const TextField& field : texts_) {
        // A copy: setText writes the record back through textChanged.
        const std::string text = field.field(options);
        field.edit->setText(ToQString(text));
    }
    for (const ComboField& field : combos_) {
        field.combo->setCurrentIndex(std::clamp(options.*field.field, 0, field.combo->count() - 1));
    }
    const std::string autonumber = options.cboAutonumber;
    const int listIndex = engine::AutonumberListIndex(autonumber);
    if (listIndex >= 0) {
        c_.cboAutonumber->setCurrentIndex(listIndex);
    }
    c_.cboAutonumber->setEditText(AutonumberShown(autonumber));
    options.cboAutonumber = autonumber;
    UpdateEnabledStates();
}

bool OptionBinder::Busy() const {
    return workspace_.busyFlag;
}

void OptionBinder::CheckChanged(const CheckField& field) {
    const int value = BoxValue(field.box);
    // The program setting boxes from the record (busy) only keeps the record
    // current; the coupled controls and the refresh follow a user's change.
    if (Busy() || field.coupling == nullptr) {
        workspace_.options.*field.field = value;
    } else {
        // The coupled controls follow under the busy flag, so that only this
        // change refreshes.
        BusyScope busy(workspace_);
        field.coupling(workspace_.options, value);
        LoadControlsFromOptions();
    }
    Trigger(field.effect, field.operation);
}

void OptionBinder::TextChanged(const TextField& field) {
    field.field(workspace_.options) = field.edit->text().toStdString();
    if (Busy()) {
        return;
    }
    changedSinceAccepted_.insert(field.edit);
    if (field.refreshOnChange && field.operationOn(workspace_.options)) {
        refreshes_.preview();
    } else if (workspace_.preferences.previewWhileTyping == 1) {
        FollowTyping(field);
    }
}

void OptionBinder::FollowTyping(const TextField& field) {
    if (field.check != nullptr && !field.check(workspace_.options).empty()) {
        return;
    }
    bool& due = field.operationOn == nullptr ? listingDue_ : previewDue_;
    if (field.operationOn == nullptr ? workspace_.options.cboFilter == engine::kViewAndSelectAll
                                     : !field.operationOn(workspace_.options)) {
        return;
    }
    if (std::exchange(due, true)) {
        return;
    }
    // Keys that arrive together are taken together: one refresh for all.
    QTimer::singleShot(0, this, [this, &due, listing = field.operationOn == nullptr] {
        due = false;
        if (Busy()) {
            return;
        }
        if (listing) {
            refreshes_.listing();
        } else {
            refreshes_.preview();
        }
    });
}

bool OptionBinder::Accept(const TextField& field) {
    if (field.check != nullptr) {
        const std::string message = field.check(workspace_.options);
        if (!message.empty()) {
            Reject(field.edit, message);
            return false;
        }
    }
    // Only a text changed since it was last accepted refreshes, however it
    // was changed (typed, pasted, set by an accessibility tool).
    if (changedSinceAccepted_.erase(field.edit) == 0 || Busy()) {
        return true;
    }
    if (field.operationOn == nullptr) {
        // The filter decides the listing, and only matters while a mode other
        // than "View and select all" uses it.
        if (workspace_.options.cboFilter != engine::kViewAndSelectAll) {
            refreshes_.listing();
        }
    } else if (!field.refreshOnChange && field.operationOn(workspace_.options)) {
        refreshes_.preview();
    }
    return true;
}

void OptionBinder::Apply(QLineEdit* edit) {
    for (const TextField& field : texts_) {
        if (field.edit == edit) {
            Accept(field);
            return;
        }
    }
}

void OptionBinder::Reject(QLineEdit* edit, const std::string& message) {
    rejecting_ = true;
    workspace_.Window().Ask(message, app::kProgramTitle, app::Buttons::Ok, app::Icon::Exclamation);
    edit->setFocus(Qt::OtherFocusReason);
    rejecting_ = false;
    // The message box hands the focus back to whatever had it when it closes,
    // which may happen after this returns.
    QTimer::singleShot(0, edit, [this, edit] {
        rejecting_ = true;
        edit->setFocus(Qt::OtherFocusReason);
        rejecting_ = false;
    });
}

bool OptionBinder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !rejecting_ &&
        LeavesField(*static_cast<QFocusEvent*>(event))) {
        for (const TextField& field : texts_) {
            if (field.edit == watched) {
                Accept(field);
                // The field's own editingFinished for this focus loss follows.
                justLeft_ = field.edit;
                QTimer::singleShot(0, this, [this] { justLeft_ = nullptr; });
                break;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void OptionBinder::ComboChosen(const ComboField& field) {
    workspace_.options.*field.field = field.combo->currentIndex();
    Trigger(field.effect, field.operation);
}

void OptionBinder::AutonumberEdited(const QString& text) {
    workspace_.options.cboAutonumber = AutonumberValue(text);
    if (Busy()) {
        return;
    }
    const std::string message = engine::CheckAutonumberText(workspace_.options.cboAutonumber);
    if (!message.empty()) {
        workspace_.Window().Ask(message, app::kProgramTitle, app::Buttons::Ok,
                                app::Icon::Exclamation);
        BusyScope busy(workspace_);
        const std::string automatic(engine::kAutonumberChoices[1]);
        c_.cboAutonumber->setEditText(AutonumberShown(automatic));
        workspace_.options.cboAutonumber = automatic;
    }
    refreshes_.preview();
}

void OptionBinder::Trigger(Effect effect, int RenameOptions::*operation) {
    if (Busy()) {
        return;
    }
    switch (effect) {
        case Effect::Preview:
            refreshes_.preview();
            break;
        case Effect::PreviewWhileOn:
            if (workspace_.options.*operation == 1) {
                refreshes_.preview();
            }
            break;
        case Effect::Listing:
            refreshes_.listing();
            break;
        case Effect::Order:
            refreshes_.order();
            break;
        case Effect::None:
            break;
    }
}

void OptionBinder::UpdateEnabledStates() {
    const bool searchAndReplace = engine::SearchAndReplaceEnabled(workspace_.options);
    for (QWidget* control : std::initializer_list<QWidget*>{
             c_.chkSwapSep, c_.txtSwapSep, c_.chkSearchReplace, c_.txtSearch, c_.lblWith,
             c_.txtReplace, c_.cmdTagsReplace, c_.chkCaseSensitive, c_.chkFirstOccur, c_.chkRegex,
             c_.chkUnderscore, c_.chkPercent20, c_.chkWildcard}) {
        control->setEnabled(searchAndReplace);
    }
    c_.cboPathDisplay->setEnabled(engine::PathDisplayEnabled(workspace_.options));
}

}  // namespace kestrel::ui
