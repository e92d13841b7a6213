// The UI screen's actions on menus: waiting for the close animation, linked switches with
// their start modes and destinations, back-to, erasing progress in order, and unlocking
// a random affordable character.
#include "ui_screen_support.h"

#include "model/loading/ZqModelLoader.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"
#include "objects/ZqGameField.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/assets/ZqPObjectAssetUnit.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqScreenWiring.h"

namespace {

using namespace cocos2d;

using UiActionsTest = UiScreenTest;

TEST_F(UiActionsTest, ACloseAnimationDelaysTheActionAndDropsPressesMeanwhile)
{
    auto shop = graph.menu("Shop");
    button(*shop, "Back", "kBackButton", CCPoint(100, 100));
    show("Menu");
    show("Shop");
    touch(100, 100);
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu"})) << "0 frames: at once";

    frame();
    show("Shop");
    shop->screen()->m_closeAnimationFrames->setValue(6, true);
    ZqPScreenUi* screen = shown();
    touch(100, 100);
    EXPECT_EQ(screen->actionState(), ZqPScreen::kActionWaiting);
    frame(0.1f);
    touch(100, 100);
    EXPECT_EQ(history().back(), "Shop");
    frame(0.11f);
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu"})) << "after 0.2 s, once";
}

TEST_F(UiActionsTest, LinksSwitchWithTheirStartModesAndALockButtonKeepsTheDestination)
{
    // A link's start, read from an observer's "Function" and from a link button's "Action".
    const auto linkStart = [](std::string_view text) {
        const int start = ZqPScreenUi::startModeFor(zqTokenCode<ZqStartFunctionTokens>(text));
        EXPECT_EQ(ZqPScreenUi::startModeFor(zqStartFunctionOf(zqTokenCode<ZqButtonActionTokens>(text))), start) << text;
        return start;
    };
    EXPECT_EQ(linkStart("kStartKeepScores"), 10);
    EXPECT_EQ(linkStart("kStartCheckpointButton"), 0);
    EXPECT_EQ(linkStart("kStartCheckpointJump"), 14);
    EXPECT_EQ(linkStart(""), 14);
    EXPECT_EQ(linkStart("kStartKeepScoresX"), 14);
    EXPECT_EQ(linkStart("kBackButton"), 14);

    auto shop = graph.menu("Shop");
    auto game = graph.world("Game");
    button(*menu, "Play", "kStartKeepScores", CCPoint(100, 100));
    FlowGraph::link(*menu, "Play", *game);
    auto lock = ZqModelObjectLockButton::create();
    lock->setName("Shop");
    lock->m_position->setValue(CCPoint(300, 100), true);
    lock->m_scene->setValue("42", true);
    menu->screen()->addChild(lock, true);
    purchasedItemFlag("Shop") = false; // bought
    FlowGraph::link(*menu, "Shop", *shop);
    button(*shop, "Nowhere", "", CCPoint(100, 100));

    show("Menu");
    touch(300, 100);
    EXPECT_EQ(history().back(), "Shop");
    EXPECT_EQ(ZqPScreenNavigator::shared()->sceneDestination(), 42) << "a lock button passes the destination";
    frame();
    touch(100, 100);
    EXPECT_EQ(history().back(), "Shop") << "a link to nothing changes nothing";

    show("Menu");
    touch(100, 100);
    EXPECT_EQ(history().back(), "Game");
    EXPECT_EQ(ZqPScreenNavigator::shared()->sceneDestination(), 0);
    frame();
    EXPECT_NE(ZqPScreenNavigator::shared()->currentGameScene(), nullptr);
    EXPECT_EQ(ZqPScreen::runningScreen(), static_cast<ZqPScreen*>(ZqPScreenNavigator::shared()->currentGameScene()));
    EXPECT_EQ(shown(), nullptr);
}

TEST_F(UiActionsTest, BackToCutsTheHistoryBackToItsScreen)
{
    auto shop = graph.menu("Shop");
    auto cart = graph.menu("Cart");
    auto home = button(*cart, "Home", "kBackToButton", CCPoint(100, 100));
    home->m_backTo->setValue("Menu", true);
    button(*cart, "Lost", "kBackToButton", CCPoint(300, 100))->m_backTo->setValue("Nowhere", true);
    show("Menu");
    show("Shop");
    show("Cart");
    ZqPScreenNavigator::shared()->setSceneDestination(9);
    touch(300, 100);
    EXPECT_EQ(history().back(), "Cart");
    EXPECT_EQ(ZqPScreenNavigator::shared()->sceneDestination(), 0);
    touch(100, 100);
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu"}));
    frame();
    EXPECT_EQ(shown()->screenModel(), menu->screen());
}

TEST_F(UiActionsTest, ErasingProgressEmptiesScoresCheckpointsAndFlagsThenResetsAndSaves)
{
    ZqModelLoader::shared()->nextPhase();
    ZqModelLoader::shared()->nextPhase(); // loaded: saving is allowed
    button(*menu, "Reset", "kResetButton", CCPoint(100, 100));
    ScoreRegistry::recordFor("Game").points.add(5);
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->setCheckpoint("Game", ZqPSettingsController::Checkpoint{});
    settings->setSelectedCharacter(2);
    purchasedItemFlag("Level 2") = false;
    std::vector<std::string> seen;
    ZqPurchaseRegistry::addRefresh(this, [&] {
        seen.push_back(std::string(ScoreRegistry::size() == 0 ? "scores empty" : "scores kept") +
                       (settings->checkpoint("Game") ? ", checkpoint kept" : ", checkpoints empty") +
                       (purchasedItemFlag("Level 2") ? ", flags reset" : ", flags kept") +
                       (settings->selectedCharacter() == 2 ? ", settings not yet reset" : ", settings reset"));
    });
    show("Menu");
    lines.clear();
    touch(100, 100);
    ZqPurchaseRegistry::removeRefreshesOf(this);
    EXPECT_EQ(seen, std::vector<std::string>{"scores empty, checkpoints empty, flags reset, settings not yet reset"});
    EXPECT_EQ(settings->selectedCharacter(), 0);
    EXPECT_EQ(linesWith("[ZqServices] alert: PLEASE NOTE:"), 1);
    EXPECT_EQ(linesWith("[ZqPSettingsController] - save"), 1);
}

class UnlockTest : public UiScreenTest {
protected:
    void SetUp() override
    {
        UiScreenTest::SetUp();
        ZqModelLoader::shared()->nextPhase();
        ZqModelLoader::shared()->nextPhase();
        button(*menu, "Unlock", "kUnlockCharacter", CCPoint(100, 100));
    }
    // Characters after the free first one, each locked until bought with coins.
    void characters(std::initializer_list<float> prices)
    {
        auto free = ZqModelAssetCharacter::create();
        ZqModelController::shared()->addModel(free);
        for (float price : prices) {
            auto character = ZqModelAssetCharacter::create();
            character->m_purchaseMethod->setValue("kInGameCurrency", true);
            character->m_price->setValue(price, true);
            ZqModelController::shared()->addModel(character);
        }
    }
    ZqPObjectButton* unlockButton() { return shown()->findButton(kButtonUnlockCharacter); }
};

TEST_F(UnlockTest, OnlyAnAffordableCharacterIsUnlockedAndPaidFor)
{
    characters({100.5f, 100.0f});
    ScoreRegistry::global().coins.total = 100;
    show("Menu");
    EXPECT_TRUE(unlockButton()->isVisible());
    touch(100, 100);
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    EXPECT_TRUE(settings->isCharacterUnlocked(2));
    EXPECT_FALSE(settings->isCharacterUnlocked(1));
    EXPECT_EQ(settings->selectedCharacter(), 2);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 0);
    EXPECT_FALSE(unlockButton()->isVisible()) << "nothing affordable is left";
}

