#include "screens/ZqPScreen.h"

#include "model/scene/ZqModelScreen.h"
#include "screens/buttons/ZqPObjectButtonJoystick.h"
#include "screens/ZqPObjectCharacterSelector.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"
#include "screens/ZqPObjectSwipeControl.h"

#include <vector>

using namespace cocos2d;

ZqPScreen* ZqPScreen::runningScreen()
{
    CCScene* scene = CCDirector::sharedDirector()->getRunningScene();
    if (!scene || scene->getChildrenCount() == 0)
        return nullptr;
    return dynamic_cast<ZqPScreen*>(scene->getChildren()->objectAtIndex(0));
}

ZqPScreen::ZqPScreen(std::shared_ptr<ZqModelScreen> model)
    : m_screenModel(std::move(model))
    , m_uiObjects(new CCArray())
{
}

ZqPScreen::~ZqPScreen()
{
    // The touch dispatcher retains the touch controls until they are removed from it.
    if (m_uiLayer) {
        CCTouchDispatcher* dispatcher = CCDirector::sharedDirector()->getTouchDispatcher();
        CCArray* children = m_uiLayer->getChildren();
        for (CCObject* child : children && dispatcher ? children->data() : std::vector<CCObject*>()) {
            if (auto* joystick = dynamic_cast<ZqPObjectButtonJoystick*>(child))
                dispatcher->removeDelegate(joystick);
            else if (auto* swipe = dynamic_cast<ZqPObjectSwipeControl*>(child))
                dispatcher->removeDelegate(swipe);
            else if (auto* selector = dynamic_cast<ZqPObjectCharacterSelector*>(child))
                dispatcher->removeDelegate(selector);
        }
    }
    m_uiObjects->release();
}

bool ZqPScreen::init()
{
    if (!CCLayer::init())
        return false;
    m_uiLayer = CCNode::create();
    addChild(m_uiLayer, kUiLayerZOrder);
    scheduleUpdate();
    return true;
}

void ZqPScreen::update(float dt)
{
    if (m_uiObjects->count() == 0)
        return;
    // Objects add and remove others as they update.
    const std::size_t first = m_updateSnapshot.size();
    for (CCObject* object : *m_uiObjects) {
        object->retain();
        m_updateSnapshot.push_back(object);
    }
    // An object that switched screens ends the update of the screen it left: an observer
    // after it would act on the screen now shown, where its own screen's rule has no say.
    const ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    const bool shown = navigator->currentUiScreen() == this;
    const std::size_t end = m_updateSnapshot.size();
    for (std::size_t i = first; i < end && (!shown || navigator->currentUiScreen() == this); ++i)
        m_updateSnapshot[i]->update(dt);
    for (std::size_t i = first; i < end; ++i)
        m_updateSnapshot[i]->release();
    m_updateSnapshot.resize(first);
}

void ZqPScreen::addUiObject(CCNode* object)
{
    if (object && !m_uiObjects->containsObject(object))
        m_uiObjects->addObject(object);
}

void ZqPScreen::removeUiObject(CCNode* object)
{
    m_uiObjects->removeObject(object);
}
