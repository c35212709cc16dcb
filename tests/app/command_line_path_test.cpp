#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "app/command_line.h"

namespace kestrel::app {
namespace {

// What a file manager's "Open With" hands over: a folder's path alone.
TEST(CommandLinePath, AFolderGivenAloneIsTheWorkingFolder) {
    CommandLineProbes probes;
    probes.isFolder = [](std::string_view path) {
        return path == "/home/me/My Photos\\" || path == "D:\\Photos\\";
    };
    for (const auto& [text, folder, error] :
         {std::tuple<const char*, std::optional<std::string>, const char*>{
              "\"/home/me/My Photos\"", "/home/me/My Photos\\", ""},
          {"NO-WINDOW D:\\Photos", "D:\\Photos\\", ""},
          {"/home/me/gone", std::nullopt, "Unknown or incomplete parameter: /home/me/gone\r\n"},
          {"Photos", std::nullopt, "Unknown or incomplete parameter: Photos\r\n"},
          {"D:\\Photos FOLDER:D:\\Photos", "D:\\Photos\\",
           "Multiple instances not allowed: FOLDER:D:\\Photos\r\n"}}) {
        SCOPED_TRACE(text);
        const CommandLine line = ParseCommandLine(text, {"C:\\", "C:\\Export\\"}, probes);
        EXPECT_EQ(line.folder, folder);
        EXPECT_EQ(line.errorText, error);
    }
}

}  // namespace
}  // namespace kestrel::app
