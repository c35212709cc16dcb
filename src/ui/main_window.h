#pragma once

#include <QItemSelection>
#include <QMainWindow>
#include <QPalette>
#include <QPointer>
#include <array>
#include <functional>
#include <string_view>

#include "app/command_buttons.h"
#include "browse/folder_browser.h"
#include "platform/drive_table.h"
#include "ui/option_controls.h"

class QDialog;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kestrel::app {
class Workspace;
}

// The main window (frmMain): the option panels, the two lists with their
// folder boxes, the command buttons and the status bar. It holds no state of
// its own beyond the widgets: every command runs on the Workspace, and the
// window then mirrors the Workspace's rows, selection and button states.
namespace kestrel::ui {

class StatusPanels;

class BrowseWindow;
class AboutWindow;
class CaseRulesWindow;
class ExportWindow;
class FileListView;
class ListInteraction;
class OptionBinder;
class PreferencesWindow;
class ProgressWindow;
class QtUi;
class SourceListModel;
class TargetListModel;
class TemplateManagerWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    struct Hooks {
        /// Runs when the user (not the program) closes the window; left and
        /// top edge in twips.
        std::function<void(int left, int top)> shutdown;
        /// Turns typed and dropped host paths into program paths, and is what
        /// the folder browser lists and maps; none keeps typed text as typed
        /// and browses a table of C: alone.
        platform::DriveTable* drives = nullptr;
        /// Shows the desktop file manager's properties of a host path; false
        /// (or none) shows Kestrel's own Properties window.
        std::function<bool(const QString& hostPath)> desktopProperties;
    };

