#include "DVD/source/NavPack.h"

#include "DVD/source/IfoView.h"
#include "DVD/source/SectorMap.h"

#include <cstring>

namespace
{

// PCI offsets.
const size_t PCI_NV_PCK_LBN = 0;
const size_t PCI_VOBU_CAT = 4;
const size_t PCI_VOBU_UOP_CTL = 8;
const size_t PCI_VOBU_S_PTM = 12;
const size_t PCI_VOBU_E_PTM = 16;
const size_t PCI_VOBU_SE_E_PTM = 20;
const size_t PCI_C_ELTM = 24;
const size_t PCI_NSML_AGLI = 60;
const size_t PCI_HLI = 96;
const size_t HLI_SIZE = 694;
const size_t HLI_SS = PCI_HLI + 0;
const size_t HLI_S_PTM = PCI_HLI + 2;
const size_t HLI_E_PTM = PCI_HLI + 6;
const size_t HLI_BTN_SL_E_PTM = PCI_HLI + 10;
const size_t HLI_BTN_MD = PCI_HLI + 14;
const size_t HLI_BTN_OFN = PCI_HLI + 16;
const size_t HLI_BTN_NS = PCI_HLI + 17;
const size_t HLI_NSL_BTN_NS = PCI_HLI + 18;
const size_t HLI_FOSL_BTNN = PCI_HLI + 20;
const size_t HLI_FOAC_BTNN = PCI_HLI + 21;
const size_t HLI_BTN_COLIT = PCI_HLI + 22;
const size_t BTN_COLIT_SIZE = 8;
const size_t HLI_BTN_IT = PCI_HLI + 46;

// DSI offsets.
const size_t DSI_NV_PCK_SCR = 0;
const size_t DSI_NV_PCK_LBN = 4;
const size_t DSI_VOBU_EA = 8;
const size_t DSI_VOBU_1STREF_EA = 12;
const size_t DSI_VOBU_VOB_IDN = 24;
const size_t DSI_VOBU_C_IDN = 27;
const size_t DSI_C_ELTM = 28;
const size_t DSI_SML_PBI = 32;
const size_t SML_CAT = DSI_SML_PBI + 0;
const size_t SML_ILVU_EA = DSI_SML_PBI + 2;
const size_t SML_NXT_ILVU_SA = DSI_SML_PBI + 6;
const size_t SML_NXT_ILVU_SZ = DSI_SML_PBI + 10;
const size_t SML_VOB_V_S_PTM = DSI_SML_PBI + 12;
const size_t SML_VOB_V_E_PTM = DSI_SML_PBI + 16;
const size_t SML_AUDIO = DSI_SML_PBI + 20;
const size_t SML_AUDIO_SIZE = 16;
const size_t DSI_SML_AGLI = 180;
const size_t SML_AGLI_ENTRY = 6;
const size_t DSI_VOBU_SRI = 234;
const size_t DSI_SYNCI_AUDIO = 402;
const size_t DSI_SYNCI_SUBPICTURE = 402 + 16;

const BYTE SML_CAT_ILVU = 0x40;

const DWORD BACKWARD32 = 0x80000000;
const WORD BACKWARD16 = 0x8000;
const WORD AUDIO_SYNC_NONE = 0x3FFF;
const DWORD SUBPICTURE_SYNC_NONE = 0x3FFFFFFF;

int32_t FromSignMagnitude(DWORD v)
{
    return (v & BACKWARD32) ? -(int32_t)(v & ~BACKWARD32) : (int32_t)v;
}

DWORD ToSignMagnitude(int32_t v)
{
    return v < 0 ? (BACKWARD32 | (DWORD)(-(int64_t)v)) : (DWORD)v;
}

// Indexed accessors answer an empty entry and ignore a store outside their
// table, so no index can reach past the packet.
bool InTable(int i, int count)
{
    return i >= 0 && i < count;
}

bool IsSriEmpty(DWORD word)
{
    return (word & SRI_OFFSET_MASK) == SRI_OFFSET_MASK;
}

} // namespace

// ---- CButtonInfo ---------------------------------------------------------------

BYTE CButtonInfo::GetColor() const
{
    return m_p[0] >> 6;
}

void CButtonInfo::SetColor(BYTE n)
{
    m_p[0] = (BYTE)((m_p[0] & 0x3F) | ((n & 0x03) << 6));
}

// X and Y share one layout: a 2-bit field, the 10-bit start, 2 zero bits, the
// 10-bit end.
static WORD GetStart10(const BYTE* p)
{
    return (WORD)(((p[0] & 0x3F) << 4) | (p[1] >> 4));
}

