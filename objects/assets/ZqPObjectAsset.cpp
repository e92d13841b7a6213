#include "objects/assets/ZqPObjectAsset.h"

#include "app/ZqPInputController.h"
#include "components/ZqComponent.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelShapes.h"
#include "objects/ZqPAnimationObject.h"
#include "model/GameplayParameters.h"
#include "objects/ZqDrawingFunctions.h"

#include <algorithm>
#include <cmath>

using namespace cocos2d;

namespace {

using zqphysics::kAngularUnit;
using zqphysics::kBodyAngleToDegrees;
using zqphysics::kDegreesToBodyAngle;
using zqphysics::kMetresPerPoint;
using zqphysics::kVelocityUnit;
constexpr float kDefaultDensity = 0.1f;
// How far point lies from centre along direction (a unit vector), measured on the line
// through centre; negative when it lies the other way.
float distanceAlong(const CCPoint& centre, const CCPoint& direction, const CCPoint& point)
{
    const CCPoint projected = projectPointOnLine(centre - direction * 10000.0f, centre + direction * 10000.0f, point);
    const CCPoint toProjection = projected - centre;
    const float distance = toProjection.getLength();
    return toProjection.normalize().fuzzyEquals(direction, 0.05f) ? distance : -distance;
}

} // namespace

ZqPObjectAsset::ZqPObjectAsset(const std::shared_ptr<ZqModel>& model)
    : ZqPObject(model)
    , m_parameters(GameplayParameters::shared())
{
    m_currentAnimation = m_stateAnimations.end();
    init();
    const std::shared_ptr<ZqBaseModelObject> object = modelKindCast<ZqModelObject>(model);
    if (object) {
        setPosition(object->position(0.0f, 0));
        setRotation(object->rotation(0.0f, 0));
        const CCPoint scale = object->scale(0.0f, 0);
        setScaleX(scale.x);
        setScaleY(scale.y);
    }
    const std::shared_ptr<ZqModelObjectAsset> placed = modelKindCast<ZqModelObjectAsset>(model);
    if (!placed)
        return;
    if (std::shared_ptr<ZqModelSound> sound = placed->idleSound())
        m_ownSound = ZqSoundHandle(std::move(sound), ZqSound::kTagField);
    if (const std::shared_ptr<ZqModelAsset> asset = placed->asset()) {
        for (const std::shared_ptr<ZqModelComponent>& componentModel : asset->childrenOfKind<ZqModelComponent>()) {
            if (ZqComponent* component = ZqComponent::createComponent(componentModel)) {
                component->setOwner(this);
                addComponent(component);
            }
        }
    }
}

ZqPObjectAsset::~ZqPObjectAsset()
{
    ZqPObjectAsset::setState(kStateRemoved);
    m_body.destroy();
    m_ownSound.reset();
    m_subscriptions.clear();
    m_adoptedNodes.clear();
    for (auto& entry : m_stateAnimations)
        CC_SAFE_RELEASE(entry.second.node);
    m_stateAnimations.clear();
}

void ZqPObjectAsset::createBody(ZqPhysicsWorld* world, bool lazy)
{
    if (!world || getScaleX() == 0.0f || getScaleY() == 0.0f)
        return;
    if (lazy && m_collisionKind == 0 && m_destroyType == kDestroyNo && m_velocity.getLength() == 0.0f &&
        m_angularSpeed == 0.0f && m_linearMovement && !isSpawnSource())
        return;
    if (world->isLocked()) {
        // Box2D aborts on a body made inside a step: the next update makes it.
        m_body.deferCreation(*world);
        m_pendingLazy = lazy;
        return;
    }
    m_body.clearDeferred();
    const std::shared_ptr<ZqBaseModelObject> object = modelKindCast<ZqModelObject>(model());
    const std::shared_ptr<ZqModelPolygon> shape = object ? object->collisionShape() : nullptr;
    if (!shape || shape->isEmpty())
        return;
    ZqFixtureDefinition fixture = shape->fixtureDef(getScaleX(), getScaleY());
    if (!fixture.hasShape())
        return;
    const CCAffineTransform transform = nodeToParentTransform();
    b2BodyDef bodyDef;
    bodyDef.type = b2_staticBody;
    bodyDef.position.Set(transform.tx * kMetresPerPoint, transform.ty * kMetresPerPoint);
    bodyDef.angle = getRotation() * kDegreesToBodyAngle;
    if (!std::isfinite(bodyDef.position.x) || !std::isfinite(bodyDef.position.y) || !std::isfinite(bodyDef.angle))
        return;
    fixture.def.density = kDefaultDensity;
    fixture.def.friction = m_parameters->friction();
    fixture.def.restitution = m_parameters->restitution();
    if (m_collisionKind == 0)
        fixture.def.isSensor = true;
    if (!m_body.create(*world, bodyDef, this))
        return;
    m_body.addFixture(fixture.def, this);
    m_body.get()->SetSleepingAllowed(false);
    m_body.get()->SetAwake(true);
}

