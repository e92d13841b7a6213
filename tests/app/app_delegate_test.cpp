// The loading sequence of the application delegate on a game made by the builder, from
// the data directory and from the archive.
#include "app/ZqAppLayerReset.h"
#include "app/ZqPAppDelegate.h"
#include "app/ZqPSettingsController.h"

#include "engine/gl/GLFixture.h"
#include "model/GameplayParameters.h"
#include "model/archive_test_util.h"
#include "tools/media_game_support.h"

#include "audio/AudioEngine.h"
#include "audio/AudioMixer.h"
#include "audio/SimpleAudioEngine.h"
#include "model/loading/ZqGameSecrets.h"
#include "model/loading/ZqModelLoader.h"

#include <ZqLog.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

using archive_test::TempDir;
using cocos2d::CCFileUtils;
using cocos2d::CCSpriteFrameCache;

namespace {

class AppDelegateTest : public GLFixture {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        // Made before the baseline, so that it does not count as a leak.
        GameplayParameters::shared();
        GLFixture::SetUp();
        ZqPSettingsController::purgeShared();
        cocos2d::CCUserDefault::sharedUserDefault()->deleteStore();
        controller().reset();
        zqSetLogSink([this](const char* line) { lines.emplace_back(line); });
    }
    void TearDown() override
    {
        zqSetLogSink({});
        zqResetAppLayer();
        CCFileUtils::sharedFileUtils()->setResourceRoot("");
        GLFixture::TearDown();
    }

    static ZqModelController& controller() { return *ZqModelController::shared(); }
    static ZqModelLoader& loader() { return *ZqModelLoader::shared(); }

    // Writes the game below dir and starts loading it as the program does: archive mode
    // when data/data.pkg is there, then the preload.
    void startLoading(const TempDir& dir, bool archive)
    {
        media_game::write(controller(), dir.path().string(), archive);
        controller().reset();
        CCFileUtils::sharedFileUtils()->setResourceRoot(dir.path().string() + "/");
        loader().setArchiveMode(ZqModelLoader::archiveIsPresent("data/data.pkg"));
        loader().preload("data/data.pkg", std::string(kZqArchivePasswordText));
        ASSERT_FALSE(loader().loadingFailed()) << loader().errorText();
    }

    // Calls loadGame as the loading screen's draws do, until loaded or failed.
    static int loadUntilDone(ZqPAppDelegate& app)
    {
        int calls = 0;
        while (!app.isLoaded() && !app.hasFailed() && calls < 10000) {
            app.loadGame();
            ++calls;
        }
        return calls;
    }

    int count(const std::string& text) const
    {
        int found = 0;
        for (const std::string& line : lines)
            found += line.find(text) != std::string::npos;
        return found;
    }

    static bool isCached(const std::shared_ptr<ZqModelSound>& sound)
    {
        return cocos2d::AudioMixer::duration(
                   cocos2d::AudioMixer::resolve(sound->soundPath())) >= 0.0f;
    }

    std::vector<std::string> lines;
};

