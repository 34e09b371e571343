// The search walk: order, full cycles, resume after changes, cancel, own-key exclusion.
#include "tests/search/SearchTree.h"
#include "tests/support/RegistryTest.h"

namespace {

class RegFinder : public CSearchTest
{
protected:
    void SetUp() override
    {
        // HKCU\App: values a1, B1 and subkeys Alpha (value a2), beta\gamma (value a3)
        Text(HKEY_CURRENT_USER, L"App", L"a1", L"x");
        Text(HKEY_CURRENT_USER, L"App", L"B1", L"x");
        Text(HKEY_CURRENT_USER, L"App\\Alpha", L"a2", L"x");
        Text(HKEY_CURRENT_USER, L"App\\beta\\gamma", L"a3", L"x");
        Text(HKEY_LOCAL_MACHINE, L"Soft", L"a4", L"x");
        Text(HKEY_CLASSES_ROOT, L".ext", L"a0", L"x");
    }
    static SSearchOptions NamesOnly(const wchar_t* text)
    {
        SSearchOptions options = Options(text);
        options.valueData = false;
        return options;
    }
};

} // namespace

TEST_F(RegFinder, FullCycleFromAKeyVisitsEveryMatchOnceInOrder)
{
    CRegFinder finder;
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = L"App\\Alpha";
    finder.SetOptions(NamesOnly(L"a"), start);
    std::vector<std::wstring> expected = {
        L"HKEY_CURRENT_USER\\App\\Alpha|a2",
        L"HKEY_CURRENT_USER\\App\\beta",
        L"HKEY_CURRENT_USER\\App\\beta\\gamma",
        L"HKEY_CURRENT_USER\\App\\beta\\gamma|a3",
        L"HKEY_LOCAL_MACHINE\\Soft|a4",
        L"HKEY_CLASSES_ROOT\\.ext|a0",
        L"HKEY_CURRENT_USER\\App",
        L"HKEY_CURRENT_USER\\App|a1",
    };
    EXPECT_EQ(expected, Cycle(finder));
    EXPECT_TRUE(finder.IsFinished());
    EXPECT_EQ(L"", Step(finder)); // stays finished
}

TEST_F(RegFinder, FullCycleFromAValueEndsWithoutReportingIt)
{
    CRegFinder finder;
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = L"App";
    start.valueName = L"B1";
    start.hasValue = true;
    finder.SetOptions(NamesOnly(L"1"), start);
    // Only a1 and B1 hold a "1": after B1 comes nothing until the wrap reaches a1.
    std::vector<std::wstring> expected = {L"HKEY_CURRENT_USER\\App|a1"};
    EXPECT_EQ(expected, Cycle(finder));
    EXPECT_TRUE(finder.IsFinished());
}

TEST_F(RegFinder, NoStartPositionCoversTheFourRootsOnce)
{
    CRegFinder finder;
    finder.SetOptions(NamesOnly(L"a"), CRegFinder::SStartPosition());
    std::vector<std::wstring> found = Cycle(finder);
    ASSERT_EQ(9u, found.size());
    EXPECT_EQ(L"HKEY_CLASSES_ROOT\\.ext|a0", found.front());
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE\\Soft|a4", found.back());
}

TEST_F(RegFinder, SetPositionOnlyBetweenMatches)
{
    CRegFinder finder;
    EXPECT_FALSE(finder.SetPosition(0, L"", nullptr)); // no options
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = L"App";
    finder.SetOptions(NamesOnly(L"a"), start);
    EXPECT_FALSE(finder.SetPosition(RootKeyValue(HKEY_LOCAL_MACHINE), L"Soft", nullptr)); // ready
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App|a1", Step(finder));
    // The user selects another place: the next step goes on after it.
    EXPECT_TRUE(finder.SetPosition(RootKeyValue(HKEY_CURRENT_USER), L"App\\beta", nullptr));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App\\beta\\gamma", Step(finder));
}

TEST_F(RegFinder, ResumesAfterTheMatchWasDeletedOrRenamed)
{
    CRegFinder finder;
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = L"App";
    finder.SetOptions(NamesOnly(L"a"), start);
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App|a1", Step(finder));
    CShdRegKey app;
    ASSERT_TRUE(app.Open(HKEY_CURRENT_USER, L"App"));
    ASSERT_TRUE(app.DeleteValue(L"a1")); // the value we stand on is gone
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App\\Alpha", Step(finder));
    // The key we stand on is renamed away: the search goes on at the first name after it.
    ASSERT_TRUE(CopyAndDelete(L"App\\Alpha", L"App\\Zulu"));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App\\beta", Step(finder));

    // A value we stand on is deleted: the value after it is the next one tested.
    Text(HKEY_CURRENT_USER, L"V", L"m1", L"x");
    Text(HKEY_CURRENT_USER, L"V", L"m2", L"x");
    Text(HKEY_CURRENT_USER, L"V", L"m3", L"x");
    CRegFinder values;
    start.keyPath = L"V";
    values.SetOptions(NamesOnly(L"m"), start);
    EXPECT_EQ(L"HKEY_CURRENT_USER\\V|m1", Step(values));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\V|m2", Step(values));
    CShdRegKey v;
    ASSERT_TRUE(v.Open(HKEY_CURRENT_USER, L"V"));
    ASSERT_TRUE(v.DeleteValue(L"m2"));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\V|m3", Step(values));
}

