#!/usr/bin/env bash
# Screenshots of the program's screens under Xvfb, one PNG per screen in build/screenshots/.
#   tools/screenshots.sh            every screen
#   tools/screenshots.sh NAME ...   the named screens only (see SCREENS below)
# A screen is a function shot_NAME that starts what it shows and calls snap; an area adds its
# screens by adding one function and one line to SCREENS. Helpers for the functions:
#   hivelet WxH [VAR=value ...]    start Hivelet.exe on an emulated device screen of that size
#                                  (HIVELET_SCREEN) and wait for its main window
#   demo MODE WxH                  likewise the search windows' demo (results, toolbar, about)
#   select_key ROOT PATH [VALUE]   the position the next start opens at (last position setting)
#   dpi N                          96 or 192 for the next start (Wine's LogPixels)
#   click X Y [BUTTON]             a click at screen coordinates (3: right button)
#   snap NAME                      save the device screen as NAME.png, then end the program
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

SCREENS=(
    mainview_portrait_96
    mainview_landscape_96
    mainview_portrait_192
    mainview_landscape_192
    mainview_context_menu_96
    mainview_tree_menu_192
    mainview_menu_cascade_96
    mainview_question_96
    mainview_question_landscape_96
    export_progress_96
    commands_cut_key_96
    commands_cut_value_96
    commands_rename_key_96
    results_view_96
    results_toolbar_96
    results_searching_96
    results_view_192
    about_96
    hexedit
    editors
    dialog_search_ppc
    dialog_search_sp
    dialog_export_ppc
    dialog_export_sp
    dialog_selectfile_ppc
    dialog_selectfile_sp
    dialog_options_ppc
    dialog_options_sp
    dialog_options_import_ppc
    dialog_options_import_sp
    undo_menu_ppc_96
    undo_menu_sp_96
)

# --- Main window --------------------------------------------------------------------------

shot_mainview_portrait_96() {
    dpi 96; select_key HKCU 'Software\HiveletDemo' Greeting; hivelet 240x320; snap mainview_portrait_96
}
shot_mainview_landscape_96() {
    dpi 96; select_key HKCU 'Software\HiveletDemo' Count; hivelet 320x200; snap mainview_landscape_96
}
shot_mainview_portrait_192() {
    dpi 192; select_key HKCU 'Software\HiveletDemo' Greeting; hivelet 480x640; snap mainview_portrait_192
}
shot_mainview_landscape_192() {
    dpi 192; select_key HKCU 'Software\HiveletDemo' Count; hivelet 640x400; snap mainview_landscape_192
}
shot_mainview_context_menu_96() {
    dpi 96; select_key HKCU 'Software\HiveletDemo' Bytes; hivelet 240x320
    click 60 205 3; snap mainview_context_menu_96
}
shot_mainview_tree_menu_192() {
    dpi 192; select_key HKCU 'Software\HiveletDemo\Device'; hivelet 480x640
    click 150 150 3; snap mainview_tree_menu_192
}

# Message boxes, menus and the progress dialog open inside the device screen, not on the desktop
# around it: a submenu without room on the right opens on the left of its menu.
shot_mainview_menu_cascade_96() {
    dpi 96; select_key HKCU 'Software\HiveletDemo' Greeting; hivelet 240x320
    click 180 307; keys Down Down Right # "Menu" > "Key"
    snap mainview_menu_cascade_96
}
shot_mainview_question_96() {
    dpi 96; select_key HKCU 'Software\HiveletDemo' Greeting; hivelet 240x320
    click 120 287; keys Delete # the key name bar takes the click; the question before deleting Greeting
    snap mainview_question_96
}
shot_mainview_question_landscape_96() {
    dpi 96; select_key HKCU 'Software\HiveletDemo' Greeting; hivelet 320x240
    click 160 206; keys Delete
    snap mainview_question_landscape_96
}
# A command-line export of the whole registry, once its progress dialog has appeared.
shot_export_progress_96() {
    dpi 96; SCREEN_SIZE=240x320
    env HIVELET_SCREEN=$SCREEN_SIZE wine "$BUILD_DIR/app/Hivelet.exe" /e 'C:\whole-registry.reg' >/dev/null 2>&1 &
    PROGRAM_PID=$!
    for _ in $(seq 1 100); do
        [ "$(xdotool search --onlyvisible --name '^Hivelet$' 2>/dev/null | wc -l)" -ge 2 ] && break
        sleep 0.1
    done
    sleep 0.3
    snap export_progress_96
}

