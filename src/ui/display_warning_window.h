#pragma once

#include <QDialog>

class QCheckBox;

namespace kestrel::settings {
class SettingsStore;
}

// The warning shown when the desktop is smaller than the main window needs.
// It is advisory: "Continue" goes on, "Exit" ends the program.
namespace kestrel::ui {

class DisplayWarningWindow : public QDialog {
    Q_OBJECT
  public:
    enum Choice { kContinue = QDialog::Accepted, kExit = QDialog::Rejected };

    DisplayWarningWindow(settings::SettingsStore& store, QWidget* parent = nullptr);

  private:
    void RememberChoice(bool disabled);
    void ChangeDisplaySettings();

    settings::SettingsStore& store_;
};

}  // namespace kestrel::ui
