#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

// Starts the desktop's own programs (sound players, settings tools) without
// waiting for them. Which programs exist differs from desktop to desktop, so
// callers ask first and try the next candidate when one is missing; tests put
// a recording runner in its place.
namespace kestrel::platform {

/// How a started program fared in the time it was given.
struct RunReport {
    bool started = false;
    /// Its exit status when it ended in time; none while it runs on.
    std::optional<int> exitStatus;
};

class ProgramRunner {
  public:
    virtual ~ProgramRunner() = default;
    /// True when `program` is an executable file in a folder of PATH.
    virtual bool Installed(std::string_view program) const = 0;
    /// Starts argv[0] (looked up as Installed() does) with the rest as its
    /// arguments and returns at once; false when it is missing or could not
    /// be started.
    virtual bool Start(const std::vector<std::string>& argv) = 0;
    /// Starts argv as Start() does and gives it up to `waitMilliseconds` to end,
    /// for programs that report failure at once but may go on running when
    /// they succeed (a file opener running the viewer it chose).
    virtual RunReport StartAndWatch(const std::vector<std::string>& argv, int waitMilliseconds) = 0;
    /// StartAndWatch without waiting where the runner has a way to look again
    /// later: `done` gets the report once the program has ended or has run for
    /// `waitMilliseconds` (at once when it cannot be started). By default it
    /// waits, as StartAndWatch does.
    virtual void StartWatched(const std::vector<std::string>& argv, int waitMilliseconds,
                              const std::function<void(const RunReport&)>& done) {
        done(StartAndWatch(argv, waitMilliseconds));
    }
};

/// Runs `task` after `milliseconds` on the thread that asked, from its event
/// loop; the window provides one.
using LaterScheduler = std::function<void(int milliseconds, std::function<void()> task)>;

class PathProgramRunner final : public ProgramRunner {
  public:
    PathProgramRunner() = default;
    PathProgramRunner(const PathProgramRunner&) = delete;
    PathProgramRunner& operator=(const PathProgramRunner&) = delete;
    ~PathProgramRunner() override;

    bool Installed(std::string_view program) const override;
    bool Start(const std::vector<std::string>& argv) override;
    RunReport StartAndWatch(const std::vector<std::string>& argv, int waitMilliseconds) override;
    void StartWatched(const std::vector<std::string>& argv, int waitMilliseconds,
                      const std::function<void(const RunReport&)>& done) override;
    /// With a scheduler, StartWatched looks at the program from the caller's
    /// event loop instead of waiting, and reports a program that started only
    /// from there.
    void SetScheduler(LaterScheduler scheduler) { scheduler_ = std::move(scheduler); }

  private:
    /// Looks at a watched program now and again until it ends or its time is up.
    void CheckWatched(pid_t child, int waited, int waitMilliseconds,
                      std::function<void(const RunReport&)> done);
    /// The started child, or 0 when it could not be started.
    pid_t Spawn(const std::vector<std::string>& argv);
    void ReapFinished();

    std::vector<pid_t> children_;
    LaterScheduler scheduler_;
};

/// The full path of `program` in the first folder of `pathList` (colon-separated,
/// as PATH) that holds it as an executable file; empty when none does. A name
/// with a slash is not looked up.
std::string FindOnPath(std::string_view program, std::string_view pathList);

/// The entries of a colon-separated list (PATH, XDG_DATA_DIRS,
/// XDG_CURRENT_DESKTOP), empty entries included.
std::vector<std::string_view> SplitColonList(std::string_view list);

}  // namespace kestrel::platform
