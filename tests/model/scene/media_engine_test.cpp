// The sprite container's engine side on a headless GL view: frames from a real atlas,
// the frame animation's tag, delay and repeat, and no engine object left behind.
#include "media_shape_support.h"

#include "engine/gl/headless_view.h"
#include "model/scene/ZqModelMedia.h"
#include "cocos2d.h"
#include "platform/CCEGLViewSDL.h"
#include "sprite_nodes/CCSprite.h"
#include "sprite_nodes/CCSpriteFrameCache.h"
#include "textures/CCTextureCache.h"

#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace cocos2d;

namespace {

void appendChunk(std::string& png, const char* type, const std::string& data)
{
    auto be32 = [&](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            png.push_back(static_cast<char>(v >> shift));
    };
    be32(static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    png += body;
    be32(static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// An opaque white RGBA PNG of width x height pixels.
std::string whitePng(int width, int height)
{
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');
        raw.append(static_cast<std::size_t>(width) * 4, '\xff');
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    packed.resize(size);
    std::string header;
    for (int v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(static_cast<char>(v >> shift));
    header += std::string("\x08\x06\x00\x00\x00", 5);
    std::string png = "\x89PNG\r\n\x1a\n";
    appendChunk(png, "IHDR", header);
    appendChunk(png, "IDAT", packed);
    appendChunk(png, "IEND", "");
    return png;
}

class MediaEngineTest : public scene_test::SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        // Start from a clean engine, whatever earlier tests left in the pool or the director.
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        CCTextureCache::purgeSharedTextureCache();
        cocos2d::CCPoolManager::sharedPoolManager()->finalize();
        CCDirector::sharedDirector()->purgeDirector();
        m_baseline = CCObject::liveObjectCount();
        m_view = makeHeadlessView(32, 32);
        ASSERT_TRUE(m_view);
        m_dir = std::filesystem::temp_directory_path() / ("zq_scene_media_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        // Media are read only inside the resource root.
        CCFileUtils::sharedFileUtils()->setResourceRoot(m_dir.string());
    }
    void TearDown() override
    {
        if (m_view) {
            CCSpriteFrameCache::purgeSharedSpriteFrameCache();
            CCTextureCache::purgeSharedTextureCache();
            SceneTest::TearDown(); // drains the autorelease pool
            CCDirector::sharedDirector()->purgeDirector();
            m_view.reset();
            CCFileUtils::sharedFileUtils()->setResourceRoot("");
            std::filesystem::remove_all(m_dir);
            EXPECT_EQ(CCObject::liveObjectCount(), m_baseline) << "engine objects leaked";
        } else {
            SceneTest::TearDown();
        }
    }

    // Loads an atlas whose frames are the given sprites ("ZqModelSprite_ID<id>").
    void loadAtlas(const std::vector<std::shared_ptr<ZqModelSprite>>& sprites)
    {
        std::ofstream((m_dir / "sheet.png").string(), std::ios::binary) << whitePng(16, 16);
        std::string frames;
        for (const std::shared_ptr<ZqModelSprite>& sprite : sprites)
            frames += "<key>" + zqSpriteFrameName(sprite->id()) + "</key><dict><key>frame</key><string>{{0,0},{8,8}}</string></dict>";
        std::ofstream((m_dir / "sheet.plist").string())
            << "<plist version=\"1.0\"><dict><key>frames</key><dict>" << frames
            << "</dict><key>metadata</key><dict><key>format</key><integer>2</integer>"
               "<key>textureFileName</key><string>sheet.png</string></dict></dict></plist>";
        CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile((m_dir / "sheet.plist").string().c_str());
    }

    std::shared_ptr<ZqModelSpriteContainer> containerOf(int count, float animationSpeed)
    {
        std::shared_ptr<ZqModelSpriteContainer> container = ZqModelSpriteContainer::create();
        static_cast<ZqAttributeFloat*>(container->findAttribute("Animation Speed"))->setValue(animationSpeed);
        for (int i = 0; i < count; ++i)
            container->addChild(ZqModelSprite::create());
        return container;
    }

    long m_baseline = 0;
    std::unique_ptr<CCEGLViewSDL> m_view;
    std::filesystem::path m_dir;
};

TEST_F(MediaEngineTest, SeveralSpritesRunATaggedFrameAnimation)
{
    std::shared_ptr<ZqModelSpriteContainer> container = containerOf(3, 2.0f);
    loadAtlas(container->sprites());
    ASSERT_NE(container->getSpriteFrame(5), nullptr);
    EXPECT_EQ(container->getSpriteFrame(5), container->sprites()[2]->spriteFrame());

    CCSprite* sprite = container->getSprite(0.5f, true);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->retainCount(), 1u); // autoreleased: the pool holds the only reference
    EXPECT_EQ(sprite->getAnchorPoint(), ccp(0.5f, 0.5f));
    auto* forever = dynamic_cast<CCRepeatForever*>(sprite->getActionByTag(ZqModelSpriteContainer::kFrameAnimationTag));
    ASSERT_NE(forever, nullptr);
    EXPECT_EQ(ZqModelSpriteContainer::kFrameAnimationTag, 76);

    CCSprite* once = container->getSprite(1.0f, false);
    auto* repeat = dynamic_cast<CCRepeat*>(once->getActionByTag(76));
    ASSERT_NE(repeat, nullptr);
    EXPECT_FLOAT_EQ(repeat->getDuration(), 3.0f / 60.0f); // 3 frames of (1/30)/1/2 s

    // One sprite, or a speed of 0: no animation, the first frame shows.
    EXPECT_EQ(containerOf(1, 1.0f)->getSprite(1.0f, true), nullptr); // its frame is not loaded
    EXPECT_EQ(container->getSprite(0.0f, true)->getActionByTag(76), nullptr);
}

TEST_F(MediaEngineTest, MissingLaterFramesAreLeftOut)
{
    std::shared_ptr<ZqModelSpriteContainer> container = containerOf(3, 1.0f);
    loadAtlas({container->sprites()[0], container->sprites()[2]});
    CCSprite* sprite = container->getSprite(1.0f, false);
    ASSERT_NE(sprite, nullptr);
    auto* repeat = dynamic_cast<CCRepeat*>(sprite->getActionByTag(76));
    ASSERT_NE(repeat, nullptr);
    EXPECT_FLOAT_EQ(repeat->getDuration(), 2.0f / 30.0f);
}

} // namespace
