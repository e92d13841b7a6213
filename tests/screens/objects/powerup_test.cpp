// Power-ups on the field core: taking, rewards, effects and their end, the field's power-up
// operations, granting and the appearance chance; and the character's gun.
#include "screens/objects/character_support.h"

#include "app/ScoreRegistry.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "objects/assets/ZqPObjectAssetPowerup.h"
#include "objects/assets/ZqPObjectAssetUnit.h"

using namespace cocos2d;

namespace {

class PowerupTest : public CharacterFieldTest {
protected:
    CCSize viewSize() const override { return CCSize(480, 320); }
    // Away from the characters, yet inside the view widened by the deletion thresholds
    // (the field removes what lies behind or beside it).
    static inline const CCPoint kOutOfTheWay{700, 600};

    void SetUp() override
    {
        CharacterFieldTest::SetUp();
        ScoreRegistry::clear();
        ScoreRegistry::setCurrentKey("level");
    }

    void TearDown() override
    {
        ScoreRegistry::setCurrentKey("");
        ScoreRegistry::clear();
        // Drops the values a gameplay power-up saved (engine strings).
        GameplayParameters::shared()->resetToDefaults(ZqModelGeneralSettings::shared());
        CharacterFieldTest::TearDown();
    }

    // A power-up with a one-frame idle animation (8 x 8 points) and a 20-point box.
    std::shared_ptr<ZqModelAssetPowerup> powerupAsset(const std::string& type, float duration = 0.0f, int coins = 0)
    {
        auto asset = zqCreateModel<ZqModelAssetPowerup>("Powerup");
        asset->m_powerupType->setValue(type, true);
        asset->m_duration->setValue(duration, true);
        asset->m_rewardCoins->setValue(static_cast<float>(coins), true);
        asset->m_appearanceChance->setValue(100.0f, true);
        asset->m_idleAnimation->setValue(animation(1.0f, true), true);
        asset->m_collisionShape->setValue(box(20.0f, 20.0f), true);
        return asset;
    }

    static std::shared_ptr<ZqModelObjectAssetPowerup> placed(const std::shared_ptr<ZqModelAssetPowerup>& asset,
                                                             const CCPoint& position)
    {
        auto model = zqCreateModel<ZqModelObjectAssetPowerup>("Powerup");
        model->setAsset(asset);
        model->setPosition(position);
        return model;
    }

    ZqPObjectAssetPowerup* placePowerup(const std::shared_ptr<ZqModelAssetPowerup>& asset, const CCPoint& position)
    {
        auto* powerup
            = dynamic_cast<ZqPObjectAssetPowerup*>(ZqPObjectAsset::createAssetObject(placed(asset, position)));
        EXPECT_NE(powerup, nullptr);
        addToField(field(), powerup);
        return powerup;
    }

    ZqPObjectAssetUnit* placeUnit(const CCPoint& position, const CCSize& size, const std::string& objectType,
                                  const std::string& destroyType)
    {
        auto asset = zqCreateModel<ZqModelAssetObstacle>("Obstacle");
        asset->m_collisionShape->setValue(box(size.width, size.height), true);
        asset->m_idleAnimation->setValue(animation(1.0f, true), true);
        auto unit = zqCreateModel<ZqModelObjectAssetUnit>("Unit");
        unit->setAsset(asset);
        unit->setPosition(position);
        unit->setCollisionType("kCharacterCollision");
        unit->setDestroyType(destroyType);
        static_cast<ZqAttributeStringList*>(unit->findAttribute("Object Type"))->setValue(objectType);
        auto* object = dynamic_cast<ZqPObjectAssetUnit*>(ZqPObjectAsset::createAssetObject(unit));
        EXPECT_NE(object, nullptr);
        addToField(field(), object);
        return object;
    }

