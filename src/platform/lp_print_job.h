#pragma once

#include <string>
#include <string_view>

#include "platform/print_job.h"

namespace kestrel::platform {

/// Plain text with form feeds between pages, handed to the default printer
/// through CUPS `lp` when the job ends.
class LpPrintJob : public PrintJob {
  public:
    explicit LpPrintJob(std::string command = "lp") : command_(std::move(command)) {}

    void Line(std::string_view text) override;
    void NewPage() override;
    FileError End() override;

    const std::string& Text() const { return text_; }

  private:
    std::string command_;
    std::string text_;
};

}  // namespace kestrel::platform
