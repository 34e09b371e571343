// The key and value commands of the main window over a real registry branch: the program
// clipboard with unique names and its refusals, renames through the label edits, deletes with
// the selection that follows, the clipboard emptied when its item goes, and a whole scenario.
#include "tests/app/KeyCommandTests.h"

#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "tests/support/PrintCString.h"
#include "tests/support/RegistryTest.h"

#include <gtest/gtest.h>

#include <algorithm>

void CKeyCommandTest::TearDown()
{
    EXPECT_TRUE(m_driver.AllHandled()) << "a dialog the test expected did not open";
    EXPECT_EQ(0u, m_messages.Count()) << "a message box the test did not check";
    CMainViewTest::TearDown();
}

void CKeyCommandTest::Command(UINT id)
{
    SendMessageW(m_main->GetHwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void CKeyCommandTest::MakeKey(const wchar_t* path)
{
    CShdRegKey key(true);
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, Sub(path)));
}

void CKeyCommandTest::PutString(const wchar_t* path, const wchar_t* name, const wchar_t* text)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text);
    PutValue(path, name, REG_SZ, std::vector<BYTE>(bytes, bytes + (wcslen(text) + 1) * sizeof(wchar_t)));
}

void CKeyCommandTest::PutValue(const wchar_t* path, const wchar_t* name, DWORD type,
                               const std::vector<BYTE>& data)
{
    CShdRegKey key(true);
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, Sub(path)));
    ASSERT_TRUE(key.SetValue(name, type, data.data(), DWORD(data.size())));
}

bool CKeyCommandTest::HasKey(const wchar_t* path)
{
    CShdRegKey key(false);
    return key.Open(HKEY_CURRENT_USER, Sub(path));
}

bool CKeyCommandTest::HasValue(const wchar_t* path, const wchar_t* name)
{
    CShdRegKey key(false);
    return key.Open(HKEY_CURRENT_USER, Sub(path)) && key.ValueExists(name);
}

namespace {

// Strings as their text when they end in one NUL, everything else as hex bytes.
std::wstring DataText(DWORD type, const CShdBinaryBuffer& data)
{
    const DWORD size = data.GetSize();
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.GetData());
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && size >= 2 && size % 2 == 0 && text[size / 2 - 1] == 0 &&
        wcslen(text) == size / 2 - 1)
        return std::wstring(L" \"") + text + L"\"";
    std::wstring hex;
    for (DWORD b = 0; b < size; ++b) {
        wchar_t pair[4];
        swprintf(pair, 4, L" %02X", data.GetData()[b]);
        hex += pair;
    }
    return hex;
}

void ListKey(HKEY root, const CString& full, const std::wstring& relative, Listing& out)
{
    CShdRegKey key(false);
    if (!key.Open(root, full))
        return;
    if (!relative.empty())
        out.push_back(relative);
    CString name;
    DWORD type = 0;
    CShdBinaryBuffer data;
    for (DWORD i = 0; key.EnumValue(i, name, type, data); ++i)
        out.push_back(relative + L": " + name.c_str() + L" = " + std::to_wstring(type) + L":" +
                      DataText(type, data));
    for (DWORD i = 0; key.EnumKey(i, name); ++i)
        ListKey(root, full + L"\\" + name, relative.empty() ? name.c_str() : relative + L"\\" + name.c_str(),
                out);
}

} // namespace

Listing Sorted(Listing listing)
{
    std::sort(listing.begin(), listing.end(), [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    });
    return listing;
}

Listing CKeyCommandTest::Contents(const wchar_t* path)
{
    Listing out;
    ListKey(HKEY_CURRENT_USER, Sub(path), L"", out);
    return Sorted(out);
}

bool CKeyCommandTest::SelectValue(const wchar_t* path, const wchar_t* name)
{
    return Select(path) && m_main->SelectValueByName(name);
}

