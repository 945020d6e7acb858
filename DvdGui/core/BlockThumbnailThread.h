// The block strip's background thread: decodes one thumbnail per tile,
// starting at the visible tiles, optionally skipping blank pictures at the
// start of a block, and leaves each in the tile's record for the painting.
#pragma once

#include "Shared/source/WorkerThread.h"
#include "VDS/source/VideoPicture.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

class CAngleBlock;
class CCellDataStream;
class CMpegVideoDecoder;
class CVobCell;
struct CClut;

// One tile's record. The thread writes the thumbnail before it sets the done
// flag; the painting draws a thumbnail only once the flag is set.
struct CThumbnailTile
{
    explicit CThumbnailTile(CAngleBlock* pBlock);

    CAngleBlock* pBlock; // not owned
    CVideoPicture thumbnail;
    std::atomic<bool> bDone{false};
    // The VOBU of the block's first unit being searched or found.
    std::atomic<uint32_t> nVobu{0};
};

// What the thread tells its strip window; called on the thread.
class CThumbnailSink
{
public:
    virtual ~CThumbnailSink() = default;
    // A pass started: the strip repaints now and then while it runs.
    virtual void OnThumbnailPassStarted() = 0;
    // The pass ended, paused (bFinished false) or with every tile done.
    virtual void OnThumbnailPassEnded(bool bFinished) = 0;
};

// The coded picture size of the first tile whose unit has a sequence
// header (0 x 0 when none has), and whether the domain of the first tile's
// block shows 16:9 video.
// The stream offset of VOBU n of the unit, through the unit's sector
// ranges; 0 when the unit's data do not reach it.
uint64_t VobuPosition(const CCellDataStream& stream, const CVobCell& unit, uint32_t nVobu);
// A decoder of the stream's video with the first sub-picture stream in the
// palette's colours (none: the decoder's own).
bool InitDecoder(CMpegVideoDecoder& decoder, CCellDataStream& stream, const CClut* pPalette);

void ProbeFrameSize(const std::vector<CAngleBlock*>& blocks, int& nWidth, int& nHeight, bool& bWideScreen);

class CBlockThumbnailThread : public CWorkerThread
{
public:
    explicit CBlockThumbnailThread(CThumbnailSink* pSink);
    // Pauses, then stops and joins the thread.
    ~CBlockThumbnailThread() override;

    // GUI thread. Pauses the thread and waits for its answer before the
    // records change; the caller resumes with StartPass.
    void SetTiles(const std::vector<CAngleBlock*>& blocks);
    // The frame size (0: unknown) and shape the thumbnails are made for.
    void StartPass(int nFrameWidth, int nFrameHeight, bool bWideScreen);
    void StopThumbnails() { Pause(); }

    // Read by the painting; the records change only through SetTiles.
    size_t GetTileCount() const { return m_tiles.size(); }
    const CThumbnailTile& GetTile(size_t n) const { return *m_tiles[n]; }

    // Where the strip is scrolled to: the thread starts from there.
    std::atomic<float> m_fFirstVisible{0.0f};
    // Skip blank pictures at the start of a block (the option "SB").
    std::atomic<bool> m_bSkipBlank{false};

protected:
    uint32_t Run() override;

private:
    struct Work;

    void OnPause(Work& work);
    void OnStartPass(Work& work);
    void ChooseTile(Work& work);
    void PictureStep(Work& work);
    void Accept(Work& work, CVideoPicture* pPicture);
    void EndTile(Work& work);
    void ReleasePictures(Work& work);

    CThumbnailSink* m_pSink;
    std::vector<std::unique_ptr<CThumbnailTile>> m_tiles;
    // Set by the GUI thread only while the thread is paused.
    std::atomic<int> m_nFrameWidth{0};
    std::atomic<int> m_nFrameHeight{0};
    std::atomic<bool> m_bWideScreen{false};
    bool m_bActive = false;
};
