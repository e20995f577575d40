// The sheet's Summary page: the five document summary values of the selected file.
#pragma once
#include "FileList.h"
#include "PropertyPage.h"

class Parameters;

class CSummaryPage : public CPropertyPage {
public:
    explicit CSummaryPage(Parameters& parameters);

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    void ReportInvalidInput(LPCTSTR reason) override;
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    bool OnSetActive() override;
    void OnOK() override;

private:
    static const UINT kAllWritable = (1u << CFileList::kSummaryCount) - 1;

    bool IsWritable(int index) const;
    void ShowReadOnlyFields();

    Parameters& m_parameters;
    // Title, subject, author, keywords and comments, as the file list numbers them.
    CString m_texts[CFileList::kSummaryCount];
    // Set while the program fills the edits, whose change notices are then no edits of the user's.
    bool m_filling = false;
    // The fields the file's store lets the user change, as bits in the file list's numbering.
    UINT m_writable = kAllWritable;
};
