// CSearchDlg: the modal "Search" dialog. It edits the search options the settings store keeps,
// and the user ends it with "Start" (find the next match) or "Find All" (list every match).
//   CSearchDlg dialog; SSearchOptions options; bool findAll;
//   if (dialog.DoModal(parent, options, findAll)) ... // the options are stored and flushed
#pragma once

#include "settings/SearchOptions.h"
#include "shd/ShdHandheldDialog.h"

class CSearchDlg : public CShdHandheldDialog
{
public:
    CSearchDlg();
    ~CSearchDlg() override = default;

    // True when confirmed; then the settings hold the options, written and flushed.
    bool DoModal(HWND parent, SSearchOptions& options, bool& findAll);

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    enum EControl
    {
        kSearchString,
        kKeyNames,
        kValueNames,
        kValueData,
        kWholeString,
        kCaseSensitive,
        kStrings,
        kMultiStrings,
        kDwords,
        kBinary,
        kControlCount
    };

    bool CreateMenuBar();
    INT_PTR OnInitDialog();
    void OnCommand(UINT id);
    void OnSize();
    void FillControls();
    void ReadControls();
    void EnableTypes();
    bool Validate();
    void CloseWithSearch(bool findAll);
    bool IsChecked(EControl control) const;
    void SetCheck(EControl control, bool checked);
    bool* CheckField(EControl control);

    SSearchOptions m_options;
    bool m_findAll = false;
    HWND m_controls[kControlCount] = {};
};
