// The interface through which a content window asks its host for the panes
// around it and declares where they go by default. The host makes one bar
// window per pane (the pane's window goes inside it) and places the bars
// from the records.
#pragma once

#include "framework/win/AfxWin.h"

#include <memory>
#include <vector>

// Dock-bar ids of the host's sides.
enum : UINT
{
    PANE_DOCK_TOP = 0xE81B,
    PANE_DOCK_LEFT = 0xE81C,
    PANE_DOCK_RIGHT = 0xE81D,
    PANE_DOCK_BOTTOM = 0xE81E,
};

struct CPaneRecord
{
    CString title;
    CWnd* bar = nullptr; // made and owned by the host
    int width = 0;       // the default size in pixels
    int height = 0;
    int32_t dockIndex = -1; // the record this pane docks into or beside; -1: a side of the host
    UINT dockPlace = 0;     // with dockIndex -1, the side's dock-bar id
    int percent = 50;
    BYTE tabbed = 0; // a tab of the pane at dockIndex
    BYTE autoHide = 0;
};

class CPaneHost
{
public:
    virtual ~CPaneHost();

    // A tab of the pane at nIndex, its size; the new record's index, -1 when
    // no bar was made.
    int AddTabbedPane(LPCTSTR lpszTitle, int nIndex);
    int AddPane(LPCTSTR lpszTitle, int nWidth, int nHeight, UINT nDockPlace, BYTE bAutoHide, int nDockIndex,
                int nPercent);

    int GetPaneCount() const { return int(m_panes.size()); }
    // Null for an index out of range.
    const CPaneRecord* GetPane(int nIndex) const;

protected:
    // The bar for a new pane, or null.
    virtual CWnd* CreatePaneBar(LPCTSTR lpszTitle, CSize size) = 0;

    std::vector<std::unique_ptr<CPaneRecord>> m_panes;
};
