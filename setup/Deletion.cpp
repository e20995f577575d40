#include "Deletion.h"
#include "Holders.h"
#include <new>
#include <memory>

namespace {

const char kMovedAsideSuffix[] = ".$$$";
const DWORD kMaxInitFileSize = 4 * 1024 * 1024;

bool RealIsNtFamily()
{
    OSVERSIONINFOA version = { sizeof(version) };
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return ::GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
#pragma GCC diagnostic pop
}

UINT RealWindowsDirectory(LPSTR buffer, UINT size)
{
    return ::GetWindowsDirectoryA(buffer, size);
}

// The profile writer leaves the line "@@@=path"; the start-up processing of the older family wants
// "NUL=path" for a deletion, which the writer cannot produce for more than one file (one key per
// name), so the first "@@@=" at the start of a line is renamed in place.
bool RenamePlaceholderLine(LPCSTR initFile)
{
    CFileHandle file(::CreateFileA(initFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return false;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file, &size) || size.QuadPart > kMaxInitFileSize)
        return false;
    DWORD length = DWORD(size.QuadPart);
    std::unique_ptr<char[]> content(new (std::nothrow) char[length + 1]);
    if (!content)
        return false;
    DWORD read = 0;
    if (!::ReadFile(file, content.get(), length, &read, nullptr) || read != length)
        return false;
    for (DWORD i = 0; i + 4 <= length; ++i) {
        bool lineStart = i == 0 || content[i - 1] == '\n';
        if (lineStart && memcmp(content.get() + i, "@@@=", 4) == 0) {
            memcpy(content.get() + i, "NUL=", 4);
            break;
        }
    }
    DWORD written = 0;
    return ::SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
           ::WriteFile(file, content.get(), length, &written, nullptr) && written == length;
}

bool ScheduleInInitFile(LPCSTR path)
{
    char initFile[MAX_PATH + 16];
    UINT folderLength = g_restartPlatform.windowsDirectory(initFile, MAX_PATH);
    if (folderLength == 0 || folderLength >= MAX_PATH)
        return false;
    lstrcatA(initFile, "\\WinInit.ini");
    char shortPath[MAX_PATH];
    DWORD shortLength = ::GetShortPathNameA(path, shortPath, MAX_PATH);
    if (shortLength == 0 || shortLength >= MAX_PATH)
        lstrcpynA(shortPath, path, MAX_PATH);
    ::WritePrivateProfileStringA("Rename", "@@@", shortPath, initFile);
    // Flush the profile cache so that the file on disk holds the line before it is edited.
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, initFile);
    return RenamePlaceholderLine(initFile);
}

}

RestartPlatform g_restartPlatform = { RealIsNtFamily, RealWindowsDirectory };

void DeleteFolderOrSchedule(LPCSTR folder)
{
    if (!::RemoveDirectoryA(folder) && ::GetFileAttributesA(folder) != INVALID_FILE_ATTRIBUTES &&
        g_restartPlatform.isNtFamily())
        ::MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

DeleteOutcome DeleteOrSchedule(LPCSTR path)
{
    if (::DeleteFileA(path))
        return DeleteOutcome::Gone;
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return DeleteOutcome::Gone;

    char scheduled[MAX_PATH + sizeof(kMovedAsideSuffix)];
    lstrcpynA(scheduled, path, MAX_PATH);
    bool movedAside = false;
    if (error == ERROR_ACCESS_DENIED) {
        char aside[sizeof(scheduled)];
        lstrcpyA(aside, scheduled);
        lstrcatA(aside, kMovedAsideSuffix);
        if (::MoveFileA(scheduled, aside)) {
            lstrcpyA(scheduled, aside);
            movedAside = true;
        }
    }

    // Only the call's result tells: a refused schedule may leave the last error at 0.
    bool arranged = g_restartPlatform.isNtFamily()
        ? ::MoveFileExA(scheduled, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE
        : ScheduleInInitFile(scheduled);
    if (!arranged)
        return DeleteOutcome::Failed;
    return movedAside ? DeleteOutcome::Gone : DeleteOutcome::AtRestart;
}

CString NotScheduledNote(LPCSTR path)
{
    CString note;
    note.Format("\n\n'%s' could be neither deleted nor scheduled for deletion.", path);
    return note;
}

LONG DeleteKeyTree(HKEY parent, LPCSTR subkey)
{
    CRegKeyHandle key;
    LONG result = ::RegOpenKeyExA(parent, subkey, 0, KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS)
        return result;
    char name[256];
    for (;;) {
        DWORD length = sizeof(name);
        if (::RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        result = DeleteKeyTree(key, name);
        if (result != ERROR_SUCCESS)
            return result;
    }
    key.Close();
    return ::RegDeleteKeyA(parent, subkey);
}
