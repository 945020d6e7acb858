#include "DVD/source/IfoRead.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobData.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/dataAccess/DataBlock.h"
#include "Shared/source/dataAccess/DataRange.h"

CIfoImage::CIfoImage() = default;

CIfoImage::~CIfoImage()
{
    // The block goes back to the pool before its file closes.
    m_pBlock.reset();
}

bool CIfoImage::Open(CDvdLog& log, const char* pszPath)
{
    m_pBlock.reset();
    return m_file.Open(&log, pszPath, true, true);
}

void CIfoImage::Load()
{
    m_pBlock.reset(new CDataBlock(CDataRange(&m_file)));
}

CIfoView CIfoImage::GetView() const
{
    if (!m_pBlock)
        return CIfoView();
    return CIfoView(m_pBlock->GetData(), m_pBlock->GetCount());
}

bool OpenDomainContent(CDvdLog& log, const char* pszFolder, BYTE nVts, bool bMenu, const CStreamSet& streams,
                       const CCellAddressList& cells, const CVobuAddressList& vobus, CDvdProgress* pProgress,
                       CAngleBlockList& domain, const char* pszWarning)
{
    const CVobData* pSet =
        OpenDomainVobData(log, pszFolder, nVts, bMenu, &streams, cells, vobus, true, pProgress, false);
    if (log.IsCancelled())
        return false;
    domain.RemoveAll();
    if (pSet == nullptr)
    {
        // The PGCs still read: their cells find no block and play blanks.
        domain.SetStreams(streams);
        log.ClearError();
        log.ReportWarning(pszWarning, DVD_LOCATION);
        return true;
    }
    pSet->GetBlocks(domain);
    return true;
}
