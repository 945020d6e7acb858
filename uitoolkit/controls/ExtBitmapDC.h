// A memory device context compatible with another, with one bitmap selected
// into it for block transfers; the bitmap is deselected and the context
// deleted when the object goes, on every path.
#pragma once

#include "framework/win/Dc.h"

class CExtBitmapDC : public CDC
{
public:
    CExtBitmapDC(CDC& dc, HGDIOBJ hBitmap)
    {
        if (hBitmap != nullptr && CreateCompatibleDC(&dc))
            m_hOld = ::SelectObject(m_hDC, hBitmap);
    }
    ~CExtBitmapDC() override
    {
        if (m_hDC != nullptr)
        {
            if (m_hOld != nullptr)
                ::SelectObject(m_hDC, m_hOld);
            DeleteDC();
        }
    }
    CExtBitmapDC(const CExtBitmapDC&) = delete;
    CExtBitmapDC& operator=(const CExtBitmapDC&) = delete;

    // The bitmap is selected and transfers can go.
    bool IsReady() const { return m_hDC != nullptr && m_hOld != nullptr; }

private:
    HGDIOBJ m_hOld = nullptr;
};
