// Dock-state records through an archive: what is stored comes back, and a
// damaged stream is refused before anything of it is applied.
#include "framework/core/DockState.h"

#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{

CControlBarInfo* MakeInfo(UINT nID, bool bDocking, std::vector<DWORD> ids)
{
    auto* p = new CControlBarInfo;
    p->m_nBarID = nID;
    p->m_bVisible = nID % 2;
    p->m_bFloating = nID % 3 == 0;
    p->m_bHorz = TRUE;
    p->m_bDockBar = !ids.empty();
    p->m_pointPos = CPoint(-5, 17);
    p->m_nMRUWidth = 123;
    p->m_bDocking = bDocking;
    if (bDocking)
    {
        p->m_uMRUDockID = 59420;
        p->m_rectMRUDockPos = CRect(1, 2, 30, 40);
        p->m_dwMRUFloatStyle = 0x2004;
        p->m_ptMRUFloatPos = CPoint(300, -20);
    }
    for (DWORD id : ids)
        p->m_arrBarID.Add(id);
    return p;
}

void ExpectEqual(const CControlBarInfo& a, const CControlBarInfo& b)
{
    EXPECT_EQ(a.m_nBarID, b.m_nBarID);
    EXPECT_EQ(a.m_bVisible, b.m_bVisible);
    EXPECT_EQ(a.m_bFloating, b.m_bFloating);
    EXPECT_EQ(a.m_bHorz, b.m_bHorz);
    EXPECT_EQ(a.m_bDockBar, b.m_bDockBar);
    EXPECT_EQ(a.m_pointPos, b.m_pointPos);
    EXPECT_EQ(a.m_nMRUWidth, b.m_nMRUWidth);
    EXPECT_EQ(a.m_bDocking, b.m_bDocking);
    EXPECT_EQ(a.m_uMRUDockID, b.m_uMRUDockID);
    EXPECT_EQ(a.m_rectMRUDockPos, b.m_rectMRUDockPos);
    EXPECT_EQ(a.m_dwMRUFloatStyle, b.m_dwMRUFloatStyle);
    EXPECT_EQ(a.m_ptMRUFloatPos, b.m_ptMRUFloatPos);
    ASSERT_EQ(a.m_arrBarID.GetSize(), b.m_arrBarID.GetSize());
    for (INT_PTR i = 0; i < a.m_arrBarID.GetSize(); ++i)
        EXPECT_EQ(a.m_arrBarID[i], b.m_arrBarID[i]) << i;
}

std::vector<BYTE> Store(CDockState& state)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        state.Serialize(ar);
    }
    std::vector<BYTE> bytes((size_t)file.GetLength());
    file.SeekToBegin();
    file.Read(bytes.data(), (UINT)bytes.size());
    return bytes;
}

// Loads the bytes into the state; the archive's exception cause, or -1.
int Load(CDockState& state, const std::vector<BYTE>& bytes)
{
    CMemFile file(bytes.data(), (UINT)bytes.size());
    CArchive ar(&file, CArchive::load);
    try
    {
        state.Serialize(ar);
    }
    catch (CArchiveException* e)
    {
        int cause = e->m_cause;
        e->Delete();
        return cause;
    }
    return -1;
}

void Put(std::vector<BYTE>& bytes, size_t at, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = (BYTE)(value >> (8 * i));
}

class DockStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_state.m_arrBarInfo.Add(
            MakeInfo(59419, false, {0, 0xE840, 0xE841, 0, CControlBarInfo::barIdPlaceholder | 0xE842, 0}));
        m_state.m_arrBarInfo.Add(MakeInfo(0xE840, true, {}));
        m_state.m_arrBarInfo.Add(MakeInfo(0xE841, false, {}));
        m_state.m_arrBarInfo.Add(MakeInfo(59423, true, {0, 0xE842, 0}));
    }
    CDockState m_state;
};

