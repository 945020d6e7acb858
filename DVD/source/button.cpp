#include "DVD/source/button.h"

#include "DVD/source/NavCommand.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/Validator.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

#include <cstring>

namespace
{

// The BTN_I neighbour slot of each of our directions.
const int kNavDirection[BTNDIR_COUNT] = {BTN_LEFT, BTN_RIGHT, BTN_UP, BTN_DOWN};
// left -> up, right -> down, up -> left, down -> right
const int kPerpendicular[BTNDIR_COUNT] = {BTNDIR_UP, BTNDIR_DOWN, BTNDIR_LEFT, BTNDIR_RIGHT};
const int kOpposite[BTNDIR_COUNT] = {BTNDIR_RIGHT, BTNDIR_LEFT, BTNDIR_DOWN, BTNDIR_UP};

const DWORD PTM_NOT_SET = 0xFFFFFFFF;
const size_t HLI_COLOR_TABLE_SIZE = 8;
// Where BTN_IT lies in a PCI: the highlight layout is compared bytewise,
// whatever the group count says.
const size_t PCI_BTN_IT_OFFSET = 142;

DWORD RelativeTime(DWORD dwTime, DWORD dwBase, bool bNoButtons)
{
    if (dwTime == PTM_NOT_SET)
        return PTM_NOT_SET;
    if (bNoButtons || dwTime <= dwBase)
        return 0;
    return dwTime - dwBase;
}

// A rectangle narrower or lower than 2 pixels cannot be seen.
bool IsVisible(const CButtonGroupEntry& entry)
{
    return entry.dwXEnd >= entry.dwXStart + 2 && entry.dwYEnd >= entry.dwYStart + 2;
}

} // namespace

const char* GetDirectionName(int nDirection)
{
    switch (nDirection)
    {
    case BTNDIR_LEFT: return "left";
    case BTNDIR_RIGHT: return "right";
    case BTNDIR_UP: return "up";
    case BTNDIR_DOWN: return "down";
    default: return "err";
    }
}

// ---- CDvdButton ------------------------------------------------------------------

CDvdButton::CDvdButton(CButtonSegment* pParent) : CDvdObject(DVDNODE_BUTTON, pParent)
{
    memset(m_groups, 0, sizeof(m_groups));
    m_groups[0].dwXEnd = 1;
    m_groups[0].dwYEnd = 1;
}

CDvdButton::CDvdButton(const CDvdButton& source, CButtonSegment* pParent)
    : CDvdObject(source, pParent), m_nGroups(source.m_nGroups)
{
    memcpy(m_groups, source.m_groups, sizeof(m_groups));
}

CDvdButton* CDvdButton::CopyConstruct(const CDvdButton& source, CButtonSegment* pParent)
{
    return new CDvdButton(source, pParent);
}

void CDvdButton::SetGroupCount(uint32_t nGroups)
{
    m_nGroups = nGroups < 1 ? 1 : nGroups > BUTTON_MAX_GROUPS ? BUTTON_MAX_GROUPS : nGroups;
}

bool CDvdButton::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bFound = validator.Check(CDvdReference(this, 0, 0), messages);
    for (uint32_t g = 0; g < m_nGroups; ++g)
    {
        bFound |= validator.Check(CDvdReference(this, BTNREF_COLOR_TABLE, g), messages);
        bFound |= validator.Check(CDvdReference(this, BTNREF_COMMAND, g), messages);
        for (uint32_t d = 0; d < BTNDIR_COUNT; ++d)
            bFound |= validator.Check(CDvdReference(this, BTNREF_LINK, d * 256 + g), messages);
    }
    return bFound;
}

int CDvdButton::FindGroup(BYTE nDisplayMask) const
{
    for (uint32_t g = 0; g < m_nGroups; ++g)
    {
        BYTE nType = m_groups[g].nDisplayType;
        if (nDisplayMask == 0 ? nType == 0 : (nType & nDisplayMask) != 0)
            return int(g);
    }
    return -1;
}

bool CDvdButton::HasNavigation() const
{
    for (uint32_t g = 0; g < m_nGroups; ++g)
        if (IsNavigationCommand(m_groups[g].command))
            return true;
    return false;
}

WORD CDvdButton::GetUsedRegisters() const
{
    WORD wMask = 0;
    for (uint32_t g = 0; g < m_nGroups; ++g)
        wMask |= GetCommandGeneralRegisters(m_groups[g].command);
    return wMask;
}

