#include "objects/assets/ZqPObjectAssetCharacter.h"

#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelShapes.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/GameplayParameters.h"

#include <algorithm>
#include <cmath>

using namespace cocos2d;

namespace {

b2Vec2 toVec(const CCPoint& p)
{
    return b2Vec2(p.x, p.y);
}

// The closest fixture below the feet that can be stood on: sensors, fixtures of no
// object, the character itself and objects destroyed by collisions are looked through.
class ZqPObjectAssetCharacterRaycastCallback : public b2RayCastCallback {
public:
    explicit ZqPObjectAssetCharacterRaycastCallback(ZqPObject* skip) : m_skip(skip) {}

    float ReportFixture(b2Fixture* fixture, const b2Vec2&, const b2Vec2&, float fraction) override
    {
        if (fixture->IsSensor())
            return -1.0f;
        auto* object = dynamic_cast<ZqPObjectAsset*>(zqObjectOf(fixture));
        if (!object || object == m_skip)
            return -1.0f;
        if (object->destroyType() == ZqPObjectAsset::kDestroyCollision
            || object->destroyType() == ZqPObjectAsset::kDestroyAllCollision)
            return -1.0f;
        m_found = object;
        return fraction;
    }

    ZqPObjectAsset* found() const { return m_found; }

private:
    ZqPObject* m_skip;
    ZqPObjectAsset* m_found = nullptr;
};

} // namespace

ZqPObjectAssetCharacter::ZqPObjectAssetCharacter(const std::shared_ptr<ZqModelObjectAssetCharacter>& model)
    : ZqPObjectAsset(model)
{
    wakeUp();
    setCollisionKind(1);
    setDestroyType(kDestroyEnemyCollision);
    setObjectType(kTypeCharacter);
    setLinearMovement(false);
    std::shared_ptr<ZqModelAssetCharacter> asset = characterAsset();
    if (asset)
        GameplayParameters::shared()->loadFromCharacter(
            asset->firstChildOfClass<ZqModelComponentCharacterGameplaySettings>());
    buildAnimations();
    m_lastBounceForce = GameplayParameters::shared()->bounceForce();
    if (asset && asset->shootSound())
        m_shootSound = ZqSoundHandle(asset->shootSound(), ZqSound::kTagField);
}

std::shared_ptr<ZqModelObjectAssetCharacter> ZqPObjectAssetCharacter::characterModel() const
{
    return modelCast<ZqModelObjectAssetCharacter>(model());
}

std::shared_ptr<ZqModelAssetCharacter> ZqPObjectAssetCharacter::characterAsset() const
{
    std::shared_ptr<ZqModelObjectAssetCharacter> model = characterModel();
    return model ? model->assetCharacter() : nullptr;
}

std::vector<ZqPObjectAssetCharacter*> ZqPObjectAssetCharacter::registeredCharacters()
{
    std::vector<ZqPObjectAssetCharacter*> result;
    for (ZqInputCharacter* character : ZqPInputController::shared()->characterList()) {
        if (auto* typed = dynamic_cast<ZqPObjectAssetCharacter*>(character))
            result.push_back(typed);
    }
    return result;
}

bool ZqPObjectAssetCharacter::usesDirectMovement() const
{
    return GameplayParameters::shared()->directMovement();
}

void ZqPObjectAssetCharacter::createBody(ZqPhysicsWorld* world, bool lazy)
{
    ZqPObjectAsset::createBody(world, lazy);
    b2Body* body = getBody();
    if (!body)
        return;
    body->SetType(b2_dynamicBody);
    if (b2Fixture* fixture = body->GetFixtureList()) {
        fixture->SetFilterData(characterFilter());
        fixture->SetSensor(false);
    }
    body->SetFixedRotation(GameplayParameters::shared()->fixedRotation());
    m_directPosition = getPosition();
    if (usesDirectMovement() && world && m_anchorBody.create(*world, b2BodyDef(), nullptr))
        attachMouseJoint(*world, body);
    buildGun(world);
}

