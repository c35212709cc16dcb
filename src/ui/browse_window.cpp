#include "ui/browse_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>
#include <cctype>

#include "app/workspace.h"
#include "browse/drive_letters.h"
#include "platform/drive_table.h"
#include "platform/path_tools.h"
#include "ui/dialog_controls.h"
#include "ui/main_window.h"
#include "ui/make_tree_window.h"
#include "ui/map_drive_window.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"

namespace kestrel::ui {
namespace {

bool FolderContains(const QString& folder, const QString& path) {
    return path == folder || path.startsWith(folder == QLatin1String("/") ? folder : folder + '/');
}

QString DriveText(char letter) {
    return QString(QLatin1Char(letter)) + QLatin1Char(':');
}

const std::string kDriveC = "C:\\";

}  // namespace

// The file system model holds the whole host; the tree shows one drive: the
// drive's folder, shown by its letter, with everything below it, and only the
// folders above it that lead there.
class DriveTreeFilter : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    /// The tree's top shows the drive's folder as the user reads paths:
    /// its host folder, or its letter.
    void SetDrive(const QString& hostFolder, char letter, bool hostStyle) {
        hostFolder_ = hostFolder;
        label_ = hostStyle ? hostFolder : DriveText(letter) + QLatin1Char('\\');
        invalidateFilter();
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole && index.column() == 0 &&
            Folders().filePath(mapToSource(index)) == hostFolder_) {
            return label_;
        }
        return QSortFilterProxyModel::data(index, role);
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const QString path = Folders().filePath(Folders().index(row, 0, parent));
        return FolderContains(hostFolder_, path) || FolderContains(path, hostFolder_);
    }

  private:
    const QFileSystemModel& Folders() const {
        return *static_cast<const QFileSystemModel*>(sourceModel());
    }

    QString hostFolder_;
    QString label_;
};

BrowseWindow::BrowseWindow(app::Workspace& workspace, QtUi& ui, platform::DriveTable& drives,
                           browse::BrowserState& state, MainWindow& window)
    : QDialog(&window),
      workspace_(workspace),
      ui_(ui),
      drives_(drives),
      state_(state),
      window_(window) {
    setObjectName(QStringLiteral("frmBrowse"));
    setWindowModality(Qt::ApplicationModal);

    auto* frame = Named(new QGroupBox(Tr("Drives and Folders"), this), "fmeBrowse");
    driveBrowse_ = Named(new QComboBox(frame), "driveBrowse");
    folders_ = new QFileSystemModel(this);
    folders_->setReadOnly(true);
    filter_ = new DriveTreeFilter(this);
    filter_->setSourceModel(folders_);
    dirBrowse_ = Named(new QTreeView(frame), "dirBrowse");
    dirBrowse_->setModel(filter_);
    dirBrowse_->setAccessibleName(Tr("Folders"));
    dirBrowse_->setHeaderHidden(true);
    for (int column = 1; column < folders_->columnCount(); ++column) {
        dirBrowse_->hideColumn(column);
    }
    dirBrowse_->setMinimumSize(420, 360);
    auto* driveRow = new QHBoxLayout;
    driveRow->addWidget(FieldLabel(Tr("Dri&ve:"), driveBrowse_, frame));
    driveRow->addWidget(driveBrowse_, 1);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addLayout(driveRow);
    frameLayout->addWidget(dirBrowse_, 1);

    chkDirLock_ = Named(new QCheckBox(Tr("Lock source and target folders"), this), "chkDirLock");
    chkDirLock_->setToolTip(
        Tr("Choose whether Source and Target lists are in the same folder when using Browse..."));
    chkConsolidate_ = Named(new QCheckBox(Tr("Consolidate files"), this), "chkConsolidate");
    chkConsolidate_->setToolTip(Tr("Puts all files in selected directory without recreating tree"));
    QPushButton* mapDrive = DialogButton("cmdMapDrive", Tr("&Map Drive..."), this);
    mapDrive->setToolTip(Tr("Connects a network share to a drive letter"));
    QPushButton* createDir = DialogButton("cmdCreateDir", Tr("Create &Folder..."), this);
    createDir->setToolTip(Tr("Make a new folder"));
    const OkCancelRow buttons = BuildOkCancelRow(this);
    QPushButton* ok = buttons.ok;
    QPushButton* cancel = buttons.cancel;
    buttons.row->insertWidget(0, mapDrive);
    buttons.row->insertWidget(1, createDir);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addWidget(chkDirLock_);
    layout->addWidget(chkConsolidate_);
    layout->addLayout(buttons.row);

    // Folders are read and sorted in the background; as the ones on the way to
    // the chosen folder fill in, rows above it push it down, so the view
    // follows it until the user moves it.
    const auto follow = [this] {
        if (followCurrent_) {
            dirBrowse_->scrollTo(dirBrowse_->currentIndex(), QAbstractItemView::PositionAtCenter);
        }
    };
    connect(filter_, &QAbstractItemModel::rowsInserted, this, follow);
    connect(filter_, &QAbstractItemModel::layoutChanged, this, follow);
    const auto stopFollowing = [this] { followCurrent_ = false; };
    connect(dirBrowse_->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            stopFollowing);
    connect(dirBrowse_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            stopFollowing);
    connect(driveBrowse_, &QComboBox::activated, this, &BrowseWindow::DriveChosen);
    connect(chkDirLock_, &QCheckBox::toggled, this, [this](bool on) { state_.lockFolders = on; });
    // The commit reads the Workspace's flag; the box only edits it.
    connect(chkConsolidate_, &QCheckBox::toggled, this,
            [this](bool on) { workspace_.consolidateFiles = on; });
    connect(mapDrive, &QPushButton::clicked, this, &BrowseWindow::MapDrive);
    connect(createDir, &QPushButton::clicked, this, &BrowseWindow::CreateFolder);
    connect(ok, &QPushButton::clicked, this, &BrowseWindow::Choose);
    connect(cancel, &QPushButton::clicked, this, &BrowseWindow::reject);
}

