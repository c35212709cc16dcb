#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/print_job.h"

namespace kestrel::support {

/// Records a print job as lines, with "<new page>" for each page break.
class RecordingPrintJob : public platform::PrintJob {
  public:
    void Line(std::string_view text) override { lines.emplace_back(text); }
    void NewPage() override { lines.emplace_back("<new page>"); }
    platform::FileError End() override {
        ++ended;
        return result;
    }

    std::vector<std::string> lines;
    int ended = 0;
    platform::FileError result;
};

}  // namespace kestrel::support
