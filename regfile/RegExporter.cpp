#include "regfile/RegExporter.h"

#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"
#include "shd/ShdObjArray.h"

#include <cstring>
#include <new>

namespace {

const DWORD kCacheSize = 0x80000;
const DWORD kStackSize = 32 * 1024;
const int kBytesPerLine = 25;
const wchar_t kHexDigits[] = L"0123456789abcdef";

// A REG_SZ payload the quoted form can carry: even size, not empty, and its first NUL is its
// last character.
bool IsWellFormedString(const CShdBinaryBuffer& data)
{
    DWORD size = data.GetSize();
    if (size == 0 || size % 2 != 0)
        return false;
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.GetData());
    DWORD units = size / 2;
    for (DWORD i = 0; i + 1 < units; ++i) {
        if (text[i] == 0)
            return false;
    }
    return text[units - 1] == 0;
}

bool HoldsLineBreak(const CShdBinaryBuffer& data)
{
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data.GetData());
    for (DWORD i = 0; i < data.GetSize() / 2; ++i) {
        if (text[i] == L'\r' || text[i] == L'\n')
            return true;
    }
    return false;
}

} // namespace

bool CRegExporter::CTextBuffer::Reserve(int extra)
{
    if (m_length + extra <= m_capacity)
        return true;
    if (extra > 0x3FFFFFFF - m_length) {
        m_failed = true;
        return false;
    }
    int capacity = m_capacity < 256 ? 256 : m_capacity;
    while (capacity < m_length + extra)
        capacity = capacity > 0x1FFFFFFF ? 0x3FFFFFFF : capacity * 2;
    wchar_t* data = new (std::nothrow) wchar_t[capacity];
    if (!data) {
        m_failed = true;
        return false;
    }
    if (m_length)
        memcpy(data, m_data, m_length * sizeof(wchar_t));
    delete[] m_data;
    m_data = data;
    m_capacity = capacity;
    return true;
}

void CRegExporter::CTextBuffer::Append(const wchar_t* text, int length)
{
    if (length <= 0 || !Reserve(length))
        return;
    memcpy(m_data + m_length, text, length * sizeof(wchar_t));
    m_length += length;
}

void CRegExporter::CTextBuffer::Append(const wchar_t* text)
{
    Append(text, static_cast<int>(wcslen(text)));
}

void CRegExporter::CTextBuffer::AppendEscaped(const wchar_t* text, int length)
{
    if (length <= 0 || !Reserve(length * 2))
        return;
    for (int i = 0; i < length; ++i) {
        if (text[i] == L'\\' || text[i] == L'"')
            m_data[m_length++] = L'\\';
        m_data[m_length++] = text[i];
    }
}

void CRegExporter::CTextBuffer::AppendHexByte(BYTE byte)
{
    if (!Reserve(2))
        return;
    m_data[m_length++] = kHexDigits[byte >> 4];
    m_data[m_length++] = kHexDigits[byte & 15];
}

