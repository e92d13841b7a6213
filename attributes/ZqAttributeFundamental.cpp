#include "attributes/ZqAttributeFundamental.h"

#include "attributes/ZqDataKeys.h"
#include "attributes/ZqEntryField.h"
#include "attributes/ZqNonEmptyText.h"

#include "base/CCArray.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include <ZqRandom.h>

#include <limits>

using cocos2d::CCArray;
using cocos2d::CCDictionary;
using cocos2d::CCObject;
using cocos2d::CCString;

namespace {

// Each T is written and read as its own MessagePack type: int as a signed integer,
// unsigned as a positive integer, float as FLOAT32, bool as a boolean.
void writeNumber(MessagePackMap& map, const char* name, int value) { map.setInt(name, value); }
void writeNumber(MessagePackMap& map, const char* name, unsigned value) { map.setUInt(name, value); }
void writeNumber(MessagePackMap& map, const char* name, float value) { map.setFloat(name, value); }
void writeNumber(MessagePackMap& map, const char* name, bool value) { map.setBool(name, value); }

constinit CachedKeyName kIsEmptyKey("isEmpty");
constinit CachedKeyName kAnimationsKey("animations");

CCString* formatNumber(int value) { return CCString::createWithFormat("%d", value); }
CCString* formatNumber(unsigned value) { return CCString::createWithFormat("%u", value); }
CCString* formatNumber(float value) { return CCString::createWithFormat("%f", value); }
CCString* formatNumber(bool value) { return CCString::createWithFormat("%u", static_cast<unsigned>(value)); }

void parseNumber(const CCString* text, int& value) { value = text->intValue(); }
void parseNumber(const CCString* text, unsigned& value) { value = text->uintValue(); }
void parseNumber(const CCString* text, float& value) { value = text->floatValue(); }
void parseNumber(const CCString* text, bool& value) { value = text->boolValue(); }

} // namespace

template <typename T>
ZqBaseAttributeFundamental<T>::ZqBaseAttributeFundamental(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag)
    : ZqAttribute(std::move(name), owner, flag)
    , m_min(std::numeric_limits<T>::lowest())
    , m_max(std::numeric_limits<T>::max())
{
}

template <typename T>
ZqBaseAttributeFundamental<T>::ZqBaseAttributeFundamental(ZqAttributeName name, ZqAttributeOwner* owner,
                                                          const ZqBaseAttributeFundamental& source)
    : ZqAttribute(std::move(name), owner, source)
    , m_value(source.m_value)
    , m_variableValue(source.m_variableValue)
    , m_min(source.m_min)
    , m_max(source.m_max)
    , m_allowEmpty(source.m_allowEmpty)
    , m_isEmpty(source.m_allowEmpty && source.m_isEmpty)
    , m_curves(copyCurveSet(source.m_curves.get()))
{
}

template <typename T>
void ZqBaseAttributeFundamental<T>::collectKeys() const
{
    std::set<std::string>& names = keyNameSet();
    names.insert("value");
    names.insert("variableValue");
    names.insert("isEmpty");
    names.insert("animations");
}

template <typename T>
void ZqBaseAttributeFundamental<T>::packAttributes(MessagePackMap& map) const
{
    writeNumber(map, "value", m_value);
    writeNumber(map, "variableValue", m_variableValue);
    map.setBool("isEmpty", m_allowEmpty && m_isEmpty);
    if (!m_curves.empty())
        map.setArray("animations", packCurveSet(m_curves.get(), map.zone()));
}

namespace {

constexpr ZqEntryField::Kind fieldKind(int*) { return ZqEntryField::kInt; }
constexpr ZqEntryField::Kind fieldKind(unsigned*) { return ZqEntryField::kUInt; }
constexpr ZqEntryField::Kind fieldKind(float*) { return ZqEntryField::kFloat; }
constexpr ZqEntryField::Kind fieldKind(bool*) { return ZqEntryField::kBool; }

} // namespace

template <typename T>
void ZqBaseAttributeFundamental<T>::entryFields(ZqEntryFields& fields)
{
    // The map readers' conversion and range for T.
    fields.add(kValueKey, fieldKind(&m_value), &m_value);
    fields.add(kVariableValueKey, fieldKind(&m_variableValue), &m_variableValue);
    fields.add(kIsEmptyKey, ZqEntryField::kBool, &m_isEmpty);
}

template <typename T>
bool ZqBaseAttributeFundamental<T>::readEntry(const MessagePackEntry& entry)
{
    // Each key is matched on its own: a damaged key file may give two keys one code.
    bool read = readEntryFields(entry);
    if (entry.code == kAnimationsKey.codeOrDefault()) {
        unpackCurveSetEntry(entry.value, m_curves.edit());
        read = true;
    }
    return read;
}

template <typename T>
void ZqBaseAttributeFundamental<T>::loadValueFromDictionary(CCDictionary* dictionary)
{
    if (!dictionary)
        return;
    T number{};
    if (const CCString* text = zqNonEmptyText(dictionary, "value")) {
        parseNumber(text, number);
        m_value = clamped(number);
    }
    if (const CCString* text = zqNonEmptyText(dictionary, "variableValue")) {
        parseNumber(text, number);
        m_variableValue = clamped(number);
    }
    const CCString* empty = zqNonEmptyText(dictionary, "isEmpty");
    m_isEmpty = empty && empty->boolValue();
    if (CCObject* animations = dictionary->objectForKey("animations"))
        m_curves = loadCurveSet(dynamic_cast<CCArray*>(animations));
}

