// The sheet's Shortcut page: the target, arguments and working folder of the selected shortcut.
#pragma once
#include "PropertyPage.h"

class CFileList;
class Parameters;

class CLinkPage : public CPropertyPage {
public:
    explicit CLinkPage(Parameters& parameters);

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnSetActive() override;
    bool OnApply() override;
    void OnOK() override;

private:
    void Browse();
    // Puts the three texts into the controls without taking that for an edit of the user's.
    void FillControls();

    CString m_command;
    CString m_arguments;
    CString m_workingDir;
    CFileList* m_files;
    bool m_filling = false;
};
