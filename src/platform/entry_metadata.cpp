#include "platform/entry_metadata.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/limits.h>
#include <sys/xattr.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/file_attributes.h"

namespace kestrel::platform {
namespace {

// Below this many entries starting threads costs more than it saves.
constexpr std::size_t kSpreadThreshold = 512;
// Metadata calls on one folder stop scaling beyond a few threads: they meet
// on the same folder's locks.
constexpr unsigned kMostThreads = 4;

// The file type bits of an entry as the folder read reports its kind.
mode_t ModeOfType(unsigned char type) {
    switch (type) {
        case DT_DIR:
            return S_IFDIR;
        case DT_REG:
            return S_IFREG;
        case DT_FIFO:
            return S_IFIFO;
        case DT_SOCK:
            return S_IFSOCK;
        case DT_CHR:
            return S_IFCHR;
        default:
            return S_IFBLK;
    }
}

// Links are followed so that a link to a folder lists as a folder; a dangling
// link (or one we may not follow) lists as the link itself. False when the
// entry is gone.
bool StatEntry(int folderFd, const char* name, struct stat& info) {
    if (::fstatat(folderFd, name, &info, 0) == 0) {
        return true;
    }
    return ::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool IsLink(int folderFd, const EntryMetadata& entry) {
    if (entry.type != DT_UNKNOWN) {
        return entry.type == DT_LNK;
    }
    struct stat own {};
    return ::fstatat(folderFd, entry.hostName.c_str(), &own, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISLNK(own.st_mode);
}

std::optional<int> ReadDosAttributes(const std::string& hostPath, std::atomic<bool>& supported) {
    if (!supported.load(std::memory_order_relaxed)) {
        return std::nullopt;
    }
    std::array<char, 64> value{};
    const ssize_t size =
        ::getxattr(hostPath.c_str(), kDosAttributeName, value.data(), value.size());
    if (size < 0) {
        if (errno == ENOTSUP) {
            supported.store(false, std::memory_order_relaxed);
        }
        return std::nullopt;
    }
    return ParseDosAttributes({value.data(), static_cast<std::size_t>(size)});
}

// `path` holds the folder and a '/', with room for any entry name, so that
// nothing here allocates: it may run on a thread of its own.
void ReadOne(const MetadataSource& source, EntryMetadata& entry, std::string& path) {
    if (source.needs.storedMarks) {
        path.resize(source.hostFolder->size() + 1);
        path.append(entry.hostName);
        entry.dosBits = ReadDosAttributes(path, *source.storedMarksSupported);
    }
    // The folder read already tells a file from a folder; only a link (whose
    // target decides), an unknown kind and the read-only mark need the
    // entry's metadata.
    const bool needsStat = source.needs.readOnly || source.needs.stamps ||
                           entry.type == DT_UNKNOWN || entry.type == DT_LNK;
    if (needsStat) {
        entry.present = StatEntry(source.folderFd, entry.hostName.c_str(), entry.info);
    } else {
        entry.info = {};
        entry.info.st_mode = ModeOfType(entry.type) | S_IWUSR;
    }
    entry.isLink = entry.present && IsLink(source.folderFd, entry);
}

void ReadRange(const MetadataSource& source, std::span<EntryMetadata> entries, std::string& path) {
    for (EntryMetadata& entry : entries) {
        ReadOne(source, entry, path);
    }
}

std::size_t ThreadsFor(const MetadataSource& source, std::size_t count) {
    const bool callPerEntry =
        source.needs.readOnly || source.needs.storedMarks || source.needs.stamps;
    if (!callPerEntry || count < kSpreadThreshold) {
        return 1;
    }
    return std::clamp(std::thread::hardware_concurrency(), 1U, kMostThreads);
}

}  // namespace

std::optional<int> ReadStoredMarks(const std::string& hostPath) {
    std::atomic<bool> supported = true;
    return ReadDosAttributes(hostPath, supported);
}

void ReadEntryMetadata(const MetadataSource& source, std::span<EntryMetadata> entries) {
    const std::size_t threads = ThreadsFor(source, entries.size());
    std::vector<std::string> paths(threads);
    for (std::string& path : paths) {
        path.reserve(source.hostFolder->size() + 1 + NAME_MAX + 1);
        path.assign(*source.hostFolder).push_back('/');
    }
    // Each thread takes one contiguous share; the calling thread takes the
    // first and any share a thread could not be started for.
    const std::size_t share = (entries.size() + threads - 1) / threads;
    std::vector<std::jthread> helpers;
    for (std::size_t i = 1; i < threads && i * share < entries.size(); ++i) {
        const std::span<EntryMetadata> range =
            entries.subspan(i * share, std::min(share, entries.size() - i * share));
        try {
            helpers.emplace_back(
                [&source, range, &path = paths[i]] { ReadRange(source, range, path); });
        } catch (const std::system_error&) {
            ReadRange(source, range, paths[0]);
        }
    }
    ReadRange(source, entries.first(std::min(share, entries.size())), paths[0]);
}

}  // namespace kestrel::platform
