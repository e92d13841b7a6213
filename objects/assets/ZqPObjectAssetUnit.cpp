#include "objects/assets/ZqPObjectAssetUnit.h"

#include "ZqRandom.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "objects/ZqGameField.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/ZqPhysicsWorld.h"

#include <algorithm>
#include <cmath>

using namespace cocos2d;

namespace {

// A spread around 0: value x a draw in [-1, 1].
float spread(float value)
{
    return (2.0f * zqRandUnit() - 1.0f) * value;
}

float applyOperation(const std::string& operation, float value, float current)
{
    if (operation == "kAdd")
        return current + value;
    if (operation == "kMultiply")
        return current * value;
    if (operation == "kReplace")
        return value;
    return current;
}

int codeOf(const std::string& token, std::initializer_list<std::pair<const char*, int>> table)
{
    for (const auto& [name, code] : table) {
        if (token == name)
            return code;
    }
    return 0;
}

// The code of token in a names table indexed by code; 0 for a token it does not hold.
template <std::size_t N>
int codeOf(const std::string& token, const char* const (&names)[N])
{
    for (std::size_t code = 0; code < N; ++code) {
        if (token == names[code])
            return static_cast<int>(code);
    }
    return 0;
}

} // namespace

ZqPObjectAssetUnit::ZqPObjectAssetUnit(const std::shared_ptr<ZqModelObjectAssetUnit>& model)
    : ZqPObjectAsset(model)
{
    setObjectType(kTypeUnit);
    const std::shared_ptr<ZqModelAssetObstacle> asset = model->assetObstacle();
    if (asset) {
        if ((m_idle = makeAnimation(asset->idleAnimation())))
            addChild(m_idle, m_idle->getZOrder());
        if ((m_defeated = makeAnimation(asset->defeatedAnimation())))
            m_defeated->setFinishedCallback([this] { onDefeatedAnimationFinished(); });
    }
    // Draw order: angular first (linear units only), then y, then x.
    const bool linear = model->movementType() == "kMovementLinear";
    if (linear)
        setAngularSpeed(model->angularVelocity() + spread(model->angularVelocityVariance()));
    const CCPoint variance = model->linearVelocityVariance();
    const float ry = spread(variance.y);
    const float rx = spread(variance.x);
    setVelocity(model->linearVelocity().x + rx, model->linearVelocity().y + ry);
    setLinearMovement(linear);

    setObjectKind(codeOf(model->objectType(), {{"kPlatformObjectType", kKindPlatform},
                                               {"kDecorationObjectType", kKindDecoration},
                                               {"kEnemyObjectType", kKindEnemy}}));
    setCollisionKind(codeOf(model->collisionType(), {{"kNoCollision", 0}, {"kCharacterCollision", 1}}));
    setDestroyType(codeOf(model->destroyType(), kDestroyTypeNames));
    setWakeUpMode(codeOf(model->wakeUpType(), {{"kNoWakeup", kWakeByDistance},
                                               {"kTimeBasedWakeup", kWakeByOwnDistance},
                                               {"kCollisionBasedWakeup", kWakeByCollision}}));
    setSleepMode(codeOf(model->sleepType(), {{"kNoSleep", 0}, {"kDistanceBasedSleep", 1}}));
    if (asset && asset->wakeUpSound())
        m_wakeUpSound = ZqSoundHandle(asset->wakeUpSound(), ZqSound::kTagField);
    updateBoundingRect();
}

ZqPObjectAssetUnit::~ZqPObjectAssetUnit()
{
    if (ZqPInputController* input = ZqPInputController::existing(); input && isSpawnSource())
        input->unregisterActionObject(this);
    if (m_defeated)
        m_defeated->setFinishedCallback(nullptr);
    CC_SAFE_RELEASE(m_idle);
    CC_SAFE_RELEASE(m_defeated);
}

std::shared_ptr<ZqModelObjectAssetUnit> ZqPObjectAssetUnit::unitModel() const
{
    return modelCast<ZqModelObjectAssetUnit>(model());
}

ZqPAnimationObject* ZqPObjectAssetUnit::makeAnimation(const std::shared_ptr<ZqModelAnimation>& animation)
{
    if (!animation)
        return nullptr;
    ZqPAnimationObject* object = ZqPAnimationObject::create(animation, nullptr, true);
    if (!object)
        return nullptr;
    const std::shared_ptr<ZqModelObjectAssetUnit> unit = unitModel();
    object->setOpacityFactor(unit->opacity(0.0f, 0));
    object->setZOrder(unit->zDepth());
    object->retain();
    return object;
}

void ZqPObjectAssetUnit::onDefeatedAnimationFinished()
{
    if (state() == kStateDestroyed)
        setState(kStateRemoved);
}