TEST_F(RegFinder, DeletedKeyOnTheWayBackDoesNotHideItsSiblings)
{
    // The walk stands in App\beta\gamma; gamma's parent goes away, and on the next round of
    // the whole registry every key after it must still be searched.
    CRegFinder finder;
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = L"App";
    finder.SetOptions(NamesOnly(L"a"), start);
    Text(HKEY_CURRENT_USER, L"App\\delta", L"a9", L"x");
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App|a1", Step(finder));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App\\Alpha", Step(finder));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App\\Alpha|a2", Step(finder));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App\\beta", Step(finder));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App\\beta\\gamma", Step(finder));
    ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, L"App\\beta"));
    std::vector<std::wstring> expected = {
        L"HKEY_CURRENT_USER\\App\\delta",
        L"HKEY_CURRENT_USER\\App\\delta|a9",
        L"HKEY_LOCAL_MACHINE\\Soft|a4",
        L"HKEY_CLASSES_ROOT\\.ext|a0",
    };
    EXPECT_EQ(expected, Cycle(finder));
}

TEST_F(RegFinder, UnreadableItemsArePassedOver)
{
    Text(HKEY_CURRENT_USER, L"K", L"n1", L"x");
    Text(HKEY_CURRENT_USER, L"K", L"n2", L"x");
    Key(HKEY_CURRENT_USER, L"K\\n4");
    Key(HKEY_CURRENT_USER, L"K\\n5");
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = L"K";

    // The first value of K cannot be read: the second is still tested.
    CRegFinder finder;
    finder.SetOptions(NamesOnly(L"n"), start);
    m_memory.FailCall(IRegistryBackend::OpEnumValue, 1);
    EXPECT_EQ(L"HKEY_CURRENT_USER\\K|n2", Step(finder));

    // The first subkey cannot be read: the second is still entered.
    SSearchOptions keysOnly = NamesOnly(L"n");
    keysOnly.valueNames = false;
    finder.SetOptions(keysOnly, start);
    m_memory.FailCall(IRegistryBackend::OpEnumKey, 4); // the root's three calls (App, K, end) come first
    EXPECT_EQ(L"HKEY_CURRENT_USER\\K\\n5", Step(finder));
    EXPECT_EQ(0u, m_memory.OpenHandleCount());
}

TEST_F(RegFinder, CancelThenResumeFromTheSamePosition)
{
    CRegFinder finder;
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = L"App";
    finder.SetOptions(NamesOnly(L"a"), start);
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App|a1", Step(finder));
    // The step is held at its first registry call until the cancel has been requested.
    m_memory.SetCallHook(
        [&finder](IRegistryBackend::EOperation) { WaitForSingleObject(finder.GetStopEvent(), INFINITE); });
    ASSERT_TRUE(finder.Start());
    finder.Cancel();
    m_memory.SetCallHook(nullptr);
    CRegFinder::SSearchPosition result;
    EXPECT_FALSE(finder.GetResult(result));
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App\\Alpha", Step(finder));
}

TEST_F(RegFinder, StepCancelledAfterItsMatchLeavesThePosition)
{
    CRegFinder finder;
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = L"App";
    finder.SetOptions(NamesOnly(L"a"), start);
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App|a1", Step(finder));
    // The next match (App\Alpha, by its name) is found before App is closed; the step is held
    // at that close until the cancel has been requested.
    HANDLE reached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_memory.SetCallHook([&finder, reached](IRegistryBackend::EOperation op) {
        if (op != IRegistryBackend::OpCloseKey)
            return;
        SetEvent(reached);
        WaitForSingleObject(finder.GetStopEvent(), INFINITE);
    });
    ASSERT_TRUE(finder.Start());
    WaitForSingleObject(reached, INFINITE);
    finder.Cancel();
    m_memory.SetCallHook(nullptr);
    CloseHandle(reached);
    EXPECT_FALSE(finder.IsFinished());
    EXPECT_EQ(L"HKEY_CURRENT_USER\\App\\Alpha", Step(finder));
}