static void SetStart10(BYTE* p, WORD v)
{
    p[0] = (BYTE)((p[0] & 0xC0) | ((v >> 4) & 0x3F));
    p[1] = (BYTE)((p[1] & 0x0F) | ((v & 0x0F) << 4));
}

static WORD GetEnd10(const BYTE* p)
{
    return (WORD)(((p[1] & 0x03) << 8) | p[2]);
}

static void SetEnd10(BYTE* p, WORD v)
{
    p[1] = (BYTE)((p[1] & 0xFC) | ((v >> 8) & 0x03));
    p[2] = (BYTE)v;
}

WORD CButtonInfo::GetXStart() const
{
    return GetStart10(m_p);
}
void CButtonInfo::SetXStart(WORD x)
{
    SetStart10(m_p, x);
}
WORD CButtonInfo::GetXEnd() const
{
    return GetEnd10(m_p);
}
void CButtonInfo::SetXEnd(WORD x)
{
    SetEnd10(m_p, x);
}
WORD CButtonInfo::GetYStart() const
{
    return GetStart10(m_p + 3);
}
void CButtonInfo::SetYStart(WORD y)
{
    SetStart10(m_p + 3, y);
}
WORD CButtonInfo::GetYEnd() const
{
    return GetEnd10(m_p + 3);
}
void CButtonInfo::SetYEnd(WORD y)
{
    SetEnd10(m_p + 3, y);
}

bool CButtonInfo::GetAutoAction() const
{
    return (m_p[3] & 0xC0) != 0;
}

void CButtonInfo::SetAutoAction(bool bAuto)
{
    m_p[3] = (BYTE)((m_p[3] & 0x3F) | (bAuto ? 0x40 : 0));
}

BYTE CButtonInfo::GetNeighbour(int nDirection) const
{
    return m_p[6 + (nDirection & 3)] & 0x3F;
}

void CButtonInfo::SetNeighbour(int nDirection, BYTE nButton)
{
    BYTE& b = m_p[6 + (nDirection & 3)];
    b = (BYTE)((b & 0xC0) | (nButton & 0x3F));
}

const BYTE* CButtonInfo::GetCommand() const
{
    return m_p + 10;
}

void CButtonInfo::SetCommand(const BYTE* pCommand)
{
    memcpy(m_p + 10, pCommand, 8);
}

// ---- PciPacket -----------------------------------------------------------------

PciPacket::PciPacket()
{
    memset(bytes, 0, sizeof(bytes));
}

void PciPacket::ReadFromSector(const BYTE* pSector)
{
    memcpy(bytes, pSector + NAV_PCI_OFFSET, PCI_SIZE);
}

void PciPacket::WriteToSector(BYTE* pSector) const
{
    memcpy(pSector + NAV_PCI_OFFSET, bytes, PCI_SIZE);
}

DWORD PciPacket::GetNvPckLbn() const
{
    return GetBE32(bytes + PCI_NV_PCK_LBN);
}
void PciPacket::SetNvPckLbn(DWORD n)
{
    PutBE32(bytes + PCI_NV_PCK_LBN, n);
}
WORD PciPacket::GetVobuCat() const
{
    return GetBE16(bytes + PCI_VOBU_CAT);
}
DWORD PciPacket::GetVobuUopCtl() const
{
    return GetBE32(bytes + PCI_VOBU_UOP_CTL);
}
void PciPacket::SetVobuUopCtl(DWORD mask)
{
    PutBE32(bytes + PCI_VOBU_UOP_CTL, mask);
}
DWORD PciPacket::GetVobuSPtm() const
{
    return GetBE32(bytes + PCI_VOBU_S_PTM);
}
void PciPacket::SetVobuSPtm(DWORD pts)
{
    PutBE32(bytes + PCI_VOBU_S_PTM, pts);
}
DWORD PciPacket::GetVobuEPtm() const
{
    return GetBE32(bytes + PCI_VOBU_E_PTM);
}
void PciPacket::SetVobuEPtm(DWORD pts)
{
    PutBE32(bytes + PCI_VOBU_E_PTM, pts);
}
DWORD PciPacket::GetVobuSeEPtm() const
{
    return GetBE32(bytes + PCI_VOBU_SE_E_PTM);
}
void PciPacket::SetVobuSeEPtm(DWORD pts)
{
    PutBE32(bytes + PCI_VOBU_SE_E_PTM, pts);
}
CDvdTime PciPacket::GetCEltm() const
{
    return CDvdTime::FromBytes(bytes + PCI_C_ELTM);
}
void PciPacket::SetCEltm(const CDvdTime& t)
{
    t.ToBytes(bytes + PCI_C_ELTM);
}

