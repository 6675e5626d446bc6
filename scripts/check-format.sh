#!/usr/bin/env bash
# Fails when a C++ source differs from what the project's .clang-format makes of it, naming each
# file that differs. Fix with: clang-format-14 -i FILE
#   scripts/check-format.sh [source root, default: the clone this script is in]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

format=$(command -v clang-format-14 || true)
if [ -z "$format" ]; then
    echo "clang-format-14 is missing (scripts/deps.sh test installs it)" >&2
    exit 77
fi

status=0
while IFS= read -r -d '' file; do
    if ! "$format" --style=file --dry-run --Werror "$file" >/dev/null 2>&1; then
        echo "$file: differs from .clang-format; run clang-format-14 -i $file" >&2
        status=1
    fi
done < <(find core platform controls app windows components tests bench \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
exit "$status"
