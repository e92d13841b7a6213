#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <msgpack.hpp>

class CachedKeyName;

// An entry of an attribute's map that the attribute holds in one plain field: the key's
// code, the field's type and the field itself. The loader writes such entries straight
// from the data's bytes (model/loading/ZqModelFileReader.cpp); readEntry reads them from an
// unpacked object through zqReadEntryField. Both take the same encodings to the same value.
struct ZqEntryField {
    // int, unsigned, float, bool, std::string, and the float arrays CCPoint, CCSize (two),
    // CCRect and ccColor4F (four).
    enum Kind : uint8_t { kInt, kUInt, kFloat, kBool, kText, kPoint, kSize, kRect, kColor };

    int32_t code;
    Kind kind;
    void* field;
};

// The plain fields of one attribute, in the order its reader matches them.
class ZqEntryFields {
public:
    static constexpr std::size_t kMaxFields = 4;

    // Adds a field under the key's code for the installed dictionary.
    void add(const CachedKeyName& key, ZqEntryField::Kind kind, void* field);
    std::size_t size() const { return m_size; }
    const ZqEntryField* begin() const { return m_fields.data(); }
    const ZqEntryField* end() const { return m_fields.data() + m_size; }

private:
    std::array<ZqEntryField, kMaxFields> m_fields;
    std::size_t m_size = 0;
};

// The floats a float-array kind holds (2 or 4), else 0.
constexpr std::size_t zqEntryFieldFloats(ZqEntryField::Kind kind)
{
    return kind == ZqEntryField::kPoint || kind == ZqEntryField::kSize   ? 2
           : kind == ZqEntryField::kRect || kind == ZqEntryField::kColor ? 4
                                                                        : 0;
}

// Stores the floats (as many as its kind holds) in a float-array field.
void zqStoreEntryFloats(const ZqEntryField& field, const float* floats);

// Stores the object in the field as the map readers convert it: msgpack-c's conversion and
// range for the numbers and flags, a str or bin for a text, and an array of exactly two or
// four numbers for the float arrays. msgpack::type_error, with the field unchanged, for
// anything else.
void zqReadEntryField(const ZqEntryField& field, const msgpack::object& object);
