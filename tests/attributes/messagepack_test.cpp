// The key dictionary and MessagePack maps: fallback codes, writers' MessagePack types
// through real bytes, strict readers, error order, and bounded unpacking of outside data.
#include "messagepack_support.h"

#include "base/CCGeometry.h"

#include <ZqRandom.h>

#include <cmath>
#include <stdexcept>

using cocos2d::CCPoint;

namespace {

class KeyDictionaryTest : public ::testing::Test {
protected:
    void TearDown() override { installKeyDictionary({}); }
};

TEST_F(KeyDictionaryTest, FallbackCodesServeReadersOnlyWhileTheirCodeIsFree)
{
    installKeyDictionary({});
    EXPECT_EQ(keyCodeOrDefault("id"), 42);
    EXPECT_EQ(keyCodeOrDefault("Class Name"), 33);
    EXPECT_EQ(keyCodeOrDefault("value"), 10);
    EXPECT_EQ(keyCodeOrDefault("User ID"), 50);
    EXPECT_EQ(keyCodeOrDefault("Name"), -1);
    EXPECT_THROW(keyCode("value"), std::runtime_error); // writers never fall back

    installKeyDictionary({{"value", 7}, {"x", 10}});
    EXPECT_EQ(keyCodeOrDefault("value"), 7);
    EXPECT_EQ(keyCodeOrDefault("id"), 42);

    installKeyDictionary({{"other", 10}});
    EXPECT_EQ(keyCodeOrDefault("value"), -1);
    EXPECT_THROW(keyCode("value"), std::runtime_error);
}

TEST_F(KeyDictionaryTest, ReverseLookups)
{
    installKeyDictionary({{"a", 5}, {"b", 5}, {"c", 6}});
    EXPECT_EQ(keyCode("a"), 5);
    EXPECT_EQ(keyCode("b"), 5);
    const std::string& shared = keyName(5);
    EXPECT_TRUE(shared == "a" || shared == "b");
    EXPECT_EQ(keyName(6), "c");
    EXPECT_THROW(keyName(99), std::out_of_range);
    EXPECT_EQ(tryKeyName(99), nullptr);
    ASSERT_NE(tryKeyName(6), nullptr);
    EXPECT_EQ(*tryKeyName(6), "c");
}

using MessagePackMapTest = AttributeTest;

// A set of codes holds what it was given, at the edges of its words, beyond its dense
// range and below zero, and nothing else; clear empties it.
TEST(KeyCodeSet, HoldsExactlyItsCodesAtEveryRange)
{
    KeyCodeSet set;
    const int64_t codes[] = {0, 63, 64, 127, 1000, 65535, 65536, int64_t(1) << 31, -1};
    for (const int64_t code : codes) {
        EXPECT_FALSE(set.contains(code)) << code;
        set.insert(code);
    }
    for (const int64_t code : codes)
        EXPECT_TRUE(set.contains(code)) << code;
    for (const int64_t code : {int64_t(1), int64_t(62), int64_t(65), int64_t(999), int64_t(65537), int64_t(-2)})
        EXPECT_FALSE(set.contains(code)) << code;
    set.clear();
    for (const int64_t code : codes)
        EXPECT_FALSE(set.contains(code)) << code;
}

TEST_F(MessagePackMapTest, WritersProduceTheRightTypesThroughBytes)
{
    msgpack::zone zone;
    MessagePackMap nested(&zone);
    nested.setInt("value", 3);
    MessagePackMap map(&zone);
    map.setInt("value", -1);
    map.setInt("id", 0);
    map.setUInt("state", 4294967295u);
    map.setFloat("preset", 2.5f);
    map.setBool("isEmpty", true);
    map.setString("text", std::string("a\0b", 3));
    map.setMap("nested", nested);
    map.setPoint("pair", CCPoint(1.5f, -2.0f));
    map.setFloat4("four", 1, 2, 3, 4);
    map.setUIntArray("numbers", {1, 2});
    map.setStringMap("words", {{"k", "v"}});
    map.setPointArray("points", {CCPoint(1, 2), CCPoint(3, 4)});

    msgpack::object_handle handle;
    const MessagePackMap read = throughBytes(map, handle);
    EXPECT_EQ(read.size(), map.size());
    EXPECT_EQ(entry(read, "value").type, msgpack::type::NEGATIVE_INTEGER);
    EXPECT_EQ(entry(read, "id").type, msgpack::type::POSITIVE_INTEGER);
    EXPECT_EQ(entry(read, "preset").type, msgpack::type::FLOAT32);
    EXPECT_EQ(entry(read, "isEmpty").type, msgpack::type::BOOLEAN);
    EXPECT_EQ(entry(read, "text").type, msgpack::type::STR);
    EXPECT_EQ(entry(read, "pair").via.array.ptr[1].type, msgpack::type::FLOAT32);
    EXPECT_EQ(entry(read, "four").via.array.size, 4u);
    EXPECT_EQ(entry(read, "four").via.array.ptr[0].type, msgpack::type::FLOAT32); // whole numbers stay floats

    int32_t i = 0;
    uint32_t u = 0;
    float f = 0;
    bool b = false;
    std::string s;
    EXPECT_TRUE(read.getInt("value", i));
    EXPECT_EQ(i, -1);
    EXPECT_TRUE(read.getUInt("state", u));
    EXPECT_EQ(u, 4294967295u);
    EXPECT_TRUE(read.getFloat("preset", f));
    EXPECT_EQ(f, 2.5f);
    EXPECT_TRUE(read.getBool("isEmpty", b));
    EXPECT_TRUE(b);
    EXPECT_TRUE(read.getString("text", s));
    EXPECT_EQ(s, std::string("a\0b", 3));

    MessagePackMap inner;
    ASSERT_TRUE(read.getMap("nested", inner));
    EXPECT_EQ(entry(read, "nested").via.map.ptr[0].key.type, msgpack::type::POSITIVE_INTEGER);
    EXPECT_TRUE(inner.getInt("value", i));
    EXPECT_EQ(i, 3);

    MessagePackMap::StringMap words;
    EXPECT_TRUE(read.getStringMap("words", words));
    EXPECT_EQ(words.at("k"), "v");
    std::vector<CCPoint> points;
    EXPECT_TRUE(read.getPointArray("points", points));
    EXPECT_EQ(points, (std::vector<CCPoint>{CCPoint(1, 2), CCPoint(3, 4)}));
}

TEST_F(MessagePackMapTest, ReadersAreStrict)
{
    msgpack::zone zone;
    MessagePackMap map(&zone);
    map.setInt("value", -1);
    map.setFloat("preset", 3.0f);
    map.setUInt("state", 2147483648u);
    map.setInt("id", 0);
    map.setInt("points", 3);
    map.setFloat4("four", 1, 2, 3, 4);

    uint32_t u = 7;
    int32_t i = 7;
    bool b = false;
    EXPECT_THROW(map.getUInt("value", u), msgpack::type_error);
    EXPECT_EQ(u, 7u);
    EXPECT_THROW(map.getInt("preset", i), msgpack::type_error);
    EXPECT_THROW(map.getInt("state", i), msgpack::type_error);
    EXPECT_THROW(map.getBool("id", b), msgpack::type_error);
    float f = 0;
    EXPECT_TRUE(map.getFloat("points", f));
    EXPECT_EQ(f, 3.0f);
    float pair[2];
    EXPECT_THROW(map.getFloats("four", pair, 2), msgpack::type_error);
    EXPECT_FALSE(map.getInt("text", i)); // absent
    EXPECT_EQ(i, 7);
}

TEST_F(MessagePackMapTest, ZoneIsCheckedBeforeTheKeyAndFirstValueWins)
{
    MessagePackMap reading;
    EXPECT_THROW(reading.setInt("no such key", 1), std::logic_error);
    EXPECT_THROW(reading.setInt("value", 1), std::logic_error);
    EXPECT_THROW(reading.zone(), std::logic_error);
    EXPECT_TRUE(reading.empty());

    msgpack::zone zone;
    MessagePackMap map(&zone);
    EXPECT_THROW(map.setInt("no such key", 1), std::runtime_error);
    EXPECT_TRUE(map.empty());
    map.setInt("value", 1);
    map.setInt("value", 2);
    map.setString("text", static_cast<const char*>(nullptr));
    int32_t i = 0;
    map.getInt("value", i);
    EXPECT_EQ(i, 1);
    std::string s = "x";
    map.getString("text", s);
    EXPECT_EQ(s, "");
}

TEST_F(MessagePackMapTest, NestedMapKeysMustBeUnsignedCodesAndDuplicatesKeepTheFirst)
{
    msgpack::zone zone;
    const auto keyed = [&](msgpack::object key) {
        msgpack::object map;
        map.type = msgpack::type::MAP;
        map.via.map.size = 2;
        map.via.map.ptr = static_cast<msgpack::object_kv*>(zone.allocate_align(2 * sizeof(msgpack::object_kv)));
        map.via.map.ptr[0] = {key, msgpack::object(1)};
        map.via.map.ptr[1] = {key, msgpack::object(2)};
        return map;
    };
    const MessagePackMap read = MessagePackMap::fromObject(keyed(msgpack::object(10u)));
    int32_t i = 0;
    read.getInt("value", i);
    EXPECT_EQ(i, 1);
    EXPECT_THROW(MessagePackMap::fromObject(keyed(msgpack::object(-3))), msgpack::type_error);
    EXPECT_THROW(MessagePackMap::fromObject(keyed(msgpack::object("k", zone))), msgpack::type_error);
    EXPECT_THROW(MessagePackMap::fromObject(msgpack::object(5)), msgpack::type_error);
}

TEST(UnpackBounded, ReadsConsecutiveObjects)
{
    msgpack::sbuffer buffer;
    msgpack::pack(buffer, std::vector<int>{1, 2, 3});
    msgpack::pack(buffer, std::string("next"));
    std::size_t offset = 0;
    EXPECT_EQ(unpackBounded(buffer.data(), buffer.size(), offset).get().as<std::vector<int>>(),
              (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(unpackBounded(buffer.data(), buffer.size(), offset).get().as<std::string>(), "next");
    EXPECT_EQ(offset, buffer.size());
    EXPECT_THROW(unpackBounded(buffer.data(), buffer.size(), offset), msgpack::insufficient_bytes);
}

TEST(UnpackBounded, LyingHeadersAreRefusedBeforeAllocating)
{
    const char hugeArray[] = {'\xdd', '\xff', '\xff', '\xff', '\xff'};
    std::size_t offset = 0;
    EXPECT_THROW(unpackBounded(hugeArray, sizeof hugeArray, offset), msgpack::size_overflow);
    EXPECT_EQ(offset, 0u);

    const char hugeMap[] = {'\xdf', '\xff', '\xff', '\xff', '\xff', '\x01'};
    EXPECT_THROW(unpackBounded(hugeMap, sizeof hugeMap, offset), msgpack::size_overflow);

    // Each nested header claims nearly all the bytes left: only the total gives it away.
    std::string nested;
    for (int level = 0; level < 20; ++level)
        nested += std::string("\xdc\x00\x60", 3);
    nested += std::string(40, '\xc0');
    EXPECT_THROW(unpackBounded(nested.data(), nested.size(), offset), msgpack::size_overflow);

    const std::string deep(100, '\x91');
    EXPECT_THROW(unpackBounded((deep + '\xc0').data(), deep.size() + 1, offset), msgpack::size_overflow);

    const char truncated[] = {'\x92', '\x01'};
    EXPECT_THROW(unpackBounded(truncated, sizeof truncated, offset), msgpack::insufficient_bytes);
    const char reserved[] = {'\xc1'};
    EXPECT_THROW(unpackBounded(reserved, sizeof reserved, offset), msgpack::parse_error);
    EXPECT_EQ(offset, 0u);
}

TEST(UnpackBounded, RandomBytesEndInLibraryErrorsOnly)
{
    zqSrand(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(1 + zqRand() % 24, '\0');
        for (char& c : bytes)
            c = static_cast<char>(zqRand() & 0xff);
        std::size_t offset = 0;
        try {
            msgpack::object_handle handle = unpackBounded(bytes.data(), bytes.size(), offset);
            MessagePackMap map = MessagePackMap::fromObject(handle.get());
            int32_t value = 0;
            map.getInt("value", value);
        } catch (const msgpack::unpack_error&) {
        } catch (const msgpack::type_error&) {
        }
    }
}

} // namespace