void ZqPObjectAssetUnit::update(float dt)
{
    ZqPObjectAsset::update(dt);
    // The idle animation is a child too, so it advances twice a frame; games are tuned to it.
    if (state() == kStateNormal && m_idle)
        m_idle->update(dt);
    else if (state() == kStateDestroyed && m_defeated)
        m_defeated->update(dt);
    b2Body* body = getBody();
    if (m_startMotionPending) {
        m_startMotionPending = false;
        if (body)
            startMotion(body);
    }
    if (state() == kStateDestroyed && body && body->GetFixtureList())
        body->GetFixtureList()->SetSensor(true);
    if (isButtonActivated() && isSpawnSource() && isWoken())
        spawn();
    if (activationTimer() > 0.0f)
        setActivationTimer(activationTimer() - dt);
    applyPendingChanges();
    reset();
}

void ZqPObjectAssetUnit::startMotion(b2Body* body)
{
    if (isLinearMovement()) {
        if (destroyType() == kDestroyEnemyCollision || destroyType() == kDestroyAllCollision) {
            body->SetType(b2_dynamicBody);
            body->SetBullet(true);
        } else {
            body->SetType(b2_kinematicBody);
        }
        body->SetFixedRotation(true);
        body->SetGravityScale(0.0f);
        return;
    }
    body->SetType(b2_dynamicBody);
    const std::shared_ptr<ZqModelObjectAssetUnit> unit = unitModel();
    const CCPoint variance = unit->linearVelocityVariance();
    const float r1 = zqRandUnit();
    const float r2 = zqRandUnit();
    const CCPoint v = CCPoint(velocity().x + (2.0f * r2 - 1.0f) * variance.x,
                              velocity().y + (2.0f * r1 - 1.0f) * variance.y)
                          .rotateByAngle(CCPointZero, body->GetAngle());
    body->SetLinearVelocity(body->GetLinearVelocity() + b2Vec2(v.x, v.y));
    body->SetAngularVelocity(unit->angularVelocity() + spread(unit->angularVelocityVariance()));
}

void ZqPObjectAssetUnit::applyPendingChanges()
{
    // Every unit asks each frame; the operations' names are read only after a request.
    if (!m_changeRequested)
        return;
    m_changeRequested = false;
    if (m_changeX.operation == "kNone" && m_changeY.operation == "kNone" && m_changeRotation.operation == "kNone")
        return;
    const CCPoint position = getPosition();
    const float x = applyOperation(m_changeX.operation, m_changeX.value, position.x);
    const float y = applyOperation(m_changeY.operation, m_changeY.value, position.y);
    const float rotation = applyOperation(m_changeRotation.operation, m_changeRotation.value, getRotation());
    m_changeX = m_changeY = m_changeRotation = PendingChange();
    b2Body* body = getBody();
    const b2Vec2 target(x * zqphysics::kMetresPerPoint, y * zqphysics::kMetresPerPoint);
    const float angle = rotation * zqphysics::kDegreesToBodyAngle;
    // A logic object may pass anything: a non-finite target would poison the world.
    if (body && target.IsValid() && std::isfinite(angle))
        body->SetTransform(target, angle);
}

void ZqPObjectAssetUnit::changePositionX(float value, const std::string& operation)
{
    m_changeX = PendingChange{value, operation};
    m_changeRequested = true;
}

void ZqPObjectAssetUnit::changePositionY(float value, const std::string& operation)
{
    m_changeY = PendingChange{value, operation};
    m_changeRequested = true;
}

void ZqPObjectAssetUnit::changeRotation(float value, const std::string& operation)
{
    m_changeRotation = PendingChange{value, operation};
    m_changeRequested = true;
}

void ZqPObjectAssetUnit::wakeUp()
{
    if (state() == kStateRemoved || isWoken() || !getBody())
        return;
    ZqPObjectAsset::wakeUp();
    if (m_wakeUpSound && wakeUpMode() != kWakeByDistance)
        m_wakeUpSound->play(false, false);
    const std::string& movement = unitModel()->movementType();
    if ((movement == "kMovementPhysics" || movement == "kMovementLinear") && getBody()->GetType() == b2_staticBody &&
        !isSpawnSource())
        m_startMotionPending = true;
}

void ZqPObjectAssetUnit::spawn()
{
    if (activationTimer() > 0.0f)
        return;
    ZqGameField& field = zqRunningField();
    if (!field.world() || field.world()->isLocked())
        return;
    const std::shared_ptr<ZqModelObjectAssetUnit> unit = unitModel();
    setActivationTimer(unit->spawnRate());
    ZqPObject* copy = createAssetObject(model());
    if (!copy)
        return;
    copy->setObjectType(copy->objectType() | kTypeSpawnedCopy);
    copy->setSpawnSource(false);
    copy->setZOrder(isPlaced() ? getZOrder() : unit->zDepth());
    field.adoptObject(copy, this);
    copy->wakeUp();
}

