// The value editor run in-process under the dialog driver, against the test's own key in the
// real registry (and the in-memory registry for data Wine would not keep as written): the
// editor chosen by type, the double-word base switch, the byte view and custom types, Done's
// checks and messages, values created under missing keys, and data written back unchanged when
// nothing was edited.
#include "dialogs/EditValueDlg.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/dialogs/MenuProbe.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/PrintCString.h"
#include "tests/support/RegistryTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes Characters(const std::wstring& text)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(text.data());
    return Bytes(p, p + text.size() * sizeof(wchar_t));
}

struct SStored
{
    bool exists = false;
    DWORD type = 0;
    Bytes data;
};

// Read through the back end in force, not through the code under test's paths.
SStored ReadStored(HKEY root, const wchar_t* path, const wchar_t* name)
{
    SStored stored;
    CShdRegKey key(false);
    CShdBinaryBuffer data;
    if (key.Open(root, path) && key.QueryValue(name, stored.type, data)) {
        stored.exists = true;
        stored.data.assign(data.GetData(), data.GetData() + data.GetSize());
    }
    return stored;
}

class EditValueDlgTest : public CRegistryTest
{
protected:
    void Put(const wchar_t* name, DWORD type, const Bytes& data)
    {
        WriteValue(TestKey(), nullptr, name, type, data.data(), DWORD(data.size()));
    }
    SStored Stored(const wchar_t* name) { return ReadStored(HKEY_CURRENT_USER, TestPath(), name); }
    bool Edit(const wchar_t* name, DialogScript script, bool asBinary = false)
    {
        ExpectDialog(m_driver, script);
        CEditValueDlg dialog;
        return dialog.EditValue(nullptr, HKEY_CURRENT_USER, TestPath(), name, asBinary);
    }
    bool Create(const wchar_t* path, DWORD type, CString& name, DialogScript script, bool asBinary = false)
    {
        ExpectDialog(m_driver, script);
        CEditValueDlg dialog;
        return dialog.NewValue(nullptr, HKEY_CURRENT_USER, path, type, asBinary, name);
    }

    CDialogDriver m_driver;
    CMessageBoxRecorder m_messages;
};

CString Text(HWND dialog, int id)
{
    return CDialogDriver::GetItemText(dialog, id);
}

} // namespace

// Each type opens its own editor, showing what the bytes hold, and Done without an edit writes
// the bytes back as they were.
TEST_F(EditValueDlgTest, EachTypeOpensItsEditorAndDoneWritesItBackUnchanged)
{
    struct SCase
    {
        DWORD type;
        Bytes data;
        int editor;
        const wchar_t* shown;
        const wchar_t* typeLabel;
    } cases[] = {
        {REG_SZ, Characters(std::wstring(L"plain\0", 6)), IDC_VALUE_STRING, L"plain", L"Type: REG_SZ"},
        // Text behind an embedded NUL.
        {REG_EXPAND_SZ, Characters(std::wstring(L"ab\0cd\0", 6)), IDC_VALUE_STRING, L"ab",
         L"Type: REG_EXPAND_SZ"},
        // A line break in a one-line field.
        {REG_SZ, Characters(std::wstring(L"one\r\ntwo\0", 9)), IDC_VALUE_STRING, nullptr, L"Type: REG_SZ"},
        {REG_MULTI_SZ, Characters(std::wstring(L"a\0b\0\0", 5)), IDC_VALUE_MULTI_STRING, L"a\r\nb",
         L"Type: REG_MULTI_SZ"},
        // Multi-strings with one trailing NUL and with three.
        {REG_MULTI_SZ, Characters(std::wstring(L"a\0", 2)), IDC_VALUE_MULTI_STRING, L"a",
         L"Type: REG_MULTI_SZ"},
        {REG_MULTI_SZ, Characters(std::wstring(L"a\0\0\0", 4)), IDC_VALUE_MULTI_STRING, L"a\r\n",
         L"Type: REG_MULTI_SZ"},
        {REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, IDC_VALUE_DWORD, L"4294967295", L"Type: REG_DWORD"},
    };
    const int editors[] = {IDC_VALUE_STRING, IDC_VALUE_DWORD, IDC_VALUE_MULTI_STRING, IDC_VALUE_CUSTOM_TYPE,
                           IDC_VALUE_HEX_EDIT};
    for (const SCase& c : cases) {
        Put(L"Value", c.type, c.data);
        ASSERT_TRUE(Edit(L"Value", [&](HWND dialog) {
            for (int id : editors)
                EXPECT_EQ(id == c.editor, IsItemVisible(dialog, id)) << c.type << " control " << id;
            EXPECT_EQ(c.editor == IDC_VALUE_DWORD, IsItemVisible(dialog, IDC_VALUE_HEXADECIMAL)) << c.type;
            if (c.shown) {
                EXPECT_EQ(CString(c.shown), Text(dialog, c.editor));
            }
            EXPECT_EQ(CString(c.typeLabel), Text(dialog, IDC_VALUE_TYPE_LABEL));
            EXPECT_EQ(GetDlgItem(dialog, c.editor), DialogFocus(dialog));
            SendCommand(dialog, IDOK);
        })) << c.type;
        SStored stored = Stored(L"Value");
        EXPECT_EQ(c.type, stored.type);
        EXPECT_EQ(c.data, stored.data) << c.type;
    }
    EXPECT_EQ(0u, m_messages.Count());
}

