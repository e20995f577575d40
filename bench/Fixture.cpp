#include "Fixture.h"

namespace {

const wchar_t kSettingsKey[] = L"SOFTWARE\\Zeph\\Morvane";

// Summary properties in the ANSI property set that Office documents carry.
const char* const kSummaryValues[] = { "Quarterly Report", "Figures of the third quarter", "Ada Lovelace",
                                       "revenue; regions; forecast", "Draft for the board" };

}

CBenchFixture::CBenchFixture()
{
}

CBenchFixture::~CBenchFixture()
{
    for (const std::wstring& key : m_addedKeys)
        DeleteTree(HKEY_CLASSES_ROOT, key);
    DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
}

std::wstring CBenchFixture::MakeCompoundDocument(const std::wstring& name)
{
    std::wstring path = m_dir / name;
    HRESULT hr = CreateCompoundDocument(path, std::vector<const char*>(kSummaryValues, kSummaryValues + 5));
    if (FAILED(hr))
        wprintf(L"warning: the compound document could not be written (0x%08lX)\n", hr);
    return path;
}

std::vector<std::wstring> CBenchFixture::MakeFiles(const std::wstring& folder, const std::wstring& prefix, int count,
                                                   const std::wstring& ext)
{
    std::wstring dir = m_dir / folder;
    CreateDirectoryW(dir.c_str(), nullptr);
    std::vector<std::wstring> paths;
    paths.reserve(count);
    for (int i = 0; i < count; ++i) {
        wchar_t name[64];
        wsprintfW(name, L"\\%s%05d%s", prefix.c_str(), i, ext.c_str());
        std::wstring path = dir + name;
        CFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        paths.push_back(path);
    }
    return paths;
}

CComPtr<IDataObject> CBenchFixture::FolderSelection(const std::wstring& folder)
{
    CComPtr<IDataObject> selection;
    CComPtr<IShellFolder> desktop, shellFolder;
    CComPtr<IEnumIDList> items;
    PIDLIST_ABSOLUTE folderIdList = ILCreateFromPathW(folder.c_str());
    if (folderIdList && SUCCEEDED(SHGetDesktopFolder(&desktop))
        && SUCCEEDED(desktop->BindToObject(folderIdList, nullptr, IID_IShellFolder, shellFolder.ReceiveVoid()))
        && shellFolder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, &items) == S_OK) {
        std::vector<PITEMID_CHILD> children;
        PITEMID_CHILD child = nullptr;
        while (items->Next(1, &child, nullptr) == S_OK)
            children.push_back(child);
        if (!children.empty())
            shellFolder->GetUIObjectOf(nullptr, UINT(children.size()), const_cast<PCUITEMID_CHILD*>(children.data()),
                                       IID_IDataObject, nullptr, selection.ReceiveVoid());
        for (PITEMID_CHILD item : children)
            ILFree(item);
    }
    ILFree(folderIdList);
    return selection;
}

void CBenchFixture::WriteSettings(DWORD options, const std::wstring& quickExts)
{
    WriteDword(HKEY_CURRENT_USER, kSettingsKey, L"Options", options);
    WriteString(HKEY_CURRENT_USER, kSettingsKey, L"QuickExts", quickExts);
    WriteDword(HKEY_CURRENT_USER, kSettingsKey, L"MultipleSelections", 1);
}

void CBenchFixture::EnsureFileType(const std::wstring& ext, const std::wstring& progId, const std::wstring& typeName)
{
    std::wstring existing;
    if (ReadString(HKEY_CLASSES_ROOT, ext, nullptr, existing) && !existing.empty())
        return;
    RegisterFileType(ext, progId, typeName, false);
    m_addedKeys.push_back(ext);
    m_addedKeys.push_back(progId);
}
