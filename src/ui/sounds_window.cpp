#include "ui/sounds_window.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/sound_player.h"
#include "ui/dialog_controls.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"

namespace kestrel::ui {
namespace {

constexpr const char* kNoPlayer = N_("No sound player was found on this desktop.");

/// The event's name as the user reads it (its settings key stays English).
QString EventName(settings::SoundEvent event) {
    return ToQString(settings::SoundEventCaption(event));
}

/// A button of an event's row: its caption, with the event in its accessible
/// name so that a screen reader tells the two rows apart.
QPushButton* RowButton(const QString& name, const QString& caption, settings::SoundEvent event,
                       QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // TRANSLATORS: What a screen reader says for a button of the Sounds
    // window: {1} is the button's caption ("Test"), {2} the sound event
    // ("Operation complete").
    button->setAccessibleName(Fill(Tr("{1} ({2})"), {button->text(), EventName(event)}));
    return button;
}

// A file dialog's filter: the name the user reads, then the patterns the
// dialog matches, which no translation may change.
QString Filter(const QString& name, const char* patterns) {
    return name + QStringLiteral(" (") + QLatin1String(patterns) + QLatin1Char(')');
}

}  // namespace

SoundsWindow::SoundsWindow(settings::SettingsStore* store, settings::SoundTable& table, QtUi& ui,
                           QWidget* parent)
    : QDialog(parent), store_(store), table_(table), ui_(ui) {
    setObjectName(QStringLiteral("frmSounds"));
    setWindowTitle(Tr("Sounds"));
    setWindowModality(Qt::ApplicationModal);

    auto* grid = new QGridLayout;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        EventRow& row = rows_[i];
        row.event = settings::kSoundEvents[i];
        const QString number = QString::number(static_cast<int>(row.event));
        row.file = new QLineEdit(this);
        row.file->setObjectName(QStringLiteral("txtSound") + number);
        row.file->setPlaceholderText(Tr("No sound"));
        row.file->setMinimumWidth(row.file->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24);
        row.browse =
            RowButton(QStringLiteral("cmdBrowse") + number, Tr("Browse..."), row.event, this);
        // TRANSLATORS: A button that plays the event's sound.
        row.test = RowButton(QStringLiteral("cmdTest") + number, Tr("Test"), row.event, this);
        // TRANSLATORS: A button that takes the event's sound away.
        row.none = RowButton(QStringLiteral("cmdNone") + number, Tr("None"), row.event, this);
        row.desktop =
            // TRANSLATORS: A button that chooses the desktop theme's own sound for the event.
            RowButton(QStringLiteral("cmdDesktop") + number, Tr("Desktop sound"), row.event, this);

        const int line = static_cast<int>(i) * 2;
        grid->addWidget(FieldLabel(EventName(row.event), row.file, this), line, 0, 1, 5);
        grid->addWidget(row.file, line + 1, 0);
        grid->addWidget(row.browse, line + 1, 1);
        grid->addWidget(row.test, line + 1, 2);
        grid->addWidget(row.none, line + 1, 3);
        grid->addWidget(row.desktop, line + 1, 4);

        connect(row.file, &QLineEdit::textChanged, this,
                [this, &row](const QString& text) { Choose(row, text); });
        connect(row.browse, &QPushButton::clicked, this, [this, &row] { Browse(row); });
        connect(row.test, &QPushButton::clicked, this, [this, &row] { Test(row); });
        connect(row.none, &QPushButton::clicked, row.file, &QLineEdit::clear);
        connect(row.desktop, &QPushButton::clicked, this,
                [&row] { row.file->setText(row.desktopFile); });
    }
    grid->setColumnStretch(0, 1);

    QPushButton* close = DialogButton("cmdClose", Tr("&Close"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    Load();
}

void SoundsWindow::Load() {
    loading_ = true;
    const std::string dataDirs = platform::DataDirs();
    for (EventRow& row : rows_) {
        const std::string& file = table_.FileFor(row.event);
        row.file->setText(settings::HasSoundFile(file) ? ToQString(file) : QString());
        // The theme may have been installed since the last opening.
        row.desktopFile =
            ToQString(platform::FindThemeSound(settings::ThemeSoundName(row.event), dataDirs));
        row.desktop->setEnabled(!row.desktopFile.isEmpty());
        row.desktop->setToolTip(row.desktopFile.isEmpty()
                                    ? Tr("The desktop's sound theme is not installed")
                                    : row.desktopFile);
        row.test->setEnabled(!row.file->text().isEmpty());
    }
    loading_ = false;
}

void SoundsWindow::Choose(EventRow& row, const QString& file) {
    row.test->setEnabled(!file.isEmpty());
    if (loading_) {
        return;
    }
    const std::string path = file.toStdString();
    if (store_ != nullptr) {
        settings::WriteSoundFile(*store_, table_, row.event, path);
    } else {
        table_.files[static_cast<std::size_t>(row.event) - 1] = path;
    }
}

void SoundsWindow::Browse(EventRow& row) {
    QString folder = QFileInfo(row.file->text()).absolutePath();
    if (row.file->text().isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir(QStringLiteral("/usr/share/sounds")).exists()
                     ? QStringLiteral("/usr/share/sounds")
                     : QDir::homePath();
    }
    const QString file =
        QFileDialog::getOpenFileName(this, EventName(row.event), folder,
                                     Filter(Tr("Sound files"), "*.wav *.oga *.ogg *.flac") +
                                         QStringLiteral(";;") + Filter(Tr("All files"), "*"));
    if (!file.isEmpty()) {
        row.file->setText(file);
    }
}

void SoundsWindow::Test(const EventRow& row) {
    switch (ui_.Player().Play(row.file->text().toStdString())) {
        case platform::PlayResult::Started:
            return;
        case platform::PlayResult::NoFile:
            ui_.Ask(text::Fill(text::Tr("The sound file \"{1}\" was not found."),
                               {row.file->text().toStdString()}),
                    app::kProgramTitle, app::Buttons::Ok, app::Icon::Information);
            return;
        case platform::PlayResult::NoPlayer:
            ui_.Ask(text::Tr(kNoPlayer), app::kProgramTitle, app::Buttons::Ok,
                    app::Icon::Information);
            return;
    }
}

}  // namespace kestrel::ui