void BrowseWindow::Prepare(browse::BrowseTarget target) {
    state_.target = target;
    state_.foldersChanged = false;
    setWindowTitle(ToQString(browse::BrowserCaption(target)));
    chkConsolidate_->setEnabled(target == browse::BrowseTarget::Target);
    chkConsolidate_->setChecked(workspace_.consolidateFiles);
    chkDirLock_->setChecked(state_.lockFolders);
    // Hidden folders show unless the hidden rule leaves hidden entries out.
    QDir::Filters shown = QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives;
    if (workspace_.options.chkHbit != engine::kAttributeFilter) {
        shown |= QDir::Hidden;
    }
    folders_->setFilter(shown);

    std::string& text =
        target == browse::BrowseTarget::Source ? workspace_.txtSourceDir : workspace_.txtDestDir;
    const std::string& program = workspace_.ProgramFolder();
    const browse::BrowserStart start =
        browse::StartBrowsing(workspace_.FileSystem(), text,
                              state_.treeFolder.empty() ? program : state_.treeFolder, program);
    if (start.folderTextReplaced && !program.empty()) {
        text = program;
        window_.ShowFolders();
    }
    FillDrives();
    if (!PointTreeAt(start.treeFolder)) {
        PointTreeAt(kDriveC);
    }
    dirBrowse_->setFocus(Qt::OtherFocusReason);
}

void BrowseWindow::FillDrives() {
    driveBrowse_->clear();
    for (const browse::DriveItem& item : browse::ListDrives(drives_)) {
        driveBrowse_->addItem(
            DriveText(item.letter) + QStringLiteral("  ") + ToQString(item.hostFolder),
            QChar(QLatin1Char(item.letter)));
    }
    driveBrowse_->setCurrentIndex(driveBrowse_->findData(QChar(QLatin1Char(drive_))));
}

