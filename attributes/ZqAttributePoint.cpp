#include "attributes/ZqAttributePoint.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqDataKeys.h"
#include "attributes/ZqEntryField.h"
#include "attributes/ZqNonEmptyText.h"
#include "base/CCArray.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include <ZqRandom.h>

#include <limits>
#include <stdexcept>

using cocos2d::CCArray;
using cocos2d::CCDictionary;
using cocos2d::CCObject;
using cocos2d::CCPoint;
using cocos2d::CCString;

namespace {

constexpr float kFloatMax = std::numeric_limits<float>::max();

// Raised to at least low, then lowered to at most high; NaN becomes low.
float clampAxis(float value, float low, float high)
{
    float result = low < value ? value : low;
    if (high < result)
        result = high;
    return result;
}

CCString* formatPoint(const CCPoint& point)
{
    return CCString::createWithFormat("{%.3f,%.3f}", point.x, point.y);
}

constinit CachedKeyName kIsXEmptyKey("isXEmpty");
constinit CachedKeyName kIsYEmptyKey("isYEmpty");
constinit CachedKeyName kAnimationsXKey("animationsX");
constinit CachedKeyName kAnimationsYKey("animationsY");

} // namespace

ZqBaseAttributePoint::ZqBaseAttributePoint(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag)
    : ZqAttributeValue(std::move(name), owner, flag)
    , m_min(-kFloatMax, -kFloatMax)
    , m_max(kFloatMax, kFloatMax)
{
}

ZqBaseAttributePoint::ZqBaseAttributePoint(ZqAttributeName name, ZqAttributeOwner* owner,
                                           const ZqBaseAttributePoint& source)
    : ZqAttributeValue(std::move(name), owner, source)
    , m_variableValue(source.m_variableValue)
    , m_min(source.m_min)
    , m_max(source.m_max)
    , m_allowEmpty(source.m_allowEmpty)
    , m_isXEmpty(source.m_allowEmpty && source.m_isXEmpty)
    , m_isYEmpty(source.m_allowEmpty && source.m_isYEmpty)
    , m_curvesX(copyCurveSet(source.m_curvesX.get()))
    , m_curvesY(copyCurveSet(source.m_curvesY.get()))
{
}

void ZqBaseAttributePoint::collectKeys() const
{
    std::set<std::string>& names = keyNameSet();
    names.insert("value");
    names.insert("variableValue");
    names.insert("isXEmpty");
    names.insert("isYEmpty");
    names.insert("animationsX");
    names.insert("animationsY");
}

void ZqBaseAttributePoint::packAttributes(MessagePackMap& map) const
{
    map.setPoint("value", m_value);
    map.setPoint("variableValue", m_variableValue);
    map.setBool("isXEmpty", m_isXEmpty);
    map.setBool("isYEmpty", m_isYEmpty);
    if (!m_curvesX.empty())
        map.setArray("animationsX", packCurveSet(m_curvesX.get(), map.zone()));
    if (!m_curvesY.empty())
        map.setArray("animationsY", packCurveSet(m_curvesY.get(), map.zone()));
}

void ZqBaseAttributePoint::entryFields(ZqEntryFields& fields)
{
    fields.add(kValueKey, ZqEntryField::kPoint, &m_value);
    fields.add(kVariableValueKey, ZqEntryField::kPoint, &m_variableValue);
    fields.add(kIsXEmptyKey, ZqEntryField::kBool, &m_isXEmpty);
    fields.add(kIsYEmptyKey, ZqEntryField::kBool, &m_isYEmpty);
}

bool ZqBaseAttributePoint::readEntry(const MessagePackEntry& entry)
{
    // Each key is matched on its own: a damaged key file may give two keys one code.
    const int32_t code = entry.code;
    bool read = readEntryFields(entry);
    if (code == kAnimationsXKey.codeOrDefault()) {
        unpackCurveSetEntry(entry.value, m_curvesX.edit());
        read = true;
    }
    if (code == kAnimationsYKey.codeOrDefault()) {
        unpackCurveSetEntry(entry.value, m_curvesY.edit());
        read = true;
    }
    return read;
}

void ZqBaseAttributePoint::loadValueFromDictionary(CCDictionary* dictionary)
{
    if (!dictionary)
        return;
    if (const CCString* text = zqNonEmptyText(dictionary, "value"))
        m_value = text->pointValue();
    if (const CCString* text = zqNonEmptyText(dictionary, "variableValue"))
        m_variableValue = text->pointValue();
    const CCString* xEmpty = zqNonEmptyText(dictionary, "isXEmpty");
    m_isXEmpty = xEmpty && xEmpty->boolValue();
    if (m_allowEmpty) {
        const CCString* yEmpty = zqNonEmptyText(dictionary, "isYEmpty");
        m_isYEmpty = yEmpty && yEmpty->boolValue();
    }
    if (CCObject* animations = dictionary->objectForKey("animationsX"))
        m_curvesX = loadCurveSet(dynamic_cast<CCArray*>(animations));
    if (CCObject* animations = dictionary->objectForKey("animationsY"))
        m_curvesY = loadCurveSet(dynamic_cast<CCArray*>(animations));
}

