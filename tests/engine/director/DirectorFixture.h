#pragma once

#include "cocos2d.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

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

// An application that launches on view (100x100) with one scene, whose every scheduled
// tick calls onTick with its step; onTick ends the program with CCDirector::end.
class TickingApp : public cocos2d::CCApplication {
public:
    TickingApp(cocos2d::CCEGLView& view, std::function<void(float)> onTick) : m_view(view), m_onTick(std::move(onTick))
    {
    }
    bool applicationDidFinishLaunching() override
    {
        m_view.setFrameSize(100.0f, 100.0f);
        cocos2d::CCDirector::sharedDirector()->setOpenGLView(&m_view);
        Ticker* scene = new Ticker();
        scene->init();
        scene->autorelease();
        scene->onTick = &m_onTick;
        scene->schedule(schedule_selector(Ticker::tick));
        cocos2d::CCDirector::sharedDirector()->runWithScene(scene);
        return true;
    }
    void applicationDidEnterBackground() override {}
    void applicationWillEnterForeground() override {}

private:
    struct Ticker : cocos2d::CCScene {
        void tick(float dt) { (*onTick)(dt); }
        std::function<void(float)>* onTick = nullptr;
    };
    cocos2d::CCEGLView& m_view;
    std::function<void(float)> m_onTick;
};
