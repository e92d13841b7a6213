#pragma once

#include "cocos2d.h"

#include <memory>

class ZqModelObjectAccelerometer;
class ZqModelObjectManipulator;

// The base of the nodes that turn a device input into character movement (the on-screen
// joystick, the accelerometer object): holds the manipulator model and answers how
// sensitive the control is and whether it is absolute.
class ZqPObjectManipulator : public cocos2d::CCNode {
public:
    // Keeps the model (the previous one is dropped); a non-empty model decides absolute
    // control by "Control Style" kControlStyleAbsolute.
    virtual void setModel(const std::shared_ptr<ZqModelObjectManipulator>& model);
    // "Sensitivity"; 0 without a model.
    virtual float sensitivity() const;

    bool isAbsoluteControl() const { return m_absoluteControl; }
    const std::shared_ptr<ZqModelObjectManipulator>& manipulatorModel() const { return m_model; }

private:
    std::shared_ptr<ZqModelObjectManipulator> m_model;
    bool m_absoluteControl = false;
};

// The process-wide tilt control. While it lives it is the one delegate of the director's
// accelerometer (screens never enable their layers' accelerometers), and by its model it
// leans the characters (tilt) or moves them (by direction or to an absolute place).
class ZqPObjectAccelerometer : public ZqPObjectManipulator, public cocos2d::CCAccelerometerDelegate {
public:
    // Made on first use; never null.
    static ZqPObjectAccelerometer* shared();
    // Releases the instance when there is one (the application's end).
    static void purge();

    ~ZqPObjectAccelerometer() override;

    // The model when it is exactly an accelerometer model, else empty.
    std::shared_ptr<ZqModelObjectAccelerometer> accelerometerModel() const;
    // The accelerometer model's "Sensitivity"; 0 when the model is of another class.
    float sensitivity() const override;

    // One reading (x, y in g). Nothing without an accelerometer model.
    void didAccelerate(cocos2d::CCAcceleration* acceleration) override;

private:
    ZqPObjectAccelerometer();

    static ZqPObjectAccelerometer* s_instance;
};
