#pragma once

#include "nodes/CCNode.h"

namespace cocos2d {

// The root of a tree the director runs. init() gives it the director's window size as
// content size; like a layer it is positioned by its bottom-left corner.
class CCScene : public CCNode {
public:
    // Autoreleased.
    static CCScene* create();

    CCScene();
    bool init() override;
};

} // namespace cocos2d
