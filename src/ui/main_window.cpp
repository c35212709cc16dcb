#include "ui/main_window.h"
#include "ui/qt_text.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/help_manual.h"
#include "app/version.h"
#include "app/workspace.h"
#include "browse/folder_navigation.h"
#include "engine/rename_options.h"
#include "lists/position_picking.h"
#include "platform/desktop_opener.h"
#include "platform/drive_table.h"
#include "platform/path_tools.h"
#include "platform/process_memory.h"
#include "text/program_path.h"
#include "ui/about_window.h"
#include "ui/browse_window.h"
#include "ui/case_rules_window.h"
#include "ui/export_window.h"
#include "ui/file_list_models.h"
#include "ui/file_list_view.h"
#include "ui/folder_drops.h"
#include "ui/list_interaction.h"
#include "ui/list_scrolling.h"
#include "ui/option_binder.h"
#include "ui/preferences_window.h"
#include "ui/progress_window.h"
#include "ui/qt_ui.h"
#include "ui/status_panels.h"
#include "ui/tag_button.h"
#include "ui/template_manager_window.h"
#include "ui/update_host.h"
#include "ui/window_placement.h"
#include "update/update_check.h"

namespace kestrel::ui {
namespace {

using app::CommandButton;

// The target folder box while it names another folder than the working folder.
const QColor kTargetElsewhereBackground{0xFF, 0xE8, 0xA8};

std::size_t Index(CommandButton button) {
    return static_cast<std::size_t>(button);
}

}  // namespace

MainWindow::MainWindow(app::Workspace& workspace, QtUi& ui, Hooks hooks, QWidget* parent)
    : QMainWindow(parent), workspace_(workspace), ui_(ui), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ToQString(app::kProgramTitle));

    auto* central = new QWidget(this);
    controls_ = BuildOptionPanels(central);
    auto* right = new QVBoxLayout;
    right->addWidget(controls_.renameOptions);
    right->addWidget(controls_.viewAndFiltering);
    right->addWidget(BuildCommandButtons());
    right->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(controls_.renameOperations, 3);
    top->addLayout(right, 2);

    sourceModel_ = new SourceListModel(workspace_, this);
    targetModel_ = new TargetListModel(workspace_, this);
    auto* lists = new QHBoxLayout;
    lists->addWidget(BuildFolderColumn(true), 1);
    lists->addWidget(BuildFolderColumn(false), 1);

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addLayout(lists, 1);
    setCentralWidget(central);
    BuildStatusBar();

    binder_ =
        new OptionBinder(workspace_, controls_,
                         {[this] { RefreshPreview(); }, [this] { RefreshListing(); },
                          [this] { RunListingCommand([this] { workspace_.SortSourceList(); }); }},
                         this);
    ConnectLists();
    ConnectFolderBoxes();
    ConnectTagButtons();
    targetElsewherePalette_ = txtDestDir_->palette();
    targetElsewherePalette_.setColor(QPalette::Base, kTargetElsewhereBackground);
    targetElsewherePalette_.setColor(QPalette::Text, Qt::black);
    lists_ = new ListInteraction(workspace_, ui_, *this, hooks_.desktopProperties);
    ui_.AttachWindow({statusPanels_->Panels(), statusPanels_->ProgressBars(), sourceList_,
                      targetList_, this, statusPanels_});
    ui_.SetDrives(hooks_.drives);
    qApp->installEventFilter(this);
    SyncFromWorkspace();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    // The children die after this object; their last signals (a focused box
    // losing the focus as the window closes) must not reach it or the option
    // rules any more.
    delete binder_;
    binder_ = nullptr;
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

