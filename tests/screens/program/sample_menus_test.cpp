// The sample's menus as a player meets them in-process, by clicks and keys: the shop's
// magnet used on the next run from the HUD, the second character bought and played, the
// menu's records across a restart of the program, Continue and Play, the window modes,
// the HUD's texts and on-screen jump and shoot, the game over's ways on and the game it
// shows, the runner's own unlock button, the second world that the coins of a game open, the
// HUD's touch variant, the coins of each run, the distance of a game through the bonus
// room, the news of the second world told once, and the locked runner on the character
// screen.
#include "screens/program/sample_fixture.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPurchaseRegistry.h"
#include "components/ZqComponentSlide.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/assets/ZqPObjectAssetPowerup.h"
#include "objects/ZqPObjectText.h"
#include "model/archive_test_util.h"
#include "screens/buttons/ZqPObjectButtonPowerup.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqPObjectCharacterSelector.h"
#include "screens/ZqPScreenUi.h"
#include "tools/ZqSampleGame.h"
#include "tools/ZqSampleSecondWorld.h"
#include "tools/ZqSampleSecondWorldPictures.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

namespace {

// The colour the window shows at (x, y), in design points.
std::array<int, 3> colourAt(HeadlessPlayer& player, int x, int y)
{
    const std::vector<unsigned char> pixel = player.view().readPixels(x, y, 1, 1);
    return pixel.size() == 4 ? std::array<int, 3>{pixel[0], pixel[1], pixel[2]} : std::array<int, 3>{};
}

class SampleMenusTest : public SampleFixture {
protected:
    // A click at (x, y) in design points, a few frames on.
    void click(float x, float y, int frames = 3)
    {
        press(x, y);
        release(x, y, frames);
    }
    void press(float x, float y)
    {
        player.touch(SDL_MOUSEBUTTONDOWN, static_cast<int>(x), 640 - static_cast<int>(y));
        player.step();
    }
    // Pressed at one point and moved, still held, to another, a frame on.
    void drag(float fromX, float fromY, float toX, float toY)
    {
        press(fromX, fromY);
        player.touch(SDL_MOUSEMOTION, static_cast<int>(toX), 640 - static_cast<int>(toY));
        player.step();
    }
    void release(float x, float y, int frames = 1)
    {
        player.touch(SDL_MOUSEBUTTONUP, static_cast<int>(x), 640 - static_cast<int>(y));
        player.step(frames);
    }
    void tap(int key)
    {
        player.keyDown(key);
        player.step();
        player.keyUp(key);
        player.step(3);
    }
    // Play from the menu, into a field with its hero.
    void play()
    {
        tap(ZqEditorKey::kReturn);
        ASSERT_NE(field(), nullptr);
        ASSERT_NE(hero(), nullptr);
    }
    // The key of the running field's scene; empty without one.
    static std::string world() { return field() ? field()->sceneModel()->key() : std::string(); }
    // From the start of a game, back through the door behind the hero into the bonus room.
    void enterTheBonusRoom()
    {
        player.keyDown(ZqEditorKey::kLeft);
        for (int i = 0; i < 240 && world() != "Bonus"; ++i)
            player.step();
        player.keyUp(ZqEditorKey::kLeft);
        ASSERT_EQ(world(), "Bonus");
    }
    // From the field through the pause screen's menu button.
    void leaveForTheMenu()
    {
        tap(ZqEditorKey::kEscape);
        click(568, 128);
        ASSERT_EQ(key(), "Menu");
    }

