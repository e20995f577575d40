#include "PropertyPage.h"

CPropertyPage::CPropertyPage(UINT templateId, LPCTSTR title)
{
    ZeroMemory(&m_page, sizeof(m_page));
    m_page.dwSize = sizeof(m_page);
    m_page.dwFlags = PSP_DEFAULT | (title ? PSP_USETITLE : 0);
    m_page.hInstance = ResourceInstance();
    m_page.pszTemplate = MAKEINTRESOURCE(templateId);
    m_page.pszTitle = title;
    m_page.pfnDlgProc = PageProc;
    m_page.lParam = reinterpret_cast<LPARAM>(this);
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CPropertyPage* self = nullptr;
    if (message == WM_INITDIALOG && lParam)
        self = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGE*>(lParam)->lParam);
    return Dispatch(self, hwnd, message, wParam, lParam);
}

void CPropertyPage::SetModified(bool changed) const
{
    ::SendMessage(GetSheet(), changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hwnd), 0);
}

bool CPropertyPage::OnSetActive()
{
    if (m_firstActivation)
        m_firstActivation = false;
    else
        UpdateData(false);
    return true;
}

bool CPropertyPage::OnKillActive()
{
    return UpdateData(true);
}

bool CPropertyPage::OnApply()
{
    OnOK();
    return true;
}

bool CPropertyPage::OnNotify(NMHDR* header, LRESULT& result)
{
    if (!header || header->hwndFrom != GetSheet())
        return CDialogWindow::OnNotify(header, result);
    switch (header->code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        return true;
    case PSN_KILLACTIVE:
        result = OnKillActive() ? FALSE : TRUE;
        return true;
    case PSN_WIZBACK:
        result = OnWizardBack();
        return true;
    case PSN_WIZNEXT:
        result = OnWizardNext();
        return true;
    case PSN_WIZFINISH:
        result = OnWizardFinish() ? FALSE : TRUE;
        return true;
    case PSN_APPLY:
        result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        return true;
    case PSN_RESET:
        OnCancel();
        result = 0;
        return true;
    case PSN_QUERYCANCEL:
        result = OnQueryCancel() ? FALSE : TRUE;
        return true;
    }
    return CDialogWindow::OnNotify(header, result);
}
