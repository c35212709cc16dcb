// The command line in German, French and the pseudo-language of the tests:
// what it says follows the language, what it writes does not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/process_run.h"
#include "support/temp_drive.h"

#ifdef KESTREL_BINARY

namespace kestrel::app {
namespace {

struct Language {
    const char* name;
    std::vector<std::string> environment;
};

TEST(TranslatedProcess, MessagesFollowTheLanguageAndWrittenFilesDoNot) {
    support::TempDrive drive;
    drive.MakeFolder("cfg");
    drive.WriteFile("Photos\\my_holiday 01.JPG", "jpeg");
    drive.WriteFile("Photos\\Übung.txt", "");
    const auto run = [&](const Language& language, const std::vector<std::string>& arguments) {
        std::vector<std::string> environment = language.environment;
        environment.push_back("KESTREL_CONFIG_DIR=" + drive.HostPath("cfg"));
        environment.push_back("XDG_DATA_HOME=" + drive.HostPath("data"));
        return support::RunProcess(KESTREL_BINARY, arguments, environment, drive.HostRoot());
    };
    // A locale the machine need not have installed: the language follows LANG.
    const Language languages[] = {
        {"English", {"LC_ALL=", "LANG=C.UTF-8"}},
        {"German", {"LC_ALL=", "LANG=de_DE.UTF-8"}},
        {"French", {"LC_ALL=", "LANGUAGE=fr", "LANG=fr_FR.UTF-8"}},
        {"pseudo", {"LC_ALL=", "LANGUAGE=en@pseudo", "LANG=C.UTF-8"}},
    };
    const std::string missing = drive.HostPath("missing/out.csv");
    std::string englishError;
    std::string englishHelp;
    std::string englishFiles;
    for (const Language& language : languages) {
        SCOPED_TRACE(language.name);
        const support::ProcessResult failed = run(language, {"NO-WINDOW", "CSV:" + missing});
        EXPECT_EQ(failed.exitStatus, 1);
        // The path is named as it is, on a line of its own.
        EXPECT_TRUE(failed.standardError.ends_with("\n" + missing + "\n")) << failed.standardError;
        const std::string help = run(language, {"--help"}).standardOutput;
        EXPECT_NE(help.find("NO-WINDOW"), std::string::npos);

        std::vector<std::string> outputs;
        for (const char* format : {"CSV", "TAB", "LIST", "BAT", "SH", "PREVIEW"}) {
            outputs.push_back(std::string(format) + ":" + drive.HostPath(format));
        }
        std::vector<std::string> arguments = {"NO-WINDOW", "FOLDER:" + drive.HostPath("Photos")};
        arguments.insert(arguments.end(), outputs.begin(), outputs.end());
        ASSERT_EQ(run(language, arguments).exitStatus, 0);
        std::string files;
        for (const char* format : {"CSV", "TAB", "LIST", "BAT", "SH", "PREVIEW"}) {
            files += drive.ReadFile(format);
        }

        if (englishError.empty()) {
            englishError = failed.standardError;
            englishHelp = help;
            englishFiles = files;
            continue;
        }
        EXPECT_NE(failed.standardError, englishError);
        EXPECT_FALSE(help == englishHelp) << "--help is not translated";
        EXPECT_EQ(files, englishFiles);
        if (std::string(language.name) == "pseudo") {
            EXPECT_EQ(failed.standardError.front(), '[') << failed.standardError;
        }
    }
}

}  // namespace
}  // namespace kestrel::app

#endif
