// The key editor's checks in their order and the key properties, run under the dialog driver
// against the test's own key.
#include "dialogs/BookmarksDlg.h"
#include "dialogs/EditKeyDlg.h"
#include "dialogs/EditValueDlg.h"
#include "dialogs/KeyPropertiesDlg.h"
#include "platform/PlatformInfo.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"
#include "tests/support/RegistryTest.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class KeyDialogTest : public CRegistryTest
{
protected:
    bool NewKey(const wchar_t* parentPath, CString& name, CString& keyClass, DialogScript script)
    {
        ExpectDialog(m_driver, script);
        CEditKeyDlg dialog;
        return dialog.NewKey(nullptr, HKEY_CURRENT_USER, parentPath, name, keyClass);
    }
    bool Properties(HKEY root, const wchar_t* path, DialogScript script)
    {
        ExpectDialog(m_driver, script);
        CKeyPropertiesDlg dialog;
        return dialog.ShowKeyProperties(nullptr, root, path);
    }
    CString ClassOf(const wchar_t* path)
    {
        CShdRegKey key(false);
        return key.Open(HKEY_CURRENT_USER, path) ? key.GetClass() : CString(L"<missing>");
    }
    void Type(HWND dialog, const wchar_t* name, const wchar_t* keyClass = L"")
    {
        CDialogDriver::SetItemText(dialog, IDC_KEY_NAME, name);
        CDialogDriver::SetItemText(dialog, IDC_KEY_CLASS, keyClass);
        SetFocus(GetDlgItem(dialog, IDC_KEY_CLASS));
        SendCommand(dialog, IDOK);
    }

    CDialogDriver m_driver;
    CMessageBoxRecorder m_messages;
};

CString Text(HWND dialog, int id)
{
    return CDialogDriver::GetItemText(dialog, id);
}

} // namespace

TEST_F(KeyDialogTest, RefusalsKeepTheInputAndTheNameIsPassedAsTyped)
{
    HKEY existing;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(TestKey(), L"Existing", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &existing, nullptr));
    RegCloseKey(existing);
    CString name, keyClass;
    ASSERT_TRUE(NewKey(TestPath(), name, keyClass, [&](HWND dialog) {
        EXPECT_EQ(CString(L"HKEY_CURRENT_USER\\") + TestPath(), Text(dialog, IDC_KEY_PARENT));
        Type(dialog, L"a\\b", L"cls");
        Type(dialog, L"");
        Type(dialog, L"EXISTING");
        ASSERT_EQ(3u, m_messages.Count());
        EXPECT_EQ(CString(L"Invalid key name"), m_messages.Text(0));
        EXPECT_EQ(CString(L"Key with this name already exists"), m_messages.Text(1));
        EXPECT_EQ(CString(L"Key with this name already exists"), m_messages.Text(2));
        EXPECT_EQ(GetDlgItem(dialog, IDC_KEY_NAME), DialogFocus(dialog)) << "focus back in the name field";
        EXPECT_EQ(CString(L"EXISTING"), Text(dialog, IDC_KEY_NAME));
        Type(dialog, L"  spaced/slash", L"MyClass");
    }));
    EXPECT_EQ(CString(L"  spaced/slash"), name);
    EXPECT_EQ(CString(L"MyClass"), keyClass);
    EXPECT_EQ(CString(L"MyClass"), ClassOf(TestPath() + L"\\  spaced/slash"));
    EXPECT_FALSE(KeyExists(TestKey(), L"a"));
}

TEST_F(KeyDialogTest, MissingParentAndCancel)
{
    CString name = L"Given", keyClass = L"GivenClass";
    EXPECT_FALSE(NewKey(TestPath() + L"\\Missing", name, keyClass, [&](HWND dialog) {
        EXPECT_EQ(CString(L"Given"), Text(dialog, IDC_KEY_NAME));
        EXPECT_EQ(CString(L"GivenClass"), Text(dialog, IDC_KEY_CLASS));
        SendCommand(dialog, IDOK);
        ASSERT_EQ(1u, m_messages.Count());
        EXPECT_EQ(CString(L"Unable to open parent key"), m_messages.Text(0));
        SendCommand(dialog, IDCANCEL);
    }));
    EXPECT_EQ(CString(L"Given"), name) << "unchanged when nothing was created";
    EXPECT_FALSE(KeyExists(TestKey(), L"Missing"));
}

TEST_F(KeyDialogTest, EmptyClassAndShortLayout)
{
    CString name, keyClass;
    ASSERT_TRUE(NewKey(TestPath(), name, keyClass, [&](HWND dialog) {
        auto rectOf = [&](int id) {
            RECT rect;
            GetWindowRect(GetDlgItem(dialog, id), &rect);
            return rect;
        };
        MoveWindow(dialog, 0, 0, 320, 150, TRUE);
        EXPECT_EQ(rectOf(IDC_KEY_NAME).top, rectOf(IDC_KEY_CLASS).top);
        EXPECT_LT(rectOf(IDC_KEY_NAME).right, rectOf(IDC_KEY_CLASS).left);
        MoveWindow(dialog, 0, 0, 240, 300, TRUE);
        EXPECT_GT(rectOf(IDC_KEY_CLASS).top, rectOf(IDC_KEY_NAME).bottom);
        EXPECT_EQ(rectOf(IDC_KEY_NAME).left, rectOf(IDC_KEY_CLASS).left);
        Type(dialog, L"Plain");
    }));
    EXPECT_EQ(CString(L""), ClassOf(TestPath() + L"\\Plain"));
    EXPECT_EQ(0u, m_messages.Count());
}

