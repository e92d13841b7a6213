#include "tools/ZqSampleField.h"

#include "attributes/ZqAttributeFundamental.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqModelShapes.h"
#include "model/scene/ZqNode.h"
#include "tools/ZqGameBuilder.h"
#include "tools/ZqSamplePictures.h"
#include "tools/ZqSampleRoomPictures.h"

#include <initializer_list>
#include <map>
#include <stdexcept>
#include <tuple>
#include <string>

namespace {

using P = cocos2d::CCPoint;

// Ids from 3001: 3001 the room's atlas (the sample's is full), 3011 sprites, 3041 containers, 3061 animations
// (3081 their frames), 3101 shapes, 3121 assets, 3141 components, 3161 nodes and screens,
// 3171 the room's section, 3201 placed objects.
constexpr unsigned kAtlas = 3001;
constexpr unsigned kBonusNode = 3161, kBonusScene = 3162, kRoom = 3171;
constexpr unsigned kRoundCoin = 3121, kWheel = 3122, kPlank = 3123, kHub = 3124, kGate = 3125, kFlower = 3126,
                   kFrog = 3127, kFireball = 3128, kDoor = 3129, kTurret = 3130;
constexpr float kRoomWidth = 2272.0f;  // two screens

struct SpriteRow {
    unsigned id;
    const char* name;
    int width, height;
    zqmedia::Rgba colour;
    zqmedia::Painter painter;
    // Also written as an image of its own: a ribbon (the flag) shows a whole texture.
    bool ownImage = false;
};
// Drawn in the main world's style; the wheel's four frames a quarter turn apart.
constexpr SpriteRow kSprites[] = {
    {3011, "Round Coin", 40, 40, {255, 200, 40, 255}, zqpictures::coin},
    {3012, "Flag Cloth", 64, 32, {220, 40, 60, 255}, zqpictures::flagCloth, true},
    {3013, "Wheel 1", 64, 64, {200, 90, 40, 255}, zqpictures::wheel1},
    {3014, "Wheel 2", 64, 64, {200, 90, 40, 255}, zqpictures::wheel2},
    {3015, "Wheel 3", 64, 64, {200, 90, 40, 255}, zqpictures::wheel3},
    {3016, "Wheel 4", 64, 64, {200, 90, 40, 255}, zqpictures::wheel4},
    {3017, "Plank", 240, 20, {150, 100, 60, 255}, zqpictures::plank},
    {3018, "Hub", 24, 24, {60, 60, 70, 255}, zqpictures::hub},
    {3019, "Gate", 40, 200, {40, 130, 140, 255}, zqpictures::gate},
    {3020, "Flower", 24, 40, {240, 120, 200, 255}, zqpictures::flower},
    {3021, "Frog", 64, 48, {40, 170, 60, 255}, zqpictures::frog},
    {3022, "Frog Hop", 64, 48, {90, 220, 100, 255}, zqpictures::frogHop},
    {3023, "Fireball", 24, 24, {255, 110, 20, 255}, zqpictures::fireball},
    {3024, "Door", 80, 140, {250, 210, 90, 255}, zqpictures::door},
    {3025, "Turret", 80, 80, {70, 60, 90, 255}, zqpictures::turret},
    {3026, "Bonus Sky", 142, 80, {70, 40, 110, 255}, zqpictures::eveningSky},
};

// The room's pictures: a container and an animation of each sprite by its name, but the
// wheel's four frames, which make one container that the wheel's angle steps through.
struct Media {
    std::map<std::string, unsigned> containers;
    std::map<std::string, unsigned> animations;
};

Media buildMedia(ZqGameBuilder& game)
{
    game.atlas(kAtlas, "Bonus Atlas", 512, 4);
    Media media;
    unsigned container = 3041;
    unsigned animation = 3061;
    auto add = [&](const std::string& name, float speed, std::initializer_list<unsigned> sprites) {
        game.container(container, name, speed, sprites);
        game.animation(animation, animation + 20, name, container, true);
        media.containers[name] = container++;
        media.animations[name] = animation++;
    };
    for (const SpriteRow& row : kSprites) {
        const auto make = row.ownImage ? &ZqGameBuilder::effectSprite : &ZqGameBuilder::sprite;
        (game.*make)(row.id, row.name, kAtlas, row.width, row.height, row.colour, row.painter);
        if (std::string(row.name).rfind("Wheel", 0) != 0)
            add(row.name, 1.0f, {row.id});
    }
    add("Wheel", 1.0f, {3013, 3014, 3015, 3016});
    return media;
}

std::shared_ptr<ZqModelAnimation> animationOf(const ZqGameBuilder& game, const Media& media, const std::string& name)
{
    return game.at<ZqModelAnimation>(media.animations.at(name));
}

std::shared_ptr<ZqModelAssetObstacle> obstacle(ZqGameBuilder& game, const Media& media, unsigned id,
                                               const std::string& name,
                                               const std::shared_ptr<ZqModelPolygon>& shape)
{
    std::shared_ptr<ZqModelAssetObstacle> asset = game.make<ZqModelAssetObstacle>(id, name);
    asset->m_collisionShape->setValue(shape, true);
    asset->m_idleAnimation->setValue(animationOf(game, media, name), true);
    return asset;
}

std::shared_ptr<ZqModelCircle> circle(ZqGameBuilder& game, unsigned id, const std::string& name, float radius)
{
    std::shared_ptr<ZqModelCircle> shape = game.make<ZqModelCircle>(id, name);
    shape->addPoint(P(0, 0), true);
    shape->addPoint(P(radius, 0), true);
    return shape;
}

// The room's assets: a round coin and a wheel on circle shapes, the plank and its hub, the
// gate, a flower, a frog, a fireball that hurts, the doors' and the turret's pictures.
void buildAssets(ZqGameBuilder& game, const Media& media, const ZqSampleFieldIds& ids)
{
    std::shared_ptr<ZqModelAssetPowerup> coin = game.make<ZqModelAssetPowerup>(kRoundCoin, "Round Coin");
    coin->m_collisionShape->setValue(circle(game, 3101, "Round Coin Shape", 20.0f), true);
    coin->m_idleAnimation->setValue(animationOf(game, media, "Round Coin"), true);
    coin->m_powerupType->setValue("kPowerupCoin", true);
    coin->m_rewardCoins->setValue(1.0f, true);
    coin->m_appearanceChance->setValue(100.0f, true);
    coin->m_startSound->setValue(game.at<ZqModelSound>(ids.coinSound), true);

    std::shared_ptr<ZqModelAssetObstacle> wheel = game.make<ZqModelAssetObstacle>(kWheel, "Wheel");
    wheel->m_collisionShape->setValue(circle(game, 3102, "Wheel Shape", 32.0f), true);
    wheel->m_idleAnimation->setValue(animationOf(game, media, "Wheel"), true);
    // Its frames follow its angle instead of the picture turning.
    auto mapper = game.make<ZqModelComponentRotationMapper>(3141, "Wheel Frames");
    mapper->m_animation->setValue(animationOf(game, media, "Wheel"), true);
    wheel->addChild(mapper, true);
    // Its motor rolls it at 16 metres (320 points) a second, turning clockwise at 10
    // radians a second: faster than the hero runs.
    auto motor = game.make<ZqModelComponentMotor>(3145, "Wheel Motor");
    motor->m_linearVelocity->setValue(P(16.0f, 0.0f), true);
    motor->m_angularVelocity->setValue(-10.0f, true);
    motor->m_event->setValue("", true);
    wheel->addChild(motor, true);

    obstacle(game, media, kPlank, "Plank", game.boxShape(3103, "Plank Shape", 240, 20));
    obstacle(game, media, kHub, "Hub", game.boxShape(3104, "Hub Shape", 24, 24));
    obstacle(game, media, kGate, "Gate", game.boxShape(3105, "Gate Shape", 40, 200));
    obstacle(game, media, kFlower, "Flower", game.boxShape(3106, "Flower Shape", 24, 40));
    obstacle(game, media, kDoor, "Door", game.boxShape(3108, "Door Shape", 80, 140));
    obstacle(game, media, kTurret, "Turret", game.boxShape(3109, "Turret Shape", 80, 80));
    std::shared_ptr<ZqModelAssetObstacle> frog = obstacle(game, media, kFrog, "Frog", game.boxShape(3107, "Frog Shape", 64, 48));
    // The frog hops, its body staying put, whenever the slide control is pressed.
    auto hop = game.make<ZqModelComponentIsoJump>(3142, "Frog Hop");
    hop->m_event->setValue("kButton-Slide-0", true);
    hop->m_jumpVelocity->setValue(P(0.0f, 420.0f), true);
    hop->m_jumpGravity->setValue(P(0.0f, 900.0f), true);
    hop->m_jumpDuration->setValue(1.0f, true);
    hop->m_animation->setValue(animationOf(game, media, "Frog Hop"), true);
    frog->addChild(hop, true);

    std::shared_ptr<ZqModelAssetObstacle> fireball =
        obstacle(game, media, kFireball, "Fireball", circle(game, 3110, "Fireball Shape", 12.0f));
    auto burn = game.make<ZqModelComponentDamage>(3143, "Fireball Damage");
    burn->m_damage->setValue(1.0f, true);
    fireball->addChild(burn, true);
}

std::shared_ptr<ZqModelObjectAssetUnit> decoration(ZqGameBuilder& game, unsigned id, const std::string& name,
                                                   unsigned asset, P position)
{
    auto unit = game.unit(id, name, asset, "kDecorationObjectType", position);
    unit->m_collisionType->setValue("kNoCollision", true);
    return unit;
}

void addWakeup(ZqGameBuilder& game, unsigned id, ZqModel& owner, float distance)
{
    auto wakeup = game.make<ZqModelComponentWakeup>(id, owner.name() + " Wakeup");
    wakeup->m_wakeUp->setValue("kTimeBasedWakeup", true);
    wakeup->m_wakeupDistance->setValue(distance, true);
    owner.addChild(wakeup, true);
}

// A screen jump following the world node's port of its name, its zone from the ground to
// the top of the view at x; a door shows where it is.
void addDoor(ZqGameBuilder& game, ZqModelLevelSection& section, unsigned id, const std::string& port,
             const char* function, P at, float bottom, float top)
{
    auto jump = game.make<ZqModelObjectScreenJump>(id, port);
    jump->m_function->setValue(function, true);
    jump->m_position->setValue(at, true);
    const std::shared_ptr<ZqModelPolygon> zone = jump->collisionShape();
    zone->removeAllPoints();
    // Outline points have y downwards.
    for (const P& corner : {P(-40, at.y - top), P(40, at.y - top), P(40, at.y - bottom), P(-40, at.y - bottom)})
        zone->addPoint(corner, true);
    section.addChild(jump, true);
    auto door = decoration(game, id + 1, port + " Door", kDoor, P(at.x, bottom + 70.0f));
    door->m_zDepth->setValue(-5, true);
    section.addChild(door, true);
}

// The room, left to right: round coins, the checkpoint and its flag, flowers, the wheel,
// the plank, the gate, the gatekeeper, the frog, the turret, and the door back.
void buildRoom(ZqGameBuilder& game, const Media& media, const ZqSampleFieldIds& ids, ZqModelLevelSection& room)
{
    auto place = [&](std::shared_ptr<ZqModelObject> object) { room.addChild(object, true); };
    auto hero = game.make<ZqModelObjectAssetCharacter>(3201, "Hero");
    hero->m_asset->setValue(game.at<ZqModelAsset>(ids.heroAsset), true);
    hero->m_position->setValue(P(200, 128), true);
    hero->m_zDepth->setValue(10, true);
    place(hero);
    for (unsigned i = 0; i < 4; ++i) {
        auto ground = game.unit(3202 + i, "Ground", ids.groundAsset, "kPlatformObjectType", P(284.0f + 568.0f * i, 32.0f));
        place(ground);
    }
    for (unsigned i = 0; i < 5; ++i)
        place(game.powerup(3206 + i, "Round Coin", kRoundCoin, P(400.0f + 60.0f * i, 120.0f)));

    place(game.powerup(3211, "Checkpoint", ids.checkpointAsset, P(760, 120)));
    auto flag = game.make<ZqModelObjectFlag>(3212, "Checkpoint Flag");
    flag->m_texture->setValue(game.at<ZqModelSpriteContainer>(media.containers.at("Flag Cloth")), true);
    flag->m_position->setValue(P(770, 160), true);
    flag->m_startWidth->setValue(22.0f, true);
    flag->m_endWidth->setValue(14.0f, true);
    flag->m_length->setValue(90.0f, true);
    flag->m_speed->setValue(400.0f, true);
    flag->m_waveHeight->setValue(12.0f, true);
    flag->m_waveLength->setValue(20.0f, true);
    flag->m_zDepth->setValue(2, true);
    place(flag);

    // Flowers drawn front to back by their x (the group sorts them), and one more, an
    // instance of the first.
    auto group = game.make<ZqModelObjectGroup>(3213, "Flowers");
    group->m_autoDepthSorting->setValue(true, true);
    group->m_sortDirection->setValue("gAxisY", true);
    place(group);
    for (unsigned i = 0; i < 3; ++i) {
        auto flower = decoration(game, 3214 + i, "Flower", kFlower, P(900.0f + 30.0f * i, 84.0f));
        place(flower);
        group->addChild(flower, true);
    }
    auto instance = game.make<ZqModelObjectInstance>(3217, "Flower Instance");
    instance->m_reference->setValue(game.at<ZqModelObjectAsset>(3214), true);
    instance->m_position->setValue(P(1010, 84), true);
    place(instance);

    // The wheel rolls ahead of the hero, turned by its motor, once the hero is near.
    auto wheel = game.unit(3218, "Wheel", kWheel, "kPlatformObjectType", P(1150, 96));
    wheel->m_movementType->setValue("kMovementPhysics", true);
    addWakeup(game, 3144, *wheel, 800.0f);
    place(wheel);

    // A plank turning over the path on a motor joint at its hub.
    place(decoration(game, 3219, "Hub", kHub, P(1300, 340)));
    game.at<ZqModelObjectAssetUnit>(3219)->m_collisionType->setValue("kCharacterCollision", true);
    auto plank = game.unit(3220, "Plank", kPlank, "kPlatformObjectType", P(1300, 340));
    plank->m_movementType->setValue("kMovementPhysics", true);
    addWakeup(game, 3146, *plank, 2000.0f);
    place(plank);
    game.linker(3221, "Plank Linker", room, 3219, 3220, 1.5f, false);

    // The gate rises at 128 points a second as the hero nears and stops when its top
    // meets the logic trigger above.
    auto gate = game.unit(3222, "Gate", kGate, "kPlatformObjectType", P(1600, 164), P(0.0f, 4.0f));
    addWakeup(game, 3147, *gate, 500.0f);
    place(gate);
    auto stop = game.make<ZqModelObjectLogic>(3223, "Gate Stop");
    // A plain asset gives the trigger its outline and nothing to draw.
    auto zone = game.make<ZqModelAsset>(3131, "Gate Stop");
    zone->m_collisionShape->setValue(game.boxShape(3111, "Gate Stop Shape", 60, 40), true);
    stop->m_asset->setValue(zone, true);
    stop->m_position->setValue(P(1600, 420), true);
    stop->m_linearVelocityModifier->setValue(P(0.0f, 0.0f), true);
    stop->m_linearVelocityModifier->setEmpty(false, true);
    stop->m_affectedAsset->setValue(std::to_string(kGate), true);
    stop->m_affectOperation->setValue("kReplace", true);
    place(stop);
    // Counts the hero's touches as it passes (a few a passage, as its outline changes with
    // its pictures) and lets fifty through.
    auto keeper = game.make<ZqModelObjectGatekeeper>(3224, "Gatekeeper");
    keeper->m_passedAmount->setValue(50.0f, true);
    keeper->m_position->setValue(P(1680, 120), true);
    place(keeper);

    place(decoration(game, 3225, "Frog", kFrog, P(1780, 88)));

    // The turret on its post fires a fireball every eight seconds along the ground; each
    // takes one of the hero's three hit points.
    auto turret = decoration(game, 3226, "Turret", kTurret, P(2060, 104));
    place(turret);
    auto gun = game.unit(3227, "Turret Gun", kFireball, "kEnemyObjectType", P(2000, 110), P(-6.0f, 0.0f));
    gun->m_destroyType->setValue("kDestroyCollision", true);
    // Fireballs fly through what they meet: a solid one, moving at its fixed speed, would
    // shove the wheel and the hero back off the field instead of burning it.
    gun->m_collisionType->setValue("kNoCollision", true);
    addWakeup(game, 3148, *gun, 900.0f);
    auto spawner = game.make<ZqModelComponentSpawner>(3149, "Turret Spawner");
    spawner->m_spawnAction->setValue("kPermanentSpawning", true);
    spawner->m_spawnRate->setValue(8.0f, true);
    gun->addChild(spawner, true);
    place(gun);

    addDoor(game, room, 3228, "Game", "kStartKeepScores", P(2200, 300), 64.0f, 640.0f);
}

// The bonus world: its node, scene, HUD and game over, and its calmer speed.
void buildBonusWorld(ZqGameBuilder& game, const Media& media, const ZqSampleFieldIds& ids)
{
    std::shared_ptr<ZqNodeScene> bonus = game.worldNode(kBonusNode, kBonusScene, "Bonus", 500.0f);
    std::shared_ptr<ZqNodeScene> main = game.at<ZqNodeScene>(ids.gameNode);
    ZqGameBuilder::link(*main, "Bonus", *bonus);
    ZqGameBuilder::link(*bonus, "Game", *main);
    ZqGameBuilder::link(*bonus, "UI", *game.at<ZqNodeUI>(ids.hudNode));
    ZqGameBuilder::link(*bonus, "Game Over", *game.at<ZqNodeUI>(ids.gameOverNode));
    std::shared_ptr<ZqModelScreenScene> scene = game.at<ZqModelScreenScene>(kBonusScene);
    auto forced = game.make<ZqModelComponentForcedMovement>(3150, "Bonus Speed");
    forced->m_froceMin->setValue(3.0f, true);
    forced->m_forceMax->setValue(5.0f, true);
    forced->m_forceIncrease->setValue(0.05f, true);
    scene->addChild(forced, true);
    // Objects stay until well behind the view: the turret's fireballs fly back past it.
    auto thresholds = game.make<ZqModelComponentDeletionThreshold>(3151, "Bonus Thresholds");
    thresholds->m_backThreshold->setValue(600.0f, true);
    thresholds->m_sidesThreshold->setValue(700.0f, true);
    scene->addChild(thresholds, true);
    auto sky = game.make<ZqModelObjectBackground>(3163, "Bonus Sky");
    sky->m_image->setValue(game.at<ZqModelSpriteContainer>(media.containers.at("Bonus Sky")), true);
    sky->m_position->setValue(P(568, 320), true);
    sky->m_scale->setValue(P(8.0f, 8.0f), true);
    sky->m_speed->setValue(0.1f, true);
    sky->m_zDepth->setValue(-30, true);
    scene->addChild(sky, true);
    std::shared_ptr<ZqModelLevelSection> room = game.section(kRoom, "Bonus Room", *scene, kRoomWidth, 0, true);
    buildRoom(game, media, ids, *room);
}

// The characters' icons on the character screen: each its idle picture, the run when
// chosen; the runner's own while locked (the hero is never locked).
void addIcons(ZqGameBuilder& game, const ZqSampleFieldIds& ids)
{
    unsigned id = 3152;
    for (const auto& [asset, idle, run] : {std::tuple{ids.heroAsset, ids.idleAnimation, ids.runAnimation},
                                           std::tuple{ids.runnerAsset, ids.runnerIdleAnimation, ids.runnerRunAnimation}}) {
        auto icon = game.make<ZqModelComponentCharacterIcon>(id++, "Character Icon");
        icon->m_regularIcon->setValue(game.at<ZqModelAnimation>(idle), true);
        icon->m_selectedIcon->setValue(game.at<ZqModelAnimation>(run), true);
        if (asset == ids.runnerAsset)
            icon->m_lockedIcon->setValue(game.at<ZqModelAnimation>(ids.runnerLockedAnimation), true);
        game.at<ZqModelAsset>(asset)->addChild(icon, true);
    }
}

} // namespace

void zqBuildSampleField(ZqGameBuilder& game, const ZqSampleFieldIds& ids)
{
    const Media media = buildMedia(game);
    buildAssets(game, media, ids);
    buildBonusWorld(game, media, ids);
    addIcons(game, ids);
    // The door to the room stands behind the hero's start: running back (Left) enters it.
    auto& start = *game.at<ZqModelLevelSection>(ids.startSection);
    addDoor(game, start, 3230, "Bonus", "kStartKeepScores", P(60, 300), 64.0f, 640.0f);
    // The main world's tilt control: a desktop has no tilt source, so it stays at rest.
    auto tilt = game.make<ZqModelObjectAccelerometer>(3232, "Tilt");
    tilt->m_controlType->setValue("kControlTypeMove", true);
    tilt->m_sensitivity->setValue(1.0f, true);
    game.at<ZqModelScreenScene>(game.at<ZqNodeScene>(ids.gameNode)->screen()->id())->addChild(tilt, true);
}
