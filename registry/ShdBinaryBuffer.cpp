// Value-data buffers.
#include "registry/ShdBinaryBuffer.h"

#include <cstdlib>
#include <cstring>

CShdBinaryBuffer::~CShdBinaryBuffer()
{
    Free();
}

bool CShdBinaryBuffer::SetSize(DWORD size)
{
    if (m_data && size <= m_capacity) {
        m_size = size;
        return true;
    }
    DWORD capacity = size ? size : 1;
    BYTE* data = static_cast<BYTE*>(realloc(m_data, capacity));
    if (!data)
        return false;
    m_data = data;
    m_capacity = capacity;
    m_size = size;
    return true;
}

void CShdBinaryBuffer::Free()
{
    free(m_data);
    m_data = nullptr;
    m_capacity = 0;
    m_size = 0;
}

DWORD CShdBinaryBuffer::ReadDword(DWORD offset) const
{
    if (!m_data || offset > m_size || m_size - offset < 4)
        return 0;
    const BYTE* p = m_data + offset;
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}

bool CShdBinaryBuffer::Assign(const void* data, DWORD size)
{
    if (!SetSize(size))
        return false;
    if (size)
        memcpy(m_data, data, size);
    return true;
}

CShdCopyableBinaryBuffer::CShdCopyableBinaryBuffer(const CShdCopyableBinaryBuffer& other) : CShdBinaryBuffer()
{
    *this = other;
}

CShdCopyableBinaryBuffer& CShdCopyableBinaryBuffer::operator=(const CShdCopyableBinaryBuffer& other)
{
    if (this == &other)
        return *this;
    if (!other.m_data) {
        Free();
        return *this;
    }
    if (!Assign(other.m_data, other.m_size))
        Free();
    return *this;
}
