# Shared by the scripts: paths, pinned environment, packages, build and Wine prefixes.
# Source it; it defines functions and exports the environment the tests rely on.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR=$ROOT/$BUILD_DIR ;; esac
BUILD_TYPE=${BUILD_TYPE:-Debug}

# Wine's ANSI code page follows the locale: C (installed everywhere) gives 1252, which the byte-exact tests assume.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# No Mono or Gecko installer prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"

PACKAGES="g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev g++-mingw-w64-i686-posix mingw-w64-i686-dev wine wine64
    googletest cmake ninja-build xvfb xauth xdotool imagemagick"
# The 32-bit build (the handheld's word size) is tested in its own tree under Wine's 32-bit runtime.
BUILD_DIR_I686=${BUILD_DIR_I686:-$BUILD_DIR-i686}

log() { echo "== $*" >&2; }

# Installs the packages that are missing, after one apt-get update.
ensure_packages() {
    local missing=""
    for pkg in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing="$missing $pkg"
    done
    [ -z "$missing" ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    log "installing:$missing"
    $sudo apt-get update -qq || true # an index that cannot be fetched leaves the others in use
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing >/dev/null
}

# Wine's 32-bit runtime (wine32:i386, after enabling the i386 architecture). Returns 1, with the
# reason in $BUILD_DIR_I686/wine32-install.log, when the package registry cannot provide it; that
# failure is remembered there, so later runs do not try again until the log is deleted.
ensure_wine32() {
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" && return 0
    local failed="$BUILD_DIR_I686/wine32-install.log" sudo=""
    [ -f "$failed" ] && return 1
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    mkdir -p "$BUILD_DIR_I686"
    log "installing wine32:i386"
    {
        dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
        $sudo apt-get update -qq || true # one unreachable index need not stop the install
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq wine32:i386
    } >"$failed.tmp" 2>&1 && { rm -f "$failed.tmp"; return 0; }
    mv "$failed.tmp" "$failed"
    return 1
}

# A developer machine with ccache shares compiled objects between build trees (worktrees alike).
if command -v ccache >/dev/null 2>&1; then
    export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
    export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$ROOT")} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi

# Configures every time (a second or two): folders join the build when they gain a CMakeLists.txt.
# configure_and_build [dir arch]: $BUILD_DIR for x86_64 by default; arch i686 for the 32-bit tree.
configure_and_build() {
    local dir=${1:-$BUILD_DIR} arch=${2:-x86_64}
    log "configuring $dir ($BUILD_TYPE, $arch)"
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$BUILD_TYPE" \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-$arch.cmake" >/dev/null
    log "building"
    cmake --build "$dir" -- -k 0
}

# make_prefix DIR DRIVER: a fresh Wine prefix with the given graphics driver (null or x11), made once.
make_prefix() {
    local dir=$1 driver=$2
    export WINEPREFIX=$dir
    if [ -f "$dir/.hivelet-ready" ]; then
        return 0
    fi
    log "making Wine prefix $dir ($driver graphics)"
    rm -rf "$dir"
    mkdir -p "$dir"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d "$driver" /f >/dev/null 2>&1
    # Windows may not steal focus from each other in tests; no crash dialog either.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # A new driver is only picked up by a new server.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    touch "$dir/.hivelet-ready"
}

# One persistent server for a whole run; ended by stop_server.
# Wine's services and the desktop window start with the first process of a server; two test
# processes racing for that first start can hang, so one small program starts them first.
start_server() {
    "${PINNED[@]}" wineserver -p 2>/dev/null || true # a server already running for this prefix serves as well
    "${PINNED[@]}" timeout 120 wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1 || true
}

# Benchmarks run the server and every measured program on one CPU: PIN=<cpu> (default 0), or
# PIN=none to leave placement to the system. On a machine with few cores each registry call's
# reply otherwise costs a wake-up on another core or none, at random, which alone moves a
# 5,000-value enumeration between 0.02 and 0.34 s. Call before start_server; run the measured
# programs as "${PINNED[@]}" wine ...
PINNED=()
set_pinning() {
    PINNED=()
    if [ "${PIN:-0}" != none ]; then
        PINNED=(taskset -c "${PIN:-0}")
        stop_server # a server already running keeps its own placement
    fi
    echo "placement: ${PINNED[*]:-any CPU}"
}

stop_server() {
    wineserver -k 2>/dev/null || true
}

# run_tests DIR [ctest args]: the tests of one build tree in its own prefix and server; returns
# ctest's result.
run_tests() {
    make_prefix "$1/wineprefix-test" null
    start_server
    local rc=0
    (cd "$1" && ctest --output-on-failure -j "${TEST_JOBS:-2}" "${@:2}") || rc=$?
    stop_server
    return $rc
}

# Writes the demo branch (HKCU\Software\HiveletDemo) and "InstallDir" into the prefix once.
# The file is ANSI (REGEDIT4): the bytes of hex(2) and hex(7) data are ANSI text there.
seed_demo_registry() {
    [ -f "$WINEPREFIX/.hivelet-seeded" ] && return 0
    local reg="$BUILD_DIR/demo.reg"
    local dir
    dir=$(winepath -w "$BUILD_DIR/app" 2>/dev/null | sed 's/\\/\\\\/g')
    cat > "$reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ordwyn\\Keyhaven]
"InstallDir"="$dir"

[HKEY_CURRENT_USER\\Software\\HiveletDemo]
@="Demo branch"
"Greeting"="Hello from Hivelet"
"Count"=dword:0000002a
"Bytes"=hex:de,ad,be,ef
"Path"=hex(2):25,57,49,4e,44,49,52,25,00
"List"=hex(7):6f,6e,65,00,74,77,6f,00,00

[HKEY_CURRENT_USER\\Software\\HiveletDemo\\Device]
"Name"="Pocket PC"
"Build"=dword:000000b7
REG
    wine regedit /s "$(winepath -w "$reg")" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.hivelet-seeded"
}