    MainWindow(app::Workspace& workspace, QtUi& ui, Hooks hooks, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// The window's left and top edge (its frame's) in twips, as the settings
    /// keep them and the start-up places the window by them.
    QPoint PositionInTwips() const;

    /// Brings every control, both lists and the buttons to the Workspace's state.
    void SyncFromWorkspace();
    /// Sets the option controls from the Workspace's options (refreshes suppressed).
    void LoadControlsFromOptions();
    /// Once the event loop is idle, gives what a listing freed back to the system.
    void ReturnFreeMemoryWhenIdle();

    // The window's commands, as its buttons and keys run them.
    void RefreshPreview();
    void RefreshListing();
    /// "&Refresh": re-reads the folder even with "Auto refresh" off.
    void RefreshForced();
    void DoIt();
    void Undo();
    void BackUpOneLevel();
    void SelectAllRows(bool selected);
    /// "Reset &Options": Shift+Ctrl (without Alt) restores the factory settings,
    /// anything else loads the default template.
    void ResetOptions(Qt::KeyboardModifiers modifiers);
    /// "Pre&ferences": the Preferences window, filled from the record.
    void ShowPreferences();
    /// "&Templates", and "&Template Manager" in the Preferences window.
    void ShowTemplateManager();
    /// Shows a window of the program: modal, without a nested event loop.
    void ShowDialog(QDialog* dialog);
    /// Puts the Workspace's folder texts into the folder boxes.
    void ShowFolders();
    /// Shows a source row's new text after it was renamed on its own.
    void SourceRowChanged(int row);
    /// The state of the Up button above the source or the target list.
    bool UpEnabled(bool source) const;
    /// "Edit &Case Rules": the Case Rule Editor on the Workspace's rules.
    void ShowCaseRules();
    /// A "Print..." button: the Import/Export/Print window for that button's list.
    void ShowExport(bool source);
    /// A "Browse..." button: the folder browser for the working or the target folder.
    void Browse(browse::BrowseTarget target);
    /// The import's folder button: the folder browser as it was last prepared;
    /// `closed` gets the tree's path when it closes, by OK or Cancel.
    void BrowseForImport(std::function<void(const std::string& treePath)> closed);
    /// "Lock source and target folders": navigation moves both folders.
    bool FoldersLocked() const { return browserState_.lockFolders; }
    /// "&About": the About box.
    void ShowAbout();
    /// "&Help" and F1: the manual in the desktop's browser, at its first page
    /// or at `page`.
    void ShowHelp(std::string_view page = "index.html");
    /// The Internet update check in `mode`; `status` hears the status text
    /// once the version file has been read.
    void CheckForUpdate(int mode, bool force,
                        const std::function<void(std::string_view)>& status = {});
    /// Once the window is shown at start-up: the automatic check, when "Auto
    /// update" is on, left to the event loop so that it never holds the start.
    void ScheduleAutomaticUpdateCheck();

    FileListView* SourceList() const { return sourceList_; }
    FileListView* TargetList() const { return targetList_; }
    ListInteraction* Lists() const { return lists_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildFolderColumn(bool source);
    QWidget* BuildCommandButtons();
    void BuildStatusBar();
    void ConnectLists();
    void ConnectFolderBoxes();
    /// The tag buttons list the values of the current row and apply what they insert.
    void ConnectTagButtons();
    QPushButton* MakeButton(app::CommandButton button, const char* name, const QString& caption,
                            const QString& toolTip);

    /// Runs a command that may re-read the folder, then mirrors its results.
    void RunListingCommand(const std::function<void()>& command);
    void MirrorSelection();
    /// Selects the flagged rows of the target list (its warning look).
    void MirrorFlaggedRows();
    void SourceSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void AlignTargetWithSource();
    void SyncButtons();
    void FolderEdited(QLineEdit* box, QPushButton* up, std::string& folder);
    void FolderEntered(QLineEdit* box, std::string& folder);
    /// The folder a box's text names, in program form: typed as this
    /// computer writes paths or with drive letters.
    std::string BoxFolder(const QLineEdit* box) const;
    /// Shows `folder` in a box as the user reads paths; the box's change
    /// does not write back what is already the Workspace's.
    void ShowFolder(QLineEdit* box, const std::string& folder);
    /// A folder or file dropped from the desktop onto either list or folder box.
    void FolderDropped(bool source, const QString& hostPath);
    /// The drive letters the window was given, else its own table.
    platform::DriveTable& Drives() {
        return hooks_.drives != nullptr ? *hooks_.drives : ownDrives_;
    }
    BrowseWindow* Browser();
    void MarkTargetElsewhere();
    /// The window's shortcuts; `target` is the control the key went to.
    bool HandleWindowKey(const QKeyEvent& event, const QObject& target);
    /// Applies template `number` and shows its options and folders (no refresh).
    void LoadTemplateIntoControls(int number);
    /// Ends the program as closing the window does, so that an updater that
    /// has just started can replace it.
    void ShutdownForUpdate();

    app::Workspace& workspace_;
    QtUi& ui_;
    Hooks hooks_;
    OptionControls controls_;
    OptionBinder* binder_ = nullptr;
    SourceListModel* sourceModel_ = nullptr;
    TargetListModel* targetModel_ = nullptr;
    FileListView* sourceList_ = nullptr;
    FileListView* targetList_ = nullptr;
    QLineEdit* txtSourceDir_ = nullptr;
    QLineEdit* txtDestDir_ = nullptr;
    QPushButton* cmdUp_ = nullptr;
    QPushButton* cmdUpDest_ = nullptr;
    std::array<QPushButton*, static_cast<std::size_t>(app::CommandButton::Count)> buttons_{};
    StatusPanels* statusPanels_ = nullptr;
    PreferencesWindow* preferences_ = nullptr;
    TemplateManagerWindow* templates_ = nullptr;
    QPalette targetElsewherePalette_;
    ListInteraction* lists_ = nullptr;
    CaseRulesWindow* caseRules_ = nullptr;
    /// Ended by its "&Close" and made anew at the next opening.
    QPointer<ExportWindow> export_;
    /// The drive table of a window given none: C: alone.
    platform::DriveTable ownDrives_;
    browse::BrowserState browserState_;
    BrowseWindow* browser_ = nullptr;
    AboutWindow* about_ = nullptr;
    ProgressWindow* progress_ = nullptr;
    bool mirroringSelection_ = false;
    bool syncingScroll_ = false;
    /// Set while the program itself fills the folder boxes.
    bool showingFolders_ = false;
};

}  // namespace kestrel::ui