void CKeyCommandTest::RenameKey(const wchar_t* path, const wchar_t* newName)
{
    ASSERT_TRUE(Select(path));
    Command(ID_KEY_RENAME);
    HWND edit = TreeView_GetEditControl(Tree().GetHwnd());
    ASSERT_NE(nullptr, edit) << "the label edit did not begin";
    EXPECT_NE(nullptr, m_main->GetInputPanel());
    SetWindowTextW(edit, newName);
    TreeView_EndEditLabelNow(Tree().GetHwnd(), FALSE);
    EXPECT_EQ(nullptr, m_main->GetInputPanel());
}

void CKeyCommandTest::RenameValue(const wchar_t* path, const wchar_t* name, const wchar_t* newName)
{
    ASSERT_TRUE(SelectValue(path, name));
    Command(ID_VALUE_RENAME);
    HWND edit = ListView_GetEditControl(List());
    ASSERT_NE(nullptr, edit) << "the label edit did not begin";
    EXPECT_NE(nullptr, m_main->GetInputPanel());
    SetWindowTextW(edit, newName);
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(nullptr, ListView_GetEditControl(List()));
    EXPECT_EQ(nullptr, m_main->GetInputPanel());
}

std::wstring CKeyCommandTest::SelectedKey()
{
    HKEY root = nullptr;
    CString path;
    if (!Tree().GetItemPath(Tree().GetSelection(), root, path))
        return L"<none>";
    if (path.EqualsNoCase(TestPath()))
        return L"";
    if (path.GetLength() <= TestPath().GetLength() ||
        !path.Left(TestPath().GetLength()).EqualsNoCase(TestPath()))
        return std::wstring(L"<outside> ") + path.c_str();
    return path.Mid(TestPath().GetLength() + 1).c_str();
}

std::wstring CKeyCommandTest::SelectedValue()
{
    int index = -1;
    CString name;
    return m_main->GetSelectedValue(index, name) ? name.c_str() : L"<none>";
}

int CKeyCommandTest::ValueImage(const wchar_t* name)
{
    int index = m_main->FindValueItem(name);
    return index < 0 ? -1 : ListImage(index);
}

std::vector<std::wstring> CKeyCommandTest::Messages()
{
    std::vector<std::wstring> texts;
    for (const auto& message : m_messages.Messages()) {
        EXPECT_EQ(m_main->GetHwnd(), message.owner);
        EXPECT_EQ(CString(L"Hivelet"), message.caption);
        texts.push_back(message.text.c_str());
    }
    m_messages.Clear();
    return texts;
}

namespace {

using Texts = std::vector<std::wstring>;

using KeyCommands = CKeyCommandTest;

} // namespace

TEST(KeyCommandNames, MakeUniqueNameCountsOnFromAnEarlierCounter)
{
    std::vector<std::wstring> taken;
    auto exists = [&taken](const CString& name) {
        return std::find(taken.begin(), taken.end(), std::wstring(name.c_str())) != taken.end();
    };
    struct SCase
    {
        const wchar_t* name;
        std::vector<std::wstring> taken;
        const wchar_t* unique;
    } cases[] = {
        {L"Name", {}, L"Name (2)"},           {L"Name (3)", {L"Name (2)", L"Name (3)"}, L"Name (4)"},
        {L"Name (0)", {}, L"Name (0) (2)"},   {L"Name(5)", {}, L"Name(5) (2)"},
        {L"Name ( 7x)", {}, L"Name (2)"}, // read as the C library reads a number
        {L"Name (-1)", {}, L"Name (-1) (2)"}, {L"", {}, L" (2)"},
    };
    for (const SCase& c : cases) {
        taken = c.taken;
        CString unique;
        ASSERT_TRUE(CMainWnd::MakeUniqueName(c.name, exists, unique)) << c.name;
        EXPECT_EQ(CString(c.unique), unique) << c.name;
    }
    int asked = 0;
    CString unique = L"left";
    EXPECT_FALSE(CMainWnd::MakeUniqueName(
        L"Full", [&asked](const CString&) { return ++asked > 0; }, unique));
    EXPECT_EQ(32766, asked);
    EXPECT_TRUE(unique.IsEmpty());
}

