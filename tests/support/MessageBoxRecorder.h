// Records the message boxes code under test shows and answers them from a script.
#pragma once

#include "shd/MessageBox.h"
#include "shd/String.h"

#include <deque>
#include <vector>

class CMessageBoxRecorder : public IMessageBoxSink
{
public:
    struct SMessage
    {
        HWND owner;
        CString text;
        CString caption;
        UINT style;
    };

    CMessageBoxRecorder();
    ~CMessageBoxRecorder() override;
    CMessageBoxRecorder(const CMessageBoxRecorder&) = delete;
    CMessageBoxRecorder& operator=(const CMessageBoxRecorder&) = delete;

    // Answers to give, in order; once used up, OK boxes get IDOK and questions IDNO.
    void QueueAnswer(int answer) { m_answers.push_back(answer); }

    int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) override;

    const std::vector<SMessage>& Messages() const { return m_messages; }
    size_t Count() const { return m_messages.size(); }
    CString Text(size_t index) const
    {
        return index < m_messages.size() ? m_messages[index].text : CString();
    }
    void Clear() { m_messages.clear(); }

private:
    IMessageBoxSink* m_previous;
    std::deque<int> m_answers;
    std::vector<SMessage> m_messages;
};
