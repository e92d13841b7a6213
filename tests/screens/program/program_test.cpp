// The program as a player meets it, in-process on the headless player: the design
// resolution through resizes and fullscreen switches, the fullscreen message, the road of
// keys and pads, the background, the end, the sample's field played, and bad game data.
#include "screens/program/headless_player.h"

#include "app/ScoreRegistry.h"
#include "model/GameplayParameters.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/archive_test_util.h"
#include "objects/CCParallaxScrollNode.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/assets/ZqPObjectAssetLight.h"
#include "objects/assets/ZqPObjectAssetParticles.h"
#include "objects/assets/ZqPObjectAssetTrail.h"
#include "objects/ZqPObjectBackgroundLayer.h"
#include "screens/field/ZqPScreenScene.h"
#include "model/scene/ZqNode.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqGameBuilder.h"
#include "screens/buttons/ZqPObjectButtonJoystick.h"
#include "screens/ZqPScreenUi.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "tools/ZqSampleGame.h"
#include "tools/media_game_support.h"

#include "audio/AudioEngine.h"
#include "audio/SimpleAudioEngine.h"

#include <ZqClock.h>
#include <ZqLog.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

using archive_test::TempDir;
using Settings = ZqModelGeneralSettings;

namespace {

// The sample hero's lives.
constexpr int kSampleLives = 3;

// Counts what reaches it: the keypad's back, and the notifications of an action.
class Listener : public cocos2d::CCObject, public cocos2d::CCKeypadDelegate {
public:
    void keyBackClicked() override { ++backs; }
    void notified(cocos2d::CCObject*) { ++notifications; }
    void tick(float) { ++ticks; }
    int backs = 0;
    int notifications = 0;
    int ticks = 0;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        zqSetLogSink([this](const char* line) { lines.emplace_back(line); });
    }
    void TearDown() override
    {
        if (listener) {
            ZqPInputController::shared()->unsubscribe(listener);
            cocos2d::CCDirector::sharedDirector()->getKeypadDispatcher()->removeDelegate(listener);
            listener->release();
        }
        player.stop();
        HeadlessPlayer::purgeMedia();
        zqSetLogSink({});
    }

    // The media game (start screen, menu, game field) with the given window settings,
    // written below the test's directory.
    void writeGame(Settings::Orientation orientation = Settings::Orientation::kLandscape,
                   Settings::ScreenAdjustment adjustment = Settings::ScreenAdjustment::kNoBorder, bool archive = false)
    {
        ZqModelController& controller = *ZqModelController::shared();
        ZqDataWriter::Options options;
        options.media = media_game::build(controller, game.file("media-made"));
        const auto settings = Settings::shared();
        ZqGameBuilder::set<Settings::ZqAttributeOrientation>(*settings, "Orientation", orientation);
        ZqGameBuilder::set<Settings::ZqAttributeScreenAdjustment>(*settings, "Screen Adjustment", adjustment);
        options.plainFiles = !archive;
        options.archive = archive;
        ZqDataWriter(controller, options).write(game.file("data"));
        controller.reset();
    }

    void start(int width = 1136, int height = 640)
    {
        HeadlessPlayer::Options options;
        options.gameDirectory = game.path().string();
        options.storeDirectory = store.path().string();
        options.width = width;
        options.height = height;
        std::string error;
        ASSERT_TRUE(player.start(options, &error)) << error;
    }

    // The sample game written and started, a few frames into its menu.
    void startSampleOnItsMenu()
    {
        ZqSampleGame::write(*ZqModelController::shared(), game.file("data"), ZqDataWriter::Options());
        ZqModelController::shared()->reset();
        start();
        for (int i = 0; i < 600 && ZqPScreenNavigator::shared()->currentKey() != "Menu"; ++i)
            player.step();
        ASSERT_EQ(ZqPScreenNavigator::shared()->currentKey(), "Menu");
        player.step(5);
    }

    // Return pressed and released, a few frames on.
    void pressReturn()
    {
        player.keyDown(ZqEditorKey::kReturn);
        player.step();
        player.keyUp(ZqEditorKey::kReturn);
        player.step(3);
    }

    void pressEscape()
    {
        player.keyDown(ZqEditorKey::kEscape);
        player.step();
        player.keyUp(ZqEditorKey::kEscape);
        player.step();
    }
    // A click at window pixels from the top left, two frames on.
    void click(int x, int y)
    {
        player.touch(SDL_MOUSEBUTTONDOWN, x, y);
        player.touch(SDL_MOUSEBUTTONUP, x, y);
        player.step(2);
    }

    void listen()
    {
        listener = new Listener();
        cocos2d::CCDirector::sharedDirector()->getKeypadDispatcher()->addDelegate(listener);
        ZqPInputController::shared()->subscribe(ZqPInputController::kJump, listener,
                                                callfuncO_selector(Listener::notified), 0);
    }

    static bool held(int action) { return ZqPInputController::shared()->isHeld(action); }