void ZqPObjectAssetCharacter::attachMouseJoint(ZqPhysicsWorld& world, b2Body* body)
{
    b2MouseJointDef joint;
    joint.bodyA = m_anchorBody.get();
    joint.bodyB = body;
    joint.collideConnected = false;
    joint.target = toVec(m_directPosition * zqphysics::kMetresPerPoint);
    joint.maxForce = 10000.0f;
    b2LinearStiffness(joint.stiffness, joint.damping, 10.0f, 1.0f, joint.bodyA, joint.bodyB);
    m_mouseJoint = static_cast<b2MouseJoint*>(world.box2d().CreateJoint(&joint));
}

void ZqPObjectAssetCharacter::jump()
{
    GameplayParameters* parameters = GameplayParameters::shared();
    if (parameters->upForceFromGround() && !(m_controlBits & kOnGround) && m_jumpCount == 0)
        return;
    if (parameters->upForceCounter() > 0.0f && static_cast<float>(m_jumpCount) >= parameters->upForceCounter())
        return;
    if (parameters->upForce().getLength() == 0.0f)
        return;
    ++m_jumpCount;
    m_controlBits |= kJumpHeld;
    m_jumpTimer = 0.0f;
    if (std::shared_ptr<ZqModelAssetCharacter> asset = characterAsset())
        ZqSoundRegistry::shared().playOnce(asset->jumpSound(), ZqSound::kTagInterface);
    if (isMovementActive())
        setState(kStateJumping);
    const CCPoint& bounce = parameters->bounceForce();
    if (bounce.x != 0.0f && bounce.y != 0.0f)
        m_controlBits &= ~kOnGround;
}

void ZqPObjectAssetCharacter::releaseJump()
{
    m_controlBits &= ~kJumpHeld;
}

void ZqPObjectAssetCharacter::setShooting(bool shooting)
{
    if (shooting) {
        m_controlBits |= kShooting;
        setState(kStateShooting);
    } else {
        m_controlBits &= ~kShooting;
        setState(kStateNormal);
    }
}

void ZqPObjectAssetCharacter::applyJoystick(float x, float y)
{
    const CCPoint& speed = GameplayParameters::shared()->moveSpeed();
    if (usesDirectMovement()) {
        m_directPosition = CCPoint(m_directPosition.x + speed.x * x, m_directPosition.y + speed.y * y);
        if (x == 0.0f && y == 0.0f) {
            m_controlBits &= ~kMoving;
            setState(kStateNormal);
        } else {
            m_controlBits |= kMoving;
            setState(kStateMoving);
        }
        return;
    }
    setMoveDirection(speed.x * x + m_analog.x, speed.y * y + m_analog.y);
}

void ZqPObjectAssetCharacter::setAxisX(float value)
{
    // A stick let go while the movement was off (a slide, a teleport, a path) would
    // otherwise push on once it is back on: the centre always lands.
    if (isMovementActive() || value == 0.0f)
        m_analog.x = value;
}

void ZqPObjectAssetCharacter::setAxisY(float value)
{
    if (isMovementActive() || value == 0.0f)
        m_analog.y = value;
}

void ZqPObjectAssetCharacter::setBodyVelocity(float x, float y)
{
    if (usesDirectMovement()) {
        applyJoystick(x, y);
        return;
    }
    if (b2Body* body = getBody())
        body->SetLinearVelocity(b2Vec2(x, y));
}

void ZqPObjectAssetCharacter::teleportTo(float x, float y)
{
    b2Body* body = getBody();
    if (!body || body->GetWorld()->IsLocked())
        return;
    b2Vec2 target(x * zqphysics::kMetresPerPoint, y * zqphysics::kMetresPerPoint);
    b2Vec2 offset = target - body->GetPosition();
    body->SetTransform(target, body->GetAngle());
    for (b2JointEdge* edge = body->GetJointList(); edge; edge = edge->next) {
        for (b2Body* end : {edge->joint->GetBodyA(), edge->joint->GetBodyB()}) {
            if (end != body)
                end->SetTransform(end->GetPosition() + offset, end->GetAngle());
        }
    }
}

void ZqPObjectAssetCharacter::setMovementActive(bool active)
{
    ZqPObjectAsset::setMovementActive(active);
    if (!usesDirectMovement() || !m_mouseJoint)
        return;
    if (active) {
        m_directPosition = getPosition();
        m_mouseJoint->SetMaxForce(10000.0f);
    } else {
        m_mouseJoint->SetMaxForce(0.0f);
    }
}

