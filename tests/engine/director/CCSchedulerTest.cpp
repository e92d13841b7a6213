#include "engine/director/DirectorFixture.h"

#include <functional>
#include <string>
#include <vector>

using namespace cocos2d;

namespace {

using SchedulerTest = DirectorFixture;

// Counts its calls and remembers the time each got.
class Ticker : public CCObject {
public:
    explicit Ticker(std::vector<std::string>* log = nullptr, std::string name = "") : m_log(log), m_name(name) {}

    void update(float dt) override
    {
        ++updates;
        if (m_log)
            m_log->push_back(m_name);
    }
    void tick(float dt)
    {
        passed.push_back(dt);
        if (onTick)
            onTick(this);
    }
    void other(float) { ++others; }

    int updates = 0;
    int others = 0;
    std::vector<float> passed;
    std::function<void(Ticker*)> onTick;

private:
    std::vector<std::string>* m_log;
    std::string m_name;
};

// Frames (1-based) on which a timer fired, over n ticks of dt.
std::vector<int> firingFrames(CCScheduler* scheduler, Ticker& ticker, int n, float dt)
{
    std::vector<int> frames;
    for (int i = 1; i <= n; ++i) {
        const size_t before = ticker.passed.size();
        scheduler->update(dt);
        if (ticker.passed.size() != before)
            frames.push_back(i);
    }
    return frames;
}

class SchedulerOnly : public ::testing::Test {
protected:
    void TearDown() override { scheduler->release(); }
    CCScheduler* scheduler = new CCScheduler();
};

} // namespace

TEST_F(SchedulerOnly, UpdatesRunByPriorityThenArrival)
{
    std::vector<std::string> log;
    Ticker a(&log, "a"), b(&log, "b"), c(&log, "c"), d(&log, "d");
    scheduler->scheduleUpdateForTarget(&a, 3, false);
    scheduler->scheduleUpdateForTarget(&b, 0, false);
    scheduler->scheduleUpdateForTarget(&c, -5, false);
    scheduler->scheduleUpdateForTarget(&d, 0, false);
    scheduler->scheduleUpdateForTarget(&b, -100, false); // already scheduled: ignored
    scheduler->update(0.1f);
    EXPECT_EQ(log, (std::vector<std::string>{"c", "b", "d", "a"}));
    scheduler->unscheduleAll();
}

TEST_F(SchedulerOnly, IntervalTimersKeepTheSurplus)
{
    Ticker ticker;
    scheduler->scheduleSelector(schedule_selector(Ticker::tick), &ticker, 1.0f, false);
    // 0.375 s steps: 1.125 fires (0.125 kept), then 1.25 fires on the 6th step, not the 7th.
    EXPECT_EQ(firingFrames(scheduler, ticker, 8, 0.375f), (std::vector<int>{3, 6, 8}));
    ASSERT_EQ(ticker.passed.size(), 3u);
    EXPECT_FLOAT_EQ(ticker.passed[0], 1.125f);
    EXPECT_FLOAT_EQ(ticker.passed[1], 1.25f);

    // At most once a tick, even for a step longer than the interval.
    Ticker fast;
    scheduler->scheduleSelector(schedule_selector(Ticker::tick), &fast, 0.25f, false);
    EXPECT_EQ(firingFrames(scheduler, fast, 2, 1.0f), (std::vector<int>{1, 2}));
    scheduler->unscheduleAll();
}

TEST_F(SchedulerOnly, OneShotAfterNFramesFiresOnTheNthFrameOnce)
{
    for (int n = 1; n <= 40; ++n) {
        Ticker ticker;
        scheduler->scheduleSelector(schedule_selector(Ticker::tick), &ticker, 0.0f, 0, n * (1.0f / 30.0f), false);
        EXPECT_EQ(firingFrames(scheduler, ticker, n + 5, 1.0f / 30.0f), (std::vector<int>{n})) << n << " frames";
        EXPECT_FALSE(scheduler->isScheduled(schedule_selector(Ticker::tick), &ticker));
    }
}

TEST_F(SchedulerOnly, RepeatCountAndDelay)
{
    Ticker ticker;
    scheduler->scheduleSelector(schedule_selector(Ticker::tick), &ticker, 0.5f, 2, 1.0f, false);
    EXPECT_EQ(firingFrames(scheduler, ticker, 12, 0.25f), (std::vector<int>{4, 6, 8}));

    // A repeating interval-0 timer fires every tick with the tick's step.
    Ticker every;
    scheduler->scheduleSelector(schedule_selector(Ticker::tick), &every, 0.0f, false);
    scheduler->setTimeScale(0.5f);
    firingFrames(scheduler, every, 3, 0.25f);
    EXPECT_EQ(every.passed, (std::vector<float>{0.125f, 0.125f, 0.125f}));
    scheduler->unscheduleAll();
}

