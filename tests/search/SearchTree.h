// A registry tree built in the in-memory back end for search tests, and a step runner.
#pragma once

#include "registry/MemoryRegistryBackend.h"
#include "registry/KeyTree.h"
#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"
#include "search/RegFinder.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class CSearchTest : public testing::Test
{
public:
    void Key(HKEY root, const wchar_t* path)
    {
        CShdRegKey key;
        ASSERT_TRUE(key.Create(root, path));
    }
    void Value(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        CShdRegKey key;
        ASSERT_TRUE(key.Create(root, path));
        ASSERT_TRUE(key.SetValue(name, type, data, size));
    }
    void Text(HKEY root, const wchar_t* path, const wchar_t* name, const wchar_t* text, DWORD type = REG_SZ)
    {
        Value(root, path, name, type, text, static_cast<DWORD>((wcslen(text) + 1) * 2));
    }
    void Dword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD number)
    {
        Value(root, path, name, REG_DWORD, &number, 4);
    }

    static bool CopyAndDelete(const wchar_t* from, const wchar_t* to)
    {
        return CopyKeyTree(HKEY_CURRENT_USER, from, HKEY_CURRENT_USER, to) &&
               DeleteKeyTree(HKEY_CURRENT_USER, from);
    }
    // One step; "" when it found nothing, else "ROOT\path" or "ROOT\path|value".
    static std::wstring Step(CRegFinder& finder)
    {
        if (!finder.Start())
            return L"<no start>";
        CRegFinder::SSearchPosition result;
        if (!finder.GetResult(result))
            return L"";
        std::wstring text = FullKeyPath(RootKeyFromValue(result.root), result.keyPath).c_str();
        if (result.kind == CRegFinder::StateAtValue)
            text += L"|" + std::wstring(result.valueName.c_str());
        return text;
    }
    // Steps until finished (bounded); the matches in order.
    static std::vector<std::wstring> Cycle(CRegFinder& finder, int limit = 10000)
    {
        std::vector<std::wstring> found;
        for (int i = 0; i < limit; ++i) {
            std::wstring match = Step(finder);
            if (match.empty())
                break;
            found.push_back(match);
        }
        return found;
    }
    static SSearchOptions Options(const wchar_t* text)
    {
        SSearchOptions options;
        options.searchString = text;
        return options;
    }

    CMemoryRegistryBackend m_memory;
    CScopedRegistryBackend m_scope{m_memory};
};
