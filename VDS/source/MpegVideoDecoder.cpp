// The video decoder object: demultiplexing, decoding order to display order,
// field assembly, time stamps and sub-pictures.
#include "VDS/source/MpegVideoDecoder.h"
#include "VDS/source/Idct.h"

#include <cstring>

namespace
{
// Frames per second by frame_rate_code; 0 for the reserved codes.
double FrameRate(int code)
{
    switch (code)
    {
    case 1: return 24000.0 / 1001.0;
    case 2: return 24.0;
    case 3: return 25.0;
    case 4: return 30000.0 / 1001.0;
    case 5: return 30.0;
    case 6: return 50.0;
    case 7: return 60000.0 / 1001.0;
    case 8: return 60.0;
    default: return 0.0;
    }
}

const uint64_t kTicksPerMillisecond = 27000;

// How far before a seek position the reference pictures are looked for
// first, and at most: a group of pictures of DVD video fits the first.
const uint64_t kReferenceSearch = 512 * 1024;
const uint64_t kReferenceSearchLimit = 8 * 1024 * 1024;
// The most reference pictures a seek decodes: the six of the longest DVD
// group of pictures and the next I picture, whose B pictures may predict
// from the group before.
const size_t kMostReferences = 7;
}

CMpegVideoDecoder::CMpegVideoDecoder()
    : m_nVideoStreamId(kPsFirstVideoStream), m_dFrameRate(0), m_dFramePeriod(0), m_nCodedWidth(0), m_nCodedHeight(0),
      m_qwStreamSize(0), m_pOutput(nullptr), m_pNextOutput(nullptr), m_nDisplayFrame(-1), m_bSecondFieldPending(false),
      m_qwPicturePosition(0), m_qwClock(0), m_bPositioned(false), m_bCarryParity(true), m_bFilm(false),
      m_bFlushed(false), m_bBeforeStart{}, m_nSubpictureStream(-1)
{
    std::memset(&m_packet, 0, sizeof(m_packet));
    std::memset(&m_display, 0, sizeof(m_display));
    std::memset(m_places, 0, sizeof(m_places));
    std::memset(m_palette, 0, sizeof(m_palette));
    Reset();
}

CMpegVideoDecoder::~CMpegVideoDecoder()
{
    ForgetHeldPictures();
}

void CMpegVideoDecoder::ForgetHeldPictures()
{
    if (m_pOutput)
        m_pOutput->Release();
    if (m_pNextOutput)
        m_pNextOutput->Release();
    m_pOutput = m_pNextOutput = nullptr;
}

void CMpegVideoDecoder::Reset()
{
    kx::ScopedLock lock(m_stateLock);
    ForgetHeldPictures();
    m_pool.reset();
    for (CVideoPicture& picture : m_reference)
        picture.SetFormat(0, 0, kPicYuv420, kPicProgressive);
    ResetFrameStores();
    m_nDisplayFrame = -1;
    m_bSecondFieldPending = false;
    m_qwClock = 0;
    m_bPositioned = false;
    m_bFlushed = false;
    m_subpicture.Clear();
    m_nSubpictureStream = -1;
}

bool CMpegVideoDecoder::Init(const MpegVideoInitAttributes& attributes)
{
    kx::ScopedLock lock(m_stateLock);
    Reset();
    m_nCodedWidth = m_nCodedHeight = 0;
    m_qwPicturePosition = 0;
    kx::ScopedLock demuxLock(m_demux.GetLock());
    if (!m_demux.Attach(attributes.pStream))
        return false;
    m_nVideoStreamId = attributes.nVideoStreamId;
    m_nSubpictureStream = attributes.nSubpictureStream;
    std::memcpy(m_palette, attributes.palette, sizeof(m_palette));

    // The first sequence header and the first picture header after it.
    RestartBits(nullptr, 0, 0);
    for (;;)
    {
        NextStartCode();
        uint32_t code = ShowBits(32);
        if (code == 0x1B3)
            break;
        if (code == 0x1B7)
        {
            m_demux.Attach(nullptr);
            return false;
        }
        FlushBits(8);
    }
    if (GetHeader() != 1 || !AllocateFrameStores())
    {
        m_demux.Attach(nullptr);
        return false;
    }
    m_nCodedWidth = GetCodedWidth();
    m_nCodedHeight = GetCodedHeight();
    for (int i = 0; i < 3; i++)
    {
        m_reference[i].SetFormat(DWORD(m_nCodedWidth), DWORD(m_nCodedHeight), kPicYuv420, kPicProgressive);
        PicturePlanes planes;
        m_reference[i].GetPlanes(&planes);
        if (!m_reference[i].IsValid() || !planes.pY)
        {
            m_demux.Attach(nullptr);
            return false;
        }
        // Pictures that are never decoded show black rather than old memory.
        std::memset(planes.pY, 16, size_t(m_nCodedWidth) * m_nCodedHeight);
        std::memset(planes.pU, 128, size_t(planes.chromaWidth) * planes.chromaHeight);
        std::memset(planes.pV, 128, size_t(planes.chromaWidth) * planes.chromaHeight);
        SetFrameStore(i, MpegFrameStore{planes.pY, planes.pU, planes.pV});
    }
    m_dFrameRate = FrameRate(m_nFrameRateCode);
    m_dFramePeriod = m_dFrameRate > 0 ? 1.0 / m_dFrameRate : 0.0;

    m_demux.Seek(0);
    m_demux.Reset();
    RestartBits(nullptr, 0, 0);
    ResetFrameStores();
    m_pool.reset(new CPicturePool(DWORD(m_nCodedWidth), DWORD(m_nCodedHeight), kPicYuv420, 3));
    m_qwStreamSize = m_demux.GetSize();
    SetIdct(g_pfnIdct);
    return true;
}

