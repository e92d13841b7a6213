// The start screen's loading UI: the splash that covers the view, built once, and the
// loading text; observers and power-ups on a shown menu.
#include "ui_screen_support.h"

#include "model/archive_test_util.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelAssets.h"
#include "objects/ZqPObjectText.h"
#include "tools/ZqMediaWriter.h"

namespace {

using namespace cocos2d;

class LoadingUiTest : public UiScreenTest {
protected:
    void TearDown() override
    {
        UiScreenTest::TearDown();
        CCFileUtils::sharedFileUtils()->setResourceRoot("");
    }

    // The start screen with a width x height "Default.png".
    ZqPScreenUi* startWithSplash(int width, int height)
    {
        EXPECT_TRUE(zqmedia::writePng(dir.path().string() + "/Default.png", width, height,
                                      [](int, int) { return zqmedia::Rgba{200, 200, 200, 255}; }));
        CCFileUtils::sharedFileUtils()->setResourceRoot(dir.path().string() + "/");
        director->runWithScene(ZqPScreenNavigator::shared()->sceneContainer());
        return shown();
    }

    template <class T>
    static std::vector<T*> childrenOf(CCNode* node)
    {
        std::vector<T*> found;
        for (CCObject* child : *node->getChildren()) {
            if (T* typed = dynamic_cast<T*>(child))
                found.push_back(typed);
        }
        return found;
    }

    archive_test::TempDir dir;
};

TEST_F(LoadingUiTest, AWideSplashCoversTheViewByItsHeightOnceAndTheTextFollows)
{
    ZqPScreenUi* screen = startWithSplash(200, 100);
    ASSERT_TRUE(screen->isLoadingUi());
    std::vector<CCSprite*> splashes = childrenOf<CCSprite>(screen);
    ASSERT_EQ(splashes.size(), 1u);
    EXPECT_FLOAT_EQ(splashes[0]->getScaleX(), 480.0f / 200.0f) << "wider than the view: its width fits";
    EXPECT_EQ(splashes[0]->getPosition(), CCPoint(240, 160));
    EXPECT_EQ(childrenOf<ZqPObjectText>(screen).size(), 1u);
    EXPECT_EQ(linesWith("scale X: 1.000000 Y: 1.000000"), 1);

    screen->setLoadingUi(true);
    EXPECT_EQ(childrenOf<CCSprite>(screen).size(), 1u) << "on twice builds once";
    EXPECT_EQ(childrenOf<ZqPObjectText>(screen).size(), 1u);
}

TEST_F(LoadingUiTest, ATallSplashCoversTheViewByItsWidth)
{
    ZqPScreenUi* screen = startWithSplash(100, 200);
    std::vector<CCSprite*> splashes = childrenOf<CCSprite>(screen);
    ASSERT_EQ(splashes.size(), 1u);
    EXPECT_FLOAT_EQ(splashes[0]->getScaleY(), 320.0f / 200.0f);
}

TEST_F(LoadingUiTest, WithoutASplashTheLoadingTextStillShows)
{
    director->runWithScene(ZqPScreenNavigator::shared()->sceneContainer());
    ZqPScreenUi* screen = shown();
    EXPECT_TRUE(childrenOf<CCSprite>(screen).empty());
    EXPECT_EQ(childrenOf<ZqPObjectText>(screen).size(), 1u);
    // Other screens show no loading UI and load nothing from their draws.
    frame();
    EXPECT_EQ(show("Menu")->loadingDrawCount(), 0);
    EXPECT_FALSE(shown()->isLoadingUi());
}

TEST_F(LoadingUiTest, AnObserverOnAMenuSwitchesThroughItsScreen)
{
    auto shop = graph.menu("Shop");
    auto observer = ZqModelObjectEventObserver::create();
    observer->setName("Time Is Up");
    observer->m_eventType->setValue("kTimeout", true);
    observer->m_time->setValue(1500u, true);
    menu->screen()->addChild(observer, true);
    FlowGraph::link(*menu, "Time Is Up", *shop);
    show("Menu");
    frame(0.5f);
    frame(0.5f);
    EXPECT_EQ(history().back(), "Menu");
    frame(0.5f);
    EXPECT_EQ(history().back(), "Shop") << "the time-out, through the linked switch";
}

TEST_F(LoadingUiTest, ACoinPowerUpPaysOnAMenuAndRemovedAdsHideTheirButtons)
{
    button(*menu, "No Ads", "kPurchaseRemoveAds", CCPoint(100, 100));
    ZqPScreenUi* screen = show("Menu");
    auto coins = ZqModelAssetPowerup::create();
    coins->m_powerupType->setValue("kPowerupCoin", true);
    coins->m_rewardCoins->setValue(25.0f, true);
    coins->m_rewardPoints->setValue(7.0f, true);
    screen->grantPowerup(coins, true);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 25);
    EXPECT_EQ(ScoreRegistry::global().coins.session, 25);
    EXPECT_EQ(ScoreRegistry::global().points.total, 7);
    coins->m_powerupType->setValue("kPowerupMagnet", true);
    screen->grantPowerup(coins, true);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 25) << "only coin power-ups pay on a menu";

    EXPECT_TRUE(screen->findButton(kButtonRemoveAds)->isVisible());
    screen->onAdsRemoved();
    EXPECT_FALSE(screen->findButton(kButtonRemoveAds)->isVisible());
}

} // namespace
