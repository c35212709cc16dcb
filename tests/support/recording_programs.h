#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/program_runner.h"
#include "platform/sound_player.h"

namespace kestrel::support {

/// Programs that are "installed" by name; every start is recorded instead of run.
class RecordingPrograms : public platform::ProgramRunner {
  public:
    bool Installed(std::string_view program) const override {
        return installed.count(std::string(program)) != 0;
    }
    bool Start(const std::vector<std::string>& argv) override {
        if (argv.empty() || !Installed(argv.front()) || failing.count(argv.front()) != 0) {
            return false;
        }
        started.push_back(argv);
        return true;
    }
    platform::RunReport StartAndWatch(const std::vector<std::string>& argv, int) override {
        if (!Start(argv)) {
            return {};
        }
        const auto status = exitStatus.find(argv.front());
        return {true, status == exitStatus.end() ? std::nullopt : std::optional(status->second)};
    }

    std::set<std::string> installed;
    /// Installed, but refuse to start.
    std::set<std::string> failing;
    std::vector<std::vector<std::string>> started;
    /// What a watched program exits with; one not named here runs on.
    std::map<std::string, int> exitStatus;
};

/// Records the files it is asked to play and answers with `result`.
class RecordingSoundPlayer : public platform::SoundPlayer {
  public:
    platform::PlayResult Play(std::string_view file) override {
        played.emplace_back(file);
        return result;
    }

    platform::PlayResult result = platform::PlayResult::Started;
    std::vector<std::string> played;
};

}  // namespace kestrel::support
