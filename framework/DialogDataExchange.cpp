#include "DialogDataExchange.h"

HWND CDataExchange::Item(int id)
{
    HWND item = ::GetDlgItem(m_dialog, id);
    if (!item)
        m_failed = true;
    return item;
}

void CDataExchange::Text(int id, CString& value)
{
    HWND item = Item(id);
    if (!item)
        return;
    if (!m_save) {
        ::SetWindowText(item, value);
        return;
    }
    int length = ::GetWindowTextLength(item);
    LPTSTR buffer = value.GetBuffer(length);
    if (!buffer) {
        m_failed = true;
        return;
    }
    int copied = ::GetWindowText(item, buffer, length + 1);
    value.ReleaseBuffer(copied >= 0 && copied <= length ? copied : 0);
}

void CDataExchange::Check(int id, int& state)
{
    HWND item = Item(id);
    if (!item)
        return;
    if (m_save)
        state = int(::SendMessage(item, BM_GETCHECK, 0, 0));
    else
        ::SendMessage(item, BM_SETCHECK, WPARAM(state), 0);
}

void CDataExchange::Check(int id, bool& checked)
{
    int state = checked ? BST_CHECKED : BST_UNCHECKED;
    Check(id, state);
    if (m_save)
        checked = state != BST_UNCHECKED;
}

void CDataExchange::Control(int id, HWND& control)
{
    if (control)
        return;
    control = Item(id);
}
