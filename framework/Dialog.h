// A modal dialog on a dialog template. OK saves the controls into the members and closes with IDOK;
// Cancel closes with IDCANCEL.
#pragma once
#include "DialogWindow.h"

class CDialog : public CDialogWindow {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr) : m_templateId(templateId), m_parent(parent) {}

    // Runs the dialog; the result is the code passed to EndDialog, or -1 when it could not be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result) { ::EndDialog(m_hwnd, result); }

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;
    virtual void OnOK();
    virtual void OnCancel();

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_parent;
};
