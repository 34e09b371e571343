// The one way the program shows a message box: caption "Hivelet", always MB_SETFOREGROUND.
// Tests replace the sink to record what would be shown and to answer it.
#pragma once

#include <windows.h>

class IMessageBoxSink
{
public:
    virtual ~IMessageBoxSink() = default;
    // Returns the button id the user chose (IDOK, IDYES, IDNO, ...).
    virtual int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) = 0;
};

extern const wchar_t kMessageCaption[];

// Shows text with the given style plus MB_SETFOREGROUND through the current sink.
int ShdMessageBox(HWND owner, const wchar_t* text, UINT style);

// The three message styles of the program.
void ShowErrorMessage(HWND owner, const wchar_t* text); // MB_OK | MB_ICONEXCLAMATION
void ShowInfoMessage(HWND owner, const wchar_t* text);  // MB_OK | MB_ICONINFORMATION
bool AskQuestion(HWND owner, const wchar_t* text);      // MB_YESNO | MB_ICONQUESTION, true on IDYES

// Installs a sink (nullptr restores MessageBoxW); returns the previous one.
IMessageBoxSink* SetMessageBoxSink(IMessageBoxSink* sink);