    // The first node of type T below node, depth first.
    template <class T>
    static T* findBelow(cocos2d::CCNode* node)
    {
        if (auto* found = dynamic_cast<T*>(node))
            return found;
        if (!node->getChildren())
            return nullptr;
        for (cocos2d::CCObject* child : *node->getChildren()) {
            if (T* found = findBelow<T>(static_cast<cocos2d::CCNode*>(child)))
                return found;
        }
        return nullptr;
    }

    // The sum of a point's red, green and blue on the last frame (x, y from the bottom left).
    int brightness(cocos2d::CCPoint at)
    {
        const std::vector<unsigned char> rgba =
            player.view().readPixels(static_cast<int>(at.x), static_cast<int>(at.y), 1, 1);
        return rgba.size() < 4 ? -1 : rgba[0] + rgba[1] + rgba[2];
    }

    // The store file's text.
    std::string storeText() const
    {
        std::ifstream in(cocos2d::CCUserDefault::getXMLFilePath());
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    TempDir game;
    TempDir store;
    HeadlessPlayer player;
    Listener* listener = nullptr;
    std::vector<std::string> lines;
};

struct PolicyCase {
    Settings::Orientation orientation;
    int width, height;
    cocos2d::ResolutionPolicy policy;
};

TEST_F(ProgramTest, LaunchResizeAndFullscreenPickThePolicyFromTheWindowsShape)
{
    using cocos2d::kResolutionFixedHeight;
    using cocos2d::kResolutionFixedWidth;
    constexpr auto kLandscape = Settings::Orientation::kLandscape;
    constexpr auto kPortrait = Settings::Orientation::kPortrait;
    // "Screen Adjustment" 3: fixed width or height by the window's ratio, 1.77 the edge.
    const PolicyCase cases[] = {
        {kLandscape, 1920, 1080, kResolutionFixedHeight}, {kLandscape, 1024, 768, kResolutionFixedWidth},
        {kLandscape, 1770, 1000, kResolutionFixedHeight}, {kPortrait, 1080, 1920, kResolutionFixedWidth},
        {kPortrait, 768, 1024, kResolutionFixedHeight},   {kPortrait, 1000, 1770, kResolutionFixedWidth},
    };
    for (const Settings::Orientation orientation : {kLandscape, kPortrait}) {
        SCOPED_TRACE(static_cast<int>(orientation));
        writeGame(orientation, Settings::ScreenAdjustment::kByAspect);
        const bool landscape = orientation == kLandscape;
        // Launch on one shape, then the window takes the others.
        start(landscape ? 1024 : 768, landscape ? 768 : 1024);
        for (const PolicyCase& shape : cases) {
            if (shape.orientation != orientation)
                continue;
            SCOPED_TRACE(std::to_string(shape.width) + "x" + std::to_string(shape.height));
            player.resizeWindow(shape.width, shape.height);
            player.step();
            EXPECT_EQ(player.view().getResolutionPolicy(), shape.policy);
            // The design size keeps the fixed side of the orientation's 1136 x 640.
            const cocos2d::CCSize design = player.view().getDesignResolutionSize();
            if (shape.policy == kResolutionFixedHeight)
                EXPECT_FLOAT_EQ(design.height, landscape ? 640.0f : 1136.0f);
            else
                EXPECT_FLOAT_EQ(design.width, landscape ? 1136.0f : 640.0f);
        }
        // Fullscreen: the desktop's shape decides.
        ZqServices::shared()->setFullscreen(true);
        player.step(2);
        ASSERT_TRUE(player.view().isFullscreen());
        EXPECT_EQ(player.view().getResolutionPolicy(),
                  Settings::resolutionPolicy(3, static_cast<int>(orientation), player.view().getFrameSize()));
        player.stop();
    }
    // The other adjustments do not look at the window.
    writeGame(kLandscape, Settings::ScreenAdjustment::kFixedWidth);
    start(1024, 768);
    EXPECT_EQ(player.view().getResolutionPolicy(), kResolutionFixedWidth);
    player.resizeWindow(1920, 1080);
    player.step();
    EXPECT_EQ(player.view().getResolutionPolicy(), kResolutionFixedWidth);
}

TEST_F(ProgramTest, TheFullscreenMessageSavesTheStoreBeforeItSwitches)
{
    writeGame();
    start();
    ASSERT_TRUE(player.loadGame());
    // What a screen's go-fullscreen does: the flag, then the message.
    ZqPSettingsController::shared()->setFullscreen(true);
    ZqServices::shared()->setFullscreen(true);
    EXPECT_FALSE(player.view().isFullscreen());
    player.step();
    EXPECT_TRUE(player.view().isFullscreen());
    const auto saved = std::find(lines.begin(), lines.end(), "[ZqPSettingsController] - save");
    const auto switched = std::find(lines.begin(), lines.end(), "[ZqPAppDelegate] fullscreen");
    EXPECT_LT(saved, switched);
    EXPECT_NE(switched, lines.end());
    EXPECT_NE(storeText().find("<entry key=\"ZqP_fullscreen\">true</entry>"), std::string::npos);

    // The next run opens fullscreen.
    player.stop();
    start();
    EXPECT_TRUE(player.view().isFullscreen());
}

TEST_F(ProgramTest, KeysAndPadsMakeActionsThatEndWithTheirLastHolder)
{
    writeGame();
    start();
    listen();
    // An unbound key does nothing; a bound one makes its action; a repeat keeps it one.
    player.keyDown('Q');
    player.keyDown('J');
    player.keyDown('J');
    EXPECT_TRUE(held(ZqPInputController::kJump));
    EXPECT_EQ(listener->notifications, 1);
    player.keyUp('J');
    EXPECT_FALSE(held(ZqPInputController::kJump));
    player.keyUp('Q');

    // Keyboard and pad on one direction: the action ends once both let go.
    player.keyDown(ZqEditorKey::kUp);
    player.input().padButton(3, 12, true);
    player.keyUp(ZqEditorKey::kUp);
    EXPECT_TRUE(held(ZqPInputController::kUp));
    player.input().padButton(3, 12, false);
    EXPECT_FALSE(held(ZqPInputController::kUp));

    // A hat's diagonal is two directions; two pads are two holders.
    player.input().padHat(3, 0, ZqInputEventSink::kHatDown | ZqInputEventSink::kHatLeft);
    player.input().padButton(4, 14, true);
    EXPECT_TRUE(held(ZqPInputController::kDown));
    EXPECT_TRUE(held(ZqPInputController::kLeft));
    player.input().padHat(3, 0, ZqInputEventSink::kHatDown);
    EXPECT_FALSE(held(ZqPInputController::kLeft));
    player.input().padHat(3, 0, ZqInputEventSink::kHatCentred);
    EXPECT_TRUE(held(ZqPInputController::kDown));
    // A pad that leaves lets go of what it held.
    player.input().padButton(4, 1, true);
    player.input().padRemoved(4);
    EXPECT_FALSE(held(ZqPInputController::kDown));
    EXPECT_FALSE(held(ZqPInputController::kShoot));

    // Losing the focus lets go of everything; the keys still down start nothing on release.
    player.keyDown('J');
    player.input().padButton(3, 13, true);
    player.windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    player.step();
    EXPECT_FALSE(held(ZqPInputController::kJump));
    EXPECT_FALSE(held(ZqPInputController::kRight));
    player.keyUp('J');
    player.input().padButton(3, 13, false);
    player.windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    player.step();
    player.keyDown('J');
    EXPECT_TRUE(held(ZqPInputController::kJump));
    // A key whose release went with the focus starts its action at its next press.
    player.windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    player.step();
    player.windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    player.step();
    EXPECT_FALSE(held(ZqPInputController::kJump));
    player.keyDown('J');
    EXPECT_TRUE(held(ZqPInputController::kJump));
}

TEST_F(ProgramTest, AKeysReleaseEndsWhatItsPressStartedWhateverTheBindingsBecame)
{
    writeGame();
    start();
    listen();
    // Jump moves to K while J is down: J's release still ends the jump, K's press starts it.
    player.keyDown('J');
    ZqGameBuilder::set<ZqAttributeKey>(*Settings::shared(), "Jump Key", static_cast<int>('K'));
    player.keyUp('J');
    EXPECT_FALSE(held(ZqPInputController::kJump));
    player.keyDown('K');
    EXPECT_TRUE(held(ZqPInputController::kJump));
    player.keyUp('K');
    EXPECT_FALSE(held(ZqPInputController::kJump));

    // A key rebound from one action to another while down ends the first, starts nothing.
    player.keyDown('K');
    ZqGameBuilder::set<ZqAttributeKey>(*Settings::shared(), "Jump Key", static_cast<int>('J'));
    ZqGameBuilder::set<ZqAttributeKey>(*Settings::shared(), "Shoot Key", static_cast<int>('K'));
    player.keyUp('K');
    EXPECT_FALSE(held(ZqPInputController::kJump));
    EXPECT_FALSE(held(ZqPInputController::kShoot));
}

TEST_F(ProgramTest, StickValuesPastTheDeadZoneKeepTheWholeRange)
{
    EXPECT_EQ(ZqPInputEventHandler::withDeadZone(0.0f), 0.0f);
    EXPECT_EQ(ZqPInputEventHandler::withDeadZone(0.2f), 0.0f);
    EXPECT_EQ(ZqPInputEventHandler::withDeadZone(-0.19f), 0.0f);
    EXPECT_FLOAT_EQ(ZqPInputEventHandler::withDeadZone(0.6f), 0.5f);
    EXPECT_FLOAT_EQ(ZqPInputEventHandler::withDeadZone(-1.0f), -1.0f);
    EXPECT_FLOAT_EQ(ZqPInputEventHandler::withDeadZone(1.0f), 1.0f);
}

TEST_F(ProgramTest, ButtonsTakeTheirKeysFirstAndEscapeAndAltEnterYieldToThem)
{
    writeGame();
    start();
    ASSERT_TRUE(player.loadGame());
    listen();
    std::vector<std::string> buttonKeys;
    int claimed = 'J';
    ZqPInputEventHandler::ScreenHooks hooks;
    hooks.buttonKey = [&buttonKeys, &claimed](int key, bool pressed) {
        if (key != claimed)
            return false;
        buttonKeys.push_back(std::to_string(key) + (pressed ? "+" : "-"));
        return true;
    };
    player.app().inputHandler().setScreenHooks(hooks);

    // A bound button consumes its key: no action.
    player.keyDown('J');
    EXPECT_FALSE(held(ZqPInputController::kJump));
    player.keyUp('J');
    EXPECT_EQ(buttonKeys, (std::vector<std::string>{"74+", "74-"}));

    // Escape claimed by a button goes nowhere else; unclaimed it runs one back.
    claimed = ZqEditorKey::kEscape;
    player.keyDown(ZqEditorKey::kEscape);
    player.keyUp(ZqEditorKey::kEscape);
    EXPECT_EQ(listener->backs, 0);
    claimed = 0;
    player.keyDown(ZqEditorKey::kEscape);
    player.keyDown(ZqEditorKey::kEscape);
    player.keyUp(ZqEditorKey::kEscape);
    EXPECT_EQ(listener->backs, 1);

    // Alt+Enter switches and stores the flag; Return, bound to jump here, sees nothing.
    ZqGameBuilder::set<ZqAttributeKey>(*Settings::shared(), "Jump Key", static_cast<int>(ZqEditorKey::kReturn));
    player.keyDown(ZqEditorKey::kAlt);
    player.keyDown(ZqEditorKey::kReturn);
    EXPECT_FALSE(held(ZqPInputController::kJump));
    player.keyUp(ZqEditorKey::kReturn);
    player.keyUp(ZqEditorKey::kAlt);
    EXPECT_EQ(listener->notifications, 0);
    EXPECT_TRUE(ZqPSettingsController::shared()->isFullscreen());
    player.step();
    EXPECT_TRUE(player.view().isFullscreen());
    player.keyDown(ZqEditorKey::kAlt);
    player.keyDown(ZqEditorKey::kEnter);
    player.keyUp(ZqEditorKey::kEnter);
    player.keyUp(ZqEditorKey::kAlt);
    player.step();
    EXPECT_FALSE(player.view().isFullscreen());
    EXPECT_EQ(player.posted, (std::vector<std::pair<int, intptr_t>>{{ZqServices::kMessageFullscreen, 1},
                                                                     {ZqServices::kMessageFullscreen, 0}}));
    // Return alone is the game's.
    player.keyDown(ZqEditorKey::kReturn);
    EXPECT_TRUE(held(ZqPInputController::kJump));
}

TEST_F(ProgramTest, NothingAdvancesInTheBackgroundAndTheFirstStepBackIsClamped)
{
    writeGame();
    start();
    ASSERT_TRUE(player.loadGame());
    listen();
    cocos2d::CCDirector* director = cocos2d::CCDirector::sharedDirector();
    director->getScheduler()->scheduleSelector(schedule_selector(Listener::tick), listener, 0.0f, false);
    player.step(2);
    const int ticks = listener->ticks;
    EXPECT_GT(ticks, 0);
    player.windowEvent(SDL_WINDOWEVENT_MINIMIZED);
    player.step(10);
    EXPECT_EQ(listener->ticks, ticks);
    EXPECT_TRUE(director->isPaused());
    EXPECT_NE(storeText().find("ZqP_"), std::string::npos);

    // Ten seconds later the window comes back: the first measured step is one frame's.
    zqSetClockTicks(int64_t{1} << 40);
    director->mainLoop();
    zqSetClockTicks((int64_t{1} << 40) + 10 * 10000000LL);
    player.windowEvent(SDL_WINDOWEVENT_RESTORED);
    player.view().pollEvents();
    director->mainLoop();
    zqSetClockTicks(std::nullopt);
    EXPECT_FALSE(director->isPaused());
    EXPECT_EQ(listener->ticks, ticks + 1);
    EXPECT_FLOAT_EQ(director->getDeltaTime(), static_cast<float>(director->getAnimationInterval()));
    director->getScheduler()->unscheduleAllForTarget(listener);
}

TEST_F(ProgramTest, TheExitActionEndsWithStatusZeroAndLeavesNothingBehind)
{
    writeGame(Settings::Orientation::kLandscape, Settings::ScreenAdjustment::kNoBorder, true);
    // The gameplay parameters live for the process.
    GameplayParameters::shared();
    const long objectsBefore = cocos2d::CCObject::liveObjectCount();
    start();
    ASSERT_TRUE(player.loadGame());
    ZqPSettingsController::shared()->setSelectedCharacter(0);
    lines.clear();
    ZqServices::shared()->exitGame();
    EXPECT_EQ(lines, (std::vector<std::string>{"Exit", "Doing exit..."}));
    // The close is handled at the next frame, which ends the loop.
    EXPECT_TRUE(player.running());
    player.step();
    EXPECT_FALSE(player.running());
    EXPECT_EQ(player.stop(), 0);
    EXPECT_TRUE(ZqModelController::shared()->modelsByType().empty());
    cocos2d::experimental::AudioEngine::end();
    cocos2d::CCSpriteFrameCache::purgeSharedSpriteFrameCache();
    cocos2d::CCTextureCache::purgeSharedTextureCache();
    EXPECT_EQ(cocos2d::CCObject::liveObjectCount(), objectsBefore);

    // Started again on the same store, from the archive.
    start();
    ASSERT_TRUE(player.loadGame());
}

TEST_F(ProgramTest, AKeyWhosePressOutlivedItsScreenReleasesNothing)
{
    ASSERT_NO_FATAL_FAILURE(startSampleOnItsMenu());
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    // Return selects Play; a click on Play switches to the game before Return goes up.
    player.keyDown(ZqEditorKey::kReturn);
    player.touch(SDL_MOUSEBUTTONDOWN, 568, 384);
    player.touch(SDL_MOUSEBUTTONUP, 568, 384);
    player.step(5);
    EXPECT_NE(navigator->currentKey(), "Menu");
    const std::string shown = navigator->currentKey();
    // The menu and its buttons are gone: the release reaches nothing (AddressSanitizer
    // would see a freed button).
    player.keyUp(ZqEditorKey::kReturn);
    player.step(2);
    EXPECT_EQ(navigator->currentKey(), shown);
}

// The sample's field as a player meets it: Return on the menu opens it; its hero lands on
// the ground, runs with the camera after it while sections are added ahead, and, never
// jumping, falls into the start section's pit, dies and leaves.
TEST_F(ProgramTest, TheSampleHeroRunsWithTheCameraAfterItThenFallsIntoThePitAndLeaves)
{
    ASSERT_NO_FATAL_FAILURE(startSampleOnItsMenu());
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    pressReturn();
    ZqPScreenScene* field = navigator->currentGameScene();
    ASSERT_NE(field, nullptr) << "Return plays";
    ASSERT_EQ(ZqPScreen::runningScreen(), field);

    ZqPObjectAssetCharacter* hero = nullptr;
    for (cocos2d::CCObject* child : *field->camera()->getChildren()) {
        if (auto* character = dynamic_cast<ZqPObjectAssetCharacter*>(child))
            hero = character;
    }
    ASSERT_NE(hero, nullptr) << "the start section's hero";
    hero->retain();
    ZqPInputController* input = ZqPInputController::shared();
    ASSERT_EQ(input->characterList().size(), 1u);

    bool stood = false;
    float lowest = hero->getPositionY();
    float cameraAtDeath = -1.0f;
    const float startX = hero->getPositionX();
    int frames = 0;
    for (; frames < 1200 && hero->getParent(); ++frames) {
        player.step();
        stood = stood || (hero->controlBits() & ZqPObjectAssetCharacter::kOnGround);
        lowest = std::min(lowest, hero->getPositionY());
        if (hero->state() >= 4 && cameraAtDeath < 0.0f)
            cameraAtDeath = field->cameraDistance();
    }
    ASSERT_LT(frames, 1200) << "the hero never left the field";
    EXPECT_TRUE(stood) << "it stood on the ground first";
    EXPECT_GT(hero->getPositionX(), startX + 600.0f) << "it ran to the pit";
    EXPECT_LT(lowest, -550.0f) << "it fell out of the view";
    EXPECT_GT(cameraAtDeath, 200.0f) << "the camera followed";
    EXPECT_GE(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) {
                                return line.rfind("[ZqPScreenScene] add level section: ", 0) == 0;
                            }),
              2)
        << "sections were added ahead";
    EXPECT_EQ(hero->state(), 5);
    EXPECT_TRUE(input->characterList().empty());
    EXPECT_FALSE(input->hasActiveCharacters());
    hero->release();
}

