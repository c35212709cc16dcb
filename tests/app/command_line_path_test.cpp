#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/manual_page.h"

namespace kestrel::app {
namespace {

// What a file manager's "Open With" hands over: a folder's path alone.
TEST(CommandLinePath, AFolderGivenAloneIsTheWorkingFolder) {
    CommandLineProbes probes;
    probes.isFolder = [](std::string_view path) {
        return path == "/home/me/My Photos\\" || path == "D:\\Photos\\";
    };
    struct Row {
        const char* line;
        std::optional<std::string> folder;
        const char* error;
    };
    const Row rows[] = {
        {"\"/home/me/My Photos\"", "/home/me/My Photos\\", ""},
        {"NO-WINDOW D:\\Photos", "D:\\Photos\\", ""},
        {"/home/me/gone", std::nullopt, "Unknown or incomplete parameter: /home/me/gone\r\n"},
        {"Photos", std::nullopt, "Unknown or incomplete parameter: Photos\r\n"},
        {"D:\\Photos FOLDER:D:\\Photos", "D:\\Photos\\",
         "Multiple instances not allowed: FOLDER:D:\\Photos\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const CommandLine line = ParseCommandLine(row.line, {"C:\\", "C:\\Export\\"}, probes);
        EXPECT_EQ(line.folder, row.folder);
        EXPECT_EQ(line.errorText, row.error);
    }
}

TEST(CommandLinePath, ManualPageEscapesWhatRoffWouldReadAsCommands) {
    const std::string page = ManualPage();
    EXPECT_NE(page.find(".B FOLDER:path\nworking folder (C:\\ePhotos or"), std::string::npos);
    EXPECT_NE(page.find(".B \\-\\-help, \\-h, /?\n"), std::string::npos);
}

}  // namespace
}  // namespace kestrel::app
