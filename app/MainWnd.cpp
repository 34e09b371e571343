// The main window: creation with its menu bar, the start-up message, the command line and the
// export and import jobs.
#include "app/MainWnd.h"

#include "app/AboutDlg.h"
#include "app/CommandLine.h"
#include "app/Settings.h"
#include "platform/AygShell.h"
#include "regfile/ProgressDlg.h"
#include "regfile/RegExporter.h"
#include "regfile/RegImporter.h"
#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "shd/MessageBox.h"

const wchar_t CMainWnd::kInteractiveClass[] = L"Hivelet_{A55A0214-0F7E-46FE-B53B-52C2AE3EC850}";
const wchar_t CMainWnd::kCommandLineClass[] = L"CmdLine_Hivelet_{A55A0214-0F7E-46FE-B53B-52C2AE3EC850}";

namespace {

const int kExitFailed = 1;
const int kExitInvalid = 2;

} // namespace

CMainWnd::CMainWnd(bool commandLineMode, const wchar_t* arguments)
    : m_commandLineMode(commandLineMode), m_arguments(arguments)
{
}

CMainWnd::~CMainWnd()
{
    Destroy();
}

bool CMainWnd::CreateMain(HINSTANCE instance)
{
    CClass& windowClass = m_commandLineMode ? m_commandLineClass : m_interactiveClass;
    if (!windowClass.IsRegistered() &&
        !windowClass.RegisterDefault(m_commandLineMode ? kCommandLineClass : kInteractiveClass))
        return false;
    return Create(0, &windowClass, L"Hivelet", WS_VISIBLE | WS_CAPTION, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, 0, instance);
}

LRESULT CMainWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        PostMessageW(m_hwnd, kStartupMessage, 0, 0);
        return OnCreate();
    case kStartupMessage:
        OnStartup();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_COPYDATA:
        return 0;
    }
    return CShdWnd::WindowProc(message, wParam, lParam);
}

LRESULT CMainWnd::OnCreate()
{
    SHINITDLGINFO info = {SHIDIM_FLAGS, m_hwnd, SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    SetWindowLongPtrW(m_hwnd, GWL_STYLE, GetWindowLongPtrW(m_hwnd, GWL_STYLE) & ~LONG_PTR(WS_BORDER));
    SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE,
                      GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_DLGMODALFRAME));
    HINSTANCE instance = GetModuleHandleW(nullptr);
    bool softKeys = IsSmartphone() && GetOsVersion() < 0x0500;
    m_menuBar = softKeys ? CreateMenuBar(m_hwnd, instance, IDR_MAIN_SOFTKEYS, true)
                         : CreateMenuBar(m_hwnd, instance, IDR_MAIN_MENU, false);
    return m_menuBar ? 0 : -1;
}

void CMainWnd::OnStartup()
{
    if (!m_commandLineMode)
        return;
    ProcessCommandLine(m_arguments);
    DestroyWindow(m_hwnd);
}

void CMainWnd::OnDestroy()
{
    if (!m_commandLineMode)
        SaveLastPosition();
    PostQuitMessage(0);
}

void CMainWnd::SaveLastPosition()
{
    // Nothing can be selected until the key tree exists: no key and no value, which is also what
    // an exit with "SavePosition" off stores.
    CSettings& settings = Settings();
    settings.SaveLastPosition(0, L"", L"", false);
    settings.Flush();
}

void CMainWnd::OnCommand(UINT id)
{
    if (id == ID_EXIT || id == ID_CLOSE) {
        DestroyWindow(m_hwnd);
    } else if (id == ID_ABOUT) {
        CAboutDlg about;
        about.Run(m_hwnd);
    }
}

void CMainWnd::Message(const wchar_t* text, UINT style)
{
    if (!m_silent)
        ShdMessageBox(m_hwnd, text, style);
}

