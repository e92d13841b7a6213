#pragma once

#include "director/CCApplicationProtocol.h"

#include <functional>

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

    // The main loop: applicationDidFinishLaunching, then per frame: the before-frame hook,
    // the view's events, one director frame, the after-frame hook; until the director's
    // view is closed (CCDirector::end). Frames come one per animation interval (sleeping
    // in between) with the measured time step, or, in fixed-step mode, back to back with
    // the fixed step. Without a view set at launch, the headless view is used.
    // Returns 0; the program's exit status is the game's to give.
    int run();

    // Seconds every frame advances, without sleeping (scripted and test runs); 0, the
    // default, measures time and paces frames.
    void setFixedStep(float seconds) { m_fixedStep = seconds > 0.0f ? seconds : 0.0f; }
    float getFixedStep() const { return m_fixedStep; }
    // Run around every frame of run(). The after-frame hook runs only while the view is
    // still open: not after the frame that tore the director down.
    void setFrameHooks(std::function<void()> beforeFrame, std::function<void()> afterFrame)
    {
        m_beforeFrame = std::move(beforeFrame);
        m_afterFrame = std::move(afterFrame);
    }

    // Forwards to the director.
    void setAnimationInterval(double interval) override;

private:
    float m_fixedStep = 0.0f;
    std::function<void()> m_beforeFrame;
    std::function<void()> m_afterFrame;
};

} // namespace cocos2d
