// Hivelet.exe as a user starts it: command lines typed in, message boxes read and answered
// from this process, files and registry checked afterwards, single instance between processes
// and the settings an interactive run leaves behind.
#include "tests/support/PrintCString.h"
#include "tests/support/ProcessDriver.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/RegistryTest.h"
#include "tests/support/RemoteControls.h"
#include "tests/support/TestFiles.h"

#include "registry/KeyTree.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t kInteractiveClass[] = L"Hivelet_{A55A0214-0F7E-46FE-B53B-52C2AE3EC850}";
const wchar_t kCommandLineClass[] = L"CmdLine_Hivelet_{A55A0214-0F7E-46FE-B53B-52C2AE3EC850}";
const wchar_t kSettingsPath[] = L"SOFTWARE\\Ordwyn\\Keyhaven\\Settings";
const wchar_t kProductPath[] = L"SOFTWARE\\Ordwyn\\Keyhaven";
const wchar_t kSavedSettingsPath[] = L"Software\\HiveletTests\\HiveletEndToEndSavedSettings";
const wchar_t kUsage[] = L"Usage:\r\n\"Keyhaven.exe <file>\"\r\nor\r\n\"Keyhaven.exe /e <file> <key>\"";
const wchar_t kInvalid[] = L"Invalid command line arguments.";
const wchar_t kExportDone[] = L"Registry export finished successfully.";
const wchar_t kImportDone[] = L"Registry import finished successfully.";
const wchar_t* const kPositionValues[] = {L"LastPositionRoot", L"LastPositionKeyName",
                                          L"LastPositionValueName", L"LastPositionValueSelected"};

// Generous: a run takes well under a second; the limit only stops a hung program.
const DWORD kLimitMs = 60000;

// The text of a Unicode .reg file after its byte order mark; empty when the mark is missing.
std::wstring UnicodeText(const std::string& bytes)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes.compare(0, 2, "\xFF\xFE") != 0)
        return std::wstring();
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
}

std::string Utf8(const std::wstring& text)
{
    std::string result(text.size() * 3 + 1, '\0');
    int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0],
                                     static_cast<int>(result.size()), nullptr, nullptr);
    result.resize(length > 0 ? length : 0);
    return result;
}

