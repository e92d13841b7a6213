#include "model/loading/ZqModelFileReader.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqBaseAttribute.h"
#include "attributes/ZqDataKeys.h"
#include "attributes/ZqEntryField.h"
#include "base/CCGeometry.h"
#include "base/ccTypes.h"
#include "model/ZqModel.h"
#include "model/ZqModelBlock.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <string_view>
#include <typeinfo>
#include <unordered_set>

namespace {

// The same bound as unpackBounded's (attributes/MessagePackMap.cpp).
constexpr std::size_t kMaxDepth = 32;

// The lines of a link source's block fetched ahead: a model with a few dozen attributes.
constexpr int kPrefetchedLines = 24;

// A map key as the read map takes it: a positive integer up to 2^32-1 (msgpack-c gives a
// non-negative number in a signed format as positive too); -1 for anything else.
int64_t keyOf(const msgpack::object& key)
{
    if (key.type == msgpack::type::POSITIVE_INTEGER && key.via.u64 <= std::numeric_limits<uint32_t>::max())
        return static_cast<int64_t>(key.via.u64);
    return -1;
}

// The codes met in one map, so that the first value under a code stays. Linear in the map
// whatever its codes: small codes are stamped in a table, large ones kept in a hash set.
class SeenCodes {
public:
    // Forgets the codes of the last map.
    void nextMap()
    {
        if (!m_large.empty())
            m_large.clear();
        if (++m_stamp == 0) {
            std::fill(m_stamps.begin(), m_stamps.end(), 0);
            m_stamp = 1;
        }
    }
    // True the first time a code is met since nextMap. A negative one (a key past the int32
    // range, wrapped as the map road wraps it) is kept with the large ones: as an index it
    // would size the table past what memory holds.
    bool first(int64_t code)
    {
        if (code < 0 || code >= static_cast<int64_t>(kDenseCodes))
            return m_large.insert(code).second;
        if (m_stamps.size() <= static_cast<std::size_t>(code))
            m_stamps.resize(static_cast<std::size_t>(code) + 1, 0);
        uint32_t& stamp = m_stamps[static_cast<std::size_t>(code)];
        if (stamp == m_stamp)
            return false;
        stamp = m_stamp;
        return true;
    }

private:
    static constexpr std::size_t kDenseCodes = 1 << 16;

    std::vector<uint32_t> m_stamps;
    std::unordered_set<int64_t> m_large;
    uint32_t m_stamp = 0;
};

uint16_t big16(const unsigned char* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t big32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}
uint64_t big64(const unsigned char* p) { return static_cast<uint64_t>(big32(p)) << 32 | big32(p + 4); }

// Walks the MessagePack bytes of one object and calls the visitor's handlers as msgpack-c's
// visitor parse does: the same handlers in the same order with the same values (an ext's
// data with its type byte first), and the same errors at the same points. One difference
// that changes nothing read: msgpack-c hands a signed format's non-negative value to
// visit_negative_integer, this hands it to visit_positive_integer, and the visitor makes
// the same positive object of either. A byte that starts no value is a parse error; a
// header, number or payload cut by the end is insufficient bytes. The handlers report
// errors by throwing and never stop a parse otherwise; recursion is bounded because
// start_map and start_array check the nesting depth before anything below them is read.
template <typename Visitor>
class ObjectWalker {
public:
    ObjectWalker(Visitor& visitor, const char* data, std::size_t size)
        : m_visitor(visitor), m_data(reinterpret_cast<const unsigned char*>(data)), m_end(m_data + size)
    {
    }

    // Reads the object at offset; the offset just past it.
    std::size_t walk(std::size_t offset)
    {
        m_at = m_data + offset;
        value();
        return static_cast<std::size_t>(m_at - m_data);
    }

private:
    // The next n bytes, or insufficient bytes when the input ends first.
    const unsigned char* take(std::size_t n)
    {
        if (static_cast<std::size_t>(m_end - m_at) < n) {
            const std::size_t at = static_cast<std::size_t>(m_at - m_data);
            m_visitor.insufficient_bytes(at, at);
        }
        const unsigned char* bytes = m_at;
        m_at += n;
        return bytes;
    }

    void value()
    {
        const unsigned char* header = take(1);
        const unsigned byte = *header;
        if (byte <= 0x7f) {
            m_visitor.visit_positive_integer(byte);
        } else if (byte >= 0xe0) {
            m_visitor.visit_negative_integer(static_cast<int8_t>(byte));
        } else if (byte <= 0x8f) {
            map(byte & 0x0f);
        } else if (byte <= 0x9f) {
            array(byte & 0x0f);
        } else if (byte <= 0xbf) {
            const uint32_t size = byte & 0x1f;
            // msgpack-c gives an empty fixstr no pointer at all.
            m_visitor.visit_str(size == 0 ? nullptr : reinterpret_cast<const char*>(take(size)), size);
        } else {
            formatted(header);
        }
    }

    // The values whose header byte names a format (0xc0 to 0xdf).
    void formatted(const unsigned char* header)
    {
        switch (*header) {
        case 0xc0: m_visitor.visit_nil(); return;
        case 0xc2: m_visitor.visit_boolean(false); return;
        case 0xc3: m_visitor.visit_boolean(true); return;
        case 0xc4: bytes(&Visitor::visit_bin, 1); return;
        case 0xc5: bytes(&Visitor::visit_bin, 2); return;
        case 0xc6: bytes(&Visitor::visit_bin, 4); return;
        case 0xc7: ext(1); return;
        case 0xc8: ext(2); return;
        case 0xc9: ext(4); return;
        case 0xca: m_visitor.visit_float32(std::bit_cast<float>(big32(take(4)))); return;
        case 0xcb: m_visitor.visit_float64(std::bit_cast<double>(big64(take(8)))); return;
        case 0xcc: m_visitor.visit_positive_integer(*take(1)); return;
        case 0xcd: m_visitor.visit_positive_integer(big16(take(2))); return;
        case 0xce: m_visitor.visit_positive_integer(big32(take(4))); return;
        case 0xcf: m_visitor.visit_positive_integer(big64(take(8))); return;
        case 0xd0: integer(static_cast<int8_t>(*take(1))); return;
        case 0xd1: integer(static_cast<int16_t>(big16(take(2)))); return;
        case 0xd2: integer(static_cast<int32_t>(big32(take(4)))); return;
        case 0xd3: integer(static_cast<int64_t>(big64(take(8)))); return;
        case 0xd4: fixext(1); return;
        case 0xd5: fixext(2); return;
        case 0xd6: fixext(4); return;
        case 0xd7: fixext(8); return;
        case 0xd8: fixext(16); return;
        case 0xd9: bytes(&Visitor::visit_str, 1); return;
        case 0xda: bytes(&Visitor::visit_str, 2); return;
        case 0xdb: bytes(&Visitor::visit_str, 4); return;
        case 0xdc: array(big16(take(2))); return;
        case 0xdd: array(big32(take(4))); return;
        case 0xde: map(big16(take(2))); return;
        case 0xdf: map(big32(take(4))); return;
        default: {
            // 0xc1, which MessagePack never uses.
            const std::size_t at = static_cast<std::size_t>(header - m_data);
            m_visitor.parse_error(at, at + 1);
        }
        }
    }

