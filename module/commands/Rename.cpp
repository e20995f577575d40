// CFileList::ReplaceExtension: every file renamed through the shell's own undoable file operation.
#include "Rename.h"
#include "Trace.h"
#include <shellapi.h>
#include <memory>
#include <new>

namespace {

const int kDisplayNameMax = 20;
const int kDisplayNameKept = 16;

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

}

bool IsAcceptableExtension(LPCWSTR extension)
{
    for (LPCWSTR c = extension; *c; ++c)
        if (*c < 0x20 || ::wcschr(L"\\/:*?\"<>|", *c))
            return false;
    return true;
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

bool CFileList::ReplaceExtension(HWND parent, LPCWSTR extension)
{
    if (!extension || ::lstrcmpW(extension, L"*") == 0)
        return true;
    // An extension with a separator or another character no name may hold could send the file
    // into another folder or make the shell guess: such a value never moves anything.
    if (!IsAcceptableExtension(extension))
        return true;
    for (CFileInfo& info : m_files) {
        LPCWSTR current = info.m_extension.IsEmpty() ? L"" : info.m_extension.GetString() + 1;
        if (::lstrcmpW(current, extension) == 0)
            continue;
        CString destination = RenameDestination(info.m_path, extension);
        if (!IsUsableFileName(destination.GetString() + FileNameStart(destination)))
            continue;
        CString title = RenameProgressTitle(info, destination, extension);
        std::unique_ptr<WCHAR[]> from = DoubleTerminated(info.m_path);
        std::unique_ptr<WCHAR[]> to = DoubleTerminated(destination);
        if (!from || !to)
            continue;
        SHFILEOPSTRUCTW operation = {};
        operation.hwnd = parent;
        operation.wFunc = FO_RENAME;
        operation.pFrom = from.get();
        operation.pTo = to.get();
        operation.fFlags = FOF_ALLOWUNDO | FOF_SIMPLEPROGRESS;
        operation.lpszProgressTitle = title;
        int result = ::SHFileOperationW(&operation);
        Trace(L"ReplaceExtension(%s -> %s) = %d\n", info.m_path.GetString(), destination.GetString(), result);
        if (result == 0)
            info.SetPath(destination);
    }
    return true;
}
