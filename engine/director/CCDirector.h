#pragma once

#include "base/CCGeometry.h"
#include "base/CCObject.h"

#include <cstdint>
#include <vector>

namespace cocos2d {

class CCAccelerometer;
class CCActionManager;
class CCEGLViewProtocol;
class CCKeypadDispatcher;
class CCScene;
class CCScheduler;
class CCTouchDispatcher;

// Runs the scenes frame by frame: one process-wide instance.
//
// A frame: the scheduler ticks (the action manager first, then updates by priority,
// then timers) unless the director is paused; a scene given to replaceScene or
// pushScene/popScene becomes the running one; the view prepares its surface; the
// projection is set for the design area; the running scene is visited; the view
// swaps buffers; the end-of-frame autorelease pool is drained (mainLoop variants).
//
// Time steps are in seconds. A measured step longer than kCCMaxFrameDelta (a stall:
// window dragged, machine suspended) is replaced by the animation interval, and a
// negative one by 0, so that actions and timers do not jump.
class CCDirector : public CCObject {
public:
    // Created on first use.
    static CCDirector* sharedDirector();

    // --- scenes (retained while the director holds them)
    // The first scene: it runs at once.
    void runWithScene(CCScene* scene);
    // The running scene is replaced at the next frame, after that frame's scheduler
    // tick: the old one gets onExit, cleanup, and is released.
    void replaceScene(CCScene* scene);
    // Suspends the running scene (onExit, kept) and runs scene from the next frame.
    void pushScene(CCScene* scene);
    // Goes back to the suspended scene at the next frame; with none left, ends.
    void popScene();
    CCScene* getRunningScene() const { return m_pRunningScene; }

    // --- view and sizes (zero sizes without a view)
    // Not owned: the view must outlive its use by the director.
    void setOpenGLView(CCEGLViewProtocol* view);
    CCEGLViewProtocol* getOpenGLView() const { return m_pobOpenGLView; }
    // The design size (as widened or heightened by the fixed-width/height policies).
    CCSize getWinSize() const;
    CCSize getWinSizeInPixels() const;
    CCSize getVisibleSize() const;
    CCPoint getVisibleOrigin() const;
    // Where the design area's origin lies from the visible area's, in points, for the
    // policies other than no-border: always (0,0). The design resolution is re-fitted
    // after every frame-size change, so the visible size and origin carry the difference
    // (a no-border crop is minus the visible origin).
    CCPoint contentOffset() const { return CCPointZero; }

    // --- frame loop
    // Seconds between frames; never shorter than 1/60 s.
    void setAnimationInterval(double interval);
    double getAnimationInterval() const { return m_dAnimationInterval; }
    // One frame with the time measured since the previous one (ZqClock), no drain.
    void drawScene();
    // One frame with the measured time step, then the autorelease drain; after end(),
    // tears the director down instead.
    void mainLoop();
    // The same with an injected time step (tests, headless runs); dt is not clamped
    // except that a negative one counts as 0.
    void mainLoopWithDelta(float dt);
    // The time step of the current (or last) frame.
    float getDeltaTime() const { return m_fDeltaTime; }
    unsigned int getTotalFrames() const { return m_uTotalFrames; }

    // While paused, frames are drawn but the scheduler does not tick.
    void pause();
    void resume();
    bool isPaused() const { return m_bPaused; }

    // Ends at the start of the next main-loop frame: purgeDirector().
    void end();
    // Exits and releases the scenes, unschedules everything, ends the view, drains
    // the autorelease pools and destroys the director; sharedDirector() then makes a
    // fresh one. Pointers to the old director, scheduler and action manager die.
    void purgeDirector();

    // --- services
    CCScheduler* getScheduler() const { return m_pScheduler; }
    CCActionManager* getActionManager() const { return m_pActionManager; }
    // The input services: the director creates them and holds a reference to each;
    // a setter replaces one (retaining the new, releasing the old).
    CCTouchDispatcher* getTouchDispatcher() const { return m_pTouchDispatcher; }
    void setTouchDispatcher(CCTouchDispatcher* dispatcher);
    CCKeypadDispatcher* getKeypadDispatcher() const { return m_pKeypadDispatcher; }
    void setKeypadDispatcher(CCKeypadDispatcher* dispatcher);
    CCAccelerometer* getAccelerometer() const { return m_pAccelerometer; }
    void setAccelerometer(CCAccelerometer* accelerometer);

private:
    CCDirector();
    ~CCDirector() override;

    void runFrame(float dt);
    // The 2D projection of the design area: origin bottom-left, one point one unit,
    // z from -1024 to 1024; the model-view starts as the identity.
    void setProjection();
    // Makes the waiting scene the running one.
    void setNextScene();
    float measureDeltaTime();

    CCScene* m_pRunningScene = nullptr;
    CCScene* m_pNextScene = nullptr;
    // Scenes suspended by pushScene, retained, oldest first.
    std::vector<CCScene*> m_scenesStack;
    bool m_bSendCleanupToScene = false;

    CCEGLViewProtocol* m_pobOpenGLView = nullptr;
    CCScheduler* m_pScheduler;
    CCActionManager* m_pActionManager;
    CCTouchDispatcher* m_pTouchDispatcher = nullptr;
    CCKeypadDispatcher* m_pKeypadDispatcher = nullptr;
    CCAccelerometer* m_pAccelerometer = nullptr;

    double m_dAnimationInterval = 1.0 / 60.0;
    float m_fDeltaTime = 0.0f;
    unsigned int m_uTotalFrames = 0;
    bool m_bPaused = false;
    bool m_bPurgeDirectorInNextLoop = false;
    // ZqClock ticks of the previous measured frame; < 0 before the first.
    int64_t m_lastTicks = -1;
};

// Longest measured frame time step taken as it is, in seconds.
constexpr float kCCMaxFrameDelta = 0.25f;

} // namespace cocos2d
