#include "framework/win/OleDropTarget.h"

IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)

namespace
{
// ole32 is loaded on first use: programs that never drag pay nothing.
struct OleFunctions
{
    HRESULT(WINAPI* pfnRegisterDragDrop)(HWND, LPDROPTARGET) = nullptr;
    HRESULT(WINAPI* pfnRevokeDragDrop)(HWND) = nullptr;
    void(WINAPI* pfnReleaseStgMedium)(LPSTGMEDIUM) = nullptr;
};

const OleFunctions& Ole()
{
    static OleFunctions functions = []
    {
        OleFunctions f;
        HMODULE hOle = ::LoadLibraryA("ole32.dll");
        if (hOle)
        {
            f.pfnRegisterDragDrop = reinterpret_cast<decltype(f.pfnRegisterDragDrop)>(
                reinterpret_cast<void*>(::GetProcAddress(hOle, "RegisterDragDrop")));
            f.pfnRevokeDragDrop = reinterpret_cast<decltype(f.pfnRevokeDragDrop)>(
                reinterpret_cast<void*>(::GetProcAddress(hOle, "RevokeDragDrop")));
            f.pfnReleaseStgMedium = reinterpret_cast<decltype(f.pfnReleaseStgMedium)>(
                reinterpret_cast<void*>(::GetProcAddress(hOle, "ReleaseStgMedium")));
        }
        return f;
    }();
    return functions;
}

FORMATETC DefaultFormat(CLIPFORMAT cfFormat)
{
    FORMATETC fmt = {cfFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return fmt;
}
} // namespace

// ---- COleDataObject --------------------------------------------------------

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease)
{
    Release();
    m_lpDataObject = lpDataObject;
    m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach()
{
    LPDATAOBJECT p = m_lpDataObject;
    m_lpDataObject = nullptr;
    return p;
}

void COleDataObject::Release()
{
    if (m_lpDataObject && m_bAutoRelease)
        m_lpDataObject->Release();
    m_lpDataObject = nullptr;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (!m_lpDataObject)
        return FALSE;
    FORMATETC fmt = lpFormatEtc ? *lpFormatEtc : DefaultFormat(cfFormat);
    fmt.cfFormat = cfFormat;
    return m_lpDataObject->QueryGetData(&fmt) == S_OK;
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc)
{
    if (!m_lpDataObject)
        return nullptr;
    FORMATETC fmt = lpFormatEtc ? *lpFormatEtc : DefaultFormat(cfFormat);
    fmt.cfFormat = cfFormat;
    fmt.tymed = TYMED_HGLOBAL;
    STGMEDIUM medium = {};
    if (m_lpDataObject->GetData(&fmt, &medium) != S_OK)
        return nullptr;
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal)
    {
        if (Ole().pfnReleaseStgMedium)
            Ole().pfnReleaseStgMedium(&medium);
        return nullptr;
    }
    // The caller owns a copy; the medium goes back to its owner.
    SIZE_T cb = ::GlobalSize(medium.hGlobal);
    HGLOBAL hCopy = ::GlobalAlloc(GMEM_MOVEABLE, cb);
    if (hCopy)
    {
        void* pSrc = ::GlobalLock(medium.hGlobal);
        void* pDst = ::GlobalLock(hCopy);
        if (pSrc && pDst)
            memcpy(pDst, pSrc, cb);
        ::GlobalUnlock(hCopy);
        ::GlobalUnlock(medium.hGlobal);
    }
    if (Ole().pfnReleaseStgMedium)
        Ole().pfnReleaseStgMedium(&medium);
    return hCopy;
}

// ---- COleDropTarget --------------------------------------------------------

COleDropTarget::COleDropTarget() : m_xDropTarget(this)
{
}

COleDropTarget::~COleDropTarget()
{
    Revoke();
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    if (m_hWnd || !pWnd || !pWnd->m_hWnd || !Ole().pfnRegisterDragDrop)
        return FALSE;
    if (FAILED(Ole().pfnRegisterDragDrop(pWnd->m_hWnd, &m_xDropTarget)))
        return FALSE;
    m_hWnd = pWnd->m_hWnd;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (!m_hWnd)
        return;
    if (Ole().pfnRevokeDragDrop)
        Ole().pfnRevokeDragDrop(m_hWnd);
    m_hWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    return DROPEFFECT_NONE;
}

void COleDropTarget::OnDragLeave(CWnd*)
{
}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint)
{
    return FALSE;
}

CPoint COleDropTarget::ClientPoint(POINTL pt) const
{
    POINT point = {pt.x, pt.y};
    ::ScreenToClient(m_hWnd, &point);
    return CPoint(point.x, point.y);
}

HRESULT COleDropTarget::XDropTarget::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDropTarget)))
    {
        *ppv = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT COleDropTarget::XDropTarget::DragEnter(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (!pdwEffect)
        return E_INVALIDARG;
    CWnd* pWnd = CWnd::FromHandle(m_pOwner->m_hWnd);
    // The data object stays ours until the drag leaves or drops.
    if (pDataObj)
        pDataObj->AddRef();
    m_pOwner->m_dataObject.Attach(pDataObj, TRUE);
    *pdwEffect = pWnd ? m_pOwner->OnDragEnter(pWnd, &m_pOwner->m_dataObject, grfKeyState, m_pOwner->ClientPoint(pt))
                      : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT COleDropTarget::XDropTarget::DragOver(DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (!pdwEffect)
        return E_INVALIDARG;
    CWnd* pWnd = CWnd::FromHandle(m_pOwner->m_hWnd);
    *pdwEffect = pWnd ? m_pOwner->OnDragOver(pWnd, &m_pOwner->m_dataObject, grfKeyState, m_pOwner->ClientPoint(pt))
                      : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT COleDropTarget::XDropTarget::DragLeave()
{
    CWnd* pWnd = CWnd::FromHandle(m_pOwner->m_hWnd);
    if (pWnd)
        m_pOwner->OnDragLeave(pWnd);
    m_pOwner->m_dataObject.Release();
    return S_OK;
}

HRESULT COleDropTarget::XDropTarget::Drop(IDataObject* pDataObj, DWORD grfKeyState, POINTL pt, DWORD* pdwEffect)
{
    if (!pdwEffect)
        return E_INVALIDARG;
    CWnd* pWnd = CWnd::FromHandle(m_pOwner->m_hWnd);
    CPoint point = m_pOwner->ClientPoint(pt);
    if (pDataObj)
        pDataObj->AddRef();
    m_pOwner->m_dataObject.Attach(pDataObj, TRUE);
    // The effect the target would take at this point, then the drop itself.
    DROPEFFECT effect =
        pWnd ? m_pOwner->OnDragOver(pWnd, &m_pOwner->m_dataObject, grfKeyState, point) : DROPEFFECT_NONE;
    effect &= *pdwEffect;
    if (effect == DROPEFFECT_NONE || !m_pOwner->OnDrop(pWnd, &m_pOwner->m_dataObject, effect, point))
    {
        if (pWnd)
            m_pOwner->OnDragLeave(pWnd);
        effect = DROPEFFECT_NONE;
    }
    m_pOwner->m_dataObject.Release();
    *pdwEffect = effect;
    return S_OK;
}