// A pad's stick gives the hero's axes its position, not a step: held left for 15 frames
// and let go, it pushes no more from the next frame, also when let go during a slide,
// while the hero's own movement is off. The on-screen joystick's finger back where it came
// down, or lifted, leaves no push either.
TEST_F(ProgramTest, AStickOrAJoystickLetGoPushesTheSampleHeroNoMore)
{
    ASSERT_NO_FATAL_FAILURE(startSampleOnItsMenu());
    pressReturn();
    ZqPScreenScene* field = ZqPScreenNavigator::shared()->currentGameScene();
    ASSERT_NE(field, nullptr);
    auto* hero = findBelow<ZqPObjectAssetCharacter>(field->camera());
    ASSERT_NE(hero, nullptr);
    const cocos2d::CCPoint centre;

    player.input().padAxis(0, 0, -1.0f);
    player.step(15);
    EXPECT_EQ(hero->analogAxes().x, -1.0f);
    player.input().padAxis(0, 0, 0.0f);
    player.step();
    EXPECT_EQ(hero->analogAxes(), centre);

    player.input().padAxis(0, 0, -1.0f);
    player.step();
    player.keyDown(ZqEditorKey::kDown); // the HUD's slide
    player.step(5);
    ASSERT_FALSE(hero->isMovementActive()) << "sliding";
    player.input().padAxis(0, 0, 0.0f);
    player.step(5);
    player.keyUp(ZqEditorKey::kDown);
    player.step();
    ASSERT_TRUE(hero->isMovementActive());
    EXPECT_EQ(hero->analogAxes(), centre);

    // The joystick in the middle of the HUD: a 100 x 100 area, one point a pixel.
    auto model = zqCreateModel<ZqModelObjectManipulator>("Joystick");
    model->m_position->setValue(cocos2d::CCPoint(568.0f, 320.0f));
    model->m_sensitivity->setValue(1.0f);
    for (const char* style : {"kControlStyleRelative", "kControlStyleAbsolute"}) {
        SCOPED_TRACE(style);
        model->m_controlStyle->setValue(style);
        auto* joystick = ZqPObjectButtonJoystick::create(model);
        ZqPScreenNavigator::shared()->currentUiScreen()->uiLayer()->addChild(joystick);
        player.touch(SDL_MOUSEBUTTONDOWN, 568, 320);
        player.step();
        for (int x = 564; x >= 508; x -= 4) {
            player.touch(SDL_MOUSEMOTION, x, 320);
            player.step();
        }
        EXPECT_LT(hero->analogAxes().x, -0.5f);
        player.touch(SDL_MOUSEMOTION, 568, 320);
        player.step();
        EXPECT_NEAR(hero->analogAxes().x, 0.0f, 1e-3f);
        player.touch(SDL_MOUSEMOTION, 508, 320);
        player.touch(SDL_MOUSEBUTTONUP, 508, 320);
        player.step();
        EXPECT_EQ(hero->analogAxes(), centre);
        cocos2d::CCDirector::sharedDirector()->getTouchDispatcher()->removeDelegate(joystick);
        joystick->removeFromParent();
    }
}