    uint32_t length(std::size_t width)
    {
        const unsigned char* p = take(width);
        return width == 1 ? *p : width == 2 ? big16(p) : big32(p);
    }

    // A string or bin; an empty one points at its length field, as msgpack-c gives it.
    void bytes(bool (Visitor::*visit)(const char*, uint32_t), std::size_t width)
    {
        const char* field = reinterpret_cast<const char*>(m_at);
        const uint32_t size = length(width);
        (m_visitor.*visit)(size == 0 ? field : reinterpret_cast<const char*>(take(size)), size);
    }

    // The type byte and the data, passed together.
    void ext(std::size_t width)
    {
        const std::size_t size = static_cast<std::size_t>(length(width)) + 1;
        m_visitor.visit_ext(reinterpret_cast<const char*>(take(size)), static_cast<uint32_t>(size));
    }
    void fixext(uint32_t size) { m_visitor.visit_ext(reinterpret_cast<const char*>(take(size + 1)), size + 1); }

    void integer(int64_t v)
    {
        if (v >= 0)
            m_visitor.visit_positive_integer(static_cast<uint64_t>(v));
        else
            m_visitor.visit_negative_integer(v);
    }

    void array(uint32_t count)
    {
        m_visitor.start_array(count);
        for (uint32_t i = 0; i < count; ++i) {
            m_visitor.start_array_item();
            value();
            m_visitor.end_array_item();
        }
        m_visitor.end_array();
    }

    void map(uint32_t count)
    {
        m_visitor.start_map(count);
        for (uint32_t i = 0; i < count; ++i) {
            m_visitor.start_map_key();
            value();
            m_visitor.end_map_key();
            m_visitor.start_map_value();
            value();
            m_visitor.end_map_value();
        }
        m_visitor.end_map();
    }

    Visitor& m_visitor;
    const unsigned char* const m_data;
    const unsigned char* const m_end;
    const unsigned char* m_at = nullptr;
};

// The bytes of one model map read straight, for the maps of the usual shape: each step
// takes only the encodings it knows and reports anything else (or a cut) as false, and the
// map is then read again by the parse (a field read moves nothing then: its entry is read
// another way). Containers count against the same budget as the parse (elementBudget).
class PlainBytes {
public:
    PlainBytes(const char* data, std::size_t size, std::size_t offset)
        : m_data(reinterpret_cast<const unsigned char*>(data)), m_at(m_data + offset), m_end(m_data + size),
          m_budget(elementBudget(size - offset))
    {
    }

    std::size_t offset() const { return static_cast<std::size_t>(m_at - m_data); }

    // A map header (fixmap, map 16 or map 32) within the budget.
    bool mapHeader(uint32_t& count)
    {
        const unsigned char* p = m_at;
        if (p == m_end)
            return false;
        const unsigned byte = *p++;
        if (byte >= 0x80 && byte <= 0x8f) {
            count = byte & 0x0f;
        } else if (byte == 0xde && m_end - p >= 2) {
            count = big16(p);
            p += 2;
        } else if (byte == 0xdf && m_end - p >= 4) {
            count = big32(p);
            p += 4;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(count) * 2 > m_budget)
            return false;
        m_budget -= static_cast<std::size_t>(count) * 2;
        m_at = p;
        return true;
    }

    // A key code: a positive integer up to 2^32-1 in an unsigned format.
    bool key(int64_t& code)
    {
        if (m_at == m_end)
            return false;
        const unsigned byte = *m_at;
        if (byte <= 0x7f) {
            code = byte;
            m_at += 1;
        } else if (byte == 0xcc && m_end - m_at >= 2) {
            code = m_at[1];
            m_at += 2;
        } else if (byte == 0xcd && m_end - m_at >= 3) {
            code = big16(m_at + 1);
            m_at += 3;
        } else if (byte == 0xce && m_end - m_at >= 5) {
            code = big32(m_at + 1);
            m_at += 5;
        } else {
            return false;
        }
        return true;
    }

    // A value that is no map and no ext, as the visitor makes it: an array's elements are
    // built in the zone and may be plain values only.
    bool value(msgpack::object& out, msgpack::zone& zone)
    {
        if (m_at == m_end)
            return false;
        const unsigned byte = *m_at;
        uint32_t count;
        std::size_t header;
        if (byte >= 0x90 && byte <= 0x9f) {
            count = byte & 0x0f;
            header = 1;
        } else if (byte == 0xdc && m_end - m_at >= 3) {
            count = big16(m_at + 1);
            header = 3;
        } else if (byte == 0xdd && m_end - m_at >= 5) {
            count = big32(m_at + 1);
            header = 5;
        } else {
            return plain(out);
        }
        if (count > m_budget)
            return false;
        m_at += header;
        m_budget -= count;
        msgpack::object* items = count == 0 ? nullptr : static_cast<msgpack::object*>(zone.allocate_align(
            sizeof(msgpack::object) * count, MSGPACK_ZONE_ALIGNOF(msgpack::object)));
        for (uint32_t i = 0; i < count; ++i) {
            if (!plain(items[i]))
                return false;
        }
        out = msgpack::object();
        out.type = msgpack::type::ARRAY;
        out.via.array.size = count;
        out.via.array.ptr = items;
        return true;
    }

