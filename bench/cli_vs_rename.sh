#!/usr/bin/env bash
# Times a whole command-line export (start-up, listing, preview, batch file) of
# 32,767 files against a dry run of Perl's file-rename over the same folder, in
# the folder TMPDIR names. The two run in alternating rounds, so that the
# machine's noise falls on both. Needs hyperfine and rename (Debian packages).
#
#     bench/cli_vs_rename.sh [path/to/kestrel]
set -euo pipefail
cd "$(dirname "$0")/.."
kestrel=$(realpath "${1:-build/release/bin/kestrel}")
for tool in hyperfine file-rename; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 2; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrel-cli-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/files" "$work/cfg"
(cd "$work/files" && seq 0 32766 | sed 's/^/IMG_/; s/$/.jpg/' | xargs touch)

export KESTREL_CONFIG_DIR="$work/cfg"
kestrel_run="$kestrel NO-WINDOW FOLDER:$work/files BAT:$work/out.bat"
rename_run="cd $work/files && file-rename -n 's/IMG_/img /' * > /dev/null"
for round in 1 2 3; do
    if [ $((round % 2)) -eq 1 ]; then
        first=(-n kestrel "$kestrel_run") second=(-n file-rename "$rename_run")
    else
        first=(-n file-rename "$rename_run") second=(-n kestrel "$kestrel_run")
    fi
    hyperfine --warmup 2 --runs 10 --export-json "$work/round$round.json" \
        "${first[@]}" "${second[@]}" | grep -E "Time|±|faster|slower" || true
done
python3 - "$work" <<'PY'
import json, sys, glob, statistics
times = {"kestrel": [], "file-rename": []}
for path in glob.glob(sys.argv[1] + "/round*.json"):
    for result in json.load(open(path))["results"]:
        times[result["command"]] += result["times"]
k, r = (statistics.median(times[n]) for n in ("kestrel", "file-rename"))
print(f"median kestrel {k*1000:.1f} ms, file-rename {r*1000:.1f} ms: kestrel at {k/r:.2f}x")
PY
