// Photos through exiv2: JPEG, TIFF, PNG, WebP and the raw formats it knows.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <exiv2/exiv2.hpp>
#include <exiv2/webpimage.hpp>

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <span>
#include <vector>

#include "platform/media_tags.h"

namespace kestrel::platform {
namespace {

// Wider or higher than any sensor or panorama a name is made for.
constexpr long long kLargestSide = 1'000'000;
constexpr long long kLargestIso = 10'000'000;
// More than the segments before a JPEG's picture data take in all but the rarest photos.
constexpr std::size_t kJpegHead = 256 * 1024;

// EXIF writes "2001:02:03 04:05:06"; some writers use dashes in the date.
// An EXIF date has no time zone: it is shown as stored.
constexpr std::initializer_list<const char*> kExifDates = {"%Y:%m:%d %H:%M:%S",
                                                           "%Y-%m-%d %H:%M:%S"};
// XMP dates are ISO 8601; the offset that may follow is left aside, so that
// the time reads as the camera's clock did.
constexpr std::initializer_list<const char*> kXmpDates = {"%Y-%m-%dT%H:%M:%S", "%Y-%m-%dT%H:%M"};

std::string ExifText(const Exiv2::ExifData& exif, const char* key) {
    const auto found = exif.findKey(Exiv2::ExifKey(key));
    return found == exif.end() ? std::string() : BoundedText(found->toString());
}

std::string XmpText(const Exiv2::XmpData& xmp, const char* key) {
    const auto found = xmp.findKey(Exiv2::XmpKey(key));
    return found == xmp.end() ? std::string() : BoundedText(found->toString());
}

// DateTimeOriginal, else DateTimeDigitized, else the image's DateTime; then
// what XMP says of the same moments.
std::string TakenOf(const Exiv2::Image& image) {
    for (const char* key :
         {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized", "Exif.Image.DateTime"}) {
        std::string date = PlainDate(ExifText(image.exifData(), key), kExifDates);
        if (!date.empty()) {
            return date;
        }
    }
    for (const char* key : {"Xmp.exif.DateTimeOriginal", "Xmp.xmp.CreateDate"}) {
        std::string date = PlainDate(XmpText(image.xmpData(), key), kXmpDates);
        if (!date.empty()) {
            return date;
        }
    }
    return {};
}

std::string NumberOf(Exiv2::ExifData::const_iterator found, const Exiv2::ExifData& exif,
                     long long largest) {
    if (found == exif.end() || found->count() == 0) {
        return {};
    }
    return BoundedNumber(found->toLong(0), largest);
}

// The picture's own size, else what EXIF says of it (raw files keep theirs there).
std::string SideOf(int pixels, const Exiv2::ExifData& exif, const char* key) {
    if (pixels > 0) {
        return BoundedNumber(pixels, kLargestSide);
    }
    return NumberOf(exif.findKey(Exiv2::ExifKey(key)), exif, kLargestSide);
}

// exiv2's name of the lens, from the EXIF lens model or the maker's notes; a
// lens number the maker's table does not know prints in parentheses.
std::string LensOf(const Exiv2::ExifData& exif) {
    const auto found = Exiv2::lensName(exif);
    if (found == exif.end()) {
        return {};
    }
    std::string lens = BoundedText(found->print(&exif));
    return lens.starts_with('(') ? std::string() : lens;
}

void ReadAllPhotoTags(const Exiv2::Image& image, FileTags& tags) {
    const Exiv2::ExifData& exif = image.exifData();
    tags.make = ExifText(exif, "Exif.Image.Make");
    tags.camera = ExifText(exif, "Exif.Image.Model");
    tags.lens = LensOf(exif);
    tags.width = SideOf(image.pixelWidth(), exif, "Exif.Photo.PixelXDimension");
    tags.height = SideOf(image.pixelHeight(), exif, "Exif.Photo.PixelYDimension");
    tags.iso = NumberOf(Exiv2::isoSpeed(exif), exif, kLargestIso);
}

// Only exiv2's readers of pictures are used. Its readers of video files
// (which exiv2 itself has deprecated) are not: a malformed Matroska file trips
// an assertion in one of them and would end the program. Videos go to
// FFmpeg's libavformat instead.
bool IsPicture(int type) {
    namespace T = Exiv2::ImageType;
    constexpr std::array kPictures = {T::jpeg, T::exv, T::crw, T::tiff, T::mrw, T::png, T::cr2,
                                      T::raf,  T::orf, T::gif, T::psd,  T::tga, T::bmp, T::jp2,
                                      T::rw2,  T::pgf, T::eps, T::bmff, T::webp};
    return std::find(kPictures.begin(), kPictures.end(), type) != kPictures.end();
}

// exiv2 0.27 hands images over in a std::auto_ptr, which C++17 dropped; the
// image moves into a std::unique_ptr at once. Opening reads no more than the
// start of the file, which tells its kind; nothing is parsed yet.
std::unique_ptr<Exiv2::Image> OpenImage(std::span<const std::uint8_t> bytes) {
    return std::unique_ptr<Exiv2::Image>(
        Exiv2::ImageFactory::open(bytes.data(), static_cast<long>(bytes.size())).release());
}

std::unique_ptr<Exiv2::Image> OpenImage(const std::string& hostPath) {
    // A host path is never a web address: no transfer library is asked.
    return std::unique_ptr<Exiv2::Image>(Exiv2::ImageFactory::open(hostPath, false).release());
}

// The start of a file, up to `most` bytes, and the file's size.
struct Head {
    std::vector<std::uint8_t> bytes;
    std::size_t fileSize = 0;
};

Head ReadHead(const std::string& hostPath, std::size_t most) {
    Head head;
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return head;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        head.fileSize = static_cast<std::size_t>(info.st_size);
        head.bytes.resize(std::min(most, head.fileSize));
        std::size_t got = 0;
        while (got < head.bytes.size()) {
            const ssize_t read = ::read(fd, head.bytes.data() + got, head.bytes.size() - got);
            if (read <= 0) {
                break;
            }
            got += static_cast<std::size_t>(read);
        }
        head.bytes.resize(got);
    }
    ::close(fd);
    return head;
}

bool IsJpeg(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

ContentRead ReadImage(const std::unique_ptr<Exiv2::Image>& image, bool allPhotoTags,
                      FileTags& tags) {
    if (image == nullptr || !IsPicture(image->imageType())) {
        return {ContentOutcome::NotThisKind, {}};
    }
    image->readMetadata();
    tags.taken = TakenOf(*image);
    if (allPhotoTags) {
        ReadAllPhotoTags(*image, tags);
    }
    return {};
}

// A JPEG keeps all its metadata in the segments before its picture data, so
// the start of the file, read at once, is all exiv2 needs, and spares it
// opening the file again for each look. Metadata that goes on past that
// start sends exiv2 to the file itself.
ContentRead ReadFile(const std::string& hostPath, bool allPhotoTags, FileTags& tags) {
    const Head head = ReadHead(hostPath, kJpegHead);
    if (IsJpeg(head.bytes)) {
        try {
            return ReadImage(OpenImage(head.bytes), allPhotoTags, tags);
        } catch (const Exiv2::AnyError&) {
            // Nothing was taken from it: exiv2 stops before the values are read.
            if (head.bytes.size() >= head.fileSize) {
                throw;  // the whole file was there: it is damaged
            }
        }
    }
    return ReadImage(OpenImage(hostPath), allPhotoTags, tags);
}

// exiv2 names the file in some of its messages; the row already does.
std::string ProblemText(const ContentSource& source, std::string_view what) {
    const std::string prefix = source.hostPath + ": ";
    if (!source.InMemory() && what.starts_with(prefix)) {
        what.remove_prefix(prefix.size());
    }
    return BoundedText(what);
}

}  // namespace

ContentRead ReadPhotoTags(const ContentSource& source, bool allPhotoTags, FileTags& tags) {
    try {
        return source.InMemory() ? ReadImage(OpenImage(source.bytes), allPhotoTags, tags)
                                 : ReadFile(source.hostPath, allPhotoTags, tags);
    } catch (const Exiv2::AnyError& error) {
        if (error.code() == Exiv2::kerFileContainsUnknownImageType ||
            error.code() == Exiv2::kerMemoryContainsUnknownImageType) {
            return {ContentOutcome::NotThisKind, {}};
        }
        return {ContentOutcome::Failed, ProblemText(source, error.what())};
    } catch (const std::exception& error) {
        // A library that runs out of memory or trips over its own bounds on a
        // crafted file fails that file, not the preview.
        return {ContentOutcome::Failed, ProblemText(source, error.what())};
    }
}

}  // namespace kestrel::platform
