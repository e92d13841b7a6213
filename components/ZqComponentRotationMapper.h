#pragma once

#include "components/ZqComponent.h"

class ZqPAnimationObject;

// Shows the frame of its animation that matches the angle of the owner's body (the frames
// cover one turn), as the owner's state animation of priority 3, instead of rotating the
// sprite. Enables itself on its first update with a positive step; a spawn-source owner
// disables it.
class ZqComponentRotationMapper : public ZqComponent {
public:
    ~ZqComponentRotationMapper() override;

    void update(float dt) override;
    void setOwner(ZqPObject* owner) override;
    void ownerStateChanged() override;
    void ownerReset() override;
    // Each enable adds an entry of priority 3 and each disable removes one.
    void setEnabled(bool enabled) override;

    // The frame for a body angle in degrees: (|angle| / 360 x count) mod count, mirrored
    // (count - index) for a negative angle.
    static int frameForAngle(float degrees, int count);

private:
    ZqPAnimationObject* m_animation = nullptr;
    bool m_firstUpdatePending = true;
};