QWidget* MainWindow::BuildFolderColumn(bool source) {
    auto* column = new QWidget(this);
    // TRANSLATORS: a button that goes to the folder one level up.
    auto* up = new QPushButton(Tr("Up"), column);
    up->setObjectName(source ? QStringLiteral("cmdUp") : QStringLiteral("cmdUpDest"));
    up->setToolTip(Tr("Changes folder up one level"));
    auto* folder = new QLineEdit(column);
    folder->setObjectName(source ? QStringLiteral("txtSourceDir") : QStringLiteral("txtDestDir"));
    folder->setToolTip(Tr("Current path"));
    QPushButton* browse = source ? MakeButton(CommandButton::BrowseSource, "cmdBrowseSource",
                                              Tr("Browse..."), Tr("Browse to new working folder"))
                                 : MakeButton(CommandButton::BrowseDest, "cmdBrowseDest",
                                              Tr("Browse..."), Tr("Browse to new target folder"));
    connect(browse, &QPushButton::clicked, this, [this, source] {
        Browse(source ? browse::BrowseTarget::Source : browse::BrowseTarget::Target);
    });
    QPushButton* print =
        MakeButton(source ? CommandButton::PrintSource : CommandButton::PrintTarget, "cmdPrint",
                   Tr("Print..."), Tr("Prints/exports file listing"));
    connect(print, &QPushButton::clicked, this, [this, source] { ShowExport(source); });
    auto* list = new FileListView(column);
    list->setObjectName(source ? QStringLiteral("SourceFileList")
                               : QStringLiteral("TargetFileList"));
    if (source) {
        list->setModel(sourceModel_);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        sourceList_ = list;
        txtSourceDir_ = folder;
        cmdUp_ = up;
    } else {
        // The target list's selection is the program's: it holds the flagged
        // rows, so that accessibility tools report them, in the warning look.
        list->setModel(targetModel_);
        list->setSelectionMode(QAbstractItemView::NoSelection);
        QPalette warning = list->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            warning.setColor(group, QPalette::Highlight, kFlaggedBackground);
            warning.setColor(group, QPalette::HighlightedText, kFlaggedText);
        }
        list->setPalette(warning);
        targetList_ = list;
        txtDestDir_ = folder;
        cmdUpDest_ = up;
    }

    auto* caption = new QLabel(
        source ? Tr("Working folder (current names)") : Tr("Target folder (new names)"), column);
    // Names for screen readers: the two columns have the same controls.
    folder->setAccessibleName(source ? Tr("Working folder") : Tr("Target folder"));
    list->setAccessibleName(source ? Tr("Current names") : Tr("New names"));
    up->setAccessibleName(source ? Tr("Working folder up one level")
                                 : Tr("Target folder up one level"));
    browse->setAccessibleName(source ? Tr("Browse for working folder")
                                     : Tr("Browse for target folder"));
    print->setAccessibleName(source ? Tr("Print current names") : Tr("Print new names"));
    auto* header = new QHBoxLayout;
    header->addWidget(up);
    header->addWidget(folder, 1);
    header->addWidget(browse);
    header->addWidget(print);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addLayout(header);
    layout->addWidget(list, 1);
    return column;
}

QPushButton* MainWindow::MakeButton(CommandButton button, const char* name, const QString& caption,
                                    const QString& toolTip) {
    auto* push = new QPushButton(caption, this);
    push->setObjectName(QString::fromLatin1(name));
    push->setToolTip(toolTip);
    push->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    buttons_[Index(button)] = push;
    return push;
}

QWidget* MainWindow::BuildCommandButtons() {
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    // TRANSLATORS: the button that carries out the renames the lists show.
    QPushButton* doIt = MakeButton(CommandButton::DoIt, "cmdDoIt", Tr("&Do It!"),
                                   Tr("Commit changes shown in Destination file list"));
    QFont bold = doIt->font();
    bold.setBold(true);
    doIt->setFont(bold);
    QPushButton* undo = MakeButton(CommandButton::Undo, "cmdUndo",
                                   // TRANSLATORS: undoes what "&Do It!" did; the
                                   // play on words may be let go.
                                   Tr("&Undo the Do!"), Tr("Undo last operation"));
    QPushButton* refresh = MakeButton(CommandButton::Refresh, "cmdRefresh", Tr("&Refresh"),
                                      Tr("Update Source and Destination lists"));
    QPushButton* clear = MakeButton(CommandButton::Clear, "cmdClear", Tr("Reset &Options"),
                                    Tr("Resets all parameters to their defaults"));
    grid->addWidget(doIt, 0, 0);
    grid->addWidget(undo, 0, 1);
    grid->addWidget(refresh, 0, 2);
    grid->addWidget(clear, 1, 0);
    QPushButton* editRules = MakeButton(CommandButton::EditRules, "cmdEditRules",
                                        Tr("Edit &Case Rules"), Tr("Load, save, edit case rules"));
    grid->addWidget(editRules, 1, 1);
    QPushButton* preferences =
        MakeButton(CommandButton::Preferences, "cmdPreferences", Tr("Pre&ferences"), QString());
    QPushButton* templates =
        MakeButton(CommandButton::Templates, "cmdTemplates", Tr("&Templates"), QString());
    grid->addWidget(preferences, 1, 2);
    grid->addWidget(templates, 2, 0);
    QPushButton* help =
        MakeButton(CommandButton::Help, "cmdHelp", Tr("&Help"), Tr("Opens the manual (F1)"));
    QPushButton* about = MakeButton(CommandButton::About, "cmdAbout", Tr("&About"), QString());
    grid->addWidget(help, 2, 1);
    grid->addWidget(about, 2, 2);

    connect(doIt, &QPushButton::clicked, this, &MainWindow::DoIt);
    connect(undo, &QPushButton::clicked, this, &MainWindow::Undo);
    connect(refresh, &QPushButton::clicked, this, &MainWindow::RefreshForced);
    connect(preferences, &QPushButton::clicked, this, &MainWindow::ShowPreferences);
    connect(templates, &QPushButton::clicked, this, &MainWindow::ShowTemplateManager);
    connect(editRules, &QPushButton::clicked, this, &MainWindow::ShowCaseRules);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(); });
    connect(about, &QPushButton::clicked, this, &MainWindow::ShowAbout);
    // The reset acts as the button goes down, reading the keys held then.
    connect(clear, &QPushButton::pressed, this,
            [this] { ResetOptions(QGuiApplication::keyboardModifiers()); });
    return panel;
}