# --- Key and value commands ---------------------------------------------------------------
# The commands are reached as a user reaches them: a right click on a tree item or in the value
# list opens the context menu, whose items are walked with the arrow keys.

shot_commands_cut_key_96() {
    dpi 96; select_key HKCU 'Software\HiveletDemo\Device'; hivelet 240x320
    click 115 105 3; keys Down Down Right Return # "Edit" > "Cut" on Device
    click 115 89                                 # HiveletDemo selected: Device shows its cut look
    snap commands_cut_key_96
}
shot_commands_cut_value_96() {
    dpi 96; select_key HKCU 'Software\HiveletDemo' Greeting; hivelet 240x320
    click 60 221 3; keys Down Down Down Down Return # "Cut" on Greeting, now ghosted
    snap commands_cut_value_96
}
shot_commands_rename_key_96() {
    dpi 96; select_key HKCU 'Software\HiveletDemo\Device'; hivelet 240x320
    click 115 105 3; keys Down Down Down Return # "Rename"
    xdotool type --delay 50 'Handheld'
    sleep 1
    snap commands_rename_key_96
}

# --- Undo and Redo ----------------------------------------------------------------------------
# The Pocket PC screen deletes the value Greeting and opens the main menu ("Undo Delete Value");
# the Smartphone screen, a new start reading the journal, undoes it with Ctrl+Z (the demo branch is
# whole again) and opens the menu ("Undo" greyed, "Redo Delete Value").

shot_undo_menu_ppc_96() {
    rm -f "$BUILD_DIR/app/Hivelet.undo" # the journal (the prefix's InstallDir) starts empty
    dpi 96; select_key HKCU 'Software\HiveletDemo' Greeting; hivelet 240x320
    click 60 221 3; keys Down Down Down Down Down Down Down Down Return Return # "Delete", "Yes"
    click 200 308; snap undo_menu_ppc_96
}
shot_undo_menu_sp_96() {
    dpi 96; select_key HKCU 'Software\HiveletDemo'; hivelet 240x320 HIVELET_PLATFORM=Smartphone HIVELET_OSVERSION=5.02
    click 60 255; keys ctrl+z # the focus in the list (a click on the selected key would edit its label)
    click 200 308; snap undo_menu_sp_96
}

# --- Find results, floating toolbar, About box (a main window over an in-memory registry) ---

shot_results_view_96() {
    dpi 96; demo results 240x320; snap results_view_96
}
shot_results_toolbar_96() {
    dpi 96; demo toolbar 240x320; snap results_toolbar_96
}
shot_results_searching_96() {
    dpi 96; demo searching 240x320; snap results_searching_96
}
shot_results_view_192() {
    dpi 192; demo results 480x640; snap results_view_192
}
shot_about_96() {
    dpi 96; demo about 240x320; snap about_96
}

# --- Search, export options, file selection and options dialogs -----------------------------
# Shown by tests/dialogs/dialogs_demo.exe over an emulated 240x320 device window; _sp is the
# Smartphone (HIVELET_PLATFORM=Smartphone, version 5.02).

shot_dialog_search_ppc() { dialog search Search PocketPC dialog_search_ppc; }
shot_dialog_search_sp() { dialog search Search Smartphone dialog_search_sp; }
shot_dialog_export_ppc() { dialog export 'Export Options' PocketPC dialog_export_ppc; }
shot_dialog_export_sp() { dialog export 'Export Options' Smartphone dialog_export_sp; }
shot_dialog_selectfile_ppc() { dialog selectfile 'Select File' PocketPC dialog_selectfile_ppc; }
shot_dialog_selectfile_sp() { dialog selectfile 'Select File' Smartphone dialog_selectfile_sp; }
shot_dialog_options_ppc() { dialog options Options PocketPC dialog_options_ppc; }
shot_dialog_options_sp() { dialog options Options Smartphone dialog_options_sp; }
shot_dialog_options_import_ppc() { dialog options-import Options PocketPC dialog_options_import_ppc; }
shot_dialog_options_import_sp() { dialog options-import Options Smartphone dialog_options_import_sp; }

