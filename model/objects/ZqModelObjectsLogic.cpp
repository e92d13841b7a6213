#include "model/objects/ZqModelObjectsLogic.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "model/scene/ZqModelShapes.h"

#include <sstream>

using namespace cocos2d;

ZqBaseModelObjectGroup::ZqBaseModelObjectGroup(const std::string& name)
    : ZqModelObject(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_GROUP_ATTRIBUTES)
}

ZqBaseModelObjectGroup::ZqBaseModelObjectGroup(const ZqBaseModelObjectGroup& source)
    : ZqModelObject(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_GROUP_ATTRIBUTES)
}

void ZqBaseModelObjectGroup::childAdded(const std::shared_ptr<ZqModel>& child)
{
    ZqModelObject::childAdded(child);
    m_characters.add(child);
}

void ZqBaseModelObjectGroup::childRemoved(const std::shared_ptr<ZqModel>& child)
{
    ZqModelObject::childRemoved(child);
    m_characters.remove(child.get());
}

void ZqBaseModelObjectGroup::childrenCleared()
{
    ZqModelObject::childrenCleared();
    m_characters.clear();
}

std::shared_ptr<ZqModel> ZqModelObjectGroup::duplicate(bool /*deep*/, bool registerCopy) const
{
    std::shared_ptr<ZqModelObjectGroup> copy = create(*this);
    if (registerCopy)
        copy->registerLike(*this);
    return copy;
}

ZqBaseModelObjectInstance::ZqBaseModelObjectInstance(const std::string& name)
    : ZqModelObject(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_INSTANCE_ATTRIBUTES)
}

ZqBaseModelObjectInstance::ZqBaseModelObjectInstance(const ZqBaseModelObjectInstance& source)
    : ZqModelObject(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_INSTANCE_ATTRIBUTES)
}

std::shared_ptr<ZqModelObjectAsset> ZqBaseModelObjectInstance::reference() const
{
    // A copy whose "Reference" clone had another class has no member.
    return m_reference ? m_reference->value() : nullptr;
}

std::shared_ptr<ZqModelSpriteContainer> ZqBaseModelObjectInstance::spriteContainer() const
{
    const std::shared_ptr<ZqModelObjectAsset> object = reference();
    return object ? object->spriteContainer() : nullptr;
}

bool ZqBaseModelObjectInstance::hasSpawner() const
{
    const std::shared_ptr<ZqModelObjectAsset> object = reference();
    return object && object->hasSpawner();
}

float ZqBaseModelObjectInstance::spawnRate() const
{
    const std::shared_ptr<ZqModelObjectAsset> object = reference();
    return object ? object->spawnRate() : 0.0f;
}

ZqBaseModelObjectOwnShape::ZqBaseModelObjectOwnShape(const std::string& name)
    : ZqModelObjectAsset(name), m_ownShape(ZqModelPolygon::create())
{
    m_ownShape->addDefaultShape(CCSize(kDefaultSide, kDefaultSide), CCPoint(0.0f, 0.0f), true);
}

ZqBaseModelObjectOwnShape::ZqBaseModelObjectOwnShape(const ZqBaseModelObjectOwnShape& source)
    : ZqModelObjectAsset(source), m_ownShape(ZqModelPolygon::create(*source.m_ownShape))
{
}

void ZqBaseModelObjectOwnShape::collectKeys() const
{
    ZqModelObjectAsset::collectKeys();
    keyNameSet().insert("points");
    keyNameSet().insert("oneWayCollisionVector");
}

void ZqBaseModelObjectOwnShape::packAttributes(MessagePackMap& map) const
{
    ZqModelObjectAsset::packAttributes(map);
    map.setPointArray("points", m_ownShape->points());
    map.setPoint("oneWayCollisionVector", m_ownShape->oneWayCollisionVector());
}

void ZqBaseModelObjectOwnShape::unpackAttributes(const MessagePackMap& map)
{
    ZqModelObjectAsset::unpackAttributes(map);
    std::vector<CCPoint> points;
    if (map.getPointArray("points", points)) {
        m_ownShape->removeAllPoints();
        for (std::size_t i = 0; i < points.size() && i < static_cast<std::size_t>(ZqModelPolygon::kMaxVertices); ++i)
            m_ownShape->addPoint(points[i], true);
    }
    float vector[2] = {0.0f, 0.0f};
    if (map.getFloats("oneWayCollisionVector", vector, 2))
        m_ownShape->setOneWayCollisionVector(CCPoint(vector[0], vector[1]));
}

CCSize ZqBaseModelObjectOwnShape::contentSize(float /*time*/) const
{
    return CCSize(kDefaultSide, kDefaultSide);
}

namespace {

void startEmpty(ZqAttributeFloat& attribute)
{
    attribute.setAllowEmpty(true);
    attribute.setEmpty(true);
}

void startEmpty(ZqAttributePoint& attribute)
{
    attribute.setEmptyAllowed(true, true);
    attribute.setEmpty(true, true);
}

} // namespace

ZqBaseModelObjectLogic::ZqBaseModelObjectLogic(const std::string& name)
    : ZqModelObjectAsset(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_LOGIC_ATTRIBUTES)
    startEmpty(*m_positionModifier);
    startEmpty(*m_rotationModifier);
    startEmpty(*m_scaleModifier);
    startEmpty(*m_linearVelocityModifier);
    startEmpty(*m_angularVelocityModifier);
}

ZqBaseModelObjectLogic::ZqBaseModelObjectLogic(const ZqBaseModelObjectLogic& source)
    : ZqModelObjectAsset(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_LOGIC_ATTRIBUTES)
}

int ZqBaseModelObjectLogic::affectedAsset() const
{
    std::istringstream stream(m_affectedAsset->value());
    int id = 0;
    return stream >> id ? id : 0;
}

ZqModelObjectGatekeeper::ZqModelObjectGatekeeper(const std::string& name)
    : ZqBaseModelObjectOwnShape(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_GATEKEEPER_ATTRIBUTES)
}

ZqModelObjectGatekeeper::ZqModelObjectGatekeeper(const ZqModelObjectGatekeeper& source)
    : ZqBaseModelObjectOwnShape(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_GATEKEEPER_ATTRIBUTES)
}

ZqModelObjectTeleport::ZqModelObjectTeleport(const std::string& name)
    : ZqBaseModelObjectOwnShape(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_TELEPORT_ATTRIBUTES)
}

ZqModelObjectTeleport::ZqModelObjectTeleport(const ZqModelObjectTeleport& source)
    : ZqBaseModelObjectOwnShape(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_TELEPORT_ATTRIBUTES)
}

ZqModelObjectScreenJump::ZqModelObjectScreenJump(const std::string& name)
    : ZqBaseModelObjectOwnShape(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_SCREEN_JUMP_ATTRIBUTES)
}

ZqModelObjectScreenJump::ZqModelObjectScreenJump(const ZqModelObjectScreenJump& source)
    : ZqBaseModelObjectOwnShape(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_SCREEN_JUMP_ATTRIBUTES)
}
