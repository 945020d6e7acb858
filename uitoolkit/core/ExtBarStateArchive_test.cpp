#include "uitoolkit/core/ExtBarStateArchive.h"

#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"
#include "framework/core/DockState.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

using kxdock::BarStateFormat;
using kxdock::InternalDockStateBar;
using kxdock::InternalDockStateSite;
using kxdock::OuterItemData;
using Bytes = std::vector<BYTE>;

Bytes Store(const std::function<void(CArchive&)>& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    Bytes bytes((size_t)file.GetLength());
    file.SeekToBegin();
    if (!bytes.empty())
        file.Read(bytes.data(), (UINT)bytes.size());
    return bytes;
}

// Loads the bytes into the site; the archive exception's cause, or -1 when
// the read succeeded. pnLeft receives the bytes not read.
int Load(const Bytes& bytes, InternalDockStateSite& site, ULONGLONG* pnLeft = nullptr)
{
    CMemFile file(bytes.data(), (UINT)bytes.size());
    CArchive ar(&file, CArchive::load);
    try
    {
        site.Serialize(ar);
        if (pnLeft != nullptr)
            *pnLeft = ar.GetBytesLeft();
        return -1;
    }
    catch (CArchiveException* e)
    {
        const int nCause = e->m_cause;
        e->Delete();
        return nCause;
    }
}

// The fixed head of a stream up to and including the dock-state block.
void WriteHead(CArchive& ar, DWORD dwShortVersion = 0x0205, const char* pszPlacement = "10,20,30,40,1,0",
               const char* pszSignature = "Quorbis (v. 2.5.0.0) control bar state")
{
    ar << CString(pszSignature) << (DWORD)0x02050000 << dwShortVersion << (DWORD)0 << (DWORD)0 << (DWORD)0 << (DWORD)0
       << CString(pszPlacement);
    CDockState state;
    state.Serialize(ar);
}

// A bar record's fields in stream order, with a child count.
void WriteBarRecord(CArchive& ar, UINT nBarID, UINT nDockBarID, UINT nCircle, DWORD dwFlags, LONG nChildren)
{
    ar << (DWORD)nBarID << (DWORD)nDockBarID << (DWORD)nCircle << (DWORD)50 << (DWORD)0 << dwFlags;
    for (int i = 0; i < 25; ++i) // MRU float style up to the floated size
        ar << (DWORD)0;
    ar << nChildren;
}

InternalDockStateBar* MakeRecord(UINT nBarID, UINT nDockBarID, UINT nCircle, DWORD dwFlags)
{
    auto* p = new InternalDockStateBar;
    p->m_nBarID = nBarID;
    p->m_nDockBarID = nDockBarID;
    p->m_nCircleNo = nCircle;
    p->m_dwStateFlags = dwFlags;
    return p;
}

TEST(ExtBarStateArchive, RecordSizes)
{
    OuterItemData item;
    EXPECT_EQ(Store([&](CArchive& ar) { item.Serialize(ar); }).size(), 40u);
    item.m_posOuter.m_nOrder = 2;
    EXPECT_EQ(Store([&](CArchive& ar) { item.Serialize(ar); }).size(), 72u);

    InternalDockStateBar tabbed;
    EXPECT_EQ(Store([&](CArchive& ar) { tabbed.Serialize(ar); }).size(), 128u);
    for (int i = 0; i < 3; ++i)
        tabbed.m_arrChildren.Add(MakeRecord(100 + i, 59419, 1, 0x181));
    EXPECT_EQ(Store([&](CArchive& ar) { tabbed.Serialize(ar); }).size(), 4 * 128u);
}

