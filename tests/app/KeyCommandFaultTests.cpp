// The key and value commands when a registry step fails, over the in-memory registry told to
// fail chosen calls: every outcome of a copy-then-delete has its one message and leaves the
// registry and the tree as the failed step left them. Also the bookmark commands, which write
// the product's own key (kept in memory here).
#include "tests/app/KeyCommandTests.h"

#include "registry/KeyTree.h"
#include "res/resource.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

void CKeyCommandFaultTest::SetUp()
{
    m_scope = std::make_unique<CScopedRegistryBackend>(m_memory);
    CKeyCommandTest::SetUp();
    MakeKey(L"");
}

void CKeyCommandFaultTest::TearDown()
{
    CKeyCommandTest::TearDown();
    EXPECT_EQ(0u, m_memory.OpenHandleCount()) << "every key opened was closed";
    m_scope.reset();
}

namespace {

using Texts = std::vector<std::wstring>;
using Op = IRegistryBackend::EOperation;

class KeyCommandFaults : public CKeyCommandFaultTest
{
protected:
    // A key with two values: a failed second write leaves a partial copy.
    void MakeSource(const wchar_t* path)
    {
        PutString(path, L"a", L"1");
        PutString(path, L"b", L"2");
    }
    // Through the back end in force (the fixture's DeleteKey goes to the real registry).
    void Remove(const wchar_t* path) { ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, Sub(path))); }
};

} // namespace

TEST_F(KeyCommandFaults, KeyPasteReportsEachOfItsOutcomes)
{
    MakeSource(L"S\\Src");
    MakeKey(L"T");
    ASSERT_TRUE(Select(L"S\\Src"));
    Command(ID_KEY_COPY);
    ASSERT_TRUE(Select(L"T"));

    // The paste's two identity checks write a marker value each before the copy's writes.
    m_memory.FailCall(IRegistryBackend::OpSetValue, 4);
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Unable to copy registry key."}), Messages()) << "the copy failed and was removed";
    EXPECT_EQ(Listing(), Contents(L"T"));

    m_memory.FailCall(IRegistryBackend::OpSetValue, 4);
    m_memory.FailCall(IRegistryBackend::OpDeleteKey, 1);
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Key copying not finished."}), Messages()) << "the partial copy stays (emptied)";
    EXPECT_EQ(Sorted({L"Src"}), Contents(L"T"));
    EXPECT_NE(nullptr, Item(L"T\\Src")) << "the tree shows what is there";
    Remove(L"T\\Src");

    ASSERT_TRUE(Select(L"S\\Src"));
    Command(ID_KEY_CUT);
    m_memory.ProtectKey(HKEY_CURRENT_USER, Sub(L"S\\Src"));
    ASSERT_TRUE(Select(L"T"));
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Key deletion not finished."}), Messages()) << "copied, the source stays";
    EXPECT_EQ(Sorted({L"Src", L"Src: a = 1: \"1\"", L"Src: b = 1: \"2\""}), Contents(L"T"));
    EXPECT_TRUE(HasKey(L"S\\Src"));
    EXPECT_EQ(L"T\\Src", SelectedKey());
    EXPECT_EQ(CMainWnd::kClipEmpty, m_main->m_clipState);
    EXPECT_EQ(2, Image(Item(L"S\\Src"))) << "no longer cut";
}

TEST_F(KeyCommandFaults, KeyRenameReportsEachOfItsOutcomes)
{
    MakeSource(L"K");
    m_memory.FailCall(IRegistryBackend::OpSetValue, 2);
    RenameKey(L"K", L"N");
    EXPECT_EQ(Texts({L"Unable to rename registry key."}), Messages());
    EXPECT_EQ(Sorted({L"K", L"K: a = 1: \"1\"", L"K: b = 1: \"2\""}), Contents());

    m_memory.FailCall(IRegistryBackend::OpSetValue, 2);
    m_memory.FailCall(IRegistryBackend::OpDeleteKey, 1);
    RenameKey(L"K", L"N");
    EXPECT_EQ(Texts({L"Key renaming not finished."}), Messages()) << "the partial copy stays (emptied)";
    EXPECT_EQ(Sorted({L"K", L"K: a = 1: \"1\"", L"K: b = 1: \"2\"", L"N"}), Contents());
    EXPECT_NE(nullptr, Item(L"N")) << "the parent was reloaded";
    EXPECT_NE(nullptr, Item(L"K"));
    Remove(L"N");

    m_memory.ProtectKey(HKEY_CURRENT_USER, Sub(L"K"));
    RenameKey(L"K", L"N");
    EXPECT_EQ(Texts({L"Key renaming not finished."}), Messages()) << "copied, the old key stays (emptied)";
    EXPECT_EQ(Sorted({L"K", L"N", L"N: a = 1: \"1\"", L"N: b = 1: \"2\""}), Contents());
    EXPECT_EQ(Tree().GetHwnd(), GetFocus());
}

