#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/ui.h"
#include "platform/program_runner.h"
#include "platform/sound_player.h"

class QLabel;
class QPrinter;
class QProgressBar;
class QWidget;

namespace kestrel::platform {
class DriveTable;
}

// The window interface on Qt Widgets. The main window hands over its status
// panels, progress bars and lists once it is built; until then status texts
// are kept and shown when the panels arrive.
namespace kestrel::ui {

class StatusPanels;

class SplashWindow;

/// The parts of the main window the core reaches through the interface.
struct WindowParts {
    std::array<QLabel*, 3> statusPanels{};        // StatMsg, StatSource, StatDest
    std::array<QProgressBar*, 2> progressBars{};  // ProgressBar1, ProgressBar2
    QWidget* sourceList = nullptr;
    QWidget* targetList = nullptr;
    QWidget* window = nullptr;  // parent of the message boxes
    /// Shares the status bar's width among the panels by their texts.
    StatusPanels* statusBar = nullptr;
};

/// The message-box text with the core's CR line breaks turned into "\n".
QString DisplayText(std::string_view text);

/// A file or folder the platform's dialog asks for.
struct FileRequest {
    /// HostFolder asks for a folder of this machine and answers with its host
    /// path: what a drive letter is made to stand for.
    enum class Kind { Open, Save, Folder, HostFolder };
    Kind kind = Kind::Open;
    QString title;
    QStringList filters;    // "Case Rules (*.csr)"
    QString defaultSuffix;  // without the dot
    /// The program path (a host path for HostFolder) of the folder to start
    /// in; empty for the dialog's own.
    std::string folder;
    /// What the file name box holds at first ("*.csr"); empty for nothing.
    QString initialName;
};

enum class PrinterDialog { Print, PageSetup };

class QtUi : public app::Ui {
  public:
    /// Takes the place of the modal message box (tests answer through it).
    using AskHook = std::function<app::Answer(std::string_view text, std::string_view title,
                                              app::Buttons buttons, app::Icon icon)>;
    using InputHook = std::function<std::optional<std::string>(
        std::string_view prompt, std::string_view title, std::string_view initial)>;
    /// Takes the place of the file dialogs; answers with a program path.
    using FileHook = std::function<std::optional<std::string>(const FileRequest& request)>;
    /// Takes the place of the print and page setup dialogs; true for OK.
    using PrinterHook = std::function<bool(QPrinter& printer, PrinterDialog dialog)>;

    QtUi();
    ~QtUi() override;
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    void AttachWindow(const WindowParts& parts);
    void AttachSplash(SplashWindow* splash) { splash_ = splash; }
    void SetAskHook(AskHook hook) { askHook_ = std::move(hook); }
    void SetInputHook(InputHook hook) { inputHook_ = std::move(hook); }
    void SetFileHook(FileHook hook) { fileHook_ = std::move(hook); }
    void SetPrinterHook(PrinterHook hook) { printerHook_ = std::move(hook); }
    /// Turns the host paths of the file dialogs into program paths and back;
    /// without a table they pass as they are, which the file layer accepts.
    void SetDrives(const platform::DriveTable* drives) { drives_ = drives; }

    /// The platform's file dialog; the chosen program path (a folder with its
    /// trailing backslash), nullopt when cancelled.
    std::optional<std::string> ChooseFile(const FileRequest& request);
    /// The platform's print or page setup dialog on `printer`; false when cancelled.
    bool AskPrinter(QPrinter& printer, PrinterDialog dialog);
    /// The desktop programs the windows start (settings tools); tests record them.
    void SetProgramRunner(platform::ProgramRunner& programs) { programs_ = &programs; }
    platform::ProgramRunner& Programs() { return *programs_; }
    /// The player of the completion sounds and the Sounds window's Test button.
    void SetSoundPlayer(platform::SoundPlayer& player) { player_ = &player; }
    platform::SoundPlayer& Player() { return *player_; }

    app::Answer Ask(std::string_view text, std::string_view title, app::Buttons buttons,
                    app::Icon icon) override;
    std::optional<std::string> Input(std::string_view prompt, std::string_view title,
                                     std::string_view initial) override;
    void SetStatus(app::StatusPanel panel, std::string_view text) override;
    void ShowProgress(app::Progress bar, int maximum) override;
    void SetProgress(app::Progress bar, int value) override;
    void HideProgress(app::Progress bar) override;
    void SetPointer(app::Pointer pointer) override;
    void SetListsVisible(bool visible) override;
    bool SplashShowing() const override;
    void SetSplashStatus(std::string_view text) override;
    void PlaySound(std::string_view file) override;
    void ProcessPendingEvents() override;

    /// Puts the newest progress values on screen now.
    void Flush();

  private:
    void RepaintWhenDue();

    WindowParts parts_;
    SplashWindow* splash_ = nullptr;
    QWidget* DialogParent() const;

    AskHook askHook_;
    InputHook inputHook_;
    FileHook fileHook_;
    PrinterHook printerHook_;
    const platform::DriveTable* drives_ = nullptr;
    platform::PathProgramRunner pathPrograms_;
    platform::DesktopSoundPlayer desktopPlayer_{pathPrograms_};
    platform::ProgramRunner* programs_ = &pathPrograms_;
    platform::SoundPlayer* player_ = &desktopPlayer_;
    /// Owns the timers of programs being watched, so that none outlives this.
    QObject watchTimers_;
    std::array<std::string, 3> statusTexts_;
    std::array<int, 2> progressValues_{};
    QElapsedTimer sinceRepaint_;
    app::Pointer pointer_ = app::Pointer::Normal;
};

}  // namespace kestrel::ui
