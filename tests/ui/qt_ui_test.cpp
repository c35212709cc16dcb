#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/workspace.h"
#include "settings/key_paths.h"
#include "settings/settings_store.h"
#include "settings/temp_config_folder.h"
#include "support/fake_clock.h"
#include "support/temp_drive.h"
#include "ui/demo_files.h"
#include "ui/list_scrolling.h"
#include "ui/main_window.h"
#include "ui/qt_ui.h"
#include "ui/run_window.h"
#include "ui/window_placement.h"

namespace kestrel::ui {
namespace {

// Presses the button with `caption` on the message box once it is up, and
// records what the box showed.
struct BoxPresser {
    QString caption;
    QStringList buttons;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;

    void Arm() {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            text = box->text();
            icon = box->icon();
            QAbstractButton* target = nullptr;
            for (QAbstractButton* button : box->buttons()) {
                buttons << button->text().remove('&');
                if (button->text().remove('&') == caption) {
                    target = button;
                }
            }
            ASSERT_NE(target, nullptr) << caption.toStdString();
            target->click();
        });
    }
};

TEST(QtUiAsk, MessageBoxesOfferTheSetsButtonsAndReturnThePressedOne) {
    using A = app::Answer;
    using B = app::Buttons;
    using I = app::Icon;
    using Q = QMessageBox;
    const std::tuple<B, I, Q::Icon, QString, QString, A> cases[] = {
        {B::Ok, I::Exclamation, Q::Warning, "OK", "OK", A::Ok},
        {B::OkCancel, I::Information, Q::Information, "Cancel OK", "Cancel", A::Cancel},
        {B::YesNo, I::Question, Q::Question, "No Yes", "No", A::No},
        {B::YesNoCancel, I::Question, Q::Question, "Cancel No Yes", "Yes", A::Yes},
        {B::AbortRetryIgnore, I::Critical, Q::Critical, "Abort Ignore Retry", "Retry", A::Retry},
    };
    for (const auto& [buttons, icon, qtIcon, captions, press, answer] : cases) {
        SCOPED_TRACE(press.toStdString());
        QtUi ui;
        BoxPresser presser{press, {}, {}, QMessageBox::NoIcon};
        presser.Arm();
        EXPECT_EQ(ui.Ask("first\rsecond\r\nthird", "Kestrel", buttons, icon), answer);
        EXPECT_EQ(presser.text, QString("first\nsecond\nthird"));
        EXPECT_EQ(presser.icon, qtIcon);
        presser.buttons.sort();
        EXPECT_EQ(presser.buttons.join(' '), captions);
    }
}

TEST(QtUiStatus, PanelsKeepTheNewestTextAndBarsShowOnlyWhileWorking) {
    QWidget window;
    std::array<QLabel*, 3> labels = {new QLabel(&window), new QLabel(&window), new QLabel(&window)};
    std::array<QProgressBar*, 2> bars = {new QProgressBar(&window), new QProgressBar(&window)};
    window.show();
    QtUi ui;
    ui.SetStatus(app::StatusPanel::Source, "before the window");
    ui.AttachWindow({labels, bars, nullptr, nullptr, &window});
    EXPECT_EQ(labels[1]->text(), "before the window");
    EXPECT_FALSE(bars[0]->isVisible());

    ui.ShowProgress(app::Progress::Listing, 500);
    EXPECT_TRUE(bars[0]->isVisible());
    EXPECT_FALSE(bars[1]->isVisible());
    // Many quick updates: painting is throttled, the text is never stale.
    for (int i = 0; i < 1000; ++i) {
        ui.SetStatus(app::StatusPanel::Message, "Reading item " + std::to_string(i) + "...");
        ui.SetProgress(app::Progress::Listing, i % 500);
    }
    EXPECT_EQ(labels[0]->text(), "Reading item 999...");
    ui.Flush();
    EXPECT_EQ(bars[0]->value(), 499);
    ui.HideProgress(app::Progress::Listing);
    EXPECT_FALSE(bars[0]->isVisible());
}

TEST(ListScrolling, KeysMoveTheTopRowByTheirRules) {
    const std::tuple<ScrollKey, int, int, int> cases[] = {
        {ScrollKey::PageDown, 0, 50, 42}, {ScrollKey::PageDown, 10, 50, 49},
        {ScrollKey::PageUp, 41, 50, 0},   {ScrollKey::PageUp, 50, 100, 8},
        {ScrollKey::Home, 30, 50, 0},     {ScrollKey::End, 0, 0, 0},
        {ScrollKey::Up, 0, 50, 0},        {ScrollKey::Down, 49, 50, 49},
    };
    for (const auto& [key, top, rows, expected] : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(key)) + " from " + std::to_string(top) +
                     " of " + std::to_string(rows));
        EXPECT_EQ(ScrolledTopRow(key, top, rows), expected);
    }
}

PlacementInput Screen1024x768(int startLocation) {
    PlacementInput in;
    in.startLocation = startLocation;
    in.screen = {0, 0, 1024 * 15, 768 * 15};
    in.workArea = {0, 0, 1024 * 15, 740 * 15};
    in.windowWidth = kDesignWidthTwips;
    in.windowHeight = kDesignHeightTwips;
    in.currentLeft = 111;
    in.currentTop = 222;
    return in;
}

