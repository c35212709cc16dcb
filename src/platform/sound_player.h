#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/program_runner.h"

// Plays a sound file and returns at once. The desktop's own command-line
// players do the work; which of them is installed is found out at each play,
// so a player installed while Kestrel runs is used from then on.
namespace kestrel::platform {

enum class PlayResult { Started, NoFile, NoPlayer };

class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    /// Starts playing `file` (a host path) without waiting for it to end.
    virtual PlayResult Play(std::string_view file) = 0;
};

class DesktopSoundPlayer final : public SoundPlayer {
  public:
    explicit DesktopSoundPlayer(ProgramRunner& programs) : programs_(programs) {}
    PlayResult Play(std::string_view file) override;

  private:
    ProgramRunner& programs_;
};

/// The command line that plays `file` with the first installed player that
/// reads its kind of file; empty when none does.
std::vector<std::string> PlayerCommand(const ProgramRunner& programs, std::string_view file);

/// The file of sound `name` ("complete", "dialog-warning") in the freedesktop
/// sound theme under the data folders `dataDirs` (colon-separated, as
/// XDG_DATA_DIRS; empty means the standard ones); empty when not installed.
std::string FindThemeSound(std::string_view name, std::string_view dataDirs);

/// The value of XDG_DATA_DIRS, empty when unset.
std::string DataDirs();

}  // namespace kestrel::platform