    // The text of the shown screen's live score whose model is named name.
    static std::string scoreText(const std::string& name)
    {
        for (cocos2d::CCObject* child : *shown()->uiLayer()->getChildren()) {
            auto* text = dynamic_cast<ZqPObjectText*>(child);
            if (text && text->labelModel()->name() == name && text->label())
                return text->label()->getString();
        }
        return "(none)";
    }
    static ZqPObjectButton* button(ZqButtonAction action)
    {
        ZqPObjectButton* found = shown()->findButton(action);
        EXPECT_NE(found, nullptr) << int(action);
        return found;
    }
    // The shown power-up button whose "Powerup Selection" is the power-up's id.
    static ZqPObjectButton* powerupButton(unsigned id)
    {
        for (ZqPObjectButton* found : shown()->allButtons()) {
            if (found->model() && found->model()->action() == std::to_string(id))
                return found;
        }
        ADD_FAILURE() << "no button uses power-up " << id;
        return nullptr;
    }
    static int magnets() { return ZqPSettingsController::shared()->inventoryCount(magnetAsset()); }
    static ZqComponentSlide* slideOf(const ZqPObjectAssetCharacter& character)
    {
        for (ZqComponent* component : character.components()) {
            if (auto* found = dynamic_cast<ZqComponentSlide*>(component))
                return found;
        }
        return nullptr;
    }
    // The touch HUD's slide control and its lock, a switch.
    static constexpr float kSlideX = 760.0f, kLockX = 870.0f, kControlY = 560.0f;
    static std::shared_ptr<ZqModelAssetPowerup> magnetAsset()
    {
        for (const auto& powerup : ZqModelController::shared()->modelsOfClass<ZqModelAssetPowerup>()) {
            if (powerup->powerupType() == kPowerupMagnet)
                return powerup;
        }
        return nullptr;
    }
};

TEST_F(SampleMenusTest, AMagnetBoughtInTheShopIsUsedFromTheHudAndTheSecondCharacterPlaysOnceBought)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    // The coins of earlier runs.
    ScoreRegistry::global().coins.add(40);

    click(250, 256);
    ASSERT_EQ(key(), "Shop");
    EXPECT_EQ(scoreText("coins Score"), "40");
    click(370, 300);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 30);
    EXPECT_EQ(magnets(), 1);
    EXPECT_EQ(scoreText("coins Score"), "30");
    tap(ZqEditorKey::kEscape);
    ASSERT_EQ(key(), "Menu");

    ASSERT_NO_FATAL_FAILURE(play());
    auto* use = dynamic_cast<ZqPObjectButtonPowerup*>(powerupButton(magnetAsset()->id()));
    ASSERT_NE(use, nullptr);
    ASSERT_TRUE(use->countLabel());
    EXPECT_STREQ(use->countLabel()->getString(), "1");
    EXPECT_FALSE(field()->powerups().isMagnetActive());
    click(44, 32, 1);
    EXPECT_EQ(magnets(), 0);
    EXPECT_TRUE(field()->powerups().isMagnetActive());
    ZqPObjectAssetPowerup* granted = nullptr;
    for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
        if (auto* powerup = dynamic_cast<ZqPObjectAssetPowerup*>(child); powerup && powerup->powerupType() == kPowerupMagnet)
            granted = powerup;
    }
    ASSERT_NE(granted, nullptr);
    EXPECT_LT(granted->getPosition().getDistance(hero()->getPosition()), 40.0f) << "at the hero";
    EXPECT_GT(granted->getZOrder(), hero()->getZOrder());
    player.step();
    EXPECT_FALSE(use->isEnabled()) << "the stock is empty";

    // The second character: the selector turned to it by a tap on its right, then bought.
    ASSERT_NO_FATAL_FAILURE(leaveForTheMenu());
    click(886, 256);
    ASSERT_EQ(key(), "Characters");
    click(788, 300, 20);
    EXPECT_EQ(ZqPSettingsController::shared()->selectedCharacter(), 0) << "a locked character is shown, not chosen";
    click(568, 95);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 5);
    EXPECT_TRUE(ZqPSettingsController::shared()->isCharacterUnlocked(1));
    EXPECT_EQ(ZqPSettingsController::shared()->selectedCharacter(), 1);
    tap(ZqEditorKey::kEscape);
    ASSERT_NO_FATAL_FAILURE(play());
    auto placed = modelCast<ZqModelObjectAssetCharacter>(hero()->model());
    ASSERT_TRUE(placed && placed->assetCharacter());
    EXPECT_EQ(placed->assetCharacter()->name(), "Runner");
}