DWORD PciPacket::GetNsmlAgliRaw(int i) const
{
    if (!InTable(i, NSML_AGLI_COUNT))
        return 0;
    return GetBE32(bytes + PCI_NSML_AGLI + 4 * (size_t)i);
}

bool PciPacket::IsNsmlAgliEmpty(int i) const
{
    DWORD v = GetNsmlAgliRaw(i);
    return v == 0 || v == AGLI_NONE;
}

int32_t PciPacket::GetNsmlAgli(int i) const
{
    return FromSignMagnitude(GetNsmlAgliRaw(i));
}

void PciPacket::SetNsmlAgli(int i, int32_t offset)
{
    if (!InTable(i, NSML_AGLI_COUNT))
        return;
    PutBE32(bytes + PCI_NSML_AGLI + 4 * (size_t)i, ToSignMagnitude(offset));
}

void PciPacket::ClearNsmlAgli()
{
    memset(bytes + PCI_NSML_AGLI, 0, 4 * NSML_AGLI_COUNT);
}

WORD PciPacket::GetHliStatus() const
{
    return GetBE16(bytes + HLI_SS) & 0x03;
}
void PciPacket::SetHliStatus(WORD status)
{
    PutBE16(bytes + HLI_SS, (WORD)((GetBE16(bytes + HLI_SS) & ~0x03) | (status & 0x03)));
}
DWORD PciPacket::GetHliSPtm() const
{
    return GetBE32(bytes + HLI_S_PTM);
}
void PciPacket::SetHliSPtm(DWORD pts)
{
    PutBE32(bytes + HLI_S_PTM, pts);
}
DWORD PciPacket::GetHliEPtm() const
{
    return GetBE32(bytes + HLI_E_PTM);
}
void PciPacket::SetHliEPtm(DWORD pts)
{
    PutBE32(bytes + HLI_E_PTM, pts);
}
DWORD PciPacket::GetBtnSlEPtm() const
{
    return GetBE32(bytes + HLI_BTN_SL_E_PTM);
}
void PciPacket::SetBtnSlEPtm(DWORD pts)
{
    PutBE32(bytes + HLI_BTN_SL_E_PTM, pts);
}
WORD PciPacket::GetBtnMd() const
{
    return GetBE16(bytes + HLI_BTN_MD);
}
void PciPacket::SetBtnMd(WORD md)
{
    PutBE16(bytes + HLI_BTN_MD, md);
}

int PciPacket::GetButtonGroupCount() const
{
    return (GetBtnMd() >> 12) & 0x03;
}

void PciPacket::SetButtonGroupCount(int n)
{
    SetBtnMd((WORD)((GetBtnMd() & ~0x3000) | ((n & 0x03) << 12)));
}

BYTE PciPacket::GetGroupDisplayType(int nGroup) const
{
    if (nGroup < 0 || nGroup >= HLI_MAX_GROUPS)
        return 0;
    return (BYTE)((GetBtnMd() >> (8 - 4 * nGroup)) & 0x07);
}

void PciPacket::SetGroupDisplayType(int nGroup, BYTE type)
{
    if (nGroup < 0 || nGroup >= HLI_MAX_GROUPS)
        return;
    int shift = 8 - 4 * nGroup;
    SetBtnMd((WORD)((GetBtnMd() & ~(0x07 << shift)) | ((type & 0x07) << shift)));
}

BYTE PciPacket::GetBtnOfn() const
{
    return bytes[HLI_BTN_OFN];
}
void PciPacket::SetBtnOfn(BYTE n)
{
    bytes[HLI_BTN_OFN] = n;
}
BYTE PciPacket::GetBtnNs() const
{
    return bytes[HLI_BTN_NS];
}
void PciPacket::SetBtnNs(BYTE n)
{
    bytes[HLI_BTN_NS] = n;
}
BYTE PciPacket::GetNslBtnNs() const
{
    return bytes[HLI_NSL_BTN_NS];
}
void PciPacket::SetNslBtnNs(BYTE n)
{
    bytes[HLI_NSL_BTN_NS] = n;
}
BYTE PciPacket::GetFoslBtnn() const
{
    return bytes[HLI_FOSL_BTNN];
}
void PciPacket::SetFoslBtnn(BYTE n)
{
    bytes[HLI_FOSL_BTNN] = n;
}
BYTE PciPacket::GetFoacBtnn() const
{
    return bytes[HLI_FOAC_BTNN];
}
void PciPacket::SetFoacBtnn(BYTE n)
{
    bytes[HLI_FOAC_BTNN] = n;
}

const BYTE* PciPacket::GetColorTable(int n) const
{
    return bytes + HLI_BTN_COLIT + BTN_COLIT_SIZE * (size_t)(n % 3);
}

