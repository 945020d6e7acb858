// The disc tree pane: the left side of a project window. It shows the disc
// of the current revision as a tree of its domains (the disc, the Video
// Manager, the title sets and their menu language units) with their sizes,
// tells its parent which node is selected, keeps the tree's state for the
// view's history of places and offers the edits that act on a whole domain
// in its context menu and through a few keys.
#pragma once

#include "DVD/source/VTS.h"
#include "DvdGui/core/ViewLocation.h"
#include "controls/treelist/window/TreeListCtrl.h"
#include "framework/win/AfxWin.h"
#include "framework/win/ImageList.h"

#include <cstdint>
#include <vector>

class CDvd;
class CDvdObject;
class CExtPopupMenuWnd;

// The pane's selection notice to its parent (code TLN_SELCHANGED).
struct NMDVDTREE
{
    NMHDR hdr;
    CDvdObject* pNode; // null when nothing is selected
};

class CDvdTreePane : public CWnd
{
public:
    CDvdTreePane();
    ~CDvdTreePane() override;

    BOOL Create(LPCTSTR lpszTitle, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID,
                CCreateContext* pContext = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszTitle, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID,
                  CCreateContext* pContext = nullptr);

    // Shows the disc (none empties the pane) and restores the location, or
    // an empty one when none is given.
    void Fill(CDvd* pDvd, const CDvdTreeLocation* pLocation);
    CDvdTreeLocation GetLocation() const;
    void SetLocation(const CDvdTreeLocation& location);
    // Selects the node's item and scrolls it into view; null when the tree
    // does not show the node.
    CTreeListItem* SelectNode(const CDvdObject* pNode);

    CTreeListCtrl& GetTree() { return m_tree; }
    CTreeListItem* GetContextItem() const { return m_pContextItem; }

    // The domain entries of the context menu for the node's kind; false for
    // a kind that has none.
    bool AppendDomainCommands(CExtPopupMenuWnd& menu, CDvdObject* pNode);

    // The commands act on the context item.
    afx_msg void OnEnableAllOperations();
    afx_msg void OnRemoveParentalManagement();
    afx_msg void OnConvertMenusToStill();
    afx_msg void OnHideMenuTransitions();
    afx_msg void OnHideAllBlocks();
    afx_msg void OnRestoreAllBlocks();
    afx_msg void OnStripAngles();
    afx_msg void OnDeleteLanguageUnit();
    afx_msg void OnExpandAll();
    afx_msg void OnCollapseAll();

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // The angle that "Strip angles ..." keeps, as the user chooses it in the
    // angle selection of the collected blocks; -1 when the user cancelled.
    virtual int ChooseAngle(const CAngleBlockArray& blocks, const CAngleMap& angleMap);

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void AppendDvdCommands(CExtPopupMenuWnd& menu, CDvdObject* pNode);
    void AppendVmgCommands(CExtPopupMenuWnd& menu, CDvdObject* pNode);
    void AppendVtsCommands(CExtPopupMenuWnd& menu, CDvdObject* pNode);
    void AppendLanguageUnitCommands(CExtPopupMenuWnd& menu, CDvdObject* pNode);

    void FitTree();
    void AddChildren(CDvdObject* pNode, CTreeListItem* pItem);
    void ShowSizes();
    void ShowContextMenu(CTreeListItem* pItem, CPoint ptScreen);
    CDvdObject* GetContextNode() const;
    CTreeListItem* FindNode(uint64_t nId) const;

    CTreeListCtrl m_tree;
    CImageList m_imageList;
    CDvd* m_pDvd = nullptr;
    CTreeListItem* m_pContextItem = nullptr;

    static CString s_strClassName;
};
