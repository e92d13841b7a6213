// The sample game in process, from its data directory and from its archive: the start
// screen's loading UI drives the loading from its tenth draw with the bar filling, the
// "Load" port leads to the menu, Play by touch and by key reaches the game field, and
// the audio button mutes both kinds of sound and saves.
#include "screens/ZqScreensLayerReset.h"
#include "app/ZqPAppDelegate.h"
#include "app/ZqPInputController.h"
#include "app/ZqSound.h"
#include "app/ZqPSettingsController.h"
#include "audio/AudioEngine.h"
#include "attributes/ZqEditorKeys.h"
#include "audio/SimpleAudioEngine.h"
#include "model/GameplayParameters.h"
#include "model/loading/ZqGameSecrets.h"
#include "model/archive_test_util.h"
#include "model/loading/ZqModelLoader.h"
#include "screen_gl_fixture.h"
#include "screens/buttons/ZqPButtonKeys.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqPScreenUi.h"
#include "screens/ZqScreenMusic.h"
#include "tools/ZqSampleGame.h"

#include <ZqLog.h>

#include <algorithm>

namespace {

using namespace cocos2d;

// The sample's 1136 x 640 design on a view of that size: a point is a pixel.
class SampleGameRunTest : public ScreenGLFixture {
protected:
    CCSize viewSize() const override { return CCSize(1136, 640); }

    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ZqPSettingsController::purgeShared();
        CCUserDefault::sharedUserDefault()->deleteStore();
        CCUserDefault::purgeSharedUserDefault();
        ScreenGLFixture::SetUp();
        zqSetLogSink([this](const char* line) { lines.emplace_back(line); });
    }

    void TearDown() override
    {
        zqSetLogSink({});
        ZqPScreenNavigator::shared()->reset();
        frame(); // the replaced scenes go
        zqResetScreensLayer();
        CCFileUtils::sharedFileUtils()->setResourceRoot("");
        ScreenGLFixture::TearDown();
    }

    // Writes the sample below dir and preloads it as the program does.
    void writeAndPreload(const archive_test::TempDir& dir, bool archive)
    {
        ZqDataWriter::Options options;
        options.archive = archive;
        options.plainFiles = !archive;
        ZqSampleGame::write(*ZqModelController::shared(), dir.path().string() + "/data", options);
        ZqModelController* controller = ZqModelController::shared();
        ZqModelLoader& loader = *ZqModelLoader::shared();
        controller->reset();
        CCFileUtils::sharedFileUtils()->setResourceRoot(dir.path().string() + "/");
        loader.setArchiveMode(ZqModelLoader::archiveIsPresent("data/data.pkg"));
        loader.preload("data/data.pkg", std::string(kZqArchivePasswordText));
        ASSERT_FALSE(loader.loadingFailed()) << loader.errorText();
    }

    // How far the bar is filled: the rightmost grey pixel of a row inside its outline
    // (the bar runs from x 368 to 768 around y 280), 370 when none.
    int barEnd()
    {
        const std::vector<unsigned char> row = view->readPixels(371, 280, 395, 1);
        int end = 370;
        for (int x = 0; x < 395; ++x) {
            const unsigned char* p = &row[static_cast<std::size_t>(x) * 4];
            if (std::abs(p[0] - 143) <= 8 && p[0] == p[1] && p[1] == p[2])
                end = 371 + x;
        }
        return end;
    }

    void runFromLoadingToGame(bool archive);

    // A touch at a point.
    void touch(CCPoint point)
    {
        const int ids[] = {0};
        const float xs[] = {point.x};
        const float ys[] = {640.0f - point.y};
        director->getTouchDispatcher()->handleTouchesBegin(1, ids, xs, ys);
        director->getTouchDispatcher()->handleTouchesEnd(1, ids, xs, ys);
    }

    std::vector<std::string> reports() const
    {
        std::vector<std::string> found;
        for (const std::string& line : lines) {
            if (line.find("[ZqServices] Screen On Enter: ") == 0)
                found.push_back(line.substr(30));
        }
        return found;
    }

    std::vector<std::string> lines;
};