void CMainWnd::ProcessCommandLine(const wchar_t* commandLine)
{
    bool optionsAllowed = true, exportMode = false, finished = false, invalid = false;
    int position = 0;
    int length = static_cast<int>(wcslen(commandLine ? commandLine : L""));
    CString token;
    for (;;) {
        if (!NextCommandLineToken(commandLine, position, length, token)) {
            finished = true;
            break;
        }
        if (optionsAllowed) {
            if (token.EqualsNoCase(L"-s") || token.EqualsNoCase(L"/s")) {
                m_silent = true;
                continue;
            }
            if (token.EqualsNoCase(L"-e") || token.EqualsNoCase(L"/e")) {
                exportMode = true;
                continue;
            }
            if (token.EqualsNoCase(L"-?") || token.EqualsNoCase(L"/?"))
                break;
            optionsAllowed = false; // after the first file name every token is a file name
        }
        if (exportMode) {
            CString file = token, key, extra;
            NextCommandLineToken(commandLine, position, length, key);
            if (NextCommandLineToken(commandLine, position, length, extra) ||
                !ExportFromCommandLine(file, key))
                invalid = true;
            finished = true;
            break;
        }
        ImportWithConfirmation(m_silent, token);
    }
    if (!finished) {
        // "/?" is a request, so it is answered even in a silent run.
        ShdMessageBox(m_hwnd, L"Usage:\r\n\"Keyhaven.exe <file>\"\r\nor\r\n\"Keyhaven.exe /e <file> <key>\"",
                      MB_OK | MB_ICONINFORMATION);
    }
    if (invalid) {
        m_exitCode = kExitInvalid;
        Message(L"Invalid command line arguments.", MB_OK | MB_ICONEXCLAMATION);
    }
}

bool CMainWnd::ExportFromCommandLine(const CString& file, const CString& key)
{
    HKEY root = nullptr;
    CString path;
    if (!key.IsEmpty()) {
        root = SplitKeyPath(key, path);
        if (!root)
            return false;
        CShdRegKey check(false);
        if (!check.Open(root, path))
            return false;
    }
    if (!RunExport(file, true, root, path))
        m_exitCode = kExitFailed;
    return true;
}

void CMainWnd::ImportWithConfirmation(bool silent, const CString& file)
{
    CString question;
    question.Format(L"Do you want to import registry file \"%s\"?", file.c_str());
    // A silent run imports without asking; its exit code tells the outcome.
    if (!silent && ShdMessageBox(m_hwnd, question, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!RunImport(file))
        m_exitCode = kExitFailed;
}

bool CMainWnd::RunExport(const wchar_t* fileName, bool unicode, HKEY root, const wchar_t* subkeyPath)
{
    CRegExporter exporter;
    CProgressDlg progress;
    if (!exporter.Start(fileName, false, unicode, root, subkeyPath))
        return false;
    UpdateWindow(m_hwnd);
    if (m_menuBar)
        UpdateWindow(m_menuBar);
    if (!progress.Run(m_hwnd, L"Export in progress...", 500, exporter.GetDoneEvent())) {
        bool deleteFile =
            ShdMessageBox(m_hwnd, L"Do you want to delete file?", MB_YESNO | MB_ICONQUESTION) == IDYES;
        exporter.Cancel(deleteFile);
        return false;
    }
    bool ok = false;
    if (exporter.Wait(ok) && ok) {
        Message(L"Registry export finished successfully.", MB_OK | MB_ICONINFORMATION);
        return true;
    }
    Message(L"There were errors during exporting registry file.", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CMainWnd::RunImport(const wchar_t* fileName)
{
    CRegImporter importer;
    CProgressDlg progress;
    importer.SetDoNotCheckHeader(Settings().GetDoNotCheckImportHeader());
    if (!importer.Start(fileName))
        return false;
    UpdateWindow(m_hwnd);
    if (m_menuBar)
        UpdateWindow(m_menuBar);
    if (!progress.Run(m_hwnd, L"Import in progress...", 500, importer.GetDoneEvent())) {
        importer.Cancel();
        return false;
    }
    bool ok = false;
    CString errorText;
    if (importer.Wait(ok, errorText) && ok) {
        Message(L"Registry import finished successfully.", MB_OK | MB_ICONINFORMATION);
        return true;
    }
    if (errorText.IsEmpty())
        errorText = L"Unknown error.";
    CString message;
    message.Format(L"%s %s", L"There were errors during importing registry file.", errorText.c_str());
    Message(message, MB_OK | MB_ICONEXCLAMATION);
    return false;
}
