// The sheet's Type page: the registered file types and the new extension of the selected files.
#pragma once
#include "Holders.h"
#include "PropertyPage.h"
#include "Str.h"

class CExtList;
class CFileList;
class Parameters;

class CTypePage : public CPropertyPage {
public:
    explicit CTypePage(Parameters& parameters);

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    bool OnKillActive() override;
    void OnOK() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;

private:
    void AttachIcons();
    void InsertColumns(const int widths[3]);
    void FillList();
    int ItemOfRecord(int record) const;
    int RecordOfItem(int item) const;
    void SelectItem(int item);
    void OnExtensionChanged();
    void OnItemChanged(const NMLISTVIEW& change);
    void OnColumnClick(int column);
    void ShowTypesMenu();
    void ToggleRegistration();
    void SaveWidths();
    void OnDestroy();

    Parameters& m_parameters;
    CFileList* m_files;
    CExtList* m_types = nullptr;
    HWND m_edit = nullptr;
    HWND m_list = nullptr;
    CString m_text;      // the extension shown in the edit, without dot
    CString m_baseline;  // what the files were last renamed to; "*" before the first rename
    int m_selected = -1;
    CMenuHandle m_menu;
    HIMAGELIST m_icons = nullptr;  // the system's small-icon list, borrowed: never destroyed here
};
