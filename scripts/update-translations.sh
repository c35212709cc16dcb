#!/usr/bin/env bash
# The translation catalogues under po/.
#
#   scripts/update-translations.sh            extracts every text a user reads
#       into po/kestrel.pot and merges it into each po/<language>.po
#   scripts/update-translations.sh --pot FILE writes the template to FILE only
#   scripts/update-translations.sh --check    fails when a catalogue lacks a
#       translation of a text the sources have now, or does not compile
set -euo pipefail
cd "$(dirname "$0")/.."

# Writes the template of every translatable text to $1.
extract() {
    local out=$1 work
    work=$(mktemp -d)
    # Sorted, so the template is the same on every machine.
    find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort > "$work/sources"
    xgettext --from-code=UTF-8 --language=C++ --keyword=Tr --keyword=TrPlural:1,2 --keyword=N_ \
        --add-comments=TRANSLATORS: --package-name=Kestrel --msgid-bugs-address=kestrel@example.org \
        --sort-by-file --force-po --files-from="$work/sources" -o "$work/code.pot"
    xgettext --language=Desktop --keyword= --keyword=Name --keyword=GenericName --keyword=Comment \
        --keyword=Keywords --keyword=Tooltip --sort-by-file -o "$work/desktop.pot" \
        data/org.example.kestrel.desktop data/file-managers/*
    xgettext --from-code=UTF-8 --sort-by-file -o "$work/metainfo.pot" data/org.example.kestrel.metainfo.xml
    msgcat --use-first "$work/code.pot" "$work/desktop.pot" "$work/metainfo.pot" \
        | sed -e '/^"POT-Creation-Date:/d' -e 's/charset=CHARSET/charset=UTF-8/' > "$out"
    rm -rf "$work"
}

languages() {
    grep -v '^#' po/LINGUAS | grep -v '^\s*$'
}

case "${1:-}" in
--pot)
    extract "$2"
    ;;
--check)
    pot=$(mktemp)
    trap 'rm -f "$pot"' EXIT
    extract "$pot"
    status=0
    for language in $(languages); do
        # Untranslated and fuzzy entries count as missing.
        if ! msgcmp "po/$language.po" "$pot"; then
            echo "po/$language.po lacks translations; run scripts/update-translations.sh and translate." >&2
            status=1
        fi
        if ! msgfmt --check --output-file=/dev/null "po/$language.po"; then
            status=1
        fi
    done
    exit $status
    ;;
"")
    extract po/kestrel.pot
    for language in $(languages); do
        if [ -f "po/$language.po" ]; then
            msgmerge --quiet --update --backup=none --no-fuzzy-matching "po/$language.po" po/kestrel.pot
        else
            msginit --no-translator --locale="$language" --input=po/kestrel.pot --output-file="po/$language.po"
        fi
    done
    ;;
*)
    echo "usage: $0 [--pot FILE | --check]" >&2
    exit 2
    ;;
esac