// The sample's effects over 120 frames of a run with the camera moving: the near layer
// outruns the far one, the hero's trail stretches behind it, the star's sparks fly and the
// start section's light brightens the sky around it.
TEST_F(ProgramTest, TheSampleFieldShowsItsLayersTrailSparksAndLight)
{
    ASSERT_NO_FATAL_FAILURE(startSampleOnItsMenu());
    player.keyDown(ZqEditorKey::kReturn);
    player.step();
    player.keyUp(ZqEditorKey::kReturn);
    player.step(3);
    ZqPScreenScene* field = ZqPScreenNavigator::shared()->currentGameScene();
    ASSERT_NE(field, nullptr);
    ASSERT_EQ(field->scenery().backgroundLayers().size(), 3u) << "far hills, near bushes and the sky behind them";
    ZqPObjectAssetCharacter* hero = findBelow<ZqPObjectAssetCharacter>(field->camera());
    ASSERT_NE(hero, nullptr);
    ZqPObjectAssetTrail* trail = findBelow<ZqPObjectAssetTrail>(hero);
    ASSERT_NE(trail, nullptr) << "the default animation's trail";
    ZqPObjectAssetParticles* sparks = findBelow<ZqPObjectAssetParticles>(field->camera());
    ASSERT_NE(sparks, nullptr) << "the star's sparks";
    ZqPObjectAssetLight* light = findBelow<ZqPObjectAssetLight>(field->camera());
    ASSERT_NE(light, nullptr) << "the start section's light";

    // The layers scroll with the camera, which follows once the hero passes the middle.
    for (int frame = 0; frame < 600 && field->cameraDistance() <= 0.0f; ++frame)
        player.step();
    ASSERT_GT(field->cameraDistance(), 0.0f);
    // A layer's travel: its first copy's steps, a wrap (a jump over the strip) left out.
    auto firstCopyX = [](ZqPObjectBackgroundLayer* layer) {
        return static_cast<cocos2d::CCNode*>(layer->scrollNode()->getChildren()->objectAtIndex(0))->getPositionX();
    };
    ZqPObjectBackgroundLayer* far = field->scenery().backgroundLayers()[0];
    ZqPObjectBackgroundLayer* near = field->scenery().backgroundLayers()[1];
    float farX = firstCopyX(far), nearX = firstCopyX(near);
    float farTravel = 0.0f, nearTravel = 0.0f;
    int mostSparks = 0;
    int litFrames = 0;
    for (int frame = 0; frame < 120; ++frame) {
        player.step();
        ASSERT_TRUE(hero->getParent()) << "the hero is alive at frame " << frame;
        for (auto [layer, x, travel] : {std::tuple(far, &farX, &farTravel), std::tuple(near, &nearX, &nearTravel)}) {
            const float step = std::abs(firstCopyX(layer) - *x);
            *travel += step < 200.0f ? step : 0.0f;
            *x = firstCopyX(layer);
        }
        for (cocos2d::CCParticleSystemQuad* system : sparks->systems())
            mostSparks = std::max(mostSparks, static_cast<int>(system->getParticleCount()));
        // The light's centre against the sky 200 points beside it, when both are in view.
        const cocos2d::CCPoint centre = light->getParent()->convertToWorldSpace(light->getPosition());
        const cocos2d::CCPoint beside = centre + cocos2d::CCPoint(centre.x < 568.0f ? 200.0f : -200.0f, 0.0f);
        if (centre.x > 0.0f && centre.x < 1136.0f && centre.y > 0.0f && centre.y < 640.0f)
            litFrames += brightness(centre) > brightness(beside) + 60 ? 1 : 0;
    }
    // Seen from the window: a layer taken out of the field by the removal out of view
    // still moves, but nothing draws it.
    EXPECT_EQ(far->getParent(), field->camera()) << "the far layer is still drawn";
    EXPECT_EQ(near->getParent(), field->camera()) << "the near layer is still drawn";
    EXPECT_GT(farTravel, 0.0f);
    EXPECT_GT(nearTravel, farTravel * 1.5f) << "the near layer moves further";
    ASSERT_GE(trail->pointCount(), 3) << "the trail grew as the hero ran";
    EXPECT_NEAR(trail->point(0).x, hero->getPositionX(), 100.0f) << "its head is at the hero";
    EXPECT_LT(trail->point(trail->pointCount() - 1).x, trail->point(0).x) << "its tail is behind";
    EXPECT_GT(mostSparks, 0) << "the star's emitter emits";
    EXPECT_GT(litFrames, 0) << "the light shows in the pixels";
}

