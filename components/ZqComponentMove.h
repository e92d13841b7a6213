#pragma once

#include "app/ZqSound.h"
#include "components/ZqComponent.h"
#include "components/ZqControlEvent.h"
#include "model/ZqDataTokens.h"

class ZqModelComponentMove;
class ZqModelPolygon;
class ZqPAnimationObject;
class ZqPObjectAsset;

// While it runs, drives the owner's body at the model's velocities (replacing, adding to
// or multiplying the body's own, per axis the model sets), shows its animation and shape as
// the owner's state animation of priority 4, and suspends the owner's own movement. It
// starts on the owner's first update, on a collision, or on a control, switch or swipe
// event, and stops after "Timeout" seconds (0: never) or on the opposite event. Enabled is
// the running state. Velocities in metres and radians per second.
class ZqComponentMove : public ZqComponent {
public:
    ~ZqComponentMove() override;

    void update(float dt) override;
    void setModel(const std::shared_ptr<ZqModelComponent>& model) override;
    void setOwner(ZqPObject* owner) override;
    void ownerStateChanged() override;
    void setEnabled(bool enabled) override { setEnabled(enabled, false); }
    // keepVelocity: an object taking another's place carries on at its body's velocity.
    void setEnabled(bool enabled, bool keepVelocity);
    void setEnabledForReplacement(bool enabled) override { setEnabled(enabled, true); }

    float remainingTime() const { return m_remaining; }

private:
    void activate(cocos2d::CCObject* sender);
    void deactivate(cocos2d::CCObject* sender);
    void collided(ZqPObject* owner, ZqPObject* other);
    ZqModelComponentMove& moveModel() const;
    ZqPObjectAsset* assetOwner() const;
    // The animation while it has frames; null otherwise.
    ZqPAnimationObject* shownAnimation() const;
    // The shape of the priority-4 entry: the model's, or the owner's own without an animation.
    std::shared_ptr<ZqModelPolygon> entryShape() const;
    void takeTargets(bool keepVelocity);

    ZqControlEvent m_event;
    ZqOperation m_operation = kOperationReplace;
    ZqPAnimationObject* m_animation = nullptr;
    float m_remaining = 0.0f;
    bool m_startRequested = false;
    bool m_stopOthersRequested = false;
    bool m_stopRequested = false;
    float m_targetX = 0.0f;
    float m_targetY = 0.0f;
    float m_targetAngular = 0.0f;
    ZqSoundHandle m_sound;
};