CRegExporter::CRegExporter()
{
    m_cancelEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_doneEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

CRegExporter::~CRegExporter()
{
    if (m_thread)
        Cancel(false);
    if (m_cancelEvent)
        CloseHandle(m_cancelEvent);
    if (m_doneEvent)
        CloseHandle(m_doneEvent);
    delete[] m_ansi;
}

bool CRegExporter::Start(const wchar_t* fileName, bool createNew, bool unicode, HKEY root,
                         const wchar_t* subkeyPath)
{
    if (m_thread || !m_cancelEvent || !m_doneEvent || !fileName)
        return false;
    if (root && !IsRootKey(root))
        return false;
    m_fileName = fileName;
    m_createNew = createNew;
    m_unicode = unicode;
    m_root = root;
    m_subkeyPath = subkeyPath ? subkeyPath : L"";
    m_result = false;
    ResetEvent(m_cancelEvent);
    ResetEvent(m_doneEvent);
    m_cancelRequested.store(false);
    m_thread = CreateThread(nullptr, kStackSize, ThreadProc, this, 0, nullptr);
    return m_thread != nullptr;
}

bool CRegExporter::Wait(bool& ok)
{
    if (!m_thread)
        return false;
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    if (WaitForSingleObject(m_cancelEvent, 0) == WAIT_OBJECT_0)
        return false;
    ok = m_result != 0;
    return true;
}

void CRegExporter::Cancel(bool deleteFile)
{
    if (!m_thread)
        return;
    RequestCancel();
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    if (deleteFile)
        DeleteFileW(m_fileName);
}

void CRegExporter::RequestCancel()
{
    m_cancelRequested.store(true);
    SetEvent(m_cancelEvent);
}

DWORD WINAPI CRegExporter::ThreadProc(void* parameter)
{
    static_cast<CRegExporter*>(parameter)->Run();
    return 0;
}

void CRegExporter::Run()
{
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    bool ok = false;
    m_result = false;
    m_text.ResetFailure();
    HANDLE file = CreateFileW(m_fileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              m_createNew ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        if (m_cache.Allocate(kCacheSize)) {
            m_cache.Attach(file);
            if (m_unicode) {
                static const BYTE kBom[] = {0xFF, 0xFE};
                static const wchar_t kHeader[] = L"Windows Registry Editor Version 5.00\r\n\r\n";
                ok = m_cache.Write(kBom, sizeof(kBom)) && WriteText(kHeader, ARRAYSIZE(kHeader) - 1);
            } else {
                static const wchar_t kHeader[] = L"REGEDIT4\r\n\r\n";
                ok = WriteText(kHeader, ARRAYSIZE(kHeader) - 1);
            }
            if (m_root) {
                ok = ok && ExportBranch(m_root, m_subkeyPath);
            } else {
                for (int i = 0; ok && i < 4; ++i)
                    ok = ExportBranch(kRootKeys[i], CString());
            }
            if (IsCancelled()) {
                static const wchar_t kCancelled[] = L"*** cancelled ***\r\n";
                WriteText(kCancelled, ARRAYSIZE(kCancelled) - 1);
                ok = false;
            }
            if (ok)
                ok = m_cache.Flush();
            m_cache.Release();
        }
        FlushFileBuffers(file);
        CloseHandle(file);
    }
    m_result = ok;
    if (!IsCancelled())
        SetEvent(m_doneEvent);
}

bool CRegExporter::ExportBranch(HKEY root, const CString& path)
{
    if (IsCancelled())
        return false;
    CShdRegKey key(false);
    CShdRegKey::SInfo info;
    if (!key.Open(root, path) || !key.QueryInfo(info))
        return true; // gone or unreadable: left out, not a failure
    m_text.Clear();
    m_text.Append(L'[');
    m_text.Append(RootKeyLongName(root));
    if (!path.IsEmpty()) {
        m_text.Append(L'\\');
        m_text.Append(path, path.GetLength());
    }
    m_text.Append(L"]\r\n", 3);
    if (!WriteBuffer())
        return false;

    // The counts end both walks and the longest name and data size the buffers, so each item
    // costs one call; an item that cannot be read is stepped over.
    bool written = true;
    WalkKeyItems(info.values, [&](DWORD index) {
        DWORD type = 0;
        if (!key.EnumValueFrom(index, info.maxValueNameLength, info.maxValueLength, m_valueName, type,
                               m_valueData))
            return false;
        written = WriteValue(m_valueName, type, m_valueData);
        if (!written)
            SetLastError(ERROR_NO_MORE_ITEMS); // ends the walk
        return written;
    });
    if (!written || !WriteText(L"\r\n", 2))
        return false;

    CShdObjArray<CString> names;
    bool listed = true;
    {
        CString name;
        WalkKeyItems(info.subKeys, [&](DWORD index) {
            if (!key.EnumKeyFrom(index, info.maxSubKeyLength, name))
                return false;
            listed = names.Add(name) >= 0;
            if (!listed)
                SetLastError(ERROR_NO_MORE_ITEMS);
            return listed;
        });
    }
    key.Close();
    if (!listed)
        return false;
    names.Sort([](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
    for (int i = 0; i < names.GetSize(); ++i) {
        CString child(path);
        if (!child.IsEmpty())
            child += L'\\';
        child += names[i];
        if (!ExportBranch(root, child))
            return false;
    }
    return true;
}

bool CRegExporter::WriteValue(const CString& name, DWORD type, const CShdBinaryBuffer& data)
{
    if (IsCancelled())
        return false;
    m_text.Clear();
    if (name.IsEmpty()) {
        m_text.Append(L'@');
    } else {
        m_text.Append(L'"');
        m_text.AppendEscaped(name, name.GetLength());
        m_text.Append(L'"');
    }
    m_text.Append(L'=');

    const BYTE* bytes = data.GetData();
    DWORD size = data.GetSize();
    bool stringHex = false; // string data that the ANSI form converts before dumping it
    if (type == REG_SZ) {
        // The quoted form cannot carry a CR or LF: the line would end inside the quotes and the
        // value would not read back. Such strings, like malformed ones, go out as hex(1).
        if (IsWellFormedString(data) && !HoldsLineBreak(data)) {
            m_text.Append(L'"');
            m_text.AppendEscaped(reinterpret_cast<const wchar_t*>(bytes), static_cast<int>(size / 2 - 1));
            m_text.Append(L"\"\r\n", 3);
            return WriteBuffer();
        }
        stringHex = true;
    } else if (type == REG_DWORD && size == 4) {
        DWORD number = data.ReadDword(0);
        m_text.Append(L"dword:", 6);
        for (int shift = 28; shift >= 0; shift -= 4)
            m_text.Append(kHexDigits[(number >> shift) & 15]);
        m_text.Append(L"\r\n", 2);
        return WriteBuffer();
    } else if (type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        stringHex = true;
    }

    if (type == REG_BINARY) {
        m_text.Append(L"hex:", 4);
    } else {
        wchar_t prefix[24];
        int length = 0;
        prefix[length++] = L'h';
        prefix[length++] = L'e';
        prefix[length++] = L'x';
        prefix[length++] = L'(';
        int shift = 28;
        while (shift > 0 && ((type >> shift) & 15) == 0)
            shift -= 4;
        for (; shift >= 0; shift -= 4)
            prefix[length++] = kHexDigits[(type >> shift) & 15];
        prefix[length++] = L')';
        prefix[length++] = L':';
        m_text.Append(prefix, length);
    }

    if (stringHex && !m_unicode) {
        // One byte per UTF-16 unit (an odd last byte is dropped), NULs included.
        int units = static_cast<int>(size / 2);
        if (units > 0) {
            if (!ToAnsi(reinterpret_cast<const wchar_t*>(bytes), units))
                return false;
            AppendHexBlock(reinterpret_cast<const BYTE*>(m_ansi), static_cast<DWORD>(units));
        }
    } else {
        AppendHexBlock(bytes, size);
    }
    m_text.Append(L"\r\n", 2);
    return WriteBuffer();
}

void CRegExporter::AppendHexBlock(const BYTE* bytes, DWORD size)
{
    if (size == 0)
        return;
    m_text.Append(L"\\\r\n", 3);
    // Three characters a byte plus the line breaks and indents; beyond 128 MiB the text could
    // not be held at all.
    if (size > 0x08000000u) {
        m_text.Fail();
        return;
    }
    int bytes3 = static_cast<int>(size) * 3;
    if (!m_text.Reserve(bytes3 + (bytes3 / 75 + 1) * 10))
        return;
    for (DWORD i = 0; i < size; ++i) {
        if (i % kBytesPerLine == 0)
            m_text.Append(L"      ", 6);
        m_text.AppendHexByte(bytes[i]);
        if (i + 1 < size) {
            if ((i + 1) % kBytesPerLine == 0)
                m_text.Append(L",\\\r\n", 4);
            else
                m_text.Append(L',');
        }
    }
}

bool CRegExporter::ToAnsi(const wchar_t* text, int length)
{
    if (length > m_ansiCapacity) {
        int capacity = m_ansiCapacity < 1024 ? 1024 : m_ansiCapacity;
        while (capacity < length)
            capacity = capacity > 0x3FFFFFFF ? length : capacity * 2;
        char* buffer = new (std::nothrow) char[capacity];
        if (!buffer)
            return false;
        delete[] m_ansi;
        m_ansi = buffer;
        m_ansiCapacity = capacity;
    }
    // Every ANSI code page keeps the ASCII range as it is, and nothing composes without a
    // combining character, so pure ASCII text (nearly all of a file) is copied directly.
    int i = 0;
    while (i < length && text[i] < 0x80) {
        m_ansi[i] = static_cast<char>(text[i]);
        ++i;
    }
    if (i == length)
        return true;
    // A character the code page lacks comes out as the default character ("?"): the file would
    // then name other keys and values than the registry holds, so that counts as a failure too.
    BOOL substituted = FALSE;
    int written =
        WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, text, length, m_ansi, length, nullptr, &substituted);
    return written == length && !substituted;
}

bool CRegExporter::WriteText(const wchar_t* text, int length)
{
    if (length <= 0)
        return true;
    if (m_unicode)
        return m_cache.Write(text, static_cast<DWORD>(length) * sizeof(wchar_t));
    return ToAnsi(text, length) && m_cache.Write(m_ansi, static_cast<DWORD>(length));
}

bool CRegExporter::WriteBuffer()
{
    if (m_text.Failed())
        return false;
    return WriteText(m_text.Data(), m_text.Length());
}
