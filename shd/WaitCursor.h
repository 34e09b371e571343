// CWaitCursor: the reference-counted wait cursor. Change(+1) before long work and Change(-1)
// after it; nested uses show one wait cursor and the cursor of the first call comes back at the
// end. A CWaitCursor object does both for its scope. Safe from any thread.
#pragma once

#include <windows.h>

class CWaitCursor
{
public:
    CWaitCursor() { Change(+1); }
    ~CWaitCursor() { Change(-1); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    static void Change(int delta);
    static int GetCount();

    // The process-wide state behind Change.
    class CFuncs
    {
    public:
        static CFuncs& Instance();
        virtual ~CFuncs();
        void Change(int delta);
        int GetCount();

    private:
        CFuncs();
        CFuncs(const CFuncs&) = delete;
        CFuncs& operator=(const CFuncs&) = delete;

        CRITICAL_SECTION m_lock;
        int m_count = 0;
        HCURSOR m_saved = nullptr;
    };
};
