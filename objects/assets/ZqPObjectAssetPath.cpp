#include "objects/assets/ZqPObjectAssetPath.h"

#include "model/objects/ZqModelObjectsEffects.h"
#include "model/scene/ZqModelAssets.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

using namespace cocos2d;

namespace {

// A carried object has reached its target this near (points); beyond this share of the
// search radius it is let go while the leash holds.
constexpr float kReachDistance = 20.0f;
constexpr float kLeashShare = 1.1f;
// The facing turns at this many times the angle still to turn, a second.
constexpr float kTurnRate = 10.0f;

} // namespace

ZqPObjectAssetPath::ZqPObjectAssetPath(const std::shared_ptr<ZqModelObjectPath>& model)
    : ZqPObjectAsset(model)
    , m_objectAsset(model->objectAssetId())
{
    setObjectType(kTypeLogic);
    const std::string& mode = model->playMode();
    m_playMode = mode == "kPlayModeLoop" ? kPlayLoop : mode == "kPlayModePingPong" ? kPlayPingPong : kPlaySingle;
    const std::string& affected = model->affectedAsset();
    m_affected = affected == "kCharacter" ? kAffectCharacters : affected == "kAssets" ? kAffectAssets : kAffectAll;
    setMovementActive(false);
}

ZqPObjectAssetPath::~ZqPObjectAssetPath()
{
    // Carried objects may outlive the path: their removal must not call back into it.
    letGoOfAll();
}

const ZqModelObjectPath& ZqPObjectAssetPath::pathModel() const
{
    return static_cast<const ZqModelObjectPath&>(*model());
}

void ZqPObjectAssetPath::update(float)
{
    if (!referenceNode() || !isMovementActive())
        return;
    scanForObjects();
    moveCarriedObjects();
}

void ZqPObjectAssetPath::cleanup()
{
    letGoOfAll();
    ZqPObjectAsset::cleanup();
}

void ZqPObjectAssetPath::setState(int newState)
{
    ZqPObjectAsset::setState(newState);
    if (newState == kStateDestroyed)
        letGoOfAll();
}

CCRect ZqPObjectAssetPath::boundingRect() const
{
    const CCPoint& position = getPosition();
    CCRect bounds(position.x - 20.0f, position.y - 20.0f, 40.0f, 40.0f);
    for (const CCPoint& point : pathModel().points())
        bounds = bounds.united(CCRect(position.x + point.x + 5.0f, position.y + point.y + 5.0f, 10.0f, 10.0f));
    return bounds;
}

CCPoint ZqPObjectAssetPath::pointPosition(int index) const
{
    const std::vector<CCPoint>& points = pathModel().points();
    if (index < 0 || static_cast<std::size_t>(index) >= points.size())
        return getPosition();
    return points[static_cast<std::size_t>(index)] + getPosition();
}

std::vector<ZqPObjectAsset*> ZqPObjectAssetPath::carriedObjects() const
{
    std::vector<ZqPObjectAsset*> objects;
    for (const Carried& entry : m_carried)
        objects.push_back(entry.object);
    return objects;
}

bool ZqPObjectAssetPath::qualifies(const ZqPObjectAsset& object) const
{
    switch (m_affected) {
    case kAffectCharacters:
        return object.objectType() & kTypeCharacter;
    case kAffectAssets: {
        if (!(object.objectType() & kTypeUnit))
            return false;
        if (m_objectAsset < 0)
            return true;
        const auto placed = std::dynamic_pointer_cast<ZqModelObjectAsset>(object.model());
        const std::shared_ptr<ZqModelAsset> asset = placed ? placed->asset() : nullptr;
        return asset && asset->id() == static_cast<unsigned>(m_objectAsset);
    }
    case kAffectAll:
        break;
    }
    return true;
}

void ZqPObjectAssetPath::scanForObjects()
{
    const float radius = pathModel().searchRadius();
    for (CCObject* child : *referenceNode()->getChildren()) {
        ZqPObjectAsset* object = dynamic_cast<ZqPObjectAsset*>(child);
        if (!object || object == this || !qualifies(*object) || object->state() >= kStateDestroyed)
            continue;
        if (ccpDistance(object->getPosition(), getPosition()) <= radius)
            attachObject(object);
    }
}

