// A window as a drop target: one target per window, and the system's calls
// reach the virtual handlers with the data and client points.
#include "framework/win/OleDropTarget.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

// Text data as a drag source offers it.
class CTextData : public IDataObject
{
public:
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, __uuidof(IUnknown)) || IsEqualIID(riid, __uuidof(IDataObject)))
        {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* pFmt, STGMEDIUM* pMedium) override
    {
        if (QueryGetData(pFmt) != S_OK)
            return DV_E_FORMATETC;
        HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, 6);
        memcpy(::GlobalLock(h), "hello", 6);
        ::GlobalUnlock(h);
        pMedium->tymed = TYMED_HGLOBAL;
        pMedium->hGlobal = h;
        pMedium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* pFmt) override
    {
        return pFmt->cfFormat == CF_TEXT && (pFmt->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

class CTextTarget : public COleDropTarget
{
public:
    CPoint lastPoint;
    std::string enteredText;
    DROPEFFECT dropped = DROPEFFECT_NONE;
    int leaves = 0;
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* pData, DWORD, CPoint point) override
    {
        lastPoint = point;
        if (!pData->IsDataAvailable(CF_TEXT))
            return DROPEFFECT_NONE;
        HGLOBAL h = pData->GetGlobalData(CF_TEXT);
        enteredText = static_cast<const char*>(::GlobalLock(h));
        ::GlobalUnlock(h);
        ::GlobalFree(h);
        return DROPEFFECT_COPY;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject* pData, DWORD, CPoint point) override
    {
        lastPoint = point;
        return pData->IsDataAvailable(CF_TEXT) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    }
    void OnDragLeave(CWnd*) override { ++leaves; }
    BOOL OnDrop(CWnd*, COleDataObject*, DROPEFFECT effect, CPoint point) override
    {
        dropped = effect;
        lastPoint = point;
        return TRUE;
    }
};

typedef HRESULT(WINAPI* PFN_OLEINIT)(LPVOID);
typedef void(WINAPI* PFN_OLEUNINIT)();

TEST(OleDropTargetTest, ARegisteredWindowsHandlersGetTheDataAndClientPoints)
{
    HWND hWnd = kxgui::CreateTestWindow(200, 100, "drop target");
    CWnd* pWnd = CWnd::FromHandle(hWnd);
    CTextTarget target;
    HMODULE hOle = ::LoadLibraryA("ole32.dll");
    auto pfnInit = reinterpret_cast<PFN_OLEINIT>(reinterpret_cast<void*>(::GetProcAddress(hOle, "OleInitialize")));
    auto pfnUninit =
        reinterpret_cast<PFN_OLEUNINIT>(reinterpret_cast<void*>(::GetProcAddress(hOle, "OleUninitialize")));
    ASSERT_TRUE(SUCCEEDED(pfnInit(nullptr)));
    ASSERT_TRUE(target.Register(pWnd));
    CTextTarget second;
    EXPECT_FALSE(second.Register(pWnd)); // one target per window

    POINT origin = {0, 0};
    ::ClientToScreen(hWnd, &origin);
    CTextData data;
    IDropTarget* pTarget = target.GetDropTarget();
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(pTarget->DragEnter(&data, 0, POINTL{origin.x + 5, origin.y + 7}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(target.lastPoint, CPoint(5, 7));
    EXPECT_EQ(target.enteredText, "hello");
    EXPECT_EQ(data.refs, 2); // held while the drag is over the window

    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(pTarget->Drop(&data, 0, POINTL{origin.x + 9, origin.y + 3}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(target.dropped, static_cast<DROPEFFECT>(DROPEFFECT_COPY));
    EXPECT_EQ(target.lastPoint, CPoint(9, 3));
    EXPECT_EQ(data.refs, 1);

    // a source that allows only moving gets nothing from a copying target
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(pTarget->Drop(&data, 0, POINTL{origin.x, origin.y}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target.leaves, 1);
    EXPECT_EQ(data.refs, 1);

    target.Revoke();
    EXPECT_EQ(target.m_hWnd, nullptr);
    EXPECT_TRUE(second.Register(pWnd));
    second.Revoke();
    ::DestroyWindow(hWnd);
    pfnUninit();
}

} // namespace
