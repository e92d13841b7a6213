#include "objects/assets/ZqPObjectAssetPowerup.h"

#include "app/ZqPInputController.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqGameField.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"

#include <algorithm>
#include <cmath>

using namespace cocos2d;

namespace {

constexpr float kPi = 3.14159265f;
// A reward number rises along a half sine arc of this height, moving right and down by
// these many points a second, and fades out over one second.
constexpr float kLabelRise = 60.0f;
constexpr float kLabelDrift = 60.0f;
constexpr float kLabelDrop = 20.0f;

} // namespace

ZqPObjectAssetPowerup::ZqPObjectAssetPowerup(const std::shared_ptr<ZqModelObjectAssetPowerup>& model)
    : ZqPObjectAsset(model)
{
    setObjectType(kTypePowerup);
    setLinearMovement(true);
    setCollisionKind(1);
    if ((m_idle = makeAnimation(model->idleAnimation())))
        addChild(m_idle);
    const std::shared_ptr<ZqModelAnimation> start = model->startAnimation();
    if ((m_start = makeAnimation(start))) {
        if (!start->isLoop())
            m_start->setFinishedCallback([this] { onStartAnimationFinished(); });
        m_start->setVisible(false);
        m_start->setZOrder(model->zDepth());
    }
    makeLabel(m_coinLabel, model->rewardCoins(), model->showCoinReward());
    makeLabel(m_pointsLabel, model->rewardPoints(), model->showPointsReward());
    m_characterConstrained = model->animationPlacement() == kPowerupCharacterConstraint;
    m_screenConstrained = model->animationPlacement() == kPowerupScreenConstraint;
    const ZqPowerupType type = model->powerupType();
    m_effectPowerup = type != kPowerupCoin && type != kPowerupNone;
    m_remaining = model->duration();
    updateBoundingRect();
}

ZqPObjectAssetPowerup::~ZqPObjectAssetPowerup()
{
    // The start sound frees itself when it ends.
    m_startSound = 0;
    deactivate();
    if (m_start && m_activator)
        undoStartPlacement();
    setActivator(nullptr);
    for (ZqPAnimationObject* animation : {m_idle, m_start}) {
        if (animation) {
            animation->setFinishedCallback(nullptr);
            animation->release();
        }
    }
}

std::shared_ptr<ZqModelObjectAssetPowerup> ZqPObjectAssetPowerup::powerupModel() const
{
    return modelCast<ZqModelObjectAssetPowerup>(model());
}

ZqPowerupType ZqPObjectAssetPowerup::powerupType() const
{
    return powerupModel()->powerupType();
}

bool ZqPObjectAssetPowerup::samePowerupType(const ZqPObjectAssetPowerup& other) const
{
    return powerupModel()->samePowerupType(*other.powerupModel());
}

ZqPAnimationObject* ZqPObjectAssetPowerup::makeAnimation(const std::shared_ptr<ZqModelAnimation>& animation)
{
    if (!animation)
        return nullptr;
    ZqPAnimationObject* object = ZqPAnimationObject::create(animation, nullptr, true);
    if (!object)
        return nullptr;
    object->setOpacityFactor(powerupModel()->opacity(0.0f, 0));
    object->retain();
    return object;
}

void ZqPObjectAssetPowerup::makeLabel(RewardLabel& label, int reward, bool shown)
{
    if (reward <= 0 || !shown)
        return;
    const std::vector<std::shared_ptr<ZqModelFont>> fonts = ZqModelController::shared()->modelsOfClass<ZqModelFont>();
    if (fonts.empty() || !fonts.front())
        return;
    label.label = fonts.front()->createLabel();
    if (!label.label)
        return;
    label.label->setVisible(false);
    label.label->setAnchorPoint(CCPoint(0.5f, 0.5f));
    label.label->setAlignment(kCCTextAlignmentCenter);
    label.label->setPosition(CCPointZero);
    addChild(label.label);
    // The parent keeps it now.
    label.label->release();
}

