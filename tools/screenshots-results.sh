#!/usr/bin/env bash
# Screenshots of the search windows under Xvfb with the X11 driver: the find results list with
# rows and the floating toolbar over it (results-view.png), and the About box (about-box.png).
# Prints the pictures' paths.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

configure_and_build
OUT_DIR=${1:-$BUILD_DIR/screenshots}
mkdir -p "$OUT_DIR"
DISPLAY_NUMBER=${DISPLAY_NUMBER:-96}
Xvfb ":$DISPLAY_NUMBER" -screen 0 480x400x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null || true' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
make_prefix "$BUILD_DIR/wineprefix-x11" x11

# shot MODE WINDOW-TITLE FILE
shot() {
    wine "$BUILD_DIR/tests/search/results_demo.exe" "$1" 30 >/dev/null 2>&1 &
    local demo=$!
    for _ in $(seq 1 120); do
        xdotool search --name "^$2\$" >/dev/null 2>&1 && break
        sleep 0.5
    done
    sleep 3
    import -window root "$OUT_DIR/$3"
    kill $demo 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    echo "$OUT_DIR/$3"
}

shot results Hivelet results-view.png
shot about About about-box.png
