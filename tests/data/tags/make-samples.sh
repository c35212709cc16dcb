#!/usr/bin/env bash
# Makes the small sample files the tag tests read, with other tools than the
# libraries Kestrel reads them with, so that the tests check reading against
# files those libraries did not write. The files are committed; these tools
# are only needed to make them again:
#   apt-get install imagemagick libimage-exiftool-perl ffmpeg id3v2 flac
set -euo pipefail
cd "$(dirname "$0")"
quiet=(-hide_banner -loglevel error -y)
tone=(-f lavfi -i "sine=frequency=440:duration=0.1" -ac 1)
picture=(-f lavfi -i "testsrc=size=16x16:rate=5" -t 1 -c:v mpeg4)

# Photos: ImageMagick draws them, exiftool writes their EXIF.
exif() { exiftool -q -overwrite_original -all= "$@"; }
convert -size 64x48 xc:'#c04020' -quality 40 photo.jpg
exif -DateTimeOriginal="2001:02:03 04:05:06" -CreateDate="2001:02:03 04:05:07" \
    -ModifyDate="2009:09:09 09:09:09" -Make="Canon" -Model="Canon EOS 5D" \
    -LensModel="EF50mm f/1.8 II" -ISO=400 photo.jpg
convert -size 64x48 xc:'#2040c0' -quality 40 digitized.jpg
exif -CreateDate="2002:03:04 05:06:07" -ModifyDate="2009:09:09 09:09:09" digitized.jpg
convert -size 64x48 xc:'#20c040' -quality 40 modify-date.jpg
exif -ModifyDate="2003:04:05 06:07:08" -Make="NIKON CORPORATION" -Model="AC/DC?" modify-date.jpg
convert -size 32x24 xc:gray -quality 40 no-exif.jpg
exif no-exif.jpg
convert -size 8x6 xc:blue png:photo.png
exif -DateTimeOriginal="2004:05:06 07:08:09" photo.png
convert -size 8x6 xc:green webp:photo.webp
exif -DateTimeOriginal="2005:06:07 08:09:10" photo.webp
convert -size 8x6 xc:red -compress none tiff:photo.tif
exif -DateTimeOriginal="2006:07:08 09:10:11" photo.tif
# A photo cut short inside its EXIF block, and a text that says it is a photo.
head -c 200 photo.jpg > truncated.jpg
printf 'These are my holiday notes, not a picture.\n' > not-a-photo.jpg

# Music: ffmpeg makes a tenth of a second of sound; id3v2 and metaflac write
# the tags of MP3 and FLAC, ffmpeg those of the others.
ffmpeg "${quiet[@]}" "${tone[@]}" -ar 8000 -c:a libmp3lame -b:a 8k song.mp3
id3v2 -a "AC/DC" -A "Back in Black" -t "Hells Bells?" -T "1/10" -y 1980 -g 17 song.mp3
ffmpeg "${quiet[@]}" "${tone[@]}" -ar 8000 song.wav
flac -s -f --best song.wav -o song.flac
rm song.wav
metaflac --set-tag="ARTIST=Nina Simone" --set-tag="ALBUMARTIST=Various Artists" \
    --set-tag="ALBUM=Jazz Classics" --set-tag="TITLE=Feeling Good" --set-tag=TRACKNUMBER=7 \
    --set-tag=DISCNUMBER=2/3 --set-tag=DATE=1965-06-01 --set-tag=GENRE=Jazz song.flac
ffmpeg "${quiet[@]}" "${tone[@]}" -ar 8000 -c:a libvorbis -metadata artist="Ogg Artist" \
    -metadata title="Ogg Title" -metadata tracknumber=4 song.ogg
ffmpeg "${quiet[@]}" "${tone[@]}" -ar 48000 -c:a libopus -b:a 6k -metadata artist="Opus Artist" \
    -metadata title="Opus Title" -metadata track=5 song.opus
ffmpeg "${quiet[@]}" "${tone[@]}" -ar 8000 -c:a aac -b:a 8k -metadata artist="M4A Artist" \
    -metadata album_artist="M4A Album Artist" -metadata album="M4A Album" \
    -metadata track="9/12" -metadata disc="1/2" -metadata date=2011 song.m4a
# An MP3 under a photo's name and a FLAC file under an MP3's: each is read
# for what it is.
cp song.mp3 song-named-photo.jpg
cp song.flac flac-named.mp3

# Videos: ffmpeg writes the creation time into each container.
for container in mp4 mov mkv; do
    ffmpeg "${quiet[@]}" "${picture[@]}" -metadata creation_time=2021-06-05T14:30:00Z \
        "clip.$container"
done
ffmpeg "${quiet[@]}" "${picture[@]}" -movflags use_metadata_tags \
    -metadata com.apple.quicktime.creationdate=2021-06-05T16:30:00+0200 \
    -metadata creation_time=2021-06-05T14:30:00Z phone.mov
ffmpeg "${quiet[@]}" "${picture[@]}" no-date.mp4
# A damaged Matroska file, found by fuzzing, on which exiv2's own (unused)
# reader of videos stops the program with an assertion.
{
    printf '\x1a\x45\xdf\xa3\x9f\x42\x86\x81\x01\x00\x00\x60\x30\x00\x36'
    head -c 82 /dev/zero | tr '\0' '\377'
    printf '\x36\xbb'
} > damaged.mkv
# A crafted text, found by fuzzing, on which a library that tries every reader
# of videos it has crashes: no file that does not start as a video reaches
# the reader of videos.
printf '\x3c\x21\x5b\x43\x44\x41\x54\x41\x5b\x00\x00\x00\x00\x00\x61\x61\x61\x61\x61\x61' > crafted.txt
printf '\x61\x00\x00\x46\xff\xff\x5f\x30\x00\x11\x03\x80\x62\x00\x34\x15\x38\x38\x02\x01' >> crafted.txt
printf '\x00\x01\x00\x00\x00' >> crafted.txt
