#include "controls/custom/CustomWnd.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{

const UINT kProbeId = 401;
const COLORREF kParentColor = RGB(30, 140, 60);
const COLORREF kSelfColor = RGB(170, 40, 200);
const COLORREF kMarkColor = RGB(0, 0, 255);
const int kMark = 10;

// Selects its brush (when it has one) for the probe's background.
class CDrawParent : public CWnd
{
public:
    CBrush brush;

protected:
    afx_msg void OnDraw(NMHDR* pNMHDR, LRESULT* pResult)
    {
        NMCUSTOMWNDDRAW* pDraw = reinterpret_cast<NMCUSTOMWNDDRAW*>(pNMHDR);
        if (pDraw->dwStage == CWN_STAGE_BACKGROUND && brush.GetSafeHandle())
            pDraw->pDC->SelectObject(&brush);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDrawParent, CWnd)
ON_NOTIFY(CWN_DRAW, kProbeId, OnDraw)
END_MESSAGE_MAP()

// Paints its background on every layout and a mark in its bottom-right
// corner on every paint; tells the tests what its buffers hold.
class CProbeWnd : public CCustomWnd
{
public:
    static CString s_strClassName;
    CProbeWnd() : CCustomWnd(s_strClassName) {}

    CBrush selfBrush;
    std::vector<std::string> log;

    COLORREF BackPixel(int x, int y)
    {
        CBufferedDC dc(this, FALSE);
        return dc.GetPixel(x, y);
    }
    CSize BufferSize(bool bFront)
    {
        BITMAP bm = {};
        (bFront ? m_bmFront : m_bmBack).GetBitmap(&bm);
        return CSize(bm.bmWidth, bm.bmHeight);
    }
    CFont* OwnFont() { return &m_font; }

protected:
    void OnCreated() override { log.push_back("created"); }
    void OnLayout() override
    {
        log.push_back("layout");
        PaintBackground();
    }
    void OnEnableChanged(BOOL bEnabled) override { log.push_back(bEnabled ? "enabled" : "disabled"); }
    void OnDrawNotify(DWORD dwStage, CDC* pDC) override
    {
        log.push_back("self " + std::to_string(dwStage));
        if (selfBrush.GetSafeHandle())
            pDC->SelectObject(&selfBrush);
    }
    void Draw(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(rc.right - kMark, rc.bottom - kMark, kMark, kMark, kMarkColor);
    }
};
CString CProbeWnd::s_strClassName;

class CustomWndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hHost = kxgui::CreateTestWindow(320, 240, "Custom windows");
        ASSERT_NE(m_hHost, nullptr);
        ASSERT_TRUE(m_parent.Create(nullptr, "parent", WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 320, 240),
                                    CWnd::FromHandle(m_hHost), 1));
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        AfxDeleteTempMaps();
    }
    HWND m_hHost = nullptr;
    CDrawParent m_parent;
};

// Two subclasses with the same class parameters, used by one test only, so
// their names are still empty when it starts.
class CFirstKind : public CCustomWnd
{
public:
    static CString s_strClassName;
    CFirstKind() : CCustomWnd(s_strClassName) {}
};
CString CFirstKind::s_strClassName;

class CSecondKind : public CCustomWnd
{
public:
    static CString s_strClassName;
    CSecondKind() : CCustomWnd(s_strClassName) {}
};
CString CSecondKind::s_strClassName;

TEST_F(CustomWndTest, EachSubclassRegistersOnceAndKeepsItsOwnCopyOfTheName)
{
    ASSERT_TRUE(CFirstKind::s_strClassName.IsEmpty());
    CFirstKind first;
    CString name = CFirstKind::s_strClassName;
    ASSERT_FALSE(name.IsEmpty());

    // Another combination overwrites the framework's buffer...
    LPCTSTR pszBuffer = AfxRegisterWndClass(CS_OWNDC, nullptr);
    std::string other = pszBuffer;
    ASSERT_NE(other, std::string(name));
    // ...which a second instance of the same subclass neither rewrites
    // (no second registration) nor follows (its name is a copy).
    CFirstKind again;
    EXPECT_EQ(std::string(pszBuffer), other);
    EXPECT_EQ(CFirstKind::s_strClassName, name);
    ASSERT_TRUE(again.Create("again", WS_CHILD | WS_VISIBLE, CRect(0, 0, 40, 40), &m_parent, 2));
    char szClass[128] = {};
    ::GetClassNameA(again.m_hWnd, szClass, sizeof(szClass));
    EXPECT_EQ(std::string(szClass), std::string(name));

    // the same parameters give the same system class, in a string of its own
    CSecondKind second;
    EXPECT_EQ(CSecondKind::s_strClassName, name);
    EXPECT_NE(static_cast<LPCTSTR>(CSecondKind::s_strClassName), static_cast<LPCTSTR>(CFirstKind::s_strClassName));
    EXPECT_NE(static_cast<LPCTSTR>(CSecondKind::s_strClassName), pszBuffer);
    again.DestroyWindow();
}

