#include "touch/CCAccelerometer.h"

namespace cocos2d {

void CCAccelerometer::update(double x, double y, double z, double timestamp)
{
    if (!m_delegate)
        return;
    CCAcceleration reading{x, y, z, timestamp};
    m_delegate->didAccelerate(&reading);
}

} // namespace cocos2d
