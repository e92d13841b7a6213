#include "attributes/ZqEntryField.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "base/CCGeometry.h"
#include "base/ccTypes.h"

#include <cassert>
#include <string>

using cocos2d::CCPoint;
using cocos2d::CCRect;
using cocos2d::CCSize;
using cocos2d::ccColor4F;

void ZqEntryFields::add(const CachedKeyName& key, ZqEntryField::Kind kind, void* field)
{
    assert(m_size < kMaxFields);
    m_fields[m_size++] = ZqEntryField{key.codeOrDefault(), kind, field};
}

void zqStoreEntryFloats(const ZqEntryField& field, const float* f)
{
    switch (field.kind) {
    case ZqEntryField::kPoint: *static_cast<CCPoint*>(field.field) = CCPoint(f[0], f[1]); return;
    case ZqEntryField::kSize: *static_cast<CCSize*>(field.field) = CCSize(f[0], f[1]); return;
    case ZqEntryField::kRect: *static_cast<CCRect*>(field.field) = CCRect(f[0], f[1], f[2], f[3]); return;
    case ZqEntryField::kColor: *static_cast<ccColor4F*>(field.field) = ccColor4F{f[0], f[1], f[2], f[3]}; return;
    default: assert(false && "not a float-array field");
    }
}

void zqReadEntryField(const ZqEntryField& field, const msgpack::object& object)
{
    switch (field.kind) {
    case ZqEntryField::kInt: *static_cast<int*>(field.field) = object.as<int>(); return;
    case ZqEntryField::kUInt: *static_cast<unsigned*>(field.field) = object.as<unsigned>(); return;
    case ZqEntryField::kFloat: *static_cast<float*>(field.field) = object.as<float>(); return;
    case ZqEntryField::kBool: *static_cast<bool*>(field.field) = object.as<bool>(); return;
    case ZqEntryField::kText: object.convert(*static_cast<std::string*>(field.field)); return;
    case ZqEntryField::kPoint:
    case ZqEntryField::kSize:
    case ZqEntryField::kRect:
    case ZqEntryField::kColor: {
        // Converted into locals first, so that a malformed entry leaves the field as it was.
        float f[4];
        MessagePackMap::convertFloats(object, f, zqEntryFieldFloats(field.kind));
        zqStoreEntryFloats(field, f);
        return;
    }
    }
}
