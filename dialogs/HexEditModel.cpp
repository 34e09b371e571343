// The hex edit control's byte model: data, caret, selection, half-typed byte and first visible line.
#include "dialogs/HexEditModel.h"

#include <cstring>

namespace {

DWORD Min(DWORD a, DWORD b)
{
    return a < b ? a : b;
}

} // namespace

bool CHexEditModel::SetBytes(const void* data, DWORD size)
{
    bool copied = (data || size == 0) && m_data.Assign(data, size);
    if (!copied)
        m_data.Free();
    m_top = m_anchor = m_end = m_caret = 0;
    m_lowNibblePending = false;
    return copied;
}

bool CHexEditModel::GetBytes(CShdBinaryBuffer& target) const
{
    if (target.Assign(m_data.GetData(), m_data.GetSize()))
        return true;
    target.Free();
    return false;
}

void CHexEditModel::SetLayout(DWORD bytesPerLine, DWORD fullRows, DWORD rows)
{
    m_bytesPerLine = bytesPerLine ? bytesPerLine : 1;
    m_fullRows = fullRows;
    m_rows = rows;
}

DWORD CHexEditModel::GetSelectionLow() const
{
    return Min(m_anchor, m_end);
}

DWORD CHexEditModel::GetSelectionHigh() const
{
    return Min(m_anchor < m_end ? m_end : m_anchor, m_data.GetSize());
}

bool CHexEditModel::IsAllSelected() const
{
    DWORD size = m_data.GetSize();
    return (m_anchor == 0 && m_end == size) || (m_end == 0 && m_anchor == size);
}

void CHexEditModel::SetCaret(DWORD caret)
{
    m_caret = m_anchor = m_end = caret;
    m_lowNibblePending = false;
}

void CHexEditModel::SelectAll()
{
    m_anchor = 0;
    m_end = m_data.GetSize();
    m_caret = 0;
    m_lowNibblePending = false;
}

void CHexEditModel::BeginSelection(DWORD position, bool hexColumn)
{
    SetCaret(Min(position, m_data.GetSize()));
    m_hexColumn = hexColumn;
}

void CHexEditModel::ExtendSelection(DWORD position)
{
    m_end = Min(position, m_data.GetSize());
}

void CHexEditModel::CollapseSelection(bool toUpper)
{
    if (!HasSelection())
        return;
    DWORD low = Min(m_anchor, m_end), high = m_anchor < m_end ? m_end : m_anchor;
    m_caret = m_anchor = m_end = toUpper ? high : low;
}

// ---- Keys ----

bool CHexEditModel::Move(EMove move, bool stopAtDataEnds)
{
    CollapseSelection(move == EMove::kRight || move == EMove::kDown || move == EMove::kPageDown);
    m_lowNibblePending = false;
    unsigned long long caret = m_caret, b = m_bytesPerLine, size = m_data.GetSize();
    if (stopAtDataEnds && ((move == EMove::kUp && caret < b) || (move == EMove::kDown && caret + b > size)))
        return false;
    caret = GetMoveTarget(move);
    SetCaret(DWORD(caret < size ? caret : size));
    ScrollCaretIntoView();
    return true;
}

unsigned long long CHexEditModel::GetMoveTarget(EMove move) const
{
    unsigned long long caret = m_caret, b = m_bytesPerLine, size = m_data.GetSize();
    unsigned long long top = m_top, page = m_fullRows * b;
    switch (move) {
    case EMove::kLeft:
        return caret > 0 ? caret - 1 : 0;
    case EMove::kRight:
        return caret < size ? caret + 1 : size;
    case EMove::kUp:
        return caret > b ? caret - b : 0;
    case EMove::kDown:
        return caret + b;
    case EMove::kPageUp:
        if (caret >= top + b && caret < top + m_rows * b)
            return top;
        return caret > page ? caret - page : 0;
    case EMove::kPageDown:
        if (caret >= top && caret + b < top + page)
            return top + page - 1;
        return caret + page;
    case EMove::kEnd:
        return size;
    case EMove::kHome:
        break;
    }
    return 0;
}

bool CHexEditModel::DeleteKey(bool backspace)
{
    DWORD size = m_data.GetSize();
    if (!HasSelection()) {
        // A byte whose low nibble is still awaited is the one being typed: Backspace takes it back.
        if (backspace && m_lowNibblePending && m_caret < size) {
            m_anchor = m_caret;
            m_end = m_caret + 1;
        } else if (backspace && m_caret > 0) {
            m_anchor = m_caret - 1;
            m_end = m_caret;
        } else if (!backspace && m_caret < size) {
            m_anchor = m_caret;
            m_end = m_caret + 1;
        } else {
            return false;
        }
    }
    return DeleteSelection();
}

// ---- Edits ----

