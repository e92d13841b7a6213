#include "engine/director/DirectorFixture.h"
#include "director/CCFrameClock.h"

#include <ZqClock.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace cocos2d;

namespace {

// The log outlives the scenes, which the director keeps until it is torn down.
class DirectorTest : public DirectorFixture {
protected:
    std::vector<std::string> log;
};

// Logs its life cycle and ticks a timer while running.
class ScreenScene : public CCScene {
public:
    ScreenScene(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}
    static ScreenScene* make(const char* name, std::vector<std::string>& log)
    {
        ScreenScene* scene = new ScreenScene(name, log);
        scene->init();
        scene->schedule(schedule_selector(ScreenScene::tick));
        scene->autorelease();
        return scene;
    }
    void onEnter() override
    {
        m_log.push_back("enter " + m_name);
        CCScene::onEnter();
    }
    void onExit() override
    {
        m_log.push_back("exit " + m_name);
        CCScene::onExit();
    }
    void cleanup() override
    {
        m_log.push_back("cleanup " + m_name);
        CCScene::cleanup();
    }
    void tick(float)
    {
        const bool running = CCDirector::sharedDirector()->getRunningScene() == this;
        m_log.push_back("tick " + m_name + (running ? "" : " (not running)"));
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

} // namespace

TEST_F(DirectorTest, ReplaceSceneTakesEffectNextFrameAndFreesTheOldScene)
{
    director->runWithScene(ScreenScene::make("A", log));
    CCNode* child = CCNode::create();
    director->getRunningScene()->addChild(child);
    child->runAction(CCDelayTime::create(10.0f));
    frame();
    const long withOneScene = CCObject::liveObjectCount();

    log.clear();
    ScreenScene* second = ScreenScene::make("B", log);
    director->replaceScene(second);
    EXPECT_NE(director->getRunningScene(), second);
    frame();
    EXPECT_EQ(director->getRunningScene(), second);
    // The old scene still ticks in the frame of the switch, then goes away.
    EXPECT_EQ(log, (std::vector<std::string>{"tick A", "exit A", "cleanup A", "enter B"}));
    // Gone: the old scene, its child, their arrays and the child's action; new: B and its array.
    EXPECT_EQ(CCObject::liveObjectCount(), withOneScene - 3);
    log.clear();
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"tick B"}));
}

TEST_F(DirectorTest, PushedScenesComeBackWithTheirTimers)
{
    director->runWithScene(ScreenScene::make("A", log));
    director->pushScene(ScreenScene::make("B", log));
    frame();
    director->popScene();
    frame();
    frame();
    EXPECT_EQ(log, (std::vector<std::string>{"enter A", "tick A", "exit A", "enter B", "tick B", "exit B",
                                             "cleanup B", "enter A", "tick A"}));
}

TEST_F(DirectorTest, FramesDrainTheAutoreleasePool)
{
    const long before = CCObject::liveObjectCount();
    CCNode::create();
    CCArray* kept = CCArray::create();
    kept->retain();
    frame();
    EXPECT_EQ(CCObject::liveObjectCount(), before + 1);
    EXPECT_EQ(director->getTotalFrames(), 1u);
    kept->release();
}

TEST_F(DirectorTest, MeasuredStepsAfterAStallAreClamped)
{
    int64_t ticks = 1'000'000'000;
    zqSetClockTicks(ticks);
    director->drawScene();
    EXPECT_FLOAT_EQ(director->getDeltaTime(), 0.0f);
    ticks += 166'667; // 1/60 s in 100 ns ticks
    zqSetClockTicks(ticks);
    director->drawScene();
    EXPECT_NEAR(director->getDeltaTime(), 1.0f / 60.0f, 1e-5f);
    ticks += 50'000'000; // a five-second stall
    zqSetClockTicks(ticks);
    director->drawScene();
    EXPECT_NEAR(director->getDeltaTime(), 1.0f / 60.0f, 1e-5f);
    ticks -= 10'000'000; // the wall clock stepped back
    zqSetClockTicks(ticks);
    director->drawScene();
    EXPECT_FLOAT_EQ(director->getDeltaTime(), 0.0f);
    zqSetClockTicks(std::nullopt);
}

TEST_F(DirectorTest, PauseStopsTimeButNotFrames)
{
    director->runWithScene(ScreenScene::make("A", log));
    director->pause();
    frame();
    EXPECT_TRUE(director->isPaused());
    director->resume();
    frame();
    EXPECT_EQ(std::count(log.begin(), log.end(), "tick A"), 1);
    EXPECT_EQ(director->getTotalFrames(), 2u);
}

TEST_F(DirectorTest, AnimationIntervalIsCappedAtSixtyFrames)
{
    director->setAnimationInterval(1.0 / 144.0);
    EXPECT_DOUBLE_EQ(director->getAnimationInterval(), 1.0 / 60.0);
    director->setAnimationInterval(1.0 / 30.0);
    EXPECT_DOUBLE_EQ(director->getAnimationInterval(), 1.0 / 30.0);
}

