#pragma once

#include "base/CCObject.h"

namespace cocos2d {

class CCNode;

// Tag of an action nobody tagged.
constexpr int kCCActionTagInvalid = -1;

// Something a node does over time, run through CCNode::runAction (the action manager
// then holds a reference to it and steps it every frame until it is done).
// startWithTarget binds the action to its node and restarts it from time 0; the
// action does not own its target. Times are in seconds.
class CCAction : public CCObject {
public:
    virtual bool isDone() const { return true; }
    virtual void startWithTarget(CCNode* target);
    // Called by the manager when the action is done; unbinds the target.
    virtual void stop();
    // Advances by dt seconds.
    virtual void step(float dt) {}
    // Applies the state at t, 0..1 of the duration (1 = finished).
    void update(float t) override {}

    CCNode* getTarget() const { return m_pTarget; }
    void setTarget(CCNode* target) { m_pTarget = target; }
    CCNode* getOriginalTarget() const { return m_pOriginalTarget; }
    int getTag() const { return m_nTag; }
    void setTag(int tag) { m_nTag = tag; }

protected:
    CCNode* m_pOriginalTarget = nullptr;
    CCNode* m_pTarget = nullptr;
    int m_nTag = kCCActionTagInvalid;
};

// An action with a known duration (0 for instant actions).
class CCFiniteTimeAction : public CCAction {
public:
    float getDuration() const { return m_fDuration; }
    void setDuration(float duration) { m_fDuration = duration; }

protected:
    float m_fDuration = 0.0f;
};

} // namespace cocos2d
