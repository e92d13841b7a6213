// Games made by the builder, and the sample game written by zqexport, with their media:
// the atlas frames reach the sprite-frame cache, the font makes labels, the sounds play
// as effects and as music on SDL's dummy audio driver.
#include "media_game_support.h"
#include "tools_test_support.h"

#include "engine/gl/GLFixture.h"

#include "audio/AudioEngine.h"
#include "audio/SimpleAudioEngine.h"
#include "model/GameplayParameters.h"
#include "model/ZqModelLayerReset.h"
#include "tools/ZqMediaWriter.h"

#include <SDL2/SDL_image.h>

#include <filesystem>

using namespace archive_test;
using namespace tools_test;
using cocos2d::CCFileUtils;
using cocos2d::CCRect;
using cocos2d::CCSpriteFrame;
using cocos2d::CCSpriteFrameCache;
using cocos2d::experimental::AudioEngine;
using CocosDenshion::SimpleAudioEngine;

namespace {

class GameMediaTest : public GLFixture {
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        // Made before the baseline, so that it does not count as a leak.
        GameplayParameters::shared();
        GLFixture::SetUp();
        ZqModelController::shared()->reset();
    }
    void TearDown() override
    {
        zqResetModelLayer();
        CCFileUtils::sharedFileUtils()->setResourceRoot("");
        GLFixture::TearDown();
    }

    static ZqModelController& controller() { return *ZqModelController::shared(); }

    // The media of the game below root, used as the player uses them.
    void expectMediaWork(const std::string& root, unsigned atlasId, unsigned fontId, unsigned soundId,
                         bool asMusic)
    {
        CCFileUtils::sharedFileUtils()->setResourceRoot(root + "/");
        std::shared_ptr<ZqModelAtlas> atlas = ZqModelAtlas::create();
        atlas->setId(atlasId);
        CCSpriteFrameCache* frames = CCSpriteFrameCache::sharedSpriteFrameCache();
        frames->addSpriteFramesWithFile(atlas->plistPath().c_str());
        std::shared_ptr<ZqModelFont> font = ZqModelFont::create();
        font->setId(fontId);
        cocos2d::CCLabelBMFont* label = font->createLabel();
        ASSERT_NE(label, nullptr);
        EXPECT_GT(label->getContentSize().width, 0.0f);
        label->release();

        std::shared_ptr<ZqModelSound> sound = ZqModelSound::create();
        sound->setId(soundId);
        if (asMusic) {
            SimpleAudioEngine::sharedEngine()->playBackgroundMusic(sound->soundPath().c_str(), true);
            EXPECT_TRUE(SimpleAudioEngine::sharedEngine()->isBackgroundMusicPlaying());
        } else {
            const int id = AudioEngine::play2d(sound->soundPath());
            EXPECT_GT(id, 0);
            EXPECT_GT(AudioEngine::getDuration(id), 0.0f);
        }
    }
};

TEST_F(GameMediaTest, BuiltGameLoadsWithItsMediaFromDirectoryAndArchive)
{
    for (bool archive : {false, true}) {
        SCOPED_TRACE(archive ? "archive" : "directory");
        TempDir dir;
        media_game::write(controller(), dir.path().string(), archive);
        const auto written = describeModels(controller());
        const LoadRun run = loadGame(controller(), dir.path().string());
        ASSERT_FALSE(run.failed) << run.error;
        EXPECT_EQ(describeModels(controller()), written);

        expectMediaWork(dir.path().string(), media_game::kAtlas, media_game::kFont, media_game::kEffect, false);
        // Frames packed row by row, 2 pixels apart, where the sprites' "Source Rect" say.
        const CCSpriteFrame* green = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(
            zqSpriteFrameName(media_game::kGreen).c_str());
        const CCSpriteFrame* blue = CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(
            zqSpriteFrameName(media_game::kBlue).c_str());
        ASSERT_NE(green, nullptr);
        ASSERT_NE(blue, nullptr);
        EXPECT_EQ(green->getRect(), CCRect(34, 0, 16, 48));
        EXPECT_EQ(blue->getRect(), CCRect(0, 50, 100, 16));
        std::shared_ptr<ZqModelSpriteContainer> run2 = controller().getModel<ZqModelSpriteContainer>(media_game::kRun);
        ASSERT_TRUE(run2);
        cocos2d::CCSprite* sprite = run2->getSprite(1.0f, true);
        EXPECT_NE(sprite, nullptr);

        expectMediaWork(dir.path().string(), media_game::kAtlas, media_game::kFont, media_game::kMusic, true);
        AudioEngine::end();
        SimpleAudioEngine::end();
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        cocos2d::CCTextureCache::purgeSharedTextureCache();
        controller().reset();
    }
}