TEST_F(KeyCommands, CopiedValueGetsCountedNamesInItsOwnKeyAndStaysOnTheClipboard)
{
    PutString(L"K", L"Path", L"x");
    ASSERT_TRUE(SelectValue(L"K", L"Path"));
    SetFocus(List());
    Command(ID_VALUE_COPY);
    EXPECT_EQ(7, ValueImage(L"Path")) << "a copy has no cut look";
    Command(ID_PASTE);
    EXPECT_EQ(L"Path (2)", SelectedValue());
    Command(ID_VALUE_PASTE);
    EXPECT_EQ(L"Path (3)", SelectedValue());
    EXPECT_EQ(List(), GetFocus()) << "the focus goes back to the list";
    EXPECT_EQ(Sorted({L"K", L"K: Path = 1: \"x\"", L"K: Path (2) = 1: \"x\"", L"K: Path (3) = 1: \"x\""}),
              Contents());
    EXPECT_EQ(CMainWnd::kClipValueCopied, m_main->m_clipState);
}

TEST_F(KeyCommands, CutValueIsNotMovedIntoItsOwnKeyAndKeepsItsCutLook)
{
    PutString(L"K", L"Path", L"x");
    PutString(L"K", L"Other", L"y");
    ASSERT_TRUE(SelectValue(L"K", L"Path"));
    Command(ID_VALUE_CUT);
    EXPECT_EQ(0, ValueImage(L"Path"));
    Command(ID_PASTE);
    ASSERT_EQ(1u, m_messages.Count());
    EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND), m_messages.Messages()[0].style);
    EXPECT_EQ(Texts({L"You can not move value to the same registry key."}), Messages());
    Command(ID_VALUE_REFRESH);
    EXPECT_EQ(0, ValueImage(L"Path")) << "still cut after a refill";
    EXPECT_EQ(CMainWnd::kClipValueCut, m_main->m_clipState);
    // A new cut or copy empties the clipboard first, which gives the icon back.
    ASSERT_TRUE(m_main->SelectValueByName(L"Other"));
    Command(ID_VALUE_COPY);
    EXPECT_EQ(7, ValueImage(L"Path"));
    // Without a selected value a copy leaves the clipboard empty.
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED);
    Command(ID_VALUE_COPY);
    EXPECT_EQ(CMainWnd::kClipEmpty, m_main->m_clipState);
}

TEST_F(KeyCommands, KeyCopiedIntoItsParentGetsACountedNameAndNeverIntoItself)
{
    PutString(L"A\\B\\C", L"deep", L"1");
    PutString(L"A\\B", L"v", L"2");
    MakeKey(L"X\\B");
    ASSERT_TRUE(Select(L"A\\B"));
    Command(ID_KEY_COPY);
    ASSERT_TRUE(Select(L"A"));
    Command(ID_PASTE);
    EXPECT_EQ(L"A\\B (2)", SelectedKey());
    EXPECT_EQ(Sorted({L"B", L"B: v = 1: \"2\"", L"B\\C", L"B\\C: deep = 1: \"1\"", L"B (2)",
                      L"B (2): v = 1: \"2\"", L"B (2)\\C", L"B (2)\\C: deep = 1: \"1\""}),
              Contents(L"A"));
    for (const wchar_t* inside : {L"A\\B", L"A\\B\\C"}) {
        ASSERT_TRUE(Select(inside));
        Command(ID_KEY_PASTE);
        EXPECT_EQ(Texts({L"Registry key can not be copied to itself."}), Messages()) << inside;
    }
    ASSERT_TRUE(Select(L"X"));
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Key with this name already exists."}), Messages());
    EXPECT_EQ(Sorted({L"B"}), Contents(L"X")) << "keys are never merged";
    EXPECT_EQ(CMainWnd::kClipKeyCopied, m_main->m_clipState);

    ASSERT_TRUE(Select(L"A\\B"));
    Command(ID_KEY_CUT);
    EXPECT_EQ(0, Image(Item(L"A\\B")));
    ASSERT_TRUE(Select(L"A"));
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Key can not be moved to the same location."}), Messages());
    EXPECT_EQ(0, Image(Item(L"A\\B"))) << "still cut";
    EXPECT_EQ(CMainWnd::kClipKeyCut, m_main->m_clipState);
    EXPECT_EQ(Tree().GetHwnd(), GetFocus());
}

