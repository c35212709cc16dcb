#include "ui/case_rules_window.h"

#include <QAbstractListModel>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/case_rule_files.h"
#include "app/workspace.h"
#include "exchange/export_formats.h"
#include "platform/path_tools.h"
#include "ui/dialog_controls.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"

namespace kestrel::ui {

/// The rules with a check box each, read straight from the Workspace's list.
class CaseRuleModel : public QAbstractListModel {
  public:
    CaseRuleModel(engine::CaseRuleList& rules, QObject* parent)
        : QAbstractListModel(parent), rules_(rules) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : rules_.Size();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rules_.Size()) {
            return {};
        }
        const engine::CaseRule& rule = rules_.At(index.row());
        if (role == Qt::DisplayRole) {
            return ToQString(rule.text);
        }
        if (role == Qt::CheckStateRole) {
            return rule.marked ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        if (role != Qt::CheckStateRole ||
            !rules_.SetMarked(index.row(), value.toInt() == Qt::Checked)) {
            return false;
        }
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return QAbstractListModel::flags(index) | Qt::ItemIsUserCheckable;
    }
    /// After the list changed in any other way.
    void Reload() {
        beginResetModel();
        endResetModel();
    }

  private:
    engine::CaseRuleList& rules_;
};

namespace {

// A file dialog's filter: the name the user reads, then the patterns the
// dialog matches, which no translation may change.
QString Filter(const QString& name, const char* patterns) {
    return name + QStringLiteral(" (") + QLatin1String(patterns) + QLatin1Char(')');
}

// Made at each use, in the user's language: a list made at start-up would be
// in English whatever the language.
QStringList SaveFilters() {
    QStringList filters;
    filters << Filter(Tr("Case Rules"), "*.csr");
    // TRANSLATORS: The name of the file type "*.ini" in a file dialog.
    filters << Filter(Tr("Initialization"), "*.ini");
    return filters;
}

QStringList OpenFilters() {
    QStringList filters = SaveFilters();
    filters << Filter(Tr("Text Files"), "*.txt") << Filter(Tr("All Files"), "*");
    return filters;
}

}  // namespace

