#pragma once

#include <cstdint>
#include <span>

#include "platform/media_tags.h"
#include "platform/tag_reader.h"

namespace kestrel::platform {

/// Reads tags with the file system's own record of a file (dates, size) and
/// with exiv2, TagLib and FFmpeg's libavformat for its contents. Only regular files
/// are opened, so that a named pipe in a folder cannot stall a preview.
class LibraryTagReader : public TagReader {
  public:
    /// Quiets the libraries' own messages on standard error and readies
    /// exiv2's XMP parser, which must be set up once before threads share it.
    LibraryTagReader();

    FileStamp Stamp(const std::string& hostPath) const override;
    FileTags Read(const std::string& hostPath, unsigned sources) const override;
    /// What Read gives of a file's contents, from bytes in memory (the fuzz
    /// target's): no dates or size.
    FileTags ReadContents(std::span<const std::uint8_t> bytes, unsigned sources) const;

  private:
    VideoReader video_;
};

}  // namespace kestrel::platform
