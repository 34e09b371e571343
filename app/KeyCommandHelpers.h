// Small helpers of the main window's key and value commands.
//   CCommandFocus focus(list, tree);  made at the start of a command that shows a dialog or a
//       message: notes whether the value list has the focus and, at the end of its scope, gives
//       the focus back to the list if so, else to the tree
//   JoinKeyPath(parent, name)         "parent\name", or name alone under a root
//   KeyExistsAt(root, path)           the key can be opened
//   CFlagScope scope(flag);           sets flag for its scope
//   CPointerScope<T> scope(pointer, value);  points pointer at value for its scope
#pragma once

#include "registry/ShdRegKey.h"
#include "shd/String.h"

#include <windows.h>

class CCommandFocus
{
public:
    CCommandFocus(HWND list, HWND tree) : m_list(list), m_tree(tree), m_listHadFocus(HasFocus(list)) {}
    ~CCommandFocus()
    {
        if (!m_released)
            SetFocus(m_listHadFocus ? m_list : m_tree);
    }
    CCommandFocus(const CCommandFocus&) = delete;
    CCommandFocus& operator=(const CCommandFocus&) = delete;

    // For a command that has put the focus where it belongs itself.
    void Release() { m_released = true; }

private:
    static bool HasFocus(HWND control)
    {
        HWND focus = GetFocus();
        return control && focus && (focus == control || IsChild(control, focus));
    }

    HWND m_list;
    HWND m_tree;
    bool m_listHadFocus;
    bool m_released = false;
};

inline CString JoinKeyPath(const CString& parent, const wchar_t* name)
{
    return parent.IsEmpty() ? CString(name) : parent + L"\\" + name;
}

inline bool KeyExistsAt(HKEY root, const wchar_t* path)
{
    CShdRegKey key(false);
    return key.Open(root, path);
}

class CFlagScope
{
public:
    explicit CFlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~CFlagScope() { m_flag = false; }
    CFlagScope(const CFlagScope&) = delete;
    CFlagScope& operator=(const CFlagScope&) = delete;

private:
    bool& m_flag;
};

template <class T> class CPointerScope
{
public:
    CPointerScope(T*& pointer, T* value) : m_pointer(pointer), m_previous(pointer) { m_pointer = value; }
    ~CPointerScope() { m_pointer = m_previous; }
    CPointerScope(const CPointerScope&) = delete;
    CPointerScope& operator=(const CPointerScope&) = delete;

private:
    T*& m_pointer;
    T* m_previous;
};
