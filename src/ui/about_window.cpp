#include "ui/about_window.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

#include "app/execute.h"
#include "app/help_manual.h"
#include "app/version.h"
#include "platform/desktop_opener.h"
#include "platform/desktop_tools.h"
#include "platform/system_versions.h"
#include "settings/key_paths.h"
#include "settings/settings_store.h"
#include "ui/dialog_controls.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"
#include "update/update_check.h"
#include "update/version_file.h"

namespace kestrel::ui {

AboutWindow::AboutWindow(settings::SettingsStore* store, QtUi& ui, UpdateCheck check,
                         QWidget* parent)
    : QDialog(parent), store_(store), ui_(ui), check_(std::move(check)) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(Tr("About Kestrel"));
    setWindowModality(Qt::ApplicationModal);

    lblVersion_ = Named(new QLabel(this), "lblVersion");
    lblVersion_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    chkOfferBetas_ = Named(new QCheckBox(Tr("Offer beta-test and release preview updates"), this),
                           "chkOfferBetas");
    chkOfferBetas_->setAccessibleName(chkOfferBetas_->text());
    chkOfferBetas_->setEnabled(store_ != nullptr);
    cmdUpdate_ = DialogButton("cmdUpdate", Tr("&Update Check"), this);
    cmdUpdate_->setToolTip(Tr("Get the latest version"));
    cmdWWW_ = DialogButton("cmdWWW", Tr("Visit &Web Site"), this);
    cmdSysInfo_ = DialogButton("cmdSysInfo", Tr("&System Information"), this);
    cmdOK_ = DialogButton("cmdOK", Tr("&Close"), this);
    cmdOK_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ScaledLabel(QStringLiteral("Kestrel"), 14, true, this));
    layout->addWidget(ScaledLabel(Tr("The ultimate file renaming utility"), 1, false, this));
    layout->addWidget(lblVersion_);
    layout->addSpacing(12);
    layout->addWidget(chkOfferBetas_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdUpdate_);
    buttons->addWidget(cmdWWW_);
    buttons->addWidget(cmdSysInfo_);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    layout->addLayout(buttons);

    connect(chkOfferBetas_, &QCheckBox::toggled, this, [this](bool on) {
        store_->WriteNumber(settings::Scope::Machine, settings::kRootKey, "Offer Betas",
                            on ? 1 : 0);
    });
    // The check acts as the button goes down, reading the keys held then.
    connect(cmdUpdate_, &QPushButton::pressed, this,
            [this] { CheckNow(QGuiApplication::keyboardModifiers()); });
    connect(cmdWWW_, &QPushButton::clicked, this, &AboutWindow::VisitWebSite);
    connect(cmdSysInfo_, &QPushButton::clicked, this, &AboutWindow::ShowSystemInformation);
    connect(cmdOK_, &QPushButton::clicked, this, &AboutWindow::accept);
    Load();
}

void AboutWindow::Load() {
    lblVersion_->setText(ToQString(update::VersionText(app::kVersion)));
    const QSignalBlocker quiet(chkOfferBetas_);
    chkOfferBetas_->setChecked(
        store_ != nullptr &&
        store_->ReadNumber(settings::Scope::Machine, settings::kRootKey, "Offer Betas", 0) == 1);
}

void AboutWindow::CheckNow(Qt::KeyboardModifiers modifiers) {
    const bool force = (modifiers & Qt::ShiftModifier) && (modifiers & Qt::ControlModifier) &&
                       !(modifiers & Qt::AltModifier);
    // The progress window takes the mouse from here on; the button must not
    // stay drawn pressed meanwhile.
    cmdUpdate_->setDown(false);
    check_(update::kManualCheck, force, [this](std::string_view status) {
        lblVersion_->setText(ToQString(update::VersionText(app::kVersion)) + ToQString(status));
    });
}

void AboutWindow::VisitWebSite() {
    const std::string site = update::ReadUpdateSettings(store_, "", update::kManualCheck).site;
    platform::XdgDesktopOpener opener(ui_.Programs());
    opener.Open(site, [&ui = ui_, site](int code) {
        if (code >= platform::kOpenStarted) {
            return;
        }
        const std::string_view reason =
            code == platform::kNoDesktopOpener || code == platform::kNoAssociation
                ? std::string_view(text::Tr(app::kNoBrowserText.data()))
                : app::ExecuteResultText(code);
        // TRANSLATORS: {1} is the address of Kestrel's web site.
        ui.Ask(text::Fill(text::Tr("Kestrel could not open {1}."), {site}) + "\r\r" +
                   std::string(reason),
               app::kProgramTitle, app::Buttons::Ok, app::Icon::Exclamation);
    });
}

void AboutWindow::ShowSystemInformation() {
    if (platform::StartDesktopTool(ui_.Programs(), platform::DesktopTool::SystemInformation,
                                   platform::CurrentDesktop())) {
        return;
    }
    // No tool of the desktop's own: what matters for a bug report.
    const platform::SystemVersions versions = platform::ReadSystemVersions();
    // One line for each part; only the operating system's line has words to
    // translate, the others are the libraries' names.
    // TRANSLATORS: {1} is the name and version of the operating system.
    ui_.Ask(text::Fill(text::Tr("Operating system: {1}"), {versions.operatingSystem}) +
                "\rQt: " + qVersion() + "\rICU: " + versions.icu + "\rSQLite: " + versions.sqlite +
                "\rlibcurl: " + versions.curl,
            text::Tr("System Information"), app::Buttons::Ok, app::Icon::Information);
}

}  // namespace kestrel::ui