b2AABB ZqPObjectAssetCharacter::fixtureBounds() const
{
    b2AABB box;
    box.lowerBound.SetZero();
    box.upperBound.SetZero();
    b2Body* body = getBody();
    if (!body || !body->IsEnabled() || !body->GetFixtureList())
        return box;
    box = body->GetFixtureList()->GetAABB(0);
    if (m_mouseJoint) {
        // Where the joint pulls the body: the box keeps its offsets from the centre of mass.
        b2Vec2 shift = m_mouseJoint->GetTarget() - body->GetWorldCenter();
        box.lowerBound += shift;
        box.upperBound += shift;
    }
    return box;
}

bool ZqPObjectAssetCharacter::castsShadow() const
{
    if (state() == kStateDestroyed || state() == kStateRemoved)
        return false;
    std::shared_ptr<ZqModelAssetCharacter> asset = characterAsset();
    return asset && asset->isCastShadow();
}

float ZqPObjectAssetCharacter::powerupStrength() const
{
    return m_activePowerups.empty() ? 0.0f : 100.0f;
}

void ZqPObjectAssetCharacter::update(float dt)
{
    GameplayParameters* parameters = GameplayParameters::shared();
    // A fixture swap asked for during the step (the asset's update would do it).
    m_body.applyPending();
    if (b2Body* body = getBody()) {
        setPosition(CCPoint(body->GetPosition().x, body->GetPosition().y) * zqphysics::kPointsPerMetre);
        setRotation(body->GetAngle() * zqphysics::kBodyAngleToDegrees);
    }
    // The runtime object's update only: the character moves its body itself.
    ZqPObject::update(dt);
    b2Body* body = getBody();
    m_velocityAdd = CCPoint();

    if (m_controlBits & kJumpHeld) {
        if (body)
            body->SetLinearVelocity(b2Vec2(body->GetLinearVelocity().x, parameters->upForce().y));
        m_velocityAdd = m_velocityAdd + parameters->upForce();
        m_jumpTimer += dt;
        if (m_jumpTimer >= parameters->upForceDuration())
            m_controlBits &= ~kJumpHeld;
    }
    if (m_controlBits & kBouncePending) {
        if (body)
            body->SetLinearVelocity(toVec(parameters->bounceForce()));
        m_controlBits &= ~(kBouncePending | kJumpHeld);
    }
    if (!parameters->directMovement())
        groundTest();
    if (body) {
        updateRotation(body);
        if (parameters->directMovement())
            updateDirectMovement(body, dt);
        else
            updateBodyMovement(body);
    }
    if (m_defeatFallPending) {
        m_defeatFallPending = false;
        if (body)
            startDefeatFall(body);
    }
    if (isDestroyRequested()) {
        clearDestroyRequest();
        setState(kStateDestroyed);
    }
    const CCPoint& bounce = parameters->bounceForce();
    if (bounce.x != m_lastBounceForce.x || bounce.y != m_lastBounceForce.y) {
        m_lastBounceForce = bounce;
        m_controlBits &= ~kOnGround;
    }
    body = getBody();
    if (body && body->IsFixedRotation() != parameters->fixedRotation()) {
        body->SetFixedRotation(parameters->fixedRotation());
        if (parameters->fixedRotation())
            body->SetTransform(body->GetPosition(),
                               characterModel()->rotation(0.0f, 0) * zqphysics::kDegreesToBodyAngle);
    }
}

void ZqPObjectAssetCharacter::updateRotation(b2Body* body)
{
    GameplayParameters* parameters = GameplayParameters::shared();
    float omega = body->GetAngularVelocity();
    if (m_controlBits & kRotateLeft) {
        if (omega > -5.0f)
            omega += parameters->leftLeanForce() * m_rotationFactor;
    }
    if (m_controlBits & kRotateRight) {
        if (omega < 5.0f)
            omega -= parameters->rightLeanForce() * m_rotationFactor;
    }
    if (!(m_controlBits & (kRotateLeft | kRotateRight)))
        omega *= parameters->rotationScale();
    body->SetAngularVelocity(omega);
}

