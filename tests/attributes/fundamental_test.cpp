// Numbers, flags, keys and enums: clamping and notification, the exact MessagePack form
// through bytes, silent reading, curves per state, random spreads and the dictionary form.
#include "messagepack_support.h"

#include "attributes/ZqAttributeFundamental.h"
#include "base/CCArray.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include <ZqRandom.h>

using namespace cocos2d;

namespace {

using FundamentalTest = AttributeTest;

std::unique_ptr<ZqAnimationCurve> rampCurve(float y0, float y1)
{
    auto curve = std::make_unique<ZqAnimationCurve>();
    curve->addPoint(y0, 0);
    curve->addPoint(y1, 1);
    return curve;
}

std::vector<std::unique_ptr<ZqAnimationCurve>> curves(std::unique_ptr<ZqAnimationCurve> curve)
{
    std::vector<std::unique_ptr<ZqAnimationCurve>> list;
    list.push_back(std::move(curve));
    return list;
}

TEST_F(FundamentalTest, SetValueClampsAndNotifiesOnlyOnChange)
{
    auto* number = new ZqAttributeInt("Count", owner.get());
    number->setRange(0, 10);
    number->setValue(15);
    EXPECT_EQ(number->value(), 10);
    EXPECT_EQ(owner->valueChanges, 1);
    number->setValue(12);
    EXPECT_EQ(owner->valueChanges, 1);
    number->setValue(-3, true);
    EXPECT_EQ(number->value(), 0);
    EXPECT_EQ(owner->valueChanges, 1);

    auto* count = new ZqAttributeUInt("Lives", owner.get());
    count->setRange(1, 5);
    count->setValue(0);
    EXPECT_EQ(count->value(), 1u);
    auto* flag = new ZqAttributeBool("On", owner.get());
    flag->setRange(true, true);
    flag->setValue(false);
    EXPECT_TRUE(flag->value());
    auto* speed = new ZqAttributeFloat("Speed", owner.get());
    speed->setRange(-1, 1);
    speed->setValue(2.5f);
    EXPECT_EQ(speed->value(), 1.0f);
    EXPECT_EQ(owner->valueChanges, 4);
}

TEST_F(FundamentalTest, FloatPacksExactlyThreeTypedKeysAndReadsBackSilently)
{
    ZqAttributeFloat source("Speed", nullptr);
    source.setValue(2.5f);
    source.setVariableValue(0.5f);
    msgpack::zone zone;
    msgpack::object_handle handle;
    const MessagePackMap read = packedThroughBytes(source, zone, handle);
    EXPECT_EQ(read.size(), 3u);
    EXPECT_EQ(entry(read, "value").type, msgpack::type::FLOAT32);
    EXPECT_EQ(entry(read, "variableValue").type, msgpack::type::FLOAT32);
    EXPECT_EQ(entry(read, "isEmpty").type, msgpack::type::BOOLEAN);

    auto* target = new ZqAttributeFloat("Speed", owner.get());
    target->setRange(0, 1);
    target->unpackAttributes(read);
    EXPECT_EQ(target->value(), 2.5f); // kept outside the range
    EXPECT_EQ(target->variableValue(), 0.5f);
    EXPECT_FALSE(target->isEmpty());
    EXPECT_EQ(owner->valueChanges, 0);
}

TEST_F(FundamentalTest, EachNumberTypeKeepsItsMessagePackType)
{
    msgpack::zone zone;
    msgpack::object_handle handle;
    ZqAttributeInt negative("a", nullptr);
    negative.setValue(-5);
    EXPECT_EQ(entry(packedThroughBytes(negative, zone, handle), "value").type, msgpack::type::NEGATIVE_INTEGER);
    ZqAttributeKey key("k", nullptr);
    key.setValue(65);
    EXPECT_EQ(entry(packedThroughBytes(key, zone, handle), "value").type, msgpack::type::POSITIVE_INTEGER);
    ZqAttributeUInt large("u", nullptr);
    large.setValue(4294967295u);
    const MessagePackMap readLarge = packedThroughBytes(large, zone, handle);
    EXPECT_EQ(entry(readLarge, "value").type, msgpack::type::POSITIVE_INTEGER);
    ZqAttributeUInt back("u", nullptr);
    back.unpackAttributes(readLarge);
    EXPECT_EQ(back.value(), 4294967295u);
    ZqAttributeBool flag("b", nullptr);
    flag.setValue(true);
    EXPECT_EQ(entry(packedThroughBytes(flag, zone, handle), "value").type, msgpack::type::BOOLEAN);
    ZqAttributeFloat whole("f", nullptr);
    whole.setValue(3.0f);
    EXPECT_EQ(entry(packedThroughBytes(whole, zone, handle), "value").type, msgpack::type::FLOAT32);
}

TEST_F(FundamentalTest, EmptyMarkerPacksOnlyWhenAllowed)
{
    msgpack::zone zone;
    MessagePackMap marked(&zone);
    marked.setBool("isEmpty", true);
    ZqAttributeInt number("n", nullptr);
    number.unpackAttributes(MessagePackMap::fromObject(marked.toObject()));
    EXPECT_TRUE(number.isEmpty());
    msgpack::object_handle handle;
    EXPECT_FALSE(entry(packedThroughBytes(number, zone, handle), "isEmpty").as<bool>());
    number.setAllowEmpty(true);
    EXPECT_TRUE(entry(packedThroughBytes(number, zone, handle), "isEmpty").as<bool>());
}

TEST_F(FundamentalTest, MalformedValuesThrowTypeErrors)
{
    msgpack::zone zone;
    MessagePackMap negative(&zone);
    negative.setInt("value", -1);
    MessagePackMap number(&zone);
    number.setInt("value", 1);
    MessagePackMap fraction(&zone);
    fraction.setFloat("value", 1.5f);
    MessagePackMap animations(&zone);
    animations.setArray("animations", {msgpack::object(3)});

    ZqAttributeUInt count("c", nullptr);
    EXPECT_THROW(count.unpackAttributes(negative), msgpack::type_error);
    ZqAttributeBool flag("b", nullptr);
    EXPECT_THROW(flag.unpackAttributes(number), msgpack::type_error);
    ZqAttributeInt whole("i", nullptr);
    EXPECT_THROW(whole.unpackAttributes(fraction), msgpack::type_error);
    ZqAttributeFloat speed("f", nullptr);
    speed.setCurvesForState(curves(rampCurve(0, 1)), 2);
    EXPECT_THROW(speed.unpackAttributes(animations), msgpack::type_error);
    EXPECT_EQ(speed.curves().size(), 1u); // the old set stays
    MessagePackMap enumFraction(&zone);
    enumFraction.setFloat("enum", 1.5f);
    ZqAttributeFrameEdgeState edge("e", nullptr);
    EXPECT_THROW(edge.unpackAttributes(enumFraction), msgpack::type_error);
}

TEST_F(FundamentalTest, CurvesPerStateRoundTripAndOffsetOnlyForTheExactState)
{
    ZqAttributeFloat source("Alpha", nullptr);
    auto example = std::make_unique<ZqAnimationCurve>();
    example->addPoint(1, 0);
    example->addPoint(3, 2);
    example->addPoint(2, 1);
    source.setCurvesForState(curves(std::move(example)), 3);
    source.setCurvesForState(curves(rampCurve(0, 4)), 5);

    msgpack::zone zone;
    msgpack::object_handle handle;
    const MessagePackMap read = packedThroughBytes(source, zone, handle);
    EXPECT_EQ(read.size(), 4u);
    EXPECT_EQ(entry(read, "animations").via.array.size, 2u);

    ZqAttributeFloat target("Alpha", nullptr);
    target.unpackAttributes(read);
    EXPECT_FLOAT_EQ(target.curveOffset(0.5f, 3), 1.3125f);
    EXPECT_EQ(target.curveOffset(0.5f, 2), 0.0f);
    EXPECT_EQ(target.curveOffset(1.0f, 5), 4.0f);
    EXPECT_TRUE(target.curvesForState(4).empty());
    ASSERT_EQ(target.curvesForState(3).size(), 1u);
    EXPECT_EQ(target.curvesForState(3)[0]->points()[1].outHandle, 2.5f);

    // An empty "animations" keeps the curves.
    MessagePackMap empty(&zone);
    empty.setArray("animations", {});
    target.unpackAttributes(empty);
    EXPECT_EQ(target.curves().size(), 2u);
}

TEST_F(FundamentalTest, SetCurvesForStateOwnsReplacesAndNotifies)
{
    auto* alpha = new ZqAttributeFloat("Alpha", owner.get());
    alpha->setCurvesForState({}, 1);
    EXPECT_EQ(owner->valueChanges, 0);
    alpha->setCurvesForState(curves(rampCurve(0, 1)), 1);
    alpha->setCurvesForState(curves(rampCurve(0, 2)), 1); // frees the first
    EXPECT_EQ(alpha->curveOffset(1, 1), 2.0f);
    // Handing back the very curve it holds only notifies (and frees nothing).
    alpha->setCurvesForState(curves(std::unique_ptr<ZqAnimationCurve>(alpha->curvesForState(1)[0])), 1);
    EXPECT_EQ(alpha->curveOffset(1, 1), 2.0f);
    alpha->setCurvesForState(curves(nullptr), 1);
    EXPECT_TRUE(alpha->curves().empty());
    EXPECT_EQ(owner->valueChanges, 4);
}

TEST_F(FundamentalTest, CopiesOwnTheirCurves)
{
    auto* source = new ZqAttributeFloat("Alpha", owner.get());
    source->setCurvesForState(curves(rampCurve(0, 1)), 1);
    source->setCurvesForState(curves(rampCurve(0, 3)), 2);
    source->setRange(-5, 5);
    source->setValue(2, true);
    std::unique_ptr<ZqAttributeFloat> copy(source->clone("Copy", nullptr));
    delete source;
    EXPECT_EQ(copy->value(), 2.0f);
    EXPECT_EQ(copy->minValue(), -5.0f);
    EXPECT_EQ(copy->curveOffset(1, 2), 3.0f);
    EXPECT_EQ(copy->curves().size(), 2u);
}

TEST_F(FundamentalTest, RandomDrawsStayWithinTheSpread)
{
    ZqAttributeFloat speed("Speed", nullptr);
    speed.setValue(1.0f);
    speed.setVariableValue(0.25f);
    zqSrand(12345);
    float low = 2, high = 0;
    for (int i = 0; i < 5000; ++i) {
        const float r = speed.randomValue();
        low = std::min(low, r);
        high = std::max(high, r);
    }
    EXPECT_GE(low, 0.75f);
    EXPECT_LE(high, 1.25f);
    EXPECT_LT(low, 0.8f);
    EXPECT_GT(high, 1.2f);
}

TEST_F(FundamentalTest, EnumsPackAsEnumAndReadZeroWhenAbsent)
{
    auto* edge = new ZqAttributeFrameEdgeState("Edge 0", owner.get());
    edge->setValue(ZqObjectFrameEdgeState{3});
    EXPECT_EQ(owner->valueChanges, 1);
    msgpack::zone zone;
    msgpack::object_handle handle;
    const MessagePackMap read = packedThroughBytes(*edge, zone, handle);
    EXPECT_EQ(read.size(), 1u);
    EXPECT_EQ(entry(read, "enum").type, msgpack::type::POSITIVE_INTEGER);
    ZqAttributeFrameEdgeState back("Edge 0", nullptr);
    back.unpackAttributes(read);
    EXPECT_EQ(back.value(), ZqObjectFrameEdgeState{3});
    back.unpackAttributes(MessagePackMap());
    EXPECT_EQ(back.value(), ZqObjectFrameEdgeState{0});
    EXPECT_EQ(owner->valueChanges, 1);
}

TEST_F(FundamentalTest, DictionaryFormClampsAndDoesNotNotify)
{
    ScopedPool pool;
    auto* number = new ZqAttributeInt("Count", owner.get());
    number->setRange(0, 10);
    CCDictionary* input = CCDictionary::create();
    input->setObject(CCString::create("-5"), "value");
    input->setObject(CCString::create("1"), "isEmpty");
    number->loadValueFromDictionary(input);
    EXPECT_EQ(number->value(), 0);
    EXPECT_TRUE(number->isEmpty());
    EXPECT_EQ(owner->valueChanges, 0);

    auto* speed = new ZqAttributeFloat("Speed", owner.get());
    speed->setValue(1.5f, true);
    speed->setCurvesForState(curves(rampCurve(0, 2)), 4);
    auto* saved = static_cast<CCDictionary*>(speed->saveValueToDictionary());
    EXPECT_STREQ(saved->valueForKey("value")->getCString(), "1.500000");
    EXPECT_STREQ(saved->valueForKey("isEmpty")->getCString(), "0");
    ZqAttributeFloat back("Speed", nullptr);
    back.loadValueFromDictionary(saved);
    EXPECT_EQ(back.value(), 1.5f);
    EXPECT_EQ(back.curveOffset(1, 4), 2.0f);

    ZqAttributeFrameEdgeState edge("Edge", nullptr);
    edge.setValue(ZqObjectFrameEdgeState{2});
    ZqAttributeFrameEdgeState edgeBack("Edge", nullptr);
    edgeBack.loadValueFromDictionary(static_cast<CCDictionary*>(edge.saveValueToDictionary()));
    EXPECT_EQ(edgeBack.value(), ZqObjectFrameEdgeState{2});
}

} // namespace
