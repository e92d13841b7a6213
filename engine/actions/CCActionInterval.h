#pragma once

#include "actions/CCAction.h"

namespace cocos2d {

// An action that lasts getDuration() seconds. Its elapsed time is the sum of the steps
// since startWithTarget (the first step counts in full); each step applies
// update(elapsed / duration) clamped to 0..1, and the action is done once the elapsed
// time reaches the duration. A zero duration finishes on the first step.
class CCActionInterval : public CCFiniteTimeAction {
public:
    float getElapsed() const { return m_elapsed; }
    bool isDone() const override { return m_elapsed >= m_fDuration; }
    void startWithTarget(CCNode* target) override;
    void step(float dt) override;

protected:
    bool initWithDuration(float duration);

    float m_elapsed = 0.0f;
};

// Runs two actions one after the other (the list forms nest pairs).
class CCSequence : public CCActionInterval {
public:
    // Autoreleased; null when either action is null.
    static CCSequence* createWithTwoActions(CCFiniteTimeAction* first, CCFiniteTimeAction* second);
    // A null-terminated list of at least one action; autoreleased, null for none.
    static CCSequence* create(CCFiniteTimeAction* first, ...) __attribute__((sentinel));

    ~CCSequence() override;
    void startWithTarget(CCNode* target) override;
    void stop() override;
    void update(float t) override;

private:
    CCFiniteTimeAction* m_pActions[2] = {nullptr, nullptr};
    // Fraction of the duration taken by the first action.
    float m_split = 0.0f;
    // The action last updated: -1 none yet, 0 or 1.
    int m_last = -1;
};

// Runs an action a number of times, then is done (and removed by the manager).
class CCRepeat : public CCActionInterval {
public:
    // Autoreleased; null for a null action.
    static CCRepeat* create(CCFiniteTimeAction* action, unsigned int times);

    ~CCRepeat() override;
    void startWithTarget(CCNode* target) override;
    void stop() override;
    void update(float t) override;

private:
    CCFiniteTimeAction* m_pInnerAction = nullptr;
    unsigned int m_uTimes = 0;
    // Runs of the inner action finished so far.
    unsigned int m_uTotal = 0;
};

// Runs an action again and again; never done. Time left over when the inner action
// finishes counts into its next run, so the loop does not drift.
class CCRepeatForever : public CCActionInterval {
public:
    // Autoreleased; null for a null action.
    static CCRepeatForever* create(CCActionInterval* action);

    ~CCRepeatForever() override;
    bool isDone() const override { return false; }
    void startWithTarget(CCNode* target) override;
    void stop() override;
    void step(float dt) override;

private:
    CCActionInterval* m_pInnerAction = nullptr;
};

// Waits.
class CCDelayTime : public CCActionInterval {
public:
    // Autoreleased.
    static CCDelayTime* create(float duration);
};

// Sets the target's opacity (through its RGBA protocol) from 0 up to 255. Targets
// without the protocol are left alone.
class CCFadeIn : public CCActionInterval {
public:
    // Autoreleased.
    static CCFadeIn* create(float duration);
    void update(float t) override;
};

// Sets the target's opacity from 255 down to 0, whatever it was at the start.
class CCFadeOut : public CCActionInterval {
public:
    // Autoreleased.
    static CCFadeOut* create(float duration);
    void update(float t) override;
};

} // namespace cocos2d