TEST_F(SampleMenusTest, TheMenuShowsTheRecordsContinuesOrPlaysAndSwitchesTheWindowMode)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    ScoreRegistry::global().distance.add(123.7f);
    ScoreRegistry::global().coins.add(45);
    ZqPSettingsController::shared()->save();
    player.stop();
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    EXPECT_EQ(scoreText("best distance Score"), "123");
    EXPECT_EQ(scoreText("coins Score"), "45");

    // Continue keeps the run's scores (start mode 0); Play starts them over.
    ScoreRegistry::recordFor("Game").points.session = 7;
    click(568, 140);
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(ScoreRegistry::current().points.session, 7);
    ASSERT_NO_FATAL_FAILURE(leaveForTheMenu());
    ASSERT_NO_FATAL_FAILURE(play());
    EXPECT_EQ(ScoreRegistry::current().points.session, 0);
    ASSERT_NO_FATAL_FAILURE(leaveForTheMenu());

    // One window-mode button shows at a time, and each switches the window.
    ZqPObjectButton* full = button(kButtonFullscreen);
    ZqPObjectButton* window = button(kButtonWindowed);
    EXPECT_TRUE(full->isVisible());
    EXPECT_FALSE(window->isVisible());
    click(936, 560);
    EXPECT_TRUE(player.view().isFullscreen());
    EXPECT_TRUE(ZqPSettingsController::shared()->isFullscreen());
    EXPECT_FALSE(full->isVisible());
    EXPECT_TRUE(window->isVisible());
    click(936, 560);
    EXPECT_FALSE(player.view().isFullscreen());
    EXPECT_TRUE(full->isVisible());
}

TEST_F(SampleMenusTest, TheHudCountsTheRunAndJumpsAndShootsAndTheGameOverLeadsOn)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    ASSERT_NO_FATAL_FAILURE(play());
    const ScoreRecord& run = ScoreRegistry::current();
    for (int i = 0; i < 600 && run.distance.session < 2.0f; ++i)
        player.step();
    ASSERT_GE(run.distance.session, 2.0f) << "the hero ran";
    EXPECT_EQ(scoreText("distance Score"), std::to_string(static_cast<int>(run.distance.session)));
    EXPECT_EQ(scoreText("coins Score"), std::to_string(run.coins.session));

    ZqPInputController* input = ZqPInputController::shared();
    for (const auto& [x, action] : {std::pair{272.0f, ZqPInputController::kJump}, std::pair{196.0f, ZqPInputController::kShoot}}) {
        press(x, 32);
        EXPECT_TRUE(input->isHeld(action)) << action;
        release(x, 32);
        EXPECT_FALSE(input->isHeld(action)) << action;
    }

    // The game over over the field: back to the menu, or a restart under the HUD.
    for (const char* way : {"Menu", "Restart"}) {
        SCOPED_TRACE(way);
        if (!field()) {
            ASSERT_NO_FATAL_FAILURE(play());
        }
        shown()->switchToLinkedScreen("Game Over", 0, 14, 2, 0);
        player.step(2);
        ASSERT_EQ(key(), "GameOver");
        EXPECT_EQ(scoreText("Best Distance"), std::to_string(static_cast<int>(ScoreRegistry::current().distance.best)));
        click(568, std::string(way) == "Menu" ? 128 : 256);
        EXPECT_EQ(key(), std::string(way) == "Menu" ? "Menu" : "HUD");
        EXPECT_EQ(field() != nullptr, std::string(way) == "Restart");
    }
    EXPECT_EQ(ScoreRegistry::current().distance.session, 0.0f) << "a full restart";
}

