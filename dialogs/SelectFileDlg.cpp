// The file selection dialog: listing a folder, walking folders, the typed name and its checks,
// the location line and the layout.
#include "dialogs/SelectFileDlg.h"

#include "dialogs/FilePaths.h"
#include "dialogs/FilesFinder.h"
#include "res/resource.h"
#include "shd/DeviceInfo.h"
#include "shd/DialogLayout.h"
#include "shd/MessageBox.h"
#include "shd/ScreenScale.h"
#include "shd/ShdFontsManager.h"
#include "shd/WaitCursor.h"
#include "shd/WndNoRedraw.h"

#include <cwchar>

namespace {

const wchar_t kParentName[] = L"..";
const wchar_t kLocationPrefix[] = L"Location: ";
const wchar_t kEllipsis[] = L"...";

bool LessNoCase(const CSelectFileDlg::SItem& a, const CSelectFileDlg::SItem& b)
{
    return _wcsicmp(a.name, b.name) < 0;
}

int FolderImage(DWORD attributes)
{
    if (attributes != 0xFFFFFFFF && (attributes & FILE_ATTRIBUTE_TEMPORARY))
        return CSelectFileDlg::kImageStorageCard;
    return CSelectFileDlg::kImageFolder;
}

int FileImage(const CString& name)
{
    return GetExtension(name).EqualsNoCase(L".reg") ? CSelectFileDlg::kImageRegFile
                                                    : CSelectFileDlg::kImageFile;
}

// "...", ". ." and the like name the folder itself once the file system drops trailing dots
// and blanks.
bool IsOnlyDotsAndBlanks(const CString& name)
{
    for (int i = 0; i < name.GetLength(); ++i) {
        if (name[i] != L'.' && name[i] != L' ')
            return false;
    }
    return true;
}

} // namespace

CSelectFileDlg::CSelectFileDlg()
{
    SetFullScreen(true);
    GetPpcHelper().SetHeader(L"Select File");
    GetPpcHelper().EnableInputPanel();
    GetPpcHelper().NoVerticalScroll();
}

CSelectFileDlg::~CSelectFileDlg() = default;

bool CSelectFileDlg::Run(HWND parent, CString& path)
{
    m_fileName = path;
    if (DoModal(GetModuleHandleW(nullptr), IDD_SELECT_FILE, parent, 0) != IDOK)
        return false;
    path = m_fileName;
    return true;
}

CString CSelectFileDlg::GetStartFolder(const CString& path)
{
    const DWORD attributes = path.IsEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path);
    CString folder, name;
    if (attributes == INVALID_FILE_ATTRIBUTES)
        folder = L"\\";
    else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        folder = RemoveTrailingBackslash(path);
    else
        SplitFilePath(path, folder, name);
    return folder.IsEmpty() ? CString(L"\\") : folder;
}

INT_PTR CSelectFileDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, OnNotify(*reinterpret_cast<const NMHDR*>(lParam)));
        return TRUE;
    case WM_SIZE:
        OnSize();
        return TRUE;
    case WM_DESTROY:
        m_listCtrl.Detach();
        return FALSE;
    }
    return HandleShellMessage(message, wParam, lParam) ? TRUE : FALSE;
}

INT_PTR CSelectFileDlg::OnInitDialog()
{
    if (!SetUpMenuOrSoftKeys(IDR_SELECT_FILE_MENU, IDR_SELECT_FILE_SOFTKEYS)) {
        EndDialog(m_hwnd, kNoMenuBar);
        return FALSE;
    }
    m_label = GetDlgItem(m_hwnd, IDC_FILE_LABEL);
    m_nameEdit = GetDlgItem(m_hwnd, IDC_FILE_NAME);
    m_location = GetDlgItem(m_hwnd, IDC_FILE_LOCATION);
    m_list = GetDlgItem(m_hwnd, IDC_FILE_LIST);
    if (IsSmartphone()) {
        m_listCtrl.SetOwner(m_hwnd);
        m_listCtrl.Attach(m_list);
    }
    PrepareList();
    OnSize();
    ListFolder(GetStartFolder(m_fileName), nullptr);
    return TRUE;
}

void CSelectFileDlg::PrepareList()
{
    RECT client;
    GetClientRect(m_list, &client);
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(m_list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
    SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    m_listFont = CShdFontsManager::Instance().GetDialogFont();
    SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(m_listFont), FALSE);
    SetListImages();
}