TEST_F(EditValueDlgTest, EditedTextIsWrittenWithOneTerminatorAndKeepsItsType)
{
    Put(L"Path", REG_EXPAND_SZ, Characters(std::wstring(L"ab\0cd\0", 6)));
    ASSERT_TRUE(Edit(L"Path", [](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_VALUE_STRING, L"%TEMP%\\x");
        SendCommand(dialog, IDOK);
    }));
    SStored stored = Stored(L"Path");
    EXPECT_EQ(DWORD(REG_EXPAND_SZ), stored.type);
    EXPECT_EQ(Characters(std::wstring(L"%TEMP%\\x\0", 9)), stored.data);

    Put(L"Lines", REG_MULTI_SZ, Characters(std::wstring(L"a\0\0", 3)));
    ASSERT_TRUE(Edit(L"Lines", [](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_VALUE_MULTI_STRING, L"one\r\n\r\ntwo\nthree\r");
        SendCommand(dialog, IDOK);
    }));
    EXPECT_EQ(Characters(std::wstring(L"one\0two\0three\0\0\0", 16)), Stored(L"Lines").data)
        << "the empty line is dropped";
}

// Every reader of a multi-string stops at its first empty string, so typed empty lines are
// left out (a last one, from a final line break, ends the list anyway) and the user is told.
// Stored data that already holds an empty string goes back as it was when nothing was edited.
TEST_F(EditValueDlgTest, EditedMultiStringLosesItsEmptyLinesAndSaysSo)
{
    const std::wstring inner(L"first\0\0third\0\0", 14);
    struct SCase
    {
        const wchar_t* typed; // nullptr: Done without an edit
        std::wstring stored;
        bool told;
    } cases[] = {
        {L"first\r\nsecond\r\n\r\nfourth", std::wstring(L"first\0second\0fourth\0\0", 21), true},
        {L"\r\n\na\r\n\r\n", std::wstring(L"a\0\0\0", 4), true},
        {L"\r\n", std::wstring(L"\0\0", 2), true},
        {L"x\ny\r\n", std::wstring(L"x\0y\0\0\0", 6), false},
        {L"", std::wstring(L"\0\0", 2), false},
        {nullptr, inner, false},
    };
    for (const SCase& c : cases) {
        Put(L"Lines", REG_MULTI_SZ, Characters(inner));
        m_messages.Clear();
        ASSERT_TRUE(Edit(L"Lines", [&](HWND dialog) {
            if (c.typed)
                CDialogDriver::SetItemText(dialog, IDC_VALUE_MULTI_STRING, c.typed);
            SendCommand(dialog, IDOK);
        }));
        EXPECT_EQ(Characters(c.stored), Stored(L"Lines").data) << (c.typed ? c.typed : L"unedited");
        ASSERT_EQ(c.told ? 1u : 0u, m_messages.Count()) << (c.typed ? c.typed : L"unedited");
        if (c.told) {
            EXPECT_EQ(CString(L"Empty lines were removed from the value."), m_messages.Text(0));
            EXPECT_EQ(UINT(MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND), m_messages.Messages()[0].style);
        }
    }
    CString name;
    ASSERT_TRUE(Create(TestPath(), REG_MULTI_SZ, name, [](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_VALUE_NAME, L"New");
        CDialogDriver::SetItemText(dialog, IDC_VALUE_MULTI_STRING, L"a\r\n\r\nb");
        SendCommand(dialog, IDOK);
    }));
    EXPECT_EQ(Characters(std::wstring(L"a\0b\0\0", 5)), Stored(L"New").data);
    EXPECT_EQ(1u, m_messages.Count()) << "a new value is told as well";
}

