#include "DvdGui/core/BlockThumbnailThread.h"
#include "DVD/source/AngleBlock.h"
#include "DVD/source/PGC.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobCell.h"
#include "DvdGui/core/AppLog.h"
#include "DvdGui/core/CellDataStream.h"
#include "DvdGui/core/ThumbnailSearch.h"
#include "Shared/source/DvdFormat.h"
#include "VDS/source/MpegVideoDecoder.h"
#include "VDS/source/PictureScaler.h"

#include <cstring>
#include <exception>

namespace
{

// The location of an error in the strip's thread, as its log shows it.
#define THUMBNAIL_LOCATION FormatLocation("AngleBlockListExView.cpp", __LINE__)

CVobCell* FirstUnit(const CAngleBlock* pBlock)
{
    return pBlock != nullptr && pBlock->GetIlvuCount() > 0 ? pBlock->GetIlvu(0) : nullptr;
}

} // namespace

uint64_t VobuPosition(const CCellDataStream& stream, const CVobCell& unit, uint32_t nVobu)
{
    int64_t nPosition = stream.SourceToStreamPosition(uint64_t(unit.GetSourceVobus()[nVobu]) * 2048);
    return nPosition > 0 ? uint64_t(nPosition) : 0;
}

bool InitDecoder(CMpegVideoDecoder& decoder, CCellDataStream& stream, const CClut* pPalette)
{
    MpegVideoInitAttributes attributes;
    attributes.pStream = &stream;
    attributes.nVideoStreamId = 0xE0;
    attributes.nSubpictureStream = GetSubpictureSubstreamId(0);
    if (pPalette != nullptr)
        std::memcpy(attributes.palette, pPalette->colours, sizeof attributes.palette);
    return decoder.Init(attributes);
}

CThumbnailTile::CThumbnailTile(CAngleBlock* pBlock) : pBlock(pBlock)
{
    thumbnail.SetFormat(0, 0, kPicRgb32, kPicProgressive);
    if (CVobCell* pUnit = FirstUnit(pBlock))
    {
        // A cut may have left the unit shorter than its remembered VOBU.
        uint32_t nStart = ThumbnailStartVobu(pUnit->GetThumbnailVobu(), pUnit->GetVobuCount());
        pUnit->SetThumbnailVobu(WORD(nStart));
        nVobu = nStart;
    }
}

void ProbeFrameSize(const std::vector<CAngleBlock*>& blocks, int& nWidth, int& nHeight, bool& bWideScreen)
{
    nWidth = nHeight = 0;
    const CAngleBlockList* pDomain = blocks.empty() || blocks[0] == nullptr ? nullptr : blocks[0]->GetList();
    bWideScreen = pDomain != nullptr && pDomain->GetStreams().GetVideo().GetAspectRatio() == 3;
    CCellDataStream stream;
    CMpegVideoDecoder decoder;
    for (CAngleBlock* pBlock : blocks)
    {
        if (nWidth != 0 && nHeight != 0)
            break;
        stream.Open(FirstUnit(pBlock), 0);
        if (InitDecoder(decoder, stream, nullptr))
        {
            nWidth = decoder.GetCodedWidth();
            nHeight = decoder.GetCodedHeight();
        }
        else
            nWidth = nHeight = 0;
        decoder.Stop();
    }
}

struct CBlockThumbnailThread::Work
{
    CCellDataStream stream;
    CMpegVideoDecoder decoder;
    CPictureScaler scaler;
    CVideoPicture picture;
    int nTile = -1;
    uint32_t nPreviousVobu = 0;
    uint32_t nLimit = 0;
    CVideoPicture* pCurrent = nullptr;
    CVideoPicture* pPrevious = nullptr;
};

CBlockThumbnailThread::CBlockThumbnailThread(CThumbnailSink* pSink) : m_pSink(pSink)
{
    Start();
}

CBlockThumbnailThread::~CBlockThumbnailThread()
{
    Pause();
    Stop();
}

void CBlockThumbnailThread::SetTiles(const std::vector<CAngleBlock*>& blocks)
{
    Pause();
    m_tiles.clear();
    m_tiles.shrink_to_fit();
    for (CAngleBlock* pBlock : blocks)
        m_tiles.push_back(std::make_unique<CThumbnailTile>(pBlock));
}

void CBlockThumbnailThread::StartPass(int nFrameWidth, int nFrameHeight, bool bWideScreen)
{
    Pause();
    m_nFrameWidth = nFrameWidth;
    m_nFrameHeight = nFrameHeight;
    m_bWideScreen = bWideScreen;
    Resume();
}

uint32_t CBlockThumbnailThread::Run()
{
    auto pWork = std::make_unique<Work>();
    Work& work = *pWork;
    for (;;)
    {
        Message message;
        if (GetMessage(message))
        {
            if (message.command == kQuit)
            {
                OnPause(work);
                Reply(message, 0);
                return 0;
            }
            if (message.command == kPause)
                OnPause(work);
            else if (message.command == kResume)
                OnStartPass(work);
            Reply(message, 0);
            continue;
        }
        if (!m_bActive)
            WaitForMessage();
        else if (work.nTile < 0)
            ChooseTile(work);
        else
            PictureStep(work);
    }
}

void CBlockThumbnailThread::ReleasePictures(Work& work)
{
    if (work.pCurrent != nullptr)
        work.pCurrent->Release();
    if (work.pPrevious != nullptr)
        work.pPrevious->Release();
    work.pCurrent = work.pPrevious = nullptr;
}

