// The wait cursor's nesting count under its critical section.
#include "shd/WaitCursor.h"

void CWaitCursor::Change(int delta)
{
    CFuncs::Instance().Change(delta);
}

int CWaitCursor::GetCount()
{
    return CFuncs::Instance().GetCount();
}

CWaitCursor::CFuncs& CWaitCursor::CFuncs::Instance()
{
    static CFuncs instance;
    return instance;
}

CWaitCursor::CFuncs::CFuncs()
{
    InitializeCriticalSection(&m_lock);
}

CWaitCursor::CFuncs::~CFuncs()
{
    DeleteCriticalSection(&m_lock);
}

void CWaitCursor::CFuncs::Change(int delta)
{
    EnterCriticalSection(&m_lock);
    m_count += delta;
    if (m_count < 1) {
        m_count = 0;
        SetCursor(m_saved);
        m_saved = nullptr;
    } else {
        HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        if (delta > 0 && m_count == delta)
            m_saved = previous;
    }
    LeaveCriticalSection(&m_lock);
}

int CWaitCursor::CFuncs::GetCount()
{
    EnterCriticalSection(&m_lock);
    int count = m_count;
    LeaveCriticalSection(&m_lock);
    return count;
}
