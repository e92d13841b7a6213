#include "app_test_support.h"

#include "app/ZqAdController.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"

#include <climits>
#include <cmath>

class ScoreRegistryTest : public AppTest {};

TEST_F(ScoreRegistryTest, RewardsRaiseSessionTotalAndBestWithoutOverflow)
{
    ScoreBlock<int> coins;
    coins.add(30);
    coins.add(-20);
    coins.add(5);
    EXPECT_EQ(coins.session, 15);
    EXPECT_EQ(coins.total, 15);
    EXPECT_EQ(coins.best, 30);
    coins.add(INT_MAX);
    EXPECT_EQ(coins.session, INT_MAX);
    EXPECT_EQ(coins.total, INT_MAX);
    coins.keepSession();
    EXPECT_EQ(coins.snapshot, INT_MAX);
}

TEST_F(ScoreRegistryTest, CoinPaymentsTruncateThePriceAndCapTheSession)
{
    struct Case {
        int total, session;
        float price;
        bool paid;
        int totalAfter, sessionAfter;
    };
    const Case cases[] = {
        {100, 100, 100.5f, false, 100, 100}, {100, 100, 99.9f, true, 1, 1}, {100, 20, 100.0f, true, 0, 0},
        {50, 5, 49.5f, true, 1, 1},          {49, 5, 49.5f, false, 49, 5},  {10, 3, std::nanf(""), false, 10, 3},
    };
    for (const Case& c : cases) {
        ScoreBlock<int>& coins = ScoreRegistry::global().coins;
        coins = ScoreBlock<int>{c.session, 0, c.total, {}};
        EXPECT_EQ(ScoreRegistry::payCoins(c.price), c.paid) << c.total << " coins, price " << c.price;
        EXPECT_EQ(coins.total, c.totalAfter) << c.price;
        EXPECT_EQ(coins.session, c.sessionAfter) << "the session never exceeds the purse";
        EXPECT_EQ(coins.snapshot, c.paid ? std::optional<int>(c.sessionAfter) : std::nullopt);
    }
}

TEST_F(ScoreRegistryTest, RecordsAreKeptByKeyAtFixedAddresses)
{
    ScoreRecord& global = ScoreRegistry::global();
    EXPECT_EQ(&ScoreRegistry::recordFor(""), &global);
    ScoreRegistry::setCurrentKey("World 1");
    ScoreRecord& world = ScoreRegistry::current();
    for (int i = 0; i < 100; ++i)
        ScoreRegistry::recordFor("filler " + std::to_string(i));
    EXPECT_EQ(&ScoreRegistry::recordFor("World 1"), &world);
    EXPECT_EQ(&ScoreRegistry::global(), &global);
    EXPECT_EQ(ScoreRegistry::size(), 102u);
    ScoreRegistry::clear();
    EXPECT_EQ(ScoreRegistry::size(), 0u);
}

TEST_F(ScoreRegistryTest, ResetRestartsTheChosenSessionsOfTheCurrentAndGlobalRecords)
{
    ScoreRegistry::setCurrentKey("World 1");
    for (ScoreRecord* record : {&ScoreRegistry::current(), &ScoreRegistry::global(), &ScoreRegistry::recordFor("Other")}) {
        record->distance.add(100.0f);
        record->points.add(20);
        record->coins.add(7);
        record->coins.keepSession();
    }

    ScoreRegistry::reset(false, false, true, false);
    ScoreRecord& world = ScoreRegistry::current();
    EXPECT_EQ(world.coins.session, 0);
    EXPECT_FALSE(world.coins.snapshot.has_value());
    EXPECT_EQ(world.coins.total, 7);
    EXPECT_EQ(world.coins.best, 7);
    EXPECT_EQ(world.points.session, 20);
    EXPECT_EQ(ScoreRegistry::global().coins.session, 0);
    EXPECT_EQ(ScoreRegistry::recordFor("Other").coins.session, 7);

    ScoreRegistry::reset(false, false, false, true);
    EXPECT_EQ(world.distance.session, 0.0f);
    EXPECT_EQ(world.distance.best, 100.0f);
    EXPECT_EQ(world.points.session, 0);
    EXPECT_EQ(world.points.total, 20);
    EXPECT_EQ(ScoreRegistry::recordFor("Other").points.session, 20);
}

class AdControllerTest : public AppTest {
protected:
    // A reward target in the engine's callback style.
    class Target : public cocos2d::CCObject {
    public:
        void granted() { ++grants; }
        int grants = 0;
    };
};

TEST_F(AdControllerTest, BannersAndInterstitialsWriteTheirLinesAndKeepTheCurrentNetwork)
{
    ZqAdController ads;
    ads.showBanner("kNetworkA");
    EXPECT_EQ(ads.currentBanner(), "kNetworkA");
    EXPECT_TRUE(ads.isBannerShown());
    EXPECT_TRUE(logged("[ZqAdController] show banner: kNetworkA"));

    ads.hideBanner();
    EXPECT_EQ(lines.back(), "[ZqAdController] hide banner");
    EXPECT_FALSE(ads.isBannerShown());
    EXPECT_EQ(ads.currentBanner(), "kNetworkA");

    ads.showBanner("kNoAds");
    EXPECT_EQ(lines.back(), "[ZqAdController] hide banner");
    EXPECT_EQ(ads.currentBanner(), "");

    lines.clear();
    ads.showInterstitial("kNetworkB");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[ZqAdController] hide interstitial");
    EXPECT_EQ(lines[1], "[ZqAdController] show interstitial: kNetworkB");
    EXPECT_TRUE(ads.isInterstitialShown());
    ads.showInterstitial("");
    EXPECT_FALSE(ads.isInterstitialShown());
    EXPECT_EQ(ads.currentInterstitial(), "");
}