void ZqPObjectAssetPowerup::setActivator(ZqPObjectAsset* activator)
{
    if (m_activator)
        m_activator->removeEventSubscription(this);
    m_activator = activator;
    if (m_activator)
        m_activator->addEventSubscription(kEventRemoved, this,
                                          zq_object_event_selector(ZqPObjectAssetPowerup::onActivatorRemoved));
}

void ZqPObjectAssetPowerup::onActivatorRemoved(ZqPObject*, ZqPObject*)
{
    // The activator clears its subscriptions itself.
    m_activator = nullptr;
    if (m_startSound) {
        ZqSoundRegistry::shared().release(m_startSound);
        m_startSound = 0;
    }
}

bool ZqPObjectAssetPowerup::replacesCharacterAnimation() const
{
    return powerupModel()->animationBehaviour() == kReplaceBehaviour && m_characterConstrained
        && dynamic_cast<ZqPObjectAssetCharacter*>(m_activator);
}

void ZqPObjectAssetPowerup::undoStartPlacement()
{
    if (replacesCharacterAnimation()) {
        m_activator->removeStateAnimation(1, m_start, nullptr);
        m_start->setVisible(false);
    } else if (powerupModel()->animationBehaviour() == kOverlayBehaviour) {
        m_activator->disownObject(m_start);
    }
}

void ZqPObjectAssetPowerup::onStartAnimationFinished()
{
    m_start->setVisible(false);
    if (m_activator)
        undoStartPlacement();
}

void ZqPObjectAssetPowerup::beginContact(ZqPObject* other, b2Contact*, bool)
{
    if (state() == 1 || state() == kStateDestroyed || state() == kStateRemoved || !other)
        return;
    if (!(other->objectType() & kTypeCharacter) || (other->objectType() & kTypeSpawnedCopy))
        return;
    if (other->state() == kStateDestroyed || other->state() == kStateRemoved)
        return;
    ZqPObjectAsset* activator = dynamic_cast<ZqPObjectAsset*>(other);
    if (!activator)
        return;
    setActivator(activator);
    requestState(1);
}

void ZqPObjectAssetPowerup::setState(int newState)
{
    const int previous = state();
    if (newState == previous)
        return;
    ZqPObjectAsset::setState(newState);
    if (newState == kStateNormal) {
        const CCPoint scale = powerupModel()->scale(0.0f, 0);
        setScaleX(scale.x);
        setScaleY(scale.y);
    } else if (newState == 1) {
        // A newer power-up of a type ends the older one first.
        if (m_effectPowerup) {
            if (ZqPObjectAssetPowerup* older = zqCurrentField().findPowerupByName(*this))
                older->setState(kStateDestroyed);
        }
        activate();
    } else if (newState == kStateDestroyed) {
        if (previous == 1)
            deactivate();
    } else if (newState == kStateRemoved) {
        if (previous != kStateDestroyed)
            deactivate();
        setActivator(nullptr);
    }
}

void ZqPObjectAssetPowerup::update(float dt)
{
    ZqPObjectAsset::update(dt);
    if (m_startSound) {
        ZqSound* sound = ZqSoundRegistry::shared().find(m_startSound);
        if (!sound) {
            m_startSound = 0;
        } else if (!ZqPInputController::shared()->hasActiveCharacters()) {
            // The start sound fades out once no character is left.
            const float volume = std::max(0.0f, sound->getVolume() - dt);
            sound->setVolume(volume);
            if (volume <= 0.0f) {
                ZqSoundRegistry::shared().release(m_startSound);
                m_startSound = 0;
            }
        }
    }
    updateLabel(m_coinLabel, dt);
    updateLabel(m_pointsLabel, dt);
    if (state() != kStateNormal)
        updatePlacement();
    if (state() == 1) {
        if (m_remaining > 0.0f)
            m_remaining -= dt;
        if (m_remaining <= 0.0f)
            setState(kStateDestroyed);
    }
    if (m_nextCheckpointPending) {
        m_nextCheckpointPending = false;
        ZqGameField& field = zqCurrentField();
        field.activateCheckpoint();
        field.setPendingAction(kStartStep);
    }
    if (m_endGamePending) {
        m_endGamePending = false;
        zqCurrentField().goToEndScreen();
    }
}