TEST_F(KeyCommands, ValueRenamesThroughTheLabelEdit)
{
    PutString(L"K", L"abc", L"1");
    PutValue(L"K", L"other", REG_DWORD, {7, 0, 0, 0});
    RenameValue(L"K", L"abc", L"ABC");
    EXPECT_EQ(Sorted({L"K", L"K: abc = 1: \"1\"", L"K: other = 4: 07 00 00 00"}), Contents())
        << "a change of case alone is not applied";
    RenameValue(L"K", L"abc", L"OTHER");
    EXPECT_EQ(Texts({L"Value with this name already exists."}), Messages());
    EXPECT_EQ(L"abc", ListText(m_main->FindValueItem(L"abc"), 0)) << "the list keeps the old name";
    RenameValue(L"K", L"other", L"count");
    EXPECT_EQ(Sorted({L"K", L"K: abc = 1: \"1\"", L"K: count = 4: 07 00 00 00"}), Contents());
    EXPECT_EQ(L"count", SelectedValue());
    EXPECT_EQ(List(), GetFocus());
    // Renaming the cut value empties the clipboard; a cancelled edit changes nothing.
    ASSERT_TRUE(SelectValue(L"K", L"abc"));
    Command(ID_VALUE_CUT);
    RenameValue(L"K", L"abc", L"moved");
    EXPECT_EQ(CMainWnd::kClipEmpty, m_main->m_clipState);
    EXPECT_EQ(7, ValueImage(L"moved"));
    ASSERT_TRUE(SelectValue(L"K", L"moved"));
    Command(ID_VALUE_RENAME);
    ListView_CancelEditLabel(List());
    EXPECT_TRUE(HasValue(L"K", L"moved"));
}

TEST_F(KeyCommands, KeyRenamesThroughTheLabelEdit)
{
    PutString(L"K\\Sub", L"v", L"1");
    MakeKey(L"L");
    for (const wchar_t* invalid : {L"a\\b", L""}) {
        RenameKey(L"K", invalid);
        EXPECT_EQ(Texts({L"Invalid key name."}), Messages()) << invalid;
    }
    RenameKey(L"K", L"k");
    RenameKey(L"K", L"L");
    EXPECT_EQ(Texts({L"Key with this name already exists."}), Messages());
    CString label;
    Tree().GetItemLabel(Item(L"K"), label);
    EXPECT_EQ(CString(L"K"), label) << "the edit alone never changes the label";
    // A rename of the key that holds the copied value empties the clipboard.
    ASSERT_TRUE(SelectValue(L"K\\Sub", L"v"));
    Command(ID_VALUE_COPY);
    RenameKey(L"K", L"M");
    EXPECT_EQ(Sorted({L"L", L"M", L"M\\Sub", L"M\\Sub: v = 1: \"1\""}), Contents());
    EXPECT_EQ(L"M", SelectedKey());
    ASSERT_NE(nullptr, Item(L"M"));
    // The renamed key moves to its place among its siblings (K was before L, M is after it).
    std::vector<std::wstring> siblings;
    HWND tree = Tree().GetHwnd();
    for (HTREEITEM child = TreeView_GetChild(tree, TreeView_GetParent(tree, Item(L"M"))); child;
         child = TreeView_GetNextSibling(tree, child)) {
        Tree().GetItemLabel(child, label);
        siblings.push_back(label.c_str());
    }
    EXPECT_EQ((std::vector<std::wstring>{L"L", L"M"}), siblings);
    EXPECT_EQ(CMainWnd::kClipEmpty, m_main->m_clipState);
    EXPECT_EQ(Tree().GetHwnd(), GetFocus());
    // The Delete key in the label editor deletes a character there, not the key.
    ASSERT_TRUE(Select(L"M"));
    Command(ID_KEY_RENAME);
    HWND edit = TreeView_GetEditControl(Tree().GetHwnd());
    ASSERT_NE(nullptr, edit);
    SetWindowTextW(edit, L"xM");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    ASSERT_EQ(edit, GetFocus());
    Command(ID_DELETE_SELECTED);
    EXPECT_EQ(CString(L"M"), CShdWnd::QueryWindowText(edit, L""));
    TreeView_EndEditLabelNow(Tree().GetHwnd(), TRUE);
    EXPECT_TRUE(HasKey(L"M"));
    // Roots and the "Registry" item are not renamed, by the command or by a click on the label.
    ASSERT_TRUE(Tree().SelectPath(HKEY_CURRENT_USER, L""));
    Command(ID_KEY_RENAME);
    EXPECT_EQ(nullptr, TreeView_GetEditControl(Tree().GetHwnd()));
    for (HTREEITEM item : {Tree().GetSelection(), Tree().GetRegistryItem()}) {
        TreeView_EditLabel(Tree().GetHwnd(), item);
        EXPECT_EQ(nullptr, TreeView_GetEditControl(Tree().GetHwnd()));
        EXPECT_EQ(nullptr, m_main->GetInputPanel());
    }
}

