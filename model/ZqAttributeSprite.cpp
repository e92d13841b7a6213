#include "model/ZqAttributeSprite.h"

#include "attributes/MessagePackMap.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelMedia.h"
#include "cocos2d.h"

using namespace cocos2d;

ZqAttributeSprite::ZqAttributeSprite(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqAttribute(std::move(name), owner, 0u)
{
}

ZqAttributeSprite::ZqAttributeSprite(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeSprite& source)
    : ZqAttribute(std::move(name), owner, source), m_excludedFromAtlas(source.m_excludedFromAtlas)
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
    zqCollectReferenceKey(m_value.get());
}

void ZqAttributeSprite::packConnections(MessagePackMap& map) const
{
    ZqAttribute::packConnections(map);
    zqPackReference(map, m_value.get());
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
    unsigned id = 0;
    if (zqReadReferenceText(dictionary, id))
        setValue(ZqModelController::shared()->getModel<ZqModelSpriteContainer>(id), true);
}

CCDictionary* ZqAttributeSprite::saveConnectionToDictionary() const
{
    CCDictionary* dictionary = ZqAttribute::saveConnectionToDictionary();
    zqSaveReference(dictionary, m_value.get());
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

ZqAttributeOwner* ZqAttributeSprite::heldOwner() const
{
    return m_value.get();
}

void ZqAttributeSprite::setExcludedFromAtlas(bool excluded)
{
    m_excludedFromAtlas = excluded;
    if (m_value)
        m_value->setExcludedFromAtlas(excluded);
}
