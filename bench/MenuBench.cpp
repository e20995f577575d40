#include "MenuBench.h"
#include "Guids.h"
#include <shellapi.h>

namespace {

const wchar_t kSettingsKey[] = L"SOFTWARE\\Zeph\\Morvane";
const UINT kFirstId = 100;

void RecordMenu(HMENU menu, std::vector<MenuShape::Item>& items)
{
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        wchar_t text[512] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 511;
        if (!GetMenuItemInfoW(menu, UINT(position), TRUE, &info))
            continue;
        MenuShape::Item item;
        if (info.fType & MFT_SEPARATOR) {
            item.flags = MF_SEPARATOR;
        } else {
            item.flags = MF_STRING | (info.fState & (MF_GRAYED | MF_DISABLED));
            item.text = text;
        }
        if (info.hSubMenu) {
            item.flags |= MF_POPUP;
            RecordMenu(info.hSubMenu, item.children);
        }
        items.push_back(item);
    }
}

int CountItems(const std::vector<MenuShape::Item>& items, bool popupsOnly)
{
    int count = 0;
    for (const MenuShape::Item& item : items) {
        bool popup = (item.flags & MF_POPUP) != 0;
        count += (!popupsOnly || popup) ? 1 : 0;
        count += CountItems(item.children, popupsOnly);
    }
    return count;
}

void InsertItems(HMENU menu, const std::vector<MenuShape::Item>& items, UINT& id)
{
    for (const MenuShape::Item& item : items) {
        if (item.flags & MF_POPUP) {
            HMENU popup = CreatePopupMenu();
            InsertItems(popup, item.children, id);
            InsertMenuW(menu, UINT(-1), MF_BYPOSITION | item.flags, UINT_PTR(popup), item.text.c_str());
        } else {
            InsertMenuW(menu, UINT(-1), MF_BYPOSITION | item.flags, id++, item.text.c_str());
        }
    }
}

// The shell's menu with the same items, built and destroyed as the shell destroys it.
void BuildSameMenu(const MenuShape* shape)
{
    CMenuHandle menu(CreatePopupMenu());
    UINT id = kFirstId;
    if (shape)
        InsertItems(menu, shape->items, id);
}

void ReadSettings()
{
    CRegKeyHandle key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return;
    DWORD options = 0, multiple = 0, size = sizeof(DWORD);
    RegQueryValueExW(key, L"Options", nullptr, nullptr, reinterpret_cast<BYTE*>(&options), &size);
    wchar_t quickExts[1024];
    size = sizeof(quickExts);
    RegQueryValueExW(key, L"QuickExts", nullptr, nullptr, reinterpret_cast<BYTE*>(quickExts), &size);
    size = sizeof(DWORD);
    RegQueryValueExW(key, L"MultipleSelections", nullptr, nullptr, reinterpret_cast<BYTE*>(&multiple), &size);
}

// One type-name lookup: the extension's class, then its friendly name; with the shortcut test,
// the class's "IsShortcut" too.
void LookUpType(const std::wstring& ext, bool shortcutTest)
{
    CRegKeyHandle extKey;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, ext.c_str(), 0, KEY_READ, &extKey) != ERROR_SUCCESS)
        return;
    wchar_t progId[260] = {};
    DWORD size = sizeof(progId) - sizeof(wchar_t);
    if (RegQueryValueExW(extKey, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(progId), &size) != ERROR_SUCCESS)
        return;
    CRegKeyHandle typeKey;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, progId, 0, KEY_READ, &typeKey) != ERROR_SUCCESS)
        return;
    wchar_t name[260] = {};
    size = sizeof(name) - sizeof(wchar_t);
    RegQueryValueExW(typeKey, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size);
    if (shortcutTest)
        RegQueryValueExW(typeKey, L"IsShortcut", nullptr, nullptr, nullptr, nullptr);
}

void ReadSummaryOnce(const std::wstring& path)
{
    CComPtr<IStorage> storage;
    CComPtr<IPropertySetStorage> sets;
    CComPtr<IPropertyStorage> properties;
    if (FAILED(StgOpenStorageEx(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, STGFMT_ANY, 0, nullptr, nullptr,
                                IID_IStorage, storage.ReceiveVoid()))
        || FAILED(storage.QueryInterface(IID_IPropertySetStorage, sets))
        || FAILED(sets->Open(FMTID_SummaryInformation, STGM_READ | STGM_SHARE_EXCLUSIVE, &properties)))
        return;
    PROPSPEC specs[5];
    PROPVARIANT values[5];
    for (int i = 0; i < 5; ++i) {
        specs[i].ulKind = PRSPEC_PROPID;
        specs[i].propid = PIDSI_TITLE + i;
        PropVariantInit(&values[i]);
    }
    if (SUCCEEDED(properties->ReadMultiple(5, specs, values)))
        FreePropVariantArray(5, values);
}

// Every path of the data object's dropped-file list, as a handler must read them.
void ReadPaths(IDataObject* selection)
{
    FORMATETC format = { CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    CStgMedium medium;
    if (FAILED(selection->GetData(&format, &medium)))
        return;
    HDROP drop = static_cast<HDROP>(medium.hGlobal);
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    wchar_t path[MAX_PATH];
    for (UINT i = 0; i < count; ++i)
        DragQueryFileW(drop, i, path, MAX_PATH);
}

}

