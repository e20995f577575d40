// The help texts of the command offsets and the handler's answer to the shell's request for them,
// wide or 8-bit with the same words.
#include "CommandIds.h"
#include "MenuHandler.h"
#include "Trace.h"

#define MORVANE_HELP_TEXTS(T) \
    T("The selection's extension..."), \
    T("The selection's registered type..."), \
    T("Open with #1"), \
    T("Open with #2"), \
    T("Open with #3"), \
    T("Open with #4"), \
    T("Open with #5"), \
    T("Open with #6"), \
    T("Open with #7"), \
    T("Open with #8"), \
    T("Open with #9"), \
    T("Open with #10"), \
    T("The selection's size"), \
    T("The selection's short (8.3) name"), \
    T("The selection's creation date"), \
    T("The selection's last modified date"), \
    T("The selection's last accessed date"), \
    T("Locate the file in Explorer"), \
    T("Copy file extension to clipboard"), \
    T("Copy file name to clipboard"), \
    T("Copy file name and path to clipboard"), \
    T("Copy file short name to clipboard"), \
    T("Copy file short path to clipboard"), \
    T("Copy file size to clipboard"), \
    T("Copy file type to clipboard"), \
    T("Archive file flag"), \
    T("Read-only file flag"), \
    T("Hidden file flag"), \
    T("System file flag"), \
    T("Compressed file flag"), \
    T("Temporary file flag"), \
    T("Clear all attributes in the selection"), \
    T("Change the selection's attributes..."), \
    T("The selection's target path"), \
    T("The selection's target arguments"), \
    T("The selection's target working directory"), \
    T("Show selection in Windows Explorer"), \
    T("Change the selection's shortcut settings..."), \
    T("File's Title"), \
    T("File's Subject"), \
    T("File's Author"), \
    T("File's Key Words"), \
    T("File's Comments"), \
    T("Change File Summary Information"), \
    T("Display Options dialog..."), \
    T("Display Morvane product information...")

#define MORVANE_WIDE(text) L##text
#define MORVANE_NARROW(text) text

const WCHAR* const kHelpTextsW[] = { MORVANE_HELP_TEXTS(MORVANE_WIDE) };
const WCHAR kQuickExtHelpW[] = L"Change the file's extension";

LPCWSTR HelpText(int offset)
{
    if (offset < 0 || offset >= kCommandCount)
        return L"";
    return offset >= kCmdQuickFirst ? kQuickExtHelpW : kHelpTextsW[offset];
}

namespace {

// The list again, counted: the declared bound of the tables would hide a missing entry.
constexpr const char* kHelpTextList[] = { MORVANE_HELP_TEXTS(MORVANE_NARROW) };
static_assert(sizeof(kHelpTextList) / sizeof(kHelpTextList[0]) == kHelpTextCount, "one help text per fixed offset");
static_assert(kHelpTextCount == kCmdQuickFirst, "the quick extensions follow the fixed offsets");

// The 8-bit help texts are the wide ones narrowed character by character, which holds for ASCII
// alone: every text is checked to be ASCII.
constexpr bool IsAscii(const char* text)
{
    return !*text || (static_cast<unsigned char>(*text) < 0x80 && IsAscii(text + 1));
}
constexpr bool AllAscii(int i = 0)
{
    return i == kHelpTextCount || (IsAscii(kHelpTextList[i]) && AllAscii(i + 1));
}
static_assert(AllAscii(), "the 8-bit help texts are the wide ones narrowed");

// Copies as much of text as fits with its terminator; a zero capacity writes nothing.
template <class Char>
void CopyCut(Char* buffer, UINT capacity, LPCWSTR text)
{
    if (!buffer || capacity == 0)
        return;
    UINT i = 0;
    for (; i + 1 < capacity && text[i]; ++i)
        buffer[i] = Char(text[i]);
    buffer[i] = 0;
}

}

// Help texts and validation are answered; the handler has no verbs, so every other request is
// refused with the buffer left alone (a caller trusting S_OK would read it as a verb).
STDMETHODIMP CMenuHandler::GetCommandString(UINT_PTR idCmd, UINT type, UINT*, CHAR* name, UINT cchMax)
{
    CCriticalSectionLock lock(m_objectCs);
    Trace(L"GetCommandString(%u, %u)", UINT(idCmd), type);
    if (idCmd >= UINT_PTR(kCommandCount))
        return E_INVALIDARG;
    switch (type) {
    case GCS_HELPTEXTW:
        CopyCut(reinterpret_cast<LPWSTR>(name), cchMax, HelpText(int(idCmd)));
        return S_OK;
    case GCS_HELPTEXTA:
        CopyCut(name, cchMax, HelpText(int(idCmd)));
        return S_OK;
    case GCS_VALIDATEA:
    case GCS_VALIDATEW:
        return S_OK;
    default:
        return E_NOTIMPL;
    }
}
