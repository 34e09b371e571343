// Window objects: binding, the dispatch thunks, window classes and text utilities.
#include "shd/ShdWnd.h"

#include "platform/AygShell.h"
#include "shd/CriticalSectionLock.h"

#include <cwchar>
#include <vector>

const wchar_t CShdWnd::kDefaultClassName[] = L"{6433D18B-57B6-4E29-8AB3-7A91EAC34B76}";
const wchar_t CShdWnd::kObjectProperty[] = L"{8246859B-2E0D-4A43-8C9F-F04A3F059952}";

namespace {

// The windows bound through the object property, kept in this process too: under Wine a window
// property lives in the server, so reading it for every message (a tree inserting thousands of
// items gets one for each) would cost a server round trip each time.
class CPropertyBindings
{
public:
    CPropertyBindings() { InitializeCriticalSection(&m_lock); }
    ~CPropertyBindings() { DeleteCriticalSection(&m_lock); }
    CPropertyBindings(const CPropertyBindings&) = delete;
    CPropertyBindings& operator=(const CPropertyBindings&) = delete;

    void Add(HWND window, CShdWnd* object)
    {
        CCriticalSectionLock lock(m_lock);
        m_bindings.push_back({window, object});
    }
    void Remove(HWND window)
    {
        CCriticalSectionLock lock(m_lock);
        for (auto it = m_bindings.begin(); it != m_bindings.end(); ++it) {
            if (it->window == window) {
                m_bindings.erase(it);
                return;
            }
        }
    }
    CShdWnd* Find(HWND window)
    {
        CCriticalSectionLock lock(m_lock);
        for (const SBinding& binding : m_bindings) {
            if (binding.window == window)
                return binding.object;
        }
        return nullptr;
    }

private:
    struct SBinding
    {
        HWND window;
        CShdWnd* object;
    };
    CRITICAL_SECTION m_lock;
    std::vector<SBinding> m_bindings;
};

CPropertyBindings& PropertyBindings()
{
    static CPropertyBindings bindings;
    return bindings;
}

} // namespace

CShdWnd::CClass::~CClass()
{
    Unregister();
}

bool CShdWnd::CClass::Register(const wchar_t* name, int extraBytes, HBRUSH background)
{
    Unregister();
    if (!name)
        return false;
    size_t bytes = (wcslen(name) + 1) * sizeof(wchar_t);
    m_name = static_cast<wchar_t*>(LocalAlloc(LMEM_FIXED, bytes));
    if (!m_name)
        return false;
    memcpy(m_name, name, bytes);
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = m_name;
    windowClass.lpfnWndProc = extraBytes == 0 ? ExtraBytesProc : PropertyProc;
    windowClass.cbWndExtra = extraBytes == 0 ? int(sizeof(LONG_PTR)) : extraBytes;
    m_registered = RegisterClassW(&windowClass) != 0;
    return m_registered;
}

void CShdWnd::CClass::Unregister()
{
    if (m_registered)
        UnregisterClassW(m_name, GetModuleHandleW(nullptr));
    m_registered = false;
    if (m_name)
        LocalFree(m_name);
    m_name = nullptr;
}

CShdWnd::~CShdWnd()
{
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    if (m_hwnd)
        Detach();
    m_hwnd = nullptr;
}

LRESULT CShdWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_previousProc)
        return CallWindowProcW(m_previousProc, m_hwnd, message, wParam, lParam);
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

const CShdWnd::CClass* CShdWnd::GetDefaultClass()
{
    static CClass defaultClass;
    if (!defaultClass.IsRegistered())
        defaultClass.RegisterDefault(kDefaultClassName);
    return &defaultClass;
}

bool CShdWnd::Create(DWORD exStyle, const CClass* windowClass, const wchar_t* caption, DWORD style, int x,
                     int y, int width, int height, HWND parent, UINT id, HINSTANCE instance)
{
    if (m_hwnd)
        return false;
    if (!windowClass)
        windowClass = GetDefaultClass();
    if (!windowClass->IsRegistered())
        return false;
    HMENU menuOrId = (style & WS_CHILD) ? reinterpret_cast<HMENU>(UINT_PTR(id)) : nullptr;
    HWND window = CreateWindowExW(exStyle, windowClass->GetName(), caption ? caption : L"", style, x, y,
                                  width, height, parent, menuOrId, instance, this);
    // The object was bound at WM_CREATE; a window that failed there is gone already.
    if (!window)
        m_hwnd = nullptr;
    return m_hwnd != nullptr;
}

