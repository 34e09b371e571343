// Dialog objects: template loading, binding through a property and the message dispatch.
#include "shd/ShdDialog.h"

#include "platform/AygShell.h"

const wchar_t CShdDialog::kObjectProperty[] = L"{B4496A2D-AC24-4D59-B172-43F927C79E02}";

CShdDialog::~CShdDialog()
{
    if (m_hwnd && IsWindow(m_hwnd)) {
        RemovePropW(m_hwnd, kObjectProperty);
        DestroyWindow(m_hwnd);
    }
    m_hwnd = nullptr;
}

INT_PTR CShdDialog::PreProcessMessage(UINT, WPARAM, LPARAM)
{
    return 0;
}

INT_PTR CShdDialog::DialogProc(UINT, WPARAM, LPARAM)
{
    return 0;
}

const DLGTEMPLATE* CShdDialog::LoadTemplate(HINSTANCE instance, UINT templateId)
{
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5)); // RT_DIALOG
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    return loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
}

INT_PTR CShdDialog::DoModal(HINSTANCE instance, UINT templateId, HWND parent, LPARAM parameter)
{
    if (m_hwnd)
        return -1;
    const DLGTEMPLATE* dialogTemplate = LoadTemplate(instance, templateId);
    if (!dialogTemplate)
        return -1;
    SCreateRecord record = {this, parameter};
    return DialogBoxIndirectParamW(instance, dialogTemplate, parent, StaticDialogProc,
                                   reinterpret_cast<LPARAM>(&record));
}

bool CShdDialog::CreateModeless(HINSTANCE instance, UINT templateId, HWND parent, LPARAM parameter)
{
    if (m_hwnd)
        return false;
    const DLGTEMPLATE* dialogTemplate = LoadTemplate(instance, templateId);
    if (!dialogTemplate)
        return false;
    SCreateRecord record = {this, parameter};
    HWND dialog = CreateDialogIndirectParamW(instance, dialogTemplate, parent, StaticDialogProc,
                                             reinterpret_cast<LPARAM>(&record));
    return dialog != nullptr && m_hwnd == dialog;
}

INT_PTR CALLBACK CShdDialog::StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const SCreateRecord* record = reinterpret_cast<const SCreateRecord*>(lParam);
        return BindAndDispatch(record ? record->object : nullptr, dialog, wParam,
                               record ? record->parameter : 0);
    }
    return BoundDialogProc(dialog, message, wParam, lParam);
}

INT_PTR CShdDialog::BindAndDispatch(CShdDialog* object, HWND dialog, WPARAM wParam, LPARAM parameter)
{
    if (!object || object->m_hwnd || !SetPropW(dialog, kObjectProperty, object))
        return FALSE;
    object->m_hwnd = dialog;
    return object->Dispatch(WM_INITDIALOG, wParam, parameter);
}

INT_PTR CALLBACK CShdDialog::BoundDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    CShdDialog* object = static_cast<CShdDialog*>(GetPropW(dialog, kObjectProperty));
    if (!object || object->m_hwnd != dialog)
        return FALSE;
    INT_PTR result = object->Dispatch(message, wParam, lParam);
    if (message == WM_DESTROY) {
        RemovePropW(dialog, kObjectProperty);
        object->m_hwnd = nullptr;
    }
    return result;
}

void CShdDialog::InitBase()
{
    m_ppcHelper.Bind(m_hwnd);
    if (!m_fullScreen)
        return;
    SHINITDLGINFO info = {SHIDIM_FLAGS, m_hwnd, SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    SetWindowLongPtrW(m_hwnd, GWL_STYLE, GetWindowLongPtrW(m_hwnd, GWL_STYLE) & ~LONG_PTR(WS_BORDER));
    SetWindowLongPtrW(m_hwnd, GWL_EXSTYLE,
                      GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_DLGMODALFRAME));
    SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

INT_PTR CShdDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        InitBase();
    if (INT_PTR result = m_ppcHelper.HandleMessage(message, wParam, lParam))
        return result;
    if (INT_PTR result = PreProcessMessage(message, wParam, lParam))
        return result;
    return DialogProc(message, wParam, lParam);
}
