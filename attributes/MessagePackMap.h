#pragma once

#include "attributes/KeyDictionary.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <msgpack.hpp>

namespace cocos2d {
struct CCPoint;
}

// One entry of a read map: its key code and its value.
struct MessagePackEntry {
    int32_t code;
    msgpack::object value;
};

// One MessagePack map of the game data, keyed by key-dictionary codes (KeyDictionary.h).
// A map made for writing holds a zone (not owned: its maker keeps it alive as long as the
// objects are used) in which every written object is allocated. A map made for reading
// has no zone; its objects point into the unpacked data, whose zone the reader keeps.
// Keys are unique: the first value put under a code stays. Entries keep their order of
// insertion (for a read map, the order of the data). The few entries of an attribute's map
// are held inside the object; larger maps go to the heap and get a sorted index.
class MessagePackMap {
public:
    using Entry = MessagePackEntry;
    using Entries = std::span<const Entry>;
    using StringMap = std::unordered_map<std::string, std::string>;

    MessagePackMap() = default;
    explicit MessagePackMap(msgpack::zone* zone) : m_zone(zone) {}
    MessagePackMap(const MessagePackMap& other) = default;
    MessagePackMap& operator=(const MessagePackMap& other) = default;
    // The moved-from map is left empty.
    MessagePackMap(MessagePackMap&& other) noexcept;
    MessagePackMap& operator=(MessagePackMap&& other) noexcept;

    // The read form of a MAP object whose keys are positive integers up to 2^32-1 (taken as
    // codes); msgpack::type_error for anything else. Of duplicate keys the first wins.
    static MessagePackMap fromObject(const msgpack::object& object);

    bool empty() const { return m_size == 0; }
    // Drops every entry and the repeated code (the zone stays).
    void clear();
    // Adds an entry to a map being read (the first value under a code stays), for readers
    // that collect a map entry by entry; the object is not copied.
    void addReadEntry(int32_t code, const msgpack::object& value) { insert(code, value); }
    // A read map whose data gave a code more than once is malformed: the smallest such
    // code (a repeat dropped on insert, or noted by a reader that dropped it itself), -1
    // when none.
    int32_t repeatedCode() const { return m_repeated; }
    void noteRepeated(int32_t code)
    {
        if (code >= 0 && (m_repeated < 0 || code < m_repeated))
            m_repeated = code;
    }
    // The same for a MAP object's keys that are codes (positive integers up to 2^31-1).
    static int32_t repeatedCodeOf(const msgpack::object& map);
    std::size_t size() const { return m_size; }
    // Valid until the map changes or goes.
    Entries entries() const { return Entries(data(), m_size); }

    // The zone written into; std::logic_error "Zone not set" when there is none. Never null.
    msgpack::zone* zone() const;

    // This map as a MAP object (codes as positive integers) built in the zone; the entries
    // are not copied, so the object lives as long as the zone.
    msgpack::object toObject() const;

    // Writers, each (name, value). Order of checks: "Zone not set" (std::logic_error), then
    // "A key is not present" (std::runtime_error); on either the map is unchanged.
    void setInt(const std::string& name, int32_t value);            // positive or negative integer
    void setUInt(const std::string& name, uint32_t value);          // positive integer
    void setFloat(const std::string& name, float value);            // FLOAT32
    void setBool(const std::string& name, bool value);              // boolean
    void setString(const std::string& name, const std::string& value);  // str, bytes copied
    void setString(const std::string& name, const char* value);     // null writes ""
    void setStringMap(const std::string& name, const StringMap& value);
    void setArray(const std::string& name, const std::vector<msgpack::object>& value);  // deep copies
    void setMap(const std::string& name, const MessagePackMap& value);                  // deep copies
    void setPointArray(const std::string& name, const std::vector<cocos2d::CCPoint>& value);
    void setPoint(const std::string& name, const cocos2d::CCPoint& value);  // [x, y] FLOAT32
    void setFloat4(const std::string& name, float a, float b, float c, float d);
    void setUIntArray(const std::string& name, const std::vector<uint32_t>& value);

    // Entry lookup. By name it goes through keyCodeOrDefault; null means absent. The scan of
    // a small map is inline: every entry read looks up a few codes.
    const msgpack::object* find(int32_t code) const
    {
        if (!m_index.empty())
            return findIndexed(code);
        const Entry* entries = data();
        for (uint32_t i = 0; i < m_size; ++i) {
            if (entries[i].code == code)
                return &entries[i].value;
        }
        return nullptr;
    }
    const msgpack::object* find(KeyRef name) const;

