#include "director/CCDirector.h"
#include "director/CCEGLViewProtocol.h"
#include "touch/CCTouchDispatcher.h"

#include <gtest/gtest.h>

using namespace cocos2d;

namespace {

class TestView : public CCEGLViewProtocol {
public:
    void end() override {}
    bool isOpenGLReady() override { return true; }
    void swapBuffers() override {}
};

// Claims every touch and keeps the last one it was given.
class Finger : public CCObject, public CCTouchDelegate {
public:
    bool ccTouchBegan(CCTouch* touch, CCEvent* event) override
    {
        remember(touch);
        return true;
    }
    void ccTouchMoved(CCTouch* touch, CCEvent* event) override { remember(touch); }

    CCPoint location, previous, start, delta, inView, previousInView;

private:
    void remember(CCTouch* touch)
    {
        location = touch->getLocation();
        previous = touch->getPreviousLocation();
        start = touch->getStartLocation();
        delta = touch->getDelta();
        inView = touch->getLocationInView();
        previousInView = touch->getPreviousLocationInView();
    }
};

class TouchLocationTest : public testing::Test {
protected:
    void SetUp() override
    {
        CCDirector::sharedDirector()->setOpenGLView(&view);
        CCDirector::sharedDirector()->getTouchDispatcher()->addTargetedDelegate(&finger, 0, true);
    }
    void TearDown() override
    {
        CCDirector::sharedDirector()->getTouchDispatcher()->removeDelegate(&finger);
        CCDirector::sharedDirector()->purgeDirector();
    }

    void press(float x, float y)
    {
        const int ids[] = {0};
        CCDirector::sharedDirector()->getTouchDispatcher()->handleTouchesBegin(1, ids, &x, &y);
    }
    void drag(float x, float y)
    {
        const int ids[] = {0};
        CCDirector::sharedDirector()->getTouchDispatcher()->handleTouchesMove(1, ids, &x, &y);
    }

    TestView view;
    Finger finger;
};

} // namespace

TEST_F(TouchLocationTest, WindowPixelsBecomeDesignPointsWithYUpAndInViewWithYDown)
{
    // Twice the design size: every design point is two pixels.
    view.setFrameSize(2272, 1280);
    view.setDesignResolutionSize(1136, 640, kResolutionExactFit);
    press(200, 100);
    EXPECT_EQ(finger.inView, CCPoint(100, 50));
    EXPECT_EQ(finger.location, CCPoint(100, 590));
    EXPECT_EQ(finger.start, CCPoint(100, 590));
    EXPECT_EQ(finger.delta, CCPoint(0, 0));

    // Dragging down the window moves down the scene: y in view grows, y falls.
    drag(260, 180);
    EXPECT_EQ(finger.inView, CCPoint(130, 90));
    EXPECT_EQ(finger.previousInView, CCPoint(100, 50));
    EXPECT_EQ(finger.location, CCPoint(130, 550));
    EXPECT_EQ(finger.previous, CCPoint(100, 590));
    EXPECT_EQ(finger.delta, CCPoint(30, -40));
    EXPECT_EQ(finger.start, CCPoint(100, 590));
}

TEST_F(TouchLocationTest, LetterboxBarsAreOutsideTheDesignArea)
{
    // Show-all on a taller frame: scale 2, a bar of 80 pixels above and below.
    view.setFrameSize(2272, 1440);
    view.setDesignResolutionSize(1136, 640, kResolutionShowAll);
    press(0, 80);
    EXPECT_EQ(finger.location, CCPoint(0, 640));
    drag(2272, 1360);
    EXPECT_EQ(finger.location, CCPoint(1136, 0));
    drag(100, 20);
    EXPECT_EQ(finger.inView, CCPoint(50, -30));
}

TEST_F(TouchLocationTest, CroppedFrameShowsTheVisibleOrigin)
{
    // No-border on a narrower frame: the visible part starts right of the design's left edge.
    view.setFrameSize(1000, 640);
    view.setDesignResolutionSize(1136, 640, kResolutionNoBorder);
    press(0, 640);
    const CCPoint origin = CCDirector::sharedDirector()->getVisibleOrigin();
    EXPECT_FLOAT_EQ(finger.location.x, origin.x);
    EXPECT_FLOAT_EQ(finger.location.y, origin.y);
    EXPECT_FLOAT_EQ(origin.x, 68.0f);
}
