// Assets and placed assets: the power-up's gameplay overrides, the reading through of
// placed characters and power-ups (safe without a matching asset), the "Asset" reference
// bookkeeping and the collision shape the asset makes for itself.
#include "object_asset_support.h"

#include "model/GameplayParameters.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelShapes.h"

#include <climits>

namespace {

using namespace object_asset_test;

using namespace cocos2d;

// Sets a float through its dictionary form, which also clears its empty mark.
void loadFloat(ZqAttributeFloat& attribute, const char* value)
{
    CCDictionary* dictionary = CCDictionary::create();
    dictionary->setObject(CCString::create(value), "value");
    attribute.loadValueFromDictionary(dictionary);
}

class CountingObserver : public ZqModelObserver {
public:
    void attributeChanged(ZqBaseAttribute*, int) override { ++changes; }
    int changes = 0;
};

using PowerupOverridesTest = SceneModelTest;

TEST_F(PowerupOverridesTest, WritesTheScaledValues)
{
    GameplayParameters parameters(ZqModelGeneralSettings::shared());
    const auto powerup = ZqModelAssetPowerup::create();
    powerup->m_maxSpeed->setValue(CCPoint(30, 15));
    powerup->m_gravity->setValue(CCPoint(1, -20));
    powerup->m_jumpForce->setValue(CCPoint(2, 10));
    powerup->m_jumpCounter->setValue(2.0f);
    powerup->m_jumpTimeout->setValue(0.4f);
    loadFloat(*powerup->m_groundThreshold, "0.3");
    powerup->m_jumpFromGround->setValue(true);
    powerup->m_rightLeanForce->setValue(50.0f);
    powerup->m_leftLeanForce->setValue(-25.0f);
    powerup->m_gameSpeedMin->setValue(75.0f);
    powerup->m_gameSpeedMax->setValue(250.0f);
    powerup->m_speedIncrease->setValue(5.0f);
    powerup->m_friction->setValue(30.0f);
    powerup->m_timeWarp->setValue(50.0f);
    powerup->m_velocityDrag->setValue(0.9f);
    powerup->m_rotationDrag->setValue(0.8f);
    powerup->m_bounceForce->setValue(CCPoint(3, 7));
    powerup->m_bounce->setValue(40.0f);
    powerup->m_scoreMultiplier->setValue(2.0f);
    powerup->m_airDrag->setValue(CCPoint(20, 10));
    powerup->m_platformFriction->setValue(10.0f);
    powerup->m_gameDirection->setValue(90.0f);
    powerup->m_fixedRotation->setValue(true);

    powerup->applyGameplayOverrides(parameters);

    EXPECT_EQ(parameters.saveCounter(), 1);
    EXPECT_EQ(parameters.moveSpeed().x, 10.0f);
    EXPECT_EQ(parameters.moveSpeed().y, 5.0f);
    EXPECT_EQ(parameters.gravity().y, -20.0f);
    EXPECT_EQ(parameters.upForce().x, 0.5f);
    EXPECT_EQ(parameters.upForce().y, 2.5f);
    EXPECT_EQ(parameters.upForceCounter(), 2.0f);
    EXPECT_EQ(parameters.upForceDuration(), 0.4f);
    EXPECT_EQ(parameters.groundThreshold(), 0.3f);
    EXPECT_TRUE(parameters.upForceFromGround());
    EXPECT_EQ(parameters.rightLeanForce(), 0.5f);
    EXPECT_EQ(parameters.leftLeanForce(), -0.25f);
    EXPECT_EQ(parameters.gameSpeedMin(), 3.0f);
    EXPECT_EQ(parameters.gameSpeedMax(), 10.0f);
    EXPECT_EQ(parameters.gameSpeedIncrease(), 5.0f / 25.0f);
    EXPECT_EQ(parameters.friction(), 30.0f / 100.0f);
    EXPECT_EQ(parameters.simulationTimeScale(), 1.0f);
    EXPECT_EQ(parameters.velocityScale(), 0.9f);
    EXPECT_EQ(parameters.rotationScale(), 0.8f);
    EXPECT_EQ(parameters.bounceForce().x, 1.5f);
    EXPECT_EQ(parameters.bounceForce().y, 3.5f);
    EXPECT_EQ(parameters.restitution(), 0.4f);
    EXPECT_EQ(parameters.scoreMultiplier(), 2.0f);
    EXPECT_EQ(parameters.characterFriction().x, 1.0f - 20.0f / 100.0f);
    EXPECT_EQ(parameters.characterFriction().y, 1.0f - 10.0f / 100.0f);
    EXPECT_EQ(parameters.platformFriction(), 0.25f);
    EXPECT_EQ(parameters.gameplayAngleDirection(), 90.0f);
    EXPECT_TRUE(parameters.fixedRotation());

    // Ending the power-up brings back the values from before it.
    parameters.restoreCountdown();
    EXPECT_EQ(parameters.moveSpeed().x, 0.0f);
    EXPECT_EQ(parameters.simulationTimeScale(), 1.0f);
    EXPECT_EQ(parameters.gravity().y, -50.0f);
    EXPECT_FALSE(parameters.fixedRotation());
}

TEST_F(PowerupOverridesTest, FreshPowerupZeroesButLeavesTheGroundThreshold)
{
    GameplayParameters parameters(ZqModelGeneralSettings::shared());
    parameters.setGroundThreshold(0.07f);
    ZqModelAssetPowerup::create()->applyGameplayOverrides(parameters);
    EXPECT_EQ(parameters.groundThreshold(), 0.07f);
    EXPECT_EQ(parameters.moveSpeed().x, 0.0f);
    EXPECT_EQ(parameters.gravity().y, 0.0f);
    EXPECT_EQ(parameters.upForce().y, 0.0f);
    EXPECT_EQ(parameters.simulationTimeScale(), 0.0f);
    EXPECT_EQ(parameters.platformFriction(), 0.0f);
    EXPECT_EQ(parameters.characterFriction().x, 1.0f);
    EXPECT_EQ(parameters.characterFriction().y, 1.0f);
}

TEST_F(PowerupOverridesTest, ValuesAPowerupHasNoAttributeForAreLeftAlone)
{
    GameplayParameters parameters(ZqModelGeneralSettings::shared());
    parameters.setGameSpeed(3.5f);
    const bool directMovement = parameters.directMovement();
    const float sidesThreshold = parameters.sidesDeletionThreshold();
    ZqModelAssetPowerup::create()->applyGameplayOverrides(parameters);
    EXPECT_EQ(parameters.gameSpeed(), 3.5f);
    EXPECT_EQ(parameters.directMovement(), directMovement);
    EXPECT_EQ(parameters.sidesDeletionThreshold(), sidesThreshold);
}

TEST_F(PowerupOverridesTest, EmptyGroundThresholdSurvivesCopies)
{
    const auto powerup = ZqModelAssetPowerup::create();
    const auto copy = duplicateModel(powerup, true, false);
    EXPECT_TRUE(copy->m_groundThreshold->allowEmpty());
    EXPECT_TRUE(copy->m_groundThreshold->isEmpty());
}

using PlacedAssetTest = SceneModelTest;

TEST_F(PlacedAssetTest, PowerupReadsThroughToItsAsset)
{
    const auto asset = ZqModelAssetPowerup::create();
    const auto sound = ZqModelSound::create();
    asset->m_idleSound->setValue(sound);
    asset->m_powerupType->setValue("kPowerupMagnet");
    asset->m_animationBehaviour->setValue("kOverlayBehaviour");
    asset->m_duration->setValue(4.5f);
    asset->m_showCoinReward->setValue(true);
    const auto placed = ZqModelObjectAssetPowerup::create();
    placed->setAsset(asset);

    EXPECT_EQ(placed->assetPowerup(), asset);
    EXPECT_EQ(placed->idleSound(), sound);
    EXPECT_EQ(placed->powerupType(), kPowerupMagnet);
    EXPECT_EQ(placed->animationBehaviour(), kOverlayBehaviour);
    EXPECT_EQ(placed->duration(), 4.5f);
    EXPECT_TRUE(placed->showCoinReward());

    // Rewards truncate toward zero and saturate instead of overflowing.
    const std::pair<float, int> rewards[] = {{2.9f, 2}, {-2.9f, -2}, {1e20f, INT_MAX}, {-1e20f, INT_MIN}};
    for (const auto& [value, expected] : rewards) {
        asset->m_rewardCoins->setValue(value);
        asset->m_rewardPoints->setValue(value);
        asset->m_appearanceChance->setValue(value);
        EXPECT_EQ(placed->rewardCoins(), expected) << value;
        EXPECT_EQ(placed->rewardPoints(), expected) << value;
        EXPECT_EQ(placed->appearanceChance(), expected) << value;
    }
}

TEST_F(PlacedAssetTest, GettersAnswerEmptyWithoutAMatchingAsset)
{
    const auto character = ZqModelAssetCharacter::create();
    character->m_cameraShake->setValue(3.0f);
    character->m_jumpSound->setValue(ZqModelSound::create());
    const auto powerup = ZqModelAssetPowerup::create();
    powerup->m_powerupType->setValue("kPowerupStrike");
    powerup->m_rewardCoins->setValue(5.0f);
    powerup->m_idleSound->setValue(ZqModelSound::create());

    const auto placedCharacter = ZqModelObjectAssetCharacter::create();
    const auto placedPowerup = ZqModelObjectAssetPowerup::create();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "no asset" : "asset of the other class");
        EXPECT_FALSE(placedCharacter->assetCharacter());
        EXPECT_FALSE(placedCharacter->jumpSound());
        EXPECT_FALSE(placedCharacter->defaultAnimation());
        EXPECT_EQ(placedCharacter->cameraShake(), 0.0f);
        EXPECT_FALSE(placedCharacter->isCastShadow());
        EXPECT_FALSE(placedPowerup->assetPowerup());
        EXPECT_EQ(placedPowerup->powerupType(), kPowerupOther);
        EXPECT_EQ(placedPowerup->animationPlacement(), kPowerupPlacementOther);
        EXPECT_EQ(placedPowerup->rewardCoins(), 0);
        EXPECT_FALSE(placedPowerup->idleSound());
        EXPECT_FALSE(placedPowerup->startAnimation());
        placedCharacter->setAsset(powerup);
        placedPowerup->setAsset(character);
    }
    // A character object's own sound is empty even with an asset full of sounds.
    placedCharacter->setAsset(character);
    EXPECT_FALSE(placedCharacter->idleSound());
    EXPECT_EQ(placedCharacter->cameraShake(), 3.0f);
    EXPECT_TRUE(placedCharacter->isCastShadow());
}

