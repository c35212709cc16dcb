#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/ui.h"
#include "text/numbers.h"
#include "text/translation.h"

namespace kestrel::app {

/// "Renaming: N% complete." in the message panel while a long pass runs, from
/// a pattern in the user's language whose {1} is the percentage. The text
/// names whole percents, so it is built and set only when that number
/// changes: a full list would otherwise format and set the same text tens of
/// thousands of times.
class PercentStatus {
  public:
    PercentStatus(Ui& ui, std::string_view pattern) : ui_(ui), pattern_(pattern) {}

    void Show(std::size_t done, std::size_t count) {
        const double fraction = static_cast<double>(done) / static_cast<double>(count);
        const double percent = text::RoundHalfEven(fraction * 100.0);
        if (percent != shown_) {
            shown_ = percent;
            ui_.SetStatus(StatusPanel::Message,
                          text::Fill(pattern_, {text::FormatPercent(fraction)}));
        }
    }

  private:
    Ui& ui_;
    std::string pattern_;
    double shown_ = -1.0;
};

}  // namespace kestrel::app
