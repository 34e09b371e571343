// Fixture giving each test its own fresh key HKCU\Software\HiveletTests\<suite>\<case>.
#pragma once

#include "shd/String.h"

#include <gtest/gtest.h>
#include <windows.h>

class CRegistryTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The test's key, open with full access, and its path below HKEY_CURRENT_USER.
    HKEY TestKey() const { return m_key; }
    const CString& TestPath() const { return m_path; }

    // Helpers for arranging and checking the real registry directly, not through product code.
    static bool KeyExists(HKEY root, const wchar_t* path);
    static void WriteValue(HKEY key, const wchar_t* subkey, const wchar_t* name, DWORD type, const void* data,
                           DWORD size);
    static void WriteString(HKEY key, const wchar_t* subkey, const wchar_t* name, const wchar_t* text);
    static void WriteDword(HKEY key, const wchar_t* subkey, const wchar_t* name, DWORD value);

private:
    HKEY m_key = nullptr;
    CString m_path;
};

// The current user's key below HKEY_USERS ("S-1-5-21-..."): the same key as HKEY_CURRENT_USER,
// reached through another root; empty when the token cannot tell.
CString CurrentUserKeyUnderUsers();

// Removes a key and everything below it through the desktop API.
bool DeleteTestTree(HKEY root, const wchar_t* path);
