// Resource numbers of the tree-list control's bitmaps and cursors. A
// program's resource script includes TreeListRes.rc so that the control
// finds them in the program's resources.
#pragma once

#define IDB_TREELIST_BKGND 8000
#define IDB_TREELIST_BKGND_DISABLED 8011
#define IDB_TREELIST_CHECKS 8003
#define IDB_TREELIST_LOCKS 8004
#define IDB_TREELIST_IMAGES 8008
#define IDB_TREELIST_SORTMARKS 8009
#define IDB_TREELIST_COLUMNIMAGES 8010

#define IDC_TREELIST_DIVIDER 8002
#define IDC_TREELIST_DIVIDER_HIDDEN 8011
#define IDC_TREELIST_BUTTON 8005
#define IDC_TREELIST_CHECK 8006
#define IDC_TREELIST_LOCK 8007
#define IDC_TREELIST_DROP 8015
#define IDC_TREELIST_NODROP 8016
