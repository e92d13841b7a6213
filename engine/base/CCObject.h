#pragma once

#include <cstddef>

namespace cocos2d {

// Base of every engine object: reference counted. A new object holds one reference;
// release() at zero deletes it. autorelease() hands that reference to the current
// autorelease pool, which releases it when the pool drains (the end of the frame).
class CCObject {
public:
    CCObject();
    CCObject(const CCObject&) = delete;
    CCObject& operator=(const CCObject&) = delete;
    virtual ~CCObject();

    void retain();
    void release();
    CCObject* autorelease();
    unsigned int retainCount() const { return m_uReference; }
    bool isSingleReference() const { return m_uReference == 1; }

    virtual bool isEqual(const CCObject* other) const { return this == other; }
    // Per-frame hook for objects scheduled with the scheduler's update.
    virtual void update(float dt) {}

    // Live engine objects in the process: tests read it to catch leaks and double releases.
    static long liveObjectCount();

    const unsigned int m_uID;

protected:
    unsigned int m_uReference = 1;
};

// Member callbacks in the engine's style: a target object and a member pointer.
class CCNode;
typedef void (CCObject::*SEL_SCHEDULE)(float);
typedef void (CCObject::*SEL_CallFunc)();
typedef void (CCObject::*SEL_CallFuncN)(CCNode*);
typedef void (CCObject::*SEL_CallFuncO)(CCObject*);
typedef void (CCObject::*SEL_MenuHandler)(CCObject*);

#define schedule_selector(_SELECTOR) (static_cast<cocos2d::SEL_SCHEDULE>(&_SELECTOR))
#define callfunc_selector(_SELECTOR) (static_cast<cocos2d::SEL_CallFunc>(&_SELECTOR))
#define callfuncN_selector(_SELECTOR) (static_cast<cocos2d::SEL_CallFuncN>(&_SELECTOR))
#define callfuncO_selector(_SELECTOR) (static_cast<cocos2d::SEL_CallFuncO>(&_SELECTOR))
#define menu_selector(_SELECTOR) (static_cast<cocos2d::SEL_MenuHandler>(&_SELECTOR))

#define CC_SAFE_RELEASE(p) do { if (p) (p)->release(); } while (0)
#define CC_SAFE_RELEASE_NULL(p) do { if (p) { (p)->release(); (p) = nullptr; } } while (0)
#define CC_SAFE_RETAIN(p) do { if (p) (p)->retain(); } while (0)
#define CC_SAFE_DELETE(p) do { delete (p); (p) = nullptr; } while (0)

} // namespace cocos2d
