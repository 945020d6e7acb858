// Resource ids of the toolkit's own dialogs. A program's resource script
// includes ExtControls.rc, as it includes the framework's AfxRes.rc.
#pragma once

// the MDI windows list
#define IDD_EXT_MDI_WINDOWS_LIST 30292
#define IDC_EXT_MDI_ACTIVATE 30293
#define IDC_EXT_MDI_CASCADE 30294
#define IDC_EXT_MDI_MINIMIZE 30295
#define IDC_EXT_MDI_TILE_HORZ 30296
#define IDC_EXT_MDI_TILE_VERT 30297
#define IDC_EXT_MDI_LIST 30298
#define IDC_EXT_MDI_LABEL 30299
#define IDC_EXT_MDI_CLOSE 30300
#define IDC_EXT_MDI_SAVE 30301
