// The plus and minus boxes of tree views: two 9 x 9 pictures stored as whole
// 24-bit bitmap files, loaded into command icons by the themes.
#pragma once

#include "framework/core/AfxTypes.h"

class CExtTreeBoxImages
{
public:
    static const UINT g_nFileSize = 306;
    // The bitmap file of the minus box (bExpanded) or of the plus box.
    static const BYTE* GetFile(bool bExpanded);
};