bool ValueExists(HKEY root, const wchar_t* path, const wchar_t* name)
{
    return RegGetValueW(root, path, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string ClassOf(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return Utf8(name);
}

DWORD ProcessOf(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

// The foreground window once it is the one expected, or whatever it is when the limit passes.
// Another process's SetForegroundWindow takes effect when the target's thread handles the
// activation it is sent, which may be after the calling process has ended: poll for it.
HWND WaitForForeground(HWND expected, DWORD limitMs)
{
    ULONGLONG begin = GetTickCount64();
    HWND foreground = GetForegroundWindow();
    while (foreground != expected && GetTickCount64() - begin < limitMs) {
        Sleep(10);
        foreground = GetForegroundWindow();
    }
    return foreground;
}

class HiveletEndToEnd : public CRegistryTest
{
protected:
    void SetUp() override
    {
        CRegistryTest::SetUp();
        // The product's settings are kept aside; each test starts without them.
        m_hadSettings = KeyExists(HKEY_LOCAL_MACHINE, kSettingsPath);
        DeleteTestTree(HKEY_CURRENT_USER, kSavedSettingsPath);
        if (m_hadSettings) {
            ASSERT_TRUE(
                CopyKeyTree(HKEY_LOCAL_MACHINE, kSettingsPath, HKEY_CURRENT_USER, kSavedSettingsPath));
        }
        ASSERT_TRUE(DeleteTestTree(HKEY_LOCAL_MACHINE, kSettingsPath));

        m_machinePath = TestPath(); // the same path below HKEY_LOCAL_MACHINE
        DeleteTestTree(HKEY_LOCAL_MACHINE, m_machinePath);

        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        m_dir.Format(L"%sHiveletE2E-%lu-%i\\", temp, GetCurrentProcessId(), ++counter);
        ASSERT_TRUE(CreateDirectoryW(m_dir, nullptr));

        // The program's folder is the test's own, so the undo journal a run writes there is
        // the test's and is removed with it (never beside the built .exe, shared by every run).
        m_hadInstallDir = ReadInstallDir(m_installDir);
        WriteString(HKEY_LOCAL_MACHINE, kProductPath, L"InstallDir", m_dir);
        File(L"Hivelet.undo");
        File(L"Hivelet.undo.damaged");
    }

    void TearDown() override
    {
        for (const CString& file : m_files)
            DeleteFileW(file);
        EXPECT_TRUE(RemoveDirectoryW(m_dir)) << "files left in the test folder";
        if (m_hadInstallDir) {
            WriteString(HKEY_LOCAL_MACHINE, kProductPath, L"InstallDir", m_installDir);
        } else {
            HKEY product;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductPath, 0, KEY_SET_VALUE, &product) ==
                ERROR_SUCCESS) {
                RegDeleteValueW(product, L"InstallDir");
                RegCloseKey(product);
            }
        }
        EXPECT_TRUE(DeleteTestTree(HKEY_LOCAL_MACHINE, m_machinePath));
        DeleteTestTree(HKEY_LOCAL_MACHINE, kSettingsPath);
        if (m_hadSettings) {
            EXPECT_TRUE(
                CopyKeyTree(HKEY_CURRENT_USER, kSavedSettingsPath, HKEY_LOCAL_MACHINE, kSettingsPath));
            DeleteTestTree(HKEY_CURRENT_USER, kSavedSettingsPath);
        }
        CRegistryTest::TearDown();
    }

    // A file name in the test's own folder, removed after the test.
    CString File(const wchar_t* name)
    {
        m_files.push_back(m_dir + name);
        return m_files.back();
    }

    CString WriteRegFile(const wchar_t* name, const std::wstring& body)
    {
        CString path = File(name);
        std::wstring content = L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n" + body;
        HANDLE handle = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, handle);
        DWORD written = 0;
        WriteFile(handle, content.data(), static_cast<DWORD>(content.size() * 2), &written, nullptr);
        CloseHandle(handle);
        return path;
    }

    std::wstring TestKeyName() const { return L"HKEY_CURRENT_USER\\" + std::wstring(TestPath().c_str()); }

    static CString Program() { return BuiltFile(L"app/Hivelet.exe"); }

    // Starts Hivelet.exe with the arguments and answers its boxes until it ends.
    static void Run(CProcessDriver& run, const CString& arguments)
    {
        bool started = run.Start(Program(), arguments);
        DWORD error = GetLastError();
        ASSERT_TRUE(started) << "error " << error;
        ASSERT_TRUE(run.WaitForExit(kLimitMs)) << "Hivelet.exe did not end and was stopped";
    }

    // Starts an interactive Hivelet.exe and waits for its main window.
    static void StartInteractive(CProcessDriver& run, HWND& main)
    {
        // A window of the class elsewhere (a test program creating the interactive main window
        // beside this one) would take the new start's hand-over.
        ASSERT_EQ(nullptr, FindWindowW(kInteractiveClass, nullptr)) << "another interactive window exists";
        ASSERT_TRUE(run.Start(Program(), L""));
        main = run.WaitForWindow(kInteractiveClass, kLimitMs);
        ASSERT_NE(nullptr, main) << "no main window; exit code " << run.ExitCode();
    }

    static void ExpectBox(const CProcessDriver& run, size_t index, const CString& text, UINT buttons)
    {
        ASSERT_LT(index, run.Boxes().size());
        const CProcessDriver::SBox& box = run.Boxes()[index];
        EXPECT_EQ(CString(L"Hivelet"), box.caption);
        EXPECT_EQ(text, box.text);
        EXPECT_EQ(buttons, box.buttons);
        EXPECT_TRUE(box.hasIcon);
    }

    static bool ReadInstallDir(CString& folder)
    {
        wchar_t text[MAX_PATH] = {};
        DWORD size = sizeof(text) - sizeof(wchar_t);
        if (RegGetValueW(HKEY_LOCAL_MACHINE, kProductPath, L"InstallDir", RRF_RT_REG_SZ, nullptr, text,
                         &size) != ERROR_SUCCESS)
            return false;
        folder = text;
        return true;
    }

    bool m_hadSettings = false;
    bool m_hadInstallDir = false;
    CString m_installDir;
    CString m_machinePath;
    CString m_dir;
    std::vector<CString> m_files;
};

