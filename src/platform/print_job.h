#pragma once

#include <string_view>

#include "platform/file_error.h"
#include "text/translation.h"

namespace kestrel::platform {

/// What a print job reports when this machine has no printing system at all,
/// in English; the error's description is this in the user's language.
inline constexpr std::string_view kNoPrintingSystem =
    N_("No printing system found (the lp command of CUPS); install cups-client");

/// A print job of text lines with page breaks; End sends it to the printer.
class PrintJob {
  public:
    virtual ~PrintJob() = default;
    virtual void Line(std::string_view text) = 0;
    virtual void NewPage() = 0;
    virtual FileError End() = 0;
};

}  // namespace kestrel::platform
