// Button models: attribute lists, the press-interval arithmetic, the purchase selection
// id, copies of the renamed "Action", a round trip through model-file bytes, and the back
// targets found among the flow-graph nodes.
#include "media_shape_support.h"

#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"

#include <string>
#include <vector>

namespace {

using namespace cocos2d;

std::vector<std::string> attributeNames(const ZqModel& model)
{
    std::vector<std::string> names;
    for (const ZqBaseAttribute* attribute : model.attributes())
        names.emplace_back(attribute->name());
    return names;
}

const std::vector<std::string> kObjectNames = {"Name", "Position", "Rotation", "Scale", "Opacity", "Z Depth",
                                               "Hidden", "Image", "Image Selected", "Autohide", "Stick To Edge"};

std::vector<std::string> joined(std::vector<std::string> head, const std::vector<std::string>& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

using ButtonTest = scene_test::SceneTest;

TEST_F(ButtonTest, AttributeListsOfTheThreeKinds)
{
    const std::shared_ptr<ZqModelObjectButton> button = ZqModelObjectButton::create();
    EXPECT_EQ(button->name(), "Navigation Button");
    EXPECT_EQ(attributeNames(*button),
              joined(kObjectNames, {"Action", "Interval", "Back To", "Back To World", "Click Sound", "Release Sound",
                                    "Block Touch", "Keyboard Key", "Touch Emulation"}));
    EXPECT_TRUE(button->isBlockTouch());
    EXPECT_FLOAT_EQ(button->m_touchEmulation->minValue(), -1.0f);
    EXPECT_FLOAT_EQ(button->m_touchEmulation->maxValue(), 1.0f);
    EXPECT_EQ(button->m_imageSelected->owner(), button.get());

    const std::shared_ptr<ZqModelObjectButtonPowerup> powerup = ZqModelObjectButtonPowerup::create();
    EXPECT_EQ(attributeNames(*powerup),
              joined(kObjectNames, {"Powerup Selection", "Force Action on Press", "Layering", "Visibility Threshold",
                                    "Interval", "Back To", "Back To World", "Click Sound", "Release Sound",
                                    "Block Touch", "Keyboard Key", "Touch Emulation", "Label Offset", "Label Scale",
                                    "Label Vertical Spacing", "Unlimited Use", "Max Refill", "Refill Timeout",
                                    "Refill At Start"}));
    EXPECT_FLOAT_EQ(powerup->labelScale(), 0.5f);
    EXPECT_FLOAT_EQ(powerup->labelVerticalSpacing(), 100.0f);
    EXPECT_FLOAT_EQ(powerup->maxRefill(), 3.0f);
    for (const ZqBaseAttribute* attribute : powerup->attributes())
        EXPECT_EQ(attribute->owner(), powerup.get()) << attribute->name();

    const std::shared_ptr<ZqModelObjectButtonPurchase> purchase = ZqModelObjectButtonPurchase::create();
    EXPECT_EQ(attributeNames(*purchase),
              joined(kObjectNames, {"Powerup Selection", "Type", "Visibility Threshold", "Interval", "Back To",
                                    "Back To World", "Click Sound", "Release Sound", "Block Touch", "Keyboard Key",
                                    "Touch Emulation", "Buy And Use", "Quantity", "Purchase Complete",
                                    "Purchase Method", "Price", "One Time Purchase", "Store Identifier",
                                    "Ad Network"}));
    EXPECT_FLOAT_EQ(purchase->quantity(), 1.0f);
}

TEST_F(ButtonTest, IntervalCountsPressesWithoutDividingByZero)
{
    const std::shared_ptr<ZqModelObjectButton> button = ZqModelObjectButton::create();
    // The counter is set by a reset at that many presses, then the interval changes.
    auto dueAt = [&](float interval, int counter) {
        button->m_interval->setValue(static_cast<float>(counter));
        button->resetInterval();
        button->m_interval->setValue(interval);
        return button->isIntervalDue();
    };
    EXPECT_TRUE(dueAt(3.0f, 4));
    EXPECT_TRUE(dueAt(3.0f, 1));
    EXPECT_FALSE(dueAt(3.0f, 3));
    EXPECT_FALSE(dueAt(3.0f, 2));
    EXPECT_TRUE(dueAt(3.0f, -2)); // (-2 - 1) % 3 == 0
    EXPECT_FALSE(dueAt(3.0f, -1));
    EXPECT_TRUE(dueAt(0.0f, 0));
    EXPECT_TRUE(dueAt(-4.0f, -7));
    // Between 0 and 1 the whole part is 0: every press fires.
    button->m_interval->setValue(0.5f);
    button->resetInterval();
    EXPECT_TRUE(button->isIntervalDue());
    button->countDownInterval();
    EXPECT_TRUE(button->isIntervalDue());

    button->holdInterval();
    EXPECT_FALSE(button->isIntervalDue());
    button->countDownInterval(); // clears the hold
    EXPECT_TRUE(button->isIntervalDue());
    button->holdInterval();
    button->resetInterval();
    EXPECT_TRUE(button->isIntervalDue());
}

TEST_F(ButtonTest, TokensAndSelectionIds)
{
    const std::shared_ptr<ZqModelObjectButtonPurchase> purchase = ZqModelObjectButtonPurchase::create();
    const std::vector<std::pair<std::string, int>> ids = {{"17", 17}, {" 42x", 42}, {"", 0}, {"abc", 0}, {"-3", -3},
                                                          {"99999999999", 0}};
    for (const auto& [text, id] : ids) {
        purchase->m_action->setValue(text);
        EXPECT_EQ(purchase->powerupSelectionId(), id) << '"' << text << '"';
    }

    const std::shared_ptr<ZqModelObjectButtonPowerup> powerup = ZqModelObjectButtonPowerup::create();
    for (const char* layering : {"kAboveCharacte", "kAboveCharacterX", ""}) {
        powerup->m_layering->setValue(layering);
        EXPECT_FALSE(powerup->isAboveCharacter()) << layering;
    }
    powerup->m_layering->setValue("kAboveCharacter");
    EXPECT_TRUE(powerup->isAboveCharacter());

    const std::shared_ptr<ZqModelObjectButton> button = ZqModelObjectButton::create();
    button->m_touchEmulation->setValue(0.49f);
    EXPECT_FALSE(button->isTouchEmulated(0.0f, 0));
    button->m_touchEmulation->setValue(2.0f); // clamped to 1
    EXPECT_TRUE(button->isTouchEmulated(0.0f, 0));
}

TEST_F(ButtonTest, CopiesOfRenamedButtonsKeepTheirAction)
{
    const std::shared_ptr<ZqModelObjectButtonPowerup> powerup = ZqModelObjectButtonPowerup::create();
    powerup->m_action->setValue("12");
    powerup->m_maxRefill->setValue(5.0f);
    const auto powerupCopy = modelCast<ZqModelObjectButtonPowerup>(powerup->duplicate(true, false));
    ASSERT_TRUE(powerupCopy);
    ASSERT_NE(powerupCopy->m_action, nullptr);
    EXPECT_EQ(powerupCopy->action(), "12");
    EXPECT_EQ(powerupCopy->m_action->owner(), powerupCopy.get());
    EXPECT_FLOAT_EQ(powerupCopy->maxRefill(), 5.0f);
    EXPECT_EQ(powerupCopy->findAttribute("Action"), nullptr);

    const std::shared_ptr<ZqModelObjectButtonPurchase> purchase = ZqModelObjectButtonPurchase::create();
    purchase->m_action->setValue("31");
    purchase->m_type->setValue("kPurchasePowerup");
    const auto purchaseCopy = modelCast<ZqModelObjectButtonPurchase>(purchase->duplicate(false, false));
    ASSERT_TRUE(purchaseCopy);
    EXPECT_EQ(purchaseCopy->powerupSelectionId(), 31);
    EXPECT_EQ(purchaseCopy->type(), kPurchaseTypePowerup);
    // The copy has its own attribute, not the source's.
    purchaseCopy->m_action->setValue("7");
    EXPECT_EQ(purchase->action(), "31");

    // A copy's counter starts over.
    const std::shared_ptr<ZqModelObjectButton> button = ZqModelObjectButton::create();
    button->m_interval->setValue(4.0f);
    button->resetInterval();
    EXPECT_EQ(modelCast<ZqModelObjectButton>(button->duplicate(false, false))->pressCounter(), 0);
}

TEST_F(ButtonTest, ButtonsOfEachKindComeBackFromModelFiles)
{
    ZqModelController& models = controller();
    const auto click = models.createModel<ZqModelSound>();
    const auto release = models.createModel<ZqModelSound>();
    const auto done = models.createModel<ZqModelSound>();
    const auto pressed = models.createModel<ZqModelSpriteContainer>();

    const auto button = models.createModel<ZqModelObjectButton>();
    button->m_action->setValue("kActionBack");
    button->m_interval->setValue(3.0f);
    button->m_backTo->setValue("menu");
    button->m_clickSound->setValue(click);
    button->m_releaseSound->setValue(release);
    button->m_keyboardKey->setValue(27);
    button->m_blockTouch->setValue(false);
    button->m_imageSelected->setValue(pressed);

    const auto powerup = models.createModel<ZqModelObjectButtonPowerup>();
    powerup->m_action->setValue("55");
    powerup->m_forceActionOnPress->setValue(true);
    powerup->m_labelOffset->setValue(CCPoint(4, -6));
    powerup->m_refillTimeout->setValue(12.5f);
    powerup->m_clickSound->setValue(click);

    const auto purchase = models.createModel<ZqModelObjectButtonPurchase>();
    purchase->m_action->setValue("56");
    purchase->m_quantity->setValue(10.0f);
    purchase->m_price->setValue(250.0f);
    purchase->m_purchaseMethod->setValue("kInGameCurrency");
    purchase->m_oneTimePurchase->setValue("kPerGamePurchase");
    purchase->m_storeIdentifier->setValue("com.example.coins");
    purchase->m_purchaseComplete->setValue(done);

    const std::vector<std::shared_ptr<ZqModel>> all = {click, release, done, pressed, button, powerup, purchase};
    scene_test::installKeysFor(all);
    scene_test::reloadModels(scene_test::packModels(all));

    const auto loadedButton = models.getModel<ZqModelObjectButton>(button->id());
    ASSERT_TRUE(loadedButton);
    EXPECT_EQ(loadedButton->action(), "kActionBack");
    EXPECT_FLOAT_EQ(loadedButton->interval(), 3.0f);
    EXPECT_EQ(loadedButton->m_backTo->value(), "menu");
    EXPECT_EQ(loadedButton->clickSound(), models.modelById(click->id()));
    EXPECT_EQ(loadedButton->releaseSound(), models.modelById(release->id()));
    EXPECT_EQ(loadedButton->imageSelected(), models.modelById(pressed->id()));
    EXPECT_EQ(loadedButton->keyboardKey(), 27);
    EXPECT_FALSE(loadedButton->isBlockTouch());
    loadedButton->resetInterval();
    EXPECT_EQ(loadedButton->pressCounter(), 3);

    const auto loadedPowerup = models.getModel<ZqModelObjectButtonPowerup>(powerup->id());
    ASSERT_TRUE(loadedPowerup);
    EXPECT_EQ(loadedPowerup->action(), "55");
    EXPECT_TRUE(loadedPowerup->forceActionOnPress());
    EXPECT_EQ(loadedPowerup->labelOffset(), CCPoint(4, -6));
    EXPECT_FLOAT_EQ(loadedPowerup->refillTimeout(), 12.5f);
    EXPECT_EQ(loadedPowerup->clickSound(), models.modelById(click->id()));

    const auto loadedPurchase = models.getModel<ZqModelObjectButtonPurchase>(purchase->id());
    ASSERT_TRUE(loadedPurchase);
    EXPECT_EQ(loadedPurchase->powerupSelectionId(), 56);
    EXPECT_FLOAT_EQ(loadedPurchase->quantity(), 10.0f);
    EXPECT_FLOAT_EQ(loadedPurchase->price(), 250.0f);
    EXPECT_EQ(loadedPurchase->purchaseMethod(), kPayInGameCurrency);
    EXPECT_EQ(loadedPurchase->oneTimePurchase(), kSellOncePerGame);
    EXPECT_EQ(loadedPurchase->oneTimePurchaseText(), "kPerGamePurchase");
    EXPECT_EQ(loadedPurchase->storeIdentifier(), "com.example.coins");
    EXPECT_EQ(loadedPurchase->purchaseCompleteSound(), models.modelById(done->id()));
}

TEST_F(ButtonTest, BackTargetsSortedByTheKindOfNode)
{
    ZqModelController& models = controller();
    auto addNode = [&](auto node, std::shared_ptr<ZqModelScreen> screen, const std::string& key) {
        screen->m_key->setValue(key);
        node->addChild(screen);
    };
    addNode(models.createModel<ZqNodeUI>(), models.createModel<ZqModelScreen>(), "menu");
    addNode(models.createModel<ZqNodeScene>(), models.createModel<ZqModelScreenScene>(), "world 1");
    // A start node is not a plain interface node.
    addNode(models.createModel<ZqNodeUIStart>(), models.createModel<ZqModelScreen>(), "start");

    const std::shared_ptr<ZqModelObjectButton> button = models.createModel<ZqModelObjectButton>();
    button->m_backTo->setValue("menu");
    EXPECT_EQ(button->backToScreen(), "menu");
    EXPECT_EQ(button->backToWorld(), "");

    button->m_backTo->setValue("world 1");
    EXPECT_EQ(button->backToScreen(), "");
    EXPECT_EQ(button->backToWorld(), "world 1");

    button->m_backTo->setValue("start");
    EXPECT_EQ(button->backToScreen(), "");
    button->m_backTo->setValue("nowhere");
    EXPECT_EQ(button->backToScreen(), "");
    EXPECT_EQ(button->backToWorld(), "");

    // Data of the newer form names both targets itself.
    button->m_backToWorld->setValue("world 2");
    EXPECT_EQ(button->backToScreen(), "nowhere");
    EXPECT_EQ(button->backToWorld(), "world 2");
}

} // namespace
