// The off-screen device context over a 32-bit canvas: filling, copying back,
// discarding, starting from the target's pixels, and drawing straight onto a
// printing target.
#include "uitoolkit/controls/ExtMemoryDC.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

struct Target
{
    kxgui::DibCanvas canvas{60, 40, RGB(255, 255, 255)};
    CDC dc;
    Target() { dc.Attach(canvas.Dc()); }
    ~Target() { dc.Detach(); }
};

TEST(ExtMemoryDC, DefaultFillsAndCopiesBackOnDestruction)
{
    Target t;
    t.dc.SetBkColor(RGB(10, 20, 30));
    {
        CExtMemoryDC mem(&t.dc, CRect(10, 10, 50, 30));
        ASSERT_TRUE(mem.m_bMemDC);
        ASSERT_NE(mem.m_hDC, t.dc.m_hDC);
        mem.FillSolidRect(20, 15, 5, 5, RGB(200, 0, 0)); // the target's coordinates
        EXPECT_EQ(t.canvas.Pixels().CountColor(RGB(255, 255, 255), CRect(0, 0, 60, 40)), 60 * 40);
    }
    const kxgui::PixelBuffer p = t.canvas.Pixels();
    EXPECT_EQ(p.CountColor(RGB(200, 0, 0), CRect(20, 15, 25, 20)), 25);
    EXPECT_EQ(p.CountColor(RGB(10, 20, 30), CRect(10, 10, 50, 30)), 40 * 20 - 25);
    EXPECT_EQ(p.At(9, 9), RGB(255, 255, 255));
    EXPECT_EQ(p.At(50, 30), RGB(255, 255, 255));
}

TEST(ExtMemoryDC, NullAreaBuffersTheClipBox)
{
    Target t;
    t.dc.SetBkColor(RGB(0, 0, 90));
    HRGN hClip = ::CreateRectRgn(5, 6, 25, 16);
    ::SelectClipRgn(t.dc.m_hDC, hClip);
    ::DeleteObject(hClip);
    {
        CExtMemoryDC mem(&t.dc, nullptr);
        EXPECT_EQ(mem.m_rect, CRect(5, 6, 25, 16));
    }
    ::SelectClipRgn(t.dc.m_hDC, nullptr);
    const kxgui::PixelBuffer p = t.canvas.Pixels();
    EXPECT_EQ(p.CountColor(RGB(0, 0, 90), CRect(0, 0, 60, 40)), 20 * 10);
    EXPECT_EQ(p.CountColor(RGB(0, 0, 90), CRect(5, 6, 25, 16)), 20 * 10);
}

TEST(ExtMemoryDC, FlushWithoutCopyLeavesTheTarget)
{
    Target t;
    {
        CExtMemoryDC mem(&t.dc, CRect(0, 0, 60, 40));
        mem.FillSolidRect(0, 0, 60, 40, RGB(0, 0, 0));
        mem.FlushAndRelease(false);
        EXPECT_EQ(mem.m_pDC, nullptr);
        mem.FlushAndRelease(true); // released: nothing more happens
    }
    EXPECT_EQ(t.canvas.Pixels().CountColor(RGB(255, 255, 255), CRect(0, 0, 60, 40)), 60 * 40);
}

TEST(ExtMemoryDC, CopySourceStartsFromTheTargetsPixels)
{
    Target t;
    t.dc.FillSolidRect(CRect(30, 20, 40, 25), RGB(0, 128, 0));
    {
        CExtMemoryDC mem(&t.dc, CRect(25, 15, 55, 35), CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_COPY_SOURCE);
        EXPECT_EQ(mem.GetPixel(32, 22), RGB(0, 128, 0));
        mem.FillSolidRect(45, 30, 4, 4, RGB(0, 0, 255));
    }
    const kxgui::PixelBuffer p = t.canvas.Pixels();
    EXPECT_EQ(p.CountColor(RGB(0, 128, 0), CRect(0, 0, 60, 40)), 50); // kept where it was
    EXPECT_EQ(p.CountColor(RGB(0, 0, 255), CRect(45, 30, 49, 34)), 16);
}

TEST(ExtMemoryDC, PrintingTargetIsDrawnOnDirectly)
{
    Target t;
    t.dc.m_bPrinting = TRUE;
    {
        CExtMemoryDC mem(&t.dc, CRect(0, 0, 60, 40));
        EXPECT_FALSE(mem.m_bMemDC);
        EXPECT_EQ(mem.m_hDC, t.dc.m_hDC);
        EXPECT_TRUE(mem.IsPrinting());
        mem.FillSolidRect(0, 0, 5, 5, RGB(1, 2, 3));
        EXPECT_EQ(t.canvas.Pixels().CountColor(RGB(1, 2, 3), CRect(0, 0, 5, 5)), 25);
    }
    // the borrowed handle survives the object
    EXPECT_EQ(::GetObjectType(t.dc.m_hDC), static_cast<DWORD>(OBJ_MEMDC));
}

TEST(ExtMemoryDC, DibSectionGivesItsBits)
{
    Target t;
    CExtMemoryDC mem(&t.dc, CRect(0, 0, 8, 4), CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_DIB_SECTION);
    ASSERT_NE(mem.m_pBits, nullptr);
    mem.FillSolidRect(0, 0, 8, 4, RGB(0x11, 0x22, 0x33));
    ::GdiFlush();
    EXPECT_EQ(static_cast<const uint32_t*>(mem.m_pBits)[0], 0x00112233u);
}

TEST(ExtMemoryDC, FailedDibSectionLeavesTheTarget)
{
    Target t;
    t.dc.SetBkColor(RGB(0, 0, 0));
    {
        // far too large for a DIB section: no surface is made
        CExtMemoryDC mem(&t.dc, CRect(0, 0, 100000, 100000),
                         CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_DIB_SECTION |
                             CExtMemoryDC::MDC_FILL_BACKGROUND);
        EXPECT_EQ(mem.m_pBits, nullptr);
        EXPECT_TRUE(mem.m_bMemDC);
    }
    // the empty memory context is not copied over the target
    EXPECT_EQ(t.canvas.Pixels().CountColor(RGB(255, 255, 255), CRect(0, 0, 60, 40)), 60 * 40);
}

} // namespace
