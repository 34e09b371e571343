// Shared by the main view's tests: a main window that records its popups and can be given a
// search state, and helpers that read the tree and the list as a user sees them.
#pragma once

#include "app/MainWnd.h"
#include "tests/support/RegistryTest.h"

#include <memory>
#include <string>
#include <vector>

class CTestMainWnd : public CMainWnd
{
public:
    CTestMainWnd() : CMainWnd(true, L"") {}

    SSearchState m_search;
    std::vector<UINT> m_trackedFirstIds; // first item id of each popup tracked (0 for a sub-popup)
    using CMainWnd::m_clipKeyPath;
    using CMainWnd::m_clipRoot;
    using CMainWnd::m_clipState;
    using CMainWnd::m_clipValueName;

protected:
    void TrackPopup(HMENU popup, POINT) override;
    SSearchState GetSearchState() const override { return m_search; }
};

// A command-line-mode main window (no stored position is read or written) over the test's key.
class CMainViewTest : public CRegistryTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    CRegTree& Tree() { return m_main->GetTree(); }
    HWND List() { return m_main->GetList(); }
    // The test key's sub path below HKEY_CURRENT_USER.
    CString Sub(const wchar_t* path) const;
    bool Select(const wchar_t* path) { return Tree().SelectPath(HKEY_CURRENT_USER, Sub(path)); }
    HTREEITEM Item(const wchar_t* path) { return Tree().FindItem(HKEY_CURRENT_USER, Sub(path)); }
    std::vector<std::wstring> Labels(HTREEITEM parent);
    // Not loaded yet, with an expand button.
    bool Unloaded(HTREEITEM item) { return Labels(item).empty() && Tree().HasButton(item); }
    int Image(HTREEITEM item);
    std::wstring ListText(int row, int column);
    int ListImage(int row);
    void CreateKey(const wchar_t* path);
    void DeleteKey(const wchar_t* path);
    // Resizes the main window so that its client area is width x height.
    void SetClientSize(int width, int height);
    RECT ChildRect(HWND child);

    std::unique_ptr<CTestMainWnd> m_main;
};

// Drops posted start-up and quit messages of main windows made and ended by a test.
void DrainMainWindowMessages();
