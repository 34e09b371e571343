// The find results window against the in-memory registry: rows in the engine's order, the
// special rows, activation, pause and resume, a new search over a running one, and a seeded
// storm of pauses, resumes and stops that must neither hang nor lose nor repeat a row.
#include "search/FindResultsWnd.h"
#include "tests/search/SearchTree.h"

#include <commctrl.h>

#include <atomic>
#include <random>

namespace {

class CRecordingCallback : public CFindResultsWnd::ICallback
{
public:
    struct SShown
    {
        DWORD root;
        std::wstring keyPath, valueName;
        bool isValue;
    };

    void OnSearchStateChanged() override { states.push_back(window->GetState()); }
    void OnShowFoundItem(DWORD root, const CString& keyPath, const CString& valueName, bool isValue) override
    {
        shown.push_back({root, keyPath.c_str(), valueName.c_str(), isValue});
    }

    CFindResultsWnd* window = nullptr;
    std::vector<DWORD> states;
    std::vector<SShown> shown;
};

class FindResultsWnd : public CSearchTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.Create(0, nullptr, L"", WS_POPUP, 0, 0, 240, 300, nullptr, 0, nullptr));
        ASSERT_TRUE(m_results.Create(m_parent.GetHwnd(), 105, 0, 0, 240, 280));
        m_callback.window = &m_results;
        m_results.SetCallback(&m_callback);
        m_gateReached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        // Holds the finder's step inside a registry call once m_holdAt results are listed, until
        // the step is cancelled.
        m_memory.SetCallHook([this](IRegistryBackend::EOperation) {
            int holdAt = m_holdAt;
            if (holdAt < 0 || m_results.GetResultCount() < holdAt)
                return;
            SetEvent(m_gateReached);
            WaitForSingleObject(m_results.GetFinder().GetStopEvent(), INFINITE);
        });
    }
    void TearDown() override
    {
        m_results.CancelSearch();
        m_memory.SetCallHook(nullptr);
        CloseHandle(m_gateReached);
    }

    static CString Path(const wchar_t* format, int number)
    {
        CString path;
        path.Format(format, number);
        return path;
    }
    void HoldAtResult(int count) { m_holdAt = count; }
    bool GateReached() const { return WaitForSingleObject(m_gateReached, 0) == WAIT_OBJECT_0; }

    void Start(const wchar_t* text) { m_results.StartSearch(Options(text), CRegFinder::SStartPosition()); }

    // Dispatches messages until done() holds; false after ten seconds without a message or the
    // gate (a hang).
    template <class Done> bool PumpUntil(Done done)
    {
        for (;;) {
            PumpPending();
            if (done())
                return true;
            if (MsgWaitForMultipleObjects(1, &m_gateReached, FALSE, 10000, QS_ALLINPUT) == WAIT_TIMEOUT)
                return done();
        }
    }
    bool PumpUntilEnded()
    {
        return PumpUntil([this] { return !m_results.IsSearchActive(); });
    }
    static void PumpPending()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    std::vector<std::wstring> Rows() const
    {
        std::vector<std::wstring> rows;
        HWND list = m_results.GetListHwnd();
        int count = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[512] = L"";
            ListView_GetItemText(list, i, 0, text, 512);
            rows.push_back(text);
        }
        return rows;
    }
    int RowImage(int index) const
    {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = index;
        ListView_GetItem(m_results.GetListHwnd(), &item);
        return item.iImage;
    }
    void Activate(int row)
    {
        NMITEMACTIVATE activate = {};
        activate.hdr.hwndFrom = m_results.GetListHwnd();
        activate.hdr.idFrom = CFindResultsWnd::kListId;
        activate.hdr.code = LVN_ITEMACTIVATE;
        activate.iItem = row;
        SendMessageW(m_results.GetHwnd(), WM_NOTIFY, CFindResultsWnd::kListId,
                     reinterpret_cast<LPARAM>(&activate));
    }
    std::wstring StateText() const
    {
        CString text;
        m_results.GetStateText(text);
        return text.c_str();
    }

    // The engine's own matches over the whole registry, as the rows show them.
    std::vector<std::wstring> EngineRows(const wchar_t* text)
    {
        CRegFinder finder;
        finder.SetOptions(Options(text), CRegFinder::SStartPosition());
        std::vector<std::wstring> rows;
        for (const std::wstring& match : Cycle(finder, 100000)) {
            std::wstring path = match.substr(0, match.find(L'|'));
            CString rest;
            HKEY root = SplitKeyPath(path.c_str(), rest);
            std::wstring row = RootKeyShortName(root);
            if (!rest.IsEmpty())
                row += L"\\" + std::wstring(rest.c_str());
            rows.push_back(row);
        }
        return rows;
    }
    // Every listed result, in list order, as "path|value" (value part only for values).
    std::vector<std::wstring> ResultRecords() const
    {
        std::vector<std::wstring> records;
        CRegFinder::SSearchPosition result;
        for (int i = 0; m_results.GetResult(i, result); ++i) {
            std::wstring record = FullKeyPath(RootKeyFromValue(result.root), result.keyPath).c_str();
            if (result.kind == CRegFinder::StateAtValue)
                record += L"|" + std::wstring(result.valueName.c_str());
            records.push_back(record);
        }
        return records;
    }

    CShdWnd m_parent;
    CFindResultsWnd m_results;
    CRecordingCallback m_callback;
    HANDLE m_gateReached = nullptr;
    std::atomic<int> m_holdAt{-1};
};

