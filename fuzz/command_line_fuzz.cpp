// Any command line, as a shell or a file manager may hand it over: parsing
// must end with a verdict for every token, never a crash, and a line that
// parses cleanly must say so without error text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>

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
    // Arguments joined back must split into the same tokens once more.
    const char* argv[] = {"kestrel", line.c_str()};
    const std::string joined = kestrel::app::JoinArguments(2, argv);
    kestrel::app::ParseCommandLine(joined, {"C:\\", "C:\\Export\\"}, probes);
    return 0;
}
