// Navigation packs: the PCI and DSI packets that open every VOBU, their
// field accessors, and the rewrites the VOB writer applies to them when parts
// of a domain are left out.
//
// Both packets are held as the bytes they have on disc (big-endian fields) and
// are read and written only through the accessors below, so a packet can be
// copied back into its sector unchanged except for what was set on purpose.
#pragma once

#include "DVD/source/DvdTime.h"
#include "framework/core/AfxTypes.h"

#include <cstddef>
#include <cstdint>

class CSectorMap;

// ---- Layout of a NAV sector ------------------------------------------------

const size_t NAV_SECTOR_SIZE = 2048;
const size_t NAV_SCR_OFFSET = 4;    // six SCR bytes of the pack header
const size_t NAV_PCI_OFFSET = 45;   // after the PCI packet header and sub-stream byte 0x00
const size_t NAV_DSI_OFFSET = 1031; // after the DSI packet header and sub-stream byte 0x01
const size_t PCI_SIZE = 979;
const size_t DSI_SIZE = 994; // the last 23 DSI bytes of the sector are not held

const int NSML_AGLI_COUNT = 9;
const int SML_AGLI_COUNT = 9;
const int NAV_AUDIO_STREAMS = 8;
const int NAV_SUBPICTURE_STREAMS = 32;

// ---- VOBU search words (VOBU_SRI) ------------------------------------------

const int SRI_WORD_COUNT = 42;
enum : int
{
    SRI_NEXT_VIDEO = 0, // next VOBU with video
    SRI_FWD_FIRST = 1,  // FWDI 240, 120, 60, 20, 15, 14, ... 1
    SRI_FWD_LAST = 19,
    SRI_NEXT = 20,      // next VOBU
    SRI_PREV = 21,      // previous VOBU
    SRI_BWD_FIRST = 22, // BWDI 1, 2, ... 15, 20, 60, 120, 240
    SRI_BWD_LAST = 40,
    SRI_PREV_VIDEO = 41, // previous VOBU with video
};

const DWORD SRI_OFFSET_MASK = 0x3FFFFFFF; // sector offset; all ones = no VOBU there
const DWORD SRI_FLAG_MASK = 0xC0000000;
const DWORD SRI_VIDEO_FLAG = 0x80000000; // forced on words 0 and 41
const DWORD SRI_EMPTY = 0x3FFFFFFF;
const DWORD SRI_EMPTY_VIDEO = 0xBFFFFFFF; // words 0 and 41

// Empty angle addresses (NSML_AGLI, SML_AGLI): 0 or this.
const DWORD AGLI_NONE = 0x7FFFFFFF;

// ---- Highlight buttons -------------------------------------------------------

const int HLI_MAX_BUTTONS = 36;
const int HLI_MAX_GROUPS = 3;
const size_t BTN_INFO_SIZE = 18;

enum : int
{
    BTN_UP = 0,
    BTN_DOWN = 1,
    BTN_LEFT = 2,
    BTN_RIGHT = 3,
};

// A view on one 18-byte BTN_I entry of a PCI; invalid when the packet has no
// such button.
class CButtonInfo
{
public:
    CButtonInfo() : m_p(nullptr) {}
    explicit CButtonInfo(BYTE* p) : m_p(p) {}

    bool IsValid() const { return m_p != nullptr; }

    BYTE GetColor() const; // colour table 0..3
    void SetColor(BYTE n);
    WORD GetXStart() const;
    void SetXStart(WORD x);
    WORD GetXEnd() const;
    void SetXEnd(WORD x);
    WORD GetYStart() const;
    void SetYStart(WORD y);
    WORD GetYEnd() const;
    void SetYEnd(WORD y);
    bool GetAutoAction() const;
    void SetAutoAction(bool bAuto);
    // nDirection is BTN_UP..BTN_RIGHT; 0 is no neighbour.
    BYTE GetNeighbour(int nDirection) const;
    void SetNeighbour(int nDirection, BYTE nButton);
    const BYTE* GetCommand() const; // 8 bytes
    void SetCommand(const BYTE* pCommand);

private:
    BYTE* m_p;
};

// ---- PCI ---------------------------------------------------------------------

struct PciPacket
{
    BYTE bytes[PCI_SIZE];

    PciPacket();

    void ReadFromSector(const BYTE* pSector);
    void WriteToSector(BYTE* pSector) const;

