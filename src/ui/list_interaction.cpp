#include "ui/list_interaction.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

#include "app/single_item.h"
#include "app/workspace.h"
#include "platform/desktop_opener.h"
#include "platform/path_tools.h"
#include "ui/file_list_view.h"
#include "ui/main_window.h"
#include "ui/properties_window.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"
#include "ui/rename_single_window.h"

namespace kestrel::ui {
namespace {

using app::PositionCommand;
using lists::ListCommand;

bool ClipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText() && !data->text().isEmpty();
}

}  // namespace

ListInteraction::ListInteraction(app::Workspace& workspace, QtUi& ui, MainWindow& window,
                                 DesktopProperties desktopProperties)
    : QObject(&window),
      workspace_(workspace),
      ui_(ui),
      window_(window),
      desktopProperties_(std::move(desktopProperties)),
      commands_(workspace) {
    BuildSourceMenu();
    BuildTargetMenu();
    Connect(window.SourceList(), true);
    Connect(window.TargetList(), false);
}

QAction* ListInteraction::AddItem(QMenu* menu, std::vector<Item>& items, const char* name,
                                  const char* caption, Needs needs, std::function<void()> run) {
    QAction* action = menu->addAction(Tr(caption));
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, std::move(run));
    items.push_back({action, needs});
    return action;
}

void ListInteraction::AddPositionItems(QMenu* menu, std::vector<Item>& items, bool target) {
    struct PositionItem {
        const char* source;
        const char* target;
        const char* caption;
        PositionCommand command;
    };
    static constexpr PositionItem kPositions[] = {
        // TRANSLATORS: a menu item; the key and click in brackets do the same.
        {"popCropStart", "popDestCropStart", N_("Set crop &start position  (Ctrl+Right-click)"),
         PositionCommand::CropStart},
        // TRANSLATORS: a menu item; the key and click in brackets do the same.
        {"popCropEnd", "popDestCropEnd", N_("Set crop &end position  (Alt+Right-click)"),
         PositionCommand::CropEnd},
        // TRANSLATORS: {"*"} shows the mark this puts into the name: keep it.
        {"popAsterisk", "popDestAsterisk", N_("Set crop/move paste position {\"*\"}"),
         PositionCommand::PastePosition},
        {nullptr, nullptr, nullptr, PositionCommand::CropStart},
        {"popInsertText", "popDestInsertText", N_("&Insert text here"),
         PositionCommand::InsertText},
        {"popAutonumber", "popDestAutonumber", N_("Place &Autonumber digits here"),
         PositionCommand::Autonumber},
        {nullptr, nullptr, nullptr, PositionCommand::CropStart},
        // TRANSLATORS: SmartFolder is a name; {"\"} shows the mark this puts
        // into the name: keep it.
        {"popSmartFolderB", "popDestSmartFolderB", N_("Split here with SmartFolder {\"\\\"}"),
         PositionCommand::SmartFolderSplit},
        // TRANSLATORS: SmartFolder is a name; {"/"} shows the mark this puts into
        // the name: keep it.
        {"popSmartFolderA", "popDestSmartFolderA", N_("Insert SmartFolder mark {\"/\"} here"),
         PositionCommand::SmartFolderMark},
    };
    for (const PositionItem& item : kPositions) {
        if (item.caption == nullptr) {
            menu->addSeparator();
            continue;
        }
        AddItem(menu, items, target ? item.target : item.source, item.caption, Needs::Row,
                [this, command = item.command] { Position(command); });
    }
}

