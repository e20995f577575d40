// IContextMenu::InvokeCommand: finds the chosen command from its offset and the command map that
// the menu construction recorded, and runs it on the handler's file list.
#include "CommandIds.h"
#include "FileList.h"
#include "Format.h"
#include "Holders.h"
#include "InfoSheet.h"
#include "MenuHandler.h"
#include "Trace.h"
#include <strsafe.h>

namespace {

const int kOpenWithCount = 10;
const int kClipboardBytes = 1024;
const int kClipboardChars = kClipboardBytes / int(sizeof(WCHAR));
const DWORD kClearAllMask = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;

// Map entries are compared unsigned: an entry of -1 matches no offset and starts an empty range.
bool Between(UINT offset, int first, int end)
{
    return UINT(first) <= offset && offset < UINT(end);
}

bool InRange(UINT offset, int first, int count)
{
    return UINT(first) <= offset && offset - UINT(first) < UINT(count);
}

bool Is(UINT offset, int entry)
{
    return offset == UINT(entry);
}

void ToggleAttribute(CFileList& files, int item, HWND parent)
{
    static const DWORD kToggled[] = { FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                                      FILE_ATTRIBUTE_SYSTEM };
    DWORD attributes = files.GetAttributes(0);
    if (item < int(ARRAYSIZE(kToggled)))
        attributes ^= kToggled[item];
    else if (item == kCmdClearAll - kCmdAttrFirst)
        attributes &= ~kClearAllMask;
    else
        return;  // Compressed and Temporary are shown, not changed
    files.SetAttributes(parent, attributes, 0);
    Trace(L"InvokeCommand: SetAttributes completed\n");
}

// Starts the program the command line names; nothing waits for it.
void StartProcess(CString commandLine, BOOL inheritHandles, DWORD startFlags)
{
    LPWSTR line = commandLine.GetBuffer(commandLine.GetLength());
    if (!line)
        return;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = startFlags;
    PROCESS_INFORMATION process = {};
    BOOL started = ::CreateProcessW(nullptr, line, nullptr, nullptr, inheritHandles, 0, nullptr, nullptr, &startup, &process);
    Trace(L"Create process -> %d\n", int(started ? 0 : ::GetLastError()));
    if (started) {
        CKernelHandle thread(process.hThread);
        CKernelHandle child(process.hProcess);
    }
}

void OpenInNotepad(const CString& path)
{
    CString commandLine = L"\"notepad.exe\" \"";
    commandLine += path;
    commandLine += L"\"";
    StartProcess(commandLine, FALSE, 0);
}

void ShowInExplorer(const CString& path)
{
    if (path.IsEmpty())
        return;
    CString commandLine = L"explorer /select,";
    commandLine += path;
    StartProcess(commandLine, TRUE, STARTF_FORCEONFEEDBACK);
}

// The detail of the copy item into the block, cut to the block.
void WriteCopyText(CFileList::CFileInfo& file, int item, LPWSTR block, int capacity)
{
    WCHAR size[24];
    LPCWSTR text = L"";
    switch (item) {
    case 0: text = file.m_extension; break;
    case 1: text = file.m_name; break;
    case 2: text = file.m_path; break;
    case 3: text = file.GetShortName(); break;
    case 4: text = file.GetShortPath(); break;
    case 5:
        ::StringCchPrintfW(size, ARRAYSIZE(size), L"%I64u", file.GetFileLength());
        text = size;
        break;
    case 6:
        FormatTypeName(file.m_extension, block, capacity);
        return;
    }
    ::lstrcpynW(block, text, capacity);
}

void CopyToClipboard(CFileList::CFileInfo& file, int item)
{
    CGlobalHandle block(::GlobalAlloc(GMEM_MOVEABLE, kClipboardBytes));
    if (!block.IsValid())
        return;
    {
        CGlobalLock<WCHAR> text(block);
        if (!text.Get())
            return;
        text.Get()[0] = 0;
        WriteCopyText(file, item, text.Get(), kClipboardChars);
    }
    if (!::OpenClipboard(nullptr))
        return;
    ::EmptyClipboard();
    if (::SetClipboardData(CF_UNICODETEXT, block))
        block.Detach();  // the clipboard owns it now
    ::CloseClipboard();
}

}

