#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/headless_ui.h"
#include "app/ui.h"

// A window for tests: answers come from a queue, and every box, status text,
// progress step and sound is recorded for the test to inspect.
//
//     kestrel::support::ScriptedUi ui;
//     ui.QueueAnswer(kestrel::app::Answer::Ignore);
//     ...                                   // code that asks once
//     ASSERT_EQ(ui.boxes().size(), 1u);
//
// A box with no queued answer fails the test (the code asked something the
// test did not expect) and takes the answer an unattended run would take. A
// queued answer that is not one of the box's buttons fails the test too.
namespace kestrel::support {

class ScriptedUi : public app::Ui {
  public:
    struct Box {
        std::string text;
        std::string title;
        app::Buttons buttons;
        app::Icon icon;
        app::Answer answer;
    };
    void QueueAnswer(app::Answer answer) { answers_.push_back(answer); }
    /// Queues answers by their initials: "IIO" is Ignore, Ignore, Ok. Abort,
    /// Cancel, Ignore, No, Ok, Retry and Yes each have their own.
    void QueueAnswers(std::string_view initials) {
        for (const char initial : initials) {
            const std::string_view all = "ACINORY";
            constexpr app::Answer answers[] = {
                app::Answer::Abort, app::Answer::Cancel, app::Answer::Ignore, app::Answer::No,
                app::Answer::Ok,    app::Answer::Retry,  app::Answer::Yes};
            ASSERT_NE(all.find(initial), std::string_view::npos) << initial;
            answers_.push_back(answers[all.find(initial)]);
        }
    }

    app::Answer Ask(std::string_view text, std::string_view title, app::Buttons buttons,
                    app::Icon icon) override {
        app::Answer answer = app::ContinuingAnswer(buttons);
        if (answers_.empty()) {
            ADD_FAILURE() << "Unexpected message box \"" << title << "\": " << text;
        } else {
            answer = answers_.front();
            answers_.pop_front();
            const auto offered = app::AnswersOf(buttons);
            if (std::find(offered.begin(), offered.end(), answer) == offered.end()) {
                ADD_FAILURE() << "Queued answer " << app::AnswerName(answer)
                              << " is not a button of message box \"" << title << "\": " << text;
            }
        }
        boxes_.push_back(Box{std::string(text), std::string(title), buttons, icon, answer});
        return answer;
    }

    std::optional<std::string> Input(std::string_view prompt, std::string_view title,
                                     std::string_view) override {
        ADD_FAILURE() << "Unexpected input box \"" << title << "\": " << prompt;
        return std::nullopt;
    }

    void SetStatus(app::StatusPanel panel, std::string_view text) override {
        status_[Index(panel)].emplace_back(text);
    }
    void ShowProgress(app::Progress, int) override {}
    void SetProgress(app::Progress, int) override {}
    void HideProgress(app::Progress) override {}
    void SetPointer(app::Pointer) override {}
    void SetListsVisible(bool) override {}
    bool SplashShowing() const override { return false; }
    void SetSplashStatus(std::string_view) override {}
    void PlaySound(std::string_view file) override { sounds_.emplace_back(file); }
    void ProcessPendingEvents() override { ++pendingEventCalls_; }

    const std::vector<Box>& boxes() const { return boxes_; }
    /// Answers queued but not asked for yet; a test can check that every
    /// expected box did appear.
    std::size_t UnusedAnswers() const { return answers_.size(); }

    /// Every text written to a panel that begins with `start`, oldest first.
    std::vector<std::string> StatusHistory(app::StatusPanel panel,
                                           std::string_view start = {}) const {
        std::vector<std::string> found;
        for (const std::string& text : status_[Index(panel)]) {
            if (text.starts_with(start)) {
                found.push_back(text);
            }
        }
        return found;
    }
    /// The panel's current text; empty when nothing was written.
    std::string LastStatus(app::StatusPanel panel) const {
        const std::vector<std::string>& history = status_[Index(panel)];
        return history.empty() ? std::string() : history.back();
    }
    const std::vector<std::string>& sounds() const { return sounds_; }
    int pendingEventCalls() const { return pendingEventCalls_; }

  private:
    template <typename Enum>
    static std::size_t Index(Enum value) {
        return static_cast<std::size_t>(value);
    }

    std::deque<app::Answer> answers_;
    std::vector<Box> boxes_;
    std::array<std::vector<std::string>, 3> status_;
    std::vector<std::string> sounds_;
    int pendingEventCalls_ = 0;
};

}  // namespace kestrel::support
