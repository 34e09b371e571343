#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine in a hermetic prefix: first the
# 64-bit build (build/), then the 32-bit one (build-i686/, Wine's 32-bit runtime, its own prefix).
# Extra arguments go to ctest (for example -R registry). HIVELET_I686=0 leaves out the 32-bit pass.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

ensure_packages
trap stop_server EXIT
configure_and_build
rc=0
log "testing $BUILD_DIR (x86_64)"
run_tests "$BUILD_DIR" "$@" || rc=$?

if [ "${HIVELET_I686:-1}" != 0 ]; then
    runtime=1
    ensure_wine32 || runtime=0
    configure_and_build "$BUILD_DIR_I686" i686
    if [ $runtime = 1 ]; then
        log "testing $BUILD_DIR_I686 (i686)"
        WINEARCH=win32 run_tests "$BUILD_DIR_I686" "$@" || rc=$?
    else
        log "i686: built, NOT run: Wine's 32-bit runtime (wine32:i386) could not be installed"
        tail -n 5 "$BUILD_DIR_I686/wine32-install.log" >&2 || true
        log "(delete $BUILD_DIR_I686/wine32-install.log to try the install again)"
    fi
fi
exit $rc
