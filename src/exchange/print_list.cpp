#include "exchange/print_list.h"

#include "exchange/export_formats.h"

namespace kestrel::exchange {
namespace {

void PrintHeader(platform::PrintJob& job, std::string_view folder, std::size_t count) {
    std::string header = ListingHeader(folder, count, true);
    header.resize(header.size() - 2);  // the job ends its own lines
    job.Line(header);
}

}  // namespace

platform::FileError PrintList(platform::PrintJob& job, PrintChoice choice, int copies,
                              const PrintInput& input) {
    const bool source = choice == PrintChoice::Source || choice == PrintChoice::Both;
    const bool target = choice == PrintChoice::Target || choice == PrintChoice::Both;
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0) {
            job.NewPage();
        }
        if (source) {
            PrintHeader(job, input.sourceFolder, input.sources.size());
            for (const lists::ListEntry& entry : input.sources) {
                job.Line(entry.text);
            }
        }
        if (choice == PrintChoice::Both) {
            job.NewPage();
        }
        if (target) {
            PrintHeader(job, input.targetFolder, input.targets.size());
            for (const std::string& entry : input.targets) {
                if (!entry.empty()) {
                    job.Line(entry);
                }
            }
        }
    }
    return job.End();
}

}  // namespace kestrel::exchange
