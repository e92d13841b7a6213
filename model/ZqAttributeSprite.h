#pragma once

#include "attributes/ZqBaseAttribute.h"

#include <memory>
#include <string>

class ZqModelSpriteContainer;

// The picture of a model: a reference to a sprite container (exactly that class), written
// into the connections map as {"value": id}. Passes its "excluded from atlas" flag on to
// the container it refers to. While it refers to a container it is in that container's
// referencing-attribute list exactly once.
class ZqAttributeSprite : public ZqAttribute {
public:
    ZqAttributeSprite(ZqAttributeName name, ZqAttributeOwner* owner);
    // The base copy, the flag, then the same container (joining its referrers).
    ZqAttributeSprite(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeSprite& source);
    // Leaves the container's list, then releases it.
    ~ZqAttributeSprite() override;
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeSprite)

    void collectKeys() const override;
    void packConnections(MessagePackMap& map) const override;
    // The base link entry, then "value": a registered sprite container of that id replaces
    // the reference (silently); an absent entry, an unknown id or a model of another class
    // keeps it. A "value" that is not a 32-bit unsigned integer throws msgpack::type_error.
    void unpackConnections(const MessagePackMap& map) override;
    // A non-empty "value" text is looked up the same way; a failed lookup clears.
    void loadConnectionFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCDictionary* saveConnectionToDictionary() const override;

    const std::shared_ptr<ZqModelSpriteContainer>& value() const { return m_value; }
    // Re-points the reference and gives the new container this attribute's flag; unless
    // silent, changed(0) (also when the container is the same).
    void setValue(const std::shared_ptr<ZqModelSpriteContainer>& container, bool silent = false);

    // The container is shared with other models: registered with the owner, never
    // unregistered with it.
    ZqAttributeOwner* heldOwner() const override;

    bool isExcludedFromAtlas() const { return m_excludedFromAtlas; }
    // Stores the flag and passes it on to the referenced container.
    void setExcludedFromAtlas(bool excluded);

private:
    std::shared_ptr<ZqModelSpriteContainer> m_value;
    bool m_excludedFromAtlas = false;
};
