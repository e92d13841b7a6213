#include "menu/CCMenuItem.h"

#include <ZqLog.h>

namespace cocos2d {

CCMenuItem* CCMenuItem::create()
{
    return create(nullptr, nullptr);
}

CCMenuItem* CCMenuItem::create(CCObject* target, SEL_MenuHandler selector)
{
    CCMenuItem* item = new CCMenuItem();
    item->initWithTarget(target, selector);
    item->autorelease();
    return item;
}

bool CCMenuItem::initWithTarget(CCObject* target, SEL_MenuHandler selector)
{
    if (!CCNodeRGBA::init())
        return false;
    setAnchorPoint(CCPoint(0.5f, 0.5f));
    m_pListener = target;
    m_pfnSelector = selector;
    return true;
}

void CCMenuItem::activate()
{
    if (!m_bEnabled || !m_pListener || !m_pfnSelector)
        return;
    // The handler may remove this item from its menu (switching screens, say).
    retain();
    (m_pListener->*m_pfnSelector)(this);
    release();
}

void CCMenuItem::selected()
{
    m_bSelected = true;
}

void CCMenuItem::unselected()
{
    m_bSelected = false;
}

void CCMenuItem::setEnabled(bool enabled)
{
    m_bEnabled = enabled;
}

CCRect CCMenuItem::rect() const
{
    const CCSize& size = getContentSize();
    const CCPoint& anchor = getAnchorPoint();
    return CCRect(getPosition().x - size.width * anchor.x, getPosition().y - size.height * anchor.y, size.width,
                  size.height);
}

void CCMenuItem::setTarget(CCObject* target, SEL_MenuHandler selector)
{
    m_pListener = target;
    m_pfnSelector = selector;
}

CCMenuItemSprite* CCMenuItemSprite::create(CCNode* normal, CCNode* selected, CCNode* disabled)
{
    return create(normal, selected, disabled, nullptr, nullptr);
}

CCMenuItemSprite* CCMenuItemSprite::create(CCNode* normal, CCNode* selected, CCObject* target,
                                           SEL_MenuHandler selector)
{
    return create(normal, selected, nullptr, target, selector);
}

CCMenuItemSprite* CCMenuItemSprite::create(CCNode* normal, CCNode* selected, CCNode* disabled, CCObject* target,
                                           SEL_MenuHandler selector)
{
    CCMenuItemSprite* item = new CCMenuItemSprite();
    if (!item->initWithNormalSprite(normal, selected, disabled, target, selector)) {
        item->release();
        return nullptr;
    }
    item->autorelease();
    return item;
}

bool CCMenuItemSprite::initWithNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled, CCObject* target,
                                            SEL_MenuHandler selector)
{
    if (!normal) {
        debugLog("[CCMenuItemSprite] no normal image");
        return false;
    }
    // The first call initialises the node; later ones only swap images and handler.
    if (!m_pNormalImage) {
        if (!initWithTarget(target, selector))
            return false;
    } else {
        if (target)
            m_pListener = target;
        if (selector)
            m_pfnSelector = selector;
    }
    setNormalImage(normal);
    setSelectedImage(selected);
    setDisabledImage(disabled);
    return m_pNormalImage == normal;
}

bool CCMenuItemSprite::replaceImage(CCNode*& slot, CCNode* image)
{
    if (image == slot)
        return true;
    if (image && image->getParent()) {
        debugLog("[CCMenuItemSprite] image already has a parent, ignored");
        return false;
    }
    if (slot)
        removeChild(slot, true);
    slot = image;
    if (image) {
        image->setAnchorPoint(CCPoint(0.0f, 0.0f));
        addChild(image);
        // The image keeps its own colour (a tint), shown times the item's.
        if (CCRGBAProtocol* rgba = dynamic_cast<CCRGBAProtocol*>(image)) {
            rgba->updateDisplayedColor(getDisplayedColor());
            rgba->updateDisplayedOpacity(getDisplayedOpacity());
        }
    }
    return true;
}

void CCMenuItemSprite::setNormalImage(CCNode* image)
{
    if (!image || !replaceImage(m_pNormalImage, image))
        return;
    setContentSize(image->getContentSize());
    updateImagesVisibility();
}

void CCMenuItemSprite::setSelectedImage(CCNode* image)
{
    if (replaceImage(m_pSelectedImage, image))
        updateImagesVisibility();
}

void CCMenuItemSprite::setDisabledImage(CCNode* image)
{
    if (replaceImage(m_pDisabledImage, image))
        updateImagesVisibility();
}

void CCMenuItemSprite::updateImagesVisibility()
{
    CCNode* shown = m_pNormalImage;
    if (!m_bEnabled && m_pDisabledImage)
        shown = m_pDisabledImage;
    else if (m_bEnabled && m_bSelected && m_pSelectedImage)
        shown = m_pSelectedImage;
    for (CCNode* image : {m_pNormalImage, m_pSelectedImage, m_pDisabledImage}) {
        if (image)
            image->setVisible(image == shown);
    }
}

void CCMenuItemSprite::selected()
{
    CCMenuItem::selected();
    updateImagesVisibility();
}

void CCMenuItemSprite::unselected()
{
    CCMenuItem::unselected();
    updateImagesVisibility();
}

void CCMenuItemSprite::setEnabled(bool enabled)
{
    CCMenuItem::setEnabled(enabled);
    updateImagesVisibility();
}

} // namespace cocos2d
