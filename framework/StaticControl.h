// A static control of a dialog, wrapped by an object that sees its messages first; a base for
// static controls that draw or act on their own.
#pragma once
#include "SubclassedWindow.h"
#include "Str.h"

class CStatic : public CSubclassedWindow {
public:
    // Wraps the dialog's static control with that id.
    bool Attach(HWND dialog, int id) { return SubclassDlgItem(dialog, id); }

    CString GetText() const;
    HFONT GetFont() const;
    DWORD GetStyle() const;
    // Adds style bits the control lacks.
    void AddStyle(DWORD style) const;
};
