// The "Video" tab of a domain's content window: the video attributes of the
// domain as a read-only Field/Value list.
#pragma once

#include "DvdGui/core/ViewLocation.h"
#include "controls/treelist/window/TreeListCtrl.h"
#include "framework/win/AfxWin.h"

class CAngleBlockList;

class CVideoInfoWnd : public CWnd
{
public:
    CVideoInfoWnd();

    virtual BOOL Create(LPCTSTR lpszTitle, UINT nID, CWnd* pParent, CWnd* pOwner, DWORD dwStyle, DWORD dwExStyle);

    // Shows the domain (none empties the list) and the location, or the
    // first row when none is given.
    void SetDomain(CAngleBlockList* pDomain, const CVideoInfoLocation* pLocation);
    CVideoInfoLocation GetLocation() const;
    void SetLocation(const CVideoInfoLocation& location);
    void RecalcLayout();

    CTreeListCtrl& GetList() { return m_list; }

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    CTreeListItem* GetCurrentItem() const;

    CAngleBlockList* m_pDomain = nullptr;
    CTreeListCtrl m_list;
    CWnd* m_pOwner = nullptr;

    static CString s_strClassName;
};
