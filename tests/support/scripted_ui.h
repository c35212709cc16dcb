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
    struct InputBox {
        std::string prompt;
        std::string title;
        std::string initial;
        std::optional<std::string> answer;
    };
    enum class ProgressStep { Show, Set, Hide };
    struct ProgressEvent {
        ProgressStep step;
        int value;  // the maximum for Show, 0 for Hide
    };

    void QueueAnswer(app::Answer answer) { answers_.push_back(answer); }
    /// nullopt plays a cancelled input box.
    void QueueInput(std::optional<std::string> text) { inputs_.push_back(std::move(text)); }
    void SetSplashShowing(bool showing) { splashShowing_ = showing; }

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
                                     std::string_view initial) override {
        std::optional<std::string> answer{std::string(initial)};
        if (inputs_.empty()) {
            ADD_FAILURE() << "Unexpected input box \"" << title << "\": " << prompt;
        } else {
            answer = std::move(inputs_.front());
            inputs_.pop_front();
        }
        inputBoxes_.push_back(
            InputBox{std::string(prompt), std::string(title), std::string(initial), answer});
        return answer;
    }

    void SetStatus(app::StatusPanel panel, std::string_view text) override {
        status_[Index(panel)].emplace_back(text);
    }
    void ShowProgress(app::Progress bar, int maximum) override {
        progress_[Index(bar)].push_back({ProgressStep::Show, maximum});
    }
    void SetProgress(app::Progress bar, int value) override {
        progress_[Index(bar)].push_back({ProgressStep::Set, value});
    }
    void HideProgress(app::Progress bar) override {
        progress_[Index(bar)].push_back({ProgressStep::Hide, 0});
    }
    void SetPointer(app::Pointer pointer) override { pointers_.push_back(pointer); }
    void SetListsVisible(bool visible) override { listsVisible_.push_back(visible); }
    bool SplashShowing() const override { return splashShowing_; }
    void SetSplashStatus(std::string_view text) override { splashStatuses_.emplace_back(text); }
    void PlaySound(std::string_view file) override { sounds_.emplace_back(file); }
    void ProcessPendingEvents() override { ++pendingEventCalls_; }

    const std::vector<Box>& boxes() const { return boxes_; }
    const std::vector<InputBox>& inputBoxes() const { return inputBoxes_; }
    /// Answers queued but not asked for yet; a test can check that every
    /// expected box did appear.
    std::size_t UnusedAnswers() const { return answers_.size(); }
    std::size_t UnusedInputs() const { return inputs_.size(); }

    /// Every text written to a panel, oldest first.
    const std::vector<std::string>& StatusHistory(app::StatusPanel panel) const {
        return status_[Index(panel)];
    }
    /// The panel's current text; empty when nothing was written.
    std::string LastStatus(app::StatusPanel panel) const {
        const std::vector<std::string>& history = status_[Index(panel)];
        return history.empty() ? std::string() : history.back();
    }
    const std::vector<ProgressEvent>& ProgressEvents(app::Progress bar) const {
        return progress_[Index(bar)];
    }
    /// Pointer changes in order; the last one is the pointer shown now.
    const std::vector<app::Pointer>& pointers() const { return pointers_; }
    const std::vector<bool>& listVisibilityChanges() const { return listsVisible_; }
    const std::vector<std::string>& splashStatuses() const { return splashStatuses_; }
    const std::vector<std::string>& sounds() const { return sounds_; }
    int pendingEventCalls() const { return pendingEventCalls_; }

  private:
    template <typename Enum>
    static std::size_t Index(Enum value) {
        return static_cast<std::size_t>(value);
    }

    std::deque<app::Answer> answers_;
    std::deque<std::optional<std::string>> inputs_;
    std::vector<Box> boxes_;
    std::vector<InputBox> inputBoxes_;
    std::array<std::vector<std::string>, 3> status_;
    std::array<std::vector<ProgressEvent>, 2> progress_;
    std::vector<app::Pointer> pointers_;
    std::vector<bool> listsVisible_;
    std::vector<std::string> splashStatuses_;
    std::vector<std::string> sounds_;
    bool splashShowing_ = false;
    int pendingEventCalls_ = 0;
};

}  // namespace kestrel::support
