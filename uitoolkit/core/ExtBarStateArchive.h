// The records of a stored bar layout and the byte stream they travel in,
// kept free of window code so that the stream is tested natively. The
// window side (capturing a live frame into them and rebuilding a frame from
// them) is declared here with the records and lives in uitoolkit/docking.
//
// Stream (little-endian, CArchive widths; counts are signed DWORDs and 0 or
// less means none):
//   CString  "Quorbis (v. 2.5.0.0) control bar state" (text not checked)
//   DWORD    0x02050000, DWORD 0x00000205 (must match), four DWORDs 0
//   CString  placement "left,top,right,bottom,showCmd,flags"
//   CDockState block
//   DWORD n, n outer items (40 bytes, 72 with a stored outer position)
//   with resizable bars only: DWORD m, m bar records (128 bytes each, then
//   their children), DWORD k, k auto-hide control ids
// Whether the last part is there is not marked: reader and writer must
// agree on including resizable bars.
//
// The reader trusts nothing: counts are capped by the bytes left and by
// fixed maxima, records nest at most kMaxNestingDepth deep, texts are
// bounded and the placement is parsed with range checks. Any violation
// throws CArchiveException, which the loaders catch.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CArray.h"
#include "framework/core/CObject.h"
#include "uitoolkit/core/ExtDockRows.h"

#ifndef _WIN32
// The window placement record, as the platform lays it out (44 bytes).
struct WINDOWPLACEMENT
{
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};
#endif

class CArchive;
class CDockState;
class CExtControlBar;
class CExtDockBar;
class CFrameWnd;
class CMiniDockFrameWnd;

namespace kxdock
{

// Stream constants and the reader's bounds.
struct BarStateFormat
{
    static constexpr DWORD kVersionWord = 0x02050000;
    static constexpr DWORD kShortVersion = 0x0205;
    // Records nest a container, a tabbed container and its pages: far
    // below this in any layout a user can make.
    static constexpr int kMaxNestingDepth = 16;
    static constexpr int kMaxOuterItems = 4096;
    static constexpr int kMaxBars = 4096;
    static constexpr int kMaxChildren = 1024;
    static constexpr int kMaxAutoHideIds = 4096;
    static constexpr int kMaxSignatureLength = 256;
    static constexpr int kMaxPlacementLength = 128;
    static constexpr ULONGLONG kOuterItemMinSize = 40;
    static constexpr ULONGLONG kBarRecordMinSize = 128;

    // The dock-bar ids of the frame's sides and of floating bars.
    static constexpr UINT kDockBarTop = 0xE81B; // 59419
    static constexpr UINT kDockBarLeft = 0xE81C;
    static constexpr UINT kDockBarRight = 0xE81D;
    static constexpr UINT kDockBarBottom = 0xE81E;
    static constexpr UINT kDockBarFloat = 0xE81F; // 59423

    // "Quorbis (v. 2.5.0.0) control bar state".
    static CString Signature();
    // "left,top,right,bottom,showCmd,flags".
    static CString FormatPlacement(const WINDOWPLACEMENT& wp);
    // Six decimal numbers in range, a showCmd the platform knows (0 to 11)
    // and a normal rectangle that is not inverted; flags keep their known
    // bits. False leaves wp untouched. Fills length 44 and zero min and max
    // positions.
    static bool ParsePlacement(const char* psz, WINDOWPLACEMENT& wp);
};

// One bar kept in the framework's dock state.
struct OuterItemData
{
    UINT m_nBarID = 0xE81F;
    POINT m_ptFloatPos = {0, 0};
    SIZE m_sizeDockedH = {200, 200};
    SIZE m_sizeDockedV = {200, 200};
    SIZE m_sizeFloated = {200, 200};
    OuterPositionData m_posOuter;
    bool m_bFloating = false;

    void Serialize(CArchive& ar);
};

class InternalDockStateSite;

// The record of one resizable bar, container or tabbed container.
class InternalDockStateBar : public CObject
{
public:
    // Kind and state bits of m_dwStateFlags.
    enum : DWORD
    {
        StateKindMask = 0x000F,
        StateKindBar = 1,
        StateKindContainer = 2,
        StateKindTabbed = 3,
        StateVisible = 0x0010,
        StateFloatingContainer = 0x0020,
        StateNewRow = 0x0040,
        StateChild = 0x0080,
        StateTabPage = 0x0100,
        StateSelectedTab = 0x0200,
        StateAutoHidden = 0x0400,
    };