TEST_F(ProgramTest, TheSampleFieldShowsItsHudAndItsPauseScreenByButtonAndByEscape)
{
    ASSERT_NO_FATAL_FAILURE(startSampleOnItsMenu());
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    pressReturn();
    ZqPScreenScene* field = navigator->currentGameScene();
    ASSERT_NE(field, nullptr);
    ASSERT_NE(navigator->currentUiScreen(), nullptr);
    EXPECT_EQ(navigator->currentUiScreen()->screenModel()->key(), "HUD");
    auto shownKey = [navigator] { return navigator->currentUiScreen()->screenModel()->key(); };

    // The pause button, top left.
    player.touch(SDL_MOUSEBUTTONDOWN, 80, 80);
    player.touch(SDL_MOUSEBUTTONUP, 80, 80);
    player.step(2);
    EXPECT_EQ(shownKey(), "Pause");
    EXPECT_TRUE(field->isPaused());
    // Resume, in the middle.
    player.touch(SDL_MOUSEBUTTONDOWN, 568, 384);
    player.touch(SDL_MOUSEBUTTONUP, 568, 384);
    player.step(2);
    EXPECT_EQ(shownKey(), "HUD");
    EXPECT_FALSE(field->isPaused());

    for (const char* expected : {"Pause", "HUD"}) {
        player.keyDown(ZqEditorKey::kEscape);
        player.step();
        player.keyUp(ZqEditorKey::kEscape);
        player.step();
        EXPECT_EQ(shownKey(), expected);
        EXPECT_EQ(field->isPaused(), std::string(expected) == "Pause");
    }
    EXPECT_EQ(navigator->currentGameScene(), field) << "the field stayed throughout";

    // The pause screen's menu button leaves the game for the menu it was entered from.
    pressEscape();
    click(568, 512);
    EXPECT_EQ(navigator->currentKey(), "Menu");
    EXPECT_EQ(navigator->currentGameScene(), nullptr);
    EXPECT_TRUE(ZqPInputController::shared()->characterList().empty());
}

