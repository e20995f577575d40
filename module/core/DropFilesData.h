// A data object that offers exactly the dropped-file list (CF_HDROP) of some paths: what the menu
// rules read from a selection. The Windows 11 menu hands its commands shell items rather than a
// data object; their file-system paths make this one without binding to their folder.
#pragma once
#include "Array.h"
#include "ComObject.h"
#include "Str.h"
#include <objidl.h>

class CDropFilesData : public CComObjectRoot, public IDataObject {
public:
    HRESULT InternalQueryInterface(REFIID riid, void** ppv)
    {
        static const QITAB table[] = {
            QI_ENTRY(CDropFilesData, IDataObject),
            { nullptr, 0 },
        };
        return QISearch(this, table, riid, ppv);
    }

    static HRESULT Create(const CArray<CString>& paths, IDataObject** result);

    // IDataObject: GetData and QueryGetData answer CF_HDROP in global memory; the rest is refused.
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC** out) override;
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    CArray<BYTE> m_block;  // DROPFILES, then each wide path with its terminator, then one more
};