void ZqPObjectAsset::update(float dt)
{
    if (ZqPhysicsWorld* world = m_body.deferredWorld(); world && !world->isLocked()) {
        m_body.clearDeferred();
        createBody(world, m_pendingLazy);
    }
    m_body.applyPending();
    ZqPObject::update(dt);
    updateSoundVolume(dt);
    b2Body* body = m_body.get();
    if (!body)
        return;
    if (!isWoken() && distanceAlongGameDirection() < wakeUpDistance())
        wakeUp();
    if (!m_stopped && m_sleepMode == 1 && m_travelled > sleepDistance())
        m_stopped = true;
    if (m_stopped) {
        body->SetLinearVelocity(b2Vec2(0.0f, 0.0f));
        body->SetAngularVelocity(0.0f);
    }
    if (!m_placed) {
        if (m_linearMovement && isWoken() && !m_stopped && isMovementActive()) {
            const CCPoint v = m_velocity.rotateByAngle(CCPointZero, getRotation() * kDegreesToBodyAngle);
            m_travelled += v.getLength() * dt * kVelocityUnit;
            const float scale = kMetresPerPoint * kVelocityUnit;
            body->SetLinearVelocity(b2Vec2(v.x * scale, v.y * scale));
            body->SetAngularVelocity(m_angularSpeed * kAngularUnit);
        } else {
            m_travelled += body->GetLinearVelocity().Length() / kMetresPerPoint * dt;
        }
        const b2Vec2& position = body->GetPosition();
        setPosition(CCPoint(position.x / kMetresPerPoint, position.y / kMetresPerPoint));
        setRotation(body->GetAngle() * kBodyAngleToDegrees);
    } else if (referenceNode()) {
        const CCAffineTransform t = CCAffineTransformConcat(
            nodeToWorldTransform(), CCAffineTransformInvert(referenceNode()->nodeToWorldTransform()));
        const b2Vec2 position(t.tx * kMetresPerPoint, t.ty * kMetresPerPoint);
        const float angle = std::atan2(t.b, t.a);
        if (position.IsValid() && std::isfinite(angle) && m_body.world() && !m_body.world()->isLocked())
            body->SetTransform(position, angle);
    }
    body->SetLinearVelocity(m_parameters->velocityScale() * body->GetLinearVelocity());
    if (m_destroyRequested) {
        m_destroyRequested = false;
        setState(kStateDestroyed);
    }
}

void ZqPObjectAsset::setVisible(bool visible)
{
    CCNode::setVisible(visible);
    if (m_currentAnimation == m_stateAnimations.end())
        return;
    CCNode* node = m_currentAnimation->second.node;
    if (node && node->isVisible() != visible)
        node->setVisible(visible);
}

void ZqPObjectAsset::setState(int state)
{
    ZqPObject::setState(state);
    if (state != kStateNormal && m_ownSound)
        m_ownSound->stop();
    if (state == kStateDestroyed && getChildrenCount() > 0) {
        // Children may change the child list as they die.
        CCArray* children = CCArray::createWithArray(getChildren());
        for (CCObject* child : *children) {
            if (ZqPObject* object = dynamic_cast<ZqPObject*>(child))
                object->setState(kStateDestroyed);
        }
    }
    if (state == kStateRemoved) {
        callSubscribers(kEventRemoved, nullptr);
        m_subscriptions.clear();
    }
}

void ZqPObjectAsset::beginContact(ZqPObject* other, b2Contact* contact, bool flag)
{
    callSubscribers(kEventCollision, other);
}

void ZqPObjectAsset::callSubscribers(int kind, ZqPObject* other)
{
    if (m_subscriptions.empty())
        return;
    // Handlers subscribe and unsubscribe: walk a copy and skip entries gone meanwhile.
    const std::vector<Subscription> subscriptions = m_subscriptions;
    for (const Subscription& subscription : subscriptions) {
        if (subscription.kind != kind || !subscription.target || !subscription.handler)
            continue;
        const bool present = std::any_of(m_subscriptions.begin(), m_subscriptions.end(), [&](const Subscription& s) {
            return s.serial == subscription.serial;
        });
        if (present)
            (subscription.target->*subscription.handler)(this, other);
    }
}

void ZqPObjectAsset::addEventSubscription(int kind, CCObject* target, ZqObjectEventHandler handler)
{
    m_subscriptions.push_back(Subscription{kind, target, handler, ++m_subscriptionSerial});
}