TEST_F(SchedulerOnly, ChangesFromInsideCallbacksApplySafely)
{
    Ticker first, second, added;
    scheduler->scheduleSelector(schedule_selector(Ticker::tick), &first, 0.0f, false);
    scheduler->scheduleSelector(schedule_selector(Ticker::tick), &second, 0.0f, false);
    first.onTick = [&](Ticker* self) {
        // Removes the next target, itself, and adds a new timer and update.
        scheduler->unscheduleAllForTarget(&second);
        scheduler->unscheduleSelector(schedule_selector(Ticker::tick), self);
        scheduler->scheduleSelector(schedule_selector(Ticker::tick), &added, 0.0f, false);
        scheduler->scheduleUpdateForTarget(&added, 0, false);
    };
    scheduler->update(0.1f);
    EXPECT_EQ(first.passed.size(), 1u);
    EXPECT_EQ(second.passed.size(), 0u);
    EXPECT_EQ(added.passed.size(), 0u);
    EXPECT_EQ(added.updates, 0);
    scheduler->update(0.1f);
    EXPECT_EQ(first.passed.size(), 1u);
    EXPECT_EQ(added.passed.size(), 1u);
    EXPECT_EQ(added.updates, 1);

    // A selector scheduled again from its own last firing stays.
    Ticker again;
    again.onTick = [&](Ticker* self) {
        if (self->passed.size() == 1)
            scheduler->scheduleSelector(schedule_selector(Ticker::tick), self, 0.0f, 0, 0.2f, false);
    };
    scheduler->scheduleSelector(schedule_selector(Ticker::tick), &again, 0.0f, 0, 0.0f, false);
    firingFrames(scheduler, again, 4, 0.1f);
    EXPECT_EQ(again.passed.size(), 2u);
    scheduler->unscheduleAll();
}

TEST_F(SchedulerOnly, PausedTargetsAreSkipped)
{
    Ticker ticker;
    scheduler->scheduleUpdateForTarget(&ticker, 0, false);
    scheduler->scheduleSelector(schedule_selector(Ticker::other), &ticker, 0.0f, false);
    scheduler->pauseTarget(&ticker);
    EXPECT_TRUE(scheduler->isTargetPaused(&ticker));
    scheduler->update(0.1f);
    scheduler->resumeTarget(&ticker);
    scheduler->update(0.1f);
    EXPECT_EQ(ticker.updates, 1);
    EXPECT_EQ(ticker.others, 1);
    scheduler->unscheduleAll();
}

TEST_F(SchedulerOnly, ATargetLettingGoOfItselfInItsCallbackDiesAfterIt)
{
    const long before = CCObject::liveObjectCount();
    Ticker* owned = new Ticker();
    int readAfterRelease = 0;
    owned->onTick = [&](Ticker* self) {
        self->release();
        readAfterRelease = static_cast<int>(self->passed.size()); // still alive here
    };
    scheduler->scheduleSelector(schedule_selector(Ticker::tick), owned, 0.0f, false);
    scheduler->scheduleUpdateForTarget(owned, 0, false);
    scheduler->update(0.1f);
    EXPECT_EQ(readAfterRelease, 1);
    EXPECT_EQ(CCObject::liveObjectCount(), before);
    scheduler->update(0.1f); // nothing left to call
    EXPECT_FALSE(scheduler->isUpdateScheduled(owned));
}

// Schedules its update and a timer in init, before it is in a running scene.
class EarlyNode : public CCNode {
public:
    bool init() override
    {
        scheduleUpdate();
        schedule(schedule_selector(EarlyNode::tick), 0.0f);
        return true;
    }
    void update(float) override { ++updates; }
    void tick(float) { ++ticks; }
    int updates = 0;
    int ticks = 0;
};

TEST_F(SchedulerTest, NodesTickOnlyWhileRunning)
{
    EarlyNode* node = new EarlyNode();
    node->init();
    frame();
    EXPECT_EQ(node->updates, 0);

    CCScene* scene = runScene();
    scene->addChild(node);
    frame();
    EXPECT_EQ(node->updates, 1);
    EXPECT_EQ(node->ticks, 1);

    node->removeFromParentAndCleanup(false);
    frame();
    EXPECT_EQ(node->updates, 1);
    scene->addChild(node);
    frame();
    EXPECT_EQ(node->updates, 2);

    // Cleanup unschedules for good.
    node->removeFromParent();
    scene->addChild(node);
    frame();
    EXPECT_EQ(node->updates, 2);
    EXPECT_EQ(node->ticks, 2);
    node->release();
}

TEST_F(SchedulerTest, ANodeRemovedByAnEarlierCallbackIsNotCalled)
{
    CCScene* scene = runScene();
    Ticker remover;
    EarlyNode* victim = nullptr;
    remover.onTick = [&](Ticker*) { victim->removeFromParent(); };
    director->getScheduler()->scheduleSelector(schedule_selector(Ticker::tick), &remover, 0.0f, false);
    victim = new EarlyNode();
    victim->init();
    scene->addChild(victim);
    frame();
    EXPECT_EQ(victim->updates, 1); // updates run before timers
    EXPECT_EQ(victim->ticks, 0);
    director->getScheduler()->unscheduleAllForTarget(&remover);
    victim->release();
    frame();
}