std::vector<std::wstring> Prefix(const std::vector<std::wstring>& all, size_t count)
{
    return std::vector<std::wstring>(all.begin(), all.begin() + std::min(count, all.size()));
}

} // namespace

TEST_F(FindResultsWnd, NothingFoundGivesTheSingleNothingRowAndFinished)
{
    Text(HKEY_CURRENT_USER, L"App", L"name", L"data");
    EXPECT_EQ(L"Ready", StateText());
    Start(L"no such text");
    ASSERT_TRUE(PumpUntilEnded());
    EXPECT_EQ(std::vector<std::wstring>{L"< Nothing was found >"}, Rows());
    EXPECT_EQ(L"Search finished", StateText());
    EXPECT_EQ((std::vector<DWORD>{CFindResultsWnd::StateInProgress, CFindResultsWnd::StateFinished}),
              m_callback.states);
    Activate(0);
    EXPECT_TRUE(m_callback.shown.empty());
    m_results.CancelSearch(); // after the end: no second special row, no new state
    EXPECT_EQ(1u, Rows().size());
    EXPECT_EQ(L"Search finished", StateText());
}

TEST_F(FindResultsWnd, MatchesInEngineOrderWithImagesAndActivation)
{
    Text(HKEY_CURRENT_USER, L"App\\Hit", L"hit one", L"x");
    Text(HKEY_CURRENT_USER, L"App\\Hit", L"hit two", L"x");
    Text(HKEY_LOCAL_MACHINE, L"Soft", L"other", L"hit in data");
    Start(L"hit");
    ASSERT_TRUE(PumpUntilEnded());
    std::vector<std::wstring> expected = {L"HKCU\\App\\Hit", L"HKCU\\App\\Hit", L"HKCU\\App\\Hit",
                                          L"HKLM\\Soft"};
    EXPECT_EQ(expected, EngineRows(L"hit"));
    EXPECT_EQ(expected, Rows()); // the key, then its two values with the key's path
    EXPECT_EQ(CFindResultsWnd::ImageKey, RowImage(0));
    EXPECT_EQ(CFindResultsWnd::ImageValue, RowImage(1));

    Activate(2);
    Activate(0);
    ASSERT_EQ(2u, m_callback.shown.size());
    EXPECT_EQ(RootKeyValue(HKEY_CURRENT_USER), m_callback.shown[0].root);
    EXPECT_EQ(L"App\\Hit", m_callback.shown[0].keyPath);
    EXPECT_EQ(L"hit two", m_callback.shown[0].valueName);
    EXPECT_TRUE(m_callback.shown[0].isValue);
    EXPECT_EQ(L"App\\Hit", m_callback.shown[1].keyPath);
    EXPECT_FALSE(m_callback.shown[1].isValue);

    // Without an item in the notification the selected row counts.
    LVITEMW select = {};
    select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_results.GetListHwnd(), LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&select));
    Activate(-1);
    ASSERT_EQ(3u, m_callback.shown.size());
    EXPECT_EQ(L"other", m_callback.shown[2].valueName);
}

TEST_F(FindResultsWnd, CancelRowKeepsTheRowsFoundAndCancels)
{
    for (int i = 0; i < 20; ++i)
        Key(HKEY_CURRENT_USER, Path(L"Tree\\match%02d", i));
    std::vector<std::wstring> all = EngineRows(L"match");
    ASSERT_EQ(20u, all.size());
    HoldAtResult(3);
    Start(L"match");
    ASSERT_TRUE(PumpUntil([this] { return GateReached() && Rows().size() == 4; }));
    EXPECT_EQ(L"< Cancel search >", Rows()[0]);
    Activate(0);
    EXPECT_EQ(Prefix(all, 3), Rows());
    EXPECT_EQ(CFindResultsWnd::StateCancelled, m_callback.states.back());
    PumpPending(); // nothing arrives after the stop
    EXPECT_EQ(3u, Rows().size());
}

TEST_F(FindResultsWnd, CancelBeforeAnyMatchShowsNothingFound)
{
    Key(HKEY_CURRENT_USER, L"Tree\\match");
    HoldAtResult(0);
    Start(L"match");
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m_gateReached, 10000));
    m_results.CancelSearch();
    EXPECT_EQ(std::vector<std::wstring>{L"< Nothing was found >"}, Rows());
    EXPECT_EQ(L"Search cancelled", StateText());
}