TEST_F(KeyCommands, DeleteKeyFollowsTheFocusAndSelectsANeighbour)
{
    PutString(L"O", L"v", L"1");
    PutString(L"P\\Q", L"cut", L"2");
    MakeKey(L"R");
    ASSERT_TRUE(SelectValue(L"P\\Q", L"cut"));
    Command(ID_VALUE_CUT);
    ASSERT_TRUE(Select(L"P"));
    SetFocus(Tree().GetHwnd());
    Command(ID_DELETE_SELECTED);
    ASSERT_EQ(1u, m_messages.Count());
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND), m_messages.Messages()[0].style);
    EXPECT_EQ(Texts({L"Are you sure you want to delete this key?"}), Messages());
    EXPECT_TRUE(HasKey(L"P\\Q")) << "only yes deletes";
    EXPECT_EQ(CMainWnd::kClipValueCut, m_main->m_clipState);
    m_messages.QueueAnswer(IDYES);
    Command(ID_DELETE_SELECTED);
    EXPECT_FALSE(HasKey(L"P"));
    EXPECT_EQ(L"R", SelectedKey()) << "the next sibling";
    EXPECT_EQ(CMainWnd::kClipEmpty, m_main->m_clipState) << "the cut value lived in the branch";
    m_messages.QueueAnswer(IDYES);
    Command(ID_KEY_DELETE);
    EXPECT_EQ(L"O", SelectedKey()) << "the previous sibling";
    m_messages.QueueAnswer(IDYES);
    Command(ID_KEY_DELETE);
    EXPECT_EQ(L"", SelectedKey()) << "the parent";
    EXPECT_EQ(Listing(), Contents());
    EXPECT_EQ(Tree().GetHwnd(), GetFocus());
    Messages();
    // A root is never deleted.
    ASSERT_TRUE(Tree().SelectPath(HKEY_CURRENT_USER, L""));
    Command(ID_KEY_DELETE);
}

TEST_F(KeyCommands, DeleteValueAsksAndEmptiesTheClipboardOfThatValueOnly)
{
    PutString(L"K", L"a", L"1");
    PutString(L"K", L"b", L"2");
    ASSERT_TRUE(SelectValue(L"K", L"a"));
    Command(ID_VALUE_COPY);
    SetFocus(List());
    Command(ID_DELETE_SELECTED);
    EXPECT_EQ(Texts({L"Are you sure you want to delete this value?"}), Messages());
    EXPECT_TRUE(HasValue(L"K", L"a"));
    ASSERT_TRUE(m_main->SelectValueByName(L"b"));
    m_messages.QueueAnswer(IDYES);
    Command(ID_VALUE_DELETE);
    EXPECT_FALSE(HasValue(L"K", L"b"));
    EXPECT_EQ(L"<none>", SelectedValue());
    EXPECT_EQ(CMainWnd::kClipValueCopied, m_main->m_clipState) << "another value";
    ASSERT_TRUE(m_main->SelectValueByName(L"a"));
    m_messages.QueueAnswer(IDYES);
    Command(ID_VALUE_DELETE);
    EXPECT_EQ(CMainWnd::kClipEmpty, m_main->m_clipState);
    EXPECT_EQ(Sorted({L"K"}), Contents());
    EXPECT_EQ(List(), GetFocus());
    EXPECT_EQ(Texts(2, L"Are you sure you want to delete this value?"), Messages());
}

