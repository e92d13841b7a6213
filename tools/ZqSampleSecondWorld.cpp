#include "tools/ZqSampleSecondWorld.h"

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "tools/ZqGameBuilder.h"

namespace {

constexpr unsigned kWorld2Start = 421, kWorld2Rocks = 422, kWorld2Ledges = 423;
constexpr float kWidth = 1136.0f;  // the design size, landscape
constexpr float kHeight = 640.0f;

enum class Kind { Hero, Ground, Rock, Ledge, Coin };

// A placed row of the second world: a ground of sand, a rock, a ledge, a coin or its hero.
std::shared_ptr<ZqModelObject> world2Object(ZqGameBuilder& game, const ZqSampleSecondWorldIds& ids, unsigned id,
                                            Kind kind, cocos2d::CCPoint at)
{
    switch (kind) {
    case Kind::Hero: {
        auto hero = game.character(id, "Hero", ids.heroAsset, at);
        hero->m_zDepth->setValue(10, true);
        return hero;
    }
    case Kind::Rock:
        return game.unit(id, "Rock", ids.rockAsset, "kPlatformObjectType", at);
    case Kind::Ledge:
        return game.unit(id, "Ledge", ids.ledgeAsset, "kPlatformObjectType", at);
    case Kind::Coin:
        return game.powerup(id, "Coin", ids.coinAsset, at);
    default:
        return game.unit(id, "Sand", ids.sandAsset, "kPlatformObjectType", at);
    }
}

} // namespace

// The second world: a field of its own under a dusk sky, on sand, with the first world's
// rocks, ledges and coins; its HUD and game over are the first world's.
void zqBuildSampleSecondWorld(ZqGameBuilder& game, const ZqSampleSecondWorldIds& ids)
{
    std::shared_ptr<ZqNodeScene> world = game.worldNode(kZqSampleSecondWorldNode, 226, "World2", 1000.0f);
    ZqModelScreenScene& scene = *game.at<ZqModelScreenScene>(226);
    scene.m_gameSpeedMin->setValue(3.0f, true);
    scene.m_gameSpeedMax->setValue(8.0f, true);
    scene.m_speedIncrease->setValue(0.1f, true);
    scene.m_scoreMultiplier->setValue(1.0f, true);
    ZqGameBuilder::link(*world, "UI", *game.at<ZqNodeUI>(ids.hudNode));
    ZqGameBuilder::link(*world, "Game Over", *game.at<ZqNodeUI>(ids.gameOverNode));
    auto score = game.make<ZqModelComponentScore>(771, "World 2 Score");
    score->m_resetPoints->setValue(true, true);
    score->m_resetDistance->setValue(true, true);
    scene.addChild(score, true);
    game.layer(1701, "Dusk Sky", scene, 1090, cocos2d::CCPoint(kWidth / 2, kHeight / 2), 8.0f, 0.0f, -30);
    game.layer(1702, "Dunes", scene, 1089, cocos2d::CCPoint(kWidth / 2, 150.0f), 2.0f, 0.3f, -20);

    game.section(kWorld2Start, "World 2 Start", scene, kWidth, 0, true);
    game.section(kWorld2Rocks, "World 2 Rocks", scene, kWidth, 0, false);
    game.section(kWorld2Ledges, "World 2 Ledges", scene, kWidth, 0, false);
    struct Row {
        unsigned section;
        Kind kind;
        float x, y;
    };
    const Row rows[] = {
        {kWorld2Start, Kind::Ground, 284, 32},  {kWorld2Start, Kind::Ground, 852, 32}, {kWorld2Start, Kind::Hero, 200, 128},
        {kWorld2Start, Kind::Coin, 600, 120},   {kWorld2Start, Kind::Coin, 700, 120},
        {kWorld2Rocks, Kind::Ground, 284, 32},  {kWorld2Rocks, Kind::Ground, 852, 32}, {kWorld2Rocks, Kind::Rock, 560, 104},
        {kWorld2Rocks, Kind::Coin, 560, 240},
        {kWorld2Ledges, Kind::Ground, 284, 32}, {kWorld2Ledges, Kind::Ground, 852, 32},
        {kWorld2Ledges, Kind::Ledge, 600, 170}, {kWorld2Ledges, Kind::Coin, 600, 230},
    };
    unsigned id = 1711;
    for (const Row& row : rows)
        game.at<ZqModelLevelSection>(row.section)->addChild(world2Object(game, ids, id++, row.kind, cocos2d::CCPoint(row.x, row.y)), true);
}