void PciPacket::SetColorTable(int n, const BYTE* p)
{
    memcpy(bytes + HLI_BTN_COLIT + BTN_COLIT_SIZE * (size_t)(n % 3), p, BTN_COLIT_SIZE);
}

int PciPacket::GetButtonsPerGroup() const
{
    int groups = GetButtonGroupCount();
    return groups ? HLI_MAX_BUTTONS / groups : 0;
}

int PciPacket::GetButtonCount() const
{
    int n = GetBtnNs();
    int perGroup = GetButtonsPerGroup();
    return n < perGroup ? n : perGroup;
}

CButtonInfo PciPacket::GetButtonInfo(int nGroup, int nButton)
{
    int perGroup = GetButtonsPerGroup();
    if (nGroup < 0 || nGroup >= GetButtonGroupCount() || nButton < 1 || nButton > perGroup)
        return CButtonInfo();
    size_t index = (size_t)(nGroup * perGroup + nButton - 1);
    return CButtonInfo(bytes + HLI_BTN_IT + BTN_INFO_SIZE * index);
}

const CButtonInfo PciPacket::GetButtonInfo(int nGroup, int nButton) const
{
    // The view is handed out const, so only its readers can be called.
    return const_cast<PciPacket*>(this)->GetButtonInfo(nGroup, nButton);
}

void PciPacket::ClearHli()
{
    memset(bytes + PCI_HLI, 0, HLI_SIZE);
}

// ---- DsiPacket -----------------------------------------------------------------

DsiPacket::DsiPacket()
{
    memset(bytes, 0, sizeof(bytes));
}

void DsiPacket::ReadFromSector(const BYTE* pSector)
{
    memcpy(bytes, pSector + NAV_DSI_OFFSET, DSI_SIZE);
}

void DsiPacket::WriteToSector(BYTE* pSector) const
{
    memcpy(pSector + NAV_DSI_OFFSET, bytes, DSI_SIZE);
}

DWORD DsiPacket::GetNvPckScr() const
{
    return GetBE32(bytes + DSI_NV_PCK_SCR);
}
DWORD DsiPacket::GetNvPckLbn() const
{
    return GetBE32(bytes + DSI_NV_PCK_LBN);
}
void DsiPacket::SetNvPckLbn(DWORD n)
{
    PutBE32(bytes + DSI_NV_PCK_LBN, n);
}
DWORD DsiPacket::GetVobuEa() const
{
    return GetBE32(bytes + DSI_VOBU_EA);
}
void DsiPacket::SetVobuEa(DWORD n)
{
    PutBE32(bytes + DSI_VOBU_EA, n);
}

DWORD DsiPacket::GetVobuRefEa(int nRef) const
{
    return GetBE32(bytes + DSI_VOBU_1STREF_EA + 4 * (size_t)(nRef % 3));
}

void DsiPacket::SetVobuRefEa(int nRef, DWORD n)
{
    PutBE32(bytes + DSI_VOBU_1STREF_EA + 4 * (size_t)(nRef % 3), n);
}

WORD DsiPacket::GetVobuVobIdn() const
{
    return GetBE16(bytes + DSI_VOBU_VOB_IDN);
}
void DsiPacket::SetVobuVobIdn(WORD id)
{
    PutBE16(bytes + DSI_VOBU_VOB_IDN, id);
}
BYTE DsiPacket::GetVobuCIdn() const
{
    return bytes[DSI_VOBU_C_IDN];
}
void DsiPacket::SetVobuCIdn(BYTE id)
{
    bytes[DSI_VOBU_C_IDN] = id;
}
CDvdTime DsiPacket::GetCEltm() const
{
    return CDvdTime::FromBytes(bytes + DSI_C_ELTM);
}
void DsiPacket::SetCEltm(const CDvdTime& t)
{
    t.ToBytes(bytes + DSI_C_ELTM);
}

BYTE DsiPacket::GetSmlCategory() const
{
    return bytes[SML_CAT];
}
void DsiPacket::SetSmlCategory(BYTE cat)
{
    bytes[SML_CAT] = cat;
}
bool DsiPacket::IsIlvu() const
{
    return (bytes[SML_CAT] & SML_CAT_ILVU) != 0;
}
DWORD DsiPacket::GetIlvuEa() const
{
    return GetBE32(bytes + SML_ILVU_EA);
}
void DsiPacket::SetIlvuEa(DWORD n)
{
    PutBE32(bytes + SML_ILVU_EA, n);
}
DWORD DsiPacket::GetNxtIlvuSa() const
{
    return GetBE32(bytes + SML_NXT_ILVU_SA);
}
void DsiPacket::SetNxtIlvuSa(DWORD n)
{
    PutBE32(bytes + SML_NXT_ILVU_SA, n);
}
WORD DsiPacket::GetNxtIlvuSz() const
{
    return GetBE16(bytes + SML_NXT_ILVU_SZ);
}
void DsiPacket::SetNxtIlvuSz(WORD n)
{
    PutBE16(bytes + SML_NXT_ILVU_SZ, n);
}
DWORD DsiPacket::GetVobVSPtm() const
{
    return GetBE32(bytes + SML_VOB_V_S_PTM);
}
void DsiPacket::SetVobVSPtm(DWORD pts)
{
    PutBE32(bytes + SML_VOB_V_S_PTM, pts);
}
DWORD DsiPacket::GetVobVEPtm() const
{
    return GetBE32(bytes + SML_VOB_V_E_PTM);
}
void DsiPacket::SetVobVEPtm(DWORD pts)
{
    PutBE32(bytes + SML_VOB_V_E_PTM, pts);
}

