#pragma once

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqAnimationCurve.h"
#include "attributes/ZqBaseAttribute.h"

#include <cstdint>
#include <type_traits>

// A number or flag with a random spread (variableValue), a range, an "empty" marker and
// owned animation curves per state. Instantiated for int, unsigned, float and bool.
// Packed as {"value", "variableValue", "isEmpty", "animations" (only with curves)}; the
// range and allowEmpty come from the model's constructor and are not written.
// Reading (MessagePack) stores values as they come: no clamping, no notification.
template <typename T>
class ZqBaseAttributeFundamental : public ZqAttribute {
public:
    // Value and spread 0, the full range of T, not empty, no curves.
    ZqBaseAttributeFundamental(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag);
    // The base copy, then the fields; isEmpty only when empty is allowed; curves cloned.
    ZqBaseAttributeFundamental(ZqAttributeName name, ZqAttributeOwner* owner, const ZqBaseAttributeFundamental& source);

    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override;
    // A value of the wrong MessagePack type or out of T's range throws msgpack::type_error;
    // entries read before it keep their new values. A present but empty "animations" keeps
    // the curves; a non-empty one replaces them only once the new set is complete.
    void unpackAttributes(const MessagePackMap& map) final { readEntries(map); }
    bool readEntry(const MessagePackEntry& entry) override;
    // "value", "variableValue" (T) and "isEmpty".
    void entryFields(ZqEntryFields& fields) override;

    // Engine-dictionary form: numbers as texts ("%d" int, "%u" unsigned and bool, "%f"
    // float). Reading clamps value and spread into the range and does not notify.
    void loadValueFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCObject* saveValueToDictionary() const override;

    // The curve of exactly that state (zero or one element).
    std::vector<ZqAnimationCurve*> curvesForState(int state) const override;
    // Adopts the first curve for the state (freeing the one it replaces) and notifies.
    // The very curve already held only notifies; a null first curve removes the state's
    // curve; an empty vector changes nothing.
    void setCurvesForState(std::vector<std::unique_ptr<ZqAnimationCurve>> curves, int state) override;

    T value() const { return m_value; }
    T variableValue() const { return m_variableValue; }
    T minValue() const { return m_min; }
    T maxValue() const { return m_max; }
    bool allowEmpty() const { return m_allowEmpty; }
    bool isEmpty() const { return m_isEmpty; }
    const CurveSet& curves() const { return m_curves.get(); }
    bool hasCurves() const { return !m_curves.empty(); }

    // Clamps into [min, max]; stores and, unless silent, notifies only on a change.
    void setValue(T value, bool silent = false);
    // Set-up by the model constructors: stored as given, without notification.
    void setRange(T minValue, T maxValue);
    void setVariableValue(T variableValue);
    void setAllowEmpty(bool allowEmpty);
    // Set-up of the empty mark ("no value given"), kept only while empty is allowed.
    void setEmpty(bool empty);

    // A draw from value +- variableValue: value + (2r - 1) * variableValue, r = zqRandUnit().
    float randomValue() const
        requires(!std::is_same_v<T, bool>);

protected:
    T clamped(T value) const;

    T m_value{};
    T m_variableValue{};
    T m_min;
    T m_max;
    bool m_allowEmpty = false;
    bool m_isEmpty = false;
    SparseCurveSet m_curves;
};

extern template class ZqBaseAttributeFundamental<int>;
extern template class ZqBaseAttributeFundamental<unsigned>;
extern template class ZqBaseAttributeFundamental<float>;
extern template class ZqBaseAttributeFundamental<bool>;

class ZqAttributeInt : public ZqBaseAttributeFundamental<int> {
public:
    ZqAttributeInt(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag = 0);
    ZqAttributeInt(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeInt& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeInt)
};

// A key code in the editor's key numbering (ZqEditorKeys.h).
class ZqAttributeKey : public ZqAttributeInt {
public:
    ZqAttributeKey(ZqAttributeName name, ZqAttributeOwner* owner);
    ZqAttributeKey(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeKey& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeKey)
};

class ZqAttributeUInt : public ZqBaseAttributeFundamental<unsigned> {
public:
    ZqAttributeUInt(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag = 0);
    ZqAttributeUInt(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeUInt& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeUInt)
};

class ZqAttributeFloat : public ZqBaseAttributeFundamental<float> {
public:
    ZqAttributeFloat(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag = 0);
    ZqAttributeFloat(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeFloat& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeFloat)

    // The curve of exactly that state at time (seconds); 0 without one. The animated value
    // is value() + curveOffset(time, state).
    float curveOffset(float time, int state) const;
};

class ZqAttributeBool : public ZqBaseAttributeFundamental<bool> {
public:
    ZqAttributeBool(ZqAttributeName name, ZqAttributeOwner* owner);
    ZqAttributeBool(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeBool& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeBool)
};

// Dictionary form of the enum attributes: {"value": "%d"}; a non-empty text is read with
// the engine's intValue, else current is kept.
int32_t enumFromDictionary(cocos2d::CCDictionary* dictionary, int32_t current);
cocos2d::CCObject* enumToDictionary(int32_t value);

// An enumeration stored as a 32-bit number, packed as {"enum": int}; no spread, range,
// empty marker or curves. The data holds any number, so E must have the fixed underlying
// type int32_t (every number is then a valid E).
template <typename E>
class ZqBaseAttributeEnum : public ZqAttribute {
    static_assert(std::is_enum_v<E> && std::is_same_v<std::underlying_type_t<E>, int32_t>);

public:
    ZqBaseAttributeEnum(ZqAttributeName name, ZqAttributeOwner* owner)
        : ZqAttribute(std::move(name), owner, 0)
    {
    }
    ZqBaseAttributeEnum(ZqAttributeName name, ZqAttributeOwner* owner, const ZqBaseAttributeEnum& source)
        : ZqAttribute(std::move(name), owner, source)
        , m_value(source.m_value)
    {
    }

    void collectKeys() const override { keyNameSet().insert("enum"); }
    void packAttributes(MessagePackMap& map) const override { map.setInt("enum", m_value); }
    // An absent "enum" reads as 0; a wrong type throws msgpack::type_error (value kept).
    void unpackAttributes(const MessagePackMap& map) override
    {
        int32_t number = 0;
        map.getInt("enum", number);
        m_value = number;
    }
    void loadValueFromDictionary(cocos2d::CCDictionary* dictionary) override
    {
        if (dictionary)
            m_value = enumFromDictionary(dictionary, m_value);
    }
    cocos2d::CCObject* saveValueToDictionary() const override { return enumToDictionary(m_value); }

    E value() const { return static_cast<E>(m_value); }
    // Notifies, unless silent, when the value changes.
    void setValue(E value, bool silent = false)
    {
        const int32_t number = static_cast<int32_t>(value);
        if (number == m_value)
            return;
        m_value = number;
        if (!silent)
            changed(kValueChanged);
    }

protected:
    int32_t m_value = 0;
};

// The frame-edge state of a screen scene's edges; the data holds only numbers, read by
// the game field's camera.
enum class ZqObjectFrameEdgeState : int32_t {};

class ZqAttributeFrameEdgeState : public ZqBaseAttributeEnum<ZqObjectFrameEdgeState> {
public:
    using ZqBaseAttributeEnum::ZqBaseAttributeEnum;
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeFrameEdgeState)
};
