// The value editor's byte view: other types, "Edit as Binary..." keeping the type, new custom
// values with their type field, the failed-paste message, and data written back unchanged.
#include "dialogs/EditValueDlg.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"
#include "tests/support/RegistryTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

class EditValueBytesTest : public CRegistryTest
{
protected:
    void Put(const wchar_t* name, DWORD type, const Bytes& data)
    {
        WriteValue(TestKey(), nullptr, name, type, data.data(), DWORD(data.size()));
    }
    bool Read(const wchar_t* name, DWORD& type, Bytes& bytes)
    {
        CShdRegKey key(false);
        CShdBinaryBuffer data;
        if (!key.Open(HKEY_CURRENT_USER, TestPath()) || !key.QueryValue(name, type, data))
            return false;
        bytes.assign(data.GetData(), data.GetData() + data.GetSize());
        return true;
    }
    bool Edit(const wchar_t* name, bool asBinary, DialogScript script)
    {
        ExpectDialog(m_driver, script);
        CEditValueDlg dialog;
        return dialog.EditValue(nullptr, HKEY_CURRENT_USER, TestPath(), name, asBinary);
    }
    bool NewCustom(CString& name, DialogScript script)
    {
        ExpectDialog(m_driver, script);
        CEditValueDlg dialog;
        return dialog.NewValue(nullptr, HKEY_CURRENT_USER, TestPath(), REG_NONE, true, name);
    }

    CDialogDriver m_driver;
    CMessageBoxRecorder m_messages;
};

const int kTextEditors[] = {IDC_VALUE_STRING, IDC_VALUE_DWORD, IDC_VALUE_MULTI_STRING};

} // namespace

TEST_F(EditValueBytesTest, EveryTypeGoesBackUnchangedThroughTheByteView)
{
    struct SCase
    {
        DWORD type;
        Bytes data;
    } cases[] = {
        {REG_NONE, {1, 2, 3}},
        {REG_BINARY, {0x00, 0xFF, 0x10, 0x80, 0x7F}},
        {REG_BINARY, {}},
        {0x20000, {0xAA}},
        {REG_SZ, {'a', 0, 'b', 0, 0, 0}},
        {REG_MULTI_SZ, {'a', 0, 0, 0, 0, 0}},
        {REG_DWORD, {1, 2, 3}}, // a dword of the wrong length, editable only as bytes
        {REG_DWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const SCase& c : cases) {
        Put(L"Value", c.type, c.data);
        const bool asBinary = c.type == REG_SZ || c.type == REG_MULTI_SZ || c.type == REG_DWORD;
        ASSERT_TRUE(Edit(L"Value", asBinary, [&](HWND dialog) {
            EXPECT_TRUE(IsItemVisible(dialog, IDC_VALUE_HEX_EDIT)) << c.type;
            for (int id : kTextEditors)
                EXPECT_FALSE(IsItemVisible(dialog, id)) << c.type;
            EXPECT_FALSE(IsItemVisible(dialog, IDC_VALUE_CUSTOM_TYPE)) << "edit mode keeps the type";
            EXPECT_EQ(GetDlgItem(dialog, IDC_VALUE_HEX_EDIT), DialogFocus(dialog));
            SendCommand(dialog, IDOK);
        })) << c.type;
        DWORD type = 0;
        Bytes stored;
        ASSERT_TRUE(Read(L"Value", type, stored));
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(c.data, stored) << c.type;
    }
    EXPECT_EQ(0u, m_messages.Count());
}

TEST_F(EditValueBytesTest, CustomValueTakesItsTypeFromTheTypeField)
{
    CString name;
    ASSERT_TRUE(NewCustom(name, [&](HWND dialog) {
        EXPECT_TRUE(IsItemVisible(dialog, IDC_VALUE_CUSTOM_TYPE));
        EXPECT_FALSE(IsItemVisible(dialog, IDC_VALUE_TYPE_LABEL));
        CDialogDriver::SetItemText(dialog, IDC_VALUE_NAME, L"Custom");
        for (const wchar_t* text : {L"10000", L"", L"0x10", L"-1"}) {
            CDialogDriver::SetItemText(dialog, IDC_VALUE_CUSTOM_TYPE, text);
            SendCommand(dialog, IDOK);
        }
        EXPECT_EQ(4u, m_messages.Count());
        CDialogDriver::SetItemText(dialog, IDC_VALUE_CUSTOM_TYPE, L"FFFF");
        SendCommand(dialog, IDOK);
    }));
    EXPECT_EQ(CString(L"Custom"), name);
    DWORD type = 0;
    Bytes stored = {1};
    ASSERT_TRUE(Read(L"Custom", type, stored));
    EXPECT_EQ(0xFFFFu, type);
    EXPECT_TRUE(stored.empty());

    name = L"None";
    ASSERT_TRUE(NewCustom(name, [](HWND dialog) { SendCommand(dialog, IDOK); }));
    ASSERT_TRUE(Read(L"None", type, stored));
    EXPECT_EQ(DWORD(REG_NONE), type);
}

TEST_F(EditValueBytesTest, FailedPasteIsReportedAndTheFocusGoesBack)
{
    Put(L"Blob", REG_BINARY, {1, 2});
    ASSERT_TRUE(Edit(L"Blob", false, [&](HWND dialog) {
        HWND hex = GetDlgItem(dialog, IDC_VALUE_HEX_EDIT);
        SetFocus(GetDlgItem(dialog, IDC_VALUE_NAME));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_VALUE_HEX_EDIT, CHexEditCtrl::kPasteFailed),
                     LPARAM(hex));
        ASSERT_EQ(1u, m_messages.Count());
        EXPECT_EQ(CString(L"Invalid data"), m_messages.Text(0));
        EXPECT_EQ(hex, DialogFocus(dialog));
        SendCommand(dialog, IDOK);
    }));
}

TEST_F(EditValueBytesTest, ShortDialogPutsTheBytesBesideTheName)
{
    Put(L"Blob", REG_BINARY, Bytes(40, 0x41));
    EXPECT_FALSE(Edit(L"Blob", false, [](HWND dialog) {
        auto rectOf = [&](int id) {
            RECT rect;
            GetWindowRect(GetDlgItem(dialog, id), &rect);
            return rect;
        };
        MoveWindow(dialog, 0, 0, 480, 150, TRUE);
        RECT name = rectOf(IDC_VALUE_NAME), hex = rectOf(IDC_VALUE_HEX_EDIT);
        EXPECT_EQ(name.top, hex.top);
        EXPECT_GT(hex.left, name.right);
        MoveWindow(dialog, 0, 0, 480, 400, TRUE);
        RECT tall = rectOf(IDC_VALUE_HEX_EDIT);
        EXPECT_GT(tall.top, rectOf(IDC_VALUE_NAME).bottom);
        EXPECT_LE(tall.right, rectOf(IDC_VALUE_NAME).right) << "fitted to its bytes per line";
        SendCommand(dialog, IDCANCEL);
    }));
}
