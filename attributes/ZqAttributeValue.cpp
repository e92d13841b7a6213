#include "attributes/ZqAttributeValue.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqDataKeys.h"
#include "attributes/ZqEntryField.h"
#include "attributes/ZqNonEmptyText.h"
#include "base/CCDictionary.h"
#include "base/CCString.h"

#include <cstdint>

using cocos2d::CCDictionary;
using cocos2d::CCObject;
using cocos2d::CCPoint;
using cocos2d::CCRect;
using cocos2d::CCSize;
using cocos2d::CCString;
using cocos2d::ccColor4F;

namespace {

void packValue(MessagePackMap& map, const std::string& value)
{
    map.setString("value", value);
}

void packValue(MessagePackMap& map, const CCRect& value)
{
    map.setFloat4("value", value.origin.x, value.origin.y, value.size.width, value.size.height);
}

void packValue(MessagePackMap& map, const CCSize& value)
{
    map.setPoint("value", CCPoint(value.width, value.height));
}

void packValue(MessagePackMap& map, const CCPoint& value)
{
    map.setPoint("value", value);
}

void packValue(MessagePackMap& map, const ccColor4F& value)
{
    map.setFloat4("value", value.r, value.g, value.b, value.a);
}

constexpr ZqEntryField::Kind fieldKind(std::string*) { return ZqEntryField::kText; }
constexpr ZqEntryField::Kind fieldKind(CCRect*) { return ZqEntryField::kRect; }
constexpr ZqEntryField::Kind fieldKind(CCSize*) { return ZqEntryField::kSize; }
constexpr ZqEntryField::Kind fieldKind(CCPoint*) { return ZqEntryField::kPoint; }
constexpr ZqEntryField::Kind fieldKind(ccColor4F*) { return ZqEntryField::kColor; }

template <typename T>
bool sameValue(const T& a, const T& b)
{
    return a == b;
}

bool sameValue(const ccColor4F& a, const ccColor4F& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

CCDictionary* valueDictionary(CCString* text)
{
    CCDictionary* dictionary = CCDictionary::create();
    dictionary->setObject(text, "value");
    return dictionary;
}

} // namespace

template <typename T>
ZqAttributeValue<T>::ZqAttributeValue(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag)
    : ZqAttribute(std::move(name), owner, flag)
{
}

template <typename T>
ZqAttributeValue<T>::ZqAttributeValue(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeValue& source)
    : ZqAttribute(std::move(name), owner, source)
    , m_value(source.m_value)
{
}

template <typename T>
void ZqAttributeValue<T>::collectKeys() const
{
    keyNameSet().insert("value");
}

template <typename T>
void ZqAttributeValue<T>::packAttributes(MessagePackMap& map) const
{
    packValue(map, m_value);
}

template <typename T>
bool ZqAttributeValue<T>::readEntry(const MessagePackEntry& entry)
{
    return readEntryFields(entry);
}

template <typename T>
void ZqAttributeValue<T>::entryFields(ZqEntryFields& fields)
{
    fields.add(kValueKey, fieldKind(&m_value), &m_value);
}

template <typename T>
void ZqAttributeValue<T>::setValue(const T& value, bool silent)
{
    if (sameValue(value, m_value))
        return;
    m_value = value;
    if (!silent)
        changed(kValueChanged);
}

template class ZqAttributeValue<std::string>;
template class ZqAttributeValue<CCRect>;
template class ZqAttributeValue<CCSize>;
template class ZqAttributeValue<CCPoint>;
template class ZqAttributeValue<ccColor4F>;

ZqAttributeString::ZqAttributeString(ZqAttributeName name, ZqAttributeOwner* owner, int maxLength)
    : ZqAttributeValue(std::move(name), owner)
    , m_maxLength(maxLength)
{
}

ZqAttributeString::ZqAttributeString(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeString& source)
    : ZqAttributeValue(std::move(name), owner, source)
    , m_maxLength(source.m_maxLength)
{
}

void ZqAttributeString::setValue(const std::string& text, bool silent)
{
    std::string cut = text.substr(0, m_maxLength < 0 ? 0 : static_cast<std::size_t>(m_maxLength));
    if (cut == m_value)
        return;
    m_value = std::move(cut);
    textStored();
    if (!silent)
        changed(kValueChanged);
}

void ZqAttributeString::setValue(const char* text, bool silent)
{
    setValue(std::string(text ? text : ""), silent);
}

void ZqAttributeString::loadValueFromDictionary(CCDictionary* dictionary)
{
    if (const CCString* text = zqNonEmptyText(dictionary, "value"))
        setValue(text->m_sString, true);
}

CCObject* ZqAttributeString::saveValueToDictionary() const
{
    return valueDictionary(CCString::create(m_value));
}

ZqAttributeStringList::ZqAttributeStringList(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqAttributeString(std::move(name), owner)
{
}

ZqAttributeStringList::ZqAttributeStringList(ZqAttributeName name, ZqAttributeOwner* owner,
                                             const ZqAttributeStringList& source)
    : ZqAttributeString(std::move(name), owner, source)
{
}

ZqAttributeRect::ZqAttributeRect(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqAttributeValue(std::move(name), owner)
{
}

ZqAttributeRect::ZqAttributeRect(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeRect& source)
    : ZqAttributeValue(std::move(name), owner, source)
{
}

void ZqAttributeRect::loadValueFromDictionary(CCDictionary* dictionary)
{
    if (const CCString* text = zqNonEmptyText(dictionary, "value"))
        m_value = cocos2d::CCRectFromString(text->getCString());
}

CCObject* ZqAttributeRect::saveValueToDictionary() const
{
    return valueDictionary(CCString::createWithFormat("{{%.2f,%.2f},{%.2f,%.2f}}", m_value.origin.x,
                                                      m_value.origin.y, m_value.size.width, m_value.size.height));
}

ZqAttributeSize::ZqAttributeSize(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqAttributeValue(std::move(name), owner)
{
}

ZqAttributeSize::ZqAttributeSize(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeSize& source)
    : ZqAttributeValue(std::move(name), owner, source)
{
}

void ZqAttributeSize::loadValueFromDictionary(CCDictionary* dictionary)
{
    if (const CCString* text = zqNonEmptyText(dictionary, "value"))
        m_value = cocos2d::CCSizeFromString(text->getCString());
}

CCObject* ZqAttributeSize::saveValueToDictionary() const
{
    return valueDictionary(CCString::createWithFormat("{%.2f,%.2f}", m_value.width, m_value.height));
}