TEST_F(KeyCommands, CutValuePastedOverAValueOfThatNameOnlyAfterYes)
{
    PutString(L"K", L"v", L"source");
    PutString(L"L", L"v", L"target");
    ASSERT_TRUE(SelectValue(L"K", L"v"));
    Command(ID_VALUE_CUT);
    ASSERT_TRUE(Select(L"L"));
    Command(ID_PASTE);
    ASSERT_EQ(1u, m_messages.Count());
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND), m_messages.Messages()[0].style);
    EXPECT_EQ(Texts({L"Value with this name already exists. Do you want to overwrite existing value?"}),
              Messages());
    EXPECT_EQ(Sorted({L"K", L"K: v = 1: \"source\"", L"L", L"L: v = 1: \"target\""}), Contents());
    EXPECT_EQ(CMainWnd::kClipValueCut, m_main->m_clipState);
    ASSERT_TRUE(Select(L"K"));
    EXPECT_EQ(0, ValueImage(L"v")) << "still cut";
    ASSERT_TRUE(Select(L"L"));
    m_messages.QueueAnswer(IDYES);
    Command(ID_PASTE);
    EXPECT_EQ(Sorted({L"K", L"L", L"L: v = 1: \"source\""}), Contents());
    EXPECT_EQ(L"v", SelectedValue());
    EXPECT_EQ(CMainWnd::kClipEmpty, m_main->m_clipState);
    Messages();
}

// One key reached through two roots: taken under HKEY_USERS\<sid>, pasted under HKEY_CURRENT_USER.
TEST_F(KeyCommands, OneKeyThroughTwoRootsIsNeitherLostNorCopiedIntoItself)
{
    const CString users = CurrentUserKeyUnderUsers() + L"\\" + Sub(L"");
    auto selectUsers = [&](const wchar_t* path) { return Tree().SelectPath(HKEY_USERS, users + path); };
    PutString(L"X\\K", L"keep", L"1");

    ASSERT_TRUE(selectUsers(L"\\X\\K"));
    ASSERT_TRUE(m_main->SelectValueByName(L"keep"));
    Command(ID_VALUE_CUT);
    ASSERT_TRUE(Select(L"X\\K"));
    m_messages.QueueAnswer(IDYES);
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"You can not move value to the same registry key."}), Messages());
    ASSERT_TRUE(m_main->SelectValueByName(L"keep"));
    Command(ID_VALUE_COPY);
    ASSERT_TRUE(selectUsers(L"\\X\\K"));
    Command(ID_PASTE);
    EXPECT_EQ(L"keep (2)", SelectedValue()) << "a copy into its own key gets a counted name";

    ASSERT_TRUE(selectUsers(L"\\X\\K"));
    Command(ID_KEY_COPY);
    for (const wchar_t* inside : {L"X\\K", L"X\\K\\L"}) {
        MakeKey(L"X\\K\\L");
        ASSERT_TRUE(Select(inside));
        Command(ID_PASTE);
        EXPECT_EQ(Texts({L"Registry key can not be copied to itself."}), Messages()) << inside;
    }
    ASSERT_TRUE(selectUsers(L"\\X\\K"));
    Command(ID_KEY_CUT);
    ASSERT_TRUE(Select(L"X"));
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Key can not be moved to the same location."}), Messages());
    EXPECT_EQ(Sorted({L"X", L"X\\K", L"X\\K: keep = 1: \"1\"", L"X\\K: keep (2) = 1: \"1\"",
                      L"X\\K\\L"}),
              Contents());
}

