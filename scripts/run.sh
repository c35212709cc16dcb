#!/usr/bin/env bash
# Installs what is missing, builds Kestrel and runs it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev

if [ ! -x build/dev/bin/kestrel ]; then
    echo "Kestrel has no main program yet: the engine, its tests and benchmarks are built."
    echo "The command line and the window arrive in later work; run scripts/test.sh meanwhile."
    exit 0
fi
exec build/dev/bin/kestrel "$@"