void ZqPObjectAssetPath::attachObject(ZqPObjectAsset* object)
{
    b2Body* body = object->getBody();
    if ((object->objectType() & kTypeCarried) || !body)
        return;
    body->SetGravityScale(0.0f);
    object->addEventSubscription(kEventRemoved, this, zq_object_event_selector(ZqPObjectAssetPath::removeCarried));
    object->setObjectType(object->objectType() | kTypeCarried);
    object->setMovementActive(false);
    m_carried.push_back(Carried{object, 0, getPosition(), 1});
}

void ZqPObjectAssetPath::moveCarriedObjects()
{
    std::vector<ZqPObjectAsset*> released;
    for (Carried& entry : m_carried) {
        if (entry.object->state() != kStateDestroyed && moveCarried(entry))
            released.push_back(entry.object);
    }
    for (ZqPObjectAsset* object : released)
        letGo(object);
}

bool ZqPObjectAssetPath::moveCarried(Carried& entry)
{
    const ZqModelObjectPath& model = pathModel();
    ZqPObjectAsset* object = entry.object;
    b2Body* body = object->getBody();
    if (!body)
        return true;
    CCPoint direction = entry.target - object->getPosition();
    if (direction.getLength() >= FLT_EPSILON)
        direction = direction.normalize();
    const float attraction = model.attractionForce() / 100.0f;
    const CCPoint steering = direction * (model.speed() * attraction);
    const b2Vec2 velocity = (1.0f - attraction) * body->GetLinearVelocity() + b2Vec2(steering.x, steering.y);
    body->SetLinearVelocity(velocity);
    const bool flip = model.imageTransition() == "kFlip";
    if (model.imageDirection()) {
        CCPoint facing(std::cos(body->GetAngle()), std::sin(body->GetAngle()));
        if (entry.direction < 0 && flip)
            facing = -facing;
        body->SetAngularVelocity(kTurnRate * facing.getAngle(steering));
    }
    bool releasing = false;
    const float distance = ccpDistance(entry.target, object->getPosition());
    if (distance > kLeashShare * model.searchRadius() && m_leash)
        releasing = true;
    if (distance >= kReachDistance)
        return releasing;
    m_leash = false;
    const int count = static_cast<int>(model.points().size());
    const bool atEnd = entry.direction > 0 ? entry.next >= 1 && entry.next >= count : entry.next < 0;
    if (!atEnd) {
        if (entry.direction > 0) {
            entry.target = pointPosition(entry.next);
            ++entry.next;
        } else {
            --entry.next;
            entry.target = pointPosition(entry.next);
        }
        return releasing;
    }
    switch (m_playMode) {
    case kPlaySingle:
        if (!model.keepVelocity())
            body->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
        return true;
    case kPlayLoop: {
        entry.next = 0;
        entry.target = pointPosition(0);
        const CCPoint& start = getPosition();
        body->SetTransform(b2Vec2(start.x * zqphysics::kMetresPerPoint, start.y * zqphysics::kMetresPerPoint),
                           body->GetAngle());
        break;
    }
    case kPlayPingPong:
        entry.direction = -entry.direction;
        if (model.imageDirection() && flip)
            object->setScaleX(-object->getScaleX());
        break;
    }
    return releasing;
}

void ZqPObjectAssetPath::letGo(ZqPObjectAsset* object)
{
    const auto found = findCarried(object);
    if (found == m_carried.end())
        return;
    m_carried.erase(found);
    object->setObjectType(object->objectType() & ~kTypeCarried);
    object->setMovementActive(true);
    if (b2Body* body = object->getBody())
        body->SetGravityScale(1.0f);
    object->removeEventSubscription(this);
}

void ZqPObjectAssetPath::letGoOfAll()
{
    while (!m_carried.empty())
        letGo(m_carried.front().object);
}

void ZqPObjectAssetPath::removeCarried(ZqPObject* object, ZqPObject*)
{
    const auto found = findCarried(object);
    if (found != m_carried.end())
        m_carried.erase(found);
}

std::vector<ZqPObjectAssetPath::Carried>::iterator ZqPObjectAssetPath::findCarried(const ZqPObject* object)
{
    return std::find_if(m_carried.begin(), m_carried.end(), [object](const Carried& entry) { return entry.object == object; });
}
