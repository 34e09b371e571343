#include "tests/regfile/ImportTestSupport.h"

#include "registry/ShdRegKey.h"

#include <algorithm>
#include <cstdio>

CString TempFilePath(const wchar_t* stem)
{
    static int counter = 0;
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    CString path;
    path.Format(L"%shivelet-%s-%u-%d.reg", directory, stem, GetCurrentProcessId(), ++counter);
    return path;
}

std::string AnsiBytes(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t ch : text)
        bytes += static_cast<char>(ch & 0xFF);
    return bytes;
}

namespace {

std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (; *text; ++text) {
        if (*text < 128 && *text >= 32) {
            out += static_cast<char>(*text);
        } else {
            char hex[8];
            snprintf(hex, sizeof(hex), "<%04x>", static_cast<unsigned>(*text));
            out += hex;
        }
    }
    return out;
}

void Walk(HKEY root, const CString& fullPath, const CString& relative, std::vector<std::string>& out)
{
    CShdRegKey key(false);
    if (!key.Open(root, fullPath))
        return;
    out.push_back(Narrow(relative));
    CString name;
    DWORD type = 0;
    CShdBinaryBuffer data;
    for (DWORD i = 0; key.EnumValue(i, name, type, data); ++i) {
        std::string line = Narrow(relative) + "|" + Narrow(name) + "|" + std::to_string(type) + "|";
        char hex[4];
        for (DWORD b = 0; b < data.GetSize(); ++b) {
            snprintf(hex, sizeof(hex), "%02x", data.GetData()[b]);
            line += hex;
        }
        out.push_back(line);
    }
    std::vector<CString> children;
    for (DWORD i = 0; key.EnumKey(i, name); ++i)
        children.push_back(name);
    key.Close();
    for (const CString& child : children)
        Walk(root, fullPath + L"\\" + child, relative.IsEmpty() ? child : relative + L"\\" + child, out);
}

} // namespace

std::vector<std::string> SnapshotBranch(HKEY root, const wchar_t* path)
{
    std::vector<std::string> out;
    Walk(root, path, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}
