// CMainWnd: the program's one top-level window: the key tree and the value list with a splitter
// between them, the key name bar along the bottom, the find results window that can cover them,
// the floating search toolbar, the menu bar, and the command line of a command-line run with its
// export and import jobs. Its source is split by concern:
//   MainWnd.cpp            creation, layout, last position, destruction
//   MainWndNotify.cpp      tree and list notifications, context menus, focus, input panel
//   MainWndMenu.cpp        UpdateMenu: enabled states and texts of the menus
//   MainWndValueList.cpp   the value list (FillValueList and its lookups)
//   MainWndCommands.cpp    command dispatch
//   MainWndFindCommands.cpp "Start..." and "Find Next": the search dialog and the Find Next steps
//   MainWndFileCommands.cpp "Export...", "Import..." and "Options..."
//   MainWndClipboard.cpp   the program clipboard: cut, copy and paste of keys and values
//   MainWndKeyCommands.cpp delete, rename, new key, properties, bookmarks, refresh, Delete key
//   MainWndValueCommands.cpp delete, rename, new and edit of values
//   MainWndSearch.cpp      the find results window, the floating toolbar, their commands, About
//   MainWndCommandLine.cpp the command line and the export and import jobs
//   CMainWnd main(commandLineMode, arguments); main.CreateMain(instance) -> message loop
//   ExitCode(): in a silent run 0 all done, 1 an import or export failed, 2 invalid command line;
//               0 otherwise, since the messages have told the user
#pragma once

#include "app/KeyNameWnd.h"
#include "app/RegTree.h"
#include "journal/JournalCommand.h"
#include "journal/UndoJournal.h"
#include "platform/AygShell.h"
#include "registry/ShdBinaryBuffer.h"
#include "registry/ShdRegKey.h"
#include "search/FindResultsWnd.h"
#include "search/FloatingToolBar.h"
#include "search/RegFinder.h"
#include "shd/ShdWnd.h"
#include "shd/SplitterWnd.h"
#include "shd/String.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>

class CMainWnd : public CShdWnd, public CFindResultsWnd::ICallback
{
public:
    static const wchar_t kInteractiveClass[];
    static const wchar_t kCommandLineClass[];
    static const UINT kStartupMessage = WM_APP + 100;
    static const UINT kSplitterMessage = WM_USER + 1;

    enum EChildId
    {
        kTreeId = 101,
        kListId = 102,
        kSplitterId = 103,
        kKeyNameId = 104,
        kFindResultsId = 105,
        kFloatingToolBarId = 106
    };

    // The program clipboard (names, not data).
    enum EClipState
    {
        kClipEmpty = 0,
        kClipValueCut = 1,
        kClipValueCopied = 2,
        kClipKeyCut = 3,
        kClipKeyCopied = 4
    };

    // What the menus need to know of the search windows.
    struct SSearchState
    {
        bool resultsVisible = false; // the find results window is shown
        bool searchActive = false;   // its search runs or is paused
        bool toolbarVisible = false; // the floating toolbar is shown
        bool paused = false;         // its search is paused
        bool hasSearch = false;      // its state is not "ready"
        bool findNextReady = false;  // "Find Next" has options and is not finished
    };

    CMainWnd(bool commandLineMode, const wchar_t* arguments);
    ~CMainWnd() override;

    bool CreateMain(HINSTANCE instance);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void ProcessCommandLine(const wchar_t* commandLine);
    bool ExportFromCommandLine(const CString& file, const CString& key);
    void ImportWithConfirmation(bool silent, const CString& file);
    // The jobs; true when the work was done without errors.
    bool RunExport(const wchar_t* fileName, bool unicode, HKEY root, const wchar_t* subkeyPath);
    bool RunImport(const wchar_t* fileName);

    bool IsCommandLineMode() const { return m_commandLineMode; }
    // The undo journal the commands record into (none: nothing is recorded, Undo stays greyed).
    void SetJournal(CUndoJournal* journal) { m_journal = journal; }
    int ExitCode() const { return m_silent ? m_exitCode : 0; }

