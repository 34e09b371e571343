// The search walk, the step and its worker thread.
#include "search/RegFinder.h"

#include "registry/RootKeys.h"
#include "registry/ShdRegKey.h"

namespace {

const wchar_t kOwnKeyPath[] = L"SOFTWARE\\Ordwyn\\Keyhaven";

// Splits "head\rest" at the first backslash; rest is "" without one.
void SplitFirst(const wchar_t* path, CString& head, CString& rest)
{
    const wchar_t* slash = wcschr(path, L'\\');
    if (!slash) {
        head = path;
        rest.Empty();
        return;
    }
    head = CString(path, static_cast<int>(slash - path));
    rest = slash + 1;
}

bool NameLess(const CString& a, const CString& b)
{
    return _wcsicmp(a, b) < 0;
}

int RootIndex(DWORD root)
{
    for (int i = 0; i < 4; ++i) {
        if (RootKeyValue(kRootKeys[i]) == root)
            return i;
    }
    return -1;
}

// Walks the items of one key by index (read(index) reads one, true when read). An item that
// cannot be read is stepped over; the walk ends at the registry's end of the list, or, once
// items have failed, at the count the key reports, so a key that fails every read still ends.
template <class Read> void EnumerateItems(const CShdRegKey& key, bool values, Read read)
{
    bool counted = false;
    DWORD count = 0;
    for (DWORD index = 0;; ++index) {
        if (counted && index >= count)
            return;
        if (read(index))
            continue;
        if (GetLastError() == ERROR_NO_MORE_ITEMS)
            return;
        if (!counted) {
            DWORD subKeys = 0, valueCount = 0;
            if (!key.QueryCounts(subKeys, valueCount))
                return;
            counted = true;
            count = values ? valueCount : subKeys;
        }
    }
}

} // namespace

// State of one walk through a root: the resume position (consumed while descending) and the
// match found (built up while returning).
struct CRegFinder::SWalk
{
    bool resuming = false;
    CString resumePath;
    CString resumeValue;
    bool resumeIsValue = false;
    CString foundPath;
    CString foundValue;
    bool foundIsValue = false;
};

CRegFinder::CRegFinder()
{
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Reset();
}

CRegFinder::~CRegFinder()
{
    Cancel();
    CloseHandle(m_stop);
    CloseHandle(m_done);
}

void CRegFinder::Reset()
{
    m_optionsSet = false;
    m_options = SSearchOptions();
    m_start = SStartPosition();
    m_patterns.Clear();
    m_position = SSearchPosition();
}

void CRegFinder::SetOptions(const SSearchOptions& options, const SStartPosition& start)
{
    m_options = options;
    m_start = start;
    m_patterns.Prepare(options);
    m_position = SSearchPosition();
    m_position.kind = StateReady;
    m_position.firstPass = true;
    m_optionsSet = true;
}

DWORD CRegFinder::StartRoot() const
{
    return m_start.root ? m_start.root : RootKeyValue(HKEY_CLASSES_ROOT);
}

bool CRegFinder::SetPosition(DWORD root, const wchar_t* keyPath, const wchar_t* valueName)
{
    if (!m_optionsSet || m_thread || (m_position.kind != StateAtKey && m_position.kind != StateAtValue))
        return false;
    if (!root)
        root = RootKeyValue(HKEY_CLASSES_ROOT);
    CString path(keyPath ? keyPath : L"");
    if (root != m_position.root || path.CompareNoCase(m_position.keyPath) != 0) {
        int order = ComparePaths(path, m_start.keyPath);
        m_position.firstPass = root == StartRoot() && (order > 0 || (order == 0 && valueName));
        m_position.root = root;
        m_position.keyPath = path;
    }
    m_position.valueName = valueName ? valueName : L"";
    m_position.kind = valueName ? StateAtValue : StateAtKey;
    return true;
}

