// Points: per-axis clamping and notification, the empty marks, the MessagePack and
// dictionary forms with per-axis curves, curve hand-over and the random draw.
#include "messagepack_support.h"

#include "attributes/ZqAttributePoint.h"
#include "base/CCArray.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include <ZqRandom.h>

#include <cfloat>
#include <cmath>
#include <stdexcept>

using namespace cocos2d;

namespace {

class PointTest : public AttributeTest {
protected:
    void SetUp() override
    {
        AttributeTest::SetUp();
        KeyCodeTable table = testKeyTable();
        table.insert({{"isXEmpty", 30}, {"isYEmpty", 31}, {"animationsX", 32}, {"animationsY", 34}});
        installKeyDictionary(table);
    }
};

// A curve from 0 at time 0 to end at time 1.
std::unique_ptr<ZqAnimationCurve> ramp(float end)
{
    auto curve = std::make_unique<ZqAnimationCurve>();
    curve->addPoint(0.0f, 0.0f);
    curve->addPoint(end, 1.0f);
    return curve;
}

std::vector<std::unique_ptr<ZqAnimationCurve>> pair(std::unique_ptr<ZqAnimationCurve> x,
                                                    std::unique_ptr<ZqAnimationCurve> y)
{
    std::vector<std::unique_ptr<ZqAnimationCurve>> curves;
    curves.push_back(std::move(x));
    curves.push_back(std::move(y));
    return curves;
}

TEST_F(PointTest, SetValueClampsEachAxisAndNotifiesOnlyOnChange)
{
    auto* point = new ZqAttributePoint("Position", owner.get());
    EXPECT_EQ(point->minValue(), CCPoint(-FLT_MAX, -FLT_MAX));
    point->setRange(CCPoint(0, 0), CCPoint(10, 10));
    point->setValue(CCPoint(-5, 20));
    EXPECT_EQ(point->value(), CCPoint(0, 10));
    EXPECT_EQ(owner->valueChanges, 1);
    point->setValue(CCPoint(0, 10));
    point->setValue(CCPoint(-1, 11)); // clamps to the value held
    EXPECT_EQ(owner->valueChanges, 1);
    point->setValue(CCPoint(3, 4), true);
    EXPECT_EQ(point->value(), CCPoint(3, 4));
    EXPECT_EQ(owner->valueChanges, 1);
    point->setValue(CCPoint(NAN, 5)); // a NaN axis takes its minimum
    EXPECT_EQ(point->value(), CCPoint(0, 5));

    point->setRange(CCPoint(0, -1), CCPoint(1, 1)); // one axis's range does not bind the other
    point->setValue(CCPoint(0.5f, -3));
    EXPECT_EQ(point->value(), CCPoint(0.5f, -1));
}

TEST_F(PointTest, EmptyMarksNotifyOnlyWhileAllowed)
{
    auto* point = new ZqAttributePoint("Scale", owner.get());
    point->setEmpty(true);
    EXPECT_TRUE(point->isXEmpty() && point->isYEmpty());
    EXPECT_EQ(owner->valueChanges, 0);

    point->setEmptyAllowed(true);
    point->setEmpty(false);
    EXPECT_EQ(owner->valueChanges, 1);
    point->setEmpty(false);
    EXPECT_EQ(owner->valueChanges, 1);
    point->setEmpty(true);
    EXPECT_EQ(owner->valueChanges, 2);
    point->setEmptyAllowed(false); // two marks cleared, two notifications
    EXPECT_FALSE(point->isXEmpty() || point->isYEmpty());
    EXPECT_FALSE(point->allowEmpty());
    EXPECT_EQ(owner->valueChanges, 4);
}

TEST_F(PointTest, PacksAndReadsBackTheCurvesOfEachAxis)
{
    ZqAttributePoint source("Offset", nullptr);
    source.setValue(CCPoint(1.5f, -2));
    source.setEmpty(true); // not allowed, yet packed as held
    source.setCurvesForState(pair(ramp(4.0f), nullptr), 3);

    msgpack::zone zone;
    msgpack::object_handle handle;
    const MessagePackMap read = packedThroughBytes(source, zone, handle);
    EXPECT_EQ(read.size(), 5u);
    EXPECT_EQ(entry(read, "isXEmpty").type, msgpack::type::BOOLEAN);
    EXPECT_EQ(entry(read, "animationsX").type, msgpack::type::ARRAY);
    EXPECT_EQ(read.find(keyCode("animationsY")), nullptr);

    auto* target = new ZqAttributePoint("Offset", owner.get());
    target->setRange(CCPoint(5, 5), CCPoint(6, 6));
    target->unpackAttributes(read);
    EXPECT_EQ(target->value(), CCPoint(1.5f, -2)); // read values are not clamped
    EXPECT_TRUE(target->isXEmpty() && target->isYEmpty());
    ASSERT_EQ(target->curvesX().size(), 1u);
    EXPECT_TRUE(target->curvesY().empty());
    EXPECT_EQ(target->curveOffset(0.5f, 3), source.curveOffset(0.5f, 3));
    EXPECT_EQ(target->curveOffset(1.0f, 3), CCPoint(4, 0));
    EXPECT_EQ(target->curveOffset(1.0f, 2), CCPoint(0, 0)); // no fallback to another state
    EXPECT_EQ(owner->valueChanges, 0);

    // Present but empty curve arrays keep the curves; values must be pairs.
    MessagePackMap keep(&zone);
    keep.setArray("animationsX", {});
    target->unpackAttributes(keep);
    EXPECT_EQ(target->curvesX().size(), 1u);
    MessagePackMap three(&zone);
    three.setUIntArray("value", {1, 2, 3});
    EXPECT_THROW(target->unpackAttributes(three), msgpack::type_error);
    EXPECT_EQ(target->value(), CCPoint(1.5f, -2));
}

TEST_F(PointTest, CurvesAreHandedOverPerAxis)
{
    auto* point = new ZqAttributePoint("Position", owner.get());
    point->setCurvesForState(pair(nullptr, ramp(2.0f)), 1);
    EXPECT_EQ(point->curveOffset(1.0f, 1), CCPoint(0, 2));
    ASSERT_EQ(point->curvesForState(1).size(), 1u);
    EXPECT_EQ(owner->valueChanges, 1); // the empty x axis changed nothing

    point->setCurvesForState(pair(ramp(1.0f), ramp(3.0f)), 1);
    std::vector<ZqAnimationCurve*> held = point->curvesForState(1);
    ASSERT_EQ(held.size(), 2u);
    EXPECT_EQ(point->curveOffset(1.0f, 1), CCPoint(1, 3));
    EXPECT_EQ(owner->valueChanges, 3);

    // The held curves given back swapped: both stay alive, on the other axis.
    point->setCurvesForState(pair(std::unique_ptr<ZqAnimationCurve>(held[1]),
                                  std::unique_ptr<ZqAnimationCurve>(held[0])), 1);
    EXPECT_EQ(point->curveOffset(1.0f, 1), CCPoint(3, 1));
    EXPECT_EQ(point->curvesForState(1), (std::vector<ZqAnimationCurve*>{held[1], held[0]}));

    std::vector<std::unique_ptr<ZqAnimationCurve>> one;
    one.push_back(ramp(9.0f));
    const int before = owner->valueChanges;
    EXPECT_THROW(point->setCurvesForState(std::move(one), 1), std::out_of_range); // too few: freed, nothing changes
    EXPECT_EQ(point->curveOffset(1.0f, 1), CCPoint(3, 1));
    EXPECT_EQ(owner->valueChanges, before);

    point->setCurvesForState(pair(nullptr, nullptr), 1);
    EXPECT_TRUE(point->curvesForState(1).empty());
}

TEST_F(PointTest, CopiesOwnTheirCurvesAndDropMarksNotAllowed)
{
    auto* source = new ZqAttributePoint("Position", owner.get());
    source->setValue(CCPoint(2, 3));
    source->setEmpty(true);
    source->setCurvesForState(pair(ramp(1.0f), ramp(2.0f)), 0);
    auto other = std::make_unique<CountingOwner>(2);
    auto* copy = static_cast<ZqAttributePoint*>(source->cloneForOwner(other.get()));
    EXPECT_EQ(copy->value(), CCPoint(2, 3));
    EXPECT_FALSE(copy->isXEmpty() || copy->isYEmpty());
    owner->removeAttribute(source);
    delete source; // the copy's curves outlive the source's
    EXPECT_EQ(copy->curveOffset(1.0f, 0), CCPoint(1, 2));
}

TEST_F(PointTest, RandomDrawServesYFirst)
{
    ZqAttributePoint point("Speed", nullptr);
    point.setValue(CCPoint(10, 100));
    msgpack::zone zone;
    MessagePackMap map(&zone);
    map.setPoint("variableValue", CCPoint(2, 50));
    point.unpackAttributes(map);

    zqSrand(99);
    const float first = zqRandUnit();
    const float second = zqRandUnit();
    zqSrand(99);
    const CCPoint drawn = point.randomValue();
    EXPECT_FLOAT_EQ(drawn.x, 10 + (2 * second - 1) * 2);
    EXPECT_FLOAT_EQ(drawn.y, 100 + (2 * first - 1) * 50);
}

TEST_F(PointTest, DictionaryForm)
{
    ScopedPool pool;
    ZqAttributePoint point("Position", nullptr);
    point.setValue(CCPoint(1, 2.5f));
    point.setCurvesForState(pair(nullptr, ramp(5.0f)), 2);
    auto* saved = static_cast<CCDictionary*>(point.saveValueToDictionary());
    EXPECT_STREQ(saved->valueForKey("value")->getCString(), "{1.000,2.500}");
    EXPECT_EQ(saved->objectForKey("variableValue"), nullptr); // (0, 0) is left out
    EXPECT_EQ(saved->objectForKey("animationsX"), nullptr);

    // A spread on one axis only is written, so reading it back loses nothing.
    msgpack::zone zone;
    MessagePackMap spread(&zone);
    spread.setPoint("variableValue", CCPoint(5, 0));
    point.unpackAttributes(spread);
    saved = static_cast<CCDictionary*>(point.saveValueToDictionary());
    saved->setObject(CCString::create("1"), "isXEmpty");
    saved->setObject(CCString::create("1"), "isYEmpty");
    auto* back = new ZqAttributePoint("Position", owner.get());
    back->loadValueFromDictionary(saved);
    EXPECT_EQ(back->value(), CCPoint(1, 2.5f));
    EXPECT_EQ(back->variableValue(), CCPoint(5, 0));
    EXPECT_TRUE(back->isXEmpty());
    EXPECT_FALSE(back->isYEmpty()); // taken only while empty values are allowed
    EXPECT_EQ(back->curveOffset(1.0f, 2), CCPoint(0, 5));
    EXPECT_EQ(owner->valueChanges, 0);
}

} // namespace