    InternalDockStateBar() { SetDefaults(); }
    ~InternalDockStateBar() override;
    InternalDockStateBar(const InternalDockStateBar&) = delete;
    InternalDockStateBar& operator=(const InternalDockStateBar&) = delete;
    void SetDefaults();
    void Clear();
    void Serialize(CArchive& ar) override;
    DWORD GetKind() const { return m_dwStateFlags & StateKindMask; }

    // ---- the window side (uitoolkit/docking) ----
    // Fills the record from a live bar; containers get child records.
    void CaptureBar(CExtControlBar* pBar, InternalDockStateBar* pParent);
    // Finds or creates the bar, places it, shows or hides it and copies the
    // record's values into it, then rebuilds the children. Records that
    // name no usable bar or place are skipped.
    void RebuildBar(CFrameWnd* pFrame, InternalDockStateBar* pParent);
    void ApplyMetrics(CFrameWnd* pFrame, InternalDockStateBar* pParent);
    void FinishRebuild(CFrameWnd* pFrame, InternalDockStateBar* pParent);

    UINT m_nBarID;
    UINT m_nDockBarID;
    UINT m_nCircleNo;
    UINT m_nMRUWidth;
    DWORD m_dwBarStyle;
    DWORD m_dwStateFlags;
    DWORD m_dwMRUFloatStyle;
    DWORD m_dwFloatFrameStyle;
    DWORD m_nSavedExtent;
    POINT m_ptFloatPos;
    POINT m_ptMRUFloatPos;
    RECT m_rcMRUDockPos;
    RECT m_rcFloatFrame;
    RECT m_rcBar;
    SIZE m_sizeDockedH;
    SIZE m_sizeDockedV;
    SIZE m_sizeFloated;
    CArray<InternalDockStateBar*, InternalDockStateBar*> m_arrChildren; // owned
    int m_nSelectedChild;                                               // while applying: the tab to select
    CExtControlBar* m_pBar;                                             // while applying: the bar found or created

private:
    friend class InternalDockStateSite;
    void SerializeAtDepth(CArchive& ar, int nDepth);
    // Copies the sizes, positions and docking-context values into m_pBar.
    void CopyMetricsToBar();
    void RestoreRow(CExtDockBar* pDockBar);
};

// The frame-wide record of a stored layout; owns everything but the frame.
class InternalDockStateSite : public CObject
{
public:
    InternalDockStateSite(CFrameWnd* pDockSite, bool bIncludeFixed, bool bIncludeResizable);
    ~InternalDockStateSite() override;
    InternalDockStateSite(const InternalDockStateSite&) = delete;
    InternalDockStateSite& operator=(const InternalDockStateSite&) = delete;
    void Clear();
    void Serialize(CArchive& ar) override;

    // Drops, before anything is applied, the records no rebuild can use:
    // a top-level record docked anywhere but a frame side (or floating
    // without its floating frame), circle 0 for a docked record, a kind
    // that names nothing, child flags that do not fit the parent's kind,
    // and the children of a plain bar. Returns how many records went.
    int DropUnusableRecords();

    // ---- the window side (uitoolkit/docking) ----
    void CaptureFromFrame();
    void ApplyToFrame(bool bApplyPlacement);
    void CaptureFloatingContainer(CMiniDockFrameWnd* pFloatingFrame);
    void CaptureDockBar(CExtDockBar* pDockBar);

    CArray<OuterItemData, const OuterItemData&> m_arrOuterItems;
    CFrameWnd* m_pDockSite;
    WINDOWPLACEMENT m_wp;
    CDockState* m_pDockState;
    bool m_bIncludeFixed;
    bool m_bIncludeResizable;
    CArray<InternalDockStateBar*, InternalDockStateBar*> m_arrBars; // owned
    CArray<UINT, UINT> m_arrAutoHideIDs;
};

} // namespace kxdock
