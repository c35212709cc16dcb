#include "ui/map_drive_window.h"

#include <unistd.h>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/ui.h"
#include "browse/drive_letters.h"
#include "ui/dialog_controls.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"

namespace kestrel::ui {
namespace {

// Where the desktop mounts network shares; the folder dialog starts in the
// first that is there.
QString ShareFolder() {
    const QString candidates[] = {QStringLiteral("/run/user/%1/gvfs").arg(::getuid()),
                                  QStringLiteral("/media"), QStringLiteral("/mnt")};
    for (const QString& folder : candidates) {
        if (!QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            return folder;
        }
    }
    return QDir::homePath();
}

}  // namespace

MapDriveWindow::MapDriveWindow(platform::FileSystem& fileSystem, platform::DriveTable& drives,
                               settings::SettingsStore* store, QtUi& ui,
                               std::function<void()> changed, QWidget* parent)
    : QDialog(parent),
      fileSystem_(fileSystem),
      drives_(drives),
      store_(store),
      ui_(ui),
      changed_(std::move(changed)) {
    setObjectName(QStringLiteral("frmMapDrive"));
    setWindowTitle(Tr("Map Drive"));
    setWindowModality(Qt::ApplicationModal);

    auto* connectFrame =
        Named(new QGroupBox(Tr("Connect a folder to a drive letter"), this), "fraConnect");
    cboDrive_ = Named(new QComboBox(connectFrame), "cboDrive");
    txtFolder_ = Named(new QLineEdit(connectFrame), "txtFolder");
    txtFolder_->setMinimumWidth(txtFolder_->fontMetrics().averageCharWidth() * 50);
    txtFolder_->setToolTip(Tr("A folder of this computer, such as a mounted share"));
    QPushButton* browse = BrowseButton("cmdBrowseFolder", Tr("Choose the folder"), connectFrame);
    auto* grid = new QGridLayout(connectFrame);
    grid->addWidget(FieldLabel(Tr("&Drive:"), cboDrive_, connectFrame), 0, 0);
    grid->addWidget(cboDrive_, 0, 1, Qt::AlignLeft);
    grid->addWidget(FieldLabel(Tr("&Folder:"), txtFolder_, connectFrame), 1, 0);
    grid->addWidget(txtFolder_, 1, 1);
    grid->addWidget(browse, 1, 2);

    auto* mappedFrame = Named(new QGroupBox(Tr("Mapped drives"), this), "fraMapped");
    lstDrives_ = Named(new QListWidget(mappedFrame), "lstDrives");
    lstDrives_->setAccessibleName(Tr("Mapped drives"));
    lstDrives_->setMinimumHeight(lstDrives_->fontMetrics().height() * 6);
    cmdDisconnect_ = DialogButton("cmdDisconnect", Tr("D&isconnect"), mappedFrame);
    cmdDisconnect_->setToolTip(Tr("Takes the drive letter away from its folder"));
    auto* mappedLayout = new QHBoxLayout(mappedFrame);
    mappedLayout->addWidget(lstDrives_, 1);
    mappedLayout->addWidget(cmdDisconnect_, 0, Qt::AlignTop);

    const OkCancelRow buttons = BuildOkCancelRow(this);
    cmdOK_ = buttons.ok;
    QPushButton* cancel = buttons.cancel;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(connectFrame);
    layout->addWidget(mappedFrame, 1);
    layout->addLayout(buttons.row);

    connect(txtFolder_, &QLineEdit::textChanged, this, &MapDriveWindow::UpdateButtons);
    connect(lstDrives_, &QListWidget::currentRowChanged, this, &MapDriveWindow::UpdateButtons);
    connect(browse, &QPushButton::clicked, this, &MapDriveWindow::BrowseFolder);
    connect(cmdDisconnect_, &QPushButton::clicked, this, &MapDriveWindow::Disconnect);
    connect(cmdOK_, &QPushButton::clicked, this, &MapDriveWindow::Connect);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void MapDriveWindow::Start() {
    cboDrive_->clear();
    for (const char letter : browse::FreeDriveLetters(drives_)) {
        cboDrive_->addItem(QString(QLatin1Char(letter)) + QLatin1Char(':'),
                           QChar(QLatin1Char(letter)));
    }
    lstDrives_->clear();
    for (const browse::DriveItem& item : browse::ListDrives(drives_)) {
        auto* row =
            new QListWidgetItem(QStringLiteral("%1:  %2").arg(QChar(QLatin1Char(item.letter)),
                                                              ToQString(item.hostFolder)),
                                lstDrives_);
        row->setData(Qt::UserRole, QChar(QLatin1Char(item.letter)));
    }
    txtFolder_->clear();
    UpdateButtons();
    txtFolder_->setFocus(Qt::OtherFocusReason);
}

void MapDriveWindow::UpdateButtons() {
    cmdOK_->setEnabled(cboDrive_->count() > 0 && !txtFolder_->text().isEmpty());
    const QListWidgetItem* row = lstDrives_->currentItem();
    // C: is the program's own drive and stays.
    cmdDisconnect_->setEnabled(row != nullptr && row->data(Qt::UserRole).toChar() != 'C');
}

void MapDriveWindow::BrowseFolder() {
    const QString start = txtFolder_->text().isEmpty() ? ShareFolder() : txtFolder_->text();
    const std::optional<std::string> folder =
        ui_.ChooseFile({FileRequest::Kind::HostFolder,
                        Tr("Select the folder for the drive letter"),
                        {},
                        {},
                        start.toStdString(),
                        {}});
    if (folder) {
        txtFolder_->setText(ToQString(*folder));
        // Enter now connects, rather than opening the folder dialog again.
        cmdOK_->setFocus(Qt::OtherFocusReason);
    }
}

void MapDriveWindow::Connect() {
    const char letter = cboDrive_->currentData().toChar().toLatin1();
    const std::string message =
        browse::MapDrive(fileSystem_, drives_, store_, letter, txtFolder_->text().toStdString());
    if (!message.empty()) {
        ui_.Ask(message, app::kProgramTitle, app::Buttons::Ok, app::Icon::Exclamation);
        return;
    }
    accept();
    changed_();
}

void MapDriveWindow::Disconnect() {
    const QListWidgetItem* row = lstDrives_->currentItem();
    if (row != nullptr &&
        browse::DisconnectDrive(drives_, store_, row->data(Qt::UserRole).toChar().toLatin1())) {
        Start();
        changed_();
    }
}

}  // namespace kestrel::ui
