#include "commit/undo_store.h"

#include <array>
#include <charconv>
#include <utility>

#include "platform/state_file.h"

namespace kestrel::commit {
namespace {

constexpr std::string_view kFileName = "undo-log";
// Fields end with a zero byte, which no path holds; a level is "level", its
// entry count, then nine fields per entry.
constexpr std::string_view kMagic = "kestrel undo log 1";
constexpr std::string_view kLevel = "level";
constexpr std::array<std::string_view, 4> kKindWords = {"rename", "move", "copy", "tree"};

void AppendField(std::string& out, std::string_view field) {
    out += field;
    out.push_back('\0');
}

class FieldReader {
  public:
    explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}
    std::optional<std::string_view> Next() {
        const std::size_t end = bytes_.find('\0', at_);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view field = bytes_.substr(at_, end - at_);
        at_ = end + 1;
        return field;
    }
    template <typename Number>
    std::optional<Number> NextNumber() {
        const auto field = Next();
        Number value{};
        if (!field || field->empty() ||
            std::from_chars(field->data(), field->data() + field->size(), value).ptr !=
                field->data() + field->size()) {
            return std::nullopt;
        }
        return value;
    }
    bool AtEnd() const { return at_ >= bytes_.size(); }

  private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

std::optional<UndoEntry> ReadEntry(FieldReader& reader) {
    UndoEntry entry;
    const auto kind = reader.Next();
    const auto oldPath = reader.Next();
    const auto newPath = reader.Next();
    const auto known = reader.NextNumber<int>();
    const auto size = reader.NextNumber<std::uint64_t>();
    const auto modified = reader.NextNumber<std::int64_t>();
    const auto device = reader.NextNumber<std::uint64_t>();
    const auto fileNumber = reader.NextNumber<std::uint64_t>();
    const auto hostPath = reader.Next();
    if (!kind || !oldPath || !newPath || !known || !size || !modified || !device || !fileNumber ||
        !hostPath || oldPath->empty() || newPath->empty()) {
        return std::nullopt;
    }
    std::size_t k = 0;
    while (k < kKindWords.size() && kKindWords[k] != *kind) {
        ++k;
    }
    if (k == kKindWords.size()) {
        return std::nullopt;
    }
    entry.kind = static_cast<StepKind>(k);
    entry.oldPath = *oldPath;
    entry.newPath = *newPath;
    entry.identity.known = (*known & 1) != 0;
    entry.identity.isFolder = (*known & 2) != 0;
    entry.identity.size = *size;
    entry.identity.modified = *modified;
    entry.identity.device = *device;
    entry.identity.fileNumber = *fileNumber;
    entry.identity.hostPath = *hostPath;
    return entry;
}

}  // namespace

std::string UndoStoreBytes(const std::vector<std::vector<UndoEntry>>& levels) {
    std::string out;
    AppendField(out, kMagic);
    for (const std::vector<UndoEntry>& level : levels) {
        AppendField(out, kLevel);
        AppendField(out, std::to_string(level.size()));
        for (const UndoEntry& entry : level) {
            AppendField(out, kKindWords[static_cast<std::size_t>(entry.kind)]);
            AppendField(out, entry.oldPath);
            AppendField(out, entry.newPath);
            AppendField(out, std::to_string((entry.identity.known ? 1 : 0) |
                                            (entry.identity.isFolder ? 2 : 0)));
            AppendField(out, std::to_string(entry.identity.size));
            AppendField(out, std::to_string(entry.identity.modified));
            AppendField(out, std::to_string(entry.identity.device));
            AppendField(out, std::to_string(entry.identity.fileNumber));
            AppendField(out, entry.identity.hostPath);
        }
    }
    return out;
}

std::vector<std::vector<UndoEntry>> ReadUndoStore(std::string_view bytes) {
    std::vector<std::vector<UndoEntry>> levels;
    FieldReader reader(bytes);
    if (reader.Next() != kMagic) {
        return levels;
    }
    while (!reader.AtEnd()) {
        const auto word = reader.Next();
        const auto count = reader.NextNumber<std::size_t>();
        if (word != kLevel || !count) {
            break;
        }
        std::vector<UndoEntry> level;
        for (std::size_t i = 0; i < *count; ++i) {
            std::optional<UndoEntry> entry = ReadEntry(reader);
            if (!entry) {
                // A level is taken back whole or not at all.
                return levels;
            }
            level.push_back(std::move(*entry));
        }
        levels.push_back(std::move(level));
    }
    return levels;
}

UndoStore::UndoStore(std::string folder) : folder_(std::move(folder)) {}

std::vector<std::vector<UndoEntry>> UndoStore::Levels() const {
    if (!Keeping()) {
        return {};
    }
    platform::LockedStateFile file;
    std::string bytes;
    if (!file.Lock(folder_, std::string(kFileName)).Ok() || !file.Read(bytes).Ok()) {
        return {};
    }
    return ReadUndoStore(bytes);
}

platform::FileError UndoStore::Append(const std::vector<UndoEntry>& level) {
    if (!Keeping()) {
        return {};
    }
    platform::LockedStateFile file;
    std::string bytes;
    if (platform::FileError error = file.Lock(folder_, std::string(kFileName)); !error.Ok()) {
        return error;
    }
    // A file that cannot be read (something planted under its name) is
    // replaced: what it held is no undo log of this user's.
    file.Read(bytes);
    std::vector<std::vector<UndoEntry>> levels = ReadUndoStore(bytes);
    levels.push_back(level);
    if (levels.size() > kKeptUndoLevels) {
        levels.erase(levels.begin(),
                     levels.begin() + static_cast<std::ptrdiff_t>(levels.size() - kKeptUndoLevels));
    }
    return file.Write(UndoStoreBytes(levels));
}

std::optional<std::vector<UndoEntry>> UndoStore::TakeNewest(platform::FileError& error) {
    error = {};
    if (!Keeping()) {
        return std::nullopt;
    }
    platform::LockedStateFile file;
    std::string bytes;
    error = file.Lock(folder_, std::string(kFileName));
    if (error.Ok()) {
        error = file.Read(bytes);
    }
    if (!error.Ok()) {
        return std::nullopt;
    }
    std::vector<std::vector<UndoEntry>> levels = ReadUndoStore(bytes);
    if (levels.empty()) {
        return std::nullopt;
    }
    std::vector<UndoEntry> newest = std::move(levels.back());
    levels.pop_back();
    // Out of the file before any entry goes back: should this run stop, the
    // undo's journal knows the rest, and no other copy takes the level again.
    error = file.Write(UndoStoreBytes(levels));
    if (!error.Ok()) {
        return std::nullopt;
    }
    return newest;
}

}  // namespace kestrel::commit
