// CControlBarInfo and CDockState: where a frame's control bars are, kept as
// plain records so that a layout can be stored and applied again later.
//
// A CControlBarInfo describes one bar: its id, whether it shows, floats or
// lies horizontally, its position, the docking context's most recent dock
// and float places and, for a dock bar, its rows as a list of bar ids. The
// window layer fills and applies them (CControlBar::GetBarInfo/SetBarInfo);
// here they are only data, so the stream is tested without windows.
//
// Stream of CDockState::Serialize (little-endian, CArchive widths):
//   DWORD  format version (kVersion)
//   LONG   count of records, then per record in this order:
//     UINT   m_nBarID
//     BYTE   m_bVisible, m_bFloating, m_bHorz, m_bDockBar (0 or 1 each)
//     POINT  m_pointPos (two LONGs)
//     LONG   m_nMRUWidth
//     BYTE   m_bDocking; when 1:
//       UINT   m_uMRUDockID
//       RECT   m_rectMRUDockPos (four LONGs)
//       DWORD  m_dwMRUFloatStyle
//       POINT  m_ptMRUFloatPos
//     LONG   count of bar-id entries, then that many DWORDs (m_arrBarID)
// Bar-id entries: 0 ends a row, a value with barIdPlaceholder set is the
// place a floated bar left (its id in the low 16 bits), any other value is
// the id of a bar docked there.
//
// Loading reads everything into new records first and only then replaces
// the state's records: a stream that ends early, names an unknown version,
// or states a count above what the remaining bytes can hold or above the
// fixed caps throws CArchiveException and leaves the state as it was.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CArray.h"
#include "framework/core/CObject.h"

class CArchive;
class CControlBar;

class CControlBarInfo
{
public:
    enum : DWORD
    {
        barIdPlaceholder = 0x10000, // the entry keeps a floated bar's place
        barIdMask = 0xFFFF,
    };

    CControlBarInfo() = default;

    // Writes or reads one record (see the stream above).
    void Serialize(CArchive& ar);

    UINT m_nBarID = 0;
    BOOL m_bVisible = FALSE;
    BOOL m_bFloating = FALSE;
    BOOL m_bHorz = FALSE;
    BOOL m_bDockBar = FALSE;
    CPoint m_pointPos;
    int m_nMRUWidth = 32767;
    BOOL m_bDocking = FALSE; // the bar has a docking context; the MRU fields are its
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos;
    CDWordArray m_arrBarID;        // a dock bar's rows
    CControlBar* m_pBar = nullptr; // the live bar; never stored
};

class CDockState : public CObject
{
    DECLARE_DYNAMIC(CDockState)
public:
    enum : DWORD
    {
        kVersion = 1,
    };
    // Caps no real frame comes near; a stream above them is damaged.
    static const int kMaxBars = 4096;
    static const int kMaxBarIds = 65536;

    CDockState() = default;
    ~CDockState() override;

    // Deletes every record.
    void Clear();
    void Serialize(CArchive& ar) override;

    // Owned CControlBarInfo records, in the order the bars were captured.
    CPtrArray m_arrBarInfo;

    CControlBarInfo* GetBarInfo(INT_PTR nIndex) const { return static_cast<CControlBarInfo*>(m_arrBarInfo[nIndex]); }
};
