// CFindResultsWnd: runs a "Find All" on a worker thread of its own and lists every match as a row
// of a report list, in the order found, until the registry has been searched once around or the
// user cancels; the search can be paused and resumed. Activating a row asks the callback to show
// that key or value.
//   Create(parent, 105, ...) -> SetCallback -> StartSearch(options, start)
//   PauseSearch / ResumeSearch / CancelSearch; GetStateText for the key name bar
#pragma once

#include "search/RegFinder.h"
#include "shd/ShdObjArray.h"
#include "shd/ShdWnd.h"
#include "shd/String.h"

#include <windows.h>
#include <commctrl.h>

class CFindResultsWnd : public CShdWnd
{
public:
    class ICallback
    {
    public:
        // The state changed: menus, toolbar buttons and the key name bar follow it.
        virtual void OnSearchStateChanged() = 0;
        // Select that key (and value) in the main view.
        virtual void OnShowFoundItem(DWORD root, const CString& keyPath, const CString& valueName,
                                     bool isValue) = 0;

    protected:
        ~ICallback() = default;
    };

    enum EState : DWORD
    {
        StateReady = 0,
        StateInProgress = 1,
        StatePaused = 2,
        StateFinished = 3,
        StateCancelled = 4
    };

    static const UINT kFinishedMessage = WM_USER + 101; // wParam: the search's serial number
    static const UINT kRowsMessage = WM_USER + 102;     // new results wait for their rows
    static const UINT kListId = 101;
    static const LPARAM kCancelRowData = 0x7FFF0001;
    static const LPARAM kNothingRowData = 0x7FFF0002;
    enum EImage
    {
        ImageNothing = 0,
        ImageCancel = 1,
        ImageKey = 2,
        ImageValue = 3
    };

    CFindResultsWnd();
    ~CFindResultsWnd() override;

    // A hidden child window; false if it exists already or its list cannot be made.
    bool Create(HWND parent, UINT id, int x, int y, int width, int height);
    void SetCallback(ICallback* callback) { m_callback = callback; }

    void StartSearch(const SSearchOptions& options, const CRegFinder::SStartPosition& start);
    void PauseSearch();
    void ResumeSearch();
    void CancelSearch();

    void GetStateText(CString& text) const;
    DWORD GetState() const { return m_state; }
    bool IsSearchActive() const { return m_state == StateInProgress || m_state == StatePaused; }
    bool IsPaused() const { return m_state == StatePaused; }
    bool HasSearch() const { return m_state != StateReady; }
    HWND GetListHwnd() const { return m_list; }
    const CRegFinder& GetFinder() const { return m_finder; }
    int GetResultCount() const;
    bool GetResult(int index, CRegFinder::SSearchPosition& result) const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnCreate();
    LRESULT OnNotify(const NMHDR* header);
    void OnSearchFinished(UINT serial);
    void OnItemActivate(const NMITEMACTIVATE* activate);
    bool CreateList();
    void ClearList();
    void SetState(DWORD state);
    void InsertRow(int row, const wchar_t* text, int image, LPARAM data);
    void OnRowsPosted();
    void ShowNewRows();
    void UpdateSpecialRows();
    bool Handshake(HANDLE request);
    bool StartWorker();
    void StopWorker();

    static DWORD WINAPI WorkerProc(void* parameter);
    void RunWorker();
    void AddMatch(const CRegFinder::SSearchPosition& match);
    bool IsStopSignalled() const { return WaitForSingleObject(m_stopEvent, 0) == WAIT_OBJECT_0; }

    ICallback* m_callback = nullptr;
    DWORD m_state = StateReady;
    bool m_cancelRow = false;
    bool m_nothingRow = false;
    int m_rowsShown = 0;     // results that have their row, on the window's thread
    DWORD m_rowsShownAt = 0; // tick count when rows were last taken
    bool m_rowsTimer = false;

    // Shared with the worker, under m_lock.
    mutable CRITICAL_SECTION m_lock;
    CShdObjArray<CRegFinder::SSearchPosition> m_results;
    bool m_rowsPosted = false;

    // Set before the worker starts and left alone while it runs.
    HANDLE m_thread = nullptr;
    HWND m_notifyWindow = nullptr;
    UINT m_serial = 0;

    HANDLE m_stopEvent;
    HANDLE m_pauseEvent;
    HANDLE m_resumeEvent;
    HANDLE m_ackEvent;
    CRegFinder m_finder;
    HWND m_list = nullptr;
};
