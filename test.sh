#!/usr/bin/env bash
# Installs what is missing, builds Vantrel with its tests and runs every test; ends with ctest's
# summary.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_TESTS=ON >/dev/null
cmake --build build-test -j"$(nproc)"
cd build-test
exec ctest --output-on-failure -j2 --timeout 300
