#include "engine/gl/GLFixture.h"
#include "sprite_nodes/CCSprite.h"
#include "textures/CCTexture2D.h"

using namespace cocos2d;

namespace {

class RenderTextureTest : public GLFixture {};

TEST_F(RenderTextureTest, CapturesFromInsideAVisitUprightWithTheModelViewKept)
{
    CCScene* scene = runScene();
    CCRenderTexture* texture = CCRenderTexture::create(16, 16);
    ASSERT_NE(texture, nullptr);
    // Captured during another node's draw: its placement (3, 2) carries into the texture.
    DrawNode* capturing = addDrawNode(scene, [texture] {
        texture->beginWithClear(0, 0, 1, 1);
        ccDrawSolidRect(CCPoint(0, 0), CCPoint(4, 4), ccc4f(1, 0, 0, 1));
        texture->end();
    });
    capturing->setPosition(3, 2);
    // Shown centred on (28, 18): its bottom-left at (20, 10).
    texture->setPosition(28, 18);
    scene->addChild(texture);
    // After end, drawing goes to the window again with its own projection.
    addDrawNode(scene, [] { ccDrawSolidRect(CCPoint(50, 40), CCPoint(52, 42), ccc4f(0, 1, 0, 1)); });
    frame();
    EXPECT_PIXEL(*this, 23, 12, 255, 0, 0);
    EXPECT_PIXEL(*this, 26, 15, 255, 0, 0);
    EXPECT_PIXEL(*this, 21, 11, 0, 0, 255);
    EXPECT_PIXEL(*this, 23, 24, 0, 0, 255);
    EXPECT_PIXEL(*this, 19, 9, 0, 0, 0);
    EXPECT_PIXEL(*this, 36, 26, 0, 0, 0);
    EXPECT_PIXEL(*this, 51, 41, 0, 255, 0);
    EXPECT_PIXEL(*this, 3, 2, 0, 0, 0);
}

TEST_F(RenderTextureTest, MirroredByNegativeScale)
{
    CCScene* scene = runScene();
    CCRenderTexture* texture = CCRenderTexture::create(8, 8);
    ASSERT_NE(texture, nullptr);
    texture->beginWithClear(0, 0, 0, 1);
    ccDrawSolidRect(CCPoint(0, 0), CCPoint(8, 2), ccc4f(1, 1, 1, 1));
    texture->end();
    texture->setPosition(10, 10);
    texture->setScaleY(-1.0f);
    scene->addChild(texture);
    frame();
    // The bottom strip shows at the top.
    EXPECT_PIXEL(*this, 10, 13, 255, 255, 255);
    EXPECT_PIXEL(*this, 10, 6, 0, 0, 0);
}

TEST_F(RenderTextureTest, BadSizeFails)
{
    EXPECT_EQ(CCRenderTexture::create(0, 4), nullptr);
}

TEST_F(RenderTextureTest, OpacityZeroDrawsNothing)
{
    CCScene* scene = runScene();
    const unsigned char white[] = {255, 255, 255, 255};
    CCTexture2D* pixel = new CCTexture2D();
    ASSERT_TRUE(pixel->initWithData(white, kCCTexture2DPixelFormat_RGBA8888, 1, 1, CCSize(1, 1)));
    CCSprite* hidden = CCSprite::createWithTexture(pixel, CCRect(0, 0, 10, 10));
    CCSprite* shown = CCSprite::createWithTexture(pixel, CCRect(0, 0, 10, 10));
    pixel->release();
    hidden->setPosition(10, 10);
    hidden->setOpacity(0);
    shown->setPosition(40, 10);
    scene->addChild(hidden);
    scene->addChild(shown);
    frame();
    EXPECT_PIXEL(*this, 10, 10, 0, 0, 0);
    EXPECT_PIXEL(*this, 40, 10, 255, 255, 255);
}

} // namespace
