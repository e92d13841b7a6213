// MessagePack maps of every size: entries held in the object, moved to the heap, and
// searched through the sorted index, each keeping data order and the first duplicate.
#include <gtest/gtest.h>

#include "attributes/MessagePackMap.h"

#include <utility>
#include <vector>

namespace {

// A MAP object of the given (code, value) pairs, duplicates included, through real bytes.
msgpack::object_handle mapOf(const std::vector<std::pair<uint32_t, int>>& pairs)
{
    msgpack::sbuffer buffer;
    msgpack::packer<msgpack::sbuffer> packer(buffer);
    packer.pack_map(static_cast<uint32_t>(pairs.size()));
    for (const auto& [code, value] : pairs)
        packer.pack(code).pack(value);
    std::size_t offset = 0;
    return unpackBounded(buffer.data(), buffer.size(), offset);
}

TEST(MessagePackMapSizes, EverySizeKeepsOrderAndTheFirstDuplicate)
{
    for (uint32_t count : {0u, 1u, 8u, 9u, 32u, 33u, 100u}) {
        // Codes descend so that data order differs from code order; each code comes twice.
        std::vector<std::pair<uint32_t, int>> pairs;
        for (uint32_t i = 0; i < count; ++i)
            pairs.emplace_back(1000 - 3 * i, static_cast<int>(i));
        for (uint32_t i = 0; i < count; ++i)
            pairs.emplace_back(1000 - 3 * i, -1);
        const msgpack::object_handle handle = mapOf(pairs);
        const MessagePackMap map = MessagePackMap::fromObject(handle.get());
        ASSERT_EQ(map.size(), count);
        for (uint32_t i = 0; i < count; ++i) {
            const msgpack::object* found = map.find(static_cast<int32_t>(1000 - 3 * i));
            ASSERT_NE(found, nullptr) << count << " " << i;
            EXPECT_EQ(found->as<int>(), static_cast<int>(i));
            EXPECT_EQ(map.entries()[i].code, static_cast<int32_t>(1000 - 3 * i));
            EXPECT_EQ(map.find(static_cast<int32_t>(1001 - 3 * i)), nullptr);
        }

        MessagePackMap copy = map;
        MessagePackMap moved = std::move(copy);
        EXPECT_TRUE(copy.empty());
        EXPECT_EQ(moved.size(), count);
        if (count > 0) {
            EXPECT_EQ(moved.find(1000)->as<int>(), 0);
        }
    }
}

TEST(MessagePackMapSizes, WritersKeepTheFirstValueOfLargeMaps)
{
    installKeyDictionary({});
    KeyCodeTable table;
    for (int i = 0; i < 40; ++i)
        table.emplace("k" + std::to_string(i), i);
    installKeyDictionary(table);
    msgpack::zone zone;
    MessagePackMap map(&zone);
    for (int round = 0; round < 2; ++round) {
        for (int i = 39; i >= 0; --i)
            map.setInt("k" + std::to_string(i), round == 0 ? i : -i - 1);
    }
    ASSERT_EQ(map.size(), 40u);
    const MessagePackMap read = MessagePackMap::fromObject(map.toObject());
    for (int i = 0; i < 40; ++i) {
        int32_t value = -100;
        EXPECT_TRUE(read.getInt("k" + std::to_string(i), value));
        EXPECT_EQ(value, i);
    }
    installKeyDictionary({});
}

TEST(MessagePackMapSizes, OneZoneServesConsecutiveObjectsAndLyingHeadersAreRefused)
{
    msgpack::sbuffer buffer;
    msgpack::pack(buffer, std::vector<int>{1, 2});
    msgpack::pack(buffer, std::string("next"));
    const char lying[] = {static_cast<char>(0xdd), 0x7f, 0x00, 0x00, 0x00};
    buffer.write(lying, sizeof lying);
    msgpack::zone zone;
    std::size_t offset = 0;
    EXPECT_EQ(unpackBounded(zone, buffer.data(), buffer.size(), offset).as<std::vector<int>>(),
              (std::vector<int>{1, 2}));
    zone.clear();
    EXPECT_EQ(unpackBounded(zone, buffer.data(), buffer.size(), offset).as<std::string>(), "next");
    const std::size_t before = offset;
    EXPECT_THROW(unpackBounded(zone, buffer.data(), buffer.size(), offset), msgpack::array_size_overflow);
    EXPECT_EQ(offset, before);
}

} // namespace