// A top-level window of the test process that can take the foreground.
class CForegroundWindow
{
public:
    CForegroundWindow()
    {
        m_window = CreateWindowExW(0, L"STATIC", L"e2e foreground", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetForegroundWindow(m_window);
    }
    ~CForegroundWindow() { DestroyWindow(m_window); }
    HWND Get() const { return m_window; }

private:
    HWND m_window;
};

} // namespace

TEST_F(HiveletEndToEnd, ExportsAKeyInTheUnicodeFormToAQuotedNameWithASpace)
{
    HKEY local = HKEY_LOCAL_MACHINE;
    const wchar_t expand[] = L"%SystemRoot%\\x";
    const wchar_t multi[] = L"alpha\0beta\0";
    const BYTE bytes[] = {0x01, 0xab, 0xff};
    WriteString(local, m_machinePath, L"", L"default");
    WriteValue(local, m_machinePath, L"Bytes", REG_BINARY, bytes, sizeof(bytes));
    WriteValue(local, m_machinePath, L"Empty", REG_BINARY, nullptr, 0);
    WriteValue(local, m_machinePath, L"Expand", REG_EXPAND_SZ, expand, sizeof(expand));
    WriteValue(local, m_machinePath, L"Multi", REG_MULTI_SZ, multi, sizeof(multi));
    WriteDword(local, m_machinePath, L"Number", 42);
    WriteString(local, m_machinePath, L"Text", L"say \"hi\" C:\\dir");
    WriteDword(local, m_machinePath + L"\\Child", L"Inner", 1);
    HKEY bare = nullptr; // a key without values
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(local, m_machinePath + L"\\Another child", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &bare, nullptr));
    RegCloseKey(bare);

    CString file = File(L"exported key.reg");
    CProcessDriver run;
    Run(run, L"/E \"" + file + L"\" HKLM\\" + m_machinePath);
    EXPECT_EQ(0u, run.ExitCode());
    ASSERT_EQ(1u, run.Boxes().size());
    ExpectBox(run, 0, kExportDone, MB_OK);

    std::wstring key = L"[HKEY_LOCAL_MACHINE\\" + std::wstring(m_machinePath.c_str());
    std::wstring expected =
        L"Windows Registry Editor Version 5.00\r\n"
        L"\r\n" +
        key +
        L"]\r\n"
        L"@=\"default\"\r\n"
        L"\"Bytes\"=hex:\\\r\n"
        L"      01,ab,ff\r\n"
        L"\"Empty\"=hex:\r\n"
        L"\"Expand\"=hex(2):\\\r\n"
        L"      25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,5c,\\\r\n"
        L"      00,78,00,00,00\r\n"
        L"\"Multi\"=hex(7):\\\r\n"
        L"      61,00,6c,00,70,00,68,00,61,00,00,00,62,00,65,00,74,00,61,00,00,00,00,00\r\n"
        L"\"Number\"=dword:0000002a\r\n"
        L"\"Text\"=\"say \\\"hi\\\" C:\\\\dir\"\r\n"
        L"\r\n" +
        key +
        L"\\Another child]\r\n"
        L"\r\n" +
        key +
        L"\\Child]\r\n"
        L"\"Inner\"=dword:00000001\r\n"
        L"\r\n";
    std::string written = ReadFileBytes(file);
    ASSERT_EQ("\xFF\xFE", written.substr(0, 2));
    EXPECT_EQ(Utf8(expected), Utf8(UnicodeText(written)));
    EXPECT_EQ(2 + expected.size() * 2, written.size());
}

