#include "screens/buttons/ZqPButtonMenu.h"

#include "model/scene/ZqModelButtons.h"
#include "screens/buttons/ZqPObjectButton.h"

using namespace cocos2d;

ZqPButtonMenu* ZqPButtonMenu::create(ZqPObjectButton* button)
{
    ZqPButtonMenu* menu = new ZqPButtonMenu();
    if (!menu->init()) {
        delete menu;
        return nullptr;
    }
    menu->autorelease();
    menu->setPosition(CCPointZero);
    menu->setTag(kTag);
    if (button) {
        menu->m_swallows = !button->model() || button->model()->isBlockTouch();
        menu->addChild(button);
    }
    return menu;
}

void ZqPButtonMenu::registerWithTouchDispatcher()
{
    CCDirector::sharedDirector()->getTouchDispatcher()->addTargetedDelegate(this, getTouchPriority(), m_swallows);
}
