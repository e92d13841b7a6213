#include "engine/gl/GLFixture.h"

#include <GL/glew.h>

using namespace cocos2d;

namespace {

class DrawingPrimitivesTest : public GLFixture {};

TEST_F(DrawingPrimitivesTest, SolidRectFillsItsPointsOnly)
{
    addDrawNode(runScene(), [] { ccDrawSolidRect(CCPoint(10, 5), CCPoint(30, 20), ccc4f(1, 0, 0, 1)); });
    frame();
    EXPECT_PIXEL(*this, 10, 5, 255, 0, 0);
    EXPECT_PIXEL(*this, 29, 19, 255, 0, 0);
    EXPECT_PIXEL(*this, 9, 5, 0, 0, 0);
    EXPECT_PIXEL(*this, 30, 19, 0, 0, 0);
    EXPECT_PIXEL(*this, 10, 20, 0, 0, 0);
    EXPECT_EQ(g_uNumberOfDraws, 1u);
    GLint buffer = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
    EXPECT_EQ(buffer, 0);
}

TEST_F(DrawingPrimitivesTest, NodeTransformAndAlphaApply)
{
    DrawNode* node = addDrawNode(runScene(), [] {
        ccDrawSolidRect(CCPoint(0, 0), CCPoint(10, 10), ccc4f(0, 1, 0, 1));
        ccDrawSolidRect(CCPoint(0, 0), CCPoint(10, 10), ccc4f(0, 0, 1, 0.5f));
    });
    node->setPosition(40, 30);
    node->setScale(0.5f);
    frame();
    // Scaled about the anchor at the bottom-left: 5x5 points from (40, 30).
    EXPECT_PIXEL(*this, 40, 30, 0, 128, 127);
    EXPECT_PIXEL(*this, 44, 34, 0, 128, 127);
    EXPECT_PIXEL(*this, 45, 34, 0, 0, 0);
}

TEST_F(DrawingPrimitivesTest, OutlinesUseTheDrawColourAndKeepIt)
{
    addDrawNode(runScene(), [] {
        ccDrawColor4B(255, 255, 0, 255);
        ccDrawRect(CCPoint(5.5f, 5.5f), CCPoint(20.5f, 15.5f));
        ccDrawSolidRect(CCPoint(40, 40), CCPoint(44, 44), ccc4f(1, 0, 0, 1));
        ccDrawLine(CCPoint(30.5f, 2.5f), CCPoint(30.5f, 12.5f));
        CCPoint triangle[] = {CCPoint(50, 5), CCPoint(60, 5), CCPoint(55, 15)};
        ccDrawSolidPoly(triangle, 3, ccc4f(1, 1, 1, 1));
        ccDrawColor4F(1, 1, 1, 1);
    });
    frame();
    EXPECT_PIXEL(*this, 12, 5, 255, 255, 0);
    EXPECT_PIXEL(*this, 12, 10, 0, 0, 0);
    EXPECT_PIXEL(*this, 30, 8, 255, 255, 0);
    EXPECT_PIXEL(*this, 55, 8, 255, 255, 255);
    EXPECT_EQ(g_uNumberOfDraws, 4u);
}

TEST_F(DrawingPrimitivesTest, DesignResolutionIsFittedIntoTheFrame)
{
    // Half the frame's size shown all: each design point covers 2x2 pixels.
    view->setDesignResolutionSize(kWidth / 2, kHeight / 2, kResolutionShowAll);
    addDrawNode(runScene(), [] { ccDrawSolidRect(CCPoint(0, 0), CCPoint(4, 4), ccc4f(1, 1, 1, 1)); });
    frame();
    EXPECT_PIXEL(*this, 7, 7, 255, 255, 255);
    EXPECT_PIXEL(*this, 8, 8, 0, 0, 0);
}


class TexturedTrianglesTest : public GLFixture {
protected:
    void SetUp() override
    {
        GLFixture::SetUp();
        const unsigned char white[] = {255, 255, 255, 255};
        whitePixel = new CCTexture2D();
        ASSERT_TRUE(whitePixel->initWithData(white, kCCTexture2DPixelFormat_RGBA8888, 1, 1, CCSize(1, 1)));
    }
    void TearDown() override
    {
        whitePixel->release();
        GLFixture::TearDown();
    }
    CCTexture2D* whitePixel = nullptr;
};

TEST_F(TexturedTrianglesTest, FanCoversTheSpriteVisitedBeforeItAndCountsOneDraw)
{
    CCScene* scene = runScene();
    CCSprite* sprite = CCSprite::createWithTexture(whitePixel, CCRect(0, 0, 20, 20));
    sprite->setColor(ccc3(255, 0, 0));
    sprite->setPosition(20, 20);
    scene->addChild(sprite);
    CCTexture2D* texture = whitePixel;
    addDrawNode(scene, [texture] {
        CCGLProgram* program = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTexture_uColor);
        program->use();
        program->setUniformLocationWith4f(program->getUniformLocationForName("u_color"), 0, 0, 1, 1);
        const ccVertex2F positions[] = {{20, 10}, {40, 10}, {40, 30}, {20, 30}};
        const ccTex2F texCoords[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        ccDrawTexturedTriangles(program, texture, ccTriangleMode::Fan, positions, texCoords, 4);
    });
    frame();
    // The sprite spans 10..30 in both axes; the fan covers its right half.
    EXPECT_PIXEL(*this, 15, 15, 255, 0, 0);
    EXPECT_PIXEL(*this, 25, 15, 0, 0, 255);
    EXPECT_PIXEL(*this, 35, 25, 0, 0, 255);
    EXPECT_PIXEL(*this, 45, 25, 0, 0, 0);
    // The flushed sprite batch and the fan.
    EXPECT_EQ(g_uNumberOfDraws, 2u);
}

TEST_F(TexturedTrianglesTest, StripJoinsItsVerticesAndDegenerateCallsDrawNothing)
{
    CCTexture2D* texture = whitePixel;
    addDrawNode(runScene(), [texture] {
        CCGLProgram* program = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTexture_uColor);
        program->use();
        program->setUniformLocationWith4f(program->getUniformLocationForName("u_color"), 0, 1, 0, 1);
        const ccVertex2F positions[] = {{0, 0}, {0, 10}, {30, 0}, {30, 10}};
        const ccTex2F texCoords[] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
        ccDrawTexturedTriangles(program, texture, ccTriangleMode::Strip, positions, texCoords, 4);
        ccDrawTexturedTriangles(program, texture, ccTriangleMode::Strip, positions, texCoords, 2);
        ccDrawTexturedTriangles(nullptr, texture, ccTriangleMode::Strip, positions, texCoords, 4);
        ccDrawTexturedTriangles(program, nullptr, ccTriangleMode::Strip, positions, texCoords, 4);
    });
    frame();
    EXPECT_PIXEL(*this, 2, 8, 0, 255, 0);
    EXPECT_PIXEL(*this, 28, 2, 0, 255, 0);
    EXPECT_PIXEL(*this, 15, 12, 0, 0, 0);
    EXPECT_EQ(g_uNumberOfDraws, 1u);
}

} // namespace