TEST_F(GameMediaTest, ExportedSampleCarriesItsAtlasFontAndMusic)
{
    TempDir dir;
    const std::string command = "cd '" + dir.path().string() + "' && " + ZQ_EXPORT_PROGRAM + " game";
    ASSERT_EQ(runQuiet(command), 0);
    const std::filesystem::path data = dir.path() / "game" / "data";
    for (const char* file : {"atlases/atlas_ID1201.png", "atlases/atlas_ID1201.plist", "fonts/ZqModelFont_ID1401.fnt",
                             "fonts/ZqModelFont_ID1401.png", "sounds/ZqModelSound_ID1301.mp3"})
        EXPECT_TRUE(std::filesystem::is_regular_file(data / file)) << file;
    expectMediaWork((dir.path() / "game").string(), 1201, 1401, 1301, true);
    EXPECT_NE(CCSpriteFrameCache::sharedSpriteFrameCache()->spriteFrameByName(zqSpriteFrameName(1114).c_str()), nullptr);
}

TEST(MediaWriter, PackerRefusesWhatDoesNotFit)
{
    zqmedia::AtlasPacker packer(64, 40, 4);
    zqmedia::AtlasFrame a{"a", 0, 0, 40, 20};
    zqmedia::AtlasFrame b{"b", 0, 0, 30, 16};
    zqmedia::AtlasFrame wide{"wide", 0, 0, 65, 1};
    zqmedia::AtlasFrame tall{"tall", 0, 0, 10, 20};
    EXPECT_TRUE(packer.place(a));
    EXPECT_TRUE(packer.place(b));
    EXPECT_EQ(b.x, 0);
    EXPECT_EQ(b.y, 24);
    EXPECT_FALSE(packer.place(wide));
    EXPECT_FALSE(packer.place(tall));
}

// A painted frame: what cairo draws, in straight alpha (a half-transparent red stays red),
// at its place in the atlas; its edge reaches one pixel into the free padding around it,
// never onto a neighbour.
TEST(MediaWriter, PaintedFramesKeepTheirColoursAndBleedOnlyIntoFreePadding)
{
    const zqmedia::Painter halfRedDisc = [](cairo_t* canvas, int width, int height, zqmedia::Rgba) {
        cairo_set_source_rgba(canvas, 1.0, 0.0, 0.0, 0.5);
        cairo_arc(canvas, width / 2.0, height / 2.0, width / 2.0 - 2.0, 0.0, 6.2832);
        cairo_fill(canvas);
    };
    const zqmedia::AtlasFrame disc{"disc", 2, 2, 16, 16, {0, 0, 255, 255}, halfRedDisc};
    const std::vector<zqmedia::Rgba> pixels = zqmedia::framePixels(disc);
    ASSERT_EQ(pixels.size(), 256u);
    const zqmedia::Rgba centre = pixels[8 * 16 + 8];
    EXPECT_EQ(centre.r, 255);
    EXPECT_EQ(centre.g, 0);
    EXPECT_NEAR(centre.a, 128, 1);
    EXPECT_EQ(pixels[0].a, 0) << "a corner outside the disc";

    TempDir dir;
    const std::vector<zqmedia::AtlasFrame> frames = {{"blue", 2, 20, 8, 8, {0, 0, 255, 255}},
                                                     {"green", 11, 20, 8, 8, {0, 255, 0, 255}}, disc};
    ASSERT_TRUE(zqmedia::writeAtlas(dir.file("atlas.png"), dir.file("atlas.plist"), frames, 32, 32));
    SDL_Surface* loaded = IMG_Load(dir.file("atlas.png").c_str());
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    auto at = [image](int x, int y) {
        const auto* p = static_cast<const unsigned char*>(image->pixels) + y * image->pitch + x * 4;
        return zqmedia::Rgba{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(at(10, 10).r, 255) << "the disc's centre";
    EXPECT_EQ(at(1, 24).b, 255) << "blue's left edge, one pixel out";
    EXPECT_EQ(at(0, 24).a, 0) << "two pixels out stays free";
    EXPECT_EQ(at(10, 24).a, 255) << "the pixel between the squares is taken by one of them";
    EXPECT_EQ(at(11, 24).g, 255) << "green's own edge is not painted over";
    EXPECT_EQ(at(5, 28).b, 255) << "below blue";
    SDL_FreeSurface(image);
}

} // namespace
