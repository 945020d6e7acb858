// The export of VOB content into new VOB files: the numbering of a domain's
// cells, the runs of plain and interleaved blocks, each ILVU piece VOBU by
// VOBU with its NAV packs prepared for the new disc, the still pictures made
// from a source VOBU's first reference picture, and the address tables
// (C_ADT, VOBU_ADMAP) that describe what was written.
#pragma once

#include "DVD/source/AngleBlock.h"
#include "DVD/source/CellAddress.h"
#include "framework/core/AfxTypes.h"

#include <cstdint>
#include <vector>

class CDiskVobFile;
class CDvdLog;
class CDvdProgress;
class CStillSource;
class CVobCell;

// A VOB group holds at most this many cells: the cell id is one byte.
const uint32_t MAX_CELLS_PER_VOB = 255;

// The packs of a still picture: a copy of the source NAV sector, then the
// video packs up to the end of the first reference picture, its temporal
// reference 0, its GOP closed, its PTS dwPts, every pack's SCR 0 (the VOB
// writer clocks them on from the NAV pack), and a sequence end code behind
// the picture. False when a source sector cannot be read or the NAV pack's
// reference address does not lie inside its VOBU.
bool WriteStillPicture(const CStillSource& still, DWORD dwPts, std::vector<BYTE>& out);

// Gives every ILVU of the domain the vob id and cell id it carries in the
// new files (ILVUs whose times continue one another share a vob id), their
// VOB's time range, and sets the precedes-interleaved flags.
void AssignVobCellIds(CAngleBlockList& domain);

// Writes piece nPiece of the ILVU (one C_ADT range) through the writer,
// keeping only the audio and sub-picture streams of the masks; appends its
// C_ADT entry and VOBU start sectors. Answers the bytes the piece adds, 0 on
// failure (the log says why).
uint64_t ExportVobus(CVobCell& ilvu, CDvdLog& log, CDiskVobFile& writer, uint32_t nPiece, BYTE nKeptAudio,
                     DWORD dwKeptSubpictures, CCellAddressList& cells, CVobuAddressList& vobus,
                     CDvdProgress* pProgress);

// One run: a block that is not interleaved, or consecutive interleaved
// blocks, whose pieces are written in source order.
bool WriteBlockRun(CDvdLog& log, const CAngleBlockArray& run, BYTE nKeptAudio, DWORD dwKeptSubpictures,
                   CDiskVobFile& writer, CCellAddressList& cells, CVobuAddressList& vobus, CDvdProgress* pProgress);

// Writes the domain, dropping the physical streams no PGC of it selects.
bool WriteVobs(CAngleBlockList& domain, CDvdLog& log, CDiskVobFile& writer, CCellAddressList& cells,
               CVobuAddressList& vobus, CDvdProgress* pProgress);
// The same with the streams to keep given.
bool WriteVobsKeeping(CAngleBlockList& domain, BYTE nKeptAudio, DWORD dwKeptSubpictures, CDvdLog& log,
                      CDiskVobFile& writer, CCellAddressList& cells, CVobuAddressList& vobus, CDvdProgress* pProgress);

// Both tables again from the ILVUs' output of the last export, without
// writing: C_ADT entries in block order, VOBU starts in ascending order.
void BuildAddressTables(const CAngleBlockList& domain, CCellAddressList& cells, CVobuAddressList& vobus);
