// The sample game's world as a player meets it, in-process on the headless player: the
// hero on its ground, its coins, its gun against the slime, its checkpoint, and the
// sections' mechanics.
// A test may keep a few of the appended sections in play (the others muted) so that the
// one it looks at follows the start section; a small pilot jumps gaps and obstacles.
#include "screens/program/sample_fixture.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPSettingsController.h"
#include "model/archive_test_util.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "components/ZqComponentHealth.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/assets/ZqPObjectAssetMirror.h"
#include "objects/assets/ZqPObjectAssetPowerup.h"
#include "objects/assets/ZqPObjectAssetUnit.h"
#include "objects/ZqPhysicsBody.h"
#include "objects/ZqPhysicsWorld.h"
#include "screens/field/ZqPScreenScene.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace {

// The first solid platform fixture a ray meets: the field's ground, rocks and ledges, not
// the hero, power-ups or sensors.
class SolidRay : public b2RayCastCallback {
public:
    float ReportFixture(b2Fixture* fixture, const b2Vec2&, const b2Vec2&, float fraction) override
    {
        auto* asset = dynamic_cast<ZqPObjectAsset*>(zqObjectOf(fixture));
        if (fixture->IsSensor() || !asset || !(asset->objectType() & ZqPObject::kTypeUnit) ||
            asset->collisionKind() != 1)
            return -1.0f;
        hit = true;
        return fraction;
    }
    bool hit = false;
};

class SampleWorldTest : public SampleFieldFixture {
protected:
    void TearDown() override
    {
        if (hero)
            hero->release();
        for (cocos2d::CCObject* kept : m_kept)
            kept->release();
        SampleFieldFixture::TearDown();
    }

    // The sample written with only the named appended sections in play (none named: all
    // as the sample has them), started, and Return pressed on its menu: the field shows.
    void play(const std::set<std::string>& sections = {})
    {
        ZqModelController& controller = *ZqModelController::shared();
        ZqSampleGame::write(controller, game.file("data"), ZqDataWriter::Options());
        if (!sections.empty()) {
            for (const auto& section : controller.modelsOfClass<ZqModelLevelSection>()) {
                if (section->isInitSection())
                    continue;
                const bool kept = sections.count(section->name()) != 0;
                section->m_muted->setValue(!kept, true);
                section->m_startDistance->setValue(0.0f, true);
            }
            // The media are in place already: the models are written again over them.
            ZqDataWriter(controller, ZqDataWriter::Options()).write(game.file("data"));
        }
        ASSERT_NO_FATAL_FAILURE(pressPlayOnTheMenu());
        player.step(3);
        field = ZqPScreenNavigator::shared()->currentGameScene();
        ASSERT_NE(field, nullptr);
        hero = findOnField<ZqPObjectAssetCharacter>();
        ASSERT_NE(hero, nullptr);
        hero->retain();
    }

    // The first field object of type T that passes test.
    template <class T>
    T* findOnField(const std::function<bool(T*)>& test = {}) const
    {
        for (cocos2d::CCObject* child : *field->camera()->getChildren()) {
            if (auto* object = dynamic_cast<T*>(child); object && (!test || test(object)))
                return object;
        }
        return nullptr;
    }

    // Pilots until a unit of that name is on the field: kept until the test ends, or null.
    ZqPObjectAssetUnit* pilotUntilMade(const std::string& name)
    {
        ZqPObjectAssetUnit* found = nullptr;
        for (int frame = 0; frame < 900 && !found; ++frame) {
            pilotStep();
            found = findOnField<ZqPObjectAssetUnit>([&](ZqPObjectAssetUnit* unit) { return unit->model()->name() == name; });
        }
        if (found) {
            found->retain();
            m_kept.push_back(found);
        }
        return found;
    }

    void expectTheHighestJumpInTheWindow();

    bool heroAlive() const { return hero->getParent() && hero->state() < ZqPObject::kStateDestroyed; }
    bool onGround() const { return hero->controlBits() & ZqPObjectAssetCharacter::kOnGround; }

    // Whether a ray between two points (field points) meets solid ground.
    bool solidBetween(cocos2d::CCPoint from, cocos2d::CCPoint to) const
    {
        SolidRay ray;
        const float m = zqphysics::kMetresPerPoint;
        field->world()->box2d().RayCast(&ray, b2Vec2(from.x * m, from.y * m), b2Vec2(to.x * m, to.y * m));
        return ray.hit;
    }

