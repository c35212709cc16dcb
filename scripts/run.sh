#!/usr/bin/env bash
# Installs what is missing, builds the kestrel program alone (not the tests and
# benchmarks, which take most of a full build) and runs it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev
cmake --build --preset dev --target kestrel
exec build/dev/bin/kestrel "$@"
