// Test entry: common controls, and a message-box sink that fails the test instead of
// blocking on a real box nobody can answer.
#include "shd/MessageBox.h"
#include "shd/String.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>

namespace {

class CUnexpectedMessageSink : public IMessageBoxSink
{
public:
    int Show(HWND, const wchar_t* text, const wchar_t* caption, UINT style) override
    {
        char buffer[1024];
        WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof(buffer), nullptr, nullptr);
        char title[128];
        WideCharToMultiByte(CP_UTF8, 0, caption, -1, title, sizeof(title), nullptr, nullptr);
        ADD_FAILURE() << "unexpected message box [" << title << "] style 0x" << std::hex << style << ": "
                      << buffer;
        return (style & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    }
};

} // namespace

int main(int argc, char** argv)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // Wine's crash dialog would hang a headless run; report faults through the exit code.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);

    static CUnexpectedMessageSink sink;
    SetMessageBoxSink(&sink);

    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
