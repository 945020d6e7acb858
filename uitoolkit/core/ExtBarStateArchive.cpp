#include "uitoolkit/core/ExtBarStateArchive.h"

#include "framework/core/CArchive.h"
#include "framework/core/DockState.h"
#include "uitoolkit/core/ExtRegistryArchiver.h"

#include <climits>

namespace kxdock
{

namespace
{

// A stated count: 0 or less reads nothing; above the cap or above what the
// bytes left could hold at nMinSize bytes each, the stream is damaged.
int ReadCount(CArchive& ar, int nCap, ULONGLONG nMinSize)
{
    LONG n;
    ar >> n;
    if (n <= 0)
        return 0;
    if (n > nCap || (ULONGLONG)n > ar.GetBytesLeft() / nMinSize)
        AfxThrowArchiveException(CArchiveException::badIndex);
    return (int)n;
}

void ReadBoundedString(CArchive& ar, CString& s, int nMaxLength)
{
    ar >> s;
    if (s.GetLength() > nMaxLength)
        AfxThrowArchiveException(CArchiveException::badIndex);
}

// One decimal number within LONG range, optionally signed; advances psz.
bool ParseLong(const char*& psz, LONG& nOut)
{
    bool bNegative = false;
    if (*psz == '-' || *psz == '+')
        bNegative = *psz++ == '-';
    if (*psz < '0' || *psz > '9')
        return false;
    long long n = 0;
    while (*psz >= '0' && *psz <= '9')
    {
        n = n * 10 + (*psz++ - '0');
        if (n > (long long)INT_MAX + 1)
            return false;
    }
    if (bNegative)
        n = -n;
    if (n < INT_MIN || n > INT_MAX)
        return false;
    nOut = (LONG)n;
    return true;
}

bool IsSideDockBarId(UINT nId)
{
    return nId >= BarStateFormat::kDockBarTop && nId <= BarStateFormat::kDockBarBottom;
}

// Whether a child's flags fit under a parent of the given kind.
bool IsChildAcceptable(const InternalDockStateBar& child, DWORD nParentKind)
{
    const DWORD dwFlags = child.m_dwStateFlags;
    if ((dwFlags & InternalDockStateBar::StateChild) == 0 ||
        (dwFlags & InternalDockStateBar::StateFloatingContainer) != 0)
        return false;
    const bool bPage = (dwFlags & InternalDockStateBar::StateTabPage) != 0;
    if (nParentKind == InternalDockStateBar::StateKindTabbed)
        return bPage && child.GetKind() == InternalDockStateBar::StateKindBar;
    return !bPage && (dwFlags & InternalDockStateBar::StateSelectedTab) == 0 &&
           (child.GetKind() == InternalDockStateBar::StateKindBar ||
            child.GetKind() == InternalDockStateBar::StateKindTabbed);
}

int DropUnusableChildren(InternalDockStateBar& record)
{
    int nDropped = 0;
    for (INT_PTR i = record.m_arrChildren.GetSize() - 1; i >= 0; --i)
    {
        InternalDockStateBar* pChild = record.m_arrChildren[i];
        if (record.GetKind() != InternalDockStateBar::StateKindBar && IsChildAcceptable(*pChild, record.GetKind()))
        {
            nDropped += DropUnusableChildren(*pChild);
            continue;
        }
        record.m_arrChildren.RemoveAt(i);
        delete pChild;
        ++nDropped;
    }
    return nDropped;
}

bool IsTopLevelAcceptable(const InternalDockStateBar& record)
{
    const DWORD nKind = record.GetKind();
    if (nKind < InternalDockStateBar::StateKindBar || nKind > InternalDockStateBar::StateKindTabbed)
        return false;
    if ((record.m_dwStateFlags & (InternalDockStateBar::StateChild | InternalDockStateBar::StateTabPage)) != 0)
        return false;
    const bool bFloatingContainer = (record.m_dwStateFlags & InternalDockStateBar::StateFloatingContainer) != 0;
    if (record.m_nDockBarID == BarStateFormat::kDockBarFloat)
        return bFloatingContainer && nKind != InternalDockStateBar::StateKindBar;
    return IsSideDockBarId(record.m_nDockBarID) && !bFloatingContainer && record.m_nCircleNo != 0;
}

} // namespace

CString BarStateFormat::Signature()
{
    CString sVersion, sOut;
    CExtRegistryArchiver::GetLibraryVersionString(sVersion);
    sOut.Format("Quorbis (v. %s) control bar state", (LPCSTR)sVersion);
    return sOut;
}

CString BarStateFormat::FormatPlacement(const WINDOWPLACEMENT& wp)
{
    CString s;
    s.Format("%d,%d,%d,%d,%d,%d", (int)wp.rcNormalPosition.left, (int)wp.rcNormalPosition.top,
             (int)wp.rcNormalPosition.right, (int)wp.rcNormalPosition.bottom, (int)wp.showCmd, (int)wp.flags);
    return s;
}

bool BarStateFormat::ParsePlacement(const char* psz, WINDOWPLACEMENT& wp)
{
    LONG n[6];
    for (int i = 0; i < 6; ++i)
    {
        if (i > 0 && *psz++ != ',')
            return false;
        if (!ParseLong(psz, n[i]))
            return false;
    }
    // SW_HIDE (0) to SW_FORCEMINIMIZE (11); placement flags 1, 2 and 4.
    if (n[4] < 0 || n[4] > 11 || n[0] > n[2] || n[1] > n[3])
        return false;
    wp = WINDOWPLACEMENT();
    wp.length = sizeof(WINDOWPLACEMENT);
    wp.rcNormalPosition = {n[0], n[1], n[2], n[3]};
    wp.showCmd = (UINT)n[4];
    wp.flags = (UINT)n[5] & 0x7;
    return true;
}

void OuterItemData::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar << (WORD)(m_bFloating ? 1 : 0) << (DWORD)m_nBarID << m_ptFloatPos << m_sizeDockedH << m_sizeDockedV
           << m_sizeFloated;
        ar << (WORD)(m_posOuter.IsEmpty() ? 1 : 0);
        if (!m_posOuter.IsEmpty())
            ar << (DWORD)m_posOuter.m_nOrder << m_posOuter.m_rcBar << (LONG)m_posOuter.m_nExtentH
               << (LONG)m_posOuter.m_nExtentV << (DWORD)m_posOuter.m_dwExtra;
        return;
    }
    m_nBarID = 0;
    m_ptFloatPos = {0, 0};
    m_sizeDockedH = m_sizeDockedV = m_sizeFloated = {0, 0};
    m_posOuter.Reset();
    WORD wFlags;
    DWORD nBarID;
    ar >> wFlags >> nBarID >> m_ptFloatPos >> m_sizeDockedH >> m_sizeDockedV >> m_sizeFloated;
    m_nBarID = nBarID;
    m_bFloating = (wFlags & 1) != 0;
    WORD wEmpty;
    ar >> wEmpty;
    if ((wEmpty & 1) != 0)
        return;
    ar >> m_posOuter.m_nOrder >> m_posOuter.m_rcBar >> m_posOuter.m_nExtentH >> m_posOuter.m_nExtentV >>
        m_posOuter.m_dwExtra;
}

