// The find results window: its list, the "Find All" worker with the pause and resume handshake,
// and the rows handed from the worker to the window's thread.
//
// Why the waits cannot block each other: the window's thread waits for the worker (pause and
// resume acknowledgements, the worker's end), but the worker never waits for the window's
// thread. It appends a match to m_results under the lock (never held across a wait or a window
// message) and posts kRowsMessage, which does not wait; the window's thread then takes the new
// results in their order and inserts their rows. At most one kRowsMessage is in the queue at a
// time (m_rowsPosted), and a stale one is harmless: it finds no result without a row.
//
// Rows are taken at most every kRowsIntervalMs: a message that comes sooner arms a timer and
// leaves m_rowsPosted set, so the matches found meanwhile are inserted as one batch with the
// list's drawing held, instead of each waking this thread and redrawing the list on its own.
#include "search/FindResultsWnd.h"

#include "registry/RootKeys.h"
#include "res/resource.h"
#include "shd/CriticalSectionLock.h"
#include "shd/ScreenScale.h"
#include "shd/ShdFontsManager.h"

#include <commctrl.h>

#include <climits>
#include <initializer_list>

namespace {

const wchar_t kCancelRowText[] = L"< Cancel search >";
const wchar_t kNothingRowText[] = L"< Nothing was found >";
const UINT kMagenta = RGB(255, 0, 255);
const int kHeaderNotifyOne = -50; // answered with 1 from the list and from its header
const UINT_PTR kRowsTimerId = 1;
const DWORD kRowsIntervalMs = 50;

CString RowText(const CRegFinder::SSearchPosition& match)
{
    CString text = RootKeyShortName(RootKeyFromValue(match.root));
    if (!match.keyPath.IsEmpty()) {
        text += L"\\";
        text += match.keyPath;
    }
    return text;
}

} // namespace

CFindResultsWnd::CFindResultsWnd()
{
    InitializeCriticalSection(&m_lock);
    m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_pauseEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_resumeEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_ackEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

CFindResultsWnd::~CFindResultsWnd()
{
    StopWorker();
    Destroy();
    for (HANDLE event : {m_stopEvent, m_pauseEvent, m_resumeEvent, m_ackEvent}) {
        if (event)
            CloseHandle(event);
    }
    DeleteCriticalSection(&m_lock);
}

bool CFindResultsWnd::Create(HWND parent, UINT id, int x, int y, int width, int height)
{
    return CShdWnd::Create(0, nullptr, L"", WS_CHILD, x, y, width, height, parent, id,
                           GetModuleHandleW(nullptr));
}

LRESULT CFindResultsWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        // No worker outlives the window it posts to.
        StopWorker();
        m_list = nullptr;
        return 0;
    case WM_SIZE:
        if (m_list)
            MoveWindow(m_list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (m_list)
            SetFocus(m_list);
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case kFinishedMessage:
        OnSearchFinished(static_cast<UINT>(wParam));
        return 0;
    case kRowsMessage:
        OnRowsPosted();
        return 0;
    case WM_TIMER:
        if (wParam != kRowsTimerId)
            break;
        ShowNewRows();
        return 0;
    }
    return CShdWnd::WindowProc(message, wParam, lParam);
}

LRESULT CFindResultsWnd::OnCreate()
{
    if (!CreateList())
        return -1;
    ClearList();
    return 0;
}

