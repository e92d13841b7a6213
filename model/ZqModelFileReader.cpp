#include "model/ZqModelFileReader.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "model/ZqModel.h"
#include "model/ZqModelController.h"

#include <limits>
#include <string_view>
#include <unordered_set>

namespace {

// The same bound as unpackBounded's (attributes/MessagePackMap.cpp).
constexpr std::size_t kMaxDepth = 32;

// A map key as the read map takes it: a positive integer up to 2^32-1 (msgpack-c gives a
// non-negative number in a signed format as positive too); -1 for anything else.
int64_t keyOf(const msgpack::object& key)
{
    if (key.type == msgpack::type::POSITIVE_INTEGER && key.via.u64 <= std::numeric_limits<uint32_t>::max())
        return static_cast<int64_t>(key.via.u64);
    return -1;
}

} // namespace

// The visitor of one top-level object. Three kinds of container frame: the model map being
// routed, a nested attribute map being collected, and containers built as objects in the
// zone (everything else, as msgpack-c's own object visitor builds them).
class ZqModelFileReader::Visitor : public msgpack::null_visitor {
public:
    explicit Visitor(ZqModelController& controller) : m_controller(controller) {}

    // One object at offset; see ZqModelFileReader::readMap.
    bool read(const char* data, std::size_t size, std::size_t& offset, ZqModelController::FileKind kind)
    {
        const std::size_t start = offset;
        begin(size - offset, kind == ZqModelController::kAttributesFile, kind != ZqModelController::kAttributesFile);
        parse(data, size, offset);
        if (m_late) {
            // "Class Name" (or "id") came after the entries it decides: read the map whole.
            offset = start;
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
            m_nested.addReadEntry(static_cast<int32_t>(m_nestedCode), m_value);
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

    // The parser's own state between objects: nothing to restart here.
    void init() {}
    void parse_error(std::size_t, std::size_t) { throw msgpack::parse_error("parse error"); }
    void insufficient_bytes(std::size_t, std::size_t) { throw msgpack::insufficient_bytes("insufficient bytes"); }

private:
    struct Frame {
        enum Kind { kModel, kNested, kBuilt } kind;
        msgpack::object* next; // kBuilt: the element (or key and value) being built
    };

    // msgpack::parse with one parser kept across objects, so that its stack is allocated
    // once a reader rather than once a map. Errors throw from the visitor's handlers.
    void parse(const char* data, std::size_t size, std::size_t& offset)
    {
        if (!m_parser)
            m_parser = std::make_unique<msgpack::detail::parse_helper<Visitor>>(*this);
        m_parser->init();
        std::size_t end = offset;
        const msgpack::parse_return result = m_parser->execute(data, size, end);
        offset = end;
        if (result == msgpack::PARSE_CONTINUE)
            insufficient_bytes(end, end);
    }

    void begin(std::size_t budget, bool routing, bool linking)
    {
        m_budget = budget;
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
        m_id = std::nullopt;
        m_className = std::nullopt;
        m_model.reset();
        m_noModel = false;
        m_extras.clear();
        m_routeSlot = -1;
        ++m_stamp;
        const ZqModelKeyCodes::Fixed& fixed = m_controller.keyCodes().fixed();
        m_idCode = fixed.id;
        m_classNameCode = fixed.className;
    }

    // Container headers may declare no more elements in all than there are bytes left.
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
        if (!firstOccurrence(m_topCode))
            return;
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
        if (m_model)
            m_routeSlot = m_slots->find(code);
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
        if (!keyCodeIsKnown(m_nestedCode) && m_unknownCode < 0)
            m_unknownCode = m_nestedCode;
    }

    // The end of an attribute's nested map: each attribute of that code reads it.
    void nestedDone()
    {
        const int32_t slot = m_routeSlot;
        m_routeSlot = -1;
        m_routed = true;
        if (m_nestedKeyError) {
            m_valueError = true;
            return;
        }
        if (m_valueError)
            return;
        const ZqAttributeList& attributes = m_model->attributes();
        for (int32_t i = slot; i >= 0; i = m_slots->next[static_cast<std::size_t>(i)]) {
            try {
                attributes[static_cast<std::size_t>(i)]->unpackAttributes(m_nested);
            } catch (const msgpack::type_error&) {
                m_valueError = true;
                return;
            }
        }
        m_controller.logUnreadNested(*m_model, *attributes[static_cast<std::size_t>(slot)], m_nested,
                                     ZqModelController::kAttributesFile);
    }

    // The unknown-code check of a nested map that is not routed (ZqModelController's).
    void checkNestedKeys(const msgpack::object& value)
    {
        if (value.type != msgpack::type::MAP || m_unknownCode >= 0)
            return;
        for (uint32_t i = 0; i < value.via.map.size; ++i) {
            const int64_t code = keyOf(value.via.map.ptr[i].key);
            if (code >= 0 && !keyCodeIsKnown(code)) {
                m_unknownCode = code;
                return;
            }
        }
    }

    // True the first time a code is met in this map: the first value under a code stays.
    bool firstOccurrence(int64_t code)
    {
        if (code < static_cast<int64_t>(kDenseCodes)) {
            if (m_seen.size() <= static_cast<std::size_t>(code))
                m_seen.resize(static_cast<std::size_t>(code) + 1, 0);
            uint32_t& stamp = m_seen[static_cast<std::size_t>(code)];
            if (stamp == m_stamp)
                return false;
            stamp = m_stamp;
            return true;
        }
        // A hash set: a map of many distinct large codes must not be read in quadratic time.
        return m_seenLarge.insert(code).second;
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
        m_model = m_controller.createModelOfClass(name);
        if (!m_model) {
            m_noModel = true;
            return;
        }
        m_slots = &m_controller.keyCodes().ofClass(*m_model);
    }

    // After the whole object: the map road's decisions, in its order.
    bool finish(ZqModelController::FileKind kind)
    {
        if (!m_routing && !m_linking) {
            if (m_root.type == msgpack::type::NIL)
                return false;
            m_controller.readModelMap(MessagePackMap::fromObject(m_root), kind);
            return true;
        }
        if (!m_modelMap) {
            if (m_root.type == msgpack::type::NIL)
                return false;
            throw msgpack::type_error();
        }
        m_seenLarge.clear();
        if (m_keyError)
            throw msgpack::type_error();
        if (m_unknownCode >= 0)
            throw ZqUnknownKeyCode(m_unknownCode);
        if (m_linking) {
            m_controller.readModelLinks(m_extras, kind);
            return true;
        }
        if (!m_id) {
            m_controller.logUnreadMap(nullptr, nullptr);
            return true;
        }
        if (keyOf(*m_id) < 0)
            throw msgpack::type_error();
        const uint32_t id = static_cast<uint32_t>(m_id->via.u64);
        if (!m_className) {
            m_controller.logUnreadMap(&id, nullptr);
            return true;
        }
        if (m_className->type != msgpack::type::STR && m_className->type != msgpack::type::BIN)
            throw msgpack::type_error();
        if (!m_model) {
            const std::string name(m_className->via.str.ptr, m_className->via.str.size);
            m_controller.logUnreadMap(&id, name.c_str());
            return true;
        }
        if (m_valueError)
            throw msgpack::type_error();
        m_model->unpackAttributes(m_extras);
        m_controller.logUnreadEntries(*m_model, m_extras);
        m_controller.replaceModel(m_model);
        m_model.reset();
        return true;
    }

    // Codes below this are marked in a dense stamp table; larger ones in a short list.
    static constexpr std::size_t kDenseCodes = 1 << 16;

    ZqModelController& m_controller;
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
    bool m_nestedKeyError = false;
    int64_t m_nestedCode = -1;

    std::vector<uint32_t> m_seen;
    std::unordered_set<int64_t> m_seenLarge;
    uint32_t m_stamp = 0;
    std::unique_ptr<msgpack::detail::parse_helper<Visitor>> m_parser;
};

ZqModelFileReader::ZqModelFileReader(ZqModelController& controller)
    : m_controller(controller), m_visitor(std::make_unique<Visitor>(controller))
{
}

ZqModelFileReader::~ZqModelFileReader() = default;

bool ZqModelFileReader::readMap(const char* data, std::size_t size, std::size_t& offset,
                                ZqModelController::FileKind kind)
{
    if (offset >= size)
        throw msgpack::insufficient_bytes("insufficient bytes");
    return m_visitor->read(data, size, offset, kind);
}