    // One frame of the pilot's play: a jump, held for a fifth of a second, when the ground
    // ends or an obstacle stands just ahead of the running hero, and the second jump when
    // it falls with no ground below.
    void pilotStep()
    {
        const cocos2d::CCPoint at = hero->getPosition();
        if (m_jumpFrames > 0 && --m_jumpFrames == 0)
            player.keyUp('J');
        if (onGround())
            m_secondJumpDone = false;
        if (m_jumpFrames == 0 && heroAlive()) {
            const bool gapAhead = !solidBetween(at + cocos2d::CCPoint(40, -40), at + cocos2d::CCPoint(40, -90));
            const bool wallAhead = solidBetween(at + cocos2d::CCPoint(30, -40), at + cocos2d::CCPoint(110, -40));
            const b2Body* body = hero->getBody();
            const bool falling = body && body->GetLinearVelocity().y < 0.0f;
            const bool low = at.y < m_takeoffY + 20.0f;
            const bool nothingBelow = !solidBetween(at, at + cocos2d::CCPoint(0, -200));
            if (onGround() ? gapAhead || wallAhead : falling && low && nothingBelow && !m_secondJumpDone) {
                m_secondJumpDone = !onGround();
                m_takeoffY = onGround() ? at.y : m_takeoffY;
                player.keyDown('J');
                m_jumpFrames = 12;
            }
        }
        player.step();
    }

    ZqPScreenScene* field = nullptr;
    ZqPObjectAssetCharacter* hero = nullptr;

private:
    std::vector<cocos2d::CCObject*> m_kept;
    int m_jumpFrames = 0;
    bool m_secondJumpDone = false;
    float m_takeoffY = 0.0f;
};

// After Play the hero lands on the platform-unit ground and runs through the start
// section's coins, which reach the player's purse.
TEST_F(SampleWorldTest, TheHeroStandsRunsAndCollectsTheStartSectionsCoins)
{
    const int coinsBefore = ScoreRegistry::global().coins.total;
    ASSERT_NO_FATAL_FAILURE(play());
    const int coinsOnField = [&] {
        int count = 0;
        for (cocos2d::CCObject* child : *field->camera()->getChildren()) {
            auto* powerup = dynamic_cast<ZqPObjectAssetPowerup*>(child);
            count += powerup && powerup->powerupType() == kPowerupCoin;
        }
        return count;
    }();
    EXPECT_GE(coinsOnField, 3);
    const float startX = hero->getPositionX();
    bool stood = false;
    for (int frame = 0; frame < 180; ++frame) {
        player.step();
        stood = stood || onGround();
    }
    ASSERT_TRUE(heroAlive());
    EXPECT_TRUE(stood) << "it stands on the ground";
    EXPECT_GT(hero->getPositionX(), startX + 300.0f) << "it runs";
    EXPECT_GE(ScoreRegistry::global().coins.total, coinsBefore + 3) << "the coins on its way";
    EXPECT_GE(ScoreRegistry::current().coins.total, 3);
}

// The slime section after the start: the pilot jumps the pit and the rock; a held shoot
// fires bullets that destroy the slime before it reaches the hero.
TEST_F(SampleWorldTest, AHeldShootDestroysTheSlime)
{
    ASSERT_NO_FATAL_FAILURE(play({"Slime"}));
    ZqPObjectAssetUnit* slime = pilotUntilMade("Slime");
    ASSERT_NE(slime, nullptr) << "the slime section follows the start";
    // On the slime section's ground, before the slime comes near, the hero holds shoot.
    for (int frame = 0; frame < 900 && !(hero->getPositionX() > 1200.0f && onGround()); ++frame)
        pilotStep();
    ASSERT_TRUE(heroAlive());
    EXPECT_EQ(slime->state(), ZqPObject::kStateNormal);
    EXPECT_GT(slime->getPositionX(), hero->getPositionX() + 500.0f);
    player.keyDown('K');
    for (int frame = 0; frame < 240 && slime->state() < ZqPObject::kStateDestroyed; ++frame)
        pilotStep();
    player.keyUp('K');
    EXPECT_GE(slime->state(), ZqPObject::kStateDestroyed) << "the bullets destroyed it";
    EXPECT_GT(slime->getPositionX(), hero->getPositionX() + 100.0f) << "far from the hero";
    EXPECT_FALSE(hero->hasActivePowerup()) << "not by an invincible hero's touch";
    EXPECT_TRUE(heroAlive());
}