TEST(ExtBarStateArchive, OuterItemBytes)
{
    OuterItemData item;
    item.m_bFloating = true;
    item.m_nBarID = 0x1234;
    item.m_ptFloatPos = {-1, 2};
    item.m_posOuter.m_nOrder = 3;
    item.m_posOuter.m_rcBar = {1, 2, 3, 4};
    item.m_posOuter.m_nExtentH = 5;
    item.m_posOuter.m_nExtentV = 6;
    item.m_posOuter.m_dwExtra = 7;
    const Bytes bytes = Store([&](CArchive& ar) { item.Serialize(ar); });
    const Bytes expected = {1,   0, 0x34, 0x12, 0,   0, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0,   0, 200, 0, 0,   0,
                            200, 0, 0,    0,    200, 0, 0,    0,    200,  0,    0, 0, 200, 0, 0,   0, 200, 0,
                            0,   0, 0,    0,    3,   0, 0,    0,    1,    0,    0, 0, 2,   0, 0,   0, 3,   0,
                            0,   0, 4,    0,    0,   0, 5,    0,    0,    0,    6, 0, 0,   0, 7,   0, 0,   0};
    EXPECT_EQ(bytes, expected);
}

TEST(ExtBarStateArchive, StreamHeadAndRoundTrip)
{
    InternalDockStateSite site(nullptr, true, true);
    site.m_wp.rcNormalPosition = {10, 20, 30, 40};
    site.m_wp.showCmd = 3;
    site.m_wp.flags = 2;
    OuterItemData item;
    item.m_nBarID = 0xE800;
    site.m_arrOuterItems.Add(item);
    InternalDockStateBar* pContainer = MakeRecord(0x9001, 59420, 2, 0x52);
    pContainer->m_arrChildren.Add(MakeRecord(0x101, 0x9002, 2, 0x91));
    pContainer->m_arrChildren.Add(MakeRecord(0x102, 0x9002, 2, 0xD1));
    pContainer->m_rcFloatFrame = {5, 6, 7, 8};
    site.m_arrBars.Add(pContainer);
    site.m_arrAutoHideIDs.Add(0x103);
    const Bytes bytes = Store([&](CArchive& ar) { site.Serialize(ar); });

    const char szSignature[] = "Quorbis (v. 2.5.0.0) control bar state";
    const size_t nSig = sizeof(szSignature) - 1;
    ASSERT_GT(bytes.size(), 1 + nSig + 24);
    EXPECT_EQ(bytes[0], nSig);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 1 + nSig), szSignature);
    const Bytes versions = {0, 0, 5, 2, 5, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(bytes.begin() + 1 + nSig, bytes.begin() + 1 + nSig + 24), versions);
    const std::string placement = "10,20,30,40,3,2";
    EXPECT_EQ(bytes[1 + nSig + 24], placement.size());
    EXPECT_EQ(std::string(bytes.begin() + 2 + nSig + 24, bytes.begin() + 2 + nSig + 24 + placement.size()), placement);

    InternalDockStateSite loaded(nullptr, true, true);
    ULONGLONG nLeft = 1;
    ASSERT_EQ(Load(bytes, loaded, &nLeft), -1);
    EXPECT_EQ(nLeft, 0u);
    EXPECT_EQ(loaded.m_wp.length, 44u);
    EXPECT_EQ(loaded.m_wp.showCmd, 3u);
    EXPECT_EQ(loaded.m_wp.flags, 2u);
    EXPECT_EQ(loaded.m_wp.rcNormalPosition.right, 30);
    ASSERT_EQ(loaded.m_arrOuterItems.GetSize(), 1);
    EXPECT_EQ(loaded.m_arrOuterItems[0].m_nBarID, 0xE800u);
    EXPECT_TRUE(loaded.m_arrOuterItems[0].m_posOuter.IsEmpty());
    ASSERT_EQ(loaded.m_arrBars.GetSize(), 1);
    const InternalDockStateBar* pRead = loaded.m_arrBars[0];
    EXPECT_EQ(pRead->m_nBarID, 0x9001u);
    EXPECT_EQ(pRead->m_nCircleNo, 2u);
    EXPECT_EQ(pRead->m_rcFloatFrame.right, 7);
    ASSERT_EQ(pRead->m_arrChildren.GetSize(), 2);
    EXPECT_EQ(pRead->m_arrChildren[1]->m_dwStateFlags, 0xD1u);
    ASSERT_EQ(loaded.m_arrAutoHideIDs.GetSize(), 1);
    EXPECT_EQ(loaded.m_arrAutoHideIDs[0], 0x103u);
    // Written again, the stream is the same byte for byte.
    EXPECT_EQ(Store([&](CArchive& ar) { loaded.Serialize(ar); }), bytes);
}

