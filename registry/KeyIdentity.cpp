// The key identity test: a marker value written through one path, looked for through another.
#include "registry/KeyIdentity.h"

#include "registry/ShdRegKey.h"
#include "shd/String.h"

#include <cwchar>

namespace {

const wchar_t kMarkerPrefix[] = L"Hivelet.KeyIdentity.";

// (root, path) spelled as the top key or a key below it.
bool IsSpelledSameOrBelow(HKEY root, const wchar_t* path, HKEY topRoot, const wchar_t* topPath, bool below)
{
    if (root != topRoot)
        return false;
    const wchar_t* a = path ? path : L"";
    const wchar_t* top = topPath ? topPath : L"";
    const size_t length = wcslen(top);
    if (_wcsnicmp(a, top, length) != 0)
        return false;
    if (a[length] == L'\0')
        return true;
    return below && (length == 0 || a[length] == L'\\');
}

// A marker value in one key for the lifetime of the object; Name() is empty when none could
// be written.
class CMarker
{
public:
    CMarker(HKEY root, const wchar_t* path)
    {
        static LONG counter = 0;
        CString name;
        name.Format(L"%s%lu.%lu.%ld", kMarkerPrefix, GetCurrentProcessId(), GetTickCount(),
                    InterlockedIncrement(&counter));
        const DWORD data = 0;
        if (m_key.Open(root, path) && m_key.SetValue(name, REG_DWORD, &data, sizeof data))
            m_name = name;
    }
    ~CMarker()
    {
        if (!m_name.IsEmpty())
            m_key.DeleteValue(m_name);
    }
    CMarker(const CMarker&) = delete;
    CMarker& operator=(const CMarker&) = delete;

    const CString& Name() const { return m_name; }

    // The marker can be seen through (root, path).
    bool SeenAt(HKEY root, const wchar_t* path) const
    {
        CShdRegKey key(false);
        return key.Open(root, path) && key.ValueExists(m_name);
    }

private:
    CShdRegKey m_key{false};
    CString m_name;
};

} // namespace

bool IsSameKey(HKEY rootA, const wchar_t* pathA, HKEY rootB, const wchar_t* pathB)
{
    if (IsSpelledSameOrBelow(rootA, pathA, rootB, pathB, false))
        return true;
    CMarker marker(rootB, pathB);
    return !marker.Name().IsEmpty() && marker.SeenAt(rootA, pathA);
}

bool IsSameOrBelowKey(HKEY root, const wchar_t* path, HKEY topRoot, const wchar_t* topPath)
{
    if (IsSpelledSameOrBelow(root, path, topRoot, topPath, true))
        return true;
    CMarker marker(topRoot, topPath);
    if (marker.Name().IsEmpty())
        return false;
    // The key itself, then each of its ancestors up to the root.
    CString current = path ? path : L"";
    for (;;) {
        if (marker.SeenAt(root, current))
            return true;
        if (current.IsEmpty())
            return false;
        const int slash = current.ReverseFind(L'\\');
        current = slash < 0 ? CString() : current.Left(slash);
    }
}

bool IsKeyIdentityMarker(const wchar_t* valueName)
{
    return valueName && wcsncmp(valueName, kMarkerPrefix, wcslen(kMarkerPrefix)) == 0;
}