// The sample as it comes, seeded: the pilot, holding shoot, jumps the start section's pit
// and the gaps and obstacles of the sections that follow, and the hero comes through four
// of them on its first life.
TEST_F(SampleWorldTest, ThePilotGetsThroughTheFirstSectionsByJumping)
{
    ASSERT_NO_FATAL_FAILURE(play());
    player.keyDown('K');
    for (int frame = 0; frame < 3000 && heroAlive() && field->cameraDistance() < 5.0f * 1136.0f; ++frame)
        pilotStep();
    player.keyUp('K');
    ASSERT_TRUE(heroAlive()) << "at " << hero->getPositionX();
    EXPECT_GE(field->cameraDistance(), 5.0f * 1136.0f);
    auto* health = dynamic_cast<ZqComponentHealth*>(hero->healthComponent());
    ASSERT_NE(health, nullptr);
    EXPECT_GT(health->health(), 0);
    std::set<std::string> added;
    for (const std::string& line : lines) {
        if (line.rfind("[ZqPScreenScene] add level section: ", 0) == 0)
            added.insert(line);
    }
    EXPECT_GE(added.size(), 4u) << "the start and at least three other sections";
}

// The ledges section after the start: the hero jumps up through a one-way ledge over the
// gap, stands on it, and runs on to the far ground.
TEST_F(SampleWorldTest, TheHeroJumpsUpThroughALedgeAndRunsAcrossOnIt)
{
    ASSERT_NO_FATAL_FAILURE(play({"Ledges"}));
    float highestStand = 0.0f;
    for (int frame = 0; frame < 1200 && heroAlive() && hero->getPositionX() < 2 * 1136.0f; ++frame) {
        pilotStep();
        if (onGround() && hero->getPositionX() > 1136.0f)
            highestStand = std::max(highestStand, hero->getPositionY());
    }
    ASSERT_TRUE(heroAlive());
    EXPECT_GE(hero->getPositionX(), 2 * 1136.0f) << "across the section";
    EXPECT_GT(highestStand, 150.0f) << "it stood on a ledge, above the ground";
}

// The boulders section after the start: a boulder keeps still until the hero nears, then
// rolls at it, and the hero jumps it.
TEST_F(SampleWorldTest, ABoulderRollsAtTheHeroOnceItNears)
{
    ASSERT_NO_FATAL_FAILURE(play({"Boulders"}));
    ZqPObjectAssetUnit* boulder = pilotUntilMade("Boulder");
    ASSERT_NE(boulder, nullptr);
    const float placedX = boulder->getPositionX();
    for (int frame = 0; frame < 900 && boulder->getPositionX() - hero->getPositionX() > 800.0f; ++frame)
        pilotStep();
    EXPECT_FLOAT_EQ(boulder->getPositionX(), placedX) << "still while the hero is far";
    float passedAt = 0.0f;
    for (int frame = 0; frame < 600 && heroAlive() && passedAt == 0.0f; ++frame) {
        pilotStep();
        if (hero->getPositionX() > boulder->getPositionX() + 80.0f)
            passedAt = boulder->getPositionX();
    }
    ASSERT_TRUE(heroAlive());
    EXPECT_LT(passedAt, placedX - 50.0f) << "it rolled toward the hero before the hero passed it";
    EXPECT_GT(passedAt, 0.0f);
}

// The top of the hero's polygons above its body's centre, in points.
float shapeTop(const ZqPObjectAssetCharacter& hero)
{
    float top = -1e9f;
    for (const b2Fixture* fixture = hero.getBody()->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
        if (fixture->GetType() != b2Shape::e_polygon)
            continue;
        const auto* polygon = static_cast<const b2PolygonShape*>(fixture->GetShape());
        for (int i = 0; i < polygon->m_count; ++i)
            top = std::max(top, polygon->m_vertices[i].y / zqphysics::kMetresPerPoint);
    }
    return top;
}

// The names of the hero's pictures that show (its animations, shown with the hero).
std::vector<std::string> shownPictures(const ZqPObjectAssetCharacter& hero)
{
    std::vector<std::string> names;
    for (cocos2d::CCObject* child : *hero.getChildren()) {
        const auto* animation = dynamic_cast<ZqPAnimationObject*>(child);
        if (animation && animation->isVisible())
            names.push_back(animation->model()->name());
    }
    return names;
}

