// The property sets of a file, as the summary reader and the summary writer open them.
#pragma once
#include "Holders.h"
#include "Str.h"
#include <objidl.h>

// Opens the file's property-set storage in the given mode (the selected file's exact name, through
// its "\\?\" form). The storage is asked for first and then for its property sets, which works on
// compound files on every system; the direct request covers property sets kept by the file system
// itself. With compound, it also tells whether the first request answered: the file is a compound
// document, whose summary set is its own.
HRESULT OpenPropertySets(const CString& path, DWORD mode, CComPtr<IPropertySetStorage>& sets, bool* compound = nullptr);
