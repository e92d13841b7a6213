#include "tools/ZqSampleSecondWorld.h"

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqModelShapes.h"
#include "model/scene/ZqNode.h"
#include "tools/ZqGameBuilder.h"
#include "tools/ZqSampleSecondWorldPictures.h"

namespace {

using P = cocos2d::CCPoint;

// Ids: 226 the scene, 421 the sections, 651 assets, 775 components, 851 shapes, 931
// animations (936 their frames), 1088 sprite containers, 1188 sprites, 1206 the atlas,
// 1701 layers and placed objects.
constexpr unsigned kScene = 226;
constexpr unsigned kStart = 421, kCacti = 422, kPits = 423, kLedges = 424, kScorpions = 425;
constexpr unsigned kSand = 651, kCactus = 652, kSandstone = 653, kScorpion = 654;
constexpr unsigned kAtlas = 1206;
constexpr float kWidth = 1136.0f;  // the design size, landscape
constexpr float kHeight = 640.0f;
constexpr float kGroundWidth = 568.0f;  // the sand picture's width

// Each picture with its container and its animation (frame id + 5), or no animation.
struct Picture {
    unsigned sprite, container, animation;
    const char* name;
    int width, height;
    zqmedia::Rgba colour;
    zqmedia::Painter painter;
};
constexpr Picture kPictures[] = {
    {1188, 1088, 931, "Sand", 568, 64, {225, 190, 120, 255}, zqpictures::sand},
    {1189, 1089, 0, "Dunes", 256, 80, {205, 150, 95, 255}, zqpictures::dunes},
    {1190, 1090, 0, "Dusk Sky", 284, 160, {70, 50, 110, 255}, zqpictures::duskSky},
    {1191, 1091, 932, "Cactus", 40, 56, {70, 150, 80, 255}, zqpictures::cactus},
    {1192, 1092, 933, "Sandstone", 240, 24, {200, 140, 90, 255}, zqpictures::sandstone},
    {1193, 1093, 934, "Scorpion", 80, 64, {180, 100, 50, 255}, zqpictures::scorpion},
};

// The world's obstacles: the sand it runs on; a cactus, its trunk 20 x 56 points, that
// costs a hit point at a touch, lets the hero through and stops bullets rather than
// falling to them; a
// ledge of sandstone solid from above only; a scorpion, shot or jumped, that costs a hit
// point at a touch and passes through the hero rather than shoving it back.
void buildAssets(ZqGameBuilder& game)
{
    game.atlas(kAtlas, "Desert Atlas", 1024, 4);
    for (const Picture& picture : kPictures) {
        game.sprite(picture.sprite, picture.name, kAtlas, picture.width, picture.height, picture.colour, picture.painter);
        game.container(picture.container, picture.name, 1.0f, {picture.sprite});
        if (picture.animation != 0)
            game.animation(picture.animation, picture.animation + 5, picture.name, picture.container, true);
    }
    auto obstacle = [&](unsigned id, const char* name, unsigned animation, const std::shared_ptr<ZqModelPolygon>& shape) {
        auto asset = game.make<ZqModelAssetObstacle>(id, name);
        asset->m_collisionShape->setValue(shape, true);
        asset->m_idleAnimation->setValue(game.at<ZqModelAnimation>(animation), true);
        return asset;
    };
    obstacle(kSand, "Sand", 931, game.boxShape(851, "Sand Shape", 568, 64));
    obstacle(kCactus, "Cactus", 932, game.shape(852, "Cactus Shape", {P(-10, 28), P(10, 28), P(10, -22), P(5, -28), P(-5, -28), P(-10, -22)}));
    std::shared_ptr<ZqModelPolygon> slab = game.boxShape(853, "Sandstone Shape", 240, 24);
    slab->setOneWayCollisionVector(P(0, 1));
    obstacle(kSandstone, "Sandstone", 933, slab);
    // The scorpion's outline takes in its raised claws and tail, up to the height at which
    // a hero on the ground shoots (its middle, 50 points above its feet).
    obstacle(kScorpion, "Scorpion", 934, game.shape(854, "Scorpion Shape", {P(-38, 30), P(38, 30), P(38, -28), P(-38, -28)}));
}

enum class Kind { Hero, Sand, Cactus, Ledge, Scorpion, Coin };

struct Row {
    unsigned section;
    Kind kind;
    float x, y;
    float width = 0.0f;  // sand: its width, 0 for the picture's own 568
};

// The sections, each one screen wide. The start's sand stops 170 points short of its end,
// a pit as the first world's; then in turn (by the field's choice) cacti to jump, two
// narrow pits, a wide pit bridged by sandstone ledges reached by a jump from below, and a
// scorpion coming at the hero.
constexpr Row kRows[] = {
    {kStart, Kind::Sand, 284, 32},          {kStart, Kind::Sand, 682, 32},        {kStart, Kind::Hero, 200, 128},
    {kStart, Kind::Coin, 600, 120},         {kStart, Kind::Coin, 700, 120},
    {kCacti, Kind::Sand, 284, 32},          {kCacti, Kind::Sand, 852, 32},        {kCacti, Kind::Cactus, 420, 92},
    {kCacti, Kind::Cactus, 860, 92},        {kCacti, Kind::Coin, 420, 220},       {kCacti, Kind::Coin, 860, 220},
    {kPits, Kind::Sand, 200, 32, 400},      {kPits, Kind::Sand, 680, 32, 280},    {kPits, Kind::Sand, 1048, 32, 176},
    {kPits, Kind::Coin, 470, 200},          {kPits, Kind::Coin, 890, 200},
    {kLedges, Kind::Sand, 190, 32, 380},    {kLedges, Kind::Sand, 948, 32, 376},  {kLedges, Kind::Ledge, 460, 170},
    {kLedges, Kind::Ledge, 690, 170},       {kLedges, Kind::Coin, 580, 230},
    {kScorpions, Kind::Sand, 284, 32},      {kScorpions, Kind::Sand, 852, 32},    {kScorpions, Kind::Scorpion, 900, 96},
    {kScorpions, Kind::Coin, 400, 120},     {kScorpions, Kind::Coin, 620, 120},
};

std::shared_ptr<ZqModelObject> placed(ZqGameBuilder& game, const ZqSampleSecondWorldIds& ids, unsigned id, const Row& row,
                                      unsigned& nextComponent)
{
    const P at(row.x, row.y);
    switch (row.kind) {
    case Kind::Hero: {
        auto hero = game.character(id, "Hero", ids.heroAsset, at);
        hero->m_zDepth->setValue(10, true);
        return hero;
    }
    case Kind::Sand: {
        auto sand = game.unit(id, "Sand", kSand, "kPlatformObjectType", at);
        if (row.width > 0.0f)
            sand->m_scale->setValue(P(row.width / kGroundWidth, 1.0f), true);
        return sand;
    }
    case Kind::Cactus: {
        auto cactus = game.unit(id, "Cactus", kCactus, "kEnemyObjectType", at);
        cactus->m_destroyType->setValue("kDestroyAllCollision", true);
        cactus->m_collisionType->setValue("kNoCollision", true);
        return cactus;
    }
    case Kind::Ledge:
        return game.unit(id, "Sandstone", kSandstone, "kPlatformObjectType", at);
    case Kind::Scorpion: {
        // Walks at the hero at 64 points a second once it is near.
        auto scorpion = game.unit(id, "Scorpion", kScorpion, "kEnemyObjectType", at, P(-2.0f, 0.0f));
        scorpion->m_destroyType->setValue("kDestroyCollision", true);
        scorpion->m_collisionType->setValue("kNoCollision", true);
        auto wakeup = game.make<ZqModelComponentWakeup>(nextComponent++, "Scorpion Wakeup");
        wakeup->m_wakeUp->setValue("kTimeBasedWakeup", true);
        wakeup->m_wakeupDistance->setValue(700.0f, true);
        scorpion->addChild(wakeup, true);
        return scorpion;
    }
    case Kind::Coin:
        break;
    }
    return game.powerup(id, "Coin", ids.coinAsset, at);
}

} // namespace

