// The two address tables of a VOB domain: the cell address table (C_ADT),
// which gives the sector range of every piece of every cell, and the VOBU
// address map (VOBU_ADMAP), which lists the start sector of every VOBU.
// Sector numbers count from the first sector of the domain's VOB data.
#pragma once

#include "DVD/source/IfoView.h"
#include "Shared/source/DvdArray.h"

#include <cstdint>

// One C_ADT entry.
struct CCellAddress
{
    WORD m_wVobId = 0;
    BYTE m_nCellId = 0;
    DWORD m_dwFirstSector = 0;
    DWORD m_dwLastSector = 0; // inclusive
};

// The C_ADT of one domain, in table order.
class CCellAddressList : public CDvdPtrArray<CCellAddress>
{
};

// The VOBU_ADMAP of one domain: VOBU start sectors in table order.
class CVobuAddressList : public CGrowArray<DWORD>
{
};

const size_t CELL_ADDRESS_TABLE_HEADER_SIZE = 8;
const size_t CELL_ADDRESS_ENTRY_SIZE = 12;
const size_t VOBU_ADDRESS_MAP_HEADER_SIZE = 4;

// True when the first entry starts at a lower sector than the second.
bool CompareCellAddressSectors(const CCellAddress* pFirst, const CCellAddress* pSecond);

// Sorts the pointers from nLow to nHigh (inclusive) in place. Without a
// comparator the order is VOB id, cell id, first sector, all ascending.
void SortCellAddresses(CCellAddress** ppEntries, int nLow, int nHigh,
                       bool (*pfnLess)(const CCellAddress*, const CCellAddress*) = nullptr);

// The readers replace the list with the table's entries. They answer false,
// leaving the list empty, when the end address does not lie inside the bytes
// of the view (the callers report which table failed).
bool ReadCellAddressTable(const CIfoView& bytes, CCellAddressList& list);
bool ReadVobuAddressMap(const CIfoView& bytes, CVobuAddressList& list);

// Sorts the list, merges the pieces of one cell that follow each other
// without a gap (the list keeps the table as written), then writes it. The
// destination holds at least the size of the merged table, zeroed. Both
// answer the number of bytes written.
size_t WriteCellAddressTable(BYTE* pDest, CCellAddressList& list);
size_t WriteVobuAddressMap(BYTE* pDest, const CVobuAddressList& list);