TEST_F(HiveletEndToEnd, ExportsTheWholeRegistryForAFileAlone)
{
    WriteString(TestKey(), nullptr, L"Marker", L"user side");
    WriteString(HKEY_LOCAL_MACHINE, m_machinePath, L"Marker", L"machine side");
    CString file = File(L"whole.reg");
    CProcessDriver run;
    Run(run, L"/e " + file);
    EXPECT_EQ(0u, run.ExitCode());
    ASSERT_EQ(1u, run.Boxes().size());
    ExpectBox(run, 0, kExportDone, MB_OK);
    std::string bytes = ReadFileBytes(file);
    std::printf("whole-registry export: %lu ms for %lu bytes\n", static_cast<unsigned long>(run.ElapsedMs()),
                static_cast<unsigned long>(bytes.size()));
    std::wstring text = UnicodeText(bytes);
    EXPECT_EQ(0u, text.find(L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT]\r\n"));
    EXPECT_NE(std::wstring::npos, text.find(L"\r\n[" + TestKeyName() + L"]\r\n\"Marker\"=\"user side\"\r\n"));
    EXPECT_NE(std::wstring::npos,
              text.find(L"\r\n[HKEY_LOCAL_MACHINE\\" + std::wstring(m_machinePath.c_str()) +
                        L"]\r\n\"Marker\"=\"machine side\"\r\n"));
    EXPECT_NE(std::wstring::npos, text.find(L"\r\n[HKEY_USERS]\r\n"));
}

TEST_F(HiveletEndToEnd, InvalidFormsAreReportedAndExportNothing)
{
    CString file = File(L"never.reg");
    CString key = L"HKCU\\" + TestPath();
    for (const CString& arguments :
         {L"/e " + file + L" " + key + L" extra", L"/e " + file + L" HKXX\\Software",
          L"/e " + file + L" " + key + L"\\No\\Such"}) {
        CProcessDriver run;
        Run(run, arguments);
        EXPECT_EQ(0u, run.ExitCode()) << Utf8(arguments.c_str()); // the message told the user
        ASSERT_EQ(1u, run.Boxes().size()) << Utf8(arguments.c_str());
        ExpectBox(run, 0, kInvalid, MB_OK);
        CProcessDriver silent;
        Run(silent, L"/s " + arguments);
        EXPECT_EQ(2u, silent.ExitCode());
        EXPECT_TRUE(silent.Boxes().empty());
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file));
}

TEST_F(HiveletEndToEnd, ExportThatCannotWriteItsFileFails)
{
    CString arguments = L"/e \"" + m_dir + L"no such folder\\out.reg\" HKCU\\" + TestPath();
    CProcessDriver run;
    Run(run, arguments);
    EXPECT_EQ(0u, run.ExitCode()); // the message has told the user
    ASSERT_EQ(1u, run.Boxes().size());
    ExpectBox(run, 0, L"There were errors during exporting registry file.", MB_OK);
    CProcessDriver silent;
    Run(silent, L"/s " + arguments);
    EXPECT_EQ(1u, silent.ExitCode());
    EXPECT_TRUE(silent.Boxes().empty());
}

TEST_F(HiveletEndToEnd, QuestionMarksShowTheUsageAndOptionsAloneDoNothing)
{
    for (const wchar_t* arguments : {L"/?", L"-?", L"/s /?"}) {
        CProcessDriver run;
        Run(run, arguments);
        EXPECT_EQ(0u, run.ExitCode());
        ASSERT_EQ(1u, run.Boxes().size()) << Utf8(arguments);
        ExpectBox(run, 0, kUsage, MB_OK);
        std::printf("%ls: %lu ms\n", arguments, static_cast<unsigned long>(run.ElapsedMs()));
    }
    for (const wchar_t* arguments : {L"/s", L"/e"}) {
        CProcessDriver run;
        Run(run, arguments);
        EXPECT_EQ(0u, run.ExitCode());
        EXPECT_TRUE(run.Boxes().empty()) << Utf8(arguments);
    }
}

TEST_F(HiveletEndToEnd, FileNamesAreAskedAboutInOrderAndOptionsEndAtTheFirst)
{
    CProcessDriver run; // every question answered No
    Run(run, L"first.reg /e \"second file.reg\"");
    EXPECT_EQ(0u, run.ExitCode());
    ASSERT_EQ(3u, run.Boxes().size());
    ExpectBox(run, 0, L"Do you want to import registry file \"first.reg\"?", MB_YESNO);
    ExpectBox(run, 1, L"Do you want to import registry file \"/e\"?", MB_YESNO);
    ExpectBox(run, 2, L"Do you want to import registry file \"second file.reg\"?", MB_YESNO);
}

