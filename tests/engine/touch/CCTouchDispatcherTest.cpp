#include "touch/CCTouchDispatcher.h"

#include "director/CCDirector.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace cocos2d;

namespace {

// A touch control as the game writes them: an engine object that is also a delegate.
// Every call is written to a shared log as "<name>:<phase>".
class Recorder : public CCObject, public CCTouchDelegate {
public:
    Recorder(std::string name, std::vector<std::string>& log, bool claims)
        : m_name(std::move(name)), m_log(log), m_claims(claims)
    {
    }

    bool ccTouchBegan(CCTouch* touch, CCEvent* event) override
    {
        m_log.push_back(m_name + ":began");
        if (onBegan)
            onBegan();
        return m_claims;
    }
    void ccTouchMoved(CCTouch* touch, CCEvent* event) override { m_log.push_back(m_name + ":moved"); }
    void ccTouchEnded(CCTouch* touch, CCEvent* event) override
    {
        m_log.push_back(m_name + ":ended");
        if (onEnded)
            onEnded();
    }
    void ccTouchCancelled(CCTouch* touch, CCEvent* event) override { m_log.push_back(m_name + ":cancelled"); }

    std::function<void()> onBegan;
    std::function<void()> onEnded;

private:
    std::string m_name;
    std::vector<std::string>& m_log;
    bool m_claims;
};

class TouchDispatchTest : public testing::Test {
protected:
    void TearDown() override
    {
        dispatcher->release();
        for (Recorder* recorder : recorders)
            recorder->release();
        CCDirector::sharedDirector()->purgeDirector();
        EXPECT_EQ(CCObject::liveObjectCount(), liveAtStart);
    }

    Recorder* add(const std::string& name, int priority, bool claims, bool swallows)
    {
        Recorder* recorder = new Recorder(name, log, claims);
        recorders.push_back(recorder);
        dispatcher->addTargetedDelegate(recorder, priority, swallows);
        return recorder;
    }

    // One touch through begin, move, end.
    void tap(int id = 0)
    {
        const int ids[] = {id};
        const float xs[] = {10.0f};
        const float ys[] = {20.0f};
        dispatcher->handleTouchesBegin(1, ids, xs, ys);
        dispatcher->handleTouchesMove(1, ids, xs, ys);
        dispatcher->handleTouchesEnd(1, ids, xs, ys);
    }

    // The director converts window positions: a fresh one for every test.
    long liveAtStart = (CCDirector::sharedDirector()->purgeDirector(), CCObject::liveObjectCount());
    CCDirector* director = CCDirector::sharedDirector();
    CCTouchDispatcher* dispatcher = new CCTouchDispatcher();
    std::vector<Recorder*> recorders;
    std::vector<std::string> log;
};

} // namespace

TEST_F(TouchDispatchTest, LowerPriorityFirstAndEqualPrioritiesInArrivalOrder)
{
    add("a", 0, false, false);
    add("b", -10, false, false);
    add("c", 0, false, false);
    add("d", -10, false, false);
    add("menu", kCCMenuHandlerPriority, false, false);
    tap();
    EXPECT_EQ(log, (std::vector<std::string>{"menu:began", "b:began", "d:began", "a:began", "c:began"}));

    log.clear();
    dispatcher->setPriority(-10, recorders[0]);
    tap();
    EXPECT_EQ(log, (std::vector<std::string>{"menu:began", "b:began", "d:began", "a:began", "c:began"}));
    log.clear();
    dispatcher->setPriority(-200, recorders[2]);
    tap();
    EXPECT_EQ(log.front(), "c:began");
}

TEST_F(TouchDispatchTest, ClaimersGetTheirTouchAndASwallowerHidesIt)
{
    add("refuses", -20, false, true);
    add("shares", -10, true, false);
    add("swallows", 0, true, true);
    add("hidden", 10, true, true);
    tap();
    EXPECT_EQ(log, (std::vector<std::string>{"refuses:began", "shares:began", "swallows:began", "shares:moved",
                                             "swallows:moved", "shares:ended", "swallows:ended"}));
}