TEST_F(SampleMenusTest, TheRunnersOwnButtonBuysItForItsCoinsOnly)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    ScoreRegistry::global().coins.add(20);
    click(886, 140);
    EXPECT_FALSE(settings->isCharacterUnlocked(1)) << "25 coins asked, 20 held";
    EXPECT_EQ(ScoreRegistry::global().coins.total, 20);
    ScoreRegistry::global().coins.add(10);
    click(886, 140);
    EXPECT_TRUE(settings->isCharacterUnlocked(1));
    EXPECT_EQ(settings->selectedCharacter(), 1);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 5);
    // Bought, the button picks the character: the first one again through the selector,
    // then the runner by the button, for nothing.
    settings->setSelectedCharacter(0);
    click(886, 140);
    EXPECT_EQ(settings->selectedCharacter(), 1);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 5);
}

TEST_F(SampleMenusTest, TheSecondWorldOpensOnceTheMostCoinsOfAGameReachItsMark)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    click(250, 140);
    EXPECT_EQ(key(), "Menu") << "locked: a press leads nowhere";
    EXPECT_TRUE(purchasedItemFlag("World 2"));

    // A game over short of the mark stays; one past it moves on to the unlocking screen.
    constexpr int kMark = kZqSampleSecondWorldCoins;
    for (const auto& [best, over] : {std::pair{kMark - 1, "GameOver"}, std::pair{kMark, "NewWorld"}}) {
        SCOPED_TRACE(over);
        ASSERT_NO_FATAL_FAILURE(play());
        ScoreRegistry::global().coins.best = best;
        shown()->switchToLinkedScreen("Game Over", 0, 14, 2, 0);
        player.step(5);
        ASSERT_EQ(key(), over);
        EXPECT_EQ(purchasedItemFlag("World 2"), best < kMark);
        click(568, 128);
        ASSERT_EQ(key(), "Menu");
    }
    click(250, 140);
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(field()->sceneModel()->id(), 226u) << "the second world's own field";
    EXPECT_EQ(key(), "HUD");
    ASSERT_NE(hero(), nullptr);
    EXPECT_FALSE(purchasedItemFlag("World 2")) << "open for good";
    // Its game over is its own: the news is told already.
    shown()->switchToLinkedScreen("Game Over", 0, 14, 2, 0);
    player.step(5);
    EXPECT_EQ(key(), "World2GameOver");
}

TEST_F(SampleMenusTest, TheTouchHudSteersJumpsAndHoldsTheSlideByTheMouse)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    ASSERT_NO_FATAL_FAILURE(play());
    ZqPScreenScene* running = field();
    player.step(60);
    click(200, 560);
    ASSERT_EQ(key(), "TouchHUD");
    EXPECT_EQ(field(), running) << "shown over the running field";
    ZqPObjectAssetCharacter* runner = hero();
    ASSERT_NE(runner, nullptr);

    // The pad: held and moved right of where it was pressed, the hero is steered; let go,
    // it is not.
    drag(100, 330, 150, 330);
    EXPECT_EQ(runner->state(), ZqPObject::kStateMoving);
    release(150, 330);
    EXPECT_NE(runner->state(), ZqPObject::kStateMoving);

    // A quick stroke up the swipe area throws the hero up.
    drag(900, 250, 900, 320);
    EXPECT_GT(runner->getBody()->GetLinearVelocity().y, 5.0f);
    release(900, 320, 60);

    // The slide control slides from its first press for as long as it is held.
    ZqComponentSlide* slide = slideOf(*runner);
    ASSERT_NE(slide, nullptr);
    press(kSlideX, kControlY);
    player.step(30);
    EXPECT_TRUE(slide->isEnabled()) << "held from the first press";
    release(kSlideX, kControlY);
    EXPECT_FALSE(slide->isEnabled());

    // The lock is a switch: a new one is on, so its first press switches it off and holds
    // nothing; its switch-on holds the slide, its switch-off lets go.
    click(kLockX, kControlY);
    EXPECT_FALSE(slide->isEnabled());
    click(kLockX, kControlY, 30);
    EXPECT_TRUE(slide->isEnabled());
    click(kLockX, kControlY);
    EXPECT_FALSE(slide->isEnabled());

    click(200, 560);
    EXPECT_EQ(key(), "HUD");
    EXPECT_EQ(field(), running);
}

