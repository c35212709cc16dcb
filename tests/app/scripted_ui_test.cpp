#include "support/scripted_ui.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace kestrel::support {
namespace {

using app::Answer;
using app::Buttons;
using app::Icon;

TEST(ScriptedUi, AnswersFromTheQueueInOrderAndRecordsEachBox) {
    ScriptedUi ui;
    ui.QueueAnswer(Answer::Retry);
    ui.QueueAnswer(Answer::Abort);

    EXPECT_EQ(ui.Ask("first", "Error", Buttons::AbortRetryIgnore, Icon::Question), Answer::Retry);
    EXPECT_EQ(ui.Ask("second", "Error", Buttons::AbortRetryIgnore, Icon::Critical), Answer::Abort);

    ASSERT_EQ(ui.boxes().size(), 2u);
    EXPECT_EQ(ui.boxes()[1].text, "second");
    EXPECT_EQ(ui.boxes()[1].icon, Icon::Critical);
    EXPECT_EQ(ui.boxes()[1].answer, Answer::Abort);
    EXPECT_EQ(ui.UnusedAnswers(), 0u);
}

TEST(ScriptedUi, AnUnexpectedBoxFailsTheTestAndTakesTheContinuingAnswer) {
    ScriptedUi ui;
    Answer answer = Answer::Yes;
    EXPECT_NONFATAL_FAILURE(
        answer = ui.Ask("Abort processing?", "Kestrel", Buttons::YesNoCancel, Icon::Question),
        "Abort processing?");
    EXPECT_EQ(answer, Answer::Cancel);
    EXPECT_EQ(ui.boxes().size(), 1u);
}

TEST(ScriptedUi, AQueuedAnswerThatIsNotAButtonOfTheBoxFailsTheTest) {
    ScriptedUi ui;
    ui.QueueAnswer(Answer::Yes);
    EXPECT_NONFATAL_FAILURE(
        ui.Ask("Rename failed", "Error", Buttons::AbortRetryIgnore, Icon::Question),
        "Queued answer Yes");
}

TEST(ScriptedUi, KeepsEveryStatusTextPerPanel) {
    ScriptedUi ui;
    ui.SetStatus(app::StatusPanel::Source, "1");
    ui.SetStatus(app::StatusPanel::Dest, "x");
    ui.SetStatus(app::StatusPanel::Source, "2");

    EXPECT_EQ(ui.StatusHistory(app::StatusPanel::Source), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(ui.LastStatus(app::StatusPanel::Dest), "x");
    EXPECT_EQ(ui.LastStatus(app::StatusPanel::Message), "");
}

}  // namespace
}  // namespace kestrel::support
