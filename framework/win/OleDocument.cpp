#include "framework/win/OleDocument.h"

IMPLEMENT_DYNAMIC(COleDocument, CDocument)
IMPLEMENT_DYNAMIC(CPreviewView, CScrollView)
