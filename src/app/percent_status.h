#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/ui.h"
#include "text/numbers.h"

namespace kestrel::app {

/// "<prefix>N% complete." in the message panel while a long pass runs. The
/// text names whole percents, so it is built and set only when that number
/// changes: a full list would otherwise format and set the same text tens of
/// thousands of times.
class PercentStatus {
  public:
    PercentStatus(Ui& ui, std::string_view prefix) : ui_(ui), prefix_(prefix) {}

    void Show(std::size_t done, std::size_t count) {
        const double fraction = static_cast<double>(done) / static_cast<double>(count);
        const double percent = text::RoundHalfEven(fraction * 100.0);
        if (percent != shown_) {
            shown_ = percent;
            ui_.SetStatus(StatusPanel::Message,
                          prefix_ + text::FormatPercent(fraction) + " complete.");
        }
    }

  private:
    Ui& ui_;
    std::string prefix_;
    double shown_ = -1.0;
};

}  // namespace kestrel::app
