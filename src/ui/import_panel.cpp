#include "ui/import_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "ui/dialog_controls.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"

namespace kestrel::ui {
namespace {

// The entries show in the user's language; the import reads them so as well
// as in English.
QComboBox* DelimiterBox(const char* name, std::size_t initial, QWidget* parent) {
    auto* box = Named(new QComboBox(parent), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view item : exchange::kDelimiterItems) {
        box->addItem(Tr(item.data()));
    }
    box->setCurrentIndex(static_cast<int>(initial));
    box->setToolTip(Tr("How do I know where a filename begins or ends?"));
    return box;
}

}  // namespace

ImportPanel::ImportPanel(app::Workspace& workspace, QtUi& ui, Hooks hooks, QWidget* parent)
    : QWidget(parent), workspace_(workspace), ui_(ui), hooks_(std::move(hooks)) {
    QWidget* parameters = BuildParameters();
    auto* status = new QGroupBox(Tr("Status"), this);
    lstStatusWindow_ = Named(new QListWidget(status), "lstStatusWindow");
    lstStatusWindow_->setAccessibleName(Tr("Status"));
    lstStatusWindow_->setMinimumHeight(120);
    auto* statusLayout = new QVBoxLayout(status);
    statusLayout->addWidget(lstStatusWindow_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(parameters);
    layout->addWidget(status, 1);

    connect(cmdPreview_, &QPushButton::clicked, this, [this] {
        Run([this](const exchange::StatusSink& sink) {
            exchange::PreviewImport(workspace_.FileSystem(), Request(), sink);
        });
    });
    connect(cmdImport_, &QPushButton::clicked, this, [this] {
        int renamed = 0;
        Run([this, &renamed](const exchange::StatusSink& sink) {
            renamed = exchange::RunImport(workspace_.FileSystem(), Request(), sink).successes;
        });
        if (renamed > 0 && hooks_.renamed) {
            hooks_.renamed();
        }
    });
}

QWidget* ImportPanel::BuildParameters() {
    auto* frame = new QGroupBox(Tr("Import parameters"), this);
    txtSourceList_ = Named(new QLineEdit(frame), "txtSourceList");
    txtTargetList_ = Named(new QLineEdit(frame), "txtTargetList");
    txtSourceDirectory_ = Named(new QLineEdit(frame), "txtSourceDirectory");
    txtTargetDirectory_ = Named(new QLineEdit(frame), "txtTargetDirectory");
    txtSourceDirectory_->setText(ToQString(workspace_.txtSourceDir));
    txtTargetDirectory_->setText(ToQString(workspace_.txtSourceDir));
    cbo1stDelimiter_ = DelimiterBox("cbo1stDelimiter", 0, frame);
    cbo2ndDelimiter_ = DelimiterBox("cbo2ndDelimiter", 3, frame);

    QPushButton* browseSource =
        BrowseButton("cmdBrowseSource",
                     Tr("Browse to file containing source or source and target names"), frame);
    QPushButton* browseTarget = BrowseButton(
        "cmdBrowseTarget",
        Tr("Browse to file containing target names (if using two separate files)"), frame);
    QPushButton* browseFolder = BrowseButton(
        "cmdBrowseWorkingDirectory", Tr("Browse to folder in which to perform import"), frame);
    // TRANSLATORS: a button that asks for a delimiter character by its code.
    QPushButton* custom1 = DialogButton("cmd1stCustom", Tr("Custom"), frame);
    // TRANSLATORS: a button that asks for a delimiter character by its code.
    QPushButton* custom2 = DialogButton("cmd2ndCustom", Tr("Custom"), frame);
    custom1->setAccessibleName(Tr("Custom delimiter after source name"));
    custom2->setAccessibleName(Tr("Custom delimiter after target name"));
    cmdPreview_ = DialogButton("cmdPreview", Tr("&Preview"), frame);
    cmdImport_ = DialogButton("cmdImport", Tr("&Rename these files"), frame);

    auto* grid = new QGridLayout(frame);
    const struct {
        const char* label;
        QWidget* field;
        QPushButton* button;
    } rows[] = {
        {N_("Source/Both list"), txtSourceList_, browseSource},
        // TRANSLATORS: "opt." is short for optional.
        {N_("Target List (opt.)"), txtTargetList_, browseTarget},
        {N_("Source Files"), txtSourceDirectory_, browseFolder},
        {N_("Target Files"), txtTargetDirectory_, nullptr},
        // TRANSLATORS: the delimiter that ends each source name in the list file.
        {N_("After source name"), cbo1stDelimiter_, custom1},
        // TRANSLATORS: the delimiter that ends each target name in the list file.
        {N_("After target name"), cbo2ndDelimiter_, custom2},
    };
    int row = 0;
    for (const auto& line : rows) {
        grid->addWidget(FieldLabel(Tr(line.label), line.field, frame), row, 0);
        grid->addWidget(line.field, row, 1);
        // Wide enough for a folder path to be read whole.
        line.field->setMinimumWidth(380);
        if (line.button != nullptr) {
            grid->addWidget(line.button, row, 2);
        }
        ++row;
    }
    grid->setColumnStretch(1, 1);
    auto* commands = new QHBoxLayout;
    commands->addStretch(1);
    commands->addWidget(cmdPreview_);
    commands->addWidget(cmdImport_);
    grid->addLayout(commands, row, 0, 1, 3);

    connect(browseSource, &QPushButton::clicked, this,
            [this] { BrowseList(txtSourceList_, Tr("Select the source list")); });
    connect(browseTarget, &QPushButton::clicked, this,
            [this] { BrowseList(txtTargetList_, Tr("Select the target list")); });
    connect(browseFolder, &QPushButton::clicked, this, &ImportPanel::BrowseFolder);
    connect(custom1, &QPushButton::clicked, this, [this] { AskCustomDelimiter(cbo1stDelimiter_); });
    connect(custom2, &QPushButton::clicked, this, [this] { AskCustomDelimiter(cbo2ndDelimiter_); });
    return frame;
}

exchange::ImportRequest ImportPanel::Request() const {
    return {txtSourceList_->text().toStdString(),
            txtTargetList_->text().toStdString(),
            txtSourceDirectory_->text().toStdString(),
            txtTargetDirectory_->text().toStdString(),
            cbo1stDelimiter_->currentText().toStdString(),
            cbo2ndDelimiter_->currentText().toStdString()};
}

void ImportPanel::Run(const std::function<void(const exchange::StatusSink&)>& operation) {
    lstStatusWindow_->clear();
    cmdPreview_->setEnabled(false);
    cmdImport_->setEnabled(false);
    ui_.SetPointer(app::Pointer::ArrowHourglass);
    operation([this](std::string_view line) {
        lstStatusWindow_->addItem(ToQString(line));
        lstStatusWindow_->scrollToBottom();
        ui_.ProcessPendingEvents();
    });
    ui_.SetPointer(app::Pointer::Normal);
    cmdPreview_->setEnabled(true);
    cmdImport_->setEnabled(true);
}

void ImportPanel::AskCustomDelimiter(QComboBox* box) {
    // Asked again until the answer is a code; Cancel leaves the box as it was.
    std::string answer = "13";
    for (;;) {
        const std::optional<std::string> typed =
            ui_.Input(text::Tr(std::string(exchange::kCustomDelimiterPrompt).c_str()),
                      text::Tr(std::string(exchange::kCustomDelimiterTitle).c_str()), answer);
        if (!typed) {
            return;
        }
        if (const std::optional<int> code = exchange::CustomDelimiterCode(*typed)) {
            box->setCurrentText(ToQString(exchange::CustomDelimiterText(*code)));
            return;
        }
        answer = *typed;
    }
}

void ImportPanel::BrowseList(QLineEdit* box, const QString& title) {
    // TRANSLATORS: keep "(*)", the pattern the file dialog reads.
    const QString allFiles = Tr("All files (*)");
    const std::optional<std::string> file =
        ui_.ChooseFile({FileRequest::Kind::Open, title, {allFiles}, {}, {}, {}});
    if (file) {
        box->setText(ToQString(*file));
    }
}

void ImportPanel::BrowseFolder() {
    // The folder goes in as the tree gives it, OK or not: the user adds the
    // backslash the import's plain joining needs.
    hooks_.browseFolder(
        [this](const std::string& treePath) { txtSourceDirectory_->setText(ToQString(treePath)); });
}

}  // namespace kestrel::ui
