#!/usr/bin/env bash
# Screenshot of a full-screen dialog with header and menu bar over an emulated device window,
# under Xvfb with a Wine prefix of its own using the X11 driver. Prints the picture's path.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

configure_and_build
OUT=${1:-$BUILD_DIR/screenshots/framework-dialog.png}
mkdir -p "$(dirname "$OUT")"
DISPLAY_NUMBER=${DISPLAY_NUMBER:-97}
Xvfb ":$DISPLAY_NUMBER" -screen 0 480x400x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null || true' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
make_prefix "$BUILD_DIR/wineprefix-x11" x11
wine "$BUILD_DIR/tests/shd/framework_demo.exe" 30 >/dev/null 2>&1 &
DEMO=$!
# Wait for the dialog, then give it a moment to paint.
for _ in $(seq 1 120); do
    xdotool search --name '^Test$' >/dev/null 2>&1 && break
    sleep 0.5
done
sleep 2
import -window root "$OUT"
kill $DEMO 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "$OUT"
