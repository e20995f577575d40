// The sheet's Attributes page: six attributes of the selected files as check boxes, indeterminate
// where the files disagree.
#pragma once
#include "PropertyPage.h"

class CFileList;
class Parameters;

class CAttrPage : public CPropertyPage {
public:
    explicit CAttrPage(Parameters& parameters);

    static const int kBoxCount = 6;

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

private:
    CFileList* m_files;
    // The OR of the files' attributes, and the bits on which they do not all agree.
    DWORD m_union = 0;
    DWORD m_mixed = 0;
    HWND m_boxes[kBoxCount] = {};
    int m_states[kBoxCount] = {};
};
