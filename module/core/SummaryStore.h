// The five summary values as the Windows property system gives them: through the file's property
// handler, which reads and writes the properties where the document format keeps them (Office
// documents, JPEG and TIFF pictures, music files). Its keys are those of the summary property set:
// the same format identifier and the property ids 2 to 6.
#pragma once
#include "Holders.h"
#include "Str.h"
#include <propsys.h>

// How a file's property store is opened: SHGetPropertyStoreFromParsingName, looked up in shell32
// at run time so that the module loads where it is missing. Wine gives no file a store, so tests
// put an opener in its place; null restores the default.
using PropertyStoreOpener = HRESULT(WINAPI*)(PCWSTR path, IBindCtx* context, GETPROPERTYSTOREFLAGS flags, REFIID iid,
                                             void** store);
void SetPropertyStoreOpener(PropertyStoreOpener opener);

// A PROPVARIANT that clears itself.
class CPropVariant : public PROPVARIANT {
public:
    CPropVariant() { ::PropVariantInit(this); }
    ~CPropVariant() { ::PropVariantClear(this); }
    CPropVariant(const CPropVariant&) = delete;
    CPropVariant& operator=(const CPropVariant&) = delete;
};

// The key of summary value index 0 to 4 (title, subject, author, keywords, comments).
PROPERTYKEY SummaryKey(int index);
// Author and keywords are lists of strings in the property system.
bool IsSummaryList(int index);

// Opens the file's store through its property handler, to read or to write. An offline file is
// never opened (no GPS_OPENSLOWITEM). A store keeps the file open: release it at once.
HRESULT OpenSummaryStore(const CString& path, bool write, CComPtr<IPropertyStore>& store);

// The text of a value: an 8-bit string (in the thread's code page) or a wide one as it is, a list
// of wide strings joined with "; "; empty for anything else.
CString SummaryValueText(const PROPVARIANT& value);
// The value that stores a text, into a cleared value: empty for an empty text; as a list, the parts
// between ";" without their surrounding blanks (empty parts left out); else a wide string. False
// when memory runs out.
bool SummaryValueFromText(LPCWSTR text, bool asList, PROPVARIANT& value);
