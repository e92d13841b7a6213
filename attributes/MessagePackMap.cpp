#include "attributes/MessagePackMap.h"

#include "attributes/KeyDictionary.h"
#include "base/CCGeometry.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

// Real data nests about eight levels deep (model, attribute, curve set, curve, points);
// msgpack-c's object copy and pack are recursive, so deep nesting is refused.
constexpr std::size_t kMaxDepth = 32;

msgpack::object floatObject(float value)
{
    return msgpack::object(value); // FLOAT32, widened to double as msgpack-c keeps it
}

// An array object of count elements allocated in the zone; the elements are left to fill.
msgpack::object arrayObject(msgpack::zone& zone, std::size_t count)
{
    msgpack::object result;
    result.type = msgpack::type::ARRAY;
    result.via.array.size = static_cast<uint32_t>(count);
    result.via.array.ptr = count == 0 ? nullptr
        : static_cast<msgpack::object*>(zone.allocate_align(sizeof(msgpack::object) * count,
                                                            MSGPACK_ZONE_ALIGNOF(msgpack::object)));
    return result;
}

msgpack::object mapObject(msgpack::zone& zone, std::size_t count)
{
    msgpack::object result;
    result.type = msgpack::type::MAP;
    result.via.map.size = static_cast<uint32_t>(count);
    result.via.map.ptr = count == 0 ? nullptr
        : static_cast<msgpack::object_kv*>(zone.allocate_align(sizeof(msgpack::object_kv) * count,
                                                               MSGPACK_ZONE_ALIGNOF(msgpack::object_kv)));
    return result;
}

msgpack::object pointObject(msgpack::zone& zone, float x, float y)
{
    msgpack::object result = arrayObject(zone, 2);
    result.via.array.ptr[0] = floatObject(x);
    result.via.array.ptr[1] = floatObject(y);
    return result;
}

// Codes are written as positive integers; a negative code keeps its 32 bits, so that
// reading (which takes keys as unsigned 32-bit numbers) gives it back.
msgpack::object codeObject(int32_t code)
{
    return msgpack::object(static_cast<uint32_t>(code));
}

std::string convertText(const msgpack::object& object)
{
    return object.as<std::string>(); // str or bin, else type_error
}

// Checks, before msgpack-c allocates anything, that the containers of one object declare
// no more elements than elementBudget gives for the bytes left and that nesting stays
// bounded. A lying header is then refused however deep it hides.
class BudgetVisitor : public msgpack::null_visitor {
public:
    explicit BudgetVisitor(std::size_t budget) : budget_(budget) {}

    bool start_array(uint32_t count)
    {
        if (!take(count))
            throw msgpack::array_size_overflow("array size overflow");
        return enter();
    }
    bool end_array() { return leave(); }
    bool start_map(uint32_t count)
    {
        if (!take(static_cast<std::size_t>(count) * 2))
            throw msgpack::map_size_overflow("map size overflow");
        return enter();
    }
    bool end_map() { return leave(); }
    void parse_error(std::size_t, std::size_t) { throw msgpack::parse_error("parse error"); }
    void insufficient_bytes(std::size_t, std::size_t) { throw msgpack::insufficient_bytes("insufficient bytes"); }

private:
    bool take(std::size_t count)
    {
        if (count > budget_)
            return false;
        budget_ -= count;
        return true;
    }
    bool enter()
    {
        if (++depth_ > kMaxDepth)
            throw msgpack::depth_size_overflow("depth size overflow");
        return true;
    }
    bool leave()
    {
        --depth_;
        return true;
    }

    std::size_t budget_;
    std::size_t depth_ = 0;
};

} // namespace

MessagePackMap::MessagePackMap(MessagePackMap&& other) noexcept
    : m_spilled(std::move(other.m_spilled))
    , m_index(std::move(other.m_index))
    , m_size(other.m_size)
    , m_repeated(other.m_repeated)
    , m_zone(other.m_zone)
{
    std::copy(other.m_inline, other.m_inline + std::min<std::size_t>(m_size, kInlineEntries), m_inline);
    other.m_spilled.clear();
    other.m_index.clear();
    other.m_size = 0;
    other.m_repeated = -1;
}

MessagePackMap& MessagePackMap::operator=(MessagePackMap&& other) noexcept
{
    if (this != &other) {
        m_spilled = std::move(other.m_spilled);
        m_index = std::move(other.m_index);
        m_size = other.m_size;
        m_repeated = other.m_repeated;
        m_zone = other.m_zone;
        std::copy(other.m_inline, other.m_inline + std::min<std::size_t>(m_size, kInlineEntries), m_inline);
        other.m_spilled.clear();
        other.m_index.clear();
        other.m_size = 0;
        other.m_repeated = -1;
    }
    return *this;
}