    // The value of an entry that goes to a plain field, written into it when the bytes
    // hold an encoding that zqReadEntryField converts without error, to the same value.
    bool field(const ZqEntryField& field)
    {
        const unsigned char* p = m_at;
        switch (field.kind) {
        case ZqEntryField::kInt: {
            int64_t v;
            if (!integer(p, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
                return false;
            *static_cast<int*>(field.field) = static_cast<int>(v);
            break;
        }
        case ZqEntryField::kUInt: {
            int64_t v;
            if (!integer(p, v) || v < 0 || v > std::numeric_limits<unsigned>::max())
                return false;
            *static_cast<unsigned*>(field.field) = static_cast<unsigned>(v);
            break;
        }
        case ZqEntryField::kFloat:
            if (!number(p, *static_cast<float*>(field.field)))
                return false;
            break;
        case ZqEntryField::kBool:
            if (p == m_end || (*p != 0xc2 && *p != 0xc3))
                return false;
            *static_cast<bool*>(field.field) = *p++ == 0xc3;
            break;
        case ZqEntryField::kText: {
            std::size_t size;
            if (!text(p, size))
                return false;
            static_cast<std::string*>(field.field)->assign(reinterpret_cast<const char*>(p), size);
            p += size;
            break;
        }
        case ZqEntryField::kPoint:
        case ZqEntryField::kSize:
        case ZqEntryField::kRect:
        case ZqEntryField::kColor: {
            const std::size_t count = zqEntryFieldFloats(field.kind);
            float f[4];
            if (p == m_end || *p != (0x90 | count) || count > m_budget)
                return false;
            ++p;
            for (std::size_t i = 0; i < count; ++i) {
                if (!number(p, f[i]))
                    return false;
            }
            m_budget -= count;
            zqStoreEntryFloats(field, f);
            break;
        }
        }
        m_at = p;
        return true;
    }

private:
    // An integer in any format but 64 bits, moving p past it.
    bool integer(const unsigned char*& p, int64_t& v) const
    {
        if (p == m_end)
            return false;
        const unsigned byte = *p;
        const std::size_t left = static_cast<std::size_t>(m_end - p);
        if (byte <= 0x7f || byte >= 0xe0) {
            v = byte <= 0x7f ? static_cast<int64_t>(byte) : static_cast<int8_t>(byte);
            p += 1;
        } else if (byte == 0xcc && left >= 2) {
            v = p[1];
            p += 2;
        } else if (byte == 0xcd && left >= 3) {
            v = big16(p + 1);
            p += 3;
        } else if (byte == 0xce && left >= 5) {
            v = big32(p + 1);
            p += 5;
        } else if (byte == 0xd0 && left >= 2) {
            v = static_cast<int8_t>(p[1]);
            p += 2;
        } else if (byte == 0xd1 && left >= 3) {
            v = static_cast<int16_t>(big16(p + 1));
            p += 3;
        } else if (byte == 0xd2 && left >= 5) {
            v = static_cast<int32_t>(big32(p + 1));
            p += 5;
        } else {
            return false;
        }
        return true;
    }

    // A float 32 or 64, or a fixint, as msgpack-c's conversion to float gives it.
    bool number(const unsigned char*& p, float& out) const
    {
        if (p == m_end)
            return false;
        const unsigned byte = *p;
        const std::size_t left = static_cast<std::size_t>(m_end - p);
        if (byte == 0xca && left >= 5) {
            // Through double, as the unpacked object holds it.
            out = static_cast<float>(static_cast<double>(std::bit_cast<float>(big32(p + 1))));
            p += 5;
        } else if (byte == 0xcb && left >= 9) {
            out = static_cast<float>(std::bit_cast<double>(big64(p + 1)));
            p += 9;
        } else if (byte <= 0x7f) {
            out = static_cast<float>(static_cast<uint64_t>(byte));
            p += 1;
        } else if (byte >= 0xe0) {
            out = static_cast<float>(static_cast<int64_t>(static_cast<int8_t>(byte)));
            p += 1;
        } else {
            return false;
        }
        return true;
    }

    // A str header, moving p to the text; the text's bytes must all be there.
    bool text(const unsigned char*& p, std::size_t& size) const
    {
        if (p == m_end)
            return false;
        const unsigned byte = *p;
        const std::size_t left = static_cast<std::size_t>(m_end - p);
        std::size_t header;
        if (byte >= 0xa0 && byte <= 0xbf) {
            size = byte & 0x1f;
            header = 1;
        } else if (byte == 0xd9 && left >= 2) {
            size = p[1];
            header = 2;
        } else if (byte == 0xda && left >= 3) {
            size = big16(p + 1);
            header = 3;
        } else if (byte == 0xdb && left >= 5) {
            size = big32(p + 1);
            header = 5;
        } else {
            return false;
        }
        if (left - header < size)
            return false;
        p += header;
        return true;
    }

    // A value that is no container and no ext, made as the visitor makes it.
    bool plain(msgpack::object& out)
    {
        const unsigned char* p = m_at;
        if (p == m_end)
            return false;
        const unsigned byte = *p;
        const std::size_t left = static_cast<std::size_t>(m_end - p);
        int64_t v;
        std::size_t size;
        if (byte <= 0x7f) {
            out = msgpack::object(static_cast<uint64_t>(byte));
            ++p;
        } else if (byte >= 0xa0 && byte <= 0xbf) {
            if (!text(p, size))
                return false;
            out = msgpack::object();
            out.type = msgpack::type::STR;
            out.via.str.ptr = size == 0 ? nullptr : reinterpret_cast<const char*>(p); // as msgpack-c gives it
            out.via.str.size = static_cast<uint32_t>(size);
            p += size;
        } else if (byte == 0xd9 || byte == 0xda || byte == 0xdb) {
            const unsigned char* field = p + 1;
            if (!text(p, size))
                return false;
            out = msgpack::object();
            out.type = msgpack::type::STR;
            out.via.str.ptr = reinterpret_cast<const char*>(size == 0 ? field : p);
            out.via.str.size = static_cast<uint32_t>(size);
            p += size;
        } else if (byte == 0xc0) {
            out = msgpack::object();
            ++p;
        } else if (byte == 0xc2 || byte == 0xc3) {
            out = msgpack::object(byte == 0xc3);
            ++p;
        } else if (byte == 0xca && left >= 5) {
            out = msgpack::object(std::bit_cast<float>(big32(p + 1)));
            p += 5;
        } else if (byte == 0xcb && left >= 9) {
            out = msgpack::object(std::bit_cast<double>(big64(p + 1)));
            p += 9;
        } else if (byte == 0xcf && left >= 9) {
            out = msgpack::object(big64(p + 1));
            p += 9;
        } else if (byte == 0xd3 && left >= 9) {
            const int64_t w = static_cast<int64_t>(big64(p + 1));
            out = w >= 0 ? msgpack::object(static_cast<uint64_t>(w)) : msgpack::object(w);
            p += 9;
        } else if (integer(p, v)) {
            out = v >= 0 ? msgpack::object(static_cast<uint64_t>(v)) : msgpack::object(v);
        } else {
            return false;
        }
        m_at = p;
        return true;
    }

    const unsigned char* const m_data;
    const unsigned char* m_at;
    const unsigned char* const m_end;
    std::size_t m_budget;
};

// The plain fields of each attribute class, as offsets into the attribute: taken once a key
// dictionary from the first attribute of the class read, instead of asking every attribute.
class FieldLayouts {
public:
    struct Field {
        int32_t code;
        ZqEntryField::Kind kind;
        std::ptrdiff_t offset;
    };
    struct Layout {
        const std::type_info* type = nullptr;
        uint32_t generation = 0;
        std::size_t size = 0;
        std::array<Field, ZqEntryFields::kMaxFields> fields{};
    };

    const Layout& of(ZqBaseAttribute& attribute)
    {
        const std::type_info& type = typeid(attribute);
        const uint32_t generation = KeyDictionary::generation.load(std::memory_order_relaxed);
        Layout& layout = m_layouts[(reinterpret_cast<std::uintptr_t>(&type) >> 4) % m_layouts.size()];
        if (layout.type == &type && layout.generation == generation)
            return layout;
        ZqEntryFields fields;
        attribute.entryFields(fields);
        layout.type = &type;
        layout.generation = generation;
        layout.size = 0;
        for (const ZqEntryField& field : fields)
            layout.fields[layout.size++] = {field.code, field.kind,
                                            static_cast<char*>(field.field) - reinterpret_cast<char*>(&attribute)};
        return layout;
    }

private:
    // By the class's type, one class a place: a class that meets another there is taken again.
    std::array<Layout, 61> m_layouts{};
};

// The attribute entries of a plain map as they were read: the code of each routed entry
// with its attribute's slot, and the code of each entry of its map with the field it went
// to (offset -1: the entry reader). A map of the same class that brings the same codes in
// the same order takes the same decisions: the codes were all known and met once, and the
// class (so the slot, the attribute and its fields) is the same.
struct PlainPlan {
    struct Step {
        int64_t code;
        int32_t slot;
        const std::type_info* type; // the attribute's class, checked before a step is taken
        std::size_t firstEntry;
        std::size_t entryCount;
    };
    struct Entry {
        int64_t code;
        FieldLayouts::Field field;
    };

    void clear()
    {
        steps.clear();
        entries.clear();
    }

    const std::type_info* modelType = nullptr;
    uint32_t generation = 0;
    std::vector<Step> steps;
    std::vector<Entry> entries;
};

} // namespace

// The visitor of one top-level object. Three kinds of container frame: the model map being
// routed, a nested attribute map being collected, and containers built as objects in the
// zone (everything else, as msgpack-c's own object visitor builds them).
class ZqModelFileReader::Visitor : public msgpack::null_visitor {
public:
    explicit Visitor(ZqModelLoader& loader) : m_loader(loader) {}

