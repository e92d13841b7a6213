#include "actions/CCActionManager.h"

#include "actions/CCAction.h"
#include "nodes/CCNode.h"

#include <ZqLog.h>

#include <algorithm>

namespace cocos2d {

CCActionManager::~CCActionManager()
{
    removeAllActions();
}

CCActionManager::TargetActions* CCActionManager::find(const CCObject* target)
{
    for (TargetActions& entry : m_targets) {
        if (entry.target == target)
            return &entry;
    }
    return nullptr;
}

const CCActionManager::TargetActions* CCActionManager::find(const CCObject* target) const
{
    return const_cast<CCActionManager*>(this)->find(target);
}

void CCActionManager::addAction(CCAction* action, CCNode* target, bool paused)
{
    if (!action || !target)
        return;
    TargetActions* entry = find(target);
    if (!entry) {
        m_targets.push_back(TargetActions{target, paused, {}});
        entry = &m_targets.back();
    }
    bool empty = true;
    for (const Slot& slot : entry->slots) {
        if (slot.action == action) {
            debugLog("[CCActionManager] addAction of an action already running ignored");
            return;
        }
        empty = empty && !slot.action;
    }
    if (empty)
        entry->paused = paused;
    action->retain();
    entry->slots.push_back(Slot{action, m_bUpdating});
    action->startWithTarget(target);
}

void CCActionManager::removeAt(TargetActions& entry, size_t index)
{
    CCAction* action = entry.slots[index].action;
    if (m_bUpdating)
        entry.slots[index].action = nullptr;
    else
        entry.slots.erase(entry.slots.begin() + static_cast<std::ptrdiff_t>(index));
    action->release();
}

void CCActionManager::removeAllActions()
{
    if (m_bUpdating) {
        for (size_t t = 0; t < m_targets.size(); ++t)
            removeAllActionsFromTarget(m_targets[t].target);
        return;
    }
    // Outside a tick each removal erases its entry.
    while (!m_targets.empty())
        removeAllActionsFromTarget(m_targets.front().target);
}

void CCActionManager::removeAllActionsFromTarget(CCObject* target)
{
    TargetActions* entry = find(target);
    if (!entry)
        return;
    // Releasing an action may free objects whose destructors come back here: the slots
    // are emptied before any release.
    std::vector<Slot> slots;
    if (m_bUpdating) {
        slots = entry->slots;
        for (Slot& slot : entry->slots)
            slot.action = nullptr;
    } else {
        slots.swap(entry->slots);
        compact();
    }
    for (const Slot& slot : slots) {
        if (slot.action)
            slot.action->release();
    }
}

void CCActionManager::removeAction(CCAction* action)
{
    if (!action)
        return;
    for (TargetActions& entry : m_targets) {
        for (size_t i = 0; i < entry.slots.size(); ++i) {
            if (entry.slots[i].action == action) {
                removeAt(entry, i);
                if (!m_bUpdating)
                    compact();
                return;
            }
        }
    }
}

void CCActionManager::removeActionByTag(int tag, CCObject* target)
{
    removeAction(getActionByTag(tag, target));
}

CCAction* CCActionManager::getActionByTag(int tag, CCObject* target) const
{
    if (const TargetActions* entry = find(target)) {
        for (const Slot& slot : entry->slots) {
            if (slot.action && slot.action->getTag() == tag)
                return slot.action;
        }
    }
    return nullptr;
}

unsigned int CCActionManager::numberOfRunningActionsInTarget(CCObject* target) const
{
    const TargetActions* entry = find(target);
    if (!entry)
        return 0;
    return static_cast<unsigned int>(
        std::count_if(entry->slots.begin(), entry->slots.end(), [](const Slot& slot) { return slot.action; }));
}

void CCActionManager::pauseTarget(CCObject* target)
{
    if (TargetActions* entry = find(target))
        entry->paused = true;
}

void CCActionManager::resumeTarget(CCObject* target)
{
    if (TargetActions* entry = find(target))
        entry->paused = false;
}

bool CCActionManager::isTargetPaused(CCObject* target) const
{
    const TargetActions* entry = find(target);
    return entry && entry->paused;
}

void CCActionManager::update(float dt)
{
    m_bUpdating = true;
    // Entries and slots are re-read by index after every step: steps may add targets
    // and actions (appended, marked fresh) and empty slots, but never erase them.
    for (size_t t = 0; t < m_targets.size(); ++t) {
        if (m_targets[t].paused)
            continue;
        CCNode* target = m_targets[t].target;
        target->retain();
        for (size_t i = 0; i < m_targets[t].slots.size() && !m_targets[t].paused; ++i) {
            CCAction* action = m_targets[t].slots[i].action;
            if (!action || m_targets[t].slots[i].fresh)
                continue;
            action->retain();
            action->step(dt);
            if (action->isDone() && m_targets[t].slots[i].action == action) {
                action->stop();
                // stop() may have removed it already.
                if (m_targets[t].slots[i].action == action)
                    removeAt(m_targets[t], i);
            }
            action->release();
        }
        target->release();
    }
    m_bUpdating = false;
    compact();
}

void CCActionManager::compact()
{
    for (TargetActions& entry : m_targets) {
        std::erase_if(entry.slots, [](const Slot& slot) { return !slot.action; });
        for (Slot& slot : entry.slots)
            slot.fresh = false;
    }
    std::erase_if(m_targets, [](const TargetActions& entry) { return entry.slots.empty(); });
}

} // namespace cocos2d
