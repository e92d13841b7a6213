// Animation curves: insertion and smoothing, evaluation at the edges and on bad data,
// both serial forms, and curve sets that are replaced only once completely read.
#include "messagepack_support.h"

#include "attributes/ZqAnimationCurve.h"
#include "cocos2d.h"
#include "base/CCArray.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include <cmath>
#include <limits>

using namespace cocos2d;

namespace {

std::unique_ptr<ZqAnimationCurve> exampleCurve()
{
    auto curve = std::make_unique<ZqAnimationCurve>();
    curve->addPoint(1, 0);
    curve->addPoint(3, 2);
    curve->addPoint(2, 1);
    return curve;
}

// A curve map whose "points" holds the given pairs of numbers.
msgpack::object curveObject(msgpack::zone& zone, const std::vector<CCPoint>& pairs)
{
    MessagePackMap map(&zone);
    map.setPointArray("points", pairs);
    return map.toObject();
}

// An element of an "animations" array; state -1 leaves "state" out.
msgpack::object stateObject(msgpack::zone& zone, int state, const std::vector<CCPoint>& pairs)
{
    MessagePackMap element(&zone);
    if (state != -1)
        element.setInt("state", state);
    element.setMap("animation", MessagePackMap::fromObject(curveObject(zone, pairs)));
    return element.toObject();
}

bool samePoints(const ZqAnimationCurve& a, const ZqAnimationCurve& b)
{
    if (a.points().size() != b.points().size())
        return false;
    for (std::size_t i = 0; i < a.points().size(); ++i) {
        const ZqCurvePoint& p = a.points()[i];
        const ZqCurvePoint& q = b.points()[i];
        if (p.x != q.x || p.y != q.y || p.inHandle != q.inHandle || p.outHandle != q.outHandle)
            return false;
    }
    return true;
}

using CurveTest = AttributeTest;

TEST(Curve, ExampleSmoothsTheMiddlePointAndEvaluatesTheBezier)
{
    const auto curve = exampleCurve();
    ASSERT_EQ(curve->points().size(), 3u);
    EXPECT_EQ(curve->points()[1].x, 1.0f);
    EXPECT_EQ(curve->points()[1].inHandle, 1.5f);
    EXPECT_EQ(curve->points()[1].outHandle, 2.5f);
    EXPECT_FLOAT_EQ(curve->valueAt(0.5f), 1.3125f);
    EXPECT_EQ(curve->preset(), 4);

    curve->addPoint(5, 1); // same x: all three y values, no re-smoothing
    EXPECT_EQ(curve->points().size(), 3u);
    EXPECT_EQ(curve->points()[1].inHandle, 5.0f);
    EXPECT_EQ(curve->points()[1].outHandle, 5.0f);
}

TEST(Curve, EvaluationAtTheEdges)
{
    ZqAnimationCurve empty;
    EXPECT_EQ(empty.valueAt(1), 0.0f);
    ZqAnimationCurve single;
    single.addPoint(4, 2);
    EXPECT_EQ(single.valueAt(-10), 4.0f);
    const auto curve = exampleCurve();
    EXPECT_EQ(curve->valueAt(-1), 1.0f);
    EXPECT_EQ(curve->valueAt(2), 3.0f);
    EXPECT_EQ(curve->valueAt(9), 3.0f);
    EXPECT_EQ(curve->valueAt(std::numeric_limits<float>::quiet_NaN()), 1.0f);
}

TEST_F(CurveTest, UnsortedDuplicateOrNonFiniteDataNeverGivesNaN)
{
    msgpack::zone zone;
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ZqAnimationCurve curve;
    curve.unpackAttributes(MessagePackMap::fromObject(curveObject(
        zone, {{2, 5}, {5, 5}, {0, 1}, {1, 1}, {0, 9}, {9, 9}, {nan, 3}, {3, 3}, {1, inf}, {1, 1},
               {-3e38f, 0}, {0, 0}, {3e38f, 7}, {7, 7}, {1, 2}})));
    EXPECT_EQ(curve.points().size(), 5u); // the NaN and infinite pairs are left out; the odd last too
    for (float x : {-3.4e38f, -1e38f, -1.0f, 0.0f, 0.5f, 1.0f, 2.0f, 2.5f, 1e38f, 3.4e38f}) {
        const float y = curve.valueAt(x);
        EXPECT_TRUE(std::isfinite(y)) << "at " << x;
    }
}

TEST_F(CurveTest, ReadingPointsAppendsInFileOrder)
{
    msgpack::zone zone;
    ZqAnimationCurve curve;
    curve.unpackAttributes(MessagePackMap::fromObject(curveObject(zone, {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 9}})));
    ASSERT_EQ(curve.points().size(), 2u);
    EXPECT_EQ(curve.points()[1].x, 5.0f);
    EXPECT_EQ(curve.points()[1].inHandle, 7.0f);
    EXPECT_EQ(curve.points()[1].outHandle, 8.0f);

