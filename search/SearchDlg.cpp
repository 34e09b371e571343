// The search dialog: menu bar by platform, filling and reading the options, validation, layout.
#include "search/SearchDlg.h"

#include "settings/Settings.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "shd/DialogLayout.h"
#include "shd/MessageBox.h"
#include "shd/ScreenScale.h"
#include "shd/ShdWnd.h"

namespace {

const int kControlIds[] = {IDC_SEARCH_STRING,     IDC_SEARCH_KEY_NAMES,     IDC_SEARCH_VALUE_NAMES,
                           IDC_SEARCH_VALUE_DATA, IDC_SEARCH_WHOLE_STRING,  IDC_SEARCH_CASE_SENSITIVE,
                           IDC_SEARCH_STRINGS,    IDC_SEARCH_MULTI_STRINGS, IDC_SEARCH_DWORDS,
                           IDC_SEARCH_BINARY};

} // namespace

CSearchDlg::CSearchDlg()
{
    SetFullScreen(true);
    GetPpcHelper().SetHeader(L"Search");
    GetPpcHelper().EnableInputPanel();
    GetPpcHelper().NoVerticalScroll();
}

bool CSearchDlg::DoModal(HWND parent, SSearchOptions& options, bool& findAll)
{
    m_options = Settings().GetSearchOptions();
    m_findAll = false;
    if (CShdDialog::DoModal(GetModuleHandleW(nullptr), IDD_SEARCH, parent, 0) != IDOK)
        return false;
    Settings().SaveSearchOptions(m_options);
    Settings().Flush();
    options = m_options;
    findAll = m_findAll;
    return true;
}

INT_PTR CSearchDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_SIZE:
        OnSize();
        return TRUE;
    }
    return HandleShellMessage(message, wParam, lParam) ? TRUE : FALSE;
}

// Pocket PC: menu 115 from 5.00 on, 133 before; Smartphone: soft keys before 5.00, else 115.
bool CSearchDlg::CreateMenuBar()
{
    const bool newer = GetOsVersion() >= 0x0500;
    if (IsSmartphone() && !newer)
        return SetUpMenuBar(IDR_SEARCH_SOFTKEYS, true);
    return SetUpMenuBar(newer ? IDR_SEARCH_MENU : IDR_SEARCH_MENU_OLD, false);
}

INT_PTR CSearchDlg::OnInitDialog()
{
    if (!CreateMenuBar()) {
        EndDialog(m_hwnd, kNoMenuBar);
        return FALSE;
    }
    for (int i = 0; i < kControlCount; ++i)
        m_controls[i] = GetDlgItem(m_hwnd, kControlIds[i]);
    FillControls();
    OnSize();
    return TRUE;
}

void CSearchDlg::OnCommand(UINT id)
{
    switch (id) {
    case IDOK:
    case ID_SEARCH_FIND:
        CloseWithSearch(false);
        break;
    case ID_SEARCH_FIND_ALL:
        CloseWithSearch(true);
        break;
    case IDCANCEL:
        EndDialog(m_hwnd, IDCANCEL);
        break;
    case IDC_SEARCH_VALUE_DATA:
        EnableTypes();
        break;
    }
}

void CSearchDlg::CloseWithSearch(bool findAll)
{
    if (!Validate())
        return;
    m_findAll = findAll;
    EndDialog(m_hwnd, IDOK);
}

void CSearchDlg::OnSize()
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    const int margin = ScaleX(10);
    SpanControl(m_controls[kSearchString], margin, client.right - margin);
    for (int i = kStrings; i <= kBinary; ++i)
        SpanControl(m_controls[i], GetChildRect(m_controls[i]).left, client.right - margin);
}

bool* CSearchDlg::CheckField(EControl control)
{
    switch (control) {
    case kKeyNames:
        return &m_options.keyNames;
    case kValueNames:
        return &m_options.valueNames;
    case kValueData:
        return &m_options.valueData;
    case kWholeString:
        return &m_options.wholeStringOnly;
    case kCaseSensitive:
        return &m_options.caseSensitive;
    case kStrings:
        return &m_options.strings;
    case kMultiStrings:
        return &m_options.multiStrings;
    case kDwords:
        return &m_options.dwords;
    case kBinary:
        return &m_options.binary;
    default:
        return nullptr;
    }
}

void CSearchDlg::FillControls()
{
    SetWindowTextW(m_controls[kSearchString], m_options.searchString);
    for (int i = kKeyNames; i < kControlCount; ++i)
        SetCheck(EControl(i), *CheckField(EControl(i)));
    EnableTypes();
}

void CSearchDlg::ReadControls()
{
    CShdWnd::QueryWindowText(m_controls[kSearchString], m_options.searchString);
    for (int i = kKeyNames; i < kControlCount; ++i)
        *CheckField(EControl(i)) = IsChecked(EControl(i));
}

// The types only narrow a value data search; unchecked boxes keep their marks while greyed.
void CSearchDlg::EnableTypes()
{
    const BOOL enable = IsChecked(kValueData) ? TRUE : FALSE;
    for (int i = kStrings; i <= kBinary; ++i)
        EnableWindow(m_controls[i], enable);
}

bool CSearchDlg::Validate()
{
    ReadControls();
    const wchar_t* problem = nullptr;
    if (m_options.searchString.IsEmpty())
        problem = L"Search string can't be empty.";
    else if (!m_options.keyNames && !m_options.valueNames && !m_options.valueData)
        problem = L"You should specify at least one item type to search for.";
    if (!problem)
        return true;
    ShowErrorMessage(m_hwnd, problem);
    SetFocus(m_controls[kSearchString]);
    return false;
}

bool CSearchDlg::IsChecked(EControl control) const
{
    return SendMessageW(m_controls[control], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CSearchDlg::SetCheck(EControl control, bool checked)
{
    SendMessageW(m_controls[control], BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
