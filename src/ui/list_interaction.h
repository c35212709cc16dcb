#pragma once

#include <QObject>
#include <QPoint>
#include <functional>
#include <vector>

#include "app/list_commands.h"

class QAction;
class QMenu;

namespace kestrel::app {
class Workspace;
}

// What the pointer does over the two lists: it keeps MouseX and MouseY, shows
// the tooltips, runs the right-click gestures and double-clicks, and owns the
// two right-click menus and the windows their commands open. The commands
// themselves are the core's; this binds them to widgets.
namespace kestrel::ui {

class FileListView;
class MainWindow;
class PropertiesWindow;
class QtUi;
class RenameSingleWindow;

class ListInteraction : public QObject {
    Q_OBJECT
  public:
    /// Asks the desktop's file manager to show a host path's properties;
    /// false when it did not, and Kestrel's own window shows them.
    using DesktopProperties = std::function<bool(const QString& hostPath)>;

    ListInteraction(app::Workspace& workspace, QtUi& ui, MainWindow& window,
                    DesktopProperties desktopProperties);

    /// The properties of source row `row` (the menu item and Alt+Enter).
    void ShowProperties(int row);

    QMenu* SourceMenu() const { return popSourceRightClick_; }
    QMenu* TargetMenu() const { return popDestRightClick_; }
    const app::ListCommands& Commands() const { return commands_; }

  private:
    enum class Needs { Back, ChangeDir, Row, Paste, Nothing };
    struct Item {
        QAction* action;
        Needs needs;
    };

    void BuildSourceMenu();
    void BuildTargetMenu();
    /// A menu item; `caption` is the English text, marked with N_, shown in
    /// the user's language.
    QAction* AddItem(QMenu* menu, std::vector<Item>& items, const char* name, const char* caption,
                     Needs needs, std::function<void()> run);
    void AddPositionItems(QMenu* menu, std::vector<Item>& items, bool target);
    void Connect(FileListView* list, bool source);

    void PointAt(FileListView* list, const QPoint& point);
    QString ToolTipAt(FileListView* list, bool source, const QPoint& point);
    void RightClicked(FileListView* list, bool source, const QPoint& point,
                      Qt::KeyboardModifiers modifiers);
    void DoubleClicked(const QPoint& point);
    void OpenMenu(FileListView* list, bool source, const QPoint& point);
    void Run(lists::ListCommand command);
    void Position(app::PositionCommand command);
    void Follow(app::Follow follow);
    void RenameSingle();
    void Open();
    void CopyToClipboard(const std::string& text);

    app::Workspace& workspace_;
    QtUi& ui_;
    MainWindow& window_;
    DesktopProperties desktopProperties_;
    app::ListCommands commands_;
    QMenu* popSourceRightClick_ = nullptr;
    QMenu* popDestRightClick_ = nullptr;
    std::vector<Item> sourceItems_;
    std::vector<Item> targetItems_;
    RenameSingleWindow* renameSingle_ = nullptr;
    PropertiesWindow* properties_ = nullptr;
};

}  // namespace kestrel::ui