// The sample's game as it ends: left from the pause screen with its hero alive, then a new
// game whose hero falls into the pit shows the game-over screen through the HUD's observer
// once the hero's wait is over; Restart there starts a game that ends the same way.
TEST_F(ProgramTest, TheSampleGameEndsOnTheGameOverScreenAndRestartsFromThere)
{
    ASSERT_NO_FATAL_FAILURE(startSampleOnItsMenu());
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    pressReturn();
    ASSERT_NE(navigator->currentGameScene(), nullptr);
    pressEscape();
    click(568, 512);
    ASSERT_EQ(navigator->currentKey(), "Menu");
    pressReturn();

    for (int game = 1; game <= 2; ++game) {
        SCOPED_TRACE(game);
        ZqPScreenScene* field = navigator->currentGameScene();
        ASSERT_NE(field, nullptr);
        ASSERT_EQ(navigator->currentKey(), "HUD");
        // Each lost life but the last restores the hero on the same field; the last ends
        // the game.
        for (int life = 1; life <= kSampleLives; ++life) {
            SCOPED_TRACE(life);
            ZqPObjectAssetCharacter* hero = findBelow<ZqPObjectAssetCharacter>(field->camera());
            ASSERT_NE(hero, nullptr);
            hero->retain();
            int frames = 0;
            for (; frames < 1200 && hero->state() < 4; ++frames)
                player.step();
            ASSERT_LT(frames, 1200) << "the hero never died";
            int waited = 0;
            const auto restored = [&] {
                ZqPObjectAssetCharacter* next = findBelow<ZqPObjectAssetCharacter>(field->camera());
                return next && next != hero;
            };
            for (; waited < 300 && navigator->currentKey() != "GameOver" && !restored(); ++waited)
                player.step();
            hero->release();
            EXPECT_NEAR(waited, 60, 2) << "the hero's game-over delay of a second";
            EXPECT_EQ(navigator->currentGameScene(), field) << "the same field";
            if (life < kSampleLives) {
                ASSERT_EQ(navigator->currentKey(), "HUD") << "a life lost, the game goes on";
            }
        }
        ASSERT_EQ(navigator->currentKey(), "GameOver");
        player.step();
        EXPECT_EQ(navigator->currentGameScene(), field) << "shown over the field";
        EXPECT_TRUE(field->isGameOver());
        EXPECT_EQ(navigator->currentUiScreen()->screenModel()->key(), "GameOver");
        EXPECT_GT(ScoreRegistry::recordFor("Game").distance.best, 0.0f);

        // Restart, in the middle.
        click(568, 384);
        player.step();
        EXPECT_NE(navigator->currentGameScene(), field) << "a new game";
    }
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "[ZqPScreenScene] game over"), 2);
}