DWORD CDvdButton::GetUsedSystemRegisters() const
{
    DWORD dwMask = 0;
    for (uint32_t g = 0; g < m_nGroups; ++g)
        dwMask |= GetCommandSystemRegisters(m_groups[g].command);
    return dwMask;
}

// ---- CButtonSegment --------------------------------------------------------------

CButtonSegment::CButtonSegment(uint32_t nFirstVobu, const PciPacket& hli, DWORD dwPtmBase, CVobCell* pParent)
    : CDvdObject(DVDNODE_BUTTON_SEGMENT, pParent), m_nFirstVobu(nFirstVobu)
{
    for (int n = 0; n < 3; ++n)
        memcpy(m_colors + HLI_COLOR_TABLE_SIZE * n, hli.GetColorTable(n), HLI_COLOR_TABLE_SIZE);
    SetFromHli(hli, dwPtmBase);

    // The count is held to what the group count lays out in the table: no
    // groups, no buttons.
    int nGroups = hli.GetButtonGroupCount();
    int nButtons = hli.GetButtonCount();
    for (int n = 1; n <= nButtons; ++n)
    {
        CDvdButton* pButton = new CDvdButton(this);
        pButton->SetGroupCount(uint32_t(nGroups));
        for (int g = 0; g < nGroups; ++g)
        {
            const CButtonInfo info = hli.GetButtonInfo(g, n);
            CButtonGroupEntry& entry = pButton->GetGroup(g);
            entry.nDisplayType = hli.GetGroupDisplayType(g);
            entry.dwXStart = info.GetXStart();
            entry.dwYStart = info.GetYStart();
            entry.dwXEnd = info.GetXEnd();
            entry.dwYEnd = info.GetYEnd();
            memcpy(entry.command, info.GetCommand(), sizeof(entry.command));
            entry.bAutoAction = info.GetAutoAction() ? 1 : 0;
            entry.nColorTable = info.GetColor();
            for (int d = 0; d < BTNDIR_COUNT; ++d)
                entry.neighbours[d] = int32_t(info.GetNeighbour(kNavDirection[d])) - 1;
        }
        m_buttons.Add(pButton);
    }
}

CButtonSegment::CButtonSegment(const CButtonSegment& source, CVobCell* pParent)
    : CDvdObject(source, pParent), m_nFirstVobu(source.m_nFirstVobu), m_nVobuCount(source.m_nVobuCount),
      m_dwHliStartPtm(source.m_dwHliStartPtm), m_dwHliEndPtm(source.m_dwHliEndPtm),
      m_dwSelectEndPtm(source.m_dwSelectEndPtm), m_dwButtonOffset(source.m_dwButtonOffset),
      m_dwNumericCount(source.m_dwNumericCount), m_nForcedSelect(source.m_nForcedSelect),
      m_nForcedAction(source.m_nForcedAction)
{
    memcpy(m_colors, source.m_colors, sizeof(m_colors));
    for (uint32_t i = 0; i < source.m_buttons.GetSize(); ++i)
        m_buttons.Add(CDvdButton::CopyConstruct(*source.m_buttons[i], this));
}

CButtonSegment* CButtonSegment::CopyConstruct(const CButtonSegment& source, CVobCell* pParent)
{
    return new CButtonSegment(source, pParent);
}

void CButtonSegment::SetFromHli(const PciPacket& hli, DWORD dwPtmBase)
{
    m_dwButtonOffset = hli.GetBtnOfn();
    m_dwNumericCount = hli.GetNslBtnNs();
    m_nForcedSelect = int32_t(hli.GetFoslBtnn()) - 1;
    m_nForcedAction = int32_t(hli.GetFoacBtnn()) - 1;
    bool bNoButtons = hli.GetBtnNs() == 0;
    m_dwHliStartPtm = RelativeTime(hli.GetHliSPtm(), dwPtmBase, bNoButtons);
    m_dwHliEndPtm = RelativeTime(hli.GetHliEPtm(), dwPtmBase, bNoButtons);
    m_dwSelectEndPtm = RelativeTime(hli.GetBtnSlEPtm(), dwPtmBase, bNoButtons || m_nForcedAction < 0);
}

int CButtonSegment::GetChildIndex(const CDvdObject* pChild) const
{
    for (uint32_t i = 0; i < m_buttons.GetSize(); ++i)
        if (pChild && m_buttons[i] == pChild->Self())
            return int(i);
    return -1;
}