TEST_F(PlacedAssetTest, SetAssetMovesTheReferrerEntryAndNotifiesOnce)
{
    const auto first = ZqModelAssetCharacter::create();
    const auto second = ZqModelAssetCharacter::create();
    const auto placed = ZqModelObjectAssetCharacter::create();
    CountingObserver observer;
    placed->addObserver(&observer);

    placed->setAsset(first);
    EXPECT_EQ(observer.changes, 1);
    placed->setAsset(first);
    EXPECT_EQ(observer.changes, 1);
    EXPECT_EQ(first->referencingAttributes().size(), 1u);

    placed->setAsset(second);
    EXPECT_EQ(observer.changes, 2);
    EXPECT_TRUE(first->referencingAttributes().empty());
    ASSERT_EQ(second->referencingAttributes().size(), 1u);
    EXPECT_EQ(second->referencingAttributes()[0], placed->m_asset);

    // A deep duplicate shares the asset.
    const auto copy = duplicateModel(placed, true, false);
    EXPECT_EQ(copy->asset(), second);
    EXPECT_EQ(second->referencingAttributes().size(), 2u);
    placed->removeObserver(&observer);
}

TEST_F(PlacedAssetTest, CollisionShapeIsMadeOnceAndGrows)
{
    const auto asset = controller().createModel<ZqModelAssetCharacter>();
    EXPECT_FALSE(asset->hasValidShape(1, 1));
    const auto placed = ZqModelObjectAssetCharacter::create();
    EXPECT_FALSE(placed->hasValidShape());
    EXPECT_FALSE(placed->collisionShape());
    placed->setAsset(asset);

    asset->updateCollisionShape(CCSize(60, 40), CCPoint(0, 0));
    const std::shared_ptr<ZqModelPolygon> shape = asset->collisionShape();
    ASSERT_TRUE(shape);
    EXPECT_EQ(controller().modelById(shape->id()), shape);
    EXPECT_EQ(shape->pointCount(), 4);
    EXPECT_EQ(placed->collisionShape(), shape);
    EXPECT_TRUE(asset->hasValidShape(1, 1));
    EXPECT_TRUE(placed->hasValidShape());
    // Scaled to nothing, the outline gives no physics shape.
    placed->setScale(CCPoint(0, 0));
    EXPECT_FALSE(placed->hasValidShape());

    asset->updateCollisionShape(CCSize(60, 40), CCPoint(5, 5));
    EXPECT_EQ(asset->collisionShape(), shape);
    EXPECT_EQ(shape->pointCount(), 8);
    EXPECT_EQ(controller().modelsOfClass<ZqModelPolygon>().size(), 1u);

    // An asset made at run time, never registered, keeps its shape out of the controller:
    // one made a game would otherwise stay there for good.
    const auto unregistered = ZqModelAssetCharacter::create();
    unregistered->updateCollisionShape(CCSize(8, 8), CCPoint(0, 0));
    ASSERT_TRUE(unregistered->collisionShape());
    EXPECT_EQ(unregistered->collisionShape()->pointCount(), 4);
    EXPECT_EQ(controller().modelsOfClass<ZqModelPolygon>().size(), 1u);
}

TEST_F(PlacedAssetTest, CopiesOfAnAssetDuplicateShapesAndAnimationsButShareSounds)
{
    const auto asset = controller().createModel<ZqModelAssetCharacter>();
    asset->updateCollisionShape(CCSize(60, 40), CCPoint(0, 0));
    asset->m_jumpAnimation->setValue(controller().createModel<ZqModelAnimation>());
    asset->m_jumpSound->setValue(controller().createModel<ZqModelSound>());
    const auto copy = duplicateModel(asset, true, true);
    ASSERT_TRUE(copy->collisionShape());
    EXPECT_NE(copy->collisionShape(), asset->collisionShape());
    EXPECT_EQ(copy->collisionShape()->pointCount(), 4);
    EXPECT_NE(copy->jumpAnimation(), asset->jumpAnimation());
    EXPECT_EQ(copy->jumpSound(), asset->jumpSound());
}

} // namespace
