#include "support/CCSharedObjects.h"

#include "audio/AudioEngine.h"
#include "audio/SimpleAudioEngine.h"
#include "label_nodes/CCBMFontConfiguration.h"
#include "sprite_nodes/CCSpriteFrameCache.h"
#include "support/CCUserDefault.h"
#include "textures/CCTextureCache.h"

namespace cocos2d {

void ccPurgeSharedObjects()
{
    experimental::AudioEngine::end();
    CocosDenshion::SimpleAudioEngine::end();
    CCUserDefault::purgeSharedUserDefault();
    CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    CCBMFontConfiguration::purgeFonts();
    CCTextureCache::purgeSharedTextureCache();
}

} // namespace cocos2d
