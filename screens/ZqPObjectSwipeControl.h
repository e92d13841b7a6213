#pragma once

#include "cocos2d.h"

#include <cstdint>
#include <memory>

class ZqModelObjectSwipeControl;

// An invisible touch area, placed and sized by a swipe-control model ("Position", "Scale" x
// 100 points), that reports quick swipes to the input controller's subscribers: a claimed
// touch that moves more than 30 view points within 0.5 s of touching down reports one
// swipe, left (action 13), right (14), up (15) or down (16), the x tests first, with the
// control as the argument. One swipe a touch; time on the injectable clock (ZqClock.h).
//
// It registers with the director's touch dispatcher (priority 0, swallowing) when made, and
// the dispatcher retains it: the screen that holds it removes it from the dispatcher in
// its destructor, or it lives on.
class ZqPObjectSwipeControl : public cocos2d::CCNode, public cocos2d::CCTouchDelegate {
public:
    // Autoreleased; never null. Without a model it claims no touch.
    static ZqPObjectSwipeControl* create(const std::shared_ptr<ZqModelObjectSwipeControl>& model);

    // Keeps the model; the node's position becomes "Position" at time 0 and its user object
    // the model (ZqObjectModelHolder). Without a model: (0, 0) and no user object.
    void setModel(const std::shared_ptr<ZqModelObjectSwipeControl>& model);
    const std::shared_ptr<ZqModelObjectSwipeControl>& model() const { return m_model; }

    // Claims touches inside the area and starts a swipe there.
    bool ccTouchBegan(cocos2d::CCTouch* touch, cocos2d::CCEvent* event) override;
    void ccTouchMoved(cocos2d::CCTouch* touch, cocos2d::CCEvent* event) override;
    // Ends the swipe under way. A cancelled touch keeps the engine's default, which does
    // nothing: no move of that touch follows, and the next touch starts afresh.
    void ccTouchEnded(cocos2d::CCTouch* touch, cocos2d::CCEvent* event) override;

    bool isSwiping() const { return m_swiping; }

private:
    ZqPObjectSwipeControl();
    void endSwipe();

    std::shared_ptr<ZqModelObjectSwipeControl> m_model;
    // An explicit flag: a touch may start anywhere, view row and column 0 included.
    bool m_swiping = false;
    // In view coordinates (y down): where the swipe started.
    cocos2d::CCPoint m_start;
    // 100 ns ticks of the clock when the swipe started.
    int64_t m_startTicks = 0;
};
