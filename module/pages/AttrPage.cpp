#include "AttrPage.h"
#include "AttrPageRes.h"
#include "FileList.h"
#include "Settings.h"

namespace {

struct AttributeBox {
    int id;
    DWORD bit;
};

// The boxes in the order of m_states; Temporary and Compressed are disabled in the template.
const AttributeBox kBoxes[CAttrPage::kBoxCount] = {
    { IDC_ATTR_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE },
    { IDC_ATTR_READONLY, FILE_ATTRIBUTE_READONLY },
    { IDC_ATTR_HIDDEN, FILE_ATTRIBUTE_HIDDEN },
    { IDC_ATTR_SYSTEM, FILE_ATTRIBUTE_SYSTEM },
    { IDC_ATTR_TEMPORARY, FILE_ATTRIBUTE_TEMPORARY },
    { IDC_ATTR_COMPRESSED, FILE_ATTRIBUTE_COMPRESSED },
};

bool IsEditableBox(UINT id)
{
    return id == IDC_ATTR_ARCHIVE || id == IDC_ATTR_READONLY || id == IDC_ATTR_HIDDEN || id == IDC_ATTR_SYSTEM;
}

}

CAttrPage::CAttrPage(Parameters& parameters) : CPropertyPage(IDD_ATTRPAGE), m_files(parameters.GetFileList())
{
    const int count = m_files ? m_files->GetSize() : 0;
    for (int i = 0; i < count; ++i) {
        DWORD attributes = m_files->GetAttributes(i);
        if (i == 0) {
            m_union = attributes;
            continue;
        }
        m_mixed |= m_union ^ attributes;
        m_union |= attributes;
    }
    for (int i = 0; i < kBoxCount; ++i) {
        const DWORD bit = kBoxes[i].bit;
        m_states[i] = !(m_union & bit) ? BST_UNCHECKED : (m_mixed & bit) ? BST_INDETERMINATE : BST_CHECKED;
    }
}

void CAttrPage::DoDataExchange(CDataExchange& exchange)
{
    for (int i = 0; i < kBoxCount; ++i) {
        exchange.Control(kBoxes[i].id, m_boxes[i]);
        exchange.ThreeStateCheck(kBoxes[i].id, m_states[i]);
    }
    exchange.Number(IDC_ATTR_UNION, m_union);
    exchange.Number(IDC_ATTR_MIXED, m_mixed);
}

bool CAttrPage::OnCommand(UINT id, UINT code, HWND control)
{
    if (code == BN_CLICKED && IsEditableBox(id)) {
        SetModified(true);
        return true;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

// The sheet has saved the boxes into m_states when the page was last left, so they are current.
void CAttrPage::OnOK()
{
    UpdateData(false);
    DWORD requested = 0, keep = 0;
    for (int i = 0; i < kBoxCount; ++i) {
        if (m_states[i] == BST_CHECKED)
            requested |= kBoxes[i].bit;
        else if (m_states[i] == BST_INDETERMINATE)
            keep |= kBoxes[i].bit;
    }
    if (m_files)
        m_files->SetAttributes(m_hwnd, requested, keep);
    PostCancelToClose();
}