MessagePackMap MessagePackMap::fromObject(const msgpack::object& object)
{
    if (object.type != msgpack::type::MAP)
        throw msgpack::type_error();
    MessagePackMap result;
    const msgpack::object_map& map = object.via.map;
    if (map.size > kInlineEntries)
        result.m_spilled.reserve(map.size);
    for (uint32_t i = 0; i < map.size; ++i) {
        const int32_t code = static_cast<int32_t>(map.ptr[i].key.as<uint32_t>());
        result.insert(code, map.ptr[i].val);
    }
    return result;
}

int32_t MessagePackMap::repeatedCodeOf(const msgpack::object& map)
{
    if (map.type != msgpack::type::MAP)
        return -1;
    // Attribute maps hold a handful of entries: compared pairwise without allocating.
    constexpr std::size_t kPairwise = 16;
    const auto codeAt = [&](uint32_t i) -> int64_t {
        const msgpack::object& key = map.via.map.ptr[i].key;
        return key.type == msgpack::type::POSITIVE_INTEGER && key.via.u64 <= INT32_MAX ? static_cast<int64_t>(key.via.u64)
                                                                                      : -1;
    };
    int64_t repeated = -1;
    const uint32_t size = map.via.map.size;
    if (size <= kPairwise) {
        for (uint32_t i = 1; i < size; ++i) {
            const int64_t code = codeAt(i);
            for (uint32_t j = 0; code >= 0 && j < i; ++j) {
                if (codeAt(j) == code && (repeated < 0 || code < repeated))
                    repeated = code;
            }
        }
        return static_cast<int32_t>(repeated);
    }
    std::vector<int64_t> codes;
    codes.reserve(size);
    for (uint32_t i = 0; i < size; ++i) {
        if (codeAt(i) >= 0)
            codes.push_back(codeAt(i));
    }
    std::sort(codes.begin(), codes.end());
    const auto twice = std::adjacent_find(codes.begin(), codes.end());
    return twice == codes.end() ? -1 : static_cast<int32_t>(*twice);
}

void MessagePackMap::insert(int32_t code, const msgpack::object& value)
{
    if (find(code)) {
        noteRepeated(code);
        return;
    }
    if (m_size < kInlineEntries) {
        m_inline[m_size] = Entry{code, value};
    } else {
        if (m_size == kInlineEntries) {
            m_spilled.reserve(std::max<std::size_t>(m_spilled.capacity(), 2 * kInlineEntries));
            m_spilled.assign(m_inline, m_inline + kInlineEntries);
        }
        m_spilled.push_back(Entry{code, value});
    }
    const uint32_t position = m_size++;
    if (m_size <= kScanLimit)
        return;
    if (m_index.empty()) {
        m_index.reserve(m_spilled.capacity());
        for (uint32_t i = 0; i < m_size; ++i)
            m_index.emplace_back(m_spilled[i].code, i);
        std::sort(m_index.begin(), m_index.end());
    } else {
        const auto at = std::lower_bound(m_index.begin(), m_index.end(), std::pair<int32_t, uint32_t>(code, 0));
        m_index.emplace(at, code, position);
    }
}

void MessagePackMap::clear()
{
    m_spilled.clear();
    m_index.clear();
    m_size = 0;
    m_repeated = -1;
}

msgpack::zone* MessagePackMap::zone() const
{
    if (!m_zone)
        throw std::logic_error("Zone not set");
    return m_zone;
}

msgpack::object MessagePackMap::toObject() const
{
    msgpack::object result = mapObject(*zone(), m_size);
    std::size_t i = 0;
    for (const auto& [code, value] : entries()) {
        result.via.map.ptr[i].key = codeObject(code);
        result.via.map.ptr[i].val = value;
        ++i;
    }
    return result;
}

int32_t MessagePackMap::writableCode(const std::string& name) const
{
    zone(); // the zone is checked before the name
    return keyCode(name);
}

void MessagePackMap::setInt(const std::string& name, int32_t value)
{
    insert(writableCode(name), msgpack::object(value));
}

void MessagePackMap::setUInt(const std::string& name, uint32_t value)
{
    insert(writableCode(name), msgpack::object(value));
}

void MessagePackMap::setFloat(const std::string& name, float value)
{
    insert(writableCode(name), floatObject(value));
}

void MessagePackMap::setBool(const std::string& name, bool value)
{
    insert(writableCode(name), msgpack::object(value));
}