    // The power-ups of asset under the camera.
    std::vector<ZqPObjectAssetPowerup*> powerupsOf(const std::shared_ptr<ZqModelAssetPowerup>& asset) const
    {
        std::vector<ZqPObjectAssetPowerup*> found;
        for (CCObject* child : *field()->camera()->getChildren()) {
            auto* powerup = dynamic_cast<ZqPObjectAssetPowerup*>(child);
            if (powerup && modelCast<ZqModelObjectAssetPowerup>(powerup->model())->assetPowerup() == asset)
                found.push_back(powerup);
        }
        return found;
    }
};

TEST_F(PowerupTest, ACoinPaysBothRecordsInTheFrameOfItsFirstContactAndGoes)
{
    ZqPObjectAssetPowerup* coin = placePowerup(powerupAsset("kPowerupCoin", 0.0f, 5), CCPoint(100, 100));
    coin->retain();
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(100, 200));
    for (int i = 0; i < 120 && coin->state() == 0; ++i) {
        step();
        EXPECT_EQ(ScoreRegistry::global().coins.session, coin->state() == 0 ? 0 : 5);
    }
    const ScoreBlock<int>& coins = ScoreRegistry::global().coins;
    EXPECT_EQ(coins.session, 5);
    EXPECT_EQ(coins.total, 5);
    EXPECT_GE(coins.best, 5);
    EXPECT_EQ(ScoreRegistry::current().coins.session, 5);
    EXPECT_EQ(coin->state(), 5) << "a duration of 0 ends at the first update of the taken state";
    EXPECT_EQ(coin->getParent(), nullptr);
    EXPECT_LT(hero->state(), 4);
    coin->release();

    spawnCharacter(characterAsset(), CCPoint(100, 250));
    step(60);
    EXPECT_EQ(ScoreRegistry::global().coins.session, 5) << "nothing left to take";
}

TEST_F(PowerupTest, InvincibilityTurnsAFatalEnemyIntoAVictim)
{
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(100, 120));
    hero->retain();
    placeUnit(CCPoint(100, 50), CCSize(120, 20), "kEnemyObjectType", "kDestroyCollision");
    for (int i = 0; i < 60 && hero->state() != 5; ++i)
        step();
    EXPECT_EQ(hero->state(), 5);
    EXPECT_EQ(hero->getParent(), nullptr);
    EXPECT_EQ(loggedCount("deathAnimationDidEnd --- "), 1);
    EXPECT_FALSE(ZqPInputController::shared()->hasActiveCharacters());
    hero->release();

    ZqPObjectAssetPowerup* star = placePowerup(powerupAsset("kPowerupInvincibility", 10.0f), CCPoint(300, 180));
    ZqPObjectAssetCharacter* safe = spawnCharacter(characterAsset(), CCPoint(300, 240));
    ZqPObjectAssetUnit* enemy = placeUnit(CCPoint(300, 50), CCSize(120, 20), "kEnemyObjectType", "kDestroyCollision");
    enemy->retain();
    step(60);
    EXPECT_EQ(star->state(), 1);
    EXPECT_EQ(star->activator(), safe);
    EXPECT_LT(safe->state(), 4);
    EXPECT_EQ(enemy->state(), 5);
    EXPECT_EQ(enemy->getParent(), nullptr);
    enemy->release();
}

TEST_F(PowerupTest, AReplacingStartAnimationStandsInForItsCharacterWhileTheEffectRuns)
{
    addPlatform(CCPoint(100, 40), CCSize(600, 20));
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(100, 80));
    landOnGround(hero);
    auto asset = powerupAsset("kPowerupNone", 0.5f);
    asset->m_animationPlacement->setValue("kPowerupCharacterConstraint", true);
    asset->m_animationBehaviour->setValue("kReplaceBehaviour", true);
    asset->m_startAnimation->setValue(animation(1.0f, true), true);
    ZqPObjectAssetPowerup* powerup = placePowerup(asset, hero->getPosition() + CCPoint(10, 0));
    step(2);
    ASSERT_EQ(powerup->state(), 1);
    EXPECT_EQ(hero->currentStateAnimation(), powerup->startAnimation());
    EXPECT_FALSE(hero->defaultAnimation()->isVisible());
    EXPECT_LT(powerup->getPosition().getDistance(hero->getPosition()), 0.5f) << "it follows its activator";
    step(40);
    EXPECT_EQ(hero->currentStateAnimation(), nullptr);
    EXPECT_TRUE(hero->defaultAnimation()->isVisible());
}

TEST_F(PowerupTest, ASecondGameplayPowerupEndsTheFirstAndTheOldValuesComeBack)
{
    const CCPoint before = GameplayParameters::shared()->gravity();
    auto gravity = [&](float y) {
        auto asset = powerupAsset("kPowerupGameplay", 10.0f);
        asset->m_gravity->setValue(CCPoint(0.0f, y), true);
        return placePowerup(asset, CCPoint(600, 600));
    };
    ZqPObjectAssetPowerup* first = gravity(-5.0f);
    ZqPObjectAssetPowerup* second = gravity(-80.0f);
    first->setState(1);
    EXPECT_FLOAT_EQ(world().GetGravity().y, -5.0f);
    second->setState(1);
    EXPECT_GE(first->state(), 4);
    EXPECT_FLOAT_EQ(world().GetGravity().y, -80.0f);
    second->setState(4);
    EXPECT_TRUE(GameplayParameters::shared()->gravity().equals(before));
    EXPECT_FLOAT_EQ(world().GetGravity().y, before.y);
}