    // One object at offset; see ZqModelFileReader::readMap.
    bool read(const char* data, std::size_t size, std::size_t& offset, ZqModelLoader::FileKind kind)
    {
        const std::size_t start = offset;
        if (kind == ZqModelLoader::kAttributesFile && m_loader.modelFileRoad() == ZqModelFileRoad::kVisitor) {
            // Most maps take the plain road; one it cannot read is read again by the parse,
            // with nothing of the first try kept (the id counter included).
            const unsigned idCounter = m_loader.models().idCounter();
            begin(size - offset, true, false);
            if (readPlainMap(data, size, offset)) {
                const bool more = finish(kind);
                m_zone.clear();
                return more;
            }
            m_loader.models().setIdCounter(idCounter);
            m_zone.clear();
        } else if (kind != ZqModelLoader::kAttributesFile && m_loader.modelFileRoad() == ZqModelFileRoad::kVisitor) {
            // The same for a connections map, whose plain read has no effect until its end.
            begin(size - offset, false, true);
            if (readPlainLinks(data, size, offset)) {
                const bool more = finish(kind);
                m_zone.clear();
                return more;
            }
            m_zone.clear();
        }
        begin(size - offset, kind == ZqModelLoader::kAttributesFile, kind != ZqModelLoader::kAttributesFile);
        parse(data, size, offset);
        if (m_late) {
            // "Class Name" (or "id") came after the entries it decides: read the map whole,
            // with nothing of the first parse kept (so the objects are never built twice).
            offset = start;
            m_zone.clear();
            begin(size - offset, false, false);
            parse(data, size, offset);
        }
        const bool more = finish(kind);
        m_zone.clear();
        return more;
    }

    bool visit_nil() { return scalar(msgpack::object()); }
    bool visit_boolean(bool v) { return scalar(msgpack::object(v)); }
    bool visit_positive_integer(uint64_t v) { return scalar(msgpack::object(v)); }
    bool visit_negative_integer(int64_t v) { return scalar(msgpack::object(v)); }
    bool visit_float32(float v) { return scalar(msgpack::object(v)); }
    bool visit_float64(double v) { return scalar(msgpack::object(v)); }
    bool visit_str(const char* v, uint32_t size) { return text(msgpack::type::STR, v, size); }
    bool visit_bin(const char* v, uint32_t size) { return text(msgpack::type::BIN, v, size); }
    bool visit_ext(const char* v, uint32_t size)
    {
        msgpack::object object;
        object.type = msgpack::type::EXT;
        object.via.ext.ptr = v;
        object.via.ext.size = size == 0 ? 0 : size - 1;
        return scalar(object);
    }

