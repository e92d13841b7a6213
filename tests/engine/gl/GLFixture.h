#pragma once

#include "cocos2d.h"
#include "headless_view.h"
#include "platform/CCEGLViewSDL.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

// Draws what the test gives it, inside the scene's visit.
class DrawNode : public cocos2d::CCNode {
public:
    std::function<void()> drawing;
    void draw() override { drawing(); }
};

// A fresh director on a headless GL view (SDL's offscreen driver) of kWidth x kHeight
// pixels (or viewSize()) with a design resolution of the same size, so one point is one
// pixel.
// Torn down after each test; every engine object the test made must be gone by then.
class GLFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override
    {
        m_baseline = cocos2d::CCObject::liveObjectCount();
        const cocos2d::CCSize size = viewSize();
        view = makeHeadlessView(static_cast<int>(size.width), static_cast<int>(size.height));
        ASSERT_TRUE(view);
        view->setDesignResolutionSize(size.width, size.height, cocos2d::kResolutionShowAll);
        director = cocos2d::CCDirector::sharedDirector();
    }

    void TearDown() override
    {
        cocos2d::CCDirector::sharedDirector()->purgeDirector();
        view.reset();
        EXPECT_EQ(cocos2d::CCObject::liveObjectCount(), m_baseline) << "engine objects leaked";
    }

    virtual cocos2d::CCSize viewSize() const { return cocos2d::CCSize(kWidth, kHeight); }

    void frame(float dt = 1.0f / 60.0f) { cocos2d::CCDirector::sharedDirector()->mainLoopWithDelta(dt); }

    cocos2d::CCScene* runScene()
    {
        cocos2d::CCScene* scene = cocos2d::CCScene::create();
        director->runWithScene(scene);
        return scene;
    }

    // A DrawNode running drawing, added to parent (which keeps it).
    DrawNode* addDrawNode(cocos2d::CCNode* parent, std::function<void()> drawing)
    {
        DrawNode* node = new DrawNode();
        node->autorelease();
        node->drawing = std::move(drawing);
        parent->addChild(node);
        return node;
    }

    // The RGBA of the pixel at (x, y), y up.
    std::vector<unsigned char> pixel(int x, int y) { return view->readPixels(x, y, 1, 1); }

    std::unique_ptr<cocos2d::CCEGLViewSDL> view;
    cocos2d::CCDirector* director = nullptr;

private:
    long m_baseline = 0;
};

// Expects the pixel at (x, y) to be (r, g, b) within 2 per channel.
#define EXPECT_PIXEL(fixture, x, y, r, g, b)                                                    \
    do {                                                                                        \
        const std::vector<unsigned char> px = (fixture).pixel((x), (y));                        \
        ASSERT_EQ(px.size(), 4u);                                                               \
        EXPECT_NEAR(px[0], (r), 2) << "red at " << (x) << "," << (y);                          \
        EXPECT_NEAR(px[1], (g), 2) << "green at " << (x) << "," << (y);                        \
        EXPECT_NEAR(px[2], (b), 2) << "blue at " << (x) << "," << (y);                         \
    } while (0)
