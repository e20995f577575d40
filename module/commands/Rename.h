// The pieces of the extension change that are rules of their own: which extensions are acceptable,
// where a file goes, and how the shell's progress dialog names it.
#pragma once
#include "FileList.h"

// True for an extension that only renames: no path separator, drive colon, wildcard, quote,
// redirection or control character. The lone "*" (leave every file alone) is handled before.
bool IsAcceptableExtension(LPCWSTR extension);

// The path with the last extension of its file-name part replaced by the new one (removed when the
// new extension is empty). A dot inside a folder name is never touched.
// True for a typed extension holding a character the pages refuse: a path separator, the drive
// colon, a wildcard, a redirection or a dot.
bool HasCharNotAllowedInTypedExtension(LPCWSTR text);

CString RenameDestination(const CString& path, LPCWSTR extension);

// The longest file name the file systems take (NTFS, FAT32 and exFAT alike).
const int kMaxFileNameLength = 255;
// Shown, and nothing renamed, when a new extension would make a selected file's name longer.
extern const WCHAR kNameTooLong[];

// A file name for the progress title: names of more than 20 characters become their first 16
// characters, "...(." , the extension without dot and ")".
CString RenameDisplayName(const CString& fileName, LPCWSTR extensionWithoutDot);

// "Renaming old" to "new"" as the shell's simple progress dialog shows it.
CString RenameProgressTitle(const CFileList::CFileInfo& info, const CString& destination, LPCWSTR extension);
