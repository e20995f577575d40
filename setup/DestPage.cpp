#include "DestPage.h"
#include "DialogMessageBox.h"
#include "FolderTree.h"
#include "Holders.h"
#include "RegistryString.h"
#include "resource.h"
#include <shlobj.h>

namespace {

const LRESULT kStay = -1;
const LRESULT kGoOn = 0;

// Used when the platform does not say where programs go.
CString FallbackProgramFolder()
{
    char windows[MAX_PATH];
    UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    CString folder(length >= 2 && length < MAX_PATH ? windows : "C:", 2);
    folder += "\\Program Files";
    return folder;
}

}

CDestPage::CDestPage() : CPropertyPage(IDD_DESTINATION)
{
}

void CDestPage::DoDataExchange(CDataExchange& exchange)
{
    exchange.Text(IDC_DESTINATION, m_folder);
}

BOOL CDestPage::OnInitDialog()
{
    // The page is created when it is first shown; later visits keep what the user typed.
    ProposeDefaultFolder();
    return CPropertyPage::OnInitDialog();
}

void CDestPage::ProposeDefaultFolder()
{
    if (!m_folder.IsEmpty())
        return;
    CRegKeyHandle key;
    char programFiles[MAX_PATH] = {};
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        AppMessageBox("Could not open Windows Current Version key!");
    } else if (ReadRegistryString(key, "ProgramFilesDir", programFiles, sizeof(programFiles), RegistryText::AnyType) !=
               ERROR_SUCCESS) {
        AppMessageBox("Could not read Program Files location!");
    }
    key.Close();
    m_folder = programFiles[0] ? CString(programFiles) : FallbackProgramFolder();
    m_folder += "\\Morvane";
}

bool CDestPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == PSM_QUERYSIBLINGS && wParam == 0) {
        result = reinterpret_cast<LRESULT>(m_folder.GetString());
        return true;
    }
    return CPropertyPage::OnMessage(message, wParam, lParam, result);
}

bool CDestPage::OnCommand(UINT id, UINT code, HWND control)
{
    if (id == IDC_BROWSE && code == BN_CLICKED) {
        Browse();
        return true;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

void CDestPage::Browse()
{
    char displayName[MAX_PATH];
    BROWSEINFOA browse = {};
    browse.hwndOwner = m_hwnd;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = "Select Installation Folder for Morvane files";
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    CCoTaskMem item(::SHBrowseForFolderA(&browse));
    if (!item.IsValid())
        return;
    char path[MAX_PATH];
    if (!::SHGetPathFromIDListA(static_cast<PCIDLIST_ABSOLUTE>(item.Get()), path)) {
        AppMessageBox("Not a valid path name!");
        return;
    }
    m_folder = path;
    UpdateData(false);
}

bool CDestPage::OnSetActive()
{
    SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

LRESULT CDestPage::OnWizardNext()
{
    UpdateData(true);
    char full[MAX_PATH];
    DWORD length = ::GetFullPathNameA(m_folder, MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        AppMessageBox("Could not parse installation path.\nNot a valid path name.");
        return kStay;
    }
    m_folder = full;
    if (!IsExistingFolder(m_folder)) {
        CString question;
        question.Format("Path '%s' does not exist - would you like to create it?", m_folder.GetString());
        if (ShowMessageBox(m_hwnd, question, "Create path?", MB_YESNO | MB_ICONQUESTION) != IDYES)
            return kStay;
        if (!CreateFolderTree(m_folder)) {
            AppMessageBox("Could not create installation path.\nEnsure disk is not full or write-protected or "
                          "select a different directory.");
            return kStay;
        }
    }
    UpdateData(false);
    return kGoOn;
}
