#pragma once

#include <functional>

namespace cocos2d {

// The clock the main loop paces its frames by (CCApplication::run): seconds on a steady
// clock, and a sleep until a time on it. The system's steady clock by default; tests
// install one whose sleep only moves its time on, so that nothing waits for real.
struct CCFrameClock {
    std::function<double()> now;
    std::function<void(double seconds)> sleepUntil;
};

// The clock of the loops run from now on; one lacking either function puts the steady
// clock back.
void ccSetFrameClock(CCFrameClock clock);
const CCFrameClock& ccFrameClock();

} // namespace cocos2d