void ListInteraction::BuildSourceMenu() {
    popSourceRightClick_ = new QMenu(Tr("Source File Right-Click Menu"), &window_);
    popSourceRightClick_->setObjectName(QStringLiteral("popSourceRightClick"));
    popSourceRightClick_->setAccessibleName(popSourceRightClick_->title());
    QMenu* menu = popSourceRightClick_;
    std::vector<Item>& items = sourceItems_;
    // TRANSLATORS: a menu item; the keys and clicks in brackets do the same.
    AddItem(menu, items, "popBack", N_("&Back up one level  (Alt+Bksp or Middle-click)"),
            Needs::Back, [this] { window_.BackUpOneLevel(); });
    AddItem(menu, items, "popChangeDir", N_("&Change to this directory  (Shift+Ctrl+Right-click)"),
            Needs::ChangeDir, [this] { Run(ListCommand::ChangeDirectory); });
    menu->addSeparator();
    AddPositionItems(menu, items, false);
    menu->addSeparator();
    AddItem(menu, items, "popManualRename", N_("&Rename single item  (Shift+Alt+Right-click)"),
            Needs::Row, [this] { Run(ListCommand::RenameSingle); });
    AddItem(menu, items, "popKillFile", N_("&Delete file/folder (Shift+Ctrl+Alt+Right-click)"),
            Needs::Row, [this] { Run(ListCommand::Delete); });
    AddItem(menu, items, "popViewFile", N_("&Open file/explore folder  (Shift+Right-click)"),
            Needs::Row, [this] { Run(ListCommand::OpenEntry); });
    AddItem(menu, items, "popProperties", N_("&Properties  (Alt+Enter)"), Needs::Row,
            [this] { ShowProperties(commands_.mouseY); });
    menu->addSeparator();
    AddItem(menu, items, "popCopyFilename", N_("Copy name"), Needs::Row,
            [this] { CopyToClipboard(commands_.CopyName(false)); });
    AddItem(menu, items, "popCopyPathname", N_("Copy full path"), Needs::Row,
            [this] { CopyToClipboard(commands_.CopyFullPath(false)); });
    AddItem(menu, items, "popPasteFilename", N_("Paste name"), Needs::Paste, [this] {
        Follow(commands_.PasteName(QGuiApplication::clipboard()->text().toStdString()));
    });
    menu->addSeparator();
    AddItem(menu, items, "popRefresh", N_("Refresh  (F5)"), Needs::Nothing,
            [this] { window_.RefreshForced(); });
}

void ListInteraction::BuildTargetMenu() {
    popDestRightClick_ = new QMenu(Tr("Destination File List Right-Click"), &window_);
    popDestRightClick_->setObjectName(QStringLiteral("popDestRightClick"));
    popDestRightClick_->setAccessibleName(popDestRightClick_->title());
    QMenu* menu = popDestRightClick_;
    std::vector<Item>& items = targetItems_;
    AddItem(menu, items, "popDestBack", N_("&Back up one level"), Needs::Back,
            [this] { window_.BackUpOneLevel(); });
    menu->addSeparator();
    AddPositionItems(menu, items, true);
    menu->addSeparator();
    AddItem(menu, items, "popCopyDestName", N_("Copy name"), Needs::Row,
            [this] { CopyToClipboard(commands_.CopyName(true)); });
    AddItem(menu, items, "popCopyDestPathname", N_("Copy full path"), Needs::Row,
            [this] { CopyToClipboard(commands_.CopyFullPath(true)); });
    menu->addSeparator();
    AddItem(menu, items, "popDestRefresh", N_("Refresh  (F5)"), Needs::Nothing,
            [this] { window_.RefreshPreview(); });
}

void ListInteraction::Connect(FileListView* list, bool source) {
    connect(list, &FileListView::PointerAt, this,
            [this, list](const QPoint& point) { PointAt(list, point); });
    connect(list, &FileListView::RightClicked, this,
            [this, list, source](const QPoint& point, Qt::KeyboardModifiers modifiers) {
                RightClicked(list, source, point, modifiers);
            });
    list->SetToolTipSource(
        [this, list, source](const QPoint& point) { return ToolTipAt(list, source, point); });
    if (source) {
        connect(list, &FileListView::RowDoubleClicked, this, &ListInteraction::DoubleClicked);
    }
    connect(list, &FileListView::MenuKeyPressed, this, [this, list, source](int row) {
        // From the keyboard, the menu acts on the current row's first character.
        const bool onRow = row >= 0 && row < list->model()->rowCount();
        const QPoint point = onRow ? list->PointOf(row, 1) : QPoint(0, 0);
        commands_.mouseY = onRow ? row : -1;
        commands_.mouseX = 1;
        OpenMenu(list, source, point);
    });
}