void zqBuildSampleSecondWorld(ZqGameBuilder& game, const ZqSampleSecondWorldIds& ids)
{
    buildAssets(game);
    std::shared_ptr<ZqNodeScene> world = game.worldNode(kZqSampleSecondWorldNode, kScene, "World2", 1000.0f);
    ZqModelScreenScene& scene = *game.at<ZqModelScreenScene>(kScene);
    scene.m_gameSpeedMin->setValue(3.0f, true);
    scene.m_gameSpeedMax->setValue(8.0f, true);
    scene.m_speedIncrease->setValue(0.1f, true);
    scene.m_scoreMultiplier->setValue(1.0f, true);
    ZqGameBuilder::link(*world, "UI", *game.at<ZqNodeUI>(ids.hudNode));
    ZqGameBuilder::link(*world, "Game Over", *game.at<ZqNodeUI>(ids.gameOverNode));
    auto score = game.make<ZqModelComponentScore>(771, "World 2 Score");
    score->m_resetPoints->setValue(true, true);
    score->m_resetDistance->setValue(true, true);
    // Each game counts its own coins, as in the first world.
    score->m_resetCoins->setValue(true, true);
    scene.addChild(score, true);
    game.layer(1701, "Dusk Sky", scene, 1090, P(kWidth / 2, kHeight / 2), 4.0f, 0.0f, -30);
    game.layer(1702, "Dunes", scene, 1089, P(kWidth / 2, 150.0f), 2.0f, 0.3f, -20);

    game.section(kStart, "World 2 Start", scene, kWidth, 0, true);
    game.section(kCacti, "World 2 Cacti", scene, kWidth, 0, false);
    game.section(kPits, "World 2 Pits", scene, kWidth, 0, false);
    game.section(kLedges, "World 2 Ledges", scene, kWidth, 0, false);
    game.section(kScorpions, "World 2 Scorpions", scene, kWidth, 0, false);
    unsigned id = 1711;
    unsigned nextComponent = 775;
    for (const Row& row : kRows)
        game.at<ZqModelLevelSection>(row.section)->addChild(placed(game, ids, id++, row, nextComponent), true);
}
