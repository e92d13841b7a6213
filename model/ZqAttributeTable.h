#pragma once

#include "model/ZqModel.h"

/* A model class lists its attributes once, in one column-aligned table, in creation order.
   Two row kinds: A(type, member, key, default, min, max) sets the range and then the
   default; V(type, member, key, default) only the default. Defaults are stored silently
   and clamped by the attribute's own setter.

     #define ZQ_MY_MODEL_ATTRIBUTES(A, V)                                 \
         A(ZqAttributeFloat,  m_speed,  "Speed",  2.5f,  0.0f, 10.0f)     \
         V(ZqAttributeString, m_title,  "Title",  "Untitled")

     class ZqModelMy : public ZqModel {
         ZQ_ATTRIBUTE_MEMBERS(ZQ_MY_MODEL_ATTRIBUTES)    // ZqAttributeFloat* m_speed; ...
     };
     plain constructor:  ZQ_ATTRIBUTE_CREATE(ZQ_MY_MODEL_ATTRIBUTES)
     copy constructor:   ZQ_ATTRIBUTE_REBIND(ZQ_MY_MODEL_ATTRIBUTES)

   Keys are string literals (or constant arrays): each attribute's name is a view of its key,
   never a copy, and a key that is not a constant fails to compile (attributes/ZqAttributeName.h).
   Special cases (an inserted attribute, a rename) are plain statements after the macro.
   The data writer walks the same table with its own A and V. */

template <class Attribute, class Value>
void zqStoreDefault(Attribute& attribute, const Value& value)
{
    attribute.setValue(value, true);
}

template <class Attribute, class Value, class Min, class Max>
void zqStoreDefault(Attribute& attribute, const Value& value, const Min& min, const Max& max)
{
    attribute.setRange(min, max);
    attribute.setValue(value, true);
}

// The clone named key on the model when it is of exactly class Attribute, else null.
template <class Attribute>
Attribute* zqRebindAttribute(const ZqModel& model, const char* key)
{
    ZqBaseAttribute* attribute = model.findAttribute(key);
    if (attribute && attribute->typeId() == Attribute::staticTypeId())
        return static_cast<Attribute*>(attribute);
    return nullptr;
}

#define ZQ_ATTRIBUTE_MEMBER_A(Type, member, key, value, min, max) Type* member = nullptr;
#define ZQ_ATTRIBUTE_MEMBER_V(Type, member, key, value) Type* member = nullptr;
#define ZQ_ATTRIBUTE_MEMBERS(TABLE) TABLE(ZQ_ATTRIBUTE_MEMBER_A, ZQ_ATTRIBUTE_MEMBER_V)

#define ZQ_ATTRIBUTE_CREATE_A(Type, member, key, value, min, max)                                \
    member = new Type(key, this);                                                              \
    zqStoreDefault(*member, value, min, max);
#define ZQ_ATTRIBUTE_CREATE_V(Type, member, key, value)                                          \
    member = new Type(key, this);                                                              \
    zqStoreDefault(*member, value);
#define ZQ_ATTRIBUTE_CREATE(TABLE) TABLE(ZQ_ATTRIBUTE_CREATE_A, ZQ_ATTRIBUTE_CREATE_V)

#define ZQ_ATTRIBUTE_REBIND_A(Type, member, key, value, min, max) member = zqRebindAttribute<Type>(*this, key);
#define ZQ_ATTRIBUTE_REBIND_V(Type, member, key, value) member = zqRebindAttribute<Type>(*this, key);
#define ZQ_ATTRIBUTE_REBIND(TABLE) TABLE(ZQ_ATTRIBUTE_REBIND_A, ZQ_ATTRIBUTE_REBIND_V)
