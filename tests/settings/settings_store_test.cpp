#include "settings/settings_store.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/temp_config_folder.h"

namespace kestrel::settings {
namespace {

using ::testing::ElementsAre;

constexpr std::string_view kKey = "Software\\Vantorre\\Kestrel\\Settings";

TEST(SettingsStore, ReadsAValueOnlyAsTheTypeItWasStoredWith) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    store.WriteText(Scope::Machine, kKey, "Text", "hello");
    store.WriteNumber(Scope::Machine, kKey, "Number", 42);

    EXPECT_EQ(store.ReadText(Scope::Machine, kKey, "Text"), "hello");
    EXPECT_EQ(store.ReadNumber(Scope::Machine, kKey, "Number"), 42);
    EXPECT_EQ(store.ReadNumber(Scope::Machine, kKey, "Text", 7), 7);
    EXPECT_EQ(store.ReadText(Scope::Machine, kKey, "Number", "dflt"), "dflt");
    EXPECT_EQ(store.ReadText(Scope::Machine, kKey, "Missing", "dflt"), "dflt");
    EXPECT_EQ(store.ReadNumber(Scope::Machine, "No\\Such\\Key", "Number", -3), -3);
    EXPECT_EQ(store.ReadNumber(Scope::User, kKey, "Number", -3), -3);
}

TEST(SettingsStore, WritingAValueReplacesItWhateverItsEarlierType) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    store.WriteText(Scope::Machine, kKey, "Value", "text first");
    store.WriteNumber(Scope::Machine, kKey, "Value", 5);
    EXPECT_EQ(store.ReadText(Scope::Machine, kKey, "Value", "none"), "none");
    EXPECT_EQ(store.ReadNumber(Scope::Machine, kKey, "Value"), 5);

    store.WriteText(Scope::Machine, kKey, "Value", "text again");
    EXPECT_EQ(store.ReadNumber(Scope::Machine, kKey, "Value", -1), -1);
    EXPECT_EQ(store.ReadText(Scope::Machine, kKey, "Value"), "text again");
}

TEST(SettingsStore, KeepsTheWholeRangeOfThirtyTwoBitNumbers) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    for (const std::int32_t number : {INT32_MIN, -1, 0, INT32_MAX}) {
        SCOPED_TRACE(number);
        store.WriteNumber(Scope::Machine, kKey, "Number", number);
        EXPECT_EQ(store.ReadNumber(Scope::Machine, kKey, "Number", 12345), number);
    }
}

TEST(SettingsStore, TextEndsAtTheFirstZeroCharacter) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    store.WriteText(Scope::Machine, kKey, "Zero", std::string_view("abc\0def", 7));
    EXPECT_EQ(store.ReadText(Scope::Machine, kKey, "Zero", "dflt"), "abc");
}

TEST(SettingsStore, WriteCreatesEveryLevelOfTheKey) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    store.WriteText(Scope::Machine, "One\\Two\\Three", "", "deep");

    EXPECT_THAT(store.ListSubkeys(Scope::Machine, ""), ElementsAre("One"));
    EXPECT_THAT(store.ListSubkeys(Scope::Machine, "One"), ElementsAre("Two"));
    EXPECT_THAT(store.ListSubkeys(Scope::Machine, "One\\Two"), ElementsAre("Three"));
    // Outer backslashes name the same key.
    EXPECT_EQ(store.ReadText(Scope::Machine, "\\One\\Two\\Three\\", ""), "deep");
}

TEST(SettingsStore, ListsDirectSubkeysInOrderWithoutRegardToCase) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    const std::string templates = "Software\\Vantorre\\Kestrel\\Templates";
    for (const char* number : {"012", "000", "003"}) {
        store.WriteText(Scope::Machine, templates + "\\" + number, "", number);
    }
    store.WriteNumber(Scope::Machine, templates + "\\003\\Below", "x", 1);
    EXPECT_THAT(store.ListSubkeys(Scope::Machine, templates), ElementsAre("000", "003", "012"));

    for (const char* name : {"beta", "GAMMA", "Alpha"}) {
        store.WriteNumber(Scope::Machine, std::string("Names\\") + name, "x", 1);
    }
    EXPECT_THAT(store.ListSubkeys(Scope::Machine, "Names"), ElementsAre("Alpha", "beta", "GAMMA"));
    EXPECT_TRUE(store.ListSubkeys(Scope::Machine, "Names\\Alpha").empty());
}

TEST(SettingsStore, NamesMatchWithoutRegardToCaseAndKeepTheirFirstWrittenForm) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    store.WriteText(Scope::Machine, "Software\\Ärger", "Working Folder", "C:\\One\\");
    store.WriteText(Scope::Machine, "SOFTWARE\\ärger", "Working folder", "C:\\Two\\");

    EXPECT_EQ(store.ReadText(Scope::Machine, "software\\ÄRGER", "WORKING FOLDER"), "C:\\Two\\");
    EXPECT_THAT(store.ListSubkeys(Scope::Machine, "software"), ElementsAre("Ärger"));
    EXPECT_THAT(store.ListValueNames(Scope::Machine, "Software\\Ärger"),
                ElementsAre("Working Folder"));
}

