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
    std::vector<BYTE> data;
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

std::wstring Units(const std::vector<BYTE>& data)
{
    std::wstring units;
    for (size_t i = 0; i + 1 < data.size(); i += 2)
        units += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    return units;
}

// The search text as a number: "0x" and hex digits, or decimal digits.
bool Number(const std::wstring& s, DWORD& number)
{
    bool hex = s.size() >= 2 && s[0] == L'0' && (s[1] == L'x' || s[1] == L'X');
    std::wstring digits = hex ? s.substr(2) : s;
    if (digits.empty())
        return false;
    number = 0;
    for (wchar_t ch : digits) {
        if (hex ? !iswxdigit(ch) : !iswdigit(ch))
            return false;
        number = number * (hex ? 16 : 10) +
                 static_cast<DWORD>(iswdigit(ch) ? ch - L'0' : towlower(ch) - L'a' + 10);
    }
    return true;
}

// The search text read as hex bytes ("0A 1b", "ABC" = AB 0C); empty when it is not.
std::vector<BYTE> HexBytes(const std::wstring& s)
{
    std::vector<BYTE> bytes;
    for (size_t i = 0; i < s.size();) {
        if (iswspace(s[i])) {
            ++i;
            continue;
        }
        if (!iswxdigit(s[i]))
            return {};
        auto digit = [](wchar_t ch) { return iswdigit(ch) ? ch - L'0' : towlower(ch) - L'a' + 10; };
        if (i + 1 < s.size() && iswxdigit(s[i + 1])) {
            bytes.push_back(static_cast<BYTE>(digit(s[i]) * 16 + digit(s[i + 1])));
            i += 2;
        } else {
            bytes.push_back(static_cast<BYTE>(digit(s[i])));
            ++i;
        }
    }
    return bytes;
}

bool BytesAt(const std::vector<BYTE>& data, size_t at, const std::vector<BYTE>& pattern, BYTE (*fold)(BYTE))
{
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (fold(data[at + i]) != fold(pattern[i]))
            return false;
    }
    return true;
}

BYTE Same(BYTE b)
{
    return b;
}
BYTE LowerAnsi(BYTE b)
{
    return static_cast<BYTE>(tolower(b));
}

bool Occurs(const std::vector<BYTE>& data, const std::vector<BYTE>& pattern, BYTE (*fold)(BYTE))
{
    if (pattern.empty() || pattern.size() > data.size())
        return false;
    for (size_t at = 0; at + pattern.size() <= data.size(); ++at) {
        if (BytesAt(data, at, pattern, fold))
            return true;
    }
    return false;
}

bool BinaryHit(const std::vector<BYTE>& data, const SSearchOptions& o)
{
    std::wstring s = o.searchString.c_str();
    if (Occurs(data, HexBytes(s), Same))
        return true;
    // UTF-16 units at any byte offset, folded per unit unless case sensitive.
    std::wstring folded = o.caseSensitive ? s : Lower(s);
    for (size_t at = 0; !s.empty() && at + 2 * s.size() <= data.size(); ++at) {
        bool all = true;
        for (size_t i = 0; all && i < s.size(); ++i) {
            wchar_t unit = static_cast<wchar_t>(data[at + 2 * i] | (data[at + 2 * i + 1] << 8));
            all = (o.caseSensitive ? unit : static_cast<wchar_t>(towlower(unit))) == folded[i];
        }
        if (all)
            return true;
    }
    std::vector<BYTE> ansi(s.begin(), s.end()); // the search texts here are ASCII
    return Occurs(data, ansi, o.caseSensitive ? Same : LowerAnsi);
}

bool DataHit(const SItem& item, const SSearchOptions& o)
{
    switch (item.type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::wstring text = Units(item.data);
        return o.strings && TextHit(text.substr(0, text.find(L'\0')), o);
    }
    case REG_MULTI_SZ: {
        if (!o.multiStrings)
            return false;
        std::wstring units = Units(item.data);
        if (!units.empty() && units.back() == L'\0')
            units.pop_back();
        size_t begin = 0;
        for (;;) {
            size_t nul = units.find(L'\0', begin);
            std::wstring piece =
                units.substr(begin, nul == std::wstring::npos ? std::wstring::npos : nul - begin);
            if (nul == std::wstring::npos) // an empty piece at the very end is no string
                return !piece.empty() && TextHit(piece, o);
            if (TextHit(piece, o))
                return true;
            begin = nul + 1;
        }
    }
    case REG_DWORD: {
        DWORD number = 0, stored = 0;
        if (!o.dwords || !Number(o.searchString.c_str(), number))
            return false;
        if (item.data.size() >= 4)
            stored = item.data[0] | (item.data[1] << 8) | (item.data[2] << 16) |
                     (static_cast<DWORD>(item.data[3]) << 24);
        return stored == number;
    }
    default:
        return o.binary && BinaryHit(item.data, o);
    }
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
    return o.valueData && DataHit(item, o);
}