    bool start_array(uint32_t count)
    {
        take(count, false);
        enter();
        msgpack::object* target = m_target;
        target->type = msgpack::type::ARRAY;
        target->via.array.size = count;
        target->via.array.ptr = count == 0 ? nullptr : static_cast<msgpack::object*>(m_zone.allocate_align(
            sizeof(msgpack::object) * count, MSGPACK_ZONE_ALIGNOF(msgpack::object)));
        m_frames.push_back({Frame::kBuilt, target->via.array.ptr});
        m_target = target->via.array.ptr;
        return true;
    }
    bool start_array_item() { return true; }
    bool end_array_item()
    {
        m_target = ++m_frames.back().next;
        return true;
    }
    bool end_array() { return leave(); }

    bool start_map(uint32_t count)
    {
        take(static_cast<std::size_t>(count) * 2, true);
        enter();
        if ((m_routing || m_linking) && m_frames.empty()) {
            m_modelMap = true;
            m_frames.push_back({Frame::kModel, nullptr});
            return true;
        }
        if (m_frames.size() == 1 && m_frames.back().kind == Frame::kModel && m_target == &m_value && m_routeSlot >= 0) {
            m_nested.clear();
            m_nestedKeyError = false;
            // One attribute under the code reads its entries as they come; several read
            // the collected map at its end.
            const std::size_t slot = static_cast<std::size_t>(m_routeSlot);
            m_entryReader = m_slots->next[slot] < 0 ? m_model->attributes()[slot] : nullptr;
            if (m_entryReader)
                m_nestedSeen.nextMap();
            m_frames.push_back({Frame::kNested, nullptr});
            return true;
        }
        msgpack::object* target = m_target;
        target->type = msgpack::type::MAP;
        target->via.map.size = count;
        target->via.map.ptr = count == 0 ? nullptr : static_cast<msgpack::object_kv*>(m_zone.allocate_align(
            sizeof(msgpack::object_kv) * count, MSGPACK_ZONE_ALIGNOF(msgpack::object_kv)));
        m_frames.push_back({Frame::kBuilt, reinterpret_cast<msgpack::object*>(target->via.map.ptr)});
        m_target = m_frames.back().next;
        return true;
    }
    bool start_map_key()
    {
        if (m_frames.back().kind != Frame::kBuilt) {
            m_target = &m_key;
            m_key = msgpack::object();
        }
        if (m_frames.back().kind == Frame::kModel) {
            m_routeSlot = -1;
            m_routed = false;
        }
        return true;
    }
    bool end_map_key()
    {
        Frame& frame = m_frames.back();
        if (frame.kind == Frame::kBuilt)
            m_target = ++frame.next;
        else if (frame.kind == Frame::kModel)
            modelKey();
        else
            nestedKey();
        return true;
    }
    bool start_map_value()
    {
        if (m_frames.back().kind != Frame::kBuilt) {
            m_target = &m_value;
            m_value = msgpack::object();
        }
        return true;
    }
    bool end_map_value()
    {
        Frame& frame = m_frames.back();
        if (frame.kind == Frame::kBuilt)
            m_target = ++frame.next;
        else if (frame.kind == Frame::kModel)
            modelValue();
        else if (m_nestedCode >= 0)
            nestedValue();
        return true;
    }
    bool end_map()
    {
        const Frame::Kind kind = m_frames.back().kind;
        leave();
        if (kind == Frame::kNested) {
            nestedDone();
            m_target = &m_value;
        }
        return true;
    }

    [[noreturn]] void parse_error(std::size_t, std::size_t) { throw msgpack::parse_error("parse error"); }
    [[noreturn]] void insufficient_bytes(std::size_t, std::size_t)
    {
        throw msgpack::insufficient_bytes("insufficient bytes");
    }

private:
    struct Frame {
        enum Kind { kModel, kNested, kBuilt } kind;
        msgpack::object* next; // kBuilt: the element (or key and value) being built
    };

    void parse(const char* data, std::size_t size, std::size_t& offset)
    {
        offset = ObjectWalker<Visitor>(*this, data, size).walk(offset);
    }

    void begin(std::size_t bytesLeft, bool routing, bool linking)
    {
        m_budget = elementBudget(bytesLeft);
        m_depth = 0;
        m_frames.clear();
        m_root = msgpack::object();
        m_target = &m_root;
        m_routing = routing;
        m_linking = linking;
        m_modelMap = false;
        m_late = false;
        m_keyError = false;
        m_valueError = false;
        m_unknownCode = -1;
        m_unknownUnder = -1;
        m_id = std::nullopt;
        m_className = std::nullopt;
        m_model.reset();
        m_noModel = false;
        m_extras.clear();
        m_routeSlot = -1;
        m_entryReader = nullptr;
        // A map read whole, or one that failed, leaves its codes behind.
        m_seen.nextMap();
        const ZqModelKeyCodes::Fixed& fixed = m_loader.models().keyCodes().fixed();
        m_idCode = fixed.id;
        m_classNameCode = fixed.className;
    }

    // Container headers may declare no more elements in all than elementBudget gives.
    void take(std::size_t count, bool map)
    {
        if (count > m_budget) {
            if (map)
                throw msgpack::map_size_overflow("map size overflow");
            throw msgpack::array_size_overflow("array size overflow");
        }
        m_budget -= count;
    }
    void enter()
    {
        if (++m_depth > kMaxDepth)
            throw msgpack::depth_size_overflow("depth size overflow");
    }
    bool leave()
    {
        --m_depth;
        m_frames.pop_back();
        if (!m_frames.empty() && m_frames.back().kind == Frame::kBuilt)
            m_target = m_frames.back().next;
        return true;
    }

    bool scalar(const msgpack::object& object)
    {
        *m_target = object;
        return true;
    }
    bool text(msgpack::type::object_type type, const char* v, uint32_t size)
    {
        msgpack::object object;
        object.type = type;
        object.via.str.ptr = v; // the input outlives the read
        object.via.str.size = size;
        return scalar(object);
    }

