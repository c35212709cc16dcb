// RenameNoReplace on a file system that refuses both RENAME_NOREPLACE and hard
// links, simulated with a seccomp filter in a child process, while a second
// thread creates the target at the same moment: the racer's file must never be
// replaced.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <random>
#include <thread>

#include "platform/host_file_ops.h"
#include "support/temp_drive.h"

namespace kestrel::platform {
namespace {

constexpr int kRounds = 2000;
constexpr int kFilterRefused = -1;

// Answers renameat2 with EINVAL and link/linkat with EPERM, as a file system
// without either would.
bool RefuseNoReplaceAndLinks() {
    struct sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_renameat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EINVAL),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_link, 1, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_linkat, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    struct sock_fprog program = {static_cast<unsigned short>(std::size(filter)), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

void WriteWhole(const std::string& path, std::string_view bytes, int flags) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | flags, 0600);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        ::close(fd);
    }
}

std::string ReadWhole(const std::string& path) {
    char buffer[16] = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t got = fd >= 0 ? ::read(fd, buffer, sizeof buffer) : 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return std::string(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
}

// Runs in the child: the number of rounds in which the racer's file was
// replaced, or kFilterRefused.
int ReplacedRounds(const std::string& folder) {
    if (!RefuseNoReplaceAndLinks()) {
        return kFilterRefused;
    }
    const std::string source = folder + "/source";
    const std::string target = folder + "/target";
    std::atomic<int> go{0};
    std::atomic<int> done{0};
    std::atomic<bool> racerCreated{false};
    std::thread racer([&] {
        std::minstd_rand jitter(7);
        for (int round = 1; round <= kRounds; ++round) {
            while (go.load() != round) {
            }
            // A varying head start spreads the racer over the renamer's steps.
            for (unsigned spin = jitter() % 4000; spin > 0; --spin) {
                std::atomic_signal_fence(std::memory_order_seq_cst);
            }
            const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                [[maybe_unused]] const ssize_t written = ::write(fd, "racer", 5);
                ::close(fd);
            }
            racerCreated.store(fd >= 0);
            done.store(round);
        }
    });
    int replaced = 0;
    for (int round = 1; round <= kRounds; ++round) {
        ::unlink(target.c_str());
        WriteWhole(source, "mine", O_CREAT | O_TRUNC);
        go.store(round);
        RenameNoReplace(source, target);
        while (done.load() != round) {
        }
        if (racerCreated.load() && ReadWhole(target) != "racer") {
            ++replaced;
        }
    }
    racer.join();
    return replaced;
}

TEST(RenameNoReplace, ClaimsTheTargetWhenTheFileSystemRefusesTheFlagAndLinks) {
    support::TempDrive drive;
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        const int replaced = ReplacedRounds(drive.HostRoot());
        [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &replaced, sizeof replaced);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    int replaced = kFilterRefused - 1;
    const ssize_t got = ::read(pipeFds[0], &replaced, sizeof replaced);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(got, static_cast<ssize_t>(sizeof replaced));
    if (replaced == kFilterRefused) {
        GTEST_SKIP() << "this kernel refuses seccomp filters";
    }
    EXPECT_EQ(replaced, 0) << "of " << kRounds << " rounds";
}

}  // namespace
}  // namespace kestrel::platform
