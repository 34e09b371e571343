// The .reg association against the in-memory registry: program path and commands, install over
// foreign entries, detection regardless of letter case, removal.
#include "dialogs/RegAssociation.h"

#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

namespace {

class RegAssociationTest : public testing::Test
{
protected:
    static void SetInstallDir(const wchar_t* folder)
    {
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, kInstallDirKey));
        ASSERT_TRUE(key.SetString(L"InstallDir", folder));
    }
    static void SetDefault(const wchar_t* path, const wchar_t* text)
    {
        CShdRegKey key;
        ASSERT_TRUE(key.Create(HKEY_CLASSES_ROOT, path));
        ASSERT_TRUE(key.SetString(L"", text));
    }
    static CString GetDefault(const wchar_t* path)
    {
        CShdRegKey key;
        CString text;
        if (!key.Open(HKEY_CLASSES_ROOT, path) || !key.QueryString(L"", text))
            return L"<missing>";
        return text;
    }
    static bool Exists(const wchar_t* path)
    {
        CShdRegKey key;
        return key.Open(HKEY_CLASSES_ROOT, path);
    }

    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
};

TEST_F(RegAssociationTest, ProgramPathAndCommandsComeFromInstallDir)
{
    EXPECT_EQ(GetProgramPath(), L"");
    EXPECT_EQ(GetOpenCommand(), L"");
    EXPECT_EQ(GetIconText(122), L"");
    SetInstallDir(L"");
    EXPECT_EQ(GetProgramPath(), L"");
    SetInstallDir(L"\\Program Files\\App");
    EXPECT_EQ(GetProgramPath(), L"\\Program Files\\App\\Hivelet.exe");
    SetInstallDir(L"\\Program Files\\App\\");
    EXPECT_EQ(GetProgramPath(), L"\\Program Files\\App\\Hivelet.exe");
    EXPECT_EQ(GetOpenCommand(), L"\"\\Program Files\\App\\Hivelet.exe\" \"%1\"");
    EXPECT_EQ(GetIconText(122), L"\\Program Files\\App\\Hivelet.exe,-122");
}

TEST_F(RegAssociationTest, InstallReplacesForeignEntriesAndIsDetectedInAnyCase)
{
    SetInstallDir(L"\\Program Files\\App");
    SetDefault(L".reg", L"regfile");
    SetDefault(L"regfile\\Shell\\Open\\Command", L"regedit.exe \"%1\"");
    SetDefault(L"regfile\\Shell\\Edit\\Command", L"notepad.exe \"%1\"");
    CString command;
    ASSERT_TRUE(GetAssociationCommand(L".reg", command));
    EXPECT_EQ(command, L"regedit.exe \"%1\"");
    EXPECT_FALSE(IsAssociated());

    EXPECT_FALSE(InstallAssociation(L"", L"regfile", L"d", L"i", L"c"));
    EXPECT_FALSE(InstallAssociation(L".reg", L"", L"d", L"i", L"c"));
    ASSERT_TRUE(InstallAssociation(kRegExtension, kRegClassName, kRegDescription, GetIconText(122),
                                   GetOpenCommand()));
    EXPECT_EQ(GetDefault(L".reg"), L"regfile");
    EXPECT_EQ(GetDefault(L"regfile"), L"Registry File");
    EXPECT_EQ(GetDefault(L"regfile\\DefaultIcon"), L"\\Program Files\\App\\Hivelet.exe,-122");
    EXPECT_EQ(GetDefault(L"regfile\\Shell\\Open\\Command"), GetOpenCommand());
    EXPECT_FALSE(Exists(L"regfile\\Shell\\Edit"));
    EXPECT_TRUE(IsAssociated());

    CString upper = GetOpenCommand();
    upper.MakeUpper();
    SetDefault(L"regfile\\Shell\\Open\\Command", upper);
    EXPECT_TRUE(IsAssociated());
}

TEST_F(RegAssociationTest, RemoveDeletesTheExtensionAndTheClassItNames)
{
    SetInstallDir(L"\\App");
    SetDefault(L".reg", L"OtherClass");
    SetDefault(L"OtherClass\\Shell\\Open\\Command", L"x");
    SetDefault(L"regfile", L"kept");
    EXPECT_FALSE(RemoveAssociation(L""));
    EXPECT_TRUE(RemoveAssociation(L".reg"));
    EXPECT_FALSE(Exists(L".reg"));
    EXPECT_FALSE(Exists(L"OtherClass"));
    EXPECT_TRUE(Exists(L"regfile"));
    CString command = L"stale";
    EXPECT_FALSE(GetAssociationCommand(L".reg", command));
    EXPECT_EQ(command, L"");
    // Without a class name only the extension's key goes.
    SetDefault(L".reg", L"");
    EXPECT_TRUE(RemoveAssociation(L".reg"));
    EXPECT_FALSE(Exists(L".reg"));
    EXPECT_TRUE(Exists(L"regfile"));
}

} // namespace
