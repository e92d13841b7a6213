// The sample's second world as a player meets it, reached by a store that has it open: a
// run left alone ends, a run that jumps what comes gets further, a hero on the ground
// shoots the scorpion; and what the menu shows of the locks that keep it and the runner.
#include "screens/program/sample_fixture.h"

#include "app/ZqPSettingsController.h"
#include "app/ZqPurchaseRegistry.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/assets/ZqPObjectAssetUnit.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleSecondWorldPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr float kNoTarget = 1.0e9f;

class SampleSecondWorldTest : public SampleFixture {
protected:
    // The menu of a store whose progress has the second world open.
    void startWithTheWorldOpen()
    {
        writeStore("  <entry key=\"ZqP_LockStates\">7:World 2 0;</entry>\n");
        ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    }
    // A click at design points (y up): the window is of the design size.
    void click(float x, float y)
    {
        player.touch(SDL_MOUSEBUTTONDOWN, static_cast<int>(x), 640 - static_cast<int>(y));
        player.step();
        player.touch(SDL_MOUSEBUTTONUP, static_cast<int>(x), 640 - static_cast<int>(y));
        player.step(3);
    }
    void enterTheWorld()
    {
        click(250, 140);
        ASSERT_NE(field(), nullptr);
        ASSERT_EQ(field()->sceneModel()->id(), 226u) << "the second world's own field";
    }

    // Plays until the game is over, the field's camera has gone as far as target or for
    // frames, jumping what comes when piloted; the furthest the camera went.
    float run(bool piloted, int frames, float target)
    {
        float furthest = 0.0f;
        int held = 0;
        const int jump = ZqModelGeneralSettings::shared()->jumpKey();
        for (int frame = 0; frame < frames && field() && furthest < target; ++frame) {
            furthest = std::max(furthest, field()->cameraDistance());
            if (held > 0 && --held == 0)
                player.keyUp(jump);
            ZqPObjectAssetCharacter* character = hero();
            if (piloted && held == 0 && character && shouldJump(*character)) {
                player.keyDown(jump);
                held = 12;
            }
            player.step();
        }
        if (held > 0)
            player.keyUp(jump);
        return furthest;
    }

    // A jump when on the ground a gap or a hazard comes within reach, and the second jump
    // when falling with nothing below. The pilot sees the field's units by their names.
    bool shouldJump(ZqPObjectAssetCharacter& character)
    {
        const cocos2d::CCPoint at = character.getPosition();
        const float feet = at.y - 50.0f;
        const bool onGround = character.controlBits() & ZqPObjectAssetCharacter::kOnGround;
        if (onGround)
            m_secondJumpDone = false;
        bool groundAhead = false, groundBelow = false, hazardAhead = false;
        for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
            auto* unit = dynamic_cast<ZqPObjectAssetUnit*>(child);
            if (!unit || !unit->model() || unit->state() >= ZqPObject::kStateDestroyed)
                continue;
            const std::string& name = unit->model()->name();
            const float dx = unit->getPositionX() - at.x;
            if (name == "Sand" || name == "Sandstone") {
                const float half = (name == "Sand" ? 284.0f : 120.0f) * unit->getScaleX();
                const float top = unit->getPositionY() + (name == "Sand" ? 32.0f : 12.0f);
                groundAhead = groundAhead || (std::fabs(dx - 70.0f) <= half && top <= feet + 4.0f);
                groundBelow = groundBelow || std::fabs(dx) <= half;
            }
            hazardAhead = hazardAhead || (name == "Cactus" && dx > 60.0f && dx < 84.0f) ||
                          (name == "Scorpion" && dx > 60.0f && dx < 200.0f);
        }
        if (onGround)
            return !groundAhead || hazardAhead;
        const b2Body* body = character.getBody();
        const bool falling = body && body->GetLinearVelocity().y < 0.0f;
        if (falling && !groundBelow && !m_secondJumpDone) {
            m_secondJumpDone = true;
            return true;
        }
        return false;
    }

    bool m_secondJumpDone = false;
};

std::array<int, 3> colourAt(HeadlessPlayer& player, int x, int y)
{
    const std::vector<unsigned char> pixel = player.view().readPixels(x, y, 1, 1);
    return pixel.size() == 4 ? std::array<int, 3>{pixel[0], pixel[1], pixel[2]} : std::array<int, 3>{};
}

// Left alone, the hero falls into the first pit on each of its lives and the game ends
// within a bounded number of frames; a run that jumps the pits, the cacti and the scorpion
// gets several sections further.
TEST_F(SampleSecondWorldTest, ACarelessRunEndsAndTimedJumpsGetFurther)
{
    ASSERT_NO_FATAL_FAILURE(startWithTheWorldOpen());
    ASSERT_NO_FATAL_FAILURE(enterTheWorld());
    const float alone = run(false, 2400, kNoTarget);
    ASSERT_EQ(key(), "World2GameOver") << "the run never ended, at " << alone;

    click(568, 128);
    ASSERT_EQ(key(), "Menu");
    ASSERT_NO_FATAL_FAILURE(enterTheWorld());
    const float sections = 4.0f * 1136.0f;
    EXPECT_GE(run(true, 3000, alone + sections), alone + sections) << "alone " << alone;
}

