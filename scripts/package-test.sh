#!/usr/bin/env bash
# Builds the Debian package and checks it the way a desktop and Debian's tools
# see it: installs it with apt, validates the installed menu entry, AppStream
# data and manual page, runs lintian on the package, runs the program, and
# removes the package again, leaving the machine as it was.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh desktop-file-utils appstream lintian man-db dpkg-dev
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

# The package is made from the dev build (CI has just built it), or from the
# build folder named by KESTREL_BUILD_DIR; cpack strips the program.
build=${KESTREL_BUILD_DIR:-build/dev}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset dev
fi
cmake --build "$build" --target kestrel kestrel_installed_files
rm -f "$build"/kestrel_*.deb
(cd "$build" && cpack -G DEB > /dev/null)
deb=$(realpath "$build"/kestrel_*.deb)
echo "-- $(basename "$deb")"

if dpkg-query -W -f='${Status}' kestrel 2>/dev/null | grep -q "install ok installed"; then
    echo "A kestrel package is installed already; remove it before this test." >&2
    exit 1
fi
remove() {
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove --purge -y -qq kestrel > /dev/null
}
trap 'remove 2>/dev/null || true' EXIT
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$deb" > /dev/null

id=org.example.kestrel
desktop-file-validate "/usr/share/applications/$id.desktop"
appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l /usr/share/man/man1/kestrel.1.gz 2>&1 > /dev/null)
if [ -n "$warnings" ]; then
    echo "man -l: $warnings" >&2
    exit 1
fi
actions=(/usr/share/kio/servicemenus/kestrel-rename.desktop
         /usr/share/nemo/actions/kestrel-rename.nemo_action
         /usr/share/file-manager/actions/kestrel-rename.desktop)
for file in "${actions[@]}"; do
    if [ ! -f "$file" ]; then
        echo "the file manager action $file was not installed" >&2
        exit 1
    fi
done
if [ ! -f /usr/share/kestrel/help/index.html ]; then
    echo "the help manual is not where the program looks for it" >&2
    exit 1
fi
lintian --fail-on error "$deb" 2>&1 | { grep -v "running with root privileges" || true; }
version=$(kestrel --version)
expected="Kestrel $(sed -n 's/^project(Kestrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
if [ "$version" != "$expected" ]; then
    echo "kestrel --version printed \"$version\", not \"$expected\"" >&2
    exit 1
fi
# A window run goes on in the installed window program, which without a
# display says that it needs one.
message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL=C.UTF-8 kestrel 2>&1 || true)
case "$message" in
    *"needs a display"*) ;;
    *) echo "kestrel did not reach its window program: $message" >&2; exit 1 ;;
esac
# The installed catalogues are found: the help reads in German with LANG alone.
catalogues=(/usr/share/locale/de/LC_MESSAGES/kestrel.mo /usr/share/locale/fr/LC_MESSAGES/kestrel.mo)
english=$(LC_ALL=C.UTF-8 kestrel --help)
german=$(env -u LANGUAGE LC_ALL= LANG=de_DE.UTF-8 kestrel --help)
if [ "$english" = "$german" ]; then
    echo "kestrel --help is English under LANG=de_DE.UTF-8: ${catalogues[0]} not read" >&2
    exit 1
fi
echo "-- installed and ran: $version"

trap - EXIT
remove
for file in /usr/bin/kestrel /usr/libexec/kestrel "/usr/share/applications/$id.desktop" /usr/share/kestrel /usr/share/man/man1/kestrel.1.gz "${actions[@]}" "${catalogues[@]}"; do
    if [ -e "$file" ]; then
        echo "$file is still there after the package was removed" >&2
        exit 1
    fi
done
echo "Package test passed."
