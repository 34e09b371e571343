// The value editor: choosing the editor, reading and converting the data, the base switch,
// Done with its checks in their order, and the layouts for tall and short dialogs.
#include "dialogs/EditValueDlg.h"

#include "dialogs/EditorLayout.h"
#include "dialogs/ValueConversion.h"
#include "platform/AygShell.h"
#include "registry/ShdRegKey.h"
#include "res/resource.h"
#include "shd/MessageBox.h"

namespace {

const int kDataControls[] = {
    IDC_VALUE_STRING,      IDC_VALUE_DWORD,        IDC_VALUE_BASE_LABEL,  IDC_VALUE_DECIMAL,
    IDC_VALUE_HEXADECIMAL, IDC_VALUE_MULTI_STRING, IDC_VALUE_CUSTOM_TYPE, IDC_VALUE_CUSTOM_TYPE_LABEL,
    IDC_VALUE_HEX_EDIT};

} // namespace

CEditValueDlg::CEditValueDlg() : CEditorDialog(L"Edit Value", true) {}

bool CEditValueDlg::EditValue(HWND parent, HKEY root, const wchar_t* keyPath, const wchar_t* valueName,
                              bool asBinary)
{
    m_root = root;
    m_keyPath = keyPath;
    m_valueName = valueName;
    m_isNew = false;
    m_asBinary = asBinary;
    SetTitle(L"Edit Value");
    return RunDialog(parent);
}

bool CEditValueDlg::NewValue(HWND parent, HKEY root, const wchar_t* keyPath, DWORD type, bool asBinary,
                             CString& name)
{
    m_root = root;
    m_keyPath = keyPath;
    m_valueName = name;
    m_type = type;
    m_isNew = true;
    m_asBinary = asBinary;
    SetTitle(L"New Value");
    if (!RunDialog(parent))
        return false;
    name = m_valueName;
    return true;
}

bool CEditValueDlg::RunDialog(HWND parent)
{
    return Run(parent, IDD_EDIT_VALUE) == kDone;
}

INT_PTR CEditValueDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_SIZE:
        Layout();
        return TRUE;
    case WM_COMMAND:
        OnCommand(wParam);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    }
    return FALSE;
}

BOOL CEditValueDlg::OnNotify(const NMHDR& header)
{
    // The byte editor's Enter asks the shell for the tap-and-hold gesture; where the shell tells
    // the dialog instead of the control, the control's context menu opens at its centre.
    if (header.idFrom != IDC_VALUE_HEX_EDIT || header.code != UINT(GN_CONTEXTMENU))
        return FALSE;
    SendMessageW(m_hexEdit.GetHwnd(), WM_CONTEXTMENU, WPARAM(m_hexEdit.GetHwnd()), MAKELPARAM(-1, -1));
    return TRUE;
}

CEditValueDlg::EEditor CEditValueDlg::ChooseEditor() const
{
    if (m_asBinary)
        return EEditor::kBytes;
    switch (m_type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return EEditor::kString;
    case REG_DWORD:
        return EEditor::kDword;
    case REG_MULTI_SZ:
        return EEditor::kMultiString;
    }
    return EEditor::kBytes;
}

BOOL CEditValueDlg::OnInitDialog()
{
    if (!CreateCommandBar(IDR_DONE_CANCEL_MENU, IDR_DONE_CANCEL_SOFTKEYS)) {
        EndDialog(m_hwnd, kNotPrepared);
        return FALSE;
    }
    OverrideBackKey();
    if (!CreateHexEditor() || !ReadInitialData()) {
        EndDialog(m_hwnd, kNotPrepared);
        return FALSE;
    }
    if (!m_isNew)
        SendMessageW(Item(IDC_VALUE_NAME), EM_SETREADONLY, TRUE, 0);
    SetItemText(IDC_VALUE_NAME, m_valueName);
    m_editor = ChooseEditor();
    if (!ShowData()) {
        EndDialog(m_hwnd, kNotPrepared);
        return FALSE;
    }
    CString typeText;
    typeText.Format(L"Type: %s", GetValueTypeName(m_type).c_str());
    SetItemText(IDC_VALUE_TYPE_LABEL, typeText);
    SetItemText(IDC_VALUE_CUSTOM_TYPE, FormatNumber(m_type, true));
    ShowEditor();
    Layout();
    SetFocus(Item(m_isNew ? IDC_VALUE_NAME : EditorControl()));
    return FALSE;
}