    // The model map at offset read straight from its bytes when it has the usual shape: a
    // model of a known class made from its "id" and "Class Name" before any attribute, each
    // attribute's map of plain values that the attribute reads (its plain fields written
    // from the bytes), no code twice, no unknown code, nothing damaged. The same handlers
    // as the parse's decide what each entry is. False at the first thing of another shape,
    // with nothing told and the model dropped: the parse then reads the map as usual.
    bool readPlainMap(const char* data, std::size_t size, std::size_t& offset)
    {
        PlainBytes bytes(data, size, offset);
        uint32_t count;
        if (!bytes.mapHeader(count))
            return false;
        m_modelMap = true;
        m_record.clear();
        const PlainPlan* plan = nullptr; // followed from step while not null
        std::size_t step = 0;
        bool planAsked = false;
        for (uint32_t i = 0; i < count; ++i) {
            int64_t code;
            if (!bytes.key(code))
                return false;
            if (plan) {
                if (step < plan->steps.size() && plan->steps[step].code == code && fits(plan->steps[step])) {
                    if (!readAttributeMap(bytes, *plan, plan->steps[step]))
                        return false;
                    ++step;
                    continue;
                }
                // Off the plan: the codes it took count as met.
                for (std::size_t k = 0; k < step; ++k)
                    m_seen.first(plan->steps[k].code);
                plan = nullptr;
            }
            m_key = msgpack::object(static_cast<uint64_t>(code));
            m_routed = false;
            modelKey();
            if (m_late || m_unknownCode >= 0 || !m_topFirst)
                return false;
            if (m_routeSlot >= 0) {
                if (!readPlainAttribute(bytes))
                    return false;
                continue;
            }
            if (!bytes.value(m_value, m_zone))
                return false;
            modelValue();
            if (m_valueError || m_noModel)
                return false;
            if (m_model && !planAsked) {
                planAsked = true;
                plan = planOf(*m_model);
                step = 0;
            }
        }
        if (!m_model)
            return false;
        // A map that left its class's plan, or went past it, is the plan for the next.
        if (!plan || step != plan->steps.size())
            keepPlan(*m_model);
        offset = bytes.offset();
        return true;
    }

    // The connections map at offset read straight from its bytes when it has the usual
    // shape: each key a code met once and known, each value plain, an array of plain values
    // (the children) or a map of such under codes (a link). Its entries are collected as the
    // parse collects them; false at the first thing of another shape, with nothing done.
    bool readPlainLinks(const char* data, std::size_t size, std::size_t& offset)
    {
        PlainBytes bytes(data, size, offset);
        uint32_t count;
        if (!bytes.mapHeader(count))
            return false;
        m_modelMap = true;
        for (uint32_t i = 0; i < count; ++i) {
            int64_t code;
            if (!bytes.key(code))
                return false;
            m_key = msgpack::object(static_cast<uint64_t>(code));
            m_routed = false;
            modelKey();
            if (m_unknownCode >= 0 || !m_topFirst)
                return false;
            uint32_t entries;
            if (!bytes.mapHeader(entries)) {
                if (!bytes.value(m_value, m_zone))
                    return false;
                modelValue();
                continue;
            }
            auto* pairs = entries == 0 ? nullptr : static_cast<msgpack::object_kv*>(m_zone.allocate_align(
                sizeof(msgpack::object_kv) * entries, MSGPACK_ZONE_ALIGNOF(msgpack::object_kv)));
            for (uint32_t k = 0; k < entries; ++k) {
                int64_t nested;
                if (!bytes.key(nested) || !bytes.value(pairs[k].val, m_zone))
                    return false;
                pairs[k].key = msgpack::object(static_cast<uint64_t>(nested));
            }
            m_value = msgpack::object();
            m_value.type = msgpack::type::MAP;
            m_value.via.map.size = entries;
            m_value.via.map.ptr = pairs;
            modelValue();
            if (m_unknownCode >= 0)
                return false;
        }
        offset = bytes.offset();
        return true;
    }

    // The nested map of the routed attribute, every entry read by that attribute.
    bool readPlainAttribute(PlainBytes& bytes)
    {
        const std::size_t slot = static_cast<std::size_t>(m_routeSlot);
        if (m_slots->next[slot] >= 0)
            return false;
        // A step of no plan: every entry is read as usual.
        const PlainPlan::Step step{m_topCode, static_cast<int32_t>(slot), &typeid(*m_model->attributes()[slot]), 0, 0};
        if (!readAttributeMap(bytes, m_plan, step))
            return false;
        m_routeSlot = -1;
        m_routed = true;
        return true;
    }

    // One entry of an attribute's map, its code read: one field under the code takes its
    // value from the bytes; anything else goes to the attribute's entry reader.
    bool readPlainEntry(PlainBytes& bytes, ZqBaseAttribute* attribute, const FieldLayouts::Layout& fields,
                        int64_t code)
    {
        if (!keyCodeIsKnown(code) || !m_nestedSeen.first(code))
            return false;
        const FieldLayouts::Field* match = nullptr;
        int matches = 0;
        for (std::size_t k = 0; k < fields.size; ++k) {
            if (fields.fields[k].code == code) {
                match = &fields.fields[k];
                ++matches;
            }
        }
        m_record.entries.push_back({code, matches == 1 ? *match : FieldLayouts::Field{-1, ZqEntryField::kInt, -1}});
        return readPlannedEntry(bytes, attribute, m_record.entries.back());
    }

    // An entry whose code is known to be the attribute's, met once in its map: by its field
    // when it has one and its bytes suit it, else by the attribute's entry reader.
    bool readPlannedEntry(PlainBytes& bytes, ZqBaseAttribute* attribute, const PlainPlan::Entry& entry)
    {
        if (entry.field.offset >= 0 &&
            bytes.field(ZqEntryField{entry.field.code, entry.field.kind,
                                     reinterpret_cast<char*>(attribute) + entry.field.offset}))
            return true;
        if (!bytes.value(m_value, m_zone))
            return false;
        try {
            return attribute->readEntry(MessagePackEntry{static_cast<int32_t>(entry.code), m_value});
        } catch (const msgpack::type_error&) {
            return false;
        }
    }

    // The map of the attribute of a step of the class's plan, its code read: entries in the
    // order of the plan take its decisions; from the first that differs, the map is read as
    // usual.
    bool readAttributeMap(PlainBytes& bytes, const PlainPlan& plan, const PlainPlan::Step& step)
    {
        uint32_t count;
        if (!bytes.mapHeader(count))
            return false;
        ZqBaseAttribute* attribute = m_model->attributes()[static_cast<std::size_t>(step.slot)];
        m_record.steps.push_back({step.code, step.slot, step.type, m_record.entries.size(), 0});
        const FieldLayouts::Layout* fields = nullptr; // once off the plan
        for (uint32_t i = 0; i < count; ++i) {
            int64_t code;
            if (!bytes.key(code))
                return false;
            if (!fields) {
                if (i < step.entryCount && plan.entries[step.firstEntry + i].code == code) {
                    const PlainPlan::Entry& entry = plan.entries[step.firstEntry + i];
                    m_record.entries.push_back(entry);
                    if (!readPlannedEntry(bytes, attribute, entry))
                        return false;
                    continue;
                }
                // Off the plan: the codes it took count as met.
                fields = &m_fieldLayouts.of(*attribute);
                m_nestedSeen.nextMap();
                for (uint32_t k = 0; k < i; ++k)
                    m_nestedSeen.first(plan.entries[step.firstEntry + k].code);
            }
            if (!readPlainEntry(bytes, attribute, *fields, code))
                return false;
        }
        m_record.steps.back().entryCount = m_record.entries.size() - m_record.steps.back().firstEntry;
        return true;
    }

