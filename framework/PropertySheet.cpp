#include "PropertySheet.h"

INT_PTR CPropertySheet::DoModal()
{
    CArray<PROPSHEETPAGE> descriptors;
    if (!descriptors.Reserve(m_pages.GetSize()))
        return -1;
    for (CPropertyPage* page : m_pages)
        descriptors.Add(page->Descriptor());

    INITCOMMONCONTROLSEX controls = { sizeof(controls), ICC_WIN95_CLASSES };
    ::InitCommonControlsEx(&controls);

    PROPSHEETHEADER header;
    ZeroMemory(&header, sizeof(header));
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | m_flags;
    header.hwndParent = m_parent;
    header.hInstance = CDialogWindow::ResourceInstance();
    header.pszCaption = m_caption;
    header.nPages = UINT(descriptors.GetSize());
    header.nStartPage = m_startPage < header.nPages ? m_startPage : 0;
    header.ppsp = descriptors.begin();
    return ::PropertySheet(&header);
}
