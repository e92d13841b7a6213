#include "attributes/ZqAttributeColor.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqNonEmptyText.h"
#include "base/CCArray.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include <algorithm>
#include <cmath>

using cocos2d::CCArray;
using cocos2d::CCDictionary;
using cocos2d::CCObject;
using cocos2d::CCString;
using cocos2d::ccColor4F;

namespace {

bool sameColor(const ccColor4F& a, const ccColor4F& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

// "r", "g", "b", "a" of a dictionary; an absent component reads as 0.
ccColor4F colorFromDictionary(CCDictionary* dictionary)
{
    return ccColor4F{dictionary->valueForKey("r")->floatValue(), dictionary->valueForKey("g")->floatValue(),
                     dictionary->valueForKey("b")->floatValue(), dictionary->valueForKey("a")->floatValue()};
}

void colorToDictionary(const ccColor4F& color, CCDictionary* dictionary)
{
    dictionary->setObject(CCString::createWithFormat("%f", color.r), "r");
    dictionary->setObject(CCString::createWithFormat("%f", color.g), "g");
    dictionary->setObject(CCString::createWithFormat("%f", color.b), "b");
    dictionary->setObject(CCString::createWithFormat("%f", color.a), "a");
}

} // namespace

ZqBaseAttributeColor::ZqBaseAttributeColor(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqAttributeValue(std::move(name), owner, 0)
{
}

ZqBaseAttributeColor::ZqBaseAttributeColor(ZqAttributeName name, ZqAttributeOwner* owner,
                                           const ZqBaseAttributeColor& source)
    : ZqAttributeValue(std::move(name), owner, source)
{
}

void ZqBaseAttributeColor::loadValueFromDictionary(CCDictionary* dictionary)
{
    if (!dictionary)
        return;
    const ccColor4F color = colorFromDictionary(dictionary);
    if (!sameColor(color, m_value))
        m_value = color;
}

CCObject* ZqBaseAttributeColor::saveValueToDictionary() const
{
    CCDictionary* dictionary = CCDictionary::create();
    colorToDictionary(m_value, dictionary);
    return dictionary;
}

ZqAttributeColor::ZqAttributeColor(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqBaseAttributeColor(std::move(name), owner)
{
}

ZqAttributeColor::ZqAttributeColor(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeColor& source)
    : ZqBaseAttributeColor(std::move(name), owner, source)
{
}

ZqAttributeGradient::ZqAttributeGradient(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqAttribute(std::move(name), owner, 0)
{
}

ZqAttributeGradient::ZqAttributeGradient(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeGradient& source)
    : ZqAttribute(std::move(name), owner, source)
    , m_stops(source.m_stops)
{
}

void ZqAttributeGradient::collectKeys() const
{
    ZqAttribute::collectKeys();
    std::set<std::string>& names = keyNameSet();
    names.insert("pos");
    names.insert("color");
    names.insert("gradients");
}

void ZqAttributeGradient::packAttributes(MessagePackMap& map) const
{
    if (m_stops.empty())
        return;
    std::vector<msgpack::object> elements;
    elements.reserve(m_stops.size());
    for (const auto& [position, color] : m_stops) {
        MessagePackMap element(map.zone());
        element.setFloat("pos", position);
        element.setFloat4("color", color.r, color.g, color.b, color.a);
        elements.push_back(element.toObject());
    }
    map.setArray("gradients", elements);
}

void ZqAttributeGradient::unpackAttributes(const MessagePackMap& map)
{
    std::vector<msgpack::object> elements;
    if (!map.getArray("gradients", elements))
        return;
    for (const msgpack::object& object : elements) {
        const MessagePackMap element = MessagePackMap::fromObject(object);
        float position = 0.0f;
        if (!element.getFloat("pos", position) || !std::isfinite(position))
            continue;
        // The colour is read before the stop is added, so a malformed one adds nothing.
        float f[4];
        const bool hasColor = element.getFloats("color", f, 4);
        ccColor4F& stop = m_stops[position];
        if (hasColor)
            stop = ccColor4F{f[0], f[1], f[2], f[3]};
    }
}

void ZqAttributeGradient::loadValueFromDictionary(CCDictionary* dictionary)
{
    if (!dictionary)
        return;
    auto* elements = dynamic_cast<CCArray*>(dictionary->objectForKey("gradients"));
    if (!elements)
        return;
    for (CCObject* object : *elements) {
        auto* element = dynamic_cast<CCDictionary*>(object);
        if (const CCString* position = zqNonEmptyText(element, "pos"))
            m_stops[position->floatValue()] = colorFromDictionary(element);
    }
}

CCObject* ZqAttributeGradient::saveValueToDictionary() const
{
    CCArray* elements = CCArray::createWithCapacity(static_cast<unsigned int>(m_stops.size()));
    for (const auto& [position, color] : m_stops) {
        CCDictionary* element = CCDictionary::create();
        element->setObject(CCString::createWithFormat("%f", position), "pos");
        colorToDictionary(color, element);
        elements->addObject(element);
    }
    CCDictionary* dictionary = CCDictionary::create();
    dictionary->setObject(elements, "gradients");
    return dictionary;
}

void ZqAttributeGradient::setColorAt(float position, const ccColor4F& color, bool silent)
{
    if (!std::isfinite(position))
        return;
    m_stops[position] = color;
    if (!silent)
        changed(kValueChanged);
}