TEST_F(EditValueDlgTest, TypingIsNotCutOffAtTheFieldsDefaultLimit)
{
    std::wstring text(40000, L'x');
    Put(L"Long", REG_SZ, Characters(text + L'\0'));
    ASSERT_TRUE(Edit(L"Long", [](HWND dialog) {
        HWND field = GetDlgItem(dialog, IDC_VALUE_STRING);
        SendMessageW(field, EM_SETSEL, 40000, 40000);
        SendMessageW(field, WM_CHAR, L'y', 1);
        SendCommand(dialog, IDOK);
    }));
    EXPECT_EQ(Characters(text + L"y" + L'\0'), Stored(L"Long").data);
}

TEST_F(EditValueDlgTest, BaseSwitchShowsTheNumberAgainOrRefusesAnInvalidOne)
{
    Put(L"Number", REG_DWORD, {0xFF, 0, 0, 0});
    ASSERT_TRUE(Edit(L"Number", [&](HWND dialog) {
        SendClick(dialog, IDC_VALUE_HEXADECIMAL);
        EXPECT_EQ(CString(L"ff"), Text(dialog, IDC_VALUE_DWORD));
        SendClick(dialog, IDC_VALUE_DECIMAL);
        EXPECT_EQ(CString(L"255"), Text(dialog, IDC_VALUE_DWORD));

        CDialogDriver::SetItemText(dialog, IDC_VALUE_DWORD, L"1a");
        SendClick(dialog, IDC_VALUE_HEXADECIMAL);
        ASSERT_EQ(1u, m_messages.Count());
        EXPECT_EQ(CString(L"Entered value is invalid"), m_messages.Text(0));
        EXPECT_TRUE(IsChecked(dialog, IDC_VALUE_DECIMAL) && !IsChecked(dialog, IDC_VALUE_HEXADECIMAL));
        EXPECT_EQ(CString(L"1a"), Text(dialog, IDC_VALUE_DWORD));

        // Done parses in the current base: 1a is invalid in decimal, the dialog stays.
        SendCommand(dialog, IDOK);
        EXPECT_EQ(2u, m_messages.Count());
        CDialogDriver::SetItemText(dialog, IDC_VALUE_DWORD, L"26");
        SendClick(dialog, IDC_VALUE_HEXADECIMAL);
        EXPECT_EQ(CString(L"1a"), Text(dialog, IDC_VALUE_DWORD));
        CDialogDriver::SetItemText(dialog, IDC_VALUE_DWORD, L"00000000FFFFFFFF");
        SendCommand(dialog, IDOK);
    }));
    EXPECT_EQ(2u, m_messages.Count());
    EXPECT_EQ((Bytes{0xFF, 0xFF, 0xFF, 0xFF}), Stored(L"Number").data);
}

