// CKeyNameWnd: the bar along the bottom of the main window showing the selected key's full
// path (or the find results' state text). A path wider than the bar loses its beginning to
// "...", so its most specific end stays visible.
#pragma once

#include "shd/ShdWnd.h"
#include "shd/String.h"

#include <windows.h>

class CKeyNameWnd : public CShdWnd
{
public:
    CKeyNameWnd() = default;
    ~CKeyNameWnd() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool Create(HWND parent, const RECT& rect, UINT id);
    // Root 0 and no path: "ROOT".
    void SetKey(HKEY root, const wchar_t* path);
    void SetText(const wchar_t* text);
    const CString& GetText() const { return m_text; }

    // The text as painted now: cut from the front to the bar's width.
    CString GetDisplayText() const;
    // text, or "..." and its end, measured in dc until it fits width (or nothing is left).
    static CString FitFromFront(HDC dc, const wchar_t* text, int width);

private:
    RECT GetTextRect() const;
    void OnPaint();

    HFONT m_font = nullptr;
    CString m_text;
};
