// CFloatingToolBar: a small owner-drawn child window that floats over its parent's client area:
// a drag grip of raised bars and a row of image buttons. Dragging the grip moves it (never out of
// the parent); a click on an enabled button sends the button's command to the parent as
// WM_COMMAND (lParam: the toolbar's window).
//   Create(parent, 106, ...) -> SetImageList -> AddButton ... -> SetPosition(-20, -20)
//   EnableButton / SetButtonImages as the state changes; KeepInside after each layout change
#pragma once

#include "shd/ShdObjArray.h"
#include "shd/ShdWnd.h"
#include "shd/String.h"

#include <windows.h>
#include <commctrl.h>

class CFloatingToolBar : public CShdWnd
{
public:
    struct SButtonInfo
    {
        UINT command = 0;
        int normalImage = -1;
        int pressedImage = -1;  // below 0: the normal image
        int disabledImage = -1; // below 0: the normal image
        CString text;           // kept, not drawn
        bool disabled = false;
    };

    enum EHit
    {
        HitNone = -1,
        HitGrip = -2
    };

    // Lengths in pixels at the screen's density, fixed when the toolbar is made.
    struct SMetrics
    {
        SMetrics();
        int leftBorder, barWidth, barGap, gapAfterGrip, gapBeforeButtons, buttonGap, rightBorder;
        int topBorder, gripInset, penWidth, imageOffsetX, imageOffsetY;
    };

    CFloatingToolBar() = default;
    ~CFloatingToolBar() override;

    // A hidden child window.
    bool Create(HWND parent, UINT id, int x, int y, int width, int height);
    // Takes ownership of images.
    void SetImageList(HIMAGELIST images);
    int AddButton(UINT command, int normalImage, int pressedImage, int disabledImage,
                  const wchar_t* text = nullptr);
    void SetButtonImages(int index, int normalImage, int pressedImage, int disabledImage);
    void EnableButton(int index, bool enable);
    // Negative coordinates count from the parent's right and bottom edges.
    void SetPosition(int x, int y);
    void KeepInside();

    int GetButtonCount() const { return m_buttons.GetSize(); }
    const SButtonInfo* GetButton(int index) const { return m_buttons.GetAt(index); }
    const SMetrics& GetMetrics() const { return m_metrics; }
    SIZE GetButtonSize() const { return m_buttonSize; }
    SIZE CalcSize() const;
    int GetGripWidth() const;
    // A button's frame in client coordinates, for a window of the computed size.
    RECT GetButtonRect(int index) const;
    // HitGrip, HitNone or a button index (client coordinates).
    int HitTest(POINT point) const;
    // The image a button shows now: disabled, else pressed (while pressed and inside), else normal.
    int GetShownImage(int index) const;

    bool IsDragging() const { return m_dragging; }
    int GetPressedButton() const { return m_pressed; }
    bool IsPressedInside() const { return m_pressedInside; }

    // Draws the whole client area into target through an off-screen bitmap.
    void Paint(HDC target);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Resize();
    void Repaint(bool now = false);
    void DrawFrame(HDC dc, const RECT& rect, bool sunken) const;
    void DrawContents(HDC dc, const RECT& client) const;
    POINT GetTopLeftInParent() const;
    void MoveTo(int x, int y);
    void DragTo(POINT client);
    void OnLButtonDown(POINT point);
    void OnMouseMove(POINT point);
    void OnLButtonUp(POINT point);
    void OnCaptureChanged();

    SMetrics m_metrics;
    int m_bars = 3;
    HIMAGELIST m_images = nullptr;
    SIZE m_buttonSize = {0, 0};
    CShdObjArray<SButtonInfo> m_buttons;
    POINT m_dragOrigin = {0, 0}; // top-left in parent coordinates when the drag began
    POINT m_dragCursor = {0, 0}; // cursor in screen coordinates when the drag began
    bool m_dragging = false;
    int m_pressed = -1;
    bool m_pressedInside = false;
};
