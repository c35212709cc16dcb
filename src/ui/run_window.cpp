#include "ui/run_window.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QScreen>
#include <QSocketNotifier>
#include <QTranslator>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/version.h"
#include "platform/clock.h"
#include "platform/drive_table.h"
#include "platform/user_folders.h"
#include "settings/key_paths.h"
#include "settings/settings_store.h"
#include "ui/demo_files.h"
#include "ui/desktop_properties.h"
#include "ui/display_warning_window.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"
#include "ui/qt_ui.h"
#include "ui/splash_window.h"
#include "ui/window_placement.h"

namespace kestrel::ui {
namespace {

// Borders and title bar of a usual desktop's window frame, in pixels.
constexpr QSize kTypicalFrame(8, 32);
// The build the first-run question compares against; a demo never asks it.

// A screen's resolution, across and down.
struct TwipScale {
    double x = 96;
    double y = 96;
};

TwipScale ScaleOf(const QScreen& screen) {
    return {screen.logicalDotsPerInchX(), screen.logicalDotsPerInchY()};
}

TwipRect ToTwips(const QRect& pixels, TwipScale scale) {
    return {PixelsToTwips(pixels.x(), scale.x), PixelsToTwips(pixels.y(), scale.y),
            PixelsToTwips(pixels.width(), scale.x), PixelsToTwips(pixels.height(), scale.y)};
}

// Qt's own texts (standard buttons, the menus of text fields, file dialogs) in
// the language Kestrel's catalogues use, when Qt has that language.
void InstallQtTranslations(QTranslator& translator) {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const std::string& language : text::MessageLanguages()) {
        // "qtbase_de_DE" falls back to "qtbase_de" by itself.
        if (translator.load(QStringLiteral("qtbase_") + ToQString(language), folder)) {
            QCoreApplication::installTranslator(&translator);
            return;
        }
    }
}

// SIGTERM and SIGINT end the event loop like a closed window, so that what
// the run made (the demo folder) is cleaned up. A signal handler may only
// write to a descriptor; the notifier turns that into a quit on the loop.
class QuitOnSignals {
  public:
    QuitOnSignals() {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds_) != 0) {
            return;
        }
        writeEnd_ = fds_[1];
        notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            signalled_ = true;
            // Closing the windows also ends a message box or warning that has
            // its own loop; nothing is saved, as no user closed them.
            QApplication::closeAllWindows();
            QCoreApplication::quit();
        });
        struct sigaction action {};
        action.sa_handler = [](int) {
            const char byte = 1;
            [[maybe_unused]] const ssize_t written = ::write(writeEnd_, &byte, 1);
        };
        ::sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, nullptr);
        ::sigaction(SIGINT, &action, nullptr);
    }
    ~QuitOnSignals() {
        if (notifier_) {
            ::signal(SIGTERM, SIG_DFL);
            ::signal(SIGINT, SIG_DFL);
            notifier_.reset();
            ::close(fds_[0]);
            ::close(fds_[1]);
            writeEnd_ = -1;
        }
    }
    QuitOnSignals(const QuitOnSignals&) = delete;
    QuitOnSignals& operator=(const QuitOnSignals&) = delete;

    /// A signal seen before the event loop ran, whose quit would go unheard.
    bool Signalled() const { return signalled_; }

  private:
    static inline int writeEnd_ = -1;
    bool signalled_ = false;
    int fds_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
};

bool DemoRequested() {
    const char* demo = std::getenv("KESTREL_DEMO");
    return demo != nullptr && std::string_view(demo) == "1";
}

/// Prepares the demo folder and its settings; the command line then opens it.
std::optional<DemoFolder> PrepareDemo(std::vector<std::string>& arguments,
                                      app::ProgramPlace& place) {
    std::optional<DemoFolder> demo = CreateDemoFolder(QDir::tempPath().toStdString());
    if (!demo) {
        return std::nullopt;
    }
    settings::SettingsStore store(demo->configFolder);
    store.WriteNumber(settings::Scope::Machine, settings::kSettingsKey, "Build", app::kBuildNumber);
    place.configFolder = demo->configFolder;
    const std::string folder = platform::DriveTable().ToProgramPath(demo->filesFolder);
    arguments.push_back("FOLDER:" + folder);
    return demo;
}

void ShowSplash(SplashWindow& splash) {
    splash.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        splash.move(screen->availableGeometry().center() - splash.rect().center());
    }
    splash.show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

/// A first size that shows every panel, within the screen with the frame the
/// desktop adds around the window (a typical one: it is known only once shown).
void SizeMainWindow(MainWindow& window, const QScreen& screen) {
    const QSize available = screen.availableGeometry().size() - kTypicalFrame;
    window.resize(window.sizeHint().expandedTo(QSize(1240, 940)).boundedTo(available));
}