void ZqPObjectAssetCharacter::updateDirectMovement(b2Body* body, float dt)
{
    GameplayParameters* parameters = GameplayParameters::shared();
    CCPoint d = parameters->gameplayDirection();
    if (parameters->forcedMovement()) {
        const CCPoint& speed = parameters->moveSpeed();
        float step = parameters->gameSpeed() * dt * 60.0f;
        m_directPosition = CCPoint(m_directPosition.x + m_analog.x * speed.x + d.x * step,
                                   m_directPosition.y + m_analog.y * speed.y + d.y * step);
    }
    if (m_mouseJoint)
        m_mouseJoint->SetTarget(toVec(m_directPosition * zqphysics::kMetresPerPoint));
    std::shared_ptr<ZqModelAssetCharacter> asset = characterAsset();
    if (asset && asset->isAutoTilt()) {
        // Leans into the horizontal movement, smoothed over a few frames.
        float c = std::clamp(body->GetLinearVelocity().x, -20.0f, 20.0f);
        m_autoTiltAngle = m_autoTiltAngle * 0.39999998f + (c / -20.0f * 1.5707963267948966f) * 0.6f;
        body->SetAngularVelocity((m_autoTiltAngle - body->GetAngle()) * 20.0f);
    }
}

void ZqPObjectAssetCharacter::updateBodyMovement(b2Body* body)
{
    GameplayParameters* parameters = GameplayParameters::shared();
    CCPoint d = parameters->gameplayDirection();
    if (parameters->gameSpeed() != 0.0f && parameters->forcedMovement())
        m_velocityAdd = m_velocityAdd + d * parameters->gameSpeed();
    const CCPoint& speed = parameters->moveSpeed();
    m_velocityAdd = m_velocityAdd + CCPoint(m_analog.x * speed.x * 1.25f, m_analog.y * speed.y * 1.25f);
    b2Vec2 v = body->GetLinearVelocity() + toVec(m_velocityAdd);
    if (speed.x > 0.0f)
        v.x = std::clamp(v.x, -speed.x, speed.x);
    if (speed.y > 0.0f)
        v.y = std::clamp(v.y, -speed.y, speed.y);
    if (!(m_controlBits & kOnGround)) {
        const CCPoint& drag = parameters->characterFriction();
        v = b2Vec2(v.x * drag.x, v.y * drag.y);
    }
    body->SetLinearVelocity(v);
}

void ZqPObjectAssetCharacter::startDefeatFall(b2Body* body)
{
    if (b2Fixture* fixture = body->GetFixtureList())
        fixture->SetSensor(true);
    std::shared_ptr<ZqModelAssetCharacter> asset = characterAsset();
    body->SetLinearVelocity(b2Vec2(0.0f, (asset ? asset->fallAttribute() : 0.0f) * zqphysics::kPointsPerMetre));
    for (b2JointEdge* edge = body->GetJointList(); edge; edge = edge->next) {
        if (b2Fixture* fixture = edge->other->GetFixtureList())
            fixture->SetSensor(true);
    }
}

void ZqPObjectAssetCharacter::groundTest()
{
    b2Body* body = getBody();
    if (!body || !body->IsEnabled())
        return;
    if (m_controlBits & kJumpHeld) {
        m_controlBits &= ~kOnGround;
        return;
    }
    b2Fixture* fixture = body->GetFixtureList();
    if (!fixture) // an enabled body has its proxies
        return;
    const b2AABB box = fixture->GetAABB(0);
    const float t = GameplayParameters::shared()->groundThreshold();
    const b2Vec2 rays[2][2] = {
        {b2Vec2(box.lowerBound.x, box.lowerBound.y + t), b2Vec2(box.upperBound.x, box.lowerBound.y - t)},
        {b2Vec2(box.upperBound.x, box.lowerBound.y + t), b2Vec2(box.lowerBound.x, box.lowerBound.y - t)},
    };
    ZqPObjectAssetCharacterRaycastCallback callback(this);
    bool cast = false;
    for (const auto& ray : rays) {
        // Box2D aborts on a ray of zero length (a zero-width box with threshold 0).
        if ((ray[1] - ray[0]).LengthSquared() <= 0.0f)
            continue;
        cast = true;
        body->GetWorld()->RayCast(&callback, ray[0], ray[1]);
        if (callback.found())
            break;
    }
    if (!cast)
        return;
    ZqPObjectAsset* found = callback.found();
    if (!found) {
        m_controlBits &= ~kOnGround;
        return;
    }
    found->beginContact(this, nullptr, false);
    if (!found->isContactSolid() || found->collisionKind() != 1 || found->objectKind() == 3)
        return;
    beginContact(found, nullptr, false);
    setOnGround(true);
}