TEST(WindowPlacement, StartLocationsPlaceTheWindowAndOnlyTheSavedOneWarnsOfASmallScreen) {
    const int right = 1024 * 15 - kDesignWidthTwips - 15;
    const int bottom = 768 * 15 - kDesignHeightTwips - 15;
    const TwipPoint centred{(1024 * 15 - kDesignWidthTwips) / 2,
                            (740 * 15 - kDesignHeightTwips) / 2};
    // Start location, saved left and top, and where the window goes.
    const std::tuple<int, int, int, TwipPoint> cases[] = {
        {0, 300, 450, {300, 450}},      {0, -1, -1, centred},
        {0, right + 15, 0, centred},  // would hang off the right edge
        {1, 300, 450, centred},         {2, 300, 450, {0, 0}},
        {3, 300, 450, {right, bottom}}, {4, 300, 450, {0, bottom}},
        {5, 300, 450, {right, 0}},      {9, 300, 450, {111, 222}},
    };
    for (const auto& [location, savedLeft, savedTop, expected] : cases) {
        SCOPED_TRACE(location);
        PlacementInput in = Screen1024x768(location);
        in.savedLeft = savedLeft;
        in.savedTop = savedTop;
        const TwipPoint place = PlaceMainWindow(in);
        EXPECT_EQ(place.left, expected.left);
        EXPECT_EQ(place.top, expected.top);
    }

    // Only the saved-position start warns about a small screen.
    const TwipRect small{0, 0, 1024 * 15, 768 * 15};
    const TwipRect large{0, 0, 1280 * 15, 1024 * 15};
    const int wide = 1030 * 15;  // a window one screen of 1024 cannot hold
    EXPECT_TRUE(DisplayWarningDue(0, small, wide, 700 * 15, false));
    EXPECT_TRUE(DisplayWarningDue(0, small, 950 * 15, 770 * 15, false));
    EXPECT_FALSE(DisplayWarningDue(0, small, 950 * 15, 700 * 15, false));
    EXPECT_FALSE(DisplayWarningDue(0, small, wide, 700 * 15, true));
    EXPECT_FALSE(DisplayWarningDue(0, large, wide, 700 * 15, false));
    for (int location = 1; location <= 5; ++location) {
        EXPECT_FALSE(DisplayWarningDue(location, small, wide, 700 * 15, false)) << location;
    }
}

// Saved in twips and read back, a position is the same pixel at any screen
// resolution, so that a window does not creep across the screen by restarts.
TEST(WindowPlacement, PixelsToTwipsAndBackIsTheSamePixelAtEveryResolution) {
    for (const double dpi : {72.0, 91.0, 96.0, 100.0, 110.0, 120.0, 144.0, 157.5, 192.0, 288.0}) {
        for (int pixels = -50; pixels <= 4000; ++pixels) {
            const int twips = PixelsToTwips(pixels, dpi);
            ASSERT_EQ(TwipsToPixels(twips, dpi), pixels) << dpi << " dpi, " << pixels;
        }
    }
    EXPECT_EQ(PixelsToTwips(300, 96), 4500);
    EXPECT_EQ(PixelsToTwips(300, 100), 4320);
    EXPECT_EQ(TwipsToPixels(kDesignWidthTwips, 96), 950);
}

// The real start-up placement and the real shutdown position, three times:
// the window comes back where it was. A window not shown yet has no frame; a
// saved place that leaves room for the window alone, not for its title bar
// too, would push the status bar off the screen, so the window is centred.
TEST(WindowPlacement, ARestoredPositionEqualsTheSavedOneAndAPlaceWithoutRoomIsCentred) {
    settings::TempConfigFolder folder;
    settings::SettingsStore store(folder.Path());
    const auto save = [&store](int left, int top) {
        store.WriteNumber(settings::Scope::Machine, settings::kSettingsKey, "Window Position X",
                          left);
        store.WriteNumber(settings::Scope::Machine, settings::kSettingsKey, "Window Position Y",
                          top);
    };
    save(1230, 1545);
    // The test screen is smaller than the window can be made.
    store.WriteNumber(settings::Scope::Machine, settings::kSettingsKey, "Disable display warning",
                      1);
    support::TempDrive drive;
    support::FakeClock clock;
    QtUi qtUi;
    app::Workspace workspace(drive.FileSystem(), qtUi, clock, [] { return 0.5; });
    for (int restart = 0; restart < 3; ++restart) {
        SCOPED_TRACE(restart);
        MainWindow window(workspace, qtUi, {});
        window.resize(700, 500);
        ASSERT_TRUE(PlaceOnScreen(window, 0, store));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(window.PositionInTwips(), QPoint(1230, 1545));
        save(window.PositionInTwips().x(), window.PositionInTwips().y());
    }

    MainWindow window(workspace, qtUi, {});
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window.resize(screen.width() / 2, screen.height() - 10);
    save(0, PixelsToTwips(5, QGuiApplication::primaryScreen()->logicalDotsPerInchY()));
    ASSERT_TRUE(PlaceOnScreen(window, 0, store));
    EXPECT_EQ(window.y(), 0) << "centred: the window and a frame are taller than the screen";
}

TEST(DemoFolder, HoldsEverySampleAndIsRemovedAgain) {
    const std::optional<DemoFolder> demo = CreateDemoFolder(std::filesystem::temp_directory_path());
    ASSERT_TRUE(demo);
    for (std::string_view name : DemoFileNames()) {
        EXPECT_TRUE(std::filesystem::is_regular_file(demo->filesFolder + "/" + std::string(name)))
            << name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(demo->configFolder));
    RemoveDemoFolder(*demo);
    EXPECT_FALSE(std::filesystem::exists(demo->root));
}

}  // namespace
}  // namespace kestrel::ui
