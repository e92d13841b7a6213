// Power-up and purchase buttons on the overlay of a running field: a press uses the
// power-up on the field at the character, "Buy And Use" hands the bought power-up to the
// field whatever the payment, and "Visibility Threshold" follows the run's distance only
// while a field is current.
#include "ui_screen_support.h"

#include "model/loading/ZqModelLoader.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelShapes.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/assets/ZqPObjectAssetPowerup.h"
#include "screens/buttons/ZqPObjectButtonPowerup.h"
#include "screens/buttons/ZqPObjectButtonPurchase.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqScreenWiring.h"

#include <gtest/gtest.h>

namespace {

using cocos2d::CCPoint;

std::shared_ptr<ZqModelPolygon> box(float side)
{
    auto shape = ZqModelController::shared()->createModel<ZqModelPolygon>();
    shape->addDefaultShape(cocos2d::CCSize(side, side), CCPoint(), true);
    return shape;
}

class ShopFieldTest : public UiScreenTest {
protected:
    void SetUp() override
    {
        UiScreenTest::SetUp();
        // Power-ups find the navigator's field as the program's do.
        zqInstallScreenAnswers();
        // Saving is allowed once the game has loaded.
        ZqModelLoader::shared()->nextPhase();
        ZqModelLoader::shared()->nextPhase();
        game = graph.world("Game");
        hud = graph.menu("HUD");
        FlowGraph::link(*menu, "Play", *game);
        FlowGraph::link(*game, "UI", *hud);

        // The init section holds a character in the air, above the view's centre.
        auto scene = modelCast<ZqModelScreenScene>(std::shared_ptr<ZqModel>(game->screen()));
        scene->m_gravity->setValue(CCPoint(), true);
        auto section = ZqModelController::shared()->createModel<ZqModelLevelSection>();
        section->m_initSection->setValue(true, true);
        section->m_width->setValue(480.0f, true);
        scene->addChild(section, true);
        auto hero = ZqModelController::shared()->createModel<ZqModelAssetCharacter>();
        hero->m_collisionShape->setValue(box(40.0f), true);
        hero->addChild(ZqModelController::shared()->createModel<ZqModelComponentCharacterGameplaySettings>(), true);
        auto placed = ZqModelController::shared()->createModel<ZqModelObjectAssetCharacter>();
        placed->setAsset(hero);
        placed->setPosition(CCPoint(120.0f, 220.0f));
        section->addChild(placed, true);

        magnet = ZqModelController::shared()->createModel<ZqModelAssetPowerup>();
        magnet->m_powerupType->setValue("kPowerupMagnet", true);
        magnet->m_duration->setValue(5.0f, true);
        magnet->m_collisionShape->setValue(box(20.0f), true);
    }

    template <class Model>
    std::shared_ptr<Model> place(ZqBaseNode& node, CCPoint position)
    {
        auto model = ZqModelController::shared()->createModel<Model>();
        model->m_position->setValue(position, true);
        model->m_action->setValue(std::to_string(magnet->id()), true);
        node.screen()->addChild(model, true);
        return model;
    }
    std::shared_ptr<ZqModelObjectButtonPurchase> purchase(ZqBaseNode& node, CCPoint position, const std::string& method)
    {
        auto model = place<ZqModelObjectButtonPurchase>(node, position);
        model->m_type->setValue("kPurchasePowerup", true);
        model->m_purchaseMethod->setValue(method, true);
        model->m_storeIdentifier->setValue("magnet", true);
        model->m_price->setValue(5.0f, true);
        model->m_buyAndUse->setValue(true, true);
        return model;
    }

    ZqPScreenScene* field() const { return ZqPScreenNavigator::shared()->currentGameScene(); }
    template <class Button>
    Button* buttonAt(std::size_t index) const
    {
        return dynamic_cast<Button*>(shown()->allButtons().at(index));
    }
    ZqPObjectAssetCharacter* hero() const
    {
        for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
            if (auto* character = dynamic_cast<ZqPObjectAssetCharacter*>(child))
                return character;
        }
        return nullptr;
    }
    std::vector<ZqPObjectAssetPowerup*> magnets() const
    {
        std::vector<ZqPObjectAssetPowerup*> found;
        for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
            if (auto* powerup = dynamic_cast<ZqPObjectAssetPowerup*>(child))
                found.push_back(powerup);
        }
        return found;
    }
    // Shows the field with its overlay and lets the world and the start section build.
    void play()
    {
        show("Game");
        ASSERT_NE(field(), nullptr);
        for (int i = 0; i < 3; ++i)
            frame();
        ASSERT_NE(hero(), nullptr);
    }
    int held() const { return ZqPSettingsController::shared()->inventoryCount(magnet); }

    std::shared_ptr<ZqNodeScene> game;
    std::shared_ptr<ZqNodeUI> hud;
    std::shared_ptr<ZqModelAssetPowerup> magnet;
};

