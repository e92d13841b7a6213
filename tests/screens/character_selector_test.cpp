// The character selector and the unlock-character buttons on a shown menu: taps and
// drags through the strip, selection only of unlocked characters, inertia, coin and
// video unlocks, the unlock action through the screen's selector, a stored selection
// past the list, no characters at all, the buttons' states and presses, and a screen
// that leaves nothing behind when it goes.
#include "ui_screen_support.h"

#include "app/ZqAdController.h"
#include "model/loading/ZqModelLoader.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelAssets.h"
#include "screens/buttons/ZqPObjectButtonUnlockCharacter.h"
#include "screens/ZqPObjectCharacterSelector.h"
#include "shop_media_support.h"

#include <cmath>

namespace {

using namespace cocos2d;

constexpr float kSpread = 100.0f;
const CCPoint kCentre(240, 160);

class SelectorTest : public UiScreenTest {
protected:
    void SetUp() override
    {
        UiScreenTest::SetUp();
        ZqModelLoader::shared()->nextPhase();
        ZqModelLoader::shared()->nextPhase();
    }

    // A character; a method makes it locked until unlocked that way.
    std::shared_ptr<ZqModelAssetCharacter> character(const std::string& method = "", float price = 0.0f)
    {
        auto model = ZqModelAssetCharacter::create();
        model->m_purchaseMethod->setValue(method, true);
        model->m_price->setValue(price, true);
        ZqModelController::shared()->addModel(model);
        return model;
    }
    // A selector at the centre, its touch box wide enough for taps three spreads out.
    std::shared_ptr<ZqModelObjectCharacterSelector> placeSelector()
    {
        auto model = ZqModelObjectCharacterSelector::create();
        model->m_position->setValue(kCentre, true);
        model->m_scale->setValue(CCPoint(8.0f, 2.0f), true);
        menu->screen()->addChild(model, true);
        return model;
    }
    ZqPObjectCharacterSelector* selector() const { return shown()->findCharacterSelector(); }
    // A tap steps spreads right of the centre.
    void tapAt(float steps) { touch(kCentre.x + steps * kSpread, kCentre.y); }
    void drag(float fromX, float toX)
    {
        touchDown(fromX, kCentre.y);
        const int ids[] = {0};
        const float xs[] = {toX};
        const float ys[] = {static_cast<float>(kScreenHeight) - kCentre.y};
        director->getTouchDispatcher()->handleTouchesMove(1, ids, xs, ys);
        touchUp(toX, kCentre.y);
    }
    // The id of the character at index.
    static unsigned characterId(std::size_t index)
    {
        return ZqModelController::shared()->modelsOfClass<ZqModelAssetCharacter>().at(index)->id();
    }
    int selected() const { return ZqPSettingsController::shared()->selectedCharacter(); }
    bool unlocked(int index) const { return ZqPSettingsController::shared()->isCharacterUnlocked(index); }
};

TEST_F(SelectorTest, TapsStepThroughTheStripAndSelectOnlyUnlockedCharacters)
{
    for (const char* method : {"", "", "kInGameCurrency", "", ""})
        character(method, 2.7f);
    placeSelector();
    show("Menu");
    ASSERT_NE(selector(), nullptr);
    EXPECT_EQ(selector()->characterViews().size(), 5u);

    tapAt(0.6f);
    EXPECT_EQ(selector()->currentIndex(), 1);
    EXPECT_EQ(selected(), 1);
    tapAt(2.6f);
    EXPECT_EQ(selector()->currentIndex(), 4) << "2.6 spreads are three steps";
    EXPECT_EQ(selected(), 4);
    tapAt(1.0f);
    EXPECT_EQ(selector()->currentIndex(), 4) << "past the end";
    tapAt(-2.2f);
    EXPECT_EQ(selector()->currentIndex(), 2);
    EXPECT_EQ(selected(), 4) << "a locked character is shown, not selected";

    ScoreRegistry::global().coins.total = 3;
    selector()->unlockCharacter(2);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 1) << "2.7 costs 2 coins";
    EXPECT_TRUE(unlocked(2));
    EXPECT_EQ(selected(), 2);
    selector()->unlockCharacter(7);
    EXPECT_EQ(linesWith("not enought coins"), 0);
}

