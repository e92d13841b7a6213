#include "components/ZqComponentRotationMapper.h"

#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/ZqPhysicsBody.h"

#include <cmath>

namespace {

constexpr int kPriority = 3;

} // namespace

ZqComponentRotationMapper::~ZqComponentRotationMapper() { CC_SAFE_RELEASE(m_animation); }

void ZqComponentRotationMapper::setOwner(ZqPObject* owner)
{
    ZqComponent::setOwner(owner);
    const auto& mapper = static_cast<const ZqModelComponentRotationMapper&>(*model());
    const auto animation = mapper.animation();
    if (!animation || !owner)
        return;
    m_animation = ZqPAnimationObject::create(animation, owner, true);
    m_animation->setZOrder(owner->getZOrder());
    m_animation->retain();
    m_animation->setVisible(false);
    m_animation->stop();
}

void ZqComponentRotationMapper::setEnabled(bool enabled)
{
    ZqComponent::setEnabled(enabled);
    auto* asset = dynamic_cast<ZqPObjectAsset*>(owner());
    if (!asset || !m_animation)
        return;
    if (enabled) {
        asset->addStateAnimation(kPriority, m_animation, nullptr);
    } else {
        asset->removeStateAnimation(kPriority, m_animation, nullptr);
        m_animation->setVisible(false);
    }
}

void ZqComponentRotationMapper::ownerStateChanged()
{
    if (!owner() || owner()->state() != ZqPObject::kStateDestroyed)
        return;
    ZqComponent::setEnabled(false);
    if (!m_animation || m_animation->frameCount() < 1)
        return;
    if (auto* asset = dynamic_cast<ZqPObjectAsset*>(owner()))
        asset->removeStateAnimation(kPriority, m_animation, nullptr);
    m_animation->setVisible(false);
}

void ZqComponentRotationMapper::ownerReset()
{
    if (owner())
        owner()->setRotation(0.0f);
}

int ZqComponentRotationMapper::frameForAngle(float degrees, int count)
{
    if (count <= 0 || !std::isfinite(degrees))
        return 0;
    int index = static_cast<int>(std::fabs(degrees) / 360.0 * count) % count;
    if (degrees < 0.0f)
        index = count - index;
    return index;
}

void ZqComponentRotationMapper::update(float dt)
{
    if (m_firstUpdatePending && dt > 0.0f) {
        m_firstUpdatePending = false;
        setEnabled(true);
    }
    if (!isEnabled() || !owner())
        return;
    if (owner()->isSpawnSource()) {
        setEnabled(false);
        return;
    }
    b2Body* body = owner()->getBody();
    const float angle = body ? body->GetAngle() * zqphysics::kDegreesPerRadian : 0.0f;
    const int count = m_animation ? m_animation->durationInFrames() : 0;
    if (count <= 0)
        return;
    m_animation->showFrame(frameForAngle(angle, count));
}
