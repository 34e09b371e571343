// CTransparentWindow: a window that draws and erases nothing, used to cover a dialog while its
// controls are rearranged. CResizeNoFlickering puts one over a parent's client area for its
// own lifetime; when it goes, the parent repaints the area once.
#pragma once

#include "shd/ShdWnd.h"

class CTransparentWindow : public CShdWnd
{
public:
    CTransparentWindow();
    ~CTransparentWindow() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool Create(DWORD exStyle, DWORD style, int x, int y, int width, int height, HWND parent, UINT id,
                HINSTANCE instance);

    static const wchar_t kClassName[];

private:
    static CClass& GetClass();
};

class CResizeNoFlickering
{
public:
    CResizeNoFlickering() = default;
    virtual ~CResizeNoFlickering() = default;
    CResizeNoFlickering(const CResizeNoFlickering&) = delete;
    CResizeNoFlickering& operator=(const CResizeNoFlickering&) = delete;

    // Replaces an earlier cover.
    bool Cover(HWND parent, HINSTANCE instance);
    HWND GetCoverWindow() const { return m_cover.GetHwnd(); }

private:
    CTransparentWindow m_cover;
};
