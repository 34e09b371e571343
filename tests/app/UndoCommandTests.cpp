// Undo and Redo through the main window: each command's entry taken back and done again with the
// tree and list following, the menu items naming the command, the question when the registry
// changed meanwhile, and the question before a branch too large to be undone.
#include "tests/app/KeyCommandTests.h"

#include "dialogs/RegAssociation.h"
#include "journal/RecordingRegistryBackend.h"
#include "journal/UndoJournal.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "tests/support/TestFiles.h"

namespace {

using Texts = std::vector<std::wstring>;

class UndoCommands : public CKeyCommandTest
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + L"hivelet-undo-commands.undo";
        DeleteFileW(m_path.c_str());
        m_journal.Open(m_path);
        m_scope = std::make_unique<CScopedRegistryBackend>(m_recorder);
        CKeyCommandTest::SetUp();
        m_main->SetJournal(&m_journal);
        MakeKey(L"");
    }
    void TearDown() override
    {
        CKeyCommandTest::TearDown();
        m_scope.reset();
        DeleteFileW(m_path.c_str());
    }
    // The text and state the main menu's Undo or Redo item shows now.
    std::wstring MenuItem(UINT id, bool& enabled)
    {
        HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAIN_MENU));
        HMENU popup = GetSubMenu(menu, 1);
        m_main->UpdateMenu(popup);
        wchar_t text[100] = {};
        GetMenuStringW(popup, id, text, 100, MF_BYCOMMAND);
        enabled = !(GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED);
        DestroyMenu(menu);
        return text;
    }
    std::wstring UndoItem()
    {
        bool enabled;
        std::wstring text = MenuItem(ID_UNDO, enabled);
        return enabled ? text : L"(greyed) " + text;
    }

    CMemoryRegistryBackend m_memory;
    CUndoJournal m_journal{m_memory};
    CRecordingRegistryBackend m_recorder{m_memory, m_journal};
    std::unique_ptr<CScopedRegistryBackend> m_scope;
    std::wstring m_path;
};

} // namespace

TEST_F(UndoCommands, EachCommandIsUndoneAndRedoneWithTheViewFollowing)
{
    PutString(L"K", L"a", L"1");
    PutValue(L"K\\Deep", L"odd", 0x1234, {1, 2, 3});
    MakeKey(L"P");
    EXPECT_EQ(L"(greyed) Undo", UndoItem());
    std::vector<Listing> states{Contents()};
    std::vector<std::wstring> names;
    auto done = [&](const wchar_t* name) {
        states.push_back(Contents());
        names.push_back(name);
        EXPECT_EQ(std::wstring(L"Undo ") + name, UndoItem());
    };
    ASSERT_TRUE(Select(L"K"));
    Command(ID_KEY_COPY);
    ASSERT_TRUE(Select(L"P"));
    Command(ID_PASTE);
    done(L"Paste");
    ASSERT_TRUE(SelectValue(L"K", L"a"));
    m_messages.QueueAnswer(IDYES);
    Command(ID_VALUE_DELETE);
    done(L"Delete Value");
    RenameKey(L"K", L"K2");
    done(L"Rename Key");
    RenameValue(L"P\\K", L"a", L"b");
    done(L"Rename Value");
    ASSERT_TRUE(Select(L"P"));
    m_messages.QueueAnswer(IDYES);
    Command(ID_KEY_DELETE);
    done(L"Delete Key");
    ASSERT_EQ(5u, names.size());
    ASSERT_TRUE(Select(L"K2"));
    for (size_t i = names.size(); i-- > 0;) {
        Command(ID_UNDO);
        EXPECT_EQ(states[i], Contents()) << "undo " << i;
        bool enabled;
        EXPECT_EQ(L"Redo " + names[i], MenuItem(ID_REDO, enabled));
        if (names[i] == L"Delete Key") {
            EXPECT_EQ(L"K2", SelectedKey()) << "the selection stays where its key still exists";
            EXPECT_NE(nullptr, Item(L"P")) << "the tree shows the restored key";
        }
    }
    EXPECT_EQ(L"(greyed) Undo", UndoItem());
    for (size_t i = 0; i < names.size(); ++i) {
        Command(ID_REDO);
        EXPECT_EQ(states[i + 1], Contents()) << "redo " << i;
    }
    EXPECT_EQ(nullptr, Item(L"P")) << "the tree follows the redone delete";
    EXPECT_EQ(
        Texts({L"Are you sure you want to delete this value?", L"Are you sure you want to delete this key?"}),
        Messages());
}

TEST_F(UndoCommands, ChangesSinceTheCommandAreAskedAboutAndNoChangesNothing)
{
    PutString(L"K", L"a", L"1");
    ASSERT_TRUE(SelectValue(L"K", L"a"));
    m_messages.QueueAnswer(IDYES);
    Command(ID_VALUE_DELETE);
    Messages();
    PutString(L"K", L"a", L"meanwhile");
    Listing changed = Contents();
    m_messages.QueueAnswer(IDNO);
    Command(ID_UNDO);
    EXPECT_EQ(Texts({L"The registry has changed since this command. Undo it anyway?"}), Messages());
    EXPECT_EQ(changed, Contents());
    m_messages.QueueAnswer(IDYES);
    Command(ID_UNDO);
    Messages();
    EXPECT_EQ(Sorted({L"K", L"K: a = 1: \"1\""}), Contents());
}

