// Another running copy saving the default template while this one loads it:
// every load sees one whole template, never a mix of two or the defaults of a
// half-written one.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/posix_file_system.h"
#include "settings/templates.h"
#include "support/neutral_options.h"
#include "temp_config_folder.h"

namespace kestrel::settings {
namespace {

constexpr int kLoads = 1000;

engine::RenameOptions Saved(bool first) {
    engine::RenameOptions options = first ? support::NeutralOptions() : engine::RenameOptions{};
    options.txtInsertStart = first ? "first" : "second";
    return options;
}

// Runs in the child: saves the two templates in turn until the parent closes
// its end of the pipe.
[[noreturn]] void SaveUntilTold(const std::string& folder, int stopFd) {
    SettingsStore store(folder);
    for (bool first = true;; first = !first) {
        SaveTemplate(store, 0, "{No Name}", Saved(first), "C:\\", Preferences{}, true);
        pollfd stop{stopFd, POLLIN, 0};
        if (::poll(&stop, 1, 0) > 0) {
            ::_exit(0);
        }
    }
}

TEST(TemplateConcurrency, EveryLoadSeesOneWholeTemplateWhileAnotherCopySaves) {
    TempConfigFolder folder;
    {  // no connection to the store is open across the fork
        SettingsStore store(folder.Path());
        SaveTemplate(store, 0, "{No Name}", Saved(true), "C:\\", Preferences{}, true);
    }
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t saver = ::fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
        ::close(pipeFds[1]);
        SaveUntilTold(folder.Path(), pipeFds[0]);
    }
    ::close(pipeFds[0]);
    SettingsStore store(folder.Path());
    platform::PosixFileSystem fileSystem;
    int partial = 0;
    for (int load = 0; load < kLoads; ++load) {
        engine::RenameOptions options;
        Preferences preferences;
        LoadTemplate(store, fileSystem, 0, "C:\\", options, preferences);
        partial += options != Saved(true) && options != Saved(false) ? 1 : 0;
    }
    ::close(pipeFds[1]);
    ::waitpid(saver, nullptr, 0);
    EXPECT_EQ(partial, 0) << "of " << kLoads << " loads";
}

}  // namespace
}  // namespace kestrel::settings