void MessagePackMap::setString(const std::string& name, const std::string& value)
{
    const int32_t code = writableCode(name);
    insert(code, msgpack::object(value, *m_zone));
}

void MessagePackMap::setString(const std::string& name, const char* value)
{
    setString(name, std::string(value ? value : ""));
}

void MessagePackMap::setStringMap(const std::string& name, const StringMap& value)
{
    const int32_t code = writableCode(name);
    msgpack::object result = mapObject(*m_zone, value.size());
    std::size_t i = 0;
    for (const auto& [key, text] : value) {
        result.via.map.ptr[i].key = msgpack::object(key, *m_zone);
        result.via.map.ptr[i].val = msgpack::object(text, *m_zone);
        ++i;
    }
    insert(code, result);
}

void MessagePackMap::setArray(const std::string& name, const std::vector<msgpack::object>& value)
{
    const int32_t code = writableCode(name);
    msgpack::object result = arrayObject(*m_zone, value.size());
    for (std::size_t i = 0; i < value.size(); ++i)
        result.via.array.ptr[i] = msgpack::object(value[i], *m_zone);
    insert(code, result);
}

void MessagePackMap::setMap(const std::string& name, const MessagePackMap& value)
{
    const int32_t code = writableCode(name);
    msgpack::object result = mapObject(*m_zone, value.m_size);
    std::size_t i = 0;
    for (const auto& [key, object] : value.entries()) {
        result.via.map.ptr[i].key = codeObject(key);
        result.via.map.ptr[i].val = msgpack::object(object, *m_zone);
        ++i;
    }
    insert(code, result);
}

void MessagePackMap::setPointArray(const std::string& name, const std::vector<cocos2d::CCPoint>& value)
{
    const int32_t code = writableCode(name);
    msgpack::object result = arrayObject(*m_zone, value.size());
    for (std::size_t i = 0; i < value.size(); ++i)
        result.via.array.ptr[i] = pointObject(*m_zone, value[i].x, value[i].y);
    insert(code, result);
}

void MessagePackMap::setPoint(const std::string& name, const cocos2d::CCPoint& value)
{
    const int32_t code = writableCode(name);
    insert(code, pointObject(*m_zone, value.x, value.y));
}

void MessagePackMap::setFloat4(const std::string& name, float a, float b, float c, float d)
{
    const int32_t code = writableCode(name);
    msgpack::object result = arrayObject(*m_zone, 4);
    const float values[4] = {a, b, c, d};
    for (std::size_t i = 0; i < 4; ++i)
        result.via.array.ptr[i] = floatObject(values[i]);
    insert(code, result);
}

void MessagePackMap::setUIntArray(const std::string& name, const std::vector<uint32_t>& value)
{
    const int32_t code = writableCode(name);
    msgpack::object result = arrayObject(*m_zone, value.size());
    for (std::size_t i = 0; i < value.size(); ++i)
        result.via.array.ptr[i] = msgpack::object(value[i]);
    insert(code, result);
}

const msgpack::object* MessagePackMap::findIndexed(int32_t code) const
{
    const auto at = std::lower_bound(m_index.begin(), m_index.end(), std::pair<int32_t, uint32_t>(code, 0));
    return at == m_index.end() || at->first != code ? nullptr : &m_spilled[at->second].value;
}

const msgpack::object* MessagePackMap::find(KeyRef name) const
{
    const int32_t code = name.codeOrDefault();
    return code == -1 ? nullptr : find(code);
}

bool MessagePackMap::getInt(KeyRef name, int32_t& out) const
{
    const msgpack::object* object = find(name);
    if (object)
        out = object->as<int32_t>();
    return object != nullptr;
}

bool MessagePackMap::getUInt(KeyRef name, uint32_t& out) const
{
    const msgpack::object* object = find(name);
    if (object)
        out = object->as<uint32_t>();
    return object != nullptr;
}

bool MessagePackMap::getFloat(KeyRef name, float& out) const
{
    const msgpack::object* object = find(name);
    if (object)
        out = object->as<float>();
    return object != nullptr;
}

bool MessagePackMap::getBool(KeyRef name, bool& out) const
{
    const msgpack::object* object = find(name);
    if (object)
        out = object->as<bool>();
    return object != nullptr;
}

bool MessagePackMap::getString(KeyRef name, std::string& out) const
{
    const msgpack::object* object = find(name);
    if (object)
        out = convertText(*object);
    return object != nullptr;
}

bool MessagePackMap::getStringMap(KeyRef name, StringMap& out) const
{
    const msgpack::object* object = find(name);
    if (!object)
        return false;
    if (object->type != msgpack::type::MAP)
        throw msgpack::type_error();
    StringMap result;
    const msgpack::object_map& map = object->via.map;
    for (uint32_t i = 0; i < map.size; ++i)
        result.emplace(convertText(map.ptr[i].key), convertText(map.ptr[i].val));
    out = std::move(result);
    return true;
}

