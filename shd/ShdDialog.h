// CShdDialog: a dialog object bound to a dialog made from a template (DoModal, CreateModeless).
// Each message goes first to the handheld look (CShdPpcDialogHelper), then to the
// pre-processing hook, then, when the hook returns 0, to the virtual DialogProc. At
// WM_INITDIALOG a full-screen dialog is sized over the device screen (SHInitDialog) and loses
// its border; DialogProc sees the parameter given to DoModal as lParam. After WM_DESTROY the
// object forgets its dialog.
#pragma once

#include "shd/ShdPpcDialogHelper.h"

#include <windows.h>

class CShdDialog
{
public:
    CShdDialog() = default;
    virtual ~CShdDialog();
    CShdDialog(const CShdDialog&) = delete;
    CShdDialog& operator=(const CShdDialog&) = delete;

    virtual INT_PTR PreProcessMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    void SetFullScreen(bool fullScreen) { m_fullScreen = fullScreen; }
    bool IsFullScreen() const { return m_fullScreen; }

    // -1 when a dialog is bound already or the template is missing; else EndDialog's result.
    INT_PTR DoModal(HINSTANCE instance, UINT templateId, HWND parent, LPARAM parameter);
    bool CreateModeless(HINSTANCE instance, UINT templateId, HWND parent, LPARAM parameter);

    HWND GetHwnd() const { return m_hwnd; }
    CShdPpcDialogHelper& GetPpcHelper() { return m_ppcHelper; }

    static const wchar_t kObjectProperty[];

protected:
    // The framework's procedure for dialogs whose WM_INITDIALOG lParam is the object itself
    // (property pages); parameter is what DialogProc then sees as lParam.
    static INT_PTR BindAndDispatch(CShdDialog* object, HWND dialog, WPARAM wParam, LPARAM parameter);
    static INT_PTR CALLBACK BoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;

private:
    struct SCreateRecord
    {
        CShdDialog* object;
        LPARAM parameter;
    };

    static INT_PTR CALLBACK StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static const DLGTEMPLATE* LoadTemplate(HINSTANCE instance, UINT templateId);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void InitBase();

    bool m_fullScreen = false;
    CShdPpcDialogHelper m_ppcHelper;
};
