#include "components/ZqComponentMove.h"

#include "app/ZqPInputController.h"
#include "components/ZqComponentIsoJump.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/ZqSwitchStates.h"

namespace {

constexpr int kPriority = 4;

// Anything but an addition or a multiplication replaces.
float combine(ZqOperation operation, float body, float value)
{
    switch (operation) {
    case kOperationAdd: return body + value;
    case kOperationMultiply: return body * value;
    default: return value;
    }
}

} // namespace

ZqComponentMove::~ZqComponentMove()
{
    ZqPInputController::unsubscribeFromShared(this);
    CC_SAFE_RELEASE(m_animation);
}

ZqModelComponentMove& ZqComponentMove::moveModel() const { return static_cast<ZqModelComponentMove&>(*model()); }

ZqPObjectAsset* ZqComponentMove::assetOwner() const { return dynamic_cast<ZqPObjectAsset*>(owner()); }

void ZqComponentMove::setModel(const std::shared_ptr<ZqModelComponent>& model)
{
    ZqComponent::setModel(model);
    const ZqModelComponentMove& move = moveModel();
    m_event = ZqControlEvent::parse(move.event());
    m_event.bind(this, callfuncO_selector(ZqComponentMove::activate), callfuncO_selector(ZqComponentMove::deactivate));
    m_operation = move.operation();
    if (move.sound())
        m_sound = ZqSoundHandle(move.sound(), ZqSound::kTagField);
}

void ZqComponentMove::setOwner(ZqPObject* owner)
{
    ZqComponent::setOwner(owner);
    const ZqModelComponentMove& move = moveModel();
    if (const auto animation = move.animation(); animation && animation->frameCount() >= 1 && owner) {
        m_animation = ZqPAnimationObject::create(animation, owner, true);
        m_animation->setZOrder(owner->getZOrder());
        m_animation->retain();
        m_animation->setVisible(false);
    }
    if (m_event.kind == kControlOnCollision) {
        if (ZqPObjectAsset* asset = assetOwner())
            asset->addEventSubscription(ZqPObjectAsset::kEventCollision, this,
                                        zq_object_event_selector(ZqComponentMove::collided));
    } else if (m_event.kind == kControlOnStart) {
        m_startRequested = true;
    }
}

void ZqComponentMove::activate(cocos2d::CCObject* sender)
{
    if (!m_event.acceptsSender(sender))
        return;
    if (!moveModel().activateOnRelease() && !isEnabled()) {
        m_startRequested = true;
        m_stopOthersRequested = true;
    }
}

void ZqComponentMove::deactivate(cocos2d::CCObject* sender)
{
    if (!m_event.acceptsSender(sender))
        return;
    if (moveModel().activateOnRelease()) {
        if (!isEnabled())
            m_startRequested = true;
    } else if (isEnabled()) {
        m_stopRequested = true;
    } else {
        m_startRequested = false;
        m_stopOthersRequested = false;
    }
}

void ZqComponentMove::collided(ZqPObject* self, ZqPObject* other)
{
    if (isEnabled() || !self || !other)
        return;
    constexpr int kActors = ZqPObject::kTypeCharacter | ZqPObject::kTypeUnit;
    if (!(self->objectType() & kActors) || !(other->objectType() & kActors))
        return;
    const int affected = moveModel().affectedAsset();
    bool accepted = affected == -1 || (affected == -2 && (other->objectType() & ZqPObject::kTypeCharacter)) ||
                    (affected == -3 && (other->objectType() & ZqPObject::kTypeUnit));
    if (!accepted) {
        const auto placed = modelKindCast<ZqModelObjectAsset>(other->model());
        const auto asset = placed ? placed->asset() : nullptr;
        accepted = asset && static_cast<long long>(asset->id()) == affected;
    }
    if (accepted) {
        m_startRequested = true;
        m_stopOthersRequested = true;
    }
}

ZqPAnimationObject* ZqComponentMove::shownAnimation() const
{
    return m_animation && m_animation->frameCount() >= 1 ? m_animation : nullptr;
}

std::shared_ptr<ZqModelPolygon> ZqComponentMove::entryShape() const
{
    if (shownAnimation())
        return moveModel().collisionShape();
    const auto object = owner() ? modelKindCast<ZqModelObject>(owner()->model()) : nullptr;
    return object ? object->collisionShape() : nullptr;
}

