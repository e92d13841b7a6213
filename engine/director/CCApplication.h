#pragma once

#include "director/CCApplicationProtocol.h"

namespace cocos2d {

// The program's application: the game's delegate derives from it. Constructing one
// makes it the shared application (one at a time); destroying it clears that.
class CCApplication : public CCApplicationProtocol {
public:
    // The live application, or null.
    static CCApplication* sharedApplication();

    CCApplication();
    CCApplication(const CCApplication&) = delete;
    CCApplication& operator=(const CCApplication&) = delete;
    ~CCApplication() override;

    // The main loop: applicationDidFinishLaunching, then the view's events and one
    // director frame per animation interval (sleeping in between) until the director's view is closed
    // (CCDirector::end). Without a view set at launch, the headless view is used.
    // Returns the exit status: 0.
    int run();

    // Forwards to the director.
    void setAnimationInterval(double interval) override;
};

} // namespace cocos2d