TEST_F(PowerupTest, TypesNoTableHoldsAreTheirOwnTextsAsANewerPowerupEndsAnOlder)
{
    ZqPObjectAssetPowerup* shield = placePowerup(powerupAsset("kPowerupShield", 10.0f), kOutOfTheWay);
    ZqPObjectAssetPowerup* ghost = placePowerup(powerupAsset("kPowerupGhost", 10.0f), kOutOfTheWay);
    ZqPObjectAssetPowerup* blank = placePowerup(powerupAsset("", 10.0f), kOutOfTheWay);
    shield->setState(1);
    ghost->setState(1);
    blank->setState(1);
    EXPECT_EQ(shield->state(), 1) << "another unknown type, and the empty one, leave it running";
    EXPECT_EQ(ghost->state(), 1);
    ZqPObjectAssetPowerup* second = placePowerup(powerupAsset("kPowerupShield", 10.0f), kOutOfTheWay);
    second->setState(1);
    EXPECT_GE(shield->state(), 4) << "the same text ends it";
    EXPECT_EQ(ghost->state(), 1);
    EXPECT_EQ(blank->state(), 1);
}

TEST_F(PowerupTest, TheMagnetPullsNearCoinsAndKillingEnemiesSparesOthers)
{
    addPlatform(CCPoint(100, 40), CCSize(600, 20));
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(100, 80));
    landOnGround(hero);
    ZqPObjectAssetPowerup* near = placePowerup(powerupAsset("kPowerupCoin"), hero->getPosition() + CCPoint(200, 0));
    ZqPObjectAssetPowerup* far = placePowerup(powerupAsset("kPowerupCoin"), hero->getPosition() + CCPoint(0, 420));
    ZqPObjectAssetPowerup* magnet = placePowerup(powerupAsset("kPowerupMagnet", 10.0f), kOutOfTheWay);
    const CCPoint farStart = far->getPosition();
    magnet->setState(1);
    EXPECT_TRUE(field()->powerups().isMagnetActive());
    step();
    EXPECT_NEAR(near->getPosition().getDistance(hero->getPosition()), 180.0f, 1.0f) << "a tenth a step";
    EXPECT_NEAR(near->getBody()->GetPosition().x / zqphysics::kMetresPerPoint, near->getPositionX(), 0.1f);
    EXPECT_TRUE(far->getPosition().equals(farStart)) << "beyond the magnet's reach";
    magnet->setState(4);
    EXPECT_FALSE(field()->powerups().isMagnetActive());
    const CCPoint stopped = near->getPosition();
    step();
    EXPECT_TRUE(near->getPosition().equals(stopped));

    ZqPObjectAssetUnit* enemy = placeUnit(CCPoint(300, 200), CCSize(20, 20), "kEnemyObjectType", "kDestroyNo");
    ZqPObjectAssetUnit* platform = placeUnit(CCPoint(300, 250), CCSize(20, 20), "kPlatformObjectType", "kDestroyNo");
    placePowerup(powerupAsset("kPowerupKillAllEnemies"), kOutOfTheWay)->setState(1);
    EXPECT_GE(enemy->state(), 4);
    EXPECT_EQ(platform->state(), 0);
    EXPECT_LT(hero->state(), 4);
}

