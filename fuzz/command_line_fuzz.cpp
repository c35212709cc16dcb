// Any command line, as a shell or a file manager may hand it over: parsing
// must end with a verdict for every token, never a crash, and a line that
// parses cleanly must say so without error text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // Which probes say yes comes from the input too, so that both answers of
    // each keyword's check are reached.
    const auto answers = in.ConsumeIntegral<std::uint32_t>();
    const std::string line = in.ConsumeRemainingBytesAsString();
    unsigned asked = 0;
    const auto answer = [&](std::string_view) { return ((answers >> (asked++ % 32)) & 1U) != 0; };
    kestrel::app::CommandLineProbes probes;
    probes.loadTemplate = [&](int number) {
        if (number < 0) {
            __builtin_trap();
        }
        return answer({});
    };
    probes.isFolder = answer;
    probes.pathExists = answer;
    const kestrel::app::CommandLine parsed =
        kestrel::app::ParseCommandLine(line, {"C:\\Kestrel\\", "C:\\Kestrel\\Export\\"}, probes);
    // Each error line is ended by CR LF and names a token of the line.
    std::string_view errors = parsed.errorText;
    while (!errors.empty()) {
        const std::size_t end = errors.find("\r\n");
        if (end == std::string_view::npos) {
            __builtin_trap();
        }
        errors.remove_prefix(end + 2);
    }
    // The same text as the arguments a desktop hands over, split at line
    // breaks: any bytes, one path each, quotes and all.
    std::vector<std::string> arguments(1);
    for (const char c : line) {
        if (c == '\n') {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(c);
        }
    }
    const kestrel::app::CommandLine given =
        kestrel::app::ParseArguments(arguments, {"C:\\", "C:\\Export\\"}, probes);
    // A path given alone is listed as it was given, never cut or joined.
    for (const std::string& entry : given.entries) {
        bool found = false;
        for (const std::string& argument : arguments) {
            found = found || argument == entry;
        }
        if (!found) {
            __builtin_trap();
        }
    }
    return 0;
}
