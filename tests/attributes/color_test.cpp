// Colours and gradients: strict MessagePack shapes, gradient merging, the dictionary
// forms and clones keeping their class.
#include "messagepack_support.h"

#include "attributes/ZqAttributeColor.h"
#include "attributes/ZqAttributePoint.h"
#include "base/CCArray.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include <array>
#include <cmath>
#include <map>

using namespace cocos2d;

namespace {

class ColorTest : public AttributeTest {
protected:
    void SetUp() override
    {
        AttributeTest::SetUp();
        KeyCodeTable table = testKeyTable();
        table.insert({{"pos", 30}, {"color", 31}, {"gradients", 32}});
        installKeyDictionary(table);
    }
};

using Rgba = std::array<float, 4>;

Rgba rgba(const ccColor4F& color)
{
    return {color.r, color.g, color.b, color.a};
}

// The stops in position order, for comparing.
std::map<float, Rgba> sorted(const ZqAttributeGradient& gradient)
{
    std::map<float, Rgba> stops;
    for (const auto& [position, color] : gradient.stops())
        stops[position] = rgba(color);
    return stops;
}

// A "gradients" element; a null colour leaves "color" out, a NaN position "pos".
msgpack::object stop(msgpack::zone& zone, float position, const ccColor4F* color)
{
    MessagePackMap element(&zone);
    if (!std::isnan(position))
        element.setFloat("pos", position);
    if (color)
        element.setFloat4("color", color->r, color->g, color->b, color->a);
    return element.toObject();
}

TEST_F(ColorTest, ColourIsExactlyFourFloats)
{
    ZqAttributeColor color("Tint", nullptr);
    color.setValue(ccColor4F{0.25f, 0.5f, 0.75f, 1});
    msgpack::zone zone;
    msgpack::object_handle handle;
    const MessagePackMap read = packedThroughBytes(color, zone, handle);
    const msgpack::object numbers = entry(read, "value");
    ASSERT_EQ(numbers.via.array.size, 4u);
    EXPECT_EQ(numbers.via.array.ptr[3].type, msgpack::type::FLOAT32);

    auto* back = new ZqAttributeColor("Tint", owner.get());
    back->unpackAttributes(read);
    EXPECT_EQ(rgba(back->value()), (Rgba{0.25f, 0.5f, 0.75f, 1}));
    MessagePackMap three(&zone);
    three.setUIntArray("value", {1, 0, 0});
    EXPECT_THROW(back->unpackAttributes(three), msgpack::type_error);
    EXPECT_EQ(rgba(back->value()), (Rgba{0.25f, 0.5f, 0.75f, 1}));
    EXPECT_EQ(owner->valueChanges, 0);
}

TEST_F(ColorTest, ColourDictionaryReadsAbsentComponentsAsZero)
{
    ScopedPool pool;
    auto* color = new ZqAttributeColor("Tint", owner.get());
    color->setValue(ccColor4F{0.5f, 0.5f, 0.5f, 0.5f}, true);
    auto* saved = static_cast<CCDictionary*>(color->saveValueToDictionary());
    EXPECT_STREQ(saved->valueForKey("a")->getCString(), "0.500000");

    CCDictionary* onlyRed = CCDictionary::create();
    onlyRed->setObject(CCString::create("1"), "r");
    color->loadValueFromDictionary(onlyRed);
    EXPECT_EQ(rgba(color->value()), (Rgba{1, 0, 0, 0}));
    color->loadValueFromDictionary(saved);
    EXPECT_EQ(rgba(color->value()), (Rgba{0.5f, 0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(owner->valueChanges, 0);
}

TEST_F(ColorTest, GradientReadingMergesIntoTheStops)
{
    auto* gradient = new ZqAttributeGradient("Fade", owner.get());
    msgpack::zone zone;
    MessagePackMap nothing(&zone);
    gradient->packAttributes(nothing);
    EXPECT_TRUE(nothing.empty()); // no stops, no "gradients"

    gradient->setColorAt(0.5f, ccColor4F{0, 1, 0, 1});
    EXPECT_EQ(owner->valueChanges, 1);
    gradient->unpackAttributes(nothing); // no key: stops unchanged
    const ccColor4F red{1, 0, 0, 1}, blue{0, 0, 1, 1}, white{1, 1, 1, 1};
    MessagePackMap read(&zone);
    read.setArray("gradients", {stop(zone, 0, &red), stop(zone, 1, &red), stop(zone, 1, &blue),
                                stop(zone, NAN, &white), stop(zone, -0.0f, nullptr)});
    gradient->unpackAttributes(read);
    // Three stops: the later colour at 1; the element without "pos" is skipped; -0 is 0.
    EXPECT_EQ(sorted(*gradient), (std::map<float, Rgba>{{0, rgba(red)}, {0.5f, {0, 1, 0, 1}}, {1, rgba(blue)}}));
    EXPECT_EQ(owner->valueChanges, 1);

    MessagePackMap infinite(&zone);
    infinite.setArray("gradients", {stop(zone, INFINITY, &white)});
    gradient->unpackAttributes(infinite);
    gradient->setColorAt(NAN, white);
    EXPECT_EQ(gradient->stops().size(), 3u);

    // A malformed colour throws before its stop is added.
    MessagePackMap bad(&zone);
    MessagePackMap element(&zone);
    element.setFloat("pos", 0.25f);
    element.setUIntArray("color", {1, 1, 1});
    bad.setArray("gradients", {element.toObject()});
    EXPECT_THROW(gradient->unpackAttributes(bad), msgpack::type_error);
    EXPECT_EQ(gradient->stops().count(0.25f), 0u);
    MessagePackMap notArray(&zone);
    notArray.setInt("gradients", 3);
    EXPECT_THROW(gradient->unpackAttributes(notArray), msgpack::type_error);
}

TEST_F(ColorTest, GradientRoundTripsThroughBytesAndDictionaries)
{
    ScopedPool pool;
    ZqAttributeGradient source("Fade", nullptr);
    source.setColorAt(0, ccColor4F{1, 0, 0, 1});
    source.setColorAt(0.75f, ccColor4F{0, 0, 1, 0.5f});
    msgpack::zone zone;
    msgpack::object_handle handle;
    ZqAttributeGradient fromBytes("Fade", nullptr);
    fromBytes.unpackAttributes(packedThroughBytes(source, zone, handle));
    EXPECT_EQ(sorted(fromBytes), sorted(source));

    auto* saved = static_cast<CCDictionary*>(source.saveValueToDictionary());
    auto* elements = dynamic_cast<CCArray*>(saved->objectForKey("gradients"));
    ASSERT_NE(elements, nullptr);
    CCDictionary* noPosition = CCDictionary::create();
    noPosition->setObject(CCString::create("1"), "g");
    elements->addObject(noPosition);
    ZqAttributeGradient fromDictionary("Fade", nullptr);
    fromDictionary.loadValueFromDictionary(saved);
    EXPECT_EQ(sorted(fromDictionary), sorted(source));
}

TEST_F(ColorTest, EveryConcreteClassClonesIntoItself)
{
    auto* color = new ZqAttributeColor("Tint", owner.get());
    color->setValue(ccColor4F{0.1f, 0.2f, 0.3f, 0.4f}, true);
    auto* gradient = new ZqAttributeGradient("Fade", owner.get());
    gradient->setColorAt(0.5f, ccColor4F{1, 1, 1, 1}, true);
    auto* point = new ZqAttributePoint("Position", owner.get());
    auto other = std::make_unique<CountingOwner>(2);

    for (ZqBaseAttribute* attribute : std::vector<ZqBaseAttribute*>{color, gradient, point}) {
        for (ZqBaseAttribute* copy : {attribute->clone("c", other.get()), attribute->cloneForOwner(other.get()),
                                      attribute->cloneWithName("w")}) {
            EXPECT_STREQ(copy->className(), attribute->className());
            EXPECT_EQ(copy->typeId(), attribute->typeId());
        }
    }
    auto* colorCopy = static_cast<ZqAttributeColor*>(other->findAttribute("Tint"));
    EXPECT_EQ(rgba(colorCopy->value()), rgba(color->value()));
    auto* gradientCopy = static_cast<ZqAttributeGradient*>(other->findAttribute("Fade"));
    EXPECT_EQ(sorted(*gradientCopy), sorted(*gradient));
}

} // namespace