void ZqPObjectAsset::removeEventSubscription(CCObject* target)
{
    auto found = std::find_if(m_subscriptions.begin(), m_subscriptions.end(),
                              [target](const Subscription& s) { return s.target == target; });
    if (found != m_subscriptions.end())
        m_subscriptions.erase(found);
}

void ZqPObjectAsset::setMoveDirection(float x, float y)
{
    m_velocity = CCPoint(x, y) * m_velocity.getLength();
}

void ZqPObjectAsset::setButtonActivated(bool activated)
{
    m_buttonActivated = activated;
    if (m_resetTimerOnPress)
        m_activationTimer = 0.0f;
}

void ZqPObjectAsset::applyContactDamage(ZqPObjectAsset* attacker, ZqPObjectAsset* victim)
{
    if (!attacker || !victim || attacker->isSpawnSource() || victim->isSpawnSource() ||
        attacker->state() == kStateDestroyed)
        return;
    const std::shared_ptr<ZqModelObjectAsset> placed = modelKindCast<ZqModelObjectAsset>(attacker->model());
    const std::shared_ptr<ZqModelAsset> asset = placed ? placed->asset() : nullptr;
    if (!asset)
        return;
    int amount = 1;
    float delay = 0.0f;
    if (const std::shared_ptr<ZqModelComponentDamage> damage = asset->firstChildOfClass<ZqModelComponentDamage>()) {
        amount = damage->damage();
        delay = damage->damageDelay();
    } else if (modelKindCast<ZqModelAssetCharacter>(asset)) {
        amount = attacker->hasActivePowerup() ? 99 : 0;
    }
    const int victimType = victim->objectType();
    if (amount <= 0 || ((victimType & kTypeCharacter) && victim->hasActivePowerup()))
        return;
    bool hit = false;
    switch (attacker->destroyType()) {
    case kDestroyCollision:
        hit = (victimType & kTypeCharacter) || ((victimType & kTypeUnit) && victim->destroyType() == kDestroyEnemyCollision);
        break;
    case kDestroyEnemyCollision:
        hit = (victimType & kTypeUnit) && victim->destroyType() == kDestroyCollision;
        break;
    case kDestroyAllCollision:
        hit = (victimType & (kTypeUnit | kTypeCharacter)) != 0;
        break;
    default:
        break;
    }
    if (!hit)
        return;
    if (ZqComponent* health = victim->healthComponent())
        health->takeDamage(amount, delay);
    else
        victim->requestDestroy();
}

CCPoint ZqPObjectAsset::referencePosition() const
{
    CCNode* reference = referenceNode();
    CCNode* parent = getParent();
    if (!reference || !parent || parent == reference)
        return getPosition();
    return reference->convertToNodeSpace(parent->convertToWorldSpace(getPosition()));
}

CCRect ZqPObjectAsset::boundsAtReferencePosition(const CCRect& local) const
{
    const CCPoint position = referencePosition();
    return CCRect(local.origin.x + position.x, local.origin.y + position.y, local.size.width, local.size.height);
}

CCRect ZqPObjectAsset::centredBounds(const CCSize& size) const
{
    const float sx = std::fabs(getScaleX());
    const float sy = std::fabs(getScaleY());
    return CCRect(-size.width * 0.5f * sx, -size.height * 0.5f * sy, size.width * sx, size.height * sy);
}

float ZqPObjectAsset::distanceAlongGameDirection() const
{
    return distanceAlong(ZqPInputController::shared()->charactersCenter(), m_parameters->gameplayDirection(),
                         referencePosition());
}

float ZqPObjectAsset::distanceFromScreenCentre() const
{
    CCNode* reference = referenceNode();
    if (!reference)
        return 0.0f;
    const CCSize window = CCDirector::sharedDirector()->getWinSize();
    const CCPoint centre = CCPoint(window.width * 0.5f, window.height * 0.5f) - reference->getPosition();
    return distanceAlong(centre, m_parameters->gameplayDirection(), getPosition());
}

void ZqPObjectAsset::updateSoundVolume(float dt)
{
    ZqSound* sound = m_ownSound.get();
    if (!sound || !referenceNode())
        return;
    const float range = CCDirector::sharedDirector()->getWinSize().width * 0.5f + 300.0f;
    const float distance = std::fabs(distanceFromScreenCentre());
    float volume = distance > range ? 0.0f : 1.0f - distance / range;
    if (!ZqPInputController::shared()->hasActiveCharacters())
        volume = std::max(0.0f, sound->getVolume() - dt);
    if (sound->state() != ZqSound::kStopped && volume == 0.0f) {
        sound->stop();
        return;
    }
    if (sound->state() != ZqSound::kPlaying && volume > 0.0f && state() == kStateNormal)
        sound->play(true, false);
    if (sound->state() == ZqSound::kPlaying)
        sound->setVolume(volume);
}
