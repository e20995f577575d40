// The two forms of a selected file's path. The plain form is what the user sees and what is copied;
// the kernel's path rules rewrite it (a name ending in a blank or a dot loses them, so "a." and
// "a " name their sibling "a"). The "\\?\" form reaches the file system unchanged, so every file
// operation on a selected file goes through it.
#pragma once
#include "Str.h"

// The "\\?\" form of an absolute path ("\\?\UNC\server\share\..." for a network path); forward
// slashes become backslashes. A path already in that form, a device path and a relative path are
// returned as they are.
CString KernelPath(const CString& path);

// The plain form of a path that may carry the "\\?\" prefix, as a text shown or copied.
CString PlainPath(const CString& path);

// True when the plain path names exactly this file: the kernel's path rules leave it unchanged and
// it fits MAX_PATH, so that a caller without "\\?\" support (the shell's file operation) may be
// given it.
bool IsExactPlainPath(const CString& path);
