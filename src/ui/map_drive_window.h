#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kestrel::platform {
class DriveTable;
class FileSystem;
}  // namespace kestrel::platform
namespace kestrel::settings {
class SettingsStore;
}

// The Map Drive window (frmMapDrive): gives a free drive letter to a folder of
// this machine, such as a network share the desktop has mounted, and takes
// letters away again. What it does is kept for later runs.
namespace kestrel::ui {

class QtUi;

class MapDriveWindow : public QDialog {
    Q_OBJECT
  public:
    /// `changed` runs after a letter was mapped or disconnected. Without a
    /// store the mappings last until the program ends.
    MapDriveWindow(platform::FileSystem& fileSystem, platform::DriveTable& drives,
                   settings::SettingsStore* store, QtUi& ui, std::function<void()> changed,
                   QWidget* parent = nullptr);

    /// Fills the free letters and the mapped drives afresh.
    void Start();

  private:
    void Connect();
    void Disconnect();
    void BrowseFolder();
    void UpdateButtons();

    platform::FileSystem& fileSystem_;
    platform::DriveTable& drives_;
    settings::SettingsStore* store_;
    QtUi& ui_;
    std::function<void()> changed_;
    QComboBox* cboDrive_ = nullptr;
    QLineEdit* txtFolder_ = nullptr;
    QListWidget* lstDrives_ = nullptr;
    QPushButton* cmdDisconnect_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};

}  // namespace kestrel::ui
