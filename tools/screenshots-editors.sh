#!/usr/bin/env bash
# Screenshots of the editing dialogs (value editor, key editor, key properties, bookmarks),
# each tall and short, on Pocket PC and on Smartphone (soft keys, version 4.20), and the
# bookmarks' button bar of Pocket PC before 5.00, under Xvfb with the X11 driver. One PNG per
# screen in build/screenshots/editors/, and one contact sheet per dialog (<dialog>-sheet.png)
# for looking at all four at once.
#   tools/screenshots-editors.sh [dialog ...]
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

configure_and_build
OUT=$BUILD_DIR/screenshots/editors
mkdir -p "$OUT"
DIALOGS=${*:-value-string value-dword value-multi value-binary value-custom key-new key-properties bookmarks bookmark-edit}
DISPLAY_NUMBER=${DISPLAY_NUMBER:-173}
Xvfb ":$DISPLAY_NUMBER" -screen 0 400x400x24 -nolisten tcp >"$OUT/xvfb.log" 2>&1 &
XVFB=$!
for _ in $(seq 1 20); do
    [ -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ] && break
    sleep 0.5
done
trap 'kill $XVFB 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
make_prefix "$BUILD_DIR/wineprefix-x11" x11
start_server

shoot() { # dialog orientation platform
    local dialog=$1 orientation=$2 platform=$3 file="$OUT/$1-$2-$3.png"
    local -a env=()
    [ "$platform" = smartphone ] && env=(HIVELET_PLATFORM=Smartphone HIVELET_OSVERSION=4.20)
    [ "$platform" = pocketpc-4.20 ] && env=(HIVELET_OSVERSION=4.20)
    env "${env[@]}" wine "$BUILD_DIR/tests/dialogs/editors_demo.exe" "$dialog" "$orientation" 30 >/dev/null 2>&1 &
    local demo=$!
    # The dialog is up once a window other than the device window carries a title.
    for _ in $(seq 1 60); do
        xdotool search --name '^(Edit Value|New Value|Edit Key|Key Properties|Bookmarks|Edit Bookmark)$' \
            >/dev/null 2>&1 && break
        sleep 0.5
    done
    sleep 1.5
    import -window root -crop 330x330+0+0 "$file"
    kill $demo 2>/dev/null || true
    wait $demo 2>/dev/null || true
    echo "$file"
}

for dialog in $DIALOGS; do
    for platform in pocketpc smartphone; do
        for orientation in tall short; do
            shoot "$dialog" "$orientation" "$platform"
        done
    done
    montage "$OUT/$dialog"-{tall,short}-{pocketpc,smartphone}.png -tile 4x1 -geometry +4+4 \
        "$OUT/$dialog-sheet.png" 2>/dev/null && echo "$OUT/$dialog-sheet.png"
done
# The bookmarks' button bar of Pocket PC before version 5.00.
case " $DIALOGS " in *" bookmarks "*) shoot bookmarks tall pocketpc-4.20 ;; esac