void ListInteraction::PointAt(FileListView* list, const QPoint& point) {
    commands_.mouseY = list->RowAt(point);
    commands_.mouseX = commands_.mouseY >= 0 ? list->CharacterAt(commands_.mouseY, point) : 0;
}

QString ListInteraction::ToolTipAt(FileListView* list, bool source, const QPoint& point) {
    PointAt(list, point);
    if (!commands_.OverRow()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(commands_.mouseY);
    const lists::ListEntry& entry = workspace_.SourceFileList()[row];
    const bool fullPath = workspace_.options.cboPathDisplay == engine::kShowFullPath;
    const app::PathPresenter paths = workspace_.Paths();
    if (source) {
        return ToQString(lists::SourceToolTip(paths.Row(entry.text, fullPath), commands_.mouseY,
                                              commands_.mouseX,
                                              app::ShownPrefixLength(workspace_, entry)));
    }
    const auto& targets = workspace_.TargetFileList();
    if (row >= targets.size()) {
        return {};
    }
    return ToQString(
        lists::TargetToolTip(paths.Row(targets[row], fullPath), paths.Row(entry.text, fullPath),
                             workspace_.ErrorMessage(row), commands_.mouseY, commands_.mouseX));
}

void ListInteraction::RightClicked(FileListView* list, bool source, const QPoint& point,
                                   Qt::KeyboardModifiers modifiers) {
    const ListCommand command = lists::RightClickCommand(
        source, (modifiers & Qt::ShiftModifier) != 0, (modifiers & Qt::ControlModifier) != 0,
        (modifiers & Qt::AltModifier) != 0);
    if (command == ListCommand::Menu) {
        OpenMenu(list, source, point);
    } else if (commands_.OverRow()) {
        // The gestures act on the row under the pointer; below the rows there is none.
        Run(command);
    }
}

void ListInteraction::DoubleClicked(const QPoint& point) {
    PointAt(window_.SourceList(), point);
    if (commands_.OverRow()) {
        const std::string& text =
            workspace_.SourceFileList()[static_cast<std::size_t>(commands_.mouseY)].text;
        Run(app::DoubleClickCommand(workspace_.preferences, text.ends_with('\\')));
    }
}

void ListInteraction::OpenMenu(FileListView* list, bool source, const QPoint& point) {
    lists::MenuPlace place;
    place.sourceList = source;
    if (commands_.OverRow()) {
        const auto row = static_cast<std::size_t>(commands_.mouseY);
        place.rowText =
            source ? &workspace_.SourceFileList()[row].text : &workspace_.TargetFileList()[row];
    }
    place.clipboardHasText = ClipboardHasText();
    // The Up button above the list holds the state its folder box last set.
    place.backAsSet = window_.UpEnabled(source);
    const std::string parent = lists::ParentFolder(workspace_.txtSourceDir);
    place.parentExists = !parent.empty() && platform::PathExists(workspace_.FileSystem(), parent);
    const lists::MenuStates states = lists::MenuStatesAt(place);
    for (const Item& item : source ? sourceItems_ : targetItems_) {
        switch (item.needs) {
            case Needs::Back:
                item.action->setEnabled(states.back);
                break;
            case Needs::ChangeDir:
                item.action->setEnabled(states.changeDir);
                break;
            case Needs::Row:
                item.action->setEnabled(states.rowCommands);
                break;
            case Needs::Paste:
                item.action->setEnabled(states.paste);
                break;
            case Needs::Nothing:
                item.action->setEnabled(true);
                break;
        }
    }
    QMenu* menu = source ? popSourceRightClick_ : popDestRightClick_;
    menu->popup(list->viewport()->mapToGlobal(point));
}

void ListInteraction::Run(ListCommand command) {
    switch (command) {
        case ListCommand::CropStart:
            Position(PositionCommand::CropStart);
            break;
        case ListCommand::CropEnd:
            Position(PositionCommand::CropEnd);
            break;
        case ListCommand::ChangeDirectory:
            Follow(commands_.ChangeToDirectory(window_.FoldersLocked()));
            break;
        case ListCommand::RenameSingle:
            RenameSingle();
            break;
        case ListCommand::Delete:
            Follow(commands_.Delete());
            break;
        case ListCommand::OpenEntry:
            Open();
            break;
        case ListCommand::Menu:
        case ListCommand::None:
            break;
    }
}

void ListInteraction::Position(PositionCommand command) {
    Follow(commands_.RunPositionCommand(command));
}

void ListInteraction::Follow(app::Follow follow) {
    switch (follow) {
        case app::Follow::Nothing:
            return;
        case app::Follow::Preview:
            window_.LoadControlsFromOptions();
            window_.RefreshPreview();
            return;
        case app::Follow::FocusInsertPosition:
            window_.LoadControlsFromOptions();
            if (auto* field =
                    window_.findChild<QLineEdit*>(QStringLiteral("txtInsertMiddlePosition"))) {
                field->setFocus(Qt::OtherFocusReason);
            }
            return;
        case app::Follow::Listing:
            window_.ShowFolders();
            window_.RefreshListing();
            return;
    }
}

void ListInteraction::RenameSingle() {
    if (!commands_.OverRow()) {
        return;
    }
    const int row = commands_.mouseY;
    if (renameSingle_ == nullptr) {
        renameSingle_ = new RenameSingleWindow(&window_);
    }
    renameSingle_->Start(
        ToQString(workspace_.SourceFileList()[static_cast<std::size_t>(row)].text),
        [this, row](const QString& newText) {
            // The list may have been read again while the window was open.
            if (static_cast<std::size_t>(row) < workspace_.SourceFileList().size() &&
                app::RenameSingleItem(workspace_, static_cast<std::size_t>(row),
                                      newText.toStdString())) {
                window_.SourceRowChanged(row);
            }
            window_.RefreshPreview();
        });
    window_.ShowDialog(renameSingle_);
}

void ListInteraction::Open() {
    platform::XdgDesktopOpener opener(ui_.Programs());
    commands_.Open(opener);
}

void ListInteraction::ShowProperties(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= workspace_.SourceFileList().size()) {
        return;
    }
    const std::string path = app::EntryPath(workspace_, static_cast<std::size_t>(row));
    const platform::EntryDetails details = workspace_.FileSystem().GetDetails(path);
    if (!details.error.Ok()) {
        // The path stands on a line of its own, below the reason.
        // TRANSLATORS: {1} is an error number, {2} the reason the system gave.
        ui_.Ask(text::Fill(text::Tr("Error {1}: {2}"),
                           {std::to_string(details.error.number), details.error.description}) +
                    "\r\r" + path,
                // TRANSLATORS: the title of a message about a file's properties.
                text::Tr("Properties"), app::Buttons::Ok, app::Icon::Exclamation);
        return;
    }
    if (desktopProperties_ && desktopProperties_(ToQString(details.hostPath))) {
        return;
    }
    if (properties_ == nullptr) {
        properties_ = new PropertiesWindow(&window_);
    }
    properties_->ShowEntry(ToQString(path), details);
    window_.ShowDialog(properties_);
}

void ListInteraction::CopyToClipboard(const std::string& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(ToQString(text));
}

}  // namespace kestrel::ui
