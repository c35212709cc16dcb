#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>
#include <tuple>

#include "ui/qt_ui.h"

namespace kestrel::ui {
namespace {

TEST(QtUiText, CarriageReturnsBecomeLineBreaks) {
    EXPECT_EQ(DisplayText("one\r\rtwo\r\nthree"), QString("one\n\ntwo\nthree"));
}

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
        EXPECT_EQ(ui.Ask("first\rsecond", "Kestrel", buttons, icon), answer);
        EXPECT_EQ(presser.text, QString("first\nsecond"));
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

TEST(QtUiPointer, BusyPointersOverrideUntilNormal) {
    QtUi ui;
    ui.SetPointer(app::Pointer::ArrowHourglass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    ui.SetPointer(app::Pointer::Busy);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui.SetPointer(app::Pointer::Normal);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace kestrel::ui