    // The plan of the model's class for the key dictionary in use, else null.
    const PlainPlan* planOf(const ZqModel& model) const
    {
        const PlainPlan& plan = m_plan;
        const bool usable = plan.modelType == &typeid(model) &&
                            plan.generation == KeyDictionary::generation.load(std::memory_order_relaxed) &&
                            !plan.steps.empty();
        return usable ? &plan : nullptr;
    }

    // True when the model holds, at the step's slot, an attribute of the step's class (a
    // class whose models were made with other attributes is read as usual).
    bool fits(const PlainPlan::Step& step) const
    {
        const ZqAttributeList& attributes = m_model->attributes();
        const std::size_t slot = static_cast<std::size_t>(step.slot);
        return slot < attributes.size() && &typeid(*attributes[slot]) == step.type;
    }

    // The map just read becomes the plan of the model's class.
    void keepPlan(const ZqModel& model)
    {
        std::swap(m_plan.steps, m_record.steps);
        std::swap(m_plan.entries, m_record.entries);
        m_plan.modelType = &typeid(model);
        m_plan.generation = KeyDictionary::generation.load(std::memory_order_relaxed);
    }

    // A key of the model map: checked, and the entry's road chosen before its value comes.
    void modelKey()
    {
        m_routeSlot = -1;
        m_topCode = keyOf(m_key);
        m_topFirst = false;
        if (m_topCode < 0) {
            m_keyError = true;
            return;
        }
        if (!m_seen.first(m_topCode)) {
            m_extras.noteRepeated(static_cast<int32_t>(m_topCode));
            return;
        }
        m_topFirst = true;
        if (!keyCodeIsKnown(m_topCode) && m_unknownCode < 0)
            m_unknownCode = m_topCode;
        if (!m_routing || m_late)
            return;
        const int32_t code = static_cast<int32_t>(m_topCode);
        if (code == m_idCode || code == m_classNameCode)
            return;
        if (!m_model && !m_noModel) {
            m_late = true;
            return;
        }
        if (m_model) {
            m_routeSlot = m_slots->find(code);
            // A model made with fewer attributes than the class's first: the model reads
            // that entry itself, as on the map road.
            if (m_routeSlot >= 0 && static_cast<std::size_t>(m_routeSlot) >= m_model->attributes().size())
                m_routeSlot = -1;
        }
    }

    // A value of the model map whose entry was not routed to an attribute.
    void modelValue()
    {
        if (!m_topFirst || m_late || m_routed)
            return;
        if (m_routeSlot >= 0) {
            // A routed entry that was not a map: fromObject refuses it.
            m_valueError = true;
            return;
        }
        checkNestedKeys(m_value);
        const int32_t code = static_cast<int32_t>(m_topCode);
        if (m_linking) {
            // A connections map is read at its end, from its entries.
            m_extras.addReadEntry(code, m_value);
            prefetchLinkSource(m_value);
            return;
        }
        if (!m_routing)
            return;
        if (code == m_idCode) {
            m_id = m_value;
            m_extras.addReadEntry(code, m_value);
        } else if (code == m_classNameCode) {
            m_className = m_value;
        } else if (m_model) {
            m_extras.addReadEntry(code, m_value);
        }
        if (!m_model && !m_noModel && m_id && m_className)
            createModel();
    }

    void nestedKey()
    {
        m_nestedCode = keyOf(m_key);
        if (m_nestedCode < 0) {
            m_nestedKeyError = true;
            return;
        }
        if (!keyCodeIsKnown(m_nestedCode) && m_unknownCode < 0) {
            m_unknownCode = m_nestedCode;
            m_unknownUnder = m_topCode;
        }
    }

    // An entry of an attribute's nested map: read by the attribute now when it reads that
    // code on its own, else kept for the map's end. The first value under a code stays.
    void nestedValue()
    {
        const int32_t code = static_cast<int32_t>(m_nestedCode);
        if (m_entryReader) {
            if (!m_nestedSeen.first(code)) {
                m_extras.noteRepeated(code);
                return;
            }
            if (m_valueError)
                return;
            try {
                if (m_entryReader->readEntry(MessagePackEntry{code, m_value}))
                    return;
            } catch (const msgpack::type_error&) {
                m_valueError = true;
                return;
            }
        }
        m_nested.addReadEntry(code, m_value);
    }

    // The end of an attribute's nested map: each attribute of that code reads what is left
    // of it, and entries no attribute reads are told.
    void nestedDone()
    {
        const int32_t slot = m_routeSlot;
        m_routeSlot = -1;
        m_routed = true;
        m_extras.noteRepeated(m_nested.repeatedCode());
        if (m_nestedKeyError) {
            m_valueError = true;
            return;
        }
        if (m_valueError || (m_entryReader && m_nested.empty()))
            return;
        const ZqAttributeList& attributes = m_model->attributes();
        // Only the attributes the model has (its class's first model may have had more).
        for (int32_t i = slot; i >= 0 && static_cast<std::size_t>(i) < attributes.size();
             i = m_slots->next[static_cast<std::size_t>(i)]) {
            try {
                attributes[static_cast<std::size_t>(i)]->unpackAttributes(m_nested);
            } catch (const msgpack::type_error&) {
                m_valueError = true;
                return;
            }
        }
        m_loader.logUnreadNested(*m_model, *attributes[static_cast<std::size_t>(slot)], m_nested,
                                     ZqModelLoader::kAttributesFile);
    }