TEST_F(UnlockTest, APriceIsPaidTruncated)
{
    characters({99.9f});
    ScoreRegistry::global().coins.total = 100;
    show("Menu");
    touch(100, 100);
    EXPECT_TRUE(ZqPSettingsController::shared()->isCharacterUnlocked(1));
    EXPECT_EQ(ScoreRegistry::global().coins.total, 1);
}

TEST_F(UnlockTest, WithEverythingUnlockedTheButtonHidesAndThePressTellsWhy)
{
    characters({10.0f});
    ZqPSettingsController::shared()->unlockCharacter(1);
    ScoreRegistry::global().coins.total = 100;
    show("Menu");
    EXPECT_FALSE(unlockButton()->isVisible());
    unlockButton()->activate();
    EXPECT_EQ(linesWith("[ZqServices] alert: Sorry, you don't have enough currency!"), 1);
    EXPECT_EQ(ScoreRegistry::global().coins.total, 100);
}

} // namespace

namespace {

TEST_F(UiActionsTest, TheNavigatorsAndTheDirectorsFieldsDifferWhileASwitchWaitsForItsFrame)
{
    EXPECT_EQ(zqCurrentField().camera(), nullptr) << "no field: the default";
    EXPECT_EQ(zqRunningField().world(), nullptr);
    zqRunningField().flash(1.0f);
    zqCurrentField().adoptObject(nullptr, nullptr);

    zqInstallScreenAnswers();
    graph.world("Game");
    graph.world("Bonus");
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    show("Game");
    ZqPScreenScene* game = navigator->currentGameScene();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(&zqCurrentField(), static_cast<ZqGameField*>(game));
    EXPECT_EQ(&zqRunningField(), static_cast<ZqGameField*>(game));

    // The new container is built at once; the director shows it at the next frame.
    ASSERT_TRUE(navigator->switchToScreen("Bonus", true, 0));
    director->replaceScene(navigator->sceneContainer());
    ZqPScreenScene* bonus = navigator->currentGameScene();
    ASSERT_NE(bonus, nullptr);
    ASSERT_NE(bonus, game);
    EXPECT_EQ(&zqCurrentField(), static_cast<ZqGameField*>(bonus));
    EXPECT_EQ(&zqRunningField(), static_cast<ZqGameField*>(game));
    frame();
    EXPECT_EQ(&zqRunningField(), static_cast<ZqGameField*>(bonus));
}

// A character whose death flashes the field for a second, made by the factory and kept.
ZqPObjectAssetCharacter* flashingHero()
{
    auto asset = ZqModelController::shared()->createModel<ZqModelAssetCharacter>();
    asset->updateCollisionShape(CCSize(40, 40), CCPoint());
    asset->m_cameraFlash->setValue(1.0f, true);
    auto placed = ZqModelController::shared()->createModel<ZqModelObjectAssetCharacter>();
    placed->setAsset(asset);
    auto* hero = dynamic_cast<ZqPObjectAssetCharacter*>(ZqPObjectAsset::createAssetObject(placed));
    if (hero)
        hero->retain();
    return hero;
}

// A spawner unit, kept; it fires when asked.
ZqPObjectAssetUnit* spawner()
{
    auto asset = ZqModelController::shared()->createModel<ZqModelAssetObstacle>();
    auto placed = ZqModelController::shared()->createModel<ZqModelObjectAssetUnit>();
    placed->setAsset(asset);
    placed->setSpawnerEnabled(true);
    placed->setSpawnRate(0.25f);
    auto* unit = dynamic_cast<ZqPObjectAssetUnit*>(ZqPObjectAsset::createAssetObject(placed));
    if (unit)
        unit->retain();
    return unit;
}

long spawnedCopies(const ZqPScreenScene* field)
{
    CCArray* children = field->camera()->getChildren();
    return std::count_if(children->begin(), children->end(), [](CCObject* child) {
        auto* object = dynamic_cast<ZqPObject*>(child);
        return object && (object->objectType() & ZqPObject::kTypeSpawnedCopy);
    });
}

TEST_F(UiActionsTest, DeathsFlashTheNavigatorsFieldAndSpawnersFireIntoTheDirectors)
{
    zqInstallScreenAnswers();
    graph.world("Game");
    graph.world("Bonus");

    // No field: the death plays out and the spawner keeps its shot.
    show("Menu");
    ZqPObjectAssetCharacter* lone = flashingHero();
    ZqPObjectAssetUnit* idle = spawner();
    ASSERT_NE(lone, nullptr);
    ASSERT_NE(idle, nullptr);
    lone->setState(ZqPObject::kStateDestroyed);
    EXPECT_EQ(lone->state(), ZqPObject::kStateRemoved);
    idle->spawn();
    EXPECT_EQ(idle->activationTimer(), 0.0f) << "nothing fired";
    lone->release();
    idle->release();

    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    show("Game");
    frame(); // the field's first update builds its world
    ZqPScreenScene* game = navigator->currentGameScene();
    ASSERT_NE(game, nullptr);
    ASSERT_NE(game->world(), nullptr);
    ZqPObjectAssetCharacter* hero = flashingHero();
    ZqPObjectAssetUnit* gun = spawner();
    game->adoptObject(hero, nullptr);
    game->adoptObject(gun, nullptr);

    // The new container is built; the old scene runs until the next frame.
    ASSERT_TRUE(navigator->switchToScreen("Bonus", true, 0));
    director->replaceScene(navigator->sceneContainer());
    ZqPScreenScene* bonus = navigator->currentGameScene();
    ASSERT_NE(bonus, game);
    hero->setState(ZqPObject::kStateDestroyed);
    EXPECT_NE(bonus->scenery().flashSprite(), nullptr) << "the death flashes the field being shown";
    EXPECT_EQ(game->scenery().flashSprite(), nullptr);
    gun->spawn();
    EXPECT_EQ(spawnedCopies(game), 1) << "the copy joins the field whose step runs";
    EXPECT_EQ(spawnedCopies(bonus), 0);
    hero->release();
    gun->release();
    frame();
}

} // namespace
