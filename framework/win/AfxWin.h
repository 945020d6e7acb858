// The framework's window layer in one include: message maps, command
// routing, windows, the message loop, drawing, menus and controls.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CException.h"
#include "framework/core/CObject.h"
#include "framework/core/CString.h"
#include "framework/win/AfxMsg.h"
#include "framework/win/AfxRes.h"
#include "framework/win/AfxState.h"
#include "framework/win/CmdTarget.h"
#include "framework/win/Controls.h"
#include "framework/win/Dc.h"
#include "framework/win/GdiObjects.h"
#include "framework/win/ImageList.h"
#include "framework/win/Menu.h"
#include "framework/win/MessageBox.h"
#include "framework/win/WinThread.h"
#include "framework/win/Wnd.h"
