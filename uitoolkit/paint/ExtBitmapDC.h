// A memory device context with one bitmap selected for its whole life: the
// bitmap is deselected and the context deleted with the object, so the
// bitmap is free again afterwards.
#pragma once

#include "framework/win/Dc.h"

class CExtBitmapDC : public CDC
{
public:
    // Compatible with hCompatible, or with the screen when null.
    explicit CExtBitmapDC(HBITMAP hBitmap, HDC hCompatible = nullptr)
    {
        if (Attach(::CreateCompatibleDC(hCompatible)) && hBitmap != nullptr)
            m_hOldBitmap = ::SelectObject(m_hDC, hBitmap);
    }
    ~CExtBitmapDC() override
    {
        if (m_hOldBitmap != nullptr)
            ::SelectObject(m_hDC, m_hOldBitmap);
    }
    CExtBitmapDC(const CExtBitmapDC&) = delete;
    CExtBitmapDC& operator=(const CExtBitmapDC&) = delete;

    bool IsValid() const { return m_hDC != nullptr; }

private:
    HGDIOBJ m_hOldBitmap = nullptr;
};
