#include "app/headless_ui.h"

#include <unistd.h>

#include <iostream>
#include <istream>
#include <ostream>

#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::app {
namespace {

constexpr Answer kOk[] = {Answer::Ok};
constexpr Answer kOkCancel[] = {Answer::Ok, Answer::Cancel};
constexpr Answer kYesNo[] = {Answer::Yes, Answer::No};
constexpr Answer kYesNoCancel[] = {Answer::Yes, Answer::No, Answer::Cancel};
constexpr Answer kAbortRetryIgnore[] = {Answer::Abort, Answer::Retry, Answer::Ignore};

std::string_view IconName(Icon icon) {
    switch (icon) {
        case Icon::Critical:
            // TRANSLATORS: this and the next three say what kind of box a
            // terminal is shown: "--- Kestrel (warning) ---".
            return text::Tr("error");
        case Icon::Exclamation:
            return text::Tr("warning");
        case Icon::Information:
            return text::Tr("information");
        case Icon::Question:
            return text::Tr("question");
        case Icon::None:
            break;
    }
    return "";
}

// The button's caption as the user reads it.
std::string_view ShownName(Answer answer) {
    const std::string_view name = AnswerName(answer);
    return name.empty() ? name : text::Tr(name.data());
}

// "[Y]es/[N]o/[C]ancel": the first letter of each button is its key.
std::string ChoiceLine(Buttons buttons) {
    std::string line;
    for (Answer answer : AnswersOf(buttons)) {
        const std::string_view name = ShownName(answer);
        const std::string_view first = text::FirstCodePoints(name, 1);
        if (!line.empty()) {
            line += '/';
        }
        line += '[';
        line += first;
        line += ']';
        line += name.substr(first.size());
    }
    return line;
}

// Message texts break lines with CR (a paragraph is CR CR); a terminal or a
// log file wants LF, or the lines overwrite each other.
std::string ToTextLines(std::string_view text) {
    std::string lines;
    lines.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines += '\n';
        } else {
            lines += text[i];
        }
    }
    if (lines.empty() || lines.back() != '\n') {
        lines += '\n';
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::optional<Answer> MatchAnswer(std::string_view reply, Buttons buttons) {
    reply = Trim(reply);
    if (reply.empty()) {
        return std::nullopt;
    }
    // The captions as shown first, then in English, which a script may send
    // whatever the user's language.
    for (const auto name : {ShownName, AnswerName}) {
        for (Answer answer : AnswersOf(buttons)) {
            const std::string_view caption = name(answer);
            if (text::EqualIgnoringCase(reply, caption) ||
                text::EqualIgnoringCase(reply, text::FirstCodePoints(caption, 1))) {
                return answer;
            }
        }
    }
    return std::nullopt;
}

// A line typed on a terminal that sends CR LF keeps no stray CR.
void DropTrailingCr(std::string& line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
}

}  // namespace

std::string_view AnswerName(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            // TRANSLATORS: this and the next six are a box's buttons; in a
            // terminal the first letter of each is its key.
            return N_("OK");
        case Answer::Cancel:
            return N_("Cancel");
        case Answer::Yes:
            return N_("Yes");
        case Answer::No:
            return N_("No");
        case Answer::Abort:
            return N_("Abort");
        case Answer::Retry:
            return N_("Retry");
        case Answer::Ignore:
            return N_("Ignore");
    }
    return "";
}

std::span<const Answer> AnswersOf(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return kOk;
        case Buttons::OkCancel:
            return kOkCancel;
        case Buttons::YesNo:
            return kYesNo;
        case Buttons::YesNoCancel:
            return kYesNoCancel;
        case Buttons::AbortRetryIgnore:
            return kAbortRetryIgnore;
    }
    return kOk;
}

Answer ContinuingAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkCancel:
            return Answer::Ok;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::YesNoCancel:
            return Answer::Cancel;
        case Buttons::AbortRetryIgnore:
            return Answer::Ignore;
    }
    return Answer::Ok;
}

bool StandardStreamsAreTerminal() {
    return isatty(STDIN_FILENO) == 1 && isatty(STDERR_FILENO) == 1;
}

HeadlessUi::HeadlessUi() : HeadlessUi(std::cin, std::cerr, StandardStreamsAreTerminal()) {}

HeadlessUi::HeadlessUi(std::istream& input, std::ostream& output, bool terminal)
    : input_(input), output_(output), terminal_(terminal) {}

Answer HeadlessUi::Ask(std::string_view text, std::string_view title, Buttons buttons, Icon icon) {
    WriteBox(text, title, icon);
    const Answer continuing = ContinuingAnswer(buttons);
    if (!terminal_) {
        // TRANSLATORS: {1} is the button taken for the user, who was not there
        // to press one.
        output_ << text::Fill(text::Tr("Answer: {1} (no terminal)"), {ShownName(continuing)})
                << "\n"
                << std::flush;
        return continuing;
    }
    if (const std::optional<Answer> answer = ReadAnswer(buttons)) {
        return *answer;
    }
    output_ << "\n"
            // TRANSLATORS: {1} is the button taken when the input ended unanswered.
            << text::Fill(text::Tr("Answer: {1} (end of input)"), {ShownName(continuing)}) << "\n"
            << std::flush;
    return continuing;
}

std::optional<Answer> HeadlessUi::ReadAnswer(Buttons buttons) {
    const std::string choices = ChoiceLine(buttons);
    std::string line;
    while (true) {
        output_ << choices << "? " << std::flush;
        if (!std::getline(input_, line)) {
            return std::nullopt;
        }
        if (const std::optional<Answer> answer = MatchAnswer(line, buttons)) {
            return answer;
        }
    }
}

std::optional<std::string> HeadlessUi::Input(std::string_view prompt, std::string_view title,
                                             std::string_view initial) {
    WriteBox(prompt, title, Icon::None);
    if (!terminal_) {
        // TRANSLATORS: {1} is the text taken as the answer, the box's own.
        output_ << text::Fill(text::Tr("Answer: \"{1}\" (no terminal)"), {initial}) << "\n"
                << std::flush;
        return std::string(initial);
    }
    if (!initial.empty()) {
        output_ << '[' << initial << "] ";
    }
    output_ << "> " << std::flush;
    std::string line;
    if (!std::getline(input_, line)) {
        output_ << "\n" << text::Tr("Cancelled (end of input)") << "\n" << std::flush;
        return std::nullopt;
    }
    DropTrailingCr(line);
    if (line.empty()) {
        return std::string(initial);
    }
    return line;
}

void HeadlessUi::SetStatus(StatusPanel panel, std::string_view text) {
    std::string& shown = status_[static_cast<std::size_t>(panel)];
    if (progressTerminal_ != nullptr && panel == StatusPanel::Message && shown != text) {
        // Carriage return and "erase to the end of the line".
        // The idle text as the workspace shows it: in the user's language.
        const bool idle = text == text::Tr(kStatusText.data());
        *progressTerminal_ << "\r\x1b[K" << (idle ? std::string_view() : text);
        progressTerminal_->flush();
    }
    shown.assign(text);
}

const std::string& HeadlessUi::LastStatus(StatusPanel panel) const {
    return status_[static_cast<std::size_t>(panel)];
}

void HeadlessUi::WriteBox(std::string_view text, std::string_view title, Icon icon) {
    output_ << "--- " << (title.empty() ? kProgramTitle : title);
    if (icon != Icon::None) {
        output_ << " (" << IconName(icon) << ')';
    }
    output_ << " ---\n" << ToTextLines(text);
}

}  // namespace kestrel::app
