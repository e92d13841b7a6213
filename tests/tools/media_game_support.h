#pragma once

// A small generated game with real media, made with the game builder: an atlas of three
// one-colour frames, a font, an effect and a music track, a start screen, a menu, a
// game field with one level section and a placed character, and its overlay.
#include "model/ZqModelController.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqModelShapes.h"
#include "model/scene/ZqNode.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqGameBuilder.h"

#include <string>

namespace media_game {

constexpr unsigned kAtlas = 10, kRed = 11, kGreen = 12, kBlue = 13;
constexpr unsigned kRun = 20, kBlock = 21, kRunAnimation = 30;
constexpr unsigned kFont = 40, kEffect = 50, kMusic = 51;
constexpr unsigned kHero = 60, kHeroHealth = 62;
constexpr unsigned kMenuNode = 100, kMenu = 101, kPlay = 102;
constexpr unsigned kGameNode = 110, kGame = 111, kSection = 112;
constexpr unsigned kOverlayNode = 120;

// Builds the game into the controller; its media files are written into mediaDirectory.
inline std::vector<ZqMediaFile> build(ZqModelController& controller, const std::string& mediaDirectory)
{
    using P = cocos2d::CCPoint;
    ZqGameBuilder::startGame(controller, "Media Game");
    ZqGameBuilder game;
    game.atlas(kAtlas, "Atlas", 128, 2);
    game.sprite(kRed, "Red", kAtlas, 32, 32, {255, 0, 0, 255});
    game.sprite(kGreen, "Green", kAtlas, 16, 48, {0, 255, 0, 255});
    game.sprite(kBlue, "Blue", kAtlas, 100, 16, {0, 0, 255, 255});
    game.container(kRun, "Run", 0.5f, {kRed, kGreen});
    game.container(kBlock, "Block", 1.0f, {kBlue});
    game.animation(kRunAnimation, 31, "Run", kRun, true);
    game.font(kFont, "Font", 8);
    game.sound(kEffect, "Blip", 0.3, 880.0);
    game.sound(kMusic, "Tune", 1.5, 330.0);

    std::shared_ptr<ZqModelAssetCharacter> hero = game.make<ZqModelAssetCharacter>(kHero, "Hero");
    hero->m_collisionShape->setValue(game.boxShape(61, "Hero Box", 32, 32), true);
    hero->m_defaultAnimation->setValue(game.at<ZqModelAnimation>(kRunAnimation), true);
    std::shared_ptr<ZqModelComponentHealth> health = game.make<ZqModelComponentHealth>(kHeroHealth, "Health");
    health->m_lives->setValue(3.0f, true);
    hero->addChild(health, true);

    std::shared_ptr<ZqNodeUIStart> start = game.startNode(2, 3);
    start->screen()->addChild(game.label(4, "Loading", kFont, P(100, 100)), true);
    std::shared_ptr<ZqNodeUI> menu = game.interfaceNode(kMenuNode, kMenu, "Menu", 200);
    menu->screen()->m_music->setValue(game.at<ZqModelSound>(kMusic), true);
    std::shared_ptr<ZqNodeScene> field = game.worldNode(kGameNode, kGame, "Game", 400);
    std::shared_ptr<ZqNodeUI> overlay = game.interfaceNode(kOverlayNode, 121, "Overlay", 600);
    ZqGameBuilder::link(*start, "Load", *menu);
    ZqGameBuilder::link(*field, "UI", *overlay);
    std::shared_ptr<ZqModelObjectButton> play = game.button(kPlay, "Play", *menu, field.get(), kBlock, P(300, 200));
    play->m_interval->setValue(3.0f, true);
    play->m_clickSound->setValue(game.at<ZqModelSound>(kEffect), true);

    std::shared_ptr<ZqModelLevelSection> section =
        game.section(kSection, "First", *game.at<ZqModelScreenScene>(kGame), 1136, 0, true);
    std::shared_ptr<ZqModelObjectImage> block = game.make<ZqModelObjectImage>(113, "Block");
    block->m_image->setValue(game.at<ZqModelSpriteContainer>(kBlock), true);
    section->addChild(block, true);
    std::shared_ptr<ZqModelObjectAssetCharacter> placed = game.make<ZqModelObjectAssetCharacter>(114, "Hero");
    placed->m_asset->setValue(hero, true);
    placed->m_position->setValue(P(200, 128), true);
    section->addChild(placed, true);

    game.addTo(controller);
    return game.writeMedia(mediaDirectory);
}

// Writes the game below root: root/data holds the model files (or data.pkg alone) and the
// media files.
inline void write(ZqModelController& controller, const std::string& root, bool archive)
{
    ZqDataWriter::Options options;
    options.media = build(controller, root + "/media-made");
    options.plainFiles = !archive;
    options.archive = archive;
    ZqDataWriter(controller, options).write(root + "/data");
}

} // namespace media_game