// The verb of the record: the wide one when the caller says it sent one and the record is large
// enough to hold it, else the 8-bit one. Either is a string or an offset in the low word.
static UINT_PTR VerbOf(const CMINVOKECOMMANDINFO& info)
{
    if (info.cbSize >= sizeof(CMINVOKECOMMANDINFOEX) && (info.fMask & CMIC_MASK_UNICODE))
        return reinterpret_cast<UINT_PTR>(reinterpret_cast<const CMINVOKECOMMANDINFOEX&>(info).lpVerbW);
    return reinterpret_cast<UINT_PTR>(info.lpVerb);
}

STDMETHODIMP CMenuHandler::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    // cbSize says how much of the record is readable; nothing else is read before it is checked.
    if (!info || info->cbSize < sizeof(CMINVOKECOMMANDINFO))
        return E_INVALIDARG;
    CCriticalSectionLock lock(m_objectCs);
    // A verb is a string unless every bit above the low word is zero (the whole pointer counts).
    UINT_PTR verb = VerbOf(*info);
    if (!IS_INTRESOURCE(verb)) {
        Trace(L"InvokeCommand: not supported verb\n");
        return E_FAIL;
    }
    UINT offset = LOWORD(verb);
    if (offset > UINT(kCommandCount))
        return E_FAIL;
    HWND parent = info->hwnd;
    CFileList* files = m_pParameters ? m_pParameters->GetFileList() : nullptr;
    if (!files || files->GetSize() == 0)
        return S_OK;

    if (files->GetSize() == 1 && Between(offset, m_nAttrFirst, m_nAttrChangeCmd)) {
        ToggleAttribute(*files, int(offset) - m_nAttrFirst, parent);
    } else if (InRange(offset, m_nQuickFirst, m_nQuickCount)) {
        // Only the first entries have items; a later one holds no text and is no command (it
        // would otherwise remove every extension).
        int entry = int(offset) - m_nQuickFirst;
        if (entry < kQuickExtMax && m_pQuickExts.IsValidIndex(entry)) {
            files->ReplaceExtension(parent, m_pQuickExts[entry]);
            Trace(L"InvokeCommand: SetExt complete\n");
        }
    } else if (InRange(offset, m_nOpenWithFirst, kOpenWithCount)) {
        OpenInNotepad(files->ElementAt(0).m_path);
    } else if (InRange(offset, m_nCopyFirst, m_nCopyCount)) {
        CopyToClipboard(files->ElementAt(0), int(offset) - m_nCopyFirst);
    } else if (Is(offset, m_nLocateCmd)) {
        ShowInExplorer(files->ElementAt(0).m_path);
    } else if (Is(offset, m_nLinkLocateCmd)) {
        ShowInExplorer(files->GetLinkTarget(0));
    } else if (Is(offset, m_nTypeCmd)) {
        ShowInfoSheet(*m_pParameters, InfoPage::Type, parent);
    } else if (Is(offset, m_nAttrChangeCmd)) {
        ShowInfoSheet(*m_pParameters, InfoPage::Attributes, parent);
    } else if (Is(offset, m_nLinkChangeCmd)) {
        ShowInfoSheet(*m_pParameters, InfoPage::Shortcut, parent);
    } else if (Is(offset, m_nOptionsCmd)) {
        ShowInfoSheet(*m_pParameters, InfoPage::Options, parent);
    } else if (Is(offset, m_nAboutCmd)) {
        ShowInfoSheet(*m_pParameters, InfoPage::About, parent);
    } else if (Is(offset, m_nSummaryChangeCmd)) {
        ShowInfoSheet(*m_pParameters, InfoPage::Summary, parent);
    } else {
        Trace(L"InvokeCommand: unknown command\n");
    }
    return S_OK;
}
