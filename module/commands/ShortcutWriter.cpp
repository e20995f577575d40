// CFileList::WriteShortcut: target, arguments and working directory written into every shortcut of
// the list through the shell's own link object, which keeps everything else of each link as loaded.
#include "FileList.h"
#include "Holders.h"
#include "DialogMessageBox.h"
#include <shlobj.h>

namespace {

const WCHAR kSaveFailed[] = L"Error changing link";

bool LoadAndChange(IShellLinkW* link, IPersistFile* file, LPCWSTR path, LPCWSTR target, LPCWSTR arguments,
                   LPCWSTR workingDir)
{
    return SUCCEEDED(file->Load(path, STGM_READ)) && SUCCEEDED(link->SetPath(target))
        && SUCCEEDED(link->SetWorkingDirectory(workingDir)) && SUCCEEDED(link->SetArguments(arguments));
}

}

bool CFileList::WriteShortcut(HWND parent, LPCWSTR target, LPCWSTR arguments, LPCWSTR workingDir)
{
    CComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.ReceiveVoid())))
        return true;
    CComPtr<IPersistFile> file;
    if (FAILED(link.QueryInterface(IID_IPersistFile, file)))
        return true;
    target = target ? target : L"";
    arguments = arguments ? arguments : L"";
    workingDir = workingDir ? workingDir : L"";
    for (int i = 0; i < m_files.GetSize(); ++i) {
        if (!IsShortcut(i))
            continue;
        CFileInfo& info = m_files[i];
        CString kernelPath = KernelPath(info.m_path);
        if (!LoadAndChange(link, file, kernelPath, target, arguments, workingDir))
            continue;
        if (FAILED(file->Save(kernelPath, TRUE))) {
            ShowMessageBox(parent, kSaveFailed);
            continue;
        }
        CString path = info.m_path;
        info.SetPath(path);
    }
    return true;
}