// 16-pixel images, or 32 on a high-density screen; magenta is transparent.
void CSelectFileDlg::SetListImages()
{
    const bool large = IsHighResolution();
    const int size = large ? 32 : 16;
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 5, 0);
    HBITMAP strip =
        LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(large ? IDB_FILES_LARGE : IDB_FILES));
    if (images && strip)
        ImageList_AddMasked(images, strip, RGB(255, 0, 255));
    if (strip)
        DeleteObject(strip);
    // The list destroys the image list with itself (no LVS_SHAREIMAGELISTS).
    if (images)
        SendMessageW(m_list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void CSelectFileDlg::ListFolder(const CString& folder, const wchar_t* select)
{
    CWaitCursor wait;
    m_folder = folder.IsEmpty() ? CString(L"\\") : folder;
    {
        CWndNoRedraw noRedraw(m_list);
        SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
        CollectItems(m_folder);
        FillList(select);
    }
    SetWindowTextW(m_nameEdit, select ? select : L"");
    UpdateLocation();
}

// Folders and files each sorted without regard to case; a folder that cannot be read shows
// only its parent entry.
void CSelectFileDlg::CollectItems(const CString& folder)
{
    m_items.RemoveAll();
    CShdObjArray<SItem> folders, files;
    CFilesFinder finder;
    for (bool more = finder.FindFirst(AddBackslash(folder) + L"*"); more; more = finder.FindNext()) {
        const DWORD attributes = finder.GetAttributes();
        SItem item;
        item.name = finder.GetName();
        const bool isFolder = attributes != 0xFFFFFFFF && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        item.kind = isFolder ? kFolder : kFile;
        item.image = isFolder ? FolderImage(attributes) : FileImage(item.name);
        (isFolder ? folders : files).Add(item);
    }
    folders.Sort(LessNoCase);
    files.Sort(LessNoCase);
    if (!IsRootFolder(folder)) {
        SItem parent;
        parent.name = kParentName;
        parent.kind = kParentEntry;
        parent.image = kImageParent;
        m_items.Add(parent);
    }
    for (int i = 0; i < folders.GetSize(); ++i)
        m_items.Add(folders[i]);
    for (int i = 0; i < files.GetSize(); ++i)
        m_items.Add(files[i]);
}

void CSelectFileDlg::FillList(const wchar_t* select)
{
    const int count = m_items.GetSize();
    SendMessageW(m_list, LVM_SETITEMCOUNT, WPARAM(count), 0);
    int selected = -1;
    for (int i = 0; i < count && selected < 0 && select; ++i) {
        if (m_items[i].name.EqualsNoCase(select))
            selected = i;
    }
    if (selected < 0)
        return;
    LVITEMW state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_list, LVM_SETITEMSTATE, WPARAM(selected), reinterpret_cast<LPARAM>(&state));
    SendMessageW(m_list, LVM_ENSUREVISIBLE, WPARAM(selected), FALSE);
}

void CSelectFileDlg::OnCommand(UINT id)
{
    switch (id) {
    case ID_SELECT_FILE:
        OnSelect();
        break;
    case IDOK:
        OnOk();
        break;
    case IDCANCEL:
        EndDialog(m_hwnd, IDCANCEL);
        break;
    }
}

LRESULT CSelectFileDlg::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom != m_list)
        return 0;
    switch (header.code) {
    case LVN_GETDISPINFOW:
        OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item);
        return 0;
    case LVN_ITEMACTIVATE: {
        const NMITEMACTIVATE& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
        OnItemActivate(activate.iItem, activate.ptAction.x != -1 || activate.ptAction.y != -1);
        return 0;
    }
    case LVN_ITEMCHANGED: {
        const NMLISTVIEW& change = reinterpret_cast<const NMLISTVIEW&>(header);
        const bool selected = (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED);
        if ((change.uChanged & LVIF_STATE) && selected && m_items.GetAt(change.iItem))
            SetWindowTextW(m_nameEdit, m_items[change.iItem].name);
        return 0;
    }
    case NM_SETFOCUS:
        OnListSetFocus();
        return 0;
    }
    return 0;
}

void CSelectFileDlg::OnGetDisplayInfo(LVITEMW& item) const
{
    const SItem* entry = m_items.GetAt(item.iItem);
    if (!entry)
        return;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        lstrcpynW(item.pszText, entry->name, item.cchTextMax);
    if (item.mask & LVIF_IMAGE)
        item.iImage = entry->image;
}

void CSelectFileDlg::OnItemActivate(int index, bool tapped)
{
    const SItem* item = m_items.GetAt(index);
    if (!item)
        return;
    switch (item->kind) {
    case kParentEntry:
        GoUp();
        break;
    case kFolder:
        OpenFolder(item->name);
        break;
    default:
        SetWindowTextW(m_nameEdit, item->name);
        if (!tapped)
            ValidateAndEnd();
        break;
    }
}

void CSelectFileDlg::OnListSetFocus()
{
    if (GetSelectedIndex() >= 0 || m_items.IsEmpty())
        return;
    LVITEMW state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
}

