#include "base/CCAutoreleasePool.h"
#include "base/CCObject.h"

#include "Probe.h"

#include <gtest/gtest.h>


using namespace cocos2d;
using basetest::Probe;

namespace {

class ObjectPoolTest : public testing::Test {
protected:
    void SetUp() override
    {
        pools()->push();
        liveAtStart = CCObject::liveObjectCount();
    }
    void TearDown() override
    {
        pools()->pop();
        EXPECT_EQ(CCObject::liveObjectCount(), liveAtStart);
    }
    static CCPoolManager* pools() { return CCPoolManager::sharedPoolManager(); }

    long liveAtStart = 0;
};

TEST_F(ObjectPoolTest, DrainReleasesAutoreleasedAndKeepsRetained)
{
    int deaths = 0;
    Probe* kept = new Probe(&deaths);
    (new Probe(&deaths))->autorelease();
    kept->autorelease();
    kept->retain();
    EXPECT_EQ(kept->retainCount(), 2u);

    pools()->getCurrentPool()->clear();
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(kept->retainCount(), 1u);
    EXPECT_EQ(CCObject::liveObjectCount(), liveAtStart + 1);

    kept->release();
    EXPECT_EQ(deaths, 2);
}

TEST_F(ObjectPoolTest, AutoreleasedTwiceIsReleasedTwice)
{
    int deaths = 0;
    Probe* probe = new Probe(&deaths);
    probe->retain();
    probe->autorelease();
    probe->autorelease();
    pools()->getCurrentPool()->clear();
    EXPECT_EQ(deaths, 1);
}

TEST_F(ObjectPoolTest, NestedPoolsDrainOnlyTheirOwnObjects)
{
    int outerDeaths = 0;
    int innerDeaths = 0;
    pools()->push();
    (new Probe(&outerDeaths))->autorelease();
    pools()->push();
    (new Probe(&innerDeaths))->autorelease();
    pools()->pop();
    EXPECT_EQ(innerDeaths, 1);
    EXPECT_EQ(outerDeaths, 0);
    pools()->pop();
    EXPECT_EQ(outerDeaths, 1);
}

TEST_F(ObjectPoolTest, ObjectAutoreleasedByADestructorDuringDrainIsDrainedToo)
{
    int deaths = 0;
    (new Probe(&deaths, [&deaths] { (new Probe(&deaths))->autorelease(); }))->autorelease();
    pools()->getCurrentPool()->clear();
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(pools()->getCurrentPool()->count(), 0u);
}

TEST_F(ObjectPoolTest, FinalizeDrainsEveryPool)
{
    int deaths = 0;
    (new Probe(&deaths))->autorelease();
    pools()->push();
    (new Probe(&deaths))->autorelease();
    pools()->finalize();
    EXPECT_EQ(deaths, 2);
    pools()->pop();
}

} // namespace
