#include "MenuHandler.h"
#include "CommandIds.h"
#include "Format.h"
#include "Trace.h"
#include <strsafe.h>

namespace {

const int kLineCapacity = 100;       // popup label, type, short name, attribute and summary lines
const int kTypeNameCapacity = 80;

const HRESULT kClaimed = MAKE_HRESULT(SEVERITY_SUCCESS, 0, kCommandCount);
const HRESULT kNothingClaimed = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);

// Whether the shell's range holds all the fixed offsets, idCmdLast included.
bool RangeHoldsEveryOffset(UINT idCmdFirst, UINT idCmdLast)
{
    return idCmdLast >= idCmdFirst && idCmdLast - idCmdFirst >= UINT(kCommandCount - 1);
}

// Formats into a fixed line buffer; a longer text is cut and stays terminated.
void FormatLine(WCHAR (&line)[kLineCapacity], LPCWSTR format, ...)
{
    va_list args;
    va_start(args, format);
    if (::StringCchVPrintfW(line, kLineCapacity, format, args) == STRSAFE_E_INSUFFICIENT_BUFFER)
        EndCutOnWholeCharacter(line);
    line[kLineCapacity - 1] = 0;
    va_end(args);
}

// Information lines are disabled, and shown so without being grayed.
void AppendInfoLine(CMenuDescription& menu, int parent, int offset, LPCWSTR text)
{
    menu.AddCommand(parent, offset, text, CMenuDescription::kDisabled);
}

// Where a group goes: a new popup under the label, or the submenu itself after a separator.
int GroupTarget(CMenuDescription& menu, int submenu, bool asSubmenu, LPCWSTR label)
{
    if (asSubmenu)
        return menu.AddPopup(submenu, label);
    menu.AddSeparator(submenu);
    return submenu;
}

// The extension without its leading dot.
LPCWSTR WithoutDot(const CString& extension)
{
    return extension[0] == L'.' ? extension.GetString() + 1 : extension.GetString();
}

// Compares ignoring the case of A to Z only; other letters must match exactly.
bool SameExtension(const CString& a, const CString& b)
{
    if (a.GetLength() != b.GetLength())
        return false;
    for (int i = 0; i < a.GetLength(); ++i) {
        WCHAR x = a[i], y = b[i];
        if (x >= L'a' && x <= L'z')
            x = WCHAR(x - L'a' + L'A');
        if (y >= L'a' && y <= L'z')
            y = WCHAR(y - L'a' + L'A');
        if (x != y)
            return false;
    }
    return true;
}

void AppendAttributeLetters(DWORD attributes, CString& text)
{
    if (attributes == 0) {
        text += L'N';
        return;
    }
    static const struct { DWORD bit; WCHAR letter; } letters[] = {
        { FILE_ATTRIBUTE_ARCHIVE, L'A' }, { FILE_ATTRIBUTE_READONLY, L'R' }, { FILE_ATTRIBUTE_HIDDEN, L'H' },
        { FILE_ATTRIBUTE_SYSTEM, L'S' }, { FILE_ATTRIBUTE_COMPRESSED, L'C' }, { FILE_ATTRIBUTE_TEMPORARY, L'T' },
    };
    for (const auto& entry : letters)
        if (attributes & entry.bit)
            text += entry.letter;
}

}

struct CMenuHandler::MenuContext {
    CMenuDescription& menu;
    int submenu;
    CFileList& files;
    DWORD options;

    bool Has(DWORD bit) const { return (options & bit) != 0; }
    CFileList::CFileInfo& File() const { return files.ElementAt(0); }
};

HRESULT CMenuHandler::FinalConstruct()
{
    m_trace = CTraceSink::Acquire();
    return m_trace ? S_OK : E_OUTOFMEMORY;
}

void CMenuHandler::FinalRelease()
{
    if (m_trace) {
        m_trace->Release();
        m_trace = nullptr;
    }
}