TEST_F(EditValueDlgTest, NoDialogForAWrongLengthDwordAMissingValueOrATypeWithoutEditor)
{
    Put(L"Three", REG_DWORD, {1, 2, 3});
    Put(L"Eight", REG_DWORD, {1, 2, 3, 4, 5, 6, 7, 8});
    for (const wchar_t* name : {L"Three", L"Eight", L"NoSuchValue"}) {
        CEditValueDlg dialog;
        EXPECT_FALSE(dialog.EditValue(nullptr, HKEY_CURRENT_USER, TestPath(), name, false)) << name;
    }
    CString name;
    EXPECT_FALSE(CEditValueDlg().NewValue(nullptr, HKEY_CURRENT_USER, TestPath(), 5, false, name));
    EXPECT_EQ(0, m_driver.HandledCount());
    EXPECT_EQ(0u, m_messages.Count());
    EXPECT_EQ((Bytes{1, 2, 3}), Stored(L"Three").data);
}

TEST_F(EditValueDlgTest, NewValueUnderAMissingKeyCreatesTheKey)
{
    CString path = TestPath() + L"\\New\\Deeper";
    CString name;
    ASSERT_TRUE(Create(path, REG_SZ, name, [](HWND dialog) {
        EXPECT_EQ(GetDlgItem(dialog, IDC_VALUE_NAME), DialogFocus(dialog));
        CDialogDriver::SetItemText(dialog, IDC_VALUE_NAME, L"Greeting");
        CDialogDriver::SetItemText(dialog, IDC_VALUE_STRING, L"hello");
        SendCommand(dialog, IDOK);
    }));
    EXPECT_EQ(CString(L"Greeting"), name);
    SStored stored = ReadStored(HKEY_CURRENT_USER, path, L"Greeting");
    EXPECT_EQ(DWORD(REG_SZ), stored.type);
    EXPECT_EQ(Characters(std::wstring(L"hello\0", 6)), stored.data);
}

TEST_F(EditValueDlgTest, NewValueRefusesAUsedNameAndKeepsTheInput)
{
    Put(L"Taken", REG_SZ, Characters(std::wstring(L"old\0", 4)));
    CString name;
    ASSERT_TRUE(Create(TestPath(), REG_DWORD, name, [&](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_VALUE_NAME, L"TAKEN");
        CDialogDriver::SetItemText(dialog, IDC_VALUE_DWORD, L"7");
        SendCommand(dialog, IDOK);
        ASSERT_EQ(1u, m_messages.Count());
        EXPECT_EQ(CString(L"Value with this name already exists"), m_messages.Text(0));
        EXPECT_EQ(CString(L"7"), Text(dialog, IDC_VALUE_DWORD));
        CDialogDriver::SetItemText(dialog, IDC_VALUE_NAME, L"");
        SendCommand(dialog, IDOK); // the key's default value
    }));
    EXPECT_EQ(CString(L""), name);
    EXPECT_EQ((Bytes{7, 0, 0, 0}), Stored(L"").data);
    EXPECT_EQ(Characters(std::wstring(L"old\0", 4)), Stored(L"Taken").data);
}

