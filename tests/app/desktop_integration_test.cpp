// "Open With Kestrel" and "Rename with Kestrel": the menu entry and the file
// managers' actions, validated and parsed as their desktops read them, and
// launched the way those desktops launch them, with names that break careless
// quoting. A stand-in "kestrel" on PATH records what it was given.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/file_manager_actions.h"
#include "support/process_run.h"
#include "support/temp_drive.h"

#if defined(KESTREL_SOURCE_DIR)

namespace kestrel::app {
namespace {

using Texts = std::vector<std::string>;

const std::string kSource = KESTREL_SOURCE_DIR;

class DesktopIntegration : public ::testing::Test {
  protected:
    DesktopIntegration() {
        drive.WriteFile(
            "bin\\kestrel",
            "#!/bin/sh\nfor a; do printf '%s\\0' \"$a\"; done > \"$KESTREL_ARGS.part\"\n"
            "mv \"$KESTREL_ARGS.part\" \"$KESTREL_ARGS\"\n");
        ::chmod(drive.HostPath("bin/kestrel").c_str(), 0755);
        for (const std::string& name : kAwkward) {
            drive.WriteFile("Sel\\" + name, "");
        }
    }

    std::vector<std::string> Environment() const {
        return {"PATH=" + drive.HostPath("bin") + ":/usr/bin:/bin",
                "KESTREL_ARGS=" + drive.HostPath("args"), "HOME=" + drive.HostPath("home"),
                "XDG_DATA_HOME=", "XDG_CONFIG_HOME="};
    }

