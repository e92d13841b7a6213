// The media models' use of the engine caches: textures, sprite frames, sprites and frame
// animations.
#include "model/scene/ZqModelMedia.h"

#include "cocos2d.h"
#include "sprite_nodes/CCSprite.h"
#include "sprite_nodes/CCSpriteFrame.h"
#include "sprite_nodes/CCSpriteFrameCache.h"
#include "textures/CCTexture2D.h"
#include "textures/CCTextureCache.h"

#include <ZqLog.h>

#include <cmath>

using namespace cocos2d;

CCTexture2D* ZqBaseModelSprite::texture() const
{
    CCTextureCache* cache = CCTextureCache::sharedTextureCache();
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    // The effects directory wins over the images directory.
    for (const std::string& path : {effectPath(), imagePath()}) {
        if (CCTexture2D* cached = cache->textureForKey(path.c_str()))
            return cached;
        if (files->isFileExist(path)) {
            if (CCTexture2D* loaded = cache->addImage(path.c_str()))
                return loaded;
        }
    }
    return nullptr;
}

CCSprite* ZqBaseModelSprite::createSprite() const
{
    CCSprite* sprite = CCSprite::createWithSpriteFrameName(zqSpriteFrameName(id()).c_str());
    if (sprite)
        sprite->setAnchorPoint(ccp(0.5f, 0.5f));
    return sprite;
}

CCSpriteFrame* ZqBaseModelSprite::spriteFrame() const
{
    return CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(zqSpriteFrameName(id()).c_str());
}

CCSprite* ZqBaseModelSpriteContainer::getSprite(float speed, bool loop) const
{
    // A copy: the engine calls below must not see the list change under them.
    const SpriteList sprites = m_sprites.list();
    if (sprites.empty()) {
        debugLog("ZqBaseModelSpriteContainer::getSprite - no sprites are contained");
        return nullptr;
    }
    // Autoreleased as the engine made it: callers add it to a node or retain it.
    CCSprite* sprite = sprites.front()->createSprite();
    if (!sprite) {
        debugLog("ZqBaseModelSpriteContainer::getSprite - a sprite model does not contain a sprite");
        return nullptr;
    }
    if (sprites.size() == 1)
        return sprite;

    const double delay = frameDelay(speed);
    // Speed 0 would make an endless frame; a negative or NaN delay has no meaning. The
    // sprite then shows its first frame.
    if (!std::isfinite(delay) || delay <= 0.0 || static_cast<float>(delay) <= 0.0f)
        return sprite;

    CCAnimation* animation = CCAnimation::create();
    // A sprite missing from the atlases has no frame, and the animation takes none.
    for (const std::shared_ptr<ZqModelSprite>& model : sprites)
        animation->addSpriteFrame(model->spriteFrame());
    animation->setDelayPerUnit(static_cast<float>(delay));

    CCAnimate* animate = CCAnimate::create(animation);
    CCAction* action = loop ? static_cast<CCAction*>(CCRepeatForever::create(animate))
                            : static_cast<CCAction*>(CCRepeat::create(animate, 1));
    action->setTag(kFrameAnimationTag);
    sprite->runAction(action);
    return sprite;
}

CCSpriteFrame* ZqBaseModelSpriteContainer::getSpriteFrame(unsigned index) const
{
    if (m_sprites.empty()) {
        debugLog("ZqBaseModelSpriteContainer::getSpriteFrame - no sprites are contained");
        return nullptr;
    }
    return m_sprites[index % m_sprites.size()]->spriteFrame();
}

CCTexture2D* ZqBaseModelSpriteContainer::textureAt(unsigned index) const
{
    if (index >= m_sprites.size())
        return nullptr;
    return m_sprites[index]->texture();
}
