#include "attributes/ZqAnimationCurve.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqNonEmptyText.h"
#include "base/CCArray.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include <cmath>

using cocos2d::CCArray;
using cocos2d::CCDictionary;
using cocos2d::CCObject;
using cocos2d::CCPoint;
using cocos2d::CCString;

namespace {

float half(float sum)
{
    return static_cast<float>(static_cast<double>(sum) * 0.5);
}

} // namespace

void ZqAnimationCurve::collectKeys() const
{
    std::set<std::string>& names = keyNameSet();
    names.insert("points");
    names.insert("preset");
    names.insert("state");
    names.insert("animation");
}

void ZqAnimationCurve::packAttributes(MessagePackMap& map) const
{
    std::vector<CCPoint> pairs;
    pairs.reserve(m_points.size() * 2);
    for (const ZqCurvePoint& point : m_points) {
        pairs.emplace_back(point.x, point.y);
        pairs.emplace_back(point.inHandle, point.outHandle);
    }
    map.setPointArray("points", pairs);
    map.setInt("preset", m_preset);
}

void ZqAnimationCurve::unpackAttributes(const MessagePackMap& map)
{
    std::vector<CCPoint> pairs;
    if (map.getPointArray("points", pairs) && pairs.size() > 1) {
        for (std::size_t k = 0; k + 1 < pairs.size(); k += 2)
            appendReadPoint(pairs[k].x, pairs[k].y, pairs[k + 1].x, pairs[k + 1].y);
    }
    map.getInt("preset", m_preset);
}

void ZqAnimationCurve::loadFromDictionary(CCDictionary* dictionary)
{
    if (!dictionary)
        return;
    CCArray* pairs = dynamic_cast<CCArray*>(dictionary->objectForKey("points"));
    if (pairs && pairs->count() >= 2) {
        for (unsigned int k = 0; k + 1 < pairs->count(); k += 2) {
            const CCString* position = dynamic_cast<const CCString*>(pairs->objectAtIndex(k));
            const CCString* handles = dynamic_cast<const CCString*>(pairs->objectAtIndex(k + 1));
            if (!position || !handles)
                continue;
            const CCPoint xy = position->pointValue();
            const CCPoint inOut = handles->pointValue();
            appendReadPoint(xy.x, xy.y, inOut.x, inOut.y);
        }
    }
    if (const CCString* preset = zqNonEmptyText(dictionary, "preset"))
        m_preset = preset->intValue();
}

CCDictionary* ZqAnimationCurve::saveToDictionary() const
{
    CCArray* pairs = CCArray::createWithCapacity(static_cast<unsigned int>(m_points.size() * 2));
    for (const ZqCurvePoint& point : m_points) {
        pairs->addObject(CCString::createWithFormat("{%.3f,%.3f}", point.x, point.y));
        pairs->addObject(CCString::createWithFormat("{%.3f,%.3f}", point.inHandle, point.outHandle));
    }
    CCDictionary* dictionary = CCDictionary::create();
    dictionary->setObject(pairs, "points");
    dictionary->setObject(CCString::createWithFormat("%d", m_preset), "preset");
    return dictionary;
}

void ZqAnimationCurve::appendReadPoint(float x, float y, float inHandle, float outHandle)
{
    // A NaN or infinite number would make every later evaluation NaN; such a point carries
    // no usable keyframe, so it is left out.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(inHandle) || !std::isfinite(outHandle))
        return;
    m_points.push_back(ZqCurvePoint{inHandle, x, y, outHandle});
}

void ZqAnimationCurve::addPoint(float y, float x)
{
    for (ZqCurvePoint& point : m_points) {
        if (point.x == x) {
            point.inHandle = y;
            point.y = y;
            point.outHandle = y;
            return;
        }
    }
    std::size_t index = 0;
    while (index < m_points.size() && !(m_points[index].x > x))
        ++index;
    m_points.insert(m_points.begin() + static_cast<std::ptrdiff_t>(index), ZqCurvePoint{y, x, y, y});
    smoothHandles();
}

void ZqAnimationCurve::smoothHandles()
{
    // Handles of inner points lie symmetrically about the point, along the line through
    // the midpoints to its neighbours; the end points keep theirs.
    for (std::size_t i = 1; i + 1 < m_points.size(); ++i) {
        const float previous = m_points[i - 1].y;
        const float current = m_points[i].y;
        const float next = m_points[i + 1].y;
        const float in = half(previous + current);
        const float out = half(current + next);
        const float d = half((current - out) + (current - in));
        m_points[i].inHandle = in + d;
        m_points[i].outHandle = out + d;
    }
}

