#include "Dialog.h"

INT_PTR CDialog::DoModal()
{
    return ::DialogBoxParam(ResourceInstance(), MAKEINTRESOURCE(m_templateId), m_parent, DialogProc,
                            reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* self = message == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lParam) : nullptr;
    return Dispatch(self, hwnd, message, wParam, lParam);
}

bool CDialog::OnCommand(UINT id, UINT code, HWND control)
{
    if (code == BN_CLICKED || code == 0) {
        if (id == IDOK) {
            OnOK();
            return true;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return true;
        }
    }
    return CDialogWindow::OnCommand(id, code, control);
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}
