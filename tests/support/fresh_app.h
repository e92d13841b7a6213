#pragma once

// Every process-wide object of the services and the layers below them, back to a fresh
// game: every live sound, the audio engines, the input and settings controllers, the store
// (its file stays), the gameplay values (holding no model of a game), the models, and the
// sprite-frame and texture caches. The director and the resource root are the fixtures' own.
#include "app/ZqPInputController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqSound.h"
#include "model/GameplayParameters.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"

#include "audio/AudioEngine.h"
#include "audio/SimpleAudioEngine.h"
#include "cocos2d.h"

inline void freshApp()
{
    ZqSoundRegistry::shared().clear();
    cocos2d::experimental::AudioEngine::end();
    CocosDenshion::SimpleAudioEngine::end();
    ZqPInputController::purgeShared();
    ZqPSettingsController::purgeShared();
    cocos2d::CCUserDefault::purgeSharedUserDefault();
    GameplayParameters::shared()->resetToDefaults(ZqModelGeneralSettings::createDetached());
    ZqModelController::shared()->reset();
    cocos2d::CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    cocos2d::CCTextureCache::purgeSharedTextureCache();
}
