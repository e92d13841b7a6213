#pragma once

#include "base/CCObject.h"

#include <memory>
#include <vector>

namespace cocos2d {

// A pool of references to give up later: each autorelease() adds one entry, and
// clear() releases one reference per entry (an object autoreleased twice is released twice).
class CCAutoreleasePool {
public:
    void addObject(CCObject* object);
    void clear();
    bool contains(const CCObject* object) const;
    size_t count() const { return m_objects.size(); }

private:
    std::vector<CCObject*> m_objects;
};

// The stack of autorelease pools. The director drains the current pool at the end of
// every frame; push() opens a nested pool, pop() drains it and closes it (the bottom
// pool is only drained), finalize() drains every pool.
class CCPoolManager {
public:
    static CCPoolManager* sharedPoolManager();
    static void purgePoolManager();

    void push();
    void pop();
    void finalize();
    void addObject(CCObject* object);
    CCAutoreleasePool* getCurrentPool();

private:
    CCPoolManager();
    std::vector<std::unique_ptr<CCAutoreleasePool>> m_pools;
};

} // namespace cocos2d
