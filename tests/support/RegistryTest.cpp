// The per-test registry key: made fresh before each test and removed after it.
#include "tests/support/RegistryTest.h"

#include <sddl.h>

#include <vector>

namespace {

// A test or suite name as one key name: parameterised names hold '/'.
CString KeyPart(const char* text)
{
    CString result;
    int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text, -1, result.GetBuffer(length), length);
        result.ReleaseBuffer();
    }
    for (int i = 0; i < result.GetLength(); ++i) {
        if (result[i] == L'/')
            result.SetAt(i, L'_');
    }
    return result;
}

} // namespace

CString CurrentUserKeyUnderUsers()
{
    CString text;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return text;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    wchar_t* sid = nullptr;
    if (GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
        text = sid;
        LocalFree(sid);
    }
    CloseHandle(token);
    return text;
}

bool DeleteTestTree(HKEY root, const wchar_t* path)
{
    LONG rc = RegDeleteTreeW(root, path);
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND)
        rc = RegDeleteKeyW(root, path);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

void CRegistryTest::SetUp()
{
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    m_path.Format(L"Software\\HiveletTests\\%s\\%s", KeyPart(info->test_suite_name()).c_str(),
                  KeyPart(info->name()).c_str());
    DeleteTestTree(HKEY_CURRENT_USER, m_path);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, m_path, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &m_key, nullptr));
}

void CRegistryTest::TearDown()
{
    if (m_key)
        RegCloseKey(m_key);
    m_key = nullptr;
    EXPECT_TRUE(DeleteTestTree(HKEY_CURRENT_USER, m_path));
}

bool CRegistryTest::KeyExists(HKEY root, const wchar_t* path)
{
    HKEY key;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void CRegistryTest::WriteValue(HKEY key, const wchar_t* subkey, const wchar_t* name, DWORD type,
                               const void* data, DWORD size)
{
    HKEY target;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(key, subkey ? subkey : L"", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &target, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(target, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(target);
}

void CRegistryTest::WriteString(HKEY key, const wchar_t* subkey, const wchar_t* name, const wchar_t* text)
{
    WriteValue(key, subkey, name, REG_SZ, text, static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
}

void CRegistryTest::WriteDword(HKEY key, const wchar_t* subkey, const wchar_t* name, DWORD value)
{
    WriteValue(key, subkey, name, REG_DWORD, &value, sizeof(value));
}