TEST_F(HiveletEndToEnd, SilentImportAsksNothingAndTellsTheOutcomeByTheExitCode)
{
    CString file = WriteRegFile(L"silent import.reg",
                                L"[" + TestKeyName() + L"\\Imported]\r\n\"Value\"=dword:0000002a\r\n\r\n");
    CProcessDriver run;
    Run(run, L"/s \"" + file + L"\"");
    EXPECT_EQ(0u, run.ExitCode());
    EXPECT_TRUE(run.Boxes().empty());
    DWORD value = 0, size = sizeof(value);
    EXPECT_EQ(ERROR_SUCCESS,
              RegGetValueW(TestKey(), L"Imported", L"Value", RRF_RT_REG_DWORD, nullptr, &value, &size));
    EXPECT_EQ(42u, value);

    CProcessDriver missing;
    Run(missing, L"/s " + m_dir + L"missing.reg");
    EXPECT_EQ(1u, missing.ExitCode());
    EXPECT_TRUE(missing.Boxes().empty());
}

TEST_F(HiveletEndToEnd, ImportAnsweredYesEndsWithTheSuccessMessage)
{
    CString file =
        WriteRegFile(L"asked import.reg", L"[" + TestKeyName() + L"\\Asked]\r\n\"Name\"=\"Data\"\r\n\r\n");
    CProcessDriver run;
    run.QueueAnswer(IDYES);
    Run(run, L"\"" + file + L"\"");
    EXPECT_EQ(0u, run.ExitCode());
    ASSERT_EQ(2u, run.Boxes().size());
    ExpectBox(run, 0, L"Do you want to import registry file \"" + file + L"\"?", MB_YESNO);
    ExpectBox(run, 1, kImportDone, MB_OK);
    EXPECT_TRUE(ValueExists(TestKey(), L"Asked", L"Name"));
}

TEST_F(HiveletEndToEnd, SecondInteractiveStartHandsOverAndCommandLineRunsPassBy)
{
    CProcessDriver first;
    HWND main = nullptr;
    StartInteractive(first, main);
    ASSERT_NE(nullptr, main);

    CForegroundWindow ours;
    ASSERT_EQ(ours.Get(), GetForegroundWindow()) << "the test cannot take the foreground";
    CProcessDriver second;
    Run(second, L"");
    EXPECT_EQ(0u, second.ExitCode());
    EXPECT_TRUE(second.Boxes().empty());
    std::printf("second interactive start: %lu ms\n", static_cast<unsigned long>(second.ElapsedMs()));
    HWND foreground = WaitForForeground(main, 5000);
    EXPECT_EQ(first.ProcessId(), ProcessOf(foreground));
    EXPECT_EQ(main, foreground) << ClassOf(foreground);
    // A line of spaces is no command line: the same hand-over.
    SetForegroundWindow(ours.Get());
    ASSERT_EQ(ours.Get(), GetForegroundWindow());
    CProcessDriver spaces;
    Run(spaces, L"   ");
    EXPECT_EQ(0u, spaces.ExitCode());
    EXPECT_TRUE(spaces.Boxes().empty());
    EXPECT_EQ(main, WaitForForeground(main, 5000));

    // A command-line run neither hands over to the running instance nor is stopped by it.
    WriteString(TestKey(), nullptr, L"Name", L"Data");
    CString file = File(L"beside.reg");
    CProcessDriver export_;
    Run(export_, L"/s /e " + file + L" HKCU\\" + TestPath());
    EXPECT_EQ(0u, export_.ExitCode());
    EXPECT_NE(std::wstring::npos, UnicodeText(ReadFileBytes(file)).find(L"\"Name\"=\"Data\""));
    EXPECT_TRUE(first.IsRunning());
    EXPECT_EQ(main, first.FindWindowOfClass(kInteractiveClass));

    PostMessageW(main, WM_COMMAND, ID_EXIT, 0);
    ASSERT_TRUE(first.WaitForExit(kLimitMs));
    EXPECT_EQ(0u, first.ExitCode());
    EXPECT_TRUE(first.Boxes().empty());
}

