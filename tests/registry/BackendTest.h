// Runs a test once against the real registry (under Wine) and once against the in-memory one,
// each below a fresh key HKCU\Software\HiveletTests\<suite>\<case>.
#pragma once

#include "registry/MemoryRegistryBackend.h"
#include "registry/RegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

enum class EBackend
{
    Win32,
    Memory
};

class CBackendTest : public testing::TestWithParam<EBackend>
{
protected:
    void SetUp() override;
    void TearDown() override;

    bool IsMemory() const { return GetParam() == EBackend::Memory; }
    CMemoryRegistryBackend& Memory() { return m_memory; }
    // The test's base key, open; its path below HKEY_CURRENT_USER.
    HKEY Base() const { return m_base.GetHandle(); }
    const CString& BasePath() const { return m_path; }

    // Arranging helpers through the back end in force.
    void Put(const wchar_t* subkey, const wchar_t* name, DWORD type, const std::vector<BYTE>& data);
    void PutString(const wchar_t* subkey, const wchar_t* name, const wchar_t* text);
    bool Exists(const wchar_t* subkey);

private:
    CMemoryRegistryBackend m_memory;
    std::unique_ptr<CScopedRegistryBackend> m_scope;
    CShdRegKey m_base{false};
    CString m_path;
};

std::string BackendName(const testing::TestParamInfo<EBackend>& info);
std::vector<BYTE> Bytes(const wchar_t* text, bool withTerminator = true);
