#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "platform/print_job.h"

class QPrinter;

namespace kestrel::ui {

/// A print job on a Qt printer: the lines in the desktop's fixed-pitch font,
/// lines wider than the page wrapped, a new page where the page is full or a
/// break is asked for. Nothing reaches the printer until End.
class QtPrintJob : public platform::PrintJob {
  public:
    explicit QtPrintJob(QPrinter& printer) : printer_(printer) {}

    void Line(std::string_view text) override;
    void NewPage() override;
    platform::FileError End() override;

  private:
    QPrinter& printer_;
    std::vector<std::optional<QString>> items_;  // nullopt: a page break
};

}  // namespace kestrel::ui
