// IContextMenu::InvokeCommand: finds the chosen command from its offset and the command map that
// the menu construction recorded, and runs it on the handler's file list.
#include "CommandIds.h"
#include "FileList.h"
#include "Format.h"
#include "Holders.h"
#include "MorvaneApp.h"
#include "InfoSheet.h"
#include "MenuHandler.h"
#include "ProgramStarter.h"
#include "Trace.h"

namespace {

const int kOpenWithCount = 10;
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

void OpenInNotepad(const CString& path)
{
    ProgramLaunch launch;
    launch.application = SystemFolderProgram(L"notepad.exe");
    launch.commandLine = L"\"notepad.exe\" \"";
    launch.commandLine += path;
    launch.commandLine += L"\"";
    StartProgram(launch);
}

// The path in quotes, so that a comma or a blank in it cannot end the switch.
void ShowInExplorer(const CString& path)
{
    if (path.IsEmpty())
        return;
    ProgramLaunch launch;
    launch.application = WindowsFolderProgram(L"explorer.exe");
    launch.commandLine = L"explorer.exe /select,\"";
    launch.commandLine += path;
    launch.commandLine += L"\"";
    launch.startFlags = STARTF_FORCEONFEEDBACK;
    StartProgram(launch);
}

// The detail of the copy item, whole.
CString CopyText(CFileList::CFileInfo& file, int item)
{
    switch (item) {
    case 0: return file.m_extension;
    case 1: return file.m_name;
    case 2: return file.m_path;
    case 3: return file.GetShortName();
    case 4: return file.GetShortPath();
    case 5: {
        CString size;
        size.Format(L"%I64u", file.GetFileLength());
        return size;
    }
    case 6: return TypeNameOf(file.m_extension);
    }
    return CString();
}

// A block holding the text and its terminator, for the clipboard.
HGLOBAL TextBlock(const CString& text)
{
    SIZE_T bytes = (SIZE_T(text.GetLength()) + 1) * sizeof(WCHAR);
    CGlobalHandle block(::GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block.IsValid())
        return nullptr;
    {
        CGlobalLock<WCHAR> locked(block);
        if (!locked.Get())
            return nullptr;
        memcpy(locked.Get(), text.GetString(), bytes);
    }
    return block.Detach();
}

// Another program (a clipboard manager, a viewer reading it) may hold the clipboard open for a
// moment: a few short tries, a tenth of a second at most, before the copy is given up.
bool OpenClipboardSoon(HWND owner)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (::OpenClipboard(owner))
            return true;
        ::Sleep(10);
    }
    return false;
}

// EmptyClipboard makes the window that opened the clipboard its owner; without one the data may
// be refused. A caller without a window gets a message-only window for the call.
void CopyToClipboard(CFileList::CFileInfo& file, int item, HWND invoker)
{
    CGlobalHandle block(TextBlock(CopyText(file, item)));
    if (!block.IsValid())
        return;
    CWindowHandle ownWindow;
    HWND owner = invoker && ::IsWindow(invoker) ? invoker : nullptr;
    if (!owner) {
        ownWindow.Attach(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
        owner = ownWindow;
    }
    if (!owner || !OpenClipboardSoon(owner))
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
    // A verb is a string unless every bit above the low word is zero (the whole pointer counts).
    UINT_PTR verb = VerbOf(*info);
    if (!IS_INTRESOURCE(verb)) {
        Trace(L"InvokeCommand: not supported verb\n");
        return E_FAIL;
    }
    UINT offset = LOWORD(verb);
    if (offset >= UINT(kCommandCount))
        return E_FAIL;
    RunCommand(offset, info->hwnd);
    return S_OK;
}

// The object's lock is held only while a command starts: a sheet or a message box may stay open
// for minutes, and the Windows 11 menu's other calls must not wait for it meanwhile. One command
// runs at a time; one that comes while another is still open (a second click, a message sent into
// the sheet's loop) is dropped rather than run over the same file list.
void CMenuHandler::RunCommand(UINT offset, HWND parent)
{
    {
        CCriticalSectionLock lock(m_objectCs);
        if (m_running || !m_pParameters)
            return;
        m_running = true;
    }
    Dispatch(offset, parent);
    CCriticalSectionLock lock(m_objectCs);
    m_running = false;
}

void CMenuHandler::Dispatch(UINT offset, HWND parent)
{
    // Every window a command shows (the sheet, message boxes, the rename's progress) is made in
    // the module's own activation context, and the context is gone from the thread on return.
    CActivationScope themed(ModuleActivationContext());
    CFileList* files = m_pParameters ? m_pParameters->GetFileList() : nullptr;
    if (!files || files->GetSize() == 0)
        return;

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
        CopyToClipboard(files->ElementAt(0), int(offset) - m_nCopyFirst, parent);
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
}
