// Menu buttons. A DVD menu is a video cell whose NAV packs carry highlight
// information: button rectangles, colours, neighbours and the command each
// button runs. A button segment is a run of consecutive VOBUs of an ILVU
// that share one highlight; it owns its buttons, and each button has up to
// three button-group entries, one per display type of a 16:9 menu. Every
// VOBU of an ILVU belongs to exactly one segment; an ILVU without highlights
// has a single segment without buttons.
#pragma once

#include "DVD/source/DvdObject.h"
#include "Shared/source/DvdArray.h"
#include "framework/core/AfxTypes.h"

#include <cstdint>

class CDvdLog;
class CDvdProgress;
class CProjectReader;
class CProjectWriter;
class CVobCell;
struct PciPacket;

// Neighbour directions of a button-group entry.
enum : int
{
    BTNDIR_LEFT = 0,
    BTNDIR_RIGHT = 1,
    BTNDIR_UP = 2,
    BTNDIR_DOWN = 3,
    BTNDIR_COUNT = 4,
};

// "left", "right", "up", "down"; "err" for anything else.
const char* GetDirectionName(int nDirection);

// Reference fields of a button (the group is the low 8 bits of the index;
// a link carries its direction above them).
enum : uint8_t
{
    BTNREF_COMMAND = 1,
    BTNREF_COLOR_TABLE = 2,
    BTNREF_LINK = 3,
};
// Reference fields of a segment.
enum : uint8_t
{
    BTNSEGREF_FORCED_SELECT = 1,
    BTNSEGREF_FORCED_ACTION = 2,
};

const int BUTTON_MAX_GROUPS = 3;

// One button in one display type.
struct CButtonGroupEntry
{
    BYTE nDisplayType;                // BTNGR display type, 0 for a 4:3 menu
    int32_t neighbours[BTNDIR_COUNT]; // 0-based button indices, -1 for none
    DWORD dwXStart;
    DWORD dwYStart;
    DWORD dwXEnd;
    DWORD dwYEnd;
    BYTE command[8];
    BYTE bAutoAction;
    DWORD nColorTable; // 0..3
};

class CButtonSegment;

class CDvdButton : public CDvdObject
{
public:
    // One group, all zero except a 1 x 1 rectangle end.
    explicit CDvdButton(CButtonSegment* pParent);
    static CDvdButton* CopyConstruct(const CDvdButton& source, CButtonSegment* pParent);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}

    uint32_t GetGroupCount() const { return m_nGroups; }
    void SetGroupCount(uint32_t nGroups);
    CButtonGroupEntry& GetGroup(int nGroup) { return m_groups[nGroup]; }
    const CButtonGroupEntry& GetGroup(int nGroup) const { return m_groups[nGroup]; }

    // Mask 0: the first group of display type 0; otherwise the first whose
    // display type shares a bit with the mask; -1 when none.
    int FindGroup(BYTE nDisplayMask) const;
    // Some group's command links, jumps or calls.
    bool HasNavigation() const;
    WORD GetUsedRegisters() const;
    DWORD GetUsedSystemRegisters() const;

    // The project record: the group count and all three group entries.
    bool Store(CDvdLog& log, CProjectWriter& writer) const;
    bool Load(CDvdLog& log, CProjectReader& reader);

private:
    CDvdButton(const CDvdButton& source, CButtonSegment* pParent);

    uint32_t m_nGroups = 1;
    CButtonGroupEntry m_groups[BUTTON_MAX_GROUPS];
};

class CButtonSegment : public CDvdObject
{
public:
    // The segment of the highlight of one VOBU, its times made relative to
    // dwPtmBase (the VOBU_S_PTM of that VOBU); one VOBU long.
    CButtonSegment(uint32_t nFirstVobu, const PciPacket& hli, DWORD dwPtmBase, CVobCell* pParent);
    static CButtonSegment* CopyConstruct(const CButtonSegment& source, CVobCell* pParent);

