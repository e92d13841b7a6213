#pragma once

#include "nodes/CCNode.h"
#include "touch/CCAccelerometerDelegate.h"
#include "touch/CCKeypadDelegate.h"
#include "touch/CCTouchDelegate.h"

namespace cocos2d {

// A full-window node that can take touches, keypad keys and accelerometer readings.
// init() gives it the director's window size as content size; it is positioned by
// its bottom-left corner (the anchor (0.5, 0.5) only centres rotation and scale).
//
// While the layer is running and a source is enabled, it is registered with that
// source's dispatcher (touches as a targeted, swallowing delegate at the touch
// priority); onExit unregisters it, so a layer that leaves the scene gets nothing.
// The delegate methods inherited from the three delegate classes do nothing.
class CCLayer : public CCNode, public CCTouchDelegate, public CCKeypadDelegate, public CCAccelerometerDelegate {
public:
    // Autoreleased.
    static CCLayer* create();

    CCLayer();
    bool init() override;

    void onEnter() override;
    void onExit() override;

    // Called on entering with touches enabled: override to register differently.
    virtual void registerWithTouchDispatcher();

    virtual bool isTouchEnabled() const { return m_bTouchEnabled; }
    virtual void setTouchEnabled(bool enabled);
    // Lower priorities are offered touches first; a registered layer moves at once.
    virtual void setTouchPriority(int priority);
    virtual int getTouchPriority() const { return m_nTouchPriority; }

    virtual bool isKeypadEnabled() const { return m_bKeypadEnabled; }
    virtual void setKeypadEnabled(bool enabled);

    virtual bool isAccelerometerEnabled() const { return m_bAccelerometerEnabled; }
    virtual void setAccelerometerEnabled(bool enabled);

private:
    void registerSources();
    void unregisterSources();

    bool m_bTouchEnabled = false;
    bool m_bKeypadEnabled = false;
    bool m_bAccelerometerEnabled = false;
    int m_nTouchPriority = 0;
};

} // namespace cocos2d
