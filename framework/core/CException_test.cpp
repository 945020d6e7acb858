#include "framework/core/CException.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

// Counts how many guards are alive, to see the stack unwind.
struct Guard
{
    static int s_alive;
    CString text{"owned text that lives on the heap"};
    Guard() { ++s_alive; }
    ~Guard() { --s_alive; }
};
int Guard::s_alive = 0;

void ThrowFromDepth(int nDepth, int cause)
{
    Guard guard;
    if (nDepth < 0)
        return;
    if (nDepth == 0)
        AfxThrowArchiveException(cause, "project.kxp");
    ThrowFromDepth(nDepth - 1, cause);
}

std::string MessageOf(const CException* e)
{
    char text[256];
    e->GetErrorMessage(text, sizeof(text));
    return text;
}

TEST(CException, ThrownByPointerUnwindsTheStackAndIsDeletedByTheCatcher)
{
    bool bCaught = false;
    try
    {
        Guard outer;
        ThrowFromDepth(5, CArchiveException::genericException);
    }
    catch (CException* e)
    {
        bCaught = true;
        EXPECT_EQ(0, Guard::s_alive);
        ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CArchiveException)));
        CArchiveException* pArchive = static_cast<CArchiveException*>(e);
        EXPECT_EQ(1, pArchive->m_cause);
        EXPECT_EQ(CArchiveException::generic, pArchive->m_cause);
        EXPECT_STREQ("project.kxp", pArchive->m_strFileName);
        e->Delete(); // the sanitizer build reports a leak if this does not free it
    }
    EXPECT_TRUE(bCaught);
}

TEST(CException, EveryThrowerThrowsItsOwnClass)
{
    struct Case
    {
        void (*pfnThrow)();
        CRuntimeClass* pClass;
    };
    const Case cases[] = {
        {[] { AfxThrowMemoryException(); }, RUNTIME_CLASS(CMemoryException)},
        {[] { AfxThrowResourceException(); }, RUNTIME_CLASS(CResourceException)},
        {[] { AfxThrowNotSupportedException(); }, RUNTIME_CLASS(CNotSupportedException)},
        {[] { AfxThrowInvalidArgException(); }, RUNTIME_CLASS(CInvalidArgException)},
        {[] { AfxThrowUserException(); }, RUNTIME_CLASS(CUserException)},
        {[] { AfxThrowFileException(CFileException::diskFull, 28, "out.vob"); }, RUNTIME_CLASS(CFileException)},
        {[] { AfxThrowArchiveException(CArchiveException::endOfFile); }, RUNTIME_CLASS(CArchiveException)},
    };
    for (const Case& c : cases)
    {
        try
        {
            c.pfnThrow();
            ADD_FAILURE() << "nothing thrown";
        }
        catch (CException* e)
        {
            EXPECT_EQ(c.pClass, e->GetRuntimeClass()) << e->GetRuntimeClass()->m_lpszClassName;
            EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CException)));
            e->Delete();
        }
    }
}

TEST(CException, OutOfMemoryNeedsNoMemoryAndSurvivesDelete)
{
    CException* pFirst = nullptr;
    try
    {
        AfxThrowMemoryException();
    }
    catch (CException* e)
    {
        pFirst = e;
        e->Delete();
    }
    try
    {
        AfxThrowMemoryException();
    }
    catch (CException* e)
    {
        EXPECT_EQ(pFirst, e); // the same shared object, still usable
        EXPECT_EQ("Out of memory.", MessageOf(e));
        e->Delete();
    }
}

TEST(CException, MessagesNameTheCauseAndTheFile)
{
    CFileException fileError(CFileException::fileNotFound, 2, "VIDEO_TS/VTS_01_0.IFO");
    EXPECT_EQ("The file was not found accessing VIDEO_TS/VTS_01_0.IFO.", MessageOf(&fileError));

    CArchiveException archiveError(CArchiveException::endOfFile, "disc.kxp");
    EXPECT_EQ("The file ended unexpectedly: disc.kxp.", MessageOf(&archiveError));

    CArchiveException strangeCause(99);
    EXPECT_EQ("The file content is not as expected.", MessageOf(&strangeCause));

    CUserException userEnd;
    char text[8] = "x";
    EXPECT_FALSE(userEnd.GetErrorMessage(text, sizeof(text)));
    EXPECT_STREQ("", text);
}

TEST(CException, MessageIsCutToTheBufferAndTerminated)
{
    CMemoryException e(FALSE);
    char text[6];
    memset(text, 'x', sizeof(text));
    UINT nHelp = 77;
    EXPECT_TRUE(e.GetErrorMessage(text, sizeof(text), &nHelp));
    EXPECT_STREQ("Out o", text);
    EXPECT_EQ(0u, nHelp);
}

} // namespace
