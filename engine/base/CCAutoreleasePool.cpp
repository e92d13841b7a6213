#include "base/CCAutoreleasePool.h"

#include <algorithm>

namespace cocos2d {

void CCAutoreleasePool::addObject(CCObject* object)
{
    m_objects.push_back(object);
}

void CCAutoreleasePool::clear()
{
    // Objects freed here may autorelease others from their destructors: release what
    // the pool held at the start, then whatever arrived meanwhile, until it is empty.
    while (!m_objects.empty()) {
        std::vector<CCObject*> releasing;
        releasing.swap(m_objects);
        for (CCObject* object : releasing)
            object->release();
    }
}

bool CCAutoreleasePool::contains(const CCObject* object) const
{
    return std::find(m_objects.begin(), m_objects.end(), object) != m_objects.end();
}

CCPoolManager::CCPoolManager()
{
    m_pools.push_back(std::make_unique<CCAutoreleasePool>());
}

CCPoolManager* CCPoolManager::sharedPoolManager()
{
    static CCPoolManager* manager = new CCPoolManager();
    return manager;
}

void CCPoolManager::purgePoolManager()
{
    sharedPoolManager()->finalize();
}

void CCPoolManager::push()
{
    m_pools.push_back(std::make_unique<CCAutoreleasePool>());
}

void CCPoolManager::pop()
{
    m_pools.back()->clear();
    if (m_pools.size() > 1)
        m_pools.pop_back();
}

void CCPoolManager::finalize()
{
    for (auto it = m_pools.rbegin(); it != m_pools.rend(); ++it)
        (*it)->clear();
}

void CCPoolManager::addObject(CCObject* object)
{
    m_pools.back()->addObject(object);
}

CCAutoreleasePool* CCPoolManager::getCurrentPool()
{
    return m_pools.back().get();
}

} // namespace cocos2d
