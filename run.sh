#!/usr/bin/env bash
# Installs what is missing, builds Vantrel in Release and starts it.
set -euo pipefail
cd "$(dirname "$0")"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display to show Vantrel on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi
bash scripts/deps.sh run
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)" --target vantrel
exec ./build-release/vantrel
