// The frame the toolkit's docking tests build their layouts in, answering
// the bars' registered messages as the editor's frames do, and a canonical
// text of a frame's docking layout that the tests compare with.
#pragma once

#include "framework/win/FrameWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"

#include <string>
#include <vector>

class CTestDockFrame : public CFrameWnd
{
public:
    // Which of the editor's frames the test frame answers like.
    enum class Kind
    {
        MainFrame,    // builds no bars menu; sets the docking style by command
        BarHostFrame, // builds every bars menu but the tool bar chevron's
        PlainFrame,   // leaves every bars menu to the toolkit
    };
    // Docking-type commands of the main frame's menu.
    enum : UINT
    {
        IdDockingByTheme = 32800,
        IdDockingOutline = 32801,
        IdDockingMarkers = 32802,
    };

    struct PopupMenuRecord
    {
        WORD nEventType;
        CExtPopupMenuWnd* pPopupMenu;
        HWND hWndSource;
        UINT nSourceMessage;
        POINT ptScreen;
        bool bPostNotification;
    };
    struct TrackedAreaRecord
    {
        CExtControlBar* pBar;
        int nShape;
        RECT rc;
        BYTE nFlags;
    };

    explicit CTestDockFrame(Kind kind = Kind::MainFrame) : m_kind(kind) {}
    // A visible overlapped frame at a screen rectangle.
    bool CreateTestFrame(const RECT& rcScreen, LPCTSTR lpszTitle = "Kestrelux docking test");

    Kind m_kind;
    std::vector<PopupMenuRecord> m_arrPopupMenuEvents;
    std::vector<TrackedAreaRecord> m_arrTrackedAreas;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override {}
    afx_msg void OnDockingType(UINT nID);
    afx_msg void OnUpdateDockingType(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};

// Every dock bar of the frame's sides (side, id, circle, class, rows with
// bar ids, "~" before a hidden bar and placeholders in brackets; under a
// row, each container of it with the rows of its nested dock bar), then
// every floating frame with its screen rectangle and rows.
std::string DumpDockLayout(CFrameWnd* pFrame);