STDMETHODIMP CMenuHandler::Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* dataObject, HKEY progId)
{
    CCriticalSectionLock lock(m_objectCs);
    Trace(L"====================");
    Trace(L"Initialize(%p %p %d)", folder, dataObject, int(reinterpret_cast<INT_PTR>(progId)));
    if (m_pDataObject) {
        Trace(L"Re-entered...");
        return S_OK;
    }
    m_pDataObject = dataObject;
    return S_OK;
}

CMenuHandler::CommandMap CMenuHandler::GetCommandMap() const
{
    return { m_nTypeCmd, m_nOpenWithFirst, m_nLocateCmd, m_nCopyFirst, m_nCopyCount, m_nAttrFirst, m_nAttrChangeCmd,
             m_nLinkLocateCmd, m_nLinkChangeCmd, m_nSummaryChangeCmd, m_nOptionsCmd, m_nAboutCmd, m_nQuickFirst,
             m_nQuickCount };
}

void CMenuHandler::ResetCommandMap()
{
    m_nTypeCmd = m_nOpenWithFirst = m_nLocateCmd = m_nCopyFirst = m_nAttrFirst = m_nAttrChangeCmd = -1;
    m_nLinkLocateCmd = m_nLinkChangeCmd = m_nSummaryChangeCmd = m_nOptionsCmd = m_nAboutCmd = m_nQuickFirst = -1;
    m_nCopyCount = m_nQuickCount = 0;
    m_pQuickExts.RemoveAll();
}

STDMETHODIMP CMenuHandler::QueryContextMenu(HMENU menu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast, UINT flags)
{
    CCriticalSectionLock lock(m_objectCs);
    Trace(L"QueryContextMenu: hMenu = %08x, uFlags = %08x, cmfType = %08x", UINT(reinterpret_cast<UINT_PTR>(menu)), flags,
          flags & 0xF);
    if (flags & CMF_DEFAULTONLY)
        return E_FAIL;
    if (m_pParameters) {
        Trace(L"Re-entered...");
        return kNothingClaimed;
    }
    // Calls that cannot insert leave the handler unbuilt, so a later call still builds its menu.
    UINT menuType = flags & 0xF;
    if (menuType != CMF_NORMAL && menuType != CMF_EXPLORE)
        return kNothingClaimed;
    if (!::IsMenu(menu) || !RangeHoldsEveryOffset(idCmdFirst, idCmdLast) || !m_pDataObject)
        return kNothingClaimed;

    int itemsBefore = ::GetMenuItemCount(menu);
    CMenuDescription description;
    BuildMenu(description);
    description.Render(menu, indexMenu, idCmdFirst);
    if (::GetMenuItemCount(menu) > itemsBefore)
        return kClaimed;
    Forget();
    return kNothingClaimed;
}

bool CMenuHandler::Describe(CMenuDescription& description)
{
    CCriticalSectionLock lock(m_objectCs);
    description.Clear();
    if (m_pParameters || !m_pDataObject)
        return false;
    BuildMenu(description);
    if (!description.IsEmpty())
        return true;
    Forget();
    return false;
}

bool CMenuHandler::GetSelectedPaths(CArray<CString>& paths)
{
    CCriticalSectionLock lock(m_objectCs);
    paths.RemoveAll();
    CFileList* files = m_pParameters ? m_pParameters->GetFileList() : nullptr;
    if (!files)
        return false;
    for (int i = 0; i < files->GetSize(); ++i)
        if (!paths.Add(files->ElementAt(i).m_path))
            return false;
    return !paths.IsEmpty();
}

// Nothing was added: forget this attempt, so no command runs and the next call builds afresh.
void CMenuHandler::Forget()
{
    m_pParameters.reset();
    ResetCommandMap();
}

