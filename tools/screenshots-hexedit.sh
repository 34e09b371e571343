#!/usr/bin/env bash
# Screenshots of the hex edit control under Xvfb (X11 driver prefix of its own): a selection, the
# caret after the last byte, the context menu, and offsets of five digits at 96 dpi; the selection
# and the menu again at 192 dpi (a second prefix with LogPixels 192). Prints the paths.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

configure_and_build
OUT_DIR=${1:-$BUILD_DIR/screenshots}
mkdir -p "$OUT_DIR"
# A display number of our own: others may be taking screenshots on this machine at the same time.
DISPLAY_FILE=$(mktemp)
Xvfb -displayfd 3 -screen 0 720x520x24 -nolisten tcp 3>"$DISPLAY_FILE" >/dev/null 2>&1 &
XVFB=$!
for _ in $(seq 1 50); do
    [ -s "$DISPLAY_FILE" ] && break
    sleep 0.1
done
DISPLAY_NUMBER=$(cat "$DISPLAY_FILE")
rm -f "$DISPLAY_FILE"
trap 'kill $XVFB 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
# shoot SCENE FILE [CROP]: run the demo with the scene and take the screen (or the part CROP).
shoot() {
    wine "$BUILD_DIR/tests/dialogs/hexedit_demo.exe" "$1" 6 >/dev/null 2>&1 &
    local demo=$!
    # Wait for the window, then give it a moment to paint (and the menu to open).
    for _ in $(seq 1 120); do
        xdotool search --name '^Hex$' >/dev/null 2>&1 && break
        sleep 0.5
    done
    sleep 2
    import -window root ${3:+-crop "$3"} "$2"
    # The demo ends by itself a few seconds after it started.
    wait $demo 2>/dev/null || true
    echo "$2"
}

make_prefix "$BUILD_DIR/wineprefix-x11" x11
for scene in selection end menu large; do
    shoot "$scene" "$OUT_DIR/hexedit-$scene.png" 360x260+0+0
done
wineserver -k 2>/dev/null || true

if [ ! -f "$BUILD_DIR/wineprefix-x11-192/.hivelet-ready" ]; then
    make_prefix "$BUILD_DIR/wineprefix-x11-192" x11
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
fi
make_prefix "$BUILD_DIR/wineprefix-x11-192" x11
for scene in selection menu; do
    shoot "$scene" "$OUT_DIR/hexedit-$scene-192dpi.png"
done