void MainWindow::ConnectTagButtons() {
    // The current row of the working folder's list, else the first.
    const auto values = [this] {
        const QModelIndex current = sourceList_->currentIndex();
        return workspace_.RowTagTexts(current.isValid() ? static_cast<std::size_t>(current.row())
                                                        : 0);
    };
    const std::pair<TagButton*, QLineEdit*> buttons[] = {
        {controls_.cmdTagsReplace, controls_.txtReplace},
        {controls_.cmdTagsInsertStart, controls_.txtInsertStart},
        {controls_.cmdTagsInsertMiddle, controls_.txtInsertMiddle},
        {controls_.cmdTagsInsertEnd, controls_.txtInsertEnd},
    };
    for (const auto& [button, edit] : buttons) {
        button->Connect(
            values, [this, edit = edit] { binder_->Apply(edit); },
            [this] { ShowHelp("tags.html"); });
    }
}

void MainWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    statusPanels_ = new StatusPanels(bar);
    bar->addWidget(statusPanels_, 1);
}

void MainWindow::ConnectLists() {
    connect(sourceList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::SourceSelectionChanged);
    auto follow = [this](FileListView* other) {
        return [this, other](int value) {
            if (!syncingScroll_) {
                syncingScroll_ = true;
                other->SetTopRow(value);
                syncingScroll_ = false;
            }
        };
    };
    connect(sourceList_->verticalScrollBar(), &QScrollBar::valueChanged, this, follow(targetList_));
    connect(targetList_->verticalScrollBar(), &QScrollBar::valueChanged, this, follow(sourceList_));
    connect(sourceList_, &FileListView::MiddleClicked, this, &MainWindow::BackUpOneLevel);
    connect(targetList_, &FileListView::MiddleClicked, this, &MainWindow::BackUpOneLevel);
}

void MainWindow::ConnectFolderBoxes() {
    connect(txtSourceDir_, &QLineEdit::textChanged, this, [this] {
        if (!showingFolders_) {
            // A target folder that is the working folder follows it as it is typed.
            const std::string target = workspace_.txtDestDir;
            browse::MoveWorkingFolder(BoxFolder(txtSourceDir_), false, workspace_.txtSourceDir,
                                      workspace_.txtDestDir);
            if (workspace_.txtDestDir != target) {
                ShowFolder(txtDestDir_, workspace_.txtDestDir);
            }
        }
        FolderEdited(txtSourceDir_, cmdUp_, workspace_.txtSourceDir);
    });
    connect(txtDestDir_, &QLineEdit::textChanged, this,
            [this] { FolderEdited(txtDestDir_, cmdUpDest_, workspace_.txtDestDir); });
    connect(txtSourceDir_, &QLineEdit::editingFinished, this,
            [this] { FolderEntered(txtSourceDir_, workspace_.txtSourceDir); });
    connect(txtDestDir_, &QLineEdit::editingFinished, this,
            [this] { FolderEntered(txtDestDir_, workspace_.txtDestDir); });
    for (const bool source : {true, false}) {
        const auto dropped = [this, source](const QString& path) { FolderDropped(source, path); };
        new FolderDrops(source ? txtSourceDir_ : txtDestDir_, dropped);
        new FolderDrops((source ? sourceList_ : targetList_)->viewport(), dropped);
    }
    // Both Up buttons act on the working folder.
    connect(cmdUp_, &QPushButton::clicked, this, &MainWindow::BackUpOneLevel);
    connect(cmdUpDest_, &QPushButton::clicked, this, &MainWindow::BackUpOneLevel);
}

