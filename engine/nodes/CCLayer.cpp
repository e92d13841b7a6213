#include "nodes/CCLayer.h"

#include "director/CCDirector.h"
#include "touch/CCAccelerometer.h"
#include "touch/CCKeypadDispatcher.h"
#include "touch/CCTouchDispatcher.h"

namespace cocos2d {

CCLayer* CCLayer::create()
{
    CCLayer* layer = new CCLayer();
    layer->init();
    layer->autorelease();
    return layer;
}

CCLayer::CCLayer()
{
    m_bIgnoreAnchorPointForPosition = true;
    m_obAnchorPoint = CCPoint(0.5f, 0.5f);
}

bool CCLayer::init()
{
    setContentSize(CCDirector::sharedDirector()->getWinSize());
    return true;
}

void CCLayer::registerWithTouchDispatcher()
{
    if (CCTouchDispatcher* dispatcher = CCDirector::sharedDirector()->getTouchDispatcher())
        dispatcher->addTargetedDelegate(this, m_nTouchPriority, true);
}

void CCLayer::registerSources()
{
    CCDirector* director = CCDirector::sharedDirector();
    if (m_bTouchEnabled)
        registerWithTouchDispatcher();
    if (m_bKeypadEnabled && director->getKeypadDispatcher())
        director->getKeypadDispatcher()->addDelegate(this);
    if (m_bAccelerometerEnabled && director->getAccelerometer())
        director->getAccelerometer()->setDelegate(this);
}

void CCLayer::unregisterSources()
{
    CCDirector* director = CCDirector::sharedDirector();
    if (m_bTouchEnabled && director->getTouchDispatcher())
        director->getTouchDispatcher()->removeDelegate(this);
    if (m_bKeypadEnabled && director->getKeypadDispatcher())
        director->getKeypadDispatcher()->removeDelegate(this);
    // Only our own registration: another layer may hold the accelerometer now.
    if (m_bAccelerometerEnabled && director->getAccelerometer()
        && director->getAccelerometer()->getDelegate() == this)
        director->getAccelerometer()->setDelegate(nullptr);
}

void CCLayer::onEnter()
{
    registerSources();
    CCNode::onEnter();
}

void CCLayer::onExit()
{
    unregisterSources();
    CCNode::onExit();
}

void CCLayer::setTouchEnabled(bool enabled)
{
    if (m_bTouchEnabled == enabled)
        return;
    m_bTouchEnabled = enabled;
    if (!m_bRunning)
        return;
    if (enabled)
        registerWithTouchDispatcher();
    else if (CCTouchDispatcher* dispatcher = CCDirector::sharedDirector()->getTouchDispatcher())
        dispatcher->removeDelegate(this);
}

void CCLayer::setTouchPriority(int priority)
{
    if (m_nTouchPriority == priority)
        return;
    m_nTouchPriority = priority;
    CCTouchDispatcher* dispatcher = CCDirector::sharedDirector()->getTouchDispatcher();
    if (m_bTouchEnabled && m_bRunning && dispatcher)
        dispatcher->setPriority(priority, this);
}

void CCLayer::setKeypadEnabled(bool enabled)
{
    if (m_bKeypadEnabled == enabled)
        return;
    m_bKeypadEnabled = enabled;
    CCKeypadDispatcher* dispatcher = CCDirector::sharedDirector()->getKeypadDispatcher();
    if (!m_bRunning || !dispatcher)
        return;
    if (enabled)
        dispatcher->addDelegate(this);
    else
        dispatcher->removeDelegate(this);
}

void CCLayer::setAccelerometerEnabled(bool enabled)
{
    if (m_bAccelerometerEnabled == enabled)
        return;
    m_bAccelerometerEnabled = enabled;
    CCAccelerometer* accelerometer = CCDirector::sharedDirector()->getAccelerometer();
    if (!m_bRunning || !accelerometer)
        return;
    if (enabled)
        accelerometer->setDelegate(this);
    else if (accelerometer->getDelegate() == this)
        accelerometer->setDelegate(nullptr);
}

} // namespace cocos2d
