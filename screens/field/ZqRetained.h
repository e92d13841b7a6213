#pragma once

#include "base/CCObject.h"

#include <memory>

// One reference to an engine object, let go with the holder; null holds nothing.
struct ZqReleaseObject {
    void operator()(cocos2d::CCObject* object) const { object->release(); }
};
using ZqRetained = std::unique_ptr<cocos2d::CCObject, ZqReleaseObject>;

// Retains object (when not null) for the holder.
inline ZqRetained zqRetain(cocos2d::CCObject* object)
{
    if (object)
        object->retain();
    return ZqRetained(object);
}
