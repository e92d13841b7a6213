// Texts, tokens, rectangles and sizes: exact MessagePack form through bytes, strict shapes,
// cutting texts to their maximum bytes, the dictionary texts, and clones of every
// attribute class of this folder keeping their class.
#include "messagepack_support.h"

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributeValue.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include <functional>

using namespace cocos2d;

namespace {

using ValueTest = AttributeTest;

TEST_F(ValueTest, TextsAndTokensRoundTripAsStrings)
{
    ZqAttributeStringList source("Mode", nullptr);
    source.setValue("kAdd");
    msgpack::zone zone;
    msgpack::object_handle handle;
    const MessagePackMap read = packedThroughBytes(source, zone, handle);
    EXPECT_EQ(read.size(), 1u);
    EXPECT_EQ(entry(read, "value").type, msgpack::type::STR);
    auto* target = new ZqAttributeStringList("Mode", owner.get());
    target->unpackAttributes(read);
    EXPECT_EQ(target->value(), "kAdd");
    EXPECT_EQ(owner->valueChanges, 0);

    // bin is accepted as text; a number is not.
    msgpack::object bin;
    bin.type = msgpack::type::BIN;
    bin.via.bin = {2, "hi"};
    msgpack::object_kv kv{msgpack::object(10u), bin};
    msgpack::object map;
    map.type = msgpack::type::MAP;
    map.via.map = {1, &kv};
    target->unpackAttributes(MessagePackMap::fromObject(map));
    EXPECT_EQ(target->value(), "hi");
    MessagePackMap number(&zone);
    number.setInt("value", 4);
    EXPECT_THROW(target->unpackAttributes(number), msgpack::type_error);
    EXPECT_EQ(target->value(), "hi");
}

TEST_F(ValueTest, SetValueCutsToTheMaximumBytesAndNotifiesOnChange)
{
    auto* text = new ZqAttributeString("Title", owner.get(), 4);
    text->setValue("abcdef");
    EXPECT_EQ(text->value(), "abcd");
    EXPECT_EQ(owner->valueChanges, 1);
    text->setValue("abcdxyz"); // cut to the same text
    EXPECT_EQ(owner->valueChanges, 1);
    text->setValue("abc\xC3\xA9"); // "abcé": the length counts bytes, so the cut splits the é
    EXPECT_EQ(text->value(), "abc\xC3");
    text->setValue("a\xE2\x82\xAC"); // "a€" fits exactly
    EXPECT_EQ(text->value(), "a\xE2\x82\xAC");
    text->setValue(static_cast<const char*>(nullptr));
    EXPECT_EQ(text->value(), "");
    EXPECT_EQ(owner->valueChanges, 4);

    // Reading stores the whole text, without cutting or notifying.
    msgpack::zone zone;
    MessagePackMap map(&zone);
    map.setString("value", "longer than four");
    text->unpackAttributes(map);
    EXPECT_EQ(text->value(), "longer than four");
    EXPECT_EQ(owner->valueChanges, 4);
}

TEST_F(ValueTest, RectAndSizeAreArraysOfExactlyFourAndTwoFloats)
{
    ZqAttributeRect rect("Frame", nullptr);
    rect.setValue(CCRect(1, 2, 3.5f, 4));
    ZqAttributeSize size("Size", nullptr);
    size.setValue(CCSize(10.5f, 3));
    msgpack::zone zone;
    msgpack::object_handle handle;
    const MessagePackMap packedRect = packedThroughBytes(rect, zone, handle);
    const msgpack::object numbers = entry(packedRect, "value");
    ASSERT_EQ(numbers.via.array.size, 4u);
    for (uint32_t i = 0; i < 4; ++i)
        EXPECT_EQ(numbers.via.array.ptr[i].type, msgpack::type::FLOAT32);
    ZqAttributeRect rectBack("Frame", nullptr);
    rectBack.unpackAttributes(packedRect);
    EXPECT_EQ(rectBack.value(), CCRect(1, 2, 3.5f, 4));
    msgpack::object_handle sizeHandle;
    const MessagePackMap packedSize = packedThroughBytes(size, zone, sizeHandle);
    EXPECT_EQ(entry(packedSize, "value").via.array.size, 2u);
    ZqAttributeSize sizeBack("Size", nullptr);
    sizeBack.unpackAttributes(packedSize);
    EXPECT_EQ(sizeBack.value(), CCSize(10.5f, 3));

    MessagePackMap integers(&zone);
    integers.setUIntArray("value", {1, 2, 3, 4});
    rectBack.unpackAttributes(integers);
    EXPECT_EQ(rectBack.value(), CCRect(1, 2, 3, 4));
    MessagePackMap three(&zone);
    three.setUIntArray("value", {5, 6, 7});
    EXPECT_THROW(rectBack.unpackAttributes(three), msgpack::type_error);
    EXPECT_EQ(rectBack.value(), CCRect(1, 2, 3, 4));
    EXPECT_THROW(sizeBack.unpackAttributes(three), msgpack::type_error);
    MessagePackMap text(&zone);
    text.setArray("value", {msgpack::object(1), msgpack::object("x", zone)});
    EXPECT_THROW(sizeBack.unpackAttributes(text), msgpack::type_error);
}

TEST_F(ValueTest, DictionaryTexts)
{
    ScopedPool pool;
    ZqAttributeRect rect("Frame", nullptr);
    rect.setValue(CCRect(1, 2, 3, 4));
    auto* savedRect = static_cast<CCDictionary*>(rect.saveValueToDictionary());
    EXPECT_STREQ(savedRect->valueForKey("value")->getCString(), "{{1.00,2.00},{3.00,4.00}}");
    ZqAttributeRect rectBack("Frame", nullptr);
    rectBack.loadValueFromDictionary(savedRect);
    EXPECT_EQ(rectBack.value(), CCRect(1, 2, 3, 4));

    ZqAttributeSize size("Size", nullptr);
    size.setValue(CCSize(10.5f, 3));
    auto* savedSize = static_cast<CCDictionary*>(size.saveValueToDictionary());
    EXPECT_STREQ(savedSize->valueForKey("value")->getCString(), "{10.50,3.00}");
    ZqAttributeSize sizeBack("Size", nullptr);
    sizeBack.loadValueFromDictionary(savedSize);
    EXPECT_EQ(sizeBack.value(), CCSize(10.5f, 3));

    auto* text = new ZqAttributeString("Title", owner.get(), 3);
    CCDictionary* input = CCDictionary::create();
    input->setObject(CCString::create("abcdef"), "value");
    text->loadValueFromDictionary(input);
    EXPECT_EQ(text->value(), "abc");
    text->loadValueFromDictionary(CCDictionary::create()); // absent: unchanged
    EXPECT_EQ(text->value(), "abc");
    EXPECT_EQ(owner->valueChanges, 0);
}

// Every attribute class of this folder: a factory giving one with a non-default value.
struct CloneCase {
    const char* className;
    std::function<ZqBaseAttribute*(ZqAttributeOwner*)> make;
    std::function<std::string(const ZqBaseAttribute&)> describe;
};

template <class A>
CloneCase fundamentalCase(const char* name, auto value)
{
    return {name,
            [value](ZqAttributeOwner* owner) {
                auto* attribute = new A("Attr", owner);
                attribute->setValue(value, true);
                return attribute;
            },
            [](const ZqBaseAttribute& a) { return std::to_string(static_cast<const A&>(a).value()); }};
}

std::vector<CloneCase> cloneCases()
{
    return {
        fundamentalCase<ZqAttributeInt>("ZqAttributeInt", -7),
        fundamentalCase<ZqAttributeKey>("ZqAttributeKey", 65),
        fundamentalCase<ZqAttributeUInt>("ZqAttributeUInt", 7u),
        fundamentalCase<ZqAttributeFloat>("ZqAttributeFloat", 2.5f),
        fundamentalCase<ZqAttributeBool>("ZqAttributeBool", true),
        {"ZqAttributeFrameEdgeState",
         [](ZqAttributeOwner* owner) {
             auto* a = new ZqAttributeFrameEdgeState("Attr", owner);
             a->setValue(ZqObjectFrameEdgeState{2}, true);
             return a;
         },
         [](const ZqBaseAttribute& a) {
             return std::to_string(static_cast<int>(static_cast<const ZqAttributeFrameEdgeState&>(a).value()));
         }},
        {"ZqAttributeString",
         [](ZqAttributeOwner* owner) {
             auto* a = new ZqAttributeString("Attr", owner, 5);
             a->setValue("text", true);
             return a;
         },
         [](const ZqBaseAttribute& a) {
             auto& s = static_cast<const ZqAttributeString&>(a);
             return s.value() + "/" + std::to_string(s.maxLength());
         }},
        {"ZqAttributeStringList",
         [](ZqAttributeOwner* owner) {
             auto* a = new ZqAttributeStringList("Attr", owner);
             a->setValue("kAdd", true);
             return a;
         },
         [](const ZqBaseAttribute& a) { return static_cast<const ZqAttributeStringList&>(a).value(); }},
        {"ZqAttributeRect",
         [](ZqAttributeOwner* owner) {
             auto* a = new ZqAttributeRect("Attr", owner);
             a->setValue(CCRect(1, 2, 3, 4), true);
             return a;
         },
         [](const ZqBaseAttribute& a) {
             const CCRect& r = static_cast<const ZqAttributeRect&>(a).value();
             return std::to_string(r.origin.x + 10 * r.origin.y + 100 * r.size.width + 1000 * r.size.height);
         }},
        {"ZqAttributeSize",
         [](ZqAttributeOwner* owner) {
             auto* a = new ZqAttributeSize("Attr", owner);
             a->setValue(CCSize(5, 6), true);
             return a;
         },
         [](const ZqBaseAttribute& a) {
             const CCSize& s = static_cast<const ZqAttributeSize&>(a).value();
             return std::to_string(s.width + 10 * s.height);
         }},
    };
}

void PrintTo(const CloneCase& c, std::ostream* os)
{
    *os << c.className;
}

class CloneIdentity : public AttributeTest, public ::testing::WithParamInterface<CloneCase> {};

TEST_P(CloneIdentity, EveryCloneKeepsClassTypeIdAndValue)
{
    const CloneCase& c = GetParam();
    auto other = std::make_unique<CountingOwner>(2);
    ZqBaseAttribute* source = c.make(owner.get());
    const std::string value = c.describe(*source);
    EXPECT_STREQ(source->className(), c.className);

    ZqBaseAttribute* copies[] = {source->clone("Copy", other.get()), source->cloneForOwner(other.get()),
                                 source->cloneWithName("Renamed")};
    delete source; // the copies must not depend on it
    for (ZqBaseAttribute* copy : copies) {
        EXPECT_STREQ(copy->className(), c.className);
        EXPECT_EQ(copy->typeId(), zqTypeIdOf(c.className));
        EXPECT_EQ(c.describe(*copy), value);
    }
    EXPECT_EQ(copies[0]->owner(), other.get());
    EXPECT_EQ(copies[0]->name(), "Copy");
    EXPECT_EQ(copies[1]->name(), "Attr");
    EXPECT_EQ(copies[2]->owner(), owner.get());
    EXPECT_EQ(owner->valueChanges + other->valueChanges, 0);
}

INSTANTIATE_TEST_SUITE_P(AttributeClasses, CloneIdentity, ::testing::ValuesIn(cloneCases()),
                         [](const ::testing::TestParamInfo<CloneCase>& info) { return std::string(info.param.className); });

} // namespace
