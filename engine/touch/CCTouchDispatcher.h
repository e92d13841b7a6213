#pragma once

#include "base/CCObject.h"
#include "touch/CCTouch.h"
#include "touch/CCTouchDelegate.h"

#include <map>
#include <vector>

namespace cocos2d {

// Touch priority of menus: below 0, so menus are asked before the game's own touch
// controls (joystick, swipe, selector), which register at 0.
constexpr int kCCMenuHandlerPriority = -128;

// Hands touches to targeted delegates.
//
// A new touch is offered to the delegates in ascending priority, equal priorities in
// order of registration, until one that swallows touches claims it (ccTouchBegan
// answers true). Each claimer then gets that touch's moves and its end or
// cancellation; a swallowing claimer hides them from the delegates after it.
//
// A registered delegate that is also a CCObject is retained until it is removed, so a
// node stays alive while it is registered: a node must unregister before its last
// owner lets go (CCLayer does so in onExit), never only in its own destructor.
//
// Registrations changed from inside a callback take effect when the dispatch ends: a
// delegate added then is not offered the touches being dispatched, and a removed one
// gets no further call (its retain is given up after the dispatch).
class CCTouchDispatcher : public CCObject {
public:
    CCTouchDispatcher() = default;
    ~CCTouchDispatcher() override;

    // While false, touches are dropped.
    bool isDispatchEvents() const { return m_dispatchEvents; }
    void setDispatchEvents(bool dispatchEvents) { m_dispatchEvents = dispatchEvents; }

    // Lower priority values are asked first. Adding a delegate that is already
    // registered is ignored.
    void addTargetedDelegate(CCTouchDelegate* delegate, int priority, bool swallowsTouches);
    // Unknown delegates are ignored. The delegate's claimed touches are dropped
    // without a cancellation.
    void removeDelegate(CCTouchDelegate* delegate);
    void removeAllDelegates();
    // Moves a registered delegate to a new priority, after the others of that priority.
    void setPriority(int priority, CCTouchDelegate* delegate);

    // Entry points with touch objects that the caller keeps alive for the call.
    void touchesBegan(const std::vector<CCTouch*>& touches, CCEvent* event);
    void touchesMoved(const std::vector<CCTouch*>& touches, CCEvent* event);
    void touchesEnded(const std::vector<CCTouch*>& touches, CCEvent* event);
    void touchesCancelled(const std::vector<CCTouch*>& touches, CCEvent* event);

    // Entry points for the platform layer: num touches given by id and window
    // position in frame pixels (x right, y down from the window's top-left). They are
    // turned into design points through the director's view (viewport and scale);
    // the dispatcher keeps one CCTouch per id from begin to end or cancel. A begin for
    // an id that is still down first cancels the old touch; other events for unknown
    // ids are ignored.
    void handleTouchesBegin(int num, const int ids[], const float xs[], const float ys[]);
    void handleTouchesMove(int num, const int ids[], const float xs[], const float ys[]);
    void handleTouchesEnd(int num, const int ids[], const float xs[], const float ys[]);
    void handleTouchesCancel(int num, const int ids[], const float xs[], const float ys[]);

private:
    enum class Phase { Began, Moved, Ended, Cancelled };

    struct Handler {
        CCTouchDelegate* delegate = nullptr;
        CCObject* object = nullptr; // the delegate as a retained CCObject, or null
        int priority = 0;
        bool swallows = false;
        bool removed = false;       // removed during a dispatch, gone after it
        std::vector<CCTouch*> claimed; // retained
    };

    struct Change {
        enum class Kind { Add, Remove, RemoveAll, SetPriority } kind;
        CCTouchDelegate* delegate;
        int priority;
        bool swallows;
    };

    void dispatch(Phase phase, const std::vector<CCTouch*>& touches, CCEvent* event);
    void applyChange(const Change& change);
    void insertHandler(Handler handler);
    Handler* findHandler(CCTouchDelegate* delegate);
    // Moves the delegate's handler out of the list; false when it has none.
    bool takeHandler(CCTouchDelegate* delegate, Handler& taken);
    static void releaseHandler(Handler& handler);
    std::vector<CCTouch*> updateTouches(int num, const int ids[], const float xs[], const float ys[]);
    std::vector<CCTouch*> takeTouches(int num, const int ids[], const float xs[], const float ys[]);

    std::vector<Handler> m_handlers; // in dispatch order
    std::vector<Change> m_pending;
    std::map<int, CCTouch*> m_activeTouches; // retained
    int m_dispatchDepth = 0;
    bool m_dispatchEvents = true;
};

} // namespace cocos2d
