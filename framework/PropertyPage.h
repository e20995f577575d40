// A page of a property sheet or wizard on a dialog template. The page's window is created by the
// sheet when the page is first shown; the handlers below answer the sheet's notifications.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include "DialogWindow.h"

class CPropertyPage : public CDialogWindow {
public:
    // Without a title the page shows the caption of its template.
    explicit CPropertyPage(UINT templateId, LPCTSTR title = nullptr);

    // The description the sheet creates the page from.
    const PROPSHEETPAGE& Descriptor() const { return m_page; }
    HWND GetSheet() const { return m_hwnd ? ::GetParent(m_hwnd) : nullptr; }

    // Requests to the sheet.
    void SetWizardButtons(DWORD buttons) const { ::PostMessage(GetSheet(), PSM_SETWIZBUTTONS, 0, buttons); }
    void CancelToClose() const { ::SendMessage(GetSheet(), PSM_CANCELTOCLOSE, 0, 0); }
    // The same request queued, for a page that asks while the sheet is still applying.
    void PostCancelToClose() const { ::PostMessage(GetSheet(), PSM_CANCELTOCLOSE, 0, 0); }
    void SetModified(bool changed = true) const;
    LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam) const
    {
        return ::SendMessage(GetSheet(), PSM_QUERYSIBLINGS, wParam, lParam);
    }

protected:
    // Activation: false keeps the sheet from showing the page. The base refreshes the controls from
    // the members, except on the first activation (the page's initialisation has just done that).
    virtual bool OnSetActive();
    // Leaving the page: false keeps it current. The base saves the controls into the members.
    virtual bool OnKillActive();
    // Wizard buttons: 0 goes on, -1 stays, a template id jumps to that page.
    virtual LRESULT OnWizardBack() { return 0; }
    virtual LRESULT OnWizardNext() { return 0; }
    // Finish: false keeps the sheet open.
    virtual bool OnWizardFinish() { return true; }
    // OK or Apply: the base applies through OnOK. False keeps the sheet open on this page.
    virtual bool OnApply();
    virtual void OnOK() {}
    virtual void OnCancel() {}
    // Cancel pressed: false refuses to close.
    virtual bool OnQueryCancel() { return true; }

    bool OnNotify(NMHDR* header, LRESULT& result) override;

private:
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    PROPSHEETPAGE m_page;
    bool m_firstActivation = true;
};
