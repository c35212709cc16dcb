#include "ui/export_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "exchange/print_list.h"
#include "platform/desktop_tools.h"
#include "ui/dialog_controls.h"
#include "ui/import_panel.h"
#include "ui/qt_print_job.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"

namespace kestrel::ui {
namespace {

constexpr int kPrintTab = 2;

void Say(QtUi& ui, const std::string& text, app::Icon icon) {
    ui.Ask(text, app::kProgramTitle, app::Buttons::Ok, icon);
}

// A file dialog's filter: the name the user reads, then the patterns the
// dialog matches, which no translation may change.
QString Filter(const QString& name, const char* patterns) {
    return name + QStringLiteral(" (") + QLatin1String(patterns) + QLatin1Char(')');
}

}  // namespace

ExportWindow::ExportWindow(app::Workspace& workspace, QtUi& ui, ImportPanel::Hooks importHooks,
                           QWidget* parent)
    : QDialog(parent), workspace_(workspace), ui_(ui), printer_(QPrinter::HighResolution) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(Tr("Import/Export/Print"));
    setWindowModality(Qt::ApplicationModal);
    printer_.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);

    tabStrip_ = Named(new QTabWidget(this), "TabStrip");
    tabStrip_->setAccessibleName(Tr("Import, export or print"));
    QWidget* panels[] = {new ImportPanel(workspace_, ui_, std::move(importHooks), tabStrip_),
                         BuildExportTab(), BuildPrintTab()};
    // TRANSLATORS: The captions of the window's three tabs.
    const char* captions[] = {N_("Import"), N_("Export"), N_("Print")};
    for (int i = 0; i < 3; ++i) {
        Named(panels[i], "fmeTabs");
        tabStrip_->addTab(panels[i], Tr(captions[i]));
    }
    tabStrip_->setCurrentIndex(kPrintTab);

    QPushButton* close = DialogButton("cmdCancel", Tr("&Close"), this);
    connect(close, &QPushButton::clicked, this, &ExportWindow::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabStrip_, 1);
    layout->addLayout(buttons);
}

QWidget* ExportWindow::BuildExportTab() {
    auto* tab = new QWidget(this);
    auto* formats = new QGroupBox(Tr("Export File Format"), tab);
    auto* formatLayout = new QVBoxLayout(formats);
    const char* captions[] = {
        N_("Standard listing, one file per line"), N_("Comma Separated Values"),
        N_("Tab delimited (entries separated by tabs)"), N_("Executable batch file"),
        // TRANSLATORS: ".undo.sh" is the ending of a file name.
        N_("Shell script (sh), with its .undo.sh")};
    for (std::size_t i = 0; i < optOutputFormat_.size(); ++i) {
        optOutputFormat_[i] = Named(new QRadioButton(Tr(captions[i]), formats), "optOutputFormat");
        optOutputFormat_[i]->setAccessibleName(optOutputFormat_[i]->text());
        formatLayout->addWidget(optOutputFormat_[i]);
    }
    optOutputFormat_[0]->setChecked(true);

    txtFilename_ = Named(new QLineEdit(tab), "txtFilename");
    // The folder the user is looking at: the one the program started on may
    // be another, or a drive root no user may write to.
    txtFilename_->setText(
        ToQString(workspace_.Paths().Path(workspace_.txtSourceDir + "Kestrel listing.txt")));
    QPushButton* browse = BrowseButton("cmdBrowse", Tr("Select a folder to put export file"), tab);
    auto* note = new QLabel(
        Tr("A batch file needs the extension \".bat\" (or \".cmd\" for the NT command prompt)."),
        tab);
    note->setWordWrap(true);
    lblExportList_ = Named(new QLabel(tab), "lblExportList");
    QPushButton* exportButton = DialogButton("cmdExport", Tr("&Export"), tab);
    exportButton->setToolTip(Tr("Writes the file"));

    auto* grid = new QGridLayout(tab);
    grid->addWidget(formats, 0, 0, 1, 2);
    grid->addWidget(FieldLabel(Tr("Enter the filename to export to:"), txtFilename_, tab), 1, 0, 1,
                    2);
    grid->addWidget(txtFilename_, 2, 0);
    grid->addWidget(browse, 2, 1);
    grid->addWidget(note, 3, 0, 1, 2);
    grid->addWidget(lblExportList_, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);
    grid->addWidget(exportButton, 6, 1);
    grid->setColumnStretch(0, 1);

    connect(browse, &QPushButton::clicked, this, &ExportWindow::BrowseExportFile);
    connect(exportButton, &QPushButton::clicked, this, &ExportWindow::Export);
    return tab;
}

