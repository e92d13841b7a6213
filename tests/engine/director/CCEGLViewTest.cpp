#include "engine/director/DirectorFixture.h"

using namespace cocos2d;

namespace {

struct PolicyCase {
    ResolutionPolicy policy;
    CCSize frame;
    CCSize winSize;
    CCSize visibleSize;
    CCPoint visibleOrigin;
    float scaleX;
    float scaleY;
};

void expectSize(const CCSize& actual, const CCSize& expected)
{
    EXPECT_NEAR(actual.width, expected.width, 1e-3f);
    EXPECT_NEAR(actual.height, expected.height, 1e-3f);
}

using ViewTest = DirectorFixture;

} // namespace

TEST_F(ViewTest, EachPolicyGivesItsWinSizeAndVisibleArea)
{
    const PolicyCase cases[] = {
        // Narrower frame than the 1136x640 design: cropped at the sides.
        {kResolutionNoBorder, {1000, 640}, {1136, 640}, {1000, 640}, {68, 0}, 1.0f, 1.0f},
        // Wider frame: cropped top and bottom.
        {kResolutionNoBorder, {2272, 1000}, {1136, 640}, {1136, 500}, {0, 70}, 2.0f, 2.0f},
        {kResolutionShowAll, {2272, 1000}, {1136, 640}, {1136, 640}, {0, 0}, 1000.0f / 640.0f, 1000.0f / 640.0f},
        {kResolutionUnKnown, {568, 640}, {1136, 640}, {1136, 640}, {0, 0}, 0.5f, 0.5f},
        {kResolutionExactFit, {568, 1280}, {1136, 640}, {1136, 640}, {0, 0}, 0.5f, 2.0f},
        // Fixed height: the design widens to the frame's aspect.
        {kResolutionFixedHeight, {1600, 1000}, {1024, 640}, {1024, 640}, {0, 0}, 1.5625f, 1.5625f},
        {kResolutionFixedWidth, {1136, 852}, {1136, 852}, {1136, 852}, {0, 0}, 1.0f, 1.0f},
    };
    for (const PolicyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "policy " << c.policy << " frame " << c.frame.width << "x"
                                        << c.frame.height);
        view.setFrameSize(c.frame.width, c.frame.height);
        view.setDesignResolutionSize(1136.0f, 640.0f, c.policy);
        expectSize(director->getWinSize(), c.winSize);
        expectSize(director->getVisibleSize(), c.visibleSize);
        EXPECT_NEAR(director->getVisibleOrigin().x, c.visibleOrigin.x, 1e-3f);
        EXPECT_NEAR(director->getVisibleOrigin().y, c.visibleOrigin.y, 1e-3f);
        EXPECT_NEAR(view.getScaleX(), c.scaleX, 1e-5f);
        EXPECT_NEAR(view.getScaleY(), c.scaleY, 1e-5f);
        // The content offset the game adds for these policies agrees with the visible area.
        if (c.policy != kResolutionNoBorder) {
            EXPECT_EQ(director->contentOffset(), director->getVisibleOrigin());
        }
    }
}

TEST_F(ViewTest, AFrameChangeRefitsTheDesignResolution)
{
    view.setDesignResolutionSize(1136.0f, 640.0f, kResolutionFixedHeight);
    view.setFrameSize(1600.0f, 1000.0f);
    expectSize(director->getWinSize(), CCSize(1024.0f, 640.0f));
    // Back to a wider frame (leaving fullscreen): fitted from the requested size again.
    view.setFrameSize(1136.0f, 640.0f);
    expectSize(director->getWinSize(), CCSize(1136.0f, 640.0f));
    const CCRect& viewport = view.getViewPortRect();
    EXPECT_FLOAT_EQ(viewport.size.width, 1136.0f);

    // Show-all letterboxes: the viewport is centred in the frame.
    view.setDesignResolutionSize(1136.0f, 640.0f, kResolutionShowAll);
    view.setFrameSize(1136.0f, 840.0f);
    EXPECT_FLOAT_EQ(view.getViewPortRect().origin.y, 100.0f);

    // Nonsense sizes leave the fit alone.
    view.setDesignResolutionSize(0.0f, 640.0f, kResolutionNoBorder);
    EXPECT_EQ(view.getResolutionPolicy(), kResolutionShowAll);
    expectSize(director->getWinSize(), CCSize(1136.0f, 640.0f));
}

TEST_F(ViewTest, WithoutADesignResolutionPointsArePixels)
{
    expectSize(director->getWinSize(), CCSize(480.0f, 320.0f));
    expectSize(director->getVisibleSize(), CCSize(480.0f, 320.0f));
    view.setViewName("Sample Game");
    EXPECT_STREQ(view.getViewName(), "Sample Game");
    // Scenes and layers take the window size when made.
    EXPECT_EQ(CCScene::create()->getContentSize(), CCSize(480.0f, 320.0f));
}