CCObject* ZqBaseAttributePoint::saveValueToDictionary() const
{
    CCDictionary* dictionary = CCDictionary::create();
    dictionary->setObject(formatPoint(m_value), "value");
    // A spread on one axis only is kept too: dropping it would lose that axis's spread.
    if (m_variableValue.x != 0.0f || m_variableValue.y != 0.0f)
        dictionary->setObject(formatPoint(m_variableValue), "variableValue");
    dictionary->setObject(CCString::createWithFormat("%d", m_isXEmpty ? 1 : 0), "isXEmpty");
    dictionary->setObject(CCString::createWithFormat("%d", m_isYEmpty ? 1 : 0), "isYEmpty");
    if (!m_curvesX.empty())
        dictionary->setObject(saveCurveSet(m_curvesX.get()), "animationsX");
    if (!m_curvesY.empty())
        dictionary->setObject(saveCurveSet(m_curvesY.get()), "animationsY");
    return dictionary;
}

std::vector<ZqAnimationCurve*> ZqBaseAttributePoint::curvesForState(int state) const
{
    std::vector<ZqAnimationCurve*> curves;
    if (ZqAnimationCurve* x = curveForState(m_curvesX.get(), state))
        curves.push_back(x);
    if (ZqAnimationCurve* y = curveForState(m_curvesY.get(), state))
        curves.push_back(y);
    return curves;
}

void ZqBaseAttributePoint::setCurvesForState(std::vector<std::unique_ptr<ZqAnimationCurve>> curves, int state)
{
    if (curves.size() < 2)
        throw std::out_of_range("invalid vector<T> subscript");
    // The curves held under the state are taken out first, so that handing them back (or
    // swapped between the axes) never frees a curve that is being stored.
    CurveSet* sets[2] = {&m_curvesX.edit(), &m_curvesY.edit()};
    ZqAnimationCurve* former[2] = {nullptr, nullptr};
    ZqAnimationCurve* given[2] = {curves[0].release(), curves[1].release()};
    for (int axis = 0; axis < 2; ++axis) {
        auto held = sets[axis]->find(state);
        if (held != sets[axis]->end()) {
            former[axis] = held->second.release();
            sets[axis]->erase(held);
        }
        if (given[axis])
            (*sets[axis])[state].reset(given[axis]);
    }
    for (ZqAnimationCurve* curve : former) {
        if (curve && curve != given[0] && curve != given[1])
            delete curve;
    }
    for (int axis = 0; axis < 2; ++axis) {
        if (given[axis] || former[axis])
            changed(kValueChanged);
    }
}

void ZqBaseAttributePoint::setValue(const CCPoint& value, bool silent)
{
    const CCPoint result(clampAxis(value.x, m_min.x, m_max.x), clampAxis(value.y, m_min.y, m_max.y));
    if (result == m_value)
        return;
    m_value = result;
    if (!silent)
        changed(kValueChanged);
}

void ZqBaseAttributePoint::setRange(const CCPoint& minValue, const CCPoint& maxValue)
{
    m_min = minValue;
    m_max = maxValue;
}

void ZqBaseAttributePoint::setEmpty(bool empty, bool silent)
{
    if (m_isXEmpty == empty && m_isYEmpty == empty)
        return;
    m_isXEmpty = empty;
    m_isYEmpty = empty;
    if (m_allowEmpty && !silent)
        changed(kValueChanged);
}

void ZqBaseAttributePoint::setEmptyAllowed(bool allowed, bool silent)
{
    if (!allowed && m_allowEmpty) {
        for (bool* mark : {&m_isXEmpty, &m_isYEmpty}) {
            if (!*mark)
                continue;
            *mark = false;
            if (!silent)
                changed(kValueChanged);
        }
    }
    m_allowEmpty = allowed;
}

CCPoint ZqBaseAttributePoint::randomValue() const
{
    const float forY = zqRandUnit();
    const float forX = zqRandUnit();
    return CCPoint(m_value.x + (2.0f * forX - 1.0f) * m_variableValue.x,
                   m_value.y + (2.0f * forY - 1.0f) * m_variableValue.y);
}

CCPoint ZqBaseAttributePoint::curveOffset(float time, int state) const
{
    const ZqAnimationCurve* x = curveForState(m_curvesX.get(), state);
    const ZqAnimationCurve* y = curveForState(m_curvesY.get(), state);
    return CCPoint(x ? x->valueAt(time) : 0.0f, y ? y->valueAt(time) : 0.0f);
}

ZqAttributePoint::ZqAttributePoint(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag)
    : ZqBaseAttributePoint(std::move(name), owner, flag)
{
}

ZqAttributePoint::ZqAttributePoint(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributePoint& source)
    : ZqBaseAttributePoint(std::move(name), owner, source)
{
}