TEST_F(DirectorTest, EndTearsDownOnTheNextFrame)
{
    director->runWithScene(ScreenScene::make("A", log));
    director->end();
    EXPECT_TRUE(view.isOpenGLReady());
    frame();
    EXPECT_FALSE(view.isOpenGLReady());
    EXPECT_EQ(log, (std::vector<std::string>{"enter A", "exit A", "cleanup A"}));
    director = CCDirector::sharedDirector();
    EXPECT_EQ(director->getRunningScene(), nullptr);
    EXPECT_EQ(director->getOpenGLView(), nullptr);
}

namespace {

// Launches on its own view, runs three frames, then ends the program.
class ThreeFrameApp : public CCApplication {
public:
    bool applicationDidFinishLaunching() override
    {
        ++launches;
        view.setFrameSize(100.0f, 100.0f);
        CCDirector::sharedDirector()->setOpenGLView(&view);
        Counter* scene = new Counter();
        scene->init();
        scene->autorelease();
        scene->schedule(schedule_selector(Counter::tick));
        CCDirector::sharedDirector()->runWithScene(scene);
        return true;
    }
    void applicationDidEnterBackground() override {}
    void applicationWillEnterForeground() override {}

    struct Counter : CCScene {
        void tick(float)
        {
            times.push_back(ccFrameClock().now());
            if (++frames == 3)
                CCDirector::sharedDirector()->end();
        }
    };
    static inline int frames = 0;
    static inline std::vector<double> times;
    int launches = 0;
    CCEGLView view;
};

} // namespace

TEST(ApplicationTest, RunLaunchesThenLoopsUntilTheDirectorEnds)
{
    const long before = CCObject::liveObjectCount();
    // A clock whose sleep only moves its time on: the pace is checked whatever the
    // machine's load does to real waits.
    static double fakeNow = 0.0;
    ccSetFrameClock({[] { return fakeNow; }, [](double until) { fakeNow = std::max(fakeNow, until); }});
    {
        ThreeFrameApp app;
        EXPECT_EQ(CCApplication::sharedApplication(), &app);
        EXPECT_EQ(app.run(), 0);
        EXPECT_EQ(app.launches, 1);
        EXPECT_EQ(ThreeFrameApp::frames, 3);
        // The loop draws at most 60 frames a second, however fast a frame is done.
        ASSERT_EQ(ThreeFrameApp::times.size(), 3u);
        for (size_t i = 1; i < ThreeFrameApp::times.size(); ++i)
            EXPECT_GE(ThreeFrameApp::times[i] - ThreeFrameApp::times[i - 1], 1.0 / 60.0 - 1e-9);
        EXPECT_FALSE(app.view.isOpenGLReady());
    }
    ccSetFrameClock({});
    EXPECT_EQ(CCApplication::sharedApplication(), nullptr);
    EXPECT_EQ(CCObject::liveObjectCount(), before);
}

namespace {

// Ends the director on its 30th tick, recording every step and hook call.
struct FixedStepApp : TickingApp {
    FixedStepApp()
        : TickingApp(view, [this](float dt) {
              log.push_back("tick");
              steps.push_back(dt);
              if (steps.size() == 30)
                  CCDirector::sharedDirector()->end();
          })
    {
    }
    CCEGLView view;
    std::vector<std::string> log;
    std::vector<float> steps;
};

} // namespace

TEST(ApplicationTest, FixedStepRunsFramesBackToBackWithTheStepAndTheHooksAroundEach)
{
    FixedStepApp app;
    app.setFixedStep(1.0f / 60.0f);
    app.setFrameHooks([&app] { app.log.push_back("before"); }, [&app] { app.log.push_back("after"); });
    // A loop that paced the 30 frames would wait the interval 29 times (the director ends
    // with the run, and its interval with it); on a clock whose sleep only moves its time
    // on, that shows whatever the machine's speed.
    constexpr double kInterval = 10.0;
    app.setAnimationInterval(kInterval);
    static double fakeNow = 0.0;
    ccSetFrameClock({[] { return fakeNow; }, [](double until) { fakeNow = std::max(fakeNow, until); }});
    EXPECT_EQ(app.run(), 0);
    ccSetFrameClock({});
    EXPECT_LT(fakeNow, kInterval);
    ASSERT_EQ(app.steps.size(), 30u);
    for (float step : app.steps)
        EXPECT_EQ(step, 1.0f / 60.0f);
    // The frame that tears the director down gets its before hook only.
    ASSERT_EQ(app.log.size(), 30u * 3 + 1);
    EXPECT_EQ((std::vector<std::string>(app.log.begin(), app.log.begin() + 3)),
              (std::vector<std::string>{"before", "tick", "after"}));
    EXPECT_EQ(app.log.back(), "before");

    app.setFixedStep(-1.0f);
    EXPECT_EQ(app.getFixedStep(), 0.0f);
}

