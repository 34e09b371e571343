// Dialog objects under the test dialog driver: modal and modeless, full screen, the header,
// the input-panel control, the scroll-bar rule and the order of the dispatch.
#include "shd/ShdDialog.h"
#include "shd/ScreenScale.h"
#include "shd/ShdWnd.h"
#include "tests/shd/TestResources.h"
#include "tests/support/DialogDriver.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CTestDialog : public CShdDialog
{
public:
    CTestDialog()
    {
        GetPpcHelper().SetHeader(L"Edit Test");
        GetPpcHelper().EnableInputPanel();
        GetPpcHelper().NoVerticalScroll();
    }

    INT_PTR PreProcessMessage(UINT message, WPARAM, LPARAM) override
    {
        if (message == WM_APP) {
            ++hookCalls; // handled here: DialogProc does not see it
            return 1;
        }
        return 0;
    }

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_INITDIALOG:
            initParameter = lParam;
            return TRUE;
        case WM_APP:
            ++dialogProcCalls;
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                text = CShdWnd::QueryWindowText(GetDlgItem(m_hwnd, IDC_TEST_EDIT), L"");
                EndDialog(m_hwnd, LOWORD(wParam));
            }
            return TRUE;
        }
        return FALSE;
    }

    int hookCalls = 0;
    int dialogProcCalls = 0;
    LPARAM initParameter = 0;
    CString text;
};

HINSTANCE Instance()
{
    return GetModuleHandleW(nullptr);
}

} // namespace

TEST(ShdDialog, ModalDialogRunsWithHeaderAndReturnsItsResult)
{
    CTestDialog dialog;
    CDialogDriver driver;
    HWND seen = nullptr;
    CString headerText;
    bool hasSipPref = false, hasScroll = true;
    LOGFONTW font = {};
    driver.Expect([&](HWND window) {
        seen = window;
        HWND header = GetDlgItem(window, CShdPpcDialogHelper::kHeaderId);
        headerText = CShdWnd::QueryWindowText(header, L"?");
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(header, WM_GETFONT, 0, 0)), sizeof(font), &font);
        hasSipPref = FindWindowExW(window, nullptr, L"SIPPREF", nullptr) != nullptr;
        hasScroll = (GetWindowLongPtrW(window, GWL_STYLE) & WS_VSCROLL) != 0;
        SendMessageW(window, WM_APP, 0, 0);
        CDialogDriver::SetItemText(window, IDC_TEST_EDIT, L"typed");
        CDialogDriver::PostCommand(window, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal(Instance(), IDD_TEST_DIALOG, nullptr, 0x55));
    ASSERT_NE(nullptr, seen);
    EXPECT_EQ(0x55, dialog.initParameter);
    EXPECT_EQ(CString(L"Edit Test"), headerText);
    EXPECT_EQ(1, dialog.hookCalls);
    EXPECT_EQ(0, dialog.dialogProcCalls);
    EXPECT_EQ(FW_BOLD, font.lfWeight);
    EXPECT_EQ(FontHeightFromPoints(8), font.lfHeight);
    EXPECT_TRUE(hasSipPref);
    EXPECT_FALSE(hasScroll);
    EXPECT_EQ(CString(L"typed"), dialog.text);
    EXPECT_EQ(nullptr, dialog.GetHwnd());
    EXPECT_EQ(nullptr, GetPropW(seen, CShdDialog::kObjectProperty));
}

TEST(ShdDialog, ModelessDialogAndItsDestruction)
{
    HWND handle = nullptr;
    {
        CTestDialog dialog;
        ASSERT_TRUE(dialog.CreateModeless(Instance(), IDD_TEST_DIALOG, nullptr, 3));
        handle = dialog.GetHwnd();
        EXPECT_EQ(3, dialog.initParameter);
        EXPECT_EQ(&dialog, GetPropW(handle, CShdDialog::kObjectProperty));
        EXPECT_FALSE(dialog.CreateModeless(Instance(), IDD_TEST_DIALOG, nullptr, 0));
        EXPECT_EQ(-1, dialog.DoModal(Instance(), IDD_TEST_DIALOG, nullptr, 0));
        dialog.GetPpcHelper().SetHeaderText(L"Changed");
        EXPECT_EQ(CString(L"Changed"),
                  CShdWnd::QueryWindowText(GetDlgItem(handle, CShdPpcDialogHelper::kHeaderId), L""));
    }
    EXPECT_FALSE(IsWindow(handle));

    CTestDialog missing;
    EXPECT_EQ(-1, missing.DoModal(Instance(), 4242, nullptr, 0));
    EXPECT_FALSE(missing.CreateModeless(Instance(), 4242, nullptr, 0));
}

TEST(ShdDialog, FullScreenDialogCoversItsOwnerAboveTheMenuBar)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 20, 30, 240, 294, nullptr,
                                 nullptr, nullptr, nullptr);
    CTestDialog dialog;
    dialog.SetFullScreen(true);
    ASSERT_TRUE(dialog.CreateModeless(Instance(), IDD_TEST_DIALOG, owner, 0));
    RECT rect;
    GetWindowRect(dialog.GetHwnd(), &rect);
    EXPECT_EQ(20, rect.left);
    EXPECT_EQ(30, rect.top);
    EXPECT_EQ(240, rect.right - rect.left);
    EXPECT_EQ(294 - ScaleY(26), rect.bottom - rect.top); // the owner has no bar: one is left free
    EXPECT_EQ(0, GetWindowLongPtrW(dialog.GetHwnd(), GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(0, GetWindowLongPtrW(dialog.GetHwnd(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    dialog.GetPpcHelper(); // header height for layouts
    EXPECT_EQ(ScaleY(17) + 2 * ScaleY(1) + ScaleY(5), dialog.GetPpcHelper().GetHeaderHeight());
    DestroyWindow(dialog.GetHwnd());
    DestroyWindow(owner);
}