void CBlockThumbnailThread::OnPause(Work& work)
{
    if (!m_bActive)
        return;
    ReleasePictures(work);
    work.nTile = -1;
    work.decoder.Stop();
    m_bActive = false;
    m_pSink->OnThumbnailPassEnded(false);
}

void CBlockThumbnailThread::OnStartPass(Work& work)
{
    work.nTile = -1;
    work.nPreviousVobu = 0;
    work.nLimit = 0;
    int nWidth = ThumbnailWidth(m_nFrameWidth, m_nFrameHeight, m_bWideScreen);
    work.picture.SetFormat(DWORD(nWidth), kThumbnailHeight, kPicYuv420, kPicProgressive);
    ScaleGeometry geometry;
    geometry.width = nWidth;
    geometry.height = kThumbnailHeight;
    geometry.pictureAspect = 0.0;
    geometry.targetAspect = 1.0;
    work.scaler.SetGeometry(geometry);
    m_pSink->OnThumbnailPassStarted();
    m_bActive = true;
}

void CBlockThumbnailThread::ChooseTile(Work& work)
{
    int nTile = ChooseThumbnailTile(int(m_tiles.size()), m_fFirstVisible,
                                    [this](int n) { return m_tiles[size_t(n)]->bDone.load(); });
    if (nTile < 0)
    {
        m_bActive = false;
        m_pSink->OnThumbnailPassEnded(true);
        return;
    }
    CThumbnailTile& tile = *m_tiles[size_t(nTile)];
    CVobCell* pUnit = FirstUnit(tile.pBlock);
    work.nTile = nTile;
    work.nPreviousVobu = tile.nVobu;
    work.nLimit = pUnit != nullptr ? ThumbnailVobuLimit(pUnit->GetVobuCount()) : 0;
    if (work.nLimit == 0)
    {
        // Nothing to search: the tile ends empty.
        Accept(work, nullptr);
        return;
    }
    work.stream.Open(pUnit, 0);
    CClut palette;
    pUnit->GetPalette(palette);
    const char* pError = "videoDecoder.Init failed";
    CString location = THUMBNAIL_LOCATION;
    try
    {
        if (InitDecoder(work.decoder, work.stream, &palette))
        {
            uint64_t nPosition = VobuPosition(work.stream, *pUnit, tile.nVobu);
            work.decoder.Start(false, true, nPosition);
            pError = "videoDecoder Stop";
            location = THUMBNAIL_LOCATION;
            work.decoder.Stop();
            pError = "videoDecoder Start 2";
            location = THUMBNAIL_LOCATION;
            if (work.decoder.Start(false, true, nPosition))
                return;
        }
    }
    catch (const std::exception&)
    {
    }
    // A unit the decoder cannot open would fail on every try: it ends as an
    // empty tile instead of being chosen again at once.
    LogError(pError, location);
    Accept(work, nullptr);
}

void CBlockThumbnailThread::PictureStep(Work& work)
{
    CThumbnailTile& tile = *m_tiles[size_t(work.nTile)];
    CVobCell* pUnit = FirstUnit(tile.pBlock);
    CVideoPicture* pPicture = nullptr;
    if (m_bSkipBlank)
    {
        if (work.pPrevious != nullptr)
            work.pPrevious->Release();
        work.pPrevious = work.pCurrent;
        work.pCurrent = nullptr;
        if (work.decoder.GetNextPicture(&pPicture))
            work.pCurrent = pPicture;
        else
            pPicture = nullptr;
        uint32_t nNext = NextThumbnailVobu(tile.nVobu);
        if (pPicture != nullptr && ContinueThumbnailSearch(true, pPicture->GetLumaDeviation(), nNext, work.nLimit))
        {
            work.nPreviousVobu = tile.nVobu;
            tile.nVobu = nNext;
            pUnit->SetThumbnailVobu(WORD(nNext));
            work.decoder.Stop();
            work.decoder.Start(false, true, VobuPosition(work.stream, *pUnit, nNext));
            return;
        }
    }
    else
    {
        if (work.decoder.GetNextPicture(&pPicture))
            work.pCurrent = pPicture;
        else
            pPicture = nullptr;
    }
    if (pPicture == nullptr)
    {
        // The unit's data ended: the last picture tried, if any, is the one.
        tile.nVobu = work.nPreviousVobu;
        pUnit->SetThumbnailVobu(WORD(work.nPreviousVobu));
        pPicture = work.pPrevious;
    }
    Accept(work, pPicture);
}

void CBlockThumbnailThread::Accept(Work& work, CVideoPicture* pPicture)
{
    CThumbnailTile& tile = *m_tiles[size_t(work.nTile)];
    if (pPicture != nullptr && work.scaler.Scale(*pPicture, work.picture))
    {
        tile.thumbnail.SetFormat(work.picture.GetWidth(), work.picture.GetHeight(), kPicRgb32, kPicProgressive);
        tile.thumbnail.Convert(work.picture);
    }
    else
        tile.thumbnail.SetFormat(0, 0, kPicRgb32, kPicProgressive);
    tile.bDone = true;
    EndTile(work);
}

void CBlockThumbnailThread::EndTile(Work& work)
{
    ReleasePictures(work);
    work.nTile = -1;
    work.nLimit = 0;
    work.decoder.Stop();
}
