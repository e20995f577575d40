// The files named on the command line as the shell hands them to a handler: the shell's own data
// object from their folder's IShellFolder, the folder's item list and the first file's type.
#pragma once
#include "Array.h"
#include "Holders.h"
#include "Str.h"
#include <shlobj.h>
#include <shobjidl.h>

class CSelection {
public:
    CSelection() = default;
    ~CSelection();
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;

    // False with a message in Error() when a file is missing, the files lie in different folders
    // or the shell gives no data object.
    bool Build(const CArray<CString>& files);
    const CString& Error() const { return m_error; }

    IDataObject* DataObject() const { return m_dataObject; }
    // The same files as the item array the Windows 11 menu's commands receive; may be null.
    IShellItemArray* Items() const { return m_items; }
    PCIDLIST_ABSOLUTE FolderIdList() const { return m_folderIdList; }
    const CString& Folder() const { return m_folder; }
    const CArray<CString>& Names() const { return m_names; }
    // The first file's extension with its dot (empty without one) and its registered class
    // (the default value of HKCR\.ext; empty when there is none).
    const CString& Extension() const { return m_extension; }
    const CString& TypeClass() const { return m_typeClass; }

private:
    bool AddFile(const CString& file);
    void FindTypeClass();

    CArray<CString> m_paths;
    CArray<CString> m_names;
    CString m_folder;
    CString m_extension;
    CString m_typeClass;
    CComPtr<IDataObject> m_dataObject;
    CComPtr<IShellItemArray> m_items;
    PIDLIST_ABSOLUTE m_folderIdList = nullptr;
    CString m_error;
};