int CSelectFileDlg::GetSelectedIndex() const
{
    return int(SendMessageW(m_list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

void CSelectFileDlg::OnSelect()
{
    CString name;
    CShdWnd::QueryWindowText(m_nameEdit, name);
    if (!OpenItemByName(name))
        ValidateAndEnd();
}

// Enter: in the list it acts on the selected item as the handheld's action key does; elsewhere
// it is "Select", so a typed folder name opens the folder instead of coming back as a file.
void CSelectFileDlg::OnOk()
{
    const int selected = GetSelectedIndex();
    if (GetFocus() == m_list && selected >= 0)
        OnItemActivate(selected, false);
    else
        OnSelect();
}

bool CSelectFileDlg::OpenItemByName(const CString& name)
{
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (!m_items[i].name.EqualsNoCase(name))
            continue;
        if (m_items[i].kind == kParentEntry) {
            GoUp();
            return true;
        }
        if (m_items[i].kind == kFolder) {
            OpenFolder(m_items[i].name);
            return true;
        }
    }
    return false;
}

void CSelectFileDlg::GoUp()
{
    CString folder = m_folder;
    CString left = SplitLastFolder(folder);
    ListFolder(folder, left);
}

void CSelectFileDlg::OpenFolder(const CString& name)
{
    ListFolder(AddBackslash(m_folder) + name, kParentName);
}

bool CSelectFileDlg::ValidateAndEnd()
{
    CString name;
    CShdWnd::QueryWindowText(m_nameEdit, name);
    if (name.IsEmpty()) {
        FailValidation(L"File name can not be empty.");
        return false;
    }
    if (IsOnlyDotsAndBlanks(name)) {
        FailValidation(L"Invalid file name.");
        return false;
    }
    if (!IsValidFileName(name)) {
        FailValidation(L"File name can not contain the following characters:\r\n\\/:*?\"<>|");
        return false;
    }
    // A listed file keeps its own name: the suffix is for a new name typed without one.
    if (name.Find(L'.') < 0 && !IsListedFile(name))
        name += L".reg";
    m_fileName = AddBackslash(m_folder) + name;
    EndDialog(m_hwnd, IDOK);
    return true;
}

bool CSelectFileDlg::IsListedFile(const CString& name) const
{
    for (int i = 0; i < m_items.GetSize(); ++i) {
        if (m_items[i].kind == kFile && m_items[i].name.EqualsNoCase(name))
            return true;
    }
    return false;
}

void CSelectFileDlg::FailValidation(const wchar_t* message)
{
    ShowErrorMessage(m_hwnd, message);
    SetFocus(m_nameEdit);
}

// Vertical lengths at 96 dpi: a short screen (below 160) hides the location line and packs
// the rest closer.
void CSelectFileDlg::OnSize()
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    const bool isShort = client.bottom < ScaleY(160);
    const int left = ScaleX(8), right = client.right - ScaleX(8);
    const int gap = ScaleY(isShort ? 3 : 4);
    int top = ScaleY(isShort ? 28 : 31);
    PlaceControl(m_label, left, top, right, top + ScaleY(13));
    top += ScaleY(13) + gap;
    PlaceControl(m_nameEdit, left, top, right, top + ScaleY(19));
    top += ScaleY(19);
    ShowWindow(m_location, isShort ? SW_HIDE : SW_SHOW);
    if (!isShort) {
        top += ScaleY(4);
        PlaceControl(m_location, left, top, right, top + ScaleY(13));
        top += ScaleY(13);
    }
    top += gap;
    PlaceControl(m_list, left, top, right, client.bottom - ScaleY(isShort ? 4 : 8));
    FitListColumn();
    UpdateLocation();
}

void CSelectFileDlg::FitListColumn()
{
    RECT client;
    GetClientRect(m_list, &client);
    int width = client.right;
    if (!(GetWindowLongPtrW(m_list, GWL_STYLE) & WS_VSCROLL))
        width -= GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(m_list, LVM_SETCOLUMNWIDTH, 0, width > 0 ? width : 0);
}

void CSelectFileDlg::UpdateLocation()
{
    if (!m_location)
        return;
    RECT client;
    GetClientRect(m_location, &client);
    HDC dc = GetDC(m_location);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(m_location, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    auto fits = [&](const CString& text) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, text, text.GetLength(), &size);
        return size.cx <= client.right;
    };
    CString text = FitLocationText(m_folder, fits);
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(m_location, dc);
    SetWindowTextW(m_location, text);
}

// The folder in three parts: the first part up to the first backslash that is not the first
// character, the middle, and the last part from the last backslash on. Characters go from the
// end of the middle, then from the end of the first part, then from the start of the last
// part; "..." marks where they went.
CString CSelectFileDlg::FitLocationText(const CString& folder,
                                        const std::function<bool(const CString&)>& fits)
{
    CString text = kLocationPrefix + folder;
    if (fits(text))
        return text;
    const int lastSlash = folder.ReverseFind(L'\\');
    CString head = lastSlash > 0 ? folder.Left(lastSlash) : CString();
    CString last = lastSlash >= 0 ? folder.Mid(lastSlash) : folder;
    const int firstSlash = head.Find(L'\\', 1);
    CString first = firstSlash > 0 ? head.Left(firstSlash + 1) : head;
    CString middle = firstSlash > 0 ? head.Mid(firstSlash + 1) : CString();
    while (!middle.IsEmpty() || !first.IsEmpty() || !last.IsEmpty()) {
        if (!middle.IsEmpty())
            middle.Truncate(middle.GetLength() - 1);
        else if (!first.IsEmpty())
            first.Truncate(first.GetLength() - 1);
        else
            last.Delete(0);
        text = kLocationPrefix + first + middle + kEllipsis + last;
        if (fits(text))
            break;
    }
    return text;
}
