// The right side of a project window: the logo where the disc tree selects
// no domain, otherwise the domain content window with its panes around it.
//
// This host places the panes itself, at the places their records give, in
// plain child windows: the strip along the top, the video information and
// the track panes on the right as pages of a system tab control, the domain
// content window in the rest. The panes cannot be moved, docked or hidden
// and no layout is stored; the docking host of the themed main window takes
// its place with the same interface.
#pragma once

#include "DvdGui/core/ViewLocation.h"
#include "DvdGui/source/DomainContentWnd.h"
#include "DvdGui/source/LogoWnd.h"
#include "DvdGui/source/PaneHost.h"

#include <memory>
#include <vector>

class CDvdObject;
class CFile;

// A pane's bar: a plain window whose one child fills it.
class CPaneBarWnd : public CWnd
{
public:
    CPaneBarWnd();
    BOOL Create(LPCTSTR lpszTitle, CWnd* pParent, UINT nID);

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    static CString s_strClassName;
};

// Where the domain content window and its pane bars live, placed by the
// records' defaults.
class CPaneAreaWnd : public CWnd, public CPaneHost
{
public:
    CPaneAreaWnd();
    ~CPaneAreaWnd() override;
    BOOL Create(CWnd* pParent);

    // Groups the panes that share a place as the records say and places
    // every pane again.
    void ResetLayout();
    void RecalcLayout();
    // The window that takes the space the panes leave.
    void SetContentWindow(CWnd* pContent) { m_pContent = pContent; }

    // The tab control of the group of panes that includes nPane; null for
    // a pane of its own.
    CWnd* GetGroupTabs(int nPane) const;
    // Shows the pane's page in its group.
    void ShowGroupPage(int nPane);

protected:
    CWnd* CreatePaneBar(LPCTSTR lpszTitle, CSize size) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    // The panes that share one place: the first docks at a side, the others
    // are its pages.
    struct CGroup
    {
        std::vector<int> panes;
        std::unique_ptr<CWnd> tabs;
        int selected = 0;
    };

    int RootOf(int nPane) const;
    void ShowSelectedPage(CGroup& group);

    std::vector<std::unique_ptr<CPaneBarWnd>> m_bars;
    std::vector<CGroup> m_groups;
    bool m_bInLayout = false;
    CWnd* m_pContent = nullptr;

    static CString s_strClassName;
};

class CContentPanesWnd : public CWnd
{
public:
    CContentPanesWnd();
    ~CContentPanesWnd() override;
    CContentPanesWnd(const CContentPanesWnd&) = delete;
    CContentPanesWnd& operator=(const CContentPanesWnd&) = delete;

    // False only when the window itself could not be made.
    virtual BOOL Create(LPCTSTR lpszTitle, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);

    // The Video Manager shows its menu domain, a title set its title domain,
    // a menu language unit the blocks its PGCs play; anything else, or no
    // node, the logo.
    void ShowNode(CDvdObject* pNode, int nFlag);
    // Empty while the logo shows.
    CDomainContentLocation GetLocation() const;
    void SetLocation(const CDomainContentLocation& location);
    // An edit is about to change the disc: nothing may read the blocks and
    // units shown until the view refills the panes.
    void OnActionBegun();
    void SetFont(CFont* pFont);
    void ResetLayout();
    // This host stores no layout.
    bool SaveLayoutFile(CFile& file);
    bool LoadLayoutFile(CFile& file);

    CDvdObject* GetNode() const { return m_pNode; }
    bool IsDomainShown() const { return m_pActive == &m_area; }
    CLogoWnd& GetLogo() { return m_logo; }
    CDomainContentWnd& GetDomainContent() { return m_domainContent; }
    CPaneAreaWnd& GetPaneArea() { return m_area; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void ShowActive();

    CDvdObject* m_pNode = nullptr;
    CWnd* m_pActive = nullptr;
    CLogoWnd m_logo;
    CPaneAreaWnd m_area;
    CDomainContentWnd m_domainContent;

    static CString s_strClassName;
};
