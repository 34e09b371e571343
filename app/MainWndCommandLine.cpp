// The main window's command line: the tokens, the export and import it carries out, and the
// background jobs with their progress dialog and result messages.
#include "app/MainWnd.h"

#include "app/CommandLine.h"
#include "settings/Settings.h"
#include "regfile/ProgressDlg.h"
#include "regfile/RegExporter.h"
#include "regfile/RegImporter.h"
#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"
#include "shd/MessageBox.h"

namespace {

const int kExitFailed = 1;
const int kExitInvalid = 2;

} // namespace

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
    // A silent run is a script: it is not journaled.
    CJournalCommand command(silent || m_journalCommand ? nullptr : m_journal, L"Import");
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
        OnRefreshRegistry();
        return false;
    }
    bool ok = false;
    CString errorText;
    const bool waited = importer.Wait(ok, errorText);
    // Whatever the outcome, part of the file may have been applied.
    OnRefreshRegistry();
    if (waited && ok) {
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
