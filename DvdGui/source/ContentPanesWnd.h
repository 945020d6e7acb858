// The right side of a project window: the logo where the disc tree selects
// no domain, otherwise the inner frame with the domain content window and
// its panes docked around it.
#pragma once

#include "DvdGui/core/ViewLocation.h"
#include "DvdGui/source/DomainContentWnd.h"
#include "DvdGui/source/LogoWnd.h"
#include "DvdGui/source/MyExtBarHostFrame.h"

class CDvdObject;
class CFile;

// The toolkit profile under which every project window's panes keep their
// layout.
constexpr const char kContentPaneProfile[] = "CFRMPRGR0";

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
    // The panes go back to their default places; the stored layout is
    // dropped.
    void ResetLayout();
    // False without an inner frame, and as the inner frame's operations.
    bool SaveLayoutFile(CFile& file);
    bool LoadLayoutFile(CFile& file);

    CDvdObject* GetNode() const { return m_pNode; }
    bool IsDomainShown() const { return m_pActive != nullptr && m_pActive == m_pHostFrame; }
    CLogoWnd& GetLogo() { return m_logo; }
    CDomainContentWnd& GetDomainContent() { return m_domainContent; }
    // Null once the window is gone.
    CMyExtBarHostFrame* GetHostFrame() const { return m_pHostFrame; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void ShowActive();

    CDvdObject* m_pNode = nullptr;
    CWnd* m_pActive = nullptr;
    CLogoWnd m_logo;
    CDomainContentWnd m_domainContent;
    // destroyed with its window
    CMyExtBarHostFrame* m_pHostFrame = nullptr;

    static CString s_strClassName;
};