void ZqPObjectAssetUnit::setState(int state)
{
    ZqPObjectAsset::setState(state);
    if (state == kStateDestroyed) {
        if (m_idle)
            m_idle->removeFromParent();
        if (m_defeated) {
            if (!m_defeated->getParent())
                addChild(m_defeated, m_defeated->getZOrder());
        } else {
            setState(kStateRemoved);
        }
        const std::shared_ptr<ZqModelAssetObstacle> asset = unitModel()->assetObstacle();
        if (asset && asset->deathSound())
            ZqSoundRegistry::shared().playOnce(asset->deathSound(), ZqSound::kTagField);
        setVisible(isVisible());
    } else if (state == kStateRemoved) {
        if (ZqPInputController* input = ZqPInputController::existing(); input && isSpawnSource())
            input->unregisterActionObject(this);
        if (m_defeated)
            m_defeated->removeFromParent();
        if (m_wakeUpSound)
            m_wakeUpSound->stop();
    }
}

void ZqPObjectAssetUnit::setVisible(bool visible)
{
    ZqPObjectAsset::setVisible(visible);
    if (!visible && (objectType() & kTypeSpawnedCopy)) {
        // A fired copy that left the visible area is done.
        if (state() != kStateRemoved)
            setState(kStateRemoved);
        return;
    }
    if (!visible) {
        for (ZqPAnimationObject* animation : {m_idle, m_defeated}) {
            if (animation && animation->isVisible())
                animation->setVisible(false);
        }
        return;
    }
    if (currentStateAnimation()) {
        for (ZqPAnimationObject* animation : {m_idle, m_defeated}) {
            if (animation)
                animation->setVisible(false);
        }
    } else if (state() == kStateDestroyed) {
        if (m_idle)
            m_idle->setVisible(false);
        if (m_defeated)
            m_defeated->setVisible(true);
    } else if (state() != kStateRemoved && !isSpawnSource() && m_idle) {
        m_idle->setVisible(true);
    }
}

CCRect ZqPObjectAssetUnit::boundingRect() const
{
    return boundsAtReferencePosition(m_localBounds);
}

void ZqPObjectAssetUnit::updateBoundingRect()
{
    m_localBounds = centredBounds(m_idle ? m_idle->boundingRect().size : CCSizeZero);
}

void ZqPObjectAssetUnit::setColorFactor(float factor)
{
    ZqPObjectAsset::setColorFactor(factor);
    const float opacity = unitModel()->opacity(0.0f, 0);
    for (ZqPAnimationObject* animation : {m_idle, m_defeated}) {
        if (animation)
            animation->setOpacityFactor(opacity * factor);
    }
}

void ZqPObjectAssetUnit::setObjectType(int type)
{
    ZqPObjectAsset::setObjectType(type);
    if (!(type & kTypeSpawnedCopy) || !m_idle)
        return;
    for (int i = 0; i < m_idle->frameCount(); ++i) {
        if (ZqPObjectAssetUnit* unit = dynamic_cast<ZqPObjectAssetUnit*>(m_idle->childNodeAt(i)))
            unit->setSpawnSource(false);
    }
}

void ZqPObjectAssetUnit::setSpawnSource(bool spawnSource)
{
    ZqPObjectAsset::setSpawnSource(spawnSource);
    if (!spawnSource) {
        if (ZqPInputController* input = ZqPInputController::existing())
            input->unregisterActionObject(this);
        if (m_idle)
            m_idle->setVisible(true);
        if (m_defeated)
            m_defeated->setVisible(false);
        return;
    }
    for (ZqPAnimationObject* animation : {m_idle, m_defeated}) {
        if (animation)
            animation->setVisible(false);
    }
    ZqPInputController* input = ZqPInputController::shared();
    const std::string action = unitModel()->spawnAction();
    if (action == "kPermanentSpawning") {
        setButtonActivated(true);
    } else if (action == "kShootingSpawning") {
        setResetTimerOnPress(true);
        input->registerActionObject(this, ZqPInputController::kShoot);
    } else if (action == "kJumpingSpawning") {
        input->registerActionObject(this, ZqPInputController::kJump);
    } else if (action == "kNonResetShootingSpawning") {
        setResetTimerOnPress(false);
        input->registerActionObject(this, ZqPInputController::kShoot);
    }
}

void ZqPObjectAssetUnit::createBody(ZqPhysicsWorld* world, bool lazy)
{
    if (!m_idle)
        return;
    ZqPObjectAsset::createBody(world, lazy);
    if (isSpawnSource() && getBody() && getBody()->GetFixtureList())
        getBody()->GetFixtureList()->SetSensor(true);
}

float ZqPObjectAssetUnit::wakeUpDistance() const
{
    if (state() == kStateRemoved)
        return 3000.0f;
    if (wakeUpMode() == kWakeByOwnDistance)
        return unitModel()->wakeupDistance();
    if (wakeUpMode() == kWakeByCollision)
        return -3000.0f;
    return 3000.0f;
}

float ZqPObjectAssetUnit::sleepDistance() const
{
    return sleepMode() == 1 ? unitModel()->sleepDistance() : 0.0f;
}