# --- Areas with scripts of their own (each starts its own display and demo program) -------

shot_hexedit() {
    dpi 96; bash "$ROOT/tools/screenshots-hexedit.sh" "$OUT/hexedit"
}
shot_editors() {
    dpi 96; bash "$ROOT/tools/screenshots-editors.sh"
}

# --- Helpers ------------------------------------------------------------------------------

SCREEN_SIZE=240x320
PROGRAM_PID=

dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    # The density is read when the server's first process starts.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

select_key() {
    local root=$1 path=$2 value=${3-}
    local number=0x80000001
    case "$root" in HKLM) number=0x80000002 ;; HKCR) number=0x80000000 ;; HKU) number=0x80000003 ;; esac
    local key='HKLM\SOFTWARE\Ordwyn\Keyhaven\Settings'
    wine reg add "$key" /v LastPositionRoot /t REG_DWORD /d $((number)) /f >/dev/null 2>&1
    wine reg add "$key" /v LastPositionKeyName /t REG_SZ /d "$path" /f >/dev/null 2>&1
    wine reg add "$key" /v LastPositionValueName /t REG_SZ /d "$value" /f >/dev/null 2>&1
    wine reg add "$key" /v LastPositionValueSelected /t REG_DWORD /d $([ -n "$value" ] && echo 1 || echo 0) \
        /f >/dev/null 2>&1
}

hivelet() {
    SCREEN_SIZE=$1
    shift
    env HIVELET_SCREEN="$SCREEN_SIZE" "$@" wine "$BUILD_DIR/app/Hivelet.exe" >/dev/null 2>&1 &
    PROGRAM_PID=$!
    for _ in $(seq 1 150); do
        xdotool search --name '^Hivelet$' >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1.5 # let it paint
}

keys() {
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.3
    done
    sleep 0.7
}

demo() {
    SCREEN_SIZE=$2
    env HIVELET_SCREEN="$SCREEN_SIZE" wine "$BUILD_DIR/tests/search/results_demo.exe" "$1" 60 >/dev/null 2>&1 &
    PROGRAM_PID=$!
    for _ in $(seq 1 150); do
        xdotool search --name '^Hivelet$' >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 2 # let the search end and the windows paint
}

# dialog WHICH CAPTION PLATFORM NAME: one dialog of dialogs_demo.exe, saved as NAME.png.
dialog() {
    # The demo's device window is 240x320 at 96 dpi: a density left by an earlier screen would
    # draw the dialog larger and the picture would show its top-left quarter only.
    dpi 96
    SCREEN_SIZE=240x320
    HIVELET_PLATFORM=$3 HIVELET_OSVERSION=5.02 wine "$BUILD_DIR/tests/dialogs/dialogs_demo.exe" "$1" \
        >/dev/null 2>&1 &
    PROGRAM_PID=$!
    for _ in $(seq 1 150); do
        xdotool search --name "^$2\$" >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1.5
    snap "$4"
}

click() {
    xdotool mousemove "$1" "$2" click "${3:-1}"
    sleep 1
}

snap() {
    import -window root -crop "${SCREEN_SIZE}+0+0" +repage "$OUT/$1.png"
    echo "$OUT/$1.png"
    # The next start sets its own position: the program is simply ended.
    wineserver -k 2>/dev/null || true
    wait "$PROGRAM_PID" 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

# --- Run ----------------------------------------------------------------------------------

ensure_packages
configure_and_build >/dev/null
OUT=$BUILD_DIR/screenshots
mkdir -p "$OUT"
# A free display: others may run their own Xvfb on this machine.
DISPLAY_NUMBER=${DISPLAY_NUMBER:-96}
while [ -e "/tmp/.X${DISPLAY_NUMBER}-lock" ]; do DISPLAY_NUMBER=$((DISPLAY_NUMBER + 1)); done
Xvfb ":$DISPLAY_NUMBER" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null || true' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
for _ in $(seq 1 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
make_prefix "$BUILD_DIR/wineprefix-x11" x11
seed_demo_registry
for screen in ${*:-${SCREENS[@]}}; do
    "shot_$screen"
done
dpi 96