void SampleGameRunTest::runFromLoadingToGame(bool archive)
{
    archive_test::TempDir dir;
    writeAndPreload(dir, archive);
    lines.clear();
    ZqPAppDelegate application;
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    director->runWithScene(navigator->sceneContainer());
    ZqPScreenUi* start = navigator->currentUiScreen();
    ASSERT_NE(start, nullptr);
    EXPECT_TRUE(start->isLoadingUi());

    const ZqModelLoader::LoadingState before = ZqModelLoader::shared()->loadingState();
    for (int draw = 1; draw <= 9; ++draw)
        frame();
    EXPECT_EQ(start->loadingDrawCount(), 9);
    EXPECT_EQ(ZqModelLoader::shared()->loadingState().index, before.index) << "nine draws load nothing";
    EXPECT_EQ(ZqModelLoader::shared()->loadingState().phase, before.phase);
    EXPECT_EQ(barEnd(), 370) << "the outline alone";

    // From the tenth draw on, each draw loads one file, and the bar fills.
    std::vector<int> ends;
    for (int frames = 0; !application.isLoaded() && frames < 2000; ++frames) {
        frame();
        ends.push_back(barEnd());
    }
    ASSERT_TRUE(application.isLoaded());
    ASSERT_GT(ends.size(), 10u);
    EXPECT_TRUE(std::is_sorted(ends.begin(), ends.end())) << "the bar only grows";
    EXPECT_LT(ends[ends.size() / 4], ends.back());
    EXPECT_GE(ends.back(), 760) << "nearly full with the last file";

    EXPECT_EQ(navigator->history(), (std::vector<std::string>{"ZqPScreenStart", "Menu"}));
    frame();
    ZqPScreenUi* menu = navigator->currentUiScreen();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(ZqPScreen::runningScreen(), menu);
    // The start screen's node is a start node, no interface node: it is unnamed both ways.
    EXPECT_EQ(reports(), (std::vector<std::string>{"Unknown", "Menu"}));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "[ZqServices] Screen On Exit: Unknown"), 1);

    // Play by touch.
    touch(CCPoint(568, 256));
    EXPECT_EQ(navigator->history().back(), "HUD") << "the field's overlay follows its world";
    EXPECT_EQ(navigator->history().end()[-2], "Game");
    frame();
    ASSERT_NE(navigator->currentGameScene(), nullptr);
    EXPECT_EQ(ZqPScreen::runningScreen(), static_cast<ZqPScreen*>(navigator->currentGameScene()));

    // Back on the menu, Play by its key.
    ASSERT_TRUE(navigator->switchToScreen("Menu", true, 0));
    director->replaceScene(navigator->sceneContainer());
    frame();
    EXPECT_TRUE(ZqPButtonKeys::keyDown(ZqEditorKey::kReturn));
    EXPECT_TRUE(ZqPButtonKeys::keyUp(ZqEditorKey::kReturn));
    EXPECT_EQ(navigator->currentKey(), "HUD");
    frame();
    EXPECT_NE(navigator->currentGameScene(), nullptr);
}

TEST_F(SampleGameRunTest, FromTheLoadingScreenToTheMenuAndIntoTheGameFromTheDirectory)
{
    runFromLoadingToGame(false);
}

TEST_F(SampleGameRunTest, FromTheLoadingScreenToTheMenuAndIntoTheGameFromTheArchive)
{
    runFromLoadingToGame(true);
}

TEST_F(SampleGameRunTest, TheAudioButtonMutesBothSoundsAndSaves)
{
    archive_test::TempDir dir;
    writeAndPreload(dir, false);
    ZqPAppDelegate application;
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    director->runWithScene(navigator->sceneContainer());
    for (int frames = 0; !application.isLoaded() && frames < 2000; ++frames)
        frame();
    frame();
    frame();
    ASSERT_EQ(navigator->currentKey(), "Menu");
    EXPECT_NE(ZqScreenMusic::shared().current(), nullptr) << "the menu's music";
    EXPECT_TRUE(CocosDenshion::SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying()) << "it plays";
    ZqPSettingsController* settings = ZqPSettingsController::shared();

    touch(CCPoint(1056, 560));
    EXPECT_TRUE(settings->isBackgroundSoundMuted());
    EXPECT_TRUE(settings->isEffectsSoundMuted());
    EXPECT_FALSE(ZqScreenMusic::shared().isPlaying());
    EXPECT_FALSE(CocosDenshion::SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying());
    EXPECT_TRUE(CCUserDefault::sharedUserDefault()->getBoolForKey("ZqP_muteBackgroundSound"));
    EXPECT_TRUE(CCUserDefault::sharedUserDefault()->getBoolForKey("ZqP_muteEffectsSound"));

    touch(CCPoint(1056, 560));
    EXPECT_FALSE(settings->isBackgroundSoundMuted());
    EXPECT_FALSE(settings->isEffectsSoundMuted());
    EXPECT_FALSE(CCUserDefault::sharedUserDefault()->getBoolForKey("ZqP_muteEffectsSound"));
}

} // namespace
