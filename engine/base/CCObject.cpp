#include "base/CCObject.h"

#include "base/CCAutoreleasePool.h"

#include <ZqLog.h>

#include <cstdlib>

namespace cocos2d {

namespace {
long liveObjects = 0;
unsigned int nextObjectId = 0;
}

CCObject::CCObject() : m_uID(++nextObjectId)
{
    ++liveObjects;
}

CCObject::~CCObject()
{
    --liveObjects;
}

void CCObject::retain()
{
    ++m_uReference;
}

void CCObject::release()
{
    if (m_uReference == 0) {
        // A release with no reference left is a double release: stop here, loudly,
        // rather than free the object a second time.
        debugLog("[CCObject] release of an object with no reference left (id %u)", m_uID);
        std::abort();
    }
    if (--m_uReference == 0)
        delete this;
}

CCObject* CCObject::autorelease()
{
    CCPoolManager::sharedPoolManager()->addObject(this);
    return this;
}

long CCObject::liveObjectCount()
{
    return liveObjects;
}

} // namespace cocos2d
