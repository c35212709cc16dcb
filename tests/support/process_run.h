#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace kestrel::support {

struct ProcessResult {
    int exitStatus = -1;
    std::string standardOutput;
    std::string standardError;
};

/// Starts `program` with `arguments` and extra environment entries ("NAME=value",
/// which replace inherited ones of the same name), with no standard input and
/// its output in files of `scratchFolder`. Returns its process id, or -1.
inline pid_t StartProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment,
                          const std::string& scratchFolder) {
    const std::string outPath = scratchFolder + "/stdout.txt";
    const std::string errPath = scratchFolder + "/stderr.txt";
    std::vector<std::string> env = environment;
    // The program speaks English to the tests whatever the desktop's language,
    // unless a test asks for another.
    for (const char* english : {"LC_ALL=C.UTF-8", "LANGUAGE="}) {
        const std::string name = std::string(english).substr(0, std::string(english).find('=') + 1);
        bool given = false;
        for (const std::string& own : environment) {
            given = given || own.starts_with(name);
        }
        if (!given) {
            env.emplace_back(english);
        }
    }
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& own : env) {
            replaced = replaced || own.starts_with(name);
        }
        if (!replaced) {
            env.push_back(entry);
        }
    }
    std::vector<char*> envp;
    for (std::string& entry : env) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> args = {program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t child = 0;
    const int started =
        ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? child : -1;
}

/// Runs `program` as StartProcess starts it, and collects its exit status and
/// output.
inline ProcessResult RunProcess(const std::string& program,
                                const std::vector<std::string>& arguments,
                                const std::vector<std::string>& environment,
                                const std::string& scratchFolder) {
    ProcessResult result;
    if (const pid_t child = StartProcess(program, arguments, environment, scratchFolder);
        child > 0) {
        int status = 0;
        ::waitpid(child, &status, 0);
        result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    const auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    result.standardOutput = slurp(scratchFolder + "/stdout.txt");
    result.standardError = slurp(scratchFolder + "/stderr.txt");
    return result;
}

/// Looks at `done` every `step` until it holds or `limit` has passed; returns
/// its last answer.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(5),
                      std::chrono::microseconds step = std::chrono::milliseconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(step);
    }
    return true;
}

}  // namespace kestrel::support
