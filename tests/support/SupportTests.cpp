// The harness shows that it works: driver, recorder, registry fixture and process runner.
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/RegistryTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A dialog template in memory: one edit (id 100) and an OK button.
std::vector<WORD> MakeTemplate(DWORD visible = WS_VISIBLE)
{
    std::vector<WORD> t;
    auto dword = [&t](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    auto text = [&t](const wchar_t* s) {
        for (; *s; ++s)
            t.push_back(*s);
        t.push_back(0);
    };
    auto align = [&t]() {
        if (t.size() % 2)
            t.push_back(0);
    };
    dword(WS_POPUP | WS_CAPTION | visible | DS_MODALFRAME);
    dword(0);
    t.push_back(2); // items
    t.push_back(0), t.push_back(0), t.push_back(100), t.push_back(60);
    t.push_back(0), t.push_back(0); // menu, class
    text(L"Driven");
    struct SItem
    {
        DWORD style;
        WORD id;
        WORD classAtom;
    } items[] = {{WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 100, 0x0081},
                 {WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, IDOK, 0x0080}};
    for (const SItem& item : items) {
        align();
        dword(item.style);
        dword(0);
        t.push_back(5), t.push_back(5), t.push_back(80), t.push_back(12);
        t.push_back(item.id);
        t.push_back(0xFFFF), t.push_back(item.classAtom);
        text(L"");
        t.push_back(0);
    }
    return t;
}

struct SDialogState
{
    CString text;
};

INT_PTR CALLBACK EchoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        auto* state = reinterpret_cast<SDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        state->text = CDialogDriver::GetItemText(dialog, 100);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return FALSE;
}

} // namespace

TEST(DialogDriver, FillsAndEndsAModalDialog)
{
    std::vector<WORD> dialogTemplate = MakeTemplate();
    CDialogDriver driver;
    driver.Expect([](HWND dialog) {
        CDialogDriver::SetItemText(dialog, 100, L"typed by the driver");
        CDialogDriver::PostCommand(dialog, IDOK);
    });
    SDialogState state;
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
                                             nullptr, EchoDialogProc, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1, driver.HandledCount());
    EXPECT_TRUE(driver.AllHandled());
    EXPECT_EQ(CString(L"typed by the driver"), state.text);
}

// A dialog without WS_VISIBLE is activated hidden, when its first control takes the focus, and
// shown only when its modal loop first runs idle: its handler sees it shown and active.
TEST(DialogDriver, WaitsForAHiddenDialogToBeShown)
{
    std::vector<WORD> dialogTemplate = MakeTemplate(0);
    CDialogDriver driver;
    bool visible = false, active = false;
    driver.Expect([&](HWND dialog) {
        visible = IsWindowVisible(dialog) != FALSE;
        active = GetActiveWindow() == dialog;
        CDialogDriver::PostCommand(dialog, IDOK);
    });
    SDialogState state;
    INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
                                             nullptr, EchoDialogProc, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(driver.AllHandled());
    EXPECT_TRUE(visible);
    EXPECT_TRUE(active);
}

TEST(MessageBoxRecorder, RecordsAndAnswersInOrder)
{
    CMessageBoxRecorder recorder;
    recorder.QueueAnswer(IDYES);
    EXPECT_TRUE(AskQuestion(nullptr, L"First?"));
    EXPECT_FALSE(AskQuestion(nullptr, L"Second?")); // script used up: questions get No
    ShowErrorMessage(nullptr, L"Broken");
    ASSERT_EQ(3u, recorder.Count());
    EXPECT_EQ(CString(L"First?"), recorder.Text(0));
    EXPECT_EQ(CString(L"Hivelet"), recorder.Messages()[2].caption);
    EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND), recorder.Messages()[2].style);
}

class RegistryFixture : public CRegistryTest
{
};

TEST_F(RegistryFixture, GivesAFreshKeyAndRemovesIt)
{
    EXPECT_TRUE(TestPath().Find(L"HiveletTests\\RegistryFixture\\GivesAFreshKeyAndRemovesIt") > 0);
    DWORD subkeys = 1, values = 1;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(TestKey(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                              nullptr, &values, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, subkeys);
    EXPECT_EQ(0u, values);
    WriteString(TestKey(), L"child\\grandchild", L"name", L"data");
    CString path = TestPath();
    TearDown();
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, path));
    SetUp(); // leave a key for the fixture's own TearDown
}