void ZqComponentMove::takeTargets(bool keepVelocity)
{
    const ZqModelComponentMove& move = moveModel();
    const bool setX = move.hasLinearVelocityX();
    const bool setY = move.hasLinearVelocityY();
    const bool setAngular = move.hasAngularVelocity();
    const cocos2d::CCPoint& linear = move.linearVelocity();
    const float angular = move.angularVelocity();
    b2Body* body = owner()->getBody();
    if (!body) {
        if (keepVelocity) {
            m_targetX = m_targetY = m_targetAngular = 0.0f;
        } else if (m_operation != kOperationMultiply) {
            m_targetX = setX ? linear.x : m_targetX;
            m_targetY = setY ? linear.y : m_targetY;
            m_targetAngular = setAngular ? angular : m_targetAngular;
        }
        return;
    }
    m_targetX = body->GetLinearVelocity().x;
    m_targetY = body->GetLinearVelocity().y;
    m_targetAngular = body->GetAngularVelocity();
    if (keepVelocity)
        return;
    if (setX)
        m_targetX = combine(m_operation, m_targetX, linear.x);
    if (setY)
        m_targetY = combine(m_operation, m_targetY, linear.y);
    if (setAngular)
        m_targetAngular = combine(m_operation, m_targetAngular, angular);
}

void ZqComponentMove::setEnabled(bool enabled, bool keepVelocity)
{
    ZqPObject* self = owner();
    if (!self || enabled == isEnabled() || self->state() == ZqPObject::kStateDestroyed ||
        self->state() == ZqPObject::kStateRemoved)
        return;
    ZqComponent::setEnabled(enabled);
    ZqPObjectAsset* asset = assetOwner();
    ZqPAnimationObject* animation = shownAnimation();
    if (enabled) {
        if (moveModel().forcedSwitchButton())
            ZqSwitchStates::flipAll();
        if (m_sound)
            m_sound->play(false, false);
        self->setMovementActive(false);
        m_remaining = moveModel().timeout();
        if (animation)
            animation->restart();
        if (asset)
            asset->addStateAnimation(kPriority, animation, entryShape());
        takeTargets(keepVelocity);
    } else {
        if (asset)
            asset->removeStateAnimation(kPriority, animation, entryShape());
        if (animation) {
            animation->setVisible(false);
            animation->stop();
        }
        self->setMovementActive(true);
    }
}

void ZqComponentMove::update(float dt)
{
    ZqPObject* self = owner();
    if (!self)
        return;
    if (m_stopOthersRequested) {
        m_stopOthersRequested = false;
        for (ZqComponent* component : self->components()) {
            auto* other = dynamic_cast<ZqComponentMove*>(component);
            if (!other)
                continue;
            if (other != this)
                other->update(dt);
            other->setEnabled(false);
        }
    }
    if (m_startRequested) {
        for (ZqComponent* component : self->components()) {
            if (dynamic_cast<ZqComponentIsoJump*>(component) && component->isEnabled())
                return;
        }
        m_startRequested = false;
        setEnabled(true);
    }
    if (m_stopRequested) {
        m_stopRequested = false;
        setEnabled(false);
    }
    if (!isEnabled())
        return;
    ZqPObjectAsset* asset = assetOwner();
    b2Body* body = self->getBody();
    if (body && self->isWoken() && !(asset && asset->isStopped())) {
        const ZqModelComponentMove& move = moveModel();
        const b2Vec2 current = body->GetLinearVelocity();
        body->SetLinearVelocity(b2Vec2(move.hasLinearVelocityX() ? m_targetX : current.x,
                                       move.hasLinearVelocityY() ? m_targetY : current.y));
        if (move.hasAngularVelocity())
            body->SetAngularVelocity(m_targetAngular);
    }
    if (m_remaining > 0.0f) {
        m_remaining -= dt;
        if (m_remaining <= 0.0f)
            m_stopRequested = true;
    }
}

void ZqComponentMove::ownerStateChanged()
{
    ZqPObject* self = owner();
    if (!self || self->state() != ZqPObject::kStateDestroyed || !isEnabled())
        return;
    ZqComponent::setEnabled(false);
    ZqPAnimationObject* animation = shownAnimation();
    if (ZqPObjectAsset* asset = assetOwner())
        asset->removeStateAnimation(kPriority, animation, entryShape());
    if (animation)
        animation->setVisible(false);
    self->setMovementActive(true);
}
