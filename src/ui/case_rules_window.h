#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "ui/qt_ui.h"

class QLineEdit;
class QListView;
class QPushButton;

namespace kestrel::app {
class Workspace;
}

// The Case Rule Editor (frmCaseRules): edits the Workspace's one list of case
// rules in place, asking the conflict questions through the window interface.
// It is made on first use and afterwards only hidden; closing it recomputes
// the preview, which the rules may have changed.
namespace kestrel::ui {

class CaseRuleModel;

class CaseRulesWindow : public QDialog {
    Q_OBJECT
  public:
    CaseRulesWindow(app::Workspace& workspace, QtUi& ui, std::function<void()> rulesChanged,
                    QWidget* parent = nullptr);

    /// Shows the list as it is now, with no rule current and the input empty.
    void ShowRules();
    /// "&OK", Escape and the close box alike: the edits are already in the list.
    void accept() override;
    void reject() override;

  private:
    void Connect();
    std::optional<int> Current() const;
    void SetCurrent(std::optional<int> row);
    void InputChanged();
    void Add();
    void Modify();
    void Delete();
    void LoadOrMerge(bool merge);
    void SaveAs();
    FileRequest RuleFileRequest(FileRequest::Kind kind, const QString& title,
                                const QStringList& filters);
    /// Recomputes the enabled buttons from the list and the input.
    void SyncButtons();

    app::Workspace& workspace_;
    QtUi& ui_;
    std::function<void()> rulesChanged_;
    CaseRuleModel* model_ = nullptr;
    QListView* lstCases_ = nullptr;
    QLineEdit* txtCaseInput_ = nullptr;
    QPushButton* btnCaseAdd_ = nullptr;
    QPushButton* btnCaseModify_ = nullptr;
    QPushButton* btnCaseDelete_ = nullptr;
    QPushButton* btnCaseDeleteAll_ = nullptr;
    QPushButton* btnLoad_ = nullptr;
    QPushButton* cmdMerge_ = nullptr;
    QPushButton* btnSaveAs_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    /// Set while the window itself changes the input or the current rule.
    bool updating_ = false;
};

}  // namespace kestrel::ui