TEST_F(SampleMenusTest, EachRunCountsItsOwnCoinsIntoThePurseTheShopSpends)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    ScoreRegistry::global().coins.add(10);
    // The start section's three coins, taken on each of two runs.
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_NO_FATAL_FAILURE(play());
        player.step();
        EXPECT_EQ(scoreText("coins Score"), "0");
        const ScoreRecord& record = ScoreRegistry::current();
        for (int i = 0; i < 600 && record.coins.session < 3; ++i)
            player.step();
        ASSERT_EQ(record.coins.session, 3);
        player.step();
        EXPECT_EQ(scoreText("coins Score"), "3");
        EXPECT_EQ(record.coins.best, 3) << "the best run, not the sum of runs";
        EXPECT_EQ(ScoreRegistry::global().coins.total, 10 + 3 * run);
        ASSERT_NO_FATAL_FAILURE(leaveForTheMenu());
    }
    EXPECT_EQ(scoreText("coins Score"), "16");

    click(250, 256);
    ASSERT_EQ(key(), "Shop");
    click(370, 300);
    EXPECT_EQ(scoreText("coins Score"), "6");
    tap(ZqEditorKey::kEscape);
    ASSERT_NO_FATAL_FAILURE(play());
    player.step();
    EXPECT_EQ(scoreText("coins Score"), "0") << "the next run starts from none, whatever was spent";
}

TEST_F(SampleMenusTest, TheSoundButtonLooksOnOrOffAsTheSoundIsAcrossARestart)
{
    constexpr std::array<int, 3> kOn{70, 110, 170};
    constexpr std::array<int, 3> kOff{96, 100, 110};
    // A corner of the button, clear of its word.
    constexpr int kX = 1020, kY = 530;
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    EXPECT_EQ(colourAt(player, kX, kY), kOn);
    click(1056, 560);
    ASSERT_TRUE(ZqPSettingsController::shared()->isEffectsSoundMuted());
    EXPECT_EQ(colourAt(player, kX, kY), kOff);

    // Muted is saved, and the menu opens on the off look.
    player.stop();
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    EXPECT_EQ(colourAt(player, kX, kY), kOff);
    click(1056, 560);
    EXPECT_FALSE(ZqPSettingsController::shared()->isEffectsSoundMuted());
    EXPECT_EQ(colourAt(player, kX, kY), kOn);
}

// The game over shows the game that ended, beside the best: a long game, then a shorter one.
TEST_F(SampleMenusTest, TheGameOverShowsTheGameThatEndedBesideTheBest)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    const ScoreRecord& game = ScoreRegistry::global();
    for (const float distance : {12.0f, 4.0f}) {
        SCOPED_TRACE(distance);
        ASSERT_NO_FATAL_FAILURE(play());
        for (int i = 0; i < 1800 && game.distance.session < distance; ++i)
            player.step();
        ASSERT_GE(game.distance.session, distance);
        const std::string ran = std::to_string(static_cast<int>(game.distance.session));
        const std::string coins = std::to_string(game.coins.session);
        shown()->switchToLinkedScreen("Game Over", 0, 14, 2, 0);
        player.step(2);
        ASSERT_EQ(key(), "GameOver");
        EXPECT_EQ(scoreText("distance Score"), ran);
        EXPECT_EQ(scoreText("coins Score"), coins);
        EXPECT_EQ(scoreText("Best Distance"), std::to_string(static_cast<int>(game.distance.best)));
        click(568, 128);
        ASSERT_EQ(key(), "Menu");
    }
    EXPECT_LT(game.distance.session, game.distance.best) << "the shorter game shown, not the best";
}

