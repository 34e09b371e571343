// Shared by the key and value command tests: the main view driven as a user drives it (menu
// commands, label edits, dialog and message box answers), and the registry read back as a
// sorted listing of keys and values.
#pragma once

#include "registry/MemoryRegistryBackend.h"
#include "tests/app/MainViewTests.h"
#include "tests/dialogs/DialogScript.h"
#include "tests/support/MessageBoxRecorder.h"

#include <memory>
#include <string>
#include <vector>

using Listing = std::vector<std::wstring>;

// Sorted as Contents() sorts.
Listing Sorted(Listing listing);

class CKeyCommandTest : public CMainViewTest
{
protected:
    void TearDown() override;

    void Command(UINT id);
    // Arranging through the back end in force, below the test's key.
    void MakeKey(const wchar_t* path);
    void PutString(const wchar_t* path, const wchar_t* name, const wchar_t* text);
    void PutValue(const wchar_t* path, const wchar_t* name, DWORD type, const std::vector<BYTE>& data);
    bool HasKey(const wchar_t* path);
    bool HasValue(const wchar_t* path, const wchar_t* name);
    // Every key below path ("" for the test's key) as "sub\key" and every value as
    // "sub\key: name = type: hex bytes", sorted without regard to case.
    Listing Contents(const wchar_t* path = L"");

    bool SelectValue(const wchar_t* path, const wchar_t* name);
    // The label edits: the rename command, the text typed, and Enter.
    void RenameKey(const wchar_t* path, const wchar_t* newName);
    void RenameValue(const wchar_t* path, const wchar_t* name, const wchar_t* newName);
    // The selected key's path below the test's key, or "<none>".
    std::wstring SelectedKey();
    std::wstring SelectedValue();
    int ValueImage(const wchar_t* name);
    std::vector<std::wstring> Messages();

    CDialogDriver m_driver;
    CMessageBoxRecorder m_messages;
};

// The same over the in-memory registry, which can be told to fail chosen calls.
class CKeyCommandFaultTest : public CKeyCommandTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    CMemoryRegistryBackend m_memory;
    std::unique_ptr<CScopedRegistryBackend> m_scope;
};