TEST_F(PowerupTest, CheckpointsAreStoredAndTheCheckpointPowerupsRestartTheField)
{
    addPlatform(CCPoint(100, 40), CCSize(600, 20));
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(100, 80));
    landOnGround(hero);
    hero->retain();
    const std::pair<float, int> checkpoints[] = {{-200.0f, 3}, {300.0f, 7}, {450.0f, 9}};
    ZqPObjectAssetPowerup* last = nullptr;
    for (const auto& [x, index] : checkpoints) {
        last = placePowerup(powerupAsset("kPowerupCheckpoint", 5.0f), CCPoint(x, 250));
        last->setCreationIndex(index);
    }
    EXPECT_EQ(field()->restarts().checkpoint(), nullptr);
    ScoreRegistry::current().points.add(40);
    last->setState(1);
    ASSERT_NE(field()->restarts().checkpoint(), nullptr);
    EXPECT_EQ(field()->restarts().checkpoint()->index, 9);
    ASSERT_TRUE(field()->restarts().checkpoint()->snapshot);
    EXPECT_EQ(field()->restarts().checkpoint()->snapshot->points, 40);
    EXPECT_EQ(ScoreRegistry::current().points.snapshot, 40);

    // The next checkpoint ahead is kept, and the field starts again from it.
    placePowerup(powerupAsset("kPowerupNextCheckpoint"), kOutOfTheWay)->setState(1);
    step();
    EXPECT_EQ(field()->restarts().checkpoint()->index, 7) << "the nearest ahead";
    EXPECT_LT(field()->restarts().checkpoint()->position.getDistance(CCPoint(300, 250)), 0.01f);
    EXPECT_EQ(hero->getParent(), field()->camera()) << "nothing changes inside the step";
    step();
    EXPECT_EQ(hero->getParent(), nullptr) << "the field restarted";
    hero->release();

    ZqPObjectAssetPowerup* restart = placePowerup(powerupAsset("kPowerupRestartCheckpoint"), kOutOfTheWay);
    ZqPObjectAssetPowerup* bystander = placePowerup(powerupAsset("kPowerupCoin"), CCPoint(300, 600));
    restart->retain();
    bystander->retain();
    restart->setState(1);
    step(2);
    EXPECT_EQ(bystander->getParent(), nullptr) << "the field restarted";
    restart->release();
    bystander->release();

    // No end screen without an overlay or a menu: the power-up ends and nothing else.
    ZqPObjectAssetPowerup* end = placePowerup(powerupAsset("kPowerupEndGame"), kOutOfTheWay);
    end->retain();
    end->setState(1);
    step(2);
    EXPECT_EQ(end->state(), 5);
    EXPECT_EQ(ZqPScreen::runningScreen(), field());
    end->release();
}

TEST_F(PowerupTest, GrantedPowerupsIgnoreTheirChanceAndAppearAtTheCharacterOrTheCentre)
{
    auto star = powerupAsset("kPowerupInvincibility", 10.0f);
    star->m_appearanceChance->setValue(0.0f, true);
    field()->grantPowerup(star, true);
    ASSERT_EQ(powerupsOf(star).size(), 1u);
    EXPECT_TRUE(powerupsOf(star)[0]->getPosition().equals(CCPoint(240, 160))) << "the screen centre";
    EXPECT_TRUE(powerupsOf(star)[0]->isEffectActive());

    auto coin = powerupAsset("kPowerupCoin", 0.0f, 1);
    coin->m_appearanceChance->setValue(0.0f, true);
    for (int i = 0; i < 100; ++i) {
        field()->grantPowerup(coin, i % 2 == 0);
        step();
    }
    EXPECT_EQ(ScoreRegistry::global().coins.session, 100);
    EXPECT_TRUE(powerupsOf(coin).empty());

    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(100, 200));
    hero->setZOrder(10);
    for (bool above : {true, false}) {
        field()->grantPowerup(star, above);
        std::vector<ZqPObjectAssetPowerup*> running = powerupsOf(star);
        running.erase(std::remove_if(running.begin(), running.end(), [](auto* p) { return !p->isEffectActive(); }),
                      running.end());
        ASSERT_EQ(running.size(), 1u) << "the older one of the type ended";
        EXPECT_TRUE(running[0]->getPosition().equals(hero->getPosition()));
        EXPECT_EQ(running[0]->getZOrder(), above ? 11 : 9);
        step();
    }
}

TEST_F(PowerupTest, TheFactoryDrawsTheAppearanceChanceFromTheProjectGenerator)
{
    auto sure = placed(powerupAsset("kPowerupCoin"), CCPoint());
    auto rare = placed(powerupAsset("kPowerupCoin"), CCPoint());
    rare->assetPowerup()->m_appearanceChance->setValue(0.0f, true);
    int made[2] = {0, 0};
    for (int i = 0; i < 400; ++i) {
        made[0] += ZqPObjectAsset::createAssetObject(sure) != nullptr;
        made[1] += ZqPObjectAsset::createAssetObject(rare) != nullptr;
    }
    EXPECT_EQ(made[0], 400);
    EXPECT_TRUE(made[1] > 0 && made[1] < 16) << made[1] << ": a chance of 0 still gives one in a hundred";
}

