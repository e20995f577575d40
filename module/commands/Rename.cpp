// CFileList::ReplaceExtension: every file renamed through the shell's own undoable file operation,
// or by the kernel on its exact name where the shell cannot reach it.
#include "Rename.h"
#include "Trace.h"
#include "DialogMessageBox.h"
#include <shellapi.h>
#include <memory>
#include <new>

namespace {

const int kDisplayNameMax = 20;
const int kDisplayNameKept = 16;
const WCHAR kRenameFailed[] = L"Could not rename \"%s\".";
// What the kernel's "\\?\" form holds, its prefix and the terminating zero included.
const int kMaxKernelPathLength = 32767;

bool IsSeparator(WCHAR c)
{
    return c == L'\\' || c == L'/';
}

int FileNameStart(const CString& path)
{
    for (int i = path.GetLength() - 1; i >= 0; --i)
        if (IsSeparator(path[i]))
            return i + 1;
    return 0;
}

// A name the file system would take as this folder or its parent, or as no name at all.
bool IsUsableFileName(LPCWSTR name)
{
    for (; *name; ++name)
        if (*name != L'.' && *name != L' ')
            return true;
    return false;
}

void TrimNameEnd(CString& path)
{
    int end = path.GetLength();
    while (end > FileNameStart(path) && (path[end - 1] == L'.' || path[end - 1] == L' '))
        --end;
    path.Truncate(end);
}

// The shell's file operation takes paths shorter than MAX_PATH: it is handed no other.
bool ShellCanRename(const CString& source, const CString& destination)
{
    return IsExactPlainPath(source) && destination.GetLength() < MAX_PATH;
}

// The path followed by the two zero units that end the shell's list of names.
std::unique_ptr<WCHAR[]> DoubleTerminated(const CString& path)
{
    int length = path.GetLength();
    std::unique_ptr<WCHAR[]> list(new (std::nothrow) WCHAR[size_t(length) + 2]);
    if (list) {
        CopyMemory(list.get(), path.GetString(), size_t(length) * sizeof(WCHAR));
        list[length] = 0;
        list[length + 1] = 0;
    }
    return list;
}

// The shell's undoable rename. It takes plain paths only: it fails on any "\\?\" path.
int RenameThroughShell(HWND parent, const CString& source, const CString& destination, const CString& title)
{
    std::unique_ptr<WCHAR[]> from = DoubleTerminated(source);
    std::unique_ptr<WCHAR[]> to = DoubleTerminated(destination);
    if (!from || !to)
        return ERROR_OUTOFMEMORY;
    SHFILEOPSTRUCTW operation = {};
    operation.hwnd = parent;
    operation.wFunc = FO_RENAME;
    operation.pFrom = from.get();
    operation.pTo = to.get();
    operation.fFlags = FOF_ALLOWUNDO | FOF_SIMPLEPROGRESS;
    operation.lpszProgressTitle = title;
    return ::SHFileOperationW(&operation);
}

// A name the plain path rules would rewrite (one ending in a blank or a dot, or a path too long for
// them) would have the shell rename another file, or nothing: the kernel renames exactly this one,
// never over an existing file. The shell reports nothing here, so a failure is reported.
int RenameExactName(HWND parent, const CFileList::CFileInfo& info, const CString& destination)
{
    if (::MoveFileExW(KernelPath(info.m_path), KernelPath(destination), 0))
        return 0;
    int error = int(::GetLastError());
    CString text;
    CString fileName = info.m_name;
    fileName += info.m_extension;
    if (text.Format(kRenameFailed, fileName.GetString()))
        ShowMessageBox(parent, text);
    return error ? error : ERROR_GEN_FAILURE;
}

}

const WCHAR kNameTooLong[] = L"The new extension would make a file name longer than 255 characters.";

bool IsAcceptableExtension(LPCWSTR extension)
{
    for (LPCWSTR c = extension; *c; ++c)
        if (*c < 0x20 || ::wcschr(L"\\/:*?\"<>|", *c))
            return false;
    return true;
}

bool HasCharNotAllowedInTypedExtension(LPCWSTR text)
{
    for (LPCWSTR c = text; *c; ++c)
        if (::wcschr(L"\\/:*?<>|.", *c))
            return true;
    return false;
}

CString RenameDestination(const CString& path, LPCWSTR extension)
{
    CString destination = path;
    int dot = path.ReverseFind(L'.');
    if (dot >= FileNameStart(path))
        destination.Truncate(dot);
    if (*extension) {
        destination += L".";
        destination += extension;
    }
    return destination;
}

CString RenameDisplayName(const CString& fileName, LPCWSTR extensionWithoutDot)
{
    if (fileName.GetLength() <= kDisplayNameMax)
        return fileName;
    CString shortened = fileName.Left(kDisplayNameKept);
    shortened += L"...(.";
    shortened += extensionWithoutDot;
    shortened += L")";
    return shortened;
}

CString RenameProgressTitle(const CFileList::CFileInfo& info, const CString& destination, LPCWSTR extension)
{
    CString oldName = info.m_name;
    oldName += info.m_extension;
    LPCWSTR oldExtension = info.m_extension.IsEmpty() ? L"" : info.m_extension.GetString() + 1;
    CString title = L"Renaming ";
    title += RenameDisplayName(oldName, oldExtension);
    title += L"\" to \"";
    title += RenameDisplayName(destination.Mid(FileNameStart(destination)), extension);
    title += L"\"";
    return title;
}

bool CFileList::FitsExtension(LPCWSTR extension) const
{
    for (const CFileInfo& info : m_files) {
        CString destination = RenameDestination(info.m_path, extension);
        int nameLength = destination.GetLength() - FileNameStart(destination);
        if (nameLength > kMaxFileNameLength || KernelPath(destination).GetLength() >= kMaxKernelPathLength)
            return false;
    }
    return true;
}

bool CFileList::ReplaceExtension(HWND parent, LPCWSTR extension)
{
    if (!extension || ::lstrcmpW(extension, L"*") == 0)
        return true;
    // An extension with a separator or another character no name may hold could send the file
    // into another folder or make the shell guess: such a value never moves anything.
    if (!IsAcceptableExtension(extension))
        return true;
    // A name no file system takes is refused before anything moves, not left to each route.
    if (!FitsExtension(extension)) {
        ShowMessageBox(parent, kNameTooLong);
        return true;
    }
    for (CFileInfo& info : m_files) {
        LPCWSTR current = info.m_extension.IsEmpty() ? L"" : info.m_extension.GetString() + 1;
        if (::lstrcmpW(current, extension) == 0)
            continue;
        CString destination = RenameDestination(info.m_path, extension);
        if (!IsUsableFileName(destination.GetString() + FileNameStart(destination)))
            continue;
        int result;
        if (ShellCanRename(info.m_path, destination)) {
            result = RenameThroughShell(parent, info.m_path, destination, RenameProgressTitle(info, destination, extension));
        } else {
            // The new name is stored as the shell would store it, without blanks or dots at its end.
            TrimNameEnd(destination);
            result = RenameExactName(parent, info, destination);
        }
        Trace(L"ReplaceExtension(%s -> %s) = %d\n", info.m_path.GetString(), destination.GetString(), result);
        if (result == 0)
            info.SetPath(destination);
    }
    return true;
}
