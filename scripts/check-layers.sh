#!/usr/bin/env bash
# Fails when a source includes a header from a layer above its own (the layers and their rules:
# docs/ARCHITECTURE.md; their order is rank() below).
# Fails too when a platform header declares a Set... function that no layer above calls: a test
# puts a stand-in for a service in place with platform::Replace, never through a setter.
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

while IFS=: read -r file line name; do
    if ! grep -rqw --include='*.cpp' --include='*.h' "$name" controls app windows components; then
        echo "$file:$line: declares $name, which nothing above platform/ calls; tests put a stand-in in place with platform::Replace (platform/Service.h), not with a setter" >&2
        status=1
    fi
done < <(grep -noE '(^|[^.>[:alnum:]_])Set[A-Z][[:alnum:]_]*[[:space:]]*\(' platform/*.h |
    sed -E 's/^([^:]*):([0-9]*):.*(Set[[:alnum:]_]*).*/\1:\2:\3/')
exit "$status"