TEST(ExtBarStateArchive, HeadChecks)
{
    // Another library's signature text with the right short version reads.
    InternalDockStateSite site(nullptr, true, false);
    EXPECT_EQ(Load(Store(
                       [](CArchive& ar)
                       {
                           WriteHead(ar, 0x0205, "10,20,30,40,1,0", "Quorbis (v. 2.4.1.0) control bar state");
                           ar << (LONG)0;
                       }),
                   site),
              -1);
    EXPECT_EQ(site.m_wp.rcNormalPosition.left, 10);
    EXPECT_EQ(site.m_wp.showCmd, 1u);
    EXPECT_EQ(site.m_wp.flags, 0u);

    // Short version 0x0204 fails before the placement: nothing follows the
    // reserved words, yet the failure is the version's, not the end of data.
    EXPECT_EQ(Load(Store(
                       [](CArchive& ar) {
                           ar << CString("x") << (DWORD)0x02040000 << (DWORD)0x0204 << (DWORD)0 << (DWORD)0 << (DWORD)0
                              << (DWORD)0;
                       }),
                   site),
              CArchiveException::generic);

    // A five-number placement fails and leaves the placement zeroed.
    EXPECT_EQ(Load(Store([](CArchive& ar) { WriteHead(ar, 0x0205, "10,20,30,40,1"); }), site),
              CArchiveException::generic);
    EXPECT_EQ(site.m_wp.length, 44u);
    EXPECT_EQ(site.m_wp.showCmd, 0u);
    EXPECT_EQ(site.m_wp.rcNormalPosition.right, 0);
}

TEST(ExtBarStateArchive, PlacementParsing)
{
    struct Case
    {
        const char* psz;
        bool bOk;
    } cases[] = {
        {"10,20,30,40,1,0", true},
        {"-100,-50,0,0,3,2", true},
        {"10,20,30,40,1", false},
        {"10,20,30,40,1,x", false},
        {"", false},
        {"99999999999,0,1,1,1,0", false},
        {"0,0,2147483647,1,1,0", true},
        {"0,0,1,1,12,0", false},
        {"0,0,1,1,-1,0", false},
        {"50,0,10,10,1,0", false},
        {"0,50,10,10,1,0", false},
    };
    for (const Case& c : cases)
    {
        WINDOWPLACEMENT wp = {};
        wp.showCmd = 99;
        EXPECT_EQ(BarStateFormat::ParsePlacement(c.psz, wp), c.bOk) << c.psz;
        if (!c.bOk)
            EXPECT_EQ(wp.showCmd, 99u) << c.psz;
    }
    WINDOWPLACEMENT wp = {};
    ASSERT_TRUE(BarStateFormat::ParsePlacement("1,2,3,4,5,255", wp));
    EXPECT_EQ(wp.flags, 7u); // only the known placement flags
    EXPECT_EQ(wp.length, 44u);
}

TEST(ExtBarStateArchive, CountsOfZeroOrBelowReadNothing)
{
    InternalDockStateSite site(nullptr, true, true);
    ULONGLONG nLeft = 1;
    EXPECT_EQ(Load(Store(
                       [](CArchive& ar)
                       {
                           WriteHead(ar);
                           ar << (LONG)-5 << (LONG)0 << (LONG)-1;
                       }),
                   site, &nLeft),
              -1);
    EXPECT_EQ(nLeft, 0u);
    EXPECT_EQ(site.m_arrOuterItems.GetSize(), 0);
    EXPECT_EQ(site.m_arrBars.GetSize(), 0);
    EXPECT_EQ(site.m_arrAutoHideIDs.GetSize(), 0);
    // A record with a negative child count has no children.
    EXPECT_EQ(Load(Store(
                       [](CArchive& ar)
                       {
                           WriteHead(ar);
                           ar << (LONG)0 << (LONG)1;
                           WriteBarRecord(ar, 100, 59419, 1, 0x11, -3);
                           ar << (LONG)0;
                       }),
                   site),
              -1);
    ASSERT_EQ(site.m_arrBars.GetSize(), 1);
    EXPECT_EQ(site.m_arrBars[0]->m_arrChildren.GetSize(), 0);
}

