// CHexEditCtrl: a child window that shows a byte buffer as a hex dump (offset, hex pairs,
// characters) and edits it in insert mode with keys, stylus, a context menu and the clipboard.
// The bytes, caret, selection and what edits do to them are CHexEditModel's; the window
// measures, paints and turns messages into the model's calls.
//
// For owners:
//   Create(parent, id, rect[, style])  a child window; keep WS_VSCROLL, the control scrolls by lines
//   CreateInPlaceOf(placeholder)        replaces a dialog's placeholder control: same rectangle,
//                                       id, style and tab order; the placeholder is destroyed
//   SetBytes(data, size), GetBytes(buffer)   the data lives in the control until copied out
//   SetBytesPerLine(n)                  0 follows the width; GetAutoBytesPerLine, GetRequiredWidth
//   SetReadOnly(true)                   navigation, selection, Copy and Select All only
//   Focus()                             gives the control the keyboard focus
//   ExecuteCommand(ECommand)            the context menu's commands (also WM_COMMAND with the id)
//   WM_PRINTCLIENT                      paints the client area into the DC given
// Sent to the parent: WM_COMMAND(MAKEWPARAM(id, kPasteFailed), control) when a paste fails;
// WM_NEXTDLGCTL(1 previous / 0 next, 0) to move the focus out (Tab at the column ends; Up and
// Down at the data's ends on Smartphone). Enter asks the shell for the tap-and-hold gesture: on
// the device it comes back as WM_CONTEXTMENU, the desktop stand-in sends the parent WM_NOTIFY
// GN_CONTEXTMENU instead (forward it as WM_CONTEXTMENU with -1, -1 to open the menu). A right
// click opens the menu on the desktop. In a dialog the control asks for arrows, Tab, characters
// and Enter (WM_GETDLGCODE), so Enter never reaches the dialog's default button; Escape does.
#pragma once

#include "dialogs/HexEditModel.h"
#include "registry/ShdBinaryBuffer.h"
#include "shd/ShdWnd.h"

#include <windows.h>

class CHexEditCtrl : public CShdWnd
{
public:
    enum ECommand
    {
        kCut = 1,
        kCopy = 2,
        kPasteHex = 3,
        kPasteText = 4,
        kPasteUnicode = 5,
        kClear = 6,
        kSelectAll = 7
    };
    // Notification code of WM_COMMAND to the parent when a paste fails.
    static const WORD kPasteFailed = 1;
    static const UINT_PTR kAutoScrollTimer = 101;
    static const UINT kAutoScrollPeriod = 200;

    CHexEditCtrl() = default;
    ~CHexEditCtrl() override;

    bool Create(HWND parent, UINT id, const RECT& rect,
                DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER);
    bool CreateInPlaceOf(HWND placeholder);

    // Replaces the data; the view, selection and caret go back to the start. False (and empty
    // data) when the copy cannot be allocated.
    bool SetBytes(const void* data, DWORD size);
    // False, with target emptied, when the copy cannot be allocated.
    bool GetBytes(CShdBinaryBuffer& target) const { return m_model.GetBytes(target); }
    const BYTE* GetData() const { return m_model.GetData(); }
    DWORD GetSize() const { return m_model.GetSize(); }

    void SetBytesPerLine(DWORD count);
    DWORD GetFixedBytesPerLine() const { return m_fixedBytesPerLine; }
    // The bytes per line in use: the fixed count, else the measured one, at least 1.
    DWORD GetBytesPerLine() const;
    // Measures first when nothing has been measured yet; may still be 0 for a very narrow window.
    DWORD GetAutoBytesPerLine();
    // The window width the fixed bytes per line need; 0 when none is fixed. Data of more than
    // 64 KiB widens the offsets by a digit each 16 times more, so ask after SetBytes.
    int GetRequiredWidth() const;

    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool IsReadOnly() const { return m_readOnly; }
    void Focus() const;
    bool ExecuteCommand(UINT command);

    // State, as the user sees it.
    const CHexEditModel& GetModel() const { return m_model; }
    DWORD GetCaret() const { return m_model.GetCaret(); }
    DWORD GetAnchor() const { return m_model.GetAnchor(); }
    DWORD GetSelectionEnd() const { return m_model.GetSelectionEnd(); }
    bool HasSelection() const { return m_model.HasSelection(); }
    DWORD GetTopOffset() const { return m_model.GetTopOffset(); }
    bool IsHexColumnActive() const { return m_model.IsHexColumnActive(); }
    bool IsLowNibblePending() const { return m_model.IsLowNibblePending(); }
    DWORD GetFullRows() const { return m_model.GetFullRows(); }
    DWORD GetRows() const { return m_model.GetRows(); }
    int GetLineHeight() const { return m_lineHeight; }

