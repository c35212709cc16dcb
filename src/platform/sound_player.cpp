#include "platform/sound_player.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

namespace kestrel::platform {
namespace {

enum class Reads { AnySoundFile, WaveOnly, OggOnly };

struct Player {
    std::string_view program;
    std::string_view quietOption;  // keeps the terminal of a command-line start clean
    Reads reads;
};

// The sound servers' players read every common sound format; the two plain
// players each read one family only.
constexpr std::array<Player, 4> kPlayers = {{
    {"pw-play", "", Reads::AnySoundFile},
    {"paplay", "", Reads::AnySoundFile},
    {"aplay", "-q", Reads::WaveOnly},
    {"ogg123", "-q", Reads::OggOnly},
}};

std::string LowerExtension(std::string_view file) {
    const std::size_t slash = file.rfind('/');
    const std::size_t dot = file.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return {};
    }
    std::string extension(file.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool PlayerReads(Reads reads, std::string_view extension) {
    switch (reads) {
        case Reads::AnySoundFile:
            return true;
        case Reads::WaveOnly:
            return extension == "wav";
        case Reads::OggOnly:
            return extension == "ogg" || extension == "oga" || extension == "flac";
    }
    return false;
}

bool IsFile(std::string_view path) {
    struct stat info {};
    return ::stat(std::string(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::vector<std::string> PlayerCommand(const ProgramRunner& programs, std::string_view file) {
    const std::string extension = LowerExtension(file);
    for (const Player& player : kPlayers) {
        if (PlayerReads(player.reads, extension) && programs.Installed(player.program)) {
            std::vector<std::string> command{std::string(player.program)};
            if (!player.quietOption.empty()) {
                command.emplace_back(player.quietOption);
            }
            command.emplace_back(file);
            return command;
        }
    }
    return {};
}

PlayResult DesktopSoundPlayer::Play(std::string_view file) {
    // The sound table holds "0" or an empty text when no sound is chosen;
    // neither names a file.
    if (file.empty() || file.front() != '/' || !IsFile(file)) {
        return PlayResult::NoFile;
    }
    const std::vector<std::string> command = PlayerCommand(programs_, file);
    if (command.empty() || !programs_.Start(command)) {
        return PlayResult::NoPlayer;
    }
    return PlayResult::Started;
}

std::string FindThemeSound(std::string_view name, std::string_view dataDirs) {
    if (dataDirs.empty()) {
        dataDirs = "/usr/local/share:/usr/share";
    }
    for (std::string_view folder : SplitColonList(dataDirs)) {
        if (folder.empty() || folder.front() != '/') {
            continue;
        }
        for (std::string_view extension : {".oga", ".ogg", ".wav"}) {
            std::string file(folder);
            file += "/sounds/freedesktop/stereo/";
            file += name;
            file += extension;
            if (IsFile(file)) {
                return file;
            }
        }
    }
    return {};
}

std::string DataDirs() {
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    return dirs != nullptr ? dirs : "";
}

}  // namespace kestrel::platform