TEST_F(KeyCommandFaults, ValueRenameStopsAtTheFailingStep)
{
    PutString(L"K", L"old", L"1");
    struct SCase
    {
        Op op;
        int nth;
        const wchar_t* message;
    } cases[] = {
        {IRegistryBackend::OpOpenKey, 1, L"Unable to open registry key."},
        {IRegistryBackend::OpQueryValue, 2, L"Unable to read registry value."},
        {IRegistryBackend::OpSetValue, 1, L"Unable to write registry value."},
    };
    for (const SCase& c : cases) {
        ASSERT_TRUE(SelectValue(L"K", L"old"));
        Command(ID_VALUE_RENAME);
        HWND edit = ListView_GetEditControl(List());
        ASSERT_NE(nullptr, edit);
        SetWindowTextW(edit, L"new");
        m_memory.FailCall(c.op, c.nth);
        SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(Texts({c.message}), Messages());
        EXPECT_EQ(Sorted({L"K", L"K: old = 1: \"1\""}), Contents()) << c.message;
        m_memory.ClearFaults();
    }
    m_memory.ProtectValue(HKEY_CURRENT_USER, Sub(L"K"), L"old");
    RenameValue(L"K", L"old", L"new");
    EXPECT_EQ(Texts({L"Value renaming not finished."}), Messages());
    EXPECT_EQ(Sorted({L"K", L"K: new = 1: \"1\"", L"K: old = 1: \"1\""}), Contents());
    EXPECT_EQ(L"new", SelectedValue());
}

TEST_F(KeyCommandFaults, ValuePasteStopsAtTheFailingStep)
{
    PutString(L"K", L"v", L"1");
    MakeKey(L"L");
    ASSERT_TRUE(SelectValue(L"K", L"v"));
    Command(ID_VALUE_COPY);
    Command(ID_PASTE); // into its own key
    m_memory.FailCall(IRegistryBackend::OpSetValue, 1);
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Unable to write registry value."}), Messages());
    ASSERT_TRUE(Select(L"L"));
    // The source, then the identity check's marker key and the key it is looked for in.
    m_memory.FailCall(IRegistryBackend::OpOpenKey, 4);
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Unable to open destination registry key."}), Messages());
    m_memory.FailCall(IRegistryBackend::OpSetValue, 2); // the marker's write comes first
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Unable to write registry value."}), Messages());
    EXPECT_EQ(Sorted({L"K", L"K: v = 1: \"1\"", L"K: v (2) = 1: \"1\"", L"L"}), Contents());
    EXPECT_EQ(CMainWnd::kClipValueCopied, m_main->m_clipState);

    ASSERT_TRUE(SelectValue(L"K", L"v"));
    Command(ID_VALUE_CUT);
    m_memory.ProtectValue(HKEY_CURRENT_USER, Sub(L"K"), L"v");
    ASSERT_TRUE(Select(L"L"));
    Command(ID_PASTE);
    EXPECT_EQ(Texts({L"Unable to delete source registry value."}), Messages()) << "the move goes on";
    EXPECT_EQ(Sorted({L"K", L"K: v = 1: \"1\"", L"K: v (2) = 1: \"1\"", L"L", L"L: v = 1: \"1\""}),
              Contents());
    EXPECT_EQ(CMainWnd::kClipEmpty, m_main->m_clipState);
    EXPECT_EQ(L"v", SelectedValue());
}

