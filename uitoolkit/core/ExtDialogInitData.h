// Dialog-init data (resource type 240): records that fill a dialog's list
// and combo boxes when it opens. Each record is a 16-bit control id, a
// 16-bit message, a 32-bit length and that many bytes of text; a control id
// of 0 ends the list.
//
// Platform-free so the walk over the untrusted resource bytes is tested
// natively; the dialog bases send what it finds.
#pragma once

#include "framework/core/AfxTypes.h"

#include <string>
#include <vector>

struct ExtDialogInitRecord
{
    WORD nControlId = 0;
    WORD nMessage = 0;
    // The data as text: up to its first zero byte.
    std::string sText;
};

// The records before the ending one, in order. The walk also stops at the
// end of the data: a record that would run past it ends the list.
std::vector<ExtDialogInitRecord> ParseDialogInitData(const BYTE* pData, size_t nSize);
