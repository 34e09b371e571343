// Check boxes and layout of the options pages.
#include "dialogs/OptionsPageLayout.h"

#include "shd/DialogLayout.h"
#include "shd/ScreenScale.h"

bool GetPageCheck(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void SetPageCheck(HWND page, int id, bool checked)
{
    CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void SpanPageControl(HWND page, int id)
{
    RECT client;
    GetClientRect(page, &client);
    SpanControl(GetDlgItem(page, id), ScaleX(10), client.right - ScaleX(10));
}
