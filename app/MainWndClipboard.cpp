// The main window's own clipboard: cut and copy of keys and values keep their names (never
// their data), and paste reads the source at paste time. A move is a copy followed by a delete,
// each step checked and reported on its own. "Copy Key Name" alone uses the platform clipboard.
#include "app/KeyCommandHelpers.h"
#include "app/MainWnd.h"

#include "registry/KeyIdentity.h"
#include "registry/KeyTree.h"
#include "shd/MessageBox.h"
#include "shd/WaitCursor.h"

#include <cstdlib>
#include <cstring>

namespace {

const int kMaxCounter = 32767;

// The name without a trailing " (n)" whose n reads as a counter above 0.
CString StripCounter(const CString& name)
{
    const int length = name.GetLength();
    const int open = name.ReverseFind(L'(');
    if (length < 4 || open < 1 || name[open - 1] != L' ' || name[length - 1] != L')')
        return name;
    if (_wtol(name.Mid(open + 1, length - open - 2)) <= 0)
        return name;
    return name.Left(open - 1);
}

} // namespace

void CMainWnd::ReportError(const wchar_t* text)
{
    ShowErrorMessage(m_hwnd, text);
}

bool CMainWnd::MakeUniqueName(const wchar_t* name, const std::function<bool(const CString&)>& exists,
                              CString& unique)
{
    const CString base = StripCounter(name ? name : L"");
    for (int i = 2; i <= kMaxCounter; ++i) {
        unique.Format(L"%s (%i)", base.c_str(), i);
        if (!exists(unique))
            return true;
    }
    unique.Empty();
    return false;
}

void CMainWnd::ClearClipboard()
{
    if (m_clipState == kClipValueCut) {
        HKEY root = nullptr;
        CString path;
        if (GetCurrentKey(root, path) && root == m_clipRoot && path.EqualsNoCase(m_clipKeyPath)) {
            int index = FindValueItem(m_clipValueName);
            if (index >= 0)
                SetValueCutLook(index, false);
        }
    }
    m_tree.UnmarkCut();
    m_clipState = kClipEmpty;
    m_clipRoot = nullptr;
    m_clipKeyPath.Empty();
    m_clipValueName.Empty();
}

// The clipboard's key is the key at (root, path) or lies below it.
bool CMainWnd::ClipboardInBranch(HKEY root, const CString& path) const
{
    return m_clipState != kClipEmpty && CRegTree::IsSameOrBelow(m_clipRoot, m_clipKeyPath, root, path, true);
}

bool CMainWnd::ClipboardNamesValue(HKEY root, const CString& path, const CString& name) const
{
    return (m_clipState == kClipValueCut || m_clipState == kClipValueCopied) && m_clipRoot == root &&
           m_clipKeyPath.EqualsNoCase(path) && m_clipValueName.EqualsNoCase(name);
}

void CMainWnd::OnCutKey()
{
    OnCopyKey(true);
}

void CMainWnd::OnCopyKey()
{
    OnCopyKey(false);
}

void CMainWnd::OnCopyKey(bool cut)
{
    ClearClipboard();
    HKEY root = nullptr;
    CString path;
    if (!GetCurrentKey(root, path) || path.IsEmpty())
        return;
    m_clipState = cut ? kClipKeyCut : kClipKeyCopied;
    m_clipRoot = root;
    m_clipKeyPath = path;
    if (cut)
        m_tree.MarkCut(root, path);
}

void CMainWnd::OnCutValue()
{
    OnCopyValue(true);
}

void CMainWnd::OnCopyValue()
{
    OnCopyValue(false);
}

void CMainWnd::OnCopyValue(bool cut)
{
    ClearClipboard();
    HKEY root = nullptr;
    CString path, name;
    int index = -1;
    if (!GetCurrentKey(root, path) || !GetSelectedValue(index, name))
        return;
    m_clipState = cut ? kClipValueCut : kClipValueCopied;
    m_clipRoot = root;
    m_clipKeyPath = path;
    m_clipValueName = name;
    if (cut)
        SetValueCutLook(index, true);
}

void CMainWnd::OnPaste()
{
    if (m_clipState == kClipValueCut || m_clipState == kClipValueCopied)
        OnPasteValue();
    else if (m_clipState == kClipKeyCut || m_clipState == kClipKeyCopied)
        OnPasteKey();
}

void CMainWnd::OnPasteValue()
{
    HKEY root = nullptr;
    CString path;
    if ((m_clipState != kClipValueCut && m_clipState != kClipValueCopied) || !GetCurrentKey(root, path))
        return;
    CCommandFocus focus(m_list, m_tree.GetHwnd());
    CShdRegKey source(false);
    if (!source.Open(m_clipRoot, m_clipKeyPath)) {
        ReportError(L"Unable to open source registry key.");
        return;
    }
    DWORD type = 0;
    CShdBinaryBuffer data;
    if (!source.QueryValue(m_clipValueName, type, data)) {
        ReportError(L"Unable to read registry value.");
        return;
    }
    // One key may be reached through two roots: the spelling cannot tell, the key itself can.
    if (IsSameKey(root, path, m_clipRoot, m_clipKeyPath))
        PasteValueIntoSource(source, type, data);
    else
        PasteValueElsewhere(source, root, path, type, data);
}

