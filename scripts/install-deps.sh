#!/usr/bin/env bash
# Installs the Debian 12 packages Kestrel builds and tests with, and any more
# named as arguments, but only when one of them is missing, so repeated runs
# cost nothing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build clang libclang-rt-14-dev
    libicu-dev libsqlite3-dev libcurl4-openssl-dev libxml2-dev libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev fonts-dejavu-core xvfb xauth poppler-utils
    # Tags read from file contents: photos, music, videos.
    pkg-config libexiv2-dev libtag1-dev libavformat-dev
    # The tag benchmark measures reading beside the programs a user would
    # run instead.
    exiv2 libimage-exiftool-perl
    # Translations: gettext's tools make and check the catalogues, its library
    # reads them in the tests; Qt's own texts come in Qt's translations.
    gettext libgettextpo-dev qt6-translations-l10n
    # The transfer tests run a loopback web server with its own certificate.
    python3 openssl
    # The desktop integration tests validate the menu entry and launch it as
    # a desktop does.
    desktop-file-utils libglib2.0-bin
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