    // The view.
    CRegTree& GetTree() { return m_tree; }
    HWND GetList() const { return m_list; }
    CSplitterWnd& GetSplitter() { return m_splitter; }
    CKeyNameWnd& GetKeyNameBar() { return m_keyName; }
    HWND GetMenuBar() const { return m_menuBar; }
    HWND GetInputPanel() const { return m_inputPanel; }
    void Layout(bool fromSplitter);
    void UpdateMenu(HMENU menu);

    // The key of the tree's selection; false for none and for the "Registry" item.
    bool GetCurrentKey(HTREEITEM& item, HKEY& root, CString& path) const;
    bool GetCurrentKey(HKEY& root, CString& path) const;
    bool GetSelectedValue(int& index, CString& name) const;

    // The value list.
    void FillValueList(HTREEITEM item, bool keepSelection, const wchar_t* nameToSelect);
    bool SelectValueByName(const wchar_t* name);
    int FindValueItem(const wchar_t* name) const;
    void SetValueCutLook(int index, bool cut);
    int GetLongestValueName() const { return m_longestValueName; }

    // The search windows.
    void ShowResultsView(bool show);
    void SetToolbarVisible(bool show);
    CFindResultsWnd& GetFindResults() { return m_findResults; }
    CFloatingToolBar& GetSearchToolBar() { return m_toolBar; }
    void OnSearchStateChanged() override;
    void OnShowFoundItem(DWORD root, const CString& keyPath, const CString& valueName, bool isValue) override;
    void OnShowFoundItem(HKEY root, const wchar_t* path, const wchar_t* valueName, bool isValue);

    // "name (n)" for the first n from 2 to 32767 that exists() refuses, where name loses a
    // " (n)" of its own with n > 0; false when every candidate exists.
    static bool MakeUniqueName(const wchar_t* name, const std::function<bool(const CString&)>& exists,
                               CString& unique);

protected:
    // Tracks a context or menu-bar popup at a screen point; tests record instead.
    virtual void TrackPopup(HMENU popup, POINT screen);
    virtual SSearchState GetSearchState() const;

    // The program clipboard and the pending value rename (the key and value commands).
    int m_clipState = kClipEmpty;
    HKEY m_clipRoot = nullptr;
    CString m_clipKeyPath;
    CString m_clipValueName;
    bool m_renamePending = false;
    HKEY m_renameRoot = nullptr;
    CString m_renameKeyPath;
    CString m_renameOldName;
    CString m_renameNewName;
    // Set while a key rename runs: the tree-view reports the end of a label edit again when its
    // editor loses the focus to the rename's own message box.
    bool m_keyRenameRunning = false;

private:
    // Creation, layout, position (MainWnd.cpp).
    LRESULT OnCreate();
    bool CreateMenuBarForPlatform();
    bool CreateValueList(int width, int height);
    void OnStartup();
    void OnDestroy();
    void RestoreLastPosition();
    void SaveLastPosition();
    void OnSplitterMoved(WPARAM phase, LPARAM offsets);
    void MoveChild(HWND child, int left, int top, int right, int bottom);

    // Notifications, context menus, focus (MainWndNotify.cpp).
    LRESULT OnNotify(const NMHDR* header);
    LRESULT OnTreeNotify(const NMHDR* header);
    LRESULT OnListNotify(const NMHDR* header);
    void OnTreeContextMenu(POINT screen);
    void OnListContextMenu(POINT screen);
    void ShowContextMenu(UINT menuId, POINT screen);
    void OnTreeSelChanging(const NMTREEVIEWW* info);
    void OnTreeEnter();
    void OnListSetFocus();
    void CreateInputPanel(HWND control);
    void RemoveInputPanel();
    void FocusForward();
    void FocusBackward();

    // Value list (MainWndValueList.cpp).
    void CreateValueColumns(int width);
    bool InsertValueRow(int row, const wchar_t* name, int image, const wchar_t* text);
    void SelectValueItem(int index);
    bool GetValueName(int index, int room, CString& name) const;

