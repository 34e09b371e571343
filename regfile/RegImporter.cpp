#include "regfile/RegImporter.h"

#include "registry/KeyTree.h"
#include "registry/RegistryBackend.h"
#include "registry/RootKeys.h"
#include "shd/HexDigits.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <initializer_list>

namespace {

bool IsSpace(wchar_t ch)
{
    return iswspace(ch) != 0;
}

bool StartsWithNoCase(const wchar_t* p, const wchar_t* end, const wchar_t* prefix)
{
    for (; *prefix; ++p, ++prefix) {
        if (p == end || towlower(*p) != towlower(*prefix))
            return false;
    }
    return true;
}

// Trims white space from both ends of [begin, end).
void Trim(const wchar_t*& begin, const wchar_t*& end)
{
    while (begin < end && IsSpace(*begin))
        ++begin;
    while (end > begin && IsSpace(end[-1]))
        --end;
}

// A NUL inside a name would cut it short on its way to the registry, which then acts on another
// key or value than the file names.
bool HoldsNul(const wchar_t* text, int length)
{
    return length > 0 && wmemchr(text, L'\0', static_cast<size_t>(length)) != nullptr;
}

// Length of the line once a comment (";" outside double quotes) is cut off.
int CommentFreeLength(const wchar_t* text, int length)
{
    bool quoted = false;
    for (int i = 0; i < length; ++i) {
        wchar_t ch = text[i];
        if (quoted) {
            if (ch == L'\\')
                ++i;
            else if (ch == L'"')
                quoted = false;
        } else if (ch == L'"') {
            quoted = true;
        } else if (ch == L';') {
            return i;
        }
    }
    return length;
}

// The line without its comment and surrounding white space; false when nothing is left.
bool LineContent(const wchar_t* text, int length, const wchar_t*& begin, const wchar_t*& end)
{
    begin = text;
    end = text + CommentFreeLength(text, length);
    Trim(begin, end);
    return begin != end;
}

// Reads a double-quoted text starting at p (on the quote) with backslash escapes; p ends after
// the closing quote. False when it does not close.
bool ParseQuoted(const wchar_t*& p, const wchar_t* end, CString& text)
{
    ++p;
    const wchar_t* runStart = p;
    text.Empty();
    while (p < end) {
        if (*p == L'"') {
            text.Append(runStart, static_cast<int>(p - runStart));
            ++p;
            return true;
        }
        if (*p == L'\\') {
            text.Append(runStart, static_cast<int>(p - runStart));
            if (++p == end)
                return false;
            runStart = p;
        }
        ++p;
    }
    return false;
}

} // namespace

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

bool CRegImporter::AppendToLine(wchar_t ch)
{
    if (m_lineLength + 1 >= m_lineCapacity) {
        int capacity = m_lineCapacity ? m_lineCapacity * 2 : 256;
        wchar_t* line = static_cast<wchar_t*>(realloc(m_line, capacity * sizeof(wchar_t)));
        if (!line)
            return OutOfMemory();
        m_line = line;
        m_lineCapacity = capacity;
    }
    m_line[m_lineLength++] = ch;
    return true;
}

