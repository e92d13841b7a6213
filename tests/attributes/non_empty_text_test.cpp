// A text under a key that counts only when it is not empty, in both data forms, and the
// dictionary readers that take it.
#include "messagepack_support.h"

#include "attributes/ZqAnimationCurve.h"
#include "attributes/ZqAttributeValue.h"
#include "attributes/ZqNonEmptyText.h"

#include <functional>

using cocos2d::CCArray;
using cocos2d::CCDictionary;
using cocos2d::CCString;

namespace {

using NonEmptyTextTest = AttributeTest;
using Packer = msgpack::packer<msgpack::sbuffer>;

// The read form of a map of the four entries fill packs; handle keeps the data alive.
MessagePackMap packedMap(msgpack::object_handle& handle, const std::function<void(Packer&)>& fill)
{
    msgpack::sbuffer buffer;
    Packer packer(buffer);
    packer.pack_map(4);
    fill(packer);
    handle = msgpack::unpack(buffer.data(), buffer.size());
    return MessagePackMap::fromObject(handle.get());
}

TEST_F(NonEmptyTextTest, DictionaryFormGivesOnlyANonEmptyString)
{
    ScopedPool pool;
    CCDictionary* dictionary = CCDictionary::create();
    CCString* text = CCString::create("abc");
    dictionary->setObject(text, "text");
    dictionary->setObject(CCString::create(""), "empty");
    dictionary->setObject(CCDictionary::create(), "nested");

    EXPECT_EQ(zqNonEmptyText(dictionary, "text"), text);
    EXPECT_EQ(zqNonEmptyText(dictionary, "missing"), nullptr);
    EXPECT_EQ(zqNonEmptyText(dictionary, "empty"), nullptr);
    EXPECT_EQ(zqNonEmptyText(dictionary, "nested"), nullptr);
    EXPECT_EQ(zqNonEmptyText(nullptr, "text"), nullptr);
}

TEST_F(NonEmptyTextTest, MessagePackFormLeavesTheOutputAloneAndRefusesOtherTypes)
{
    msgpack::object_handle handle;
    const MessagePackMap map = packedMap(handle, [](Packer& packer) {
        packer.pack(keyCode("text")).pack("abc");
        packer.pack(keyCode("list")).pack("");
        packer.pack(keyCode("nested")).pack_nil();
        packer.pack(keyCode("numbers")).pack(7);
    });

    std::string out = "kept";
    EXPECT_FALSE(zqNonEmptyText(map, "words", out));
    EXPECT_FALSE(zqNonEmptyText(map, "list", out));
    EXPECT_EQ(out, "kept");
    EXPECT_TRUE(zqNonEmptyText(map, "text", out));
    EXPECT_EQ(out, "abc");
    // A nil or a number where a text belongs is damage, reported as by every reader.
    EXPECT_THROW(zqNonEmptyText(map, "nested", out), msgpack::type_error);
    EXPECT_THROW(zqNonEmptyText(map, "numbers", out), msgpack::type_error);
}

// The viewing form reads a bin as a text too, and views the bytes where the data holds them.
TEST_F(NonEmptyTextTest, MessagePackViewsTextAndBinInPlace)
{
    msgpack::object_handle handle;
    const MessagePackMap map = packedMap(handle, [](Packer& packer) {
        packer.pack(keyCode("text")).pack("abc");
        packer.pack(keyCode("list")).pack_bin(2).pack_bin_body("xy", 2);
        packer.pack(keyCode("words")).pack_bin(0);
        packer.pack(keyCode("numbers")).pack(7);
    });

    std::string_view view = "kept";
    EXPECT_FALSE(zqNonEmptyText(map, "words", view));
    EXPECT_FALSE(zqNonEmptyText(map, "nested", view));
    EXPECT_EQ(view, "kept");
    ASSERT_TRUE(zqNonEmptyText(map, "list", view));
    EXPECT_EQ(view, "xy");
    ASSERT_TRUE(zqNonEmptyText(map, "text", view));
    EXPECT_EQ(view, "abc");
    EXPECT_EQ(view.data(), map.find(keyCode("text"))->via.str.ptr);
    std::string copy;
    ASSERT_TRUE(zqNonEmptyText(map, "list", copy));
    EXPECT_EQ(copy, "xy");
    EXPECT_THROW(zqNonEmptyText(map, "numbers", view), msgpack::type_error);
}

TEST_F(NonEmptyTextTest, DictionaryReadersTakeAnEmptyTextAsNotGiven)
{
    ScopedPool pool;
    auto* name = new ZqAttributeString("Name", owner.get());
    name->setValue("Hero", true);
    CCDictionary* value = CCDictionary::create();
    value->setObject(CCString::create(""), "value");
    name->loadValueFromDictionary(value);
    EXPECT_EQ(name->value(), "Hero");

    // An empty preset keeps the curve's own; an empty state is no state, so the entry goes.
    CCDictionary* animation = CCDictionary::create();
    animation->setObject(CCString::create(""), "preset");
    ZqAnimationCurve curve;
    curve.loadFromDictionary(animation);
    EXPECT_EQ(curve.preset(), ZqAnimationCurve::kDefaultPreset);

    CCDictionary* stateless = CCDictionary::create();
    stateless->setObject(CCString::create(""), "state");
    stateless->setObject(animation, "animation");
    CCDictionary* stated = CCDictionary::create();
    stated->setObject(CCString::create("3"), "state");
    stated->setObject(animation, "animation");
    CCArray* elements = CCArray::create();
    elements->addObject(stateless);
    elements->addObject(stated);
    const CurveSet set = loadCurveSet(elements);
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set.begin()->first, 3);
}

} // namespace
