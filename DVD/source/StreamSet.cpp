#include "DVD/source/StreamSet.h"

#include "DVD/source/IfoView.h"
#include "DVD/source/ProjectStream.h"
#include "DVD/source/Validator.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"

#include <cstring>

namespace
{

// Offsets inside an attribute block.
const size_t BLOCK_VIDEO = 0;
const size_t BLOCK_AUDIO_COUNT = 2;
const size_t BLOCK_AUDIO = 4;
const size_t BLOCK_AUDIO_ENTRY = 8;
const size_t BLOCK_SUBPICTURE_COUNT = 84;
const size_t BLOCK_SUBPICTURE = 86;
const size_t BLOCK_MULTICHANNEL = 280;

template <class T>
void RemoveEntry(CDvdPtrArray<T>& array, BYTE i)
{
    uint32_t n = array.GetSize();
    if (i >= n)
        return;
    delete array.GetAt(i);
    for (uint32_t j = i; j + 1 < n; j++)
        array.SetAt(j, array.GetAt(j + 1));
    array.SetAt(n - 1, nullptr);
    array.SetSize(n - 1);
}

template <class T>
void CopyEntries(CDvdPtrArray<T>& to, const CDvdPtrArray<T>& from)
{
    to.SetSize(0);
    to.SetSize(from.GetSize());
    for (uint32_t i = 0; i < from.GetSize(); i++)
        if (const T* p = from.GetAt(i))
            to.SetAt(i, new T(*p));
}

} // namespace

int CVideoAttributes::GetWidth() const
{
    static const int widths[4] = {720, 704, 352, 352};
    return widths[GetResolution()];
}

int CVideoAttributes::GetHeight() const
{
    static const int heights525[4] = {480, 480, 480, 240};
    static const int heights625[4] = {576, 576, 576, 288};
    return (GetStandard() == 1 ? heights625 : heights525)[GetResolution()];
}

// ---- CStreamSet ----------------------------------------------------------------

CStreamSet::CStreamSet(CDvdObject* pParent, bool bMenu) : CDvdObject(DVDNODE_STREAM_SET, pParent), m_bMenu(bMenu)
{
    memset(&m_video, 0, sizeof(m_video));
    memset(&m_multichannel, 0, sizeof(m_multichannel));
}

CStreamSet::CStreamSet(const CStreamSet& other, CDvdObject* pParent)
    : CDvdObject(other, pParent), m_bMenu(other.m_bMenu), m_video(other.m_video), m_multichannel(other.m_multichannel)
{
    CopyStreams(other);
}

CStreamSet& CStreamSet::operator=(const CStreamSet& other)
{
    if (this == &other)
        return *this;
    CDvdObject::operator=(other);
    m_bMenu = other.m_bMenu;
    m_video = other.m_video;
    m_multichannel = other.m_multichannel;
    CopyStreams(other);
    return *this;
}

void CStreamSet::CopyStreams(const CStreamSet& other)
{
    CopyEntries(m_audio, other.m_audio);
    CopyEntries(m_subpictures, other.m_subpictures);
}

bool CStreamSet::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    return validator.Check(CDvdReference(this, 0, 0), messages);
}

int CStreamSet::GetMaxSubpictureCount() const
{
    return m_bMenu ? MAX_MENU_SUBPICTURE_STREAMS : MAX_SUBPICTURE_STREAMS;
}

void CStreamSet::RemoveAll()
{
    m_audio.RemoveAll();
    m_subpictures.RemoveAll();
}

void CStreamSet::RemoveAudioStream(BYTE i)
{
    RemoveEntry(m_audio, i);
    SetModified();
}

void CStreamSet::RemoveSubpictureStream(BYTE i)
{
    RemoveEntry(m_subpictures, i);
    SetModified();
}

