#include "FolderTree.h"
#include "Holders.h"
#include "Str.h"

bool IsExistingFolder(LPCSTR path)
{
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

LPCSTR LastBackslash(LPCSTR path)
{
    LPCSTR last = nullptr;
    for (LPCSTR p = path; p && *p; p = ::CharNextA(p)) {
        if (*p == '\\')
            last = p;
    }
    return last;
}

bool CreateFolderTree(LPCSTR path)
{
    if (IsExistingFolder(path) || ::CreateDirectoryA(path, nullptr))
        return true;
    if (::GetLastError() != ERROR_PATH_NOT_FOUND)
        return false;
    LPCSTR slash = LastBackslash(path);
    if (!slash || slash == path)
        return false;
    CString parent(path, int(slash - path));
    return CreateFolderTree(parent) && ::CreateDirectoryA(path, nullptr);
}

namespace {

bool Identify(LPCSTR path, BY_HANDLE_FILE_INFORMATION& info)
{
    CFileHandle file(::CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.IsValid() && ::GetFileInformationByHandle(file, &info);
}

}

bool IsSameFile(LPCSTR first, LPCSTR second)
{
    BY_HANDLE_FILE_INFORMATION a, b;
    if (!Identify(first, a) || !Identify(second, b))
        return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}
