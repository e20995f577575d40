// Prints a menu as an indented tree: one line per item with its offset from the first granted
// identifier, its text (a tab shown as " → ") and its states; popups with their items below.
#pragma once
#include "Output.h"
#include <shlobj.h>

class CMenuPrinter {
public:
    // Identifiers from firstId to firstId + claimed - 1 belong to the handler. With a handler
    // given, each command's help text is asked for and printed after it.
    CMenuPrinter(COutput& out, UINT firstId, UINT claimed, IContextMenu* helpSource);

    void Print(HMENU menu, int level);
    // The menu or one of its popups holds a command with this offset.
    static bool HasOffset(HMENU menu, UINT firstId, UINT offset);
    // The text as the host shows it: tab and other control characters made visible.
    static CString VisibleText(LPCWSTR text);

private:
    void PrintItem(HMENU menu, int position, int level);
    CString HelpText(UINT offset);

    COutput& m_out;
    UINT m_firstId;
    UINT m_claimed;
    IContextMenu* m_helpSource;
};