TEST_F(CustomWndTest, CreationClipsChildrenAndRunsTheHooksInOrder)
{
    CProbeWnd probe;
    ASSERT_TRUE(probe.Create("probe", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 70), &m_parent, kProbeId));
    EXPECT_TRUE(probe.GetStyle() & WS_CLIPCHILDREN);
    ASSERT_GE(probe.log.size(), 2u);
    EXPECT_EQ(probe.log[0], "created");
    EXPECT_EQ(probe.log[1], "layout");
    EXPECT_EQ(std::count(probe.log.begin(), probe.log.end(), "created"), 1);

    probe.log.clear();
    probe.EnableWindow(FALSE);
    probe.EnableWindow(TRUE);
    EXPECT_EQ(probe.log, (std::vector<std::string>{"disabled", "enabled"}));
    probe.DestroyWindow();
}

struct BackgroundCase
{
    const char* name;
    bool parentBrush;
    bool selfBrush;
    COLORREF expected;
};

TEST_F(CustomWndTest, TheBackgroundIsInTheBrushChosenForTheDrawingNotification)
{
    const BackgroundCase cases[] = {
        {"nobody chooses", false, false, RGB(255, 255, 255)},
        {"the parent chooses", true, false, kParentColor},
        {"the window chooses", false, true, kSelfColor},
        // the window sees it first, its parent last
        {"both choose", true, true, kParentColor},
    };
    for (const BackgroundCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_parent.brush.DeleteObject();
        if (c.parentBrush)
            m_parent.brush.CreateSolidBrush(kParentColor);
        CProbeWnd probe;
        if (c.selfBrush)
            probe.selfBrush.CreateSolidBrush(kSelfColor);
        ASSERT_TRUE(probe.Create("probe", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 70), &m_parent, kProbeId));
        EXPECT_EQ(probe.BackPixel(0, 0), c.expected);
        EXPECT_EQ(probe.BackPixel(99, 59), c.expected);
        probe.DestroyWindow();
    }
}

TEST_F(CustomWndTest, WithoutParentTheBackgroundIsWhite)
{
    CProbeWnd probe;
    probe.selfBrush.CreateSolidBrush(kSelfColor);
    ASSERT_TRUE(probe.CreateEx(WS_EX_TOOLWINDOW, "alone", WS_POPUP, CRect(0, 0, 50, 30), nullptr, 0));
    // no parent: no notification at all, not even to the window itself
    EXPECT_EQ(std::count(probe.log.begin(), probe.log.end(), "self 1"), 0);
    EXPECT_EQ(probe.BackPixel(5, 5), RGB(255, 255, 255));
    probe.DestroyWindow();
}

TEST_F(CustomWndTest, GetFontIsTheWindowsOwnCopy)
{
    CProbeWnd probe;
    ASSERT_TRUE(probe.Create("probe", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 70), &m_parent, kProbeId));
    EXPECT_EQ(probe.GetFont(), probe.OwnFont());
    EXPECT_EQ(probe.GetFont()->GetSafeHandle(), nullptr);

    LOGFONTA lf = {};
    lf.lfHeight = -17;
    std::strcpy(lf.lfFaceName, "Arial");
    {
        CFont font;
        ASSERT_TRUE(font.CreateFontIndirect(&lf));
        probe.SetFont(&font, FALSE);
        EXPECT_NE(probe.GetFont()->GetSafeHandle(), font.GetSafeHandle());
    }
    // the caller's font is gone, the copy lives on
    LOGFONTA copy = {};
    ASSERT_NE(probe.GetFont()->GetSafeHandle(), nullptr);
    ASSERT_TRUE(probe.GetFont()->GetLogFont(&copy));
    EXPECT_EQ(copy.lfHeight, -17);
    EXPECT_STREQ(copy.lfFaceName, "Arial");
    probe.DestroyWindow();
}

TEST_F(CustomWndTest, AfterAResizeBothBuffersHaveTheNewSizeAndNothingIsLeftOver)
{
    m_parent.brush.CreateSolidBrush(kParentColor);
    CProbeWnd probe;
    ASSERT_TRUE(probe.Create("probe", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 70), &m_parent, kProbeId));
    probe.UpdateWindow();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(probe.BufferSize(false), CSize(100, 60));
    EXPECT_EQ(probe.BufferSize(true), CSize(100, 60));

    probe.MoveWindow(10, 10, 170, 110);
    kxgui::PumpUntilIdle();
    EXPECT_EQ(probe.BufferSize(false), CSize(170, 110));
    EXPECT_EQ(probe.BufferSize(true), CSize(170, 110));

    kxgui::PixelBuffer shot = kxgui::CaptureScreen(probe.m_hWnd);
    ASSERT_EQ(shot.width, 170);
    ASSERT_EQ(shot.height, 110);
    // one mark, in the new corner; the old corner shows the background
    EXPECT_EQ(shot.CountColor(kMarkColor, RECT{0, 0, 170, 110}), kMark * kMark);
    EXPECT_EQ(shot.CountColor(kMarkColor, RECT{160, 100, 170, 110}), kMark * kMark);
    EXPECT_EQ(shot.CountColor(kParentColor, RECT{0, 0, 170, 110}), 170 * 110 - kMark * kMark);
    probe.DestroyWindow();
}

} // namespace