DWORD DsiPacket::GetAudioGap(int nStream, int nField) const
{
    return GetBE32(bytes + SML_AUDIO + SML_AUDIO_SIZE * (size_t)(nStream & 7) + 4 * (size_t)(nField & 3));
}

DWORD DsiPacket::GetSmlAgliRaw(int i) const
{
    if (!InTable(i, SML_AGLI_COUNT))
        return 0;
    return GetBE32(bytes + DSI_SML_AGLI + SML_AGLI_ENTRY * (size_t)i);
}

bool DsiPacket::IsSmlAgliEmpty(int i) const
{
    DWORD v = GetSmlAgliRaw(i);
    return v == 0 || v == AGLI_NONE;
}

int32_t DsiPacket::GetSmlAgliAddress(int i) const
{
    return FromSignMagnitude(GetSmlAgliRaw(i));
}

WORD DsiPacket::GetSmlAgliSize(int i) const
{
    if (!InTable(i, SML_AGLI_COUNT))
        return 0;
    return GetBE16(bytes + DSI_SML_AGLI + SML_AGLI_ENTRY * (size_t)i + 4);
}

void DsiPacket::SetSmlAgli(int i, int32_t offset, WORD size)
{
    if (!InTable(i, SML_AGLI_COUNT))
        return;
    BYTE* p = bytes + DSI_SML_AGLI + SML_AGLI_ENTRY * (size_t)i;
    PutBE32(p, ToSignMagnitude(offset));
    PutBE16(p + 4, size);
}

DWORD DsiPacket::GetSri(int nWord) const
{
    if (!InTable(nWord, SRI_WORD_COUNT))
        return SRI_EMPTY;
    return GetBE32(bytes + DSI_VOBU_SRI + 4 * (size_t)nWord);
}

void DsiPacket::SetSri(int nWord, DWORD value)
{
    if (!InTable(nWord, SRI_WORD_COUNT))
        return;
    PutBE32(bytes + DSI_VOBU_SRI + 4 * (size_t)nWord, value);
}

WORD DsiPacket::GetAudioSyncRaw(int nStream) const
{
    if (!InTable(nStream, NAV_AUDIO_STREAMS))
        return 0;
    return GetBE16(bytes + DSI_SYNCI_AUDIO + 2 * (size_t)nStream);
}

bool DsiPacket::IsAudioSyncEmpty(int nStream) const
{
    WORD v = GetAudioSyncRaw(nStream);
    return v == 0 || v == AUDIO_SYNC_NONE;
}

int32_t DsiPacket::GetAudioSync(int nStream) const
{
    WORD v = GetAudioSyncRaw(nStream);
    return (v & BACKWARD16) ? -(int32_t)(v & ~BACKWARD16) : (int32_t)v;
}

void DsiPacket::SetAudioSync(int nStream, int32_t offset)
{
    if (!InTable(nStream, NAV_AUDIO_STREAMS))
        return;
    WORD v = offset < 0 ? (WORD)(BACKWARD16 | ((DWORD)-offset & 0x7FFF)) : (WORD)(offset & 0x7FFF);
    PutBE16(bytes + DSI_SYNCI_AUDIO + 2 * (size_t)nStream, v);
}

DWORD DsiPacket::GetSubpictureSyncRaw(int nStream) const
{
    if (!InTable(nStream, NAV_SUBPICTURE_STREAMS))
        return 0;
    return GetBE32(bytes + DSI_SYNCI_SUBPICTURE + 4 * (size_t)nStream);
}

bool DsiPacket::IsSubpictureSyncEmpty(int nStream) const
{
    DWORD v = GetSubpictureSyncRaw(nStream);
    return v == 0 || v == SUBPICTURE_SYNC_NONE || v == 0x7FFFFFFF;
}

