#include "app/headless_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>

namespace kestrel::app {
namespace {

std::string Rest(std::istream& input) {
    return std::string(std::istreambuf_iterator<char>(input), {});
}

TEST(ContinuingAnswer, GoesOnWithTheWorkAndIsAlwaysOneOfTheButtons) {
    struct Row {
        Buttons buttons;
        Answer expected;
    };
    const Row rows[] = {
        {Buttons::Ok, Answer::Ok},
        {Buttons::OkCancel, Answer::Ok},
        {Buttons::YesNo, Answer::No},
        {Buttons::YesNoCancel, Answer::Cancel},
        {Buttons::AbortRetryIgnore, Answer::Ignore},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.buttons));
        EXPECT_EQ(ContinuingAnswer(row.buttons), row.expected);
        const auto offered = AnswersOf(row.buttons);
        EXPECT_NE(std::find(offered.begin(), offered.end(), row.expected), offered.end());
    }
}

TEST(HeadlessUi, WithoutTerminalAnswersWithoutReadingAndLogsTheBox) {
    std::istringstream input("yes\n");
    std::ostringstream output;
    HeadlessUi ui(input, output, false);

    const Answer answer = ui.Ask("User-specified interrupt.\r\rDo you wish to abort?\rLine\r\nLast",
                                 "Kestrel", Buttons::YesNoCancel, Icon::Question);

    EXPECT_EQ(answer, Answer::Cancel);
    EXPECT_EQ(Rest(input), "yes\n");
    EXPECT_EQ(output.str(),
              "--- Kestrel (question) ---\n"
              "User-specified interrupt.\n\nDo you wish to abort?\nLine\nLast\n"
              "Answer: Cancel (no terminal)\n");
}

TEST(HeadlessUi, WithTerminalAsksAgainUntilTheReplyNamesAButtonOrInputEnds) {
    std::istringstream input("x\nyes\nno\n");
    std::ostringstream output;
    HeadlessUi ui(input, output, true);

    EXPECT_EQ(
        ui.Ask("Overwrite rule DVD with Dvd?   ", "Rule conflict", Buttons::YesNo, Icon::Question),
        Answer::Yes);
    EXPECT_EQ(Rest(input), "no\n");
    EXPECT_EQ(ui.Ask("Could not rename.", "", Buttons::AbortRetryIgnore, Icon::None),
              Answer::Ignore);
    EXPECT_EQ(output.str(),
              "--- Rule conflict (question) ---\n"
              "Overwrite rule DVD with Dvd?   \n"
              "[Y]es/[N]o? [Y]es/[N]o? "
              "--- Kestrel ---\n"
              "Could not rename.\n"
              "[A]bort/[R]etry/[I]gnore? \n"
              "Answer: Ignore (end of input)\n");
}

TEST(HeadlessUi, WithTerminalTakesTheFirstLetterOrTheWholeWordInAnyCase) {
    struct Row {
        const char* reply;
        Buttons buttons;
        Answer expected;
    };
    const Row rows[] = {
        {"y\n", Buttons::YesNoCancel, Answer::Yes},
        {"CANCEL\n", Buttons::YesNoCancel, Answer::Cancel},
        {"  Retry \r\n", Buttons::AbortRetryIgnore, Answer::Retry},
        {"a\n", Buttons::AbortRetryIgnore, Answer::Abort},
        {"ok\n", Buttons::OkCancel, Answer::Ok},
        // Replies that are not a button of this box are asked again; the end
        // of input then takes the continuing answer.
        {"yes\n", Buttons::AbortRetryIgnore, Answer::Ignore},
        {"ye\n\n", Buttons::YesNo, Answer::No},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reply);
        std::istringstream input(row.reply);
        std::ostringstream output;
        EXPECT_EQ(HeadlessUi(input, output, true).Ask("Text", "Title", row.buttons, Icon::None),
                  row.expected);
    }
}

TEST(HeadlessUi, InputTakesTheInitialTextUnlessSomeoneTypesAnother) {
    struct Row {
        const char* typed;
        bool terminal;
        std::optional<std::string> expected;
    };
    const Row rows[] = {
        {"typed\n", false, "initial"},
        {"typed\r\n", true, "typed"},
        {"\n", true, "initial"},
        {"", true, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        std::istringstream input(row.typed);
        std::ostringstream output;
        HeadlessUi ui(input, output, row.terminal);
        EXPECT_EQ(ui.Input("Folder:", "Title", "initial"), row.expected);
    }
}

// A run without a window logs its questions and nothing else.
TEST(HeadlessUi, StatusProgressAndSoundsWriteNothing) {
    std::istringstream input;
    std::ostringstream output;
    HeadlessUi ui(input, output, false);
    ui.SetStatus(StatusPanel::Source, "2 files");
    ui.ShowProgress(Progress::Listing, 10);
    ui.SetProgress(Progress::Listing, 5);
    ui.SetSplashStatus("Reading");
    ui.PlaySound("done.wav");
    EXPECT_EQ(output.str(), "");
}

}  // namespace
}  // namespace kestrel::app