bool CRegImporter::ReadLine(bool& gotLine)
{
    gotLine = false;
    m_lineLength = 0;
    wchar_t ch;
    bool any = false;
    while (NextChar(ch)) {
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

bool CRegImporter::HandleLine()
{
    const wchar_t* begin = m_line;
    const wchar_t* end = m_line + m_lineLength;
    Trim(begin, end);
    if (begin == end)
        return true;
    wchar_t* text = m_line + (begin - m_line);
    int length = static_cast<int>(end - begin);

    if (m_continuation)
        return HandleContinuation(text, length);

    if (!m_headerSeen && !m_headerMismatch) {
        if (HoldsNul(text, length))
            return SyntaxError();
        m_headerSeen = true;
        CString line(text, length);
        if (m_unicode ? line.CompareNoCase(L"Windows Registry Editor Version 5.00") == 0
                      : line.CompareNoCase(L"REGEDIT4") == 0)
            return true;
        if (!m_doNotCheckHeader)
            return Fail(L"Invalid file header.");
        m_headerSeen = false;
        m_headerMismatch = true;
        m_skipping = true;
    }
    if (m_skipping) {
        bool bracket = false;
        for (int i = 0; i < length && !bracket; ++i)
            bracket = text[i] == L'[' || text[i] == L']';
        if (!bracket)
            return true;
        m_skipping = false;
    }

    if (text[0] == L'[') {
        int last = length - 1;
        while (last >= 0 && text[last] != L']')
            --last;
        if (last >= 1)
            return HandleKeyLine(text + 1, last - 1);
    }
    return HandleValueLine(text, length);
}

bool CRegImporter::HandleKeyLine(const wchar_t* text, int length)
{
    bool deletion = length > 0 && text[0] == L'-';
    if (deletion) {
        ++text;
        --length;
    }
    if (length == 0 || HoldsNul(text, length))
        return SyntaxError();
    CString keyText(text, length);
    CString subkey;
    HKEY root = SplitKeyPath(keyText, subkey, true);
    if (!root)
        return SyntaxError();

    if (m_sectionActive)
        m_key.Close(false);
    m_key.Close(false);
    if (deletion) {
        // A root itself is never deleted: that would wipe a whole hive.
        if (subkey.IsEmpty() || !DeleteKeyTree(root, subkey))
            m_someFailed = true;
        m_sectionActive = false;
        m_deletedSection = true;
    } else {
        if (!m_key.Create(root, subkey))
            m_someFailed = true;
        m_sectionActive = true;
        m_deletedSection = false;
    }
    return true;
}

bool CRegImporter::HandleValueLine(wchar_t* text, int length)
{
    const wchar_t* p;
    const wchar_t* end;
    if (!LineContent(text, length, p, end))
        return true;
    if (!m_sectionActive && !m_deletedSection)
        return SyntaxError();

    // Name part.
    if (*p == L'@') {
        m_pendingName.Empty();
        ++p;
    } else if (*p == L'"') {
        if (!ParseQuoted(p, end, m_pendingName) || HoldsNul(m_pendingName, m_pendingName.GetLength()))
            return SyntaxError();
    } else {
        return SyntaxError();
    }
    while (p < end && IsSpace(*p))
        ++p;
    if (p == end || *p != L'=')
        return SyntaxError();
    ++p;
    while (p < end && IsSpace(*p))
        ++p;

    // Data part.
    m_pendingConvert = false;
    if (!m_pendingData.SetSize(0))
        return OutOfMemory();
    if (p < end && *p == L'-' && p + 1 == end) {
        if (m_sectionActive && !m_key.DeleteValue(m_pendingName))
            m_someFailed = true;
        return true;
    }
    if (p < end && *p == L'"') {
        CString data;
        if (!ParseQuoted(p, end, data))
            return SyntaxError();
        if (p != end) // trailing white space was trimmed with the line
            return SyntaxError();
        m_pendingType = REG_SZ;
        DWORD bytes = static_cast<DWORD>(data.GetLength() + 1) * sizeof(wchar_t);
        if (!m_pendingData.Assign(data.c_str(), bytes))
            return OutOfMemory();
        return FinishValue();
    }
    if (StartsWithNoCase(p, end, L"dword:")) {
        p += 6;
        while (p < end && IsSpace(*p))
            ++p;
        if (p == end || end - p > 8)
            return SyntaxError();
        DWORD number = 0;
        for (; p < end; ++p) {
            int digit = HexDigitValue(*p);
            if (digit < 0)
                return SyntaxError();
            number = (number << 4) | static_cast<DWORD>(digit);
        }
        m_pendingType = REG_DWORD;
        if (!m_pendingData.Assign(&number, sizeof(number)))
            return OutOfMemory();
        return FinishValue();
    }
    if (StartsWithNoCase(p, end, L"hex:")) {
        p += 4;
        m_pendingType = REG_BINARY;
    } else if (StartsWithNoCase(p, end, L"hex(")) {
        p += 4;
        const wchar_t* close = p;
        while (close < end && *close != L')')
            ++close;
        if (close == end || close == p || close - p > 8 || close + 1 == end || close[1] != L':')
            return SyntaxError();
        DWORD type = 0;
        for (; p < close; ++p) {
            int digit = HexDigitValue(*p);
            if (digit < 0)
                return SyntaxError();
            type = (type << 4) | static_cast<DWORD>(digit);
        }
        p = close + 2;
        m_pendingType = type;
        m_pendingConvert = !m_unicode && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ);
    } else {
        return SyntaxError();
    }
    return ContinueHexList(p, end);
}

bool CRegImporter::HandleContinuation(wchar_t* text, int length)
{
    const wchar_t* p;
    const wchar_t* end;
    if (!LineContent(text, length, p, end))
        return true;
    return ContinueHexList(p, end);
}

// The hex bytes from p on; the value is stored once a line does not end with a backslash.
bool CRegImporter::ContinueHexList(const wchar_t* p, const wchar_t* end)
{
    bool continues = false;
    if (!ParseHexList(p, end, continues))
        return false;
    m_continuation = continues;
    return continues || FinishValue();
}

bool CRegImporter::AppendByte(BYTE value)
{
    DWORD size = m_pendingData.GetSize();
    if (size == m_pendingData.GetCapacity()) {
        // Grow the block geometrically, then set the used size back.
        DWORD capacity = size < 64 ? 64 : size * 2;
        if (capacity < size || !m_pendingData.SetSize(capacity) || !m_pendingData.SetSize(size))
            return OutOfMemory();
    }
    m_pendingData.SetSize(size + 1);
    m_pendingData.GetData()[size] = value;
    return true;
}

bool CRegImporter::ParseHexList(const wchar_t* p, const wchar_t* end, bool& continues)
{
    continues = false;
    bool expectByte = true; // at the start or right after a comma
    bool afterComma = false;
    while (p < end) {
        wchar_t ch = *p;
        if (IsSpace(ch)) {
            ++p;
            continue;
        }
        if (ch == L'\\') {
            for (++p; p < end; ++p) {
                if (!IsSpace(*p))
                    return SyntaxError();
            }
            continues = true;
            return true;
        }
        if (ch == L',') {
            if (expectByte) // an empty item
                return SyntaxError();
            expectByte = true;
            afterComma = true;
            ++p;
            continue;
        }
        int high = HexDigitValue(ch);
        if (high < 0 || !expectByte)
            return SyntaxError();
        ++p;
        int value = high;
        if (p < end) {
            int low = HexDigitValue(*p);
            if (low >= 0) {
                value = (high << 4) | low;
                ++p;
                if (p < end && HexDigitValue(*p) >= 0)
                    return SyntaxError();
            }
        }
        if (!AppendByte(static_cast<BYTE>(value)))
            return false;
        expectByte = false;
        afterComma = false;
    }
    (void)afterComma;
    return true;
}

bool CRegImporter::FinishValue()
{
    if (m_pendingConvert && m_pendingData.GetSize() > 0) {
        int n = static_cast<int>(m_pendingData.GetSize());
        CShdBinaryBuffer converted;
        if (!converted.SetSize(static_cast<DWORD>(n) * 2))
            return OutOfMemory();
        int count = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED,
                                        reinterpret_cast<const char*>(m_pendingData.GetData()), n,
                                        reinterpret_cast<wchar_t*>(converted.GetData()), n);
        if (count != n)
            return Fail(L"Conversion error.");
        if (!m_pendingData.Assign(converted.GetData(), converted.GetSize()))
            return OutOfMemory();
    }
    if (m_sectionActive && !m_key.SetValue(m_pendingName, m_pendingType, m_pendingData))
        m_someFailed = true;
    return true;
}
