#include "nodes/CCScene.h"

#include "director/CCDirector.h"

namespace cocos2d {

CCScene* CCScene::create()
{
    CCScene* scene = new CCScene();
    scene->init();
    scene->autorelease();
    return scene;
}

CCScene::CCScene()
{
    m_bIgnoreAnchorPointForPosition = true;
    m_obAnchorPoint = CCPoint(0.5f, 0.5f);
}

bool CCScene::init()
{
    setContentSize(CCDirector::sharedDirector()->getWinSize());
    return true;
}

} // namespace cocos2d
