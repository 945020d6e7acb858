// The user's options: one getter per registry value of the section
// "Kestrelux Options", read on every call with its default and rule, the
// option font, and the process-wide copies that ApplyOptions refreshes for
// the engine and the views.
#pragma once

#include "controls/custom/FontInfo.h"
#include "framework/win/AfxWin.h"

#define OPTIONS_SECTION "Kestrelux Options"

// The target size of a single-layer disc in megabytes of 1048576 bytes.
const int TARGET_SIZE_DVD5 = 4486;
// The "INC" value that turns the button-over-video search off.
const int BOV_DURATION_NO_SEARCH = 1000;

int GetOptionRevisionLimit();    // "REV": kept revisions
int GetOptionTargetSize();       // "SZ": megabytes
bool GetOptionSkipBlankFrames(); // "SB"
void SetOptionSkipBlankFrames(bool bSkip);
int GetOptionButtonLinkPointers();       // "BLDP": 0 none, 1 center, 2 inside, 3 outside
bool GetOptionShowSizes();               // "OPSS": sizes in the disc tree
bool GetOptionShowPreviewInfo();         // "OPSPI": information in the cell preview
int GetOptionBovDuration();              // "INC": half seconds, at least 1
bool GetOptionAutoBypass();              // "ABP": bypass hidden parts before export
bool GetOptionCutMotionMenus();          // "CUT"
int GetOptionSceneCutDuration();         // "DUR": seconds, at least 1
int GetOptionMenuCutDuration();          // "MDUR": seconds, at least 1
CString GetOptionImportFolder();         // "IMP"
CString GetOptionExportFolder();         // "EXP"
CString GetOptionTestExportFolder();     // "EXPTST"
CString GetOptionModifiedExportFolder(); // "EXPMOD"

// The disc view's font, kept as "FNT".
CFontInfo& GetOptionFont();
// The stock GUI font in black, then "FNT" over it when the text is whole.
void LoadOptionFont();

// The options as last applied.
extern bool g_bSkipBlankFrames;
extern int g_nSkipBlankDecoderFlag; // 4 while blank frames are skipped, else 0
extern bool g_bShowSizes;
extern int g_nTargetSize;
extern int g_nButtonLinkPointers;
extern bool g_bShowPreviewInfo;

// Copies the options the engine and the views read into their process-wide
// values (the engine's button-over-video step and the revision limit
// among them).
void ApplyOptions();
