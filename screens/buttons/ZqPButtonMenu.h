#pragma once

#include "cocos2d.h"

class ZqPObjectButton;

// The menu container of one button (node tag kTag in the screen's UI layer): it turns
// touches into the button's presses and swallows them only when the button's model has
// "Block Touch", so that a touch on a non-blocking button also reaches the controls
// below. Swallowing is per touch delegate, hence one container a button.
class ZqPButtonMenu : public cocos2d::CCMenu {
public:
    static constexpr int kTag = 100;

    // Autoreleased; at (0, 0), holding button, tagged kTag.
    static ZqPButtonMenu* create(ZqPObjectButton* button);

    void registerWithTouchDispatcher() override;

private:
    bool m_swallows = true;
};
