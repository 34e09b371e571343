#!/usr/bin/env bash
# Checks the platform functions Hivelet.exe and uninstall.exe import against platform/imports.txt.
#   tools/check-imports.sh BUILD_DIR [OBJDUMP NM]         fails on a function on neither list
#   tools/check-imports.sh --list BUILD_DIR [OBJDUMP NM]  prints the imports with their marks
# An import is the product's when one of the product's own objects (the folders' libraries and the
# two programs' entries, never tests) names it; the others come from the static C and C++ runtime
# the toolchain links in, and are not checked. A function named by code outside platform/ must be
# documented on the handheld (a "CE" mark); one named only in platform/ may be marked with the
# platform/ file that stands in for it on the desktop, one named only by the desktop uninstaller
# with "uninstall".
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=check
[ "${1:-}" = --list ] && { mode=list; shift; }
BUILD=$1
OBJDUMP=${2:-x86_64-w64-mingw32-objdump}
NM=${3:-x86_64-w64-mingw32-nm}
LIST=$ROOT/platform/imports.txt
FOLDERS="shd platform registry journal settings regfile search dialogs app uninstall"

imports() { # "DLL function" per import of each program
    for exe in "$BUILD/app/Hivelet.exe" "$BUILD/uninstall/uninstall.exe"; do
        "$OBJDUMP" -p "$exe" | awk '/DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
            dll && /^\t[0-9a-f]+\t? *[0-9]+  [A-Za-z_]/ { print dll, $NF }'
    done | sort -u
}

references() { # "function folder/source" per undefined symbol of the product's objects
    local dir obj
    for dir in $FOLDERS; do
        for obj in "$BUILD/$dir"/CMakeFiles/*.dir/*.obj; do
            [ -f "$obj" ] || continue
            local source=${obj#"$BUILD/"}
            source="${source%%/*}/$(basename "${obj%.obj}")"
            # 32-bit objects decorate: __imp__Name@8 for the system's calls, _name for C's.
            "$NM" -u "$obj" | awk -v src="$source" '{ s = $NF; sub(/^__imp_/, "", s);
                if (ENVIRON["DECORATED"] == 1) sub(/^_/, "", s);
                sub(/@[0-9]+$/, "", s); print s, src }'
        done
    done | sort -u
}

DECORATED=0
"$OBJDUMP" -f "$BUILD/app/Hivelet.exe" | grep -q "pei\?-i386" && DECORATED=1
export DECORATED

awk -v mode="$mode" '
    FILENAME == ARGV[1] { if ($0 !~ /^#/ && NF >= 3) mark[$2] = $3; next }
    FILENAME == ARGV[2] { split($2, p, "/"); users[$1] = users[$1] " " $2
                          if (p[1] != "platform" && p[1] != "uninstall") outside[$1] = 1
                          if (p[1] != "uninstall") handheld[$1] = 1; next }
    {
        dll = $1; fn = $2
        if (!(fn in users)) next # the toolchain runtime'\''s
        m = (fn in mark) ? mark[fn] : ""
        if (mode == "list") { printf "%-9s %-28s %-32s #%s\n", dll, fn, m == "" ? "?" : m, users[fn]; next }
        why = ""
        if (m == "") why = "is on neither list"
        else if (outside[fn] && m !~ /^CE/) why = "is not documented on the handheld (marked " m ")"
        else if (handheld[fn] && m == "uninstall") why = "is marked for the desktop uninstaller only"
        if (why != "") { printf "%s (%s) %s; called from%s\n", fn, dll, why, users[fn]; bad = 1 }
    }
    END { exit bad }' "$LIST" <(references) <(imports) || {
    echo "FAILED: mark these in platform/imports.txt, or keep the call inside platform/" >&2
    exit 1
}
[ $mode = list ] || echo "every product import is on the handheld's list or stood in for by platform/"