TEST_F(HiveletEndToEnd, InteractiveStartIsNotBlockedByACommandLineRunAtItsQuestion)
{
    CProcessDriver asking;
    ASSERT_TRUE(asking.Start(Program(), L"waiting.reg"));
    ASSERT_TRUE(asking.WaitForBox(kLimitMs));
    EXPECT_NE(nullptr, asking.FindWindowOfClass(kCommandLineClass));

    CProcessDriver interactive;
    HWND main = nullptr;
    StartInteractive(interactive, main);
    ASSERT_NE(nullptr, main);

    ASSERT_TRUE(asking.WaitForExit(kLimitMs)); // the held question is answered No
    EXPECT_EQ(0u, asking.ExitCode());
    ASSERT_EQ(1u, asking.Boxes().size());
    ExpectBox(asking, 0, L"Do you want to import registry file \"waiting.reg\"?", MB_YESNO);

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(interactive.WaitForExit(kLimitMs));
    EXPECT_EQ(0u, interactive.ExitCode());
}

TEST_F(HiveletEndToEnd, OnlyAnInteractiveRunSavesTheLastPosition)
{
    CString file = File(L"settings.reg");
    CProcessDriver commandLine;
    Run(commandLine, L"/s /e " + file + L" HKCU\\" + TestPath());
    EXPECT_EQ(0u, commandLine.ExitCode());
    for (const wchar_t* name : kPositionValues)
        EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kSettingsPath, name)) << Utf8(name);

    CProcessDriver interactive;
    HWND main = nullptr;
    StartInteractive(interactive, main);
    ASSERT_NE(nullptr, main);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(interactive.WaitForExit(kLimitMs));
    EXPECT_EQ(0u, interactive.ExitCode());
    for (const wchar_t* name : kPositionValues)
        EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, kSettingsPath, name)) << Utf8(name);
    DWORD root = 1, size = sizeof(root);
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_LOCAL_MACHINE, kSettingsPath, L"LastPositionRoot",
                                          RRF_RT_REG_DWORD, nullptr, &root, &size));
    EXPECT_EQ(0u, root); // nothing can be selected yet
}

TEST_F(HiveletEndToEnd, InteractiveStartShowsTheTreeAndListOfTheLastPosition)
{
    WriteString(TestKey(), L"Branch", L"", L"default");
    WriteString(TestKey(), L"Branch", L"Text", L"Hello");
    WriteDword(TestKey(), L"Branch", L"Number", 42);
    WriteString(TestKey(), L"Branch\\zeta", L"x", L"1");
    WriteString(TestKey(), L"Branch\\Alpha\\Inner", L"x", L"1");
    HKEY settings = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &settings, nullptr));
    CString branch = TestPath() + L"\\Branch";
    WriteDword(settings, nullptr, L"LastPositionRoot", 0x80000001);
    WriteString(settings, nullptr, L"LastPositionKeyName", branch);
    WriteString(settings, nullptr, L"LastPositionValueName", L"number");
    WriteDword(settings, nullptr, L"LastPositionValueSelected", 1);
    RegCloseKey(settings);

    CProcessDriver interactive;
    HWND main = nullptr;
    StartInteractive(interactive, main);
    ASSERT_NE(nullptr, main);
    CRemoteControls tree(GetDlgItem(main, 101)), list(GetDlgItem(main, 102));
    ASSERT_TRUE(tree.IsOpen());
    ASSERT_TRUE(list.IsOpen());
    // The window exists before its creation has selected the stored key: wait for the list.
    ULONGLONG begin = GetTickCount64();
    while (list.ListSelection() < 0 && GetTickCount64() - begin < kLimitMs)
        Sleep(10);

    std::vector<std::wstring> path = {L"Registry", L"HKEY_CURRENT_USER"};
    for (const wchar_t* part = TestPath().c_str(); *part;) {
        const wchar_t* slash = wcschr(part, L'\\');
        path.push_back(slash ? std::wstring(part, slash) : std::wstring(part));
        part = slash ? slash + 1 : part + wcslen(part);
    }
    path.push_back(L"Branch");
    EXPECT_EQ(path, tree.TreeSelectionPath());
    EXPECT_TRUE(tree.TreeChildTexts(tree.TreeSelection()).empty()) << "not loaded before it is expanded";
    EXPECT_TRUE(tree.TreeHasButton(tree.TreeSelection()));
    // A tap on the expand button.
    TreeView_Expand(GetDlgItem(main, 101), tree.TreeSelection(), TVE_EXPAND);
    EXPECT_EQ((std::vector<std::wstring>{L"Alpha", L"zeta"}), tree.TreeChildTexts(tree.TreeSelection()));
    std::vector<HTREEITEM> children = tree.TreeChildren(tree.TreeSelection());
    ASSERT_EQ(2u, children.size());
    EXPECT_TRUE(tree.TreeChildTexts(children[0]).empty());
    EXPECT_TRUE(tree.TreeHasButton(children[0]));
    EXPECT_FALSE(tree.TreeHasButton(children[1]));

    ASSERT_EQ(3, list.ListCount());
    EXPECT_EQ(L"", list.ListText(0, 0));
    EXPECT_EQ(L"default", list.ListText(0, 1));
    EXPECT_EQ(L"Number", list.ListText(1, 0));
    EXPECT_EQ(L"42 (0x0000002A)", list.ListText(1, 1));
    EXPECT_EQ(L"Text", list.ListText(2, 0));
    EXPECT_EQ(L"Hello", list.ListText(2, 1));
    EXPECT_EQ(1, list.ListSelection());

    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(interactive.WaitForExit(kLimitMs));
    EXPECT_EQ(0u, interactive.ExitCode());
}

