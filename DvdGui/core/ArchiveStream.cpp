#include "DvdGui/core/ArchiveStream.h"

#include "framework/core/CFile.h"

CArchiveReader::CArchiveReader(CArchive& ar) : m_archive(ar), m_nLength(0)
{
    if (CFile* pFile = ar.GetFile())
        m_nLength = pFile->GetLength();
}

uint32_t CArchiveReader::Read(void* pBuffer, uint32_t nBytes)
{
    return m_archive.Read(pBuffer, nBytes);
}

CArchiveWriter::~CArchiveWriter()
{
    try
    {
        m_archive.Flush();
    }
    catch (CException* e)
    {
        // The store has already failed or the archive's close reports it.
        e->Delete();
    }
}

uint32_t CArchiveWriter::Write(const void* pData, uint32_t nBytes)
{
    m_archive.Write(pData, nBytes);
    return nBytes;
}
