#include "director/CCDirector.h"
#include "nodes/CCLayer.h"
#include "nodes/CCScene.h"
#include "touch/CCAccelerometer.h"
#include "touch/CCKeypadDispatcher.h"

#include <gtest/gtest.h>

#include <functional>

using namespace cocos2d;

namespace {

// A screen listening to the back key and the accelerometer, as the game's screens do.
class ScreenLayer : public CCLayer {
public:
    static ScreenLayer* create()
    {
        ScreenLayer* layer = new ScreenLayer();
        layer->init();
        layer->autorelease();
        return layer;
    }

    void keyBackClicked() override
    {
        ++backs;
        if (onBack)
            onBack();
    }
    void keyMenuClicked() override { ++menus; }
    void didAccelerate(CCAcceleration* acceleration) override { lastX = acceleration->x; }

    int backs = 0;
    int menus = 0;
    double lastX = 0.0;
    std::function<void()> onBack;
};

class KeypadTest : public testing::Test {
protected:
    void SetUp() override
    {
        CCDirector::sharedDirector()->purgeDirector();
        liveAtStart = CCObject::liveObjectCount();
        scene = CCScene::create();
        CCDirector::sharedDirector()->runWithScene(scene);
    }
    void TearDown() override
    {
        CCDirector::sharedDirector()->purgeDirector();
        EXPECT_EQ(CCObject::liveObjectCount(), liveAtStart);
    }

    ScreenLayer* addScreen()
    {
        ScreenLayer* layer = ScreenLayer::create();
        layer->setKeypadEnabled(true);
        layer->setAccelerometerEnabled(true);
        scene->addChild(layer);
        return layer;
    }

    static bool back() { return CCDirector::sharedDirector()->getKeypadDispatcher()->dispatchKeypadMSG(kTypeBackClicked); }

    long liveAtStart = 0;
    CCScene* scene = nullptr;
};

} // namespace

TEST_F(KeypadTest, BackReachesTheRunningScreenOnly)
{
    EXPECT_FALSE(back());
    ScreenLayer* screen = addScreen();
    EXPECT_TRUE(back());
    EXPECT_TRUE(CCDirector::sharedDirector()->getKeypadDispatcher()->dispatchKeypadMSG(kTypeMenuClicked));
    EXPECT_EQ(screen->backs, 1);
    EXPECT_EQ(screen->menus, 1);

    screen->retain();
    screen->removeFromParent();
    EXPECT_FALSE(back());
    EXPECT_EQ(screen->backs, 1);
    screen->release();
}

TEST_F(KeypadTest, BackThatClosesScreensIsSafe)
{
    ScreenLayer* first = addScreen();
    ScreenLayer* second = addScreen();
    // The first screen's back action removes both screens; nothing else owns them.
    first->onBack = [this] { scene->removeAllChildren(); };
    second->onBack = [] { ADD_FAILURE() << "a closed screen got the back key"; };
    EXPECT_TRUE(back());
    EXPECT_EQ(scene->getChildrenCount(), 0u);
    EXPECT_FALSE(back());
}

TEST_F(KeypadTest, AccelerometerReadingsReachTheRunningScreen)
{
    ScreenLayer* screen = addScreen();
    CCAccelerometer* accelerometer = CCDirector::sharedDirector()->getAccelerometer();
    accelerometer->update(0.25, -0.5, 1.0, 3.0);
    EXPECT_EQ(screen->lastX, 0.25);

    screen->retain();
    screen->removeFromParent();
    EXPECT_EQ(accelerometer->getDelegate(), nullptr);
    accelerometer->update(0.75, 0.0, 0.0, 4.0);
    EXPECT_EQ(screen->lastX, 0.25);
    screen->release();
}
