#include "model/ZqAttributeModel.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqNonEmptyText.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"
#include "cocos2d.h"

#include <algorithm>
#include <unordered_set>

using namespace cocos2d;

bool zqReassignReference(ZqBaseAttribute& attribute, std::shared_ptr<ZqModel>& slot, std::shared_ptr<ZqModel> model)
{
    if (slot == model)
        return false;
    if (slot)
        slot->removeReferencingAttribute(&attribute);
    slot = std::move(model);
    if (slot)
        slot->addReferencingAttribute(&attribute);
    return true;
}

void zqCollectReferenceKey(const ZqModel* model)
{
    if (model)
        keyNameSet().insert("value");
}

void zqPackReference(MessagePackMap& map, const ZqModel* model)
{
    if (model)
        map.setUInt("value", model->id());
}

void zqSaveReference(CCDictionary* dictionary, const ZqModel* model)
{
    if (model)
        dictionary->setObject(CCString::createWithFormat("%u", model->id()), "value");
}

bool zqReadReferenceText(CCDictionary* dictionary, unsigned& id)
{
    const CCString* text = zqNonEmptyText(dictionary, "value");
    if (!text)
        return false;
    id = text->uintValue();
    return true;
}

ZqAttributeModelReference::ZqAttributeModelReference(ZqAttributeName name, ZqAttributeOwner* owner, uint32_t acceptedKind)
    : ZqAttribute(std::move(name), owner, 0u), m_acceptedKind(acceptedKind)
{
}

ZqAttributeModelReference::ZqAttributeModelReference(ZqAttributeName name, ZqAttributeOwner* owner,
                                                     const ZqAttributeModelReference& source)
    : ZqAttribute(std::move(name), owner, source), m_acceptedKind(source.m_acceptedKind)
{
    zqReassignReference(*this, m_value, source.m_value);
}

ZqAttributeModelReference::~ZqAttributeModelReference()
{
    zqReassignReference(*this, m_value, nullptr);
}

void ZqAttributeModelReference::collectKeys() const
{
    ZqAttribute::collectKeys();
    zqCollectReferenceKey(m_value.get());
}

void ZqAttributeModelReference::packConnections(MessagePackMap& map) const
{
    ZqAttribute::packConnections(map);
    zqPackReference(map, m_value.get());
}

void ZqAttributeModelReference::unpackConnections(const MessagePackMap& map)
{
    ZqAttribute::unpackConnections(map);
    uint32_t id = 0;
    map.getUInt("value", id);
    zqReassignReference(*this, m_value, lookUp(id));
}

void ZqAttributeModelReference::loadConnectionFromDictionary(CCDictionary* dictionary)
{
    ZqAttribute::loadConnectionFromDictionary(dictionary);
    unsigned id = 0;
    if (zqReadReferenceText(dictionary, id))
        zqReassignReference(*this, m_value, lookUp(id));
}

CCDictionary* ZqAttributeModelReference::saveConnectionToDictionary() const
{
    CCDictionary* dictionary = ZqAttribute::saveConnectionToDictionary();
    zqSaveReference(dictionary, m_value.get());
    return dictionary;
}

void ZqAttributeModelReference::setModel(std::shared_ptr<ZqModel> model, bool silent)
{
    if (zqReassignReference(*this, m_value, std::move(model)) && !silent)
        changed(kValueChanged);
}

void ZqAttributeModelReference::duplicateReference()
{
    if (!m_value)
        return;
    zqReassignReference(*this, m_value, m_value->duplicate(true, true));
}

ZqAttributeOwner* ZqAttributeModelReference::ownedModel() const
{
    return m_value.get();
}

std::shared_ptr<ZqModel> ZqAttributeModelReference::lookUp(unsigned id) const
{
    std::shared_ptr<ZqModel> model = ZqModelController::shared()->modelById(id);
    if (!model || !model->isKindOf(m_acceptedKind))
        return nullptr;
    return model;
}