    // Readers: false when the entry is absent (out untouched); msgpack::type_error when the
    // object is of another type or out of the wanted type's range.
    bool getInt(KeyRef name, int32_t& out) const;        // integers in range
    bool getUInt(KeyRef name, uint32_t& out) const;      // positive integers in range
    bool getFloat(KeyRef name, float& out) const;        // any number
    bool getBool(KeyRef name, bool& out) const;          // boolean only
    bool getString(KeyRef name, std::string& out) const; // str or bin
    bool getStringMap(KeyRef name, StringMap& out) const;
    bool getArray(KeyRef name, std::vector<msgpack::object>& out) const;
    bool getMap(KeyRef name, MessagePackMap& out) const;
    bool getPointArray(KeyRef name, std::vector<cocos2d::CCPoint>& out) const;
    // An array of exactly count numbers, each converted as float; on a throw, out may hold
    // the elements converted before the bad one.
    bool getFloats(KeyRef name, float* out, std::size_t count) const;

    // Conversions of one object, with the readers' rules.
    static std::vector<cocos2d::CCPoint> convertPointArray(const msgpack::object& object);
    static void convertFloats(const msgpack::object& object, float* out, std::size_t count);

private:
    // Entries that fit in the object; past that they move to m_spilled.
    static constexpr std::size_t kInlineEntries = 8;
    // Maps larger than this are searched through m_index rather than scanned.
    static constexpr std::size_t kScanLimit = 32;

    int32_t writableCode(const std::string& name) const;
    const Entry* data() const { return m_size > kInlineEntries ? m_spilled.data() : m_inline; }
    // Adds the entry unless the code is present (the first value stays).
    void insert(int32_t code, const msgpack::object& value);
    // find through the sorted index of a large map.
    const msgpack::object* findIndexed(int32_t code) const;

    Entry m_inline[kInlineEntries];
    std::vector<Entry> m_spilled;
    // (code, position) sorted by code, kept once the map holds more than kScanLimit entries.
    std::vector<std::pair<int32_t, uint32_t>> m_index;
    uint32_t m_size = 0;
    int32_t m_repeated = -1;
    msgpack::zone* m_zone = nullptr;
};

// Appends the MessagePack bytes of an object, keeping the width of every float: FLOAT32
// objects become 0xca, FLOAT64 0xcb. (msgpack-c 4 packs a float holding a whole number
// as an integer, which would change the types that the writers above chose.)
void packObject(msgpack::sbuffer& buffer, const msgpack::object& object);

// The container elements one object starting with bytesLeft bytes of input left may
// declare in all (a map's entry counts two): no more than there are bytes, and no more than
// their objects (one msgpack::object each when built) fit in kBuiltPerByte times the bytes
// and kBuiltFloor more. Every reader of objects keeps to it, so a file costs a few times
// its size however its bytes are spent: 64 MiB of nils in one array would build 1.5 GB.
// The floor passes any list of the most models a game may hold.
inline constexpr std::size_t kBuiltPerByte = 4;
inline constexpr std::size_t kBuiltFloor = std::size_t(16) << 20;
constexpr std::size_t elementBudget(std::size_t bytesLeft)
{
    const std::size_t built = bytesLeft / sizeof(msgpack::object) * kBuiltPerByte + kBuiltFloor / sizeof(msgpack::object);
    return bytesLeft < built ? bytesLeft : built;
}

// Unpacks the one MessagePack object that starts at offset in data[0, size) and moves
// offset past it. Outside data is never trusted: containers may declare no more elements
// in total than elementBudget gives, and nesting is bounded, so a short header cannot
// make msgpack-c allocate more than a small multiple of the input. Throws msgpack's
// insufficient_bytes, parse_error or a size_overflow error; offset is then unchanged.
msgpack::object_handle unpackBounded(const char* data, std::size_t size, std::size_t& offset);

// The same, built in the given zone (which must outlive the object's use), so that a reader
// of many objects can clear and reuse one zone instead of allocating a new one for each.
msgpack::object unpackBounded(msgpack::zone& zone, const char* data, std::size_t size, std::size_t& offset);
