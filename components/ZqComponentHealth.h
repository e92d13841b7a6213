#pragma once

#include "components/ZqComponent.h"

#include <cstdint>
#include <memory>

class ZqModelComponentHealth;
class ZqPAnimationObject;

// Hit points of the object that owns it. Damage lowers them; a hit that leaves the owner
// alive plays the "taking damage" sound and animation and opens an invulnerable time (on
// the wall clock, so it runs on while the game pauses); the hit that takes them to 0
// starts the death delay, after which the owner is asked to destroy itself.
class ZqComponentHealth : public ZqComponent {
public:
    ~ZqComponentHealth() override;

    // "Health" truncated, at least 1.
    void setModel(const std::shared_ptr<ZqModelComponent>& model) override;
    // Builds the damage animation on the owner, hidden.
    void setOwner(ZqPObject* owner) override;
    void update(float dt) override;
    // At the owner's death the damage animation goes.
    void ownerStateChanged() override;

    // Whether the hit counted: false while dying or dead and inside the invulnerable time.
    // time: seconds of invulnerability after this hit.
    bool takeDamage(int amount, float time) override;

    int health() const { return m_health; }
    bool isDying() const { return m_dying; }
    ZqPAnimationObject* damageAnimation() const { return m_damageAnimation; }

private:
    std::shared_ptr<ZqModelComponentHealth> healthModel() const;
    void removeDamageAnimation();

    ZqPAnimationObject* m_damageAnimation = nullptr; // retained
    int m_health = 1;
    bool m_dying = false;
    bool m_damaged = false;
    float m_deathTimeLeft = 0.0f;
    // Wall-clock ticks of 100 ns before which hits are ignored.
    int64_t m_invulnerableUntil = 0;
};
