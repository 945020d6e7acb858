// Mini frames: tool windows owned by a frame, updated at idle time like
// every frame of the thread.
#include "framework/win/MiniFrameWnd.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

class CCountingMiniFrame : public CMiniFrameWnd
{
public:
    int* pIdleUpdates = nullptr;
    afx_msg LRESULT OnIdleUpdate(WPARAM wParam, LPARAM lParam)
    {
        ++*pIdleUpdates;
        return CMiniFrameWnd::OnIdleUpdateCmdUI(wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCountingMiniFrame, CMiniFrameWnd)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
END_MESSAGE_MAP()

TEST(MiniFrameTest, AToolFrameOwnedByItsFrameTakesPartInIdleUpdates)
{
    CWinApp app("Kestrelux");
    auto* pOwner = new CFrameWnd;
    ASSERT_TRUE(pOwner->Create(nullptr, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 300, 200)));
    int idleUpdates = 0;
    auto* pMini = new CCountingMiniFrame;
    pMini->pIdleUpdates = &idleUpdates;
    ASSERT_TRUE(pMini->Create(nullptr, "floating", WS_POPUP | WS_CAPTION | WS_VISIBLE | MFS_SYNCACTIVE | MFS_THICKFRAME,
                              CRect(50, 50, 200, 150), pOwner));
    EXPECT_TRUE(pMini->GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(pMini->GetStyle() & WS_THICKFRAME);
    EXPECT_EQ(pMini->m_dwMiniStyle, static_cast<DWORD>(MFS_SYNCACTIVE | MFS_THICKFRAME));
    EXPECT_EQ(::GetWindow(pMini->m_hWnd, GW_OWNER), pOwner->m_hWnd);
    EXPECT_TRUE(pMini->IsFrameWnd());
    const auto& frames = AfxGetThreadState()->m_frameList;
    EXPECT_NE(std::find(frames.begin(), frames.end(), pMini), frames.end());

    kxgui::PumpUntilIdle();
    app.OnIdle(0);
    EXPECT_GE(idleUpdates, 1);

    pMini->DestroyWindow(); // deletes itself
    EXPECT_EQ(std::find(frames.begin(), frames.end(), static_cast<CWnd*>(pMini)), frames.end());
    pOwner->DestroyWindow();
}

} // namespace
