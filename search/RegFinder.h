// CRegFinder: stepwise registry search on a worker thread. Each Start runs one step to the next
// match after the current position; repeated steps visit every match once in a fixed order
// (roots HKCR, HKCU, HKLM, HKU; pre-order, values then subkeys sorted by _wcsicmp) and wrap
// around back to the start, after which the engine is finished. Matches inside the program's
// own key HKLM\SOFTWARE\Ordwyn\Keyhaven are passed over silently.
//   SetOptions(options, start) -> Start() -> wait on GetDoneEvent() -> GetResult(position)
//   SetPosition moves the current position (e.g. to the user's selection) between steps.
#pragma once

#include "registry/ShdBinaryBuffer.h"
#include "settings/SearchOptions.h"
#include "search/SearchPatterns.h"
#include "registry/ShdRegKey.h"
#include "shd/ShdObjArray.h"
#include "shd/String.h"

#include <windows.h>

class CRegFinder
{
public:
    using SSearchOptions = ::SSearchOptions;

    struct SStartPosition
    {
        DWORD root = 0; // 0: HKEY_CLASSES_ROOT
        CString keyPath;
        CString valueName;
        bool hasValue = false;
        bool onlyWithinStartKey = false;
        bool wrapAround = true;
    };

    enum EState : DWORD
    {
        StateIdle = 0,
        StateReady = 1,
        StateFinished = 2,
        StateAtKey = 3,
        StateAtValue = 4
    };

    struct SSearchPosition
    {
        DWORD root = 0;
        CString keyPath;
        CString valueName;
        DWORD kind = StateIdle;
        bool firstPass = false;
    };

    struct SValueItem
    {
        CString name;
        DWORD type = 0;
        CShdBinaryBuffer data;
    };

    CRegFinder();
    ~CRegFinder();
    CRegFinder(const CRegFinder&) = delete;
    CRegFinder& operator=(const CRegFinder&) = delete;

    void Reset();
    void SetOptions(const SSearchOptions& options, const SStartPosition& start);
    bool SetPosition(DWORD root, const wchar_t* keyPath, const wchar_t* valueName);
    bool Start();
    HANDLE GetDoneEvent() const { return m_done; }
    HANDLE GetStopEvent() const { return m_stop; } // signalled while a step is being cancelled
    bool GetResult(SSearchPosition& result);
    void Cancel();
    bool IsFinished() const;
    const SSearchOptions& GetOptions() const { return m_options; }

    static int ComparePaths(const wchar_t* a, const wchar_t* b);
    static bool IsOwnKey(DWORD root, const CString& path);

private:
    struct SWalk;

    static DWORD WINAPI ThreadProc(void* parameter);
    bool RunStep(bool& ownKey);
    bool SearchKey(HKEY parent, const CString& name, SWalk& walk, const wchar_t* subtree,
                   const wchar_t* stopPath, const wchar_t* stopValue);
    bool SearchValues(const CShdRegKey& key, const CString& name, SWalk& walk, const wchar_t* stopValue);
    bool ValueMatches(const SValueItem& value) const;
    bool Stopped() const { return WaitForSingleObject(m_stop, 0) == WAIT_OBJECT_0; }
    DWORD StartRoot() const;

    SSearchOptions m_options;
    SStartPosition m_start;
    SSearchPosition m_position;
    // Written by the step thread only; taken over as the position once the step has ended
    // uncancelled (GetResult), so a cancelled step changes nothing.
    SSearchPosition m_stepPosition;
    bool m_optionsSet = false;
    CSearchPatterns m_patterns;
    HANDLE m_stop;
    HANDLE m_done;
    HANDLE m_thread = nullptr;
};
