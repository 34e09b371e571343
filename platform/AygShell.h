// Desktop stand-ins for the handheld shell library (aygshell) and the few kernel calls only
// the handheld has. Same names, structures and constants as on the device, so product code
// calls them as it would there:
//   SHCreateMenuBar        a toolbar-class bar below its owner, buttons from a menu or a
//                          soft-key bar resource; popups open with TrackPopupMenu
//   SHInitDialog           full-screen sizing over the emulated device screen
//   SHHandleWMActivate, SHHandleWMSettingChange, SHSipPreference, SHDoneButton,
//   SHInitExtraControls    accepted, nothing to do on the desktop ("SIPPREF" gets registered)
//   SHRecognizeGesture     without SHRG_RETURNCMD notifies the parent with GN_CONTEXTMENU
//   SHSendBackToFocusWindow a Backspace to the focused control
//   EventModify, GetClipboardDataAlloc
#pragma once

#include <windows.h>
#include <commctrl.h>

// Menu bar.
struct SHMENUBARINFO
{
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
};
typedef SHMENUBARINFO* PSHMENUBARINFO;

#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010

#define SHCMBM_SETSUBMENU (WM_USER + 400)
#define SHCMBM_GETSUBMENU (WM_USER + 401)
#define SHCMBM_GETMENU (WM_USER + 402)
#define SHCMBM_OVERRIDEKEY (WM_USER + 403)

#define SHMBOF_NODEFAULT 0x00000001
#define SHMBOF_NOTIFY 0x00000002

#define VK_TBACK VK_ESCAPE
// The two soft keys below the screen, left and right.
#define VK_TSOFT1 VK_F1
#define VK_TSOFT2 VK_F2
#ifndef MOD_KEYUP
#define MOD_KEYUP 0x1000
#endif

// A soft-key bar resource (RT_RCDATA) lists WORDs: the menu id holding the popups, the button
// count, then per button: image, command, state, style, string id, 0, popup index or NOMENU.
#define NOMENU 0xFFFF
#ifndef I_IMAGENONE
#define I_IMAGENONE (-2)
#endif

BOOL SHCreateMenuBar(SHMENUBARINFO* info);

// Dialog initialisation.
struct SHINITDLGINFO
{
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};
typedef SHINITDLGINFO* PSHINITDLGINFO;

#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020
#define SHIDIF_WANTSCROLLBAR 0x0040

BOOL SHInitDialog(PSHINITDLGINFO info);

// The device screen asked for by the environment (HIVELET_SCREEN=WxH, e.g. 240x320): a
// full-screen window without an owner covers that much of the work area, menu bar included.
bool GetDeviceScreenSize(SIZE& size);

// Height of a menu bar at the screen's density; full-screen windows leave it free at the bottom.
int GetMenuBarHeight();

// Activation and settings.
struct SHACTIVATEINFO
{
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};

BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags);
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

// Input panel.
enum SIPSTATE
{
    SIP_UP = 0,
    SIP_DOWN,
    SIP_FORCEDOWN,
    SIP_UNCHANGED,
    SIP_INPUTDIALOG
};
BOOL SHSipPreference(HWND window, SIPSTATE state);
// Registers the invisible "SIPPREF" class (also done by the other shell calls).
BOOL SHInitExtraControls();

#define SHDB_SHOW 0x0001
#define SHDB_HIDE 0x0002
#define SHDB_SHOWCANCEL 0x0004
BOOL SHDoneButton(HWND window, DWORD state);

// Tap-and-hold.
struct SHRGINFO
{
    DWORD cbSize;
    HWND hwndClient;
    POINT ptDown; // client coordinates of hwndClient
    DWORD dwFlags;
};
typedef SHRGINFO* PSHRGINFO;

#define SHRG_RETURNCMD 0x00000001
#define SHRG_NOTIFYPARENT 0x00000002
#define SHRG_LONGDELAY 0x00000008
#define SHRG_NOANIMATION 0x00000010

#define GN_CONTEXTMENU 1000

struct NMRGINFO
{
    NMHDR hdr;
    POINT ptAction; // screen coordinates
    DWORD dwItemSpec;
};
typedef NMRGINFO* PNMRGINFO;

DWORD SHRecognizeGesture(SHRGINFO* info);

// Back key: WM_HOTKEY with VK_TBACK in the high word of lParam becomes a Backspace.
void SHSendBackToFocusWindow(UINT message, WPARAM wParam, LPARAM lParam);

// Kernel.
#define EVENT_PULSE 1
#define EVENT_RESET 2
#define EVENT_SET 3
BOOL EventModify(HANDLE event, DWORD function);

// A LocalAlloc copy of the open clipboard's data in that format (LocalFree it), or NULL.
HANDLE GetClipboardDataAlloc(UINT format);
