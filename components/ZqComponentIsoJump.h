#pragma once

#include "app/ZqSound.h"
#include "components/ZqComponent.h"
#include "components/ZqControlEvent.h"

class ZqModelComponentIsoJump;
class ZqPAnimationObject;
class ZqPObjectAsset;

// A jump drawn over flat ground: the owner's shown state animation (its jump animation, at
// priority 2) and its adopted nodes rise along a curve in the owner's space while the body
// stays put, with a ground animation left at the owner's feet; up to "Jump Count" take-offs
// before landing. Started by the same control events as the move component. Enabled
// mirrors the jumping state (a move start waits for the landing). Lift in points per unit
// of jump time.
class ZqComponentIsoJump : public ZqComponent {
public:
    ~ZqComponentIsoJump() override;

    void update(float dt) override;
    void setModel(const std::shared_ptr<ZqModelComponent>& model) override;
    void setOwner(ZqPObject* owner) override;
    void ownerStateChanged() override;

    bool isJumping() const { return m_jumping; }
    int takeOffs() const { return m_takeOffs; }
    const cocos2d::CCPoint& liftVelocity() const { return m_lift; }
    ZqPAnimationObject* jumpAnimation() const { return m_jumpAnimation; }

private:
    void activate(cocos2d::CCObject* sender);
    void deactivate(cocos2d::CCObject* sender);
    void takeOff();
    void land();
    // Removes the jump animation's priority-2 entries, one per take-off.
    void removeEntries(ZqPObjectAsset* asset);
    const ZqModelComponentIsoJump& jumpModel() const;
    bool hasFrames() const;

    ZqControlEvent m_event;
    ZqPAnimationObject* m_groundAnimation = nullptr;
    ZqPAnimationObject* m_jumpAnimation = nullptr;
    bool m_jumping = false;
    bool m_held = false;
    bool m_gravityOff = false;
    float m_jumpTime = 0.0f;
    float m_sinceTakeOff = 0.0f;
    bool m_takeOffRequested = false;
    int m_takeOffs = 0;
    cocos2d::CCPoint m_lift;
    ZqSoundHandle m_jumpSound;
    ZqSoundHandle m_doubleJumpSound;
};
