#pragma once

#include "base/CCObject.h"
#include "touch/CCAccelerometerDelegate.h"

namespace cocos2d {

// The device's accelerometer: passes each reading to one delegate. The delegate is
// not retained: whoever sets it must set null before it goes (CCLayer does so in
// onExit). Desktops have no sensor; the platform layer or a test feeds readings.
class CCAccelerometer : public CCObject {
public:
    // Replaces the delegate; null stops the readings.
    void setDelegate(CCAccelerometerDelegate* delegate) { m_delegate = delegate; }
    CCAccelerometerDelegate* getDelegate() const { return m_delegate; }

    // Hands one reading (x, y, z in g; timestamp in seconds) to the delegate, if any.
    void update(double x, double y, double z, double timestamp);
    using CCObject::update;

private:
    CCAccelerometerDelegate* m_delegate = nullptr;
};

} // namespace cocos2d
