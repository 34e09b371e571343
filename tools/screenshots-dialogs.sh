#!/usr/bin/env bash
# Screenshots of the search, export options, file selection and options dialogs (both options
# pages), each on a Pocket PC and on a Smartphone, under Xvfb with the X11-driver prefix.
# PNGs go to build/screenshots/dialog-<name>-<platform>.png; the script prints their paths.
# ONLY="search options" limits the run to those dialogs.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

configure_and_build
OUT_DIR=$BUILD_DIR/screenshots
mkdir -p "$OUT_DIR"
DISPLAY_NUMBER=${DISPLAY_NUMBER:-96}
Xvfb ":$DISPLAY_NUMBER" -screen 0 480x400x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
make_prefix "$BUILD_DIR/wineprefix-x11" x11

shot() { # dialog caption platform
    local dialog=$1 caption=$2 platform=$3 out="$OUT_DIR/dialog-$1-$3.png"
    if [ -n "${ONLY:-}" ] && [[ " $ONLY " != *" $dialog "* ]]; then
        return 0
    fi
    HIVELET_PLATFORM=$platform HIVELET_OSVERSION=5.02 \
        wine "$BUILD_DIR/tests/dialogs/dialogs_demo.exe" "$dialog" >/dev/null 2>&1 &
    local demo=$!
    for _ in $(seq 1 120); do
        xdotool search --name "^$caption\$" >/dev/null 2>&1 && break
        sleep 0.5
    done
    sleep 2
    import -window root "$out"
    kill "$demo" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    echo "$out"
}

for platform in PocketPC Smartphone; do
    shot search Search "$platform"
    shot export "Export Options" "$platform"
    shot selectfile "Select File" "$platform"
    shot options Options "$platform"
    shot options-import Options "$platform"
done
