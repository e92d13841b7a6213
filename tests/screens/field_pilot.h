#pragma once

// A stand-in character: registered with the input controller, it takes part in the
// characters' centre, which the field's camera follows; it does nothing else.
#include "app/ZqPInputController.h"

namespace field_test {

class Pilot : public cocos2d::CCNode, public ZqInputCharacter {
public:
    static Pilot* create()
    {
        auto* pilot = new Pilot();
        pilot->autorelease();
        return pilot;
    }
    cocos2d::CCNode* node() override { return this; }
    int state() const override { return m_state; }
    void setState(int state) override { m_state = state; }
    void setMoveDirection(float, float) override {}
    void applyJoystick(float, float) override {}
    void setAxisX(float) override {}
    void setAxisY(float) override {}
    void jump() override {}
    void releaseJump() override {}
    void startRotateLeft() override {}
    void stopRotateLeft() override {}
    void startRotateRight() override {}
    void stopRotateRight() override {}
    void setShooting(bool) override {}
    void clearActivePowerups() override {}

private:
    int m_state = 0;
};

} // namespace field_test
