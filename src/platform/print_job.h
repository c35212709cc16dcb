#pragma once

#include <string_view>

#include "platform/file_error.h"

namespace kestrel::platform {

/// What a print job reports when this machine has no printing system at all.
inline constexpr std::string_view kNoPrintingSystem =
    "No printing system found (the lp command of CUPS); install cups-client";

/// A print job of text lines with page breaks; End sends it to the printer.
class PrintJob {
  public:
    virtual ~PrintJob() = default;
    virtual void Line(std::string_view text) = 0;
    virtual void NewPage() = 0;
    virtual FileError End() = 0;
};

}  // namespace kestrel::platform
