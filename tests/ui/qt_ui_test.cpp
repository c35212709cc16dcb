#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>

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
    struct Case {
        app::Buttons buttons;
        app::Icon icon;
        QMessageBox::Icon qtIcon;
        QStringList captions;
        QString press;
        app::Answer answer;
    };
    const Case cases[] = {
        {app::Buttons::Ok,
         app::Icon::Exclamation,
         QMessageBox::Warning,
         {"OK"},
         "OK",
         app::Answer::Ok},
        {app::Buttons::OkCancel,
         app::Icon::Information,
         QMessageBox::Information,
         {"OK", "Cancel"},
         "Cancel",
         app::Answer::Cancel},
        {app::Buttons::YesNo,
         app::Icon::Question,
         QMessageBox::Question,
         {"Yes", "No"},
         "No",
         app::Answer::No},
        {app::Buttons::YesNoCancel,
         app::Icon::Question,
         QMessageBox::Question,
         {"Yes", "No", "Cancel"},
         "Yes",
         app::Answer::Yes},
        {app::Buttons::AbortRetryIgnore,
         app::Icon::Critical,
         QMessageBox::Critical,
         {"Abort", "Retry", "Ignore"},
         "Retry",
         app::Answer::Retry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press.toStdString());
        QtUi ui;
        BoxPresser presser{c.press, {}, {}, QMessageBox::NoIcon};
        presser.Arm();
        EXPECT_EQ(ui.Ask("first\rsecond", "Kestrel", c.buttons, c.icon), c.answer);
        EXPECT_EQ(presser.text, QString("first\nsecond"));
        EXPECT_EQ(presser.icon, c.qtIcon);
        QStringList sorted = presser.buttons;
        QStringList expected = c.captions;
        sorted.sort();
        expected.sort();
        EXPECT_EQ(sorted, expected);
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
