// Lives, checkpoints and game over on a generated game played through the navigator: a
// menu with music, a world whose HUD may hold a game-over observer, a game-over screen
// with the checkpoint restart, and a scene with a start section and a section holding a
// character of its own and a checkpoint. Characters die by request; gravity is off, so
// nothing else kills them.
#include "ui_screen_support.h"

#include "app/ScoreRegistry.h"
#include "model/archive_test_util.h"
#include "model/loading/ZqModelLoader.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/ZqPObjectText.h"
#include "objects/ZqSwitchStates.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqPScreenUi.h"
#include "screens/ZqScreenWiring.h"
#include "tools/ZqGameBuilder.h"

#include <ZqLog.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

namespace {

using cocos2d::CCPoint;

constexpr unsigned kStartSection = 401, kNextSection = 402;
constexpr unsigned kHero = 601, kCheckpoint = 602, kHealth = 701, kMusic = 1301, kFont = 1401;
constexpr float kSectionWidth = 1136.0f;
// Where the checkpoint lies in the next section, and so in the field when that section is
// the first placed after the start section.
const CCPoint kCheckpointInSection(600.0f, 300.0f);
const CCPoint kCheckpointAt(kSectionWidth + 600.0f, 300.0f);

struct GameOptions {
    bool observer = true;
    bool stopMusic = true;
    float lives = 3.0f;
};

// On the design size of the generated game, with its media written.
class FieldGameOverTest : public UiScreenTest {
protected:
    cocos2d::CCSize viewSize() const override { return cocos2d::CCSize(1136, 640); }

    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ZqSwitchStates::clear();
        UiScreenTest::SetUp();
        zqInstallScreenAnswers();
    }

    void TearDown() override
    {
        UiScreenTest::TearDown();
        ScoreRegistry::clear();
        ZqSwitchStates::clear();
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");
    }

    void makeGame(const GameOptions& options = {})
    {
        ZqModelController& controller = *ZqModelController::shared();
        ZqGameBuilder::startGame(controller, "Field Game Over");
        ZqGameBuilder game;
        game.sound(kMusic, "Music", 0.5);
        game.font(kFont, "Font", 16);
        auto start = game.startNode(2, 3);
        auto menu = game.interfaceNode(101, 201, "Menu", 100.0f);
        auto world = game.worldNode(102, 202, "Game", 200.0f);
        auto over = game.interfaceNode(103, 203, "GameOver", 300.0f);
        auto hud = game.interfaceNode(104, 204, "HUD", 200.0f);
        menu->screen()->m_music->setValue(game.at<ZqModelSound>(kMusic), true);
        ZqGameBuilder::link(*start, "Load", *menu);
        ZqGameBuilder::link(*world, "UI", *hud);
        // On the world node: the HUD's observer finds it there.
        ZqGameBuilder::link(*world, "Game Over", *over);
        game.button(301, "Play", *menu, world.get(), 0, CCPoint(568, 320));
        game.button(302, "Pause", *hud, nullptr, 0, CCPoint(80, 560))->m_action->setValue("kPauseButton", true);
        std::shared_ptr<ZqModelObjectLabel> text = game.label(303, "AB", kFont, CCPoint(568, 600));
        text->m_action->setValue("kCustomVector", true);
        hud->screen()->addChild(text, true);
        if (options.observer)
            game.observer(304, "Game Over", *hud, "kGameOver");
        game.button(305, "Continue", *over, nullptr, 0, CCPoint(568, 320))
            ->m_action->setValue("kRestartCheckpointButton", true);
        std::shared_ptr<ZqModelObjectButton> again = game.button(306, "Again", *over, nullptr, 0, CCPoint(568, 150));
        again->m_action->setValue("kBackToButton", true);
        again->m_backToWorld->setValue("Game", true);

        auto scene = game.at<ZqModelScreenScene>(202);
        scene->m_gravity->setValue(CCPoint(0.0f, 0.0f), true);
        scene->m_stopBgmOnDeath->setValue(options.stopMusic, true);
        auto first = game.section(kStartSection, "Start", *scene, kSectionWidth, 0.0f, true);
        auto next = game.section(kNextSection, "Next", *scene, kSectionWidth, 0.0f, false);
        auto hero = game.make<ZqModelAssetCharacter>(kHero, "Hero");
        hero->m_collisionShape->setValue(game.boxShape(801, "Hero Shape", 40.0f, 40.0f), true);
        hero->m_gameOverDelay->setValue(1.0f, true);
        game.health(kHealth, "Hero Health", *hero, 1.0f, options.lives);
        auto checkpoint = game.make<ZqModelAssetPowerup>(kCheckpoint, "Checkpoint");
        checkpoint->m_collisionShape->setValue(game.boxShape(802, "Checkpoint Shape", 40.0f, 40.0f), true);
        checkpoint->m_powerupType->setValue("kPowerupCheckpoint", true);
        checkpoint->m_appearanceChance->setValue(100.0f, true);
        first->addChild(game.character(501, "Hero", kHero, CCPoint(200.0f, 300.0f)), true);
        next->addChild(game.character(511, "Next Hero", kHero, CCPoint(300.0f, 300.0f)), true);
        next->addChild(game.powerup(512, "Checkpoint", kCheckpoint, kCheckpointInSection), true);

        game.addTo(controller);
        game.writeMedia(dir.path().string() + "/data");
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(dir.path().string() + "/");
        // Loaded as the program loads it, so that progress saves.
        ZqModelLoader::shared()->nextPhase();
        ZqModelLoader::shared()->nextPhase();
    }