bool BrowseWindow::PointTreeAt(const std::string& folder) {
    if (folder.size() < 2 || folder[1] != ':') {
        return false;
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(folder[0])));
    const std::optional<std::string> root = drives_.HostFolder(letter);
    const std::optional<std::string> host = drives_.ToHostPath(folder);
    if (!root || !host || !platform::PathExists(workspace_.FileSystem(), folder)) {
        return false;
    }
    drive_ = letter;
    driveBrowse_->setCurrentIndex(driveBrowse_->findData(QChar(QLatin1Char(letter))));
    const QString rootPath = ToQString(*root);
    filter_->SetDrive(rootPath, letter, workspace_.Paths().Style() == app::PathStyle::Host);
    folders_->setRootPath(rootPath);
    dirBrowse_->setRootIndex(filter_->mapFromSource(folders_->index(rootPath).parent()));
    const QModelIndex at =
        filter_->mapFromSource(folders_->index(QDir::cleanPath(ToQString(*host))));
    for (QModelIndex up = at; up.isValid(); up = up.parent()) {
        dirBrowse_->expand(up);
    }
    dirBrowse_->setCurrentIndex(at);
    dirBrowse_->scrollTo(at, QAbstractItemView::PositionAtCenter);
    followCurrent_ = at.isValid();
    return at.isValid();
}

std::string BrowseWindow::TreePath() const {
    const std::string driveRoot{drive_, ':', '\\'};
    const std::optional<std::string> root = drives_.HostFolder(drive_);
    const QModelIndex current = filter_->mapToSource(dirBrowse_->currentIndex());
    if (!root || !current.isValid()) {
        return driveRoot;
    }
    const std::string path =
        browse::TreePath(drive_, *root, folders_->filePath(current).toStdString());
    return path.empty() ? driveRoot : path;
}

void BrowseWindow::DriveChosen(int index) {
    const char letter = driveBrowse_->itemData(index).toChar().toLatin1();
    const std::string drive{letter, ':'};
    const std::string message = browse::DriveUnavailableMessage(workspace_.FileSystem(), drive);
    if (message.empty() && PointTreeAt(drive + '\\')) {
        return;
    }
    if (!message.empty()) {
        ui_.Ask(message, app::kProgramTitle, app::Buttons::Ok, app::Icon::Exclamation);
    }
    drive_ = 'C';
    driveBrowse_->setCurrentIndex(driveBrowse_->findData(QChar(QLatin1Char('C'))));
    PointTreeAt(kDriveC);
}

void BrowseWindow::Choose() {
    const std::string chosen = browse::ChosenFolder(TreePath());
    browse::ApplyChosenFolder(chosen, state_.target, state_.lockFolders, workspace_.txtSourceDir,
                              workspace_.txtDestDir);
    accept();
    window_.ShowFolders();
    window_.RefreshForced();
    Closed();
}

void BrowseWindow::reject() {
    QDialog::reject();
    // New folders belong in the lists, when they follow the disk by themselves.
    if (state_.foldersChanged) {
        window_.RefreshListing();
    }
    Closed();
}

void BrowseWindow::Closed() {
    state_.treeFolder = browse::ChosenFolder(TreePath());
    std::function<void()> closed = std::move(closed_);
    closed_ = nullptr;
    if (closed) {
        closed();
    }
}

void BrowseWindow::MapDrive() {
    if (mapDrive_ == nullptr) {
        mapDrive_ = new MapDriveWindow(
            workspace_.FileSystem(), drives_, workspace_.Settings(), ui_,
            [this] {
                // The list shows the drive it showed, or C: when that letter went.
                FillDrives();
                if (!drives_.IsMapped(drive_)) {
                    DriveChosen(driveBrowse_->findData(QChar(QLatin1Char('C'))));
                }
            },
            this);
    }
    mapDrive_->Start();
    window_.ShowDialog(mapDrive_);
}

void BrowseWindow::CreateFolder() {
    if (makeTree_ == nullptr) {
        makeTree_ = new MakeTreeWindow(
            [this](const QString& path) {
                browse::CreateFolderTree(workspace_.FileSystem(), path.toStdString());
                for (int i = 0; i < 3; ++i) {
                    ui_.ProcessPendingEvents();
                }
                // The tree learns of the new folders at once, without waiting
                // for the desktop to report them.
                if (const auto host = drives_.ToHostPath(path.toStdString())) {
                    folders_->index(QDir::cleanPath(ToQString(*host)));
                }
                PointTreeAt(browse::ChosenFolder(TreePath()));
            },
            this);
    }
    // Filled once shown: a window that appears gives its first box the focus
    // with the text selected, and the path is meant to be extended, not replaced.
    window_.ShowDialog(makeTree_);
    makeTree_->Start(ToQString(browse::ChosenFolder(TreePath())));
    state_.foldersChanged = true;
}

}  // namespace kestrel::ui
