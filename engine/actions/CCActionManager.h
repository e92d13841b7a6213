#pragma once

#include "base/CCObject.h"

#include <vector>

namespace cocos2d {

class CCAction;
class CCNode;

// Steps the running actions of every node, once a frame, first in the scheduler's
// tick. It holds a reference to each action it runs, and none to the targets between
// frames: a node's destructor removes its actions. During a target's steps the target
// and the stepping action are retained, so an action may remove itself, its target or
// other actions (removed actions are not stepped again). Actions added during a tick
// take their first step on the next one. A finished action gets stop() and is dropped;
// a removed one is dropped without stop().
class CCActionManager : public CCObject {
public:
    CCActionManager() = default;
    ~CCActionManager() override;

    // Starts action on target (startWithTarget) and retains it. An action already
    // running is logged and ignored. paused applies when the target has no actions yet.
    void addAction(CCAction* action, CCNode* target, bool paused);
    void removeAllActions();
    void removeAllActionsFromTarget(CCObject* target);
    void removeAction(CCAction* action);
    void removeActionByTag(int tag, CCObject* target);
    // The first running action of target with tag, or null.
    CCAction* getActionByTag(int tag, CCObject* target) const;
    unsigned int numberOfRunningActionsInTarget(CCObject* target) const;

    // Stops and restarts the clock of every action of target.
    void pauseTarget(CCObject* target);
    void resumeTarget(CCObject* target);
    bool isTargetPaused(CCObject* target) const;

    void update(float dt) override;

private:
    struct Slot {
        // Null for an action removed during a tick.
        CCAction* action;
        // Added during the current tick: first stepped on the next one.
        bool fresh;
    };

    struct TargetActions {
        CCNode* target;
        bool paused;
        std::vector<Slot> slots;
    };

    TargetActions* find(const CCObject* target);
    const TargetActions* find(const CCObject* target) const;
    // Releases the action of a slot: empties the slot during a tick, erases it otherwise.
    void removeAt(TargetActions& entry, size_t index);
    void compact();

    // In order of first action; walked by index, as steps may append.
    std::vector<TargetActions> m_targets;
    bool m_bUpdating = false;
};

} // namespace cocos2d