InternalDockStateBar::~InternalDockStateBar()
{
    Clear();
}

void InternalDockStateBar::SetDefaults()
{
    m_nBarID = BarStateFormat::kDockBarFloat;
    m_nDockBarID = BarStateFormat::kDockBarFloat;
    m_nCircleNo = 0;
    m_nMRUWidth = 50;
    m_dwBarStyle = 0;
    m_dwStateFlags = 0;
    m_dwMRUFloatStyle = 0;
    m_dwFloatFrameStyle = 0x40000000; // WS_CHILD
    m_nSavedExtent = 0;
    m_ptFloatPos = {0, 0};
    m_ptMRUFloatPos = {0, 0};
    m_rcMRUDockPos = {0, 0, 0, 0};
    m_rcFloatFrame = {0, 0, 200, 200};
    m_rcBar = {0, 0, 200, 200};
    m_sizeDockedH = {200, 200};
    m_sizeDockedV = {200, 200};
    m_sizeFloated = {200, 200};
    m_nSelectedChild = -1;
    m_pBar = nullptr;
}

void InternalDockStateBar::Clear()
{
    SetDefaults();
    for (INT_PTR i = 0; i < m_arrChildren.GetSize(); ++i)
        delete m_arrChildren[i];
    m_arrChildren.RemoveAll();
}

void InternalDockStateBar::Serialize(CArchive& ar)
{
    SerializeAtDepth(ar, 1);
}

void InternalDockStateBar::SerializeAtDepth(CArchive& ar, int nDepth)
{
    if (ar.IsStoring())
    {
        ar << (DWORD)m_nBarID << (DWORD)m_nDockBarID << (DWORD)m_nCircleNo << (DWORD)m_nMRUWidth << m_dwBarStyle
           << m_dwStateFlags << m_dwMRUFloatStyle << m_ptFloatPos << m_ptMRUFloatPos << m_rcMRUDockPos << m_rcFloatFrame
           << m_dwFloatFrameStyle << m_nSavedExtent << m_rcBar << m_sizeDockedH << m_sizeDockedV << m_sizeFloated
           << (LONG)m_arrChildren.GetSize();
        for (INT_PTR i = 0; i < m_arrChildren.GetSize(); ++i)
            m_arrChildren[i]->SerializeAtDepth(ar, nDepth + 1);
        return;
    }
    if (nDepth > BarStateFormat::kMaxNestingDepth)
        AfxThrowArchiveException(CArchiveException::badSchema);
    Clear();
    DWORD nBarID, nDockBarID, nCircleNo, nMRUWidth;
    ar >> nBarID >> nDockBarID >> nCircleNo >> nMRUWidth >> m_dwBarStyle >> m_dwStateFlags >> m_dwMRUFloatStyle >>
        m_ptFloatPos >> m_ptMRUFloatPos >> m_rcMRUDockPos >> m_rcFloatFrame >> m_dwFloatFrameStyle >> m_nSavedExtent >>
        m_rcBar >> m_sizeDockedH >> m_sizeDockedV >> m_sizeFloated;
    m_nBarID = nBarID;
    m_nDockBarID = nDockBarID;
    m_nCircleNo = nCircleNo;
    m_nMRUWidth = nMRUWidth;
    const int nChildren = ReadCount(ar, BarStateFormat::kMaxChildren, BarStateFormat::kBarRecordMinSize);
    for (int i = 0; i < nChildren; ++i)
    {
        auto* pChild = new InternalDockStateBar;
        m_arrChildren.Add(pChild);
        pChild->SerializeAtDepth(ar, nDepth + 1);
    }
}

