#include "engine/gl/GLFixture.h"
#include "engine/textures/MediaFixtures.h"

#include "sprite_nodes/CCSprite.h"
#include "sprite_nodes/CCSpriteBatchNode.h"
#include "sprite_nodes/CCSpriteFrame.h"
#include "sprite_nodes/CCSpriteFrameCache.h"
#include "textures/CCTexture2D.h"
#include "textures/CCTextureCache.h"

using namespace cocos2d;

namespace {

constexpr media::Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255},
    kYellow{255, 255, 0, 255}, kCyan{0, 255, 255, 255}, kMagenta{255, 0, 255, 255}, kClear{0, 0, 0, 0};

// A 32x32 atlas: "plain" 8x8 (left half red, right half green) at (0,0); "trim" 4x6
// blue at (8,0), cut from a 12x10 picture; "rot", an upright 6x4 picture (left half
// yellow, right half cyan, top row magenta) stored turned clockwise in 4x6 at (16,0).
media::Rgba atlasPixel(int x, int y)
{
    if (x < 8 && y < 8)
        return x < 4 ? kRed : kGreen;
    if (x >= 8 && x < 12 && y < 6)
        return kBlue;
    if (x >= 16 && x < 20 && y < 6)
        return x == 19 ? kMagenta : y < 3 ? kYellow : kCyan;
    return kClear;
}

const char* kAtlasPlist = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
 <key>frames</key><dict>
  <key>plain</key><dict>
   <key>frame</key><string>{{0,0},{8,8}}</string><key>offset</key><string>{0,0}</string>
   <key>rotated</key><false/><key>sourceColorRect</key><string>{{0,0},{8,8}}</string>
   <key>sourceSize</key><string>{8,8}</string></dict>
  <key>trim</key><dict>
   <key>frame</key><string>{{8,0},{4,6}}</string><key>offset</key><string>{2,-1}</string>
   <key>rotated</key><false/><key>sourceColorRect</key><string>{{6,3},{4,6}}</string>
   <key>sourceSize</key><string>{12,10}</string></dict>
  <key>rot</key><dict>
   <key>frame</key><string>{{16,0},{6,4}}</string><key>offset</key><string>{0,0}</string>
   <key>rotated</key><true/><key>sourceColorRect</key><string>{{0,0},{6,4}}</string>
   <key>sourceSize</key><string>{6,4}</string></dict>
 </dict>
 <key>metadata</key><dict><key>format</key><integer>2</integer>
  <key>textureFileName</key><string>atlas.png</string></dict>
</dict></plist>)";

class SpriteDrawTest : public GLFixture {
protected:
    void SetUp() override
    {
        GLFixture::SetUp();
        ASSERT_TRUE(media::writePng(dir.file("atlas.png"), 32, 32, atlasPixel));
        media::writeText(dir.file("atlas.plist"), kAtlasPlist);
        scene = runScene();
    }
    void TearDown() override
    {
        CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        CCTextureCache::purgeSharedTextureCache();
        GLFixture::TearDown();
    }

    // An autoreleased 1x1 texture of one colour, from raw bytes.
    CCTexture2D* solidTexture(media::Rgba c)
    {
        const unsigned char bytes[4] = {c.r, c.g, c.b, c.a};
        CCTexture2D* texture = new CCTexture2D();
        EXPECT_TRUE(texture->initWithData(bytes, kCCTexture2DPixelFormat_RGBA8888, 1, 1, CCSize(1, 1)));
        texture->autorelease();
        return texture;
    }

    CCSprite* box(media::Rgba c, CCRect rect, CCPoint position, int z = 0)
    {
        CCSprite* sprite = CCSprite::createWithTexture(solidTexture(c));
        sprite->setTextureRect(rect);
        sprite->setPosition(position);
        scene->addChild(sprite, z);
        return sprite;
    }

    media::TempDir dir;
    CCScene* scene = nullptr;
};

