#include "regfile/ShdFileWriteCache.h"

#include <cstring>
#include <new>

CShdFileWriteCache::~CShdFileWriteCache()
{
    Release();
}

bool CShdFileWriteCache::WriteAll(HANDLE file, const BYTE* data, DWORD size)
{
    if (file == INVALID_HANDLE_VALUE || file == nullptr)
        return false;
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

bool CShdFileWriteCache::Allocate(unsigned long long capacity)
{
    Release();
    if (capacity == 0)
        return true;
    if (capacity > 0x7FFFFFFFull)
        return false;
    m_block = new (std::nothrow) BYTE[static_cast<size_t>(capacity)];
    if (!m_block)
        return false;
    m_capacity = static_cast<DWORD>(capacity);
    return true;
}

bool CShdFileWriteCache::Attach(HANDLE file)
{
    bool ok = Flush();
    if (!ok)
        m_held = 0;
    m_file = file;
    return ok;
}

bool CShdFileWriteCache::Write(const void* data, DWORD size)
{
    if (size == 0)
        return true;
    if (!data)
        return false;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    if (!m_block)
        return WriteAll(m_file, bytes, size);
    while (size > 0) {
        if (m_held == m_capacity) {
            if (!WriteAll(m_file, m_block, m_held))
                return false;
            m_held = 0;
        }
        DWORD room = m_capacity - m_held;
        DWORD part = size < room ? size : room;
        memcpy(m_block + m_held, bytes, part);
        m_held += part;
        bytes += part;
        size -= part;
    }
    return true;
}

bool CShdFileWriteCache::Flush()
{
    if (m_held > 0) {
        if (!WriteAll(m_file, m_block, m_held))
            return false;
        m_held = 0;
    }
    m_file = INVALID_HANDLE_VALUE;
    return true;
}

void CShdFileWriteCache::Release()
{
    Flush();
    delete[] m_block;
    m_block = nullptr;
    m_capacity = 0;
    m_held = 0;
    m_file = INVALID_HANDLE_VALUE;
}