    ZqAnimationCurve one;
    one.unpackAttributes(MessagePackMap::fromObject(curveObject(zone, {{1, 2}})));
    EXPECT_TRUE(one.points().empty());

    MessagePackMap bad(&zone);
    bad.setFloat4("points", 1, 2, 3, 4); // elements are numbers, not pairs
    bad.setInt("preset", 9);
    EXPECT_THROW(curve.unpackAttributes(MessagePackMap::fromObject(bad.toObject())), msgpack::type_error);
    EXPECT_EQ(curve.points().size(), 2u);
}

TEST_F(CurveTest, CurveRoundTripThroughBytesAndClone)
{
    msgpack::zone zone;
    const auto source = exampleCurve();
    msgpack::object_handle handle;
    const MessagePackMap read = packedThroughBytes(*source, zone, handle);
    EXPECT_EQ(read.size(), 2u);
    EXPECT_EQ(entry(read, "points").via.array.size, 6u);
    EXPECT_EQ(entry(read, "points").via.array.ptr[0].via.array.ptr[0].type, msgpack::type::FLOAT32);
    EXPECT_EQ(entry(read, "preset").type, msgpack::type::POSITIVE_INTEGER);
    ZqAnimationCurve copy;
    copy.unpackAttributes(read);
    EXPECT_TRUE(samePoints(copy, *source));
    EXPECT_EQ(copy.preset(), 4);

    // A clone re-smooths handles that were read from data.
    ZqAnimationCurve raw;
    raw.unpackAttributes(MessagePackMap::fromObject(curveObject(zone, {{0, 1}, {0, 0}, {1, 2}, {9, 9}, {2, 3}, {0, 0}})));
    const auto clone = raw.clone();
    EXPECT_EQ(clone->points()[1].inHandle, 1.5f);
    EXPECT_EQ(clone->points()[1].outHandle, 2.5f);
}

TEST_F(CurveTest, CurveSetsDropStatelessEntriesAndKeepTheLaterDuplicate)
{
    msgpack::zone zone;
    const CurveSet set = unpackCurveSet({stateObject(zone, -1, {{0, 1}, {1, 1}}),
                                         stateObject(zone, 3, {{0, 1}, {1, 1}}),
                                         stateObject(zone, 3, {{0, 7}, {7, 7}})});
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set.at(3)->valueAt(0), 7.0f);

    CurveSet kept = copyCurveSet(set);
    EXPECT_THROW(kept = unpackCurveSet({stateObject(zone, 4, {{0, 1}, {1, 1}}), msgpack::object(5)}),
                 msgpack::type_error);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept.at(3)->valueAt(0), 7.0f);
}

TEST_F(CurveTest, CurveSetRoundTripThroughBytes)
{
    msgpack::zone zone;
    CurveSet set;
    set[3] = exampleCurve();
    set[7] = std::make_unique<ZqAnimationCurve>();
    set[7]->addPoint(2, 0);

    MessagePackMap map(&zone);
    map.setArray("animations", packCurveSet(set, &zone));
    msgpack::object_handle handle;
    const MessagePackMap read = throughBytes(map, handle);
    std::vector<msgpack::object> elements;
    ASSERT_TRUE(read.getArray("animations", elements));
    const CurveSet back = unpackCurveSet(elements);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_TRUE(samePoints(*back.at(3), *set.at(3)));
    EXPECT_TRUE(samePoints(*back.at(7), *set.at(7)));
}

TEST_F(CurveTest, DictionaryForms)
{
    ScopedPool pool;
    CurveSet set;
    set[2] = exampleCurve();
    EXPECT_EQ(saveCurveSet(CurveSet()), nullptr);
    CCArray* saved = saveCurveSet(set);
    ASSERT_NE(saved, nullptr);
    auto* element = dynamic_cast<CCDictionary*>(saved->objectAtIndex(0));
    ASSERT_NE(element, nullptr);
    EXPECT_STREQ(element->valueForKey("state")->getCString(), "2");
    auto* animation = dynamic_cast<CCDictionary*>(element->objectForKey("animation"));
    ASSERT_NE(animation, nullptr);
    auto* points = dynamic_cast<CCArray*>(animation->objectForKey("points"));
    ASSERT_NE(points, nullptr);
    EXPECT_STREQ(static_cast<CCString*>(points->objectAtIndex(2))->getCString(), "{1.000,2.000}");
    EXPECT_STREQ(animation->valueForKey("preset")->getCString(), "4");

    const CurveSet back = loadCurveSet(saved);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(samePoints(*back.at(2), *set.at(2)));
    EXPECT_TRUE(loadCurveSet(nullptr).empty());
}

} // namespace
