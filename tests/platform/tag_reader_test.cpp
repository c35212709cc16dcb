// Reading tags from sample files that other tools wrote (tests/data/tags,
// made by make-samples.sh there): photos, music, videos, and files that are
// damaged or lie about their kind.
#include "platform/tag_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "platform/library_tag_reader.h"
#include "platform/media_tags.h"
#include "support/temp_drive.h"
#include "support/words.h"

namespace kestrel::platform {
namespace {

using Field = std::string FileTags::*;

std::string Sample(const std::string& name) {
    return std::string(KESTREL_TAG_SAMPLES) + "/" + name;
}

// The creation time ffmpeg wrote into the videos, 2021-06-05 14:30:00 UTC,
// as this computer's clock shows it.
std::string VideoTime() {
    return PlainLocalDate(1622903400);
}

// The field of FileTags that a row of the table below names.
Field FieldNamed(const std::string& name) {
    const std::vector<std::string> names = support::Words(
        "taken make camera lens width height iso artist albumArtist album title track disc year "
        "genre takenProblem photoProblem musicProblem");
    const std::vector<Field> fields = {
        &FileTags::taken,        &FileTags::make,        &FileTags::camera, &FileTags::lens,
        &FileTags::width,        &FileTags::height,      &FileTags::iso,    &FileTags::artist,
        &FileTags::albumArtist,  &FileTags::album,       &FileTags::title,  &FileTags::track,
        &FileTags::disc,         &FileTags::year,        &FileTags::genre,  &FileTags::takenProblem,
        &FileTags::photoProblem, &FileTags::musicProblem};
    return fields.at(std::find(names.begin(), names.end(), name) - names.begin());
}

TEST(TagReader, ReadsPhotosMusicAndVideosWrittenByOtherTools) {
    constexpr unsigned photo = kPhotoTags | kTakenTag;
    const std::string notMusic = "|musicProblem=not a sound file Kestrel reads";
    const std::string notEither = "|takenProblem=not a photo or video Kestrel reads";
    const std::string video = "taken=" + VideoTime();
    // The file, what is read of it, and the values it gives: "field=value",
    // split at "|".
    const std::tuple<const char*, unsigned, std::string> cases[] = {
        {"photo.jpg", photo | kMusicTags,
         "taken=2001-02-03 04:05:06|make=Canon|camera=Canon EOS 5D|lens=EF50mm f/1.8 II|width=64|"
         "height=48|iso=400" +
             notMusic},
        // DateTimeDigitized, then the image's DateTime, stand in for the original.
        {"digitized.jpg", kTakenTag, "taken=2002-03-04 05:06:07"},
        {"modify-date.jpg", photo,
         "taken=2003-04-05 06:07:08|make=NIKON CORPORATION|camera=AC/DC?|iso="},
        {"no-exif.jpg", photo, "taken=|takenProblem=|width=32"},
        {"photo.png", kTakenTag, "taken=2004-05-06 07:08:09"},
        {"not-a-photo.jpg", photo | kMusicTags,
         "taken=|photoProblem=not a photo Kestrel reads" + notEither + notMusic},
        // Music is told by its contents, whatever its name says.
        {"song-named-photo.jpg", kMusicTags | kTakenTag,
         "artist=AC/DC|album=Back in Black|title=Hells Bells?|track=1|year=1980|genre=Rock" +
             notEither},
        {"song.flac", kMusicTags,
         "artist=Nina Simone|albumArtist=Various Artists|album=Jazz Classics|title=Feeling Good|"
         "track=7|disc=2|year=1965|genre=Jazz|musicProblem="},
        {"flac-named.mp3", kMusicTags, "artist=Nina Simone"},
        {"song.ogg", kMusicTags, "artist=Ogg Artist|track=4"},
        {"song.m4a", kMusicTags, "albumArtist=M4A Album Artist|track=9|disc=1|year=2011"},
        // A video's UTC time shows in this computer's zone; a phone's own
        // clock, as stored.
        {"clip.mp4", kTakenTag, video},
        {"clip.mkv", kTakenTag, video},
        {"phone.mov", kTakenTag, "taken=2021-06-05 16:30:00"},
        {"no-date.mp4", kTakenTag, "taken=|takenProblem="},
        // Files found by fuzzing to end the program in a reader that is not
        // used on them: a damaged video, and a crafted text.
        {"damaged.mkv", kTakenTag | kPhotoTags, "taken="},
        {"crafted.txt", kTakenTag | kMusicTags, notEither + notMusic},
    };
    const LibraryTagReader reader;
    for (const auto& [file, sources, values] : cases) {
        SCOPED_TRACE(file);
        const FileTags tags = reader.Read(Sample(file), sources);
        EXPECT_TRUE(tags.stamp.present);
        for (const std::string& value : support::Words(values, '|')) {
            const std::size_t equals = value.find('=');
            EXPECT_EQ(tags.*FieldNamed(value.substr(0, equals)), value.substr(equals + 1)) << value;
        }
    }
}

// Sets the time zone for one test and puts back the one before.
class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* before = std::getenv("TZ")) {
            before_ = before;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (before_) {
            ::setenv("TZ", before_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    std::optional<std::string> before_;
};

// A video's UTC time moves with the computer's zone; what a camera's clock
// wrote into a photo or a phone's video does not.
TEST(TagReader, OnlyUtcTimesFollowTheTimeZone) {
    const ScopedTimeZone paris("Europe/Paris");
    const LibraryTagReader reader;
    EXPECT_EQ(reader.Read(Sample("clip.mp4"), kTakenTag).taken, "2021-06-05 16:30:00");
    EXPECT_EQ(reader.Read(Sample("photo.jpg"), kTakenTag).taken, "2001-02-03 04:05:06");
    EXPECT_EQ(reader.Read(Sample("phone.mov"), kTakenTag).taken, "2021-06-05 16:30:00");
    const ScopedTimeZone newYork("America/New_York");
    EXPECT_EQ(reader.Read(Sample("clip.mkv"), kTakenTag).taken, "2021-06-05 10:30:00");
    EXPECT_EQ(reader.Read(Sample("phone.mov"), kTakenTag).taken, "2021-06-05 16:30:00");
}

// A file cut short inside its EXIF block is a damaged photo: exiv2's own
// words say so, and nothing else is tried on it.
TEST(TagReader, ADamagedPhotoSaysWhatWentWrong) {
    const FileTags tags = LibraryTagReader().Read(Sample("truncated.jpg"), kPhotoTags | kTakenTag);
    EXPECT_EQ(tags.taken, "");
    EXPECT_FALSE(tags.takenProblem.empty());
    EXPECT_NE(tags.takenProblem, "not a photo or video Kestrel reads");
    EXPECT_EQ(tags.photoProblem, tags.takenProblem);
    EXPECT_EQ(tags.takenProblem.find(KESTREL_TAG_SAMPLES), std::string::npos);
}

// The start of a JPEG holds its metadata in all but the rarest photos; one
// whose segments go on past the part read at first is read from the file.
TEST(TagReader, AJpegWhoseMetadataGoesFarIntoTheFileIsReadWhole) {
    std::ifstream in(Sample("photo.jpg"), std::ios::binary);
    const std::string photo((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Five application segments of 60,000 bytes each, between the start of
    // the file and its EXIF block.
    std::string padded = photo.substr(0, 2);
    for (int k = 0; k < 5; ++k) {
        padded += "\xFF\xEF";
        padded += static_cast<char>(60002 >> 8);
        padded += static_cast<char>(60002 & 0xFF);
        padded += std::string(60000, 'x');
    }
    padded += photo.substr(2);
    support::TempDrive drive;
    drive.WriteFile("padded.jpg", padded);
    const FileTags tags =
        LibraryTagReader().Read(drive.HostPath("padded.jpg"), kPhotoTags | kTakenTag);
    EXPECT_EQ(tags.taken, "2001-02-03 04:05:06");
    EXPECT_EQ(tags.camera, "Canon EOS 5D");
    EXPECT_EQ(tags.takenProblem, "");
}

// The fuzz target feeds bytes from memory: each sample reads the same there.
TEST(TagReader, BytesInMemoryReadAsTheFileDoes) {
    const LibraryTagReader reader;
    for (const char* file :
         {"photo.jpg", "photo.tif", "truncated.jpg", "not-a-photo.jpg", "song.flac",
          "song-named-photo.jpg", "song.m4a", "clip.mkv", "phone.mov"}) {
        SCOPED_TRACE(file);
        std::ifstream in(Sample(file), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        constexpr unsigned all = kPhotoTags | kTakenTag | kMusicTags;
        const FileTags fromMemory = reader.ReadContents(bytes, all);
        const FileTags fromFile = reader.Read(Sample(file), all);
        for (const Field field :
             {&FileTags::taken, &FileTags::camera, &FileTags::width, &FileTags::artist,
              &FileTags::disc, &FileTags::photoProblem, &FileTags::musicProblem}) {
            EXPECT_EQ(fromMemory.*field, fromFile.*field);
        }
        EXPECT_EQ(fromMemory.takenProblem.empty(), fromFile.takenProblem.empty());
    }
}

TEST(TagReader, FileDatesSizeAndStampComeFromTheFileSystem) {
    support::TempDrive drive;
    drive.WriteFile("a.txt", "12345");
    const std::string path = drive.HostPath("a.txt");
    const timespec times[2] = {{1'000'000'000, 0}, {1'000'000'000, 250}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    const LibraryTagReader reader;
    const FileTags tags = reader.Read(path, kFileTags);
    EXPECT_EQ(tags.modified, PlainLocalDate(1'000'000'000));
    EXPECT_EQ(tags.size, "5");
    EXPECT_EQ(tags.fileProblem, "");
    const FileStamp stamp = reader.Stamp(path);
    EXPECT_EQ(stamp, (FileStamp{true, 5, 1'000'000'000'000'000'250}));
    EXPECT_EQ(tags.stamp, stamp);

    drive.WriteFile("a.txt", "123456");
    EXPECT_NE(reader.Stamp(path), stamp);
    EXPECT_FALSE(reader.Stamp(drive.HostPath("gone.txt")).present);
    EXPECT_EQ(reader.Read(drive.HostPath("gone.txt"), kFileTags | kTakenTag).takenProblem,
              "the file cannot be found");
}

// Only regular files are opened: a folder has dates but no contents, and a
// named pipe is never waited on.
TEST(TagReader, FoldersAndPipesAreNotOpened) {
    support::TempDrive drive;
    drive.MakeFolder("folder");
    ASSERT_EQ(::mkfifo(drive.HostPath("pipe").c_str(), 0600), 0);
    const LibraryTagReader reader;
    for (const char* name : {"folder", "pipe"}) {
        SCOPED_TRACE(name);
        const FileTags tags = reader.Read(drive.HostPath(name), kFileTags | kTakenTag | kMusicTags);
        EXPECT_FALSE(tags.modified.empty());
        EXPECT_EQ(tags.size, "");
        EXPECT_EQ(tags.takenProblem, "not a photo or video Kestrel reads");
        EXPECT_EQ(tags.musicProblem, "not a sound file Kestrel reads");
    }
}

TEST(TagReader, DatesAndNumbersFromAFileAreCheckedAndBounded) {
    const std::pair<std::string, std::string> dates[] = {
        {"2001:02:03 04:05:06", "2001-02-03 04:05:06"},
        {"2001-02-03T04:05:06+02:00", ""},
        {"    :  :     :  :  ", ""},
        {"2001:13:03 04:05:06", ""},
        {"2001:02:03 04:05:06 trailing", "2001-02-03 04:05:06"},
        {"2001:02:03 04:05:06junk", ""},
    };
    for (const auto& [text, plain] : dates) {
        EXPECT_EQ(PlainDate(text, {"%Y:%m:%d %H:%M:%S"}), plain) << text;
    }
    EXPECT_EQ(PlainDate("2001-02-03T04:05:06+02:00", {"%Y-%m-%dT%H:%M:%S"}), "2001-02-03 04:05:06");
    EXPECT_EQ(BoundedNumber(0, 10), "");
    EXPECT_EQ(BoundedNumber(10, 10), "10");
    EXPECT_EQ(BoundedNumber(11, 10), "");
    EXPECT_EQ(BoundedText(std::string(" \0abc\0 ", 7)), "abc");
    EXPECT_EQ(BoundedText(std::string(1000, 'x')).size(), 255U);
}

}  // namespace
}  // namespace kestrel::platform
