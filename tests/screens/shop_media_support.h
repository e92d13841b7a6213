#pragma once

// Real media for menu tests, made with the game builder under a resource root of the
// test's own: the game's font and one-colour images.
#include "engine/textures/MediaFixtures.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelMedia.h"
#include "tools/ZqGameBuilder.h"

#include "platform/CCFileUtils.h"
#include "sprite_nodes/CCSpriteFrameCache.h"

#include <memory>

class ShopMedia {
public:
    // Ids far above those the controller hands out.
    static constexpr unsigned kFont = 90001, kAtlas = 90002, kSprite = 90003, kImage = 90004;

    // The font and a 40 x 40 image, registered in the shared controller.
    ShopMedia()
    {
        m_game.font(kFont, "Font", 8);
        m_game.atlas(kAtlas, "Atlas", 64, 2);
        m_game.sprite(kSprite, "Square", kAtlas, 40, 40, {200, 200, 200, 255});
        m_game.container(kImage, "Square", 1.0f, {kSprite});
        m_game.writeMedia(m_dir.file("data"));
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(m_dir.file(""));
        cocos2d::CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(
            m_dir.file("data/atlases/atlas_ID" + std::to_string(kAtlas) + ".plist").c_str());
        for (const std::shared_ptr<ZqModel>& model : m_game.models())
            ZqModelController::shared()->addModel(model);
    }
    ~ShopMedia() { cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(""); }

    std::shared_ptr<ZqModelSpriteContainer> image() const { return m_game.at<ZqModelSpriteContainer>(kImage); }

private:
    media::TempDir m_dir;
    ZqGameBuilder m_game;
};
