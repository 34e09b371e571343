// CMainWnd: the program's one top-level window. For now it holds the menu bar and carries out
// the command line of a command-line run (import files, export a key) with the background jobs
// under the progress dialog; the tree, value list and their commands join it later.
//   CMainWnd main(commandLineMode, arguments); main.CreateMain(instance) -> message loop
//   ExitCode(): in a silent run 0 all done, 1 an import or export failed, 2 invalid command line;
//               0 otherwise, since the messages have told the user
#pragma once

#include "shd/ShdWnd.h"
#include "shd/String.h"

#include <windows.h>

class CMainWnd : public CShdWnd
{
public:
    static const wchar_t kInteractiveClass[];
    static const wchar_t kCommandLineClass[];
    static const UINT kStartupMessage = WM_APP + 100;

    CMainWnd(bool commandLineMode, const wchar_t* arguments);
    ~CMainWnd() override;

    bool CreateMain(HINSTANCE instance);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void ProcessCommandLine(const wchar_t* commandLine);
    bool ExportFromCommandLine(const CString& file, const CString& key);
    void ImportWithConfirmation(bool silent, const CString& file);
    // The jobs; true when the work was done without errors.
    bool RunExport(const wchar_t* fileName, bool unicode, HKEY root, const wchar_t* subkeyPath);
    bool RunImport(const wchar_t* fileName);

    // "Export...", "Import..." and "Options..." (MainWndFileCommands.cpp).
    void OnExport();
    void OnImport();
    void OnOptions();

    // The key selected in the tree: false (root null, empty path) when there is none.
    bool GetCurrentKey(HKEY& root, CString& path) const;

    bool IsCommandLineMode() const { return m_commandLineMode; }
    int ExitCode() const { return m_silent ? m_exitCode : 0; }

private:
    LRESULT OnCreate();
    void OnStartup();
    void OnDestroy();
    void SaveLastPosition();
    void OnCommand(UINT id);
    void Message(const wchar_t* text, UINT style);

    CClass m_interactiveClass;
    CClass m_commandLineClass;
    const bool m_commandLineMode;
    CString m_arguments;
    HWND m_menuBar = nullptr;
    bool m_silent = false;
    int m_exitCode = 0;
};