TEST_F(SelectorTest, ADragScrollsWithInertiaAndPassesLockedCharactersWithoutSelectingThem)
{
    for (const char* method : {"", "kInGameCurrency", "kInGameCurrency", "", ""})
        character(method, 10.0f);
    placeSelector();
    show("Menu");

    drag(kCentre.x, kCentre.x - 40.0f);
    EXPECT_FLOAT_EQ(selector()->velocity(), -48.0f);
    selector()->update(1.0f / 60.0f);
    EXPECT_FLOAT_EQ(selector()->velocity(), -48.0f * 0.94f * 0.7f) << "harder braking at the first character";

    bool lockedSelected = false;
    for (int i = 0; i < 120; ++i) {
        frame();
        lockedSelected |= !unlocked(selected());
    }
    EXPECT_FALSE(lockedSelected);
    EXPECT_LE(std::fabs(selector()->velocity()), 2.0f);
    const int resting = selector()->currentIndex();
    EXPECT_NEAR(selector()->displayedOffset(), -kSpread * static_cast<float>(resting), 1.0f) << "settled on its character";
}

TEST_F(SelectorTest, TheUnlockActionTurnsTheSelectorToTheCharacterItUnlocks)
{
    character();
    auto video = character("kRewardedVideos");
    video->m_adNetwork->setValue("Videos", true);
    placeSelector();
    button(*menu, "Unlock", "kUnlockCharacter", CCPoint(100, 280));
    show("Menu");
    EXPECT_TRUE(shown()->findButton(kButtonUnlockCharacter)->isVisible());
    touch(100, 280);
    EXPECT_EQ(selector()->currentIndex(), 1);
    EXPECT_TRUE(unlocked(1));
    EXPECT_EQ(selected(), 1);
    EXPECT_FALSE(shown()->findButton(kButtonUnlockCharacter)->isVisible()) << "nothing left to unlock";
}

TEST_F(SelectorTest, AStoredSelectionPastTheListShowsTheLastCharacterAndStaysStored)
{
    character();
    character();
    ZqPSettingsController::shared()->setSelectedCharacter(9);
    placeSelector();
    show("Menu");
    for (int i = 0; i < 10; ++i)
        frame();
    EXPECT_EQ(selector()->currentIndex(), 1);
    EXPECT_EQ(selected(), 9);
    tapAt(-1.0f);
    EXPECT_EQ(selected(), 0) << "a tap chooses";
}

TEST_F(SelectorTest, WithoutCharactersNothingIsBuiltAndTouchesAreIgnored)
{
    placeSelector();
    show("Menu");
    EXPECT_TRUE(selector()->characterViews().empty());
    EXPECT_EQ(selector()->priceLabel(), nullptr);
    tapAt(1.0f);
    drag(kCentre.x, kCentre.x - 40.0f);
    selector()->unlockCharacter(0);
    selector()->onRewardGranted();
    frame();
    EXPECT_EQ(selector()->currentIndex(), 0);
    EXPECT_FLOAT_EQ(selector()->velocity(), 0.0f);
}

TEST_F(SelectorTest, WithoutASpreadTapsDoNothing)
{
    character();
    character();
    auto model = ZqModelObjectCharacterSelector::create();
    model->m_position->setValue(kCentre, true);
    model->m_spread->setValue(0.0f, true);
    menu->screen()->addChild(model, true);
    show("Menu");
    touch(kCentre.x + 20.0f, kCentre.y);
    frame();
    EXPECT_EQ(selector()->currentIndex(), 0);
}

TEST_F(SelectorTest, UnlockButtonsFollowTheProgressAndUnlockOrSelectTheirCharacter)
{
    character();
    auto coins = character("kInGameCurrency", 5.0f);
    auto link = character("kWebLink");
    auto model = [&](const std::string& name, const std::string& characterId, CCPoint position) {
        auto button = ZqModelObjectButtonCharacterUnlock::create();
        button->setName(name);
        button->m_character->setValue(characterId, true);
        button->m_position->setValue(position, true);
        menu->screen()->addChild(button, true);
    };
    model("Coins", std::to_string(coins->id()), CCPoint(100, 100));
    model("Link", std::to_string(link->id()), CCPoint(300, 100));
    model("Nobody", "999999", CCPoint(100, 250));
    ScoreRegistry::global().coins.total = 5;
    show("Menu");
    const std::vector<ZqPObjectButton*> buttons = shown()->allButtons();
    auto* coinButton = dynamic_cast<ZqPObjectButtonUnlockCharacter*>(buttons.at(0));
    auto* linkButton = dynamic_cast<ZqPObjectButtonUnlockCharacter*>(buttons.at(1));
    auto* nobody = dynamic_cast<ZqPObjectButtonUnlockCharacter*>(buttons.at(2));
    EXPECT_EQ(coinButton->state(), ZqPObjectButtonUnlockCharacter::kLocked);
    EXPECT_EQ(coinButton->characterIndex(), 1);

    touch(100, 250);
    frame();
    EXPECT_EQ(nobody->state(), ZqPObjectButtonUnlockCharacter::kInitial) << "a button for no character stays inert";
    EXPECT_FALSE(unlocked(1));

    touch(100, 100);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 0);
    EXPECT_TRUE(unlocked(1));
    frame();
    EXPECT_EQ(coinButton->state(), ZqPObjectButtonUnlockCharacter::kSelected);

    touch(300, 100);
    for (int i = 0; i < 9; ++i)
        frame();
    EXPECT_FALSE(unlocked(2)) << "a web link unlocks 10 frames later";
    frame();
    EXPECT_TRUE(unlocked(2));
    EXPECT_EQ(selected(), 2);
    frame();
    EXPECT_EQ(coinButton->state(), ZqPObjectButtonUnlockCharacter::kUnlocked);

    touch(100, 100);
    EXPECT_EQ(coinButton->state(), ZqPObjectButtonUnlockCharacter::kSelected) << "selected at once";
    EXPECT_EQ(selected(), 1);
    EXPECT_EQ(linkButton->state(), ZqPObjectButtonUnlockCharacter::kSelected) << "until its next update";
}