TEST_F(ProgramTest, BadOrMissingGameDataIsOneMessageAndAFailingStatus)
{
    HeadlessPlayer::Options options;
    options.gameDirectory = game.path().string();
    options.storeDirectory = store.path().string();
    std::string error;
    // No data beside the program's directory nor in the working directory (the test's).
    const auto working = std::filesystem::current_path();
    std::filesystem::current_path(store.path());
    EXPECT_FALSE(player.start(options, &error));
    std::filesystem::current_path(working);
    EXPECT_NE(error.find("No game data"), std::string::npos) << error;
    player.stop();

    // A key file that is not one: the preload fails, naming it.
    writeGame();
    std::ofstream(game.file("data/Keys.pack"), std::ios::trunc) << "not a key file";
    EXPECT_FALSE(player.start(options, &error));
    EXPECT_NE(error.find("key"), std::string::npos) << error;
    player.stop();

    // A model file read after the start screen: the loading step fails, the program says
    // it and ends with status 1.
    writeGame();
    std::ofstream(game.file("data/ZqModelAssetCharacter.0.attributes.pack"), std::ios::trunc) << "\xc1\xc1";
    start();
    EXPECT_FALSE(player.loadGame());
    ASSERT_EQ(player.errors.size(), 1u);
    EXPECT_NE(player.errors[0].find("ZqModelAssetCharacter.0.attributes.pack"), std::string::npos)
        << player.errors[0];
    player.step(2);
    EXPECT_FALSE(player.running());
    EXPECT_EQ(player.stop(), 1);
}