std::string MainWindow::BoxFolder(const QLineEdit* box) const {
    const std::string typed = box->text().toStdString();
    if (hooks_.drives != nullptr && (typed.starts_with('/') || typed.starts_with('~'))) {
        return hooks_.drives->FolderInputToProgram(typed);
    }
    return typed;
}

void MainWindow::ShowFolder(QLineEdit* box, const std::string& folder) {
    const QString shown = ToQString(workspace_.Paths().Path(folder));
    if (box->text() != shown) {
        const bool was = std::exchange(showingFolders_, true);
        box->setText(shown);
        showingFolders_ = was;
    }
}

void MainWindow::FolderEdited(QLineEdit* box, QPushButton* up, std::string& folder) {
    if (!showingFolders_ && box != txtSourceDir_) {
        folder = BoxFolder(box);
    }
    // A drive root (C:\, /) has no parent to go up to.
    up->setEnabled(!lists::ParentFolder(text::AddTrailingBackslash(folder)).empty());
    box->setToolTip(box->text());
    MarkTargetElsewhere();
}

void MainWindow::MarkTargetElsewhere() {
    // Only the folder lock moves both folders, so after a change of working
    // folder new names may still go to the old target: the box says so, so
    // that nobody commits into a folder they did not mean.
    const bool elsewhere = !workspace_.txtDestDir.empty() &&
                           !browse::SameFolderText(workspace_.txtDestDir, workspace_.txtSourceDir);
    txtDestDir_->setPalette(elsewhere ? targetElsewherePalette_ : QPalette());
    // TRANSLATORS: the tooltip of the target folder box when it is not the
    // working folder; {1} is the target folder.
    txtDestDir_->setToolTip(elsewhere ? Fill(Tr("New names go to {1}"), {txtDestDir_->text()})
                                      : txtDestDir_->text());
}

void MainWindow::FolderEntered(QLineEdit* box, std::string& folder) {
    if (hooks_.drives == nullptr) {
        return;
    }
    // Shown as the folder it is, so that two spellings of one folder read alike.
    const std::string program =
        text::ResolveDotComponents(hooks_.drives->FolderInputToProgram(box->text().toStdString()));
    if (box == txtSourceDir_) {
        browse::MoveWorkingFolder(program, false, workspace_.txtSourceDir, workspace_.txtDestDir);
    } else {
        folder = program;
    }
    ShowFolders();
}

void MainWindow::FolderDropped(bool source, const QString& hostPath) {
    const std::string folder =
        browse::DroppedFolder(workspace_.FileSystem(), Drives(), hostPath.toStdString());
    if (folder.empty()) {
        return;
    }
    // A drop picks a folder as the browser's OK does, the folder lock included.
    browse::ApplyChosenFolder(folder,
                              source ? browse::BrowseTarget::Source : browse::BrowseTarget::Target,
                              FoldersLocked(), workspace_.txtSourceDir, workspace_.txtDestDir);
    ShowFolders();
    RefreshListing();
}

void MainWindow::SyncFromWorkspace() {
    LoadControlsFromOptions();
    ShowFolders();
    sourceModel_->BeginChange();
    targetModel_->BeginChange();
    sourceModel_->EndChange();
    targetModel_->EndChange();
    MirrorSelection();
    SyncButtons();
    ui_.Flush();
}

void MainWindow::LoadControlsFromOptions() {
    binder_->LoadControlsFromOptions();
}

void MainWindow::RefreshPreview() {
    // A new preview changes the rows' texts, not their number: the views
    // repaint what they show instead of laying out 32,767 rows again.
    const int rowsBefore = targetModel_->rowCount();
    workspace_.RefreshTargetList();
    if (targetModel_->rowCount() == rowsBefore) {
        targetModel_->RowsChanged();
    } else {
        targetModel_->BeginChange();
        targetModel_->EndChange();
    }
    MirrorFlaggedRows();
    AlignTargetWithSource();
    SyncButtons();
    ui_.Flush();
}

