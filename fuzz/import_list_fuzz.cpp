// Import lists of any bytes, with any delimiters typed into the two boxes:
// the sample and the import must end, report a closing line, and never
// count more pairs than the cap.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "exchange/import_list.h"
#include "memory_file_system.h"

namespace {

std::string Delimiter(FuzzedDataProvider& in) {
    const int choice = in.ConsumeIntegralInRange<int>(0, 5);
    if (choice < 4) {
        return std::string(kestrel::exchange::kDelimiterItems[static_cast<std::size_t>(choice)]);
    }
    if (choice == 4) {
        return kestrel::exchange::CustomDelimiterText(in.ConsumeIntegralInRange<int>(0, 255));
    }
    return in.ConsumeRandomLengthString(4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    kestrel::exchange::ImportRequest request;
    request.firstDelimiter = Delimiter(in);
    request.secondDelimiter = Delimiter(in);
    request.sourceFolder = in.ConsumeBool() ? "C:\\Photos\\" : "";
    request.targetFolder = in.ConsumeBool() ? "C:\\Renamed" : "";
    const bool twoFiles = in.ConsumeBool();
    kestrel::fuzzing::MemoryFileSystem files;
    request.sourceList = "C:\\source.txt";
    if (twoFiles) {
        request.targetList = "C:\\target.txt";
        files.files[request.targetList] = in.ConsumeRandomLengthString(size);
    }
    files.files[request.sourceList] = in.ConsumeRemainingBytesAsString();

    std::size_t lines = 0;
    const auto count = [&lines](std::string_view) { ++lines; };
    kestrel::exchange::PreviewImport(files, request, count);
    if (lines == 0 || lines > kestrel::exchange::kImportSampleSize + 3) {
        __builtin_trap();
    }
    const kestrel::exchange::ImportCounts counts =
        kestrel::exchange::RunImport(files, request, count);
    if (counts.successes < 0 || counts.errors < 0 ||
        counts.successes + counts.errors > kestrel::exchange::kMaxImportPairs) {
        __builtin_trap();
    }
    return 0;
}