    // What the stand-in program was started with.
    Texts Received() const {
        std::ifstream in(drive.HostPath("args"), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        Texts arguments;
        for (std::size_t start = 0; start < bytes.size();) {
            const std::size_t end = bytes.find('\0', start);
            arguments.push_back(bytes.substr(start, end - start));
            start = end + 1;
        }
        return arguments;
    }

    // Runs `exec` as the desktop runs an entry's command line: through gio,
    // which expands %F by the desktop entry rules, on every awkward name.
    Texts Launched(const std::string& exec) {
        drive.WriteFile("launch.desktop",
                        "[Desktop Entry]\nType=Application\nName=Kestrel\nExec=" + exec + "\n");
        std::filesystem::remove(drive.HostPath("args"));
        Texts arguments = {"launch", drive.HostPath("launch.desktop")};
        for (const std::string& name : kAwkward) {
            arguments.push_back(drive.HostPath("Sel/" + name));
        }
        const support::ProcessResult run =
            support::RunProcess("/usr/bin/gio", arguments, Environment(), drive.HostPath(""));
        EXPECT_EQ(run.exitStatus, 0) << run.standardError;
        // gio returns once the program is started; wait for what it wrote.
        for (int i = 0; i < 500 && !std::filesystem::exists(drive.HostPath("args")); ++i) {
            ::usleep(10'000);
        }
        return Received();
    }

    Texts AwkwardPaths() const {
        Texts paths;
        for (const std::string& name : kAwkward) {
            paths.push_back(drive.HostPath("Sel/" + name));
        }
        return paths;
    }

    // A key of a key file, read by Python's parser of the format the desktops
    // share (groups, keys, no interpolation).
    std::string KeyOf(const std::string& file, const std::string& group, const std::string& key) {
        const support::ProcessResult run =
            support::RunProcess("/usr/bin/python3",
                                {"-c",
                                 "import configparser,sys\n"
                                 "c=configparser.ConfigParser(interpolation=None,strict=True)\n"
                                 "c.optionxform=str\n"
                                 "c.read(sys.argv[1],encoding='utf-8')\n"
                                 "sys.stdout.write(c[sys.argv[2]][sys.argv[3]])",
                                 file, group, key},
                                {}, drive.HostPath(""));
        EXPECT_EQ(run.exitStatus, 0)
            << file << " [" << group << "] " << key << ": " << run.standardError;
        return run.standardOutput;
    }

    const Texts kAwkward = {"two words.jpg", "it's \"q\".jpg", "$x `y`.jpg", "-lead.jpg",
                            "new\nline.jpg"};
    support::TempDrive drive;
};

TEST_F(DesktopIntegration, TheMenuEntryIsValidAndTakesEverySelectedEntryIntact) {
    const std::string entry = kSource + "/data/org.example.kestrel.desktop";
    const support::ProcessResult valid =
        support::RunProcess("/usr/bin/desktop-file-validate", {entry}, {}, drive.HostPath(""));
    EXPECT_EQ(valid.exitStatus, 0) << valid.standardOutput << valid.standardError;
    EXPECT_NE(KeyOf(entry, "Desktop Entry", "MimeType").find("application/octet-stream;"),
              std::string::npos);
    EXPECT_EQ(Launched(KeyOf(entry, "Desktop Entry", "Exec")), AwkwardPaths());
}

// Each file manager's action, read as that file manager reads it, then its
// command run as the desktop runs it.
TEST_F(DesktopIntegration, EachFileManagersActionIsWellFormedAndPassesThePathsIntact) {
    const std::string folder = kSource + "/data/file-managers/";
    struct Action {
        const char* file;
        const char* group;
        std::vector<std::pair<const char*, const char*>> keys;  // key, part of its value
        const char* execGroup;
    } const actions[] = {
        {"kestrel-rename.servicemenu.desktop",
         "Desktop Entry",
         {{"Type", "Service"},
          {"X-KDE-ServiceTypes", "KonqPopupMenu/Plugin"},
          {"MimeType", "all/all"},
          {"Actions", "renameWithKestrel"}},
         "Desktop Action renameWithKestrel"},
        {"kestrel-rename.nemo_action",
         "Nemo Action",
         {{"Name", "Rename with Kestrel"}, {"Selection", "notnone"}, {"Extensions", "any"}},
         "Nemo Action"},
        {"kestrel-rename.caja-action.desktop",
         "Desktop Entry",
         {{"Type", "Action"}, {"Profiles", "selection"}},
         "X-Action-Profile selection"},
    };
    for (const Action& action : actions) {
        SCOPED_TRACE(action.file);
        const std::string file = folder + action.file;
        for (const auto& [key, part] : action.keys) {
            EXPECT_NE(KeyOf(file, action.group, key).find(part), std::string::npos) << key;
        }
        EXPECT_EQ(Launched(KeyOf(file, action.execGroup, "Exec")), AwkwardPaths());
    }
}

// Files runs its scripts in the folder it shows, with the selected names as
// the arguments; Thunar expands %F into quoted paths.
TEST_F(DesktopIntegration, PerUserActionsInstallOnceRemoveOnlyTheirOwnAndPassThePathsIntact) {
    const ActionFolders folders{drive.HostPath("home/.local/share/nautilus/scripts"),
                                drive.HostPath("home/.config/Thunar")};
    drive.WriteFile("home\\.local\\share\\nautilus\\scripts\\Mine", "#!/bin/sh\n");
    const std::string others =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n\t<icon>utilities-"
        "terminal</icon>\n\t<name>Open Terminal Here</name>\n\t<unique-id>1-1</unique-id>\n\t<"
        "command>exo-open --working-directory %f --launch TerminalEmulator</command>\n\t<"
        "description>Example for a custom action</description>\n\t<patterns>*</patterns>\n\t<"
        "startup-notify/>\n\t<directories/>\n</action>\n</actions>\n";
    drive.WriteFile("home\\.config\\Thunar\\uca.xml", others);
    const auto snapshot = [&] {
        return drive.ReadFile("home\\.config\\Thunar\\uca.xml") + "|" +
               drive.ReadFile("home\\.local\\share\\nautilus\\scripts\\Rename with Kestrel");
    };
    ASSERT_TRUE(InstallFileManagerActions(folders).ok);
    const std::string installed = snapshot();
    const ActionsReport again = InstallFileManagerActions(folders);
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.lines, (Texts{"Files: the script \"Rename with Kestrel\" was there already.",
                                  "Thunar: \"Rename with Kestrel\" was there already."}));
    EXPECT_EQ(snapshot(), installed);
    EXPECT_TRUE(installed.starts_with(others.substr(0, others.size() - 11)));
    struct stat info {};
    ASSERT_EQ(
        ::stat(drive.HostPath("home/.local/share/nautilus/scripts/Rename with Kestrel").c_str(),
               &info),
        0);
    EXPECT_EQ(info.st_mode & 0111, 0111u);

    // The script, run by /bin/sh in the shown folder on relative names.
    Texts arguments = {"-c", "cd \"$0\" && exec /bin/sh \"$@\"", drive.HostPath("Sel"),
                       drive.HostPath("home/.local/share/nautilus/scripts/Rename with Kestrel")};
    for (const std::string& name : kAwkward) {
        arguments.push_back(name);
    }
    arguments.back() = drive.HostPath("Sel/" + kAwkward.back());  // one given whole
    const support::ProcessResult run =
        support::RunProcess("/bin/sh", arguments, Environment(), drive.HostPath(""));
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(Received(), AwkwardPaths());
    // Thunar's command line as a desktop entry would run it.
    EXPECT_EQ(Launched("kestrel %F"), AwkwardPaths());

    for (int time = 0; time < 2; ++time) {
        EXPECT_TRUE(RemoveFileManagerActions(folders).ok);
        EXPECT_EQ(drive.ReadFile("home\\.config\\Thunar\\uca.xml"), others);
        EXPECT_FALSE(drive.Exists("home\\.local\\share\\nautilus\\scripts\\Rename with Kestrel"));
        EXPECT_TRUE(drive.Exists("home\\.local\\share\\nautilus\\scripts\\Mine"));
    }
    // A script of that name the user wrote is not taken away.
    drive.WriteFile("home\\.local\\share\\nautilus\\scripts\\Rename with Kestrel", "mine\n");
    RemoveFileManagerActions(folders);
    EXPECT_EQ(drive.ReadFile("home\\.local\\share\\nautilus\\scripts\\Rename with Kestrel"),
              "mine\n");
}

}  // namespace
}  // namespace kestrel::app

#endif