int32_t DsiPacket::GetSubpictureSync(int nStream) const
{
    return FromSignMagnitude(GetSubpictureSyncRaw(nStream));
}

void DsiPacket::SetSubpictureSync(int nStream, int32_t offset)
{
    if (!InTable(nStream, NAV_SUBPICTURE_STREAMS))
        return;
    PutBE32(bytes + DSI_SYNCI_SUBPICTURE + 4 * (size_t)nStream, ToSignMagnitude(offset));
}

bool HasSeamlessAngleInfo(const DsiPacket& dsi)
{
    for (int i = 0; i < SML_AGLI_COUNT; i++)
        if (dsi.GetSmlAgliRaw(i) != 0)
            return true;
    return false;
}

int GetSmlAngleCount(const DsiPacket& dsi)
{
    for (int i = SML_AGLI_COUNT - 1; i >= 0; i--)
        if (dsi.GetSmlAgliRaw(i) != 0)
            return i + 1;
    return 0;
}

// ---- Rewrites ------------------------------------------------------------------

namespace
{

// A signed offset from the NAV pack mapped to the output layout.
int32_t MapSigned(const CSectorMap& map, int32_t v)
{
    if (v < 0)
        return -(int32_t)map.MapBackwardOffset((DWORD) - (int64_t)v);
    return (int32_t)map.MapForwardOffset((DWORD)v);
}

void MapSriWord(DsiPacket& dsi, const CSectorMap& map, int nWord, bool bForward)
{
    DWORD word = dsi.GetSri(nWord);
    if (IsSriEmpty(word))
        return;
    DWORD offset = word & SRI_OFFSET_MASK;
    offset = (bForward ? map.MapForwardOffset(offset) : map.MapBackwardOffset(offset)) & SRI_OFFSET_MASK;
    DWORD flags = (nWord == SRI_NEXT_VIDEO || nWord == SRI_PREV_VIDEO) ? SRI_VIDEO_FLAG : (word & SRI_FLAG_MASK);
    dsi.SetSri(nWord, flags | offset);
}

void ClearSriWord(DsiPacket& dsi, int nWord, DWORD nLimit)
{
    DWORD word = dsi.GetSri(nWord);
    if (IsSriEmpty(word) || (word & SRI_OFFSET_MASK) <= nLimit)
        return;
    dsi.SetSri(nWord, (nWord == SRI_NEXT_VIDEO || nWord == SRI_PREV_VIDEO) ? SRI_EMPTY_VIDEO : SRI_EMPTY);
}

} // namespace

void UpdateDsi(DsiPacket& dsi, const CSectorMap& map)
{
    dsi.SetVobuEa(map.MapForwardOffset(dsi.GetVobuEa()));
    for (int k = 0; k < 3; k++)
        if (DWORD ref = dsi.GetVobuRefEa(k))
            dsi.SetVobuRefEa(k, map.MapForwardOffset(ref));

    dsi.SetIlvuEa(map.MapForwardOffset(dsi.GetIlvuEa()));
    // The last unit of an interleaved block names no next unit; that marker
    // is no distance and stays as it is.
    DWORD nextStart = dsi.GetNxtIlvuSa();
    if (nextStart != AGLI_NONE)
    {
        DWORD nextEnd = nextStart + dsi.GetNxtIlvuSz();
        DWORD newStart = map.MapForwardOffset(nextStart);
        dsi.SetNxtIlvuSa(newStart);
        dsi.SetNxtIlvuSz((WORD)(map.MapForwardOffset(nextEnd) - newStart));
    }

    for (int i = 0; i < SML_AGLI_COUNT; i++)
    {
        if (dsi.IsSmlAgliEmpty(i))
            continue;
        int32_t start = dsi.GetSmlAgliAddress(i);
        WORD size = dsi.GetSmlAgliSize(i);
        if (start >= 0)
        {
            DWORD s = map.MapForwardOffset((DWORD)start);
            DWORD e = map.MapForwardOffset((DWORD)start + size);
            dsi.SetSmlAgli(i, (int32_t)s, (WORD)(e - s));
        }
        else
        {
            DWORD d1 = map.MapBackwardOffset((DWORD) - (int64_t)start);
            DWORD d2 = map.MapBackwardOffset((DWORD)(-((int64_t)start + size)));
            dsi.SetSmlAgli(i, -(int32_t)d1, (WORD)(d1 - d2));
        }
    }

    MapSriWord(dsi, map, SRI_PREV_VIDEO, false);
    for (int w = SRI_PREV; w <= SRI_BWD_LAST; w++)
        MapSriWord(dsi, map, w, false);
    MapSriWord(dsi, map, SRI_NEXT_VIDEO, true);
    MapSriWord(dsi, map, SRI_NEXT, true);
    for (int w = SRI_FWD_FIRST; w <= SRI_FWD_LAST; w++)
        MapSriWord(dsi, map, w, true);

    for (int i = 0; i < NAV_AUDIO_STREAMS; i++)
        if (!dsi.IsAudioSyncEmpty(i))
            dsi.SetAudioSync(i, MapSigned(map, dsi.GetAudioSync(i)));
    for (int i = 0; i < NAV_SUBPICTURE_STREAMS; i++)
        if (!dsi.IsSubpictureSyncEmpty(i))
            dsi.SetSubpictureSync(i, MapSigned(map, dsi.GetSubpictureSync(i)));
}