void CStreamSet::SetSubpictureCount(BYTE n, bool bClearAll)
{
    // More entries than the domain can hold would not fit the IFO block.
    uint32_t count = n;
    if (count > (uint32_t)GetMaxSubpictureCount())
        count = (uint32_t)GetMaxSubpictureCount();
    m_subpictures.SetSize(count, bClearAll);
    for (uint32_t i = 0; i < count; i++)
        if (!m_subpictures.GetAt(i))
            m_subpictures.SetAt(i, new CSubpictureAttributes());
    SetModified();
}

bool CStreamSet::ReadIfo(const BYTE* pBlock, bool bMenu)
{
    m_bMenu = bMenu;
    RemoveAll();
    memcpy(m_video.bytes, pBlock + BLOCK_VIDEO, sizeof(m_video.bytes));

    WORD nAudio = GetBE16(pBlock + BLOCK_AUDIO_COUNT);
    if (nAudio > MAX_AUDIO_STREAMS)
        return false;
    for (WORD i = 0; i < nAudio; i++)
    {
        CAudioAttributes* p = new CAudioAttributes;
        memcpy(p->bytes, pBlock + BLOCK_AUDIO + BLOCK_AUDIO_ENTRY * i, sizeof(p->bytes));
        m_audio.Add(p);
    }

    WORD nSubpictures = GetBE16(pBlock + BLOCK_SUBPICTURE_COUNT);
    if (nSubpictures > GetMaxSubpictureCount())
        return false;
    for (WORD i = 0; i < nSubpictures; i++)
    {
        CSubpictureAttributes* p = new CSubpictureAttributes;
        memcpy(p->bytes, pBlock + BLOCK_SUBPICTURE + sizeof(p->bytes) * i, sizeof(p->bytes));
        m_subpictures.Add(p);
    }

    if (!m_bMenu)
        memcpy(m_multichannel.bytes, pBlock + BLOCK_MULTICHANNEL, sizeof(m_multichannel.bytes));
    return true;
}

void CStreamSet::WriteIfo(BYTE* pBlock) const
{
    memcpy(pBlock + BLOCK_VIDEO, m_video.bytes, sizeof(m_video.bytes));
    PutBE16(pBlock + BLOCK_AUDIO_COUNT, (WORD)m_audio.GetSize());
    for (uint32_t i = 0; i < m_audio.GetSize(); i++)
        if (const CAudioAttributes* p = m_audio.GetAt(i))
            memcpy(pBlock + BLOCK_AUDIO + BLOCK_AUDIO_ENTRY * i, p->bytes, sizeof(p->bytes));
    PutBE16(pBlock + BLOCK_SUBPICTURE_COUNT, (WORD)m_subpictures.GetSize());
    for (uint32_t i = 0; i < m_subpictures.GetSize(); i++)
        if (const CSubpictureAttributes* p = m_subpictures.GetAt(i))
            memcpy(pBlock + BLOCK_SUBPICTURE + sizeof(p->bytes) * i, p->bytes, sizeof(p->bytes));
    if (!m_bMenu)
        memcpy(pBlock + BLOCK_MULTICHANNEL, m_multichannel.bytes, sizeof(m_multichannel.bytes));
}

bool CStreamSet::Store(CProjectWriter& writer) const
{
    BYTE block[STREAM_BLOCK_SIZE] = {};
    WriteIfo(block);
    WriteByte(writer, m_bMenu ? 1 : 0);
    TransferBytes(writer, block, sizeof(block));
    return writer.IsOk();
}

bool CStreamSet::Load(CDvdLog& log, CProjectReader& reader)
{
    BYTE bMenu = 0;
    BYTE block[STREAM_BLOCK_SIZE];
    // A record cut short or with counts no IFO can hold is damaged, not a
    // set to be taken in part.
    if (!ReadByte(reader, bMenu) || TransferBytes(reader, block, sizeof(block)) != sizeof(block) ||
        !ReadIfo(block, bMenu != 0))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    return true;
}

