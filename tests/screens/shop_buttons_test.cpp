// Purchase, power-up, lock and link buttons on a shown menu: coin purchases, one-time
// and per-game items, the removal of ads, flags held across an erase and a reload, the
// power-up's use, refills and press modes, and the lock's payment, destinations and
// relocking.
#include "ui_screen_support.h"

#include "app/ZqAdController.h"
#include "model/loading/ZqModelLoader.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLevelSection.h"
#include "screens/buttons/ZqPObjectButtonLock.h"
#include "screens/buttons/ZqPObjectButtonPowerup.h"
#include "screens/buttons/ZqPObjectButtonPurchase.h"
#include "shop_media_support.h"

namespace {

using namespace cocos2d;

class ShopTest : public UiScreenTest {
protected:
    void SetUp() override
    {
        UiScreenTest::SetUp();
        // Saving is allowed once the game has loaded.
        ZqModelLoader::shared()->nextPhase();
        ZqModelLoader::shared()->nextPhase();
        powerup = ZqModelAssetPowerup::create();
        powerup->m_powerupType->setValue("kPowerupCoin", true);
        powerup->m_rewardCoins->setValue(5.0f, true);
        ZqModelController::shared()->addModel(powerup);
    }

    template <class Model>
    std::shared_ptr<Model> place(const std::string& name, CCPoint position)
    {
        auto model = Model::create();
        model->setName(name);
        model->m_position->setValue(position, true);
        menu->screen()->addChild(model, true);
        ZqModelController::shared()->addModel(model);
        return model;
    }
    // A coin purchase of the power-up.
    std::shared_ptr<ZqModelObjectButtonPurchase> purchase(const std::string& name, CCPoint position, float price,
                                                         const std::string& oneTime)
    {
        auto model = place<ZqModelObjectButtonPurchase>(name, position);
        model->m_type->setValue("kPurchasePowerup", true);
        model->m_action->setValue(std::to_string(powerup->id()), true);
        model->m_purchaseMethod->setValue("kInGameCurrency", true);
        model->m_price->setValue(price, true);
        model->m_quantity->setValue(2.0f, true);
        model->m_oneTimePurchase->setValue(oneTime, true);
        return model;
    }
    template <class Button>
    Button* buttonAt(std::size_t index) const
    {
        return dynamic_cast<Button*>(shown()->allButtons().at(index));
    }
    int& purse() { return ScoreRegistry::global().coins.total; }
    int held() const { return ZqPSettingsController::shared()->inventoryCount(powerup); }

