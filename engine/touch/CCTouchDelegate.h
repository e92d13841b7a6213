#pragma once

namespace cocos2d {

class CCTouch;
class CCEvent;

// Receiver of targeted touches (see CCTouchDispatcher). Each touch is first offered
// through ccTouchBegan; a delegate that answers true claims that touch and then gets
// its moves and its end or cancellation. The touch and event are only borrowed for
// the call. Mixed into nodes (CCLayer, CCMenu, the game's controls).
class CCTouchDelegate {
public:
    virtual ~CCTouchDelegate() = default;

    // True claims the touch.
    virtual bool ccTouchBegan(CCTouch* touch, CCEvent* event) { return false; }
    virtual void ccTouchMoved(CCTouch* touch, CCEvent* event) {}
    virtual void ccTouchEnded(CCTouch* touch, CCEvent* event) {}
    virtual void ccTouchCancelled(CCTouch* touch, CCEvent* event) {}
};

} // namespace cocos2d
