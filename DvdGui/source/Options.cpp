#include "DvdGui/source/Options.h"

#include "DVD/source/button.h"
#include "DvdGui/source/DvdDoc.h"

#include <algorithm>

bool g_bSkipBlankFrames = true;
int g_nSkipBlankDecoderFlag = 4;
bool g_bShowSizes = true;
int g_nTargetSize = TARGET_SIZE_DVD5;
int g_nButtonLinkPointers = 3;
bool g_bShowPreviewInfo = true;

namespace
{
int ReadInt(LPCTSTR lpszKey, int nDefault)
{
    return static_cast<int>(AfxGetApp()->GetProfileInt(OPTIONS_SECTION, lpszKey, nDefault));
}
bool ReadFlag(LPCTSTR lpszKey)
{
    return ReadInt(lpszKey, 1) != 0;
}
int ReadAtLeastOne(LPCTSTR lpszKey, int nDefault)
{
    const int n = ReadInt(lpszKey, nDefault);
    return n <= 0 ? 1 : n;
}
CString ReadText(LPCTSTR lpszKey)
{
    return AfxGetApp()->GetProfileString(OPTIONS_SECTION, lpszKey, "");
}
} // namespace

int GetOptionRevisionLimit()
{
    return ReadInt("REV", 10);
}
int GetOptionTargetSize()
{
    return ReadInt("SZ", TARGET_SIZE_DVD5);
}
bool GetOptionSkipBlankFrames()
{
    return ReadFlag("SB");
}
void SetOptionSkipBlankFrames(bool bSkip)
{
    AfxGetApp()->WriteProfileInt(OPTIONS_SECTION, "SB", bSkip ? 1 : 0);
}
int GetOptionButtonLinkPointers()
{
    return ReadInt("BLDP", 3);
}
bool GetOptionShowSizes()
{
    return ReadFlag("OPSS");
}
bool GetOptionShowPreviewInfo()
{
    return ReadFlag("OPSPI");
}
int GetOptionBovDuration()
{
    return ReadAtLeastOne("INC", 6);
}
bool GetOptionAutoBypass()
{
    return ReadFlag("ABP");
}
bool GetOptionCutMotionMenus()
{
    return ReadFlag("CUT");
}
int GetOptionSceneCutDuration()
{
    return ReadAtLeastOne("DUR", 5);
}
int GetOptionMenuCutDuration()
{
    return ReadAtLeastOne("MDUR", 5);
}
CString GetOptionImportFolder()
{
    return ReadText("IMP");
}
CString GetOptionExportFolder()
{
    return ReadText("EXP");
}
CString GetOptionTestExportFolder()
{
    return ReadText("EXPTST");
}
CString GetOptionModifiedExportFolder()
{
    return ReadText("EXPMOD");
}

CFontInfo& GetOptionFont()
{
    static CFontInfo s_font;
    return s_font;
}

void LoadOptionFont()
{
    CFontInfo& font = GetOptionFont();
    font.CopyFrom(*CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
    // a damaged text keeps the stock font
    font.FromString(AfxGetApp()->GetProfileString(OPTIONS_SECTION, "FNT", font.ToString()));
}

void ApplyOptions()
{
    g_bSkipBlankFrames = GetOptionSkipBlankFrames();
    g_nSkipBlankDecoderFlag = g_bSkipBlankFrames ? 4 : 0;
    g_bShowSizes = GetOptionShowSizes();
    g_nTargetSize = GetOptionTargetSize();
    g_nButtonLinkPointers = GetOptionButtonLinkPointers();
    g_bShowPreviewInfo = GetOptionShowPreviewInfo();
    g_nBovShortestDuration = static_cast<uint16_t>(std::min(GetOptionBovDuration(), 0xFFFF));
    g_nRevisionLimit = GetOptionRevisionLimit();
}
