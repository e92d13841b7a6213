#pragma once

#include "nodes/CCNodeRGBA.h"

namespace cocos2d {

// A button of a CCMenu. activate() calls the target's menu handler with the item as
// argument, only while the item is enabled. The target is not retained (it is
// usually the screen that owns the menu): it must outlive the item or be replaced.
// Anchor (0.5, 0.5); the menu finds items by their content box.
class CCMenuItem : public CCNodeRGBA {
public:
    // Autoreleased.
    static CCMenuItem* create();
    static CCMenuItem* create(CCObject* target, SEL_MenuHandler selector);

    bool initWithTarget(CCObject* target, SEL_MenuHandler selector);

    // Runs the handler when enabled; the item stays alive for the call.
    virtual void activate();
    // Pressed and released looks; the menu calls them as the finger comes and goes,
    // game code calls them for key presses.
    virtual void selected();
    virtual void unselected();
    bool isSelected() const { return m_bSelected; }

    virtual void setEnabled(bool enabled);
    virtual bool isEnabled() const { return m_bEnabled; }

    // The content box in the parent's space: position less anchor times content
    // size, not scaled or rotated.
    CCRect rect() const;

    void setTarget(CCObject* target, SEL_MenuHandler selector);

protected:
    CCObject* m_pListener = nullptr;
    SEL_MenuHandler m_pfnSelector = nullptr;
    bool m_bSelected = false;
    bool m_bEnabled = true;
};

// A menu item drawn by up to three image nodes, kept as its children: the normal
// image (required), the selected image and the disabled image (both optional; the
// normal one stands in for them). The item takes the normal image's content size and
// places the images at its bottom-left corner (their anchor becomes (0, 0)). The item
// cascades its colour and opacity: an image shows its own colour and opacity (a tint)
// times the item's.
class CCMenuItemSprite : public CCMenuItem {
public:
    CCMenuItemSprite()
    {
        setCascadeColorEnabled(true);
        setCascadeOpacityEnabled(true);
    }
    // Autoreleased; null when normal is null. Images must have no parent.
    static CCMenuItemSprite* create(CCNode* normal, CCNode* selected, CCNode* disabled = nullptr);
    static CCMenuItemSprite* create(CCNode* normal, CCNode* selected, CCObject* target, SEL_MenuHandler selector);
    static CCMenuItemSprite* create(CCNode* normal, CCNode* selected, CCNode* disabled, CCObject* target,
                                    SEL_MenuHandler selector);

    // Also re-initialises an item in use: its images are replaced, its enabled state
    // is kept, and a null target or selector keeps the current one.
    bool initWithNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled, CCObject* target = nullptr,
                              SEL_MenuHandler selector = nullptr);

    CCNode* getNormalImage() const { return m_pNormalImage; }
    CCNode* getSelectedImage() const { return m_pSelectedImage; }
    CCNode* getDisabledImage() const { return m_pDisabledImage; }
    // Each replaces (and removes) the image it had; null removes it (the normal
    // image cannot be removed). setNormalImage also sets the content size.
    void setNormalImage(CCNode* image);
    void setSelectedImage(CCNode* image);
    void setDisabledImage(CCNode* image);

    void selected() override;
    void unselected() override;
    void setEnabled(bool enabled) override;

private:
    // Puts image in slot, as a child; false (logged) when it belongs to another parent.
    bool replaceImage(CCNode*& slot, CCNode* image);
    // Shows the one image that fits the state.
    void updateImagesVisibility();

    CCNode* m_pNormalImage = nullptr;
    CCNode* m_pSelectedImage = nullptr;
    CCNode* m_pDisabledImage = nullptr;
};

} // namespace cocos2d
