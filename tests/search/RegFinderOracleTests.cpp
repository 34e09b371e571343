// Oracle: for generated trees and option sets, the matches that repeated steps report equal a
// list computed by a plain walk written here (sorted pre-order over the four roots, cycled from
// the start, the start itself and the program's own key left out).
#include "tests/search/SearchTree.h"

#include <algorithm>
#include <random>

namespace {

struct SItem
{
    DWORD root;
    std::wstring path;
    std::wstring value; // empty with isValue false: a key
    bool isValue;
    DWORD type;
    std::wstring text; // REG_SZ data
    std::wstring Label() const
    {
        std::wstring label = FullKeyPath(RootKeyFromValue(root), path.c_str()).c_str();
        return isValue ? label + L"|" + value : label;
    }
};

bool NoCaseLess(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

std::wstring Lower(std::wstring text)
{
    for (wchar_t& ch : text)
        ch = static_cast<wchar_t>(towlower(ch));
    return text;
}

bool TextHit(const std::wstring& text, const SSearchOptions& o)
{
    std::wstring s = o.searchString.c_str();
    if (o.wholeStringOnly)
        return o.caseSensitive ? text == s : Lower(text) == Lower(s);
    if (s.empty())
        return false;
    return o.caseSensitive ? text.find(s) != std::wstring::npos
                           : Lower(text).find(Lower(s)) != std::wstring::npos;
}

bool Hit(const SItem& item, const SSearchOptions& o)
{
    if (!item.isValue) {
        std::wstring name =
            item.path.substr(item.path.rfind(L'\\') == std::wstring::npos ? 0 : item.path.rfind(L'\\') + 1);
        return o.keyNames && TextHit(name, o);
    }
    if (o.valueNames && TextHit(item.value, o))
        return true;
    return o.valueData && item.type == REG_SZ && o.strings && TextHit(item.text, o);
}

// The plain walk, reading the registry through raw back-end calls.
void Walk(HKEY key, DWORD root, const std::wstring& path, std::vector<SItem>& items)
{
    items.push_back({root, path, L"", false, 0, L""});
    std::vector<SItem> values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[300];
        BYTE data[1000];
        DWORD nameLength = 300, type = 0, size = sizeof(data);
        if (Registry().EnumValue(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        std::wstring text;
        if (type == REG_SZ)
            text = reinterpret_cast<const wchar_t*>(data);
        values.push_back({root, path, std::wstring(name, nameLength), true, type, text});
    }
    std::sort(values.begin(), values.end(),
              [](const SItem& a, const SItem& b) { return NoCaseLess(a.value, b.value); });
    items.insert(items.end(), values.begin(), values.end());
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; ++i) {
        wchar_t name[300];
        DWORD nameLength = 300;
        if (Registry().EnumKey(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        subkeys.push_back(std::wstring(name, nameLength));
    }
    std::sort(subkeys.begin(), subkeys.end(), NoCaseLess);
    for (const std::wstring& name : subkeys) {
        HKEY child;
        ASSERT_EQ(ERROR_SUCCESS, Registry().OpenKey(key, name.c_str(), 0, KEY_READ, &child));
        Walk(child, root, path.empty() ? name : path + L"\\" + name, items);
        Registry().CloseKey(child);
    }
}

class RegFinderOracle : public CSearchTest
{
protected:
    void Generate(std::mt19937& random)
    {
        const wchar_t* names[] = {L"a", L"Ab", L"ab_c", L"B", L"ba", L"x1", L"xa", L"_z", L"Bab", L"AB2"};
        const wchar_t* roots[] = {L"", L"SOFTWARE\\Ordwyn\\Keyhaven", L"SOFTWARE\\Ordwyn\\Keyhavena"};
        int keys = 3 + static_cast<int>(random() % 25);
        for (int k = 0; k < keys; ++k) {
            HKEY root = kRootKeys[random() % 4];
            std::wstring path = root == HKEY_LOCAL_MACHINE ? roots[random() % 3] : L"";
            for (int depth = 1 + static_cast<int>(random() % 4); depth > 0; --depth)
                path += (path.empty() ? L"" : L"\\") + std::wstring(names[random() % 10]);
            Key(root, path.c_str());
            for (int v = static_cast<int>(random() % 4); v > 0; --v) {
                const wchar_t* name = random() % 5 == 0 ? L"" : names[random() % 10];
                switch (random() % 3) {
                case 0:
                    Text(root, path.c_str(), name, names[random() % 10]);
                    break;
                case 1:
                    Dword(root, path.c_str(), name, random() % 4);
                    break;
                default: {
                    BYTE bytes[6];
                    for (BYTE& b : bytes)
                        b = static_cast<BYTE>(random() % 4); // never a letter, never a text pattern
                    Value(root, path.c_str(), name, REG_BINARY, bytes, sizeof(bytes));
                }
                }
            }
        }
    }
};

} // namespace

TEST_F(RegFinderOracle, StepsEqualThePlainWalk)
{
    const wchar_t* searches[] = {L"a", L"ab", L"B", L"x", L"ba"};
    int checked = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        CMemoryRegistryBackend memory;
        CScopedRegistryBackend scope(memory);
        Generate(random);
        std::vector<SItem> items;
        for (HKEY root : kRootKeys)
            Walk(root, RootKeyValue(root), L"", items);
        for (int round = 0; round < 4; ++round) {
            SSearchOptions options = Options(searches[random() % 5]);
            options.keyNames = random() % 4 != 0;
            options.valueNames = random() % 3 != 0;
            options.valueData = random() % 2 != 0;
            options.caseSensitive = random() % 3 == 0;
            options.wholeStringOnly = random() % 4 == 0;
            size_t startIndex = random() % items.size();
            const SItem& startItem = items[startIndex];
            CRegFinder::SStartPosition start;
            start.root = startItem.root;
            start.keyPath = startItem.path.c_str();
            start.valueName = startItem.value.c_str();
            start.hasValue = startItem.isValue;

            std::vector<std::wstring> expected;
            for (size_t i = 1; i < items.size(); ++i) {
                const SItem& item = items[(startIndex + i) % items.size()];
                if (Hit(item, options) && !CRegFinder::IsOwnKey(item.root, item.path.c_str()))
                    expected.push_back(item.Label());
            }
            CRegFinder finder;
            finder.SetOptions(options, start);
            EXPECT_EQ(expected, Cycle(finder, static_cast<int>(items.size()) + 2))
                << "seed " << seed << " round " << round;
            EXPECT_TRUE(finder.IsFinished());
            ++checked;
        }
    }
    EXPECT_EQ(240, checked);
}