    CDvdObject* Self() override { return this; }
    const CDvdObject* Self() const override { return this; }
    int GetChildIndex(const CDvdObject* pChild) const override;
    bool IsModified() const override;
    void ClearModified() override;
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}

    // BTN_OFN, NSL_BTN_NS, the forced buttons and the relative times; the
    // colours and buttons stay.
    void SetFromHli(const PciPacket& hli, DWORD dwPtmBase);
    // Writes the segment into the highlight of one NAV pack; with bEndless
    // the highlight never ends. HLI_SS is left to the caller.
    void WriteHli(PciPacket& pci, DWORD dwPtmBase, bool bEndless) const;
    // Removes button nIndex, or with bHideOnly makes it invisible and hands
    // its part to a visible button; its neighbours are rewired either way.
    void RemoveButton(int nIndex, bool bHideOnly);

    uint32_t GetFirstVobu() const { return m_nFirstVobu; }
    uint32_t GetVobuCount() const { return m_nVobuCount; }
    void SetVobuCount(uint32_t nCount) { m_nVobuCount = nCount; }
    void SetFirstVobu(uint32_t nFirst) { m_nFirstVobu = nFirst; }
    uint32_t GetButtonCount() const { return m_buttons.GetSize(); }
    CDvdButton* GetButton(uint32_t nIndex) const { return m_buttons[nIndex]; }
    // Appends a button (taking it) and answers its index.
    uint32_t AddButton(CDvdButton* pButton);
    const BYTE* GetColorTable() const { return m_colors; }
    DWORD GetHliStartPtm() const { return m_dwHliStartPtm; }
    DWORD GetHliEndPtm() const { return m_dwHliEndPtm; }
    DWORD GetSelectEndPtm() const { return m_dwSelectEndPtm; }
    // The relative highlight times, as a cut of the cell leaves them.
    void SetTimes(DWORD dwHliStart, DWORD dwHliEnd, DWORD dwSelectEnd)
    {
        m_dwHliStartPtm = dwHliStart;
        m_dwHliEndPtm = dwHliEnd;
        m_dwSelectEndPtm = dwSelectEnd;
    }
    DWORD GetButtonOffset() const { return m_dwButtonOffset; }
    DWORD GetNumericCount() const { return m_dwNumericCount; }
    int32_t GetForcedSelect() const { return m_nForcedSelect; }
    int32_t GetForcedAction() const { return m_nForcedAction; }

    // The project record. A segment holds at most this many buttons.
    static const uint32_t kMaxButtons = 36;
    bool Store(CDvdLog& log, CProjectWriter& writer) const;
    // A new segment from the stream, or none after a report. A record
    // older than the times and forced buttons leaves them as a new segment
    // has them; nVersion tells the caller which record it read.
    static CButtonSegment* Load(CDvdLog& log, CProjectReader& reader, CVobCell* pParent, uint8_t& nVersion);
    // The record stores its times and forced buttons from this version on.
    static const uint8_t kRecordTimesVersion = 2;

private:
    CButtonSegment(const CButtonSegment& source, CVobCell* pParent);
    CButtonSegment(uint32_t nFirstVobu, CVobCell* pParent);

    uint32_t m_nFirstVobu;
    uint32_t m_nVobuCount = 1;
    CDvdObjectArray<CDvdButton> m_buttons;
    BYTE m_colors[24] = {};
    DWORD m_dwHliStartPtm = 0;
    DWORD m_dwHliEndPtm = 0;
    DWORD m_dwSelectEndPtm = 0;
    DWORD m_dwButtonOffset = 0;
    DWORD m_dwNumericCount = 0;
    int32_t m_nForcedSelect = -1;
    int32_t m_nForcedAction = -1;
};

typedef CDvdObjectArray<CButtonSegment> CButtonSegmentArray;

// Two highlights are the same layout: button count, times, the buttons'
// entries and, when the second announces a new highlight, the status.
bool IsSameHighlight(const PciPacket& current, const PciPacket& next);

// Sampling step of the highlight parse of a title ILVU, in VOBUs (about half
// a second each): the shortest button-over-video stretch the parse is sure to
// sample. Menus look at every VOBU. Process-wide: the editor sets it from its
// options; 6 until then.
extern uint16_t g_nBovShortestDuration;

// The button segments of an ILVU, built from the highlights of its VOBUs
// (read from its VOB set), and the OR of their VOBU_UOP_CTL. Every highlight
// change is found, also inside a stretch that sampling skipped. False on
// cancellation or when the segments do not cover the ILVU.
bool ParseButtonSegments(CDvdLog& log, CVobCell& cell, bool bMenu, uint32_t nStep, CDvdProgress* pProgress,
                         CButtonSegmentArray& segments, DWORD& dwUopMask);
