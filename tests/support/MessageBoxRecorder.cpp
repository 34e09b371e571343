// Message-box recorder installed as the sink for the lifetime of the object.
#include "tests/support/MessageBoxRecorder.h"

CMessageBoxRecorder::CMessageBoxRecorder() : m_previous(SetMessageBoxSink(this)) {}

CMessageBoxRecorder::~CMessageBoxRecorder()
{
    SetMessageBoxSink(m_previous);
}

int CMessageBoxRecorder::Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style)
{
    m_messages.push_back({owner, text, caption, style});
    if (!m_answers.empty()) {
        int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    UINT buttons = style & MB_TYPEMASK;
    if (buttons == MB_YESNO || buttons == MB_YESNOCANCEL)
        return IDNO;
    if (buttons == MB_OKCANCEL)
        return IDCANCEL;
    return IDOK;
}
