#pragma once

#include <QWidget>
#include <functional>

#include "exchange/import_list.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kestrel::app {
class Workspace;
}

// The Import tab of the Import/Export/Print window: the boxes of an import
// request, a sample of the pairs and the renames themselves, reported line by
// line in the status list.
namespace kestrel::ui {

class QtUi;

class ImportPanel : public QWidget {
    Q_OBJECT
  public:
    struct Hooks {
        /// Runs after an import that renamed at least one entry.
        std::function<void()> renamed;
        /// Opens the folder browser; it calls `closed` with its tree's path
        /// when it closes.
        std::function<void(std::function<void(const std::string& treePath)> closed)> browseFolder;
    };

    ImportPanel(app::Workspace& workspace, QtUi& ui, Hooks hooks, QWidget* parent = nullptr);

  private:
    QWidget* BuildParameters();
    exchange::ImportRequest Request() const;
    /// Clears the status list and runs `operation` with the busy pointer,
    /// each status line shown as it comes.
    void Run(const std::function<void(const exchange::StatusSink&)>& operation);
    void AskCustomDelimiter(QComboBox* box);
    void BrowseList(QLineEdit* box, const QString& title);
    void BrowseFolder();

    app::Workspace& workspace_;
    QtUi& ui_;
    Hooks hooks_;
    QLineEdit* txtSourceList_ = nullptr;
    QLineEdit* txtTargetList_ = nullptr;
    QLineEdit* txtSourceDirectory_ = nullptr;
    QLineEdit* txtTargetDirectory_ = nullptr;
    QComboBox* cbo1stDelimiter_ = nullptr;
    QComboBox* cbo2ndDelimiter_ = nullptr;
    QPushButton* cmdPreview_ = nullptr;
    QPushButton* cmdImport_ = nullptr;
    QListWidget* lstStatusWindow_ = nullptr;
};

}  // namespace kestrel::ui