bool CMpegVideoDecoder::Start(bool bFilm, bool bSeek, uint64_t position)
{
    kx::ScopedLock lock(m_demux.GetLock());
    if (!IsOpen())
        return false;
    m_bSecondFieldPending = false;
    m_pOutput = m_pNextOutput = nullptr;
    m_bCarryParity = true;
    m_qwClock = 0;
    m_bFilm = bFilm && (m_nFrameRateCode == 4 || m_nFrameRateCode == 5);
    m_bFlushed = false;
    SetIdct(g_pfnIdct);
    // Without a seek, decoding starts at the first picture found; until its
    // references have been decoded the stores' roles are unknown, so nothing
    // decoded before the start is shown. A seek first decodes the reference
    // pictures before the position, which the pictures after it predict from.
    ResetFrameStores();
    for (bool& before : m_bBeforeStart)
        before = bSeek;
    m_bPositioned = bSeek;
    if (bSeek)
    {
        DecodeReferencesBefore(position);
        ReadFrom(position);
        m_qwPicturePosition = position;
    }
    kx::ScopedLock stateLock(m_stateLock);
    OpenSubpictureReader(bSeek ? position : 0);
    if (m_nSubpictureStream >= 0)
        m_subpicture.SetPalette(m_palette);
    return true;
}

int CMpegVideoDecoder::Stop()
{
    kx::ScopedLock lock(m_demux.GetLock());
    kx::ScopedLock stateLock(m_stateLock);
    ForgetHeldPictures();
    m_subpicture.Clear();
    return 0;
}

uint64_t CMpegVideoDecoder::GetPosition()
{
    kx::ScopedLock lock(m_demux.GetLock());
    const PacketPlace& place = m_places[m_nBufferSerial % 4];
    ptrdiff_t consumed = GetBufferPosition();
    uint64_t start = place.qwEnd - place.nLength;
    if (consumed < 0 && uint64_t(-consumed) > start)
        return 0;
    return start + consumed;
}

bool CMpegVideoDecoder::SetSubpictureStream(int nSubStreamId)
{
    kx::ScopedLock lock(m_stateLock);
    if (m_nSubpictureStream >= 0)
        m_subpicture.Clear();
    m_nSubpictureStream = nSubStreamId;
    if (nSubStreamId >= 0)
        m_subpicture.SetPalette(m_palette);
    return true;
}

bool CMpegVideoDecoder::ReadVideoData(const uint8_t** ppData, size_t* pnLength)
{
    kx::ScopedLock lock(m_stateLock);
    const BYTE* payload = nullptr;
    do
    {
        if (!m_demux.ReadTimedPacket(&payload, &m_packet))
            return false;
    } while (m_packet.streamId != m_nVideoStreamId);
    m_nPacketPts = m_packet.presentationTime;
    m_nPacketScr = m_packet.clockReference;
    // The serial this buffer gets once the reader takes it.
    PacketPlace& place = m_places[(m_nBufferSerial + 1) % 4];
    place.qwEnd = m_demux.GetPosition();
    place.nLength = m_packet.payloadLength;
    *ppData = payload;
    *pnLength = m_packet.payloadLength;
    return true;
}

void CMpegVideoDecoder::OpenSubpictureReader(uint64_t position)
{
    m_subDemux.Attach(nullptr);
    m_subSource.reset();
    m_bSubpicturesEnded = false;
    m_qwSubpictureClock = 0;
    CByteStream* source = m_demux.GetSource();
    if (!source)
        return;
    m_subSource.reset(source->Clone(0));
    if (!m_subSource || !m_subDemux.Attach(m_subSource.get()))
        return;
    m_subDemux.Seek(position);
    m_subDemux.Reset();
}

