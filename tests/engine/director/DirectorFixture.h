#pragma once

#include "cocos2d.h"

#include <gtest/gtest.h>

// A fresh director on a 480x320 headless view for each test; torn down after it, and
// every engine object the test made must be gone by then.
class DirectorFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_baseline = cocos2d::CCObject::liveObjectCount();
        view.setFrameSize(480.0f, 320.0f);
        director = cocos2d::CCDirector::sharedDirector();
        director->setOpenGLView(&view);
    }

    void TearDown() override
    {
        cocos2d::CCDirector::sharedDirector()->purgeDirector();
        EXPECT_EQ(cocos2d::CCObject::liveObjectCount(), m_baseline) << "engine objects leaked";
    }

    // One frame with an injected step.
    void frame(float dt = 1.0f / 60.0f) { cocos2d::CCDirector::sharedDirector()->mainLoopWithDelta(dt); }

    // A running scene, owned by the director.
    cocos2d::CCScene* runScene()
    {
        cocos2d::CCScene* scene = cocos2d::CCScene::create();
        director->runWithScene(scene);
        return scene;
    }

    cocos2d::CCEGLView view;
    cocos2d::CCDirector* director = nullptr;

private:
    long m_baseline = 0;
};
