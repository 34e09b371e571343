#!/usr/bin/env bash
# Hivelet.exe beside Wine's own regedit, driven from another process on the same keys of one
# Wine registry (Release build in build-bench/, its own prefix with the null graphics driver):
# start-up, value list, expansion, export, import, each a median of alternating runs with the
# ratio and the floor; then the Find All benchmark and the benchmarks that must keep their figures.
# Usage: scripts/peer-bench.sh [runs]   (default 3; the peer's expansion, measured once, takes a
# minute or more)
#   BEFORE=<commit>  also builds that commit's Hivelet.exe and runs it alongside ("before")
#   PEER_ONLY=1      the side-by-side table alone
#   PIN=<cpu>|none   the CPU the server and every measured process run on (default 0; see lib.sh)
set -euo pipefail
BUILD_DIR=${BUILD_DIR:-build-bench} BUILD_TYPE=Release
source "$(dirname "$0")/lib.sh"
ensure_packages
cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHIVELET_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
others="findall_bench hexedit_bench select_file_bench keycommands_bench"
[ -n "${PEER_ONLY:-}" ] && others=""
cmake --build "$BUILD_DIR" --target Hivelet peer_bench $others
before=""
if [ -n "${BEFORE:-}" ]; then
    src="$BUILD_DIR/before-src"
    rm -rf "$src" && mkdir -p "$src"
    git -C "$ROOT" archive "$BEFORE" | tar -x -C "$src"
    cmake -S "$src" -B "$BUILD_DIR/before" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHIVELET_BUILD_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$BUILD_DIR/before" --target Hivelet
    before="$BUILD_DIR/before/app/Hivelet.exe"
fi
make_prefix "$BUILD_DIR/wineprefix-peer" null
set_pinning
start_server
trap stop_server EXIT
"${PINNED[@]}" wine "$BUILD_DIR/bench/peer_bench.exe" "$(winepath -w "$BUILD_DIR/app/Hivelet.exe")" "${1:-3}" \
    ${before:+"$(winepath -w "$before")"}
for b in $others; do
    echo "== $b"
    "${PINNED[@]}" wine "$BUILD_DIR/bench/$b.exe"
done