    // PCI_GI
    DWORD GetNvPckLbn() const;
    void SetNvPckLbn(DWORD n);
    WORD GetVobuCat() const;
    DWORD GetVobuUopCtl() const;
    void SetVobuUopCtl(DWORD mask);
    DWORD GetVobuSPtm() const;
    void SetVobuSPtm(DWORD pts);
    DWORD GetVobuEPtm() const;
    void SetVobuEPtm(DWORD pts);
    DWORD GetVobuSeEPtm() const;
    void SetVobuSeEPtm(DWORD pts);
    CDvdTime GetCEltm() const;
    void SetCEltm(const CDvdTime& t);

    // NSML_AGLI: signed sector offsets, 0 when the entry is empty.
    DWORD GetNsmlAgliRaw(int i) const;
    bool IsNsmlAgliEmpty(int i) const;
    int32_t GetNsmlAgli(int i) const;
    void SetNsmlAgli(int i, int32_t offset);
    void ClearNsmlAgli();

    // HLI_GI
    WORD GetHliStatus() const; // low two bits of HLI_SS
    void SetHliStatus(WORD status);
    DWORD GetHliSPtm() const;
    void SetHliSPtm(DWORD pts);
    DWORD GetHliEPtm() const;
    void SetHliEPtm(DWORD pts);
    DWORD GetBtnSlEPtm() const;
    void SetBtnSlEPtm(DWORD pts);
    WORD GetBtnMd() const;
    void SetBtnMd(WORD md);
    int GetButtonGroupCount() const; // 0..3
    void SetButtonGroupCount(int n);
    BYTE GetGroupDisplayType(int nGroup) const; // group 0..2
    void SetGroupDisplayType(int nGroup, BYTE type);
    BYTE GetBtnOfn() const;
    void SetBtnOfn(BYTE n);
    BYTE GetBtnNs() const;
    void SetBtnNs(BYTE n);
    BYTE GetNslBtnNs() const;
    void SetNslBtnNs(BYTE n);
    BYTE GetFoslBtnn() const;
    void SetFoslBtnn(BYTE n);
    BYTE GetFoacBtnn() const;
    void SetFoacBtnn(BYTE n);
    // BTN_COLIT: three colour tables of 8 bytes (selection and action colours).
    const BYTE* GetColorTable(int n) const;
    void SetColorTable(int n, const BYTE* p);

    // Buttons per group: 36 shared between the groups, none without groups.
    int GetButtonsPerGroup() const;
    // BTN_NS, held to what the button table can hold.
    int GetButtonCount() const;
    // Button nButton (1-based) of group nGroup (0-based); invalid outside the
    // table that the group count lays out.
    CButtonInfo GetButtonInfo(int nGroup, int nButton);
    const CButtonInfo GetButtonInfo(int nGroup, int nButton) const;
    // Zeroes the whole highlight information, commands included.
    void ClearHli();
};

// ---- DSI ---------------------------------------------------------------------

struct DsiPacket
{
    BYTE bytes[DSI_SIZE];

    DsiPacket();

    void ReadFromSector(const BYTE* pSector);
    void WriteToSector(BYTE* pSector) const;

    // DSI_GI
    DWORD GetNvPckScr() const;
    DWORD GetNvPckLbn() const;
    void SetNvPckLbn(DWORD n);
    DWORD GetVobuEa() const;
    void SetVobuEa(DWORD n);
    // nRef 0..2: VOBU_1STREF_EA, VOBU_2NDREF_EA, VOBU_3RDREF_EA.
    DWORD GetVobuRefEa(int nRef) const;
    void SetVobuRefEa(int nRef, DWORD n);
    WORD GetVobuVobIdn() const;
    void SetVobuVobIdn(WORD id);
    BYTE GetVobuCIdn() const;
    void SetVobuCIdn(BYTE id);
    CDvdTime GetCEltm() const;
    void SetCEltm(const CDvdTime& t);

