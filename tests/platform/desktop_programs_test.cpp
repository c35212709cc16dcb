#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <deque>
#include <functional>
#include <optional>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/desktop_tools.h"
#include "platform/program_runner.h"
#include "platform/sound_player.h"
#include "settings/temp_config_folder.h"
#include "support/process_run.h"
#include "support/recording_programs.h"

namespace kestrel::platform {
namespace {

using Command = std::vector<std::string>;
using Folder = settings::TempConfigFolder;

std::string WriteFile(const std::string& file, const std::string& text, mode_t mode = 0644) {
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file) << text;
    ::chmod(file.c_str(), mode);
    return file;
}

TEST(FindOnPath, FindsOnlyExecutableFilesInAbsoluteFolders) {
    Folder first;
    Folder second;
    WriteFile(first.File("plain"), "", 0644);
    WriteFile(second.File("plain"), "", 0755);
    std::filesystem::create_directory(first.File("folder"));
    const std::string path = "relative::" + first.Path() + ":" + second.Path() + "/";
    EXPECT_EQ(FindOnPath("plain", path), second.File("plain"));
    EXPECT_EQ(FindOnPath("folder", path), "");
    EXPECT_EQ(FindOnPath(second.File("plain"), path), "") << "a path is not looked up";
}

TEST(PathProgramRunner, StartsTheProgramFromPathWithItsArgumentsWithoutWaiting) {
    Folder bin;
    const std::string record = bin.File("arguments.txt");
    WriteFile(bin.File("fake-tool"),
              "#!/bin/sh\nprintf '%s|' \"$@\" > " + record + ".tmp\nmv " + record + ".tmp " +
                  record + "\n",
              0755);
    const std::string saved = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    ::setenv("PATH", (bin.Path() + ":/usr/bin:/bin").c_str(), 1);
    PathProgramRunner runner;
    EXPECT_TRUE(runner.Installed("fake-tool"));
    EXPECT_FALSE(runner.Start({"no-such-tool"}));
    EXPECT_TRUE(runner.Start({"fake-tool", "display", "two words"}));
    ::setenv("PATH", saved.c_str(), 1);

    support::WaitUntil([&record] { return std::filesystem::exists(record); });
    std::ifstream in(record);
    std::string arguments((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(arguments, "display|two words|");
}

// Watched, a program reports its exit, or runs on past the wait. With an
// event loop to come back from, watching never waits: the report comes from
// a later turn of the loop.
TEST(PathProgramRunner, AWatchedProgramReportsItsExitOrRunsOnAndTheLoopNeverWaits) {
    // The command, the wait, whether it starts, and its exit status (-1: runs on).
    const std::tuple<Command, int, bool, int> cases[] = {
        {{"sh", "-c", "sleep 0.2; exit 3"}, 5000, true, 3},
        {{"sh", "-c", "kill -9 $$"}, 5000, true, 128},
        {{"sleep", "2"}, 50, true, -1},
        {{"no-such-tool"}, 50, false, -1},
    };
    for (const auto& [argv, wait, started, exitStatus] : cases) {
        SCOPED_TRACE(argv.back());
        PathProgramRunner runner;
        const RunReport waited = runner.StartAndWatch(argv, wait);
        EXPECT_EQ(waited.started, started);
        EXPECT_EQ(waited.exitStatus.value_or(-1), exitStatus);

        std::deque<std::function<void()>> loop;
        runner.SetScheduler([&loop](int, std::function<void()> task) { loop.push_back(task); });
        std::optional<RunReport> report;
        runner.StartWatched(argv, wait, [&report](const RunReport& r) { report = r; });
        EXPECT_EQ(report.has_value(), !started) << "reported at once";
        EXPECT_TRUE(support::WaitUntil([&] {
            if (!report && !loop.empty()) {
                std::function<void()> task = std::move(loop.front());
                loop.pop_front();
                task();
            }
            return report.has_value();
        }));
        EXPECT_EQ(report.value_or(RunReport{}).started, started);
        EXPECT_EQ(report.value_or(RunReport{}).exitStatus.value_or(-1), exitStatus);
    }
}

TEST(PlayerCommand, PicksTheFirstInstalledPlayerThatReadsTheFile) {
    const std::tuple<std::set<std::string>, const char*, Command> cases[] = {
        {{"pw-play", "paplay"}, "/s/a.oga", {"pw-play", "/s/a.oga"}},
        {{"aplay", "ogg123"}, "/s/a.WAV", {"aplay", "-q", "/s/a.WAV"}},
        {{"aplay", "ogg123"}, "/s/a.oga", {"ogg123", "-q", "/s/a.oga"}},
        {{"aplay"}, "/s.wav/a", {}},
    };
    for (const auto& [installed, file, expected] : cases) {
        SCOPED_TRACE(file);
        support::RecordingPrograms programs;
        programs.installed = installed;
        EXPECT_EQ(PlayerCommand(programs, file), expected);
    }
}

TEST(DesktopSoundPlayer, PlaysExistingFilesAndReportsWhatIsMissing) {
    Folder sounds;
    const std::string file = WriteFile(sounds.File("done.wav"), "RIFF");
    support::RecordingPrograms programs;
    DesktopSoundPlayer player(programs);
    EXPECT_EQ(player.Play(file), PlayResult::NoPlayer);
    programs.installed = {"aplay"};
    for (const std::string& none : {std::string("0"), sounds.Path(), sounds.File("gone.wav")}) {
        SCOPED_TRACE(none);
        EXPECT_EQ(player.Play(none), PlayResult::NoFile);
    }
    EXPECT_EQ(player.Play(file), PlayResult::Started);
    EXPECT_EQ(programs.started, std::vector<Command>{Command({"aplay", "-q", file})});
}

TEST(FindThemeSound, TakesTheFirstDataFolderThatHoldsTheSound) {
    Folder first;
    Folder second;
    WriteFile(second.File("sounds/freedesktop/stereo/complete.oga"), "OggS");
    const std::string dirs = "relative:" + first.Path() + ":" + second.Path();
    EXPECT_EQ(FindThemeSound("complete", dirs),
              second.File("sounds/freedesktop/stereo/complete.oga"));
    EXPECT_EQ(FindThemeSound("bell", dirs), "");
}

TEST(StartDesktopTool, PrefersTheCurrentDesktopsToolAndFallsBackToAnyInstalledOne) {
    // The last column is the command started; empty: nothing started.
    const std::tuple<DesktopTool, const char*, std::set<std::string>, Command> cases[] = {
        {DesktopTool::DisplaySettings,
         "KDE",
         {"gnome-control-center", "kcmshell5"},
         {"kcmshell5", "kcm_kscreen"}},
        {DesktopTool::MouseSettings,
         "ubuntu:gnome",
         {"kcmshell6", "gnome-control-center"},
         {"gnome-control-center", "mouse"}},
        {DesktopTool::InternetSettings, "XFCE", {"xfce4-display-settings"}, {}},
    };
    for (const auto& [tool, desktop, installed, expected] : cases) {
        SCOPED_TRACE(expected.empty() ? "none" : expected.front());
        support::RecordingPrograms programs;
        programs.installed = installed;
        EXPECT_EQ(StartDesktopTool(programs, tool, desktop), !expected.empty());
        EXPECT_EQ(programs.started,
                  expected.empty() ? std::vector<Command>{} : std::vector<Command>{expected});
    }
    // A tool that is there but will not start gives way to the next one.
    support::RecordingPrograms programs;
    programs.installed = {"gnome-control-center", "nm-connection-editor"};
    programs.failing = {"gnome-control-center"};
    EXPECT_TRUE(StartDesktopTool(programs, DesktopTool::NetworkConnections, "GNOME"));
    EXPECT_EQ(programs.started, std::vector<Command>{{"nm-connection-editor"}});
}

}  // namespace
}  // namespace kestrel::platform
