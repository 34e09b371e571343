#!/usr/bin/env bash
# The folders' include picture: one line per arrow "from -> to (count)", read from the #include
# lines of the product's sources, and every arrow that runs up the layering (a lower folder
# including from a higher one) marked UP. Exits 1 when there is one.
# Layers, lowest first (a folder may include from its own layer and those below); platform stands
# in for the handheld system itself and includes nothing of ours. res/ (resource ids) serves all.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LAYERS=(platform shd registry journal settings regfile search dialogs app uninstall)
rank() {
    local i
    for i in "${!LAYERS[@]}"; do [ "${LAYERS[$i]}" = "$1" ] && { echo "$i"; return; }; done
    echo -1
}
cd "$ROOT"
up=0
while read -r count from to; do
    mark=""
    fr=$(rank "$from") tr=$(rank "$to")
    # uninstall is a program of its own: it stands on shd and registry only.
    if [ "$tr" -gt "$fr" ] || { [ "$from" = uninstall ] && [ "$to" != shd ] && [ "$to" != registry ]; }; then
        mark="  UP"
        up=1
    fi
    echo "$from -> $to ($count)$mark"
done < <(for dir in "${LAYERS[@]}"; do
    grep -ho '^#include "[a-z]*/' "$dir"/*.h "$dir"/*.cpp 2>/dev/null | sed 's/#include "//; s#/##' |
        grep -vx "$dir" | sed "s/^/$dir /" || true
done | sort | uniq -c | awk '{print $1, $2, $3}')
exit $up
