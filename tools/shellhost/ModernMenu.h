// The Windows 11 menu played through as Explorer plays it: the registered module's
// IExplorerCommand root asked for its fast and then its slow state, its flags, titles, states and
// tool tips, and its subcommands enumerated; printed in the classic menu's layout. On request one
// command, found by its title path, is invoked with a site that gives the owner window.
#pragma once
#include "Output.h"
#include "Selection.h"
#include <shobjidl.h>

class CModernMenu {
public:
    explicit CModernMenu(COutput& out) : m_out(out) {}
    ~CModernMenu();
    CModernMenu(const CModernMenu&) = delete;
    CModernMenu& operator=(const CModernMenu&) = delete;

    // Loads the module that serves the classic handler and creates the root; false when it cannot.
    bool Create();
    // Prints the tree for the selection; false when a call failed.
    bool Print(const CSelection& selection);
    // Invokes the command at the title path ("Copy File Name"); false when there is
    // none or Invoke failed.
    bool Invoke(const CSelection& selection, const CString& path, HWND owner);

private:
    void PrintCommand(IExplorerCommand* command, IShellItemArray* items, int level, int depth, bool& ok);
    CString Title(IExplorerCommand* command, IShellItemArray* items);

    COutput& m_out;
    HMODULE m_module = nullptr;
    CComPtr<IExplorerCommand> m_root;
};