TEST(ExtBarStateArchive, IncludeResizableMustMatch)
{
    InternalDockStateSite writer(nullptr, true, true);
    writer.m_arrOuterItems.Add(OuterItemData());
    writer.m_arrBars.Add(MakeRecord(100, 59419, 1, 0x11));
    const Bytes withBars = Store([&](CArchive& ar) { writer.Serialize(ar); });

    InternalDockStateSite fixedOnly(nullptr, true, false);
    ULONGLONG nLeft = 0;
    EXPECT_EQ(Load(withBars, fixedOnly, &nLeft), -1);
    EXPECT_EQ(fixedOnly.m_arrOuterItems.GetSize(), 1);
    EXPECT_EQ(fixedOnly.m_arrBars.GetSize(), 0);
    EXPECT_EQ(nLeft, 4u + 128u + 4u); // the bar part is left unread

    writer.m_bIncludeResizable = false;
    InternalDockStateSite both(nullptr, true, true);
    EXPECT_EQ(Load(Store([&](CArchive& ar) { writer.Serialize(ar); }), both), CArchiveException::endOfFile);
}

// Damaged streams end in an archive exception, never in a crash, a hang
// or an allocation the input does not pay for.
TEST(ExtBarStateArchive, MalformedStreams)
{
    struct Case
    {
        const char* pszName;
        std::function<void(CArchive&)> write;
    } cases[] = {
        {"huge outer count", [](CArchive& ar) { WriteHead(ar), ar << (LONG)0x7FFFFFFF; }},
        {"outer count beyond the bytes",
         [](CArchive& ar)
         {
             WriteHead(ar);
             ar << (LONG)3;
             OuterItemData().Serialize(ar);
         }},
        {"huge bar count", [](CArchive& ar) { WriteHead(ar), ar << (LONG)0 << (LONG)1000000000; }},
        {"huge child count",
         [](CArchive& ar)
         {
             WriteHead(ar);
             ar << (LONG)0 << (LONG)1;
             WriteBarRecord(ar, 100, 59419, 1, 0x12, 0x7FFFFFFF);
         }},
        {"child count above the cap",
         [](CArchive& ar)
         {
             WriteHead(ar);
             ar << (LONG)0 << (LONG)1;
             WriteBarRecord(ar, 100, 59419, 1, 0x12, BarStateFormat::kMaxChildren + 1);
             for (int i = 0; i <= BarStateFormat::kMaxChildren; ++i)
                 WriteBarRecord(ar, 100, 59419, 1, 0x91, 0);
             ar << (LONG)0;
         }},
        {"huge auto-hide count", [](CArchive& ar) { WriteHead(ar), ar << (LONG)0 << (LONG)0 << (LONG)0x40000000; }},
        {"10,000-deep nesting",
         [](CArchive& ar)
         {
             WriteHead(ar);
             ar << (LONG)0 << (LONG)1;
             for (int i = 0; i < 10000; ++i)
                 WriteBarRecord(ar, 100 + i, 59419, 1, 0x92, 1);
             WriteBarRecord(ar, 1, 59419, 1, 0x91, 0);
             ar << (LONG)0;
         }},
        {"overlong signature",
         [](CArchive& ar)
         {
             WriteHead(ar, 0x0205, "0,0,1,1,1,0", std::string(5000, 'Q').c_str());
             ar << (LONG)0 << (LONG)0 << (LONG)0;
         }},
        {"overlong placement",
         [](CArchive& ar)
         {
             WriteHead(ar, 0x0205, ("0,0,1,1,1,0" + std::string(500, ' ')).c_str());
             ar << (LONG)0 << (LONG)0 << (LONG)0;
         }},
        {"truncated record",
         [](CArchive& ar)
         {
             WriteHead(ar);
             ar << (LONG)0 << (LONG)1 << (DWORD)100 << (DWORD)59419;
         }},
    };
    for (const Case& c : cases)
    {
        InternalDockStateSite site(nullptr, true, true);
        EXPECT_NE(Load(Store(c.write), site), -1) << c.pszName;
    }
}

