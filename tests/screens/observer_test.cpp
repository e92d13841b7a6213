// Event observers: the time-out, the played counts, the review request, the score
// limits and the last level section of a world.
#include "screens/ZqPObjectEventObserver.h"

#include "app/app_test_support.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"
#include "screens/ZqPScreenNavigator.h"

namespace {

class ObserverTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ZqPScreenNavigator::shared()->reset();
    }
    void TearDown() override
    {
        ZqPScreenNavigator::shared()->reset();
        AppTest::TearDown();
    }

    // A fresh observer, kept by the test (not autoreleased into a pool no frame drains).
    ZqPObjectEventObserver* observer(const std::string& type, float limit = 0.0f, float plays = 0.0f,
                                     unsigned timeMs = 0)
    {
        auto model = ZqModelObjectEventObserver::create();
        model->m_eventType->setValue(type, true);
        model->m_limitNumber->setValue(limit, true);
        model->m_playsBeforeRedirect->setValue(plays, true);
        model->m_time->setValue(timeMs, true);
        ZqPObjectEventObserver* made = ZqPObjectEventObserver::create(model);
        made->retain();
        m_made.push_back(made);
        return made;
    }
    ~ObserverTest() override
    {
        for (ZqPObjectEventObserver* made : m_made)
            made->release();
        cocos2d::CCPoolManager::sharedPoolManager()->pop();
    }

    static constexpr const char* kKey = "Menu Screen";
    int played() const { return ZqPSettingsController::shared()->screenPlayedCount(kKey); }

private:
    std::vector<ZqPObjectEventObserver*> m_made;
};

TEST_F(ObserverTest, ATimeoutFiresOnceItsTimeIsUsedUpAndOnEveryUpdateAfter)
{
    ZqPObjectEventObserver* timeout = observer("kTimeout", 0, 0, 1500);
    EXPECT_FLOAT_EQ(timeout->timeLeft(), 1.5f);
    EXPECT_FALSE(timeout->evaluate(0.5f, kKey).fires);
    EXPECT_FALSE(timeout->evaluate(0.5f, kKey).fires);
    const ZqPObjectEventObserver::Outcome third = timeout->evaluate(0.5f, kKey);
    EXPECT_TRUE(third.fires);
    EXPECT_EQ(third.transition, 1);
    EXPECT_TRUE(timeout->evaluate(0.5f, kKey).fires);
    EXPECT_EQ(timeout->startMode(), 14);
    EXPECT_EQ(timeout->pauseMode(), 1);
    timeout->model()->m_function->setValue("kStartKeepScores", true);
    timeout->model()->m_pauseCurrentWorld->setValue(true, true);
    EXPECT_EQ(timeout->startMode(), 10);
    EXPECT_EQ(timeout->pauseMode(), 0);
    timeout->model()->m_function->setValue("kStartCheckpointButton", true);
    EXPECT_EQ(timeout->startMode(), 0);
}

TEST_F(ObserverTest, ASecondPlayRedirectsFromTheSecondShowingAndCountsEveryShowing)
{
    std::vector<bool> fired;
    for (int showing = 0; showing < 3; ++showing) {
        ZqPObjectEventObserver* second = observer("kSecondPlay", 0, 1.0f);
        fired.push_back(second->evaluate(0.1f, kKey).fires);
        EXPECT_FALSE(second->evaluate(0.1f, kKey).fires) << "once a showing";
    }
    EXPECT_EQ(fired, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(played(), 3);
}

TEST_F(ObserverTest, AReviewIsAskedEveryPeriodAndNeverForAFractionOrBelowOne)
{
    for (float plays : {3.0f, 2.5f, 0.0f, 0.5f}) {
        ZqPSettingsController::purgeShared();
        cocos2d::CCUserDefault::sharedUserDefault()->deleteStore();
        std::vector<int> asked;
        for (int showing = 0; showing < 9; ++showing) {
            if (observer("kRequestReview", 0, plays)->evaluate(0.1f, kKey).requestsReview)
                asked.push_back(showing);
        }
        EXPECT_EQ(asked, plays == 3.0f ? (std::vector<int>{2, 5, 8}) : std::vector<int>{}) << plays;
        EXPECT_EQ(played(), 9) << plays;
    }
}

TEST_F(ObserverTest, ScoreLimitsFireAtExactlyTheLimit)
{
    ScoreRegistry::setCurrentKey("Game");
    ScoreRegistry::current().distance.session = 99.9f;
    ZqPObjectEventObserver* distance = observer("kScoreSessionDistance", 100.0f);
    EXPECT_FALSE(distance->evaluate(0.1f, kKey).fires);
    ScoreRegistry::current().distance.session = 100.0f;
    EXPECT_TRUE(distance->evaluate(0.1f, kKey).fires);
    EXPECT_TRUE(distance->evaluate(0.1f, kKey).fires) << "every update while it holds";
    EXPECT_EQ(lines.back(), "[ZqPObjectEventObserver] an event observer got session distance limit");

    ScoreRegistry::current().points = {1, 2, 3, {}};
    ScoreRegistry::global().coins = {4, 5, 6, {}};
    ScoreRegistry::current().coins = {100, 100, 100, {}}; // a scene's coins never count
    struct Case {
        const char* type;
        float limit;
        const char* words;
    };
    const Case reached[] = {{"kScoreSessionPoints", 1, "session points"}, {"kScoreBestPoints", 2, "best points"},
                            {"kScoreTotalPoints", 3, "total points"},     {"kScoreSessionCoins", 4, "session coins"},
                            {"kScoreBestCoins", 5, "best coins"},         {"kScoreTotalCoins", 6, "total coins"}};
    for (const Case& c : reached) {
        EXPECT_TRUE(observer(c.type, c.limit)->evaluate(0.1f, kKey).fires) << c.type;
        EXPECT_EQ(lines.back(), std::string("[ZqPObjectEventObserver] an event observer got ") + c.words + " limit");
        EXPECT_FALSE(observer(c.type, c.limit + 1.0f)->evaluate(0.1f, kKey).fires) << c.type;
    }
    EXPECT_FALSE(observer("kGameOverOrSo", 0)->evaluate(0.1f, kKey).fires) << "an unknown type does nothing";
}

TEST_F(ObserverTest, TheLastSceneIsTheLastSectionOfItsWorld)
{
    auto world = ZqModelScreenScene::create();
    auto other = ZqModelScreenScene::create();
    std::vector<std::shared_ptr<ZqModelLevelSection>> sections;
    for (auto* parent : {world.get(), other.get(), world.get(), other.get()}) {
        auto section = ZqModelLevelSection::create();
        parent->addChild(section, true);
        ZqModelController::shared()->addModel(section);
        sections.push_back(section);
    }
    ZqModelController::shared()->addModel(world);
    ZqModelController::shared()->addModel(other);
    auto fires = [&](int destination) {
        ZqPScreenNavigator::shared()->setSceneDestination(destination);
        ZqPObjectEventObserver* last = observer("kLastScene");
        const bool fired = last->evaluate(0.1f, kKey).fires;
        EXPECT_FALSE(last->evaluate(0.1f, kKey).fires) << "once a showing";
        return fired;
    };
    EXPECT_FALSE(fires(static_cast<int>(sections[0]->id())));
    EXPECT_TRUE(fires(static_cast<int>(sections[2]->id())));
    EXPECT_TRUE(fires(static_cast<int>(sections[3]->id())));
    EXPECT_FALSE(fires(0));
    EXPECT_FALSE(fires(999999));
}

} // namespace
