#include "settings/settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <fstream>

#include "settings/temp_config_folder.h"

namespace kestrel::settings {
namespace {

using ::testing::ElementsAre;

constexpr std::string_view kKey = "Software\\Vantorre\\Kestrel\\Settings";
constexpr Scope kMachine = Scope::Machine;

class SettingsStoreTest : public ::testing::Test {
  protected:
    TempConfigFolder folder;
    SettingsStore store{folder.Path()};
};

TEST_F(SettingsStoreTest, ValuesReadBackWholeOnlyAsTheTypeLastWritten) {
    store.WriteText(kMachine, kKey, "Text", std::string_view("hello\0cut", 9));
    store.WriteText(kMachine, kKey, "Value", "text first");
    store.WriteNumber(kMachine, kKey, "Value", 5);
    EXPECT_EQ(store.ReadText(kMachine, kKey, "Text"), "hello");  // a zero ends the text
    EXPECT_EQ(store.ReadNumber(kMachine, kKey, "Text", 7), 7);
    EXPECT_EQ(store.ReadText(kMachine, kKey, "Value", "none"), "none");
    EXPECT_EQ(store.ReadNumber(kMachine, kKey, "Value"), 5);
    EXPECT_EQ(store.ReadText(kMachine, kKey, "Missing", "dflt"), "dflt");
    EXPECT_EQ(store.ReadNumber(kMachine, "No\\Such\\Key", "Value", -3), -3);
    EXPECT_EQ(store.ReadNumber(Scope::User, kKey, "Value", -3), -3);
    for (const std::int32_t number : {INT32_MIN, -1, 0, INT32_MAX}) {
        store.WriteNumber(kMachine, kKey, "Number", number);
        EXPECT_EQ(store.ReadNumber(kMachine, kKey, "Number", 12345), number);
    }
}

TEST_F(SettingsStoreTest, KeysAreMadeLevelByLevelAndMatchedWithoutRegardToCase) {
    store.WriteText(kMachine, "One\\Two\\Three", "", "deep");
    EXPECT_THAT(store.ListSubkeys(kMachine, ""), ElementsAre("One"));
    EXPECT_THAT(store.ListSubkeys(kMachine, "One\\Two"), ElementsAre("Three"));
    EXPECT_EQ(store.ReadText(kMachine, "\\One\\Two\\Three\\", ""), "deep");

    const std::string templates = "Software\\Vantorre\\Kestrel\\Templates";
    for (const char* name : {"012", "000", "003", "003\\Below"}) {
        store.WriteText(kMachine, templates + "\\" + name, "", name);
    }
    EXPECT_THAT(store.ListSubkeys(kMachine, templates), ElementsAre("000", "003", "012"));
    for (const char* name : {"beta", "GAMMA", "Alpha"}) {
        store.WriteNumber(kMachine, std::string("Names\\") + name, "x", 1);
    }
    EXPECT_THAT(store.ListSubkeys(kMachine, "Names"), ElementsAre("Alpha", "beta", "GAMMA"));

    // The first-written spelling stays; later writes in any case reach it.
    store.WriteText(kMachine, "Other\\Ärger", "Working Folder", "C:\\One\\");
    store.WriteText(kMachine, "OTHER\\ärger", "Working folder", "C:\\Two\\");
    EXPECT_EQ(store.ReadText(kMachine, "other\\ÄRGER", "WORKING FOLDER"), "C:\\Two\\");
    EXPECT_THAT(store.ListSubkeys(kMachine, "other"), ElementsAre("Ärger"));
    EXPECT_THAT(store.ListValueNames(kMachine, "Other\\Ärger"), ElementsAre("Working Folder"));
}

TEST_F(SettingsStoreTest, DeleteKeyRemovesValuesAndSubkeysAndReportsAMissingKey) {
    store.WriteText(kMachine, "Root\\A", "v", "a");
    store.WriteText(kMachine, "Root\\A\\Child", "v", "child");
    store.WriteText(kMachine, "Root\\AB", "v", "sibling");
    EXPECT_NE(store.DeleteKey(kMachine, "Root\\Missing"), 0);
    EXPECT_NE(store.DeleteKey(Scope::User, "Root\\A"), 0);
    EXPECT_EQ(store.DeleteKey(kMachine, "root\\a"), 0);
    EXPECT_THAT(store.ListSubkeys(kMachine, "Root"), ElementsAre("AB"));
    EXPECT_EQ(store.ReadText(kMachine, "Root\\AB", "v"), "sibling");
    // A key made again under the same name starts without the old values.
    store.WriteNumber(kMachine, "Root\\A", "other", 1);
    EXPECT_EQ(store.ReadText(kMachine, "Root\\A", "v", "gone"), "gone");
    EXPECT_EQ(store.ReadText(kMachine, "Root\\A\\Child", "v", "gone"), "gone");
}

TEST(SettingsStore, TwoProcessesWritingTheSameKeyAtOnceLoseNothing) {
    TempConfigFolder folder;
    constexpr int kValuesEach = 200;
    int startPipe[2];
    ASSERT_EQ(::pipe(startPipe), 0);
    std::vector<pid_t> writers;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(startPipe[1]);
            char go = 0;
            // Both start when the parent closes the pipe, so their writes overlap.
            [[maybe_unused]] const ssize_t ignored = ::read(startPipe[0], &go, 1);
            SettingsStore store(folder.Path());
            for (int n = 0; n < kValuesEach; ++n) {
                store.WriteNumber(kMachine, kKey, std::to_string(writer * 1000 + n), n);
            }
            ::_exit(0);
        }
        writers.push_back(pid);
    }
    ::close(startPipe[0]);
    ::close(startPipe[1]);
    for (const pid_t pid : writers) {
        ::waitpid(pid, nullptr, 0);
    }
    SettingsStore store(folder.Path());
    EXPECT_EQ(store.ListValueNames(kMachine, kKey).size(), 2u * kValuesEach);
    for (int n = 0; n < 2 * kValuesEach; ++n) {
        const int name = (n % 2) * 1000 + n / 2;
        ASSERT_EQ(store.ReadNumber(kMachine, kKey, std::to_string(name), -1), n / 2) << name;
    }
}

