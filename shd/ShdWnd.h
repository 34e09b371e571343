// CShdWnd: a window object bound to a platform window, for windows it creates (Create) and for
// controls created elsewhere that it subclasses (Attach). One thunk finds the object (window
// extra bytes, or a window property) and calls the virtual WindowProc, whose default passes the
// message on (previous procedure of a subclassed window, else DefWindowProcW). After WM_DESTROY
// the binding is undone and the handle forgotten; the object itself belongs to its owner.
// CShdWnd::CClass registers a window class whose windows dispatch this way.
#pragma once

#include "shd/String.h"

#include <windows.h>

class CShdWnd
{
public:
    class CClass
    {
    public:
        CClass() = default;
        virtual ~CClass();
        CClass(const CClass&) = delete;
        CClass& operator=(const CClass&) = delete;

        // extraBytes 0: the object lives in the class's own extra bytes; otherwise the class gets
        // that many extra bytes and the object is kept in a window property.
        bool Register(const wchar_t* name, int extraBytes, HBRUSH background);
        bool RegisterDefault(const wchar_t* name) { return Register(name, 0, GetWhiteBrush()); }
        void Unregister();
        bool IsRegistered() const { return m_registered; }
        const wchar_t* GetName() const { return m_name ? m_name : L""; }

    private:
        static HBRUSH GetWhiteBrush() { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }

        bool m_registered = false;
        wchar_t* m_name = nullptr;
    };

    CShdWnd() = default;
    virtual ~CShdWnd();
    CShdWnd(const CShdWnd&) = delete;
    CShdWnd& operator=(const CShdWnd&) = delete;

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // windowClass nullptr: the framework's default class, registered on first use.
    bool Create(DWORD exStyle, const CClass* windowClass, const wchar_t* caption, DWORD style, int x, int y,
                int width, int height, HWND parent, UINT id, HINSTANCE instance);
    // Subclasses a window created elsewhere; refuses one that is bound or subclassed already.
    bool Attach(HWND window);
    // Gives a subclassed window its procedure back; unbinds a created one. Forgets the handle.
    void Detach();
    // DestroyWindow while bound.
    void Destroy();

    HWND GetHwnd() const { return m_hwnd; }
    bool IsSubclassed() const { return m_previousProc != nullptr; }

    static bool QueryWindowText(HWND window, CString& text);
    static CString QueryWindowText(HWND window, const wchar_t* defaultText);
    static bool QueryClassName(HWND window, CString& name);
    static CString QueryClassName(HWND window, const wchar_t* defaultName);

    // SHCreateMenuBar for window: menu id as a menu, or as a soft-key bar resource.
    static HWND CreateMenuBar(HWND window, HINSTANCE instance, UINT id, bool fromResource);

    static const wchar_t kDefaultClassName[];
    static const wchar_t kObjectProperty[];

protected:
    HWND m_hwnd = nullptr;

private:
    enum class EBinding
    {
        kNone,
        kExtraBytes,
        kProperty
    };

    static LRESULT CALLBACK ExtraBytesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PropertyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Dispatch(CShdWnd* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static const CClass* GetDefaultClass();
    void Unbind();

    WNDPROC m_previousProc = nullptr;
    EBinding m_binding = EBinding::kNone;
};
