// Sensor zones: teleports, gatekeepers and screen jumps.
#include "objects/assets/ZqPObjectAssetTriggers.h"

#include "common/ZqLog.h"
#include "model/ZqStartMode.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "objects/ZqGameField.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"

using namespace cocos2d;

ZqPObjectAssetTrigger::ZqPObjectAssetTrigger(const std::shared_ptr<ZqModel>& model, int type)
    : ZqPObjectAsset(model)
{
    setCollisionKind(1);
    setObjectType(type);
}

void ZqPObjectAssetTrigger::createBody(ZqPhysicsWorld* world, bool lazy)
{
    ZqPObjectAsset::createBody(world, lazy);
    b2Body* body = getBody();
    if (!body)
        return;
    body->SetType(b2_dynamicBody);
    if (b2Fixture* fixture = body->GetFixtureList())
        fixture->SetSensor(true);
    body->SetGravityScale(0.0f);
}

ZqPObjectAssetTeleport::ZqPObjectAssetTeleport(const std::shared_ptr<ZqModelObjectTeleport>& model)
    : ZqPObjectAssetTrigger(model, kTypeTeleport)
{
}

ZqPObjectAssetTeleport::~ZqPObjectAssetTeleport()
{
    dropCarried();
    dropArrival();
}

const ZqModelObjectTeleport& ZqPObjectAssetTeleport::teleportModel() const
{
    return static_cast<const ZqModelObjectTeleport&>(*model());
}

float ZqPObjectAssetTeleport::groupId() const
{
    return teleportModel().groupId();
}

void ZqPObjectAssetTeleport::beginContact(ZqPObject* other, b2Contact*, bool)
{
    if (!isMovementActive() || teleportModel().isExitOnly() || state() == kStateMoving || state() == kStateDestroyed)
        return;
    ZqPObjectAsset* object = dynamic_cast<ZqPObjectAsset*>(other);
    if (!object || !(object->objectType() & kTypeCharacter) || (object->objectType() & kTypeSpawnedCopy)
        || object->state() >= kStateDestroyed)
        return;
    dropCarried();
    m_carried = object;
    object->addEventSubscription(kEventRemoved, this, zq_object_event_selector(ZqPObjectAssetTeleport::onCarriedRemoved));
}

void ZqPObjectAssetTeleport::update(float)
{
    if (m_arrival && !overlaps(*m_arrival)) {
        dropArrival();
        setMovementActive(true);
    }
    if (m_carried)
        setState(kStateMoving);
}

void ZqPObjectAssetTeleport::setState(int newState)
{
    ZqPObjectAsset::setState(newState);
    if (state() == kStateRemoved) {
        dropCarried();
        return;
    }
    // Without a carried object a search would only switch its destinations off.
    ZqGameField& field = zqCurrentField();
    if (newState != kStateMoving || !m_carried || !field.camera())
        return;
    const ZqModelObjectTeleport& model = teleportModel();
    int requests = 0;
    for (ZqPObjectAssetTeleport* destination : field.findTeleports(groupId())) {
        if (destination == this || !(model.searchRadius() > ccpDistance(getPosition(), destination->getPosition())))
            continue;
        field.queueTeleport(m_carried, destination);
        destination->setMovementActive(false);
        ++requests;
    }
    if (requests == 0)
        return;
    // Once sent, the object is dropped: kept, it would be sent again at every update.
    ZqPObjectAsset* sent = m_carried;
    dropCarried();
    if (model.deleteInputObject())
        sent->setState(kStateRemoved);
    setMovementActive(true);
    ZqPObjectAsset::setState(kStateNormal);
    if (model.isSingleUse())
        setState(kStateRemoved);
}

void ZqPObjectAssetTeleport::receive(ZqPObjectAsset* object)
{
    if (!object || object == m_arrival)
        return;
    dropArrival();
    m_arrival = object;
    object->addEventSubscription(kEventRemoved, this, zq_object_event_selector(ZqPObjectAssetTeleport::onArrivalRemoved));
}

void ZqPObjectAssetTeleport::onCarriedRemoved(ZqPObject*, ZqPObject*)
{
    m_carried = nullptr;
    setMovementActive(true);
    ZqPObjectAsset::setState(kStateNormal);
}

void ZqPObjectAssetTeleport::onArrivalRemoved(ZqPObject*, ZqPObject*)
{
    m_arrival = nullptr;
    setMovementActive(true);
}

void ZqPObjectAssetTeleport::dropCarried()
{
    if (!m_carried)
        return;
    m_carried->removeEventSubscription(this);
    m_carried = nullptr;
}

void ZqPObjectAssetTeleport::dropArrival()
{
    if (!m_arrival)
        return;
    m_arrival->removeEventSubscription(this);
    m_arrival = nullptr;
}

bool ZqPObjectAssetTeleport::overlaps(const ZqPObjectAsset& object) const
{
    // Tested on the shapes, not on Box2D's contacts: a contact with a body that has just
    // been moved here does not touch until the step after next.
    const b2Body* own = getBody();
    const b2Body* other = object.getBody();
    if (!own || !other)
        return false;
    for (const b2Fixture* a = own->GetFixtureList(); a; a = a->GetNext()) {
        for (const b2Fixture* b = other->GetFixtureList(); b; b = b->GetNext()) {
            if (b2TestOverlap(a->GetShape(), 0, b->GetShape(), 0, own->GetTransform(), other->GetTransform()))
                return true;
        }
    }
    return false;
}

ZqPObjectAssetGatekeeper::ZqPObjectAssetGatekeeper(const std::shared_ptr<ZqModelObjectGatekeeper>& model)
    : ZqPObjectAssetTrigger(model, kTypeLogic)
{
}

void ZqPObjectAssetGatekeeper::beginContact(ZqPObject* other, b2Contact*, bool)
{
    debugLog("gatekeeper begin contact");
    if (!other || !(other->objectType() & kTypeCharacter))
        return;
    ++m_passed;
    if (static_cast<float>(m_passed) > static_cast<const ZqModelObjectGatekeeper&>(*model()).passedAmount())
        other->requestState(kStateRemoved);
}

ZqPObjectAssetScreenJump::ZqPObjectAssetScreenJump(const std::shared_ptr<ZqModelObjectScreenJump>& model)
    : ZqPObjectAssetTrigger(model, kTypeLogic)
{
}

void ZqPObjectAssetScreenJump::beginContact(ZqPObject* other, b2Contact*, bool)
{
    const ZqPObjectAssetCharacter* character = dynamic_cast<const ZqPObjectAssetCharacter*>(other);
    if (character && character->state() < kStateDestroyed)
        requestState(kStateMoving);
}

void ZqPObjectAssetScreenJump::setState(int newState)
{
    ZqPObjectAsset::setState(newState);
    if (newState != kStateMoving)
        return;
    const auto& jump = static_cast<const ZqModelObjectScreenJump&>(*model());
    zqCurrentField().requestScreenJump(jump.name(), jump.pauseCurrentWorld(), zqStartOf(jump.function()).jump, 1);
    requestState(kStateNormal);
}
