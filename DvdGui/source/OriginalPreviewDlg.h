// "Original Preview": the original, unedited version of blocks in a modal
// popup. It shows what it is given (temporary copies, say) read-only, and
// its "OK" needs a block with a picture to be selected.
#pragma once

#include "DvdGui/source/ButtonRowPopup.h"
#include "DvdGui/source/OriginalCellWnd.h"

#include <vector>

enum : UINT
{
    IDC_ORIGINAL_CELLWND = 1358,
};

class COriginalPreviewDlg : public CButtonRowPopup
{
public:
    // Of the blocks, those of fewer than two interleaved units are shown;
    // the strip only when there are two or more of them.
    COriginalPreviewDlg(const std::vector<CAngleBlock*>& blocks, CWnd* pParent, LPCTSTR lpszTitle);

    void OnOK() override;

    COriginalCellWnd& GetCellWnd() { return m_cellWnd; }
    const std::vector<CAngleBlock*>& GetBlocks() const { return m_blocks; }

protected:
    void CreateContent() override;
    void LayoutContent(int cx, int cy) override;
    void FillContent() override;

private:
    std::vector<CAngleBlock*> m_blocks;
    COriginalCellWnd m_cellWnd;
};
