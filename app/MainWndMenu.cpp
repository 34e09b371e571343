// UpdateMenu: the enabled states and changing texts of every menu the main window opens (menu
// bar popups and context menus), from the selection, the clipboard and the search windows.
#include "app/MainWnd.h"

#include "settings/Settings.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"

namespace {

const UINT kKeyCommands[] = {ID_KEY_PROPERTIES,   ID_KEY_NEW,         ID_KEY_COPY_NAME,
                             ID_KEY_ADD_BOOKMARK, ID_VALUE_REFRESH,   ID_VALUE_NEW_STRING,
                             ID_VALUE_NEW_EXPAND, ID_VALUE_NEW_DWORD, ID_VALUE_NEW_BINARY,
                             ID_VALUE_NEW_MULTI,  ID_VALUE_NEW_CUSTOM};
const UINT kSubkeyCommands[] = {ID_KEY_RENAME, ID_KEY_DELETE, ID_KEY_CUT, ID_KEY_COPY};
const UINT kValueCommands[] = {ID_VALUE_EDIT,   ID_VALUE_EDIT_BINARY, ID_VALUE_DELETE,
                               ID_VALUE_RENAME, ID_VALUE_CUT,         ID_VALUE_COPY};
const UINT kMainViewCommands[] = {ID_REGISTRY_REFRESH, ID_REGISTRY_IMPORT, ID_REGISTRY_EXPORT,
                                  ID_KEY_REFRESH};

void Enable(HMENU menu, UINT id, bool enabled)
{
    EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

template <size_t N> void EnableAll(HMENU menu, const UINT (&ids)[N], bool enabled)
{
    for (UINT id : ids)
        Enable(menu, id, enabled);
}

void SetText(HMENU menu, UINT id, const wchar_t* text)
{
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_TYPE;
    info.fType = MFT_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text);
    SetMenuItemInfoW(menu, id, FALSE, &info);
}

} // namespace

void CMainWnd::UpdateMenu(HMENU menu)
{
    if (!menu)
        return;
    HKEY root = nullptr;
    CString path, valueName;
    int valueIndex = -1;
    const bool K = GetCurrentKey(root, path);
    const bool V = GetSelectedValue(valueIndex, valueName);
    const SSearchState search = GetSearchState();
    const bool R = search.resultsVisible, S = search.searchActive, T = search.toolbarVisible;
    const bool P = search.paused, H = search.hasSearch, F = search.findNextReady;

    Enable(menu, ID_SEARCH_FIND_NEXT, F && !R && !S);
    Enable(menu, ID_SEARCH_START, !S);
    Enable(menu, ID_SEARCH_STOP, S);
    SetText(menu, ID_SEARCH_PAUSE, P ? L"Resume Search" : L"Pause Search");
    Enable(menu, ID_SEARCH_PAUSE, S);

    EnableAll(menu, kKeyCommands, K && !R);
    EnableAll(menu, kSubkeyCommands, K && !path.IsEmpty() && !R);
    EnableAll(menu, kValueCommands, V && !R);
    Enable(menu, ID_PASTE, K && m_clipState != kClipEmpty && !R);
    Enable(menu, ID_KEY_PASTE, K && m_clipState != kClipEmpty && !R);
    Enable(menu, ID_VALUE_PASTE,
           K && (m_clipState == kClipValueCut || m_clipState == kClipValueCopied) && !R);
    EnableAll(menu, kMainViewCommands, !R);

    SetText(menu, ID_SEARCH_SHOW_RESULTS, R ? L"Show Main Window" : L"Show Search Results");
    Enable(menu, ID_SEARCH_SHOW_RESULTS, R || H);
    SetText(menu, ID_SEARCH_SHOW_TOOLBAR, T ? L"Hide Search Toolbar" : L"Show Search Toolbar");
    Enable(menu, ID_SEARCH_SHOW_TOOLBAR, Settings().GetShowSearchToolbar() && (T || R || H));
    if (IsSmartphone())
        DeleteMenu(menu, ID_SEARCH_SHOW_TOOLBAR, MF_BYCOMMAND);
    UpdateUndoMenu(menu);
}
