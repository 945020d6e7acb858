// Bounded, read-only window on the bytes of an IFO image, and the big-endian
// field accessors used by the IFO table readers and writers.
//
// Every offset and count that an IFO table holds is data from the disc: a
// damaged or hostile file may point anywhere. The readers therefore never
// take a raw pointer into the image; they carve sub-views out of the bytes
// actually read and ask each view whether a field lies inside it before they
// read the field.
#pragma once

#include "framework/core/AfxTypes.h"

#include <cstddef>
#include <cstring>

inline WORD GetBE16(const BYTE* p)
{
    return (WORD)((p[0] << 8) | p[1]);
}

inline DWORD GetBE32(const BYTE* p)
{
    return ((DWORD)p[0] << 24) | ((DWORD)p[1] << 16) | ((DWORD)p[2] << 8) | (DWORD)p[3];
}

inline void PutBE16(BYTE* p, WORD v)
{
    p[0] = (BYTE)(v >> 8);
    p[1] = (BYTE)v;
}

inline void PutBE32(BYTE* p, DWORD v)
{
    p[0] = (BYTE)(v >> 24);
    p[1] = (BYTE)(v >> 16);
    p[2] = (BYTE)(v >> 8);
    p[3] = (BYTE)v;
}

class CIfoView
{
public:
    CIfoView() : m_pData(nullptr), m_nSize(0) {}
    CIfoView(const BYTE* pData, size_t nSize) : m_pData(pData), m_nSize(pData ? nSize : 0) {}

    const BYTE* GetData() const { return m_pData; }
    size_t GetSize() const { return m_nSize; }

    // True when the nLength bytes at nOffset lie inside the view.
    bool Contains(size_t nOffset, size_t nLength) const { return nOffset <= m_nSize && nLength <= m_nSize - nOffset; }

    // The bytes from nOffset to the end of this view; empty when nOffset lies
    // beyond it.
    CIfoView From(size_t nOffset) const
    {
        if (nOffset > m_nSize)
            return CIfoView();
        return CIfoView(m_pData + nOffset, m_nSize - nOffset);
    }

    // Each accessor answers false, leaving the value alone, when the field does
    // not lie inside the view.
    bool Get8(size_t nOffset, BYTE& value) const
    {
        if (!Contains(nOffset, 1))
            return false;
        value = m_pData[nOffset];
        return true;
    }
    bool Get16(size_t nOffset, WORD& value) const
    {
        if (!Contains(nOffset, 2))
            return false;
        value = GetBE16(m_pData + nOffset);
        return true;
    }
    bool Get32(size_t nOffset, DWORD& value) const
    {
        if (!Contains(nOffset, 4))
            return false;
        value = GetBE32(m_pData + nOffset);
        return true;
    }
    bool GetBytes(size_t nOffset, void* pOut, size_t nLength) const
    {
        if (!Contains(nOffset, nLength))
            return false;
        if (nLength)
            memcpy(pOut, m_pData + nOffset, nLength);
        return true;
    }

private:
    const BYTE* m_pData;
    size_t m_nSize;
};