void CMpegVideoDecoder::ReadSubpictures(uint64_t qwUntil)
{
    // Sub-picture packets are multiplexed close to the time they are shown,
    // well after the video of that time; a reader of their own takes every
    // packet whose clock reference has come before the picture's time.
    const BYTE* payload = nullptr;
    CPsPacketInfo info;
    while (!m_bSubpicturesEnded && m_subSource && m_qwSubpictureClock <= qwUntil)
    {
        if (!m_subDemux.ReadTimedPacket(&payload, &info))
        {
            m_bSubpicturesEnded = true;
            break;
        }
        m_qwSubpictureClock = info.clockReference;
        if (info.streamId == kPsPrivateStream1 && info.subStreamId == DWORD(m_nSubpictureStream))
            m_subpicture.AddPacket(payload, info.payloadLength, uint32_t(info.presentationTime / kTicksPerMillisecond));
    }
}

void CMpegVideoDecoder::ReadFrom(uint64_t position)
{
    m_demux.Seek(position);
    m_demux.Reset();
    RestartBits(nullptr, 0, 0);
}

// Where the picture whose header was read last starts in the cell.
uint64_t CMpegVideoDecoder::GetPictureStart() const
{
    const PacketPlace& place = m_places[m_nPictureStartSerial % 4];
    int64_t start = int64_t(place.qwEnd - place.nLength) + m_nPictureStartOffset;
    return start > 0 ? uint64_t(start) : 0;
}

// The I and P pictures (their first fields) from a pack up to a position,
// by their headers alone: where each starts and whether it is an I picture.
std::vector<std::pair<uint64_t, bool>> CMpegVideoDecoder::FindReferences(uint64_t from, uint64_t until)
{
    std::vector<std::pair<uint64_t, bool>> found;
    ReadFrom(from);
    int nOpenField = 0; // the structure of a first field whose pair may follow
    for (;;)
    {
        int header = GetHeader();
        if (header != 1)
        {
            if (IsEndOfData())
                break;
            continue;
        }
        uint64_t start = GetPictureStart();
        if (start >= until)
            break;
        bool bFirst = true;
        if (m_nPictureStructure == MPEG_FRAME_PICTURE)
        {
            nOpenField = 0;
        }
        else if (nOpenField && m_nPictureStructure != nOpenField)
        {
            bFirst = false;
            nOpenField = 0;
        }
        else
        {
            nOpenField = m_nPictureStructure;
        }
        if (bFirst && (m_nPictureCodingType == MPEG_PICTURE_I || m_nPictureCodingType == MPEG_PICTURE_P))
            found.push_back({start, m_nPictureCodingType == MPEG_PICTURE_I});
    }
    return found;
}

// Fills the reference stores with the I and P pictures before a position,
// each decoded from its own start, so that the pictures after the position
// predict from what a decode from the start of the cell would have given
// them. Both references count: the older one, which B pictures after an I
// picture may still use, is decoded from the I picture before it. Without
// such an I picture among the last few references, the first one decoded is
// predicted from black and the pictures up to the next I picture are
// approximations.
void CMpegVideoDecoder::DecodeReferencesBefore(uint64_t position)
{
    if (position == 0)
        return;
    std::vector<std::pair<uint64_t, bool>> found;
    size_t first = 0;
    for (uint64_t reach = kReferenceSearch;; reach *= 2)
    {
        uint64_t from = reach < position ? m_demux.SeekToPack(position - reach) : 0;
        found = FindReferences(from, position);
        size_t intra = found.size() >= 2 ? found.size() - 1 : 0;
        while (intra > 0 && !found[intra - 1].second)
            intra--;
        first = intra > 0 ? intra - 1 : 0;
        if (intra > 0 || from == 0 || reach >= kReferenceSearchLimit)
        {
            ReadFrom(from);
            break;
        }
    }
    if (found.size() - first > kMostReferences)
        first = found.size() - kMostReferences;
    found.erase(found.begin(), found.begin() + ptrdiff_t(first));
    ResetFrameStores();
    while (!found.empty())
    {
        if (GetHeader() != 1)
        {
            if (IsEndOfData())
                break;
            continue;
        }
        uint64_t start = GetPictureStart();
        if (start > found.back().first)
            break;
        if (start != found.front().first)
            continue;
        DecodePicture();
        found.erase(found.begin());
    }
}