TEST_F(DockStateTest, RecordsComeBackAsStored)
{
    std::vector<BYTE> bytes = Store(m_state);
    CDockState loaded;
    ASSERT_EQ(Load(loaded, bytes), -1);
    ASSERT_EQ(loaded.m_arrBarInfo.GetSize(), 4);
    for (int i = 0; i < 4; ++i)
        ExpectEqual(*loaded.GetBarInfo(i), *m_state.GetBarInfo(i));
    // the live bar is never part of the stream
    m_state.GetBarInfo(0)->m_pBar = reinterpret_cast<CControlBar*>(&bytes);
    EXPECT_EQ(Store(m_state), bytes);
    EXPECT_EQ(loaded.GetBarInfo(0)->m_pBar, nullptr);

    // layout of the head: version, count, then the first record's id
    EXPECT_EQ(bytes[0], CDockState::kVersion);
    EXPECT_EQ(bytes[4], 4);
    EXPECT_EQ(bytes[8] | bytes[9] << 8, 59419);

    // an empty state stores a version and a zero count
    CDockState empty;
    EXPECT_EQ(Store(empty), (std::vector<BYTE>{1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Load(loaded, Store(empty)), -1);
    EXPECT_EQ(loaded.m_arrBarInfo.GetSize(), 0);
}

TEST_F(DockStateTest, ACutStreamThrowsAtEveryLengthAndAppliesNothing)
{
    std::vector<BYTE> bytes = Store(m_state);
    for (size_t n = 0; n < bytes.size(); ++n)
    {
        CDockState loaded;
        loaded.m_arrBarInfo.Add(MakeInfo(7, false, {0}));
        std::vector<BYTE> cut(bytes.begin(), bytes.begin() + n);
        EXPECT_NE(Load(loaded, cut), -1) << n;
        ASSERT_EQ(loaded.m_arrBarInfo.GetSize(), 1) << n;
        EXPECT_EQ(loaded.GetBarInfo(0)->m_nBarID, 7u) << n;
    }
}

TEST_F(DockStateTest, DamagedHeadsAndCountsAreRefused)
{
    const std::vector<BYTE> good = Store(m_state);
    // offsets in the stored stream: the record count, the first record's
    // flags and its id count (after id, flags, position, width, docking flag)
    const size_t nCount = 4;
    const size_t nFlags = 12;
    const size_t nIdCount = 8 + 4 + 4 + 8 + 4 + 1;
    const struct
    {
        const char* what;
        std::function<void(std::vector<BYTE>&)> damage;
        int cause;
    } cases[] = {
        {"unknown version", [](std::vector<BYTE>& b) { Put(b, 0, 2); }, CArchiveException::badSchema},
        {"version zero", [](std::vector<BYTE>& b) { Put(b, 0, 0); }, CArchiveException::badSchema},
        {"huge record count", [&](std::vector<BYTE>& b) { Put(b, nCount, 0x7FFFFFFF); }, CArchiveException::badIndex},
        {"negative record count", [&](std::vector<BYTE>& b) { Put(b, nCount, 0xFFFFFFFF); },
         CArchiveException::badIndex},
        {"count past the bytes", [&](std::vector<BYTE>& b) { Put(b, nCount, 2000); }, CArchiveException::badIndex},
        {"huge id count", [&](std::vector<BYTE>& b) { Put(b, nIdCount, 0x40000000); }, CArchiveException::badIndex},
        {"id count past the bytes", [&](std::vector<BYTE>& b) { Put(b, nIdCount, 400); }, CArchiveException::badIndex},
        {"flag not 0 or 1", [&](std::vector<BYTE>& b) { b[nFlags] = 7; }, CArchiveException::badSchema},
    };
    for (const auto& c : cases)
    {
        std::vector<BYTE> bytes = good;
        c.damage(bytes);
        CDockState loaded;
        loaded.m_arrBarInfo.Add(MakeInfo(7, false, {0}));
        EXPECT_EQ(Load(loaded, bytes), c.cause) << c.what;
        EXPECT_EQ(loaded.m_arrBarInfo.GetSize(), 1) << c.what;
    }

    // the caps hold even when the bytes would be there
    std::vector<BYTE> many = {1, 0, 0, 0};
    many.resize(8 + (CDockState::kMaxBars + 1) * 30, 0);
    Put(many, 4, CDockState::kMaxBars + 1);
    CDockState loaded;
    EXPECT_EQ(Load(loaded, many), CArchiveException::badIndex);
}

} // namespace
