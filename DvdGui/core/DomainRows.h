// The rows the disc tree and the domain panes show, without the windows:
// the size of a tree node, the warning of a disc over the target size, the
// delete entry of a menu language unit and the rows of the video
// attributes.
#pragma once

#include "DVD/source/StreamSet.h"
#include "framework/core/CString.h"

#include <cstdint>
#include <vector>

class CDvdObject;

// The "Size" column of a tree node: the disc's output, the Video Manager's
// menu VOB, a title set's IFO twice (with its backup) and both VOB sets, or
// the blocks a menu language unit plays. 0 for any other kind.
uint64_t GetTreeNodeSize(CDvdObject* pNode);

// The tip of a disc larger than nTargetMb megabytes; empty when it fits.
CString GetOverTargetTip(uint64_t nSize, int nTargetMb);

// The menu text that deletes a menu language unit: the code as letters, or
// nothing in place of the code when it is not two letters.
CString GetDeleteMenusText(WORD wLanguage);

struct CVideoInfoRow
{
    CString strField;
    CString strValue;
};
// Format, display and (for 16:9 video) the conversions to 4:3.
std::vector<CVideoInfoRow> GetVideoInfoRows(const CVideoAttributes& video);
