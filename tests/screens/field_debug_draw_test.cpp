// The physics debug draw over a running field, read back from the view's pixels.
#include "field_unit_game.h"

#include "gl/ccGLStateCache.h"

#include <gtest/gtest.h>

using namespace cocos2d;
using namespace field_test;

namespace {

constexpr unsigned kBox = 90020, kWheel = 90021, kLinker = 90022;

class FieldDebugDrawTest : public UnitGameTest {
protected:
    void TearDown() override
    {
        ZqPScreenScene::setDebugDrawEnabled(false);
        UnitGameTest::TearDown();
    }

    // The brightest channel sum among the pixels within one of (x, y).
    int brightestNear(int x, int y)
    {
        int brightest = 0;
        for (int dx = -1; dx <= 1; ++dx) {
            for (int dy = -1; dy <= 1; ++dy) {
                const std::vector<unsigned char> px = pixel(x + dx, y + dy);
                brightest = std::max(brightest, px[0] + px[1] + px[2]);
            }
        }
        return brightest;
    }
};

TEST_F(FieldDebugDrawTest, OnItOutlinesTheBodiesInTheCamerasSpaceOffItDrawsNothing)
{
    EXPECT_FALSE(ZqPScreenScene::isDebugDrawEnabled()) << "off by default";
    place(*start, kBox, CCPoint(300, 200));
    play();
    ASSERT_NE(bodyOf(kBox), nullptr);
    frame();
    // The block's frame is clear: it is drawn, and shows nothing.
    const unsigned blockDraws = g_uNumberOfDraws;
    EXPECT_EQ(brightestNear(280, 200), 0);

    ZqPScreenScene::setDebugDrawEnabled(true);
    // The camera moved 100 points on: the box, from 280 to 320 in the field, shows at 180 to 220.
    field->camera()->setPosition(-100, 0);
    frame();
    EXPECT_GT(g_uNumberOfDraws, blockDraws);
    EXPECT_GT(brightestNear(180, 200), 300) << "the left edge";
    EXPECT_GT(brightestNear(220, 200), 300) << "the right edge";
    EXPECT_GT(brightestNear(200, 180), 300) << "the bottom edge";
    const std::vector<unsigned char> inside = pixel(200, 200);
    EXPECT_GT(inside[0] + inside[1] + inside[2], 0) << "filled at part strength";
    EXPECT_LT(inside[0] + inside[1] + inside[2], 300);
    EXPECT_EQ(brightestNear(280, 200), 0) << "nothing where the camera's move took it from";
    EXPECT_EQ(brightestNear(160, 200), 0);

    ZqPScreenScene::setDebugDrawEnabled(false);
    frame();
    EXPECT_EQ(g_uNumberOfDraws, blockDraws);
    EXPECT_EQ(brightestNear(180, 200), 0);
}

TEST_F(FieldDebugDrawTest, AJointIsDrawnFromItsBodiesToItsAnchor)
{
    place(*start, kBox, CCPoint(300, 300));
    place(*start, kWheel, CCPoint(400, 300), true);
    game.linker(kLinker, "Axle", *start, kBox, kWheel, 1.0f, false);
    ZqPScreenScene::setDebugDrawEnabled(true);
    play();
    ASSERT_EQ(field->linkers().joints().size(), 1u);
    frame();
    // Between the two boxes only the joint's line from the block to the wheel's centre.
    EXPECT_GT(brightestNear(350, 300), 300);
    EXPECT_EQ(brightestNear(350, 320), 0);
}

} // namespace