bool CHexEditModel::Reserve(DWORD size)
{
    // Grow by half again, so typing at the end of a large buffer does not copy it every time.
    DWORD capacity = m_data.GetCapacity();
    if (m_data.GetData() && size <= capacity)
        return true;
    DWORD used = m_data.GetSize();
    DWORD grown = capacity + capacity / 2 + 16;
    if (grown < capacity || grown < size)
        grown = size;
    if (!m_data.SetSize(grown) && !m_data.SetSize(size))
        return false;
    return m_data.SetSize(used);
}

bool CHexEditModel::InsertBytes(const BYTE* bytes, DWORD count, DWORD at)
{
    DWORD size = m_data.GetSize();
    if (count > 0xFFFFFFFF - size || !Reserve(size + count))
        return false;
    m_data.SetSize(size + count);
    BYTE* data = m_data.GetData();
    memmove(data + at + count, data + at, size - at);
    if (count)
        memcpy(data + at, bytes, count);
    return true;
}

void CHexEditModel::RemoveBytes(DWORD from, DWORD to)
{
    BYTE* data = m_data.GetData();
    DWORD size = m_data.GetSize();
    memmove(data + from, data + to, size - to);
    m_data.SetSize(size - (to - from));
}

bool CHexEditModel::DeleteSelection()
{
    DWORD low = GetSelectionLow(), high = GetSelectionHigh();
    if (low >= high)
        return false;
    RemoveBytes(low, high);
    SetCaret(low);
    ScrollCaretIntoView();
    ClampTop();
    return true;
}

DWORD CHexEditModel::MakeRoomForTyping()
{
    DeleteSelection();
    DWORD size = m_data.GetSize();
    if (m_caret > size)
        SetCaret(size);
    return size;
}

bool CHexEditModel::TypeHexDigit(BYTE digit)
{
    DWORD size = MakeRoomForTyping();
    if (m_lowNibblePending && m_caret < size) {
        BYTE& target = m_data.GetData()[m_caret];
        target = BYTE((target & 0xF0) | digit);
        SetCaret(m_caret + 1);
        ScrollCaretIntoView();
        return true;
    }
    BYTE byte = BYTE(digit << 4);
    if (!InsertBytes(&byte, 1, m_caret))
        return false;
    SetCaret(m_caret);
    m_lowNibblePending = true;
    return true;
}

bool CHexEditModel::TypeByte(BYTE value)
{
    MakeRoomForTyping();
    if (!InsertBytes(&value, 1, m_caret))
        return false;
    SetCaret(m_caret + 1);
    ScrollCaretIntoView();
    return true;
}

bool CHexEditModel::Paste(const BYTE* bytes, DWORD count)
{
    DWORD selected = m_anchor < m_end ? m_end - m_anchor : m_anchor - m_end;
    DWORD size = m_data.GetSize();
    // Room for the result first, so a failure leaves the data as it was.
    if (count > 0xFFFFFFFF - size || !Reserve(size - selected + count))
        return false;
    DeleteSelection();
    DWORD at = Min(m_caret, m_data.GetSize());
    InsertBytes(bytes, count, at);
    SetCaret(at);
    ScrollCaretIntoView();
    return true;
}

// ---- View ----

int CHexEditModel::GetPage() const
{
    return m_fullRows > 1 ? int(m_fullRows) : 1;
}

int CHexEditModel::GetScrollMaximum() const
{
    DWORD b = m_bytesPerLine, size = m_data.GetSize();
    int lines = int(size / b + (size % b ? 1 : 0));
    int page = GetPage();
    return lines > page - 1 ? lines : page - 1;
}

int CHexEditModel::GetScrollLineForCaret() const
{
    DWORD b = m_bytesPerLine;
    if (m_caret >= (m_data.GetSize() / b) * b)
        return GetScrollMaximum();
    return GetTopLine();
}

void CHexEditModel::ScrollCaretIntoView()
{
    DWORD b = m_bytesPerLine;
    unsigned long long rows = m_fullRows;
    if (m_caret >= m_top && rows > 0) {
        if (m_caret < m_top + rows * b)
            return;
        m_top = DWORD((m_caret - (rows - 1) * b) / b * b);
    } else {
        m_top = m_caret / b * b;
    }
}

void CHexEditModel::ClampTop()
{
    int last = GetScrollMaximum() - GetPage() + 1;
    int line = GetTopLine();
    m_top = DWORD(line > last ? last : line) * m_bytesPerLine;
}

int CHexEditModel::ScrollToLine(int line, bool dragging)
{
    DWORD b = m_bytesPerLine;
    int page = GetPage();
    int last = GetScrollMaximum() - page + 1;
    line = line > last ? last : line;
    line = line < 0 ? 0 : line;
    m_top = DWORD(line) * b;
    // An empty selection's caret comes along into the page; a drag keeps where it began.
    if (!HasSelection() && !dragging) {
        unsigned long long visibleEnd = m_top + (unsigned long long)page * b;
        if (m_caret >= visibleEnd)
            SetCaret(Min(DWORD(visibleEnd - b), m_data.GetSize()));
        else if (m_caret < m_top)
            SetCaret(Min(m_top, m_data.GetSize())); // with a page of one line the top can pass the end
    }
    return line;
}