bool CMorvaneModule::Load(const std::wstring& path)
{
    m_library.Attach(LoadLibraryW(path.c_str()));
    if (!m_library.IsValid())
        return false;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(GetProcAddress(m_library, "DllGetClassObject"));
    if (getClassObject)
        getClassObject(CLSID_MorvaneExplorerCommand, IID_IClassFactory, m_commandFactory.ReceiveVoid());
    return getClassObject
        && SUCCEEDED(getClassObject(CLSID_MorvaneMenuHandler, IID_IClassFactory, m_factory.ReceiveVoid()));
}

void CMorvaneModule::RightClick(IDataObject* selection, PCIDLIST_ABSOLUTE folder, MenuShape* shape) const
{
    CComPtr<IShellExtInit> init;
    if (FAILED(m_factory->CreateInstance(nullptr, IID_IShellExtInit, init.ReceiveVoid())))
        return;
    init->Initialize(folder, selection, nullptr);
    CComPtr<IContextMenu> menuHandler;
    if (FAILED(init.QueryInterface(IID_IContextMenu, menuHandler)))
        return;
    CMenuHandle menu(CreatePopupMenu());
    menuHandler->QueryContextMenu(menu, 0, kFirstId, 0x7FFF, CMF_NORMAL);
    if (shape)
        RecordMenu(menu, shape->items);
    menuHandler.Release();
    init.Release();
}

// One command as Explorer shows it, and its subcommands; returns the commands seen.
static int WalkCommand(IExplorerCommand* command, IShellItemArray* selection)
{
    EXPCMDSTATE state = 0;
    EXPCMDFLAGS flags = 0;
    command->GetState(selection, TRUE, &state);
    command->GetFlags(&flags);
    LPWSTR text = nullptr;
    if (SUCCEEDED(command->GetTitle(selection, &text)))
        CoTaskMemFree(text);
    text = nullptr;
    if (SUCCEEDED(command->GetToolTip(selection, &text)))
        CoTaskMemFree(text);
    int seen = 1;
    CComPtr<IEnumExplorerCommand> children;
    if (!(flags & ECF_HASSUBCOMMANDS) || FAILED(command->EnumSubCommands(&children)) || !children)
        return seen;
    CComPtr<IExplorerCommand> child;
    while (children->Next(1, &child, nullptr) == S_OK)
        seen += WalkCommand(child, selection);
    return seen;
}

int CMorvaneModule::WalkCommandTree(IShellItemArray* selection) const
{
    CComPtr<IExplorerCommand> root;
    if (!m_commandFactory || FAILED(m_commandFactory->CreateInstance(nullptr, IID_IExplorerCommand, root.ReceiveVoid())))
        return 0;
    EXPCMDSTATE state = 0;
    if (root->GetState(selection, FALSE, &state) == S_OK && (state & ECS_HIDDEN))
        return 0;
    return WalkCommand(root, selection);
}

int MenuShape::ItemCount() const
{
    return CountItems(items, false);
}

int MenuShape::PopupCount() const
{
    return CountItems(items, true);
}

void FullMenuFloor::operator()() const
{
    for (int part = 0; part < kPartCount; ++part)
        RunPart(Part(part));
}

const wchar_t* FullMenuFloor::PartName(Part part)
{
    static const wchar_t* const names[kPartCount] = { L"paths from the data object", L"find data once",
                                                      L"three settings values", L"type lookups",
                                                      L"summary property set once", L"popups and items" };
    return names[part];
}

void FullMenuFloor::RunPart(Part part) const
{
    switch (part) {
    case kPaths:
        ReadPaths(selection);
        break;
    case kFindData: {
        WIN32_FIND_DATAW data;
        CFindHandle find(FindFirstFileW(path.c_str(), &data));
        break;
    }
    case kSettings:
        ReadSettings();
        break;
    case kTypeLookups:
        for (size_t i = 0; i < typeLookups.size(); ++i)
            LookUpType(typeLookups[i], i == 0);
        break;
    case kSummary:
        ReadSummaryOnce(path);
        break;
    case kMenu:
        BuildSameMenu(shape);
        break;
    default:
        break;
    }
}

void SimpleMenuFloor::operator()() const
{
    ReadPaths(selection);
    ReadSettings();
    BuildSameMenu(shape);
}

void OnePassPaths::operator()() const
{
    FORMATETC format = { CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL };
    CStgMedium medium;
    if (FAILED(selection->GetData(&format, &medium)))
        return;
    CGlobalLock<DROPFILES> drop(medium.hGlobal);
    if (!drop.Get() || !drop.Get()->fWide)
        return;
    const wchar_t* name = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(drop.Get()) + drop.Get()->pFiles);
    const wchar_t* end = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(drop.Get()) + drop.Size());
    wchar_t path[MAX_PATH];
    while (name < end && *name) {
        size_t length = 0;
        while (name + length < end && name[length])
            ++length;
        size_t copied = length < MAX_PATH ? length : MAX_PATH - 1;
        CopyMemory(path, name, copied * sizeof(wchar_t));
        path[copied] = 0;
        name += length + 1;
    }
}
