#include "components/ZqComponentHealth.h"

#include "app/ZqSound.h"
#include "common/ZqClock.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAsset.h"

#include <algorithm>

using namespace cocos2d;

ZqComponentHealth::~ZqComponentHealth()
{
    if (m_damageAnimation) {
        m_damageAnimation->setFinishedCallback(nullptr);
        m_damageAnimation->release();
    }
}

std::shared_ptr<ZqModelComponentHealth> ZqComponentHealth::healthModel() const
{
    return modelCast<ZqModelComponentHealth>(model());
}

void ZqComponentHealth::setModel(const std::shared_ptr<ZqModelComponent>& model)
{
    ZqComponent::setModel(model);
    std::shared_ptr<ZqModelComponentHealth> health = healthModel();
    m_health = std::max(1, health ? health->health() : 1);
}

void ZqComponentHealth::setOwner(ZqPObject* owner)
{
    ZqComponent::setOwner(owner);
    std::shared_ptr<ZqModelComponentHealth> health = healthModel();
    std::shared_ptr<ZqModelAnimation> animation = health ? health->takingDamageAnimation() : nullptr;
    if (!owner || !animation || animation->frameCount() < 1 || m_damageAnimation)
        return;
    m_damageAnimation = ZqPAnimationObject::create(animation, owner, true);
    m_damageAnimation->retain();
    m_damageAnimation->setZOrder(owner->getZOrder());
    m_damageAnimation->setFinishedCallback([this] { removeDamageAnimation(); });
    m_damageAnimation->setVisible(false);
}

bool ZqComponentHealth::takeDamage(int amount, float time)
{
    if (m_health < 1)
        return false;
    const int64_t now = zqClockTicks();
    if (now < m_invulnerableUntil)
        return false;
    m_health = std::max(0, m_health - amount);
    m_invulnerableUntil = now + static_cast<int64_t>(static_cast<int>(time * 1000.0f)) * 10000;
    if (m_health != 0) {
        m_damaged = true;
        return true;
    }
    if (!m_dying) {
        m_dying = true;
        std::shared_ptr<ZqModelComponentHealth> health = healthModel();
        m_deathTimeLeft = health ? health->deathDelay() : 0.0f;
    }
    return true;
}

void ZqComponentHealth::update(float dt)
{
    auto* owner = dynamic_cast<ZqPObjectAsset*>(this->owner());
    if (m_dying) {
        m_deathTimeLeft -= dt;
        if (m_deathTimeLeft <= 0.0f) {
            if (owner)
                owner->requestDestroy();
            m_dying = false;
        }
        return;
    }
    if (!m_damaged)
        return;
    m_damaged = false;
    if (std::shared_ptr<ZqModelComponentHealth> health = healthModel())
        ZqSoundRegistry::shared().playOnce(health->takingDamageSound(), ZqSound::kTagField);
    if (m_damageAnimation && owner) {
        m_damageAnimation->restart();
        owner->removeStateAnimation(0, m_damageAnimation, nullptr);
        owner->addStateAnimation(0, m_damageAnimation, nullptr);
    }
}

void ZqComponentHealth::ownerStateChanged()
{
    if (owner() && owner()->state() == ZqPObject::kStateDestroyed && m_damageAnimation
        && m_damageAnimation->getChildrenCount() > 0)
        removeDamageAnimation();
}

void ZqComponentHealth::removeDamageAnimation()
{
    if (!m_damageAnimation)
        return;
    if (auto* owner = dynamic_cast<ZqPObjectAsset*>(this->owner()))
        owner->removeStateAnimation(0, m_damageAnimation, nullptr);
    m_damageAnimation->setVisible(false);
}