TEST_F(KeyCommands, PasteReadsTheSourceAtPasteTime)
{
    PutString(L"K", L"v", L"1");
    MakeKey(L"L");
    ASSERT_TRUE(SelectValue(L"K", L"v"));
    Command(ID_VALUE_CUT);
    DeleteKey(L"K");
    ASSERT_TRUE(Select(L"L"));
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Unable to open source registry key."}), Messages());
    PutString(L"K", L"w", L"2");
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Unable to read registry value."}), Messages());
    ASSERT_TRUE(Select(L"K"));
    Command(ID_KEY_COPY);
    DeleteKey(L"K");
    ASSERT_TRUE(Select(L"L"));
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Unable to copy registry key."}), Messages());
    EXPECT_EQ(Sorted({L"L"}), Contents()) << "nothing left of the failed copy";
}

TEST_F(KeyCommands, CopyKeyNamePutsTheFullPathOnThePlatformClipboard)
{
    auto clipboardText = [this]() {
        std::wstring text = L"<none>";
        if (!OpenClipboard(m_main->GetHwnd()))
            return std::wstring(L"<not opened>");
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        return text;
    };
    ASSERT_TRUE(Tree().SelectPath(HKEY_USERS, L""));
    Command(ID_KEY_COPY_NAME);
    EXPECT_EQ(L"HKEY_USERS", clipboardText());
    MakeKey(L"K");
    ASSERT_TRUE(Select(L"K"));
    Command(ID_KEY_COPY_NAME);
    EXPECT_EQ(std::wstring(L"HKEY_CURRENT_USER\\") + Sub(L"K").c_str(), clipboardText());
    EXPECT_EQ(CMainWnd::kClipEmpty, m_main->m_clipState) << "the program's own clipboard is apart";
}

