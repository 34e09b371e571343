// CSelectFileDlg: the program's own file dialog for import and export. It lists the current
// folder (the parent entry "..", then folders, then files, each group in name order), lets the
// user walk the folders and returns one full path; a typed name without a dot gets ".reg"
// unless it is the name of a listed file.
//   CString path;  // "" starts in the root folder "\"
//   if (CSelectFileDlg().Run(parent, path)) ... // path: the chosen file; it may not exist
#pragma once

#include "shd/ShdHandheldDialog.h"
#include "shd/ShdObjArray.h"
#include "shd/ShdWnd.h"
#include "shd/String.h"

#include <commctrl.h>

#include <functional>

class CSelectFileDlg : public CShdHandheldDialog
{
public:
    enum EKind
    {
        kParentEntry = 1,
        kFolder = 2,
        kFile = 3
    };

    // One list entry; the list's index is its index in the item array.
    struct SItem
    {
        CString name;
        int kind = kFile;
        int image = 0; // EImage
    };

    // Images of the list, in the order of the bitmap strips.
    enum EImage
    {
        kImageFile,
        kImageFolder,
        kImageParent,
        kImageRegFile,
        kImageStorageCard
    };

    // Keypad navigation for the list on a Smartphone: Tab, Left and Right, and Up or Down past
    // the list's ends move to the neighbouring control of the dialog.
    class CFilesListCtrl : public CShdWnd
    {
    public:
        CFilesListCtrl() = default;
        ~CFilesListCtrl() override;
        void SetOwner(HWND owner) { m_owner = owner; }
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        bool OnKeyDown(UINT key);
        void MoveFocus(bool previous);

        HWND m_owner = nullptr;
    };

    CSelectFileDlg();
    ~CSelectFileDlg() override;

    // True with path the chosen file's full path; false on Cancel or a close request.
    bool Run(HWND parent, CString& path);

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The shown state, for the command's callers and the tests.
    const CString& GetFolder() const { return m_folder; }
    int GetItemCount() const { return m_items.GetSize(); }
    const SItem* GetItem(int index) const { return m_items.GetAt(index); }

    // "Location: " and the folder, shortened until fits accepts it (see the .cpp).
    static CString FitLocationText(const CString& folder, const std::function<bool(const CString&)>& fits);
    // The folder the dialog starts in for a given path.
    static CString GetStartFolder(const CString& path);

private:
    INT_PTR OnInitDialog();
    void PrepareList();
    void SetListImages();
    void ListFolder(const CString& folder, const wchar_t* select);
    void CollectItems(const CString& folder);
    void FillList(const wchar_t* select);
    void OnCommand(UINT id);
    LRESULT OnNotify(const NMHDR& header);
    void OnGetDisplayInfo(LVITEMW& item) const;
    void OnItemActivate(int index, bool tapped);
    void OnListSetFocus();
    void OnSelect();
    void OnOk();
    bool OpenItemByName(const CString& name);
    void GoUp();
    void OpenFolder(const CString& name);
    bool ValidateAndEnd();
    bool IsListedFile(const CString& name) const;
    void FailValidation(const wchar_t* message);
    void OnSize();
    void UpdateLocation();
    void FitListColumn();
    int GetSelectedIndex() const;

    HWND m_label = nullptr;
    HWND m_nameEdit = nullptr;
    HWND m_location = nullptr;
    HWND m_list = nullptr;
    CFilesListCtrl m_listCtrl;
    HFONT m_listFont = nullptr;
    CString m_fileName;
    CString m_folder;
    CShdObjArray<SItem> m_items;
};