CaseRulesWindow::CaseRulesWindow(app::Workspace& workspace, QtUi& ui,
                                 std::function<void()> rulesChanged, QWidget* parent)
    : QDialog(parent), workspace_(workspace), ui_(ui), rulesChanged_(std::move(rulesChanged)) {
    setObjectName(QStringLiteral("frmCaseRules"));
    setWindowTitle(Tr("Case Rule Editor"));
    setWindowModality(Qt::ApplicationModal);

    model_ = new CaseRuleModel(workspace_.caseRules, this);
    lstCases_ = Named(new QListView(this), "LstCases");
    lstCases_->setModel(model_);
    lstCases_->setUniformItemSizes(true);
    lstCases_->setMinimumSize(240, 300);
    txtCaseInput_ = Named(new QLineEdit(this), "txtCaseInput");
    txtCaseInput_->setAccessibleName(Tr("Case rule"));

    struct ButtonRow {
        QPushButton*& button;
        const char* name;
        const char* caption;
        const char* tip;
    };
    const ButtonRow rows[] = {
        {btnCaseAdd_, "btnCaseAdd", N_("&Add"), N_("Add a Case Rule")},
        {btnCaseModify_, "btnCaseModify", N_("&Modify"), N_("Modifies current Case Rule")},
        {btnCaseDelete_, "btnCaseDelete", N_("&Delete"), N_("Delete current Case Rule")},
        {btnCaseDeleteAll_, "btnCaseDeleteAll", N_("Delete all"), N_("Clears list of Case Rules")},
        {btnLoad_, "btnLoad", N_("&Load"), N_("Clears list and loads Case Rules from file")},
        {cmdMerge_, "cmdMerge", N_("&Merge"), N_("Loads Case Rules from file")},
        {btnSaveAs_, "btnSaveAs", N_("&Save As"), N_("Saves current Case Rules to a file")},
        {cmdOK_, "cmdOK", N_("&OK"), nullptr},
    };
    auto* buttons = new QVBoxLayout;
    for (const ButtonRow& row : rows) {
        row.button = DialogButton(row.name, Tr(row.caption), this);
        if (row.tip != nullptr) {
            row.button->setToolTip(Tr(row.tip));
        }
        buttons->addWidget(row.button);
        // The file commands and "&OK" stand apart from the editing ones.
        if (row.button == btnCaseDeleteAll_ || row.button == btnSaveAs_) {
            buttons->addSpacing(12);
        }
    }
    buttons->insertStretch(buttons->count() - 1, 1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(FieldLabel(Tr("Case Rules"), lstCases_, this), 0, 0);
    grid->addWidget(lstCases_, 1, 0);
    grid->addWidget(txtCaseInput_, 2, 0);
    grid->addLayout(buttons, 1, 1, 2, 1);
    grid->setRowStretch(1, 1);
    setTabOrder(txtCaseInput_, lstCases_);
    Connect();
    ShowRules();
}

void CaseRulesWindow::Connect() {
    connect(txtCaseInput_, &QLineEdit::textChanged, this, &CaseRulesWindow::InputChanged);
    // Choosing a rule, by mouse or keys, puts it in the input to be modified.
    connect(lstCases_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!updating_ && current.isValid()) {
                    txtCaseInput_->setText(ToQString(workspace_.caseRules.At(current.row()).text));
                }
            });
    connect(btnCaseAdd_, &QPushButton::clicked, this, &CaseRulesWindow::Add);
    connect(btnCaseModify_, &QPushButton::clicked, this, &CaseRulesWindow::Modify);
    connect(btnCaseDelete_, &QPushButton::clicked, this, &CaseRulesWindow::Delete);
    connect(btnCaseDeleteAll_, &QPushButton::clicked, this, [this] {
        engine::DeleteAllCaseRules(workspace_.caseRules);
        model_->Reload();
        SyncButtons();
    });
    connect(btnLoad_, &QPushButton::clicked, this, [this] { LoadOrMerge(false); });
    connect(cmdMerge_, &QPushButton::clicked, this, [this] { LoadOrMerge(true); });
    connect(btnSaveAs_, &QPushButton::clicked, this, &CaseRulesWindow::SaveAs);
    connect(cmdOK_, &QPushButton::clicked, this, &CaseRulesWindow::accept);
}

void CaseRulesWindow::ShowRules() {
    model_->Reload();
    lstCases_->scrollToTop();
    SetCurrent(std::nullopt);
    updating_ = true;
    txtCaseInput_->clear();
    updating_ = false;
    SyncButtons();
}

void CaseRulesWindow::accept() {
    hide();
    if (rulesChanged_) {
        rulesChanged_();
    }
}

void CaseRulesWindow::reject() {
    accept();
}

std::optional<int> CaseRulesWindow::Current() const {
    const QModelIndex current = lstCases_->currentIndex();
    return current.isValid() ? std::optional<int>(current.row()) : std::nullopt;
}

void CaseRulesWindow::SetCurrent(std::optional<int> row) {
    updating_ = true;
    if (row) {
        lstCases_->setCurrentIndex(model_->index(*row));
        lstCases_->scrollTo(model_->index(*row));
    } else {
        lstCases_->setCurrentIndex(QModelIndex());
    }
    updating_ = false;
}

void CaseRulesWindow::InputChanged() {
    if (updating_) {
        SyncButtons();
        return;
    }
    // A rule is one word: separators typed (or pasted) at its end are taken
    // off again, with one message however many there were.
    std::string input = txtCaseInput_->text().toStdString();
    std::string message;
    for (engine::CaseInputCheck check = engine::CheckCaseRuleInput(input); !check.message.empty();
         check = engine::CheckCaseRuleInput(input)) {
        input = check.input;
        message = check.message;
    }
    if (!message.empty()) {
        updating_ = true;
        txtCaseInput_->setText(ToQString(input));
        updating_ = false;
        ui_.Ask(message, app::kProgramTitle, app::Buttons::Ok, app::Icon::Exclamation);
        txtCaseInput_->setFocus(Qt::OtherFocusReason);
    }
    SyncButtons();
}