TEST_F(TouchDispatchTest, EachTouchIsClaimedOnItsOwn)
{
    add("first", 0, true, true);
    const int ids[] = {0, 1};
    const float xs[] = {1.0f, 2.0f};
    const float ys[] = {1.0f, 2.0f};
    dispatcher->handleTouchesBegin(2, ids, xs, ys);
    dispatcher->handleTouchesEnd(1, ids + 1, xs + 1, ys + 1);
    dispatcher->handleTouchesMove(2, ids, xs, ys);
    EXPECT_EQ(log, (std::vector<std::string>{"first:began", "first:began", "first:ended", "first:moved"}));

    // A press on an id still down (its release was lost) cancels the old touch first.
    log.clear();
    dispatcher->handleTouchesBegin(1, ids, xs, ys);
    EXPECT_EQ(log, (std::vector<std::string>{"first:cancelled", "first:began"}));
    dispatcher->handleTouchesCancel(1, ids, xs, ys);
    EXPECT_EQ(log.back(), "first:cancelled");
}

TEST_F(TouchDispatchTest, DelegateRemovingItselfInItsCallbackIsSafe)
{
    Recorder* quitter = add("quitter", 0, true, false);
    add("after", 10, true, false);
    quitter->onBegan = [this, quitter] { dispatcher->removeDelegate(quitter); };
    // Only the dispatcher holds it now: it must survive its own callback.
    recorders.erase(recorders.begin());
    quitter->release();

    const long live = CCObject::liveObjectCount();
    tap();
    EXPECT_EQ(log, (std::vector<std::string>{"quitter:began", "after:began", "after:moved", "after:ended"}));
    EXPECT_EQ(CCObject::liveObjectCount(), live - 1);
}

TEST_F(TouchDispatchTest, DelegateRemovedByAnotherGetsNoFurtherCall)
{
    Recorder* first = add("first", 0, true, false);
    Recorder* second = add("second", 10, true, false);
    first->onEnded = [this, second] { dispatcher->removeDelegate(second); };
    tap();
    EXPECT_EQ(log, (std::vector<std::string>{"first:began", "second:began", "first:moved", "second:moved",
                                             "first:ended"}));
    log.clear();
    tap();
    EXPECT_EQ(log, (std::vector<std::string>{"first:began", "first:moved", "first:ended"}));
}

TEST_F(TouchDispatchTest, DelegateAddedDuringDispatchWaitsForTheNextTouch)
{
    Recorder* opener = add("opener", 10, false, false);
    Recorder* late = new Recorder("late", log, true);
    recorders.push_back(late);
    opener->onBegan = [this, opener, late] {
        dispatcher->addTargetedDelegate(late, -100, true);
        opener->onBegan = nullptr;
    };
    tap();
    EXPECT_EQ(log, (std::vector<std::string>{"opener:began"}));
    log.clear();
    tap();
    EXPECT_EQ(log, (std::vector<std::string>{"late:began", "late:moved", "late:ended"}));
}

TEST_F(TouchDispatchTest, RegistrationKeepsTheDelegateAlive)
{
    Recorder* control = add("control", 0, true, true);
    const unsigned int owned = control->retainCount();
    EXPECT_EQ(owned, 2u);
    dispatcher->addTargetedDelegate(control, 5, false);
    EXPECT_EQ(control->retainCount(), owned);
    dispatcher->removeDelegate(control);
    EXPECT_EQ(control->retainCount(), 1u);

    add("a", 0, true, true);
    add("b", 0, true, true);
    dispatcher->removeAllDelegates();
    for (Recorder* recorder : recorders)
        EXPECT_EQ(recorder->retainCount(), 1u);
    tap();
    EXPECT_TRUE(log.empty());
}

TEST_F(TouchDispatchTest, NothingIsDispatchedWhileEventsAreOff)
{
    add("control", 0, true, true);
    dispatcher->setDispatchEvents(false);
    tap();
    EXPECT_TRUE(log.empty());
    dispatcher->setDispatchEvents(true);
    tap();
    EXPECT_EQ(log.size(), 3u);
}
