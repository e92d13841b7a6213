#include "tools/ZqSampleGame.h"

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "attributes/ZqEditorKeys.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqModelAccess.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqModelShapes.h"
#include "model/scene/ZqModelUnlocker.h"
#include "model/scene/ZqNode.h"
#include "tools/ZqGameBuilder.h"
#include "tools/ZqSampleField.h"
#include "tools/ZqSampleSecondWorld.h"
#include "tools/ZqSampleSecondWorldPictures.h"
#include "tools/ZqSamplePictures.h"
#include "tools/ZqSampleRoomPictures.h"
#include "cocos2d.h"

#include <algorithm>
#include <filesystem>
#include <unistd.h>
#include <initializer_list>
#include <map>
#include <stdexcept>

namespace {

// Gives a generated model's number, flag and text attributes values drawn from its
// position k, through the setters (so they are clamped into each attribute's range
// like an editor's values would be).
void fillAttributes(ZqModel& model, std::size_t k)
{
    const int n = static_cast<int>(k % 100000);
    for (ZqBaseAttribute* attribute : model.attributes()) {
        const std::size_t type = attribute->typeId();
        if (attribute == model.nameAttribute())
            model.setName("Generated " + std::to_string(k));
        else if (type == ZqAttributeFloat::staticTypeId())
            static_cast<ZqAttributeFloat*>(attribute)->setValue(static_cast<float>(n % 97) * 0.25f, true);
        else if (type == ZqAttributeInt::staticTypeId())
            static_cast<ZqAttributeInt*>(attribute)->setValue(n % 11 - 5, true);
        else if (type == ZqAttributeUInt::staticTypeId())
            static_cast<ZqAttributeUInt*>(attribute)->setValue(static_cast<unsigned>(n), true);
        else if (type == ZqAttributeBool::staticTypeId())
            static_cast<ZqAttributeBool*>(attribute)->setValue(k % 2 == 1, true);
        else if (type == ZqAttributeString::staticTypeId())
            static_cast<ZqAttributeString*>(attribute)->setValue("text " + std::to_string(k), true);
        else if (type == ZqAttributeSize::staticTypeId())
            static_cast<ZqAttributeSize*>(attribute)->setValue(cocos2d::CCSize(n % 50, n % 30 + 0.5f), true);
    }
}

// The sample game's ids, a hundred per kind: 100 flow-graph nodes, 200 screens,
// 300 interface objects, 400 level sections, 500 placed objects, 600 assets,
// 700 components, 800 collision shapes, 900 animations (950 their frames),
// 1000 sprite containers, 1100 sprites, 1200 the atlas, 1300 sounds, 1400 fonts.
constexpr unsigned kMenuNode = 101, kGameNode = 102, kGameOverNode = 103, kHudNode = 104, kPauseNode = 105;
constexpr unsigned kSectionStart = 401, kSectionRocks = 402, kSectionSlime = 403, kSectionBonus = 404;
constexpr unsigned kSectionLedges = 405, kSectionBats = 406, kSectionBoulders = 407, kSectionRaft = 408;
constexpr unsigned kSectionFerry = 409, kSectionPortals = 410;
constexpr unsigned kHero = 601, kRock = 602, kSlime = 603, kStar = 604, kGround = 605;
constexpr unsigned kCoin = 606, kCheckpoint = 607, kLedge = 609, kBat = 610, kBoulder = 611,
                   kRaft = 612, kFerry = 613, kWall = 614, kPortal = 615;
constexpr unsigned kAtlas = 1201, kMenuMusic = 1301, kFont = 1401, kTitleFont = 1402, kCaptionFont = 1403;
constexpr unsigned kJumpSound = 1302, kLandSound = 1303, kDefeatedSound = 1304;
constexpr unsigned kCoinSound = 1305, kPowerupSound = 1306, kShootSound = 1307;
constexpr unsigned kFreshIds = 10000;
constexpr float kWidth = 1136.0f;  // the design size, landscape
constexpr float kHeight = 640.0f;

// Every picture, in sizes of a 1136x640 game: drawn by its painter in its colour (a
// character's shirt, a button's face), or that colour all over without one.
struct SpriteRow {
    unsigned id;
    const char* name;
    int width, height;
    zqmedia::Rgba colour;
    zqmedia::Painter painter = nullptr;
};
constexpr zqmedia::Rgba kHeroShirt{230, 80, 60, 255};
constexpr zqmedia::Rgba kRunnerShirt{60, 120, 230, 255};
constexpr zqmedia::Rgba kPlayBlue{60, 120, 220, 255};
constexpr SpriteRow kSprites[] = {
    {1101, "Hero Idle 1", 96, 128, kHeroShirt, zqpictures::heroIdle1},
    {1102, "Hero Idle 2", 96, 128, kHeroShirt, zqpictures::heroIdle2},
    {1103, "Hero Run 1", 96, 128, kHeroShirt, zqpictures::heroRun1},
    {1104, "Hero Run 2", 96, 128, kHeroShirt, zqpictures::heroRun2},
    {1105, "Hero Run 3", 96, 128, kHeroShirt, zqpictures::heroRun3},
    {1106, "Hero Run 4", 96, 128, kHeroShirt, zqpictures::heroRun4},
    {1107, "Hero Jump", 96, 128, kHeroShirt, zqpictures::heroJump},
    {1108, "Ground", 568, 64, {90, 170, 70, 255}, zqpictures::ground},
    {1109, "Rock", 96, 80, {130, 130, 140, 255}, zqpictures::rock},
    {1110, "Slime 1", 96, 64, {80, 200, 120, 255}, zqpictures::slime1},
    {1111, "Slime 2", 96, 64, {80, 200, 120, 255}, zqpictures::slime2},
    {1112, "Star", 64, 64, {250, 220, 40, 255}, zqpictures::star},
    {1113, "Play Button", 240, 96, kPlayBlue, zqpictures::button},
    {1114, "Restart Button", 240, 96, kPlayBlue, zqpictures::button},
    {1115, "Hero Defeated", 96, 128, {150, 50, 45, 255}, zqpictures::heroDefeated},
    {1116, "Audio Button", 96, 96, {70, 110, 170, 255}, zqpictures::button},
    {1117, "Exit Button", 96, 96, {200, 60, 60, 255}, zqpictures::button},
    // Screen backgrounds, stretched eightfold to the design size.
    {1118, "Menu Background", 142, 80, {36, 64, 112, 255}, zqpictures::backdrop},
    {1119, "Game Over Background", 142, 80, {96, 40, 64, 255}, zqpictures::backdrop},
    // The field's parallax layers, drawn at twice their size, and its sky at four times.
    {1120, "Far Hills", 256, 80, {100, 130, 170, 255}, zqpictures::hills},
    {1121, "Near Bushes", 256, 48, {50, 125, 70, 255}, zqpictures::bushes},
    {1135, "Sky", 16, 160, {60, 120, 205, 255}, zqpictures::sky},
    // The world's pick-ups and the hero's bullet.
    {1123, "Coin", 40, 40, {255, 190, 40, 255}, zqpictures::coin},
    {1124, "Checkpoint", 40, 112, {60, 210, 230, 255}, zqpictures::checkpoint},
    {1126, "Bullet", 28, 10, {255, 200, 80, 255}, zqpictures::bullet},
    {1127, "Ledge", 240, 24, {170, 120, 70, 255}, zqpictures::plank},
    {1128, "Bat", 72, 40, {150, 80, 200, 255}, zqpictures::bat},
    {1129, "Boulder", 64, 64, {130, 115, 100, 255}, zqpictures::boulder},
    {1130, "Hero Slide", 120, 48, kHeroShirt, zqpictures::heroSlide},
    {1131, "Raft", 200, 24, {165, 115, 65, 255}, zqpictures::raft},
    {1132, "Ferry", 200, 24, {200, 80, 70, 255}, zqpictures::ferry},
    {1133, "Wall", 64, 150, {130, 125, 135, 255}, zqpictures::wall},
    {1134, "Portal", 60, 120, {140, 90, 255, 255}, zqpictures::portal},
};

// The objects of the level sections, each section one screen wide (x, y in points; a
// ground piece's width, 0 for the ground's own 568). The start section's ground stops 170
// points short of its end: a pit that a double jump clears from well before its edge, as
// high as the hero may jump and stay in the window. Later sections number their objects
// from 1501.
enum class Kind { Hero, Ground, Rock, Slime, Star, Coin, Checkpoint, Magnet, Ledge, Bat, Boulder, Raft, Ferry,
                  FerryPath, Wall, Portal, Teleport, Water };
struct PlacedRow {
    unsigned id;
    unsigned section;
    Kind kind;
    float x, y;
    float width = 0.0f;
};
constexpr PlacedRow kPlaced[] = {
    {501, kSectionStart, Kind::Ground, 284, 32}, {502, kSectionStart, Kind::Ground, 682, 32},
    {503, kSectionStart, Kind::Hero, 200, 128},  {504, kSectionStart, Kind::Star, 760, 260},
    {506, kSectionStart, Kind::Coin, 420, 120},  {507, kSectionStart, Kind::Coin, 480, 120},
    {508, kSectionStart, Kind::Coin, 540, 120},
    {511, kSectionRocks, Kind::Ground, 284, 32}, {512, kSectionRocks, Kind::Ground, 852, 32},
    {513, kSectionRocks, Kind::Rock, 420, 104},  {514, kSectionRocks, Kind::Rock, 880, 104},
    {515, kSectionRocks, Kind::Magnet, 160, 220}, {516, kSectionRocks, Kind::Coin, 420, 240},
    {517, kSectionRocks, Kind::Coin, 650, 120},  {518, kSectionRocks, Kind::Coin, 880, 240},
    {521, kSectionSlime, Kind::Ground, 284, 32}, {522, kSectionSlime, Kind::Ground, 852, 32},
    {523, kSectionSlime, Kind::Rock, 300, 104},  {524, kSectionSlime, Kind::Slime, 800, 96},
    {525, kSectionSlime, Kind::Star, 560, 300},  {526, kSectionSlime, Kind::Checkpoint, 120, 120},
    {527, kSectionSlime, Kind::Coin, 300, 240},
    {531, kSectionBonus, Kind::Ground, 284, 32}, {532, kSectionBonus, Kind::Ground, 852, 32},
    {533, kSectionBonus, Kind::Star, 560, 300},
    // A gap bridged by one-way ledges, reached by a jump from below.
    {1501, kSectionLedges, Kind::Ground, 190, 32, 380}, {1502, kSectionLedges, Kind::Ground, 948, 32, 376},
    {1503, kSectionLedges, Kind::Ledge, 460, 170},      {1504, kSectionLedges, Kind::Ledge, 690, 170},
    {1505, kSectionLedges, Kind::Coin, 460, 230},       {1506, kSectionLedges, Kind::Coin, 580, 230},
    {1507, kSectionLedges, Kind::Coin, 700, 230},
    // Bats flying at the hero over a narrow gap: shot or jumped.
    {1511, kSectionBats, Kind::Ground, 260, 32, 520},   {1512, kSectionBats, Kind::Ground, 908, 32, 456},
    {1513, kSectionBats, Kind::Bat, 760, 130},          {1514, kSectionBats, Kind::Bat, 1060, 130},
    {1515, kSectionBats, Kind::Coin, 600, 240},
    // Boulders rolling at the hero, to be jumped.
    {1521, kSectionBoulders, Kind::Ground, 284, 32},    {1522, kSectionBoulders, Kind::Ground, 852, 32},
    {1523, kSectionBoulders, Kind::Boulder, 620, 96},   {1524, kSectionBoulders, Kind::Boulder, 1000, 96},
    {1525, kSectionBoulders, Kind::Coin, 620, 280},     {1526, kSectionBoulders, Kind::Star, 860, 300},
    // A wide gap and a raft that sets off across it when the hero lands on it.
    {1531, kSectionRaft, Kind::Ground, 180, 32, 360},   {1532, kSectionRaft, Kind::Ground, 1018, 32, 236},
    {1533, kSectionRaft, Kind::Raft, 470, 52},          {1534, kSectionRaft, Kind::Coin, 640, 160},
    {1535, kSectionRaft, Kind::Coin, 760, 160},
    // A ferry carried to and fro by a path over a gap of water.
    {1541, kSectionFerry, Kind::Ground, 200, 32, 400},  {1542, kSectionFerry, Kind::Ground, 968, 32, 336},
    {1543, kSectionFerry, Kind::Ferry, 500, 52},        {1544, kSectionFerry, Kind::FerryPath, 500, 52},
    {1545, kSectionFerry, Kind::Coin, 600, 200},        {1546, kSectionFerry, Kind::Water, 600, 32},
    // A wall too high to jump, and a pair of portals across it.
    {1551, kSectionPortals, Kind::Ground, 284, 32},     {1552, kSectionPortals, Kind::Ground, 852, 32},
    {1553, kSectionPortals, Kind::Wall, 620, 364},      {1554, kSectionPortals, Kind::Portal, 480, 124},
    {1555, kSectionPortals, Kind::Teleport, 480, 114},  {1556, kSectionPortals, Kind::Portal, 780, 124},
    {1557, kSectionPortals, Kind::Teleport, 780, 114},  {1558, kSectionPortals, Kind::Coin, 900, 120},
};

// Frame objects beside the pictures: speed lines behind the hero's default animation and
// sparks rising from the star's.
void addAnimationEffects(ZqGameBuilder& game)
{
    // Thin streaks across the body that fade within a short ribbon: a fall bends little of
    // them, where a long solid one would hook down into a pit.
    game.effectSprite(1125, "Speed Lines", kAtlas, 64, 32, {255, 255, 255, 255}, zqpictures::speedLines);
    game.container(1020, "Speed Lines", 1.0f, {1125});
    auto trail = game.make<ZqModelObjectTrail>(960, "Hero Trail");
    trail->m_texture->setValue(game.at<ZqModelSpriteContainer>(1020), true);
    trail->m_startWidth->setValue(36.0f, true);
    trail->m_endWidth->setValue(24.0f, true);
    trail->m_length->setValue(120.0f, true);
    trail->m_opacity->setValue(0.7f, true);
    game.at<ZqModelAnimation>(901)->addChild(trail, true);

    auto sparks = game.make<ZqModelObjectParticles>(961, "Star Sparks");
    auto emitter = game.make<ZqModelObjectParticlesEmitter>(962, "Star Spark Emitter");
    emitter->m_texture->setValue(game.at<ZqModelSpriteContainer>(1017), true);
    emitter->m_totalParticles->setValue(40.0f, true);
    emitter->m_emissionRate->setValue(20.0f, true);
    emitter->m_startSize->setValue(12.0f, true);
    emitter->m_endSize->setValue(2.0f, true);
    emitter->m_life->setValue(1.5f, true);
    emitter->m_speed->setValue(40.0f, true);
    emitter->m_angle->setValue(90.0f, true);
    emitter->m_color->setColorAt(0.0f, cocos2d::ccc4f(1.0f, 0.95f, 0.6f, 1.0f), true);
    emitter->m_color->setColorAt(1.0f, cocos2d::ccc4f(1.0f, 0.6f, 0.1f, 0.0f), true);
    sparks->addEmitter(*emitter);
    game.at<ZqModelAnimation>(906)->addChild(sparks, true);
}

void buildMedia(ZqGameBuilder& game)
{
    game.atlas(kAtlas, "Sample Atlas", 1024, 4);
    for (const SpriteRow& row : kSprites)
        game.sprite(row.id, row.name, kAtlas, row.width, row.height, row.colour, row.painter);
    game.container(1001, "Hero Idle", 0.1f, {1101, 1102});
    game.container(1002, "Hero Run", 0.4f, {1103, 1104, 1105, 1106});
    game.container(1003, "Hero Jump", 1.0f, {1107});
    game.container(1004, "Ground", 1.0f, {1108});
    game.container(1005, "Rock", 1.0f, {1109});
    game.container(1006, "Slime", 0.15f, {1110, 1111});
    game.container(1007, "Star", 1.0f, {1112});
    game.container(1008, "Play Button", 1.0f, {1113});
    game.container(1009, "Restart Button", 1.0f, {1114});
    game.container(1010, "Hero Defeated", 1.0f, {1115});
    game.container(1011, "Audio Button", 1.0f, {1116});
    game.container(1012, "Exit Button", 1.0f, {1117});
    game.container(1013, "Menu Background", 1.0f, {1118});
    game.container(1014, "Game Over Background", 1.0f, {1119});
    game.container(1015, "Far Hills", 1.0f, {1120});
    game.container(1016, "Near Bushes", 1.0f, {1121});
    // The star's sparks, a particle texture of its own.
    game.effectSprite(1122, "Spark", kAtlas, 16, 16, {255, 220, 120, 255}, zqpictures::spark);
    game.container(1017, "Spark", 1.0f, {1122});
    game.container(1018, "Coin", 1.0f, {1123});
    game.container(1019, "Checkpoint", 1.0f, {1124});
    game.container(1021, "Bullet", 1.0f, {1126});
    game.container(1022, "Ledge", 1.0f, {1127});
    game.container(1023, "Bat", 1.0f, {1128});
    game.container(1024, "Boulder", 1.0f, {1129});
    game.container(1025, "Hero Slide", 1.0f, {1130});
    game.container(1026, "Raft", 1.0f, {1131});
    game.container(1027, "Ferry", 1.0f, {1132});
    game.container(1028, "Wall", 1.0f, {1133});
    game.container(1029, "Portal", 1.0f, {1134});
    game.container(1030, "Sky", 1.0f, {1135});
    game.addEffectMedia();
    game.animation(901, 951, "Hero Idle", 1001, true);
    game.animation(902, 952, "Hero Run", 1002, true);
    game.animation(903, 953, "Hero Jump", 1003, false);
    game.animation(904, 954, "Rock", 1005, true);
    game.animation(905, 955, "Slime", 1006, true);
    game.animation(906, 956, "Star", 1007, true);
    game.animation(907, 957, "Hero Defeated", 1010, false);
    game.animation(908, 958, "Ground", 1004, true);
    // Later animations number their frames from 971 (950 to 962 are taken).
    game.animation(911, 971, "Coin", 1018, true);
    game.animation(912, 972, "Checkpoint", 1019, true);
    game.animation(914, 974, "Bullet", 1021, true);
    game.animation(915, 975, "Ledge", 1022, true);
    game.animation(916, 976, "Bat", 1023, true);
    game.animation(917, 977, "Boulder", 1024, true);
    game.animation(918, 978, "Hero Slide", 1025, true);
    game.animation(919, 979, "Raft", 1026, true);
    game.animation(920, 980, "Ferry", 1027, true);
    game.animation(921, 981, "Wall", 1028, true);
    game.animation(922, 982, "Portal", 1029, true);
    game.sound(kMenuMusic, "Menu Music", 2.0, 330.0);
    game.sound(kJumpSound, "Jump", 0.15, 660.0);
    game.sound(kLandSound, "Ground Collision", 0.1, 220.0);
    game.sound(kDefeatedSound, "Defeated", 0.4, 110.0);
    game.sound(kCoinSound, "Coin", 0.08, 1320.0);
    game.sound(kPowerupSound, "Power Up", 0.25, 880.0);
    game.sound(kShootSound, "Shoot", 0.05, 990.0);
    // The fonts are rendered at the sizes the texts show (scaled glyphs look soft): 24
    // pixels a line, titles twice that, captions three quarters.
    game.font(kFont, "Main Font", 24);
    game.font(kTitleFont, "Title Font", 48);
    game.font(kCaptionFont, "Caption Font", 18);
    addAnimationEffects(game);
}

// The characters' outlines reach kFeet points below their centre, standing or sliding.
constexpr float kFeet = 50.0f;

// Raises or lowers a character's picture (an animation's image frame) so that its bottom
// meets the bottom of the outline: a sprite is drawn centred on the body.
void standOnOutline(ZqGameBuilder& game, unsigned frame)
{
    std::shared_ptr<ZqModelObjectImage> image = game.at<ZqModelObjectImage>(frame);
    const float height = image->m_image->value()->frameSizeAtTime(0.0f).height;
    image->m_position->setValue(cocos2d::CCPoint(0.0f, height / 2 - kFeet), true);
}

// A power-up asset of type showing animation, taken with the power-up sound.
std::shared_ptr<ZqModelAssetPowerup> powerupAsset(ZqGameBuilder& game, unsigned id, const std::string& name,
                                                  const std::string& type, unsigned animation, unsigned shape,
                                                  float width, float height)
{
    std::shared_ptr<ZqModelAssetPowerup> asset = game.make<ZqModelAssetPowerup>(id, name);
    asset->m_collisionShape->setValue(game.boxShape(shape, name + " Shape", width, height), true);
    asset->m_idleAnimation->setValue(game.at<ZqModelAnimation>(animation), true);
    asset->m_powerupType->setValue(type, true);
    asset->m_startSound->setValue(game.at<ZqModelSound>(kPowerupSound), true);
    asset->m_appearanceChance->setValue(100.0f, true);
    return asset;
}

// The world's pick-ups: a coin worth one and a checkpoint (its magnet is the shop's).
void buildPickupAssets(ZqGameBuilder& game)
{
    std::shared_ptr<ZqModelAssetPowerup> coin = powerupAsset(game, kCoin, "Coin", "kPowerupCoin", 911, 806, 40, 40);
    coin->m_rewardCoins->setValue(1.0f, true);
    coin->m_startSound->setValue(game.at<ZqModelSound>(kCoinSound), true);
    powerupAsset(game, kCheckpoint, "Checkpoint", "kPowerupCheckpoint", 912, 807, 40, 112);
}

// While a control button is held (the HUD's "Slide"), the hero runs low: a shape 40
// points high instead of 110, its feet's corners cut like the hero's, and its slide
// picture. Outline points have y downwards.
void addHeroSlide(ZqGameBuilder& game, ZqModelAssetCharacter& hero)
{
    using P = cocos2d::CCPoint;
    auto slide = game.make<ZqModelComponentSlide>(705, "Hero Slide");
    slide->m_collisionShape->setValue(game.shape(812, "Hero Slide Shape", {P(-50, 10), P(50, 10), P(50, kFeet - 8), P(42, kFeet), P(-42, kFeet), P(-50, kFeet - 8)}), true);
    slide->m_animation->setValue(game.at<ZqModelAnimation>(918), true);
    hero.addChild(slide, true);
}

// An obstacle asset showing animation within shape.
void obstacleAsset(ZqGameBuilder& game, unsigned id, const std::string& name, unsigned animation,
                   const std::shared_ptr<ZqModelPolygon>& shape)
{
    std::shared_ptr<ZqModelAssetObstacle> asset = game.make<ZqModelAssetObstacle>(id, name);
    asset->m_collisionShape->setValue(shape, true);
    asset->m_idleAnimation->setValue(game.at<ZqModelAnimation>(animation), true);
}

// The later sections' obstacles: a ledge solid from above only, a bat, a raft that a
// landing sets off, a ferry, a wall, a portal's picture and a boulder.
void buildObstacleAssets(ZqGameBuilder& game)
{
    using P = cocos2d::CCPoint;
    std::shared_ptr<ZqModelPolygon> ledge = game.boxShape(809, "Ledge Shape", 240, 24);
    ledge->setOneWayCollisionVector(P(0, 1));
    obstacleAsset(game, kLedge, "Ledge", 915, ledge);
    obstacleAsset(game, kBat, "Bat", 916, game.shape(810, "Bat Shape", {P(-36, 12), P(36, 12), P(30, -20), P(-30, -20)}));
    // The raft sets off at 140 points a second when a character lands on it, for 2.3
    // seconds: across its gap.
    auto raftShape = game.boxShape(813, "Raft Shape", 200, 24);
    obstacleAsset(game, kRaft, "Raft", 919, raftShape);
    auto move = game.make<ZqModelComponentMove>(706, "Raft Move");
    move->m_event->setValue("kEventCollision", true);
    move->m_linearVelocity->setValue(P(7.0f, 0.0f), true);
    move->m_linearVelocity->setEmpty(false, true);
    move->m_timeout->setValue(2.3f, true);
    game.at<ZqModelAssetObstacle>(kRaft)->addChild(move, true);
    obstacleAsset(game, kFerry, "Ferry", 920, game.boxShape(814, "Ferry Shape", 200, 24));
    obstacleAsset(game, kWall, "Wall", 921, game.boxShape(815, "Wall Shape", 64, 150));
    obstacleAsset(game, kPortal, "Portal", 922, game.boxShape(816, "Portal Shape", 60, 120));
    obstacleAsset(game, kBoulder, "Boulder", 917,
                  game.shape(811, "Boulder Shape",
                             {P(-13, -32), P(13, -32), P(32, -13), P(32, 13), P(13, 32), P(-13, 32), P(-32, 13), P(-32, -13)}));
}

void buildAssets(ZqGameBuilder& game)
{
    using P = cocos2d::CCPoint;
    std::shared_ptr<ZqModelAssetCharacter> hero = game.make<ZqModelAssetCharacter>(kHero, "Hero");
    // Outline points have y downwards. The feet's corners are cut: a square corner catches on
    // the seam of two ground pieces side by side and holds the hero there.
    hero->m_collisionShape->setValue(
        game.shape(801, "Hero Shape", {P(-30, -60), P(30, -60), P(30, kFeet - 8), P(22, kFeet), P(-22, kFeet), P(-30, kFeet - 8)}), true);
    hero->m_defaultAnimation->setValue(game.at<ZqModelAnimation>(901), true);
    hero->m_moveAnimation->setValue(game.at<ZqModelAnimation>(902), true);
    hero->m_jumpAnimation->setValue(game.at<ZqModelAnimation>(903), true);
    hero->m_defeatedAnimation->setValue(game.at<ZqModelAnimation>(907), true);
    hero->m_jumpSound->setValue(game.at<ZqModelSound>(kJumpSound), true);
    hero->m_groundCollision->setValue(game.at<ZqModelSound>(kLandSound), true);
    hero->m_defeatedSound->setValue(game.at<ZqModelSound>(kDefeatedSound), true);
    hero->m_gameOverDelay->setValue(1.0f, true);
    // The gun fires while the shoot action is held.
    hero->m_bulletAnimation->setValue(game.at<ZqModelAnimation>(914), true);
    hero->m_shootSound->setValue(game.at<ZqModelSound>(kShootSound), true);
    std::shared_ptr<ZqModelComponentHealth> health = game.make<ZqModelComponentHealth>(701, "Hero Health");
    health->m_health->setValue(3.0f, true);
    health->m_lives->setValue(3.0f, true);
    health->m_deathDelay->setValue(0.5f, true);
    hero->addChild(health, true);
    auto gameplay = game.make<ZqModelComponentCharacterGameplaySettings>(702, "Hero Gameplay");
    gameplay->m_maxSpeed->setValue(P(8, 0), true);
    // The highest double jump, from a ledge, keeps the whole hero in the window.
    gameplay->m_jumpForce->setValue(P(0, 9.5f), true);
    gameplay->m_jumpCounter->setValue(2.0f, true);  // a double jump
    gameplay->m_jumpFromGround->setValue(true, true);
    gameplay->m_fixedRotation->setValue(true, true);
    gameplay->m_forcedMovement->setValue(true, true); // runs at the game speed
    hero->addChild(gameplay, true);

    std::shared_ptr<ZqModelAssetObstacle> rock = game.make<ZqModelAssetObstacle>(kRock, "Rock");
    rock->m_collisionShape->setValue(game.shape(802, "Rock Shape", {P(-46, 38), P(46, 38), P(30, -30), P(0, -40), P(-30, -30)}), true);
    rock->m_idleAnimation->setValue(game.at<ZqModelAnimation>(904), true);
    std::shared_ptr<ZqModelAssetObstacle> slime = game.make<ZqModelAssetObstacle>(kSlime, "Slime");
    slime->m_collisionShape->setValue(game.shape(803, "Slime Shape", {P(-46, 30), P(46, 30), P(40, -10), P(0, -30), P(-40, -10)}), true);
    slime->m_idleAnimation->setValue(game.at<ZqModelAnimation>(905), true);
    std::shared_ptr<ZqModelAssetObstacle> ground = game.make<ZqModelAssetObstacle>(kGround, "Ground");
    ground->m_collisionShape->setValue(game.boxShape(805, "Ground Shape", 568, 64), true);
    ground->m_idleAnimation->setValue(game.at<ZqModelAnimation>(908), true);

    std::shared_ptr<ZqModelAssetPowerup> star = game.make<ZqModelAssetPowerup>(kStar, "Star");
    star->m_collisionShape->setValue(game.boxShape(804, "Star Shape", 56, 56), true);
    star->m_idleAnimation->setValue(game.at<ZqModelAnimation>(906), true);
    star->m_powerupType->setValue("kPowerupInvincibility", true);
    star->m_duration->setValue(5.0f, true);
    star->m_rewardPoints->setValue(50.0f, true);
    star->m_showPointsReward->setValue(true, true);
    star->m_appearanceChance->setValue(100.0f, true);
    buildPickupAssets(game);
    buildObstacleAssets(game);
    addHeroSlide(game, *hero);
}

// A screen's background: a one-colour sprite stretched over the design size, behind all.
void addBackground(ZqGameBuilder& game, ZqNodeUI& node, unsigned id, unsigned container)
{
    auto background = game.make<ZqModelObjectImage>(id, "Background");
    background->m_image->setValue(game.at<ZqModelSpriteContainer>(container), true);
    background->m_position->setValue(cocos2d::CCPoint(kWidth / 2, kHeight / 2), true);
    background->m_scale->setValue(cocos2d::CCPoint(8.0f, 8.0f), true);
    background->m_zDepth->setValue(-10, true);
    node.screen()->addChild(background, true);
}

// A fixed text that stays where it stands ("kCustomVector"), drawn above the screen's
// buttons, scale times the size of the main font: in the font rendered at that size when
// there is one.
void addText(ZqGameBuilder& game, ZqNodeUI& node, unsigned id, const std::string& text, cocos2d::CCPoint position,
             float scale = 1.0f)
{
    const unsigned font = scale == 2.0f ? kTitleFont : scale == 0.75f ? kCaptionFont : kFont;
    const float fontScale = font == kTitleFont ? 2.0f : font == kCaptionFont ? 0.75f : 1.0f;
    std::shared_ptr<ZqModelObjectLabel> label = game.label(id, text, font, position);
    label->m_action->setValue("kCustomVector", true);
    label->m_scale->setValue(cocos2d::CCPoint(scale / fontScale, scale / fontScale), true);
    label->m_zDepth->setValue(1, true);
    node.screen()->addChild(label, true);
}

void buildScreens(ZqGameBuilder& game)
{
    // The start screen (ids 2 to 5): a loading text and bar in the game's font.
    std::shared_ptr<ZqNodeUIStart> start = game.startNode(2, 3);
    std::shared_ptr<ZqModelObjectLabel> loading = game.label(4, "Loading...", kFont, cocos2d::CCPoint(kWidth / 2, 360.0f));
    loading->setName("Loading Text");
    loading->m_action->setValue("kCustomVector", true);
    std::shared_ptr<ZqModelObjectLoadingBar> bar = game.make<ZqModelObjectLoadingBar>(5, "Loading Bar");
    bar->m_position->setValue(cocos2d::CCPoint(kWidth / 2, 280.0f), true);
    start->screen()->addChild(loading, true);
    start->screen()->addChild(bar, true);

    std::shared_ptr<ZqNodeUI> menu = game.interfaceNode(kMenuNode, 201, "Menu", 250.0f);
    menu->screen()->m_music->setValue(game.at<ZqModelSound>(kMenuMusic), true);
    std::shared_ptr<ZqNodeScene> field = game.worldNode(kGameNode, 202, "Game", 500.0f);
    std::shared_ptr<ZqNodeUI> gameOver = game.interfaceNode(kGameOverNode, 203, "GameOver", 750.0f);

    ZqGameBuilder::link(*start, "Load", *menu);
    const cocos2d::CCPoint title(kWidth / 2, kHeight * 0.7f);
    const cocos2d::CCPoint centre(kWidth / 2, kHeight * 0.4f);
    const cocos2d::CCPoint exitAt(80.0f, kHeight - 80.0f);
    const cocos2d::CCPoint audioAt(kWidth - 80.0f, kHeight - 80.0f);
    addBackground(game, *menu, 308, 1013);
    addText(game, *menu, 301, ZqSampleGame::kApplicationName, title, 2.0f);
    // Return presses Play; the audio button mutes and unmutes; the exit button ends the game.
    game.button(302, "Play", *menu, field.get(), 1008, centre)->m_keyboardKey->setValue(ZqEditorKey::kReturn, true);
    addText(game, *menu, 310, "Play", centre);
    auto audio = game.make<ZqModelObjectButtonSoundControl>(305, "Audio Button");
    audio->m_image->setValue(game.at<ZqModelSpriteContainer>(1011), true);
    audio->m_position->setValue(audioAt, true);
    menu->screen()->addChild(audio, true);
    addText(game, *menu, 311, "sound", audioAt);
    game.button(306, "Exit", *menu, nullptr, 1012, exitAt)->m_action->setValue("kExitButton", true);
    addText(game, *menu, 312, "exit", exitAt);
    addText(game, *menu, 313,
            "Return: play   Space: jump   Down: slide   K: shoot   Left: back   Escape: pause   Alt+Enter: full screen",
            cocos2d::CCPoint(kWidth / 2, 40.0f), 0.8f);
    ZqGameBuilder::link(*field, "Game Over", *gameOver);

    // Over the field: the HUD with a pause button (Escape presses it), and the pause
    // screen with a way back into the game and one to the menu.
    std::shared_ptr<ZqNodeUI> hud = game.interfaceNode(kHudNode, 204, "HUD", 500.0f);
    std::shared_ptr<ZqNodeUI> pause = game.interfaceNode(kPauseNode, 205, "Pause", 750.0f);
    ZqGameBuilder::link(*field, "UI", *hud);
    game.button(315, "Pause", *hud, pause.get(), 1011, exitAt)->m_action->setValue("kPauseButton", true);
    addText(game, *hud, 316, "pause", exitAt);
    addText(game, *pause, 317, "Paused", title, 2.0f);
    game.button(318, "Resume", *pause, nullptr, 1008, centre)->m_action->setValue("kBackButton", true);
    addText(game, *pause, 319, "Resume", centre);
    const cocos2d::CCPoint menuAt(kWidth / 2, kHeight * 0.2f);
    game.button(320, "Menu", *pause, menu.get(), 1009, menuAt);
    addText(game, *pause, 321, "Menu", menuAt);
    // When the game is over the HUD's observer shows the game-over screen, through the
    // "Game Over" port of the world node.
    game.observer(392, "Game Over", *hud, "kGameOver");
}

// The shop, the character screen and what the menu, the HUD and the game over show
// beyond their navigation: ids from 111 (nodes), 211 (screens), 340 (interface objects),
// 641 (assets), 781 (the second character's components), 841, 941 and 990, 1041, 1141
// and 1341.
constexpr unsigned kShopNode = 111, kCharactersNode = 112;
constexpr unsigned kMagnet = 641, kRunner = 642;
constexpr unsigned kPurchaseSound = 1341;
constexpr unsigned kBuyButton = 1042, kMenuButton = 1008;
constexpr float kMagnetPrice = 10.0f, kNoAdsPrice = 50.0f, kRunnerPrice = 25.0f;

constexpr SpriteRow kShopSprites[] = {
    {1141, "Magnet", 64, 64, {215, 50, 60, 255}, zqpictures::magnet},
    {1142, "Buy Button", 200, 80, {60, 170, 90, 255}, zqpictures::button},
    {1143, "Jump Button", 112, 112, {80, 160, 230, 255}, zqpictures::roundButton},
    {1144, "Shoot Button", 112, 112, {230, 150, 60, 255}, zqpictures::roundButton},
    {1145, "Fullscreen Button", 96, 96, {70, 150, 110, 255}, zqpictures::button},
    {1146, "Windowed Button", 96, 96, {130, 90, 170, 255}, zqpictures::button},
    {1147, "Runner Idle 1", 96, 128, kRunnerShirt, zqpictures::heroIdle1},
    {1148, "Runner Idle 2", 96, 128, kRunnerShirt, zqpictures::heroIdle2},
    {1149, "Runner Run 1", 96, 128, kRunnerShirt, zqpictures::heroRun1},
    {1150, "Runner Run 2", 96, 128, kRunnerShirt, zqpictures::heroRun3},
    {1151, "Runner Jump", 96, 128, kRunnerShirt, zqpictures::heroJump},
    {1152, "Runner Defeated", 96, 128, {40, 50, 130, 255}, zqpictures::heroDefeated},
    {1153, "Runner Slide", 120, 48, kRunnerShirt, zqpictures::heroSlide},
};

// The shop's buttons carry their words on their faces and, pressed, their prices: a press
// that the coins do not pay for changes nothing else. Drawn on the button, a word goes with
// it when it is bought. In the menus' atlas, beside the main one (full).
template <const char* Word>
void purchaseFace(cairo_t* canvas, int width, int height, zqmedia::Rgba face)
{
    zqpictures::wordButton(canvas, width, height, face, Word);
}
template <int Coins>
void purchasePressed(cairo_t* canvas, int width, int height, zqmedia::Rgba face)
{
    zqpictures::priceButton(canvas, width, height, face, Coins);
}
constexpr char kMagnetWord[] = "magnet", kNoAdsWord[] = "no ads";
constexpr zqmedia::Rgba kPurchaseFace{60, 170, 90, 255}, kPurchasePressed{40, 120, 65, 255};
constexpr SpriteRow kPurchaseFaces[] = {
    {1156, "Magnet Purchase", 200, 80, kPurchaseFace, purchaseFace<kMagnetWord>},
    {1157, "Magnet Purchase Pressed", 200, 80, kPurchasePressed, purchasePressed<static_cast<int>(kMagnetPrice)>},
    {1158, "No Ads Purchase", 200, 80, kPurchaseFace, purchaseFace<kNoAdsWord>},
    {1159, "No Ads Purchase Pressed", 200, 80, kPurchasePressed, purchasePressed<static_cast<int>(kNoAdsPrice)>},
};

void buildShopMedia(ZqGameBuilder& game)
{
    for (const SpriteRow& row : kShopSprites)
        game.sprite(row.id, row.name, kAtlas, row.width, row.height, row.colour, row.painter);
    game.atlas(1205, "Menu Atlas", 1024, 4);
    for (const SpriteRow& row : kPurchaseFaces) {
        game.sprite(row.id, row.name, 1205, row.width, row.height, row.colour, row.painter);
        game.container(row.id - 100, row.name, 1.0f, {row.id});
    }
    game.container(1041, "Magnet", 1.0f, {1141});
    game.container(kBuyButton, "Buy Button", 1.0f, {1142});
    game.container(1043, "Jump Button", 1.0f, {1143});
    game.container(1044, "Shoot Button", 1.0f, {1144});
    game.container(1045, "Fullscreen Button", 1.0f, {1145});
    game.container(1046, "Windowed Button", 1.0f, {1146});
    game.container(1047, "Runner Idle", 0.1f, {1147, 1148});
    game.container(1048, "Runner Run", 0.4f, {1149, 1150});
    game.container(1049, "Runner Jump", 1.0f, {1151});
    game.container(1050, "Runner Defeated", 1.0f, {1152});
    game.animation(941, 990, "Magnet", 1041, true);
    game.animation(942, 991, "Runner Idle", 1047, true);
    game.animation(943, 992, "Runner Run", 1048, true);
    game.animation(944, 993, "Runner Jump", 1049, false);
    game.animation(945, 994, "Runner Defeated", 1050, false);
    game.container(1051, "Runner Slide", 1.0f, {1153});
    game.animation(947, 997, "Runner Slide", 1051, true);
    for (unsigned frame : {951u, 952u, 953u, 957u, 978u, 991u, 992u, 993u, 994u, 997u})
        standOnOutline(game, frame);
    game.sound(kPurchaseSound, "Purchase", 0.2, 880.0);
}

// The magnet the shop sells, and the second character: the hero's copy (its settings and
// components, so that it plays alike) in other colours, bought with coins.
void buildShopAssets(ZqGameBuilder& game)
{
    std::shared_ptr<ZqModelAssetPowerup> magnet = game.make<ZqModelAssetPowerup>(kMagnet, "Magnet");
    magnet->m_collisionShape->setValue(game.boxShape(841, "Magnet Shape", 56, 56), true);
    magnet->m_idleAnimation->setValue(game.at<ZqModelAnimation>(941), true);
    magnet->m_powerupType->setValue("kPowerupMagnet", true);
    magnet->m_duration->setValue(8.0f, true);
    magnet->m_appearanceChance->setValue(100.0f, true);

    std::shared_ptr<ZqModelAssetCharacter> runner =
        game.adopt(kRunner, duplicateModel(game.at<ZqModelAssetCharacter>(kHero), true, false));
    runner->setName("Runner");
    unsigned nextId = 781;
    std::vector<std::shared_ptr<ZqModel>> copies(runner->children().begin(), runner->children().end());
    for (std::size_t i = 0; i < copies.size(); ++i) {
        game.adopt(nextId++, copies[i]);
        copies.insert(copies.end(), copies[i]->children().begin(), copies[i]->children().end());
    }
    runner->m_defaultAnimation->setValue(game.at<ZqModelAnimation>(942), true);
    runner->m_moveAnimation->setValue(game.at<ZqModelAnimation>(943), true);
    runner->m_jumpAnimation->setValue(game.at<ZqModelAnimation>(944), true);
    runner->m_defeatedAnimation->setValue(game.at<ZqModelAnimation>(945), true);
    // The runner slides in its own colours.
    for (const std::shared_ptr<ZqModel>& copy : copies) {
        if (const auto slide = modelCast<ZqModelComponentSlide>(copy))
            slide->m_animation->setValue(game.at<ZqModelAnimation>(947), true);
    }
    runner->m_purchaseMethod->setValue("kInGameCurrency", true);
    runner->m_price->setValue(kRunnerPrice, true);
}

// A live score over its caption: "World" kGlobal for the player's records, else the
// current game's.
void addScoreText(ZqGameBuilder& game, ZqNodeUI& node, unsigned id, const std::string& caption,
                  cocos2d::CCPoint position, const char* scoreType, const char* amount, bool global)
{
    addText(game, node, id, caption, cocos2d::CCPoint(position.x, position.y + 30.0f), 0.75f);
    std::shared_ptr<ZqModelObjectLabel> score = game.label(id + 1, "0", kFont, position);
    score->setName(caption + " Score");
    score->m_action->setValue("kScoreVector", true);
    score->m_scoreType->setValue(scoreType, true);
    score->m_amount->setValue(amount, true);
    score->m_world->setValue(global ? "kGlobal" : "kCurrentWorld", true);
    score->m_zDepth->setValue(1, true);
    node.screen()->addChild(score, true);
}

// A button that follows its port to to, with its word on it.
void addLinkButton(ZqGameBuilder& game, ZqNodeUI& from, const ZqBaseNode& to, unsigned id, const std::string& name,
                   const std::string& word, cocos2d::CCPoint position, const char* action = "")
{
    game.button(id, name, from, &to, kMenuButton, position)->m_action->setValue(action, true);
    addText(game, from, id + 1, word, position);
}

// The menu's buttons beside Play: Continue (at the kept checkpoint, start mode 0), the shop,
// the characters and the window mode (one of the two shows); and the player's records.
void buildMenuExtras(ZqGameBuilder& game)
{
    ZqNodeUI& menu = *game.at<ZqNodeUI>(kMenuNode);
    const ZqNodeScene& field = *game.at<ZqNodeScene>(kGameNode);
    addLinkButton(game, menu, field, 340, "Continue", "Continue", cocos2d::CCPoint(kWidth / 2, 140.0f),
                  "kStartCheckpointButton");
    addLinkButton(game, menu, *game.at<ZqNodeUI>(kShopNode), 342, "Shop", "Shop", cocos2d::CCPoint(250.0f, 256.0f));
    addLinkButton(game, menu, *game.at<ZqNodeUI>(kCharactersNode), 344, "Characters", "Characters",
                  cocos2d::CCPoint(886.0f, 256.0f));
    const cocos2d::CCPoint screenAt(kWidth - 200.0f, kHeight - 80.0f);
    game.button(346, "Full Screen", menu, nullptr, 1045, screenAt)->m_action->setValue("kFullscreen", true);
    game.button(347, "Window", menu, nullptr, 1046, screenAt)->m_action->setValue("kWindowed", true);
    addText(game, menu, 348, "screen", screenAt);
    addScoreText(game, menu, 349, "best distance", cocos2d::CCPoint(340.0f, 355.0f), "kScoreDistance", "kScoreBest",
                 true);
    addScoreText(game, menu, 351, "coins", cocos2d::CCPoint(796.0f, 355.0f), "kScoreCoins", "kScoreTotal", true);
}

// A purchase of the shop with coins: its faces (face, and face + 1 pressed) carry its word
// and its price, the price stands below.
std::shared_ptr<ZqModelObjectButtonPurchase> addPurchase(ZqGameBuilder& game, ZqNodeUI& shop, unsigned id,
                                                         const std::string& word, float price,
                                                         cocos2d::CCPoint position, unsigned face)
{
    auto purchase = game.make<ZqModelObjectButtonPurchase>(id, word + " Purchase");
    purchase->m_image->setValue(game.at<ZqModelSpriteContainer>(face), true);
    purchase->m_imageSelected->setValue(game.at<ZqModelSpriteContainer>(face + 1), true);
    purchase->m_position->setValue(position, true);
    purchase->m_purchaseMethod->setValue("kInGameCurrency", true);
    purchase->m_price->setValue(price, true);
    purchase->m_purchaseComplete->setValue(game.at<ZqModelSound>(kPurchaseSound), true);
    shop.screen()->addChild(purchase, true);
    addText(game, shop, id + 2, std::to_string(static_cast<int>(price)) + " coins",
            cocos2d::CCPoint(position.x, position.y - 70.0f), 0.75f);
    return purchase;
}

// A screen off the menu: background, title, the player's coins and a way back.
ZqNodeUI& buildSubMenu(ZqGameBuilder& game, unsigned nodeId, unsigned screenId, const std::string& key, float canvasX,
                       unsigned firstId)
{
    std::shared_ptr<ZqNodeUI> node = game.interfaceNode(nodeId, screenId, key, canvasX);
    addBackground(game, *node, firstId, 1013);
    addText(game, *node, firstId + 1, key, cocos2d::CCPoint(kWidth / 2, kHeight * 0.85f), 2.0f);
    addScoreText(game, *node, firstId + 2, "coins", cocos2d::CCPoint(kWidth - 150.0f, kHeight - 90.0f),
                 "kScoreCoins", "kScoreTotal", true);
    const cocos2d::CCPoint backAt(80.0f, kHeight - 80.0f);
    game.button(firstId + 4, "Back", *node, nullptr, 1011, backAt)->m_action->setValue("kBackButton", true);
    addText(game, *node, firstId + 5, "back", backAt);
    return *node;
}

// The shop: coins buy magnets for the stock (again and again) and, once, the removal of ads.
void buildShop(ZqGameBuilder& game)
{
    ZqNodeUI& shop = buildSubMenu(game, kShopNode, 211, "Shop", 250.0f, 353);
    auto magnet = addPurchase(game, shop, 359, "magnet", kMagnetPrice, cocos2d::CCPoint(370.0f, 300.0f), 1056);
    magnet->m_type->setValue("kPurchasePowerup", true);
    magnet->m_action->setValue(std::to_string(kMagnet), true);
    magnet->m_oneTimePurchase->setValue("kDefault", true);
    auto noAds = addPurchase(game, shop, 362, "no ads", kNoAdsPrice, cocos2d::CCPoint(766.0f, 300.0f), 1058);
    noAds->m_type->setValue("kPurchaseRemoveAds", true);
    noAds->m_oneTimePurchase->setValue("kOneTimePurchase", true);
}

// The characters: a selector of every character, whose buy button unlocks the one shown
// for its coins.
void buildCharacters(ZqGameBuilder& game)
{
    ZqNodeUI& screen = buildSubMenu(game, kCharactersNode, 212, "Characters", 250.0f, 365);
    const cocos2d::CCPoint buyAt(0.0f, -205.0f);
    auto buy = game.make<ZqModelAnimation>(946, "Unlock Button");
    auto image = game.make<ZqModelObjectImage>(995, "Unlock Button");
    image->m_image->setValue(game.at<ZqModelSpriteContainer>(kBuyButton), true);
    image->m_position->setValue(buyAt, true);
    buy->addChild(image, true);
    // The word on top takes the touches: it spans the button.
    std::shared_ptr<ZqModelObjectLabel> word = game.label(996, "buy", kFont, buyAt);
    word->m_action->setValue("kCustomVector", true);
    word->m_zDepth->setValue(1, true);
    word->m_calculatedSize->setValue(cocos2d::CCSize(200.0f, 80.0f), true);
    buy->addChild(word, true);
    buy->setDuration(1.0f);
    buy->setLoop(true);

    auto selector = game.make<ZqModelObjectCharacterSelector>(374, "Character Selector");
    selector->m_position->setValue(cocos2d::CCPoint(kWidth / 2, 300.0f), true);
    // The neighbours stand a spread away, and taps reach past them: a tap on one shows it.
    selector->m_scale->setValue(cocos2d::CCPoint(7.0f, 1.6f), true);
    selector->m_spread->setValue(220.0f, true);
    selector->m_labelVerticalSpacing->setValue(90.0f, true);
    selector->m_labelName->setValue(std::to_string(kFont), true);
    selector->m_unlockButton->setValue(buy, true);
    selector->m_unlockYes->setValue(game.at<ZqModelSound>(kPurchaseSound), true);
    screen.screen()->addChild(selector, true);
}

// The HUD's on-screen controls: squares of kControlSide points in a row along the bottom
// left, over the ground behind the hero (the camera keeps the running hero in the middle of
// the view), where they hide nothing that comes at it. Slot 0 is the magnet, then slide,
// shoot and jump.
constexpr float kControlSide = 64.0f;

cocos2d::CCPoint controlAt(int slot)
{
    return cocos2d::CCPoint(44.0f + static_cast<float>(slot) * (kControlSide + 12.0f), kControlSide / 2.0f);
}

// A control button's image scaled to kControlSide at at, its word on it.
void placeControl(ZqGameBuilder& game, ZqNodeUI& hud, ZqBaseModelObjectButton& button, unsigned sprite,
                  cocos2d::CCPoint at, unsigned wordId, const std::string& word, float wordScale = 0.6f)
{
    const float side = static_cast<float>(game.at<ZqModelSprite>(sprite)->size().width);
    button.m_position->setValue(at, true);
    button.m_scale->setValue(cocos2d::CCPoint(kControlSide / side, kControlSide / side), true);
    addText(game, hud, wordId, word, at, wordScale);
}

// The game's distance and coins so far, under their captions (ids id to id + 3). A game
// that passes through another field by a door keeps its scores, and the global record
// counts what each field adds: the figures its best is made of.
void addRunScores(ZqGameBuilder& game, ZqNodeUI& node, unsigned id, cocos2d::CCPoint distanceAt,
                  cocos2d::CCPoint coinsAt)
{
    addScoreText(game, node, id, "distance", distanceAt, "kScoreDistance", "current", true);
    addScoreText(game, node, id + 2, "coins", coinsAt, "kScoreCoins", "current", true);
}

// A HUD's button using a magnet of the stock (its word id + 1), its count on the icon's
// top right corner. Its word, the longest of the controls', is written smaller than theirs
// so that it stays on the icon.
void addMagnetButton(ZqGameBuilder& game, ZqNodeUI& hud, unsigned id, cocos2d::CCPoint at)
{
    auto magnet = game.make<ZqModelObjectButtonPowerup>(id, "Magnet Button");
    magnet->m_image->setValue(game.at<ZqModelSpriteContainer>(1041), true);
    magnet->m_action->setValue(std::to_string(kMagnet), true);
    magnet->m_layering->setValue("kAboveCharacter", true);
    // The count's foot 10 points above the button's middle (the spacing counts down from
    // it), clear of the word: over the button it stood on the door behind the hero's start.
    magnet->m_labelScale->setValue(0.75f, true);
    magnet->m_labelOffset->setValue(cocos2d::CCPoint(kControlSide / 2.0f - 10.0f, 0.0f), true);
    magnet->m_labelVerticalSpacing->setValue(-10.0f, true);
    hud.screen()->addChild(magnet, true);
    placeControl(game, hud, *magnet, 1141, at, id + 1, "magnet", 0.5f);
}

// Over the field: the game's distance and coins, the magnets of the stock, and on-screen
// jump and shoot buttons.
void buildHudControls(ZqGameBuilder& game)
{
    ZqNodeUI& hud = *game.at<ZqNodeUI>(kHudNode);
    addRunScores(game, hud, 375, cocos2d::CCPoint(kWidth / 2, kHeight - 70.0f),
                 cocos2d::CCPoint(kWidth - 120.0f, kHeight - 70.0f));
    addMagnetButton(game, hud, 379, controlAt(0));
    // Space presses jump (buttons take their keys before the settings' bindings); the
    // shoot binding leaves Space for K.
    auto jump = game.button(381, "Jump", hud, nullptr, 1043, controlAt(3));
    jump->m_action->setValue("kCharacterJumpButton", true);
    jump->m_keyboardKey->setValue(ZqEditorKey::kSpace, true);
    ZqGameBuilder::set<ZqAttributeKey>(*ZqModelGeneralSettings::shared(), "Shoot Key", 'K');
    placeControl(game, hud, *jump, 1143, controlAt(3), 382, "jump");
    auto shoot = game.button(383, "Shoot", hud, nullptr, 1044, controlAt(2));
    shoot->m_action->setValue("kCharacterShootButton", true);
    placeControl(game, hud, *shoot, 1144, controlAt(2), 384, "shoot");
}

// What every screen that ends a game shows (ids id to id + 9): the game that ended, its
// distance and coins on either side of the best distance of all games (the menu's record),
// the three under captions in one line; a restart of the world and the way back to the menu.
void addGameEnd(ZqGameBuilder& game, ZqNodeUI& node, unsigned id, unsigned world = kGameNode)
{
    const cocos2d::CCPoint bestAt(kWidth / 2, kHeight * 0.55f);
    addScoreText(game, node, id, "best distance", bestAt, "kScoreDistance", "kScoreBest", true);
    game.at<ZqModelObjectLabel>(id + 1)->setName("Best Distance");
    addRunScores(game, node, id + 2, cocos2d::CCPoint(bestAt.x - 250.0f, bestAt.y),
                 cocos2d::CCPoint(bestAt.x + 250.0f, bestAt.y));
    addLinkButton(game, node, *game.at<ZqNodeScene>(world), id + 6, "Restart", "Restart",
                  cocos2d::CCPoint(kWidth / 2, kHeight * 0.4f));
    addLinkButton(game, node, *game.at<ZqNodeUI>(kMenuNode), id + 8, "Menu", "Menu",
                  cocos2d::CCPoint(kWidth / 2, 128.0f));
}

// A game over screen (ids id to id + 11): its background and title over the game's end.
void addGameOver(ZqGameBuilder& game, ZqNodeUI& node, unsigned id, unsigned world = kGameNode)
{
    addBackground(game, node, id, 1014);
    addText(game, node, id + 1, "Game Over", cocos2d::CCPoint(kWidth / 2, kHeight * 0.7f), 2.0f);
    addGameEnd(game, node, id + 2, world);
}

void buildGameOverExtras(ZqGameBuilder& game)
{
    addGameOver(game, *game.at<ZqNodeUI>(kGameOverNode), 1677);
}

// A background layer of the field at height y, scrolling at speed times the field's, its
// picture drawn scale times its size.
void addLayer(ZqGameBuilder& game, ZqModelScreenScene& scene, unsigned id, const std::string& name, unsigned container,
              float y, float speed, int zDepth, float scale = 2.0f)
{
    game.layer(id, name, scene, container, cocos2d::CCPoint(kWidth / 2, y), scale, speed, zDepth);
}

// A unit that stays still until the hero comes within distance points.
void addWakeup(ZqGameBuilder& game, ZqModelObjectAssetUnit& unit, unsigned id, float distance)
{
    auto wakeup = game.make<ZqModelComponentWakeup>(id, unit.name() + " Wakeup");
    wakeup->m_wakeUp->setValue("kTimeBasedWakeup", true);
    wakeup->m_wakeupDistance->setValue(distance, true);
    unit.addChild(wakeup, true);
}

// The object of a placed row; wake-up components take ids from nextComponent on.
std::shared_ptr<ZqModelObject> placedObject(ZqGameBuilder& game, const PlacedRow& row, unsigned& nextComponent)
{
    const cocos2d::CCPoint position(row.x, row.y);
    // A walking or flying enemy, destroyed by bullets, that sets off when the hero nears.
    auto enemy = [&](const std::string& name, unsigned asset, cocos2d::CCPoint velocity) {
        auto unit = game.unit(row.id, name, asset, "kEnemyObjectType", position, velocity);
        unit->m_destroyType->setValue("kDestroyCollision", true);
        addWakeup(game, *unit, nextComponent++, 700.0f);
        return unit;
    };
    auto powerup = [&](unsigned asset) {
        auto placed = game.make<ZqModelObjectAssetPowerup>(row.id, game.at<ZqModelAsset>(asset)->name());
        placed->m_asset->setValue(game.at<ZqModelAsset>(asset), true);
        return placed;
    };
    switch (row.kind) {
    case Kind::Hero: {
        auto hero = game.make<ZqModelObjectAssetCharacter>(row.id, "Hero");
        hero->m_asset->setValue(game.at<ZqModelAsset>(kHero), true);
        hero->m_zDepth->setValue(10, true);
        return hero;
    }
    case Kind::Ground: {
        auto ground = game.unit(row.id, "Ground", kGround, "kPlatformObjectType", position);
        if (row.width > 0.0f)
            ground->m_scale->setValue(cocos2d::CCPoint(row.width / 568.0f, 1.0f), true);
        return ground;
    }
    case Kind::Rock:
        return game.unit(row.id, "Rock", kRock, "kPlatformObjectType", position);
    case Kind::Ledge:
        return game.unit(row.id, "Ledge", kLedge, "kPlatformObjectType", position);
    case Kind::Raft:
        return game.unit(row.id, "Raft", kRaft, "kPlatformObjectType", position);
    case Kind::Ferry:
        return game.unit(row.id, "Ferry", kFerry, "kPlatformObjectType", position);
    case Kind::FerryPath: {
        // Carries the ferry 200 points on and back, at 100 points a second, again and again.
        auto path = game.make<ZqModelObjectPath>(row.id, "Ferry Path");
        path->addPoint(cocos2d::CCPoint(200.0f, 0.0f));
        path->addPoint(cocos2d::CCPoint(0.0f, 0.0f));
        path->m_searchRadius->setValue(40.0f, true);
        path->m_speed->setValue(5.0f, true);
        path->m_attractionForce->setValue(100.0f, true);
        path->m_playMode->setValue("kPlayModeLoop", true);
        path->m_affectedAsset->setValue("kAssets", true);
        path->m_objectAsset->setValue(std::to_string(kFerry), true);
        return path;
    }
    case Kind::Water: {
        // The gap's water: a mirror 400 x 64 points reflecting what passes above it, tinted
        // blue by the water-reflection shader.
        auto water = game.make<ZqModelObjectMirror>(row.id, "Water");
        water->m_scale->setValue(cocos2d::CCPoint(4.0f, 0.64f), true);
        water->m_color->setValue(cocos2d::ccc4f(120.0f, 170.0f, 255.0f, 220.0f), true);
        return water;
    }
    case Kind::Wall: {
        // Four times its picture's height: 600 points, more than a double jump clears.
        auto wall = game.unit(row.id, "Wall", kWall, "kPlatformObjectType", position);
        wall->m_scale->setValue(cocos2d::CCPoint(1.0f, 4.0f), true);
        return wall;
    }
    case Kind::Portal: {
        auto portal = game.unit(row.id, "Portal", kPortal, "kDecorationObjectType", position);
        portal->m_collisionType->setValue("kNoCollision", true);
        return portal;
    }
    case Kind::Teleport: {
        // A character entering one portal leaves by the other, 300 points on. The zone
        // reaches from the ground to above the highest jump, so no hero passes it by.
        auto teleport = game.make<ZqModelObjectTeleport>(row.id, "Teleport");
        teleport->m_groupId->setValue(1.0f, true);
        teleport->m_searchRadius->setValue(400.0f, true);
        const std::shared_ptr<ZqModelPolygon> zone = teleport->collisionShape();
        zone->removeAllPoints();
        for (const cocos2d::CCPoint& corner : {cocos2d::CCPoint(-30, -560), cocos2d::CCPoint(30, -560),
                                               cocos2d::CCPoint(30, 50), cocos2d::CCPoint(-30, 50)})
            zone->addPoint(corner, true);
        return teleport;
    }
    case Kind::Boulder: {
        // Rolls at the hero at 48 points a second once it is near.
        auto boulder = game.unit(row.id, "Boulder", kBoulder, "kPlatformObjectType", position, cocos2d::CCPoint(-1.5f, 0.0f));
        addWakeup(game, *boulder, nextComponent++, 700.0f);
        return boulder;
    }
    case Kind::Slime:
        // Walks toward the hero at 80 points a second.
        return enemy("Slime", kSlime, cocos2d::CCPoint(-2.5f, 0.0f));
    case Kind::Bat:
        return enemy("Bat", kBat, cocos2d::CCPoint(-3.0f, 0.0f));
    case Kind::Star:
        return powerup(kStar);
    case Kind::Coin:
        return powerup(kCoin);
    case Kind::Checkpoint:
        return powerup(kCheckpoint);
    case Kind::Magnet:
        return powerup(kMagnet);
    }
    throw std::logic_error("ZqSampleGame: a placed row of no kind");
}

// The sections that follow the first ones: the ledges from the start, the boulders and
// the portals from 2,000 points, the raft from 3,000, the bats from 4,000, the ferry from
// 5,000.
void buildLaterSections(ZqGameBuilder& game, ZqModelScreenScene& scene)
{
    game.section(kSectionLedges, "Ledges", scene, kWidth, 0, false);
    game.section(kSectionBoulders, "Boulders", scene, kWidth, 2000, false);
    game.section(kSectionBats, "Bats", scene, kWidth, 4000, false);
    game.section(kSectionRaft, "Raft", scene, kWidth, 3000, false);
    game.section(kSectionFerry, "Ferry", scene, kWidth, 5000, false);
    game.section(kSectionPortals, "Portals", scene, kWidth, 2000, false);
}

void buildGameField(ZqGameBuilder& game)
{
    std::shared_ptr<ZqModelScreenScene> scene = game.at<ZqModelScreenScene>(202);
    scene->m_gameSpeedMin->setValue(3.0f, true);
    scene->m_gameSpeedMax->setValue(10.0f, true);
    scene->m_speedIncrease->setValue(0.1f, true);
    scene->m_scoreMultiplier->setValue(1.0f, true);
    game.section(kSectionStart, "Start", *scene, kWidth, 0, true);
    // Rocks until 20,000 points, never twice in a row; the slime from 3,000 on; the bonus
    // section is muted.
    std::shared_ptr<ZqModelLevelSection> rocks = game.section(kSectionRocks, "Rocks", *scene, kWidth, 0, false);
    rocks->m_endDistance->setValue(20000.0f, true);
    rocks->m_playCooldown->setValue(1.0f, true);
    game.section(kSectionSlime, "Slime", *scene, kWidth, 3000, false);
    game.section(kSectionBonus, "Bonus", *scene, kWidth, 0, false)->m_muted->setValue(true, true);
    buildLaterSections(game, *scene);
    // Two parallax layers over the still sky: far hills drifting slowly, near bushes
    // faster, down to the ground's top (64).
    addLayer(game, *scene, 541, "Far Hills", 1015, 230.0f, 0.2f, -20);
    addLayer(game, *scene, 542, "Near Bushes", 1016, 112.0f, 0.6f, -15);
    addLayer(game, *scene, 543, "Sky", 1030, kHeight / 2, 0.2f, -30, 4.0f);
    // A white light in the sky of the start section, 6 metres across.
    auto light = game.make<ZqModelObjectLight>(505, "Sky Light");
    light->m_radius->setValue(6.0f, true);
    light->m_position->setValue(cocos2d::CCPoint(420.0f, 540.0f), true);
    game.at<ZqModelLevelSection>(kSectionStart)->addChild(light, true);
    std::shared_ptr<ZqModelComponentScore> score = game.make<ZqModelComponentScore>(703, "Game Score");
    score->m_resetPoints->setValue(true, true);
    score->m_resetDistance->setValue(true, true);
    // Each run counts its own coins from 0; they add up in the global record's total, the
    // purse the shop spends.
    score->m_resetCoins->setValue(true, true);
    scene->addChild(score, true);

    unsigned nextComponent = 720;
    for (const PlacedRow& row : kPlaced) {
        std::shared_ptr<ZqModelObject> object = placedObject(game, row, nextComponent);
        object->m_position->setValue(cocos2d::CCPoint(row.x, row.y), true);
        game.at<ZqModelLevelSection>(row.section)->addChild(object, true);
    }
}

// The HUD's slide control, left of the shoot button, also on the Down key: held, the hero
// slides.
void addSlideButton(ZqGameBuilder& game)
{
    std::shared_ptr<ZqNodeUI> hud = game.at<ZqNodeUI>(kHudNode);
    auto slide = game.make<ZqModelObjectButtonControl>(390, "Slide");
    slide->m_image->setValue(game.at<ZqModelSpriteContainer>(1011), true);
    slide->m_keyboardKey->setValue(ZqEditorKey::kDown, true);
    slide->m_action->setValue("kInputControllerActionButton", true);
    hud->screen()->addChild(slide, true);
    placeControl(game, *hud, *slide, 1116, controlAt(1), 391, "slide");
}

// The menu's sound button shows its other look, the menu's button in grey, while the sound
// is off.
void addSoundOffLook(ZqGameBuilder& game)
{
    game.sprite(1199, "Audio Off Button", kAtlas, 96, 96, {96, 100, 110, 255}, zqpictures::button);
    game.container(1099, "Audio Off Button", 1.0f, {1199});
    game.at<ZqModelObjectButtonSoundControl>(305)->m_imageSelected->setValue(
        game.at<ZqModelSpriteContainer>(1099), true);
}

// Every window shows the whole design, with bars at its sides or at its top and bottom:
// a "Screen Adjustment" beyond the editor's four fits the design inside the window. (No
// border would crop a window of another shape, and the fixed sides would leave the
// screens' buttons in one corner of a wide or tall window.)
void showTheWholeDesign()
{
    using Settings = ZqModelGeneralSettings;
    ZqGameBuilder::set<Settings::ZqAttributeScreenAdjustment>(*Settings::shared(), "Screen Adjustment",
                                                              static_cast<Settings::ScreenAdjustment>(4));
}

// The menus' ways out of the sample and onward: a link and a social button, a second world
// behind a lock button that the coins of a game open, a button that unlocks the second
// character, and a HUD of touch controls. Ids from 121 (nodes), 221 (screens), 1601
// (interface objects), 772 (components), 1081 (sprite containers) and 1181 (sprites); the
// second world's own are listed in ZqSampleSecondWorld.cpp.
constexpr unsigned kNewWorldNode = 121, kTouchHudNode = 123, kWorldOpenNode = 124, kLaterGameOverNode = 125,
                   kSecondGameOverNode = 126;
constexpr unsigned kLockedRunnerAnimation = 948;
constexpr const char* kSecondWorldButton = "World 2";
constexpr const char* kSwipeArea = "Swipe Area";

constexpr SpriteRow kMenuWorldSprites[] = {
    {1181, "Link Button", 96, 96, {90, 170, 200, 255}, zqpictures::button},
    {1182, "Social Button", 96, 96, {70, 90, 180, 255}, zqpictures::button},
    {1183, "Locked Button", 240, 96, {110, 110, 120, 255}, zqpictures::lockedWorldButton},
    {1184, "Touch Button", 96, 96, {200, 170, 80, 255}, zqpictures::button},
    {1185, "Touch Pad", 220, 220, {255, 255, 255, 50}},     {1186, "Swipe Pad", 400, 360, {255, 255, 255, 30}},
    {1187, "Slide Button", 96, 96, {160, 200, 90, 255}, zqpictures::button},
};

// In the menus' atlas (id 1205), beside the main one.
void buildMenuWorldMedia(ZqGameBuilder& game)
{
    unsigned container = 1081;
    for (const SpriteRow& row : kMenuWorldSprites) {
        game.sprite(row.id, row.name, 1205, row.width, row.height, row.colour, row.painter);
        game.container(container++, row.name, 1.0f, {row.id});
    }
}

// A picture or button of the screen showing container, with its word on it.
template <class Button>
std::shared_ptr<Button> addWithWord(ZqGameBuilder& game, ZqNodeUI& node, unsigned id, const std::string& name,
                                      unsigned container, const std::string& word, cocos2d::CCPoint position)
{
    auto button = game.make<Button>(id, name);
    button->m_image->setValue(game.at<ZqModelSpriteContainer>(container), true);
    button->m_position->setValue(position, true);
    node.screen()->addChild(button, true);
    addText(game, node, id + 1, word, position, 0.75f);
    return button;
}

// The menu's link to the game's site and to its page on the social network: the desktop
// only logs what a device would open.
void buildMenuLinks(ZqGameBuilder& game)
{
    ZqNodeUI& menu = *game.at<ZqNodeUI>(kMenuNode);
    auto site = addWithWord<ZqModelObjectButtonUrl>(game, menu, 1601, "Site", 1081, "web",
                                                      cocos2d::CCPoint(200.0f, kHeight - 80.0f));
    site->m_url->setValue("https://www.example.com/zq-sample", true);
    auto page = addWithWord<ZqModelObjectButtonFacebook>(game, menu, 1603, "Social Page", 1082, "social",
                                                           cocos2d::CCPoint(320.0f, kHeight - 80.0f));
    page->m_url->setValue("https://www.facebook.com/zqsample", true);
    page->m_facebookId->setValue("zqsample", true);
}

// The second character's own button on the menu: locked, it shows the runner's price and
// buys it for its coins; bought, it shows the runner and picks it. Its word stands under
// it, clear of the figure. The runner's icon while locked, on the character screen, is
// its figure in greys with a padlock and the price.
void buildRunnerUnlock(ZqGameBuilder& game)
{
    ZqNodeUI& menu = *game.at<ZqNodeUI>(kMenuNode);
    game.sprite(1194, "Runner Price Button", 1205, 200, 80, {60, 170, 90, 255},
                [](cairo_t* canvas, int width, int height, zqmedia::Rgba face) {
                    zqpictures::priceButton(canvas, width, height, face, static_cast<int>(kRunnerPrice));
                });
    game.container(1094, "Runner Price Button", 1.0f, {1194});
    const cocos2d::CCPoint buttonAt(886.0f, 140.0f);
    auto runner = game.make<ZqModelObjectButtonCharacterUnlock>(1605, "Runner Unlock");
    runner->m_image->setValue(game.at<ZqModelSpriteContainer>(1094), true);
    runner->m_position->setValue(buttonAt, true);
    runner->m_character->setValue(std::to_string(kRunner), true);
    menu.screen()->addChild(runner, true);
    addText(game, menu, 1606, "runner", cocos2d::CCPoint(buttonAt.x, buttonAt.y - 64.0f), 0.75f);

    // The figure as the runner's own pictures draw it, its tag below: the feet stand where
    // the runner's do.
    constexpr int kTag = zqpictures::kLockedTagHeight;
    game.sprite(1195, "Locked Runner", 1205, 96, 128 + kTag, kRunnerShirt,
                [](cairo_t* canvas, int width, int height, zqmedia::Rgba face) {
                    zqpictures::lockedCharacter(canvas, width, height, face, static_cast<int>(kRunnerPrice));
                });
    game.container(1095, "Locked Runner", 1.0f, {1195});
    game.animation(kLockedRunnerAnimation, 998, "Locked Runner", 1095, true);
    game.at<ZqModelObjectImage>(998)->m_position->setValue(cocos2d::CCPoint(0.0f, 64.0f - kFeet - kTag / 2.0f), true);
}

// The lock button of the second world on the menu, and what opens it: once the most coins
// of a game reach kZqSampleSecondWorldCoins, the game over moves on to a screen whose
// unlocker opens the lock and that tells the news beside the game that ended. It tells it
// once: the game over moves on to a second one, alike, which moves on to the news the
// first time it shows and at once to a third, alike, every later time (so no screen
// shows for a frame that the player should not see). Locked, the button shows a padlock
// and the coins that open it, and a press does nothing; open, it shows the menu's
// buttons' face and plays the world. The mark is in coins, not distance: an observer reads
// the coins of the player's own record, the one the menu shows, but the distance of the
// running world's, which neither the bonus room's part of a game nor a checkpoint's
// restart keeps level with the player's.
void buildSecondWorldLock(ZqGameBuilder& game)
{
    ZqNodeUI& menu = *game.at<ZqNodeUI>(kMenuNode);
    ZqNodeUI& gameOver = *game.at<ZqNodeUI>(kGameOverNode);
    const cocos2d::CCPoint lockAt(250.0f, 140.0f);
    auto lock = game.make<ZqModelObjectLockButton>(1607, kSecondWorldButton);
    lock->m_image->setValue(game.at<ZqModelSpriteContainer>(kMenuButton), true);
    lock->m_lockedImage->setValue(game.at<ZqModelSpriteContainer>(1083), true);
    lock->m_position->setValue(lockAt, true);
    // No way to buy it: only the unlocker opens it.
    lock->m_unlock->setValue("", true);
    menu.screen()->addChild(lock, true);
    ZqGameBuilder::link(menu, kSecondWorldButton, *game.at<ZqNodeScene>(kZqSampleSecondWorldNode));
    addText(game, menu, 1608, kSecondWorldButton, lockAt);
    // The figure the lock waits for, between the menu's other records.
    addScoreText(game, menu, 1615, "most coins in a game", cocos2d::CCPoint(kWidth / 2, 355.0f), "kScoreCoins",
                 "kScoreBest", true);

    std::shared_ptr<ZqNodeUI> gate = game.interfaceNode(kWorldOpenNode, 224, "WorldOpen", 1000.0f);
    game.observer(1610, "WorldOpen", gameOver, "kScoreBestCoins")
        ->m_limitNumber->setValue(static_cast<float>(kZqSampleSecondWorldCoins), true);
    ZqGameBuilder::link(gameOver, "WorldOpen", *gate);
    addGameOver(game, *gate, 1653);
    std::shared_ptr<ZqNodeUI> later = game.interfaceNode(kLaterGameOverNode, 225, "LaterGameOver", 1250.0f);
    game.observer(1651, "Later", *gate, "kSecondPlay")->m_playsBeforeRedirect->setValue(1.0f, true);
    ZqGameBuilder::link(*gate, "Later", *later);
    addGameOver(game, *later, 1665);
    // Two frames on, unless the first observer has left already.
    std::shared_ptr<ZqNodeUI> opened = game.interfaceNode(kNewWorldNode, 221, "NewWorld", 1500.0f);
    game.observer(1652, "NewWorld", *gate, "kTimeout")->m_time->setValue(20u, true);
    ZqGameBuilder::link(*gate, "NewWorld", *opened);
    addBackground(game, *opened, 1611, 1014);
    addText(game, *opened, 1612, "Game over: World 2 is open on the menu", cocos2d::CCPoint(kWidth / 2, kHeight - 80.0f));
    addText(game, *opened, 1613, "World 2 is open", cocos2d::CCPoint(kWidth / 2, kHeight * 0.7f), 2.0f);
    auto unlocker = game.make<ZqModelObjectUnlocker>(1614, "World 2 Unlocker");
    unlocker->m_unlockType->setValue("kButtonUnlock", true);
    unlocker->m_object->setValue(kSecondWorldButton, true);
    opened->screen()->addChild(unlocker, true);
    addGameEnd(game, *opened, 1641);
}

// The HUD's touch variant, shown over the running field by the HUD's "touch" button and left
// by its "keys" button: what the HUD has (pause, on Escape too, the game's distance and
// coins, the magnets of the stock), a joystick pad that steers by the mouse held and moved
// from where it was pressed, a swipe area where a quick upward stroke jumps, a slide control
// held as the HUD's is, and a lock: a switch, whose switch-on holds the slide as a press
// does and whose switch-off lets go. A new switch is on, holding nothing: its first press
// switches it off and shows nothing, so the caption under the lock says so.
void buildTouchHud(ZqGameBuilder& game)
{
    ZqNodeUI& hud = *game.at<ZqNodeUI>(kHudNode);
    std::shared_ptr<ZqNodeUI> touch = game.interfaceNode(kTouchHudNode, 223, "TouchHUD", 500.0f);
    const cocos2d::CCPoint toggleAt(200.0f, kHeight - 80.0f);
    game.button(1621, "TouchHUD", hud, touch.get(), 1084, toggleAt);
    addText(game, hud, 1622, "touch", toggleAt, 0.75f);
    game.button(1623, "Keys", *touch, nullptr, 1084, toggleAt)->m_action->setValue("kBackButton", true);
    addText(game, *touch, 1624, "keys", toggleAt, 0.75f);
    // Escape would go back to the HUD under this screen: the pause button takes it first.
    const cocos2d::CCPoint pauseAt(80.0f, kHeight - 80.0f);
    auto pause = game.button(330, "Pause", *touch, game.at<ZqNodeUI>(kPauseNode).get(), 1011, pauseAt);
    pause->m_action->setValue("kPauseButton", true);
    pause->m_keyboardKey->setValue(ZqEditorKey::kEscape, true);
    addText(game, *touch, 331, "pause", pauseAt);
    addRunScores(game, *touch, 326, cocos2d::CCPoint(kWidth / 2, kHeight - 70.0f),
                 cocos2d::CCPoint(kWidth - 120.0f, kHeight - 70.0f));
    addMagnetButton(game, *touch, 332, cocos2d::CCPoint(320.0f, kHeight - 80.0f));
    game.observer(1627, "Game Over", *touch, "kGameOver");

    // The pad behind the hero, above the door at the start of the run so that the door
    // shows; the swipe area where obstacles come in, faint; the slide control and the lock
    // beside the distance.
    const cocos2d::CCPoint padAt(100.0f, 330.0f);
    constexpr float kPadSide = 180.0f;
    auto pad = game.make<ZqModelObjectManipulator>(1628, "Joystick");
    pad->m_position->setValue(padAt, true);
    pad->m_scale->setValue(cocos2d::CCPoint(kPadSide / 100.0f, kPadSide / 100.0f), true);
    pad->m_sensitivity->setValue(1.0f, true);
    pad->m_controlStyle->setValue("kControlStyleRelative", true);
    touch->screen()->addChild(pad, true);
    const float padPicture = kPadSide / static_cast<float>(game.at<ZqModelSprite>(1185)->size().width);
    addWithWord<ZqModelObjectImage>(game, *touch, 1629, "Joystick Pad", 1085, "move", padAt)
        ->m_scale->setValue(cocos2d::CCPoint(padPicture, padPicture), true);

    const cocos2d::CCPoint swipeAt(900.0f, 300.0f);
    auto swipe = game.make<ZqModelObjectSwipeControl>(1631, kSwipeArea);
    swipe->m_position->setValue(swipeAt, true);
    swipe->m_scale->setValue(cocos2d::CCPoint(4.0f, 3.6f), true);
    touch->screen()->addChild(swipe, true);
    addWithWord<ZqModelObjectImage>(game, *touch, 1632, "Swipe Pad", 1086, "swipe up: jump", swipeAt);

    // Named as the HUD's slide control: what answers that one by name answers this one too.
    addWithWord<ZqModelObjectButtonControl>(game, *touch, 1634, "Slide", 1087, "slide",
                                            cocos2d::CCPoint(760.0f, kHeight - 80.0f))
        ->m_action->setValue("kInputControllerActionButton", true);
    const cocos2d::CCPoint lockAt(870.0f, kHeight - 80.0f);
    addWithWord<ZqModelObjectButtonSwitch>(game, *touch, 1636, "Hold Slide", 1011, "lock", lockAt);
    addText(game, *touch, 1638, "1st tap: ready", cocos2d::CCPoint(lockAt.x, lockAt.y - 66.0f), 0.75f);

    // A swipe up throws either character upwards, as a jump does.
    unsigned id = 772;
    for (unsigned character : {kHero, kRunner}) {
        auto jump = game.make<ZqModelComponentMove>(id++, "Swipe Jump");
        jump->m_event->setValue(std::string("kSwipe-") + kSwipeArea + "-2", true);
        jump->m_operation->setValue("kAdd", true);
        jump->m_linearVelocity->setValue(cocos2d::CCPoint(0.0f, 12.0f), true);
        jump->m_linearVelocity->setEmpty(false, true);
        jump->m_timeout->setValue(0.1f, true);
        game.at<ZqModelAssetCharacter>(character)->addChild(jump, true);
    }
}

void buildMenuWorlds(ZqGameBuilder& game)
{
    buildMenuWorldMedia(game);
    buildMenuLinks(game);
    buildRunnerUnlock(game);
    // The second world's game over is the first world's but for its restart, which plays the
    // second world again. Open already, the world has no news to tell there.
    std::shared_ptr<ZqNodeUI> over = game.interfaceNode(kSecondGameOverNode, 227, "World2GameOver", 1750.0f);
    zqBuildSampleSecondWorld(game, ZqSampleSecondWorldIds{kHudNode, kSecondGameOverNode, kHero, kCoin});
    addGameOver(game, *over, 1689, kZqSampleSecondWorldNode);
    buildSecondWorldLock(game);
    buildTouchHud(game);
}

// The bonus room and the field pieces of ZqSampleField.cpp.
void buildFieldExtras(ZqGameBuilder& game)
{
    ZqSampleFieldIds ids{};
    ids.gameNode = kGameNode;
    ids.hudNode = kHudNode;
    ids.gameOverNode = kGameOverNode;
    ids.startSection = kSectionStart;
    ids.heroAsset = kHero;
    ids.runnerAsset = kRunner;
    ids.groundAsset = kGround;
    ids.checkpointAsset = kCheckpoint;
    ids.coinSound = kCoinSound;
    ids.powerupSound = kPowerupSound;
    ids.idleAnimation = 901;
    ids.runAnimation = 902;
    ids.runnerIdleAnimation = 942;
    ids.runnerRunAnimation = 943;
    ids.runnerLockedAnimation = kLockedRunnerAnimation;
    zqBuildSampleField(game, ids);
}

// The sample's models, in making order, with the files of its media.
void buildSample(ZqGameBuilder& game)
{
    showTheWholeDesign();
    buildMedia(game);
    buildShopMedia(game);
    buildAssets(game);
    buildShopAssets(game);
    buildScreens(game);
    buildShop(game);
    buildCharacters(game);
    buildMenuExtras(game);
    buildHudControls(game);
    buildGameOverExtras(game);
    addSlideButton(game);
    addSoundOffLook(game);
    buildGameField(game);
    buildMenuWorlds(game);
    buildFieldExtras(game);
}

} // namespace