bool CButtonSegment::IsModified() const
{
    if (CDvdObject::IsModified())
        return true;
    for (uint32_t i = 0; i < m_buttons.GetSize(); ++i)
        if (m_buttons[i]->IsModified())
            return true;
    return false;
}

void CButtonSegment::ClearModified()
{
    CDvdObject::ClearModified();
    for (uint32_t i = 0; i < m_buttons.GetSize(); ++i)
        m_buttons[i]->ClearModified();
}

bool CButtonSegment::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bFound = validator.Check(CDvdReference(this, 0, 0), messages);
    // The forced buttons are references of the segment: without their visits
    // a forced button past the last one would never be reported.
    bFound |= validator.Check(CDvdReference(this, BTNSEGREF_FORCED_SELECT, 0), messages);
    bFound |= validator.Check(CDvdReference(this, BTNSEGREF_FORCED_ACTION, 0), messages);
    for (uint32_t i = 0; i < m_buttons.GetSize(); ++i)
        bFound |= m_buttons[i]->Validate(validator, messages);
    return bFound;
}

uint32_t CButtonSegment::AddButton(CDvdButton* pButton)
{
    pButton->SetParent(this);
    SetModified();
    return m_buttons.Add(pButton);
}

void CButtonSegment::WriteHli(PciPacket& pci, DWORD dwPtmBase, bool bEndless) const
{
    for (int n = 0; n < 3; ++n)
        pci.SetColorTable(n, m_colors + HLI_COLOR_TABLE_SIZE * n);
    const uint32_t nButtons = m_buttons.GetSize();
    const CDvdButton* pFirst = nButtons ? m_buttons[0] : nullptr;
    const int nGroups = pFirst ? int(pFirst->GetGroupCount()) : 0;
    pci.SetButtonGroupCount(nGroups);
    for (int g = 0; g < nGroups; ++g)
        pci.SetGroupDisplayType(g, pFirst->GetGroup(g).nDisplayType);
    pci.SetBtnNs(BYTE(nButtons & 0x3F));
    pci.SetBtnOfn(BYTE(m_dwButtonOffset & 0x3F));
    pci.SetNslBtnNs(BYTE(m_dwNumericCount & 0x3F));
    pci.SetFoslBtnn(BYTE((m_nForcedSelect + 1) & 0x3F));
    pci.SetFoacBtnn(BYTE((m_nForcedAction + 1) & 0x3F));

    for (int g = 0; g < nGroups; ++g)
    {
        for (uint32_t n = 0; n < nButtons; ++n)
        {
            const CDvdButton* pButton = m_buttons[n];
            CButtonInfo info = pci.GetButtonInfo(g, int(n) + 1);
            // Buttons beyond what the group count lays out have no slot.
            if (!info.IsValid() || g >= int(pButton->GetGroupCount()))
                continue;
            const CButtonGroupEntry& entry = pButton->GetGroup(g);
            for (int d = 0; d < BTNDIR_COUNT; ++d)
                info.SetNeighbour(kNavDirection[d], BYTE(entry.neighbours[d] + 1));
            info.SetXStart(WORD(entry.dwXStart));
            info.SetYStart(WORD(entry.dwYStart));
            info.SetXEnd(WORD(entry.dwXEnd));
            info.SetYEnd(WORD(entry.dwYEnd));
            info.SetCommand(entry.command);
            info.SetAutoAction(entry.bAutoAction != 0);
            info.SetColor(BYTE(entry.nColorTable));
        }
    }

    if (nButtons == 0)
    {
        pci.SetHliSPtm(0);
        pci.SetHliEPtm(0);
        pci.SetBtnSlEPtm(0);
        return;
    }
    DWORD dwEnd = bEndless || m_dwHliEndPtm == PTM_NOT_SET ? PTM_NOT_SET : m_dwHliEndPtm + dwPtmBase;
    pci.SetHliEPtm(dwEnd);
    pci.SetHliSPtm(m_dwHliStartPtm == PTM_NOT_SET ? PTM_NOT_SET : m_dwHliStartPtm + dwPtmBase);
    if (m_nForcedAction >= 0)
        pci.SetBtnSlEPtm(m_dwSelectEndPtm == PTM_NOT_SET ? PTM_NOT_SET : m_dwSelectEndPtm + dwPtmBase);
    else
        pci.SetBtnSlEPtm(dwEnd);
}