void CMenuHandler::BuildMenu(CMenuDescription& menu)
{
    m_pParameters.reset(new (std::nothrow) Parameters());
    if (!m_pParameters)
        return;
    m_pParameters->GetFileList(m_pDataObject);
    ResetCommandMap();

    CFileList* files = m_pParameters->GetFileList();
    if (!files || files->GetSize() == 0) {
        Trace(L"QueryContextMenu: no files selected");
        return;
    }

    DWORD options = DefaultOptions;
    DWORD multipleSelections = 1;
    CString quickExts;
    if (Options* settings = m_pParameters->GetOptions()) {
        settings->ReadDword(kValueOptions, options);
        settings->ReadString(kValueQuickExts, quickExts);
        settings->ReadDword(kValueMultipleSelections, multipleSelections);
    }

    bool several = files->GetSize() > 1;
    if (several && multipleSelections == 0) {
        Trace(L"QueryContextMenu: multiple files disabled");
        return;
    }
    if (several || !(options & OptAdditionalInfo)) {
        Trace(L"QueryContextMenu: simple menu");
        BuildSimpleMenu(menu, *files);
        return;
    }
    if (files->ElementAt(0).m_path.IsEmpty())
        return;
    Trace(L"Implementing Morvane menus");
    BuildFullMenu(menu, *files, options, quickExts);
    Trace(L"QueryContextMenu: complete");
}

void CMenuHandler::BuildSimpleMenu(CMenuDescription& menu, CFileList& files)
{
    const CString& extension = files.ElementAt(0).m_extension;
    LPCWSTR shown = WithoutDot(extension);
    for (int i = 1; i < files.GetSize(); ++i) {
        if (!SameExtension(extension, files.ElementAt(i).m_extension)) {
            shown = L"<multiple>";
            break;
        }
    }
    CString text(L"E&xtension: ");
    text += shown;
    menu.AddCommand(CMenuDescription::kTop, kCmdExtension, text);
    m_nTypeCmd = kCmdExtension;
}

void CMenuHandler::BuildFullMenu(CMenuDescription& menu, CFileList& files, DWORD options, const CString& quickExts)
{
    const CString& extension = files.ElementAt(0).m_extension;
    WCHAR label[kLineCapacity];
    FormatLine(label, L"E&xtension: %s", extension.IsEmpty() ? L"<none>" : extension.GetString() + 1);
    int submenu = menu.AddPopup(CMenuDescription::kTop, label);
    if (submenu == CMenuDescription::kNone)
        return;

    MenuContext context = { menu, submenu, files, options };
    // The file's find data and type are read once here: the lines show the file at one moment, and
    // the find data tell whether its content may be opened at all.
    context.File().LoadFindData();
    context.File().LoadType();
    AddTypeLine(context);
    AddFileDetails(context);
    AddClipboard(context);
    AddAttributes(context);
    AddShortcut(context);
    AddSummary(context);
    AddDialogCommands(context);
    if (context.Has(OptQuickExts) && !quickExts.IsEmpty())
        AddQuickExtensions(context, quickExts);
    menu.RemoveTrailingSeparator(submenu);
    Trace(L"QueryContextMenu: menu creation complete");
}

void CMenuHandler::AddTypeLine(const MenuContext& context)
{
    m_nTypeCmd = kCmdType;
    CString typeName = context.File().TypeName();
    typeName.Truncate(kTypeNameCapacity - 1);
    WCHAR line[kLineCapacity];
    FormatLine(line, L"Type:\t%s...", typeName.GetString());
    context.menu.AddCommand(context.submenu, kCmdType, line, CMenuDescription::kDefault);
    context.menu.AddSeparator(context.submenu);
    m_nOpenWithFirst = kCmdOpenWithFirst;
    context.menu.AddSeparator(context.submenu);
}

void CMenuHandler::AddFileDetails(const MenuContext& context)
{
    if (!context.Has(OptFileDetails))
        return;
    bool asSubmenu = context.Has(OptFileDetailsSubmenu);
    int target = GroupTarget(context.menu, context.submenu, asSubmenu, L"File details");
    CFileList::CFileInfo& file = context.File();
    const WIN32_FIND_DATAW& found = file.m_findData;

    WCHAR line[kLineCapacity];
    FormatSizeLine(file.FileLength(), line, kLineCapacity);
    AppendInfoLine(context.menu, target, kCmdSize, line);
    FormatLine(line, L"Short Name:\t%s", file.ShortName().GetString());
    AppendInfoLine(context.menu, target, kCmdShortName, line);
    FormatFileTime(found.ftCreationTime, line, kLineCapacity, L"Created:", true);
    AppendInfoLine(context.menu, target, kCmdCreated, line);
    FormatFileTime(found.ftLastWriteTime, line, kLineCapacity, L"Modified:", true);
    AppendInfoLine(context.menu, target, kCmdModified, line);
    FormatFileTime(found.ftLastAccessTime, line, kLineCapacity, L"Accessed:", false);
    AppendInfoLine(context.menu, target, kCmdAccessed, line);
    context.menu.AddCommand(target, kCmdLocate, L"Location:\t<Open in Explorer>");
    m_nLocateCmd = kCmdLocate;
    if (!asSubmenu)
        context.menu.AddSeparator(context.submenu);
}

