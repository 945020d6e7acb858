#include "framework/core/DockState.h"

#include "framework/core/CArchive.h"

#include <memory>
#include <vector>

IMPLEMENT_DYNAMIC(CDockState, CObject)

namespace
{

// The fewest bytes a record takes: id, four flags, position, MRU width,
// docking flag and the id count, without MRU fields or ids.
constexpr ULONGLONG kMinRecordSize = 4 + 4 + 8 + 4 + 1 + 4;

BYTE ReadFlag(CArchive& ar)
{
    BYTE b;
    ar >> b;
    if (b > 1)
        AfxThrowArchiveException(CArchiveException::badSchema);
    return b;
}

// A stated count, refused when it is negative, above the cap, or more than
// the bytes left could hold at nMinSize bytes each.
int ReadCount(CArchive& ar, int nCap, ULONGLONG nMinSize)
{
    LONG n;
    ar >> n;
    if (n < 0 || n > nCap || (ULONGLONG)n > ar.GetBytesLeft() / nMinSize)
        AfxThrowArchiveException(CArchiveException::badIndex);
    return (int)n;
}

} // namespace

void CControlBarInfo::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar << (UINT)m_nBarID << (BYTE)(m_bVisible != 0) << (BYTE)(m_bFloating != 0) << (BYTE)(m_bHorz != 0)
           << (BYTE)(m_bDockBar != 0) << (POINT)m_pointPos << (LONG)m_nMRUWidth << (BYTE)(m_bDocking != 0);
        if (m_bDocking)
            ar << (UINT)m_uMRUDockID << (const RECT&)m_rectMRUDockPos << (DWORD)m_dwMRUFloatStyle
               << (POINT)m_ptMRUFloatPos;
        ar << (LONG)m_arrBarID.GetSize();
        for (INT_PTR i = 0; i < m_arrBarID.GetSize(); ++i)
            ar << (DWORD)m_arrBarID[i];
        return;
    }
    ar >> m_nBarID;
    m_bVisible = ReadFlag(ar);
    m_bFloating = ReadFlag(ar);
    m_bHorz = ReadFlag(ar);
    m_bDockBar = ReadFlag(ar);
    LONG nMRUWidth;
    ar >> (POINT&)m_pointPos >> nMRUWidth;
    m_nMRUWidth = nMRUWidth;
    m_bDocking = ReadFlag(ar);
    if (m_bDocking)
        ar >> m_uMRUDockID >> (RECT&)m_rectMRUDockPos >> m_dwMRUFloatStyle >> (POINT&)m_ptMRUFloatPos;
    int nIds = ReadCount(ar, CDockState::kMaxBarIds, sizeof(DWORD));
    m_arrBarID.SetSize(nIds);
    for (int i = 0; i < nIds; ++i)
        ar >> m_arrBarID[i];
}

CDockState::~CDockState()
{
    Clear();
}

void CDockState::Clear()
{
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i)
        delete GetBarInfo(i);
    m_arrBarInfo.RemoveAll();
}

void CDockState::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar << (DWORD)kVersion << (LONG)m_arrBarInfo.GetSize();
        for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i)
            GetBarInfo(i)->Serialize(ar);
        return;
    }
    DWORD dwVersion;
    ar >> dwVersion;
    if (dwVersion != kVersion)
        AfxThrowArchiveException(CArchiveException::badSchema);
    int nCount = ReadCount(ar, kMaxBars, kMinRecordSize);
    std::vector<std::unique_ptr<CControlBarInfo>> loaded;
    loaded.reserve((size_t)nCount);
    for (int i = 0; i < nCount; ++i)
    {
        loaded.push_back(std::make_unique<CControlBarInfo>());
        loaded.back()->Serialize(ar);
    }
    // Complete: only now do the loaded records replace the old ones.
    Clear();
    m_arrBarInfo.SetSize(nCount);
    for (int i = 0; i < nCount; ++i)
        m_arrBarInfo[i] = loaded[(size_t)i].release();
}