void CButtonSegment::RemoveButton(int nIndex, bool bHideOnly)
{
    const int x = nIndex;
    if (x < 0 || uint32_t(x) >= m_buttons.GetSize())
        return;
    const CDvdButton* pRemoved = m_buttons[uint32_t(x)];

    for (uint32_t j = 0; j < m_buttons.GetSize(); ++j)
    {
        if (int(j) == x)
            continue;
        CDvdButton* pOther = m_buttons[j];
        const int nj = int(j);
        for (uint32_t g = 0; g < pRemoved->GetGroupCount() && g < pOther->GetGroupCount(); ++g)
        {
            const int32_t* R = pRemoved->GetGroup(int(g)).neighbours;
            int32_t* E = pOther->GetGroup(int(g)).neighbours;
            for (int d = 0; d < BTNDIR_COUNT; ++d)
            {
                if (E[d] != x)
                    continue;
                E[d] = R[d] == nj || R[d] == x ? -1 : R[d];
                const int p = kPerpendicular[d];
                if (E[p] == nj && R[p] != x)
                    E[p] = R[p];
                if (E[d] == -1 && R[p] != x && R[p] != nj)
                    E[d] = R[p];
                const int o = kOpposite[p];
                if (E[o] == nj && R[o] != x)
                    E[o] = R[o];
                if (E[d] == -1)
                    E[d] = R[o] != x && R[o] != nj ? R[o] : nj;
            }
        }
        if (!bHideOnly)
        {
            // The later buttons move up one place.
            for (uint32_t g = 0; g < pOther->GetGroupCount(); ++g)
                for (int d = 0; d < BTNDIR_COUNT; ++d)
                    if (pOther->GetGroup(int(g)).neighbours[d] > x)
                        --pOther->GetGroup(int(g)).neighbours[d];
        }
    }

    if (!bHideOnly)
    {
        if (uint32_t(x) < m_dwNumericCount)
            --m_dwNumericCount;
        // Forced buttons follow their button; the removed one is forced no more.
        if (m_nForcedSelect == x)
            m_nForcedSelect = -1;
        else if (m_nForcedSelect > x)
            --m_nForcedSelect;
        if (m_nForcedAction == x)
            m_nForcedAction = -1;
        else if (m_nForcedAction > x)
            --m_nForcedAction;
        uint32_t n = m_buttons.GetSize();
        CDvdButton* pButton = m_buttons[uint32_t(x)];
        for (uint32_t j = uint32_t(x) + 1; j < n; ++j)
            m_buttons.SetAt(j - 1, m_buttons[j]);
        m_buttons.SetAt(n - 1, nullptr);
        m_buttons.SetSize(n - 1);
        delete pButton;
        SetModified();
        return;
    }

    CDvdButton* pHidden = m_buttons[uint32_t(x)];
    for (uint32_t g = 0; g < pHidden->GetGroupCount(); ++g)
    {
        CButtonGroupEntry& entry = pHidden->GetGroup(int(g));
        entry.dwXStart = 1;
        entry.dwYStart = 1;
        entry.dwXEnd = 2;
        entry.dwYEnd = 2;
    }
    int nTarget = -1;
    for (uint32_t j = 0; j < m_buttons.GetSize() && nTarget < 0; ++j)
        if (IsVisible(m_buttons[j]->GetGroup(0)))
            nTarget = int(j);
    for (uint32_t j = 0; j < m_buttons.GetSize(); ++j)
    {
        CDvdButton* pButton = m_buttons[j];
        if (IsVisible(pButton->GetGroup(0)))
            continue;
        for (uint32_t g = 0; g < pButton->GetGroupCount(); ++g)
        {
            CButtonGroupEntry& entry = pButton->GetGroup(int(g));
            if (nTarget < 0)
            {
                ClearCommand(entry.command);
                entry.bAutoAction = 0;
            }
            else
            {
                MakeLinkTopCellCommand(entry.command, nTarget + 1);
                entry.bAutoAction = 1;
            }
        }
    }
    SetModified();
}

// ---- Parsing the highlights of an ILVU -------------------------------------------

bool IsSameHighlight(const PciPacket& current, const PciPacket& next)
{
    if (current.GetBtnNs() != next.GetBtnNs() || current.GetHliSPtm() != next.GetHliSPtm() ||
        current.GetHliEPtm() != next.GetHliEPtm() || current.GetBtnSlEPtm() != next.GetBtnSlEPtm())
        return false;
    // BTN_NS may claim more buttons than the table holds.
    int nButtons = next.GetBtnNs() < HLI_MAX_BUTTONS ? next.GetBtnNs() : HLI_MAX_BUTTONS;
    const size_t nBytes = size_t(nButtons) * BTN_INFO_SIZE;
    if (memcmp(current.bytes + PCI_BTN_IT_OFFSET, next.bytes + PCI_BTN_IT_OFFSET, nBytes) != 0)
        return false;
    WORD wStatus = next.GetHliStatus();
    if ((wStatus == 1 || wStatus == 3) && current.GetHliStatus() != wStatus)
        return false;
    return true;
}

