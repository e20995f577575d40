// Opening the file-information sheet on its Type page and closing it, through the module's own
// code, and bare: the walk over HKEY_CLASSES_ROOT with one shell-information call per extension
// that the page's list of registered types cannot do without.
#pragma once
#include <windows.h>
#include "InfoSheet.h"
#include <shlobj.h>
#include <memory>
#include <string>
#include <vector>

class Parameters;

// Every subkey of HKEY_CLASSES_ROOT by index, and SHGetFileInfoW for each that begins with a dot
// with the flags the type list uses (small icons as well with icons).
struct TypeListFloor {
    bool icons = false;
    void operator()() const;
    // How many extensions one walk finds.
    static int CountExtensions();
};

// The sheet as a dialog command opens it on one file, each time for a handler of its own (so that
// the list of registered types is built each time the Type page is shown), closed with Cancel once
// it has been drawn. While one of these or of CBareSheetOpening lives, its thread closes each sheet it
// opens.
class CSheetOpening {
public:
    CSheetOpening(IDataObject* selection, InfoPage page);
    ~CSheetOpening();
    CSheetOpening(const CSheetOpening&) = delete;
    CSheetOpening& operator=(const CSheetOpening&) = delete;

    // Untimed: the handlers' contexts with their file lists, as the menu left them.
    void Prepare(int count);
    // One opening and closing; false when no sheet came up.
    bool Run();

private:
    IDataObject* m_selection;
    InfoPage m_page;
    std::vector<std::unique_ptr<Parameters>> m_handlers;
};

// The platform's share of the same: a property sheet with one empty page of the Type page's size and
// no handler behind it, opened and closed with Cancel the same way.
class CBareSheetOpening {
public:
    CBareSheetOpening();
    ~CBareSheetOpening();
    CBareSheetOpening(const CBareSheetOpening&) = delete;
    CBareSheetOpening& operator=(const CBareSheetOpening&) = delete;

    // One opening and closing; false when no sheet came up.
    bool Run();
};