TEST_F(EditValueDlgTest, ShortDialogHidesTheTypeAndPutsTheEditorBesideTheName)
{
    Put(L"Lines", REG_MULTI_SZ, Characters(std::wstring(L"a\0\0", 3)));
    Put(L"Blob", REG_BINARY, Bytes(40, 0x41));
    const struct
    {
        const wchar_t* value;
        int editor, width;
    } cases[] = {{L"Lines", IDC_VALUE_MULTI_STRING, 320}, {L"Blob", IDC_VALUE_HEX_EDIT, 480}};
    for (const auto& c : cases) {
        EXPECT_FALSE(Edit(c.value, [&](HWND dialog) {
            auto rectOf = [&](int id) {
                RECT rect;
                GetWindowRect(GetDlgItem(dialog, id), &rect);
                return rect;
            };
            MoveWindow(dialog, 0, 0, c.width, 400, TRUE);
            EXPECT_TRUE(IsItemVisible(dialog, IDC_VALUE_TYPE_LABEL));
            RECT name = rectOf(IDC_VALUE_NAME), editor = rectOf(c.editor);
            EXPECT_GT(editor.top, name.bottom);
            if (c.editor == IDC_VALUE_HEX_EDIT) {
                EXPECT_LE(editor.right, name.right) << "fitted to its bytes per line";
            }
            MoveWindow(dialog, 0, 0, c.width, 150, TRUE);
            EXPECT_FALSE(IsItemVisible(dialog, IDC_VALUE_TYPE_LABEL));
            name = rectOf(IDC_VALUE_NAME), editor = rectOf(c.editor);
            EXPECT_EQ(name.top, editor.top);
            EXPECT_GT(editor.left, name.right);
            SendCommand(dialog, IDCANCEL);
        })) << c.value;
    }
}

// The byte view: other types, "Edit as Binary..." keeping the type, new custom values.
TEST_F(EditValueDlgTest, EveryTypeGoesBackUnchangedThroughTheByteView)
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
        ASSERT_TRUE(Edit(
            L"Value",
            [&](HWND dialog) {
                EXPECT_TRUE(IsItemVisible(dialog, IDC_VALUE_HEX_EDIT)) << c.type;
                for (int id : {IDC_VALUE_STRING, IDC_VALUE_DWORD, IDC_VALUE_MULTI_STRING})
                    EXPECT_FALSE(IsItemVisible(dialog, id)) << c.type;
                EXPECT_FALSE(IsItemVisible(dialog, IDC_VALUE_CUSTOM_TYPE)) << "edit mode keeps the type";
                EXPECT_EQ(GetDlgItem(dialog, IDC_VALUE_HEX_EDIT), DialogFocus(dialog));
                SendCommand(dialog, IDOK);
            },
            asBinary))
            << c.type;
        SStored stored = Stored(L"Value");
        EXPECT_EQ(c.type, stored.type);
        EXPECT_EQ(c.data, stored.data) << c.type;
    }
    EXPECT_EQ(0u, m_messages.Count());
}

