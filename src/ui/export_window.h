#pragma once

#include <QDialog>
#include <QPrinter>
#include <array>
#include <functional>

#include "exchange/export_formats.h"
#include "ui/import_panel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace kestrel::app {
class Workspace;
}

// The Import/Export/Print window (frmExport). Export and print-out hide it and
// keep what the user entered for the next opening; "&Close" ends it, and the
// next opening starts afresh.
namespace kestrel::ui {

class QtUi;

class ExportWindow : public QDialog {
    Q_OBJECT
  public:
    /// The import tab's hooks: the lists follow its renames, and its folder
    /// button opens the folder browser.
    ExportWindow(app::Workspace& workspace, QtUi& ui, ImportPanel::Hooks importHooks,
                 QWidget* parent = nullptr);

    /// Opening by a print button: the list it stands beside is the one a
    /// listing describes and the one preselected for printing.
    void OpenFor(exchange::ExportList list);
    /// "&Close", Escape and the close box end the window.
    void reject() override;

  private:
    QWidget* BuildExportTab();
    QWidget* BuildPrintTab();
    /// The export file as typed, in the program's form.
    std::string FileNameTyped() const;
    void BrowseExportFile();
    void Export();
    void Print();
    void AddPrinter();

    app::Workspace& workspace_;
    QtUi& ui_;
    QPrinter printer_;
    QTabWidget* tabStrip_ = nullptr;
    std::array<QRadioButton*, 5> optOutputFormat_{};
    QLineEdit* txtFilename_ = nullptr;
    QLabel* lblExportList_ = nullptr;
    QComboBox* cboPrint_ = nullptr;
};

}  // namespace kestrel::ui