    // From the menu, Play with its start mode; frames until the start section's hero is made.
    void play(int startMode = 14)
    {
        navigator()->currentUiScreen()->switchToLinkedScreen("Play", 0, startMode, 2, 0);
        for (int i = 0; i < 5; ++i)
            frame();
        ASSERT_NE(field(), nullptr);
    }
    // Frames until line is logged (at most limit); the frames it took.
    int framesUntil(const std::string& line, int limit = 200)
    {
        const auto logged = [&] { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
        int frames = 0;
        for (; frames < limit && !logged(); ++frames)
            frame();
        return frames;
    }

    static ZqPScreenNavigator* navigator() { return ZqPScreenNavigator::shared(); }
    static ZqPScreenScene* field() { return navigator()->currentGameScene(); }
    std::string shownKey() const { return shown() ? shown()->screenModel()->key() : std::string(); }
    static std::shared_ptr<ZqModelComponentHealth> health()
    {
        return ZqModelController::shared()->getModel<ZqModelComponentHealth>(kHealth);
    }
    // The characters in the field's camera that are not removed.
    static std::vector<ZqPObjectAsset*> characters()
    {
        std::vector<ZqPObjectAsset*> found;
        for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
            auto* object = dynamic_cast<ZqPObjectAsset*>(child);
            if (object && (object->objectType() & ZqPObject::kTypeCharacter) && object->state() < 5)
                found.push_back(object);
        }
        return found;
    }
    static void killHero()
    {
        ASSERT_EQ(characters().size(), 1u);
        characters()[0]->requestDestroy();
    }
    // Presses the button of the screen shown whose "Action" is action.
    static void press(ZqButtonAction action)
    {
        ZqPObjectButton* button = navigator()->currentUiScreen()->findButton(action);
        ASSERT_NE(button, nullptr) << int(action);
        button->activate();
    }
    // The best distance of the "Game" record in the store file on disk; -1 when there is none.
    static float storedBestDistance()
    {
        std::ifstream file(cocos2d::CCUserDefault::getXMLFilePath(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::smatch found;
        if (!std::regex_search(text, found, std::regex("4:Game [^ ;]+ ([^ ;]+)")))
            return -1.0f;
        return std::stof(found[1]);
    }

    archive_test::TempDir dir;
};

// Three lives: two deaths restore the field at the checkpoint, the third ends the game
// through the HUD's observer, and the game-over screen's checkpoint restart plays on.
TEST_F(FieldGameOverTest, LivesRestoreAtTheCheckpointAndTheLastEndsTheGameThroughTheObserver)
{
    makeGame();
    show("Menu");
    ASSERT_NE(ZqScreenMusic::shared().current(), nullptr);
    play();
    ZqPScreenScene* running = field();
    ASSERT_EQ(characters().size(), 1u) << "the next section's own character goes";
    EXPECT_EQ(health()->currentLives, 3) << "filled on entering";
    ZqPScreenUi* hud = running->overlay();
    ASSERT_NE(hud, nullptr);
    hud->retain();

    ScoreRegistry::current().points.add(25);
    running->saveCheckpoint(kNextSection, kCheckpointAt);
    const ZqPSettingsController::Checkpoint* kept = running->restarts().checkpoint();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->index, static_cast<int>(kNextSection));
    EXPECT_FLOAT_EQ(kept->sectionDistance, kSectionWidth) << "where that section was placed";
    EXPECT_FLOAT_EQ(kept->distance, kCheckpointAt.x);
    ASSERT_TRUE(kept->snapshot);
    EXPECT_EQ(kept->snapshot->points, 25);
    ScoreRegistry::current().points.add(100);
    ZqPObjectText* text = nullptr;
    for (cocos2d::CCObject* object : *hud->uiObjects())
        text = text ? text : dynamic_cast<ZqPObjectText*>(object);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(text->label(), nullptr);

    for (int lifeLost = 1; lifeLost <= 2; ++lifeLost) {
        SCOPED_TRACE(lifeLost);
        text->label()->setString("BA");
        killHero();
        const std::string line = "[ZqPScreenScene] lives left: " + std::to_string(3 - lifeLost);
        const int frames = framesUntil(line);
        EXPECT_GE(frames, 60) << "a second of the hero's game-over delay";
        EXPECT_LE(frames, 62);
        frame();
        EXPECT_EQ(field(), running) << "the same field";
        ASSERT_EQ(characters().size(), 1u);
        EXPECT_LT(characters()[0]->getPosition().getDistance(kCheckpointAt), 1.0f) << "the hero at the checkpoint";
        EXPECT_EQ(ZqPInputController::shared()->characterList().size(), 1u);
        EXPECT_GT(running->cameraDistance(), 0.0f) << "the view opens on the checkpoint";
        EXPECT_EQ(ScoreRegistry::current().points.session, 25) << "from the snapshot";
        EXPECT_EQ(ScoreRegistry::current().points.best, 125);
        EXPECT_EQ(health()->currentLives, 3 - lifeLost);
        EXPECT_STREQ(text->label()->getString(), "AB") << "the overlay's texts reset";
        EXPECT_FALSE(running->isGameOver());
        EXPECT_NE(ZqScreenMusic::shared().current(), nullptr) << "a lost life keeps the music";
    }

    ZqSwitchStates::store(health().get(), true);
    killHero();
    framesUntil("[ZqPScreenScene] game over");
    EXPECT_TRUE(running->isGameOver());
    EXPECT_EQ(health()->currentLives, 0);
    EXPECT_FALSE(hud->buttonsEnabled());
    EXPECT_EQ(ZqScreenMusic::shared().current(), nullptr) << "Stop BGM on Death";
    hud->release();
    framesUntil("[ZqPObjectEventObserver] Got Game OVER in observer", 5);
    frame();
    EXPECT_EQ(shownKey(), "GameOver");
    EXPECT_EQ(navigator()->history().back(), "GameOver");
    EXPECT_EQ(field(), running) << "shown over the field";
    running->pause(nullptr);
    EXPECT_EQ(shownKey(), "GameOver") << "no pause once over";

    // The checkpoint restart: the switch states go, the field plays on at the checkpoint
    // with its lives refilled, under the HUD again.
    ZqPObjectButton* restart = navigator()->currentUiScreen()->findButton(kButtonRestartCheckpoint);
    ASSERT_NE(restart, nullptr);
    restart->activate();
    EXPECT_EQ(ZqSwitchStates::size(), 0u);
    EXPECT_FALSE(running->isGameOver());
    EXPECT_EQ(shownKey(), "HUD");
    frame();
    ASSERT_EQ(characters().size(), 1u);
    EXPECT_LT(characters()[0]->getPosition().getDistance(kCheckpointAt), 1.0f);
    EXPECT_EQ(health()->currentLives, 3);
    EXPECT_TRUE(navigator()->currentUiScreen()->buttonsEnabled());
}

// Without an observer the game ends on the menu the field was entered from; a scene that
// does not stop the music keeps it.
TEST_F(FieldGameOverTest, WithoutAnObserverTheMenuReturns)
{
    makeGame({.observer = false, .stopMusic = false, .lives = 1.0f});
    show("Menu");
    play();
    killHero();
    framesUntil("[ZqPScreenScene] game over");
    EXPECT_EQ(navigator()->currentKey(), "Menu");
    frame();
    EXPECT_EQ(field(), nullptr);
    EXPECT_EQ(shownKey(), "Menu");
    EXPECT_NE(ZqScreenMusic::shared().current(), nullptr);
    EXPECT_TRUE(ZqPInputController::shared()->characterList().empty());
}

// A character alive again before the wait ends (a restart made a new one) starts the
// wait over; the full restart refills the lives and drops the checkpoint.
TEST_F(FieldGameOverTest, AFullRestartRefillsTheLivesAndDropsTheCheckpoint)
{
    makeGame();
    show("Menu");
    play();
    field()->saveCheckpoint(kNextSection, kCheckpointAt);
    killHero();
    framesUntil("[ZqPScreenScene] lives left: 2");
    frame();
    ASSERT_EQ(health()->currentLives, 2);

    killHero();
    for (int i = 0; i < 30; ++i)
        frame();
    field()->restarts().request(10);
    frame();
    EXPECT_EQ(health()->currentLives, 2) << "scores and lives kept";
    EXPECT_LT(characters()[0]->getPosition().getDistance(kCheckpointAt), 1.0f) << "from the checkpoint";
    for (int i = 0; i < 45; ++i)
        frame();
    EXPECT_EQ(health()->currentLives, 2) << "the wait started over with the new hero";

    field()->restarts().request(14);
    frame();
    EXPECT_EQ(health()->currentLives, 3);
    EXPECT_EQ(field()->restarts().checkpoint(), nullptr);
    ASSERT_EQ(characters().size(), 1u);
    EXPECT_LT(characters()[0]->getPosition().getDistance(CCPoint(200.0f, 300.0f)), 1.0f) << "the start build";
}

// Back-to the field's own world: over a running game the overlay comes back and the game
// plays on as it was; over a finished one the field is built again, with a live hero and
// a game that can end again.
TEST_F(FieldGameOverTest, BackToTheWorldRestartsAFinishedGameOnly)
{
    makeGame({.lives = 1.0f});
    show("Menu");
    play();
    ZqPScreenScene* running = field();
    ASSERT_TRUE(navigator()->pushScreen("Game Over", false));
    running->rebuildOverlay();
    frame();
    ASSERT_EQ(shownKey(), "GameOver");
    ZqPObjectAsset* hero = characters().at(0);
    press(kButtonBackTo);
    frame();
    EXPECT_EQ(shownKey(), "HUD");
    EXPECT_EQ(field(), running);
    ASSERT_EQ(characters().size(), 1u);
    EXPECT_EQ(characters()[0], hero) << "no restart of a running game: a restart makes its hero anew";

    killHero();
    framesUntil("[ZqPScreenScene] game over");
    framesUntil("[ZqPObjectEventObserver] Got Game OVER in observer", 5);
    frame();
    ASSERT_EQ(shownKey(), "GameOver");
    ASSERT_TRUE(running->isGameOver());
    press(kButtonBackTo);
    frame();
    EXPECT_EQ(shownKey(), "HUD");
    EXPECT_EQ(field(), running);
    EXPECT_FALSE(running->isGameOver());
    ASSERT_EQ(characters().size(), 1u) << "a hero again";
    EXPECT_LT(characters()[0]->getPosition().getDistance(CCPoint(200.0f, 300.0f)), 1.0f) << "the start build";
    EXPECT_EQ(health()->currentLives, 1);
    EXPECT_TRUE(navigator()->currentUiScreen()->buttonsEnabled());

    lines.clear();
    killHero();
    EXPECT_LT(framesUntil("[ZqPScreenScene] game over"), 200) << "the new game ends too";
}

// A finished game's scores reach the disk when it ends, and a game left for a menu when
// it is left: a run killed after either keeps them.
TEST_F(FieldGameOverTest, ProgressIsSavedWhenTheGameEndsAndWhenTheFieldIsLeft)
{
    makeGame({.lives = 1.0f});
    show("Menu");
    play();
    ScoreRegistry::current().distance.add(4242.5f);
    killHero();
    framesUntil("[ZqPScreenScene] game over");
    EXPECT_EQ(storedBestDistance(), 4242.5f);

    press(kButtonBackTo);
    frame();
    ASSERT_FALSE(field()->isGameOver());
    ScoreRegistry::current().distance.add(5000.0f);
    navigator()->currentUiScreen()->switchToLinkedScreen("Menu", 0, 14, 2, 0);
    EXPECT_EQ(storedBestDistance(), 5000.0f + 4242.5f) << "the session goes on after the back-to";
    frame();
    EXPECT_EQ(shownKey(), "Menu");
}

// The stored checkpoint survives a reload of the progress, a fresh field with start mode 0
// starts there, and an entry of the first form gives the start build.
TEST_F(FieldGameOverTest, AStoredCheckpointStartsAFreshFieldAndAFirstFormEntryTheStart)
{
    makeGame();
    show("Menu");
    play();
    ScoreRegistry::current().coins.add(7);
    field()->saveCheckpoint(kNextSection, kCheckpointAt);
    ZqPSettingsController::purgeShared();
    ZqPSettingsController::shared()->load();
    ASSERT_NE(ZqPSettingsController::shared()->checkpoint("Game"), nullptr);
    ScoreRegistry::current().coins.add(50);

    show("Menu");
    EXPECT_EQ(field(), nullptr);
    play(0);
    ASSERT_EQ(characters().size(), 1u);
    EXPECT_LT(characters()[0]->getPosition().getDistance(kCheckpointAt), 1.0f);
    EXPECT_EQ(ScoreRegistry::current().coins.session, 7);

    ZqPSettingsController::Checkpoint firstForm;
    firstForm.index = static_cast<int>(kNextSection);
    firstForm.distance = kCheckpointAt.x;
    firstForm.indexOnly = true;
    ZqPSettingsController::shared()->setCheckpoint("Game", firstForm);
    field()->restarts().request(8);
    frame();
    ASSERT_EQ(characters().size(), 1u);
    EXPECT_LT(characters()[0]->getPosition().getDistance(CCPoint(200.0f, 300.0f)), 1.0f);
}

// The next-checkpoint search sees the checkpoints still waiting in the creation queue, at
// their placed positions.
TEST_F(FieldGameOverTest, TheNextCheckpointIsFoundInTheCreationQueue)
{
    makeGame();
    show("Menu");
    play();
    auto next = ZqModelController::shared()->getModel<ZqModelLevelSection>(kNextSection);
    field()->sections().add(next, 5000.0f, static_cast<int>(kNextSection));
    field()->sections().add(next, 9000.0f, static_cast<int>(kNextSection));
    ASSERT_GT(field()->sections().queued().size(), 0u);
    field()->activateCheckpoint();
    ASSERT_NE(field()->restarts().checkpoint(), nullptr);
    EXPECT_FLOAT_EQ(field()->restarts().checkpoint()->position.x, kCheckpointAt.x) << "the made one is nearer";
    for (ZqPObjectAsset* object : characters())
        object->setPosition(CCPoint(3000.0f, 300.0f));
    field()->activateCheckpoint();
    EXPECT_FLOAT_EQ(field()->restarts().checkpoint()->position.x, 5600.0f) << "the queued one ahead";
    EXPECT_FLOAT_EQ(field()->restarts().checkpoint()->sectionDistance, 5000.0f);
}

} // namespace