// A game into the bonus room by the door behind the start and back into the main world by
// the room's own door keeps its scores: the HUD shows the distance of both fields, and the
// best that the game over and the menu show is the most the HUD showed.
TEST_F(SampleMenusTest, AGameThroughTheBonusRoomShowsOnTheHudTheDistanceItsBestRecords)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    ASSERT_NO_FATAL_FAILURE(play());
    int most = -1;
    player.afterStep = [&most] {
        const std::string text = shown() && key() == "HUD" ? scoreText("distance Score") : "(none)";
        if (text != "(none)")
            most = std::max(most, std::stoi(text));
    };
    ASSERT_NO_FATAL_FAILURE(enterTheBonusRoom());
    // The gun held clears the room's turret.
    player.keyDown('K');
    for (int i = 0; i < 1500 && world() == "Bonus"; ++i)
        player.step();
    player.keyUp('K');
    ASSERT_EQ(world(), "Game");
    // Left alone, the hero loses its lives in the start section's pit, and the game ends.
    for (int i = 0; i < 3600 && key() != "GameOver"; ++i)
        player.step();
    player.afterStep = nullptr;
    ASSERT_EQ(key(), "GameOver");
    const float main = ScoreRegistry::recordFor("Game").distance.session;
    EXPECT_GT(main, 5.0f) << "the main world added its part";
    EXPECT_LT(main + 5.0f, ScoreRegistry::global().distance.session) << "the room added its part";
    EXPECT_EQ(scoreText("Best Distance"), std::to_string(most));
    click(568, 128);
    EXPECT_EQ(scoreText("best distance Score"), std::to_string(most));
}

// The second world's lock and the menu read one record, the player's: the most coins of a
// game, wherever they were taken. A store whose game through the bonus room went past every
// mark of the main world's own record (a best distance of 163 of which the main world ran
// 100, most of the coins taken in the room) shows the figure the lock waits for, and the
// next game, however short, opens it.
TEST_F(SampleMenusTest, TheSecondWorldsLockReadsTheRecordTheMenuShows)
{
    const std::string most = std::to_string(kZqSampleSecondWorldCoins + 3);
    const std::string room = std::to_string(kZqSampleSecondWorldCoins - 5);
    writeStore("  <entry key=\"ZqP_Scores\">0: 0 163 163 0 0 0 0 " + most + " " + most +
               ";4:Game 0 100 100 0 0 0 0 8 8;5:Bonus 0 63 63 0 0 0 0 " + room + " " + room + ";</entry>\n");
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    EXPECT_EQ(scoreText("most coins in a game Score"), most);
    ASSERT_TRUE(purchasedItemFlag("World 2"));
    ASSERT_NO_FATAL_FAILURE(play());
    player.step(10);
    shown()->switchToLinkedScreen("Game Over", 0, 14, 2, 0);
    player.step(5);
    EXPECT_EQ(key(), "NewWorld");
    EXPECT_FALSE(purchasedItemFlag("World 2"));
}

// A game that takes its last coins to the mark in the bonus room, whose own record stays
// short of it, and ends there opens the second world.
TEST_F(SampleMenusTest, TheSecondWorldOpensOnCoinsTakenInTheBonusRoom)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    ASSERT_TRUE(purchasedItemFlag("World 2"));
    ASSERT_NO_FATAL_FAILURE(play());
    ScoreRecord& game = ScoreRegistry::global();
    constexpr int kMark = kZqSampleSecondWorldCoins;
    game.coins.add(kMark - 3);
    ASSERT_NO_FATAL_FAILURE(enterTheBonusRoom());
    for (int i = 0; i < 600 && game.coins.session < kMark; ++i)
        player.step();
    ASSERT_GE(game.coins.session, kMark);
    EXPECT_LT(ScoreRegistry::recordFor("Bonus").coins.best, kMark) << "the room's own record is short of the mark";
    shown()->switchToLinkedScreen("Game Over", 0, 14, 2, 0);
    player.step(5);
    ASSERT_EQ(world(), "Bonus");
    EXPECT_EQ(key(), "NewWorld");
    EXPECT_FALSE(purchasedItemFlag("World 2"));
}

