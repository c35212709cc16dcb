#include "ui/properties_window.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QStringList>
#include <QVBoxLayout>

#include "platform/file_attributes.h"
#include "text/numbers.h"
#include "ui/dialog_controls.h"
#include "ui/qt_text.h"

namespace kestrel::ui {
namespace {

QLineEdit* ReadOnlyField(const char* name, QWidget* parent) {
    auto* field = Named(new QLineEdit(parent), name);
    // Read-only, yet reachable with Tab so that the text can be read and copied.
    field->setReadOnly(true);
    return field;
}

QCheckBox* Mark(const char* name, const QString& caption, QWidget* parent) {
    auto* box = Named(new QCheckBox(caption, parent), name);
    box->setAccessibleName(box->text());
    // It shows a mark; a click must not look as if it changed one.
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setFocusPolicy(Qt::TabFocus);
    return box;
}

}  // namespace

QString EntryKind(const platform::EntryDetails& details) {
    const bool folder = (details.attributes & platform::kAttrFolder) != 0;
    if ((details.attributes & platform::kAttrSystem) != 0 && !folder) {
        return Tr("Device, socket or pipe");
    }
    if (details.isLink) {
        return folder ? Tr("Link to a folder") : Tr("Link to a file");
    }
    // TRANSLATORS: The kind of an entry in the Properties window.
    return folder ? Tr("Folder") : Tr("File");
}

QString OwnerAccessText(int ownerAccess) {
    // Whole phrases for each of the eight combinations (read 4, write 2,
    // execute 1), so that a translation needs no list grammar of its own.
    static constexpr const char* kPhrases[] = {
        // TRANSLATORS: What the owner of a file may do with it, in the
        // Properties window; "None" when nothing.
        N_("None"), N_("Execute"),          N_("Write"),          N_("Write and execute"),
        N_("Read"), N_("Read and execute"), N_("Read and write"), N_("Read, write and execute")};
    return Tr(kPhrases[ownerAccess & 7]);
}

PropertiesWindow::PropertiesWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(Tr("Properties"));
    setWindowModality(Qt::ApplicationModal);

    txtName_ = ReadOnlyField("txtName", this);
    txtName_->setMinimumWidth(txtName_->fontMetrics().averageCharWidth() * 60);
    txtFolder_ = ReadOnlyField("txtFolder", this);
    txtKind_ = ReadOnlyField("txtKind", this);
    txtSize_ = ReadOnlyField("txtSize", this);
    txtModified_ = ReadOnlyField("txtModified", this);
    txtAccess_ = ReadOnlyField("txtAccess", this);
    auto* grid = new QGridLayout;
    int row = 0;
    for (const auto& [caption, field] :
         {std::pair{Tr("&Name:"), txtName_}, std::pair{Tr("In folder:"), txtFolder_},
          std::pair{Tr("Kind:"), txtKind_}, std::pair{Tr("Size:"), txtSize_},
          std::pair{Tr("Modified:"), txtModified_},
          // TRANSLATORS: Followed by what the owner may do ("Read and write").
          std::pair{Tr("Owner may:"), txtAccess_}}) {
        grid->addWidget(FieldLabel(caption, field, this), row, 0);
        grid->addWidget(field, row++, 1);
    }

    auto* marks = Named(new QGroupBox(Tr("Attributes"), this), "fraAttributes");
    // TRANSLATORS: The file attributes, as the Properties window marks them.
    chkReadOnly_ = Mark("chkReadOnly", Tr("Read-only"), marks);
    chkHidden_ = Mark("chkHidden", Tr("Hidden"), marks);
    chkSystem_ = Mark("chkSystem", Tr("System"), marks);
    chkArchive_ = Mark("chkArchive", Tr("Archive"), marks);
    auto* markRow = new QHBoxLayout(marks);
    for (QCheckBox* box : {chkReadOnly_, chkHidden_, chkSystem_, chkArchive_}) {
        markRow->addWidget(box);
    }

    auto* close = DialogButton("cmdClose", Tr("&Close"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(marks);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PropertiesWindow::ShowEntry(const QString& path, const platform::EntryDetails& details) {
    // The path without a folder's mark splits into the entry's name and its folder.
    QString whole = path;
    if (whole.endsWith(QLatin1Char('\\')) && whole.size() > 3) {
        whole.chop(1);
    }
    const qsizetype slash = whole.lastIndexOf(QLatin1Char('\\'));
    txtName_->setText(whole.mid(slash + 1));
    txtFolder_->setText(whole.left(slash + 1));
    txtFolder_->setCursorPosition(0);
    txtKind_->setText(EntryKind(details));
    const bool folder = (details.attributes & platform::kAttrFolder) != 0;
    // The count pattern prints zero as empty text; a size says "0".
    const auto size = static_cast<std::int64_t>(details.size);
    const QString number = size == 0 ? QStringLiteral("0") : ToQString(text::FormatCount(size));
    const QString bytes =
        // TRANSLATORS: A file's size; {1} is the number of bytes, with
        // thousands separators. English says "bytes" for one byte too.
        Fill(TrPlural("{1} bytes", "{1} bytes", static_cast<std::uint64_t>(size)), {number});
    txtSize_->setText(folder ? QString() : bytes);
    txtModified_->setText(
        QLocale().toString(QDateTime::fromSecsSinceEpoch(details.modified), QLocale::LongFormat));
    txtAccess_->setText(OwnerAccessText(details.ownerAccess));
    chkReadOnly_->setChecked((details.attributes & platform::kAttrReadOnly) != 0);
    chkHidden_->setChecked((details.attributes & platform::kAttrHidden) != 0);
    chkSystem_->setChecked((details.attributes & platform::kAttrSystem) != 0);
    chkArchive_->setChecked((details.attributes & platform::kAttrArchive) != 0);
}

}  // namespace kestrel::ui