namespace
{

bool ReadPci(const CVobCell& cell, uint32_t nVobu, PciPacket& pci)
{
    BYTE sector[VOB_SECTOR_SIZE];
    const CVobData* pSet = cell.GetVobData();
    if (!pSet || nVobu >= cell.GetVobuCount() || !pSet->ReadSector(cell.GetSourceVobus()[int32_t(nVobu)], sector))
    {
        pci = PciPacket();
        return false;
    }
    pci.ReadFromSector(sector);
    return true;
}

} // namespace

uint16_t g_nBovShortestDuration = 6;

bool ParseButtonSegments(CDvdLog& log, CVobCell& cell, bool bMenu, uint32_t nStep, CDvdProgress* pProgress,
                         CButtonSegmentArray& segments, DWORD& dwUopMask)
{
    segments.RemoveAll();
    const uint32_t nCount = cell.GetVobuCount();
    const uint32_t nSampleStep = bMenu || nStep == 0 ? 1 : nStep;
    PciPacket current;
    current.ClearHli();
    current.SetBtnNs(63);
    uint32_t p = 0;
    PciPacket pci;
    PciPacket scanned;
    for (uint32_t i = 0; i < nCount;)
    {
        ReadPci(cell, i, pci);
        dwUopMask |= pci.GetVobuUopCtl();
        CButtonSegment* pLast = segments.GetSize() ? segments[segments.GetSize() - 1] : nullptr;
        if (pLast && IsSameHighlight(current, pci))
        {
            pLast->SetVobuCount(i - pLast->GetFirstVobu() + 1);
        }
        else
        {
            for (uint32_t j = p; j <= i; ++j)
            {
                ReadPci(cell, j, scanned);
                // The first VOBU always starts a segment, whatever its
                // highlight claims.
                if (pLast && IsSameHighlight(current, scanned))
                {
                    p = j;
                    continue;
                }
                if (pLast)
                    pLast->SetVobuCount(j - pLast->GetFirstVobu());
                CButtonSegment* pSegment = new CButtonSegment(j, scanned, scanned.GetVobuSPtm(), &cell);
                pSegment->SetVobuCount(i - j + 1);
                segments.Add(pSegment);
                current = scanned;
                break;
            }
        }
        if (pProgress)
        {
            pProgress->Advance(i - p);
            if (pProgress->IsCancelled())
            {
                log.ReportCancel();
                return false;
            }
        }
        p = i;
        if (i + 1 >= nCount)
            break;
        i = i + nSampleStep < nCount - 1 ? i + nSampleStep : nCount - 1;
    }

    uint32_t nTotal = 0;
    for (uint32_t k = 0; k < segments.GetSize(); ++k)
    {
        const CButtonSegment* pSegment = segments[k];
        uint32_t nExpected = k + 1 < segments.GetSize() ? segments[k + 1]->GetFirstVobu() : nCount;
        if (pSegment->GetVobuCount() == 0)
        {
            log.ReportError(FormatString("empty btn set: vob id=%d, cell id=%d, i=%d, first=%d", cell.GetVobId(),
                                         cell.GetCellId(), int(k), int(pSegment->GetFirstVobu())),
                            DVD_LOCATION);
            return false;
        }
        if (pSegment->GetFirstVobu() + pSegment->GetVobuCount() != nExpected)
        {
            log.ReportError(FormatString("buttons parsing: vob id=%d, cell id=%d, i=%d, first=%d, amount=%d, last=%d\n",
                                         cell.GetVobId(), cell.GetCellId(), int(k), int(pSegment->GetFirstVobu()),
                                         int(pSegment->GetVobuCount()), int(nExpected)),
                            DVD_LOCATION);
            return false;
        }
        nTotal += pSegment->GetVobuCount();
    }
    if (nTotal != nCount)
    {
        log.ReportError(FormatString("button sets do not cover whole cell: vob id=%d, cell id=%d, cnt=%d, tot=%d",
                                     cell.GetVobId(), cell.GetCellId(), int(nTotal), int(nCount)),
                        DVD_LOCATION);
        return false;
    }
    return true;
}