// A copy into its own key gets the next free "name (n)"; a value is never moved onto itself.
void CMainWnd::PasteValueIntoSource(CShdRegKey& source, DWORD type, const CShdBinaryBuffer& data)
{
    if (m_clipState == kClipValueCut) {
        ReportError(L"You can not move value to the same registry key.");
        return;
    }
    CString unique;
    if (!MakeUniqueName(
            m_clipValueName, [&source](const CString& name) { return source.ValueExists(name); }, unique)) {
        ReportError(L"Unable to assign new unique name for this value.");
        return;
    }
    if (!source.SetValue(unique, type, data)) {
        ReportError(L"Unable to write registry value.");
        return;
    }
    source.Close(true);
    FillValueList(nullptr, false, unique);
}

void CMainWnd::PasteValueElsewhere(CShdRegKey& source, HKEY root, const CString& path, DWORD type,
                                   const CShdBinaryBuffer& data)
{
    const CString name = m_clipValueName;
    CShdRegKey target(true);
    if (!target.Open(root, path)) {
        ReportError(L"Unable to open destination registry key.");
        return;
    }
    if (target.ValueExists(name) &&
        !AskQuestion(m_hwnd,
                     L"Value with this name already exists. Do you want to overwrite existing value?")) {
        target.Close(false);
        return;
    }
    if (!target.SetValue(name, type, data)) {
        ReportError(L"Unable to write registry value.");
        return;
    }
    target.Close(true);
    if (m_clipState == kClipValueCut) {
        if (!source.DeleteValue(name))
            ReportError(L"Unable to delete source registry value.");
        source.Close(true);
        ClearClipboard();
    } else {
        source.Close(false);
    }
    FillValueList(nullptr, false, name);
}

void CMainWnd::OnPasteKey()
{
    HTREEITEM item = nullptr;
    HKEY root = nullptr;
    CString path;
    if ((m_clipState != kClipKeyCut && m_clipState != kClipKeyCopied) || !GetCurrentKey(item, root, path))
        return;
    CCommandFocus focus(m_list, m_tree.GetHwnd());
    if (IsSameOrBelowKey(root, path, m_clipRoot, m_clipKeyPath)) {
        ReportError(L"Registry key can not be copied to itself.");
        return;
    }
    CString newPath;
    if (MakeKeyPasteTarget(root, path, newPath))
        CopyKeyBranch(item, root, newPath);
}

// The path the clipboard's key gets under (root, path); false (after its message, if any) when
// the paste cannot go ahead. Keys are never merged or overwritten.
bool CMainWnd::MakeKeyPasteTarget(HKEY root, const CString& path, CString& newPath)
{
    const int slash = m_clipKeyPath.ReverseFind(L'\\');
    const CString name = m_clipKeyPath.Mid(slash + 1);
    if (name.IsEmpty())
        return false;
    newPath = JoinKeyPath(path, name);
    const CString clipParent = slash < 0 ? CString() : m_clipKeyPath.Left(slash);
    if (IsSameKey(root, path, m_clipRoot, clipParent)) {
        if (m_clipState == kClipKeyCut) {
            ReportError(L"Key can not be moved to the same location.");
            return false;
        }
        CString unique;
        auto exists = [root, &path](const CString& candidate) {
            return KeyExistsAt(root, JoinKeyPath(path, candidate));
        };
        if (!MakeUniqueName(name, exists, unique)) {
            ReportError(L"Unable to assign new unique name for this key.");
            return false;
        }
        newPath = JoinKeyPath(path, unique);
        return true;
    }
    if (KeyExistsAt(root, newPath)) {
        ReportError(L"Key with this name already exists.");
        return false;
    }
    return true;
}

// Copies the clipboard's branch to (root, newPath) below the tree item target and, for a cut,
// deletes the source; a failed copy removes what it wrote.
void CMainWnd::CopyKeyBranch(HTREEITEM target, HKEY root, const CString& newPath)
{
    const HKEY sourceRoot = m_clipRoot;
    const CString sourcePath = m_clipKeyPath;
    const bool cut = m_clipState == kClipKeyCut;
    if (cut && !AllowUndoOf(sourceRoot, sourcePath))
        return;
    const wchar_t* failure = nullptr;
    bool copied = false;
    {
        CWaitCursor wait;
        copied = CopyKeyTree(sourceRoot, sourcePath, root, newPath);
        if (copied) {
            m_tree.SelectPath(root, newPath);
            if (cut) {
                ClearClipboard();
                if (DeleteCapturedBranch(sourceRoot, sourcePath))
                    m_tree.DeleteItem(sourceRoot, sourcePath);
                else
                    failure = L"Key deletion not finished.";
            }
        } else {
            failure =
                DeleteKeyTree(root, newPath) ? L"Unable to copy registry key." : L"Key copying not finished.";
        }
    }
    if (!failure)
        return;
    ReportError(failure);
    m_tree.Refill(target);
    if (copied) {
        // The reload dropped the new key's item; what is left of the source is shown as it is.
        m_tree.SelectPath(root, newPath);
        if (HTREEITEM source = m_tree.FindItem(sourceRoot, sourcePath))
            m_tree.Refresh(source);
    }
}

void CMainWnd::OnCopyKeyName()
{
    HKEY root = nullptr;
    CString path;
    if (!GetCurrentKey(root, path))
        return;
    const CString text = CRegTree::FormatFullPath(root, path);
    const size_t bytes = (size_t(text.GetLength()) + 1) * sizeof(wchar_t);
    HLOCAL block = LocalAlloc(LMEM_FIXED, bytes);
    if (!block)
        return;
    memcpy(block, text.c_str(), bytes);
    if (!OpenClipboard(m_hwnd)) {
        LocalFree(block);
        return;
    }
    EmptyClipboard();
    // The clipboard owns the block only when it took it.
    if (!SetClipboardData(CF_UNICODETEXT, block))
        LocalFree(block);
    CloseClipboard();
}
