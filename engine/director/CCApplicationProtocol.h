#pragma once

namespace cocos2d {

// The game's side of the application: the hooks the main loop calls.
class CCApplicationProtocol {
public:
    virtual ~CCApplicationProtocol() = default;

    // Sets up the view and runs the first scene; false ends the program at once.
    virtual bool applicationDidFinishLaunching() = 0;
    // The window lost focus or was minimised (save progress here).
    virtual void applicationDidEnterBackground() = 0;
    virtual void applicationWillEnterForeground() = 0;
    // Seconds between frames; never shorter than 1/60 s.
    virtual void setAnimationInterval(double interval) = 0;
};

} // namespace cocos2d
