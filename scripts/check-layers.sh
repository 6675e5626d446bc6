#!/usr/bin/env bash
# Fails when a source includes a header from a layer above its own (the layers and their rules:
# docs/ARCHITECTURE.md; their order is rank() below).
#   scripts/check-layers.sh [source root, default: the clone this script is in]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

rank() {
    case "$1" in
    core) echo 0 ;;
    platform) echo 1 ;;
    controls) echo 2 ;;
    app | windows | components) echo 3 ;;
    *) echo -1 ;;
    esac
}

status=0
for file in core/* platform/* controls/* app/* windows/* components/*; do
    case "$file" in *.h | *.cpp | *.h.in) ;; *) continue ;; esac
    own=${file%%/*}
    ownRank=$(rank "$own")
    while IFS=: read -r line header; do
        layer=${header%%/*}
        layerRank=$(rank "$layer")
        if [ "$layerRank" -gt "$ownRank" ]; then
            echo "$file:$line: includes $header, from $layer/ above $own/; includes run down only (app/windows/components -> controls -> platform -> core)" >&2
            status=1
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
        sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done
exit "$status"
