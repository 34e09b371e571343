#!/usr/bin/env bash
# Builds and starts Hivelet.exe with the given arguments in the project's own Wine prefix.
# With a display it opens there; without one it runs under Xvfb and saves a screenshot.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

ensure_packages
configure_and_build
make_prefix "$BUILD_DIR/wineprefix" x11
seed_demo_registry

exe="$BUILD_DIR/app/Hivelet.exe"
if [ -n "${DISPLAY:-}" ]; then
    start_server
    trap stop_server EXIT
    wine "$exe" "$@"
    exit $?
fi

shot="$BUILD_DIR/screenshot.png"
log "no display: running under Xvfb"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wineserver -p
    wine "$1" "${@:3}" &
    pid=$!
    for i in $(seq 1 50); do
        xdotool search --name "^Hivelet$" >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1
    import -window root "$2"
    wineserver -k
    wait $pid 2>/dev/null || true
' run "$exe" "$shot" "$@"
echo "screenshot: $shot"
