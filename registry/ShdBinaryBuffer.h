// Value-data buffers.
//   CShdBinaryBuffer: a heap block with capacity and used size; SetSize never shrinks the
//   block, always allocates at least one byte, and keeps the old bytes; ReadDword reads a
//   little-endian number or gives 0 past the used size.
//   CShdCopyableBinaryBuffer: the same with copying (an allocation failure gives an empty copy).
#pragma once

#include <windows.h>

class CShdBinaryBuffer
{
public:
    CShdBinaryBuffer() = default;
    virtual ~CShdBinaryBuffer();
    CShdBinaryBuffer(const CShdBinaryBuffer&) = delete;
    CShdBinaryBuffer& operator=(const CShdBinaryBuffer&) = delete;

    bool SetSize(DWORD size);
    BYTE* GetData() const { return m_data; }
    DWORD GetSize() const { return m_size; }
    DWORD GetCapacity() const { return m_capacity; }
    void Free();
    DWORD ReadDword(DWORD offset) const;
    // Replaces the contents with a copy of size bytes.
    bool Assign(const void* data, DWORD size);

protected:
    BYTE* m_data = nullptr;
    DWORD m_capacity = 0;
    DWORD m_size = 0;
};

class CShdCopyableBinaryBuffer : public CShdBinaryBuffer
{
public:
    CShdCopyableBinaryBuffer() = default;
    CShdCopyableBinaryBuffer(const CShdCopyableBinaryBuffer& other);
    CShdCopyableBinaryBuffer& operator=(const CShdCopyableBinaryBuffer& other);
};
