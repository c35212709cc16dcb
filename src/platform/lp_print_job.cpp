#include "platform/lp_print_job.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "text/translation.h"

extern char** environ;

namespace kestrel::platform {

void LpPrintJob::Line(std::string_view text) {
    text_.append(text);
    text_.push_back('\n');
}

void LpPrintJob::NewPage() {
    text_.push_back('\f');
}

FileError LpPrintJob::End() {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return FileError::Make(kDeviceIoError);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
    std::vector<char*> argv = {command_.data(), nullptr};
    pid_t child = 0;
    const int spawned =
        ::posix_spawnp(&child, command_.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[0]);
    if (spawned != 0) {
        ::close(pipeFds[1]);
        return {kFileNotFound, text::Tr(kNoPrintingSystem.data())};
    }
    std::size_t written = 0;
    while (written < text_.size()) {
        const ssize_t n = ::write(pipeFds[1], text_.data() + written, text_.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const bool printed = written == text_.size() && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return printed ? FileError{} : FileError::Make(kDeviceIoError);
}

}  // namespace kestrel::platform