// The switches' states last for the run: a game that ended with the touch HUD's lock on,
// holding the slide, hands the next game a lock that is on, so that its next press switches
// it off and holds nothing, and the one after holds the slide.
TEST_F(SampleMenusTest, ANewGameKeepsTheTouchHudsLockAsTheLastGameLeftIt)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    ASSERT_NO_FATAL_FAILURE(play());
    click(200, 560);
    click(kLockX, kControlY);
    click(kLockX, kControlY, 30);
    ASSERT_TRUE(slideOf(*hero())->isEnabled());
    shown()->switchToLinkedScreen("Game Over", 0, 14, 2, 0);
    player.step(2);
    ASSERT_EQ(key(), "GameOver");
    click(568, 256);
    ASSERT_EQ(key(), "HUD");
    click(200, 560);
    ASSERT_EQ(key(), "TouchHUD");
    click(kLockX, kControlY, 30);
    EXPECT_FALSE(slideOf(*hero())->isEnabled()) << "the lock was on: switched off";
    click(kLockX, kControlY, 30);
    EXPECT_TRUE(slideOf(*hero())->isEnabled());
}

// Over the touch HUD, what the HUD has: the game's coins, the magnets of the stock, and a
// pause that Escape presses; resumed, the touch HUD is back.
TEST_F(SampleMenusTest, TheTouchHudPausesOnEscapeAndHasTheHudsCoinsAndMagnets)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    ZqPSettingsController::shared()->setInventoryCount(magnetAsset(), 1);
    ASSERT_NO_FATAL_FAILURE(play());
    click(200, 560);
    ASSERT_EQ(key(), "TouchHUD");
    const ScoreRecord& game = ScoreRegistry::global();
    for (int i = 0; i < 600 && game.coins.session < 1; ++i)
        player.step();
    ASSERT_GE(game.coins.session, 1);
    player.step();
    EXPECT_EQ(scoreText("coins Score"), std::to_string(game.coins.session));
    ASSERT_NE(powerupButton(magnetAsset()->id()), nullptr);
    click(320, 560, 1);
    EXPECT_EQ(magnets(), 0);
    EXPECT_TRUE(field()->powerups().isMagnetActive());

    tap(ZqEditorKey::kEscape);
    EXPECT_EQ(key(), "Pause");
    EXPECT_TRUE(field()->isPaused());
    tap(ZqEditorKey::kEscape);
    EXPECT_EQ(key(), "TouchHUD");
    EXPECT_FALSE(field()->isPaused()) << "the game runs on under the touch HUD";
}

// The news of the second world is told once, when it opens: every later game, in either
// world, ends on a game over that shows that game's distance and coins beside the best of
// all games, the figure the menu shows. The store has the most coins of a game past the
// mark, and the main world's and the second world's best distances below the best of all
// games.
TEST_F(SampleMenusTest, TheNewsOfTheSecondWorldIsToldOnceAndEveryGameEndsOnItsOwnFigures)
{
    writeStore("  <entry key=\"ZqP_Scores\">0: 0 667 667 0 0 0 0 20 20;4:Game 0 200 200 0 0 0 0 0 0;"
               "6:World2 0 243 243 0 0 0 0 0 0;</entry>\n");
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    const ScoreRecord& game = ScoreRegistry::global();
    for (const auto& [secondWorld, ends] : {std::pair{false, "NewWorld"}, std::pair{false, "LaterGameOver"},
                                            std::pair{true, "World2GameOver"}}) {
        SCOPED_TRACE(std::string(ends) + (secondWorld ? " in World 2" : ""));
        if (secondWorld)
            click(250, 140);
        else
            tap(ZqEditorKey::kReturn);
        ASSERT_NE(field(), nullptr);
        EXPECT_EQ(field()->sceneModel()->id(), secondWorld ? 226u : 202u);
        for (int i = 0; i < 600 && game.distance.session < 3.0f; ++i)
            player.step();
        ASSERT_GE(game.distance.session, 3.0f);
        // Ended with the field paused, so that its figures stand.
        shown()->switchToLinkedScreen("Game Over", 0, 14, 0, 0);
        player.step(8);
        ASSERT_EQ(key(), ends);
        const std::string ran = std::to_string(static_cast<int>(game.distance.session));
        const std::string coins = std::to_string(game.coins.session);
        ASSERT_NE(ran, "0");
        EXPECT_EQ(scoreText("distance Score"), ran);
        EXPECT_EQ(scoreText("coins Score"), coins);
        EXPECT_EQ(scoreText("Best Distance"), "667");
        click(568, 128);
        ASSERT_EQ(key(), "Menu");
        EXPECT_EQ(scoreText("best distance Score"), "667");
    }
}