void CaseRulesWindow::Add() {
    const std::optional<int> added = engine::AddCaseRule(
        workspace_.caseRules, txtCaseInput_->text().toStdString(), app::RuleConflictAskerFor(ui_));
    model_->Reload();
    SetCurrent(added);
    txtCaseInput_->clear();
    txtCaseInput_->setFocus(Qt::OtherFocusReason);
}

void CaseRulesWindow::Modify() {
    const std::optional<int> current = Current();
    if (engine::ModifyCaseRule(workspace_.caseRules, current,
                               txtCaseInput_->text().toStdString())) {
        model_->Reload();
        SetCurrent(current);
        txtCaseInput_->clear();
    }
}

void CaseRulesWindow::Delete() {
    const std::optional<int> next = engine::DeleteCaseRule(workspace_.caseRules, Current());
    model_->Reload();
    SetCurrent(next);
    SyncButtons();
}

void CaseRulesWindow::LoadOrMerge(bool merge) {
    const std::optional<std::string> file = ui_.ChooseFile(RuleFileRequest(
        FileRequest::Kind::Open,
        merge ? Tr("Select case rules file") : Tr("Select Case Rules File"), OpenFilters()));
    if (!file) {
        return;
    }
    if (merge) {
        workspace_.ReadCaseRules(*file, engine::kConflictAskYesNoCancel);
    } else {
        // The list is emptied only once the file has been read.
        workspace_.DisableButtons();
        app::LoadCaseRules(workspace_.FileSystem(), ui_, workspace_.caseRules, *file);
        workspace_.EnableButtons();
    }
    ShowRules();
}

void CaseRulesWindow::SaveAs() {
    const std::optional<std::string> file = ui_.ChooseFile(
        RuleFileRequest(FileRequest::Kind::Save, Tr("Select Case Rules File"), SaveFilters()));
    if (!file) {
        return;
    }
    // Rules the user believes saved must not be lost unseen.
    const platform::FileError error =
        app::CaseRulesSave(workspace_.FileSystem(), workspace_.caseRules, *file);
    if (!error.Ok()) {
        ui_.Ask(exchange::OutputErrorText(error, "writing", workspace_.Paths().Path(*file)),
                app::kProgramTitle, app::Buttons::Ok, app::Icon::Exclamation);
    }
}

FileRequest CaseRulesWindow::RuleFileRequest(FileRequest::Kind kind, const QString& title,
                                             const QStringList& filters) {
    FileRequest request{kind, title, filters, QStringLiteral("csr"), {}, QStringLiteral("*.csr")};
    // The dialogs start in the user's rule folder, where the default rule
    // file is read from at start; saving there is what keeps rules.
    const std::string ruleFolder = workspace_.DataFolder() + "Case Rules\\";
    platform::MakeFolderTree(workspace_.FileSystem(), ruleFolder);
    if (workspace_.FileSystem().IsFolder(ruleFolder)) {
        request.folder = ruleFolder;
    }
    return request;
}

void CaseRulesWindow::SyncButtons() {
    const engine::CaseEditorButtons states = engine::CaseEditorButtonStates(
        workspace_.caseRules.Size(), txtCaseInput_->text().toStdString());
    btnCaseAdd_->setEnabled(states.add);
    btnCaseModify_->setEnabled(states.modify);
    btnCaseDelete_->setEnabled(states.remove);
    btnCaseDeleteAll_->setEnabled(states.deleteAll);
    cmdMerge_->setEnabled(states.merge);
    // Enter adds the rule being typed; with nothing typed it closes the editor.
    btnCaseAdd_->setDefault(states.add);
    cmdOK_->setDefault(!states.add);
}

}  // namespace kestrel::ui
