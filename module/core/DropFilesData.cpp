#include "DropFilesData.h"
#include <shlobj.h>

namespace {

bool IsDropList(const FORMATETC* format)
{
    return format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) && format->dwAspect == DVASPECT_CONTENT
        && format->lindex == -1;
}

}

HRESULT CDropFilesData::Create(const CArray<CString>& paths, IDataObject** result)
{
    *result = nullptr;
    auto* object = new (std::nothrow) CComObject<CDropFilesData>();
    if (!object)
        return E_OUTOFMEMORY;
    SIZE_T chars = 1;
    for (const CString& path : paths)
        chars += SIZE_T(path.GetLength()) + 1;
    SIZE_T bytes = sizeof(DROPFILES) + chars * sizeof(WCHAR);
    if (bytes > 0x7FFFFFFF || !object->m_block.SetSize(int(bytes))) {
        delete object;
        return E_OUTOFMEMORY;
    }
    ZeroMemory(object->m_block.begin(), bytes);
    auto* header = reinterpret_cast<DROPFILES*>(object->m_block.begin());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<WCHAR*>(object->m_block.begin() + sizeof(DROPFILES));
    for (const CString& path : paths) {
        memcpy(text, path.GetString(), SIZE_T(path.GetLength()) * sizeof(WCHAR));
        text += path.GetLength() + 1;
    }
    return FinishCreation(object, IID_IDataObject, reinterpret_cast<void**>(result));
}

STDMETHODIMP CDropFilesData::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!format || !medium)
        return E_INVALIDARG;
    ZeroMemory(medium, sizeof(*medium));
    if (!IsDropList(format))
        return DV_E_FORMATETC;
    CGlobalHandle copy(::GlobalAlloc(GMEM_MOVEABLE, SIZE_T(m_block.GetSize())));
    if (!copy.IsValid())
        return E_OUTOFMEMORY;
    {
        CGlobalLock<BYTE> locked(copy);
        if (!locked.Get())
            return E_OUTOFMEMORY;
        memcpy(locked.Get(), m_block.begin(), SIZE_T(m_block.GetSize()));
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy.Detach();
    return S_OK;
}

STDMETHODIMP CDropFilesData::QueryGetData(FORMATETC* format)
{
    return IsDropList(format) ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP CDropFilesData::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (out)
        out->ptd = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CDropFilesData::EnumFormatEtc(DWORD, IEnumFORMATETC** out)
{
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}
