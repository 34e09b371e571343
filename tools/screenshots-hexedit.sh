#!/usr/bin/env bash
# Screenshots of the hex edit control under Xvfb (X11 driver prefix of its own): a selection, the
# caret after the last byte, the context menu, and offsets of five digits. Prints the paths.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

configure_and_build
OUT_DIR=${1:-$BUILD_DIR/screenshots}
mkdir -p "$OUT_DIR"
# A display number of our own: others may be taking screenshots on this machine at the same time.
DISPLAY_FILE=$(mktemp)
Xvfb -displayfd 3 -screen 0 360x260x24 -nolisten tcp 3>"$DISPLAY_FILE" >/dev/null 2>&1 &
XVFB=$!
for _ in $(seq 1 50); do
    [ -s "$DISPLAY_FILE" ] && break
    sleep 0.1
done
DISPLAY_NUMBER=$(cat "$DISPLAY_FILE")
rm -f "$DISPLAY_FILE"
trap 'kill $XVFB 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
make_prefix "$BUILD_DIR/wineprefix-x11" x11
for scene in selection end menu large; do
    wine "$BUILD_DIR/tests/dialogs/hexedit_demo.exe" "$scene" 6 >/dev/null 2>&1 &
    DEMO=$!
    # Wait for the window, then give it a moment to paint (and the menu to open).
    for _ in $(seq 1 120); do
        xdotool search --name '^Hex$' >/dev/null 2>&1 && break
        sleep 0.5
    done
    sleep 2
    import -window root "$OUT_DIR/hexedit-$scene.png"
    # The demo ends by itself a few seconds after it started.
    wait $DEMO 2>/dev/null || true
    echo "$OUT_DIR/hexedit-$scene.png"
done
