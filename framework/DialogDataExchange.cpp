#include "DialogDataExchange.h"

namespace {

const TCHAR kTextTooLong[] = TEXT("This field takes no more than %d characters. Please shorten the text.");

// The three-state kind of a two-state check box's type; other types stay as they are.
UINT ThreeStateType(UINT type)
{
    if (type == BS_AUTOCHECKBOX)
        return BS_AUTO3STATE;
    if (type == BS_CHECKBOX)
        return BS_3STATE;
    return type;
}

}

HWND CDataExchange::Item(int id)
{
    if (m_invalidControl)
        return nullptr;
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

void CDataExchange::Invalid(HWND control, const CString& reason)
{
    m_failed = true;
    m_invalidControl = control;
    m_invalidReason = reason;
}

void CDataExchange::Text(int id, CString& value, int maxLength)
{
    HWND item = Item(id);
    if (!item)
        return;
    if (!m_save)
        ::SendMessage(item, EM_LIMITTEXT, WPARAM(maxLength), 0);
    Text(id, value);
    if (m_save && value.GetLength() > maxLength) {
        CString reason;
        reason.Format(kTextTooLong, maxLength);
        Invalid(item, reason);
    }
}

void CDataExchange::Number(int id, DWORD& value)
{
    if (!Item(id))
        return;
    if (!m_save) {
        ::SetDlgItemInt(m_dialog, id, value, FALSE);
        return;
    }
    BOOL read = FALSE;
    UINT number = ::GetDlgItemInt(m_dialog, id, &read, FALSE);
    if (read)
        value = number;
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

void CDataExchange::ThreeStateCheck(int id, int& state)
{
    HWND item = Item(id);
    if (!item)
        return;
    if (!m_save && state == BST_INDETERMINATE) {
        LONG_PTR style = ::GetWindowLongPtr(item, GWL_STYLE);
        UINT type = UINT(style & BS_TYPEMASK);
        if (ThreeStateType(type) != type)
            ::SendMessage(item, BM_SETSTYLE, WPARAM((style & ~LONG_PTR(BS_TYPEMASK)) | ThreeStateType(type)), TRUE);
    }
    Check(id, state);
}