// The HUD's slide control on its Down key: held, the hero's shape is lower and only its
// slide picture shows; let go, it is as before.
TEST_F(SampleWorldTest, HoldingTheSlideKeyLowersTheHerosShapeUntilItIsLetGo)
{
    ASSERT_NO_FATAL_FAILURE(play());
    for (int frame = 0; frame < 120 && !onGround(); ++frame)
        player.step();
    ASSERT_TRUE(onGround());
    player.step(5);
    const float standing = shapeTop(*hero);
    player.keyDown(ZqEditorKey::kDown);
    player.step(10);
    const float sliding = shapeTop(*hero);
    EXPECT_NEAR(standing, 60.0f, 1.0f);
    EXPECT_NEAR(sliding, -10.0f, 1.0f) << "lower while the key is held";
    EXPECT_EQ(shownPictures(*hero), std::vector<std::string>{"Hero Slide"}) << "the run picture hidden";
    player.keyUp(ZqEditorKey::kDown);
    player.step(10);
    EXPECT_NEAR(shapeTop(*hero), standing, 1.0f) << "as before once it is let go";
    const std::vector<std::string> after = shownPictures(*hero);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_NE(after[0], "Hero Slide");
    EXPECT_TRUE(heroAlive());
}

// The top of what a node draws, its shown pictures' highest edge, in the scene's points;
// -infinity when it draws nothing.
float drawnTop(const cocos2d::CCNode& node)
{
    cocos2d::CCArray* children = node.getChildren();
    if (!children || children->count() == 0) {
        const cocos2d::CCNode* parent = node.getParent();
        const cocos2d::CCRect box = node.boundingBox();
        return parent ? cocos2d::CCRectApplyAffineTransform(box, parent->nodeToWorldTransform()).getMaxY() : box.getMaxY();
    }
    float top = -std::numeric_limits<float>::infinity();
    for (cocos2d::CCObject* object : *children) {
        const auto* child = static_cast<cocos2d::CCNode*>(object);
        if (child->isVisible())
            top = std::max(top, drawnTop(*child));
    }
    return top;
}

// The highest jump from where the hero stands: a full first jump, the second at its peak,
// each held past the jump's timeout. The whole hero stays in the window (the camera
// follows it only along the run), a second jump rising as high as the first, each higher
// than the hero.
void SampleWorldTest::expectTheHighestJumpInTheWindow()
{
    player.keyUp('J');
    player.step();
    const float standing = drawnTop(*hero);
    float singlePeak = standing;
    auto jumpAndRise = [&](float& peak) {
        player.keyDown('J');
        for (int frame = 0; frame < 30 || hero->getBody()->GetLinearVelocity().y > 0.0f; ++frame) {
            if (frame == 30)
                player.keyUp('J');
            player.step();
            peak = std::max(peak, drawnTop(*hero));
            ASSERT_LT(frame, 300);
        }
        player.keyUp('J');
    };
    ASSERT_NO_FATAL_FAILURE(jumpAndRise(singlePeak));
    float highest = singlePeak;
    ASSERT_NO_FATAL_FAILURE(jumpAndRise(highest));
    for (int frame = 0; frame < 300 && !onGround() && heroAlive(); ++frame) {
        player.step();
        highest = std::max(highest, drawnTop(*hero));
    }
    EXPECT_LE(highest, 640.0f) << "the hero's top above the window, from " << standing;
    EXPECT_GT(highest - standing, 1.6f * (singlePeak - standing)) << "a second jump as high as the first";
    EXPECT_GT(singlePeak - standing, 120.0f) << "a jump higher than the hero";
}

// From the ground of the start section, and from a ledge, the highest place a run stands.
TEST_F(SampleWorldTest, TheHighestDoubleJumpKeepsTheHeroInTheWindow)
{
    ASSERT_NO_FATAL_FAILURE(play({"Ledges"}));
    for (int frame = 0; frame < 120 && !onGround(); ++frame)
        player.step();
    ASSERT_TRUE(onGround());
    player.step(5);
    ASSERT_NO_FATAL_FAILURE(expectTheHighestJumpInTheWindow());
    for (int frame = 0; frame < 1200 && heroAlive() && !(onGround() && hero->getPositionY() > 150.0f); ++frame)
        pilotStep();
    ASSERT_TRUE(heroAlive());
    ASSERT_GT(hero->getPositionY(), 150.0f) << "on a ledge";
    ASSERT_NO_FATAL_FAILURE(expectTheHighestJumpInTheWindow());
}

