#include "director/CCScheduler.h"

#include <algorithm>

namespace cocos2d {

namespace {

// Frame steps summed in float drift: n steps of 1/30 s may add up to a hair under
// n/30. A timer due within this margin fires now rather than a whole frame late.
constexpr double kDueMargin = 1e-4;

} // namespace

template <class Call>
void CCScheduler::callGuarded(CCObject* target, Call call)
{
    target->retain();
    call();
    if (target->retainCount() == 1)
        unscheduleAllForTarget(target);
    target->release();
}

void CCScheduler::update(float dt)
{
    dt *= m_fTimeScale;
    m_bUpdating = true;
    // Entries are re-read by index after each call: callbacks may mark them removed.
    for (size_t i = 0; i < m_updates.size(); ++i) {
        if (m_updates[i].removed || m_updates[i].paused)
            continue;
        CCObject* target = m_updates[i].target;
        callGuarded(target, [target, dt] { target->update(dt); });
    }
    tickTimers(dt);
    m_bUpdating = false;
    compact();
}

void CCScheduler::tickTimers(float dt)
{
    const size_t targetCount = m_timerTargets.size();
    for (size_t t = 0; t < targetCount; ++t) {
        for (size_t i = 0; i < m_timerTargets[t].timers.size(); ++i) {
            TimerTarget& entry = m_timerTargets[t];
            Timer& timer = entry.timers[i];
            if (entry.paused || timer.removed || timer.fresh)
                continue;
            timer.elapsed += dt;
            const double due = timer.useDelay ? timer.delay : timer.interval;
            if (timer.elapsed + kDueMargin < due)
                continue;
            const float passed = static_cast<float>(timer.interval > 0.0f || timer.useDelay ? timer.elapsed : dt);
            timer.elapsed = timer.interval > 0.0f || timer.useDelay ? std::max(0.0, timer.elapsed - due) : 0.0;
            timer.useDelay = false;
            const bool last = timer.repeat != kCCRepeatForever && timer.timesExecuted >= timer.repeat;
            ++timer.timesExecuted;
            // Marked before the call, so a selector that schedules itself again is kept.
            if (last)
                timer.removed = true;
            CCObject* target = entry.target;
            const SEL_SCHEDULE selector = timer.selector;
            callGuarded(target, [target, selector, passed] { (target->*selector)(passed); });
        }
    }
}

void CCScheduler::compact()
{
    m_updates.erase(std::remove_if(m_updates.begin(), m_updates.end(), [](const UpdateEntry& e) { return e.removed; }),
                    m_updates.end());
    std::vector<UpdateEntry> pending;
    pending.swap(m_pendingUpdates);
    for (const UpdateEntry& entry : pending) {
        if (!entry.removed)
            insertUpdate(entry);
    }
    for (TimerTarget& entry : m_timerTargets) {
        std::erase_if(entry.timers, [](const Timer& timer) { return timer.removed; });
        for (Timer& timer : entry.timers)
            timer.fresh = false;
    }
    std::erase_if(m_timerTargets, [](const TimerTarget& entry) { return entry.timers.empty(); });
}

void CCScheduler::insertUpdate(const UpdateEntry& entry)
{
    auto at = std::upper_bound(m_updates.begin(), m_updates.end(), entry.priority,
                               [](int priority, const UpdateEntry& e) { return priority < e.priority; });
    m_updates.insert(at, entry);
}

CCScheduler::TimerTarget* CCScheduler::findTimerTarget(const CCObject* target)
{
    for (TimerTarget& entry : m_timerTargets) {
        if (entry.target == target)
            return &entry;
    }
    return nullptr;
}

CCScheduler::Timer* CCScheduler::findTimer(SEL_SCHEDULE selector, const CCObject* target)
{
    TimerTarget* entry = findTimerTarget(target);
    if (!entry)
        return nullptr;
    for (Timer& timer : entry->timers) {
        if (!timer.removed && timer.selector == selector)
            return &timer;
    }
    return nullptr;
}

void CCScheduler::scheduleSelector(SEL_SCHEDULE selector, CCObject* target, float interval, unsigned int repeat,
                                   float delay, bool paused)
{
    if (!selector || !target)
        return;
    interval = std::max(0.0f, interval);
    if (Timer* timer = findTimer(selector, target)) {
        timer->interval = interval;
        return;
    }
    TimerTarget* entry = findTimerTarget(target);
    if (!entry) {
        m_timerTargets.push_back(TimerTarget{target, paused, {}});
        entry = &m_timerTargets.back();
    } else if (std::all_of(entry->timers.begin(), entry->timers.end(), [](const Timer& t) { return t.removed; })) {
        // Only timers unscheduled during this tick are left: the target starts anew.
        entry->paused = paused;
    }
    const bool useDelay = delay > 0.0f;
    entry->timers.push_back(Timer{selector, interval, std::max(0.0f, delay), repeat, 0, 0.0, useDelay, false,
                                  m_bUpdating});
}

void CCScheduler::scheduleSelector(SEL_SCHEDULE selector, CCObject* target, float interval, bool paused)
{
    scheduleSelector(selector, target, interval, kCCRepeatForever, 0.0f, paused);
}

void CCScheduler::unscheduleSelector(SEL_SCHEDULE selector, CCObject* target)
{
    if (Timer* timer = findTimer(selector, target))
        timer->removed = true;
    if (!m_bUpdating)
        compact();
}

void CCScheduler::scheduleUpdateForTarget(CCObject* target, int priority, bool paused)
{
    if (!target || isUpdateScheduled(target))
        return;
    const UpdateEntry entry{target, priority, paused, false};
    if (m_bUpdating)
        m_pendingUpdates.push_back(entry);
    else
        insertUpdate(entry);
}

void CCScheduler::unscheduleUpdateForTarget(const CCObject* target)
{
    for (UpdateEntry& entry : m_updates) {
        if (entry.target == target)
            entry.removed = true;
    }
    for (UpdateEntry& entry : m_pendingUpdates) {
        if (entry.target == target)
            entry.removed = true;
    }
    if (!m_bUpdating)
        compact();
}

void CCScheduler::unscheduleAllForTarget(CCObject* target)
{
    if (TimerTarget* entry = findTimerTarget(target)) {
        for (Timer& timer : entry->timers)
            timer.removed = true;
    }
    unscheduleUpdateForTarget(target);
}

void CCScheduler::unscheduleAll()
{
    for (UpdateEntry& entry : m_updates)
        entry.removed = true;
    for (UpdateEntry& entry : m_pendingUpdates)
        entry.removed = true;
    for (TimerTarget& entry : m_timerTargets) {
        for (Timer& timer : entry.timers)
            timer.removed = true;
    }
    if (!m_bUpdating)
        compact();
}

void CCScheduler::pauseTarget(CCObject* target)
{
    for (UpdateEntry& entry : m_updates) {
        if (entry.target == target)
            entry.paused = true;
    }
    for (UpdateEntry& entry : m_pendingUpdates) {
        if (entry.target == target)
            entry.paused = true;
    }
    if (TimerTarget* entry = findTimerTarget(target))
        entry->paused = true;
}

void CCScheduler::resumeTarget(CCObject* target)
{
    for (UpdateEntry& entry : m_updates) {
        if (entry.target == target)
            entry.paused = false;
    }
    for (UpdateEntry& entry : m_pendingUpdates) {
        if (entry.target == target)
            entry.paused = false;
    }
    if (TimerTarget* entry = findTimerTarget(target))
        entry->paused = false;
}

bool CCScheduler::isTargetPaused(CCObject* target) const
{
    for (const TimerTarget& entry : m_timerTargets) {
        if (entry.target == target)
            return entry.paused;
    }
    for (const std::vector<UpdateEntry>* list : {&m_updates, &m_pendingUpdates}) {
        for (const UpdateEntry& entry : *list) {
            if (entry.target == target && !entry.removed)
                return entry.paused;
        }
    }
    return false;
}

bool CCScheduler::isScheduled(SEL_SCHEDULE selector, CCObject* target) const
{
    for (const TimerTarget& entry : m_timerTargets) {
        if (entry.target != target)
            continue;
        return std::any_of(entry.timers.begin(), entry.timers.end(),
                           [selector](const Timer& t) { return !t.removed && t.selector == selector; });
    }
    return false;
}

bool CCScheduler::isUpdateScheduled(const CCObject* target) const
{
    for (const std::vector<UpdateEntry>* list : {&m_updates, &m_pendingUpdates}) {
        for (const UpdateEntry& entry : *list) {
            if (entry.target == target && !entry.removed)
                return true;
        }
    }
    return false;
}

} // namespace cocos2d