TEST(SettingsStore, DeleteKeyRemovesValuesAndSubkeysAndReportsAMissingKey) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    store.WriteText(Scope::Machine, "Root\\A", "v", "a");
    store.WriteText(Scope::Machine, "Root\\A\\Child", "v", "child");
    store.WriteText(Scope::Machine, "Root\\AB", "v", "sibling");

    EXPECT_NE(store.DeleteKey(Scope::Machine, "Root\\Missing"), 0);
    EXPECT_NE(store.DeleteKey(Scope::User, "Root\\A"), 0);
    EXPECT_EQ(store.DeleteKey(Scope::Machine, "root\\a"), 0);

    EXPECT_THAT(store.ListSubkeys(Scope::Machine, "Root"), ElementsAre("AB"));
    EXPECT_EQ(store.ReadText(Scope::Machine, "Root\\AB", "v"), "sibling");
    EXPECT_NE(store.DeleteKey(Scope::Machine, "Root\\A"), 0);
    // A key made again under the same name starts without the old values.
    store.WriteNumber(Scope::Machine, "Root\\A", "other", 1);
    EXPECT_EQ(store.ReadText(Scope::Machine, "Root\\A", "v", "gone"), "gone");
    EXPECT_EQ(store.ReadText(Scope::Machine, "Root\\A\\Child", "v", "gone"), "gone");
}

TEST(SettingsStore, TwoProcessesWritingTheSameKeyAtOnceLoseNothing) {
    TempConfigFolder folder;
    constexpr int kWriters = 2;
    constexpr int kValuesEach = 200;
    int startPipe[2];
    ASSERT_EQ(::pipe(startPipe), 0);

    std::vector<pid_t> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(startPipe[1]);
            char go = 0;
            // Both start when the parent closes the pipe, so their writes overlap.
            [[maybe_unused]] const ssize_t ignored = ::read(startPipe[0], &go, 1);
            SettingsStore store(folder.Path());
            for (int n = 0; n < kValuesEach; ++n) {
                store.WriteNumber(Scope::Machine, kKey,
                                  "W" + std::to_string(writer) + "-" + std::to_string(n), n);
            }
            ::_exit(0);
        }
        writers.push_back(pid);
    }
    ::close(startPipe[0]);
    ::close(startPipe[1]);
    for (const pid_t pid : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    SettingsStore store(folder.Path());
    EXPECT_EQ(store.ListValueNames(Scope::Machine, kKey).size(),
              static_cast<std::size_t>(kWriters * kValuesEach));
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int n = 0; n < kValuesEach; ++n) {
            const std::string name = "W" + std::to_string(writer) + "-" + std::to_string(n);
            ASSERT_EQ(store.ReadNumber(Scope::Machine, kKey, name, -1), n) << name;
        }
    }
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SettingsStore, DamagedDatabaseReadsEmptyAndIsNeverWritten) {
    TempConfigFolder folder;
    std::string garbage;
    for (int i = 0; i < 8192; ++i) {
        garbage.push_back(static_cast<char>((i * 131 + 7) % 256));
    }
    std::ofstream(folder.File("machine.db"), std::ios::binary) << garbage;

    SettingsStore store(folder.Path());
    EXPECT_EQ(store.ReadText(Scope::Machine, kKey, "Text", "dflt"), "dflt");
    store.WriteText(Scope::Machine, kKey, "Text", "lost");
    store.WriteNumber(Scope::Machine, kKey, "Number", 1);
    EXPECT_EQ(store.ReadNumber(Scope::Machine, kKey, "Number", 9), 9);
    EXPECT_TRUE(store.ListSubkeys(Scope::Machine, "").empty());
    EXPECT_NE(store.DeleteKey(Scope::Machine, kKey), 0);

    EXPECT_EQ(FileBytes(folder.File("machine.db")), garbage);
    // The other scope has its own file and is unaffected.
    store.WriteText(Scope::User, kKey, "Text", "kept");
    EXPECT_EQ(store.ReadText(Scope::User, kKey, "Text"), "kept");
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return 0;
    }
    return info.st_mode & 07777;
}

TEST(SettingsStore, CreatesAPrivateFolderAndPrivateFiles) {
    TempConfigFolder parent;
    const std::string config = parent.File("made/kestrel");
    SettingsStore store(config);
    store.WriteNumber(Scope::Machine, kKey, "Number", 1);

    EXPECT_EQ(ModeOf(config), 0700u);
    // While the store is open SQLite keeps its -wal and -shm files beside the database.
    for (const char* file : {"machine.db", "machine.db-wal", "machine.db-shm"}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(ModeOf(config + "/" + file), 0600u);
    }
}

TEST(DefaultConfigFolder, PrefersTheKestrelVariableThenXdgConfigHomeThenHome) {
    struct Case {
        const char* kestrel;
        const char* xdg;
        const char* expected;
    };
    const Case cases[] = {
        {"/k", "/x", "/k"},
        {nullptr, "/x", "/x/kestrel"},
        {"", "", "/h/.config/kestrel"},
        {nullptr, nullptr, "/h/.config/kestrel"},
    };
    const auto restore = [](const char* name, const std::optional<std::string>& value) {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    };
    const auto saved = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto kestrel = saved("KESTREL_CONFIG_DIR");
    const auto xdg = saved("XDG_CONFIG_HOME");
    const auto home = saved("HOME");
    ::setenv("HOME", "/h", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        restore("KESTREL_CONFIG_DIR",
                c.kestrel ? std::optional<std::string>(c.kestrel) : std::nullopt);
        restore("XDG_CONFIG_HOME", c.xdg ? std::optional<std::string>(c.xdg) : std::nullopt);
        EXPECT_EQ(DefaultConfigFolder(), c.expected);
    }
    restore("KESTREL_CONFIG_DIR", kestrel);
    restore("XDG_CONFIG_HOME", xdg);
    restore("HOME", home);
}

}  // namespace
}  // namespace kestrel::settings