TEST_F(KeyDialogTest, RegistryRefusingTheKey)
{
    CMemoryRegistryBackend memory;
    CScopedRegistryBackend scope(memory);
    CShdRegKey parent(false);
    ASSERT_TRUE(parent.Create(HKEY_CURRENT_USER, L"Software\\Parent"));
    CString name, keyClass;
    memory.FailCall(IRegistryBackend::OpCreateKey, 1);
    ASSERT_TRUE(NewKey(L"Software\\Parent", name, keyClass, [&](HWND dialog) {
        Type(dialog, L"Child");
        ASSERT_EQ(1u, m_messages.Count());
        EXPECT_EQ(CString(L"Unable to create key"), m_messages.Text(0));
        EXPECT_EQ(GetDlgItem(dialog, IDC_KEY_NAME), DialogFocus(dialog));
        Type(dialog, L"Child");
    }));
    parent.Close();
    EXPECT_EQ(0u, memory.OpenHandleCount());
    EXPECT_GE(memory.CallCount(IRegistryBackend::OpFlushKey), 2u) << "parent and new key flushed";
}

TEST_F(KeyDialogTest, PropertiesShowTheFullNameAndClass)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(TestKey(), L"Classy", 0, const_cast<wchar_t*>(L"Some Class"), 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    EXPECT_TRUE(Properties(HKEY_CURRENT_USER, TestPath() + L"\\Classy", [](HWND dialog) {
        DWORD start = 0, end = 0;
        SendDlgItemMessageW(dialog, IDC_KEY_NAME, EM_GETSEL, WPARAM(&start), LPARAM(&end));
        EXPECT_EQ(start, end) << "the focused name is not selected";
        EXPECT_EQ(CString(L"Some Class"), Text(dialog, IDC_KEY_CLASS));
        SendCommand(dialog, ID_DIALOG_CLOSE);
    }));
    EXPECT_FALSE(Properties(HKEY_CURRENT_USER, L"", [](HWND dialog) {
        EXPECT_EQ(CString(L"HKEY_CURRENT_USER"), Text(dialog, IDC_KEY_NAME));
        SendCommand(dialog, IDCANCEL);
    }));
    EXPECT_EQ(0u, m_messages.Count());
    // A missing key is reported without a dialog.
    EXPECT_FALSE(
        CKeyPropertiesDlg().ShowKeyProperties(nullptr, HKEY_CURRENT_USER, TestPath() + L"\\Missing"));
    ASSERT_EQ(1u, m_messages.Count());
    EXPECT_EQ(CString(L"Unable to open registry key."), m_messages.Text(0));
    EXPECT_EQ(2, m_driver.HandledCount());
}

TEST_F(KeyDialogTest, BackKeyDeletesInTheFocusedFieldInsteadOfClosing)
{
    CString name, keyClass;
    EXPECT_FALSE(NewKey(TestPath(), name, keyClass, [](HWND dialog) {
        HWND field = GetDlgItem(dialog, IDC_KEY_CLASS);
        CDialogDriver::SetItemText(dialog, IDC_KEY_CLASS, L"abc");
        SetFocus(field);
        SendMessageW(field, EM_SETSEL, 3, 3);
        SendMessageW(dialog, WM_HOTKEY, 0, MAKELPARAM(0, VK_TBACK));
        EXPECT_EQ(CString(L"ab"), Text(dialog, IDC_KEY_CLASS));
        EXPECT_TRUE(IsWindowVisible(dialog));
        SendCommand(dialog, IDCANCEL);
    }));
    EXPECT_EQ(0u, m_messages.Count());
}

// A Smartphone before 5.00 gets the soft-key form of the dialogs' bars, with the same commands.
TEST_F(KeyDialogTest, SoftKeyBarsOnSmartphone)
{
    OverridePlatformType(L"Smartphone");
    OverridePlatformVersion(4, 20);
    ResetDeviceInfo();
    WriteString(TestKey(), nullptr, L"Text", L"x");
    auto expectBar = [](std::initializer_list<int> commands) {
        return [commands](HWND dialog) {
            HWND bar = FindCommandBar(dialog);
            ASSERT_NE(nullptr, bar);
            EXPECT_EQ(LRESULT(commands.size()), SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
            for (int command : commands)
                EXPECT_TRUE(HasBarButton(bar, command)) << command;
            SendCommand(dialog, IDCANCEL);
        };
    };
    CString name, keyClass, text;
    ExpectDialog(m_driver, expectBar({IDOK, IDCANCEL}));
    CEditValueDlg().EditValue(nullptr, HKEY_CURRENT_USER, TestPath(), L"Text", false);
    ExpectDialog(m_driver, expectBar({ID_DIALOG_CLOSE}));
    CKeyPropertiesDlg().ShowKeyProperties(nullptr, HKEY_CURRENT_USER, TestPath());
    ExpectDialog(m_driver, expectBar({ID_BOOKMARK_OPEN, ID_SOFTKEY_MENU}));
    HKEY root;
    bool selectValue;
    CBookmarksDlg().ShowBookmarks(nullptr, root, name, text, selectValue);
    EXPECT_EQ(3, m_driver.HandledCount());
    ClearPlatformOverrides();
    ResetDeviceInfo();
}
