#pragma once

#include "components/ZqComponent.h"

class ZqModelComponentMotor;

// Holds the owner's body at the model's velocities every frame: each non-zero linear axis
// (metres a second; a zero axis is left to the body) and the angular velocity (radians a
// second, 0 included). A control press (any sender) or a collision with a unit of the
// "Affected asset" obstacle multiplies them by the model's multipliers, accumulating.
class ZqComponentMotor : public ZqComponent {
public:
    // Unsubscribes from the input controller, so that no later press reaches a freed motor.
    ~ZqComponentMotor() override;

    void update(float dt) override;
    void setModel(const std::shared_ptr<ZqModelComponent>& model) override;
    void setOwner(ZqPObject* owner) override;

    const cocos2d::CCPoint& linearVelocity() const { return m_linear; }
    float angularVelocity() const { return m_angular; }

private:
    void pressed(cocos2d::CCObject* sender);
    void collided(ZqPObject* owner, ZqPObject* other);
    void multiply();
    const ZqModelComponentMotor& motorModel() const;

    cocos2d::CCPoint m_linear;
    float m_angular = 0.0f;
};
