#include "components/ZqComponentIsoJump.h"

#include "app/ZqPInputController.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/ZqPhysicsWorld.h"
#include "objects/ZqPhysicsBody.h"

#include <algorithm>

namespace {

constexpr int kPriority = 2;
constexpr int kJumpAnimationZ = 500;

bool isGone(const ZqPObject* object)
{
    return object->state() == ZqPObject::kStateDestroyed || object->state() == ZqPObject::kStateRemoved;
}

} // namespace

ZqComponentIsoJump::~ZqComponentIsoJump()
{
    ZqPInputController::unsubscribeFromShared(this);
    CC_SAFE_RELEASE(m_groundAnimation);
    CC_SAFE_RELEASE(m_jumpAnimation);
}

const ZqModelComponentIsoJump& ZqComponentIsoJump::jumpModel() const
{
    return static_cast<const ZqModelComponentIsoJump&>(*model());
}

bool ZqComponentIsoJump::hasFrames() const { return m_jumpAnimation && m_jumpAnimation->frameCount() >= 1; }

void ZqComponentIsoJump::setModel(const std::shared_ptr<ZqModelComponent>& model)
{
    ZqComponent::setModel(model);
    const ZqModelComponentIsoJump& jump = jumpModel();
    m_event = ZqControlEvent::parse(jump.event());
    m_event.bind(this, callfuncO_selector(ZqComponentIsoJump::activate),
                 callfuncO_selector(ZqComponentIsoJump::deactivate));
    if (jump.jumpSound())
        m_jumpSound = ZqSoundHandle(jump.jumpSound(), ZqSound::kTagField);
    if (jump.doubleJumpSound())
        m_doubleJumpSound = ZqSoundHandle(jump.doubleJumpSound(), ZqSound::kTagField);
}

void ZqComponentIsoJump::setOwner(ZqPObject* owner)
{
    ZqComponent::setOwner(owner);
    if (!owner)
        return;
    const ZqModelComponentIsoJump& jump = jumpModel();
    if (const auto ground = jump.ground()) {
        m_groundAnimation = ZqPAnimationObject::create(ground, owner, true);
        m_groundAnimation->setZOrder(owner->getZOrder());
        owner->addChild(m_groundAnimation);
        m_groundAnimation->retain();
        m_groundAnimation->setVisible(false);
    }
    if (const auto animation = jump.animation()) {
        m_jumpAnimation = ZqPAnimationObject::create(animation, owner, true);
        m_jumpAnimation->setZOrder(owner->getZOrder() + kJumpAnimationZ);
        m_jumpAnimation->retain();
        m_jumpAnimation->setVisible(false);
    }
}

void ZqComponentIsoJump::activate(cocos2d::CCObject* sender)
{
    if (!m_event.acceptsSender(sender))
        return;
    m_held = true;
    if (!jumpModel().activateOnRelease())
        m_takeOffRequested = true;
}

void ZqComponentIsoJump::deactivate(cocos2d::CCObject* sender)
{
    if (!m_event.acceptsSender(sender))
        return;
    m_held = false;
    if (jumpModel().activateOnRelease())
        m_takeOffRequested = true;
}

void ZqComponentIsoJump::takeOff()
{
    ZqPObject* self = owner();
    const ZqModelComponentIsoJump& jump = jumpModel();
    if (!self || !hasFrames() || m_takeOffs >= jump.jumpCount() || isGone(self))
        return;
    ZqSound* sound = nullptr;
    if (!m_jumping) {
        m_jumpAnimation->setPosition(cocos2d::CCPoint());
        sound = m_jumpSound.get();
    } else {
        sound = m_doubleJumpSound.get();
    }
    if (sound)
        sound->play(false, false);
    m_lift = jump.jumpVelocity();
    ++m_takeOffs;
    m_jumping = true;
    m_gravityOff = true;
    m_sinceTakeOff = 0.0f;
    m_jumpAnimation->restart();
    if (auto* asset = dynamic_cast<ZqPObjectAsset*>(self))
        asset->addStateAnimation(kPriority, m_jumpAnimation, jump.collisionShape());
    if (m_groundAnimation) {
        m_groundAnimation->setZOrder(self->getZOrder());
        m_groundAnimation->restart();
        m_groundAnimation->setVisible(true);
    }
    self->setMovementActive(false);
}