bool CEditValueDlg::CreateHexEditor()
{
    const RECT place = {};
    if (!m_hexEdit.Create(m_hwnd, IDC_VALUE_HEX_EDIT, place))
        return false;
    m_hexEdit.SetBytesPerLine(4);
    return true;
}

bool CEditValueDlg::ReadInitialData()
{
    if (!m_isNew) {
        CShdRegKey key(false);
        return key.Open(m_root, m_keyPath) && key.QueryValue(m_valueName, m_type, m_original);
    }
    if (m_asBinary)
        return m_original.SetSize(0);
    switch (m_type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return BytesFromString(L"", m_original);
    case REG_DWORD:
        return BytesFromDword(0, m_original);
    case REG_MULTI_SZ:
        return BytesFromMultiString(L"", m_original);
    case REG_BINARY:
        return m_original.SetSize(0);
    }
    return false;
}

bool CEditValueDlg::ShowData()
{
    switch (m_editor) {
    case EEditor::kString:
        m_shownText = StringFromBytes(m_original);
        break;
    case EEditor::kMultiString:
        m_shownText = MultiStringFromBytes(m_original);
        break;
    case EEditor::kDword: {
        DWORD number = 0;
        if (!DwordFromBytes(m_original, number))
            return false;
        m_base = 10;
        CheckBase(m_base);
        SetItemText(IDC_VALUE_DWORD, FormatNumber(number, false));
        return true;
    }
    case EEditor::kBytes:
        return m_hexEdit.SetBytes(m_original.GetData(), m_original.GetSize());
    }
    // The fields hold as much text as the value has (not the default 32767 characters).
    SendMessageW(Item(EditorControl()), EM_LIMITTEXT, 0, 0);
    SetItemText(EditorControl(), m_shownText);
    // What the field made of it: a one-line field ends the text at a line break.
    m_shownText = ItemText(EditorControl());
    return true;
}

int CEditValueDlg::EditorControl() const
{
    switch (m_editor) {
    case EEditor::kString:
        return IDC_VALUE_STRING;
    case EEditor::kDword:
        return IDC_VALUE_DWORD;
    case EEditor::kMultiString:
        return IDC_VALUE_MULTI_STRING;
    case EEditor::kBytes:
        break;
    }
    return IDC_VALUE_HEX_EDIT;
}

void CEditValueDlg::ShowEditor()
{
    for (int id : kDataControls)
        ShowItem(id, false);
    ShowItem(EditorControl(), true);
    if (m_editor == EEditor::kDword) {
        ShowItem(IDC_VALUE_BASE_LABEL, true);
        ShowItem(IDC_VALUE_DECIMAL, true);
        ShowItem(IDC_VALUE_HEXADECIMAL, true);
    }
    if (m_isNew && m_asBinary) {
        ShowItem(IDC_VALUE_CUSTOM_TYPE, true);
        ShowItem(IDC_VALUE_CUSTOM_TYPE_LABEL, true);
    }
}

void CEditValueDlg::CheckBase(DWORD base)
{
    CheckRadioButton(m_hwnd, IDC_VALUE_DECIMAL, IDC_VALUE_HEXADECIMAL,
                     base == 16 ? IDC_VALUE_HEXADECIMAL : IDC_VALUE_DECIMAL);
}

void CEditValueDlg::OnCommand(WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        OnDone();
        break;
    case IDCANCEL:
        EndDialog(m_hwnd, kCancelled);
        break;
    case IDC_VALUE_DECIMAL:
    case IDC_VALUE_HEXADECIMAL:
        if (HIWORD(wParam) == BN_CLICKED)
            OnBaseClicked();
        break;
    case IDC_VALUE_HEX_EDIT:
        if (HIWORD(wParam) == CHexEditCtrl::kPasteFailed) {
            Error(L"Invalid data");
            m_hexEdit.Focus();
        }
        break;
    }
}

void CEditValueDlg::OnBaseClicked()
{
    const bool hexChecked = IsDlgButtonChecked(m_hwnd, IDC_VALUE_HEXADECIMAL) == BST_CHECKED;
    const DWORD base = hexChecked ? 16 : 10;
    if (base == m_base)
        return;
    DWORD number = 0;
    if (!ParseNumber(ItemText(IDC_VALUE_DWORD), m_base == 16, 0xFFFFFFFF, number)) {
        Error(L"Entered value is invalid");
        CheckBase(m_base);
        return;
    }
    m_base = base;
    SetItemText(IDC_VALUE_DWORD, FormatNumber(number, m_base == 16));
}

