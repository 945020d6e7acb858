#include "framework/core/CObject.h"

#include "framework/core/CException.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace
{

class CShape : public CObject
{
    DECLARE_DYNAMIC(CShape)
};

class CBox : public CShape
{
    DECLARE_DYNCREATE(CBox)
public:
    int m_nSides = 4;
};

class CCube : public CBox
{
    DECLARE_DYNCREATE(CCube)
public:
    CCube() { m_nSides = 6; }
};

class CCircle : public CShape
{
    DECLARE_DYNCREATE(CCircle)
};

// Its construction fails the way framework code fails: by a thrown CException.
class CFailing : public CObject
{
    DECLARE_DYNCREATE(CFailing)
public:
    CFailing() { AfxThrowResourceException(); }
};

IMPLEMENT_DYNAMIC(CShape, CObject)
IMPLEMENT_DYNCREATE(CBox, CShape)
IMPLEMENT_DYNCREATE(CCube, CBox)
IMPLEMENT_DYNCREATE(CCircle, CShape)
IMPLEMENT_DYNCREATE(CFailing, CObject)

TEST(CObject, IsKindOfFollowsTheWholeChain)
{
    CCube cube;
    EXPECT_TRUE(cube.IsKindOf(RUNTIME_CLASS(CCube)));
    EXPECT_TRUE(cube.IsKindOf(RUNTIME_CLASS(CBox)));
    EXPECT_TRUE(cube.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(cube.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(cube.IsKindOf(RUNTIME_CLASS(CCircle)));

    CBox box;
    EXPECT_FALSE(box.IsKindOf(RUNTIME_CLASS(CCube)));
    EXPECT_TRUE(box.IsKindOf(RUNTIME_CLASS(CShape)));

    const CObject& asObject = cube;
    EXPECT_STREQ("CCube", asObject.GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(RUNTIME_CLASS(CBox), RUNTIME_CLASS(CCube)->m_pBaseClass);
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CObject)->m_pBaseClass);
}

TEST(CObject, CreateObjectMakesTheDynamicClass)
{
    std::unique_ptr<CObject> p(RUNTIME_CLASS(CCube)->CreateObject());
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(RUNTIME_CLASS(CCube), p->GetRuntimeClass());
    EXPECT_EQ(6, static_cast<CCube*>(p.get())->m_nSides);

    std::unique_ptr<CObject> q(RUNTIME_CLASS(CBox)->CreateObject());
    ASSERT_NE(nullptr, q);
    EXPECT_STREQ("CBox", q->GetRuntimeClass()->m_lpszClassName);
    EXPECT_EQ(4, static_cast<CBox*>(q.get())->m_nSides);
}

TEST(CObject, ClassWithoutDynamicCreationMakesNone)
{
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CShape)->CreateObject());
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CObject)->CreateObject());
}

TEST(CObject, FailedConstructionMakesNoneAndLeaksNothing)
{
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CFailing)->CreateObject());
}

TEST(CObject, ClassRecordsAreNotSerializable)
{
    CCube cube;
    EXPECT_FALSE(cube.IsSerializable());
    EXPECT_EQ((int)sizeof(CCube), RUNTIME_CLASS(CCube)->m_nObjectSize);
}

} // namespace
