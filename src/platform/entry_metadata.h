#pragma once

#include <sys/stat.h>

#include <atomic>
#include <optional>
#include <span>
#include <string>

#include "platform/file_system.h"

// What a listing reads of each entry beyond its name and kind. A folder read
// returns names and kinds in large blocks, but the read-only mark and the
// stored marks cost a call per entry; those calls are independent of each
// other, so a large batch of them is spread over the machine's cores.
namespace kestrel::platform {

struct EntryMetadata {
    std::string hostName;
    unsigned char type = 0;  // d_type as the folder read reported it
    bool present = true;     // false when the entry went before it was looked at
    bool isLink = false;
    struct stat info {};
    std::optional<int> dosBits;  // user.DOSATTRIB, when asked for and stored
};

/// Where the entries of one batch live and what is read of them.
struct MetadataSource {
    int folderFd = -1;
    const std::string* hostFolder = nullptr;  // with no trailing '/'
    AttributeNeeds needs;
    /// Turns false once the file system says it keeps no user attributes,
    /// so that a large folder does not ask again for each entry.
    std::atomic<bool>* storedMarksSupported = nullptr;
};

/// The hidden, system and archive marks stored with one entry, if any.
std::optional<int> ReadStoredMarks(const std::string& hostPath);

/// Fills in `info`, `isLink`, `dosBits` and `present` of every entry.
void ReadEntryMetadata(const MetadataSource& source, std::span<EntryMetadata> entries);

}  // namespace kestrel::platform