// The start section's pit at the lower jump, as a person clears it: an early double jump of
// two short taps, the first about 60 points before the edge (a quarter of a second's run),
// the second at the top of the first, lands on the far ground.
TEST_F(SampleWorldTest, AnEarlyDoubleJumpOfShortTapsClearsTheStartSectionsPit)
{
    ASSERT_NO_FATAL_FAILURE(play({"Ledges"}));
    float edge = 0.0f;
    for (float x = 300.0f; x < 1136.0f && edge == 0.0f; x += 2.0f) {
        if (!solidBetween(cocos2d::CCPoint(x, 80.0f), cocos2d::CCPoint(x, 40.0f)))
            edge = x;
    }
    ASSERT_GT(edge, 0.0f) << "a pit in the start section";
    for (int frame = 0; frame < 600 && hero->getPositionX() < edge - 60.0f; ++frame)
        player.step();
    ASSERT_TRUE(onGround());
    auto tap = [this] {
        player.keyDown('J');
        player.step(6);
        player.keyUp('J');
    };
    tap();
    for (int frame = 0; frame < 120 && hero->getBody()->GetLinearVelocity().y > 0.0f; ++frame)
        player.step();
    tap();
    for (int frame = 0; frame < 300 && heroAlive() && !(onGround() && hero->getPositionX() > 1136.0f); ++frame)
        player.step();
    EXPECT_TRUE(heroAlive());
    EXPECT_TRUE(onGround());
    EXPECT_GT(hero->getPositionX(), 1136.0f) << "beyond the pit";
}

// The raft section after the start: the raft waits at the gap's edge and sets off when
// the hero lands on it.
TEST_F(SampleWorldTest, TheRaftSetsOffWhenTheHeroLandsOnIt)
{
    ASSERT_NO_FATAL_FAILURE(play({"Raft"}));
    ZqPObjectAssetUnit* raft = pilotUntilMade("Raft");
    ASSERT_NE(raft, nullptr);
    const float placedX = raft->getPositionX();
    for (int frame = 0; frame < 900 && hero->getPositionX() < placedX - 100.0f; ++frame)
        pilotStep();
    EXPECT_FLOAT_EQ(raft->getPositionX(), placedX) << "it waits for the hero";
    bool rode = false;
    for (int frame = 0; frame < 300 && heroAlive(); ++frame) {
        pilotStep();
        rode = rode || (onGround() && std::abs(hero->getPositionX() - raft->getPositionX()) < 100.0f &&
                        raft->getPositionX() > placedX + 20.0f);
    }
    EXPECT_GT(raft->getPositionX(), placedX + 200.0f) << "it set off";
    EXPECT_TRUE(rode) << "with the hero on it";
}

// The ferry section after the start: a path carries the ferry to and fro over the gap's
// water; the hero stands on it above the gap and comes to the far side.
TEST_F(SampleWorldTest, TheHeroRidesTheFerryAcrossTheGap)
{
    ASSERT_NO_FATAL_FAILURE(play({"Ferry"}));
    ZqPObjectAssetUnit* ferry = pilotUntilMade("Ferry");
    ASSERT_NE(ferry, nullptr);
    const float gapStart = 1136.0f + 400.0f;
    const float gapEnd = 1136.0f + 800.0f;
    bool carried = false;
    bool rode = false;
    float lowest = ferry->getPositionX();
    float highest = ferry->getPositionX();
    for (int frame = 0; frame < 1200 && heroAlive() && hero->getPositionX() < gapEnd + 100.0f; ++frame) {
        pilotStep();
        carried = carried || (ferry->objectType() & ZqPObject::kTypeCarried);
        lowest = std::min(lowest, ferry->getPositionX());
        highest = std::max(highest, ferry->getPositionX());
        const float x = hero->getPositionX();
        rode = rode || (onGround() && x > gapStart + 30.0f && x < gapEnd - 30.0f &&
                        std::abs(x - ferry->getPositionX()) < 100.0f);
    }
    ASSERT_TRUE(heroAlive());
    EXPECT_GT(hero->getPositionX(), gapEnd) << "on the far side";
    EXPECT_TRUE(carried) << "the path took the ferry";
    EXPECT_GT(highest - lowest, 100.0f) << "and moved it over the gap";
    EXPECT_TRUE(rode) << "the hero stood on it above the gap";
    // The gap's water reflects through the game's own water-reflection shader.
    auto* water = findOnField<ZqPObjectAssetMirror>();
    ASSERT_NE(water, nullptr);
    ASSERT_NE(water->renderTexture(), nullptr);
    EXPECT_NE(water->renderTexture()->getSprite()->getShaderProgram(),
              cocos2d::CCShaderCache::sharedShaderCache()->programForKey(cocos2d::kCCShader_PositionTextureColor));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "[ZqPObjectAssetMirror] reflection shader - fail"), 0);
}