int RunStartedWindow(app::Application& application, QtUi& qtUi, SplashWindow& splash,
                     const QuitOnSignals& quitOnSignals) {
    ShowSplash(splash);
    app::Workspace& workspace = application.workspace();
    MainWindow::Hooks hooks;
    hooks.shutdown = [&application](int left, int top) { application.Shutdown(left, top); };
    hooks.drives = &application.fileSystem().Drives();
    hooks.desktopProperties = [](const QString& hostPath) {
        return ShowDesktopProperties(hostPath);
    };
    MainWindow window(workspace, qtUi, hooks);
    // The unexpected-error report ends the program without saving: closing
    // the windows from here is not the user closing them.
    workspace.SetCloseAllHandler([] {
        QApplication::closeAllWindows();
        QCoreApplication::exit(1);
    });

    // Before anything else is asked or listed: the files the first listing
    // shows are those the user chose to keep or to have back.
    application.RecoverInterruptedOperations();
    const int startLocation = application.FinishWindowStart();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        SizeMainWindow(window, *screen);
    }
    if (!PlaceOnScreen(window, startLocation, application.store())) {
        if (quitOnSignals.Signalled()) {
            return 0;
        }
        const QPoint position = window.PositionInTwips();
        application.Shutdown(position.x(), position.y());
        return 0;
    }
    application.RunFirstListing();
    window.SyncFromWorkspace();
    splash.hide();
    window.show();
    window.ReturnFreeMemoryWhenIdle();
    window.ScheduleAutomaticUpdateCheck();
    return quitOnSignals.Signalled() ? 0 : QApplication::exec();
}

}  // namespace

bool PlaceOnScreen(MainWindow& window, int startLocation, settings::SettingsStore& store) {
    const QScreen* screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return true;
    }
    const TwipScale scale = ScaleOf(*screen);
    const TwipRect screenTwips = ToTwips(screen->geometry(), scale);
    const bool warningDisabled = store.ReadNumber(settings::Scope::Machine, settings::kSettingsKey,
                                                  "Disable display warning", 0) != 0;
    // The frame the desktop adds is known once the window has been shown; a
    // typical one is assumed before that.
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    const QSize smallest = window.minimumSizeHint() + frame.expandedTo(kTypicalFrame);
    if (DisplayWarningDue(startLocation, screenTwips, PixelsToTwips(smallest.width(), scale.x),
                          PixelsToTwips(smallest.height(), scale.y), warningDisabled)) {
        DisplayWarningWindow warning(store);
        if (warning.exec() != DisplayWarningWindow::kContinue) {
            return false;
        }
        window.resize(TwipsToPixels(kDesignWidthTwips, scale.x),
                      TwipsToPixels(kDesignHeightTwips, scale.y));
    }
    PlacementInput input;
    input.startLocation = startLocation;
    input.screen = screenTwips;
    input.workArea = ToTwips(screen->availableGeometry(), scale);
    // Measured with its frame, so that a saved place near the bottom does
    // not put the status bar below the screen.
    const QSize framed = window.geometry().size() + frame.expandedTo(kTypicalFrame);
    input.windowWidth = PixelsToTwips(framed.width(), scale.x);
    input.windowHeight = PixelsToTwips(framed.height(), scale.y);
    input.pixelWidth = PixelsToTwips(1, scale.x);
    input.pixelHeight = PixelsToTwips(1, scale.y);
    input.savedLeft =
        store.ReadNumber(settings::Scope::Machine, settings::kSettingsKey, "Window Position X", -1);
    input.savedTop =
        store.ReadNumber(settings::Scope::Machine, settings::kSettingsKey, "Window Position Y", -1);
    input.currentLeft = PixelsToTwips(window.x(), scale.x);
    input.currentTop = PixelsToTwips(window.y(), scale.y);
    const TwipPoint place = ui::PlaceMainWindow(input);
    window.move(TwipsToPixels(place.left, scale.x), TwipsToPixels(place.top, scale.y));
    return true;
}

int RunWindow(int argc, char** argv, const std::vector<std::string>& arguments,
              const app::ProgramPlace& place) {
    QApplication qtApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrel"));
    QTranslator qtTexts;
    InstallQtTranslations(qtTexts);
    const QuitOnSignals quitOnSignals;
    std::vector<std::string> line = arguments;
    app::ProgramPlace programPlace = place;
    const std::optional<DemoFolder> demo =
        DemoRequested() ? PrepareDemo(line, programPlace) : std::nullopt;

    QtUi qtUi;
    SplashWindow splash;
    qtUi.AttachSplash(&splash);
    if (arguments.empty()) {
        ShowSplash(splash);
    }
    const platform::SystemClock clock;
    int status = 0;
    {
        app::Application application(programPlace, qtUi, clock, std::cerr,
                                     platform::DefaultStateFolder());
        const app::StartResult start = application.Start(line, true);
        status = start.runWindow ? RunStartedWindow(application, qtUi, splash, quitOnSignals)
                                 : start.exitStatus;
    }
    if (demo) {
        RemoveDemoFolder(*demo);
    }
    return status;
}

}  // namespace kestrel::ui