bool CFindResultsWnd::CreateList()
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_list = CreateWindowExW(
        0, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0,
        client.right, client.bottom, m_hwnd, reinterpret_cast<HMENU>(UINT_PTR(kListId)), instance, nullptr);
    if (!m_list)
        return false;
    SendMessageW(m_list, CCM_SETVERSION, 0x20C, 0);
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = client.right - 2 * GetSystemMetrics(SM_CXVSCROLL);
    column.pszText = const_cast<wchar_t*>(L"Location");
    SendMessageW(m_list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    HFONT font = CShdFontsManager::Instance().GetDialogFont();
    SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HWND header = reinterpret_cast<HWND>(SendMessageW(m_list, LVM_GETHEADER, 0, 0));
    if (header)
        SendMessageW(header, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    bool large = IsHighResolution();
    HIMAGELIST images =
        ImageList_LoadImageW(instance, MAKEINTRESOURCEW(large ? IDB_FIND_RESULTS_32 : IDB_FIND_RESULTS_16),
                             large ? 32 : 16, 0, kMagenta, IMAGE_BITMAP, 0);
    if (images)
        SendMessageW(m_list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    return true;
}

void CFindResultsWnd::ClearList()
{
    if (m_list)
        SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    {
        CCriticalSectionLock lock(m_lock);
        m_results.RemoveAll();
        m_rowsPosted = false;
    }
    m_rowsShown = 0;
    m_cancelRow = false;
    m_nothingRow = false;
}

LRESULT CFindResultsWnd::OnNotify(const NMHDR* header)
{
    if (!header || !m_list)
        return 0;
    if (header->hwndFrom == m_list) {
        if (header->code == LVN_ITEMACTIVATE) {
            OnItemActivate(reinterpret_cast<const NMITEMACTIVATE*>(header));
            return 0;
        }
        return int(header->code) == kHeaderNotifyOne ? 1 : 0;
    }
    if (header->hwndFrom == reinterpret_cast<HWND>(SendMessageW(m_list, LVM_GETHEADER, 0, 0)))
        return int(header->code) == kHeaderNotifyOne ? 1 : 0;
    return 0;
}

void CFindResultsWnd::OnItemActivate(const NMITEMACTIVATE* activate)
{
    int row = activate->iItem;
    if (row < 0)
        row = int(SendMessageW(m_list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (row < 0)
        row = int(SendMessageW(m_list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    if (row < 0)
        return;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return;
    if (item.lParam == kCancelRowData) {
        CancelSearch();
        return;
    }
    CRegFinder::SSearchPosition match;
    if (item.lParam < 0 || item.lParam > INT_MAX || !GetResult(int(item.lParam), match))
        return;
    bool isValue = match.kind == CRegFinder::StateAtValue;
    if (m_callback && (isValue || match.kind == CRegFinder::StateAtKey))
        m_callback->OnShowFoundItem(match.root, match.keyPath, match.valueName, isValue);
}

int CFindResultsWnd::GetResultCount() const
{
    CCriticalSectionLock lock(m_lock);
    return m_results.GetSize();
}

bool CFindResultsWnd::GetResult(int index, CRegFinder::SSearchPosition& result) const
{
    CCriticalSectionLock lock(m_lock);
    const CRegFinder::SSearchPosition* found = m_results.GetAt(index);
    if (!found)
        return false;
    result = *found;
    return true;
}

void CFindResultsWnd::GetStateText(CString& text) const
{
    static const wchar_t* const texts[] = {L"Ready", L"Search in progress...", L"Search paused",
                                           L"Search finished", L"Search cancelled"};
    text = m_state < sizeof(texts) / sizeof(texts[0]) ? texts[m_state] : L"";
}

void CFindResultsWnd::SetState(DWORD state)
{
    m_state = state;
    if (m_callback)
        m_callback->OnSearchStateChanged();
}

void CFindResultsWnd::InsertRow(int row, const wchar_t* text, int image, LPARAM data)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(text);
    item.iImage = image;
    item.lParam = data;
    SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void CFindResultsWnd::OnRowsPosted()
{
    if (m_rowsTimer)
        return;
    const DWORD since = GetTickCount() - m_rowsShownAt;
    if (since < kRowsIntervalMs && SetTimer(m_hwnd, kRowsTimerId, kRowsIntervalMs - since, nullptr))
        m_rowsTimer = true;
    else
        ShowNewRows();
}

void CFindResultsWnd::ShowNewRows()
{
    if (m_rowsTimer) {
        KillTimer(m_hwnd, kRowsTimerId);
        m_rowsTimer = false;
    }
    m_rowsShownAt = GetTickCount();
    int count;
    {
        // Cleared before the count is read: a match added after this posts a new message.
        CCriticalSectionLock lock(m_lock);
        m_rowsPosted = false;
        count = m_results.GetSize();
    }
    const bool batch = count - m_rowsShown > 1;
    if (batch)
        SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    for (; m_rowsShown < count; ++m_rowsShown) {
        CRegFinder::SSearchPosition match;
        if (!GetResult(m_rowsShown, match))
            break;
        int end = int(SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0));
        InsertRow(end, RowText(match), match.kind == CRegFinder::StateAtValue ? ImageValue : ImageKey,
                  m_rowsShown);
    }
    if (batch)
        SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
}

void CFindResultsWnd::UpdateSpecialRows()
{
    if (m_cancelRow) {
        SendMessageW(m_list, LVM_DELETEITEM, 0, 0);
        m_cancelRow = false;
    }
    if (GetResultCount() == 0 && !m_nothingRow) {
        InsertRow(0, kNothingRowText, ImageNothing, kNothingRowData);
        m_nothingRow = true;
    }
}

void CFindResultsWnd::StartSearch(const SSearchOptions& options, const CRegFinder::SStartPosition& start)
{
    if (!m_hwnd)
        return;
    StopWorker();
    ClearList();
    InsertRow(0, kCancelRowText, ImageCancel, kCancelRowData);
    m_cancelRow = true;
    ++m_serial;
    SetState(StateInProgress);
    m_finder.SetOptions(options, start);
    // Without a worker the search reads as in progress until the user cancels it.
    StartWorker();
}

void CFindResultsWnd::PauseSearch()
{
    if (m_state != StateInProgress)
        return;
    Handshake(m_pauseEvent);
    SetState(StatePaused);
}

void CFindResultsWnd::ResumeSearch()
{
    if (m_state != StatePaused)
        return;
    Handshake(m_resumeEvent);
    SetState(StateInProgress);
}

void CFindResultsWnd::CancelSearch()
{
    StopWorker();
    if (m_state == StateReady)
        return;
    ShowNewRows();
    UpdateSpecialRows();
    if (IsSearchActive())
        SetState(StateCancelled);
}

void CFindResultsWnd::OnSearchFinished(UINT serial)
{
    // A worker of an earlier search may have ended by itself just before a new one started.
    if (serial != m_serial)
        return;
    StopWorker();
    ShowNewRows();
    UpdateSpecialRows();
    if (IsSearchActive())
        SetState(StateFinished);
}

// The caller returns once the worker has taken the request or has ended.
bool CFindResultsWnd::Handshake(HANDLE request)
{
    if (!m_thread)
        return false;
    ResetEvent(m_ackEvent);
    SetEvent(request);
    HANDLE waits[2] = {m_ackEvent, m_thread};
    return WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_FAILED;
}

bool CFindResultsWnd::StartWorker()
{
    if (m_thread || !m_stopEvent || !m_pauseEvent || !m_resumeEvent || !m_ackEvent)
        return false;
    for (HANDLE event : {m_stopEvent, m_pauseEvent, m_resumeEvent, m_ackEvent})
        ResetEvent(event);
    m_notifyWindow = m_hwnd;
    m_thread = CreateThread(nullptr, 32768, WorkerProc, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    return m_thread != nullptr;
}

void CFindResultsWnd::StopWorker()
{
    if (!m_thread)
        return;
    SetEvent(m_stopEvent);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

DWORD WINAPI CFindResultsWnd::WorkerProc(void* parameter)
{
    static_cast<CFindResultsWnd*>(parameter)->RunWorker();
    return 0;
}

// A step in flight while paused runs to its end on the finder's thread; its match is collected
// only after resuming, since the done event is not waited on while paused.
void CFindResultsWnd::RunWorker()
{
    HANDLE events[4] = {m_stopEvent, m_pauseEvent, m_resumeEvent, m_finder.GetDoneEvent()};
    bool paused = false, stepRunning = false;
    for (;;) {
        if (!paused && !stepRunning) {
            if (!m_finder.Start())
                break;
            stepRunning = true;
        }
        DWORD signalled = WaitForMultipleObjects(paused ? 3 : 4, events, FALSE, INFINITE);
        if (signalled == WAIT_OBJECT_0 + 1 || signalled == WAIT_OBJECT_0 + 2) {
            ResetEvent(events[signalled - WAIT_OBJECT_0]);
            paused = signalled == WAIT_OBJECT_0 + 1;
            SetEvent(m_ackEvent);
            continue;
        }
        if (signalled != WAIT_OBJECT_0 + 3)
            break; // stop, or a failed wait
        stepRunning = false;
        CRegFinder::SSearchPosition match;
        if (!m_finder.GetResult(match))
            break;
        AddMatch(match);
    }
    m_finder.Cancel();
    if (!IsStopSignalled())
        PostMessageW(m_notifyWindow, kFinishedMessage, m_serial, 0);
}

void CFindResultsWnd::AddMatch(const CRegFinder::SSearchPosition& match)
{
    bool post;
    {
        CCriticalSectionLock lock(m_lock);
        if (m_results.Add(match) < 0)
            return;
        post = !m_rowsPosted;
        m_rowsPosted = true;
    }
    if (post)
        PostMessageW(m_notifyWindow, kRowsMessage, 0, 0);
}
