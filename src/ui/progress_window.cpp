#include "ui/progress_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialog_controls.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"

namespace kestrel::ui {

ProgressWindow::ProgressWindow(QtUi& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(Tr("Internet Update"));
    setWindowModality(Qt::ApplicationModal);

    lblAction_ = Named(new QLabel(this), "lblAction");
    QFont bold = lblAction_->font();
    bold.setBold(true);
    lblAction_->setFont(bold);
    // The widest of the texts the update check shows, in the user's language.
    ReserveWidthFor(lblAction_, {Tr("Getting file from server"), Tr("Saving file to disk")});
    lblState_ = Named(new QLabel(this), "lblState");
    ReserveWidthFor(lblState_, {Tr("An error has occurred"), Tr("Contacting server")});
    // The length of an answer is seldom known ahead: the bar only shows that
    // the transfer is alive.
    prgTransfer_ = Named(new QProgressBar(this), "prgTransfer");
    prgTransfer_->setRange(0, 0);
    prgTransfer_->setTextVisible(false);
    // TRANSLATORS: names the progress bar of a download for screen readers.
    prgTransfer_->setAccessibleName(Tr("Transfer"));
    cmdCancel_ = DialogButton("cmdCancel", Tr("&Cancel"), this);
    connect(cmdCancel_, &QPushButton::clicked, this, &ProgressWindow::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblAction_);
    layout->addWidget(lblState_);
    layout->addWidget(prgTransfer_);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

void ProgressWindow::Open() {
    cancelled_ = false;
    lblState_->clear();
    show();
    raise();
    activateWindow();
    ui_.SetPointer(app::Pointer::ArrowHourglass);
    Paint();
}

void ProgressWindow::SetAction(std::string_view text) {
    lblAction_->setText(ToQString(text));
    Paint();
}

void ProgressWindow::SetState(std::string_view text) {
    lblState_->setText(ToQString(text));
}

bool ProgressWindow::Cancelled() {
    // Only this window takes input while it is up: it is modal.
    QApplication::processEvents();
    return cancelled_;
}

void ProgressWindow::Close() {
    hide();
    ui_.SetPointer(app::Pointer::Normal);
}

void ProgressWindow::reject() {
    cancelled_ = true;
}

void ProgressWindow::Paint() {
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace kestrel::ui