template <typename T>
CCObject* ZqBaseAttributeFundamental<T>::saveValueToDictionary() const
{
    CCDictionary* dictionary = CCDictionary::create();
    dictionary->setObject(formatNumber(m_value), "value");
    dictionary->setObject(formatNumber(m_variableValue), "variableValue");
    dictionary->setObject(CCString::createWithFormat("%d", m_allowEmpty && m_isEmpty ? 1 : 0), "isEmpty");
    if (!m_curves.empty())
        dictionary->setObject(saveCurveSet(m_curves.get()), "animations");
    return dictionary;
}

template <typename T>
std::vector<ZqAnimationCurve*> ZqBaseAttributeFundamental<T>::curvesForState(int state) const
{
    ZqAnimationCurve* curve = curveForState(m_curves.get(), state);
    if (!curve)
        return {};
    return {curve};
}

template <typename T>
void ZqBaseAttributeFundamental<T>::setCurvesForState(std::vector<std::unique_ptr<ZqAnimationCurve>> curves, int state)
{
    if (curves.empty())
        return;
    std::unique_ptr<ZqAnimationCurve>& curve = curves.front();
    CurveSet& set = m_curves.edit();
    auto held = set.find(state);
    if (held != set.end() && held->second == curve) {
        // Already owned here: give up the second owner instead of freeing it twice.
        static_cast<void>(curve.release());
    } else if (!curve) {
        if (held == set.end())
            return;
        set.erase(held);
    } else {
        set[state] = std::move(curve);
    }
    changed(kValueChanged);
}

template <typename T>
T ZqBaseAttributeFundamental<T>::clamped(T value) const
{
    T result = m_min < value ? value : m_min;
    if (m_max < result)
        result = m_max;
    return result;
}

template <typename T>
void ZqBaseAttributeFundamental<T>::setValue(T value, bool silent)
{
    const T result = clamped(value);
    if (result == m_value)
        return;
    m_value = result;
    if (!silent)
        changed(kValueChanged);
}

template <typename T>
void ZqBaseAttributeFundamental<T>::setRange(T minValue, T maxValue)
{
    m_min = minValue;
    m_max = maxValue;
}

template <typename T>
void ZqBaseAttributeFundamental<T>::setVariableValue(T variableValue)
{
    m_variableValue = variableValue;
}

template <typename T>
void ZqBaseAttributeFundamental<T>::setAllowEmpty(bool allowEmpty)
{
    m_allowEmpty = allowEmpty;
}

template <typename T>
void ZqBaseAttributeFundamental<T>::setEmpty(bool empty)
{
    m_isEmpty = empty && m_allowEmpty;
}

template <typename T>
float ZqBaseAttributeFundamental<T>::randomValue() const
    requires(!std::is_same_v<T, bool>)
{
    const float r = zqRandUnit();
    return static_cast<float>(m_value) + (2.0f * r - 1.0f) * static_cast<float>(m_variableValue);
}

template class ZqBaseAttributeFundamental<int>;
template class ZqBaseAttributeFundamental<unsigned>;
template class ZqBaseAttributeFundamental<float>;
template class ZqBaseAttributeFundamental<bool>;

ZqAttributeInt::ZqAttributeInt(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag)
    : ZqBaseAttributeFundamental(std::move(name), owner, flag)
{
}

ZqAttributeInt::ZqAttributeInt(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeInt& source)
    : ZqBaseAttributeFundamental(std::move(name), owner, source)
{
}

ZqAttributeKey::ZqAttributeKey(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqAttributeInt(std::move(name), owner, 0)
{
}

ZqAttributeKey::ZqAttributeKey(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeKey& source)
    : ZqAttributeInt(std::move(name), owner, source)
{
}

ZqAttributeUInt::ZqAttributeUInt(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag)
    : ZqBaseAttributeFundamental(std::move(name), owner, flag)
{
}

ZqAttributeUInt::ZqAttributeUInt(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeUInt& source)
    : ZqBaseAttributeFundamental(std::move(name), owner, source)
{
}

ZqAttributeFloat::ZqAttributeFloat(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag)
    : ZqBaseAttributeFundamental(std::move(name), owner, flag)
{
}

ZqAttributeFloat::ZqAttributeFloat(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeFloat& source)
    : ZqBaseAttributeFundamental(std::move(name), owner, source)
{
}

float ZqAttributeFloat::curveOffset(float time, int state) const
{
    const ZqAnimationCurve* curve = curveForState(m_curves.get(), state);
    return curve ? curve->valueAt(time) : 0.0f;
}

ZqAttributeBool::ZqAttributeBool(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqBaseAttributeFundamental(std::move(name), owner, 0)
{
}

ZqAttributeBool::ZqAttributeBool(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeBool& source)
    : ZqBaseAttributeFundamental(std::move(name), owner, source)
{
}

int32_t enumFromDictionary(CCDictionary* dictionary, int32_t current)
{
    const CCString* text = zqNonEmptyText(dictionary, "value");
    return text ? text->intValue() : current;
}

CCObject* enumToDictionary(int32_t value)
{
    CCDictionary* dictionary = CCDictionary::create();
    dictionary->setObject(CCString::createWithFormat("%d", value), "value");
    return dictionary;
}
