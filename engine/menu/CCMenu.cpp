#include "menu/CCMenu.h"

#include "director/CCDirector.h"
#include "touch/CCTouch.h"

namespace cocos2d {

CCMenu* CCMenu::create()
{
    return createWithArray(nullptr);
}

CCMenu* CCMenu::createWithItem(CCMenuItem* item)
{
    CCMenu* menu = createWithArray(nullptr);
    if (item)
        menu->addChild(item);
    return menu;
}

CCMenu* CCMenu::createWithArray(CCArray* items)
{
    CCMenu* menu = new CCMenu();
    menu->initWithArray(items);
    menu->autorelease();
    return menu;
}

CCMenu::~CCMenu()
{
    CC_SAFE_RELEASE(m_pSelectedItem);
}

bool CCMenu::init()
{
    return initWithArray(nullptr);
}

bool CCMenu::initWithArray(CCArray* items)
{
    if (!CCLayer::init())
        return false;
    setTouchPriority(kCCMenuHandlerPriority);
    setTouchEnabled(true);
    m_bEnabled = true;
    const CCSize winSize = CCDirector::sharedDirector()->getWinSize();
    setPosition(CCPoint(winSize.width / 2, winSize.height / 2));
    if (items) {
        for (unsigned int i = 0; i < items->count(); ++i) {
            if (CCMenuItem* item = dynamic_cast<CCMenuItem*>(items->objectAtIndex(i)))
                addChild(item);
        }
    }
    return true;
}

void CCMenu::setSelectedItem(CCMenuItem* item)
{
    CC_SAFE_RETAIN(item);
    CC_SAFE_RELEASE(m_pSelectedItem);
    m_pSelectedItem = item;
}

void CCMenu::resetSelection()
{
    if (m_pSelectedItem)
        m_pSelectedItem->unselected();
    setSelectedItem(nullptr);
    m_bTrackingTouch = false;
}

void CCMenu::onExit()
{
    resetSelection();
    CCLayer::onExit();
}

CCMenuItem* CCMenu::itemForTouch(CCTouch* touch)
{
    const CCPoint location = touch->getLocation();
    CCArray* children = getChildren();
    // Last drawn first: where items overlap, the one on top takes the touch.
    for (unsigned int i = children->count(); i-- > 0;) {
        CCMenuItem* item = dynamic_cast<CCMenuItem*>(children->objectAtIndex(i));
        if (!item || !item->isVisible() || !item->isEnabled())
            continue;
        // In the item's own space its box is (0, 0, width, height), whatever its
        // scale (mirroring included) and rotation.
        const CCPoint local = item->convertToNodeSpace(location);
        const CCSize& size = item->getContentSize();
        if (CCRect(0, 0, size.width, size.height).containsPoint(local))
            return item;
    }
    return nullptr;
}

bool CCMenu::ccTouchBegan(CCTouch* touch, CCEvent* event)
{
    if (m_bTrackingTouch || !isVisible() || !m_bEnabled)
        return false;
    for (CCNode* ancestor = getParent(); ancestor; ancestor = ancestor->getParent()) {
        if (!ancestor->isVisible())
            return false;
    }
    CCMenuItem* item = itemForTouch(touch);
    if (!item)
        return false;
    setSelectedItem(item);
    m_bTrackingTouch = true;
    item->selected();
    return true;
}

void CCMenu::ccTouchMoved(CCTouch* touch, CCEvent* event)
{
    if (!m_bTrackingTouch)
        return;
    CCMenuItem* item = itemForTouch(touch);
    if (item == m_pSelectedItem)
        return;
    if (m_pSelectedItem)
        m_pSelectedItem->unselected();
    setSelectedItem(item);
    if (item)
        item->selected();
}

void CCMenu::ccTouchEnded(CCTouch* touch, CCEvent* event)
{
    if (!m_bTrackingTouch)
        return;
    // Take over the pressed item's reference and finish the touch before the
    // handler runs: it may remove the item or the menu, or start a new touch.
    CCMenuItem* item = m_pSelectedItem;
    m_pSelectedItem = nullptr;
    m_bTrackingTouch = false;
    if (!item)
        return;
    retain();
    item->unselected();
    // The release counts only on the item still under the finger (the end may arrive
    // somewhere else without a move first) and still in this menu.
    if (item->getParent() == this && itemForTouch(touch) == item)
        item->activate();
    item->release();
    release();
}

void CCMenu::ccTouchCancelled(CCTouch* touch, CCEvent* event)
{
    if (m_bTrackingTouch)
        resetSelection();
}

} // namespace cocos2d