TEST_F(FindResultsWnd, NewSearchWhileOneRunsLeavesNoOldRow)
{
    for (int i = 0; i < 10; ++i) {
        Key(HKEY_CURRENT_USER, Path(L"Old\\first%02d", i));
        Key(HKEY_CURRENT_USER, Path(L"New\\second%02d", i));
    }
    HoldAtResult(2);
    Start(L"first");
    ASSERT_TRUE(PumpUntil([this] { return GateReached(); }));
    HoldAtResult(-1);
    ResetEvent(m_gateReached);
    Start(L"second"); // the held step is cancelled with the old worker
    ASSERT_TRUE(PumpUntilEnded());
    EXPECT_EQ(EngineRows(L"second"), Rows());
    EXPECT_EQ(L"Search finished", StateText());
}

TEST_F(FindResultsWnd, EndOfAnEarlierSearchDoesNotEndTheNextOne)
{
    for (int i = 0; i < 30; ++i)
        Key(HKEY_CURRENT_USER, Path(L"Tree\\match%02d", i));
    Start(L"match");
    // Let the first search end by itself without handling its messages.
    MSG message;
    while (!PeekMessageW(&message, m_results.GetHwnd(), CFindResultsWnd::kFinishedMessage,
                         CFindResultsWnd::kFinishedMessage, PM_NOREMOVE))
        ASSERT_NE(WAIT_TIMEOUT, MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_POSTMESSAGE));
    Start(L"match");
    ASSERT_TRUE(PumpUntilEnded());
    EXPECT_EQ(EngineRows(L"match"), Rows());
    EXPECT_EQ(L"Search finished", StateText());
}

TEST_F(FindResultsWnd, PauseTwiceAndResumeWhenNotPausedDoNothing)
{
    for (int i = 0; i < 10; ++i)
        Key(HKEY_CURRENT_USER, Path(L"Tree\\match%02d", i));
    m_results.PauseSearch(); // no search yet
    m_results.ResumeSearch();
    EXPECT_TRUE(m_callback.states.empty());
    Start(L"match");
    m_results.ResumeSearch();
    m_results.PauseSearch();
    m_results.PauseSearch();
    EXPECT_EQ((std::vector<DWORD>{CFindResultsWnd::StateInProgress, CFindResultsWnd::StatePaused}),
              m_callback.states);
    EXPECT_TRUE(m_results.IsSearchActive());
    m_results.ResumeSearch();
    m_results.ResumeSearch();
    EXPECT_EQ(3u, m_callback.states.size());
    ASSERT_TRUE(PumpUntilEnded());
    EXPECT_EQ(EngineRows(L"match"), Rows());
}

TEST_F(FindResultsWnd, SeededPauseResumeAndStopNeverLoseOrRepeatARow)
{
    // 20 x 10 x 10 keys with two values each; "7" matches about 900 names and data items.
    for (int a = 0; a < 20; ++a)
        for (int b = 0; b < 10; ++b)
            for (int c = 0; c < 10; ++c) {
                CString path;
                path.Format(L"Big\\G%02d\\S%02d\\K%02d", a, b, c);
                Text(HKEY_CURRENT_USER, path, L"Name", Path(L"text %d", a * 100 + b * 10 + c));
                Dword(HKEY_CURRENT_USER, path, L"Count", DWORD(c));
            }
    std::vector<std::wstring> expected = EngineRows(L"7");
    ASSERT_GT(expected.size(), 500u);
    std::vector<std::wstring> expectedRecords;
    {
        CRegFinder finder;
        finder.SetOptions(Options(L"7"), CRegFinder::SStartPosition());
        expectedRecords = Cycle(finder, 100000);
    }

    std::mt19937 random(20261208);
    for (int run = 0; run < 8; ++run) {
        Start(L"7");
        bool stop = run % 2 == 1;
        for (int op = 0; op < 60; ++op) {
            switch (random() % 4) {
            case 0:
                m_results.PauseSearch();
                break;
            case 1:
                m_results.ResumeSearch();
                break;
            case 2:
                PumpPending();
                break;
            default:
                // Waits for the next row or the end; nothing arrives while paused.
                if (m_results.IsSearchActive() && !m_results.IsPaused())
                    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_ALLINPUT);
                PumpPending();
            }
        }
        if (stop) {
            m_results.CancelSearch();
        } else {
            m_results.ResumeSearch();
            ASSERT_TRUE(PumpUntilEnded()) << "run " << run;
        }
        PumpPending();
        size_t found = size_t(m_results.GetResultCount());
        std::vector<std::wstring> rows = Rows();
        if (found == 0)
            rows.clear(); // the nothing row
        EXPECT_EQ(Prefix(expected, found), rows) << "run " << run;
        EXPECT_EQ(Prefix(expectedRecords, found), ResultRecords()) << "run " << run;
        // A stopped run may have found everything before the stop came.
        if (StateText() == L"Search finished") {
            EXPECT_EQ(expected.size(), found) << "run " << run;
        } else {
            EXPECT_TRUE(stop);
            EXPECT_EQ(L"Search cancelled", StateText());
        }
    }
}