void MainWindow::RefreshListing() {
    RunListingCommand([this] { workspace_.RefreshSourceList(); });
}

void MainWindow::RefreshForced() {
    workspace_.operationStartTime = workspace_.Clock().SecondsSinceMidnight();
    workspace_.updateFlag = true;
    RefreshListing();
    workspace_.updateFlag = false;
}

void MainWindow::DoIt() {
    RunListingCommand([this] { workspace_.DoIt(); });
    // A commit may have switched the operations off.
    LoadControlsFromOptions();
}

void MainWindow::Undo() {
    RunListingCommand([this] { workspace_.Undo(); });
}

void MainWindow::RunListingCommand(const std::function<void()>& command) {
    sourceModel_->BeginChange();
    targetModel_->BeginChange();
    command();
    sourceModel_->EndChange();
    targetModel_->EndChange();
    MirrorSelection();
    AlignTargetWithSource();
    SyncButtons();
    ui_.Flush();
    ReturnFreeMemoryWhenIdle();
}

void MainWindow::ReturnFreeMemoryWhenIdle() {
    // The last listing's rows and the blocks the new one grew through are
    // free now: they go back to the system once the lists are on screen. Not
    // after each preview pass: a keystroke's pass reuses what the last one
    // freed, and would have to fault it all in again.
    QTimer::singleShot(0, this, [] { platform::ReturnFreeMemory(); });
}

namespace {

// The rows for which `marked` holds, as runs of rows.
template <typename Marked>
QItemSelection RowsWhere(const QAbstractItemModel& model, int count, Marked marked) {
    QItemSelection selection;
    int runStart = -1;
    for (int row = 0; row <= count; ++row) {
        const bool on = row < count && marked(static_cast<std::size_t>(row));
        if (on && runStart < 0) {
            runStart = row;
        } else if (!on && runStart >= 0) {
            selection.select(model.index(runStart, 0), model.index(row - 1, 0));
            runStart = -1;
        }
    }
    return selection;
}

}  // namespace

void MainWindow::MirrorSelection() {
    const auto& rows = workspace_.SourceFileList();
    mirroringSelection_ = true;
    sourceList_->selectionModel()->select(
        RowsWhere(*sourceModel_, static_cast<int>(rows.size()),
                  [&rows](std::size_t row) { return rows[row].selected; }),
        QItemSelectionModel::ClearAndSelect);
    mirroringSelection_ = false;
    MirrorFlaggedRows();
}

void MainWindow::MirrorFlaggedRows() {
    targetList_->selectionModel()->select(
        RowsWhere(*targetModel_, targetModel_->rowCount(),
                  [this](std::size_t row) { return workspace_.TargetFlagged(row); }),
        QItemSelectionModel::ClearAndSelect);
}

void MainWindow::SourceSelectionChanged(const QItemSelection& selected,
                                        const QItemSelection& deselected) {
    if (mirroringSelection_) {
        return;
    }
    for (const auto& [ranges, on] : {std::pair{&selected, true}, std::pair{&deselected, false}}) {
        for (const QItemSelectionRange& range : *ranges) {
            for (int row = range.top(); row <= range.bottom(); ++row) {
                workspace_.SetSelected(static_cast<std::size_t>(row), on);
            }
        }
    }
    if (!workspace_.busyFlag) {
        RefreshPreview();
    }
}

void MainWindow::AlignTargetWithSource() {
    syncingScroll_ = true;
    targetList_->SetTopRow(sourceList_->TopRow());
    syncingScroll_ = false;
}

void MainWindow::SyncButtons() {
    const app::CommandButtons& states = workspace_.Buttons();
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const auto button = static_cast<CommandButton>(i);
        // Templates live in the store; a window without one has none to manage.
        const bool available =
            button != CommandButton::Templates || workspace_.Settings() != nullptr;
        buttons_[i]->setEnabled(available && states.Enabled(button));
    }
}

void MainWindow::ShowFolders() {
    ShowFolder(txtSourceDir_, workspace_.txtSourceDir);
    ShowFolder(txtDestDir_, workspace_.txtDestDir);
    FolderEdited(txtSourceDir_, cmdUp_, workspace_.txtSourceDir);
    const bool was = std::exchange(showingFolders_, true);
    FolderEdited(txtDestDir_, cmdUpDest_, workspace_.txtDestDir);
    showingFolders_ = was;
}

