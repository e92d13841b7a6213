#pragma once

namespace cocos2d {

// One accelerometer reading: x, y, z in g along the device axes, timestamp in seconds.
struct CCAcceleration {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double timestamp = 0.0;
};

// Receiver of accelerometer readings (see CCAccelerometer::setDelegate).
class CCAccelerometerDelegate {
public:
    virtual ~CCAccelerometerDelegate() = default;

    // The reading is borrowed for the call.
    virtual void didAccelerate(CCAcceleration* acceleration) {}
};

} // namespace cocos2d