void CMenuHandler::AddClipboard(const MenuContext& context)
{
    bool asSubmenu = context.Has(OptCopyMenuSubmenu);
    m_nCopyFirst = kCmdCopyFirst;
    if (context.Has(OptCopyMenu)) {
        static const LPCWSTR texts[kCmdCopyCount] = {
            L"Copy File Extension", L"Copy File Name", L"Copy File Path", L"Copy Short Name",
            L"Copy Short Path", L"Copy File Size", L"Copy File Type",
        };
        int target = GroupTarget(context.menu, context.submenu, asSubmenu, L"Clipboard");
        for (int i = 0; i < kCmdCopyCount; ++i)
            context.menu.AddCommand(target, kCmdCopyFirst + i, texts[i]);
        m_nCopyCount = kCmdCopyCount;
    }
    if (!asSubmenu)
        context.menu.AddSeparator(context.submenu);
}

void CMenuHandler::AddAttributes(const MenuContext& context)
{
    m_nAttrFirst = kCmdAttrFirst;
    m_nAttrChangeCmd = kCmdAttrChange;
    if (!context.Has(OptAttributes))
        return;

    DWORD attributes = context.File().m_findData.dwFileAttributes;
    CString label(L"Attributes:\t[");
    AppendAttributeLetters(attributes, label);
    label += L']';
    label.Truncate(kLineCapacity - 1);
    bool asSubmenu = context.Has(OptAttributesSubmenu);
    int target = GroupTarget(context.menu, context.submenu, asSubmenu, label);

    const UINT shown = CMenuDescription::kDisabled;
    static const struct { LPCWSTR text; DWORD bit; UINT flags; } items[] = {
        { L"Archive", FILE_ATTRIBUTE_ARCHIVE, 0 }, { L"Read-only", FILE_ATTRIBUTE_READONLY, 0 },
        { L"Hidden", FILE_ATTRIBUTE_HIDDEN, 0 }, { L"System", FILE_ATTRIBUTE_SYSTEM, 0 },
        { L"Compressed", FILE_ATTRIBUTE_COMPRESSED, shown }, { L"Temporary", FILE_ATTRIBUTE_TEMPORARY, shown },
    };
    for (int i = 0; i < int(ARRAYSIZE(items)); ++i) {
        UINT checked = (attributes & items[i].bit) ? CMenuDescription::kChecked : 0;
        context.menu.AddCommand(target, kCmdAttrFirst + i, items[i].text, items[i].flags | checked);
    }
    context.menu.AddSeparator(target);
    if (asSubmenu) {
        context.menu.AddCommand(target, kCmdClearAll, L"Clear all (SHRA)");
        context.menu.AddSeparator(target);
        context.menu.AddCommand(target, kCmdAttrChange, L"Change...", CMenuDescription::kDefault);
    }
}

