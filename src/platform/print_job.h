#pragma once

#include <string_view>

#include "platform/file_error.h"

namespace kestrel::platform {

/// A print job of text lines with page breaks; End sends it to the printer.
class PrintJob {
  public:
    virtual ~PrintJob() = default;
    virtual void Line(std::string_view text) = 0;
    virtual void NewPage() = 0;
    virtual FileError End() = 0;
};

}  // namespace kestrel::platform