TEST_F(AppDelegateTest, LoadingSetsTheGameUpOnceFromDirectoryAndArchive)
{
    for (bool archive : {false, true}) {
        SCOPED_TRACE(archive ? "archive" : "directory");
        TempDir dir;
        startLoading(dir, archive);
        lines.clear();
        // Progress stored after the settings controller read the store: the re-read after
        // loading finds it.
        ZqPSettingsController* settings = ZqPSettingsController::shared();
        cocos2d::CCUserDefault::sharedUserDefault()->setBoolForKey("ZqP_removeAds", true);
        EXPECT_FALSE(settings->adsRemoved());

        ZqPAppDelegate app;
        int ready = 0;
        int failures = 0;
        app.setGameReadyHook([&] { ++ready; });
        app.setFailureHook([&](const std::string&) { ++failures; });
        const long objects = cocos2d::CCObject::liveObjectCount();
        EXPECT_GT(loadUntilDone(app), 1) << "one file per call";
        ASSERT_TRUE(app.isLoaded());
        EXPECT_EQ(ready, 1);
        EXPECT_EQ(failures, 0);
        EXPECT_EQ(count("End loading XML"), 1);
        EXPECT_FALSE(loader().hasArchive());

        EXPECT_EQ(controller().getModel<ZqModelObjectButton>(media_game::kPlay)->pressCounter(), 3);
        EXPECT_EQ(controller().getModel<ZqModelComponentHealth>(media_game::kHeroHealth)->currentLives, 3);
        EXPECT_EQ(ZqPSettingsController::shared(), settings) << "one settings controller for the run";
        EXPECT_TRUE(settings->adsRemoved());
        EXPECT_NE(CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(
                      zqSpriteFrameName(media_game::kBlue).c_str()),
                  nullptr);
        EXPECT_TRUE(isCached(controller().getModel<ZqModelSound>(media_game::kEffect)));
        EXPECT_FALSE(isCached(controller().getModel<ZqModelSound>(media_game::kMusic))) << "music streams";

        // Later calls change nothing: no reload under the live screens, no second hook.
        std::shared_ptr<ZqModel> menu = controller().modelById(media_game::kMenu);
        for (int i = 0; i < 20; ++i)
            app.loadGame();
        EXPECT_EQ(ready, 1);
        EXPECT_EQ(controller().modelById(media_game::kMenu), menu);
        // The font labels were released: with the caches purged, no engine object of the
        // loading is left.
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        cocos2d::CCTextureCache::purgeSharedTextureCache();
        cocos2d::CCPoolManager::sharedPoolManager()->pop();
        EXPECT_EQ(cocos2d::CCObject::liveObjectCount(), objects) << "the font labels leaked";

        // A restart reloads the models.
        app.requestRestart();
        app.loadGame();
        EXPECT_FALSE(app.isLoaded());
        EXPECT_NE(controller().modelById(media_game::kMenu), menu);
        loadUntilDone(app);
        EXPECT_EQ(ready, 2);
        EXPECT_EQ(count("End loading XML"), 2);
        ZqPSettingsController::purgeShared();
        cocos2d::CCUserDefault::sharedUserDefault()->deleteStore();
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        cocos2d::CCTextureCache::purgeSharedTextureCache();
        controller().reset();
    }
}

TEST_F(AppDelegateTest, ACorruptModelFileFailsOnceWithoutThrowing)
{
    TempDir dir;
    startLoading(dir, false);
    const std::filesystem::path screens = dir.path() / "data" / "ZqModelLevelSection.0.attributes.pack";
    ASSERT_TRUE(std::filesystem::exists(screens));
    archive_test::writeBytes(screens.string(), archive_test::bytesOf("\xdf\xff\xff\xff\xff garbage"));

    ZqPAppDelegate app;
    int ready = 0;
    std::vector<std::string> failures;
    app.setGameReadyHook([&] { ++ready; });
    app.setFailureHook([&](const std::string& error) { failures.push_back(error); });
    loadUntilDone(app);
    for (int i = 0; i < 5; ++i)
        app.loadGame();
    EXPECT_TRUE(app.hasFailed());
    EXPECT_EQ(ready, 0);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], loader().errorText());
    EXPECT_FALSE(failures[0].empty());
}

// An archive's members are found by their exact names: a game whose start-up members are
// not there has no start screen, and the message names the members looked for.
TEST_F(AppDelegateTest, NoStartScreenNamesTheStartUpMembersNotFound)
{
    TempDir dir;
    media_game::write(controller(), dir.path().string(), true);
    const std::string path = (dir.path() / "data" / "data.pkg").string();
    archive_test::Bytes archive = archive_test::readBytes(path);
    for (const std::string name : {"ZqModelScreen.0.attributes.pack", "ZqModelScreen.0.connections.pack"}) {
        int names = 0;
        for (auto at = archive.begin(); (at = std::search(at, archive.end(), name.begin(), name.end())) != archive.end();
             ++names)
            std::transform(at, at + 13, at, [](unsigned char c) { return std::tolower(c); });
        ASSERT_EQ(names, 2) << name; // its local header's and its central record's
    }
    archive_test::writeBytes(path, archive);
    controller().reset();
    CCFileUtils::sharedFileUtils()->setResourceRoot(dir.path().string() + "/");
    loader().setArchiveMode(true);
    loader().preload("data/data.pkg", std::string(kZqArchivePasswordText));
    ASSERT_FALSE(loader().loadingFailed()) << loader().errorText();

    ZqPAppDelegate app;
    std::vector<std::string> said;
    app.setErrorReporter([&](const std::string& message) { said.push_back(message); });
    app.setStartScene([]() -> cocos2d::CCScene* { return nullptr; });
    app.applicationDidFinishLaunching();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "The game has no start screen: its data is damaged (the archive has no member named "
                       "\"ZqModelScreen.0.attributes.pack\", \"ZqModelScreen.0.connections.pack\"; its members are "
                       "found by their exact names)");
    EXPECT_EQ(app.exitStatus(), 1);
}

} // namespace
