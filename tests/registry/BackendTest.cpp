// The two-back-end fixture.
#include "tests/registry/BackendTest.h"

#include "registry/KeyTree.h"

void CBackendTest::SetUp()
{
    if (IsMemory())
        m_scope = std::make_unique<CScopedRegistryBackend>(m_memory);
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    CString name;
    for (const char* p = info->name(); *p; ++p)
        name += static_cast<wchar_t>(*p == '/' ? '_' : *p);
    m_path = L"Software\\HiveletTests\\Registry\\" + name;
    DeleteKeyTree(HKEY_CURRENT_USER, m_path);
    ASSERT_TRUE(m_base.Create(HKEY_CURRENT_USER, m_path));
    Registry().ResetCounts();
}

void CBackendTest::TearDown()
{
    m_base.Close();
    EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, m_path));
    m_scope.reset();
}

void CBackendTest::Put(const wchar_t* subkey, const wchar_t* name, DWORD type, const std::vector<BYTE>& data)
{
    // Open before create: Wine's registry replaces the class of an existing key on create.
    CShdRegKey key(false);
    ASSERT_TRUE(key.Open(Base(), subkey) || key.Create(Base(), subkey));
    ASSERT_TRUE(key.SetValue(name, type, data.data(), static_cast<DWORD>(data.size())));
}

void CBackendTest::PutString(const wchar_t* subkey, const wchar_t* name, const wchar_t* text)
{
    Put(subkey, name, REG_SZ, Bytes(text));
}

bool CBackendTest::Exists(const wchar_t* subkey)
{
    CShdRegKey key(false);
    return key.Open(Base(), subkey);
}

std::string BackendName(const testing::TestParamInfo<EBackend>& info)
{
    return info.param == EBackend::Memory ? "Memory" : "Win32";
}

std::vector<BYTE> Bytes(const wchar_t* text, bool withTerminator)
{
    size_t length = wcslen(text) + (withTerminator ? 1 : 0);
    const BYTE* p = reinterpret_cast<const BYTE*>(text);
    return std::vector<BYTE>(p, p + length * sizeof(wchar_t));
}
