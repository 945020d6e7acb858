// The program's resource script as the windows use it: the main tool bar
// loaded by the toolkit's tool bar, and the tips of the system commands.
#include "DvdGui/source/Resource.h"
#include "framework/win/AfxRes.h"
#include "framework/win/FrameWnd.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtCmdItem.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const char kProfile[] = "KestreluxResourcesTest";
const COLORREF kTransparent = RGB(192, 192, 192);

std::string ResourceString(UINT nId)
{
    CString s;
    return s.LoadString(nId) ? std::string(s) : std::string("(absent)");
}

TEST(Resources, TheMainToolBarLoadsWithItsImagesAndTips)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerStudio2005));
    auto* pFrame = new CFrameWnd;
    ASSERT_TRUE(pFrame->Create(nullptr, "Kestrelux tool bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 480, 160)));
    ASSERT_TRUE(CExtControlBar::EnableFrameDocking(pFrame));
    ASSERT_TRUE(g_CmdManager->SetupProfile(kProfile, pFrame->m_hWnd));
    CExtToolControlBar bar;
    ASSERT_TRUE(bar.Create("Toolbar", pFrame, AFX_IDW_TOOLBAR, 0x5640283C));
    ASSERT_TRUE(bar.LoadToolBarResource(IDR_MAINFRAME, kTransparent));
    pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    pFrame->RecalcLayout();
    kxgui::Activate(pFrame->m_hWnd);
    kxgui::PumpUntilIdle();

    const std::vector<UINT> expected = {ID_FILE_OPEN,
                                        ID_FILE_SAVE,
                                        0,
                                        ID_IMPORT_DVD,
                                        ID_EXPORT_DVD,
                                        0,
                                        ID_EDIT_UNDO,
                                        ID_EDIT_REDO,
                                        0,
                                        ID_SKIP_BLANK_FRAMES,
                                        0,
                                        ID_APP_OPTIONS};
    std::vector<UINT> ids;
    for (int i = 0; i < bar.GetButtonsCount(); ++i)
        if (!bar.IsChevronButton(i))
            ids.push_back(bar.GetButton(i)->IsSeparator() ? 0 : bar.GetButton(i)->GetCmdID(false));
    EXPECT_EQ(ids, expected);
    for (UINT nId : expected)
    {
        if (nId == 0)
            continue;
        CExtCmdIcon* pIcon = g_CmdManager->GetCommandIcon(kProfile, nId);
        EXPECT_TRUE(pIcon != nullptr && !pIcon->IsEmpty()) << nId;
        const CExtCmdItem* pItem = g_CmdManager->FindCommand(kProfile, nId);
        ASSERT_NE(pItem, nullptr) << nId;
        EXPECT_FALSE(pItem->m_sTipTool.IsEmpty()) << nId;
    }
    EXPECT_STREQ(g_CmdManager->FindCommand(kProfile, ID_SKIP_BLANK_FRAMES)->m_sTipTool, "Skip blank frames");

    // the images' grey background is see-through
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(bar.m_hWnd);
    ASSERT_FALSE(shot.IsEmpty());
    EXPECT_EQ(shot.CountColor(kTransparent, RECT{0, 0, shot.width, shot.height}), 0);
    kxgui::SaveArtifact(shot, "main_toolbar.png");

    bar.DestroyWindow();
    pFrame->DestroyWindow();
    g_CmdManager->ResetProfile(kProfile);
    kxgui::PumpUntilIdle();
    g_PaintManager.InstallPaintManager(nullptr);
}

TEST(Resources, TheSystemCommandTipsAreTheProgramsOwn)
{
    const struct
    {
        UINT nId;
        const char* text;
    } cases[] = {
        {AFX_IDS_SCRESTORE, "Restore the window to normal size"},
        {AFX_IDS_SCMINIMIZE, "Reduce the window to an icon"},
        {AFX_IDS_SCMAXIMIZE, "Enlarge the window to full size"},
        {AFX_IDS_SCCLOSE, "Close the active window and prompts to save the projects"},
        {57669, "(absent)"}, // context help is not offered
        {AFX_IDS_IDLEMESSAGE, "Ready"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResourceString(c.nId), c.text) << c.nId;
}

} // namespace
