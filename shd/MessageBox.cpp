// Message boxes through a replaceable sink.
#include "shd/MessageBox.h"

#include "platform/DeviceScreen.h"

const wchar_t kMessageCaption[] = L"Hivelet";

namespace {

IMessageBoxSink*& CurrentSink()
{
    static IMessageBoxSink* sink = nullptr;
    return sink;
}

} // namespace

IMessageBoxSink* SetMessageBoxSink(IMessageBoxSink* sink)
{
    IMessageBoxSink* previous = CurrentSink();
    CurrentSink() = sink;
    return previous;
}

int ShdMessageBox(HWND owner, const wchar_t* text, UINT style)
{
    style |= MB_SETFOREGROUND;
    if (IMessageBoxSink* sink = CurrentSink())
        return sink->Show(owner, text, kMessageCaption, style);
    return DeviceMessageBoxW(owner, text, kMessageCaption, style);
}

void ShowErrorMessage(HWND owner, const wchar_t* text)
{
    ShdMessageBox(owner, text, MB_OK | MB_ICONEXCLAMATION);
}

void ShowInfoMessage(HWND owner, const wchar_t* text)
{
    ShdMessageBox(owner, text, MB_OK | MB_ICONINFORMATION);
}

bool AskQuestion(HWND owner, const wchar_t* text)
{
    return ShdMessageBox(owner, text, MB_YESNO | MB_ICONQUESTION) == IDYES;
}
