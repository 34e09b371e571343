#!/usr/bin/env bash
# Runs the 32-bit tests on a machine where the package registry cannot install Wine's 32-bit
# runtime (wine32:i386 needs i386 twins, at the same version, of amd64 libraries that came from
# another pocket than the i386 index offers). Wine's own 32-bit packages and the few libraries it
# loads are unpacked from the registry into build-i686-unpacked/wine32-root without installing
# them, the 32-bit C library comes from libc6-i386, and a 32-bit build configured with that loader
# runs every test program in its own win32 prefix. Nothing else on the system changes.
# Usage: tools/wine32-unpacked.sh [ctest args]
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
ensure_packages
dir=$BUILD_DIR_I686-unpacked
root=$dir/wine32-root
if [ ! -x "$root/usr/lib/wine/wine" ]; then
    log "unpacking Wine's 32-bit runtime into $root"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq || true # the index that breaks the install is not needed here
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq libc6-i386
    debs=$(mktemp -d)
    chmod 755 "$debs"
    (cd "$debs" && apt-get download -qq wine32:i386 libwine:i386 libfreetype6:i386 libfontconfig1:i386 \
        zlib1g:i386 libpng16-16:i386 libbrotli1:i386 libexpat1:i386 libbz2-1.0:i386)
    mkdir -p "$root/bin"
    for deb in "$debs"/*.deb; do dpkg -x "$deb" "$root"; done
    rm -rf "$debs"
    ln -sf "$root/usr/lib/wine/wine" "$root/bin/wine"
fi
# The loader first on the path (the build's emulator and the prefix scripts find it), its
# libraries, and the Windows zlib that Wine's user32 imports (outside Wine's own dll folder).
export PATH=$root/bin:$PATH
export LD_LIBRARY_PATH=$root/usr/lib/i386-linux-gnu:$root/lib/i386-linux-gnu${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
export WINEPATH='Z:\usr\i686-w64-mingw32\lib' WINEARCH=win32
trap stop_server EXIT
configure_and_build "$dir" i686
log "testing $dir (i686, unpacked runtime)"
run_tests "$dir" "$@"
