// The hex edit control's keys, typed characters and stylus, turned into moves and edits of its model.
#include "dialogs/HexEditCtrl.h"

#include "platform/AygShell.h"
#include "shd/DeviceInfo.h"
#include "shd/HexDigits.h"

namespace {

BYTE CharToByte(wchar_t ch)
{
    char converted[4] = {};
    if (WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, &ch, 1, converted, sizeof(converted), nullptr,
                            nullptr) != 1)
        return BYTE(ch & 0xFF);
    return BYTE(converted[0]);
}

bool ToMove(UINT key, CHexEditModel::EMove& move)
{
    using EMove = CHexEditModel::EMove;
    switch (key) {
    case VK_LEFT:
        move = EMove::kLeft;
        return true;
    case VK_RIGHT:
        move = EMove::kRight;
        return true;
    case VK_UP:
        move = EMove::kUp;
        return true;
    case VK_DOWN:
        move = EMove::kDown;
        return true;
    case VK_PRIOR:
        move = EMove::kPageUp;
        return true;
    case VK_NEXT:
        move = EMove::kPageDown;
        return true;
    case VK_HOME:
        move = EMove::kHome;
        return true;
    case VK_END:
        move = EMove::kEnd;
        return true;
    }
    return false;
}

} // namespace

// ---- Keys ----

void CHexEditCtrl::OnKeyDown(UINT key)
{
    switch (key) {
    case VK_BACK:
    case VK_DELETE:
        DeletionKey(key);
        break;
    case VK_TAB:
        TabKey();
        break;
    case VK_RETURN:
        EnterKey();
        break;
    default:
        NavigationKey(key);
        break;
    }
}

void CHexEditCtrl::NavigationKey(UINT key)
{
    CHexEditModel::EMove move;
    if (!ToMove(key, move))
        return;
    // On a Smartphone Up and Down leave the control at the data's ends.
    if (!m_model.Move(move, IsSmartphone())) {
        Repaint();
        MoveFocusOut(key == VK_UP);
        return;
    }
    ShowCaretLine();
}

void CHexEditCtrl::DeletionKey(UINT key)
{
    if (!m_readOnly && m_model.DeleteKey(key == VK_BACK))
        Refresh();
}

void CHexEditCtrl::DeleteSelection()
{
    if (m_model.DeleteSelection())
        Refresh();
}

void CHexEditCtrl::TabKey()
{
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool hexColumn = m_model.IsHexColumnActive();
    m_model.ClearLowNibble();
    if (hexColumn == shift) {
        Repaint();
        MoveFocusOut(shift);
        return;
    }
    m_model.SetHexColumn(!hexColumn);
    m_model.ScrollCaretIntoView();
    ShowCaretLine();
}

void CHexEditCtrl::EnterKey()
{
    m_model.ClearLowNibble();
    Repaint();
    SHRGINFO gesture = {sizeof(gesture), m_hwnd, {GetClientWidth() / 2, GetClientHeight() / 2}, 0};
    SHRecognizeGesture(&gesture);
}

void CHexEditCtrl::MoveFocusOut(bool previous) const
{
    if (HWND parent = GetParent(m_hwnd))
        SendMessageW(parent, WM_NEXTDLGCTL, previous ? 1 : 0, 0);
}

void CHexEditCtrl::OnChar(wchar_t ch)
{
    if (ch < 0x20 || m_readOnly)
        return;
    if (m_model.IsHexColumnActive()) {
        int digit = HexDigitValue(ch);
        if (digit < 0)
            return;
        m_model.TypeHexDigit(BYTE(digit));
    } else {
        m_model.TypeByte(CharToByte(ch));
    }
    Refresh();
}

// ---- Stylus ----

void CHexEditCtrl::OnLButtonDown(int x, int y)
{
    SetFocus(m_hwnd);
    if (m_dragging)
        EndDrag();
    m_lastPoint = {x, y};
    SHRGINFO gesture = {sizeof(gesture), m_hwnd, {x, y}, SHRG_RETURNCMD};
    if (SHRecognizeGesture(&gesture) != 0)
        return;
    SHit hit = HitTest(x, y);
    if (hit.column == EColumn::kOutside) {
        m_model.SetCaret(m_model.GetTopOffset());
        m_model.SetHexColumn(true);
        Repaint();
        return;
    }
    m_model.BeginSelection(hit.position, hit.column != EColumn::kChar);
    Repaint();
    m_dragging = true;
    SetCapture(m_hwnd);
}

void CHexEditCtrl::ApplyDragPoint(int x, int y)
{
    SHit hit = HitTest(x, y, m_model.IsHexColumnActive() ? EColumn::kHex : EColumn::kChar);
    m_model.ExtendSelection(hit.position);
    Repaint();
    if (y < 0)
        SetAutoScroll(-1);
    else if (y >= GetClientHeight())
        SetAutoScroll(1);
    else
        SetAutoScroll(0);
}

void CHexEditCtrl::OnMouseMove(int x, int y)
{
    m_lastPoint = {x, y};
    ApplyDragPoint(x, y);
}

void CHexEditCtrl::OnLButtonUp(int x, int y)
{
    m_lastPoint = {x, y};
    if (!m_dragging)
        return;
    ApplyDragPoint(x, y);
    EndDrag();
    if (!HasSelection()) {
        DWORD top = m_model.GetTopOffset();
        m_model.ScrollCaretIntoView();
        if (top != m_model.GetTopOffset())
            ShowCaretLine();
    }
}

void CHexEditCtrl::OnCaptureChanged()
{
    if (m_dragging)
        EndDrag();
}

void CHexEditCtrl::EndDrag()
{
    m_dragging = false;
    SetAutoScroll(0);
    if (GetCapture() == m_hwnd)
        ReleaseCapture();
}

void CHexEditCtrl::SetAutoScroll(int direction)
{
    m_autoScrollDirection = direction;
    if (direction != 0 && !m_autoScroll)
        m_autoScroll = SetTimer(m_hwnd, kAutoScrollTimer, kAutoScrollPeriod, nullptr) != 0;
    else if (direction == 0 && m_autoScroll) {
        KillTimer(m_hwnd, kAutoScrollTimer);
        m_autoScroll = false;
    }
}

void CHexEditCtrl::OnTimer(UINT_PTR id)
{
    if (id != kAutoScrollTimer || !m_autoScroll)
        return;
    OnVScroll(m_autoScrollDirection < 0 ? SB_LINEUP : SB_LINEDOWN);
    if (m_dragging)
        ApplyDragPoint(m_lastPoint.x, m_lastPoint.y);
}