TEST_F(SelectorTest, LabelsShowNameAndCoinPriceAndAButtonShowsWhileItsCharacterIsAtTheCentre)
{
    ShopMedia media;
    character();
    character("kInGameCurrency", 2.7f)->setName("Fox");
    character("kInGameCurrency", 0.0f);
    placeSelector()->m_labelName->setValue(std::to_string(ShopMedia::kFont), true);
    auto button = ZqModelObjectButtonCharacterUnlock::create();
    button->m_character->setValue(std::to_string(characterId(1)), true);
    button->m_showWhenSelected->setValue(true, true);
    button->m_image->setValue(media.image(), true);
    button->m_position->setValue(CCPoint(60, 280), true);
    menu->screen()->addChild(button, true);
    show("Menu");
    ASSERT_NE(selector()->priceLabel(), nullptr);
    ASSERT_NE(selector()->nameLabel(), nullptr);
    ZqPObjectButton* unlock = shown()->allButtons().at(0);
    EXPECT_FALSE(unlock->isVisible()) << "another character at the centre";

    tapAt(1.0f);
    frame();
    EXPECT_STREQ(selector()->nameLabel()->getString(), "Fox");
    EXPECT_STREQ(selector()->priceLabel()->getString(), "2");
    EXPECT_TRUE(selector()->priceLabel()->isVisible());
    EXPECT_TRUE(unlock->isVisible());

    tapAt(1.0f);
    frame();
    EXPECT_FALSE(selector()->priceLabel()->isVisible()) << "price 0";
    EXPECT_FALSE(unlock->isVisible());

    ZqPSettingsController::shared()->unlockCharacter(1);
    tapAt(-1.0f);
    frame();
    EXPECT_FALSE(unlock->isVisible()) << "unlocked";
}

TEST_F(SelectorTest, AScreenWithShopControlsLeavesNothingBehind)
{
    character();
    auto video = character("kRewardedVideos");
    video->m_adNetwork->setValue("kNoAds", true); // no video: the callback stays set
    placeSelector();
    auto unlock = ZqModelObjectButtonCharacterUnlock::create();
    unlock->m_character->setValue(std::to_string(video->id()), true);
    unlock->m_position->setValue(CCPoint(100, 100), true);
    menu->screen()->addChild(unlock, true);
    auto purchase = ZqModelObjectButtonPurchase::create();
    purchase->m_purchaseMethod->setValue("kRewardedVideos", true);
    purchase->m_oneTimePurchase->setValue("kPerGamePurchase", true);
    menu->screen()->addChild(purchase, true);
    auto lock = ZqModelObjectLockButton::create();
    menu->screen()->addChild(lock, true);
    auto other = graph.menu("Other");

    // A first showing fills the engine's caches.
    show("Menu");
    show("Other");
    frame();
    const long live = CCObject::liveObjectCount();
    const std::size_t refreshes = ZqPurchaseRegistry::refreshCount();
    show("Menu");
    touch(100, 100);
    selector()->setCurrentIndex(1);
    selector()->unlockCharacter(1);
    EXPECT_EQ(ZqPurchaseRegistry::refreshCount(), refreshes + 2);
    show("Other");
    frame();
    EXPECT_EQ(CCObject::liveObjectCount(), live);
    EXPECT_EQ(ZqPurchaseRegistry::refreshCount(), refreshes);
    ZqAdController::shared()->setRewardCharacter(-1);
    EXPECT_TRUE(ZqAdController::shared()->isRewardedVideoAvailable("Videos"));
    ZqAdController::shared()->showRewardedVideo("Videos"); // no target is left to call
    EXPECT_FALSE(unlocked(1));
}

} // namespace