TEST_F(UndoCommands, ABranchTooLargeToBeUndoneAsksFirstAndNoKeepsIt)
{
    PutValue(L"K\\Big", L"v", REG_BINARY, std::vector<BYTE>(9 * 1024 * 1024, 7));
    Listing before = Contents();
    ASSERT_TRUE(Select(L"K"));
    m_messages.QueueAnswer(IDYES);
    m_messages.QueueAnswer(IDNO);
    Command(ID_KEY_DELETE);
    EXPECT_EQ(Texts({L"Are you sure you want to delete this key?",
                     L"This change is too large to be undone. Continue anyway?"}),
              Messages());
    EXPECT_EQ(before, Contents());
    m_messages.QueueAnswer(IDYES);
    m_messages.QueueAnswer(IDYES);
    Command(ID_KEY_DELETE);
    EXPECT_EQ(2u, Messages().size());
    EXPECT_FALSE(HasKey(L"K"));
    EXPECT_EQ(L"(greyed) Undo", UndoItem()) << "going on without undo leaves no entry";
}

TEST_F(UndoCommands, AnImportAskedForIsOneEntryAndASilentOneIsNone)
{
    PutString(L"K", L"a", L"1");
    const Listing before = Contents();
    const std::wstring file = m_path + L".reg";
    const std::wstring key = L"[HKEY_CURRENT_USER\\" + std::wstring(Sub(L"K").c_str());
    ASSERT_TRUE(
        WriteFileBytes(file.c_str(), UnicodeBytes(L"Windows Registry Editor Version 5.00\r\n\r\n" + key +
                                                  L"]\r\n\"a\"=\"2\"\r\n\"b\"=dword:00000001\r\n\r\n" + key +
                                                  L"\\New]\r\n@=\"x\"\r\n")));
    m_messages.QueueAnswer(IDYES);
    m_main->ImportWithConfirmation(false, file.c_str());
    Messages();
    const Listing imported = Contents();
    EXPECT_NE(before, imported);
    EXPECT_EQ(L"Undo Import", UndoItem());
    Command(ID_UNDO);
    EXPECT_EQ(before, Contents());
    m_main->ImportWithConfirmation(true, file.c_str());
    Messages(); // the window itself is not in a silent run: it tells the outcome
    EXPECT_EQ(imported, Contents());
    EXPECT_EQ(L"(greyed) Undo", UndoItem()) << "a silent run is a script: not journaled";
    DeleteFileW(file.c_str());
}

TEST_F(UndoCommands, RenameCutAndCopyKeysActOnThePaneWithTheFocus)
{
    PutString(L"K", L"a", L"1");
    ASSERT_TRUE(SelectValue(L"K", L"a"));
    SetFocus(List());
    Command(ID_CUT_SELECTED);
    EXPECT_EQ(CMainWnd::kClipValueCut, m_main->m_clipState);
    SetFocus(Tree().GetHwnd());
    Command(ID_COPY_SELECTED);
    EXPECT_EQ(CMainWnd::kClipKeyCopied, m_main->m_clipState);
    Command(ID_RENAME_SELECTED);
    HWND edit = TreeView_GetEditControl(Tree().GetHwnd());
    ASSERT_NE(nullptr, edit) << "F2 on the tree renames its key";
    TreeView_EndEditLabelNow(Tree().GetHwnd(), TRUE);
    SetFocus(List());
    Command(ID_RENAME_SELECTED);
    EXPECT_NE(nullptr, ListView_GetEditControl(List())) << "F2 on the list renames its value";
    ListView_CancelEditLabel(List());
    EXPECT_EQ(Sorted({L"K", L"K: a = 1: \"1\""}), Contents());
}

TEST_F(UndoCommands, TheAssociationInstalledThroughOptionsIsUndoneAndRedone)
{
    CShdRegKey installer, extension, command;
    ASSERT_TRUE(installer.Create(HKEY_LOCAL_MACHINE, kInstallDirKey));
    installer.SetString(L"InstallDir", L"\\App");
    ASSERT_TRUE(extension.Create(HKEY_CLASSES_ROOT, L".reg"));
    extension.SetString(L"", L"regfile");
    ASSERT_TRUE(command.Create(HKEY_CLASSES_ROOT, L"regfile\\Shell\\Open\\Command"));
    command.SetString(L"", L"other.exe \"%1\"");
    extension.Close();
    command.Close();
    m_driver.Expect([&](HWND sheet) {
        SendMessageW(sheet, PSM_SETCURSEL, 1, 0);
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        m_messages.QueueAnswer(IDYES); // replace the other program's registration
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_OPTIONS_INSTALL, BN_CLICKED), 0);
        PostMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    Command(ID_OPTIONS);
    EXPECT_TRUE(m_driver.AllHandled());
    ASSERT_EQ(1u, m_messages.Messages().size()); // the question, asked over the options page
    m_messages.Clear();
    CString opens;
    ASSERT_TRUE(GetAssociationCommand(L".reg", opens));
    EXPECT_EQ(GetOpenCommand(), opens);
    EXPECT_EQ(L"Undo Association", UndoItem());
    Command(ID_UNDO);
    ASSERT_TRUE(GetAssociationCommand(L".reg", opens));
    EXPECT_EQ(CString(L"other.exe \"%1\""), opens);
    Command(ID_REDO);
    ASSERT_TRUE(GetAssociationCommand(L".reg", opens));
    EXPECT_EQ(GetOpenCommand(), opens);
}
