// CEditValueDlg: creates a registry value or changes the data of an existing one, in the
// editor its type calls for: a text field for strings, a number field with a decimal or
// hexadecimal base for double words, a multi-line field for multi-strings, and the raw bytes
// for binary data, other types and "Edit as Binary...". The dialog reads, converts, checks and
// writes the value itself.
//   CEditValueDlg dialog; dialog.EditValue(parent, root, keyPath, valueName, asBinary)
//   CEditValueDlg dialog; dialog.NewValue(parent, root, keyPath, type, asBinary, name)
// Both return true only when the value was written; NewValue then gives the name it has.
#pragma once

#include "dialogs/EditorDialog.h"
#include "dialogs/HexEditCtrl.h"
#include "registry/ShdBinaryBuffer.h"

class CEditValueDlg : public CEditorDialog
{
public:
    CEditValueDlg();

    bool EditValue(HWND parent, HKEY root, const wchar_t* keyPath, const wchar_t* valueName, bool asBinary);
    bool NewValue(HWND parent, HKEY root, const wchar_t* keyPath, DWORD type, bool asBinary, CString& name);

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    enum class EEditor
    {
        kString,
        kDword,
        kMultiString,
        kBytes
    };
    enum class EOutcome
    {
        kReady,
        kInvalid,     // "Entered value is invalid"
        kNameTaken,   // "Value with this name already exists"
        kWriteFailed, // "Unable to write value"
    };
    // The rows and columns both arrangements share.
    struct SRows
    {
        int m, cw, hw, right;
        int y1, y2, y3, y4;
    };

    bool RunDialog(HWND parent);
    EEditor ChooseEditor() const;
    BOOL OnInitDialog();
    bool CreateHexEditor();
    bool ReadInitialData();
    bool ShowData();
    void ShowEditor();
    void OnCommand(WPARAM wParam);
    BOOL OnNotify(const NMHDR& header);
    void OnBaseClicked();
    void OnDone();
    EOutcome ReadEditor(CShdBinaryBuffer& data, DWORD& type);
    EOutcome ReadText(int id, bool multiString, CShdBinaryBuffer& data);
    EOutcome ReadBytes(CShdBinaryBuffer& data, DWORD& type);
    EOutcome Write(const CShdBinaryBuffer& data, DWORD type);
    void CheckBase(DWORD base);
    int EditorControl() const;
    void Layout();
    static SRows Rows(int width);
    void LayoutOneColumn(int width, int b);
    void LayoutTwoColumns(int width, int b);
    void MoveRadioButtons(int x, int y, int width);
    void FitHexEditor();

    HKEY m_root = nullptr;
    CString m_keyPath;
    CString m_valueName;
    DWORD m_type = REG_NONE;
    bool m_isNew = false;
    bool m_asBinary = false;
    DWORD m_base = 10;
    EEditor m_editor = EEditor::kString;
    CHexEditCtrl m_hexEdit;
    // The data as read and the text first shown for it: Done with that text unchanged writes
    // these bytes back as they were.
    CShdBinaryBuffer m_original;
    CString m_shownText;
    // Edited multi-string text had empty lines that were left out of the written value.
    bool m_droppedEmptyLines = false;
};
