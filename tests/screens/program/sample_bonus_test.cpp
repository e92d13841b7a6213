// The sample's bonus room in-process on the headless player: the door over the start
// section's coins, the room's own speed and thresholds, and its machinery as the hero
// runs through it.
#include "screens/program/sample_fixture.h"

#include "components/ZqComponentHealth.h"

#include "model/archive_test_util.h"
#include "model/scene/ZqModelScreen.h"
#include "model/GameplayParameters.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/assets/ZqPObjectAssetUnit.h"
#include "objects/ZqPObjectManipulator.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/field/ZqPScreenScene.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

class SampleBonusTest : public SampleFieldFixture {
protected:

    static ZqPScreenScene* field() { return ZqPScreenNavigator::shared()->currentGameScene(); }
    static std::string world() { return field() ? field()->sceneModel()->key() : std::string(); }

    // The objects of the field whose model has that name.
    template <class T>
    static std::vector<T*> named(const std::string& name)
    {
        std::vector<T*> found;
        if (!field())
            return found;
        for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
            auto* object = dynamic_cast<T*>(child);
            if (object && object->model() && object->model()->name() == name)
                found.push_back(object);
        }
        return found;
    }
    static ZqPObjectAssetCharacter* hero()
    {
        if (!field())
            return nullptr;
        for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
            if (auto* character = dynamic_cast<ZqPObjectAssetCharacter*>(child))
                return character;
        }
        return nullptr;
    }

    // The sample started and played: Return on the menu, then the hero run back (Left)
    // into the door behind its start, until the bonus room's field shows.
    void enterRoom()
    {
        ZqSampleGame::write(*ZqModelController::shared(), game.file("data"), ZqDataWriter::Options());
        ASSERT_NO_FATAL_FAILURE(pressPlayOnTheMenu());
        for (int i = 0; i < 60 && !hero(); ++i)
            player.step();
        ASSERT_EQ(world(), "Game");
        mainSpeedMax = GameplayParameters::shared()->gameSpeedMax();
        tilt = ZqPObjectAccelerometer::shared()->accelerometerModel();
        player.keyDown(ZqEditorKey::kLeft);
        for (int i = 0; i < 240 && world() != "Bonus"; ++i)
            player.step();
        player.keyUp(ZqEditorKey::kLeft);
        ASSERT_EQ(world(), "Bonus");
        player.step(10);
    }

    // What the main world showed before the jump: its top speed and its tilt control.
    float mainSpeedMax = 0.0f;
    std::shared_ptr<ZqModelObjectAccelerometer> tilt;
};

// The main world reads its tilt control and stays at rest; the door behind the start leads
// into the room, which runs at its own speed and keeps its objects longer, and the door at
// its end leads back into the main world, the gun held past the turret.
TEST_F(SampleBonusTest, TheDoorLeadsIntoTheRoomAtItsOwnSpeedAndTheRoomLeadsBack)
{
    ASSERT_NO_FATAL_FAILURE(enterRoom());
    ASSERT_TRUE(tilt);
    EXPECT_EQ(tilt->name(), "Tilt");
    EXPECT_FLOAT_EQ(mainSpeedMax, 10.0f);

    const GameplayParameters& parameters = *GameplayParameters::shared();
    EXPECT_FLOAT_EQ(parameters.gameSpeedMin(), 3.0f);
    EXPECT_FLOAT_EQ(parameters.gameSpeedMax(), 5.0f);
    EXPECT_FLOAT_EQ(parameters.backDeletionThreshold(), 600.0f);
    EXPECT_FLOAT_EQ(parameters.sidesDeletionThreshold(), 700.0f);
    ASSERT_NE(hero(), nullptr);

    player.keyDown('K');
    for (int i = 0; i < 1500 && world() == "Bonus"; ++i)
        player.step();
    player.keyUp('K');
    EXPECT_EQ(world(), "Game");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.find("lives left") != std::string::npos; }),
              0)
        << "no life lost on the way";
    EXPECT_NE(std::find(lines.begin(), lines.end(), "gatekeeper begin contact"), lines.end());
}