void UpdateNsmlAgli(PciPacket& pci, const CSectorMap& map)
{
    for (int i = 0; i < NSML_AGLI_COUNT; i++)
        if (!pci.IsNsmlAgliEmpty(i))
            pci.SetNsmlAgli(i, MapSigned(map, pci.GetNsmlAgli(i)));
}

void ClearDeletedAudio(DsiPacket& dsi, BYTE keptAudio)
{
    for (int i = 0; i < NAV_AUDIO_STREAMS; i++)
    {
        if (keptAudio & (1u << i))
            continue;
        memset(dsi.bytes + SML_AUDIO + SML_AUDIO_SIZE * (size_t)i, 0, SML_AUDIO_SIZE);
        dsi.SetAudioSync(i, 0);
    }
}

void ClearDeletedSubpictures(DsiPacket& dsi, DWORD keptSubpictures)
{
    for (int i = 0; i < NAV_SUBPICTURE_STREAMS; i++)
        if (!(keptSubpictures & (1u << i)))
            dsi.SetSubpictureSync(i, 0);
}

void ClearSmlAgli(DsiPacket& dsi)
{
    memset(dsi.bytes + DSI_SML_AGLI, 0, SML_AGLI_ENTRY * SML_AGLI_COUNT);
}

bool ClampToData(DsiPacket& dsi, DWORD nVobuLast, DWORD nIlvuLast, DWORD nDataEnd)
{
    bool bChanged = false;
    if (dsi.GetVobuEa() != nVobuLast)
    {
        dsi.SetVobuEa(nVobuLast);
        bChanged = true;
    }
    for (int k = 0; k < 3; k++)
        if (dsi.GetVobuRefEa(k) > dsi.GetVobuEa())
        {
            dsi.SetVobuRefEa(k, 0);
            bChanged = true;
        }
    if (dsi.GetIlvuEa() > nIlvuLast)
    {
        dsi.SetIlvuEa(nIlvuLast);
        bChanged = true;
    }
    const DWORD nNext = dsi.GetNxtIlvuSa();
    if (nNext == AGLI_NONE || dsi.GetNxtIlvuSz() == 0)
        return bChanged;
    if (nNext >= nDataEnd)
    {
        dsi.SetNxtIlvuSa(AGLI_NONE);
        dsi.SetNxtIlvuSz(0);
        return true;
    }
    if (uint64_t(nNext) + dsi.GetNxtIlvuSz() > nDataEnd)
    {
        dsi.SetNxtIlvuSz(WORD(nDataEnd - nNext));
        return true;
    }
    return bChanged;
}

void ClearForwardSri(DsiPacket& dsi, DWORD nLimit)
{
    ClearSriWord(dsi, SRI_NEXT_VIDEO, nLimit);
    for (int w = SRI_FWD_FIRST; w <= SRI_NEXT; w++)
        ClearSriWord(dsi, w, nLimit);
}

void ClearBackwardSri(DsiPacket& dsi, DWORD nLimit)
{
    ClearSriWord(dsi, SRI_PREV_VIDEO, nLimit);
    for (int w = SRI_PREV; w <= SRI_BWD_LAST; w++)
        ClearSriWord(dsi, w, nLimit);
}

void ResetSri(DsiPacket& dsi)
{
    dsi.SetSri(SRI_NEXT_VIDEO, SRI_EMPTY_VIDEO);
    dsi.SetSri(SRI_PREV_VIDEO, SRI_EMPTY_VIDEO);
    for (int w = SRI_FWD_FIRST; w < SRI_FWD_LAST; w++)
        dsi.SetSri(w, SRI_EMPTY);
    for (int w = SRI_BWD_FIRST + 1; w <= SRI_BWD_LAST; w++)
        dsi.SetSri(w, SRI_EMPTY);
}