// A store folder that cannot be made: said once at start, over the window, and the game
// goes on to an ordinary end.
TEST_F(ProgramTest, AStoreThatCannotBeSavedIsSaidOnceAtStartAndTheGameGoesOn)
{
    writeGame();
    start();
    EXPECT_TRUE(player.warnings.empty()) << player.warnings.front();
    player.stop();

    const std::string blocker = store.file("in-the-way");
    std::ofstream(blocker) << "a file";
    HeadlessPlayer::Options options;
    options.gameDirectory = game.path().string();
    options.storeDirectory = blocker + "/home";
    std::string error;
    ASSERT_TRUE(player.start(options, &error)) << error;
    ASSERT_EQ(player.warnings.size(), 1u);
    EXPECT_EQ(player.warnings[0].rfind("Progress will not be saved: the folder " + blocker + "/home/", 0), 0u)
        << player.warnings[0];
    EXPECT_NE(player.warnings[0].find("cannot be made (Not a directory)"), std::string::npos) << player.warnings[0];
    EXPECT_TRUE(player.loadGame());
    player.step(30);
    EXPECT_TRUE(player.running());
    EXPECT_EQ(player.warnings.size(), 1u);
    EXPECT_TRUE(player.errors.empty());
    EXPECT_EQ(player.stop(), 0);
}

} // namespace

namespace {

// Data that loads but links no screen after the start screen (a game of one screen) would
// leave the loading screen up for ever: the game says so, naming the start node that leads
// nowhere rather than calling its data damaged, and ends with status 1.
TEST_F(ProgramTest, AGameWithNoScreenAfterItsStartScreenEndsWithOneMessage)
{
    ZqModelController& controller = *ZqModelController::shared();
    ZqGameBuilder builder;
    ZqSampleGame::build(controller, builder);
    std::vector<std::shared_ptr<ZqModel>> nodes;
    for (const auto& node : controller.modelsOfKind<ZqNodeUI>()) {
        if (node->typeId() != ZqNodeUIStart::staticTypeId())
            nodes.push_back(node);
    }
    for (const auto& node : controller.modelsOfClass<ZqNodeScene>())
        nodes.push_back(node);
    ASSERT_FALSE(nodes.empty());
    for (const auto& node : nodes)
        controller.removeModel(node);
    ZqDataWriter::Options options;
    options.media = builder.writeMedia(game.file("media-made"));
    ZqDataWriter(controller, options).write(game.file("data"));
    controller.reset();

    start();
    for (int i = 0; i < 600 && player.running(); ++i)
        player.step();
    EXPECT_FALSE(player.running());
    EXPECT_EQ(player.app().exitStatus(), 1);
    EXPECT_EQ(player.errors,
              (std::vector<std::string>{"The game has no screen after its start screen: its start node \"Start\" "
                                        "(model 2) leads to no other screen, and no other menu screen is there"}));
}

} // namespace
