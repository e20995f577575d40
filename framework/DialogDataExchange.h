// One transfer between a dialog's controls and the members of its class: into the members when
// saving, into the controls otherwise. A dialog describes its bindings once, in DoDataExchange.
#pragma once
#include <windows.h>
#include "Str.h"

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool save) : m_dialog(dialog), m_save(save) {}

    bool IsSaving() const { return m_save; }
    HWND Dialog() const { return m_dialog; }
    // False once a control named in a binding is missing from the dialog, or a value failed its check.
    bool Succeeded() const { return !m_failed; }
    // The control whose value failed its check, with the reason to tell the user; null while every
    // value passed. The bindings after it are not exchanged.
    HWND InvalidControl() const { return m_invalidControl; }
    const CString& InvalidReason() const { return m_invalidReason; }

    // The text of an edit (or any control with a text) and a string member.
    void Text(int id, CString& value);
    // The same with a limit: into the control it also limits what can be typed; a longer text taken
    // from the control fails the check (text set by the program may be longer than the limit).
    void Text(int id, CString& value, int maxLength);
    // A number shown as unsigned decimal text; a text that is no such number leaves the member alone.
    void Number(int id, DWORD& value);
    // A check box and its state (BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE).
    void Check(int id, int& state);
    // A check box and a plain on/off member; an indeterminate box saves as on.
    void Check(int id, bool& checked);
    // A check box that may show the indeterminate state: putting that state into a two-state box
    // first makes it three-state of the same kind (automatic or not).
    void ThreeStateCheck(int id, int& state);
    // Binds a control's window to a member once; later exchanges leave it alone.
    void Control(int id, HWND& control);

private:
    // Null, and the exchange failed, when the dialog lacks the control or an earlier check failed.
    HWND Item(int id);
    void Invalid(HWND control, const CString& reason);

    HWND m_dialog;
    bool m_save;
    bool m_failed = false;
    HWND m_invalidControl = nullptr;
    CString m_invalidReason;
};
