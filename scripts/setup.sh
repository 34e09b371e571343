#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the visual checks need (only the missing ones).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ensure_packages