QWidget* ExportWindow::BuildPrintTab() {
    auto* tab = new QWidget(this);
    cboPrint_ = Named(new QComboBox(tab), "cboPrint");
    cboPrint_->addItems({Tr("Source file list"), Tr("Target file list"), Tr("Both file lists")});
    QPushButton* print = DialogButton("cmdPrint", Tr("&Print..."), tab);
    print->setToolTip(Tr("Print list"));
    QPushButton* setup = DialogButton("cmdPrinterSetup", Tr("Printer &Setup..."), tab);
    setup->setToolTip(Tr("Choose printer options"));
    QPushButton* add = DialogButton("cmdAddPrinter", Tr("&Add Printer..."), tab);
    add->setToolTip(Tr("Add a new printer"));

    auto* choice = new QHBoxLayout;
    choice->addWidget(FieldLabel(Tr("Select list(s) to print:"), cboPrint_, tab));
    choice->addWidget(cboPrint_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addWidget(setup);
    buttons->addWidget(add);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(choice);
    layout->addLayout(buttons);
    layout->addStretch(1);

    connect(print, &QPushButton::clicked, this, &ExportWindow::Print);
    // The next print-out uses what the setup chose: the printer is the window's.
    connect(setup, &QPushButton::clicked, this,
            [this] { ui_.AskPrinter(printer_, PrinterDialog::PageSetup); });
    connect(add, &QPushButton::clicked, this, &ExportWindow::AddPrinter);
    return tab;
}

void ExportWindow::OpenFor(exchange::ExportList list) {
    workspace_.exportListIndex = list;
    cboPrint_->setCurrentIndex(static_cast<int>(list));
    lblExportList_->setText(list == exchange::ExportList::Source
                                ? Tr("A listing describes the source file list.")
                                : Tr("A listing describes the target file list."));
}

void ExportWindow::reject() {
    hide();
    deleteLater();
}

std::string ExportWindow::FileNameTyped() const {
    // Written as the user reads paths or with a drive letter: the file holds
    // the program's own form either way.
    const std::string typed = txtFilename_->text().toStdString();
    const platform::DriveTable* drives = workspace_.Drives();
    if (drives != nullptr && (typed.starts_with('/') || typed.starts_with('~'))) {
        const std::string program = drives->ToProgramPath(typed);
        return program.empty() ? typed : program;
    }
    return typed;
}

void ExportWindow::BrowseExportFile() {
    std::string folder = FileNameTyped();
    folder.erase(folder.find_last_of('\\') == std::string::npos ? 0
                                                                : folder.find_last_of('\\') + 1);
    const std::optional<std::string> file =
        ui_.ChooseFile({FileRequest::Kind::Save,
                        Tr("Select a folder to put export file"),
                        {Filter(Tr("Text file"), "*.txt"), Filter(Tr("Delimited"), "*.csv"),
                         Filter(Tr("DOS Batch"), "*.bat"), Filter(Tr("Shell script"), "*.sh"),
                         Filter(Tr("All files"), "*")},
                        QStringLiteral("txt"),
                        folder,
                        {}});
    // A cancelled dialog leaves the name as it was.
    if (file) {
        txtFilename_->setText(ToQString(workspace_.Paths().Path(*file)));
    }
}

void ExportWindow::Export() {
    std::size_t format = 0;
    while (format + 1 < optOutputFormat_.size() && !optOutputFormat_[format]->isChecked()) {
        ++format;
    }
    const app::Workspace::ExportResult result = workspace_.ExportLists(
        static_cast<exchange::ExportFormat>(format), FileNameTyped(), workspace_.exportListIndex);
    // A name that cannot be written is the user's to mend: the window stays.
    if (!result.error.Ok()) {
        Say(ui_,
            exchange::OutputErrorText(result.error, "writing",
                                      workspace_.Paths().Path(result.file)),
            app::Icon::Exclamation);
        return;
    }
    if (result.leftOut > 0) {
        Say(ui_, exchange::LeftOutOfBatchText(result.leftOut), app::Icon::Exclamation);
    }
    hide();
}

void ExportWindow::Print() {
    if (!ui_.AskPrinter(printer_, PrinterDialog::Print)) {
        return;
    }
    // The copies are made here, each starting on a new page, rather than
    // left to a printer that may not collate them.
    const int copies = std::max(1, printer_.copyCount());
    printer_.setCopyCount(1);
    QtPrintJob job(printer_);
    ui_.SetPointer(app::Pointer::Busy);
    const platform::FileError error = exchange::PrintList(
        job, static_cast<exchange::PrintChoice>(cboPrint_->currentIndex()), copies,
        {workspace_.txtSourceDir, workspace_.txtDestDir, workspace_.SourceFileList(),
         workspace_.TargetFileList()});
    ui_.SetPointer(app::Pointer::Normal);
    printer_.setCopyCount(copies);
    if (!error.Ok()) {
        const QString target = printer_.outputFileName().isEmpty() ? printer_.printerName()
                                                                   : printer_.outputFileName();
        Say(ui_, exchange::OutputErrorText(error, "printing to", target.toStdString()),
            app::Icon::Exclamation);
        return;
    }
    hide();
}

void ExportWindow::AddPrinter() {
    if (!platform::StartDesktopTool(ui_.Programs(), platform::DesktopTool::PrinterSettings,
                                    platform::CurrentDesktop())) {
        Say(ui_, text::Tr("No printer settings tool was found on this desktop."),
            app::Icon::Information);
    }
}

}  // namespace kestrel::ui