void CEditValueDlg::OnDone()
{
    if (m_isNew)
        m_valueName = ItemText(IDC_VALUE_NAME);
    CShdBinaryBuffer data;
    DWORD type = m_type;
    EOutcome outcome = ReadEditor(data, type);
    if (outcome == EOutcome::kReady)
        outcome = Write(data, type);
    switch (outcome) {
    case EOutcome::kReady:
        if (m_droppedEmptyLines)
            ShowInfoMessage(m_hwnd, L"Empty lines were removed from the value.");
        EndDialog(m_hwnd, kDone);
        break;
    case EOutcome::kInvalid:
        Error(L"Entered value is invalid");
        break;
    case EOutcome::kNameTaken:
        Error(L"Value with this name already exists");
        break;
    case EOutcome::kWriteFailed:
        Error(L"Unable to write value");
        break;
    }
}

CEditValueDlg::EOutcome CEditValueDlg::ReadEditor(CShdBinaryBuffer& data, DWORD& type)
{
    switch (m_editor) {
    case EEditor::kString:
        return ReadText(IDC_VALUE_STRING, false, data);
    case EEditor::kMultiString:
        return ReadText(IDC_VALUE_MULTI_STRING, true, data);
    case EEditor::kDword: {
        DWORD number = 0;
        if (!ParseNumber(ItemText(IDC_VALUE_DWORD), m_base == 16, 0xFFFFFFFF, number))
            return EOutcome::kInvalid;
        return BytesFromDword(number, data) ? EOutcome::kReady : EOutcome::kWriteFailed;
    }
    case EEditor::kBytes:
        break;
    }
    return ReadBytes(data, type);
}

// The bytes as they are; a new custom value takes its type from the type field.
CEditValueDlg::EOutcome CEditValueDlg::ReadBytes(CShdBinaryBuffer& data, DWORD& type)
{
    if (!m_hexEdit.GetBytes(data))
        return EOutcome::kWriteFailed;
    if (m_isNew && m_asBinary && !ParseNumber(ItemText(IDC_VALUE_CUSTOM_TYPE), true, 0xFFFF, type))
        return EOutcome::kInvalid;
    return EOutcome::kReady;
}

CEditValueDlg::EOutcome CEditValueDlg::ReadText(int id, bool multiString, CShdBinaryBuffer& data)
{
    CString text = ItemText(id);
    m_droppedEmptyLines = false;
    // Unchanged text keeps the bytes as stored: text behind an embedded NUL, a missing
    // terminator or extra trailing NULs are not shown and would otherwise be lost.
    bool converted = text == m_shownText ? data.Assign(m_original.GetData(), m_original.GetSize())
                     : multiString       ? BytesFromEditedMultiString(text, data, m_droppedEmptyLines)
                                         : BytesFromString(text, data);
    return converted ? EOutcome::kReady : EOutcome::kWriteFailed;
}

// A missing key is created; an existing value of the name refuses a new one.
CEditValueDlg::EOutcome CEditValueDlg::Write(const CShdBinaryBuffer& data, DWORD type)
{
    CShdRegKey key(true);
    if (!key.Create(m_root, m_keyPath))
        return EOutcome::kWriteFailed;
    if (m_isNew && key.ValueExists(m_valueName))
        return EOutcome::kNameTaken;
    if (!key.SetValue(m_valueName, type, data))
        return EOutcome::kWriteFailed;
    m_type = type;
    return EOutcome::kReady;
}

void CEditValueDlg::Layout()
{
    CLayoutPass pass(m_hwnd);
    const SEditorMetrics metrics;
    const int m = metrics.margin;
    const bool isShort = metrics.IsShort(pass.Height());
    int b = pass.Height() - metrics.bottomMargin;
    const bool typeLabel = !isShort && !(m_isNew && m_asBinary);
    if (typeLabel) {
        MoveItem(m_hwnd, IDC_VALUE_TYPE_LABEL, m, b - metrics.labelHeight, pass.Width() - 2 * m,
                 metrics.labelHeight);
        b -= metrics.labelHeight + metrics.gap;
    }
    ShowItem(IDC_VALUE_TYPE_LABEL, typeLabel);
    if (isShort && (m_asBinary || m_type == REG_BINARY || m_type == REG_MULTI_SZ))
        LayoutTwoColumns(pass.Width(), b);
    else
        LayoutOneColumn(pass.Width(), b);
    FitHexEditor();
}

