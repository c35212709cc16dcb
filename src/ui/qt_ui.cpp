#include "ui/qt_ui.h"
#include "ui/named_combo_box_accessible.h"
#include "ui/qt_text.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QTimer>
#include <QWidget>

#include "platform/drive_table.h"
#include "ui/splash_window.h"
#include "ui/status_panels.h"

namespace kestrel::ui {
namespace {

// Repainting on every status change would let painting dominate a listing of
// thousands of entries; this often is enough to look alive.
constexpr qint64 kRepaintIntervalMs = 50;

QMessageBox::StandardButtons ButtonsOf(app::Buttons buttons) {
    switch (buttons) {
        case app::Buttons::Ok:
            return QMessageBox::Ok;
        case app::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case app::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case app::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case app::Buttons::AbortRetryIgnore:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(app::Icon icon) {
    switch (icon) {
        case app::Icon::Critical:
            return QMessageBox::Critical;
        case app::Icon::Question:
            return QMessageBox::Question;
        case app::Icon::Exclamation:
            return QMessageBox::Warning;
        case app::Icon::Information:
            return QMessageBox::Information;
        case app::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

std::optional<app::Answer> AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Ok:
            return app::Answer::Ok;
        case QMessageBox::Cancel:
            return app::Answer::Cancel;
        case QMessageBox::Yes:
            return app::Answer::Yes;
        case QMessageBox::No:
            return app::Answer::No;
        case QMessageBox::Abort:
            return app::Answer::Abort;
        case QMessageBox::Retry:
            return app::Answer::Retry;
        case QMessageBox::Ignore:
            return app::Answer::Ignore;
        default:
            return std::nullopt;
    }
}

// A box dismissed without a button (closed by the window system) takes the
// answer of its escape button, as Escape would.
app::Answer EscapeAnswer(app::Buttons buttons) {
    switch (buttons) {
        case app::Buttons::Ok:
            return app::Answer::Ok;
        case app::Buttons::YesNo:
            return app::Answer::No;
        case app::Buttons::AbortRetryIgnore:
            return app::Answer::Abort;
        case app::Buttons::OkCancel:
        case app::Buttons::YesNoCancel:
            break;
    }
    return app::Answer::Cancel;
}

std::size_t Index(app::StatusPanel panel) {
    return static_cast<std::size_t>(panel);
}
std::size_t Index(app::Progress bar) {
    return static_cast<std::size_t>(bar);
}

}  // namespace

QString DisplayText(std::string_view text) {
    QString out = ToQString(text);
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QtUi::QtUi() {
    sinceRepaint_.start();
    UseNamedComboBoxAccessibility();
    // Programs the desktop runs for the window (a file opener) are looked at
    // again from the event loop, never waited for.
    pathPrograms_.SetScheduler([this](int milliseconds, std::function<void()> task) {
        QTimer::singleShot(milliseconds, &watchTimers_, std::move(task));
    });
}

QtUi::~QtUi() {
    SetPointer(app::Pointer::Normal);
}

void QtUi::AttachWindow(const WindowParts& parts) {
    parts_ = parts;
    for (std::size_t i = 0; i < statusTexts_.size(); ++i) {
        if (parts_.statusPanels[i] != nullptr) {
            parts_.statusPanels[i]->setText(ToQString(statusTexts_[i]));
        }
    }
    for (QProgressBar* bar : parts_.progressBars) {
        if (bar != nullptr) {
            bar->hide();
        }
    }
}

app::Answer QtUi::Ask(std::string_view text, std::string_view title, app::Buttons buttons,
                      app::Icon icon) {
    if (askHook_) {
        return askHook_(text, title, buttons, icon);
    }
    QMessageBox box(IconOf(icon), ToQString(title), DisplayText(text), ButtonsOf(buttons),
                    DialogParent());
    const int pressed = box.exec();
    return AnswerOf(pressed).value_or(EscapeAnswer(buttons));
}

std::optional<std::string> QtUi::Input(std::string_view prompt, std::string_view title,
                                       std::string_view initial) {
    if (inputHook_) {
        return inputHook_(prompt, title, initial);
    }
    bool ok = false;
    const QString text =
        QInputDialog::getText(DialogParent(), ToQString(title), DisplayText(prompt),
                              QLineEdit::Normal, ToQString(initial), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text.toStdString();
}

QWidget* QtUi::DialogParent() const {
    return QApplication::activeWindow() != nullptr ? QApplication::activeWindow() : parts_.window;
}

std::optional<std::string> QtUi::ChooseFile(const FileRequest& request) {
    if (fileHook_) {
        return fileHook_(request);
    }
    const bool host = request.kind == FileRequest::Kind::HostFolder;
    QString folder = ToQString(request.folder);
    if (drives_ != nullptr && !host) {
        folder = ToQString(drives_->ToHostPath(request.folder).value_or(std::string()));
    }
    QFileDialog dialog(DialogParent(), request.title, folder);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialName.isEmpty()) {
        dialog.selectFile(request.initialName);
    }
    switch (request.kind) {
        case FileRequest::Kind::Open:
            dialog.setFileMode(QFileDialog::ExistingFile);
            break;
        case FileRequest::Kind::Save:
            // The program writes through a temporary file and never asks
            // twice; the user chose the name.
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
            break;
        case FileRequest::Kind::Folder:
        case FileRequest::Kind::HostFolder:
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
            break;
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const std::string chosen = dialog.selectedFiles().constFirst().toStdString();
    if (drives_ == nullptr || host) {
        return chosen;
    }
    if (request.kind == FileRequest::Kind::Folder) {
        return drives_->FolderInputToProgram(chosen);
    }
    const std::string program = drives_->ToProgramPath(chosen);
    return program.empty() ? chosen : program;
}

bool QtUi::AskPrinter(QPrinter& printer, PrinterDialog dialog) {
    if (printerHook_) {
        return printerHook_(printer, dialog);
    }
    if (dialog == PrinterDialog::PageSetup) {
        QPageSetupDialog setup(&printer, DialogParent());
        return setup.exec() == QDialog::Accepted;
    }
    // Only whole lists are printed: no page ranges, no selection.
    printer.setCollateCopies(true);
    QPrintDialog print(&printer, DialogParent());
    print.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintCollateCopies |
                     QAbstractPrintDialog::PrintShowPageSize);
    return print.exec() == QDialog::Accepted;
}

void QtUi::SetStatus(app::StatusPanel panel, std::string_view text) {
    // The label always receives the newest text; only the painting is throttled.
    statusTexts_[Index(panel)] = std::string(text);
    if (QLabel* label = parts_.statusPanels[Index(panel)]) {
        label->setText(ToQString(text));
        // Where the panels cannot all be read whole, the whole text on pointing.
        label->setToolTip(label->text());
        if (parts_.statusBar != nullptr) {
            parts_.statusBar->TextsChanged();
        }
    }
    RepaintWhenDue();
}

void QtUi::ShowProgress(app::Progress bar, int maximum) {
    progressValues_[Index(bar)] = 0;
    if (QProgressBar* progress = parts_.progressBars[Index(bar)]) {
        progress->setRange(0, std::max(maximum, 1));
        progress->setValue(0);
        progress->show();
    }
}

void QtUi::SetProgress(app::Progress bar, int value) {
    // QProgressBar repaints at once on most value changes; the value is kept
    // and applied with the next throttled repaint instead.
    progressValues_[Index(bar)] = value;
    RepaintWhenDue();
}

void QtUi::HideProgress(app::Progress bar) {
    if (QProgressBar* progress = parts_.progressBars[Index(bar)]) {
        progress->hide();
    }
}

void QtUi::SetPointer(app::Pointer pointer) {
    if (pointer == pointer_) {
        return;
    }
    const bool wasOverridden = pointer_ != app::Pointer::Normal;
    pointer_ = pointer;
    if (pointer == app::Pointer::Normal) {
        QApplication::restoreOverrideCursor();
        return;
    }
    const QCursor cursor(pointer == app::Pointer::Busy ? Qt::WaitCursor : Qt::BusyCursor);
    if (wasOverridden) {
        QApplication::changeOverrideCursor(cursor);
    } else {
        QApplication::setOverrideCursor(cursor);
    }
}

void QtUi::SetListsVisible(bool visible) {
    for (QWidget* list : {parts_.sourceList, parts_.targetList}) {
        if (list != nullptr) {
            list->setVisible(visible);
        }
    }
}

bool QtUi::SplashShowing() const {
    return splash_ != nullptr && splash_->isVisible();
}

void QtUi::SetSplashStatus(std::string_view text) {
    if (splash_ != nullptr) {
        splash_->SetStatus(ToQString(text));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void QtUi::PlaySound(std::string_view file) {
    // A missing file or player means no sound, which is no failure of the
    // operation that finished.
    player_->Play(file);
}

void QtUi::ProcessPendingEvents() {
    Flush();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sinceRepaint_.restart();
}

void QtUi::Flush() {
    for (std::size_t i = 0; i < progressValues_.size(); ++i) {
        QProgressBar* bar = parts_.progressBars[i];
        if (bar != nullptr && bar->isVisible()) {
            bar->setValue(std::clamp(progressValues_[i], bar->minimum(), bar->maximum()));
        }
    }
}

void QtUi::RepaintWhenDue() {
    if (sinceRepaint_.elapsed() >= kRepaintIntervalMs) {
        ProcessPendingEvents();
    }
}

}  // namespace kestrel::ui
