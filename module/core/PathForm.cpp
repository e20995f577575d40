#include "PathForm.h"
#include <windows.h>

namespace {

const WCHAR kLocalPrefix[] = L"\\\\?\\";
const WCHAR kUncPrefix[] = L"\\\\?\\UNC\\";
const int kLocalPrefixLength = 4;
const int kUncPrefixLength = 8;

bool IsSlash(WCHAR c)
{
    return c == L'\\' || c == L'/';
}

bool StartsWith(const CString& text, LPCWSTR prefix)
{
    for (int i = 0; prefix[i]; ++i)
        if (text[i] != prefix[i])
            return false;
    return true;
}

bool IsDriveLetter(WCHAR c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsSameText(const CString& a, LPCWSTR b, int lengthOfB)
{
    if (a.GetLength() != lengthOfB)
        return false;
    for (int i = 0; i < lengthOfB; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

CString WithBackslashes(LPCWSTR prefix, LPCWSTR rest)
{
    CString out = prefix;
    for (; *rest; ++rest)
        out += *rest == L'/' ? L'\\' : *rest;
    return out;
}

}

CString KernelPath(const CString& path)
{
    // "\\?\..." and "\\.\..." are already beyond the path rules.
    if (IsSlash(path[0]) && IsSlash(path[1]) && (path[2] == L'?' || path[2] == L'.') && IsSlash(path[3]))
        return path;
    if (IsDriveLetter(path[0]) && path[1] == L':' && IsSlash(path[2]))
        return WithBackslashes(kLocalPrefix, path);
    if (IsSlash(path[0]) && IsSlash(path[1]) && path[2] && !IsSlash(path[2]))
        return WithBackslashes(kUncPrefix, path.GetString() + 2);
    return path;
}

CString PlainPath(const CString& path)
{
    if (StartsWith(path, kUncPrefix)) {
        CString out = L"\\\\";
        out += path.GetString() + kUncPrefixLength;
        return out;
    }
    if (StartsWith(path, kLocalPrefix) && IsDriveLetter(path[kLocalPrefixLength]) && path[kLocalPrefixLength + 1] == L':')
        return path.Mid(kLocalPrefixLength);
    return path;
}

bool IsExactPlainPath(const CString& path)
{
    if (path.IsEmpty() || path.GetLength() >= MAX_PATH)
        return false;
    WCHAR full[MAX_PATH];
    DWORD length = ::GetFullPathNameW(path, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH && IsSameText(path, full, int(length));
}
