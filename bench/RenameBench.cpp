#include "RenameBench.h"
#include <windows.h>
#include <shellapi.h>
#include <memory>
#include "FileList.h"
#include "TestSupport.h"

CRenameSet::CRenameSet(const std::vector<std::wstring>& paths, const std::wstring& ext, const std::wstring& otherExt)
    : m_ext(ext), m_otherExt(otherExt), m_current(ext)
{
    for (const std::wstring& path : paths)
        m_stems.push_back(path.substr(0, path.size() - ext.size() - 1));
}

std::vector<std::wstring> CRenameSet::Paths() const
{
    std::vector<std::wstring> paths;
    paths.reserve(m_stems.size());
    for (const std::wstring& stem : m_stems)
        paths.push_back(stem + L"." + m_current);
    return paths;
}

bool CRenameSet::Consistent() const
{
    for (const std::wstring& path : Paths())
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            return false;
    return true;
}

void RenameBare(CRenameSet& files)
{
    const std::wstring next = files.Next();
    for (const std::wstring& path : files.Paths()) {
        std::wstring from = path + L'\0';
        std::wstring to = path.substr(0, path.rfind(L'.') + 1) + next + L'\0';
        SHFILEOPSTRUCTW operation = {};
        operation.wFunc = FO_RENAME;
        operation.pFrom = from.c_str();
        operation.pTo = to.c_str();
        operation.fFlags = FOF_ALLOWUNDO | FOF_SIMPLEPROGRESS;
        operation.lpszProgressTitle = L"Renaming";
        SHFileOperationW(&operation);
    }
    files.Flip();
}

// The module's side: the file list the menu built for the selection, renamed by ReplaceExtension
// as InvokeCommand does for a quick-extension item.
struct CQuickExtensionRename::State {
    std::unique_ptr<CFileList> list;
};

CQuickExtensionRename::CQuickExtensionRename() : m_state(new State)
{
}

CQuickExtensionRename::~CQuickExtensionRename()
{
    delete m_state;
}

bool CQuickExtensionRename::Available()
{
    return true;
}

void CQuickExtensionRename::Prepare(const CRenameSet& files)
{
    m_state->list.reset(new CFileList(ShellDataObject(files.Paths())));
}

void CQuickExtensionRename::Run(CRenameSet& files)
{
    m_state->list->ReplaceExtension(nullptr, files.Next().c_str());
    files.Flip();
}
