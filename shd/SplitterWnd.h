// CSplitterWnd: the bar between two panes. It resizes nothing itself: a drag with the stylus
// (or a move with the arrow keys while it has the focus) is reported to the notification
// target as SendMessageW(target, message, phase, MAKELPARAM(dx, dy)): phase 1 when the move
// begins, 2 while the pointer moves, 3 with the final offset. While dragging, a gray feedback
// bar (CDragWnd) follows the pointer. A horizontal bar moves vertically, a vertical one
// horizontally; only the offset along the moving axis is filled in.
#pragma once

#include "shd/ShdWnd.h"

class CSplitterWnd : public CShdWnd
{
public:
    enum EPhase
    {
        kBegin = 1,
        kMove = 2,
        kEnd = 3
    };

    class CDragWnd : public CShdWnd
    {
    public:
        ~CDragWnd() override;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    };

    CSplitterWnd() = default;
    ~CSplitterWnd() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool Create(bool horizontal, DWORD style, int x, int y, int width, int height, HWND parent, UINT id,
                HINSTANCE instance);
    void SetHorizontal(bool horizontal) { m_horizontal = horizontal; }
    bool IsHorizontal() const { return m_horizontal; }
    void SetNotify(HWND target, UINT message);
    // Moves the bar along its moving axis within the parent, without resizing it.
    void MoveBy(int dx, int dy);

    HWND GetDragHwnd() const { return m_drag.GetHwnd(); }
    bool IsDragging() const { return m_dragging; }

private:
    LRESULT OnCreate();
    void OnPaint();
    void OnButtonDown(POINT point);
    void OnMouseMove(POINT point);
    void OnButtonUp(POINT point);
    void OnCaptureChanged();
    void OnKeyDown(UINT key);
    void EndMove();
    void Notify(EPhase phase, int offset);
    // The offset from the start along the moving axis.
    int GetOffset() const;
    RECT GetRectInParent() const;
    void Repaint();

    CDragWnd m_drag;
    bool m_horizontal = true;
    HWND m_target = nullptr;
    UINT m_message = 0;
    bool m_dragging = false;
    POINT m_start = {};
    POINT m_current = {};
};
