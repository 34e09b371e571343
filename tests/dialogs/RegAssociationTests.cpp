// The .reg association against the in-memory registry: program path and commands, install over
// foreign entries, detection regardless of letter case, removal of our own only, and every
// registry call of either failing in turn.
#include "dialogs/RegAssociation.h"

#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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

TEST_F(RegAssociationTest, RemoveDeletesTheExtensionAndTheClassItNamesOnlyWhenTheyAreOurs)
{
    SetInstallDir(L"\\App");
    const CString ours = GetOpenCommand();
    SetDefault(L".reg", L"OtherClass");
    SetDefault(L"OtherClass\\Shell\\Open\\Command", L"x");
    SetDefault(L"regfile", L"kept");
    EXPECT_FALSE(RemoveAssociation(L"", ours));
    EXPECT_FALSE(RemoveAssociation(L".reg", ours)) << "another program's";
    EXPECT_EQ(GetDefault(L"OtherClass\\Shell\\Open\\Command"), L"x");
    EXPECT_EQ(GetDefault(L".reg"), L"OtherClass");
    SetDefault(L"OtherClass\\Shell\\Open\\Command", ours);
    EXPECT_TRUE(RemoveAssociation(L".reg", ours));
    EXPECT_FALSE(Exists(L".reg"));
    EXPECT_FALSE(Exists(L"OtherClass"));
    EXPECT_TRUE(Exists(L"regfile"));
    CString command = L"stale";
    EXPECT_FALSE(GetAssociationCommand(L".reg", command));
    EXPECT_EQ(command, L"");
    // Without a class name, or with a class that has no command, nothing is ours.
    SetDefault(L".reg", L"");
    EXPECT_FALSE(RemoveAssociation(L".reg", ours));
    SetDefault(L".reg", L"regfile");
    EXPECT_FALSE(RemoveAssociation(L".reg", ours));
    EXPECT_EQ(GetDefault(L".reg"), L"regfile");
    EXPECT_EQ(GetDefault(L"regfile"), L"kept");
}

// A class that the extension does not name belongs to someone else: ours goes under a free
// name beside it. A leftover class of ours is taken back. Whatever else the extension's key
// held goes with the registration it replaced.
TEST_F(RegAssociationTest, InstallLeavesClassesTheExtensionDoesNotNameAlone)
{
    SetInstallDir(L"\\App");
    const CString ours = GetOpenCommand();
    SetDefault(L".reg", L"OtherClass");
    SetDefault(L".reg\\OpenWithProgids", L"");
    SetDefault(L"OtherClass\\Shell\\Open\\Command", L"other.exe \"%1\"");
    SetDefault(L"regfile\\Shell\\Open\\Command", L"regedit.exe \"%1\"");
    {
        CShdRegKey extension;
        ASSERT_TRUE(extension.Open(HKEY_CLASSES_ROOT, L".reg"));
        ASSERT_TRUE(extension.SetString(L"Content Type", L"text/plain"));
    }
    EXPECT_TRUE(HasForeignAssociation());
    ASSERT_TRUE(InstallAssociation(kRegExtension, kRegClassName, kRegDescription, L"icon", ours));
    EXPECT_TRUE(IsAssociated());
    EXPECT_FALSE(HasForeignAssociation());
    EXPECT_EQ(GetDefault(L".reg"), L"Hivelet.regfile");
    EXPECT_EQ(GetDefault(L"Hivelet.regfile"), L"Registry File");
    EXPECT_EQ(GetDefault(L"Hivelet.regfile\\DefaultIcon"), L"icon");
    EXPECT_EQ(GetDefault(L"regfile\\Shell\\Open\\Command"), L"regedit.exe \"%1\"");
    EXPECT_EQ(GetDefault(L"OtherClass\\Shell\\Open\\Command"), L"other.exe \"%1\"");
    EXPECT_FALSE(Exists(L".reg\\OpenWithProgids"));
    CShdRegKey extension;
    ASSERT_TRUE(extension.Open(HKEY_CLASSES_ROOT, L".reg"));
    EXPECT_FALSE(extension.ValueExists(L"Content Type"));
    extension.Close();

    EXPECT_TRUE(RemoveAssociation(kRegExtension, ours));
    EXPECT_FALSE(Exists(L".reg"));
    EXPECT_FALSE(Exists(L"Hivelet.regfile"));
    EXPECT_TRUE(Exists(L"regfile"));
    EXPECT_TRUE(Exists(L"OtherClass"));

    // regfile left over with our command, .reg gone: the class is ours to write again.
    SetDefault(L"regfile\\Shell\\Open\\Command", ours);
    EXPECT_FALSE(HasForeignAssociation());
    ASSERT_TRUE(InstallAssociation(kRegExtension, kRegClassName, kRegDescription, L"icon", ours));
    EXPECT_EQ(GetDefault(L".reg"), L"regfile");
    EXPECT_EQ(GetDefault(L"regfile"), L"Registry File");
    EXPECT_FALSE(Exists(L"Hivelet.regfile"));
    EXPECT_EQ(m_memory.OpenHandleCount(), 0u);
}

using Defaults = std::vector<std::pair<const wchar_t*, const wchar_t*>>;

// A whole branch of HKEY_CLASSES_ROOT as text ("-" when missing), for before-and-after checks.
CString Dump(const CString& path)
{
    CShdRegKey key;
    if (!key.Open(HKEY_CLASSES_ROOT, path))
        return L"-";
    CString text = L"[" + path + L"]", name;
    for (DWORD i = 0; key.EnumValueName(i, name); ++i)
        text += L" " + name + L"=" + key.GetString(name, L"?");
    for (DWORD i = 0; key.EnumKey(i, name); ++i)
        text += Dump(path.IsEmpty() ? name : path + L"\\" + name);
    return text;
}

