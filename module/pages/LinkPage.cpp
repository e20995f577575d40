#include "LinkPage.h"
#include "FileList.h"
#include "Holders.h"
#include "LinkPageRes.h"
#include "Settings.h"
#include <commdlg.h>

namespace {

// "All files (*.*)|*.*" in the file dialog's form: pairs of texts ending in an empty one.
const WCHAR kAllFilesFilter[] = L"All files (*.*)\0*.*\0";
const DWORD kBrowseFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;

}

CLinkPage::CLinkPage(Parameters& parameters) : CPropertyPage(IDD_LINKPAGE), m_files(parameters.GetFileList())
{
    if (!m_files || m_files->GetSize() == 0)
        return;
    m_command = m_files->GetLinkTarget(0);
    m_arguments = m_files->GetLinkArguments(0);
    m_workingDir = m_files->GetLinkWorkingDir(0);
}

void CLinkPage::DoDataExchange(CDataExchange& exchange)
{
    exchange.Text(IDC_LINK_COMMAND, m_command);
    exchange.Text(IDC_LINK_ARGUMENTS, m_arguments);
    exchange.Text(IDC_LINK_WORKINGDIR, m_workingDir);
}

BOOL CLinkPage::OnInitDialog()
{
    m_filling = true;
    CPropertyPage::OnInitDialog();
    m_filling = false;
    return TRUE;
}

bool CLinkPage::OnCommand(UINT id, UINT code, HWND control)
{
    if (id == IDC_LINK_BROWSE && code == BN_CLICKED) {
        Browse();
        return true;
    }
    if (code == EN_CHANGE && (id == IDC_LINK_COMMAND || id == IDC_LINK_ARGUMENTS || id == IDC_LINK_WORKINGDIR)) {
        if (!m_filling)
            SetModified(true);
        return true;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

bool CLinkPage::OnSetActive()
{
    m_filling = true;
    bool active = CPropertyPage::OnSetActive();
    m_filling = false;
    return active;
}

void CLinkPage::FillControls()
{
    m_filling = true;
    UpdateData(false);
    m_filling = false;
}

void CLinkPage::Browse()
{
    // What was typed so far stays: the browser replaces only the command.
    UpdateData(true);
    WCHAR path[MAX_PATH] = {};
    ::lstrcpynW(path, m_command, ARRAYSIZE(path));
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    // Owned by the sheet, so the sheet cannot be closed under the open dialog.
    dialog.hwndOwner = GetSheet();
    dialog.lpstrFilter = kAllFilesFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = ARRAYSIZE(path);
    dialog.Flags = kBrowseFlags;
    BOOL chosen;
    {
        // The open dialog moves the process's current directory as the user browses, whatever the
        // flags say; the process is the host's, so its own directory comes back.
        CCurrentDirectoryKeeper keeper;
        chosen = ::GetOpenFileNameW(&dialog);
    }
    if (!chosen)
        return;
    m_command = path;
    FillControls();
    SetModified(true);
}

bool CLinkPage::OnApply()
{
    OnOK();
    return true;
}

void CLinkPage::OnOK()
{
    FillControls();
    if (m_files)
        m_files->WriteShortcut(m_hwnd, m_command, m_arguments, m_workingDir);
    PostCancelToClose();
}