    std::shared_ptr<ZqModelAssetPowerup> powerup;
};

TEST_F(ShopTest, ACoinPurchasePaysStocksSellsOnceAndComesBackForTheNextGame)
{
    purchase("Magnet Pack", CCPoint(100, 100), 49.5f, "kPerGamePurchase");
    purchase("Cheap", CCPoint(300, 100), 49.5f, "kDefault");
    purse() = 49;
    show("Menu");
    touch(300, 100);
    EXPECT_EQ(purse(), 49) << "49 coins do not reach 49.5";
    EXPECT_EQ(held(), 0);

    purse() = 50;
    touch(100, 100);
    EXPECT_EQ(purse(), 1);
    EXPECT_EQ(held(), 2);
    auto* sold = buttonAt<ZqPObjectButtonPurchase>(0);
    EXPECT_FALSE(sold->isVisible());
    EXPECT_FALSE(sold->isEnabled());
    EXPECT_FALSE(purchasedItemFlag("Magnet Pack"));
    touch(100, 100);
    EXPECT_EQ(held(), 2) << "a sold item is not sold again";

    purse() = 100;
    touch(300, 100);
    touch(300, 100);
    EXPECT_EQ(purse(), 2) << "an item sold again and again";
    EXPECT_TRUE(buttonAt<ZqPObjectButtonPurchase>(1)->isVisible());

    // The purchase was saved: a fresh controller reads it back.
    ZqPSettingsController::purgeShared();
    EXPECT_EQ(held(), 6);
    EXPECT_FALSE(purchasedItemFlag("Magnet Pack"));

    ZqPurchaseRegistry::resetPerGamePurchases();
    show("Menu");
    frame();
    EXPECT_TRUE(buttonAt<ZqPObjectButtonPurchase>(0)->isVisible());
    EXPECT_TRUE(buttonAt<ZqPObjectButtonPurchase>(0)->isEnabled());
}

TEST_F(ShopTest, RemovingAdsWithCoinsRemovesThemWhateverBuyAndUseSays)
{
    auto noAds = purchase("No Ads", CCPoint(100, 100), 10.0f, "kDefault");
    noAds->m_type->setValue("kPurchaseRemoveAds", true);
    auto other = purchase("No Ads Either", CCPoint(300, 100), 10.0f, "kDefault");
    other->m_type->setValue("kPurchaseRemoveAds", true);
    purse() = 10;
    show("Menu");
    touch(100, 100);
    EXPECT_EQ(purse(), 0);
    EXPECT_TRUE(ZqPSettingsController::shared()->adsRemoved());
    for (ZqPObjectButton* button : shown()->allButtons())
        EXPECT_FALSE(button->isVisible()) << button->model()->name();
    EXPECT_EQ(linesWith("purchase did comlete: non IAP purchase"), 1);

    show("Menu");
    EXPECT_FALSE(buttonAt<ZqPObjectButtonPurchase>(0)->isEnabled()) << "bought away for good";
}

TEST_F(ShopTest, AOneTimeItemWithALongIntervalHidesOnlyItsButtonTillAResetBindsItsFlag)
{
    auto item = purchase("Once", CCPoint(100, 100), 0.0f, "kOneTimePurchase");
    item->m_interval->setValue(2.0f, true);
    // Progress is loaded first: a load, like a reset, binds the flags of the live buttons.
    ZqPSettingsController::shared();
    show("Menu");
    auto* button = buttonAt<ZqPObjectButtonPurchase>(0);
    button->purchase();
    EXPECT_FALSE(button->isVisible());
    EXPECT_TRUE(purchasedItemFlag("Once")) << "no flag is bound when built";
    ZqPurchaseRegistry::reset();
    button->purchase();
    EXPECT_FALSE(purchasedItemFlag("Once")) << "a reset binds the flag of every live button";
    show("Menu");
    frame();
    EXPECT_TRUE(buttonAt<ZqPObjectButtonPurchase>(0)->isVisible()) << "a button built for it reads no flag";
}

TEST_F(ShopTest, ButtonsReadLiveFlagsAfterAnEraseAndAReload)
{
    purchase("Pack", CCPoint(100, 100), 0.0f, "kPerGamePurchase");
    place<ZqModelObjectLockButton>("Door", CCPoint(300, 100))->m_unlock->setValue("kInAppPurchase", true);
    show("Menu");
    auto* lock = buttonAt<ZqPObjectButtonLock>(1);
    auto* pack = buttonAt<ZqPObjectButtonPurchase>(0);
    purchasedItemFlag("Door") = false;
    frame();
    EXPECT_FALSE(lock->isLockedShown());

    ZqPurchaseRegistry::reset();
    frame();
    EXPECT_TRUE(lock->isLockedShown()) << "an erase locks again";
    pack->purchase();
    EXPECT_FALSE(purchasedItemFlag("Pack")) << "the button writes the registry's new flag";

    purchasedItemFlag("Door") = false;
    ZqPSettingsController::shared()->save();
    ZqPurchaseRegistry::reset();
    ZqPSettingsController::shared()->load();
    frame();
    EXPECT_FALSE(lock->isLockedShown()) << "the reloaded flag";
    EXPECT_EQ(ZqPurchaseRegistry::refreshCount(), 2u);
    show("Menu");
    frame();
    EXPECT_EQ(ZqPurchaseRegistry::refreshCount(), 2u) << "the old screen's buttons left the list";
}

TEST_F(ShopTest, APowerUpButtonUsesTheStockCreditsACoinPowerUpAndStartsRefills)
{
    auto button = place<ZqModelObjectButtonPowerup>("Use", CCPoint(100, 100));
    button->m_action->setValue(std::to_string(powerup->id()), true);
    button->m_refillTimeout->setValue(2.0f, true);
    button->m_maxRefill->setValue(3.0f, true);
    ZqPSettingsController::shared()->setInventoryCount(powerup, 3);
    show("Menu");
    auto* use = buttonAt<ZqPObjectButtonPowerup>(0);
    EXPECT_EQ(use->countLabel(), nullptr) << "a game without a font shows no labels";
    EXPECT_FALSE(ZqPSettingsController::shared()->isRefillRunning(powerup->id())) << "the stock is full";

    touch(100, 100);
    EXPECT_EQ(held(), 2);
    EXPECT_EQ(purse(), 5) << "a coin power-up pays on a menu";
    EXPECT_EQ(ZqPSettingsController::shared()->refillRemainingSeconds(powerup->id()), 120) << "minutes";
    touch(100, 100);
    touch(100, 100);
    frame();
    EXPECT_EQ(held(), 0);
    EXPECT_FALSE(use->isEnabled());
    use->activate();
    EXPECT_EQ(held(), 0) << "none is used below 0";

    EXPECT_EQ(ZqPObjectButtonPowerup::refillText(3725), "01:02:05");
    EXPECT_EQ(ZqPObjectButtonPowerup::refillText(25 * 3600 + 61), "25:01:01");
}

TEST_F(ShopTest, PowerUpButtonsForceOnPressAndUnlimitedUseAndRefillOnlyWithATimeout)
{
    auto forced = place<ZqModelObjectButtonPowerup>("Forced", CCPoint(100, 100));
    forced->m_action->setValue(std::to_string(powerup->id()), true);
    forced->m_forceActionOnPress->setValue(true, true);
    auto unlimited = place<ZqModelObjectButtonPowerup>("Unlimited", CCPoint(300, 100));
    unlimited->m_action->setValue(std::to_string(powerup->id()), true);
    unlimited->m_unlimitedUse->setValue(true, true);
    ZqPSettingsController::shared()->setInventoryCount(powerup, 1);
    show("Menu");
    EXPECT_FALSE(ZqPSettingsController::shared()->isRefillRunning(powerup->id())) << "no timeout, no timer";

    touchDown(100, 100);
    EXPECT_EQ(held(), 0) << "used on press";
    EXPECT_EQ(purse(), 5);
    touchUp(100, 100);
    EXPECT_EQ(purse(), 5) << "nothing on release";

    frame();
    EXPECT_TRUE(buttonAt<ZqPObjectButtonPowerup>(1)->isEnabled());
    touch(300, 100);
    EXPECT_EQ(held(), 0) << "unlimited use takes none";
    EXPECT_EQ(purse(), 10);
}

TEST_F(ShopTest, PowerUpLabelsShowTheCountAndTheCountdownWhileBelowTheMaximum)
{
    ShopMedia media;
    auto timed = place<ZqModelObjectButtonPowerup>("Timed", CCPoint(100, 100));
    timed->m_action->setValue(std::to_string(powerup->id()), true);
    timed->m_refillTimeout->setValue(60.0f, true);
    timed->m_maxRefill->setValue(3.0f, true);
    auto plain = place<ZqModelObjectButtonPowerup>("Plain", CCPoint(300, 100));
    plain->m_action->setValue(std::to_string(powerup->id()), true);
    ZqPSettingsController::shared()->setInventoryCount(powerup, 2);
    show("Menu");
    auto* withTimer = buttonAt<ZqPObjectButtonPowerup>(0);
    ASSERT_NE(withTimer->countLabel(), nullptr);
    ASSERT_NE(withTimer->timerLabel(), nullptr);
    EXPECT_STREQ(withTimer->countLabel()->getString(), "2");
    EXPECT_TRUE(withTimer->timerLabel()->isVisible());
    EXPECT_STREQ(withTimer->timerLabel()->getString(), "01:00:00") << "an hour to the next refill";
    EXPECT_EQ(buttonAt<ZqPObjectButtonPowerup>(1)->timerLabel(), nullptr) << "no timeout, no timer label";

    ZqPSettingsController::shared()->setInventoryCount(powerup, 3);
    frame();
    EXPECT_STREQ(withTimer->countLabel()->getString(), "3");
    EXPECT_FALSE(withTimer->timerLabel()->isVisible()) << "full";
}

TEST_F(ShopTest, UnknownShopTokensSellAnItemOfNoKindOnceWithoutPayment)
{
    // No way of paying: bought at once; no kind: nothing stocked; not "kDefault": sold once.
    auto odd = purchase("Odd", CCPoint(100, 100), 20.0f, "kSeasonal");
    odd->m_type->setValue("kPurchaseLater", true);
    odd->m_purchaseMethod->setValue("kBarter", true);
    purse() = 20;
    show("Menu");
    touch(100, 100);
    EXPECT_EQ(purse(), 20);
    EXPECT_EQ(held(), 0);
    EXPECT_FALSE(buttonAt<ZqPObjectButtonPurchase>(0)->isVisible());
    EXPECT_FALSE(purchasedItemFlag("Odd"));
    EXPECT_EQ(odd->typeText(), "kPurchaseLater") << "the texts stay as the data has them";
    EXPECT_EQ(odd->purchaseMethodText(), "kBarter");
}

class LockTest : public ShopTest {
protected:
    std::shared_ptr<ZqModelObjectLockButton> door(const std::string& destination)
    {
        auto lock = place<ZqModelObjectLockButton>("Door", CCPoint(100, 100));
        lock->m_price->setValue(30.0f, true);
        lock->m_destination->setValue(destination, true);
        return lock;
    }
    ZqPObjectButtonLock* lockButton() const { return buttonAt<ZqPObjectButtonLock>(0); }
};

TEST_F(LockTest, OnePressPaysUnlocksAndFollowsToItsScene)
{
    auto lock = door("kSceneDestination");
    lock->m_scene->setValue("7", true);
    lock->m_autoFollow->setValue(true, true);
    FlowGraph::link(*menu, "Door", *graph.menu("Level"));
    show("Menu");
    EXPECT_TRUE(lockButton()->isLockedShown()) << "a new game starts locked";

    purse() = 29;
    touch(100, 100);
    EXPECT_TRUE(purchasedItemFlag("Door"));
    EXPECT_EQ(linesWith("[ZqServices] alert:"), 1);
    EXPECT_EQ(history().back(), "Menu") << "no action while locked";

    purse() = 30;
    touch(100, 100);
    EXPECT_EQ(purse(), 0);
    EXPECT_FALSE(purchasedItemFlag("Door"));
    EXPECT_EQ(ZqPScreenNavigator::shared()->sceneDestination(), 7);
    EXPECT_EQ(history().back(), "Level");
}

TEST_F(LockTest, LockedAndUnlockedImages)
{
    ShopMedia media;
    door("kSceneDestination")->m_lockedImage->setValue(media.image(), true);
    show("Menu");
    EXPECT_EQ(lockButton()->getNormalImage()->getContentSize(), CCSize(40, 40)) << "the locked image";
    // Pressed, it darkens; disabled, darker still: the tints of its images show.
    auto shade = [](CCNode* image) { return static_cast<CCSprite*>(image)->getDisplayedColor(); };
    EXPECT_EQ(shade(lockButton()->getNormalImage()), ccc3(255, 255, 255));
    EXPECT_EQ(shade(lockButton()->getSelectedImage()), ccc3(128, 128, 128));
    EXPECT_EQ(shade(lockButton()->getDisabledImage()), ccc3(60, 60, 60));
    purchasedItemFlag("Door") = false;
    frame();
    EXPECT_EQ(lockButton()->getNormalImage()->getContentSize(), CCSize(100, 100)) << "no own image: a touch area";
}

TEST_F(LockTest, AutoLockRelocksAndTheNextDestinationAdvancesWithinItsScene)
{
    auto lock = door("kNextSceneDestination");
    lock->m_autoLock->setValue(true, true);
    auto game = graph.world("Game");
    std::vector<unsigned> sections;
    for (int i = 0; i < 3; ++i) {
        auto section = ZqModelLevelSection::create();
        game->screen()->addChild(section, true);
        ZqModelController::shared()->addModel(section);
        sections.push_back(section->id());
    }
    purchasedItemFlag("Door") = false;
    show("Menu");
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    navigator->setSceneDestination(static_cast<int>(sections[0]));
    touch(100, 100);
    EXPECT_EQ(navigator->sceneDestination(), static_cast<int>(sections[1]));
    EXPECT_TRUE(purchasedItemFlag("Door")) << "locked again after use";
    frame();
    EXPECT_TRUE(lockButton()->isLockedShown());

    purchasedItemFlag("Door") = false;
    frame();
    touch(100, 100);
    EXPECT_EQ(navigator->sceneDestination(), static_cast<int>(sections[2]));
}

TEST_F(LockTest, AnUnknownUnlockOnlySavesAndAnUnknownDestinationKeepsTheDestination)
{
    auto lock = door("kElsewhere");
    lock->m_unlock->setValue("kBarter", true);
    lock->m_scene->setValue("7", true);
    FlowGraph::link(*menu, "Door", *graph.menu("Level"));
    show("Menu");
    purse() = 30;
    touch(100, 100);
    EXPECT_EQ(purse(), 30);
    EXPECT_TRUE(purchasedItemFlag("Door"));
    EXPECT_EQ(linesWith("[ZqServices] alert:"), 0);
    EXPECT_EQ(history().back(), "Menu");

    purchasedItemFlag("Door") = false;
    frame();
    ZqPScreenNavigator::shared()->setSceneDestination(3);
    touch(100, 100);
    EXPECT_EQ(ZqPScreenNavigator::shared()->sceneDestination(), 3);
    EXPECT_EQ(history().back(), "Level") << "the action still runs";
}

TEST_F(ShopTest, LinkButtonsLogEmptyDataAndRunNoAction)
{
    place<ZqModelObjectButtonUrl>("Site", CCPoint(100, 100));
    auto page = place<ZqModelObjectButtonFacebook>("Page", CCPoint(300, 100));
    page->m_url->setValue("https://example.org/page", true);
    auto set = place<ZqModelObjectButtonUrl>("Set", CCPoint(100, 250));
    set->m_url->setValue("https://example.org", true);
    auto fullPage = place<ZqModelObjectButtonFacebook>("Full Page", CCPoint(300, 250));
    fullPage->m_url->setValue("https://example.org/full", true);
    fullPage->m_facebookId->setValue("1234", true);
    FlowGraph::link(*menu, "Site", *graph.menu("Elsewhere"));
    show("Menu");
    touch(100, 100);
    touch(300, 100);
    touch(100, 250);
    touch(300, 250);
    EXPECT_EQ(linesWith("Button URL is empty"), 1);
    EXPECT_EQ(linesWith("Facebook button URL and ID is empty"), 1);
    // The desktop opens nothing: what a device would open is logged, once a press.
    EXPECT_EQ(linesWith("[ZqServices] would open https://example.org"), 1);
    EXPECT_EQ(linesWith("[ZqServices] would open social page https://example.org/full 1234"), 1);
    EXPECT_EQ(history().back(), "Menu") << "a link button runs no screen action";
}

} // namespace