void MainWindow::SourceRowChanged(int row) {
    sourceModel_->RowChanged(row);
}

bool MainWindow::UpEnabled(bool source) const {
    return (source ? cmdUp_ : cmdUpDest_)->isEnabled();
}

void MainWindow::BackUpOneLevel() {
    if (browse::BackUpOneLevel(workspace_.FileSystem(), FoldersLocked(), workspace_.txtSourceDir,
                               workspace_.txtDestDir)) {
        ShowFolders();
        RefreshListing();
    }
}

void MainWindow::SelectAllRows(bool selected) {
    const bool wasBusy = workspace_.busyFlag;
    workspace_.busyFlag = true;
    workspace_.SelectAll(selected);
    MirrorSelection();
    workspace_.busyFlag = wasBusy;
    if (!wasBusy) {
        RefreshPreview();
    }
}

void MainWindow::ResetOptions(Qt::KeyboardModifiers modifiers) {
    const bool factory = (modifiers & Qt::ShiftModifier) && (modifiers & Qt::ControlModifier) &&
                         !(modifiers & Qt::AltModifier);
    const bool wasBusy = workspace_.busyFlag;
    if (factory) {
        workspace_.busyFlag = true;
        engine::ResetToFactoryDefaults(workspace_.options);
        workspace_.busyFlag = wasBusy;
        LoadControlsFromOptions();
    } else {
        LoadTemplateIntoControls(0);
    }
    if (!wasBusy) {
        RefreshListing();
    }
}

void MainWindow::LoadTemplateIntoControls(int number) {
    workspace_.LoadTemplate(number);
    ShowFolders();
    LoadControlsFromOptions();
}

void MainWindow::ShowPreferences() {
    if (preferences_ == nullptr) {
        preferences_ =
            new PreferencesWindow(workspace_, ui_,
                                  {[this] { ShowTemplateManager(); },
                                   [this] { CheckForUpdate(update::kManualCheck, false); }},
                                  this);
        // A new way of showing paths shows at once, in the boxes and the lists.
        connect(preferences_, &QDialog::accepted, this, &MainWindow::SyncFromWorkspace);
    }
    preferences_->DownloadSettings();
    ShowDialog(preferences_);
}

void MainWindow::ShowTemplateManager() {
    settings::SettingsStore* store = workspace_.Settings();
    if (store == nullptr) {
        return;
    }
    if (templates_ == nullptr) {
        templates_ = new TemplateManagerWindow(
            workspace_, *store,
            [this](int number) {
                // A template that is not there changes nothing; the folder is
                // read again either way.
                LoadTemplateIntoControls(number);
                if (preferences_ != nullptr && preferences_->isVisible()) {
                    preferences_->ShowRecord();
                }
                RefreshListing();
            },
            this);
    }
    ShowDialog(templates_);
}

void MainWindow::ShowCaseRules() {
    if (caseRules_ == nullptr) {
        caseRules_ = new CaseRulesWindow(
            workspace_, ui_, [this] { RefreshPreview(); }, this);
    }
    caseRules_->ShowRules();
    ShowDialog(caseRules_);
}

void MainWindow::ShowExport(bool source) {
    if (export_ == nullptr) {
        export_ = new ExportWindow(workspace_, ui_,
                                   {[this] { RefreshForced(); },
                                    [this](auto closed) { BrowseForImport(std::move(closed)); }},
                                   this);
    }
    export_->OpenFor(source ? exchange::ExportList::Source : exchange::ExportList::Target);
    ShowDialog(export_);
}

BrowseWindow* MainWindow::Browser() {
    if (browser_ == nullptr) {
        browser_ = new BrowseWindow(workspace_, ui_, Drives(), browserState_, *this);
    }
    return browser_;
}

void MainWindow::Browse(browse::BrowseTarget target) {
    Browser()->Prepare(target);
    ShowDialog(browser_);
}

void MainWindow::BrowseForImport(std::function<void(const std::string& treePath)> closed) {
    // Never prepared yet: it opens as the working folder's browser would.
    if (browser_ == nullptr) {
        Browser()->Prepare(browserState_.target);
    }
    browser_->WhenClosed([this, closed = std::move(closed)] { closed(browser_->TreePath()); });
    ShowDialog(browser_);
}