ZqGeneratedModel::ZqGeneratedModel(const std::string& name)
    : ZqModel(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_GENERATED_MODEL_ATTRIBUTES)
    m_output = new ZqAttribute("Output", this);
    m_output->setConnectionType(ZqBaseAttribute::kSource, true);
    m_input = new ZqAttribute("Input", this);
    m_input->setConnectionType(ZqBaseAttribute::kTarget, true);
}

ZqGeneratedModel::ZqGeneratedModel(const ZqGeneratedModel& source)
    : ZqModel(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_GENERATED_MODEL_ATTRIBUTES)
    m_output = zqRebindAttribute<ZqAttribute>(*this, "Output");
    m_input = zqRebindAttribute<ZqAttribute>(*this, "Input");
}

std::span<const ZqModelClass> ZqSampleGame::generatedModelClasses()
{
    static const ZqModelClass rows[] = {zqModelClassRow<ZqGeneratedModel>()};
    return rows;
}

void ZqSampleGame::build(ZqModelController& controller)
{
    ZqGameBuilder game;
    build(controller, game);
}

void ZqSampleGame::build(ZqModelController& controller, ZqGameBuilder& game)
{
    ZqGameBuilder::startGame(controller, kApplicationName);
    // Models take fresh ids from the controller when they are made; the copies that a
    // duplicate registers keep theirs. Fresh ids start above the sample's own, which a
    // copy would otherwise take, and the controller would drop the later model.
    controller.setIdCounter(kFreshIds);
    buildSample(game);
    game.addTo(controller);
}

