// CRegExporter: writes one registry branch, or the whole registry (the four roots in turn),
// to a .reg file on a worker thread.
//   Start(file, createNew, unicode, root, path)   root 0 exports the whole registry
//   GetDoneEvent()   set when the worker finished without being cancelled
//   Wait(ok)         waits for the worker; false when none was started or it was cancelled
//   Cancel(delete)   stops the worker at its next key or value; optionally deletes the file
// Forms: Unicode (FF FE, "Windows Registry Editor Version 5.00", UTF-16LE) or ANSI
// ("REGEDIT4", one byte per character in the ANSI code page). Keys are written depth first,
// each parent before its children, siblings sorted without regard to case; values in the
// order the registry enumerates them.
#pragma once

#include "regfile/ShdFileWriteCache.h"
#include "registry/ShdBinaryBuffer.h"
#include "shd/String.h"

#include <windows.h>

#include <atomic>

class CRegExporter
{
public:
    CRegExporter();
    // Closes both events. A worker still held is cancelled first (the file is kept), so that it
    // never runs on a destroyed object.
    virtual ~CRegExporter();
    CRegExporter(const CRegExporter&) = delete;
    CRegExporter& operator=(const CRegExporter&) = delete;

    // Refused while a worker is held (until Wait or Cancel), and for a root other than 0 or one
    // of the four predefined roots.
    bool Start(const wchar_t* fileName, bool createNew, bool unicode, HKEY root, const wchar_t* subkeyPath);
    HANDLE GetDoneEvent() const { return m_doneEvent; }
    // Manual-reset event set by a cancel request. The worker polls a flag set together with it
    // (no system call per value), so set it only through RequestCancel or Cancel.
    HANDLE GetCancelEvent() const { return m_cancelEvent; }
    bool Wait(bool& ok);
    void Cancel(bool deleteFile);
    // Asks the worker to stop at its next key or value without waiting for it.
    void RequestCancel();

private:
    class CTextBuffer
    {
    public:
        CTextBuffer() = default;
        ~CTextBuffer() { delete[] m_data; }
        CTextBuffer(const CTextBuffer&) = delete;
        CTextBuffer& operator=(const CTextBuffer&) = delete;
        void Clear() { m_length = 0; }
        bool Reserve(int extra);
        void Append(const wchar_t* text, int length);
        void Append(const wchar_t* text);
        void Append(wchar_t ch)
        {
            if (m_length < m_capacity || Reserve(1))
                m_data[m_length++] = ch;
        }
        void AppendEscaped(const wchar_t* text, int length);
        void AppendHexByte(BYTE byte);
        const wchar_t* Data() const { return m_data; }
        int Length() const { return m_length; }
        bool Failed() const { return m_failed; }
        void ResetFailure() { m_failed = false; }
        void Fail() { m_failed = true; }

    private:
        wchar_t* m_data = nullptr;
        int m_length = 0;
        int m_capacity = 0;
        bool m_failed = false;
    };

    static DWORD WINAPI ThreadProc(void* parameter);
    void Run();
    bool IsCancelled() const { return m_cancelRequested.load(std::memory_order_relaxed); }
    bool ExportBranch(HKEY root, const CString& path);
    bool WriteValue(const CString& name, DWORD type, const CShdBinaryBuffer& data);
    void AppendHexBlock(const BYTE* bytes, DWORD size);
    bool WriteText(const wchar_t* text, int length);
    bool WriteBuffer();
    bool ToAnsi(const wchar_t* text, int length);

    HANDLE m_cancelEvent = nullptr;
    HANDLE m_doneEvent = nullptr;
    HANDLE m_thread = nullptr;
    CString m_fileName;
    BYTE m_createNew = 0;
    BYTE m_unicode = 0;
    HKEY m_root = nullptr;
    CString m_subkeyPath;
    BYTE m_result = 0;

    // Worker state.
    std::atomic<bool> m_cancelRequested{false};
    CShdFileWriteCache m_cache;
    CTextBuffer m_text;
    char* m_ansi = nullptr;
    int m_ansiCapacity = 0;
    CString m_valueName;
    CShdBinaryBuffer m_valueData;
};