TEST_F(AdControllerTest, ARewardedVideoGrantsItsRewardOnceAtOnce)
{
    ZqAdController ads;
    EXPECT_FALSE(ads.isRewardedVideoAvailable(""));
    EXPECT_TRUE(ads.isRewardedVideoAvailable("kNetworkV"));
    EXPECT_EQ(ads.currentRewardedVideo(), "kNetworkV");

    Target target;
    ads.setRewardCallback(&target, callfunc_selector(Target::granted));
    ads.showRewardedVideo("");
    EXPECT_EQ(target.grants, 0);
    ads.showRewardedVideo("kNetworkV");
    EXPECT_EQ(target.grants, 1);
    EXPECT_TRUE(logged("[ZqAdController] rewarded video: kNetworkV"));
    // Consumed: the next video rewards only what is set up for it.
    ads.showRewardedVideo("kNetworkV");
    EXPECT_EQ(target.grants, 1);

    ads.setRewardCallback(&target, callfunc_selector(Target::granted));
    Target other;
    ads.clearRewardCallbackOf(&other);
    ads.clearRewardCallbackOf(&target);
    ads.showRewardedVideo("kNetworkV");
    EXPECT_EQ(target.grants, 0 + 1);
}

TEST_F(AdControllerTest, WithoutACallbackTheRewardUnlocksAndSelectsTheCharacter)
{
    for (const char* method : {"", "kRewardedVideos", "kRewardedVideos"}) {
        auto character = ZqModelController::shared()->createModel<ZqModelAssetCharacter>();
        character->m_purchaseMethod->setValue(std::string(method));
    }
    finishLoading();
    ZqAdController ads;
    ads.setRewardCharacter(2);
    ads.showRewardedVideo("kNetworkV");
    EXPECT_TRUE(ZqPSettingsController::shared()->isCharacterUnlocked(2));
    EXPECT_FALSE(ZqPSettingsController::shared()->isCharacterUnlocked(1));
    EXPECT_EQ(ZqPSettingsController::shared()->selectedCharacter(), 2);
    // Saved at once: the reward is progress.
    EXPECT_TRUE(relaunch()->isCharacterUnlocked(2));
}

class PurchaseRegistryTest : public AppTest {};

TEST_F(PurchaseRegistryTest, FlagsStartTrueAndStayAtTheirAddress)
{
    bool& flag = purchasedItemFlag("Shield Pack");
    EXPECT_TRUE(flag);
    flag = false;
    for (int i = 0; i < 200; ++i)
        purchasedItemFlag("item " + std::to_string(i));
    EXPECT_EQ(&purchasedItemFlag("Shield Pack"), &flag);
    EXPECT_FALSE(purchasedItemFlag("Shield Pack"));

    // Restoring the saved flags writes in place.
    ZqPurchaseRegistry::restoreFlags({{"Shield Pack", true}, {"Lock", false}});
    EXPECT_TRUE(flag);
    EXPECT_FALSE(purchasedItemFlag("Lock"));
}

TEST_F(PurchaseRegistryTest, ResetEmptiesTheFlagsAndRefreshesEveryHolderInOrder)
{
    int owners[3];
    std::vector<int> calls;
    bool* held = nullptr;
    auto addHolder = [&](int i) {
        ZqPurchaseRegistry::addRefresh(&owners[i], [&calls, &held, i] {
            calls.push_back(i);
            held = &purchasedItemFlag("Double Coins");
        });
    };
    addHolder(0);
    // A holder removed by an earlier refresh is not called.
    ZqPurchaseRegistry::addRefresh(&owners[0], [&owners] { ZqPurchaseRegistry::removeRefreshesOf(&owners[2]); });
    addHolder(1);
    addHolder(2);
    purchasedItemFlag("Double Coins") = false;

    ZqPurchaseRegistry::reset();
    EXPECT_EQ(calls, (std::vector<int>{0, 1}));
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(*held);
    EXPECT_EQ(ZqPurchaseRegistry::flags().size(), 1u);
    EXPECT_EQ(ZqPurchaseRegistry::refreshCount(), 3u);

    ZqPurchaseRegistry::removeRefreshesOf(&owners[0]);
    ZqPurchaseRegistry::removeRefreshesOf(&owners[1]);
    EXPECT_EQ(ZqPurchaseRegistry::refreshCount(), 0u);
}

TEST_F(PurchaseRegistryTest, APerGameResetOffersOnlyPerGamePurchasesAgain)
{
    auto makeButton = [](const std::string& name, const std::string& kind) {
        auto button = ZqModelController::shared()->createModel<ZqModelObjectButtonPurchase>();
        button->setName(name);
        button->m_oneTimePurchase->setValue(kind);
    };
    makeButton("Extra Life", "kPerGamePurchase");
    makeButton("No Ads", "kOneTimePurchase");
    makeButton("Coins", "kDefault");
    for (const char* name : {"Extra Life", "No Ads", "Coins"})
        purchasedItemFlag(name) = false;

    ZqPurchaseRegistry::resetPerGamePurchases();
    EXPECT_TRUE(purchasedItemFlag("Extra Life"));
    EXPECT_FALSE(purchasedItemFlag("No Ads"));
    EXPECT_FALSE(purchasedItemFlag("Coins"));
}