void ZqPObjectAssetCharacter::setOnGround(bool onGround)
{
    if (!onGround) {
        m_controlBits &= ~kOnGround;
        return;
    }
    if (!(m_controlBits & kOnGround)) {
        m_jumpCount = 0;
        std::shared_ptr<ZqModelAssetCharacter> asset = characterAsset();
        if (state() != kStateDestroyed && asset)
            ZqSoundRegistry::shared().playOnce(asset->groundCollision(), ZqSound::kTagField);
        if (GameplayParameters::shared()->bounceForce().getLength() > 0.0f) {
            m_controlBits |= kBouncePending;
            m_controlBits &= ~kJumpHeld;
        }
        setState((m_controlBits & kMoving) ? kStateMoving : kStateNormal);
    }
    m_controlBits |= kOnGround;
}

void ZqPObjectAssetCharacter::setMoveDirection(float x, float y)
{
    if (objectType() & kTypeCarried) // carried by a path
        return;
    m_analog = CCPoint(x, y);
    if (m_analog.getLength() == 0.0f) {
        m_controlBits &= ~kMoving;
        setState(kStateNormal);
        return;
    }
    m_controlBits |= kMoving;
    setState(kStateMoving);
    if (!GameplayParameters::shared()->imageDirection())
        return;
    float s = getScaleX();
    if ((x > 0.1f && s < 0.0f) || (x < -0.1f && s > 0.0f)) {
        setScaleX(-s);
        rebuildMirroredFixture();
    }
}

void ZqPObjectAssetCharacter::rebuildMirroredFixture()
{
    if (!getBody())
        return;
    std::shared_ptr<ZqModelPolygon> shape = currentStateAnimationShape();
    if (!shape)
        shape = characterModel()->collisionShape();
    if (!shape)
        return;
    // Like every character fixture: the character filter, never a sensor.
    ZqFixtureDefinition definition = shapeFixture(*shape);
    if (definition.hasShape())
        m_body.replaceFixture(definition, this);
}

void ZqPObjectAssetCharacter::beginContact(ZqPObject* other, b2Contact* contact, bool fromListener)
{
    ZqPObjectAsset::beginContact(other, contact, fromListener);
    if (state() == kStateDestroyed || state() == kStateRemoved)
        return;
    auto* asset = dynamic_cast<ZqPObjectAsset*>(other);
    if (!asset)
        return;
    if (destroyType() != kDestroyNo || asset->destroyType() != kDestroyNo)
        applyContactDamage(this, asset);
}

void ZqPObjectAssetCharacter::preSolve(ZqPObject* other, b2Contact* contact, const b2Manifold*)
{
    if (!contact)
        return;
    const int characterUnit = kTypeCharacter | kTypeUnit;
    if (other && (((other->objectType() & characterUnit) == characterUnit) || other->isSpawnSource()))
        contact->SetEnabled(false);
    b2Fixture* a = contact->GetFixtureA();
    b2Fixture* b = contact->GetFixtureB();
    const b2Manifold* manifold = contact->GetManifold();
    if (manifold->pointCount == 0)
        return;
    m_worldManifold.Initialize(manifold, a->GetBody()->GetTransform(), a->GetShape()->m_radius,
                               b->GetBody()->GetTransform(), b->GetShape()->m_radius);
    // Full friction on level ground, none against a wall.
    contact->SetFriction(GameplayParameters::shared()->platformFriction() * (1.0f - std::fabs(m_worldManifold.normal.x)));
}
