// Export then import: a generated branch comes back with the same keys, values, types and bytes.
#include "regfile/RegExporter.h"
#include "regfile/RegImporter.h"

#include "registry/KeyTree.h"
#include "registry/MemoryRegistryBackend.h"
#include "registry/ShdRegKey.h"
#include "tests/regfile/ImportTestSupport.h"
#include "tests/support/PrintCString.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

const wchar_t kBase[] = L"Software\\HiveletTests\\RoundTrip";
size_t g_itemsCompared = 0; // keys and values, so that an empty generator cannot pass

class CBranchGenerator
{
public:
    CBranchGenerator(unsigned seed, bool ansiOnly) : m_random(seed), m_ansiOnly(ansiOnly) {}

    int Pick(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }

    // Names: quotes, backslashes (values only), semicolons, brackets, "=", "@", non-ASCII.
    std::wstring Text(int maxLength, bool keyName)
    {
        static const wchar_t common[] = L"aZ 9\"\\;[]=@,-_.\t\xe9\xfc\x20ac";
        static const wchar_t wide[] = L"\x4e2d\x0416\x03a9";
        std::wstring text;
        int length = Pick(maxLength + 1);
        for (int i = 0; i < length; ++i) {
            wchar_t ch =
                !m_ansiOnly && Pick(6) == 0 ? wide[Pick(3)] : common[Pick(static_cast<int>(wcslen(common)))];
            if (keyName && ch == L'\\')
                ch = L'k';
            text += ch;
        }
        if (keyName && (text.empty() || text.front() == L' ' || text.back() == L' ' || text.front() == L'-'))
            text = L"k" + text + L"k"; // white space at the ends of a key line is trimmed
        return text;
    }

    void Put(CShdRegKey& key, const std::wstring& name, DWORD type, const void* data, size_t size)
    {
        ASSERT_TRUE(key.SetValue(name.c_str(), type, data, static_cast<DWORD>(size)));
    }
    void PutText(CShdRegKey& key, const std::wstring& name, DWORD type, const std::wstring& text)
    {
        Put(key, name, type, text.c_str(), (text.size() + 1) * 2);
    }

    void Values(CShdRegKey& key)
    {
        int count = Pick(10);
        for (int i = 0; i < count; ++i) {
            std::wstring name = Pick(8) == 0 ? L"" : Text(12, false);
            switch (Pick(10)) {
            case 0:
                PutText(key, name, REG_SZ, Text(40, false));
                break;
            case 1:
                PutText(key, name, REG_SZ, Text(5, false) + L"\r\nline\n");
                break; // line breaks
            case 2:
                PutText(key, name, REG_EXPAND_SZ, L"%PATH%;" + Text(10, false));
                break;
            case 3: {
                std::wstring multi = Text(8, false) + L'\0' + Text(8, false) + L'\0';
                Put(key, name, REG_MULTI_SZ, multi.c_str(), (multi.size() + 1) * 2);
                break;
            }
            case 4: {
                DWORD number = static_cast<DWORD>(m_random());
                Put(key, name, REG_DWORD, &number, 4);
                break;
            }
            case 5: {
                unsigned long long quad = (static_cast<unsigned long long>(m_random()) << 32) | m_random();
                Put(key, name, REG_QWORD, &quad, 8);
                break;
            }
            case 6: {
                std::string bytes(Pick(4) == 0 ? 5000 + Pick(5000) : Pick(40), '\0');
                for (char& ch : bytes)
                    ch = static_cast<char>(m_random());
                Put(key, name, Pick(3) == 0 ? static_cast<DWORD>(m_random()) : REG_BINARY, bytes.data(),
                    bytes.size());
                break;
            }
            case 7:
                Put(key, name, REG_NONE, "", 0);
                break;
            case 8:
                PutText(key, name, REG_SZ, L"");
                break;
            default:
                PutText(key, name, REG_SZ, std::wstring(3000 + Pick(3000), L'x') + Text(5, false));
                break;
            }
        }
    }

    void Branch(const std::wstring& path, int depth)
    {
        CShdRegKey key(false);
        ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path.c_str()));
        Values(key);
        key.Close();
        if (depth == 0)
            return;
        int children = Pick(4);
        for (int i = 0; i < children; ++i)
            Branch(path + L"\\" + Text(10, true), depth - 1);
    }

private:
    std::mt19937 m_random;
    bool m_ansiOnly;
};

CString Export(bool unicode)
{
    CString file = TempFilePath(unicode ? L"roundtrip5" : L"roundtrip4");
    CRegExporter exporter;
    EXPECT_TRUE(exporter.Start(file, true, unicode, HKEY_CURRENT_USER, kBase));
    bool ok = false;
    EXPECT_TRUE(exporter.Wait(ok));
    EXPECT_TRUE(ok);
    return file;
}

void RoundTrip(unsigned seed, bool unicode)
{
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
    CBranchGenerator generator(seed, !unicode);
    generator.Branch(kBase, 3);
    std::vector<std::string> before = SnapshotBranch(HKEY_CURRENT_USER, kBase);
    g_itemsCompared += before.size();
    CString file = Export(unicode);
    ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, kBase));
    CRegImporter importer;
    CString error;
    EXPECT_TRUE(importer.Import(file, error)) << "seed " << seed << ": " << testing::PrintToString(error);
    std::vector<std::string> after = SnapshotBranch(HKEY_CURRENT_USER, kBase);
    EXPECT_EQ(before, after) << "seed " << seed << (unicode ? " Unicode" : " ANSI");
    DeleteFileW(file);
    DeleteKeyTree(HKEY_CURRENT_USER, kBase);
}

TEST(RoundTrip, GeneratedBranchesInMemory)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        CMemoryRegistryBackend memory;
        CScopedRegistryBackend scope(memory);
        RoundTrip(seed, true);
        RoundTrip(seed + 1000, false);
        if (testing::Test::HasFailure())
            return;
    }
    EXPECT_GT(g_itemsCompared, 3000u);
}

TEST(RoundTrip, GeneratedBranchesInTheRegistry)
{
    for (unsigned seed = 1; seed <= 3; ++seed) {
        RoundTrip(seed + 5000, true);
        RoundTrip(seed + 6000, false);
    }
}

} // namespace
