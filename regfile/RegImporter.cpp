// The .reg importer: its worker thread, cancelling, and reading the file into lines; what each
// line does is in RegImportLines.cpp.
#include "regfile/RegImporter.h"

#include "registry/RegistryBackend.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

CRegImporter::CRegImporter()
{
    m_cancelEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_doneEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

CRegImporter::~CRegImporter()
{
    // A worker still running would use this object after it is gone: stop it first.
    Cancel();
    if (m_cancelEvent)
        CloseHandle(m_cancelEvent);
    if (m_doneEvent)
        CloseHandle(m_doneEvent);
    free(m_line);
}

bool CRegImporter::Start(const wchar_t* fileName)
{
    if (m_thread)
        return false;
    m_fileName = fileName ? fileName : L"";
    ResetEvent(m_cancelEvent);
    ResetEvent(m_doneEvent);
    m_cancelRequested.store(false);
    // 32 KiB asked for as the committed size; the reservation stays the platform default.
    m_thread = CreateThread(nullptr, 0x8000, ThreadProc, this, 0, nullptr);
    return m_thread != nullptr;
}

DWORD WINAPI CRegImporter::ThreadProc(void* parameter)
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    CRegImporter* importer = static_cast<CRegImporter*>(parameter);
    importer->Run();
    // Every uncancelled end signals, also a file that could not be opened: a waiter would
    // otherwise wait for ever.
    if (WaitForSingleObject(importer->m_cancelEvent, 0) != WAIT_OBJECT_0)
        SetEvent(importer->m_doneEvent);
    return 0;
}

bool CRegImporter::Wait(bool& ok, CString& errorText)
{
    if (!m_thread)
        return false;
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    if (WaitForSingleObject(m_cancelEvent, 0) == WAIT_OBJECT_0)
        return false;
    ok = m_result;
    errorText = m_errorText;
    return true;
}

void CRegImporter::Cancel()
{
    if (!m_thread)
        return;
    m_cancelRequested.store(true);
    SetEvent(m_cancelEvent);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

bool CRegImporter::Import(const wchar_t* fileName, CString& errorText)
{
    if (m_thread)
        return false;
    m_fileName = fileName ? fileName : L"";
    ResetEvent(m_cancelEvent);
    ResetEvent(m_doneEvent);
    m_cancelRequested.store(false);
    Run();
    errorText = m_errorText;
    return m_result;
}

bool CRegImporter::Fail(const wchar_t* text)
{
    if (!m_failed) {
        m_failed = true;
        m_errorText = text;
    }
    return false;
}

bool CRegImporter::SyntaxError()
{
    if (!m_failed) {
        m_failed = true;
        m_errorText.Format(L"Syntax error at line %i.", m_lineNumber);
    }
    return false;
}

void CRegImporter::Run()
{
    m_result = false;
    m_errorText.Empty();
    m_failed = false;
    m_readFailed = false;
    m_havePeek = false;
    m_lineNumber = 0;
    m_lineLength = 0;
    m_headerSeen = m_headerMismatch = m_skipping = false;
    m_sectionActive = m_deletedSection = m_continuation = false;
    m_someFailed = false;
    m_held = 0;
    m_readOffset = 0;
    m_doNotCheckHeader = m_doNotCheckHeaderSetting;

    m_file = CreateFileW(m_fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE) {
        m_errorText.Format(L"Unable to open file \"%s\".", static_cast<const wchar_t*>(m_fileName));
        return;
    }
    DWORD sizeHigh = 0;
    SetLastError(NO_ERROR); // a size whose low part is all ones is told from a failure by the error
    m_fileSize = GetFileSize(m_file, &sizeHigh);
    if (m_fileSize == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
        m_errorText = L"Unable to get file size.";
        return;
    }
    if (sizeHigh != 0) {
        // The reading counts in 32 bits; a larger file would be read only in part.
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
        m_errorText = L"File is too large.";
        return;
    }
    if (!m_readBuffer.SetSize(kReadBufferSize)) {
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
        m_errorText = L"Out of memory.";
        return;
    }

    m_unicode = false;
    m_filePosition = 0;
    if (m_fileSize >= 2) {
        BYTE mark[2] = {};
        DWORD read = 0;
        if (!ReadFile(m_file, mark, 2, &read, nullptr) || read != 2) {
            Fail(L"Unable to read file.");
        } else if (mark[0] == 0xFF && mark[1] == 0xFE) {
            m_unicode = true;
            m_filePosition = 2;
        } else if (SetFilePointer(m_file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
            Fail(L"Unable to read file.");
        }
    }
    if (!m_unicode) {
        // Each byte converts by itself, so one table serves the whole file.
        for (int i = 0; i < 256; ++i) {
            char byte = static_cast<char>(i);
            wchar_t ch = 0;
            if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, &byte, 1, &ch, 1) != 1)
                ch = 0xFFFD;
            m_ansiTable[i] = ch;
        }
    }

    // Cancellation is looked at between lines through a flag, not a system call per line.
    while (!m_failed && !m_cancelRequested.load(std::memory_order_relaxed)) {
        bool gotLine = false;
        if (!ReadLine(gotLine) || !gotLine)
            break;
        ++m_lineNumber;
        if (!HandleLine())
            break;
    }
    // A hex list whose last line still announced a continuation: the file was cut short, so
    // the value is not written with part of its bytes, and the import is reported incomplete.
    if (!m_failed && m_continuation) {
        m_continuation = false;
        m_someFailed = true;
    }

    if (m_sectionActive)
        m_key.Close(false);
    m_key.Close(false);
    m_sectionActive = false;
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS})
        Registry().FlushKey(root);
    m_readBuffer.Free();
    m_pendingData.Free();
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;

    bool cancelled = WaitForSingleObject(m_cancelEvent, 0) == WAIT_OBJECT_0;
    if (cancelled) {
        m_errorText = L"Cancelled by user.";
        m_failed = true;
    } else if (!m_failed && m_someFailed) {
        m_errorText = L"Not all keys and values were imported.";
        m_failed = true;
    }
    m_result = !m_failed;
}