bool CStreamSet::Equals(const CStreamSet& other) const
{
    if (memcmp(m_video.bytes, other.m_video.bytes, sizeof(m_video.bytes)) != 0)
        return false;
    if (m_audio.GetSize() != other.m_audio.GetSize() || m_subpictures.GetSize() != other.m_subpictures.GetSize())
        return false;
    for (uint32_t i = 0; i < m_audio.GetSize(); i++)
    {
        const CAudioAttributes* a = m_audio.GetAt(i);
        const CAudioAttributes* b = other.m_audio.GetAt(i);
        if (!a || !b ? a != b : memcmp(a->bytes, b->bytes, sizeof(a->bytes)) != 0)
            return false;
    }
    for (uint32_t i = 0; i < m_subpictures.GetSize(); i++)
    {
        const CSubpictureAttributes* a = m_subpictures.GetAt(i);
        const CSubpictureAttributes* b = other.m_subpictures.GetAt(i);
        if (!a || !b ? a != b : memcmp(a->bytes, b->bytes, sizeof(a->bytes)) != 0)
            return false;
    }
    return true;
}

// ---- Texts and ids -------------------------------------------------------------

const char* GetAudioCodingName(BYTE nCodingMode)
{
    static const char* const names[8] = {"AC3", "", "Mpeg-1", "Mpeg-2ext", "LPCM", "", "DTS", "SDDS"};
    return nCodingMode < 8 ? names[nCodingMode] : "";
}

BYTE GetAudioStreamId(BYTE nCodingMode, BYTE nStream)
{
    switch (nCodingMode)
    {
    case AUDIO_CODING_AC3:
    case AUDIO_CODING_LPCM:
    case AUDIO_CODING_DTS:
    case AUDIO_CODING_SDDS: return 0xBD;
    case AUDIO_CODING_MPEG1: return (BYTE)(0xC0 + (nStream & 7));
    case AUDIO_CODING_MPEG2EXT: return (BYTE)(0xD0 + (nStream & 7));
    default: return 0;
    }
}

BYTE GetAudioSubstreamId(BYTE nCodingMode, BYTE nStream)
{
    switch (nCodingMode)
    {
    case AUDIO_CODING_AC3: return (BYTE)(0x80 + (nStream & 7));
    case AUDIO_CODING_LPCM: return (BYTE)(0xA0 + (nStream & 7));
    case AUDIO_CODING_DTS: return (BYTE)(0x88 + (nStream & 7));
    case AUDIO_CODING_SDDS: return (BYTE)(0x90 + (nStream & 7));
    default: return 0;
    }
}

CString FormatAudioStreamId(BYTE nCodingMode, BYTE nStream)
{
    CString text;
    if (nCodingMode == AUDIO_CODING_MPEG1 || nCodingMode == AUDIO_CODING_MPEG2EXT)
        text.Format("0x%02X", GetAudioStreamId(nCodingMode, nStream));
    else
        text.Format("0xBD:0x%02X", GetAudioSubstreamId(nCodingMode, nStream));
    return text;
}

BYTE GetSubpictureSubstreamId(BYTE nStream)
{
    return (BYTE)(0x20 + (nStream & 31));
}

CString FormatSubpictureStreamId(BYTE nStream)
{
    CString text;
    text.Format("0xBD:0x%02X", GetSubpictureSubstreamId(nStream));
    return text;
}

const char* GetAudioCodeExtensionText(BYTE nCode)
{
    switch (nCode)
    {
    case 0: return "not specified";
    case 1: return "normal";
    case 2: return "for visually impaired";
    case 3: return "director comments";
    case 4: return "alternate director comments";
    default: return "";
    }
}

const char* GetSubpictureCodeExtensionText(BYTE nCode)
{
    switch (nCode)
    {
    case 0: return "not specified";
    case 1: return "normal";
    case 2: return "large";
    case 3: return "children";
    case 5: return "normal captions";
    case 6: return "large captions";
    case 7: return "childrens captions";
    case 9: return "forced";
    case 13: return "director comments";
    case 14: return "large director comments";
    case 15: return "director comments for children";
    default: return "";
    }
}