TEST_F(SpriteDrawTest, AtlasFramesLandWhereTheirOffsetsAndRotationSay)
{
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(dir.file("atlas.plist").c_str());
    EXPECT_EQ(CCSprite::createWithSpriteFrameName("absent"), nullptr);
    CCSprite* plain = CCSprite::createWithSpriteFrameName("plain");
    CCSprite* trim = CCSprite::createWithSpriteFrameName("trim");
    CCSprite* rot = CCSprite::createWithSpriteFrameName("rot");
    ASSERT_TRUE(plain && trim && rot);
    EXPECT_EQ(trim->getContentSize(), CCSize(12, 10));
    EXPECT_EQ(rot->getContentSize(), CCSize(6, 4));
    plain->setPosition(CCPoint(10, 10)); // covers 6..13 x 6..13
    trim->setPosition(CCPoint(30, 20));  // box from (24, 15); picture at +(6, 1)
    rot->setPosition(CCPoint(50, 30));   // covers 47..52 x 28..31
    scene->addChild(plain);
    scene->addChild(trim);
    scene->addChild(rot);
    frame();

    EXPECT_PIXEL(*this, 6, 6, 255, 0, 0);
    EXPECT_PIXEL(*this, 9, 13, 255, 0, 0);
    EXPECT_PIXEL(*this, 10, 6, 0, 255, 0);
    EXPECT_PIXEL(*this, 14, 9, 0, 0, 0);
    EXPECT_PIXEL(*this, 30, 16, 0, 0, 255);
    EXPECT_PIXEL(*this, 33, 21, 0, 0, 255);
    EXPECT_PIXEL(*this, 29, 18, 0, 0, 0);
    EXPECT_PIXEL(*this, 34, 18, 0, 0, 0);
    EXPECT_PIXEL(*this, 31, 15, 0, 0, 0);
    EXPECT_PIXEL(*this, 31, 22, 0, 0, 0);
    EXPECT_PIXEL(*this, 47, 28, 255, 255, 0);
    EXPECT_PIXEL(*this, 49, 30, 255, 255, 0);
    EXPECT_PIXEL(*this, 50, 28, 0, 255, 255);
    EXPECT_PIXEL(*this, 52, 30, 0, 255, 255);
    EXPECT_PIXEL(*this, 47, 31, 255, 0, 255);
    EXPECT_PIXEL(*this, 52, 31, 255, 0, 255);
    EXPECT_PIXEL(*this, 53, 29, 0, 0, 0);
    // One atlas, one blend function: one draw call for the three.
    EXPECT_EQ(g_uNumberOfDraws, 1u);
}

TEST_F(SpriteDrawTest, FlipsMirrorThePictureAndTheTrimOffset)
{
    CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(dir.file("atlas.plist").c_str());
    CCSprite* plain = CCSprite::createWithSpriteFrameName("plain");
    CCSprite* trim = CCSprite::createWithSpriteFrameName("trim");
    CCSprite* rot = CCSprite::createWithSpriteFrameName("rot");
    plain->setFlipX(true);
    trim->setFlipX(true);
    rot->setFlipY(true);
    plain->setPosition(CCPoint(10, 10));
    trim->setPosition(CCPoint(30, 20)); // picture now at +(2, 1) from (24, 15)
    rot->setPosition(CCPoint(50, 30));
    scene->addChild(plain);
    scene->addChild(trim);
    scene->addChild(rot);
    frame();
    EXPECT_PIXEL(*this, 6, 6, 0, 255, 0);
    EXPECT_PIXEL(*this, 13, 6, 255, 0, 0);
    EXPECT_PIXEL(*this, 26, 16, 0, 0, 255);
    EXPECT_PIXEL(*this, 30, 16, 0, 0, 0);
    EXPECT_PIXEL(*this, 47, 28, 255, 0, 255);
    EXPECT_PIXEL(*this, 47, 31, 255, 255, 0);
}

