#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lists/list_entry.h"
#include "platform/print_job.h"

namespace kestrel::exchange {

/// `cboPrint`: "Source file list", "Target file list", "Both file lists".
enum class PrintChoice { Source = 0, Target = 1, Both = 2 };

struct PrintInput {
    std::string_view sourceFolder;
    std::string_view targetFolder;
    const std::vector<lists::ListEntry>& sources;
    const std::vector<std::string>& targets;
};

/// Prints the chosen list(s) `copies` times: each section is a header line and
/// its entries (every source row; only the non-empty target rows), with a new
/// page between the two sections and between copies.
platform::FileError PrintList(platform::PrintJob& job, PrintChoice choice, int copies,
                              const PrintInput& input);

}  // namespace kestrel::exchange