// The news is told at the first game over past the mark alone, whatever the length of the
// frames, and not again in a new run of the program: later game overs, and Escape on them,
// never reach it.
TEST_F(SampleMenusTest, TheNewsOfTheSecondWorldIsToldOnceWhateverTheFramesLastAndAfterARestart)
{
    writeStore("  <entry key=\"ZqP_Scores\">0: 0 667 667 0 0 0 0 20 20;</entry>\n");
    std::vector<std::string> shownKeys;
    player.afterStep = [&] {
        if (shownKeys.empty() || shownKeys.back() != key())
            shownKeys.push_back(key());
    };
    const auto gameOver = [&] {
        ASSERT_NO_FATAL_FAILURE(play());
        shownKeys.clear();
        shown()->switchToLinkedScreen("Game Over", 0, 14, 0, 0);
        player.step(10);
    };
    bool told = false;
    for (const float step : {1.0f / 30.0f, 1.0f / 10.0f}) {
        SCOPED_TRACE(step);
        player.frameStep = step;
        ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
        for (int game = 0; game < 2; ++game) {
            SCOPED_TRACE(game);
            ASSERT_NO_FATAL_FAILURE(gameOver());
            ASSERT_EQ(key(), told ? "LaterGameOver" : "NewWorld");
            if (std::exchange(told, true)) {
                tap(ZqEditorKey::kEscape);
                player.step(10);
                EXPECT_EQ(std::count(shownKeys.begin(), shownKeys.end(), "NewWorld"), 0);
            }
            click(568, 128);
            ASSERT_EQ(key(), "Menu");
        }
        player.stop();
    }
}

// The character screen shows the runner beside the hero, still locked, as its figure in
// greys with a padlock beside its head and its price under its feet; a click on it, on the
// side away from the hero too, turns the row to it, shown but not chosen.
TEST_F(SampleMenusTest, TheCharacterScreenShowsTheLockedRunnerAndItsPriceAndAClickShowsIt)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    click(886, 256, 30);
    ASSERT_EQ(key(), "Characters");
    // The runner stands a spread (220) right of the middle: its padlock's body and the coin
    // of its price.
    const zqmedia::Rgba gold = zqpictures::kPadlockGold, coin = zqpictures::kCoinGold;
    EXPECT_EQ(colourAt(player, 823, 349), (std::array<int, 3>{gold.r, gold.g, gold.b}));
    EXPECT_EQ(colourAt(player, 772, 237), (std::array<int, 3>{coin.r, coin.g, coin.b}));
    ZqPObjectCharacterSelector* selector = shown()->findCharacterSelector();
    ASSERT_NE(selector, nullptr);
    ASSERT_EQ(selector->currentIndex(), 0);
    click(826, 300, 30);
    EXPECT_EQ(selector->currentIndex(), 1);
    EXPECT_EQ(ZqPSettingsController::shared()->selectedCharacter(), 0);
}

} // namespace
