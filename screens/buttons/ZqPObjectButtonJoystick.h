#pragma once

#include "objects/ZqPObjectManipulator.h"

#include <memory>

// The touch area of an on-screen control whose model has that "Scale", in the control's
// space: centred on its origin, scale.x x 100 points wide and scale.y x 100 high.
cocos2d::CCRect zqControlArea(const cocos2d::CCPoint& scale);

// The on-screen joystick: an invisible touch area placed and sized by a manipulator model
// ("Position", "Scale" x 100 points, "Rotation"). Absolute control passes every finger
// step on as a joystick step; relative control holds the finger's offset from where it
// touched down as the characters' direction until it lifts.
//
// It registers with the director's touch dispatcher (priority 0, swallowing) when made, and
// the dispatcher retains it: the screen that holds it removes it from the dispatcher in
// its destructor, or it lives on.
class ZqPObjectButtonJoystick : public ZqPObjectManipulator, public cocos2d::CCTouchDelegate {
public:
    // Autoreleased; never null.
    static ZqPObjectButtonJoystick* create(const std::shared_ptr<ZqModelObjectManipulator>& model);

    // The manipulator's model, then the node's position from "Position" at time 0.
    void setModel(const std::shared_ptr<ZqModelObjectManipulator>& model) override;

    // Claims touches inside the area; logs each touch's place in the node's space.
    bool ccTouchBegan(cocos2d::CCTouch* touch, cocos2d::CCEvent* event) override;
    void ccTouchMoved(cocos2d::CCTouch* touch, cocos2d::CCEvent* event) override;
    // Both end the held direction (a cancelled touch must not leave the characters moving).
    void ccTouchEnded(cocos2d::CCTouch* touch, cocos2d::CCEvent* event) override;
    void ccTouchCancelled(cocos2d::CCTouch* touch, cocos2d::CCEvent* event) override;

private:
    ZqPObjectButtonJoystick();

    // In view coordinates (y down): where the claimed touch came down.
    cocos2d::CCPoint m_touchStart;
};