bool CRegImporter::Refill()
{
    // Keeps the unread bytes at the front and fills the space behind them.
    if (m_readOffset > 0) {
        memmove(m_readBuffer.GetData(), m_readBuffer.GetData() + m_readOffset, m_held);
        m_readOffset = 0;
    }
    DWORD space = kReadBufferSize - m_held;
    DWORD left = m_fileSize - m_filePosition;
    DWORD want = space < left ? space : left;
    if (want == 0)
        return true;
    DWORD read = 0;
    if (!ReadFile(m_file, m_readBuffer.GetData() + m_held, want, &read, nullptr) || read != want) {
        m_readFailed = true;
        return Fail(L"Unable to read file.");
    }
    m_held += read;
    m_filePosition += read;
    return true;
}

// False at the end of the file (or after a read error, which is recorded).
bool CRegImporter::NextChar(wchar_t& ch)
{
    if (m_havePeek) {
        m_havePeek = false;
        ch = m_peek;
        return true;
    }
    DWORD need = m_unicode ? 2 : 1;
    if (m_held < need) {
        if (m_filePosition >= m_fileSize || m_readFailed)
            return false;
        if (!Refill() || m_held < need)
            return false;
    }
    const BYTE* p = m_readBuffer.GetData() + m_readOffset;
    if (m_unicode)
        ch = static_cast<wchar_t>(p[0] | (p[1] << 8));
    else
        ch = m_ansiTable[p[0]];
    m_readOffset += need;
    m_held -= need;
    return true;
}

bool CRegImporter::ReserveLine(int length)
{
    if (length < m_lineCapacity)
        return true;
    // Counted wide, so that a line of a billion characters ends as out of memory instead of
    // wrapping the count.
    size_t capacity = m_lineCapacity ? size_t(m_lineCapacity) * 2 : 256;
    while (capacity <= size_t(length))
        capacity *= 2;
    if (length < 0 || capacity > size_t(INT_MAX))
        return OutOfMemory();
    wchar_t* line = static_cast<wchar_t*>(realloc(m_line, capacity * sizeof(wchar_t)));
    if (!line)
        return OutOfMemory();
    m_line = line;
    m_lineCapacity = static_cast<int>(capacity);
    return true;
}

bool CRegImporter::AppendToLine(wchar_t ch)
{
    if (!ReserveLine(m_lineLength + 1))
        return false;
    m_line[m_lineLength++] = ch;
    return true;
}

// Moves the characters before the next line break that the read buffer already holds into the
// line, in one piece.
bool CRegImporter::TakeRun(bool& any)
{
    const DWORD width = m_unicode ? 2 : 1;
    const BYTE* p = m_readBuffer.GetData() + m_readOffset;
    const DWORD available = m_held / width;
    DWORD run = 0;
    if (m_unicode) {
        while (run < available) {
            wchar_t ch = static_cast<wchar_t>(p[2 * run] | (p[2 * run + 1] << 8));
            if (ch == L'\r' || ch == L'\n')
                break;
            ++run;
        }
    } else {
        while (run < available && m_ansiTable[p[run]] != L'\r' && m_ansiTable[p[run]] != L'\n')
            ++run;
    }
    if (run == 0)
        return true;
    if (!ReserveLine(m_lineLength + static_cast<int>(run)))
        return false;
    wchar_t* out = m_line + m_lineLength;
    if (m_unicode) {
        for (DWORD i = 0; i < run; ++i)
            out[i] = static_cast<wchar_t>(p[2 * i] | (p[2 * i + 1] << 8));
    } else {
        for (DWORD i = 0; i < run; ++i)
            out[i] = m_ansiTable[p[i]];
    }
    m_lineLength += static_cast<int>(run);
    m_readOffset += run * width;
    m_held -= run * width;
    any = true;
    return true;
}

bool CRegImporter::ReadLine(bool& gotLine)
{
    gotLine = false;
    m_lineLength = 0;
    wchar_t ch;
    bool any = false;
    for (;;) {
        if (!m_havePeek && !TakeRun(any))
            return false;
        if (!NextChar(ch))
            break;
        any = true;
        if (ch == L'\r' || ch == L'\n') {
            wchar_t partner = ch == L'\r' ? L'\n' : L'\r';
            wchar_t next;
            if (NextChar(next) && next != partner) {
                m_havePeek = true;
                m_peek = next;
            }
            break;
        }
        if (!AppendToLine(ch))
            return false;
    }
    if (m_failed)
        return false;
    if (!AppendToLine(L'\0'))
        return false;
    --m_lineLength;
    gotLine = any;
    return true;
}
