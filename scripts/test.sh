#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine in a hermetic prefix.
# Extra arguments go to ctest (for example -R registry).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

ensure_packages
configure_and_build
make_prefix "$BUILD_DIR/wineprefix-test" null
start_server
trap stop_server EXIT

cd "$BUILD_DIR"
rc=0
ctest --output-on-failure -j "${TEST_JOBS:-2}" "$@" || rc=$?
exit $rc