InternalDockStateSite::InternalDockStateSite(CFrameWnd* pDockSite, bool bIncludeFixed, bool bIncludeResizable)
    : m_pDockSite(pDockSite), m_wp(), m_pDockState(new CDockState), m_bIncludeFixed(bIncludeFixed),
      m_bIncludeResizable(bIncludeResizable)
{
}

InternalDockStateSite::~InternalDockStateSite()
{
    Clear();
    delete m_pDockState;
}

void InternalDockStateSite::Clear()
{
    m_wp = WINDOWPLACEMENT();
    m_wp.length = sizeof(WINDOWPLACEMENT);
    m_pDockState->Clear();
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
        delete m_arrBars[i];
    m_arrBars.RemoveAll();
    m_arrAutoHideIDs.RemoveAll();
    m_arrOuterItems.RemoveAll();
}

void InternalDockStateSite::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar << BarStateFormat::Signature() << BarStateFormat::kVersionWord << BarStateFormat::kShortVersion << (DWORD)0
           << (DWORD)0 << (DWORD)0 << (DWORD)0 << BarStateFormat::FormatPlacement(m_wp);
        m_pDockState->Serialize(ar);
        ar << (LONG)m_arrOuterItems.GetSize();
        for (INT_PTR i = 0; i < m_arrOuterItems.GetSize(); ++i)
            m_arrOuterItems[i].Serialize(ar);
        if (m_bIncludeResizable)
        {
            ar << (LONG)m_arrBars.GetSize();
            for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
                m_arrBars[i]->SerializeAtDepth(ar, 1);
            ar << (LONG)m_arrAutoHideIDs.GetSize();
            for (INT_PTR i = 0; i < m_arrAutoHideIDs.GetSize(); ++i)
                ar << (DWORD)m_arrAutoHideIDs[i];
        }
        return;
    }
    Clear();
    CString sText;
    ReadBoundedString(ar, sText, BarStateFormat::kMaxSignatureLength);
    DWORD dwVersion, dwShortVersion, dwReserved;
    ar >> dwVersion >> dwShortVersion;
    if (dwShortVersion != BarStateFormat::kShortVersion)
        AfxThrowArchiveException(CArchiveException::generic);
    for (int i = 0; i < 4; ++i)
        ar >> dwReserved;
    ReadBoundedString(ar, sText, BarStateFormat::kMaxPlacementLength);
    if (!BarStateFormat::ParsePlacement(sText, m_wp))
    {
        m_wp = WINDOWPLACEMENT();
        m_wp.length = sizeof(WINDOWPLACEMENT);
        AfxThrowArchiveException(CArchiveException::generic);
    }
    m_pDockState->Serialize(ar);
    const int nOuter = ReadCount(ar, BarStateFormat::kMaxOuterItems, BarStateFormat::kOuterItemMinSize);
    for (int i = 0; i < nOuter; ++i)
    {
        OuterItemData item;
        item.Serialize(ar);
        m_arrOuterItems.Add(item);
    }
    if (!m_bIncludeResizable)
        return;
    const int nBars = ReadCount(ar, BarStateFormat::kMaxBars, BarStateFormat::kBarRecordMinSize);
    for (int i = 0; i < nBars; ++i)
    {
        auto* pBar = new InternalDockStateBar;
        m_arrBars.Add(pBar);
        pBar->SerializeAtDepth(ar, 1);
    }
    const int nIds = ReadCount(ar, BarStateFormat::kMaxAutoHideIds, sizeof(DWORD));
    for (int i = 0; i < nIds; ++i)
    {
        DWORD nId;
        ar >> nId;
        m_arrAutoHideIDs.Add(nId);
    }
}

int InternalDockStateSite::DropUnusableRecords()
{
    int nDropped = 0;
    for (INT_PTR i = m_arrBars.GetSize() - 1; i >= 0; --i)
    {
        InternalDockStateBar* pRecord = m_arrBars[i];
        if (IsTopLevelAcceptable(*pRecord))
        {
            nDropped += DropUnusableChildren(*pRecord);
            continue;
        }
        m_arrBars.RemoveAt(i);
        delete pRecord;
        ++nDropped;
    }
    return nDropped;
}

} // namespace kxdock
