// The video decoder of the preview engine: turns the video of one cell into
// displayable pictures in display order, with time stamps, frame periods,
// fields assembled from interlaced material and the selected sub-pictures.
#pragma once

#include "VDS/source/MpegVideoCore.h"
#include "VDS/source/PsDemuxer.h"
#include "VDS/source/SubpictureDecoder.h"
#include "VDS/source/VideoPicture.h"

#include <memory>
#include <utility>
#include <vector>

// What Init opens the decoder on.
struct MpegVideoInitAttributes
{
    CByteStream* pStream = nullptr; // not owned; must outlive the opening
    DWORD nVideoStreamId = kPsFirstVideoStream;
    int nSubpictureStream = -1; // sub-stream id 0x20..0x3F, or -1
    DWORD palette[16] = {};     // the program chain's colours, bytes 0, Y, Cr, Cb
};

class CMpegVideoDecoder : public CMpegVideoCore
{
public:
    CMpegVideoDecoder();
    ~CMpegVideoDecoder() override;

    void Reset();
    bool Init(const MpegVideoInitAttributes& attributes);
    // Decoding from where the source stands, or from a byte position of the
    // cell (sector x 2,048); the film flag stamps 29.97 material as 23.976.
    bool Start(bool bFilm, bool bSeek, uint64_t position);
    // The next picture in display order with one reference for the caller.
    bool GetNextPicture(CVideoPicture** ppPicture);
    int Stop();
    // The byte position of the first video byte not yet decoded.
    uint64_t GetPosition();
    // Where the data of the last decoded picture start.
    uint64_t GetPicturePosition() const { return m_qwPicturePosition; }
    bool SetSubpictureStream(int nSubStreamId);
    bool ReadVideoData(const uint8_t** ppData, size_t* pnLength) override;

    double GetFrameRate() const { return m_dFrameRate; }

private:
    bool IsOpen() const { return m_demux.GetSource() != nullptr; }
    bool DecodeStep();
    void ReadFrom(uint64_t position);
    uint64_t GetPictureStart() const;
    std::vector<std::pair<uint64_t, bool>> FindReferences(uint64_t from, uint64_t until);
    void DecodeReferencesBefore(uint64_t position);
    void Stamp(CVideoPicture* picture, uint64_t qwFramePeriod);
    void ForgetHeldPictures();
    void OpenSubpictureReader(uint64_t position);
    void ReadSubpictures(uint64_t qwUntil);

    CPsPacketInfo m_packet;
    MpegPictureRecord m_display;
    CPsDemuxer m_demux;
    DWORD m_nVideoStreamId;
    double m_dFrameRate;
    double m_dFramePeriod;
    int m_nCodedWidth, m_nCodedHeight;
    uint64_t m_qwStreamSize;
    std::unique_ptr<CPicturePool> m_pool;
    CVideoPicture* m_pOutput;
    CVideoPicture* m_pNextOutput;
    CVideoPicture m_reference[3];
    int m_nDisplayFrame;
    bool m_bSecondFieldPending;
    uint64_t m_qwPicturePosition;
    uint64_t m_qwClock;
    bool m_bPositioned;
    bool m_bCarryParity;
    bool m_bFilm;
    bool m_bFlushed; // the last reference picture has been shown
    // Stores holding a picture whose data start before the seek position:
    // decoded only to predict from, never shown.
    bool m_bBeforeStart[3];
    // Source positions of the last packets' ends and their payload lengths,
    // by buffer serial, to place a byte of the reader in the cell.
    struct PacketPlace
    {
        uint64_t qwEnd;
        size_t nLength;
    } m_places[4];
    CSubpictureDecoder m_subpicture;
    // The sub-picture stream is read ahead of the video through a clone of
    // the source.
    std::unique_ptr<CByteStream> m_subSource;
    CPsDemuxer m_subDemux;
    uint64_t m_qwSubpictureClock = 0;
    bool m_bSubpicturesEnded = false;
    int m_nSubpictureStream;
    DWORD m_palette[16];
    kx::RecursiveLock m_stateLock;
};
