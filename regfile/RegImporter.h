// CRegImporter: reads a .reg file (REGEDIT4 in the ANSI code page, or version 5.00 in UTF-16
// with a byte order mark) on a worker thread and applies it to the registry as it goes.
//   Start(file)                  starts the worker; refused while one runs
//   GetDoneEvent()               set when a worker ends without having been cancelled
//   Wait(ok, errorText)          waits for the worker; false when none ran or it was cancelled
//   Cancel()                     asks the worker to stop before its next line and waits for it
//   Import(file, errorText)      the same work on the calling thread (tests, benchmarks)
// The header is checked unless SetDoNotCheckHeader(true) says otherwise (the caller passes the
// user's setting). Lines before a failure stay applied. Destroying the object cancels a running worker.
#pragma once

#include "registry/ShdBinaryBuffer.h"
#include "registry/ShdRegKey.h"
#include "shd/String.h"

#include <windows.h>

#include <atomic>

class CRegImporter
{
public:
    CRegImporter();
    virtual ~CRegImporter();
    CRegImporter(const CRegImporter&) = delete;
    CRegImporter& operator=(const CRegImporter&) = delete;

    bool Start(const wchar_t* fileName);
    HANDLE GetDoneEvent() const { return m_doneEvent; }
    HANDLE GetCancelEvent() const { return m_cancelEvent; }
    bool Wait(bool& ok, CString& errorText);
    void Cancel();

    bool Import(const wchar_t* fileName, CString& errorText);

    // Takes effect at the next Start or Import.
    void SetDoNotCheckHeader(bool doNotCheck) { m_doNotCheckHeaderSetting = doNotCheck; }

    enum
    {
        kReadBufferSize = 0x80000
    };

private:
    static DWORD WINAPI ThreadProc(void* parameter);
    void Run();

    // Reading.
    bool Refill();
    bool NextChar(wchar_t& ch);
    bool ReadLine(bool& gotLine);
    bool AppendToLine(wchar_t ch);
    bool ReserveLine(int length);
    bool TakeRun(bool& any);

    // Parsing and applying.
    bool HandleLine();
    bool HandleKeyLine(const wchar_t* text, int length);
    bool HandleValueLine(wchar_t* text, int length);
    bool HandleContinuation(wchar_t* text, int length);
    bool ParseHexList(const wchar_t* p, const wchar_t* end, bool& continues);
    bool ContinueHexList(const wchar_t* p, const wchar_t* end);
    bool FinishValue();
    bool Fail(const wchar_t* text);
    bool SyntaxError();
    bool OutOfMemory() { return Fail(L"Out of memory."); }
    bool ReserveData(DWORD size);

    HANDLE m_cancelEvent = nullptr;
    HANDLE m_doneEvent = nullptr;
    HANDLE m_thread = nullptr;
    CString m_fileName;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    bool m_unicode = false;
    DWORD m_fileSize = 0;
    DWORD m_filePosition = 0;
    CShdBinaryBuffer m_readBuffer;
    DWORD m_held = 0;
    bool m_result = false;
    CString m_errorText;

    std::atomic<bool> m_cancelRequested{false};
    bool m_doNotCheckHeaderSetting = false;

    // State of one run.
    DWORD m_readOffset = 0; // first unconsumed byte of the read buffer
    bool m_readFailed = false;
    bool m_havePeek = false;
    wchar_t m_peek = 0;
    wchar_t m_ansiTable[256] = {};
    wchar_t* m_line = nullptr;
    int m_lineLength = 0;
    int m_lineCapacity = 0;
    int m_lineNumber = 0;
    bool m_failed = false; // an error ends the run
    bool m_headerSeen = false;
    bool m_headerMismatch = false;
    bool m_skipping = false;
    bool m_doNotCheckHeader = false;
    CShdRegKey m_key{false};
    bool m_sectionActive = false;
    bool m_deletedSection = false;
    bool m_continuation = false;
    CString m_pendingName;
    DWORD m_pendingType = 0;
    bool m_pendingConvert = false;
    CShdBinaryBuffer m_pendingData;
    bool m_someFailed = false;
};