TEST_F(HiveletEndToEnd, ADamagedUndoJournalIsToldOnceAndCommandsStillWorkAndAreUndone)
{
    const CString journal = m_dir + L"Hivelet.undo";
    const std::string foreign = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Elsewhere]\r\n";
    ASSERT_TRUE(WriteFileBytes(journal, foreign));
    const wchar_t kReset[] = L"The undo journal could not be read and was reset.";

    // The start tells it, keeps the file aside and goes on; a command line beside it still imports.
    CProcessDriver first;
    ASSERT_TRUE(first.Start(Program(), L""));
    ASSERT_TRUE(first.WaitForBox(kLimitMs));
    ExpectBox(first, 0, kReset, MB_OK);
    HWND main = first.WaitForWindow(kInteractiveClass, kLimitMs);
    ASSERT_NE(nullptr, main);
    EXPECT_EQ(foreign, ReadFileBytes(journal + L".damaged"));
    CString beside =
        WriteRegFile(L"beside.reg", L"[" + TestKeyName() + L"\\Beside]\r\n\"Name\"=\"1\"\r\n\r\n");
    CProcessDriver besideRun;
    besideRun.QueueAnswer(IDYES);
    Run(besideRun, L"\"" + beside + L"\"");
    EXPECT_EQ(0u, besideRun.ExitCode());
    EXPECT_TRUE(ValueExists(TestKey(), L"Beside", L"Name"));
    PostMessageW(main, WM_COMMAND, ID_EXIT, 0);
    ASSERT_TRUE(first.WaitForExit(kLimitMs));
    EXPECT_EQ(1u, first.Boxes().size());

    // An asked import is journaled; the next start says nothing and its Undo takes the import back.
    CString file = WriteRegFile(L"undone.reg", L"[" + TestKeyName() + L"\\Undone]\r\n\"Name\"=\"2\"\r\n\r\n");
    CProcessDriver import;
    import.QueueAnswer(IDYES);
    Run(import, L"\"" + file + L"\"");
    ASSERT_TRUE(ValueExists(TestKey(), L"Undone", L"Name"));
    CProcessDriver second;
    StartInteractive(second, main);
    ASSERT_NE(nullptr, main);
    PostMessageW(main, WM_COMMAND, ID_UNDO, 0);
    PostMessageW(main, WM_COMMAND, ID_EXIT, 0);
    ASSERT_TRUE(second.WaitForExit(kLimitMs));
    EXPECT_TRUE(second.Boxes().empty());
    EXPECT_FALSE(KeyExists(TestKey(), L"Undone"));
    EXPECT_TRUE(ValueExists(TestKey(), L"Beside", L"Name"));
}