TEST_F(SpriteDrawTest, DisplayFrameSwitchesPictureAndContentSize)
{
    CCSpriteFrameCache* frames = CCSpriteFrameCache::sharedSpriteFrameCache();
    frames->addSpriteFramesWithFile(dir.file("atlas.plist").c_str());
    CCSprite* sprite = CCSprite::createWithSpriteFrameName("plain");
    CCSpriteFrame* trim = frames->spriteFrameByName("trim");
    EXPECT_FALSE(sprite->isFrameDisplayed(trim));
    CCAnimationTarget* target = sprite;
    target->setAnimationFrame(trim);
    EXPECT_TRUE(sprite->isFrameDisplayed(trim));
    EXPECT_EQ(sprite->getContentSize(), CCSize(12, 10));
    CCSpriteFrame* shown = static_cast<CCSpriteFrame*>(target->getAnimationFrame());
    EXPECT_EQ(shown->getRect(), trim->getRect());
    EXPECT_EQ(shown->getOffset(), trim->getOffset());
    sprite->setDisplayFrame(frames->spriteFrameByName("plain"));
    EXPECT_EQ(sprite->getContentSize(), CCSize(8, 8));
    EXPECT_EQ(sprite->getOffsetPosition(), CCPointZero);

    frames->removeSpriteFrames();
    EXPECT_EQ(frames->spriteFrameByName("plain"), nullptr);
}

TEST_F(SpriteDrawTest, StretchedBoxesTintAndCoverByZOrder)
{
    // Added first but higher: red covers blue where they overlap.
    box(kRed, CCRect(0, 0, 20, 10), CCPoint(20, 20), 1);
    CCSprite* blue = box(kBlue, CCRect(0, 0, 20, 10), CCPoint(30, 20), 0);
    CCSprite* tinted = box({255, 255, 255, 255}, CCRect(0, 0, 6, 6), CCPoint(5, 40));
    tinted->setColor(ccc3(0, 255, 0));
    frame();
    EXPECT_PIXEL(*this, 11, 16, 255, 0, 0);
    EXPECT_PIXEL(*this, 25, 20, 255, 0, 0);
    EXPECT_PIXEL(*this, 35, 20, 0, 0, 255);
    EXPECT_PIXEL(*this, 39, 24, 0, 0, 255);
    EXPECT_PIXEL(*this, 40, 24, 0, 0, 0);
    EXPECT_PIXEL(*this, 4, 39, 0, 255, 0);
    // Three textures: three draw calls.
    EXPECT_EQ(g_uNumberOfDraws, 3u);

    blue->setOpacity(128);
    frame();
    EXPECT_PIXEL(*this, 35, 20, 0, 0, 128);
}

TEST_F(SpriteDrawTest, OpacityZeroAndNoTextureDrawNothing)
{
    CCSprite* hidden = box(kRed, CCRect(0, 0, 64, 48), CCPoint(32, 24));
    hidden->setOpacity(0);
    CCSprite* bare = CCSprite::create();
    bare->setTextureRect(CCRect(0, 0, 64, 48));
    scene->addChild(bare);
    frame();
    EXPECT_PIXEL(*this, 32, 24, 0, 0, 0);
    EXPECT_EQ(g_uNumberOfDraws, 0u);
}

TEST_F(SpriteDrawTest, BatchNodeTakesOnlySpritesOfItsTexture)
{
    CCTexture2D* texture = solidTexture(kGreen);
    CCSpriteBatchNode* batch = CCSpriteBatchNode::createWithTexture(texture);
    ASSERT_NE(batch, nullptr);
    EXPECT_EQ(CCSpriteBatchNode::create(dir.file("missing.png").c_str()), nullptr);
    batch->addChild(CCSprite::createWithTexture(solidTexture(kRed)));
    batch->addChild(CCNode::create());
    EXPECT_EQ(batch->getChildrenCount(), 0u);
    for (int i = 0; i < 10; ++i) {
        CCSprite* sprite = CCSprite::createWithTexture(texture, CCRect(0, 0, 4, 4));
        sprite->setPosition(CCPoint(4.0f + 5.0f * i, 4));
        batch->addChild(sprite);
    }
    scene->addChild(batch);
    frame();
    EXPECT_PIXEL(*this, 47, 3, 0, 255, 0);
    EXPECT_EQ(g_uNumberOfDraws, 1u);
}

} // namespace
