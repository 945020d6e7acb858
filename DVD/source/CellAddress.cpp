#include "DVD/source/CellAddress.h"

namespace
{

bool LessByIds(const CCellAddress* pFirst, const CCellAddress* pSecond)
{
    if (pFirst->m_wVobId != pSecond->m_wVobId)
        return pFirst->m_wVobId < pSecond->m_wVobId;
    if (pFirst->m_nCellId != pSecond->m_nCellId)
        return pFirst->m_nCellId < pSecond->m_nCellId;
    return pFirst->m_dwFirstSector < pSecond->m_dwFirstSector;
}

} // namespace

bool CompareCellAddressSectors(const CCellAddress* pFirst, const CCellAddress* pSecond)
{
    return pFirst->m_dwFirstSector < pSecond->m_dwFirstSector;
}

void SortCellAddresses(CCellAddress** ppEntries, int nLow, int nHigh,
                       bool (*pfnLess)(const CCellAddress*, const CCellAddress*))
{
    if (!pfnLess)
        pfnLess = LessByIds;
    while (nLow < nHigh)
    {
        const CCellAddress* pPivot = ppEntries[nLow + (nHigh - nLow) / 2];
        int i = nLow;
        int j = nHigh;
        while (i <= j)
        {
            while (pfnLess(ppEntries[i], pPivot))
                ++i;
            while (pfnLess(pPivot, ppEntries[j]))
                --j;
            if (i <= j)
            {
                CCellAddress* pSwap = ppEntries[i];
                ppEntries[i] = ppEntries[j];
                ppEntries[j] = pSwap;
                ++i;
                --j;
            }
        }
        // Recurse into the smaller part and loop over the larger one, so a
        // table of many thousand entries cannot exhaust the stack.
        if (j - nLow < nHigh - i)
        {
            if (nLow < j)
                SortCellAddresses(ppEntries, nLow, j, pfnLess);
            nLow = i;
        }
        else
        {
            if (i < nHigh)
                SortCellAddresses(ppEntries, i, nHigh, pfnLess);
            nHigh = j;
        }
    }
}

bool ReadCellAddressTable(const CIfoView& bytes, CCellAddressList& list)
{
    list.RemoveAll();
    list.SetGrowBy(2048);

    DWORD dwEnd = 0;
    if (!bytes.Get32(4, dwEnd) || dwEnd < CELL_ADDRESS_TABLE_HEADER_SIZE - 1)
        return false;
    const size_t nCount = (size_t(dwEnd) - (CELL_ADDRESS_TABLE_HEADER_SIZE - 1)) / CELL_ADDRESS_ENTRY_SIZE;
    if (!bytes.Contains(CELL_ADDRESS_TABLE_HEADER_SIZE, nCount * CELL_ADDRESS_ENTRY_SIZE))
        return false;

    for (size_t i = 0; i < nCount; ++i)
    {
        const BYTE* p = bytes.GetData() + CELL_ADDRESS_TABLE_HEADER_SIZE + i * CELL_ADDRESS_ENTRY_SIZE;
        CCellAddress* pEntry = new CCellAddress;
        pEntry->m_wVobId = GetBE16(p);
        pEntry->m_nCellId = p[2];
        pEntry->m_dwFirstSector = GetBE32(p + 4);
        pEntry->m_dwLastSector = GetBE32(p + 8);
        list.Add(pEntry);
    }
    return true;
}

bool ReadVobuAddressMap(const CIfoView& bytes, CVobuAddressList& list)
{
    list.SetSize(0);
    list.FreeExtra();
    list.SetGrowBy(4096);

    DWORD dwEnd = 0;
    if (!bytes.Get32(0, dwEnd))
        return false;
    const size_t nCount = dwEnd / 4;
    if (nCount > INT32_MAX / 4 || !bytes.Contains(VOBU_ADDRESS_MAP_HEADER_SIZE, nCount * 4))
        return false;

    list.SetSize(int32_t(nCount));
    for (size_t i = 0; i < nCount; ++i)
        list[int32_t(i)] = GetBE32(bytes.GetData() + VOBU_ADDRESS_MAP_HEADER_SIZE + 4 * i);
    return true;
}

size_t WriteCellAddressTable(BYTE* pDest, CCellAddressList& list)
{
    WORD wLastVobId = 0;
    uint32_t nKept = 0;
    if (list.GetSize() > 0)
    {
        SortCellAddresses(list.GetData(), 0, int(list.GetSize()) - 1);
        wLastVobId = list[list.GetSize() - 1]->m_wVobId;

        // Pieces of one cell that continue each other become one entry.
        CCellAddress** ppEntries = list.GetData();
        nKept = 1;
        for (uint32_t i = 1; i < list.GetSize(); ++i)
        {
            CCellAddress* pKept = ppEntries[nKept - 1];
            CCellAddress* pEntry = ppEntries[i];
            if (pEntry->m_wVobId == pKept->m_wVobId && pEntry->m_nCellId == pKept->m_nCellId &&
                pKept->m_dwLastSector != 0xFFFFFFFF && pEntry->m_dwFirstSector == pKept->m_dwLastSector + 1)
            {
                pKept->m_dwLastSector = pEntry->m_dwLastSector;
                delete pEntry;
            }
            else
            {
                ppEntries[nKept++] = pEntry;
            }
            if (i >= nKept)
                ppEntries[i] = nullptr;
        }
        list.SetSize(nKept);
    }

    PutBE16(pDest, wLastVobId);
    const size_t nSize = CELL_ADDRESS_TABLE_HEADER_SIZE + CELL_ADDRESS_ENTRY_SIZE * size_t(nKept);
    PutBE32(pDest + 4, DWORD(nSize - 1));
    for (uint32_t i = 0; i < nKept; ++i)
    {
        const CCellAddress* pEntry = list[i];
        BYTE* p = pDest + CELL_ADDRESS_TABLE_HEADER_SIZE + CELL_ADDRESS_ENTRY_SIZE * size_t(i);
        PutBE16(p, pEntry->m_wVobId);
        p[2] = pEntry->m_nCellId;
        PutBE32(p + 4, pEntry->m_dwFirstSector);
        PutBE32(p + 8, pEntry->m_dwLastSector);
    }
    return nSize;
}

size_t WriteVobuAddressMap(BYTE* pDest, const CVobuAddressList& list)
{
    const size_t nSize = VOBU_ADDRESS_MAP_HEADER_SIZE + 4 * size_t(list.GetSize());
    PutBE32(pDest, DWORD(nSize - 1));
    for (int32_t i = 0; i < list.GetSize(); ++i)
        PutBE32(pDest + VOBU_ADDRESS_MAP_HEADER_SIZE + 4 * size_t(i), list[i]);
    return nSize;
}