TEST_F(ShopFieldTest, APowerUpButtonOverTheFieldUsesOneAtTheCharacter)
{
    auto use = place<ZqModelObjectButtonPowerup>(*hud, CCPoint(400, 60));
    use->m_layering->setValue("kAboveCharacter", true);
    ZqPSettingsController::shared()->setInventoryCount(magnet, 1);
    ScoreRegistry::global().coins.total = 0;
    play();
    ZqPObjectAssetCharacter* character = hero();
    const CCPoint at = character->getPosition();
    ASSERT_FALSE(field()->powerups().isMagnetActive());

    touch(400, 60);
    EXPECT_EQ(held(), 0);
    std::vector<ZqPObjectAssetPowerup*> granted = magnets();
    ASSERT_EQ(granted.size(), 1u) << "granted on the field, not credited as on a menu";
    EXPECT_TRUE(granted[0]->getPosition().equals(at));
    EXPECT_EQ(granted[0]->getZOrder(), character->getZOrder() + 1) << "above the character";
    EXPECT_TRUE(field()->powerups().isMagnetActive());

    frame();
    EXPECT_FALSE(buttonAt<ZqPObjectButtonPowerup>(0)->isEnabled()) << "none left";
    touch(400, 60);
    EXPECT_EQ(magnets().size(), 1u) << "an empty stock grants nothing";
}

TEST_F(ShopFieldTest, BuyAndUseOverTheFieldHandsThePowerUpToItByCoinsAndByTheStore)
{
    purchase(*hud, CCPoint(100, 60), "kInGameCurrency");
    purchase(*hud, CCPoint(300, 60), "kInAppPurchase");
    ScoreRegistry::global().coins.total = 5;
    play();

    touch(100, 60);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 0);
    EXPECT_EQ(held(), 0) << "used, not stocked";
    ASSERT_EQ(magnets().size(), 1u);
    EXPECT_TRUE(magnets()[0]->getPosition().equals(hero()->getPosition()));
    touch(100, 60);
    EXPECT_EQ(magnets().size(), 1u) << "no coins left";

    touch(300, 60);
    EXPECT_EQ(linesWith("purchase did comlete: magnet"), 1);
    EXPECT_EQ(magnets().size(), 2u) << "the store's purchase is used on the field too";
    EXPECT_EQ(held(), 0);
}

TEST_F(ShopFieldTest, VisibilityThresholdsFollowTheRunOnlyWhileAFieldIsCurrent)
{
    // Power-up: hidden while the run is short of that share of the best distance.
    for (ZqBaseNode* node : {static_cast<ZqBaseNode*>(menu.get()), static_cast<ZqBaseNode*>(hud.get())}) {
        place<ZqModelObjectButtonPowerup>(*node, CCPoint(100, 60))->m_visibilityThreshold->setValue(50.0f, true);
        // Purchase: shown only while the run is shorter than the threshold, in metres.
        purchase(*node, CCPoint(300, 60), "kInGameCurrency")->m_visibilityThreshold->setValue(30.0f, true);
    }
    ZqPSettingsController::shared()->setInventoryCount(magnet, 1);
    ScoreRecord& record = ScoreRegistry::recordFor("Game");
    record.distance.best = 100.0f;
    record.distance.session = 40.0f;
    ScoreRegistry::setCurrentKey("Game");
    show("Menu");
    frame();
    EXPECT_TRUE(buttonAt<ZqPObjectButtonPowerup>(0)->isVisible()) << "no field: no threshold";
    EXPECT_TRUE(buttonAt<ZqPObjectButtonPurchase>(1)->isVisible()) << "no field: no threshold";

    play();
    ScoreRegistry::current().distance.best = 100.0f;
    ScoreRegistry::current().distance.session = 40.0f;
    frame();
    auto* use = buttonAt<ZqPObjectButtonPowerup>(0);
    auto* buy = buttonAt<ZqPObjectButtonPurchase>(1);
    EXPECT_FALSE(use->isVisible()) << "40 m is short of half of 100 m";
    EXPECT_FALSE(buy->isVisible()) << "40 m is past 30 m";
    ScoreRegistry::current().distance.session = 20.0f;
    frame();
    EXPECT_FALSE(use->isVisible());
    EXPECT_TRUE(buy->isVisible());
    ScoreRegistry::current().distance.session = 50.0f;
    frame();
    EXPECT_TRUE(use->isVisible()) << "half of the best reached";
    EXPECT_FALSE(buy->isVisible());
}

} // namespace