namespace {

struct SNewValue
{
    UINT command;
    const wchar_t* name;
    int field;
    const wchar_t* text;
    const wchar_t* listed; // as Contents() lists it, after "key: "
};

const SNewValue kEveryType[] = {
    {ID_VALUE_NEW_STRING, L"s", IDC_VALUE_STRING, L"text", L"s = 1: \"text\""},
    {ID_VALUE_NEW_EXPAND, L"e", IDC_VALUE_STRING, L"%TEMP%", L"e = 2: \"%TEMP%\""},
    {ID_VALUE_NEW_DWORD, L"d", IDC_VALUE_DWORD, L"42", L"d = 4: 2A 00 00 00"},
    {ID_VALUE_NEW_MULTI, L"m", IDC_VALUE_MULTI_STRING, L"a\r\nb", L"m = 7: 61 00 00 00 62 00 00 00 00 00"},
    {ID_VALUE_NEW_BINARY, L"b", IDC_VALUE_HEX_EDIT, L"0aff", L"b = 3: 0A FF"},
    {ID_VALUE_NEW_CUSTOM, L"c", IDC_VALUE_HEX_EDIT, L"01", L"c = 5: 01"},
};

// The value editor's fields filled as a user fills them; the hex view takes typed digits.
void FillValueEditor(HWND dialog, const SNewValue& value)
{
    CDialogDriver::SetItemText(dialog, IDC_VALUE_NAME, value.name);
    if (value.field == IDC_VALUE_HEX_EDIT) {
        for (const wchar_t* c = value.text; *c; ++c)
            SendMessageW(GetDlgItem(dialog, IDC_VALUE_HEX_EDIT), WM_CHAR, *c, 0);
    } else {
        CDialogDriver::SetItemText(dialog, value.field, value.text);
    }
    if (value.command == ID_VALUE_NEW_CUSTOM)
        CDialogDriver::SetItemText(dialog, IDC_VALUE_CUSTOM_TYPE, L"5");
    SendCommand(dialog, IDOK);
}

Listing ValuesOf(const std::wstring& key)
{
    Listing lines = {key};
    for (const SNewValue& value : kEveryType)
        lines.push_back(key + L": " + value.listed);
    return Sorted(lines);
}

Listing Join(std::initializer_list<Listing> parts)
{
    Listing all;
    for (const Listing& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return Sorted(all);
}

} // namespace

TEST_F(KeyCommands, ScenarioFromANewKeyToItsDeletion)
{
    MakeKey(L"Other");
    ASSERT_TRUE(Select(L""));
    ExpectDialog(m_driver, [](HWND dialog) {
        CDialogDriver::SetItemText(dialog, IDC_KEY_NAME, L"Box");
        SendCommand(dialog, IDOK);
    });
    Command(ID_KEY_NEW);
    EXPECT_EQ(L"Box", SelectedKey());
    EXPECT_TRUE(Tree().IsExpanded(Item(L"")));
    EXPECT_EQ(Sorted({L"Box", L"Other"}), Contents());

    Listing box = {L"Box"};
    for (const SNewValue& value : kEveryType) {
        ExpectDialog(m_driver, [&value](HWND dialog) { FillValueEditor(dialog, value); });
        Command(value.command);
        EXPECT_EQ(value.name, SelectedValue());
        box.push_back(std::wstring(L"Box: ") + value.listed);
        EXPECT_EQ(Join({box, {L"Other"}}), Contents()) << value.name;
    }

    ASSERT_TRUE(Select(L"Box"));
    Command(ID_KEY_COPY);
    for (const wchar_t* copy : {L"Box (2)", L"Box (3)"}) {
        ASSERT_TRUE(Select(L""));
        Command(ID_PASTE);
        EXPECT_EQ(copy, SelectedKey());
    }
    EXPECT_EQ(Join({ValuesOf(L"Box"), ValuesOf(L"Box (2)"), ValuesOf(L"Box (3)"), {L"Other"}}), Contents());

    RenameKey(L"Box (3)", L"Crate");
    EXPECT_EQ(Join({ValuesOf(L"Box"), ValuesOf(L"Box (2)"), ValuesOf(L"Crate"), {L"Other"}}), Contents());

    ASSERT_TRUE(Select(L"Crate"));
    Command(ID_KEY_CUT);
    ASSERT_TRUE(Select(L"Other"));
    Command(ID_PASTE);
    EXPECT_EQ(L"Other\\Crate", SelectedKey());
    EXPECT_EQ(nullptr, Item(L"Crate")) << "the source's item is gone";
    EXPECT_EQ(2, Image(Item(L"Other\\Crate"))) << "the moved key has no cut look";
    EXPECT_EQ(CMainWnd::kClipEmpty, m_main->m_clipState);
    EXPECT_EQ(Join({ValuesOf(L"Box"), ValuesOf(L"Box (2)"), {L"Other"}, ValuesOf(L"Other\\Crate")}),
              Contents());

    ASSERT_TRUE(Select(L"Box (2)"));
    m_messages.QueueAnswer(IDYES);
    Command(ID_KEY_DELETE);
    EXPECT_EQ(Join({ValuesOf(L"Box"), {L"Other"}, ValuesOf(L"Other\\Crate")}), Contents());
    EXPECT_EQ(Texts({L"Are you sure you want to delete this key?"}), Messages());
}

TEST_F(KeyCommands, EditorsOpenForTheSelectedValueAndCancelChangesNothing)
{
    PutString(L"K", L"s", L"old");
    ASSERT_TRUE(SelectValue(L"K", L"s"));
    ExpectDialog(m_driver, [](HWND dialog) {
        EXPECT_EQ(CString(L"s"), CDialogDriver::GetItemText(dialog, IDC_VALUE_NAME));
        CDialogDriver::SetItemText(dialog, IDC_VALUE_STRING, L"new");
        SendCommand(dialog, IDOK);
    });
    SetFocus(List());
    Command(ID_VALUE_EDIT);
    EXPECT_EQ(L"s", SelectedValue()) << "the selection is kept";
    EXPECT_EQ(L"new", ListText(m_main->FindValueItem(L"s"), 1));
    EXPECT_EQ(List(), GetFocus());
    ExpectDialog(m_driver, [](HWND dialog) {
        EXPECT_TRUE(IsItemVisible(dialog, IDC_VALUE_HEX_EDIT)) << "as binary";
        SendCommand(dialog, IDCANCEL);
    });
    Command(ID_VALUE_EDIT_BINARY);
    EXPECT_EQ(Sorted({L"K", L"K: s = 1: \"new\""}), Contents());
}