TEST_F(EditValueDlgTest, CustomValueTakesItsTypeFromTheTypeField)
{
    CString name;
    const auto custom = [&](DialogScript script) { return Create(TestPath(), REG_NONE, name, script, true); };
    ASSERT_TRUE(custom([&](HWND dialog) {
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
    SStored stored = Stored(L"Custom");
    ASSERT_TRUE(stored.exists);
    EXPECT_EQ(0xFFFFu, stored.type);
    EXPECT_TRUE(stored.data.empty());

    name = L"None";
    ASSERT_TRUE(custom([](HWND dialog) { SendCommand(dialog, IDOK); }));
    EXPECT_EQ(DWORD(REG_NONE), Stored(L"None").type);
}

TEST_F(EditValueDlgTest, FailedPasteIsReportedAndTheFocusGoesBack)
{
    Put(L"Blob", REG_BINARY, {1, 2});
    ASSERT_TRUE(Edit(L"Blob", [&](HWND dialog) {
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

// Enter in the byte editor is the control's key: it opens the control's context menu (the only
// keyboard way to cut, copy and paste on a Smartphone) and never ends the dialog with Done.
TEST_F(EditValueDlgTest, EnterInTheByteEditorOpensItsMenuAndNeverEndsTheDialog)
{
    Put(L"Blob", REG_BINARY, {1, 2});
    bool menuSeen = false;
    EXPECT_FALSE(Edit(L"Blob", [&](HWND dialog) {
        HWND hex = GetDlgItem(dialog, IDC_VALUE_HEX_EDIT);
        SetFocus(hex);
        SendMessageW(hex, WM_CHAR, L'7', 1); // an edit Done would write
        // What the dialog's modal loop does with the key.
        MSG enter = {hex, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
        CMenuProbe probe;
        PostMessageW(hex, WM_NULL, 0, 0);
        if (!IsDialogMessageW(dialog, &enter))
            DispatchMessageW(&enter);
        menuSeen = probe.seen;
        EXPECT_EQ(hex, DialogFocus(dialog));
    }));
    EXPECT_TRUE(menuSeen);
    EXPECT_EQ((Bytes{1, 2}), Stored(L"Blob").data);
}

// Data the real registry of Wine would not keep as written.
class EditValueDlgMemoryTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_key.Create(HKEY_CURRENT_USER, L"Software\\Editor")); }
    void Put(const wchar_t* name, DWORD type, const Bytes& data)
    {
        ASSERT_TRUE(m_key.SetValue(name, type, data.data(), DWORD(data.size())));
    }
    bool Edit(const wchar_t* name, DialogScript script)
    {
        ExpectDialog(m_driver, script);
        CEditValueDlg dialog;
        return dialog.EditValue(nullptr, HKEY_CURRENT_USER, L"Software\\Editor", name, false);
    }
    SStored Stored(const wchar_t* name) { return ReadStored(HKEY_CURRENT_USER, L"Software\\Editor", name); }

    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
    CShdRegKey m_key{false};
    CDialogDriver m_driver;
    CMessageBoxRecorder m_messages;
};

TEST_F(EditValueDlgMemoryTest, StringWithoutTerminatorIsShownWholeAndGainsOneWhenEdited)
{
    Bytes bare = Characters(L"abc");
    Bytes odd = bare;
    odd.push_back(0x44);
    Put(L"Bare", REG_SZ, bare);
    Put(L"Odd", REG_SZ, odd);
    for (const wchar_t* name : {L"Bare", L"Odd"}) {
        ASSERT_TRUE(Edit(name, [](HWND dialog) {
            EXPECT_EQ(CString(L"abc"), Text(dialog, IDC_VALUE_STRING));
            SendCommand(dialog, IDOK);
        }));
    }
    EXPECT_EQ(bare, Stored(L"Bare").data) << "unchanged text keeps the stored bytes";
    EXPECT_EQ(odd, Stored(L"Odd").data);
    ASSERT_TRUE(Edit(L"Bare", [](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_VALUE_STRING, L"abcd");
        SendCommand(dialog, IDOK);
    }));
    EXPECT_EQ(Characters(std::wstring(L"abcd\0", 5)), Stored(L"Bare").data);
}

TEST_F(EditValueDlgMemoryTest, RefusedWritesKeepTheDialogOpen)
{
    Put(L"Text", REG_SZ, Characters(std::wstring(L"x\0", 2)));
    ASSERT_TRUE(Edit(L"Text", [&](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_VALUE_STRING, L"y");
        m_memory.FailCall(IRegistryBackend::OpSetValue, 1);
        SendCommand(dialog, IDOK);
        m_memory.FailCall(IRegistryBackend::OpCreateKey, 1);
        SendCommand(dialog, IDOK);
        ASSERT_EQ(2u, m_messages.Count());
        EXPECT_EQ(CString(L"Unable to write value"), m_messages.Text(1));
        EXPECT_EQ(Characters(std::wstring(L"x\0", 2)), Stored(L"Text").data);
        SendCommand(dialog, IDOK);
    }));
    EXPECT_EQ(Characters(std::wstring(L"y\0", 2)), Stored(L"Text").data);
    EXPECT_EQ(1u, m_memory.OpenHandleCount()) << "only the fixture's key stays open";
}