void ZqSampleGame::buildGenerated(ZqModelController& controller, const Generated& game)
{
    std::vector<std::string> classNames = game.classNames;
    if (classNames.empty() && game.modelCount != 0) {
        controller.addModelClasses(generatedModelClasses());
        classNames.push_back(ZqGeneratedModel::staticClassName());
    }

    ZqGameBuilder::startGame(controller, game.applicationName);
    std::shared_ptr<ZqModelGeneralSettings> settings = ZqModelGeneralSettings::shared();

    // Made first, numbered after: a model takes a fresh id from the controller when it
    // is made, and the fixed ids are given once all of them exist.
    std::vector<std::shared_ptr<ZqModel>> models;
    models.reserve(game.modelCount);
    for (std::size_t k = 0; k < game.modelCount; ++k) {
        std::shared_ptr<ZqModel> model = controller.registry().create(classNames[k % classNames.size()]);
        if (!model)
            throw std::invalid_argument("ZqSampleGame: not a registry class: " + classNames[k % classNames.size()]);
        models.push_back(std::move(model));
    }
    for (std::size_t k = 0; k < models.size(); ++k) {
        models[k]->setId(ZqGameBuilder::kGeneralSettingsId + 1 + static_cast<unsigned>(k));
        fillAttributes(*models[k], k);
    }
    const std::size_t treeSize = game.treeSize == 0 ? models.size() : game.treeSize;
    const std::size_t fanout = game.fanout == 0 ? 1 : game.fanout;
    for (std::size_t k = 0; k < models.size(); ++k) {
        const std::size_t inTree = k % treeSize;
        if (inTree != 0)
            models[k - inTree + (inTree - 1) / fanout]->addChild(models[k], true);
    }
    for (std::size_t k = 1; k < models.size(); ++k) {
        ZqBaseAttribute* input = models[k]->findAttribute("Input");
        ZqBaseAttribute* output = models[k / 2]->findAttribute("Output");
        if (input && output && input->connectionType() == ZqBaseAttribute::kTarget &&
            output->connectionType() == ZqBaseAttribute::kSource)
            input->connect(output, true);
    }
    for (const std::shared_ptr<ZqModel>& model : models)
        controller.addModel(model);

    ZqGameBuilder::set<ZqAttributeUInt>(*settings, "Last ID",
                                        ZqGameBuilder::kGeneralSettingsId + static_cast<unsigned>(models.size()));
}

