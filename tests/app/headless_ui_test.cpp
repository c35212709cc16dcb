#include "app/headless_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>

namespace kestrel::app {
namespace {

std::string Rest(std::istream& input) {
    return std::string(std::istreambuf_iterator<char>(input), {});
}

TEST(ContinuingAnswer, GoesOnWithTheWorkAndIsAlwaysOneOfTheButtons) {
    const std::pair<Buttons, Answer> rows[] = {
        {Buttons::Ok, Answer::Ok},
        {Buttons::OkCancel, Answer::Ok},
        {Buttons::YesNo, Answer::No},
        {Buttons::YesNoCancel, Answer::Cancel},
        {Buttons::AbortRetryIgnore, Answer::Ignore},
    };
    for (const auto& [buttons, expected] : rows) {
        const auto offered = AnswersOf(buttons);
        EXPECT_EQ(ContinuingAnswer(buttons), expected);
        EXPECT_NE(std::find(offered.begin(), offered.end(), expected), offered.end());
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
    // Replies that are not a button of this box are asked again; the end of
    // input then takes the continuing answer.
    const std::tuple<const char*, Buttons, Answer> rows[] = {
        {"y\n", Buttons::YesNoCancel, Answer::Yes},
        {"CANCEL\n", Buttons::YesNoCancel, Answer::Cancel},
        {"  Retry \r\n", Buttons::AbortRetryIgnore, Answer::Retry},
        {"a\n", Buttons::AbortRetryIgnore, Answer::Abort},
        {"ok\n", Buttons::OkCancel, Answer::Ok},
        {"yes\n", Buttons::AbortRetryIgnore, Answer::Ignore},
        {"ye\n\n", Buttons::YesNo, Answer::No},
    };
    for (const auto& [reply, buttons, expected] : rows) {
        std::istringstream input(reply);
        std::ostringstream output;
        EXPECT_EQ(HeadlessUi(input, output, true).Ask("Text", "Title", buttons, Icon::None),
                  expected)
            << reply;
    }
    const std::tuple<const char*, bool, std::optional<std::string>> inputs[] = {
        {"typed\n", false, "initial"},
        {"typed\r\n", true, "typed"},
        {"\n", true, "initial"},
        {"", true, std::nullopt},
    };
    for (const auto& [typed, terminal, expected] : inputs) {
        std::istringstream input(typed);
        std::ostringstream output;
        EXPECT_EQ(HeadlessUi(input, output, terminal).Input("Folder:", "Title", "initial"),
                  expected)
            << typed;
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
