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

QCheckBox* Mark(const char* name, const char* caption, QWidget* parent) {
    auto* box = Named(new QCheckBox(QString::fromUtf8(caption), parent), name);
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
        return QStringLiteral("Device, socket or pipe");
    }
    if (details.isLink) {
        return folder ? QStringLiteral("Link to a folder") : QStringLiteral("Link to a file");
    }
    return folder ? QStringLiteral("Folder") : QStringLiteral("File");
}

QString OwnerAccessText(int ownerAccess) {
    QStringList words;
    if ((ownerAccess & 4) != 0) {
        words << QStringLiteral("read");
    }
    if ((ownerAccess & 2) != 0) {
        words << QStringLiteral("write");
    }
    if ((ownerAccess & 1) != 0) {
        words << QStringLiteral("execute");
    }
    if (words.isEmpty()) {
        return QStringLiteral("None");
    }
    QString text = words.size() == 1 ? words[0]
                                     : words.mid(0, words.size() - 1).join(QStringLiteral(", ")) +
                                           QStringLiteral(" and ") + words.last();
    text[0] = text[0].toUpper();
    return text;
}

PropertiesWindow::PropertiesWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Properties"));
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
         {std::pair{"&Name:", txtName_}, std::pair{"In folder:", txtFolder_},
          std::pair{"Kind:", txtKind_}, std::pair{"Size:", txtSize_},
          std::pair{"Modified:", txtModified_}, std::pair{"Owner may:", txtAccess_}}) {
        grid->addWidget(FieldLabel(QString::fromUtf8(caption), field, this), row, 0);
        grid->addWidget(field, row++, 1);
    }

    auto* marks = Named(new QGroupBox(QStringLiteral("Attributes"), this), "fraAttributes");
    chkReadOnly_ = Mark("chkReadOnly", "Read-only", marks);
    chkHidden_ = Mark("chkHidden", "Hidden", marks);
    chkSystem_ = Mark("chkSystem", "System", marks);
    chkArchive_ = Mark("chkArchive", "Archive", marks);
    auto* markRow = new QHBoxLayout(marks);
    for (QCheckBox* box : {chkReadOnly_, chkHidden_, chkSystem_, chkArchive_}) {
        markRow->addWidget(box);
    }

    auto* close = DialogButton("cmdClose", "&Close", this);
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
    txtSize_->setText(folder
                          ? QString()
                          : (size == 0 ? QStringLiteral("0") : ToQString(text::FormatCount(size))) +
                                QStringLiteral(" bytes"));
    txtModified_->setText(
        QLocale().toString(QDateTime::fromSecsSinceEpoch(details.modified), QLocale::LongFormat));
    txtAccess_->setText(OwnerAccessText(details.ownerAccess));
    chkReadOnly_->setChecked((details.attributes & platform::kAttrReadOnly) != 0);
    chkHidden_->setChecked((details.attributes & platform::kAttrHidden) != 0);
    chkSystem_->setChecked((details.attributes & platform::kAttrSystem) != 0);
    chkArchive_->setChecked((details.attributes & platform::kAttrArchive) != 0);
}

}  // namespace kestrel::ui
