// The framework layer's portable core in one include.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/AfxTypes.h"
#include "framework/core/CArchive.h"
#include "framework/core/CArray.h"
#include "framework/core/CCriticalSection.h"
#include "framework/core/CException.h"
#include "framework/core/CFile.h"
#include "framework/core/CList.h"
#include "framework/core/CMap.h"
#include "framework/core/CMemFile.h"
#include "framework/core/CObject.h"
#include "framework/core/CString.h"
