#include "platform/program_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

extern char** environ;

namespace kestrel::platform {

PathProgramRunner::~PathProgramRunner() {
    // Players and settings tools outlive the call that started them; the ones
    // still running when this goes are left to the system.
    ReapFinished();
}

namespace {

std::string FindOnSearchPath(std::string_view program) {
    const char* path = std::getenv("PATH");
    return FindOnPath(program, path != nullptr ? path : "");
}

}  // namespace

bool PathProgramRunner::Installed(std::string_view program) const {
    return !FindOnSearchPath(program).empty();
}

bool PathProgramRunner::Start(const std::vector<std::string>& argv) {
    const pid_t child = Spawn(argv);
    if (child == 0) {
        return false;
    }
    children_.push_back(child);
    return true;
}

namespace {

constexpr int kWatchStepMilliseconds = 10;

// The program's report if it has ended (or cannot be asked about); none while it runs.
std::optional<RunReport> EndedReport(pid_t child) {
    int status = 0;
    const pid_t result = ::waitpid(child, &status, WNOHANG);
    if (result == child) {
        // A program killed by a signal did not do its work either.
        return RunReport{true, WIFEXITED(status) ? WEXITSTATUS(status) : 128};
    }
    if (result < 0) {
        return RunReport{true, std::nullopt};
    }
    return std::nullopt;
}

}  // namespace

RunReport PathProgramRunner::StartAndWatch(const std::vector<std::string>& argv,
                                           int waitMilliseconds) {
    const pid_t child = Spawn(argv);
    if (child == 0) {
        return {};
    }
    for (int waited = 0;; waited += kWatchStepMilliseconds) {
        if (const std::optional<RunReport> ended = EndedReport(child)) {
            return *ended;
        }
        if (waited >= waitMilliseconds) {
            break;
        }
        ::usleep(kWatchStepMilliseconds * 1000);
    }
    children_.push_back(child);
    return {true, std::nullopt};
}

void PathProgramRunner::StartWatched(const std::vector<std::string>& argv, int waitMilliseconds,
                                     const std::function<void(const RunReport&)>& done) {
    if (!scheduler_) {
        done(StartAndWatch(argv, waitMilliseconds));
        return;
    }
    const pid_t child = Spawn(argv);
    if (child == 0) {
        done({});
        return;
    }
    // Looked at first from the loop too: a program that ends at once (or
    // while this thread was not running) is then reported as any other,
    // never from inside this call.
    scheduler_(0, [this, child, waitMilliseconds, done] {
        CheckWatched(child, 0, waitMilliseconds, done);
    });
}

void PathProgramRunner::CheckWatched(pid_t child, int waited, int waitMilliseconds,
                                     std::function<void(const RunReport&)> done) {
    if (const std::optional<RunReport> ended = EndedReport(child)) {
        done(*ended);
        return;
    }
    if (waited >= waitMilliseconds) {
        children_.push_back(child);
        done({true, std::nullopt});
        return;
    }
    scheduler_(kWatchStepMilliseconds, [this, child, waited, waitMilliseconds,
                                        done = std::move(done)]() mutable {
        CheckWatched(child, waited + kWatchStepMilliseconds, waitMilliseconds, std::move(done));
    });
}

pid_t PathProgramRunner::Spawn(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        return 0;
    }
    // Started by the full path that Installed() reported, so that both
    // answer from the same folders.
    const std::string program = FindOnSearchPath(argv.front());
    if (program.empty()) {
        return 0;
    }
    ReapFinished();
    std::vector<std::string> words = argv;
    std::vector<char*> pointers;
    pointers.reserve(words.size() + 1);
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);

    // The program reads nothing from Kestrel: a player or a settings tool
    // waiting on the terminal would never get an answer.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    pid_t child = 0;
    const int status =
        ::posix_spawn(&child, program.c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return status == 0 ? child : 0;
}

// Each start collects the programs that have ended since, so that a session
// of many completion sounds leaves no finished processes behind.
void PathProgramRunner::ReapFinished() {
    std::erase_if(children_, [](pid_t child) {
        int status = 0;
        const pid_t result = ::waitpid(child, &status, WNOHANG);
        return result == child || result < 0;
    });
}

std::string FindOnPath(std::string_view program, std::string_view pathList) {
    if (program.empty() || program.find('/') != std::string_view::npos) {
        return {};
    }
    for (std::string_view folder : SplitColonList(pathList)) {
        // An empty or relative entry names a folder relative to wherever
        // Kestrel was started; what a button starts must not depend on that.
        if (folder.empty() || folder.front() != '/') {
            continue;
        }
        std::string candidate(folder);
        if (candidate.back() != '/') {
            candidate += '/';
        }
        candidate += program;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

std::vector<std::string_view> SplitColonList(std::string_view list) {
    std::vector<std::string_view> entries;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = list.find(':', start);
        if (end == std::string_view::npos) {
            entries.push_back(list.substr(start));
            return entries;
        }
        entries.push_back(list.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace kestrel::platform
