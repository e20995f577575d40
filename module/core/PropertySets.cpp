#include "PropertySets.h"
#include "PathForm.h"

HRESULT OpenPropertySets(const CString& path, DWORD mode, CComPtr<IPropertySetStorage>& sets, bool* compound)
{
    if (compound)
        *compound = false;
    CString kernelPath = KernelPath(path);
    CComPtr<IStorage> storage;
    if (SUCCEEDED(::StgOpenStorageEx(kernelPath, mode, STGFMT_ANY, 0, nullptr, nullptr, IID_IStorage, storage.ReceiveVoid()))
        && SUCCEEDED(storage.QueryInterface(IID_IPropertySetStorage, sets))) {
        if (compound)
            *compound = true;
        return S_OK;
    }
    // An exclusive open would keep the second request out.
    storage.Release();
    return ::StgOpenStorageEx(kernelPath, mode, STGFMT_ANY, 0, nullptr, nullptr, IID_IPropertySetStorage, sets.ReceiveVoid());
}
