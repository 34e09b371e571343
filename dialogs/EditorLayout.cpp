// Shared layout distances and control moves.
#include "dialogs/EditorLayout.h"

#include "shd/ScreenScale.h"

SEditorMetrics::SEditorMetrics()
    : top(ScaleY(31)), bottomMargin(ScaleY(8)), labelHeight(ScaleY(13)), fieldHeight(ScaleY(19)),
      radioHeight(ScaleY(16)), margin(ScaleX(8)), gap(ScaleY(4)), shortHeight(ScaleY(180))
{
}

void MoveItem(HWND dialog, int id, int x, int y, int width, int height)
{
    MoveWindow(GetDlgItem(dialog, id), x, y, width < 0 ? 0 : width, height < 0 ? 0 : height, FALSE);
}

RECT GetItemRect(HWND dialog, int id)
{
    RECT rect = {};
    HWND item = GetDlgItem(dialog, id);
    if (item && GetWindowRect(item, &rect))
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

CLayoutPass::CLayoutPass(HWND dialog) : m_dialog(dialog)
{
    GetClientRect(dialog, &m_client);
    // Turning drawing back on would show a dialog that is not shown yet.
    if (IsWindowVisible(dialog))
        m_noRedraw.Begin(dialog, false);
}

CLayoutPass::~CLayoutPass()
{
    if (!m_noRedraw.GetWindow())
        return;
    m_noRedraw.End();
    RedrawWindow(m_dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
