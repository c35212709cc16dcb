#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "browse/folder_browser.h"

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QTreeView;

namespace kestrel::app {
class Workspace;
}
namespace kestrel::platform {
class DriveTable;
}

// The folder browser (frmBrowse): a drive list and the folder tree of the
// chosen drive, from which the working or the target folder is picked. It is
// hidden after use and keeps its check boxes for the whole run.
namespace kestrel::ui {

class DriveTreeFilter;
class MainWindow;
class MakeTreeWindow;
class MapDriveWindow;
class QtUi;

class BrowseWindow : public QDialog {
    Q_OBJECT
  public:
    BrowseWindow(app::Workspace& workspace, QtUi& ui, platform::DriveTable& drives,
                 browse::BrowserState& state, MainWindow& window);

    /// Readies an opening for the working or the target folder, as the main
    /// window's browse buttons do: caption, "Consolidate files", drive and tree.
    void Prepare(browse::BrowseTarget target);
    /// Runs `closed` once, when the window next closes by OK or Cancel.
    void WhenClosed(std::function<void()> closed) { closed_ = std::move(closed); }
    /// The tree's folder as the tree gives it: 'T:\Photos', 'T:\' at a drive root.
    std::string TreePath() const;
    /// "&Cancel", Escape and the close box.
    void reject() override;

  private:
    void FillDrives();
    /// Shows `folder` (a program path) in the tree, switching the drive list
    /// to its drive; false when the tree cannot show it.
    bool PointTreeAt(const std::string& folder);
    void DriveChosen(int index);
    void Choose();
    void MapDrive();
    void CreateFolder();
    void Closed();

    app::Workspace& workspace_;
    QtUi& ui_;
    platform::DriveTable& drives_;
    browse::BrowserState& state_;
    MainWindow& window_;
    std::function<void()> closed_;
    char drive_ = 'C';
    /// The tree keeps the folder it was pointed at in view while it loads.
    bool followCurrent_ = false;
    QComboBox* driveBrowse_ = nullptr;
    QTreeView* dirBrowse_ = nullptr;
    QFileSystemModel* folders_ = nullptr;
    DriveTreeFilter* filter_ = nullptr;
    QCheckBox* chkDirLock_ = nullptr;
    QCheckBox* chkConsolidate_ = nullptr;
    MapDriveWindow* mapDrive_ = nullptr;
    MakeTreeWindow* makeTree_ = nullptr;
};

}  // namespace kestrel::ui
