// The file selection dialog over a real folder of the test prefix: listing order and images,
// walking down and up, the typed name and its checks, activation, and the start folder.
#include "dialogs/FilePaths.h"
#include "dialogs/FilesFinder.h"
#include "dialogs/SelectFileDlg.h"

#include "platform/PlatformInfo.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

class SelectFileDlgTest : public testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_root = RemoveTrailingBackslash(temp) + L"\\hivelet select file";
        RemoveTree(m_root);
        ASSERT_TRUE(CreateDirectoryW(m_root, nullptr));
        for (const wchar_t* folder : {L"beta", L"Alpha", L"Alpha\\Inner"})
            ASSERT_TRUE(CreateDirectoryW(m_root + L"\\" + folder, nullptr));
        for (const wchar_t* file : {L"b.reg", L"c.REG", L"A.txt", L"Alpha\\inside.reg"})
            ASSERT_TRUE(WriteFileBytes(m_root + L"\\" + file, "x"));
    }
    void TearDown() override { RemoveTree(m_root); }

    static void RemoveTree(const CString& folder)
    {
        CFilesFinder finder;
        for (bool more = finder.FindFirst(folder + L"\\*"); more; more = finder.FindNext()) {
            CString path = folder + L"\\" + finder.GetName();
            if (finder.GetAttributes() & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path);
        }
        RemoveDirectoryW(folder);
    }

    static CString Names(const CSelectFileDlg& dialog)
    {
        CString names;
        for (int i = 0; i < dialog.GetItemCount(); ++i)
            names += (i ? L"|" : L"") + dialog.GetItem(i)->name;
        return names;
    }
    static CString ListText(HWND dialog, int index)
    {
        wchar_t text[MAX_PATH] = L"";
        LVITEMW item = {};
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendDlgItemMessageW(dialog, IDC_FILE_LIST, LVM_GETITEMTEXTW, WPARAM(index), LPARAM(&item));
        return text;
    }
    static int ListImage(HWND dialog, int index)
    {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = index;
        SendDlgItemMessageW(dialog, IDC_FILE_LIST, LVM_GETITEMW, 0, LPARAM(&item));
        return item.iImage;
    }
    static int Selected(HWND dialog)
    {
        return int(SendDlgItemMessageW(dialog, IDC_FILE_LIST, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    }
    static void Select(HWND dialog, const wchar_t* name)
    {
        CDialogDriver::SetItemText(dialog, IDC_FILE_NAME, name);
        SendMessageW(dialog, WM_COMMAND, ID_SELECT_FILE, 0);
    }
    static void Activate(HWND dialog, int index, bool tapped)
    {
        NMITEMACTIVATE activate = {};
        activate.hdr.hwndFrom = GetDlgItem(dialog, IDC_FILE_LIST);
        activate.hdr.idFrom = IDC_FILE_LIST;
        activate.hdr.code = LVN_ITEMACTIVATE;
        activate.iItem = index;
        activate.ptAction = tapped ? POINT{5, 5} : POINT{-1, -1};
        SendMessageW(dialog, WM_NOTIFY, IDC_FILE_LIST, LPARAM(&activate));
    }

    CString m_root;
    CMessageBoxRecorder m_boxes;
};

TEST_F(SelectFileDlgTest, ListsParentFoldersThenFilesInNameOrderAndWalksDownAndUp)
{
    CSelectFileDlg dialog;
    CDialogDriver driver;
    CString first, inner, back, editAfterDown, editAfterUp, location;
    int images[7] = {}, selectedAfterUp = -1;
    driver.Expect([&](HWND window) {
        first = Names(dialog);
        for (int i = 0; i < 7; ++i)
            images[i] = ListImage(window, i);
        location = CDialogDriver::GetItemText(window, IDC_FILE_LOCATION);
        EXPECT_EQ(ListText(window, 1), L"Alpha");
        EXPECT_EQ(Selected(window), -1);
        EXPECT_EQ(CDialogDriver::GetItemText(window, IDC_FILE_NAME), L"");
        Select(window, L"ALPHA");
        inner = Names(dialog);
        editAfterDown = CDialogDriver::GetItemText(window, IDC_FILE_NAME);
        EXPECT_EQ(Selected(window), 0);
        Activate(window, 0, true);
        back = Names(dialog);
        editAfterUp = CDialogDriver::GetItemText(window, IDC_FILE_NAME);
        selectedAfterUp = Selected(window);
        Select(window, L"data");
    });
    CString path;
    path = m_root;
    ASSERT_TRUE(dialog.Run(nullptr, path));
    EXPECT_EQ(first, L"..|Alpha|beta|A.txt|b.reg|c.REG");
    const int expectedImages[] = {CSelectFileDlg::kImageParent,  CSelectFileDlg::kImageFolder,
                                  CSelectFileDlg::kImageFolder,  CSelectFileDlg::kImageFile,
                                  CSelectFileDlg::kImageRegFile, CSelectFileDlg::kImageRegFile};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(images[i], expectedImages[i]) << i;
    EXPECT_EQ(location.Left(10), L"Location: ");
    EXPECT_EQ(inner, L"..|Inner|inside.reg");
    EXPECT_EQ(editAfterDown, L"..");
    EXPECT_EQ(back, first);
    EXPECT_EQ(editAfterUp, L"Alpha");
    EXPECT_EQ(selectedAfterUp, 1);
    EXPECT_EQ(path, m_root + L"\\data.reg");
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(SelectFileDlgTest, TypedNamesAreCheckedAndKeepTheirExtension)
{
    CSelectFileDlg dialog;
    CDialogDriver driver;
    HWND focusAfterError = nullptr, edit = nullptr;
    driver.Expect([&](HWND window) {
        edit = GetDlgItem(window, IDC_FILE_NAME);
        Select(window, L"");
        focusAfterError = GetFocus();
        Select(window, L".");
        Select(window, L"a:b");
        // Enter on a folder's name opens it rather than returning the folder as a file.
        CDialogDriver::SetItemText(window, IDC_FILE_NAME, L"beta");
        SendMessageW(window, WM_COMMAND, IDOK, 0);
        CDialogDriver::SetItemText(window, IDC_FILE_NAME, L"data.txt");
        CDialogDriver::PostCommand(window, IDOK);
    });
    CString path = m_root + L"\\b.reg"; // a file: its folder is the start
    ASSERT_TRUE(dialog.Run(nullptr, path));
    EXPECT_EQ(path, m_root + L"\\beta\\data.txt");
    ASSERT_EQ(m_boxes.Count(), 3u);
    EXPECT_EQ(m_boxes.Text(0), L"File name can not be empty.");
    EXPECT_EQ(m_boxes.Text(1), L"Invalid file name.");
    EXPECT_EQ(m_boxes.Text(2), L"File name can not contain the following characters:\r\n\\/:*?\"<>|");
    EXPECT_EQ(m_boxes.Messages()[0].style, UINT(MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND));
    EXPECT_EQ(focusAfterError, edit);
}

// A listed file without an extension comes back as itself, never as another file with ".reg"
// added; names of dots and blanks alone, which would name the folder, are refused.
TEST_F(SelectFileDlgTest, ListedFileWithoutExtensionKeepsItsNameAndDotNamesAreRefused)
{
    ASSERT_TRUE(WriteFileBytes(m_root + L"\\Backup", "plain"));
    ASSERT_TRUE(WriteFileBytes(m_root + L"\\Backup.reg", "other"));
    for (bool typed : {false, true}) {
        CSelectFileDlg dialog;
        CDialogDriver driver;
        driver.Expect([&](HWND window) {
            for (const wchar_t* name : {L"...", L". .", L" ", L".. "})
                Select(window, name);
            if (typed) {
                Select(window, L"backup");
                return;
            }
            for (int i = 0; i < dialog.GetItemCount(); ++i) {
                if (dialog.GetItem(i)->name == L"Backup")
                    Activate(window, i, false);
            }
        });
        CString path = m_root;
        ASSERT_TRUE(dialog.Run(nullptr, path)) << typed;
        EXPECT_EQ(path, m_root + (typed ? L"\\backup" : L"\\Backup"));
        ASSERT_EQ(m_boxes.Count(), 4u) << typed;
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(m_boxes.Text(i), L"Invalid file name.") << typed << i;
        m_boxes.Clear();
    }
}

TEST_F(SelectFileDlgTest, ActivatingAFileChoosesItOnlyWithoutATap)
{
    CSelectFileDlg dialog;
    CDialogDriver driver;
    CString afterTap;
    bool stillOpen = false;
    driver.Expect([&](HWND window) {
        Activate(window, 4, true); // b.reg, tapped: the name only
        afterTap = CDialogDriver::GetItemText(window, IDC_FILE_NAME);
        stillOpen = IsWindow(window) && IsWindowEnabled(window);
        Activate(window, 5, false); // c.REG by the action key: chosen
    });
    CString path = m_root;
    ASSERT_TRUE(dialog.Run(nullptr, path));
    EXPECT_EQ(afterTap, L"b.reg");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(path, m_root + L"\\c.REG");
}

TEST_F(SelectFileDlgTest, SelectingAnItemPutsItsNameInTheEditBoxAndCancelReturnsNothing)
{
    CSelectFileDlg dialog;
    CDialogDriver driver;
    CString edited;
    driver.Expect([&](HWND window) {
        LVITEMW state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendDlgItemMessageW(window, IDC_FILE_LIST, LVM_SETITEMSTATE, 3, LPARAM(&state));
        edited = CDialogDriver::GetItemText(window, IDC_FILE_NAME);
        CDialogDriver::PostCommand(window, IDCANCEL);
    });
    CString path = m_root;
    EXPECT_FALSE(dialog.Run(nullptr, path));
    EXPECT_EQ(edited, L"A.txt");
    EXPECT_EQ(path, m_root);
}

TEST(SelectFileStart, StartFolderComesFromThePath)
{
    EXPECT_EQ(CSelectFileDlg::GetStartFolder(L""), L"\\");
    EXPECT_EQ(CSelectFileDlg::GetStartFolder(L"C:\\no such folder\\x.reg"), L"\\");
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const CString folder = RemoveTrailingBackslash(temp);
    EXPECT_EQ(CSelectFileDlg::GetStartFolder(temp), folder);
    const CString file = folder + L"\\hivelet start.reg";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    EXPECT_EQ(CSelectFileDlg::GetStartFolder(file), folder);
    DeleteFileW(file);
}

// A drive's root is the top: no parent entry, and ".." from a folder right below it leads there.
TEST(SelectFileStart, DriveRootHasNoParentEntry)
{
    CSelectFileDlg dialog;
    CDialogDriver driver;
    CString firstName;
    driver.Expect([&](HWND window) {
        firstName = dialog.GetItemCount() ? dialog.GetItem(0)->name : CString();
        CDialogDriver::PostCommand(window, IDCANCEL);
    });
    CString path = L"C:\\";
    EXPECT_FALSE(dialog.Run(nullptr, path));
    EXPECT_EQ(dialog.GetFolder(), L"C:");
    EXPECT_NE(firstName, L"..");
}

} // namespace

namespace {

// On a Smartphone the list hands the focus on at its ends and with Tab, Left and Right; the
// edit box it lands on has its whole text selected.
TEST_F(SelectFileDlgTest, SmartphoneListKeysMoveBetweenControls)
{
    OverridePlatformType(L"Smartphone");
    ResetDeviceInfo();
    CSelectFileDlg dialog;
    CDialogDriver driver;
    HWND afterUp = nullptr, afterDownInside = nullptr, afterDownAtEnd = nullptr, afterRight = nullptr;
    HWND list = nullptr, edit = nullptr;
    DWORD selection = 0;
    int editLength = -1;
    driver.Expect([&](HWND window) {
        list = GetDlgItem(window, IDC_FILE_LIST);
        edit = GetDlgItem(window, IDC_FILE_NAME);
        CDialogDriver::SetItemText(window, IDC_FILE_NAME, L"typed");
        SetFocus(list); // selects the first item
        SendMessageW(list, WM_KEYDOWN, VK_UP, 0);
        afterUp = GetFocus();
        selection = DWORD(SendMessageW(edit, EM_GETSEL, 0, 0));
        editLength = GetWindowTextLengthW(edit); // "..", put there by the list
        SetFocus(list);
        SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
        afterDownInside = GetFocus();
        const int last = dialog.GetItemCount() - 1;
        LVITEMW state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, WPARAM(last), LPARAM(&state));
        SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
        afterDownAtEnd = GetFocus();
        SetFocus(list);
        SendMessageW(list, WM_KEYDOWN, VK_RIGHT, 0);
        afterRight = GetFocus();
        CDialogDriver::PostCommand(window, IDCANCEL);
    });
    CString path = m_root;
    dialog.Run(nullptr, path);
    ClearPlatformOverrides();
    ResetDeviceInfo();
    EXPECT_EQ(afterUp, edit);
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), editLength);
    EXPECT_EQ(afterDownInside, list);
    EXPECT_EQ(afterDownAtEnd, edit);
    EXPECT_EQ(afterRight, edit);
}

} // namespace
