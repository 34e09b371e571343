// CShdFileWriteCache: collects small writes in one heap block and hands them to WriteFile in
// large pieces. It never opens or closes the file; the owner attaches a handle and closes it
// after Flush or Release.
//   Allocate(0) means no block: every Write goes straight to the file.
//   Every WriteFile must report all bytes written, else the call fails.
#pragma once

#include <windows.h>

class CShdFileWriteCache
{
public:
    CShdFileWriteCache() = default;
    virtual ~CShdFileWriteCache();
    CShdFileWriteCache(const CShdFileWriteCache&) = delete;
    CShdFileWriteCache& operator=(const CShdFileWriteCache&) = delete;

    // Writes out and frees any previous block; capacities above 0x7FFFFFFF fail.
    bool Allocate(unsigned long long capacity);
    // Writes out what is held for the previous file, then writes to file. When the old bytes
    // cannot be written they are dropped (they must never reach the new file) and the call fails.
    bool Attach(HANDLE file);
    bool Write(const void* data, DWORD size);
    // Writes the held bytes and forgets the file handle. On failure the bytes stay held and the
    // handle is kept, so the caller may try again.
    bool Flush();
    // Flush, then free the block.
    void Release();

    DWORD GetCapacity() const { return m_capacity; }
    DWORD GetHeld() const { return m_held; }

private:
    static bool WriteAll(HANDLE file, const BYTE* data, DWORD size);

    BYTE* m_block = nullptr;
    DWORD m_capacity = 0;
    DWORD m_held = 0;
    HANDLE m_file = INVALID_HANDLE_VALUE;
};
