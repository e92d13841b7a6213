#pragma once

#include "model/ZqDataTokens.h"
#include "cocos2d.h"

#include <string>

// A component's control event text: "kEventStart", "kEventCollision", or a kind ("kButton",
// "kSwitch", "kSwipe") joined by "-" to a control's "Name" and a digit. Split at every "-"
// into at most three pieces; the last piece is the third, or the second of two. The kind is
// read into its code once, here.
struct ZqControlEvent {
    ZqControlKind kind = kControlKindOther;
    std::string name;
    std::string last;

    static ZqControlEvent parse(const std::string& text);

    // Subscribes target's handlers with the input controller, any sender: buttons and
    // switches activate on 11 and deactivate on 12 when the last piece is exactly "0", the
    // other way round otherwise; a swipe digit "0" to "3" activates on 13 to 16. Anything
    // else (an empty swipe digit included) binds nothing.
    void bind(cocos2d::CCObject* target, cocos2d::SEL_CallFuncO activate, cocos2d::SEL_CallFuncO deactivate) const;

    // Whether sender is a control button, switch button or swipe control (exact model
    // classes) whose "Name" is this event's name.
    bool acceptsSender(cocos2d::CCObject* sender) const;
};