struct SStart
{
    const char* name;
    Defaults defaults;
    const wchar_t* unnamed; // another program's class that the extension does not name
};

// What the registry held before and after one install or removal.
struct SRun
{
    bool faultHit = false, result = false;
    CString allBefore, allAfter;
    // Classes that the operation must leave as they were: another program's that the
    // extension named, and regfile where the extension named another class.
    CString othersBefore, othersAfter;
    // The class the extension named before, before and after.
    CString namedBefore, namedAfter;
    CString extensionAfter;
    bool associatedAfter = false, newComplete = false;
    size_t openHandles = 0;
};

const SStart kStarts[] = {
    {"nothing", {}, nullptr},
    {"regedit's regfile",
     {{L".reg", L"regfile"},
      {L".reg\\OpenWithProgids", L""},
      {L"regfile", L"Registration Entries"},
      {L"regfile\\Shell\\Open\\Command", L"regedit.exe \"%1\""},
      {L"regfile\\Shell\\Edit\\Command", L"notepad.exe \"%1\""}},
     nullptr},
    {"another class",
     {{L".reg", L"OtherClass"},
      {L"OtherClass\\Shell\\Open\\Command", L"other.exe"},
      {L"regfile\\Shell\\Open\\Command", L"regedit.exe"}},
     L"regfile"},
    {"no command", {{L".reg", L"regfile"}, {L"regfile", L"Registration Entries"}}, nullptr},
};

class AssociationFaultTest : public RegAssociationTest
{
protected:
    // In a registry of its own: the start, for a removal our association installed over it,
    // then the operation with the nth call of op failing (none for nth 0).
    SRun Run(const SStart& start, bool remove, int op, int nth)
    {
        CMemoryRegistryBackend memory;
        CScopedRegistryBackend scope(memory);
        SetInstallDir(L"\\App");
        for (const auto& entry : start.defaults)
            SetDefault(entry.first, entry.second);
        const CString ours = GetOpenCommand();
        if (remove) {
            EXPECT_TRUE(InstallAssociation(kRegExtension, kRegClassName, kRegDescription, L"icon", ours));
        }
        SRun run;
        run.allBefore = Dump(L"");
        run.othersBefore = Others(start);
        const CString namedBefore = GetDefault(L".reg");
        run.namedBefore = Dump(namedBefore);
        memory.ResetCounts();
        const IRegistryBackend::EOperation failing = IRegistryBackend::EOperation(op);
        if (nth > 0)
            memory.FailCall(failing, nth);
        run.result = remove
                         ? RemoveAssociation(kRegExtension, ours)
                         : InstallAssociation(kRegExtension, kRegClassName, kRegDescription, L"icon", ours);
        run.faultHit = nth > 0 && memory.CallCount(failing) >= unsigned(nth);
        memory.ClearFaults();
        run.openHandles = memory.OpenHandleCount();
        run.allAfter = Dump(L"");
        run.othersAfter = Others(start);
        const CString named = GetDefault(L".reg");
        run.namedAfter = Dump(namedBefore);
        run.extensionAfter = Dump(L".reg");
        run.associatedAfter = IsAssociated();
        run.newComplete = run.associatedAfter && GetDefault(named) == kRegDescription &&
                          GetDefault(named + L"\\DefaultIcon") == L"icon";
        return run;
    }
    // Every case of one operation: each registry call failing in turn, until the calls run out.
    template <class Check> void ForEveryFault(bool remove, Check check)
    {
        int failures = 0, reported = 0;
        for (const SStart& start : kStarts) {
            const SRun clean = Run(start, remove, 0, 0);
            EXPECT_TRUE(clean.result) << start.name;
            for (int op = 0; op < IRegistryBackend::OperationCount; ++op) {
                for (int nth = 1;; ++nth) {
                    const SRun run = Run(start, remove, op, nth);
                    if (!run.faultHit)
                        break;
                    ++failures;
                    reported += run.result ? 0 : 1;
                    testing::Message where;
                    where << start.name << ", call " << nth << " of operation " << op;
                    EXPECT_EQ(run.othersAfter, run.othersBefore) << where;
                    if (op != IRegistryBackend::OpCloseKey) {
                        EXPECT_EQ(run.openHandles, 0u) << where;
                    }
                    check(run, where);
                }
            }
        }
        EXPECT_GT(reported, 20) << "of " << failures;
        EXPECT_GT(failures, reported);
    }

private:
    static CString Others(const SStart& start)
    {
        return Dump(L"OtherClass") + (start.unnamed ? Dump(start.unnamed) : CString());
    }
};

} // namespace

// Install either reports success with the new association whole, or failure with the registry
// exactly as it was.
TEST_F(AssociationFaultTest, FailedInstallLeavesEverythingAsItWasAndSuccessTheNewAssociationWhole)
{
    ForEveryFault(false, [](const SRun& run, const testing::Message& where) {
        if (run.result)
            EXPECT_TRUE(run.newComplete) << where;
        else
            EXPECT_EQ(run.allAfter, run.allBefore) << where;
    });
}

// A removal that reports failure leaves our class whole; one that reports success leaves no
// association (at most an empty extension key that could not be deleted).
TEST_F(AssociationFaultTest, FailedRemovalKeepsOurClassAndSuccessLeavesNoAssociation)
{
    ForEveryFault(true, [](const SRun& run, const testing::Message& where) {
        if (run.result) {
            EXPECT_FALSE(run.associatedAfter) << where;
            const CString& extension = run.extensionAfter;
            EXPECT_EQ(extension == L"[.reg]" ? CString(L"-") : extension, L"-") << where;
        } else {
            EXPECT_EQ(run.namedAfter, run.namedBefore) << where;
        }
    });
}