void CMenuHandler::AddShortcut(const MenuContext& context)
{
    CFileList& files = context.files;
    if (!context.Has(OptShortcutInfo) || !context.File().IsShortcutOfLoadedType()) {
        m_nLinkLocateCmd = m_nLinkChangeCmd = kCmdLinkTarget;
        return;
    }
    bool asSubmenu = context.Has(OptShortcutInfoSubmenu);
    int target = GroupTarget(context.menu, context.submenu, asSubmenu, L"Shortcut info");
    static const struct { LPCWSTR label; const CString& (CFileList::*get)(int); } lines[] = {
        { L"Command:\t", &CFileList::GetLinkTarget },
        { L"Arguments:\t", &CFileList::GetLinkArguments },
        { L"Directory:\t", &CFileList::GetLinkWorkingDir },
    };
    for (int i = 0; i < int(ARRAYSIZE(lines)); ++i) {
        CString line(lines[i].label);
        line += (files.*lines[i].get)(0);
        AppendInfoLine(context.menu, target, kCmdLinkTarget + i, line);
    }
    context.menu.AddCommand(target, kCmdLinkLocate, L"Location:\t<Open in Explorer>");
    m_nLinkLocateCmd = kCmdLinkLocate;
    m_nLinkChangeCmd = kCmdLinkChange;
    if (asSubmenu) {
        context.menu.AddSeparator(target);
        context.menu.AddCommand(target, kCmdLinkChange, L"Change...", CMenuDescription::kDefault);
    } else {
        context.menu.AddSeparator(context.submenu);
    }
}

void CMenuHandler::AddSummary(const MenuContext& context)
{
    m_nSummaryChangeCmd = kCmdSummaryChange;
    if (!context.Has(OptFileSummary) || !IsNt5OrLater() || context.File().IsOnlineOnly())
        return;
    bool asSubmenu = context.Has(OptFileSummarySubmenu);
    int target = GroupTarget(context.menu, context.submenu, asSubmenu, L"Summary Information");
    static const LPCWSTR formats[CFileList::kSummaryCount] = {
        L"Title:\t%s", L"Subject:\t%s", L"Author:\t%s", L"Keywords:\t%s", L"Comments:\t%s",
    };
    CFileList::CFileInfo& file = context.File();
    file.ReadSummary();  // once for the five lines
    WCHAR line[kLineCapacity];
    for (int i = 0; i < CFileList::kSummaryCount; ++i) {
        CString value = file.SummaryText(i);
        FormatLine(line, formats[i], value.IsEmpty() ? L"<not set>" : value.GetString());
        AppendInfoLine(context.menu, target, kCmdSummaryFirst + i, line);
    }
    context.menu.AddSeparator(target);
    if (asSubmenu)
        context.menu.AddCommand(target, kCmdSummaryChange, L"Change...", CMenuDescription::kDefault);
}

void CMenuHandler::AddDialogCommands(const MenuContext& context)
{
    bool options = context.Has(OptOptionsMenu), about = context.Has(OptAboutMenu);
    if (!options && !about) {
        m_nAboutCmd = kCmdOptions;
        return;
    }
    context.menu.AddSeparator(context.submenu);
    if (options)
        context.menu.AddCommand(context.submenu, kCmdOptions, L"Options...");
    m_nOptionsCmd = options ? kCmdOptions : -1;
    m_nAboutCmd = kCmdAbout;
    if (about)
        context.menu.AddCommand(context.submenu, kCmdAbout, L"About...");
    context.menu.AddSeparator(context.submenu);
}

void CMenuHandler::AddQuickExtensions(const MenuContext& context, const CString& quickExts)
{
    int target = GroupTarget(context.menu, context.submenu, context.Has(OptQuickExtsSubmenu), L"Quick Extensions");
    int count = 1;
    for (int at = quickExts.Find(L';'); at >= 0; at = quickExts.Find(L';', at + 1))
        ++count;
    if (!m_pQuickExts.SetSize(count))
        return;  // out of memory: no entries, so dispatch never reaches into the array
    m_nQuickCount = count;
    m_nQuickFirst = kCmdQuickFirst;

    WCHAR typeName[kTypeNameCapacity];
    int start = 0;
    for (int i = 0; i < count && i < kQuickExtMax; ++i) {
        int end = quickExts.Find(L';', start);
        CString entry = quickExts.Mid(start, end < 0 ? -1 : end - start);
        FormatTypeName(entry, typeName, kTypeNameCapacity);
        CString line(typeName);
        line += L"\t(.";
        line += entry;
        line += L')';
        context.menu.AddCommand(target, kCmdQuickFirst + i, line);
        m_pQuickExts[i] = static_cast<CString&&>(entry);
        start = end < 0 ? quickExts.GetLength() : end + 1;
    }
}
