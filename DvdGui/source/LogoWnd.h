// The window a project window shows where no domain is selected: the
// program's picture, centred a little below the middle, with the line
// "Make your disk lighter." right above it.
#pragma once

#include "controls/custom/CustomWnd.h"
#include "framework/win/Dc.h"
#include "framework/win/GdiObjects.h"

class CLogoWnd : public CCustomWnd
{
public:
    CLogoWnd();

    void OnCreated() override;
    void OnLayout() override;
    void PaintBackground() override;

    // The picture's place in a client rectangle.
    static CPoint GetPicturePosition(const CRect& rcClient, CSize picture);

private:
    CBitmap m_bitmap;
    BITMAP m_bitmapInfo = {};
    CDC m_memDC;

    static CString s_strClassName;
};