TEST(ProcessRunner, ReportsExitCodesAndEndsAHungProcess)
{
    CString child = BuiltFile(L"tests/support/test_child.exe");
    SProcessResult done = RunProcess(child, L"7", 30000);
    ASSERT_TRUE(done.started);
    EXPECT_TRUE(done.finished);
    EXPECT_EQ(7u, done.exitCode);

    SProcessResult hung = RunProcess(child, L"hang", 500);
    EXPECT_TRUE(hung.started);
    EXPECT_FALSE(hung.finished);

    EXPECT_FALSE(RunProcess(BuiltFile(L"no/such/program.exe"), L"", 1000).started);
}

TEST(ProcessDriver, RecordsAndAnswersTheMessageBoxesOfAnotherProcess)
{
    CProcessDriver run;
    run.QueueAnswer(IDYES);
    ASSERT_TRUE(run.Start(BuiltFile(L"tests/support/test_child.exe"), L"boxes"));
    ASSERT_TRUE(run.WaitForExit(30000));
    // Script used up after the first: OK for the note and the OK/Cancel box, No for the question.
    EXPECT_EQ(DWORD(IDYES << 12 | IDOK << 8 | IDOK << 4 | IDNO), run.ExitCode());
    const std::vector<CProcessDriver::SBox>& boxes = run.Boxes();
    ASSERT_EQ(4u, boxes.size());
    EXPECT_EQ(CString(L"Child"), boxes[0].caption);
    EXPECT_EQ(CString(L"First question?"), boxes[0].text);
    EXPECT_EQ(UINT(MB_YESNO), boxes[0].buttons);
    EXPECT_TRUE(boxes[0].hasIcon);
    EXPECT_EQ(IDYES, boxes[0].answer);
    EXPECT_EQ(CString(L"Plain note"), boxes[1].text);
    EXPECT_EQ(UINT(MB_OK), boxes[1].buttons);
    EXPECT_FALSE(boxes[1].hasIcon);
    EXPECT_EQ(CString(L"Careful:\r\nsecond line"), boxes[2].text);
    EXPECT_EQ(UINT(MB_OKCANCEL), boxes[2].buttons);
    EXPECT_TRUE(boxes[2].hasIcon);
    EXPECT_EQ(UINT(MB_YESNOCANCEL), boxes[3].buttons);
    EXPECT_EQ(IDNO, boxes[3].answer);
}

TEST(ProcessDriver, HoldsABoxUntilTheNextWait)
{
    CProcessDriver run;
    ASSERT_TRUE(run.Start(BuiltFile(L"tests/support/test_child.exe"), L"boxes"));
    ASSERT_TRUE(run.WaitForBox(30000));
    ASSERT_EQ(1u, run.Boxes().size());
    EXPECT_EQ(0, run.Boxes()[0].answer);
    EXPECT_TRUE(run.IsRunning());
    EXPECT_TRUE(IsWindow(run.Boxes()[0].window));
    ASSERT_TRUE(run.WaitForExit(30000));
    EXPECT_EQ(4u, run.Boxes().size());
}

TEST(ProcessDriver, LeavesOtherDialogsAloneAndEndsTheProcessAtTheLimit)
{
    CProcessDriver run;
    ASSERT_TRUE(run.Start(BuiltFile(L"tests/support/test_child.exe"), L"dialog"));
    HWND dialog = run.WaitForWindow(L"#32770", 30000);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(run.ProcessId(), [dialog] {
        DWORD id = 0;
        GetWindowThreadProcessId(dialog, &id);
        return id;
    }());
    EXPECT_FALSE(run.WaitForExit(300));
    EXPECT_FALSE(run.IsRunning());
    EXPECT_EQ(255u, run.ExitCode());
    EXPECT_TRUE(run.Boxes().empty());
    EXPECT_EQ(nullptr, run.WaitForWindow(L"#32770", 100)); // ended: no wait
}