    // A link entry names its source's model, which by now lies far back in memory: the start
    // of its block, where its attributes lie, is fetched while the rest of the map is parsed.
    void prefetchLinkSource(const msgpack::object& value)
    {
        if (value.type != msgpack::type::MAP)
            return;
        const int32_t idCode = kConnectedModelIdKey.codeOrDefault();
        for (uint32_t i = 0; i < value.via.map.size; ++i) {
            const msgpack::object_kv& entry = value.via.map.ptr[i];
            if (keyOf(entry.key) != idCode || entry.val.type != msgpack::type::POSITIVE_INTEGER ||
                entry.val.via.u64 > std::numeric_limits<uint32_t>::max())
                continue;
            if (const ZqAttributeOwner* owner = m_loader.models().ownerById(static_cast<unsigned>(entry.val.via.u64)))
                zqPrefetchModel(owner, 0, kPrefetchedLines);
            return;
        }
    }

    // The unknown-code check of a nested map that is not routed (the loader's).
    void checkNestedKeys(const msgpack::object& value)
    {
        if (value.type != msgpack::type::MAP || m_unknownCode >= 0)
            return;
        for (uint32_t i = 0; i < value.via.map.size; ++i) {
            const int64_t code = keyOf(value.via.map.ptr[i].key);
            if (code >= 0 && !keyCodeIsKnown(code)) {
                m_unknownCode = code;
                m_unknownUnder = m_topCode;
                return;
            }
        }
    }

    // The model of the map once its id and class are read; nothing when either is not
    // what the map road accepts (finish then decides as that road does).
    void createModel()
    {
        if (keyOf(*m_id) < 0 || (m_className->type != msgpack::type::STR && m_className->type != msgpack::type::BIN)) {
            m_noModel = true;
            return;
        }
        const std::string_view name(m_className->via.str.ptr, m_className->via.str.size);
        m_model = m_loader.createModelOfClass(name);
        if (!m_model) {
            m_noModel = true;
            return;
        }
        m_slots = &m_loader.models().keyCodes().ofClass(*m_model);
        // Its own id before its attributes are read, so that what is told of them names it.
        m_model->setId(static_cast<uint32_t>(m_id->via.u64));
    }

    // After the whole object: the map road's decisions, in its order.
    bool finish(ZqModelLoader::FileKind kind)
    {
        if (!m_routing && !m_linking) {
            if (m_root.type == msgpack::type::NIL)
                return false;
            m_loader.readModelMap(MessagePackMap::fromObject(m_root), kind);
            return true;
        }
        if (!m_modelMap) {
            if (m_root.type == msgpack::type::NIL)
                return false;
            throw msgpack::type_error();
        }
        if (m_keyError)
            throw msgpack::type_error();
        if (m_unknownCode >= 0)
            m_loader.noteUnknownKeyCode(m_unknownCode, m_unknownUnder);
        if (m_linking) {
            m_loader.readModelLinks(m_extras, kind);
            return true;
        }
        if (!m_id) {
            m_loader.logUnreadMap(nullptr, nullptr);
            return true;
        }
        if (keyOf(*m_id) < 0)
            throw msgpack::type_error();
        const uint32_t id = static_cast<uint32_t>(m_id->via.u64);
        if (!m_className) {
            m_loader.logUnreadMap(&id, nullptr);
            return true;
        }
        if (m_className->type != msgpack::type::STR && m_className->type != msgpack::type::BIN)
            throw msgpack::type_error();
        if (!m_model) {
            const std::string name(m_className->via.str.ptr, m_className->via.str.size);
            m_loader.logUnreadMap(&id, name.c_str());
            return true;
        }
        if (m_valueError)
            throw msgpack::type_error();
        m_model->unpackAttributes(m_extras);
        m_loader.logUnreadEntries(*m_model, m_extras, ZqModelLoader::kAttributesFile);
        m_loader.logRepeatedKeys(*m_model, m_extras);
        m_loader.replaceModel(m_model);
        m_model.reset();
        return true;
    }

    ZqModelLoader& m_loader;
    msgpack::zone m_zone;
    std::vector<Frame> m_frames;
    std::size_t m_budget = 0;
    std::size_t m_depth = 0;
    msgpack::object m_root;
    msgpack::object* m_target = &m_root;
    msgpack::object m_key;
    msgpack::object m_value;

    bool m_routing = false;
    bool m_linking = false;  // a connections map: its entries collected, read at the end
    bool m_modelMap = false; // the object is a map, routed
    bool m_late = false;
    bool m_keyError = false;   // a key of the model map that is not a code
    bool m_valueError = false; // a type error of an attribute's entries
    int64_t m_unknownCode = -1;
    // The code of the attribute whose map holds m_unknownCode; -1 at the top level.
    int64_t m_unknownUnder = -1;
    int64_t m_topCode = -1;
    bool m_topFirst = false;
    int32_t m_routeSlot = -1;
    bool m_routed = false; // the entry's value was a nested map handed to its attributes
    std::optional<msgpack::object> m_id;
    std::optional<msgpack::object> m_className;
    std::shared_ptr<ZqModel> m_model;
    bool m_noModel = false;
    const ZqModelKeyCodes::Class* m_slots = nullptr;
    // The codes of "id" and "Class Name" for the dictionary of this read.
    int32_t m_idCode = -1;
    int32_t m_classNameCode = -1;
    // What the model map holds besides its attributes' maps ("id", own fields), read by
    // the model's unpackAttributes at the end.
    MessagePackMap m_extras;
    MessagePackMap m_nested;
    // The one attribute reading the nested map's entries as they come, else null.
    ZqBaseAttribute* m_entryReader = nullptr;
    bool m_nestedKeyError = false;
    int64_t m_nestedCode = -1;

    // The model map's codes, and the codes of the nested map being read.
    SeenCodes m_seen;
    SeenCodes m_nestedSeen;
    FieldLayouts m_fieldLayouts;
    // The last plain map's attribute entries, which the next map of its class most likely
    // repeats, and the record of the map being read.
    PlainPlan m_plan;
    PlainPlan m_record;
};

ZqModelFileReader::ZqModelFileReader(ZqModelLoader& loader)
    : m_loader(loader), m_visitor(std::make_unique<Visitor>(loader))
{
}

ZqModelFileReader::~ZqModelFileReader() = default;

bool ZqModelFileReader::readMap(const char* data, std::size_t size, std::size_t& offset,
                                ZqModelLoader::FileKind kind)
{
    if (offset >= size)
        throw msgpack::insufficient_bytes("insufficient bytes");
    return m_visitor->read(data, size, offset, kind);
}