TEST_F(RegFinder, OwnKeyIsPassedOverButItsNeighbourIsNot)
{
    Text(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Ordwyn\\Keyhaven", L"needle", L"x");
    Text(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Ordwyn\\Keyhaven\\Settings", L"SearchString", L"needle");
    Text(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Ordwyn\\KeyhavenX", L"needle", L"x");
    CRegFinder finder;
    finder.SetOptions(Options(L"needle"), CRegFinder::SStartPosition());
    std::vector<std::wstring> expected = {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Ordwyn\\KeyhavenX|needle"};
    EXPECT_EQ(expected, Cycle(finder));
    EXPECT_TRUE(CRegFinder::IsOwnKey(RootKeyValue(HKEY_LOCAL_MACHINE), L"software\\ordwyn\\keyhaven"));
    EXPECT_FALSE(CRegFinder::IsOwnKey(RootKeyValue(HKEY_LOCAL_MACHINE), L"SOFTWARE\\Ordwyn\\KeyhavenX"));
    EXPECT_FALSE(CRegFinder::IsOwnKey(RootKeyValue(HKEY_CURRENT_USER), L"SOFTWARE\\Ordwyn\\Keyhaven"));
}

TEST_F(RegFinder, OnlyWithinTheStartKey)
{
    CRegFinder finder;
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = L"App\\beta";
    start.onlyWithinStartKey = true;
    finder.SetOptions(NamesOnly(L"a"), start);
    std::vector<std::wstring> expected = {L"HKEY_CURRENT_USER\\App\\beta\\gamma",
                                          L"HKEY_CURRENT_USER\\App\\beta\\gamma|a3"};
    EXPECT_EQ(expected, Cycle(finder));
}

TEST_F(RegFinder, ValueDataOffReadsNoData)
{
    Value(HKEY_CURRENT_USER, L"App", L"big", REG_BINARY, std::vector<BYTE>(5000, 1).data(), 5000);
    CRegFinder finder;
    finder.SetOptions(NamesOnly(L"nothing matches this"), CRegFinder::SStartPosition());
    EXPECT_EQ(L"", Step(finder));
    for (const auto& call : m_memory.CallLog())
        EXPECT_EQ(0u, call.dataCapacity) << call.op;
}

TEST(RegFinderPaths, ComparePaths)
{
    EXPECT_EQ(0, CRegFinder::ComparePaths(nullptr, nullptr));
    EXPECT_LT(CRegFinder::ComparePaths(nullptr, L""), 0);
    EXPECT_EQ(0, CRegFinder::ComparePaths(L"A\\b", L"a\\B"));
    EXPECT_LT(CRegFinder::ComparePaths(L"A", L"A\\B"), 0);
    EXPECT_LT(CRegFinder::ComparePaths(L"ab\\z", L"abc"), 0); // shorter component first
    EXPECT_GT(CRegFinder::ComparePaths(L"b", L"a\\z"), 0);
    EXPECT_LT(CRegFinder::ComparePaths(L"", L"a"), 0);
}

// The same engine on Wine's real registry, within a realistic branch of the test's own.
class RegFinderWin32 : public CRegistryTest
{
};

TEST_F(RegFinderWin32, FindsMatchesInTheRealRegistry)
{
    WriteString(TestKey(), L"Apps\\Notepad", L"Path", L"C:\\Windows\\notepad.exe");
    WriteString(TestKey(), L"Apps\\Paint", L"Path", L"C:\\Windows\\pbrush.exe");
    WriteDword(TestKey(), L"Apps\\Paint", L"Build", 0x42);
    WriteString(TestKey(), L"Apps\\Notepad\\Recent", L"File1", L"notes.txt");
    CRegFinder finder;
    CRegFinder::SStartPosition start;
    start.root = RootKeyValue(HKEY_CURRENT_USER);
    start.keyPath = TestPath();
    start.onlyWithinStartKey = true;
    SSearchOptions options;
    options.searchString = L"note";
    finder.SetOptions(options, start);
    CString base = L"HKEY_CURRENT_USER\\" + TestPath();
    std::vector<std::wstring> expected = {
        std::wstring(base + L"\\Apps\\Notepad"),
        std::wstring(base + L"\\Apps\\Notepad|Path"),
        std::wstring(base + L"\\Apps\\Notepad\\Recent|File1"),
    };
    EXPECT_EQ(expected, CSearchTest::Cycle(finder));
    options.searchString = L"0x42";
    finder.SetOptions(options, start);
    EXPECT_EQ(std::wstring(base + L"\\Apps\\Paint|Build"), CSearchTest::Step(finder));
}
