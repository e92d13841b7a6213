#include "engine/gl/GLFixture.h"
#include "engine/textures/MediaFixtures.h"

#include "textures/CCTexture2D.h"
#include "textures/CCTextureCache.h"

#include <ZqLog.h>

using namespace cocos2d;

namespace {

class TextureCacheTest : public GLFixture {
protected:
    void TearDown() override
    {
        zqSetLogSink({});
        CCTextureCache::purgeSharedTextureCache();
        GLFixture::TearDown();
    }
    media::TempDir dir;
};

TEST_F(TextureCacheTest, LoadsOnceKeepsAndForgets)
{
    // Half-transparent white: loaded premultiplied.
    ASSERT_TRUE(media::writePng(dir.file("img.png"), 5, 3, [](int, int) { return media::Rgba{255, 255, 255, 128}; }));
    CCTextureCache* cache = CCTextureCache::sharedTextureCache();
    CCTexture2D* texture = cache->addImage(dir.file("img.png").c_str());
    ASSERT_NE(texture, nullptr);
    EXPECT_NE(texture->getName(), 0u);
    EXPECT_EQ(texture->getPixelsWide(), 5u);
    EXPECT_EQ(texture->getPixelsHigh(), 3u);
    EXPECT_EQ(texture->getContentSize(), CCSize(5, 3));
    EXPECT_TRUE(texture->hasPremultipliedAlpha());
    EXPECT_EQ(cache->addImage(dir.file("img.png").c_str()), texture);
    EXPECT_EQ(cache->textureForKey(dir.file("img.png").c_str()), texture);
    texture->setAliasTexParameters();
    texture->setAntiAliasTexParameters();

    texture->retain();
    cache->removeTexture(texture);
    EXPECT_EQ(cache->textureForKey(dir.file("img.png").c_str()), nullptr);
    EXPECT_EQ(texture->retainCount(), 1u);
    texture->release();
    ASSERT_NE(cache->addImage(dir.file("img.png").c_str()), nullptr);
    cache->removeAllTextures();
    EXPECT_EQ(cache->textureForKey(dir.file("img.png").c_str()), nullptr);
}

TEST_F(TextureCacheTest, MissingOrBrokenFilesGiveNullWithALogLine)
{
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    media::writeText(dir.file("broken.png"), "not an image");
    CCTextureCache* cache = CCTextureCache::sharedTextureCache();
    EXPECT_EQ(cache->addImage(dir.file("missing.png").c_str()), nullptr);
    EXPECT_EQ(cache->addImage(dir.file("broken.png").c_str()), nullptr);
    EXPECT_EQ(cache->textureForKey(dir.file("broken.png").c_str()), nullptr);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find("[CCTextureCache]"), std::string::npos);
}

TEST_F(TextureCacheTest, RawDataTakesFormatSevenOnly)
{
    const unsigned char pixel[4] = {1, 2, 3, 4};
    CCTexture2D* texture = new CCTexture2D();
    EXPECT_FALSE(texture->initWithData(pixel, static_cast<CCTexture2DPixelFormat>(0), 1, 1, CCSize(1, 1)));
    EXPECT_FALSE(texture->initWithData(nullptr, kCCTexture2DPixelFormat_RGBA8888, 1, 1, CCSize(1, 1)));
    EXPECT_FALSE(texture->initWithData(pixel, kCCTexture2DPixelFormat_RGBA8888, 0, 1, CCSize(1, 1)));
    EXPECT_EQ(texture->getName(), 0u);
    EXPECT_TRUE(texture->initWithData(pixel, static_cast<CCTexture2DPixelFormat>(7), 1, 1, CCSize(10, 10)));
    EXPECT_NE(texture->getName(), 0u);
    EXPECT_FALSE(texture->hasPremultipliedAlpha());
    EXPECT_EQ(texture->getContentSize(), CCSize(10, 10));
    EXPECT_FALSE(texture->initWithData(pixel, kCCTexture2DPixelFormat_RGBA8888, 1, 1, CCSize(1, 1)));
    texture->release();
}

} // namespace
