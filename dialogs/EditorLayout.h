// Layout of the editing dialogs: the distances they share, scaled to the screen, and moving a
// control by its id. CLayoutPass suppresses drawing while a dialog moves its controls and
// repaints the dialog with all its children once at the end.
#pragma once

#include "shd/WndNoRedraw.h"

#include <windows.h>

struct SEditorMetrics
{
    SEditorMetrics();

    int top;          // first row, below the header
    int bottomMargin; // below the last row
    int labelHeight;
    int fieldHeight;
    int radioHeight;
    int margin; // left and right, and between two columns
    int gap;    // between rows
    int shortHeight;

    // Below this client height a dialog is short and uses its compact arrangement.
    bool IsShort(int clientHeight) const { return clientHeight < shortHeight; }
};

// Negative sizes become 0.
void MoveItem(HWND dialog, int id, int x, int y, int width, int height);
// A control's rectangle in its dialog's client coordinates.
RECT GetItemRect(HWND dialog, int id);

class CLayoutPass
{
public:
    explicit CLayoutPass(HWND dialog);
    ~CLayoutPass();
    CLayoutPass(const CLayoutPass&) = delete;
    CLayoutPass& operator=(const CLayoutPass&) = delete;

    int Width() const { return m_client.right; }
    int Height() const { return m_client.bottom; }

private:
    HWND m_dialog;
    RECT m_client = {};
    CWndNoRedraw m_noRedraw;
};