// The plain walk, reading the registry through raw back-end calls.
void Walk(HKEY key, DWORD root, const std::wstring& path, std::vector<SItem>& items)
{
    items.push_back({root, path, L"", false, 0, {}});
    std::vector<SItem> values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[300];
        BYTE data[1000];
        DWORD nameLength = 300, type = 0, size = sizeof(data);
        if (Registry().EnumValue(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        values.push_back(
            {root, path, std::wstring(name, nameLength), true, type, std::vector<BYTE>(data, data + size)});
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
    // Texts built from the names, so that names, strings and byte patterns meet.
    static std::vector<BYTE> Utf16(const std::wstring& text)
    {
        std::vector<BYTE> bytes;
        for (wchar_t ch : text) {
            bytes.push_back(static_cast<BYTE>(ch & 0xFF));
            bytes.push_back(static_cast<BYTE>(ch >> 8));
        }
        return bytes;
    }
    static std::vector<BYTE> Data(std::mt19937& random, DWORD type, const wchar_t* const* names)
    {
        std::vector<BYTE> bytes;
        switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            bytes = Utf16(std::wstring(names[random() % 10]) + L'\0');
            break;
        case REG_MULTI_SZ:
            for (int n = static_cast<int>(random() % 3); n >= 0; --n) {
                std::wstring piece = random() % 4 == 0 ? L"" : names[random() % 10];
                std::vector<BYTE> part = Utf16(piece + L'\0');
                bytes.insert(bytes.end(), part.begin(), part.end());
            }
            if (random() % 2)
                bytes.push_back(0), bytes.push_back(0);
            break;
        case REG_DWORD: {
            const DWORD numbers[] = {0, 1, 12, 0x12, 0x1F, 31, 0xAB};
            DWORD number = numbers[random() % 7];
            bytes.assign(reinterpret_cast<BYTE*>(&number), reinterpret_cast<BYTE*>(&number) + 4);
            if (random() % 6 == 0)
                bytes.resize(random() % 4); // too short: reads as 0
            break;
        }
        default: {
            const BYTE alphabet[] = {0, 1, 0x12, 0xAB, 0x0A, 0x1F, 'a', 'B', 'x', 0xBA};
            for (int n = static_cast<int>(random() % 8); n > 0; --n)
                bytes.push_back(alphabet[random() % 10]);
            if (random() % 3 == 0) { // a UTF-16 or ANSI name, at an odd or even offset
                std::wstring name = names[random() % 10];
                std::vector<BYTE> text =
                    random() % 2 ? Utf16(name) : std::vector<BYTE>(name.begin(), name.end());
                bytes.insert(bytes.begin() + static_cast<long>(random() % (bytes.size() + 1)), text.begin(),
                             text.end());
            }
        }
        }
        return bytes;
    }
    void Generate(std::mt19937& random)
    {
        const wchar_t* names[] = {L"a", L"Ab", L"ab_c", L"B", L"ba", L"x1", L"xa", L"_z", L"Bab", L"AB2"};
        const wchar_t* roots[] = {L"", L"SOFTWARE\\Ordwyn\\Keyhaven", L"SOFTWARE\\Ordwyn\\Keyhavena"};
        const DWORD types[] = {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_BINARY, REG_NONE, 0x20};
        int keys = 3 + static_cast<int>(random() % 25);
        for (int k = 0; k < keys; ++k) {
            HKEY root = kRootKeys[random() % 4];
            std::wstring path = root == HKEY_LOCAL_MACHINE ? roots[random() % 3] : L"";
            for (int depth = 1 + static_cast<int>(random() % 4); depth > 0; --depth)
                path += (path.empty() ? L"" : L"\\") + std::wstring(names[random() % 10]);
            Key(root, path.c_str());
            for (int v = static_cast<int>(random() % 4); v > 0; --v) {
                const wchar_t* name = random() % 5 == 0 ? L"" : names[random() % 10];
                DWORD type = types[random() % 7];
                std::vector<BYTE> data = Data(random, type, names);
                Value(root, path.c_str(), name, type, data.data(), static_cast<DWORD>(data.size()));
            }
        }
    }
};

} // namespace

TEST_F(RegFinderOracle, StepsEqualThePlainWalk)
{
    const wchar_t* searches[] = {L"a", L"ab", L"B", L"x", L"ba", L"12", L"0x1F", L"1f", L"0A 1F", L"Ab"};
    int checked = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        CMemoryRegistryBackend memory;
        CScopedRegistryBackend scope(memory);
        // Items come in the order they were made, so only the engine's own sorting orders them.
        memory.SetInsertionOrder(true);
        memory.SetKeyInsertionOrder(true);
        Generate(random);
        std::vector<SItem> items;
        for (HKEY root : kRootKeys)
            Walk(root, RootKeyValue(root), L"", items);
        for (int round = 0; round < 4; ++round) {
            SSearchOptions options = Options(searches[random() % 10]);
            options.keyNames = random() % 4 != 0;
            options.valueNames = random() % 3 != 0;
            options.valueData = random() % 3 != 0;
            options.caseSensitive = random() % 3 == 0;
            options.wholeStringOnly = random() % 4 == 0;
            options.strings = random() % 4 != 0;
            options.multiStrings = random() % 4 != 0;
            options.dwords = random() % 4 != 0;
            options.binary = random() % 4 != 0;
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
                << "seed " << seed << " round " << round << " search " << options.searchString;
            EXPECT_TRUE(finder.IsFinished());
            ++checked;
        }
    }
    EXPECT_EQ(240, checked);
}