TEST_F(PowerupTest, RewardNumbersKeepAPowerupWithBothUntilTheyEndAndScreenScalesStayFinite)
{
    labelOf("A"); // a font model: reward numbers can be shown
    auto both = powerupAsset("kPowerupCoin", 0.0f, 5);
    both->m_rewardPoints->setValue(3.0f, true);
    both->m_showCoinReward->setValue(true, true);
    both->m_showPointsReward->setValue(true, true);
    ZqPObjectAssetPowerup* shown = placePowerup(both, kOutOfTheWay);
    shown->retain();
    shown->setState(1);
    ASSERT_NE(shown->coinLabel(), nullptr);
    EXPECT_STREQ(shown->coinLabel()->getString(), "5");
    step();
    EXPECT_EQ(shown->state(), 4) << "waits for its numbers";
    step(60);
    EXPECT_EQ(shown->state(), 5);
    shown->release();

    // Screen-constrained: the scale fills the window by the bounds, and stays 1 without any.
    for (bool withIdle : {true, false}) {
        auto asset = powerupAsset("kPowerupNone", 5.0f);
        asset->m_animationPlacement->setValue("kPowerupScreenConstraint", true);
        asset->m_startAnimation->setValue(animation(1.0f, true), true);
        if (!withIdle)
            asset->m_idleAnimation->setValue(nullptr, true);
        ZqPObjectAssetPowerup* screen = placePowerup(asset, kOutOfTheWay);
        screen->setState(1);
        step();
        EXPECT_FLOAT_EQ(screen->getScaleX(), withIdle ? 40.0f : 1.0f);
        EXPECT_TRUE(screen->getPosition().equals(CCPoint(240, 160)));
    }
    // Each power-up keeps bounds of its own size.
    ZqPObjectAssetPowerup* small = placePowerup(powerupAsset("kPowerupCoin"), CCPoint());
    auto bigModel = placed(powerupAsset("kPowerupCoin"), CCPoint());
    bigModel->setScale(CCPoint(3, 3));
    auto* big = static_cast<ZqPObjectAssetPowerup*>(ZqPObjectAsset::createAssetObject(bigModel));
    EXPECT_FLOAT_EQ(small->boundingRect().size.width, 8.0f);
    EXPECT_FLOAT_EQ(big->boundingRect().size.width, 24.0f);
}

TEST_F(PowerupTest, AHeldShootFiresBulletsShowingTheBulletAnimationThatDestroyEnemies)
{
    const auto firstOf = [](CCNode* parent, auto test) -> ZqPObject* {
        for (CCObject* child : *parent->getChildren()) {
            if (auto* object = dynamic_cast<ZqPObject*>(child); object && test(object))
                return object;
        }
        return nullptr;
    };
    const auto isUnit = [](ZqPObject* object) { return dynamic_cast<ZqPObjectAssetUnit*>(object) != nullptr; };
    auto asset = characterAsset();
    EXPECT_EQ(firstOf(spawnCharacter(asset, CCPoint(-300, 300)), isUnit), nullptr) << "no bullet animation, no gun";
    auto bullet = animation(1.0f, true);
    asset->m_bulletAnimation->setValue(bullet, true);
    auto damage = zqCreateModel<ZqModelComponentDamage>("Damage");
    damage->setDamage(3);
    asset->addChild(damage, true);
    addPlatform(CCPoint(200, 40), CCSize(600, 20));
    ZqPObjectAssetCharacter* hero = spawnCharacter(asset, CCPoint(100, 80));
    landOnGround(hero);
    ZqPObject* gun = firstOf(hero, isUnit);
    ASSERT_NE(gun, nullptr);
    const auto obstacle = modelCast<ZqModelObjectAssetUnit>(gun->model())->assetObstacle();
    EXPECT_EQ(obstacle->idleAnimation(), bullet) << "the bullet animation itself";
    EXPECT_TRUE(obstacle->hasValidShape(1.0f, 1.0f)) << "shaped like its first frame";
    EXPECT_EQ(obstacle->firstChildOfClass<ZqModelComponentDamage>()->damage(), 3);

    ZqPObjectAssetUnit* enemy
        = placeUnit(hero->getPosition() + CCPoint(200, 0), CCSize(20, 40), "kEnemyObjectType", "kDestroyCollision");
    enemy->retain();
    ZqPInputController::shared()->actionBegin(ZqPInputController::kShoot, nullptr);
    step();
    ZqPInputController::shared()->actionEnd(ZqPInputController::kShoot, nullptr);
    ZqPObject* fired
        = firstOf(field()->camera(), [](ZqPObject* o) { return o->objectType() & ZqPObject::kTypeSpawnedCopy; });
    ASSERT_NE(fired, nullptr);
    step(2); // it starts moving at its first update, a frame after it was fired
    // (60, 0) velocity units of 32 points a second: 1,920 points a second.
    EXPECT_NEAR(fired->getBody()->GetLinearVelocity().x, 1920.0f * zqphysics::kMetresPerPoint, 0.01f);
    step(10);
    EXPECT_EQ(enemy->state(), 5);
    EXPECT_LT(hero->state(), 4);
    enemy->release();
}

} // namespace