float ZqAnimationCurve::valueAt(float x) const
{
    if (m_points.empty())
        return 0.0f;
    if (m_points.size() == 1)
        return m_points[0].y;
    // The last point at or before x, the scan ending at the first point beyond x. Points
    // read unsorted keep their order; the span found still has x[i] <= x < x[i + 1].
    std::size_t count = 0;
    for (const ZqCurvePoint& point : m_points) {
        if (!(point.x <= x)) // also ends the scan for a NaN x
            break;
        ++count;
    }
    if (count == 0)
        return m_points.front().y;
    const std::size_t i = count - 1;
    if (i + 1 == m_points.size())
        return m_points.back().y;
    const ZqCurvePoint& a = m_points[i];
    const ZqCurvePoint& b = m_points[i + 1];
    float t = (x - a.x) / (b.x - a.x);
    if (std::isnan(t)) // both differences overflowed float; the span is still well ordered
        t = static_cast<float>((static_cast<double>(x) - a.x) / (static_cast<double>(b.x) - a.x));
    const float u = 1.0f - t;
    return 3.0f * t * u * u * a.outHandle + u * u * u * a.y + 3.0f * t * t * u * b.inHandle + t * t * t * b.y;
}

std::unique_ptr<ZqAnimationCurve> ZqAnimationCurve::clone() const
{
    auto copy = std::make_unique<ZqAnimationCurve>();
    for (const ZqCurvePoint& point : m_points)
        copy->addPoint(point.y, point.x);
    return copy;
}

std::vector<msgpack::object> packCurveSet(const CurveSet& set, msgpack::zone* zone)
{
    std::vector<msgpack::object> elements;
    elements.reserve(set.size());
    for (const auto& [state, curve] : set) {
        if (!curve)
            continue;
        MessagePackMap animation(zone);
        curve->packAttributes(animation);
        MessagePackMap element(zone);
        element.setInt("state", state);
        element.setMap("animation", animation);
        elements.push_back(element.toObject());
    }
    return elements;
}

CurveSet unpackCurveSet(const std::vector<msgpack::object>& elements)
{
    CurveSet set;
    for (const msgpack::object& object : elements) {
        const MessagePackMap element = MessagePackMap::fromObject(object);
        int32_t state = -1;
        element.getInt("state", state);
        auto curve = std::make_unique<ZqAnimationCurve>();
        MessagePackMap animation;
        if (element.getMap("animation", animation))
            curve->unpackAttributes(animation);
        if (state != -1)
            set[state] = std::move(curve);
    }
    return set;
}

void unpackCurveSetEntry(const msgpack::object& object, CurveSet& set)
{
    if (object.type != msgpack::type::ARRAY)
        throw msgpack::type_error();
    if (object.via.array.size != 0)
        set = unpackCurveSet({object.via.array.ptr, object.via.array.ptr + object.via.array.size});
}

CCArray* saveCurveSet(const CurveSet& set)
{
    if (set.empty())
        return nullptr;
    CCArray* array = CCArray::createWithCapacity(static_cast<unsigned int>(set.size()));
    for (const auto& [state, curve] : set) {
        if (!curve)
            continue;
        CCDictionary* element = CCDictionary::create();
        // "%d", not "%u": the reader takes the state as a signed number.
        element->setObject(CCString::createWithFormat("%d", state), "state");
        element->setObject(curve->saveToDictionary(), "animation");
        array->addObject(element);
    }
    return array;
}

CurveSet loadCurveSet(CCArray* array)
{
    CurveSet set;
    if (!array)
        return set;
    for (CCObject* object : *array) {
        CCDictionary* element = dynamic_cast<CCDictionary*>(object);
        if (!element)
            continue;
        const CCString* stateText = zqNonEmptyText(element, "state");
        const int32_t state = stateText ? stateText->intValue() : -1;
        CCDictionary* animation = dynamic_cast<CCDictionary*>(element->objectForKey("animation"));
        if (!animation || state == -1)
            continue;
        auto curve = std::make_unique<ZqAnimationCurve>();
        curve->loadFromDictionary(animation);
        set[state] = std::move(curve);
    }
    return set;
}

CurveSet copyCurveSet(const CurveSet& set)
{
    CurveSet copy;
    for (const auto& [state, curve] : set) {
        if (curve)
            copy[state] = curve->clone();
    }
    return copy;
}

ZqAnimationCurve* curveForState(const CurveSet& set, int32_t state)
{
    auto found = set.find(state);
    return found == set.end() ? nullptr : found->second.get();
}
