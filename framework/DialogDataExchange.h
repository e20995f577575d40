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
    // False once a control named in a binding is missing from the dialog.
    bool Succeeded() const { return !m_failed; }

    // The text of an edit (or any control with a text) and a string member.
    void Text(int id, CString& value);
    // A check box and its state (BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE).
    void Check(int id, int& state);
    // A check box and a plain on/off member; an indeterminate box saves as on.
    void Check(int id, bool& checked);
    // Binds a control's window to a member once; later exchanges leave it alone.
    void Control(int id, HWND& control);

private:
    HWND Item(int id);

    HWND m_dialog;
    bool m_save;
    bool m_failed = false;
};
