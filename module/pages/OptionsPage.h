// The sheet's Options page: the option bits as check boxes under one master switch, and the list of
// quick extensions the context menu offers.
#pragma once
#include "PropertyPage.h"
#include "Str.h"

class Parameters;

class COptionsPage : public CPropertyPage {
public:
    explicit COptionsPage(Parameters& parameters);

    // One check box for each meaningful bit of "Options".
    static const int kBoxCount = 16;

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

private:
    void Reload();
    void Save();
    void RefreshEnabling();
    void RefreshUpDown();
    void FillList();
    CString JoinList() const;

    void AddExtension();
    void RemoveExtension();
    void MoveExtension(int step);
    void ShowAddAsDefault(bool isDefault);

    int EntryCount() const;
    int SelectedEntry() const;
    CString EntryText(int index) const;
    // Selects in the list only: the edit field keeps what the user typed. -1 selects nothing.
    void SelectEntry(int index);
    void Enable(int id, bool enabled) const { ::EnableWindow(GetItem(id), enabled); }
    bool IsChecked(int id) const { return ::IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED; }

    Parameters& m_parameters;
    HWND m_quickList = nullptr;
    HWND m_addButton = nullptr;
    BOOL m_checked[kBoxCount] = {};
    CString m_quickExts;
};
