// CShdPpcDialogHelper: the handheld look every dialog of the program shares, driven by its
// dialog's messages: a bold header line at the top with a separator band under it, an
// invisible "SIPPREF" control that raises the input panel, and no vertical scroll bar.
// Dialogs set it up in their constructors (SetHeader, EnableInputPanel, NoVerticalScroll).
#pragma once

#include "shd/String.h"

#include <windows.h>

class CShdPpcDialogHelper
{
public:
    static const UINT kHeaderId = 65535;

    CShdPpcDialogHelper() = default;
    virtual ~CShdPpcDialogHelper();
    CShdPpcDialogHelper(const CShdPpcDialogHelper&) = delete;
    CShdPpcDialogHelper& operator=(const CShdPpcDialogHelper&) = delete;

    void SetHeader(const wchar_t* text, UINT controlId = kHeaderId);
    // Also changes the shown header.
    void SetHeaderText(const wchar_t* text);
    void EnableInputPanel() { m_inputPanel = true; }
    void NoVerticalScroll() { m_noVerticalScroll = true; }

    bool HasHeader() const { return m_header; }
    // The height the header and its separator take at the top, for layouts; 0 without header.
    int GetHeaderHeight() const;
    HWND GetHeaderWindow() const { return m_headerWindow; }
    HWND GetSipPrefWindow() const { return m_sipPref; }

    // Called by the dialog: binds to it, then sees each of its messages first. A nonzero
    // result is the dialog's answer.
    void Bind(HWND dialog) { m_dialog = dialog; }
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnInitDialog();
    void CreateHeader();
    void PaintSeparator();
    INT_PTR OnCtlColorStatic(HDC dc, HWND control);
    void OnDestroy();
    RECT GetSeparatorRect() const;

    HWND m_dialog = nullptr;
    bool m_header = false;
    CString m_headerText;
    UINT m_headerId = kHeaderId;
    HWND m_headerWindow = nullptr;
    HFONT m_headerFont = nullptr;
    bool m_inputPanel = false;
    HWND m_sipPref = nullptr;
    bool m_noVerticalScroll = false;
};
