// The attributes of the video, audio and sub-picture streams of one VOB
// domain, as the IFO files state them, and the texts and MPEG stream ids the
// track panes and the preview player derive from them.
#pragma once

#include "DVD/source/DvdObject.h"
#include "Shared/source/DvdArray.h"
#include "framework/core/AfxTypes.h"
#include "framework/core/CString.h"

#include <cstddef>

class CDvdLog;
class CProjectReader;
class CProjectWriter;

// The attribute block of a domain in an IFO: the video word, the audio and
// sub-picture tables and, in a title domain, the multichannel table.
const size_t STREAM_BLOCK_SIZE = 768;
const int MAX_AUDIO_STREAMS = 8;
const int MAX_SUBPICTURE_STREAMS = 32;
const int MAX_MENU_SUBPICTURE_STREAMS = 28;

// Audio coding modes.
enum : BYTE
{
    AUDIO_CODING_AC3 = 0,
    AUDIO_CODING_MPEG1 = 2,
    AUDIO_CODING_MPEG2EXT = 3,
    AUDIO_CODING_LPCM = 4,
    AUDIO_CODING_DTS = 6,
    AUDIO_CODING_SDDS = 7,
};

// The 2-byte video attribute word exactly as in the IFO.
struct CVideoAttributes
{
    BYTE bytes[2];

    BYTE GetCodingMode() const { return bytes[0] >> 6; }
    BYTE GetStandard() const { return (bytes[0] >> 4) & 0x03; } // 0 525/60, 1 625/50
    BYTE GetAspectRatio() const { return (bytes[0] >> 2) & 0x03; }
    BYTE GetResolution() const { return (bytes[1] >> 2) & 0x03; }
    int GetWidth() const;
    // 625/50 sizes for the 625/50 standard, 525/60 sizes for every other.
    int GetHeight() const;
};

// The first 7 bytes of an 8-byte IFO audio attribute entry.
struct CAudioAttributes
{
    BYTE bytes[7];

    BYTE GetCodingMode() const { return bytes[0] >> 5; }
    const BYTE* GetLanguageCode() const { return bytes + 2; }
    BYTE GetCodeExtension() const { return bytes[5]; }
};

// A whole 6-byte IFO sub-picture attribute entry.
struct CSubpictureAttributes
{
    BYTE bytes[6];

    BYTE GetCodingMode() const { return bytes[0] >> 5; }
    const BYTE* GetLanguageCode() const { return bytes + 2; }
    BYTE GetCodeExtension() const { return bytes[5]; }
};

// The title domain's multichannel audio table: 8 entries of 24 bytes.
struct CMultichannelAttributes
{
    BYTE bytes[192];
};

typedef CDvdPtrArray<CAudioAttributes> CAudioAttributesArray;
typedef CDvdPtrArray<CSubpictureAttributes> CSubpictureAttributesArray;

class CStreamSet : public CDvdObject
{
public:
    CStreamSet(CDvdObject* pParent, bool bMenu);
    CStreamSet(const CStreamSet& other, CDvdObject* pParent);
    CStreamSet& operator=(const CStreamSet& other);

    CStreamSet* Self() override { return this; }
    const CStreamSet* Self() const override { return this; }
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override;
    void Invalidate() override {}

    bool IsMenu() const { return m_bMenu; }
    const CVideoAttributes& GetVideo() const { return m_video; }
    int GetAudioCount() const { return (int)m_audio.GetSize(); }
    const CAudioAttributes* GetAudio(int i) const { return m_audio.GetAt((uint32_t)i); }
    int GetSubpictureCount() const { return (int)m_subpictures.GetSize(); }
    const CSubpictureAttributes* GetSubpicture(int i) const { return m_subpictures.GetAt((uint32_t)i); }
    const CMultichannelAttributes& GetMultichannel() const { return m_multichannel; }
    // 32 sub-picture streams in a title domain, 28 in a menu.
    int GetMaxSubpictureCount() const;

    void RemoveAll();
    // Later streams move down one number; whoever refers to them renumbers.
    void RemoveAudioStream(BYTE i);
    void RemoveSubpictureStream(BYTE i);
    // Held to the domain's maximum; empty slots get zeroed entries.
    void SetSubpictureCount(BYTE n, bool bClearAll);

    // pBlock holds STREAM_BLOCK_SIZE bytes. ReadIfo refuses more than 8 audio
    // streams or more sub-picture streams than the domain can have.
    bool ReadIfo(const BYTE* pBlock, bool bMenu);
    // Writes only the fields the set holds; other bytes stay as they are.
    void WriteIfo(BYTE* pBlock) const;

    bool Store(CProjectWriter& writer) const;
    bool Load(CDvdLog& log, CProjectReader& reader);

    // Video word and every audio and sub-picture entry; neither the menu flag
    // nor the multichannel table counts.
    bool Equals(const CStreamSet& other) const;

private:
    void CopyStreams(const CStreamSet& other);

    bool m_bMenu;
    CVideoAttributes m_video;
    CAudioAttributesArray m_audio;
    CSubpictureAttributesArray m_subpictures;
    CMultichannelAttributes m_multichannel;
};

// ---- Stream texts and MPEG ids ------------------------------------------------

// "AC3", "Mpeg-1", "Mpeg-2ext", "LPCM", "DTS", "SDDS"; empty for other modes.
const char* GetAudioCodingName(BYTE nCodingMode);
// 0xBD (private stream 1) for AC-3, LPCM, DTS and SDDS; 0xC0 + n and 0xD0 + n
// for the MPEG modes; 0 otherwise.
BYTE GetAudioStreamId(BYTE nCodingMode, BYTE nStream);
// The private-stream-1 sub-stream id; 0 for the MPEG and unknown modes.
BYTE GetAudioSubstreamId(BYTE nCodingMode, BYTE nStream);
CString FormatAudioStreamId(BYTE nCodingMode, BYTE nStream);
BYTE GetSubpictureSubstreamId(BYTE nStream);
CString FormatSubpictureStreamId(BYTE nStream);
const char* GetAudioCodeExtensionText(BYTE nCode);
const char* GetSubpictureCodeExtensionText(BYTE nCode);