bool CRegFinder::Start()
{
    if (!m_optionsSet || m_thread)
        return false;
    ResetEvent(m_stop);
    ResetEvent(m_done);
    m_stepPosition = m_position;
    m_thread = CreateThread(nullptr, 32768, ThreadProc, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    return m_thread != nullptr;
}

bool CRegFinder::GetResult(SSearchPosition& result)
{
    if (!m_thread)
        return false;
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
    // A cancelled step leaves the position where it was, also when it had found a match.
    if (Stopped())
        return false;
    m_position = m_stepPosition;
    if (!m_optionsSet || m_position.kind == StateFinished)
        return false;
    result = m_position;
    return true;
}

void CRegFinder::Cancel()
{
    if (!m_thread)
        return;
    SetEvent(m_stop);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

bool CRegFinder::IsFinished() const
{
    return !m_optionsSet || m_position.kind == StateFinished;
}

bool CRegFinder::IsOwnKey(DWORD root, const CString& path)
{
    if (root != RootKeyValue(HKEY_LOCAL_MACHINE))
        return false;
    int length = static_cast<int>(wcslen(kOwnKeyPath));
    if (_wcsnicmp(path, kOwnKeyPath, length) != 0 || path.GetLength() < length)
        return false;
    return path.GetLength() == length || path[length] == L'\\';
}

int CRegFinder::ComparePaths(const wchar_t* a, const wchar_t* b)
{
    if (!a || !b)
        return a ? 1 : (b ? -1 : 0);
    for (;;) {
        if (!*a || !*b)
            return *a ? 1 : (*b ? -1 : 0);
        const wchar_t* endA = wcschr(a, L'\\');
        const wchar_t* endB = wcschr(b, L'\\');
        size_t lengthA = endA ? static_cast<size_t>(endA - a) : wcslen(a);
        size_t lengthB = endB ? static_cast<size_t>(endB - b) : wcslen(b);
        int order = _wcsnicmp(a, b, lengthA < lengthB ? lengthA : lengthB);
        if (order)
            return order;
        if (lengthA != lengthB)
            return lengthA < lengthB ? -1 : 1;
        a += lengthA + (endA ? 1 : 0);
        b += lengthB + (endB ? 1 : 0);
        if (!endA || !endB)
            return endA ? 1 : (endB ? -1 : 0);
    }
}

DWORD WINAPI CRegFinder::ThreadProc(void* parameter)
{
    CRegFinder* finder = static_cast<CRegFinder*>(parameter);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    bool ownKey = false;
    while (finder->RunStep(ownKey) && ownKey && !finder->Stopped()) {
    }
    if (!finder->Stopped())
        SetEvent(finder->m_done);
    return 0;
}

// One step from the current position; true when it ended on a match. The position and state
// change only when the step is not cancelled.
bool CRegFinder::RunStep(bool& ownKey)
{
    ownKey = false;
    if (!m_optionsSet || m_stepPosition.kind == StateFinished)
        return false;
    SSearchPosition position = m_stepPosition;
    if (position.kind == StateReady) {
        position.root = StartRoot();
        position.keyPath = m_start.keyPath;
        position.valueName = m_start.hasValue ? m_start.valueName : CString();
        position.kind = m_start.hasValue ? StateAtValue : StateAtKey;
        position.firstPass = true;
    }
    if (Stopped())
        return false;
    SWalk walk;
    walk.resuming = true;
    walk.resumePath = position.keyPath;
    walk.resumeValue = position.valueName;
    walk.resumeIsValue = position.kind == StateAtValue;
    bool within = m_start.onlyWithinStartKey && m_start.root;
    const wchar_t* subtree = within ? m_start.keyPath.c_str() : nullptr;
    DWORD root = position.root;
    for (;;) {
        bool applyStop = !position.firstPass && m_start.wrapAround && root == StartRoot();
        const wchar_t* stopPath = applyStop ? m_start.keyPath.c_str() : nullptr;
        const wchar_t* stopValue = applyStop && m_start.hasValue ? m_start.valueName.c_str() : nullptr;
        if (SearchKey(RootKeyFromValue(root), CString(), walk, subtree, stopPath, stopValue)) {
            position.root = root;
            position.keyPath = walk.foundPath;
            position.valueName = walk.foundValue;
            position.kind = walk.foundIsValue ? StateAtValue : StateAtKey;
            if (Stopped())
                return false;
            m_stepPosition = position;
            ownKey = IsOwnKey(root, position.keyPath);
            return true;
        }
        if (Stopped())
            return false;
        int index = RootIndex(root);
        bool last = index < 0 || (index == 3 && !(m_start.wrapAround && !m_start.onlyWithinStartKey));
        if (within || applyStop || last) {
            m_stepPosition = position;
            m_stepPosition.kind = StateFinished;
            return false;
        }
        position.firstPass = false;
        walk = SWalk();
        root = RootKeyValue(kRootKeys[(index + 1) % 4]);
    }
}

bool CRegFinder::SearchKey(HKEY parent, const CString& name, SWalk& walk, const wchar_t* subtree,
                           const wchar_t* stopPath, const wchar_t* stopValue)
{
    bool above = subtree && *subtree;
    CString subtreeHead, subtreeRest;
    if (above)
        SplitFirst(subtree, subtreeHead, subtreeRest);
    bool isStopKey = stopPath && !*stopPath;
    if (isStopKey && !stopValue)
        return false;
    bool hasStopHead = stopPath && *stopPath;
    CString stopHead, stopRest;
    if (hasStopHead)
        SplitFirst(stopPath, stopHead, stopRest);

    if (!above && !walk.resuming && m_options.keyNames && m_patterns.NameMatches(name)) {
        walk.foundPath = name;
        walk.foundValue.Empty();
        walk.foundIsValue = false;
        return true;
    }
    if (walk.resuming && !walk.resumeIsValue && walk.resumePath.IsEmpty())
        walk.resuming = false; // everything inside this key lies after the position

    CShdRegKey key(false);
    if (!key.Open(parent, name))
        return false;
    bool resumeInValues = walk.resuming && walk.resumeIsValue && walk.resumePath.IsEmpty();
    if (!above && (m_options.valueNames || m_options.valueData) && (!walk.resuming || resumeInValues)) {
        if (SearchValues(key, name, walk, isStopKey ? stopValue : nullptr))
            return true;
    }
    if (isStopKey)
        return false;
    if (resumeInValues)
        walk.resuming = false; // also when the resume value no longer exists
    if (Stopped())
        return false;

    CShdObjArray<CString> subkeys;
    bool outOfMemory = false;
    EnumerateItems(key, false, [&](DWORD index) {
        CString subkey;
        if (!key.EnumKey260(index, subkey))
            return false;
        outOfMemory = outOfMemory || subkeys.Add(subkey) < 0;
        return true;
    });
    if (outOfMemory)
        return false;
    subkeys.Sort(NameLess);
    CString resumeHead;
    if (walk.resuming) {
        CString rest;
        SplitFirst(walk.resumePath, resumeHead, rest);
        walk.resumePath = rest;
    }
    for (int i = 0; i < subkeys.GetSize(); ++i) {
        const CString& child = subkeys[i];
        if (walk.resuming) {
            // The key resumed in may have gone (deleted or renamed since): the walk then goes
            // on at the first name after it.
            int order = _wcsicmp(child, resumeHead);
            if (order < 0)
                continue;
            if (order > 0)
                walk.resuming = false;
        }
        if (above && _wcsicmp(child, subtreeHead) != 0)
            continue;
        const wchar_t* childStop = nullptr;
        if (hasStopHead) {
            int order = _wcsicmp(child, stopHead);
            if (order > 0)
                break;
            if (order == 0)
                childStop = stopRest.c_str();
        }
        if (SearchKey(key.GetHandle(), child, walk, above ? subtreeRest.c_str() : nullptr, childStop,
                      stopValue)) {
            if (!name.IsEmpty())
                walk.foundPath = name + L"\\" + walk.foundPath;
            return true;
        }
        walk.resuming = false;
        if (childStop || Stopped())
            return false;
    }
    return false;
}

// Tests the values of one key in name order. stopValue is set only at the stop key.
bool CRegFinder::SearchValues(const CShdRegKey& key, const CString& name, SWalk& walk,
                              const wchar_t* stopValue)
{
    CShdObjArray<SValueItem> values;
    bool outOfMemory = false;
    EnumerateItems(key, true, [&](DWORD index) {
        if (!values.SetSize(values.GetSize() + 1)) {
            outOfMemory = true;
            SetLastError(ERROR_NO_MORE_ITEMS); // ends the walk: the key is given up below
            return false;
        }
        SValueItem& item = values[values.GetSize() - 1];
        bool read = m_options.valueData ? key.EnumValue(index, item.name, item.type, item.data)
                                        : key.EnumValueName260(index, item.name, item.type);
        if (!read) {
            DWORD error = GetLastError();
            values.SetSize(values.GetSize() - 1);
            SetLastError(error);
        }
        return read;
    });
    if (outOfMemory)
        return false;
    values.Sort([](const SValueItem& a, const SValueItem& b) { return _wcsicmp(a.name, b.name) < 0; });
    for (int i = 0; i < values.GetSize(); ++i) {
        const SValueItem& value = values[i];
        if (stopValue && _wcsicmp(value.name, stopValue) >= 0)
            break;
        if (walk.resuming) {
            // The value resumed at is not tested again; when it has gone, the first value
            // after it is the first one tested.
            int order = _wcsicmp(value.name, walk.resumeValue);
            if (order <= 0) {
                walk.resuming = order < 0;
                continue;
            }
            walk.resuming = false;
        }
        if (ValueMatches(value)) {
            walk.foundPath = name;
            walk.foundValue = value.name;
            walk.foundIsValue = true;
            return true;
        }
    }
    return false;
}

bool CRegFinder::ValueMatches(const SValueItem& value) const
{
    if (m_options.valueNames && m_patterns.NameMatches(value.name))
        return true;
    return m_options.valueData &&
           m_patterns.DataMatches(value.type, value.data.GetData(), value.data.GetSize());
}
