#!/usr/bin/env bash
# Writes the catalogue of a pseudo-language to $1 (a kestrel.mo): every text of
# the sources in brackets, its vowels doubled (about 40% longer, as German runs
# a third longer than English) and its letters accented. A window shown in it
# tells at a glance which texts escape the catalogue and which would be cut off.
set -euo pipefail
out=$1
root="$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$root/scripts/update-translations.sh" --pot "$work/kestrel.pot"
cat > "$work/pseudo.sed" <<'SED'
/^$/b
s/[aeiouAEIOU]/&&/g
y/aeiouAEIOUcnyCNYsz/áéíóúÁÉÍÓÚçñýÇÑÝšž/
s/^/[/
s/$/]/
SED
msgen "$work/kestrel.pot" \
    | LC_ALL=C.UTF-8 msgfilter --keep-header -o "$work/pseudo.po" sed -f "$work/pseudo.sed"
mkdir -p "$(dirname "$out")"
msgfmt --output-file "$out" "$work/pseudo.po"