// Every game ends on a game over: a game of the second world on its own, whose restart
// plays the second world again, and a game of the first world played after them on the
// first world's.
TEST_F(SampleSecondWorldTest, EveryGameEndsOnAGameOverWhoseRestartPlaysTheWorldLostAgain)
{
    ASSERT_NO_FATAL_FAILURE(startWithTheWorldOpen());
    ASSERT_NO_FATAL_FAILURE(enterTheWorld());
    for (int game = 1; game <= 2; ++game) {
        SCOPED_TRACE(game);
        for (int frame = 0; frame < 3000 && key() != "World2GameOver"; ++frame)
            player.step();
        ASSERT_EQ(key(), "World2GameOver");
        click(568, 256);
        ASSERT_NE(field(), nullptr);
        EXPECT_EQ(field()->sceneModel()->id(), 226u) << "the world just lost";
        EXPECT_EQ(key(), "HUD");
        EXPECT_FALSE(field()->isGameOver());
    }
    for (int frame = 0; frame < 3000 && key() != "World2GameOver"; ++frame)
        player.step();
    click(568, 128);
    ASSERT_EQ(key(), "Menu");
    player.keyDown(ZqEditorKey::kReturn);
    player.step();
    player.keyUp(ZqEditorKey::kReturn);
    player.step(3);
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(field()->sceneModel()->id(), 202u) << "the first world";
    for (int frame = 0; frame < 3600 && key() != "GameOver"; ++frame)
        player.step();
    EXPECT_EQ(key(), "GameOver");
}

// A hero that stays on the ground and holds its gun shoots the scorpion as it comes: the
// bullets fly at the hero's middle, which the scorpion's raised claws and tail reach. The
// scorpion stands in the start section, before the pit.
TEST_F(SampleSecondWorldTest, ShotsFromTheGroundKillTheScorpionAsItComes)
{
    ZqModelController& controller = *ZqModelController::shared();
    ZqSampleGame::write(controller, game.file("data"), ZqDataWriter::Options());
    std::shared_ptr<ZqModelLevelSection> start, scorpions;
    for (const auto& section : controller.modelsOfClass<ZqModelLevelSection>()) {
        if (section->name() == "World 2 Start")
            start = section;
        if (section->name() == "World 2 Scorpions")
            scorpions = section;
    }
    ASSERT_TRUE(start && scorpions);
    std::shared_ptr<ZqModel> scorpion;
    for (const std::shared_ptr<ZqModel>& child : scorpions->children()) {
        if (modelCast<ZqModelObjectAssetUnit>(child) && child->name() == "Scorpion")
            scorpion = child;
    }
    ASSERT_TRUE(scorpion);
    scorpions->removeChild(scorpion, true);
    start->addChild(scorpion, true);
    ZqDataWriter(controller, ZqDataWriter::Options()).write(game.file("data"));
    controller.reset();

    ASSERT_NO_FATAL_FAILURE(startWithTheWorldOpen());
    ASSERT_NO_FATAL_FAILURE(enterTheWorld());
    ZqPObjectAssetUnit* target = nullptr;
    for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
        if (auto* unit = dynamic_cast<ZqPObjectAssetUnit*>(child); unit && unit->model()->name() == "Scorpion")
            target = unit;
    }
    ASSERT_NE(target, nullptr);
    target->retain();
    player.keyDown('K');
    float highest = 0.0f;
    for (int frame = 0; frame < 600 && target->state() < ZqPObject::kStateDestroyed && hero(); ++frame) {
        player.step();
        highest = std::max(highest, hero() ? hero()->getPositionY() : 0.0f);
    }
    player.keyUp('K');
    const int state = target->state();
    const float ahead = target->getPositionX() - (hero() ? hero()->getPositionX() : 0.0f);
    target->release();
    EXPECT_LT(highest, 130.0f) << "the hero stayed on the ground";
    EXPECT_GE(state, ZqPObject::kStateDestroyed) << "the bullets destroyed it";
    EXPECT_GT(ahead, 40.0f) << "before it reached the hero";
}

// Locked, the second world's button shows a padlock and the coins that open it, and the
// runner's button its price; the world opened and the runner bought, both go.
TEST_F(SampleSecondWorldTest, TheMenuShowsWhyALockedWorldOrCharacterStaysShut)
{
    // The padlock's body on the world's button (240 x 96 around 250, 140), the coin of the
    // price on the runner's (200 x 80 around 886, 140); window pixels, y up.
    constexpr int kPadlockX = 159, kPadlockY = 121, kCoinX = 863, kCoinY = 140;
    const std::array<int, 3> gold{zqpictures::kPadlockGold.r, zqpictures::kPadlockGold.g, zqpictures::kPadlockGold.b};
    const std::array<int, 3> coin{zqpictures::kCoinGold.r, zqpictures::kCoinGold.g, zqpictures::kCoinGold.b};
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    EXPECT_EQ(colourAt(player, kPadlockX, kPadlockY), gold);
    EXPECT_EQ(colourAt(player, kCoinX, kCoinY), coin);
    click(250, 140);
    click(886, 140);
    EXPECT_EQ(key(), "Menu") << "locked, and no coins for the runner";
    EXPECT_EQ(colourAt(player, kPadlockX, kPadlockY), gold);
    EXPECT_EQ(colourAt(player, kCoinX, kCoinY), coin);

    purchasedItemFlag("World 2") = false;
    ZqPSettingsController::shared()->unlockCharacter(1);
    player.step(2);
    EXPECT_NE(colourAt(player, kPadlockX, kPadlockY), gold);
    EXPECT_NE(colourAt(player, kCoinX, kCoinY), coin);
}

} // namespace