    // Clipboard text to bytes: hex pairs (white space separates groups), ANSI text (one byte a
    // character) and Unicode text (UTF-16 little-endian). False when the text does not convert.
    static bool HexTextToBytes(const wchar_t* text, size_t length, CShdBinaryBuffer& bytes);
    static bool AnsiTextToBytes(const wchar_t* text, size_t length, CShdBinaryBuffer& bytes);
    static bool UnicodeTextToBytes(const wchar_t* text, size_t length, CShdBinaryBuffer& bytes);

    // Where a client point falls.
    enum class EColumn
    {
        kOutside,
        kOffset,
        kHex,
        kChar
    };
    struct SHit
    {
        EColumn column = EColumn::kOutside;
        DWORD position = 0;
    };
    SHit HitTest(int x, int y, EColumn lockedTo = EColumn::kOutside) const;

    // Left edges of the columns, for the owner's layout and for tests.
    int GetHexColumnX() const;
    int GetCharColumnX() const;
    int GetByteCellWidth() const { return m_byteWidth + m_gapWidth; }
    int GetGapWidth() const { return m_gapWidth; }
    int GetCharCellWidth() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static const CClass* GetClass();

    // Messages (HexEditCtrl.cpp).
    UINT OnGetDlgCode(const MSG* message) const;
    LRESULT OnCreate();
    void OnSize();
    void OnDestroy();
    void OnFocus(bool gained);
    void OnVScroll(int code);
    bool GetScrollTarget(int code, int& position) const;

    // Margins and gaps, scaled from 96 dpi.
    static int LeftMargin();
    static int CharGap();
    static int TopMargin();
    static int ColumnGap();

    // Metrics and scrolling (HexEditCtrl.cpp).
    void Measure();
    void ResetMetrics();
    void UpdateModelLayout();
    int GetClientWidth() const;
    int GetClientHeight() const;
    DWORD GetOffsetDigits() const;
    void RemeasureIfOffsetDigitsChanged();
    void RebuildScrollBar();
    void SetScrollPosition(int position);
    void ShowCaretLine();
    void Refresh();
    void Repaint();

    // Painting (HexEditPaint.cpp).
    void OnPaint();
    void PaintClient(HDC target) const;
    void PaintLines(HDC dc, int width, int height) const;
    void PaintLine(HDC dc, DWORD lineStart, int y) const;
    void PaintSelection(HDC dc, DWORD lineStart, int y) const;
    void PaintCaretFrame(HDC dc, DWORD lineStart, int y) const;
    void PaintCells(HDC dc, DWORD lineStart, int y) const;
    void PaintRun(HDC dc, DWORD lineStart, DWORD first, DWORD last, int y) const;
    COLORREF GetMarkColor(bool hexColumn) const;

    // Keys and characters (HexEditInput.cpp).
    void OnKeyDown(UINT key);
    void OnChar(wchar_t ch);
    void NavigationKey(UINT key);
    void DeletionKey(UINT key);
    void TabKey();
    void EnterKey();
    void DeleteSelection();
    void MoveFocusOut(bool previous) const;

    // Stylus (HexEditInput.cpp).
    void OnLButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnCaptureChanged();
    void OnTimer(UINT_PTR id);
    void ApplyDragPoint(int x, int y);
    void EndDrag();
    void SetAutoScroll(int direction);

    // Context menu and clipboard (HexEditClipboard.cpp).
    void OnContextMenu(int x, int y);
    void UpdateMenuItems(HMENU menu) const;
    void Copy() const;
    void Paste(UINT command);
    bool ReadClipboardBytes(UINT command, CShdBinaryBuffer& bytes) const;
    void NotifyPasteFailed() const;

    HFONT m_font = nullptr;
    DWORD m_autoBytesPerLine = 0;
    int m_lineHeight = 0;
    int m_offsetWidth = 0;
    int m_byteWidth = 0;
    int m_gapWidth = 0;
    int m_charWidth = 0;
    DWORD m_measuredDigits = 4;
    DWORD m_fixedBytesPerLine = 0;

    CHexEditModel m_model;

    bool m_dragging = false;
    POINT m_lastPoint = {0, 0};
    bool m_autoScroll = false;
    int m_autoScrollDirection = 0;
    // What the scroll bar was last given.
    int m_scrollMaximum = -1;
    int m_scrollPage = -1;
    int m_scrollPosition = -1;
    bool m_menuOpen = false;
    HMENU m_menu = nullptr;
    bool m_readOnly = false;
};
