#include "SummaryPage.h"
#include "Settings.h"
#include "SummaryPageRes.h"
#include "DialogMessageBox.h"

namespace {

struct SummaryField {
    int id;
    int index;  // of the value in the file list's numbering
    int maxLength;
};

// The fields in the order of the exchange.
const SummaryField kFields[] = {
    { IDC_SUMMARY_AUTHOR, 2, 50 },
    { IDC_SUMMARY_COMMENTS, 4, 200 },
    { IDC_SUMMARY_KEYWORDS, 3, 50 },
    { IDC_SUMMARY_SUBJECT, 1, 50 },
    { IDC_SUMMARY_TITLE, 0, 50 },
};

bool IsField(UINT id)
{
    for (const SummaryField& field : kFields) {
        if (UINT(field.id) == id)
            return true;
    }
    return false;
}

}

CSummaryPage::CSummaryPage(Parameters& parameters) : CPropertyPage(IDD_SUMMARYPAGE), m_parameters(parameters)
{
}

void CSummaryPage::DoDataExchange(CDataExchange& exchange)
{
    // A read-only field holds what the file holds, however long: the user could not shorten it.
    for (const SummaryField& field : kFields) {
        if (IsWritable(field.index))
            exchange.Text(field.id, m_texts[field.index], field.maxLength);
        else
            exchange.Text(field.id, m_texts[field.index]);
    }
}

bool CSummaryPage::IsWritable(int index) const
{
    return (m_writable & (1u << index)) != 0;
}

// Makes read-only the fields that the file's property handler does not write, and says why below
// them, in room taken from the comments.
void CSummaryPage::ShowReadOnlyFields()
{
    for (const SummaryField& field : kFields)
        if (!IsWritable(field.index))
            ::SendDlgItemMessageW(m_hwnd, field.id, EM_SETREADONLY, TRUE, 0);
    HWND note = ::GetDlgItem(m_hwnd, IDC_SUMMARY_READONLY_NOTE);
    HWND comments = ::GetDlgItem(m_hwnd, IDC_SUMMARY_COMMENTS);
    RECT noteRect, commentsRect, gap = { 0, 0, 0, 3 };
    if (!note || !comments || !::GetWindowRect(note, &noteRect) || !::GetWindowRect(comments, &commentsRect))
        return;
    ::MapDialogRect(m_hwnd, &gap);
    int height = noteRect.top - gap.bottom - commentsRect.top;
    ::SetWindowPos(comments, nullptr, 0, 0, commentsRect.right - commentsRect.left, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(note, SW_SHOWNA);
}

void CSummaryPage::ReportInvalidInput(LPCTSTR reason)
{
    ShowMessageBox(m_hwnd, reason, nullptr, MB_OK | MB_ICONEXCLAMATION);
}

BOOL CSummaryPage::OnInitDialog()
{
    m_filling = true;
    CPropertyPage::OnInitDialog();
    CFileList* files = m_parameters.GetFileList();
    if (files && files->GetSize() > 0) {
        CFileList::CFileInfo& info = files->ElementAt(0);
        for (int i = 0; i < CFileList::kSummaryCount; ++i)
            m_texts[i] = info.GetSummaryText(i);
        m_writable = files->WritableSummaryFields();
    }
    UpdateData(false);
    if (m_writable != kAllWritable)
        ShowReadOnlyFields();
    m_filling = false;
    return TRUE;
}

bool CSummaryPage::OnCommand(UINT id, UINT code, HWND control)
{
    if (code == EN_CHANGE && IsField(id)) {
        if (!m_filling)
            SetModified(true);
        return true;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

bool CSummaryPage::OnSetActive()
{
    m_filling = true;
    bool active = CPropertyPage::OnSetActive();
    m_filling = false;
    return active;
}

// Leaving the page, which the sheet does before applying, has saved the controls into the texts.
void CSummaryPage::OnOK()
{
    CFileList* files = m_parameters.GetFileList();
    if (files)
        files->WriteSummary(m_hwnd, m_texts[0], m_texts[1], m_texts[2], m_texts[3], m_texts[4]);
    PostCancelToClose();
}
