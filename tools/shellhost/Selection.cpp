#include "Selection.h"

CSelection::~CSelection()
{
    ::ILFree(m_folderIdList);
}

bool CSelection::AddFile(const CString& file)
{
    WCHAR full[MAX_PATH];
    LPWSTR namePart = nullptr;
    DWORD length = ::GetFullPathNameW(file, MAX_PATH, full, &namePart);
    if (length == 0 || length >= MAX_PATH || !namePart) {
        m_error.Format(L"%s: not a usable path", file.GetString());
        return false;
    }
    DWORD attributes = ::GetFileAttributesW(full);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        m_error.Format(L"%s: no such file", full);
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        m_error.Format(L"%s: a folder, not a file", full);
        return false;
    }
    CString folder(full, int(namePart - full));
    if (folder.GetLength() > 3)  // keep the backslash of a drive's root only
        folder.Truncate(folder.GetLength() - 1);
    if (m_paths.IsEmpty()) {
        m_folder = folder;
    } else if (m_folder.CompareNoCase(folder) != 0) {
        m_error.Format(L"%s: not in %s; a selection lies in one folder", full, m_folder.GetString());
        return false;
    }
    return m_paths.Add(CString(full)) && m_names.Add(CString(namePart));
}

void CSelection::FindTypeClass()
{
    const CString& name = m_names[0];
    int dot = name.ReverseFind(L'.');
    m_extension = dot >= 0 ? name.Mid(dot) : CString();
    m_typeClass.Empty();
    if (m_extension.IsEmpty())
        return;
    WCHAR text[MAX_PATH] = {};
    LONG size = sizeof(text) - sizeof(WCHAR);
    if (::RegQueryValueW(HKEY_CLASSES_ROOT, m_extension, text, &size) == ERROR_SUCCESS)
        m_typeClass = text;
}

bool CSelection::Build(const CArray<CString>& files)
{
    for (const CString& file : files)
        if (!AddFile(file))
            return false;
    if (m_paths.IsEmpty()) {
        m_error = L"no file named";
        return false;
    }
    FindTypeClass();

    CArray<PIDLIST_ABSOLUTE> absolute;
    bool ok = true;
    for (const CString& path : m_paths) {
        PIDLIST_ABSOLUTE pidl = ::ILCreateFromPathW(path);
        if (!pidl || !absolute.Add(pidl)) {
            ::ILFree(pidl);
            m_error.Format(L"%s: the shell gives no item for it", path.GetString());
            ok = false;
            break;
        }
    }
    CArray<PCUITEMID_CHILD> children;
    for (PIDLIST_ABSOLUTE pidl : absolute)
        ok = ok && children.Add(::ILFindLastID(pidl));

    CComPtr<IShellFolder> folder;
    if (ok) {
        PCUITEMID_CHILD child = nullptr;
        HRESULT hr = ::SHBindToParent(absolute[0], IID_IShellFolder, folder.ReceiveVoid(), &child);
        if (SUCCEEDED(hr))
            hr = folder->GetUIObjectOf(nullptr, UINT(children.GetSize()), children.begin(), IID_IDataObject, nullptr,
                                       m_dataObject.ReceiveVoid());
        if (FAILED(hr) || !m_dataObject) {
            m_error.Format(L"the folder gives no data object for the files (0x%08lX)", hr);
            ok = false;
        }
    }
    if (ok && FAILED(::SHCreateShellItemArrayFromIDLists(UINT(absolute.GetSize()),
                                                         const_cast<PCIDLIST_ABSOLUTE*>(absolute.begin()), &m_items)))
        m_items.Release();  // the Windows 11 menu then gets no selection
    if (ok) {
        m_folderIdList = ::ILClone(absolute[0]);
        if (m_folderIdList)
            ::ILRemoveLastID(m_folderIdList);
    }
    for (PIDLIST_ABSOLUTE pidl : absolute)
        ::ILFree(pidl);
    return ok;
}
