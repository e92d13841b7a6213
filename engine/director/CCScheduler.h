#pragma once

#include "base/CCObject.h"

#include <climits>
#include <vector>

namespace cocos2d {

// Repeat count of a timer that fires until unscheduled.
constexpr unsigned int kCCRepeatForever = UINT_MAX - 1;
// Update priority of the engine's own services (the action manager): before all others.
constexpr int kCCPrioritySystem = INT_MIN;

// Calls per-frame updates and timers on CCObject targets. Times are in seconds.
//
// A tick runs, in order: the update(dt) of each target scheduled for updates, lower
// priorities first and equal priorities in order of scheduling; then the timers, by
// target in order of first scheduling. Paused targets are skipped.
//
// A timer accumulates the (time-scaled) frame steps; when the sum reaches its delay
// (first firing) or its interval, it fires once with that sum and keeps the surplus
// (interval 0: every tick, with the tick's step). It fires at most once a tick and
// repeat + 1 times in all (kCCRepeatForever: until unscheduled).
//
// The scheduler holds no reference to its targets between ticks: a target must be
// unscheduled before it dies (CCNode does so in its destructor). During its own
// callback a target is retained, and when that callback gave up its last other
// reference, the scheduler unschedules it before letting it go.
//
// Scheduling and unscheduling from inside a callback is safe: removed entries are
// never called again, added ones first run on the next tick.
class CCScheduler : public CCObject {
public:
    CCScheduler() = default;
    ~CCScheduler() override = default;

    // Scales every step (1 = real time); negative values count as 0.
    void setTimeScale(float scale) { m_fTimeScale = scale < 0.0f ? 0.0f : scale; }
    float getTimeScale() const { return m_fTimeScale; }

    void update(float dt) override;

    // Already scheduled selectors get the new interval (and keep their count).
    void scheduleSelector(SEL_SCHEDULE selector, CCObject* target, float interval, unsigned int repeat,
                          float delay, bool paused);
    void scheduleSelector(SEL_SCHEDULE selector, CCObject* target, float interval, bool paused);
    void unscheduleSelector(SEL_SCHEDULE selector, CCObject* target);
    // An already scheduled target keeps its first priority.
    void scheduleUpdateForTarget(CCObject* target, int priority, bool paused);
    void unscheduleUpdateForTarget(const CCObject* target);
    void unscheduleAllForTarget(CCObject* target);
    // Every update and timer, the engine's own included.
    void unscheduleAll();

    // Applies to what is scheduled for the target at the time of the call. A new update
    // entry, or the first timer of a target, takes the paused flag it is scheduled with;
    // later timers share their target's state.
    void pauseTarget(CCObject* target);
    void resumeTarget(CCObject* target);
    bool isTargetPaused(CCObject* target) const;

    bool isScheduled(SEL_SCHEDULE selector, CCObject* target) const;
    bool isUpdateScheduled(const CCObject* target) const;

private:
    struct UpdateEntry {
        CCObject* target;
        int priority;
        bool paused;
        bool removed;
    };

    struct Timer {
        SEL_SCHEDULE selector;
        float interval;
        float delay;
        unsigned int repeat;
        unsigned int timesExecuted;
        double elapsed;
        bool useDelay;
        bool removed;
        // Scheduled during the current tick: first runs on the next one.
        bool fresh;
    };

    struct TimerTarget {
        CCObject* target;
        bool paused;
        std::vector<Timer> timers;
    };

    void tickTimers(float dt);
    // Calls (target->*call)() with the target retained, then unschedules a target left
    // with no other reference before releasing it.
    template <class Call>
    void callGuarded(CCObject* target, Call call);
    void compact();
    Timer* findTimer(SEL_SCHEDULE selector, const CCObject* target);
    TimerTarget* findTimerTarget(const CCObject* target);
    void insertUpdate(const UpdateEntry& entry);

    float m_fTimeScale = 1.0f;
    bool m_bUpdating = false;
    // Sorted by priority, equal priorities in order of arrival.
    std::vector<UpdateEntry> m_updates;
    std::vector<UpdateEntry> m_pendingUpdates;
    // In order of first scheduling; walked by index, as callbacks may append.
    std::vector<TimerTarget> m_timerTargets;
};

} // namespace cocos2d
