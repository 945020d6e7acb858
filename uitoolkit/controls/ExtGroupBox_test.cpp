// Group boxes and labels: where the frame and caption go in each frame
// style, and the text flags and colours of labels, seen through subclasses
// that record what the painting asks for.
#include "uitoolkit/controls/ExtGroupBox.h"
#include "uitoolkit/controls/ExtLabel.h"

#include "framework/win/Dc.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/support/ControlStage.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

class CRecordingGroupBox : public CExtGroupBox
{
public:
    CRect rcCaptionIn, rcCaptionOut, rcFrame;
    int nCaptions = 0, nFrames = 0;
    void DrawCaption(CDC& dc, CRect& rcCaption, const CString& sText, UINT nFlags, bool bEnabled) override
    {
        ++nCaptions;
        rcCaptionIn = rcCaption;
        CExtGroupBox::DrawCaption(dc, rcCaption, sText, nFlags, bEnabled);
        rcCaptionOut = rcCaption;
    }
    void DrawFrame(CDC& dc, const CRect& rc) override
    {
        ++nFrames;
        rcFrame = rc;
        CExtGroupBox::DrawFrame(dc, rc);
    }
};

class CRecordingLabel : public CExtLabel
{
public:
    std::vector<UINT> flags;
    void DrawLabelText(CDC& dc, const CRect& rc, const CString& sText, UINT nFlags, bool bEnabled) override
    {
        flags.push_back(nFlags);
        CExtLabel::DrawLabelText(dc, rc, sText, nFlags, bEnabled);
    }
};

class ExtStaticTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager)); }
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }

    static void Repaint(CWnd& wnd) { wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

    kxtest::ControlStage m_stage{320, 200, "Group boxes"};
};

TEST_F(ExtStaticTest, GroupFrameWithoutCaptionStartsSixPixelsDown)
{
    CRecordingGroupBox box;
    ASSERT_TRUE(box.Create("", WS_VISIBLE | BS_GROUPBOX, CRect(10, 10, 210, 110), &m_stage.Parent(), 301));
    Repaint(box);
    EXPECT_EQ(0, box.nCaptions);
    EXPECT_EQ(CRect(0, 6, 200, 100), box.rcFrame);
    EXPECT_NE(0u, box.GetStyle() & WS_CLIPCHILDREN);
}

TEST_F(ExtStaticTest, CaptionInterruptsTheFrame)
{
    CRecordingGroupBox box;
    box.m_nFrameStyle = CExtGroupBox::STYLE_ETCHED;
    ASSERT_TRUE(box.Create("Options", WS_VISIBLE | BS_GROUPBOX, CRect(10, 10, 210, 110), &m_stage.Parent(), 301));
    for (int nAlign : {CExtGroupBox::ALIGN_LEFT, CExtGroupBox::ALIGN_RIGHT, CExtGroupBox::ALIGN_CENTER})
    {
        box.m_nCaptionAlign = nAlign;
        Repaint(box);
        ASSERT_EQ(CRect(9, 0, 191, 100), box.rcCaptionIn) << nAlign;
        const CRect& rc = box.rcCaptionOut;
        ASSERT_GT(rc.Width(), 4) << nAlign;
        ASSERT_GT(rc.Height(), 0) << nAlign;
        EXPECT_EQ(0, rc.top) << nAlign;
        // the gap is 2 pixels wider than the text on each side
        const int nText = rc.Width() - 4;
        const int nLeft = nAlign == 0 ? 9 : nAlign == 1 ? 191 - nText : 9 + (182 - nText) / 2;
        EXPECT_EQ(nLeft - 2, rc.left) << nAlign;
        EXPECT_EQ(rc.Height() / 2, box.rcFrame.top) << nAlign;
    }
}

TEST_F(ExtStaticTest, HeaderStyleDrawsItsCaptionInTheFrame)
{
    CRecordingGroupBox box;
    box.m_nFrameStyle = CExtGroupBox::STYLE_CAPTION;
    ASSERT_TRUE(box.Create("Header", WS_VISIBLE | BS_GROUPBOX, CRect(10, 10, 210, 110), &m_stage.Parent(), 301));
    Repaint(box);
    EXPECT_EQ(1, box.nCaptions);
    EXPECT_TRUE(box.rcCaptionOut.IsRectEmpty());
    EXPECT_EQ(CRect(0, 0, 200, 100), box.rcFrame);
}

TEST_F(ExtStaticTest, CentredOneLineLabelsSitInTheMiddle)
{
    struct Case
    {
        const char* text;
        bool singleLine;
    };
    for (const Case& c : {Case{"one line", true}, Case{"two\r\nlines", false}})
    {
        CRecordingLabel label;
        ASSERT_TRUE(label.Create(c.text, WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, CRect(10, 10, 210, 60),
                                 &m_stage.Parent(), 302));
        Repaint(label);
        ASSERT_FALSE(label.flags.empty()) << c.text;
        const UINT nFlags = label.flags.back();
        EXPECT_EQ(c.singleLine, (nFlags & DT_SINGLELINE) != 0) << c.text;
        EXPECT_NE(0u, nFlags & DT_VCENTER) << c.text;
        label.DestroyWindow();
    }
}

TEST_F(ExtStaticTest, EtchedLabelsAreLeftToThePlatform)
{
    CRecordingLabel label;
    ASSERT_TRUE(label.Create("x", WS_VISIBLE | SS_ETCHEDHORZ, CRect(10, 10, 210, 12), &m_stage.Parent(), 302));
    Repaint(label);
    EXPECT_TRUE(label.flags.empty());
}

TEST_F(ExtStaticTest, DisabledLabelColours)
{
    CRecordingLabel label;
    ASSERT_TRUE(label.Create("text", WS_VISIBLE | SS_LEFT, CRect(10, 10, 210, 30), &m_stage.Parent(), 302));
    Repaint(label);
    const size_t nPaints = label.flags.size();
    label.EnableWindow(FALSE);
    EXPECT_GT(label.flags.size(), nPaints); // repainted at once
    EXPECT_EQ(g_PaintManager->GetColor(COLOR_BTNSHADOW), label.GetTextColorForPaint(false));
    EXPECT_EQ(g_PaintManager->GetColor(COLOR_BTNTEXT), label.GetTextColorForPaint(true));
    label.m_clrTextDisabled = RGB(9, 8, 7);
    EXPECT_EQ(RGB(9, 8, 7), label.GetTextColorForPaint(false));
}

} // namespace