void MainWindow::ShowAbout() {
    if (about_ == nullptr) {
        about_ = new AboutWindow(
            workspace_.Settings(), ui_,
            [this](int mode, bool force, const std::function<void(std::string_view)>& status) {
                CheckForUpdate(mode, force, status);
            },
            this);
    }
    about_->Load();
    ShowDialog(about_);
}

void MainWindow::ShowHelp(std::string_view page) {
    platform::XdgDesktopOpener opener(ui_.Programs());
    app::ShowHelp(workspace_.FileSystem(), opener, ui_, workspace_.ProgramFolder(),
                  workspace_.Paths(), page);
}

void MainWindow::CheckForUpdate(int mode, bool force,
                                const std::function<void(std::string_view)>& status) {
    if (progress_ == nullptr) {
        progress_ = new ProgressWindow(ui_, this);
    }
    WindowUpdateHost host(ui_, *progress_, status, [this] { ShutdownForUpdate(); });
    update::CheckForUpdate(
        host, workspace_.FileSystem(),
        update::ReadUpdateSettings(workspace_.Settings(), workspace_.DataFolder(), mode),
        app::kVersion, mode, force);
}

void MainWindow::ScheduleAutomaticUpdateCheck() {
    if (workspace_.preferences.autoUpdate == 1) {
        QTimer::singleShot(0, this, [this] { CheckForUpdate(update::kAutomaticCheck, false); });
    }
}

QPoint MainWindow::PositionInTwips() const {
    // The frame's corner, converted as the start-up converts it back.
    const QScreen* shown = screen();
    return {PixelsToTwips(x(), shown != nullptr ? shown->logicalDotsPerInchX() : 96),
            PixelsToTwips(y(), shown != nullptr ? shown->logicalDotsPerInchY() : 96)};
}

void MainWindow::ShutdownForUpdate() {
    if (hooks_.shutdown) {
        hooks_.shutdown(PositionInTwips().x(), PositionInTwips().y());
    }
    // Closed by the program, the windows do not run the shutdown again.
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

void MainWindow::ShowDialog(QDialog* dialog) {
    // Modal for the whole program, but shown without a nested event loop, so
    // that the main window's own loop goes on serving it.
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Only the user (or the desktop) closing the window saves the state; the
    // program closing it after an unexpected error must not.
    if (event->spontaneous() && hooks_.shutdown) {
        hooks_.shutdown(PositionInTwips().x(), PositionInTwips().y());
    }
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The window sees key presses before its controls, as its shortcuts act
    // whichever control has the focus.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        return HandleWindowKey(*static_cast<QKeyEvent*>(event), *watched);
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::HandleWindowKey(const QKeyEvent& event, const QObject& target) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const int key = event.key();
    if (modifiers == Qt::NoModifier && key == Qt::Key_F1) {
        ShowHelp();
        return true;
    }
    if (modifiers == Qt::NoModifier || modifiers == Qt::AltModifier) {
        if (key == Qt::Key_F5) {
            RefreshListing();
            return true;
        }
        if (key == Qt::Key_F6) {
            RefreshPreview();
            return true;
        }
    }
    if (modifiers == Qt::AltModifier) {
        if (key == Qt::Key_Backspace) {
            BackUpOneLevel();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            lists_->ShowProperties(sourceList_->currentIndex().row());
            return true;
        }
        if (const auto scroll = ScrollKeyOf(key)) {
            sourceList_->SetTopRow(
                ScrolledTopRow(*scroll, sourceList_->TopRow(), sourceModel_->rowCount()));
            return true;
        }
    }
    // In a text field, its own editing keys edit the text: typing must never
    // select rows, let alone rename files back on disk.
    const bool inTextField = qobject_cast<const QLineEdit*>(&target) != nullptr ||
                             qobject_cast<const QAbstractSpinBox*>(&target) != nullptr;
    if (modifiers == Qt::ControlModifier && inTextField && (key == Qt::Key_A || key == Qt::Key_Z)) {
        return false;
    }
    if (modifiers == Qt::ControlModifier) {
        switch (key) {
            case Qt::Key_A:
                SelectAllRows(true);
                return true;
            case Qt::Key_N:
                SelectAllRows(false);
                return true;
            case Qt::Key_Z:
                // Without an undo to run, the key stays with the control (a
                // text box undoes its typing).
                if (buttons_[Index(CommandButton::Undo)]->isEnabled()) {
                    Undo();
                    return true;
                }
                return false;
            default:
                break;
        }
    }
    return false;
}

}  // namespace kestrel::ui