// A power of two bytes per line, as many as the laid-out width holds, and no wider than that.
void CEditValueDlg::FitHexEditor()
{
    if (!m_hexEdit.GetHwnd())
        return;
    m_hexEdit.SetBytesPerLine(PowerOfTwoBytesPerLine(m_hexEdit.GetAutoBytesPerLine()));
    RECT place = GetItemRect(m_hwnd, IDC_VALUE_HEX_EDIT);
    MoveWindow(m_hexEdit.GetHwnd(), place.left, place.top, m_hexEdit.GetRequiredWidth(),
               place.bottom - place.top, FALSE);
}

CEditValueDlg::SRows CEditValueDlg::Rows(int width)
{
    const SEditorMetrics metrics;
    SRows rows;
    rows.m = metrics.margin;
    rows.cw = width - 2 * rows.m;
    rows.hw = (rows.cw - rows.m) / 2;
    rows.right = (width + rows.m) / 2;
    rows.y1 = metrics.top;
    rows.y2 = rows.y1 + metrics.labelHeight + metrics.gap;
    rows.y3 = rows.y2 + metrics.fieldHeight + metrics.gap;
    rows.y4 = rows.y3 + metrics.labelHeight + metrics.gap;
    return rows;
}

void CEditValueDlg::LayoutOneColumn(int width, int b)
{
    const SEditorMetrics metrics;
    const SRows r = Rows(width);
    const int lh = metrics.labelHeight, fh = metrics.fieldHeight;
    MoveItem(m_hwnd, IDC_VALUE_NAME_LABEL, r.m, r.y1, r.hw, lh);
    MoveItem(m_hwnd, IDC_VALUE_CUSTOM_TYPE_LABEL, r.right, r.y1, r.hw, lh);
    const bool customType = m_isNew && m_asBinary;
    MoveItem(m_hwnd, IDC_VALUE_NAME, r.m, r.y2, customType ? r.hw : r.cw, fh);
    MoveItem(m_hwnd, IDC_VALUE_CUSTOM_TYPE, r.right, r.y2, r.hw, fh);
    MoveItem(m_hwnd, IDC_VALUE_LABEL, r.m, r.y3, r.hw, lh);
    MoveItem(m_hwnd, IDC_VALUE_BASE_LABEL, r.right, r.y3, r.hw, lh);
    MoveItem(m_hwnd, IDC_VALUE_STRING, r.m, r.y4, r.cw, fh);
    MoveItem(m_hwnd, IDC_VALUE_DWORD, r.m, r.y4, r.hw, fh);
    MoveRadioButtons(r.right, r.y4, r.hw);
    MoveItem(m_hwnd, IDC_VALUE_HEX_EDIT, r.m, r.y4, r.cw, b - r.y4);
    MoveItem(m_hwnd, IDC_VALUE_MULTI_STRING, r.m, r.y4, r.cw, b - r.y4);
}

void CEditValueDlg::LayoutTwoColumns(int width, int b)
{
    const SEditorMetrics metrics;
    const SRows r = Rows(width);
    const int lh = metrics.labelHeight, fh = metrics.fieldHeight;
    MoveItem(m_hwnd, IDC_VALUE_NAME_LABEL, r.m, r.y1, r.hw, lh);
    MoveItem(m_hwnd, IDC_VALUE_LABEL, r.right, r.y1, r.hw, lh);
    MoveItem(m_hwnd, IDC_VALUE_NAME, r.m, r.y2, r.hw, fh);
    MoveItem(m_hwnd, IDC_VALUE_HEX_EDIT, r.right, r.y2, r.hw, b - r.y2);
    MoveItem(m_hwnd, IDC_VALUE_MULTI_STRING, r.right, r.y2, r.hw, b - r.y2);
    MoveItem(m_hwnd, IDC_VALUE_CUSTOM_TYPE_LABEL, r.m, r.y3, r.hw, lh);
    MoveItem(m_hwnd, IDC_VALUE_BASE_LABEL, r.right, r.y3, r.hw, lh);
    MoveItem(m_hwnd, IDC_VALUE_STRING, r.m, r.y4, r.cw, fh);
    MoveItem(m_hwnd, IDC_VALUE_DWORD, r.m, r.y4, r.hw, fh);
    MoveItem(m_hwnd, IDC_VALUE_CUSTOM_TYPE, r.m, r.y4, r.hw, fh);
    MoveRadioButtons(r.right, r.y4, r.hw);
}

void CEditValueDlg::MoveRadioButtons(int x, int y, int width)
{
    const SEditorMetrics metrics;
    MoveItem(m_hwnd, IDC_VALUE_DECIMAL, x, y, width, metrics.radioHeight);
    MoveItem(m_hwnd, IDC_VALUE_HEXADECIMAL, x, y + metrics.radioHeight + metrics.gap, width,
             metrics.radioHeight);
}