TEST(ExtBarStateArchive, DropUnusableRecords)
{
    struct Case
    {
        const char* pszName;
        UINT nDockBarID, nCircle;
        DWORD dwFlags;
        bool bKept;
    } cases[] = {
        {"plain bar in an inner circle", 59420, 1, 0x11, true},
        {"container floating in its frame", 59423, 0, 0x32, true},
        {"tabbed container docked", 59422, 3, 0x13, true},
        {"unknown dock-bar id", 12345, 1, 0x11, false},
        {"outer circle", 59419, 0, 0x11, false},
        {"plain bar floating", 59423, 0, 0x31, false},
        {"floating flag on a docked bar", 59421, 1, 0x32, false},
        {"kind that names nothing", 59419, 1, 0x15, false},
        {"kind 0", 59419, 1, 0x10, false},
        {"child flag at the top", 59419, 1, 0x91, false},
        {"page flag at the top", 59419, 1, 0x111, false},
    };
    InternalDockStateSite site(nullptr, true, true);
    for (const Case& c : cases)
        site.m_arrBars.Add(MakeRecord(100, c.nDockBarID, c.nCircle, c.dwFlags));
    int nKept = 0;
    for (const Case& c : cases)
        nKept += c.bKept ? 1 : 0;
    EXPECT_EQ(site.DropUnusableRecords(), (int)(sizeof(cases) / sizeof(cases[0])) - nKept);
    ASSERT_EQ(site.m_arrBars.GetSize(), nKept);
    INT_PTR n = 0;
    for (const Case& c : cases)
        if (c.bKept)
            EXPECT_EQ(site.m_arrBars[n++]->m_dwStateFlags, c.dwFlags) << c.pszName;
}

TEST(ExtBarStateArchive, DropUnusableChildren)
{
    InternalDockStateSite site(nullptr, true, true);
    InternalDockStateBar* pContainer = MakeRecord(0x9001, 59419, 1, 0x12);
    pContainer->m_arrChildren.Add(MakeRecord(1, 0x9002, 1, 0x91));       // a pane: kept
    pContainer->m_arrChildren.Add(MakeRecord(2, 0x9002, 1, 0x191));      // a page under a container
    pContainer->m_arrChildren.Add(MakeRecord(3, 0x9002, 1, 0x11));       // no child flag
    pContainer->m_arrChildren.Add(MakeRecord(4, 0x9002, 1, 0x92));       // a container in a container
    InternalDockStateBar* pTabbed = MakeRecord(0x9003, 0x9002, 1, 0x93); // kept
    pTabbed->m_arrChildren.Add(MakeRecord(5, 0x9004, 1, 0x391));         // a page: kept
    pTabbed->m_arrChildren.Add(MakeRecord(6, 0x9004, 1, 0x91));          // a pane under a tabbed container
    pContainer->m_arrChildren.Add(pTabbed);
    site.m_arrBars.Add(pContainer);
    InternalDockStateBar* pPlain = MakeRecord(7, 59420, 1, 0x11);
    pPlain->m_arrChildren.Add(MakeRecord(8, 59420, 1, 0x91)); // a plain bar holds nothing
    site.m_arrBars.Add(pPlain);

    EXPECT_EQ(site.DropUnusableRecords(), 5);
    ASSERT_EQ(site.m_arrBars.GetSize(), 2);
    ASSERT_EQ(pContainer->m_arrChildren.GetSize(), 2);
    EXPECT_EQ(pContainer->m_arrChildren[0]->m_nBarID, 1u);
    EXPECT_EQ(pContainer->m_arrChildren[1], pTabbed);
    ASSERT_EQ(pTabbed->m_arrChildren.GetSize(), 1);
    EXPECT_EQ(pTabbed->m_arrChildren[0]->m_nBarID, 5u);
    EXPECT_EQ(pPlain->m_arrChildren.GetSize(), 0);
}

} // namespace