void ZqComponentIsoJump::removeEntries(ZqPObjectAsset* asset)
{
    if (!asset)
        return;
    for (int i = 0; i < m_takeOffs; ++i)
        asset->removeStateAnimation(kPriority, m_jumpAnimation, jumpModel().collisionShape());
}

void ZqComponentIsoJump::land()
{
    ZqPObject* self = owner();
    if (!self || !hasFrames())
        return;
    m_jumpTime = 0.0f;
    m_jumping = false;
    m_gravityOff = false;
    removeEntries(dynamic_cast<ZqPObjectAsset*>(self));
    m_takeOffs = 0;
    m_jumpAnimation->setVisible(false);
    m_jumpAnimation->stop();
    self->setMovementActive(true);
    // A character lands as on ground it had left: its jump count, landing sound, bounce
    // and state 0 or 1 come from that; every other owner goes back to its normal state.
    if (auto* character = dynamic_cast<ZqPObjectAssetCharacter*>(self)) {
        character->setOnGround(false);
        character->setOnGround(true);
    } else {
        self->setState(ZqPObject::kStateNormal);
    }
    if (m_groundAnimation) {
        m_groundAnimation->setVisible(false);
        m_groundAnimation->stop();
    }
    if (m_jumpSound)
        m_jumpSound->stop();
    if (m_doubleJumpSound)
        m_doubleJumpSound->stop();
}

void ZqComponentIsoJump::update(float dt)
{
    ZqPObject* self = owner();
    if (!self)
        return;
    if (m_takeOffRequested) {
        m_takeOffRequested = false;
        takeOff();
    }
    setEnabled(m_jumping);
    const ZqModelComponentIsoJump& jump = jumpModel();
    if (!m_jumping) {
        if (m_jumpAnimation)
            m_jumpAnimation->setVisible(false);
        if (jump.continuousJump() && m_held)
            takeOff();
        return;
    }
    auto* asset = dynamic_cast<ZqPObjectAsset*>(self);
    cocos2d::CCNode* current = asset ? asset->currentStateAnimation() : nullptr;
    if (!current) {
        land();
        return;
    }
    const float step = jump.jumpSpeed() * dt;
    m_jumpTime += dt;
    m_sinceTakeOff += dt;
    std::vector<cocos2d::CCNode*> moved{current};
    for (cocos2d::CCNode* node : asset->adoptedNodes())
        moved.push_back(node);
    for (cocos2d::CCNode* node : moved)
        node->setPosition(node->getPosition() + m_lift * step);
    if (m_jumpTime > jump.jumpDuration() || current->getPositionY() <= 0.0f) {
        for (cocos2d::CCNode* node : moved)
            node->setPosition(cocos2d::CCPoint());
        land();
        return;
    }
    if (!m_gravityOff)
        m_lift = m_lift - jump.jumpGravity() * step;
    if (m_sinceTakeOff > jump.jumpTimeout())
        m_gravityOff = false;
    const float top = jump.jumpVelocity().y;
    // A jump without vertical velocity has no curve to follow (and would divide by 0).
    if (current == m_jumpAnimation && jump.syncronizeAnimation() && top != 0.0f) {
        const float bound = std::fabs(top);
        const float c = std::clamp(m_lift.y, -bound, bound);
        const int index = static_cast<int>((1.0f - (c + top) / (2.0f * top)) * m_jumpAnimation->durationInFrames());
        m_jumpAnimation->showFrame(index);
    }
}

void ZqComponentIsoJump::ownerStateChanged()
{
    ZqPObject* self = owner();
    if (!self || !isGone(self) || !m_jumping)
        return;
    m_jumping = false;
    const float height = m_jumpAnimation ? m_jumpAnimation->getPositionY() : 0.0f;
    // The visible lift becomes a real offset of the body, when there is one.
    if (b2Body* body = self->getBody(); body && !body->GetWorld()->IsLocked())
        body->SetTransform(body->GetPosition() + b2Vec2(0.0f, height * zqphysics::kMetresPerPoint), body->GetAngle());
    self->setPositionY(self->getPositionY() + height);
    if (m_jumpAnimation) {
        removeEntries(dynamic_cast<ZqPObjectAsset*>(self));
        m_takeOffs = 0;
        m_jumpAnimation->setPosition(cocos2d::CCPoint());
        m_jumpAnimation->setVisible(false);
    }
    if (m_groundAnimation)
        m_groundAnimation->setVisible(false);
}
