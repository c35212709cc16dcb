#pragma once

#include <QDialog>
#include <functional>

#include "settings/template_manager.h"

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kestrel::app {
class Workspace;
}

// The Template Manager window (frmTemplates): shows a TemplateManagerModel and
// hands its controls' events to it. It is made on first use and afterwards
// only hidden, so its list is read from the store once per run.
namespace kestrel::ui {

class TemplateManagerWindow : public QDialog {
    Q_OBJECT
  public:
    /// "&Use": loads the template into the main window and re-reads the folder.
    using UseTemplate = std::function<void(int number)>;

    TemplateManagerWindow(app::Workspace& workspace, settings::SettingsStore& store,
                          UseTemplate useTemplate, QWidget* parent = nullptr);

  private:
    /// Brings the list, the name box, the caption and the buttons to the model.
    void ShowModel();
    void Use();

    settings::SettingsStore& store_;
    UseTemplate useTemplate_;
    settings::TemplateManagerModel model_;
    QGroupBox* fmeTemplates_ = nullptr;
    QListWidget* lstTemplates_ = nullptr;
    QLineEdit* txtTemplate_ = nullptr;
    QPushButton* cmdUse_ = nullptr;
    QPushButton* cmdAdd_ = nullptr;
    QPushButton* cmdModify_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdDeleteAll_ = nullptr;
    /// Set while ShowModel changes the controls, whose signals then are not the user's.
    bool showing_ = false;
};

}  // namespace kestrel::ui