    // Commands (MainWndCommands.cpp).
    void OnCommand(UINT id);
    void DispatchCommand(UINT id);
    bool OnKeyCommand(UINT id);
    bool OnValueCommand(UINT id);
    bool OnSearchCommand(UINT id);
    void ClearClipboard();
    void OnCutKey();
    void OnCopyKey();
    void OnPaste();
    void OnPasteKey();
    void OnPasteValue();
    void OnDeleteKey();
    void OnRenameKey();
    void EndKeyRename(const CRegTree::SRenameInfo& rename);
    void OnNewKey();
    void OnKeyProperties();
    void OnCopyKeyName();
    void OnAddBookmark();
    void OnBookmarks();
    void OnRefreshKey();
    void OnCutValue();
    void OnCopyValue();
    void OnDeleteValue();
    void OnRenameValue();
    bool BeginValueRename(int index);
    void EndValueRename(const wchar_t* newName);
    void OnNewValue(DWORD type, bool custom);
    void OnEditValue(bool asBinary);
    void OnRefreshValues();
    void OnRefreshRegistry();
    void OnDeleteSelected();
    // The key and value commands' own steps (MainWndClipboard.cpp, MainWndKeyCommands.cpp).
    void OnCopyKey(bool cut);
    void OnCopyValue(bool cut);
    void PasteValueIntoSource(CShdRegKey& source, DWORD type, const CShdBinaryBuffer& data);
    void PasteValueElsewhere(CShdRegKey& source, HKEY root, const CString& path, DWORD type,
                             const CShdBinaryBuffer& data);
    bool MakeKeyPasteTarget(HKEY root, const CString& path, CString& newPath);
    void CopyKeyBranch(HTREEITEM target, HKEY root, const CString& newPath);
    bool ClipboardInBranch(HKEY root, const CString& path) const;
    bool ClipboardNamesValue(HKEY root, const CString& path, const CString& name) const;
    void ReportError(const wchar_t* text);
    // Undo and Redo (MainWndUndo.cpp).
    static const wchar_t* JournaledName(UINT id, bool listFocused);
    void OnUndo();
    void OnRedo();
    void OnFocusedPaneCommand(UINT id);
    void UpdateUndoMenu(HMENU menu);
    // Before a command deletes a branch: false when the user keeps it because it is too large
    // to be undone.
    bool AllowUndoOf(HKEY root, const CString& path);
    // Deletes a branch AllowUndoOf captured, through the names the capture read.
    bool DeleteCapturedBranch(HKEY root, const CString& path);
    void OnSearch();
    void OnFindNext();
    void OnPauseSearch();
    void OnStopSearch();
    void OnSwitchView();
    void OnToggleToolbar();
    void OnExport();
    void OnImport();
    void OnOptions();
    void OnAbout();

    // Export and import (MainWndFileCommands.cpp).
    void ExportToChosenFile();
    void ImportChosenFile();

    // Searching (MainWndFindCommands.cpp).
    void GetSearchStart(CRegFinder::SStartPosition& start) const;
    bool ShowFoundPosition(const CRegFinder::SSearchPosition& found);
    void RestoreFocus(bool toList);

    // Search windows (MainWndSearch.cpp).
    void StartFindAll(const SSearchOptions& options);
    bool CreateSearchWindows();
    void MoveSearchWindows(int width, int workHeight);
    void PlaceToolBar();
    CString GetResultsStateText() const;
    void EnableMenuBarFirstButton(bool enable);
    // Selects a found key; for a found value its list is then current (read again if need be).
    bool SelectFoundKey(HKEY root, const wchar_t* path, bool forValue);

    // Command line and jobs (MainWndCommandLine.cpp).
    void Message(const wchar_t* text, UINT style);

    CClass m_interactiveClass;
    CClass m_commandLineClass;
    const bool m_commandLineMode;
    CString m_arguments;
    SHACTIVATEINFO m_activation = {};
    HWND m_menuBar = nullptr;
    CRegTree m_tree;
    HWND m_list = nullptr;
    CSplitterWnd m_splitter;
    CKeyNameWnd m_keyName;
    CFindResultsWnd m_findResults;
    CFloatingToolBar m_toolBar;
    HWND m_inputPanel = nullptr;
    int m_splitSide = 0;
    int m_splitStacked = 0;
    bool m_contextMenuOpen = false;
    int m_longestValueName = 0;
    CRegFinder m_finder; // "Find Next"
    bool m_silent = false;
    CUndoJournal* m_journal = nullptr;
    CJournalCommand* m_journalCommand = nullptr; // the entry of the command under way
    int m_exitCode = 0;
};