// The portals section after the start: a wall too high to jump, and the hero, entering the
// first portal, leaves by the second beyond the wall, once, and runs on.
TEST_F(SampleWorldTest, TheFirstPortalPutsTheHeroAtTheSecondOnce)
{
    ASSERT_NO_FATAL_FAILURE(play({"Portals"}));
    ZqPObjectAssetUnit* wall = pilotUntilMade("Wall");
    ASSERT_NE(wall, nullptr);
    std::vector<std::pair<float, float>> leaps;
    float lastX = hero->getPositionX();
    for (int frame = 0; frame < 1200 && heroAlive() && hero->getPositionX() < wall->getPositionX() + 400.0f; ++frame) {
        pilotStep();
        if (hero->getPositionX() - lastX > 100.0f)
            leaps.emplace_back(lastX, hero->getPositionX());
        lastX = hero->getPositionX();
    }
    ASSERT_TRUE(heroAlive());
    ASSERT_EQ(leaps.size(), 1u) << "sent once";
    EXPECT_LT(leaps[0].first, wall->getPositionX()) << "from before the wall";
    EXPECT_NEAR(leaps[0].second, 1136.0f + 780.0f, 30.0f) << "to the second portal";
    EXPECT_GT(hero->getPositionX(), wall->getPositionX() + 400.0f) << "and on";
}

// The slime section after the start, then again and again: the hero takes a checkpoint,
// runs on without jumping and dies; with lives left it comes back at the checkpoint it
// took last, with the session's figures of that moment.
TEST_F(SampleWorldTest, ADeathAfterTheCheckpointRestoresTheHeroThere)
{
    ASSERT_NO_FATAL_FAILURE(play({"Slime"}));
    const std::string key = field->sceneModel()->key();
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    const ScoreRecord& record = ScoreRegistry::current();
    ZqPSettingsController::Checkpoint kept;
    int taken = 0;
    // Each checkpoint keeps the figures of the frame it was taken in.
    const auto watch = [&] {
        const ZqPSettingsController::Checkpoint* stored = settings->checkpoint(key);
        if (!stored || (taken > 0 && stored->position.equals(kept.position)))
            return;
        ++taken;
        kept = *stored;
        ASSERT_TRUE(kept.snapshot);
        EXPECT_NEAR(kept.snapshot->distance, record.distance.session, 1.0f) << "taken this frame";
        EXPECT_EQ(kept.snapshot->coins, record.coins.session);
        EXPECT_EQ(kept.snapshot->points, record.points.session);
        EXPECT_NEAR(kept.position.x, hero->getPositionX(), 60.0f) << "where the hero met it";
    };
    for (int frame = 0; frame < 1200 && heroAlive() && taken == 0; ++frame) {
        pilotStep();
        watch();
    }
    ASSERT_GT(taken, 0) << "the hero took the checkpoint";

    // No more jumps: a rock, a pit or the slime ends this life.
    player.keyUp('J');
    for (int frame = 0; frame < 1800 && heroAlive(); ++frame) {
        player.step();
        watch();
    }
    ASSERT_FALSE(heroAlive()) << "at " << hero->getPositionX();
    EXPECT_GT(record.distance.session, kept.snapshot->distance + 1.0f) << "the hero ran on past it";
    ZqPObjectAssetCharacter* restored = nullptr;
    for (int frame = 0; frame < 300 && !restored; ++frame) {
        player.step();
        restored = findOnField<ZqPObjectAssetCharacter>([&](ZqPObjectAssetCharacter* next) { return next != hero; });
    }
    ASSERT_NE(restored, nullptr) << "a life was left";
    EXPECT_EQ(ZqPScreenNavigator::shared()->currentGameScene(), field);
    EXPECT_NEAR(restored->getPositionX(), kept.position.x, 20.0f);
    EXPECT_NEAR(restored->getPositionY(), kept.position.y, 40.0f);
    EXPECT_NEAR(record.distance.session, kept.snapshot->distance, 1.0f);
    EXPECT_EQ(record.points.session, kept.snapshot->points);
    EXPECT_EQ(record.coins.session, kept.snapshot->coins);
}

} // namespace
