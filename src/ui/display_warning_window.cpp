#include "ui/display_warning_window.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/key_paths.h"
#include "settings/settings_store.h"
#include "ui/qt_text.h"

namespace kestrel::ui {
namespace {

constexpr const char* kDescription =
    N_("Kestrel requires a minimum desktop resolution of 1024x768 with small fonts, and larger "
       "resolutions with larger fonts.  We apologize for any inconvenience, but it is not possible "
       "to maintain ease of use and pack all of the program's features into anything less!");

QPushButton* MakeButton(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

DisplayWarningWindow::DisplayWarningWindow(settings::SettingsStore& store, QWidget* parent)
    : QDialog(parent), store_(store) {
    setObjectName(QStringLiteral("frmDisplayWarning"));
    setWindowTitle(Tr("Warning"));
    setModal(true);

    auto* heading = new QLabel(Tr("Warning: desktop area too small"), this);
    heading->setObjectName(QStringLiteral("lblError"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto* description = new QLabel(Tr(kDescription), this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);
    auto* never = new QCheckBox(Tr("Do not give this warning in the future."), this);
    never->setObjectName(QStringLiteral("chkDWF"));
    QPushButton* change = MakeButton("cmdChangeDisp", Tr("Change display settings..."), this);
    QPushButton* exitButton = MakeButton("btnExit", Tr("Exit"), this);
    QPushButton* continueButton = MakeButton("btnContinue", Tr("Continue"), this);
    continueButton->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(change);
    buttons->addStretch();
    buttons->addWidget(exitButton);
    buttons->addWidget(continueButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(description);
    layout->addWidget(never);
    layout->addLayout(buttons);
    setMinimumWidth(480);

    connect(never, &QCheckBox::toggled, this, &DisplayWarningWindow::RememberChoice);
    connect(change, &QPushButton::clicked, this, &DisplayWarningWindow::ChangeDisplaySettings);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(continueButton, &QPushButton::clicked, this, &QDialog::accept);
}

void DisplayWarningWindow::RememberChoice(bool disabled) {
    store_.WriteNumber(settings::Scope::Machine, settings::kSettingsKey, "Disable display warning",
                       disabled ? 1 : 0);
}

void DisplayWarningWindow::ChangeDisplaySettings() {
    // The desktop's own display settings; which program offers them depends on
    // the desktop, so the known ones are tried in turn.
    for (const char* program : {"gnome-control-center", "systemsettings", "xfce4-display-settings",
                                "lxrandr", "arandr"}) {
        const QStringList arguments = QString::fromLatin1(program) == "gnome-control-center"
                                          ? QStringList{QStringLiteral("display")}
                                          : QStringList{};
        if (QProcess::startDetached(QString::fromLatin1(program), arguments)) {
            return;
        }
    }
    QMessageBox::information(this, Tr("Warning"), Tr("No display settings program was found."));
}

}  // namespace kestrel::ui
