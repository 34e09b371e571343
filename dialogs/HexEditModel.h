// CHexEditModel: what the hex edit control edits, without a window: the bytes, the caret, the
// selection (anchor and end), the active column, the half-typed byte and the first visible line,
// with the edits and moves the keys, the stylus and the clipboard cause. The control gives it the
// lines' geometry (bytes per line, full and partly visible rows) after each measurement.
#pragma once

#include "registry/ShdBinaryBuffer.h"

#include <windows.h>

class CHexEditModel
{
public:
    enum class EMove
    {
        kLeft,
        kRight,
        kUp,
        kDown,
        kPageUp,
        kPageDown,
        kHome,
        kEnd
    };

    // Replaces the data; view, selection and caret go back to the start. False (and empty data)
    // when the copy cannot be allocated.
    bool SetBytes(const void* data, DWORD size);
    // False, with target emptied, when the copy cannot be allocated.
    bool GetBytes(CShdBinaryBuffer& target) const;
    const BYTE* GetData() const { return m_data.GetData(); }
    DWORD GetSize() const { return m_data.GetSize(); }

    // bytesPerLine 0 counts as 1.
    void SetLayout(DWORD bytesPerLine, DWORD fullRows, DWORD rows);
    DWORD GetBytesPerLine() const { return m_bytesPerLine; }
    DWORD GetFullRows() const { return m_fullRows; }
    DWORD GetRows() const { return m_rows; }

    DWORD GetCaret() const { return m_caret; }
    DWORD GetAnchor() const { return m_anchor; }
    DWORD GetSelectionEnd() const { return m_end; }
    bool HasSelection() const { return m_anchor != m_end; }
    // The selected bytes are [low, high), high clamped to the size.
    DWORD GetSelectionLow() const;
    DWORD GetSelectionHigh() const;
    bool IsAllSelected() const;
    DWORD GetTopOffset() const { return m_top; }
    bool IsHexColumnActive() const { return m_hexColumn; }
    bool IsLowNibblePending() const { return m_lowNibblePending; }

    void SetHexColumn(bool hexColumn) { m_hexColumn = hexColumn; }
    void ClearLowNibble() { m_lowNibblePending = false; }
    // Caret, anchor and end at one position; clears the half-typed byte.
    void SetCaret(DWORD caret);
    void SelectAll();
    // A stylus drag: begins at a position (clamped to the size) and moves the selection's end.
    void BeginSelection(DWORD position, bool hexColumn);
    void ExtendSelection(DWORD position);

    // A navigation key: collapses the selection and clears the half-typed byte, then moves the
    // caret and scrolls it into view. With stopAtDataEnds (a Smartphone, whose Up and Down leave
    // the control there) Up on the first line and Down on the last stay, returning false.
    bool Move(EMove move, bool stopAtDataEnds);
    // Backspace or Delete: the selection, else the byte before or at the caret. False when nothing
    // was there to delete.
    bool DeleteKey(bool backspace);
    bool DeleteSelection();
    // Typing inserts; false (nothing changed) when memory runs out.
    bool TypeHexDigit(BYTE digit);
    bool TypeByte(BYTE value);
    // Replaces the selection with the bytes, the caret before them; false, with nothing changed,
    // when memory runs out.
    bool Paste(const BYTE* bytes, DWORD count);

    // The view, in lines: the scroll bar's page and maximum (one line more than the data fills,
    // for the caret after the last byte).
    int GetPage() const;
    int GetScrollMaximum() const;
    int GetTopLine() const { return int(m_top / m_bytesPerLine); }
    // The line the scroll bar shows for the caret: the maximum on the data's last line.
    int GetScrollLineForCaret() const;
    void ScrollCaretIntoView();
    // Keeps the first line within the scroll range after a change of data or layout.
    void ClampTop();
    // Scrolls to a line (clamped); an empty selection's caret comes along into the page unless
    // the stylus is dragging. Returns the line scrolled to.
    int ScrollToLine(int line, bool dragging);

private:
    void CollapseSelection(bool toUpper);
    unsigned long long GetMoveTarget(EMove move) const;
    // Deletes the selection and keeps the caret within the data; returns the size.
    DWORD MakeRoomForTyping();
    bool Reserve(DWORD size);
    bool InsertBytes(const BYTE* bytes, DWORD count, DWORD at);
    void RemoveBytes(DWORD from, DWORD to);

    CShdBinaryBuffer m_data;
    DWORD m_bytesPerLine = 1;
    DWORD m_fullRows = 0;
    DWORD m_rows = 0;
    DWORD m_top = 0;
    DWORD m_anchor = 0;
    DWORD m_end = 0;
    DWORD m_caret = 0;
    bool m_hexColumn = true;
    bool m_lowNibblePending = false;
};