ZqBaseAttributeAnimation::ZqBaseAttributeAnimation(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqBaseAttributeModel(std::move(name), owner)
{
}

ZqBaseAttributeAnimation::ZqBaseAttributeAnimation(ZqAttributeName name, ZqAttributeOwner* owner,
                                                   const ZqBaseAttributeAnimation& source)
    : ZqBaseAttributeModel(std::move(name), owner, source), m_loop(source.m_loop)
{
    duplicateReference();
}

ZqBaseAttributeAnimation::~ZqBaseAttributeAnimation()
{
    m_sourceSprite.reset();
}

void ZqBaseAttributeAnimation::unpackConnections(const MessagePackMap& map)
{
    ZqBaseAttributeModel::unpackConnections(map);
    if (std::shared_ptr<ZqModelAnimation> animation = value())
        m_loop = animation->isLoop();
}

void ZqBaseAttributeAnimation::loadConnectionFromDictionary(CCDictionary* dictionary)
{
    ZqBaseAttributeModel::loadConnectionFromDictionary(dictionary);
    if (std::shared_ptr<ZqModelAnimation> animation = value())
        m_loop = animation->isLoop();
}

std::shared_ptr<ZqModelSpriteContainer> ZqBaseAttributeAnimation::sourceSprite() const
{
    return m_sourceSprite;
}

void ZqBaseAttributeAnimation::setFromSprite(const std::shared_ptr<ZqModelSpriteContainer>& container)
{
    ZqModelController* controller = ZqModelController::shared();
    std::shared_ptr<ZqModelAnimation> animation = value();
    if (animation) {
        animation->removeAllFrames();
    } else {
        animation = controller->createModel<ZqModelAnimation>();
        animation->setLoop(m_loop);
        animation->setDuration(3.0f);
        setValue(animation, true);
    }
    m_sourceSprite = container;
    if (container) {
        std::shared_ptr<ZqModelObjectImage> image = zqCreateModel<ZqModelObjectImage>(container->name());
        controller->addModel(image);
        image->setImage(container);
        animation->addChild(image);
        animation->setDuration(static_cast<float>(container->sprites().size()) / 30.0f);
    }
    changed(kValueChanged);
}

ZqBaseAttributeShape::ZqBaseAttributeShape(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqBaseAttributeModel(std::move(name), owner)
{
}

ZqBaseAttributeShape::ZqBaseAttributeShape(ZqAttributeName name, ZqAttributeOwner* owner, const ZqBaseAttributeShape& source)
    : ZqBaseAttributeModel(std::move(name), owner, source)
{
    duplicateReference();
}

ZqAttributeParticlesEmitters::ZqAttributeParticlesEmitters(ZqAttributeName name, ZqAttributeOwner* owner)
    : ZqAttribute(std::move(name), owner, 0)
{
}

ZqAttributeParticlesEmitters::ZqAttributeParticlesEmitters(ZqAttributeName name, ZqAttributeOwner* owner,
                                                           const ZqAttributeParticlesEmitters& source)
    : ZqAttribute(std::move(name), owner, source)
{
}

std::vector<std::shared_ptr<ZqModel>> ZqAttributeParticlesEmitters::emitterModels() const
{
    std::vector<std::shared_ptr<ZqModel>> emitters;
    for (const ZqBaseAttribute* link : links()) {
        ZqModel* model = ZqModel::ownerOf(link);
        if (!model || model->typeId() != kEmitterTypeId)
            continue;
        std::shared_ptr<ZqModel> emitter = model->sharedFromThis();
        if (emitter && std::find(emitters.begin(), emitters.end(), emitter) == emitters.end())
            emitters.push_back(emitter);
    }
    return emitters;
}

namespace {

constexpr uint32_t kLinkerTypeId = zqTypeIdOf("ZqModelLinker");

// The model an "Object A" / "Object B" attribute of a linker refers to, else empty.
std::shared_ptr<ZqModel> linkedObject(const ZqModel& linker, const char* attributeName)
{
    ZqBaseAttribute* attribute = linker.findAttribute(attributeName);
    if (!attribute || attribute->typeId() != ZqAttributeObject::staticTypeId())
        return nullptr;
    return static_cast<ZqAttributeObject*>(attribute)->model();
}

// The owner of a referencing attribute when it is exactly a linker.
std::shared_ptr<ZqModel> linkerOwning(const ZqBaseAttribute* attribute)
{
    ZqModel* owner = ZqModel::ownerOf(attribute);
    if (!owner || owner->typeId() != kLinkerTypeId)
        return nullptr;
    return owner->sharedFromThis();
}

struct LinkerWalk {
    std::unordered_set<std::shared_ptr<ZqModel>> found;
    std::unordered_set<const ZqModel*> visited;

    void visit(const std::shared_ptr<ZqModel>& model)
    {
        if (!model || !visited.insert(model.get()).second)
            return;
        // A copy: visiting may not change the list, but the walk should not depend on it.
        const std::vector<ZqBaseAttribute*> referrers = model->referencingAttributes();
        for (const ZqBaseAttribute* attribute : referrers) {
            std::shared_ptr<ZqModel> linker = linkerOwning(attribute);
            if (!linker || !found.insert(linker).second)
                continue;
            visit(linkedObject(*linker, "Object A"));
            visit(linkedObject(*linker, "Object B"));
        }
    }
};

} // namespace

std::vector<std::shared_ptr<ZqModel>> collectReferencingModels(const std::shared_ptr<ZqModel>& model, bool transitive)
{
    LinkerWalk walk;
    if (!model)
        return {};
    if (transitive) {
        walk.visit(model);
    } else {
        for (const ZqBaseAttribute* attribute : model->referencingAttributes()) {
            if (std::shared_ptr<ZqModel> linker = linkerOwning(attribute))
                walk.found.insert(linker);
        }
    }
    return {walk.found.begin(), walk.found.end()};
}