DWORD GetFarthestForwardReference(const DsiPacket& dsi)
{
    int64_t farthest = dsi.GetVobuEa();
    for (int i = 0; i < SML_AGLI_COUNT; i++)
        if (!dsi.IsSmlAgliEmpty(i))
        {
            int64_t end = (int64_t)dsi.GetSmlAgliAddress(i) + dsi.GetSmlAgliSize(i);
            if (end > farthest)
                farthest = end;
        }
    for (int w = SRI_NEXT_VIDEO; w <= SRI_NEXT; w++)
    {
        DWORD word = dsi.GetSri(w);
        if (!IsSriEmpty(word) && (int64_t)(word & SRI_OFFSET_MASK) > farthest)
            farthest = word & SRI_OFFSET_MASK;
    }
    for (int i = 0; i < NAV_AUDIO_STREAMS; i++)
        if (!dsi.IsAudioSyncEmpty(i) && dsi.GetAudioSync(i) > farthest)
            farthest = dsi.GetAudioSync(i);
    for (int i = 0; i < NAV_SUBPICTURE_STREAMS; i++)
        if (!dsi.IsSubpictureSyncEmpty(i) && dsi.GetSubpictureSync(i) > farthest)
            farthest = dsi.GetSubpictureSync(i);
    return (DWORD)farthest;
}

int32_t GetFarthestNsmlReference(const PciPacket& pci)
{
    bool bAny = false;
    int32_t farthest = 0;
    for (int i = 0; i < NSML_AGLI_COUNT; i++)
    {
        if (pci.IsNsmlAgliEmpty(i))
            continue;
        int32_t v = pci.GetNsmlAgli(i);
        if (!bAny || v > farthest)
            farthest = v;
        bAny = true;
    }
    return farthest;
}

// ---- Packs ---------------------------------------------------------------------

uint64_t GetPackScr(const BYTE* pSector)
{
    const BYTE* p = pSector + NAV_SCR_OFFSET;
    return DecodeScr(p) * 300 + DecodeScrExtension(p);
}

BYTE* GetPackScrField(BYTE* pSector)
{
    return pSector + NAV_SCR_OFFSET;
}

namespace
{

const BYTE STREAM_SYSTEM_HEADER = 0xBB;
const BYTE STREAM_PRIVATE_1 = 0xBD;

bool HasStartCode(const BYTE* p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 1;
}

// Offset of the first PES packet behind the pack header (and a system header),
// 0 when the sector holds none. Every length read from the sector is checked
// against the sector before it is followed.
size_t FindFirstPacket(const BYTE* pSector)
{
    if (!HasStartCode(pSector) || pSector[3] != 0xBA || (pSector[4] & 0xC0) != 0x40)
        return 0;
    size_t pos = 14 + (pSector[13] & 0x07);
    if (pos + 6 > NAV_SECTOR_SIZE || !HasStartCode(pSector + pos))
        return 0;
    if (pSector[pos + 3] == STREAM_SYSTEM_HEADER)
    {
        pos += 6 + GetBE16(pSector + pos + 4);
        if (pos + 6 > NAV_SECTOR_SIZE || !HasStartCode(pSector + pos))
            return 0;
    }
    return pos;
}

// The sub-stream byte of a private stream 1 packet, -1 when there is none.
int GetPrivateSubstream(const BYTE* pSector)
{
    size_t pos = FindFirstPacket(pSector);
    if (!pos || pSector[pos + 3] != STREAM_PRIVATE_1 || pos + 9 > NAV_SECTOR_SIZE)
        return -1;
    size_t packetEnd = pos + 6 + GetBE16(pSector + pos + 4);
    size_t sub = pos + 9 + pSector[pos + 8];
    if (sub >= packetEnd || sub >= NAV_SECTOR_SIZE)
        return -1;
    return pSector[sub];
}

} // namespace

BYTE GetAudioStreamInfo(const BYTE* pSector, BYTE& nStream)
{
    nStream = 0;
    size_t pos = FindFirstPacket(pSector);
    if (!pos)
        return 255;
    BYTE id = pSector[pos + 3];
    if (id >= 0xC0 && id <= 0xC7)
    {
        nStream = id - 0xC0;
        return 2;
    }
    if (id >= 0xD0 && id <= 0xD7)
    {
        nStream = id - 0xD0;
        return 3;
    }
    int sub = GetPrivateSubstream(pSector);
    if (sub < 0)
        return 255;
    BYTE coding;
    switch (sub & 0xF8)
    {
    case 0x80: coding = 0; break;
    case 0x88: coding = 6; break;
    case 0x90: coding = 7; break;
    case 0xA0: coding = 4; break;
    default: return 255;
    }
    nStream = (BYTE)(sub & 7);
    return coding;
}

int GetSubpictureStream(const BYTE* pSector)
{
    int sub = GetPrivateSubstream(pSector);
    return sub >= 0x20 && sub <= 0x3F ? (sub & 31) : -1;
}
