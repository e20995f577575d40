#include "ExplorerCommandEnum.h"
#include "ExplorerCommand.h"

HRESULT CExplorerCommandEnum::Create(CCommandTree* tree, int popup, int position, IEnumExplorerCommand** result)
{
    *result = nullptr;
    auto* object = new (std::nothrow) CComObject<CExplorerCommandEnum>();
    if (!object)
        return E_OUTOFMEMORY;
    tree->AddRef();
    object->m_tree = tree;
    object->m_popup = popup;
    object->m_position = position;
    object->m_count = tree->Menu().ChildCount(popup);
    return FinishCreation(object, IID_IEnumExplorerCommand, reinterpret_cast<void**>(result));
}

CExplorerCommandEnum::~CExplorerCommandEnum()
{
    if (m_tree)
        m_tree->Release();
}

// As every IEnumXXX: S_OK when all count were fetched, S_FALSE when fewer. IEnumExplorerCommand
// lets fetched be null for any count; the caller then counts the non-null slots. A failure part-way
// releases what was fetched and leaves the position.
STDMETHODIMP CExplorerCommandEnum::Next(ULONG count, IExplorerCommand** commands, ULONG* fetched)
{
    if (fetched)
        *fetched = 0;
    if (count == 0)
        return S_OK;
    if (!commands)
        return E_POINTER;
    for (ULONG i = 0; i < count; ++i)
        commands[i] = nullptr;
    CCriticalSectionLock lock(m_tree->Lock());
    ULONG done = 0;
    while (done < count && m_position + int(done) < m_count) {
        int entry = m_tree->Menu().Child(m_popup, m_position + int(done));
        HRESULT hr = CExplorerCommand::CreateEntry(m_tree, entry, &commands[done]);
        if (FAILED(hr)) {
            while (done > 0) {
                --done;
                commands[done]->Release();
                commands[done] = nullptr;
            }
            return hr;
        }
        ++done;
    }
    m_position += int(done);
    if (fetched)
        *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

STDMETHODIMP CExplorerCommandEnum::Skip(ULONG count)
{
    CCriticalSectionLock lock(m_tree->Lock());
    ULONG left = ULONG(m_count - m_position);
    ULONG skipped = count < left ? count : left;
    m_position += int(skipped);
    return skipped == count ? S_OK : S_FALSE;
}

STDMETHODIMP CExplorerCommandEnum::Reset()
{
    CCriticalSectionLock lock(m_tree->Lock());
    m_position = 0;
    return S_OK;
}

STDMETHODIMP CExplorerCommandEnum::Clone(IEnumExplorerCommand** copy)
{
    if (!copy)
        return E_POINTER;
    CCriticalSectionLock lock(m_tree->Lock());
    return Create(m_tree, m_popup, m_position, copy);
}
