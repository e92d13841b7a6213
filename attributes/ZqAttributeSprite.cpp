#include "attributes/ZqAttributeSprite.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelMedia.h"
#include "cocos2d.h"

using namespace cocos2d;

ZqAttributeSprite::ZqAttributeSprite(const std::string& name, ZqModel* owner)
    : ZqAttribute(name, owner, 0u)
{
}

ZqAttributeSprite::ZqAttributeSprite(const std::string& name, ZqModel* owner, const ZqAttributeSprite& source)
    : ZqAttribute(name, owner, source), m_excludedFromAtlas(source.m_excludedFromAtlas)
{
    if (source.m_value)
        setValue(source.m_value, true);
}

ZqAttributeSprite::~ZqAttributeSprite()
{
    if (m_value)
        m_value->removeReferencingAttribute(this);
    m_value.reset();
}

void ZqAttributeSprite::collectKeys() const
{
    ZqAttribute::collectKeys();
    if (m_value)
        keyNameSet().insert("value");
}

void ZqAttributeSprite::packConnections(MessagePackMap& map) const
{
    ZqAttribute::packConnections(map);
    if (m_value)
        map.setUInt("value", m_value->id());
}

void ZqAttributeSprite::unpackConnections(const MessagePackMap& map)
{
    ZqAttribute::unpackConnections(map);
    uint32_t id = 0;
    if (!map.getUInt("value", id))
        return;
    if (std::shared_ptr<ZqModelSpriteContainer> container = ZqModelController::shared()->getModel<ZqModelSpriteContainer>(id))
        setValue(container, true);
}

void ZqAttributeSprite::loadConnectionFromDictionary(CCDictionary* dictionary)
{
    ZqAttribute::loadConnectionFromDictionary(dictionary);
    if (!dictionary)
        return;
    const CCString* text = dictionary->valueForKey("value");
    if (text->length() == 0)
        return;
    setValue(ZqModelController::shared()->getModel<ZqModelSpriteContainer>(text->uintValue()), true);
}

CCDictionary* ZqAttributeSprite::saveConnectionToDictionary() const
{
    CCDictionary* dictionary = ZqAttribute::saveConnectionToDictionary();
    if (m_value)
        dictionary->setObject(CCString::createWithFormat("%u", m_value->id()), "value");
    return dictionary;
}

void ZqAttributeSprite::setValue(const std::shared_ptr<ZqModelSpriteContainer>& container, bool silent)
{
    if (m_value)
        m_value->removeReferencingAttribute(this);
    m_value = container;
    if (m_value) {
        m_value->addReferencingAttribute(this);
        m_value->setExcludedFromAtlas(m_excludedFromAtlas);
    }
    if (!silent)
        changed(kValueChanged);
}

void ZqAttributeSprite::setExcludedFromAtlas(bool excluded)
{
    m_excludedFromAtlas = excluded;
    if (m_value)
        m_value->setExcludedFromAtlas(excluded);
}