// Through the room: the flowers drawn in order, the instance among them, the wheel rolled by
// its motor with its frames following its angle, the plank turning at its hub, the gate
// stopped once open, the frog hopping on the slide control, and the turret firing.
TEST_F(SampleBonusTest, TheRoomsMachineryPlaysAsTheHeroRunsThrough)
{
    ASSERT_NO_FATAL_FAILURE(enterRoom());
    // Three flowers and the instance of the first; the group draws the one furthest right
    // behind the others.
    const std::vector<ZqPObjectAssetUnit*> flowers = named<ZqPObjectAssetUnit>("Flower");
    ASSERT_EQ(flowers.size(), 4u);
    std::vector<std::pair<float, int>> byX;
    for (ZqPObjectAssetUnit* flower : flowers)
        byX.emplace_back(flower->getPositionX(), flower->getZOrder());
    std::sort(byX.begin(), byX.end());
    for (std::size_t i = 1; i < byX.size(); ++i)
        EXPECT_EQ(byX[i].second, byX[i - 1].second - 1) << "flower " << i;
    EXPECT_NEAR(byX.back().first, 1010.0f, 1.0f) << "the instance at its own place";

    bool wheelRolled = false, wheelMapped = false, plankTurned = false, gateStopped = false, frogHopped = false;
    std::size_t guns = 0;
    float plankAngle = 0.0f;
    for (int frame = 0; frame < 900 && world() == "Bonus"; ++frame) {
        if (frame == 240)
            player.keyDown(ZqEditorKey::kDown);
        if (frame == 260)
            player.keyUp(ZqEditorKey::kDown);
        player.step();
        for (ZqPObjectAssetUnit* wheel : named<ZqPObjectAssetUnit>("Wheel")) {
            const b2Body* body = wheel->getBody();
            wheelMapped = wheelMapped || wheel->currentStateAnimationPriority() == 3;
            wheelRolled = wheelRolled || (body && std::abs(body->GetLinearVelocity().x - 16.0f) < 0.5f &&
                                          std::abs(body->GetAngularVelocity() + 10.0f) < 0.5f);
        }
        for (ZqPObjectAssetUnit* plank : named<ZqPObjectAssetUnit>("Plank")) {
            if (const b2Body* body = plank->getBody()) {
                plankTurned = plankTurned || std::abs(body->GetAngle() - plankAngle) > 0.5f;
                plankAngle = frame == 0 ? body->GetAngle() : plankAngle;
                EXPECT_NEAR(plank->getPositionY(), 340.0f, 2.0f) << "held at its hub";
            }
        }
        for (ZqPObjectAssetUnit* gate : named<ZqPObjectAssetUnit>("Gate"))
            gateStopped = gateStopped || (gate->velocity().y == 0.0f && gate->getPositionY() > 300.0f);
        guns = std::max(guns, named<ZqPObjectAssetUnit>("Turret Gun").size());
        for (ZqPObjectAssetUnit* frog : named<ZqPObjectAssetUnit>("Frog")) {
            const cocos2d::CCNode* look = frog->currentStateAnimation();
            frogHopped = frogHopped || (look && look->getPositionY() > 20.0f);
        }
    }
    EXPECT_TRUE(wheelRolled);
    EXPECT_TRUE(wheelMapped) << "its frames follow its angle";
    EXPECT_TRUE(plankTurned);
    EXPECT_TRUE(gateStopped);
    EXPECT_TRUE(frogHopped);
    EXPECT_GE(guns, 2u) << "the turret and a fireball it fired";
}

// Without shooting, the turret's fireballs fly through whatever lies on the ground and
// each one that meets the hero takes a hit point; a hero lost on the way always costs a
// life within the field's wait (one second), never leaving the room without one.
TEST_F(SampleBonusTest, AFireballCostsTheHeroAHitPointAndALostHeroALife)
{
    ASSERT_NO_FATAL_FAILURE(enterRoom());
    int lowestHealth = 3, framesWithoutHero = 0;
    bool pushedBack = false;
    float furthest = 0.0f;
    const ZqPObjectAssetCharacter* last = nullptr;
    for (int frame = 0; frame < 1500 && world() == "Bonus"; ++frame) {
        player.step();
        ZqPObjectAssetCharacter* character = hero();
        if (!character) {
            ++framesWithoutHero;
            ASSERT_LE(framesWithoutHero, 61) << "a hero gone with no life lost, frame " << frame;
            continue;
        }
        framesWithoutHero = 0;
        // A new hero starts again at the checkpoint.
        furthest = character == last ? furthest : 0.0f;
        last = character;
        if (auto* health = dynamic_cast<ZqComponentHealth*>(character->healthComponent()))
            lowestHealth = std::min(lowestHealth, health->health());
        furthest = std::max(furthest, character->getPositionX());
        pushedBack = pushedBack || character->getPositionX() < furthest - 200.0f;
    }
    EXPECT_LT(lowestHealth, 3) << "a fireball's damage reached the hero";
    EXPECT_FALSE(pushedBack) << "nothing shoves the hero back along the ground";
}

} // namespace