bool MessagePackMap::getArray(KeyRef name, std::vector<msgpack::object>& out) const
{
    const msgpack::object* object = find(name);
    if (!object)
        return false;
    if (object->type != msgpack::type::ARRAY)
        throw msgpack::type_error();
    out.assign(object->via.array.ptr, object->via.array.ptr + object->via.array.size);
    return true;
}

bool MessagePackMap::getMap(KeyRef name, MessagePackMap& out) const
{
    const msgpack::object* object = find(name);
    if (object)
        out = fromObject(*object);
    return object != nullptr;
}

bool MessagePackMap::getPointArray(KeyRef name, std::vector<cocos2d::CCPoint>& out) const
{
    const msgpack::object* object = find(name);
    if (object)
        out = convertPointArray(*object);
    return object != nullptr;
}

bool MessagePackMap::getFloats(KeyRef name, float* out, std::size_t count) const
{
    const msgpack::object* object = find(name);
    if (object)
        convertFloats(*object, out, count);
    return object != nullptr;
}

std::vector<cocos2d::CCPoint> MessagePackMap::convertPointArray(const msgpack::object& object)
{
    if (object.type != msgpack::type::ARRAY)
        throw msgpack::type_error();
    std::vector<cocos2d::CCPoint> result;
    result.reserve(object.via.array.size);
    for (uint32_t i = 0; i < object.via.array.size; ++i) {
        float xy[2];
        convertFloats(object.via.array.ptr[i], xy, 2);
        result.emplace_back(xy[0], xy[1]);
    }
    return result;
}

void MessagePackMap::convertFloats(const msgpack::object& object, float* out, std::size_t count)
{
    // Exactly count elements: msgpack-c's own std::array adaptor would accept a longer array.
    if (object.type != msgpack::type::ARRAY || object.via.array.size != count)
        throw msgpack::type_error();
    for (std::size_t i = 0; i < count; ++i)
        out[i] = object.via.array.ptr[i].as<float>();
}

void packObject(msgpack::sbuffer& buffer, const msgpack::object& object)
{
    msgpack::packer<msgpack::sbuffer> packer(buffer);
    switch (object.type) {
    case msgpack::type::FLOAT32: {
        const float value = static_cast<float>(object.via.f64);
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        const char bytes[5] = {static_cast<char>(0xca), static_cast<char>(bits >> 24), static_cast<char>(bits >> 16),
                               static_cast<char>(bits >> 8), static_cast<char>(bits)};
        buffer.write(bytes, sizeof bytes);
        break;
    }
    case msgpack::type::FLOAT64: {
        uint64_t bits;
        std::memcpy(&bits, &object.via.f64, sizeof bits);
        char bytes[9] = {static_cast<char>(0xcb)};
        for (int i = 0; i < 8; ++i)
            bytes[1 + i] = static_cast<char>(bits >> (56 - 8 * i));
        buffer.write(bytes, sizeof bytes);
        break;
    }
    case msgpack::type::ARRAY:
        packer.pack_array(object.via.array.size);
        for (uint32_t i = 0; i < object.via.array.size; ++i)
            packObject(buffer, object.via.array.ptr[i]);
        break;
    case msgpack::type::MAP:
        packer.pack_map(object.via.map.size);
        for (uint32_t i = 0; i < object.via.map.size; ++i) {
            packObject(buffer, object.via.map.ptr[i].key);
            packObject(buffer, object.via.map.ptr[i].val);
        }
        break;
    default:
        packer.pack(object);
        break;
    }
}

msgpack::object unpackBounded(msgpack::zone& zone, const char* data, std::size_t size, std::size_t& offset)
{
    if (offset >= size)
        throw msgpack::insufficient_bytes("insufficient bytes");
    const std::size_t left = size - offset;
    BudgetVisitor budget(elementBudget(left));
    std::size_t probe = offset;
    msgpack::parse(data, size, probe, budget);
    const msgpack::unpack_limit limit(left, left / 2, left, left, left, kMaxDepth);
    return msgpack::unpack(zone, data, size, offset, nullptr, nullptr, limit);
}

msgpack::object_handle unpackBounded(const char* data, std::size_t size, std::size_t& offset)
{
    auto zone = std::make_unique<msgpack::zone>();
    const msgpack::object object = unpackBounded(*zone, data, size, offset);
    return msgpack::object_handle(object, std::move(zone));
}
