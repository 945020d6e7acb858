// DVD sub-pictures: packets of one sub-picture stream assembled into units
// (run-length pixel data of two fields and display control sequences),
// decoded once into small pictures with alpha and blended over the video.
#pragma once

#include "VDS/source/VideoPicture.h"
#include "framework/core/AfxTypes.h"

#include <cstdint>
#include <memory>

class CSubpictureUnit
{
public:
    CSubpictureUnit();
    CSubpictureUnit(const CSubpictureUnit&) = delete;
    CSubpictureUnit& operator=(const CSubpictureUnit&) = delete;

    // Parses a unit of length bytes: -1 damaged, 0 more data needed, 1
    // complete (the index data then hold the pixels).
    int Parse(const BYTE* data, DWORD length, int32_t baseTime);
    // Crops to the visible pixels, evens the size and builds the decoded
    // picture from the palette (16 entries of 0, Y, Cr, Cb bytes).
    void BuildPicture(const BYTE (*palette)[4]);

    std::unique_ptr<BYTE[]> indexData; // width x height pixel values 0..3
    int32_t width, height, x, y;
    int32_t startTime, endTime;             // milliseconds
    std::unique_ptr<CVideoPicture> decoded; // 4:4:4 with alpha
    std::unique_ptr<CVideoPicture> overlay; // 4:2:0 with alpha, made at first display
    BYTE colourIndex[4];
    BYTE alpha[4];
    CSubpictureUnit* next; // older
    CSubpictureUnit* prev; // newer

private:
    bool DecodeField(const BYTE* data, DWORD length, DWORD offset, int firstRow);
};

class CSubpictureDecoder
{
public:
    CSubpictureDecoder();
    ~CSubpictureDecoder();
    CSubpictureDecoder(const CSubpictureDecoder&) = delete;
    CSubpictureDecoder& operator=(const CSubpictureDecoder&) = delete;

    void SetPalette(const DWORD* palette);
    // Appends one packet's payload (its first byte, the sub-stream id, already
    // removed) with its time in milliseconds (0: a continuation): -1 dropped
    // or damaged, 0 more data needed, 1 a unit was completed.
    int AddPacket(const BYTE* payload, DWORD length, uint32_t time);
    // Blends every unit due at the time into a 4:2:0 picture and deletes the
    // expired ones.
    void Render(CVideoPicture* picture, uint32_t time);
    void Clear();
    CSubpictureUnit* RemoveUnit(CSubpictureUnit* unit);
    void RenderUnit(CVideoPicture* picture, uint32_t time, CSubpictureUnit* unit);
    CSubpictureUnit* GetUnits() const { return m_pUnits; }

    enum
    {
        kBufferSize = 64000
    };

private:
    std::unique_ptr<BYTE[]> m_buffer;
    DWORD m_nLength;
    uint32_t m_nPendingTime;
    CSubpictureUnit* m_pUnits;
    BYTE m_palette[16][4];
};

// The next 4-bit value: the high nibble when bHigh is set (which it clears),
// else the low nibble (then the position advances and bHigh is set again).
int ReadNibble(const BYTE* data, DWORD& position, bool& bHigh);
