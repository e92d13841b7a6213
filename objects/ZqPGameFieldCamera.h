#pragma once

#include "cocos2d.h"

// The node of the game field that holds every field object and whose space is the field's:
// it is the objects' reference node, and the field z order of an object is its depth
// among the camera's children.
class ZqPGameFieldCamera : public cocos2d::CCNode {
public:
    // Autoreleased.
    static ZqPGameFieldCamera* create();
};
