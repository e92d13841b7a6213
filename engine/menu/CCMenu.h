#pragma once

#include "menu/CCMenuItem.h"
#include "nodes/CCLayer.h"
#include "touch/CCTouchDispatcher.h"

namespace cocos2d {

// A layer of menu items that turns touches into button presses.
//
// Touch enabled from the start: while running it is registered with the touch
// dispatcher at kCCMenuHandlerPriority, swallowing, so touches on its items never
// reach the game's own touch controls. A touch that begins on an enabled, visible
// item (the top-most one under the finger) is claimed, but only when the menu is
// enabled and it and all its ancestors are visible; the item is selected. Moving
// off the item unselects it, moving onto an item selects that one. Releasing
// unselects the item and activates it when the finger is still on it; a cancelled
// touch only unselects.
//
// Positioned by its bottom-left corner (the window's centre by default; the game
// sets (0, 0)); its content size is the window size. The menu and the item stay
// alive while the item activates, even when the handler removes them.
class CCMenu : public CCLayer {
public:
    // Autoreleased.
    static CCMenu* create();
    static CCMenu* createWithItem(CCMenuItem* item);
    // items: CCMenuItems (others are ignored); may be null.
    static CCMenu* createWithArray(CCArray* items);

    bool init() override;
    bool initWithArray(CCArray* items);

    // While disabled, touches pass through to the handlers after the menu.
    virtual void setEnabled(bool enabled) { m_bEnabled = enabled; }
    virtual bool isEnabled() const { return m_bEnabled; }

    // The menu's touch priority, applied at once when it is registered.
    void setHandlerPriority(int priority) { setTouchPriority(priority); }

    // A touch in progress is dropped: its item is unselected.
    void onExit() override;

    bool ccTouchBegan(CCTouch* touch, CCEvent* event) override;
    void ccTouchMoved(CCTouch* touch, CCEvent* event) override;
    void ccTouchEnded(CCTouch* touch, CCEvent* event) override;
    void ccTouchCancelled(CCTouch* touch, CCEvent* event) override;

    ~CCMenu() override;

protected:
    // The top-most enabled and visible item whose content box holds the touch, or null.
    CCMenuItem* itemForTouch(CCTouch* touch);
    // Unselects and forgets the pressed item, leaving no touch tracked.
    void resetSelection();
    // Replaces the pressed item (retained while pressed so that it cannot vanish).
    void setSelectedItem(CCMenuItem* item);

    CCMenuItem* m_pSelectedItem = nullptr;
    bool m_bTrackingTouch = false;
    bool m_bEnabled = true;
};

} // namespace cocos2d
