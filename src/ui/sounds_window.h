#pragma once

#include <QDialog>
#include <array>

#include "settings/sound_table.h"

class QLineEdit;
class QPushButton;

namespace kestrel::settings {
class SettingsStore;
}

// The Sounds window (frmSounds): the sound file of each of Kestrel's two
// sound events. The desktop has no sound scheme that names Kestrel's events,
// so Kestrel offers this instead. A choice counts at once: it is stored in the
// user scope and put into the table the preview plays from.
namespace kestrel::ui {

class QtUi;

class SoundsWindow : public QDialog {
    Q_OBJECT
  public:
    /// Without a store the choices last until the program ends.
    SoundsWindow(settings::SettingsStore* store, settings::SoundTable& table, QtUi& ui,
                 QWidget* parent = nullptr);

    /// Shows the table's files; run before each opening.
    void Load();

  private:
    struct EventRow {
        settings::SoundEvent event;
        QLineEdit* file = nullptr;
        QPushButton* browse = nullptr;
        QPushButton* test = nullptr;
        QPushButton* none = nullptr;
        QPushButton* desktop = nullptr;
        QString desktopFile;  // the theme's sound for the event, empty when not installed
    };

    void Choose(EventRow& row, const QString& file);
    void Browse(EventRow& row);
    void Test(const EventRow& row);

    settings::SettingsStore* store_;
    settings::SoundTable& table_;
    QtUi& ui_;
    std::array<EventRow, settings::kSoundEvents.size()> rows_{};
    bool loading_ = false;
};

}  // namespace kestrel::ui
