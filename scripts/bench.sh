#!/usr/bin/env bash
# Builds the benchmarks (Release, build-bench/) and runs each under Wine; prints their figures.
# Arguments name benchmarks to run (default: all). PIN=<cpu>|none as in lib.sh (default 0).
set -euo pipefail
BUILD_DIR=${BUILD_DIR:-build-bench} BUILD_TYPE=Release
source "$(dirname "$0")/lib.sh"
ensure_packages
cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHIVELET_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$BUILD_DIR" --target benchmarks
make_prefix "$BUILD_DIR/wineprefix-bench" null
set_pinning
start_server
trap stop_server EXIT
benches=${*:-$(cd "$BUILD_DIR/bench" && ls *_bench.exe | sed 's/\.exe$//')}
for b in $benches; do
    echo "== $b"
    "${PINNED[@]}" wine "$BUILD_DIR/bench/$b.exe"
done