bool CMpegVideoDecoder::DecodeStep()
{
    for (;;)
    {
        int header = GetHeader();
        if (header != 1)
        {
            if (!IsEndOfData())
                continue; // a sequence end inside the cell
            // The last reference picture has not been shown yet.
            int newest = GetNewestReference();
            if (m_bFlushed || newest < 0 || m_bBeforeStart[newest])
                return false;
            m_bFlushed = true;
            m_nDisplayFrame = newest;
            m_display = m_recLastReference;
            return true;
        }
        m_qwPicturePosition = GetPictureStart();
        int type = m_nPictureCodingType;
        int display = DecodePicture();
        if (GetDecodedStore() >= 0)
            m_bBeforeStart[GetDecodedStore()] = false;
        if (display < 0 || m_bBeforeStart[display])
            continue;
        m_nDisplayFrame = display;
        m_display = type == MPEG_PICTURE_B ? m_recLastDecoded : m_recPreviousReference;
        return true;
    }
}

void CMpegVideoDecoder::Stamp(CVideoPicture* picture, uint64_t qwFramePeriod)
{
    picture->SetTimeStamp(m_qwClock);
    m_qwClock += qwFramePeriod;
}

bool CMpegVideoDecoder::GetNextPicture(CVideoPicture** ppPicture)
{
    kx::ScopedLock lock(m_demux.GetLock());
    *ppPicture = nullptr;
    if (!IsOpen() || !m_pool)
        return false;
    DWORD p10 = DWORD(m_dFramePeriod * 10000.0);
    DWORD p12 = DWORD(m_dFramePeriod * 12500.0);
    uint64_t t = uint64_t(m_dFramePeriod * 27000000.0);
    uint64_t f = m_bFilm ? uint64_t(double(t) * 1.25) : t;
    uint64_t h = t >> 1;

    if (!m_pOutput)
        m_pOutput = m_pool->GetPicture();
    if (!m_pNextOutput)
        m_pNextOutput = m_pool->GetPicture();
    if (!m_pOutput || !m_pNextOutput)
        return false;

    if (m_bSecondFieldPending)
    {
        m_bSecondFieldPending = false;
    }
    else
    {
        m_pOutput->SetFramePeriod(p10);
        if (!DecodeStep())
            return false;
        CVideoPicture& d = m_reference[m_nDisplayFrame];
        uint64_t pts = m_display.nPts;
        CVideoPicture* out = m_pOutput;
        if (m_bProgressiveSequence)
        {
            out->Convert(d);
            if (pts)
                m_qwClock = pts;
            Stamp(out, f);
            out->SetFlags(kPicProgressive);
        }
        else if (m_display.bProgressiveFrame && m_bFilm)
        {
            out->Convert(d);
            if (pts)
                m_qwClock = pts;
            Stamp(out, f);
            out->SetFlags(kPicProgressive);
            out->SetFramePeriod(p12);
            m_bCarryParity = true;
        }
        else if (m_display.bTopFieldFirst)
        {
            out->Convert(d);
            if (pts)
                m_qwClock = pts;
            Stamp(out, f);
            out->SetFlags(kPicFieldPicture);
            if (m_display.bProgressiveFrame && m_display.bRepeatFirstField)
            {
                m_pNextOutput->CopyField(d, true);
                m_bCarryParity = false;
            }
            else
            {
                m_bCarryParity = true;
            }
        }
        else
        {
            // Bottom field first: this picture completes with the bottom
            // field; the top field waits for the next frame's bottom one.
            out->CopyField(d, false);
            if (pts)
                m_qwClock = pts > h ? pts - h : 0;
            Stamp(out, f);
            out->SetFlags(kPicFieldPicture);
            if (m_bCarryParity)
                out->CopyField(d, true);
            m_pNextOutput->CopyField(d, true);
            if (m_display.bProgressiveFrame && m_display.bRepeatFirstField)
            {
                m_pNextOutput->CopyField(d, false);
                m_pNextOutput->SetTimeStamp(pts ? pts + h : m_qwClock);
                m_qwClock += f;
                m_pNextOutput->SetFlags(kPicFieldPicture);
                m_pNextOutput->SetFramePeriod(p10);
                m_pNextOutput->SetCodingType(DWORD(m_display.nCodingType));
                m_bSecondFieldPending = true;
                m_bCarryParity = true;
            }
            else
            {
                m_bCarryParity = false;
            }
        }
        // Copies take the coding type of their source; a picture shows the
        // type of the frame it was made from.
        out->SetCodingType(DWORD(m_display.nCodingType));
    }

    if (m_nSubpictureStream >= 0)
    {
        kx::ScopedLock stateLock(m_stateLock);
        ReadSubpictures(m_pOutput->GetTimeStamp());
        m_subpicture.Render(m_pOutput, uint32_t(m_pOutput->GetTimeStamp() / kTicksPerMillisecond));
    }
    *ppPicture = m_pOutput;
    m_pOutput = m_pNextOutput;
    m_pNextOutput = nullptr;
    return true;
}
