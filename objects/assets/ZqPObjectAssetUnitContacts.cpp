// A unit's contacts: damage, wake-up by touch, one-way shapes and the ground of characters
// jointed to a character's unit. All of it runs inside the physics step, so nothing here
// makes or destroys bodies.
#include "objects/assets/ZqPObjectAssetUnit.h"

#include "objects/assets/ZqPObjectAssetCharacter.h"

#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelShapes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kQuarterTurn = 1.570796f;
constexpr float kVectorEpsilon = 1.1920929e-7f;

std::shared_ptr<ZqModelPolygon> shapeOf(const ZqPObject* object)
{
    const std::shared_ptr<ZqBaseModelObject> placed = modelKindCast<ZqModelObject>(object->model());
    return placed ? placed->collisionShape() : nullptr;
}

int modelIdOf(const ZqPObject* object)
{
    return object->model() ? static_cast<int>(object->model()->id()) : 0;
}

// Every character whose body a joint ties to body stands on ground, or leaves it.
void groundJointedCharacters(b2Body* body, bool onGround)
{
    for (b2JointEdge* edge = body->GetJointList(); edge; edge = edge->next) {
        ZqPObject* jointed = zqObjectOf(edge->other);
        if (jointed && (jointed->objectType() & ZqPObject::kTypeCharacter)) {
            if (auto* character = dynamic_cast<ZqPObjectAssetCharacter*>(jointed))
                character->setOnGround(onGround);
        }
    }
}

} // namespace

void ZqPObjectAssetUnit::beginContact(ZqPObject* other, b2Contact* contact, bool flag)
{
    ZqPObjectAsset* asset = dynamic_cast<ZqPObjectAsset*>(other);
    if (!asset || !isVisible() || !other->isVisible() || other->state() == kStateDestroyed ||
        other->state() == kStateRemoved)
        return;
    ZqPObjectAsset::beginContact(other, contact, flag);
    if (destroyType() != kDestroyNo || asset->destroyType() != kDestroyNo)
        applyContactDamage(this, asset);
    b2Body* body = getBody();
    if ((other->objectType() & kTypeCharacter) && body && body->GetType() == b2_staticBody &&
        wakeUpMode() == kWakeByCollision)
        wakeUp();
    if (collisionKind() == 0 || !body)
        return;
    b2Vec2 normal(0.0f, 0.0f);
    if (contact) {
        // A sensor contact has no points and leaves the normal unset: it stays zero then,
        // and the one-way test falls back on the other object's velocity.
        b2WorldManifold manifold{};
        contact->GetWorldManifold(&manifold);
        if (contact->GetManifold()->pointCount > 0)
            normal = manifold.normal;
        if (contact->GetFixtureB()->GetBody() == body)
            normal = -normal;
        normal = b2MulT(body->GetTransform().q, normal);
    }
    if (flag) {
        m_contactSolid = isSolidFrom(other, normal);
        if (!m_contactSolid)
            m_passThrough.push_back(modelIdOf(other));
    }
    if (carriesCharactersOn(other))
        groundJointedCharacters(body, true);
}

bool ZqPObjectAssetUnit::carriesCharactersOn(const ZqPObject* other) const
{
    return (other->objectType() & kTypeUnit) && (objectType() & kTypeCharacter);
}

bool ZqPObjectAssetUnit::isSolidFrom(const ZqPObject* other, b2Vec2 normal) const
{
    const std::shared_ptr<ZqModelPolygon> own = shapeOf(this);
    if (!own || !shapeOf(other))
        return true;
    cocos2d::CCPoint vector = own->oneWayCollisionVector();
    if (!(vector.getLength() > 0.0f))
        return true;
    if (std::fabs(vector.x) <= kVectorEpsilon)
        vector.x = 0.0f;
    if (std::fabs(vector.y) <= kVectorEpsilon)
        vector.y = 0.0f;
    const float solidAngle = vector.getAngle();
    if (normal.x == 0.0f && normal.y == 0.0f) {
        const b2Body* body = getBody();
        const b2Body* otherBody = other->getBody();
        if (body && otherBody) {
            normal = -b2MulT(body->GetTransform().q, otherBody->GetLinearVelocity());
            normal.Normalize();
        }
    }
    // No wrap at +-pi: the solid side is the open half-turn around the vector's angle.
    const float angle = std::atan2(normal.y, normal.x);
    return solidAngle - kQuarterTurn < angle && angle < solidAngle + kQuarterTurn;
}

void ZqPObjectAssetUnit::endContact(ZqPObject* other, b2Contact* contact)
{
    m_contactSolid = true;
    if (contact)
        contact->SetEnabled(true);
    if (!other)
        return;
    const auto found = std::find(m_passThrough.begin(), m_passThrough.end(), modelIdOf(other));
    if (found != m_passThrough.end())
        m_passThrough.erase(found);
    if (collisionKind() != 0 && getBody() && carriesCharactersOn(other))
        groundJointedCharacters(getBody(), false);
}

void ZqPObjectAssetUnit::preSolve(ZqPObject* other, b2Contact* contact, const b2Manifold* oldManifold)
{
    if (!contact || !other)
        return;
    // Runs for every touching contact each step: the other's model is read only when some
    // object passes through.
    const bool passing = !m_passThrough.empty() &&
                         std::find(m_passThrough.begin(), m_passThrough.end(), modelIdOf(other)) != m_passThrough.end();
    if (passing || ((isPlaced() || isLinearMovement()) && other == getParent()))
        contact->SetEnabled(false);
}