TEST(SettingsStore, ADamagedFileReadsEmptyAndLeavesTheOtherScopeWorking) {
    TempConfigFolder folder;
    std::ofstream(folder.File("machine.db"), std::ios::binary) << std::string(8192, '\x5A');
    SettingsStore store(folder.Path());
    store.WriteNumber(kMachine, kKey, "Number", 1);
    EXPECT_EQ(store.ReadNumber(kMachine, kKey, "Number", 9), 9);
    EXPECT_NE(store.DeleteKey(kMachine, kKey), 0);
    store.WriteText(Scope::User, kKey, "Text", "kept");
    EXPECT_EQ(store.ReadText(Scope::User, kKey, "Text"), "kept");
}

TEST(SettingsStore, CreatesAPrivateFolderAndPrivateFiles) {
    TempConfigFolder parent;
    const std::string config = parent.File("made/kestrel");
    SettingsStore store(config);
    store.WriteNumber(kMachine, kKey, "Number", 1);
    // While the store is open SQLite keeps its -wal and -shm files beside the database.
    for (const char* file : {"", "/machine.db", "/machine.db-wal", "/machine.db-shm"}) {
        struct stat info {};
        ASSERT_EQ(::stat((config + file).c_str(), &info), 0) << file;
        EXPECT_EQ(info.st_mode & 07777, *file == '\0' ? 0700u : 0600u) << file;
    }
}

TEST(DefaultConfigFolder, PrefersTheKestrelVariableThenXdgConfigHomeThenHome) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/k", "/x", "/k"},
        {nullptr, "/x", "/x/kestrel"},
        {"", "", "/h/.config/kestrel"},
        {nullptr, nullptr, "/h/.config/kestrel"},
    };
    const auto set = [](const char* name, const char* value) {
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    };
    std::map<std::string, std::optional<std::string>> saved;
    for (const char* name : {"KESTREL_CONFIG_DIR", "XDG_CONFIG_HOME", "HOME"}) {
        saved[name] =
            std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
    }
    ::setenv("HOME", "/h", 1);
    for (const auto& [kestrel, xdg, expected] : cases) {
        set("KESTREL_CONFIG_DIR", kestrel);
        set("XDG_CONFIG_HOME", xdg);
        EXPECT_EQ(DefaultConfigFolder(), expected);
    }
    for (const auto& [name, value] : saved) {
        set(name.c_str(), value ? value->c_str() : nullptr);
    }
}

}  // namespace
}  // namespace kestrel::settings
