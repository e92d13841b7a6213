#include "base/CCAffineTransform.h"
#include "base/CCGeometry.h"
#include "base/ccTypes.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cocos2d;

namespace {

constexpr float kPi = 3.14159265f;

void expectNear(const CCPoint& actual, const CCPoint& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
}

TEST(GeometryTest, RotationsTurnCounterClockwise)
{
    expectNear(ccp(1, 0).rotateByAngle(CCPointZero, kPi / 2), ccp(0, 1));
    expectNear(ccp(2, 1).rotateByAngle(ccp(1, 1), kPi / 2), ccp(1, 2));
    expectNear(ccpRotateByAngle(ccp(0, 1), CCPointZero, -kPi / 2), ccp(1, 0));
    expectNear(ccp(2, 0).rotate(ccp(0, 1)), ccp(0, 2));
    expectNear(CCPoint::forAngle(kPi), ccp(-1, 0));
    EXPECT_NEAR(ccp(0, -2).getAngle(), -kPi / 2, 1e-6f);
    EXPECT_NEAR(ccpToAngle(ccp(-1, 0)), kPi, 1e-6f);

    // Signed angle from this to other.
    EXPECT_NEAR(ccp(1, 0).getAngle(ccp(0, 3)), kPi / 2, 1e-6f);
    EXPECT_NEAR(ccp(1, 0).getAngle(ccp(0, -3)), -kPi / 2, 1e-6f);
    EXPECT_NEAR(ccp(0, 1).getAngle(ccp(1, 0)), -kPi / 2, 1e-6f);
    EXPECT_EQ(ccp(2, 2).getAngle(ccp(5, 5)), 0.0f);
    EXPECT_EQ(CCPointZero.getAngle(ccp(1, 1)), 0.0f);
}

TEST(GeometryTest, VectorArithmeticNeverGivesNaN)
{
    expectNear(ccp(3, 4).normalize(), ccp(0.6f, 0.8f));
    EXPECT_EQ(CCPointZero.normalize(), ccp(1, 0));
    EXPECT_FLOAT_EQ(ccpLength(ccp(3, 4)), 5.0f);
    EXPECT_FLOAT_EQ(ccpDistance(ccp(1, 1), ccp(4, 5)), 5.0f);
    EXPECT_EQ(ccpLerp(ccp(0, 10), ccp(10, 20), 0.25f), ccp(2.5f, 12.5f));
    EXPECT_EQ(ccpCompMult(ccp(2, 3), ccp(4, -1)), ccp(8, -3));

    EXPECT_TRUE(ccp(1, 1).fuzzyEquals(ccp(1.05f, 0.95f), 0.1f));
    EXPECT_FALSE(ccp(1, 1).fuzzyEquals(ccp(1.2f, 1.0f), 0.1f));
}

TEST(GeometryTest, SegmentAndLineIntersections)
{
    EXPECT_TRUE(ccpSegmentIntersect(ccp(0, 0), ccp(2, 2), ccp(0, 2), ccp(2, 0)));
    expectNear(ccpIntersectPoint(ccp(0, 0), ccp(2, 2), ccp(0, 2), ccp(2, 0)), ccp(1, 1));
    // Touching at an end point counts; falling short does not, though the lines meet.
    EXPECT_TRUE(ccpSegmentIntersect(ccp(0, 0), ccp(1, 0), ccp(1, -1), ccp(1, 1)));
    EXPECT_FALSE(ccpSegmentIntersect(ccp(0, 0), ccp(0.9f, 0), ccp(1, -1), ccp(1, 1)));
    expectNear(ccpIntersectPoint(ccp(0, 0), ccp(0.5f, 0), ccp(1, -1), ccp(1, 1)), ccp(1, 0));

    // Parallel and collinear lines have no single crossing point.
    EXPECT_FALSE(ccpSegmentIntersect(ccp(0, 0), ccp(1, 0), ccp(0, 1), ccp(1, 1)));
    EXPECT_FALSE(ccpSegmentIntersect(ccp(0, 0), ccp(2, 0), ccp(1, 0), ccp(3, 0)));
    EXPECT_FALSE(ccpSegmentIntersect(ccp(0, 0), ccp(1, 0), ccp(5, 0), ccp(6, 0)));
    EXPECT_EQ(ccpIntersectPoint(ccp(0, 0), ccp(1, 1), ccp(0, 1), ccp(1, 2)), CCPointZero);
    EXPECT_EQ(ccpIntersectPoint(ccp(0, 0), ccp(0, 0), ccp(0, 1), ccp(1, 2)), CCPointZero);
    EXPECT_FALSE(ccpSegmentIntersect(ccp(NAN, 0), ccp(1, 1), ccp(0, 1), ccp(1, 0)));
}

TEST(GeometryTest, RectanglesIncludeTheirEdgesAndHandleMirroredSizes)
{
    const CCRect rect(10, 20, 30, 40);
    EXPECT_FLOAT_EQ(rect.getMinX(), 10);
    EXPECT_FLOAT_EQ(rect.getMidX(), 25);
    EXPECT_FLOAT_EQ(rect.getMaxY(), 60);
    EXPECT_TRUE(rect.containsPoint(ccp(10, 20)));
    EXPECT_TRUE(rect.containsPoint(ccp(40, 60)));
    EXPECT_FALSE(rect.containsPoint(ccp(40.01f, 30)));
    EXPECT_FALSE(rect.containsPoint(ccp(20, 19.99f)));

    EXPECT_TRUE(rect.intersectsRect(CCRectMake(40, 60, 5, 5)));
    EXPECT_FALSE(rect.intersectsRect(CCRectMake(40.5f, 30, 5, 5)));
    EXPECT_TRUE(rect.intersectsRect(CCRectMake(0, 0, 100, 100)));

    // A mirrored box (negative width) extends left of its origin.
    const CCRect mirrored(50, 0, -20, 10);
    EXPECT_FLOAT_EQ(mirrored.getMinX(), 30);
    EXPECT_FLOAT_EQ(mirrored.getMaxX(), 50);
    EXPECT_TRUE(mirrored.containsPoint(ccp(35, 5)));
    EXPECT_EQ(rect.unionWithRect(mirrored), CCRectMake(10, 0, 40, 60));

    // Starting a union from the zero rectangle keeps the origin in it.
    EXPECT_EQ(CCRectZero.united(CCRectMake(5, 5, 1, 1)), CCRectMake(0, 0, 6, 6));
    EXPECT_EQ(CCRectMake(1, 1, 2, 2).unionWithRect(CCRectMake(1, 1, 2, 2)), CCRectMake(1, 1, 2, 2));
}

TEST(GeometryTest, AffineTransformsComposeAndInvert)
{
    CCAffineTransform t = CCAffineTransformMakeIdentity();
    t = CCAffineTransformTranslate(t, 100, 50);
    t = CCAffineTransformRotate(t, kPi / 2);
    t = CCAffineTransformScale(t, 2, 3);
    // Scale first, then rotate counter-clockwise, then translate.
    expectNear(CCPointApplyAffineTransform(ccp(1, 0), t), ccp(100, 52));
    expectNear(CCPointApplyAffineTransform(ccp(0, 1), t), ccp(97, 50));

    const CCAffineTransform inverse = CCAffineTransformInvert(t);
    for (const CCPoint& p : {ccp(0, 0), ccp(3, -7), ccp(-120, 45)})
        expectNear(CCPointApplyAffineTransform(CCPointApplyAffineTransform(p, t), inverse), p);
    const CCAffineTransform both = CCAffineTransformConcat(t, inverse);
    EXPECT_NEAR(both.a, 1, 1e-5f);
    EXPECT_NEAR(both.b, 0, 1e-5f);
    EXPECT_NEAR(both.tx, 0, 1e-4f);

    // Concat applies its first argument first.
    const CCAffineTransform move = CCAffineTransformMake(1, 0, 0, 1, 10, 0);
    const CCAffineTransform turn = CCAffineTransformRotate(CCAffineTransformIdentity, kPi / 2);
    expectNear(CCPointApplyAffineTransform(CCPointZero, CCAffineTransformConcat(move, turn)), ccp(0, 10));
    expectNear(CCPointApplyAffineTransform(CCPointZero, CCAffineTransformConcat(turn, move)), ccp(10, 0));

    const CCAffineTransform singular = CCAffineTransformMake(1, 2, 2, 4, 5, 6);
    EXPECT_TRUE(CCAffineTransformEqualToTransform(CCAffineTransformInvert(singular), singular));
    EXPECT_TRUE(CCAffineTransformEqualToTransform(CCAffineTransformInvert(CCAffineTransformScale(t, 0, 1)),
                                                  CCAffineTransformScale(t, 0, 1)));

    const CCRect box = CCRectApplyAffineTransform(CCRectMake(0, 0, 10, 20), turn);
    EXPECT_NEAR(box.getMinX(), -20, 1e-4f);
    EXPECT_NEAR(box.getMaxY(), 10, 1e-4f);
    const CCSize size = CCSizeApplyAffineTransform(CCSizeMake(2, 3), CCAffineTransformScale(move, 2, 2));
    EXPECT_EQ(size, CCSizeMake(4, 6));

    float m[16];
    CGAffineToGL(&t, m);
    EXPECT_EQ(m[0], t.a);
    EXPECT_EQ(m[1], t.b);
    EXPECT_EQ(m[4], t.c);
    EXPECT_EQ(m[5], t.d);
    EXPECT_EQ(m[12], t.tx);
    EXPECT_EQ(m[13], t.ty);
    EXPECT_EQ(m[10], 1.0f);
    EXPECT_EQ(m[15], 1.0f);
    EXPECT_EQ(m[14], 0.0f);
}

TEST(GeometryTest, ColourConversions)
{
    const ccColor4F grey = ccc4FFromccc3B(ccc3(51, 102, 255));
    EXPECT_FLOAT_EQ(grey.r, 0.2f);
    EXPECT_FLOAT_EQ(grey.g, 0.4f);
    EXPECT_FLOAT_EQ(grey.b, 1.0f);
    EXPECT_FLOAT_EQ(grey.a, 1.0f);
    EXPECT_FLOAT_EQ(ccc4FFromccc4B(ccc4(0, 0, 0, 51)).a, 0.2f);
    EXPECT_EQ(ccWHITE, ccc3(255, 255, 255));
}

} // namespace
