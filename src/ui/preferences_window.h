#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QToolButton;

namespace kestrel::app {
class Workspace;
}
namespace kestrel::platform {
enum class DesktopTool;
}

// The Preferences window (frmPreferences): every program-wide setting of the
// Workspace's Preferences record. The controls are filled from the record at
// each opening; "&OK" copies them back and "&Cancel" leaves the record as it
// was. The window never writes the store: the record reaches it with the
// templates.
namespace kestrel::ui {

class QtUi;
class SoundsWindow;

class PreferencesWindow : public QDialog {
    Q_OBJECT
  public:
    struct Hooks {
        /// Opens the Template Manager, which the main window owns.
        std::function<void()> openTemplates;
        /// "Check for &Update": the Internet update check, asked for by the user.
        std::function<void()> checkForUpdate;
    };

    PreferencesWindow(app::Workspace& workspace, QtUi& ui, Hooks hooks, QWidget* parent = nullptr);

    /// Fills every control from the record; run before each opening.
    void DownloadSettings();
    /// Shows the record again after a template replaced it while the window is
    /// open, so that "&OK" does not put the old values back.
    void ShowRecord();
    /// "&OK": copies the controls into the record and closes; refused (the
    /// window stays) while the cutoff is out of range.
    void accept() override;
    /// "&Cancel", Escape and the window's close box.
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildDisplayFrame();
    QWidget* BuildSaveFrame();
    QWidget* BuildMouseFrame();
    QWidget* BuildInternetFrame();
    QWidget* BuildSoundsFrame();
    QWidget* BuildProcessingFrame();
    QWidget* BuildLengthFrame();
    QWidget* BuildErrorFrame();
    void Connect();

    /// The captions that tell what each slider's value means.
    void ShowSliderCaptions();
    /// Shows the speaker image `index` (0 sounds on, 1 muted) and hides the other.
    void ShowSpeaker(int index);
    /// The cutoff check; false (with the message shown and the focus kept) when refused.
    bool CheckCutoff();
    void StartTool(platform::DesktopTool tool, const char* missingMessage);
    void OpenSounds();

    app::Workspace& workspace_;
    QtUi& ui_;
    Hooks hooks_;
    SoundsWindow* sounds_ = nullptr;
    /// The save box's state before this opening, for "&Cancel" to restore.
    bool saveBoxBefore_ = true;
    int speaker_ = 0;
    /// Set while a refused cutoff takes the focus back.
    bool rejectingCutoff_ = false;

    QPushButton* cmdDisplay_ = nullptr;
    QComboBox* cboDisplay_ = nullptr;
    QComboBox* cboPathStyle_ = nullptr;
    QPushButton* cmdTemplates_ = nullptr;
    QCheckBox* chkSaveTemplate_ = nullptr;
    QPushButton* cmdMouse_ = nullptr;
    QComboBox* cboDClickFile_ = nullptr;
    QComboBox* cboDClickFolder_ = nullptr;
    QPushButton* cmdDialUp_ = nullptr;
    QPushButton* cmdInternet_ = nullptr;
    QPushButton* cmdCheck_ = nullptr;
    QCheckBox* chkAutoUpdate_ = nullptr;
    QPushButton* cmdSounds_ = nullptr;
    QSlider* sldSoundsTime_ = nullptr;
    QLabel* lblSoundsThreshold_ = nullptr;
    std::array<QToolButton*, 2> imgSpeaker_{};
    QCheckBox* chkAutoRefresh_ = nullptr;
    QCheckBox* chkPreviewWhileTyping_ = nullptr;
    QCheckBox* chkAutoResetOptions_ = nullptr;
    QCheckBox* chkHideLists_ = nullptr;
    QCheckBox* chkMaxList_ = nullptr;
    QLineEdit* txtMaxListCutoff_ = nullptr;
    QCheckBox* chkMaxLength_ = nullptr;
    QSlider* sldMaxLength_ = nullptr;
    QSlider* sldErrorCheck_ = nullptr;
    QLabel* lblErrorCheck_ = nullptr;
    QPushButton* btnOK_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
};

}  // namespace kestrel::ui
