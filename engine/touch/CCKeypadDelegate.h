#pragma once

namespace cocos2d {

// Receiver of the device keys that have no place in the game's own key bindings:
// back (Escape on the desktop) and menu. Registered with CCKeypadDispatcher.
class CCKeypadDelegate {
public:
    virtual ~CCKeypadDelegate() = default;

    virtual void keyBackClicked() {}
    virtual void keyMenuClicked() {}
};

} // namespace cocos2d