TEST_F(KeyCommandFaults, FailedDeletesReportAndShowWhatIsLeft)
{
    PutString(L"K\\Keep", L"v", L"1");
    PutString(L"K\\Gone", L"v", L"1");
    m_memory.ProtectKey(HKEY_CURRENT_USER, Sub(L"K\\Keep"));
    ASSERT_TRUE(Select(L"K"));
    m_messages.QueueAnswer(IDYES);
    Command(ID_KEY_DELETE);
    EXPECT_EQ(Texts({L"Are you sure you want to delete this key?", L"Unable to delete key"}), Messages());
    EXPECT_EQ(Sorted({L"K", L"K\\Keep"}), Contents());
    EXPECT_EQ(L"", SelectedKey()) << "the parent";
    EXPECT_NE(nullptr, Item(L"K"));

    PutString(L"K", L"w", L"2");
    ASSERT_TRUE(SelectValue(L"K", L"w"));
    m_messages.QueueAnswer(IDYES);
    m_memory.FailCall(IRegistryBackend::OpOpenKey, 1);
    Command(ID_VALUE_DELETE);
    m_memory.ProtectValue(HKEY_CURRENT_USER, Sub(L"K"), L"w");
    ASSERT_TRUE(m_main->SelectValueByName(L"w"));
    m_messages.QueueAnswer(IDYES);
    Command(ID_VALUE_DELETE);
    EXPECT_EQ(Texts({L"Are you sure you want to delete this value?", L"Unable to open registry key",
                     L"Are you sure you want to delete this value?", L"Unable to delete value"}),
              Messages());
    EXPECT_TRUE(HasValue(L"K", L"w"));
    EXPECT_EQ(L"w", SelectedValue());
}

TEST_F(KeyCommandFaults, AFailedKeyCommandReloadsTheSiblingsWithOneListFill)
{
    // Reloading the parent once gives the list one fill, not one for each sibling the
    // selection would pass through while the children are removed.
    const int kSiblings = 30;
    CString name;
    for (int i = 0; i < kSiblings; ++i) {
        name.Format(L"P\\K%02d", i);
        PutString(name, L"v", L"1");
    }
    m_memory.ProtectKey(HKEY_CURRENT_USER, Sub(L"P\\K03"));
    ASSERT_TRUE(Select(L"P\\K03"));
    m_memory.ResetCounts();
    m_messages.QueueAnswer(IDYES);
    Command(ID_KEY_DELETE);
    EXPECT_EQ(Texts({L"Are you sure you want to delete this key?", L"Unable to delete key"}), Messages());
    EXPECT_EQ(L"P", SelectedKey());
    EXPECT_GE(2u, m_memory.CallCount(IRegistryBackend::OpEnumValue)) << "delete";

    ASSERT_TRUE(Select(L"P\\K03"));
    m_memory.ResetCounts();
    RenameKey(L"P\\K03", L"N");
    EXPECT_EQ(Texts({L"Key renaming not finished."}), Messages());
    EXPECT_EQ(L"P", SelectedKey());
    EXPECT_NE(nullptr, Item(L"P\\N")) << "the parent was reloaded";
    EXPECT_GE(2u + 1u, m_memory.CallCount(IRegistryBackend::OpEnumValue)) << "rename (one copied value)";
}

TEST_F(KeyCommandFaults, BookmarksAreAddedOnceAndOpenWhereTheyPoint)
{
    MakeKey(L"K\\Deep");
    ASSERT_TRUE(Select(L"K\\Deep"));
    Command(ID_KEY_ADD_BOOKMARK);
    Command(ID_KEY_ADD_BOOKMARK);
    EXPECT_EQ(Texts({L"Bookmark was successfully added.", L"This bookmark already exists."}), Messages());
    ASSERT_TRUE(Select(L""));
    SetFocus(List());
    ExpectDialog(m_driver, [](HWND dialog) { SendCommand(dialog, ID_BOOKMARK_OPEN); });
    Command(ID_REGISTRY_BOOKMARKS);
    EXPECT_EQ(L"K\\Deep", SelectedKey());
    EXPECT_EQ(Tree().GetHwnd(), GetFocus()) << "where the key is shown";
    ExpectDialog(m_driver, [](HWND dialog) { SendCommand(dialog, IDCANCEL); });
    SetFocus(List());
    Command(ID_REGISTRY_BOOKMARKS);
    EXPECT_EQ(List(), GetFocus()) << "back to the list";
}
