#include "sprite_nodes/CCSpriteBatchNode.h"

#include "sprite_nodes/CCSprite.h"
#include "textures/CCTexture2D.h"
#include "textures/CCTextureCache.h"

#include <ZqLog.h>

namespace cocos2d {

CCSpriteBatchNode* CCSpriteBatchNode::create(const char* file)
{
    return createWithTexture(CCTextureCache::sharedTextureCache()->addImage(file));
}

CCSpriteBatchNode* CCSpriteBatchNode::createWithTexture(CCTexture2D* texture)
{
    if (!texture)
        return nullptr;
    CCSpriteBatchNode* batch = new CCSpriteBatchNode();
    batch->init();
    texture->retain();
    batch->m_pTexture = texture;
    batch->autorelease();
    return batch;
}

CCSpriteBatchNode::~CCSpriteBatchNode()
{
    CC_SAFE_RELEASE(m_pTexture);
}

void CCSpriteBatchNode::addChild(CCNode* child)
{
    addChild(child, child ? child->getZOrder() : 0);
}

void CCSpriteBatchNode::addChild(CCNode* child, int zOrder)
{
    addChild(child, zOrder, child ? child->getTag() : kCCNodeTagInvalid);
}

void CCSpriteBatchNode::addChild(CCNode* child, int zOrder, int tag)
{
    CCSprite* sprite = dynamic_cast<CCSprite*>(child);
    if (!sprite || sprite->getTexture() != m_pTexture) {
        debugLog("[CCSpriteBatchNode] refused a child that is not a sprite of the batch's texture");
        return;
    }
    CCNode::addChild(child, zOrder, tag);
}

} // namespace cocos2d