    // SML_PBI
    BYTE GetSmlCategory() const; // first byte of VOBU_SML_CAT
    void SetSmlCategory(BYTE cat);
    bool IsIlvu() const; // the ILVU bit of VOBU_SML_CAT
    DWORD GetIlvuEa() const;
    void SetIlvuEa(DWORD n);
    DWORD GetNxtIlvuSa() const;
    void SetNxtIlvuSa(DWORD n);
    WORD GetNxtIlvuSz() const;
    void SetNxtIlvuSz(WORD n);
    DWORD GetVobVSPtm() const;
    void SetVobVSPtm(DWORD pts);
    DWORD GetVobVEPtm() const;
    void SetVobVEPtm(DWORD pts);
    // Audio gap entries: nField 0 VOB_A_STP_PTM1, 1 STP_PTM2, 2 GAP_LEN1, 3 GAP_LEN2.
    DWORD GetAudioGap(int nStream, int nField) const;

    // SML_AGLI: signed sector offset and size.
    DWORD GetSmlAgliRaw(int i) const;
    bool IsSmlAgliEmpty(int i) const;
    int32_t GetSmlAgliAddress(int i) const;
    WORD GetSmlAgliSize(int i) const;
    void SetSmlAgli(int i, int32_t offset, WORD size);

    // VOBU_SRI, the raw words with their flag bits.
    DWORD GetSri(int nWord) const;
    void SetSri(int nWord, DWORD value);

    // SYNCI: signed offsets; the raw words tell the empty ones.
    WORD GetAudioSyncRaw(int nStream) const;
    bool IsAudioSyncEmpty(int nStream) const;
    int32_t GetAudioSync(int nStream) const;
    void SetAudioSync(int nStream, int32_t offset);
    DWORD GetSubpictureSyncRaw(int nStream) const;
    bool IsSubpictureSyncEmpty(int nStream) const;
    int32_t GetSubpictureSync(int nStream) const;
    void SetSubpictureSync(int nStream, int32_t offset);
};

bool HasSeamlessAngleInfo(const DsiPacket& dsi);
// Highest SML_AGLI entry with an address + 1; 0 when none.
int GetSmlAngleCount(const DsiPacket& dsi);

// ---- Packet rewrites at export -----------------------------------------------
// The map must stand at the NAV pack's source sector (CSectorMap::SetPosition).

void UpdateDsi(DsiPacket& dsi, const CSectorMap& map);
void UpdateNsmlAgli(PciPacket& pci, const CSectorMap& map);
// Clears the gap entries and sync offsets of the streams whose bit is clear.
void ClearDeletedAudio(DsiPacket& dsi, BYTE keptAudio);
void ClearDeletedSubpictures(DsiPacket& dsi, DWORD keptSubpictures);
void ClearSmlAgli(DsiPacket& dsi);
// Keeps the end addresses of a VOBU whose source data end early (a copy cut
// short) inside what is there: VOBU_EA is nVobuLast (a damaged source may also
// have given the VOBU the sectors after it whose NAV pack was lost),
// reference-picture ends beyond it removed (0), ILVU_EA at most nIlvuLast, and the next ILVU
// cut to the data before nDataEnd or named as none. All are distances from
// the NAV pack. True when something changed.
bool ClampToData(DsiPacket& dsi, DWORD nVobuLast, DWORD nIlvuLast, DWORD nDataEnd);
// Empties every search entry in that direction whose offset exceeds nLimit.
void ClearForwardSri(DsiPacket& dsi, DWORD nLimit);
void ClearBackwardSri(DsiPacket& dsi, DWORD nLimit);
// Empties the search table except the neighbouring VOBUs (FWDI 1, next,
// previous, BWDI 1).
void ResetSri(DsiPacket& dsi);

// How far ahead of its NAV pack, in source sectors, the DSI refers; never
// below 0.
DWORD GetFarthestForwardReference(const DsiPacket& dsi);
// The largest NSML_AGLI offset (negative when every entry points back); 0
// when all are empty.
int32_t GetFarthestNsmlReference(const PciPacket& pci);

// ---- Packs ---------------------------------------------------------------------

// The pack's SCR as a 27 MHz count.
uint64_t GetPackScr(const BYTE* pSector);
BYTE* GetPackScrField(BYTE* pSector);

// Audio coding of the packet in a 2,048-byte sector: 0 AC-3, 2 MPEG-1,
// 3 MPEG-2 extended, 4 LPCM, 6 DTS, 7 SDDS, with the stream number 0..7 in
// nStream; 255 when the packet carries no audio stream.
BYTE GetAudioStreamInfo(const BYTE* pSector, BYTE& nStream);
// Sub-picture stream 0..31 of the packet, -1 when it carries none.
int GetSubpictureStream(const BYTE* pSector);