void ZqSampleGame::write(ZqModelController& controller, const std::string& dataDirectory,
                         ZqDataWriter::Options options)
{
    ZqGameBuilder game;
    build(controller, game);
    // The media are made in a scratch directory beside the data and copied by the writer.
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("zq-sample-media-" + std::to_string(getpid()));
    std::filesystem::remove_all(scratch);
    for (ZqMediaFile& file : game.writeMedia(scratch.string()))
        options.media.push_back(std::move(file));
    ZqDataWriter(controller, std::move(options)).write(dataDirectory);
    std::filesystem::remove_all(scratch);
}

void ZqSampleGame::writeWindowMedia(const std::string& gameDirectory)
{
    std::filesystem::create_directories(gameDirectory);
    // The icon: a green runner's block on a dark blue tile with a light border.
    const bool icon = zqmedia::writeIco(gameDirectory + "/icon.ico", 64, 64, [](int x, int y) {
        const bool border = x < 4 || y < 4 || x >= 60 || y >= 60;
        const bool block = x >= 20 && x < 44 && y >= 16 && y < 48;
        if (border)
            return zqmedia::Rgba{220, 230, 255, 255};
        return block ? zqmedia::Rgba{60, 200, 90, 255} : zqmedia::Rgba{20, 30, 70, 255};
    });
    // The splash: a sky fading to the horizon over green ground.
    const int width = 568;
    const int height = 320;
    const bool splash = zqmedia::writePng(gameDirectory + "/Default.png", width, height, [](int, int y) {
        if (y >= 240)
            return zqmedia::Rgba{50, 140, 60, 255};
        const auto shade = static_cast<unsigned char>(60 + y * 150 / 240);
        return zqmedia::Rgba{static_cast<unsigned char>(shade / 2), shade, 230, 255};
    });
    if (!icon || !splash)
        throw std::runtime_error("cannot write the window media into " + gameDirectory);
}