void ZqPObjectAssetPowerup::updateLabel(RewardLabel& label, float dt)
{
    if (!label.running || !label.label)
        return;
    label.time += dt;
    const float t = label.time;
    if (t > 1.0f) {
        // Still running: a power-up that shows both numbers goes once its effect ended.
        if (state() == kStateDestroyed)
            setState(kStateRemoved);
        label.label->setVisible(false);
        return;
    }
    label.label->setPosition(CCPoint(t * kLabelDrift, std::sin(t * kPi) * kLabelRise - t * kLabelDrop));
    label.label->setOpacity(static_cast<GLubyte>(static_cast<int>((1.0f - t) * 255.0f) & 0xFF));
}

void ZqPObjectAssetPowerup::updatePlacement()
{
    CCNode* parent = getParent();
    CCNode* reference = referenceNode();
    if (m_characterConstrained) {
        if (!m_activator)
            return;
        CCPoint position = m_activator->getPosition();
        float scaleX = m_activator->getScaleX();
        float scaleY = m_activator->getScaleY();
        if (parent && parent != reference) {
            position = parent->convertToNodeSpace(m_activator->convertToWorldSpace(CCPointZero));
            if (parent->getScaleX() != 0.0f && parent->getScaleY() != 0.0f) {
                scaleX /= parent->getScaleX();
                scaleY /= parent->getScaleY();
            }
        }
        setPosition(position);
        if (b2Body* body = getBody())
            body->SetTransform(b2Vec2(position.x * zqphysics::kMetresPerPoint, position.y * zqphysics::kMetresPerPoint),
                               body->GetAngle());
        setScaleX(scaleX);
        setScaleY(scaleY);
        if (m_activator->state() == kStateDestroyed && m_start && m_start->getParent()) {
            undoStartPlacement();
            m_start->stop();
            m_start->removeFromParent();
        }
        return;
    }
    if (!m_screenConstrained)
        return;
    CCDirector* director = CCDirector::sharedDirector();
    const CCSize window = director->getWinSize();
    const CCPoint offset = director->contentOffset();
    CCPoint position(window.width * 0.5f - offset.x, window.height * 0.5f - offset.y);
    if (reference)
        position = position - reference->getPosition();
    setPosition(position);
    const CCSize bounds = m_localBounds.size;
    // A zero side would give an infinite scale: the scale is then left alone.
    if (m_start && bounds.width > 0.0f && bounds.height > 0.0f)
        setScale(std::min(window.height / bounds.height, window.width / bounds.width));
}

void ZqPObjectAssetPowerup::setVisible(bool visible)
{
    ZqPObjectAsset::setVisible(visible);
    if (!visible) {
        for (ZqPAnimationObject* animation : {m_idle, m_start}) {
            if (animation && animation->isVisible())
                animation->setVisible(false);
        }
        return;
    }
    if (m_start && m_start->getParent() == this && !m_start->isVisible())
        m_start->setVisible(true);
    else if (m_idle && m_idle->getParent() == this && !m_idle->isVisible())
        m_idle->setVisible(true);
}

CCRect ZqPObjectAssetPowerup::boundingRect() const
{
    return boundsAtReferencePosition(m_localBounds);
}

void ZqPObjectAssetPowerup::updateBoundingRect()
{
    m_localBounds = centredBounds(m_idle ? m_idle->boundingRect().size : CCSizeZero);
}

void ZqPObjectAssetPowerup::wakeUp()
{
    if (!isWoken() && getBody())
        ZqPObject::wakeUp();
}

bool ZqPObjectAssetPowerup::castsShadow() const
{
    return m_idle && m_idle->isVisible() && m_idle->frameCount() >= 1 && m_idle->getParent() == this;
}

void ZqPObjectAssetPowerup::setMovementActive(bool active)
{
    if (!active && state() == 1)
        return;
    ZqPObjectAsset::setMovementActive(active);
}

void ZqPObjectAssetPowerup::createBody(ZqPhysicsWorld* world, bool lazy)
{
    if (!m_idle)
        return;
    ZqPObjectAsset::createBody(world, lazy);
    if (b2Body* body = getBody(); body && body->GetFixtureList())
        body->GetFixtureList()->SetSensor(true);
}
