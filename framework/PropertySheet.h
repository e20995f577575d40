// A modal property sheet, or a wizard, over pages that the caller owns.
#pragma once
#include "PropertyPage.h"
#include "Array.h"

class CPropertySheet {
public:
    explicit CPropertySheet(LPCTSTR caption, HWND parent = nullptr, UINT startPage = 0)
        : m_caption(caption), m_parent(parent), m_startPage(startPage) {}
    CPropertySheet(const CPropertySheet&) = delete;
    CPropertySheet& operator=(const CPropertySheet&) = delete;

    // Pages appear in the order they were added; they must outlive DoModal.
    bool AddPage(CPropertyPage& page) { return m_pages.Add(&page); }
    int GetPageCount() const { return m_pages.GetSize(); }
    void SetWizardMode() { m_flags |= PSH_WIZARD; }
    void SetActivePage(UINT index) { m_startPage = index; }
    // Further PSH_ flags (PSH_NOAPPLYNOW, PSH_HASHELP...).
    void AddFlags(DWORD flags) { m_flags |= flags; }

    // The result of PropertySheet: -1 when the sheet could not be created.
    INT_PTR DoModal();

private:
    LPCTSTR m_caption;
    HWND m_parent;
    UINT m_startPage;
    DWORD m_flags = 0;
    CArray<CPropertyPage*> m_pages;
};