bool CShdWnd::Attach(HWND window)
{
    if (m_hwnd || !IsWindow(window))
        return false;
    WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (current == PropertyProc || current == ExtraBytesProc || GetPropW(window, kObjectProperty))
        return false;
    m_previousProc = current;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PropertyProc));
    if (!SetPropW(window, kObjectProperty, this)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        m_previousProc = nullptr;
        return false;
    }
    m_hwnd = window;
    m_binding = EBinding::kProperty;
    PropertyBindings().Add(window, this);
    return true;
}

void CShdWnd::Detach()
{
    if (m_hwnd && IsWindow(m_hwnd))
        Unbind();
    m_hwnd = nullptr;
    m_previousProc = nullptr;
    m_binding = EBinding::kNone;
}

void CShdWnd::Destroy()
{
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
}

void CShdWnd::Unbind()
{
    if (m_previousProc) {
        SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        RemovePropW(m_hwnd, kObjectProperty);
        PropertyBindings().Remove(m_hwnd);
    } else if (m_binding == EBinding::kExtraBytes) {
        SetWindowLongPtrW(m_hwnd, 0, 0);
    } else if (m_binding == EBinding::kProperty) {
        RemovePropW(m_hwnd, kObjectProperty);
        PropertyBindings().Remove(m_hwnd);
    }
    m_previousProc = nullptr;
    m_binding = EBinding::kNone;
    m_hwnd = nullptr;
}

LRESULT CALLBACK CShdWnd::ExtraBytesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CShdWnd* object = nullptr;
    if (message == WM_CREATE) {
        object = static_cast<CShdWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(object));
        if (object) {
            object->m_binding = EBinding::kExtraBytes;
            object->m_hwnd = window;
        }
    } else {
        object = reinterpret_cast<CShdWnd*>(GetWindowLongPtrW(window, 0));
    }
    return Dispatch(object, window, message, wParam, lParam);
}

LRESULT CALLBACK CShdWnd::PropertyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CShdWnd* object = PropertyBindings().Find(window);
    if (!object)
        object = static_cast<CShdWnd*>(GetPropW(window, kObjectProperty));
    if (message == WM_CREATE && !object) {
        object = static_cast<CShdWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (object && SetPropW(window, kObjectProperty, object)) {
            object->m_binding = EBinding::kProperty;
            object->m_hwnd = window;
            PropertyBindings().Add(window, object);
        } else {
            object = nullptr;
        }
    }
    return Dispatch(object, window, message, wParam, lParam);
}

LRESULT CShdWnd::Dispatch(CShdWnd* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!object || object->m_hwnd != window)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_DESTROY && object->m_hwnd == window)
        object->Unbind();
    return result;
}

bool CShdWnd::QueryWindowText(HWND window, CString& text)
{
    text.Empty();
    if (!IsWindow(window))
        return false;
    int length = GetWindowTextLengthW(window) + 32;
    int copied = GetWindowTextW(window, text.GetBuffer(length), length + 1);
    text.ReleaseBuffer(copied > 0 ? copied : 0);
    return true;
}

CString CShdWnd::QueryWindowText(HWND window, const wchar_t* defaultText)
{
    CString text;
    return QueryWindowText(window, text) ? text : CString(defaultText);
}

bool CShdWnd::QueryClassName(HWND window, CString& name)
{
    name.Empty();
    if (!IsWindow(window))
        return false;
    for (int size = 260;; size = size * 3 / 2 + 32) {
        int copied = GetClassNameW(window, name.GetBuffer(size), size);
        if (copied <= 0) {
            name.ReleaseBuffer(0);
            return false;
        }
        name.ReleaseBuffer(copied);
        // A name that filled the buffer may have been cut.
        if (copied < size - 1)
            return true;
    }
}

CString CShdWnd::QueryClassName(HWND window, const wchar_t* defaultName)
{
    CString name;
    return QueryClassName(window, name) ? name : CString(defaultName);
}

HWND CShdWnd::CreateMenuBar(HWND window, HINSTANCE instance, UINT id, bool fromResource)
{
    SHMENUBARINFO info = {};
    info.cbSize = sizeof(info);
    info.hwndParent = window;
    info.dwFlags = fromResource ? 0 : SHCMBF_HMENU;
    info.nToolBarId = id;
    info.hInstRes = instance;
    return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
}
