// The host's command line: the files to right-click and what to do with their menus.
#pragma once
#include "Array.h"
#include "Str.h"

class CHostOptions {
public:
    // Reads the arguments after the program name; false with a message in Error() on a fault.
    bool Parse(int argc, wchar_t** argv);
    static void PrintUsage();

    const CString& Error() const { return m_error; }
    bool ShowUsage() const { return m_usage; }

    CArray<CString> m_files;
    UINT m_flags = 0;            // QueryContextMenu flags: CMF_NORMAL unless --flags
    UINT m_firstId = 100;        // first command identifier granted to each handler
    CString m_handler;           // key name or class identifier; empty: every handler
    bool m_helpTexts = false;
    bool m_invoke = false;
    UINT m_invokeOffset = 0;
    bool m_modern = false;       // the Windows 11 menu's command tree instead of the classic menus
    CString m_invokePath;        // with --modern: the titles leading to the command, "/" between
    CString m_screenshot;        // pictures of the sheet the invoked command opens: base path
    CString m_menuScreenshot;    // picture of the popup menu

private:
    bool ReadNumber(int& i, int argc, wchar_t** argv, UINT& value);
    bool ReadPath(int& i, int argc, wchar_t** argv, CString& value);

    CString m_error;
    bool m_usage = false;
};
