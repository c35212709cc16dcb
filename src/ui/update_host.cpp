#include "ui/update_host.h"

#include "platform/desktop_opener.h"
#include "text/translation.h"
#include "ui/qt_ui.h"

namespace kestrel::ui {

bool WindowUpdateHost::Show(update::Box box, std::string_view text) {
    using app::Buttons;
    using app::Icon;
    switch (box) {
        case update::Box::OfferBeta:
        case update::Box::OfferRelease:
            return ui_.Ask(text, text::Tr("Internet Update"), Buttons::YesNo, Icon::Question) ==
                   app::Answer::Yes;
        case update::Box::Unavailable:
            ui_.Ask(text, app::kProgramTitle, Buttons::Ok, Icon::Critical);
            return false;
        case update::Box::MostCurrent:
        case update::Box::NotStarted:
            ui_.Ask(text, app::kProgramTitle, Buttons::Ok, Icon::Information);
            return false;
        case update::Box::NotSaved:
            ui_.Ask(text, app::kProgramTitle, Buttons::Ok, Icon::Exclamation);
            return false;
    }
    return false;
}

void WindowUpdateHost::ShowStatus(std::string_view status) {
    if (status_) {
        status_(status);
    }
}

bool WindowUpdateHost::StartUpdater(const std::string& hostPath) {
    // The program ends once the updater runs, so this one answer is waited
    // for: an updater nothing could start must leave the program running.
    platform::XdgDesktopOpener opener(ui_.Programs());
    return opener.OpenAndWait(hostPath) >= platform::kOpenStarted;
}

}  // namespace kestrel::ui
