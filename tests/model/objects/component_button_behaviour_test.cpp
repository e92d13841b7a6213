// What the runtime reads from the behaviour components and the further buttons: damage,
// spawn interval, the character's gameplay values, the move component's empty velocities
// and affected asset, the switch's fixed action, the social-link button's renamed address
// and the lock buttons the unlocker looks for.
#include "../scene/object_asset_support.h"

#include "model/GameplayParameters.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectButtons.h"

#include <ZqRandom.h>

#include <climits>

namespace {

using namespace object_asset_test;
using namespace cocos2d;

TEST(DamageComponent, DamageIsTheValueTruncatedTowardZero)
{
    const auto damage = ZqModelComponentDamage::create();
    EXPECT_EQ(damage->damage(), 1);
    damage->m_damage->setValue(2.9f);
    EXPECT_EQ(damage->damage(), 2);
    damage->m_damage->setValue(-2.9f);
    EXPECT_EQ(damage->damage(), -2);
    // Out of int's range it saturates instead of overflowing.
    damage->m_damage->setValue(1e20f);
    EXPECT_EQ(damage->damage(), INT_MAX);

    damage->setDamage(7);
    EXPECT_EQ(damage->m_damage->value(), 7.0f);
    damage->setDamageDelay(0.4f);
    EXPECT_FLOAT_EQ(damage->damageDelay(), 0.4f);
    EXPECT_EQ(ZqModelComponentDamage::create(*damage)->damage(), 7);
}

TEST(SpawnerComponent, IntervalIsTheRateWithinItsSpread)
{
    const auto spawner = ZqModelComponentSpawner::create();
    spawner->setSpawnRate(0.25f);
    spawner->setSpawnAction("kShootingSpawning");
    EXPECT_EQ(spawner->spawnAction(), kShootingSpawning);
    zqSrand(7);
    // Without a spread every draw is the rate itself.
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(spawner->spawnInterval(), 0.25f);

    spawner->m_spawnRate->setValue(2.0f);
    spawner->m_spawnRate->setVariableValue(0.5f);
    float lowest = 2.0f;
    float highest = 2.0f;
    for (int i = 0; i < 400; ++i) {
        const float interval = spawner->spawnInterval();
        ASSERT_GE(interval, 1.5f);
        ASSERT_LE(interval, 2.5f);
        lowest = std::min(lowest, interval);
        highest = std::max(highest, interval);
    }
    // Draws fall on both sides of the rate.
    EXPECT_LT(lowest, 1.8f);
    EXPECT_GT(highest, 2.2f);
}

class GameplaySettingsTest : public SceneModelTest {
protected:
    std::shared_ptr<ZqModelGeneralSettings> settings = ZqModelGeneralSettings::createDetached();
};

TEST_F(GameplaySettingsTest, FreshComponentChangesNothing)
{
    GameplayParameters parameters(settings);
    const GameplayParameters untouched(settings);
    parameters.loadFromCharacter(ZqModelComponentCharacterGameplaySettings::create());

    EXPECT_EQ(parameters.moveSpeed(), untouched.moveSpeed());
    EXPECT_EQ(parameters.bounceForce(), untouched.bounceForce());
    EXPECT_EQ(parameters.upForce(), untouched.upForce());
    EXPECT_EQ(parameters.characterFriction(), untouched.characterFriction());
    EXPECT_EQ(parameters.upForceDuration(), untouched.upForceDuration());
    EXPECT_EQ(parameters.upForceCounter(), untouched.upForceCounter());
    EXPECT_EQ(parameters.groundThreshold(), untouched.groundThreshold());
    EXPECT_EQ(parameters.leftLeanForce(), untouched.leftLeanForce());
    EXPECT_EQ(parameters.rightLeanForce(), untouched.rightLeanForce());
    EXPECT_EQ(parameters.platformFriction(), untouched.platformFriction());
    EXPECT_EQ(parameters.rotationScale(), untouched.rotationScale());
    EXPECT_EQ(parameters.upForceFromGround(), untouched.upForceFromGround());
    EXPECT_EQ(parameters.directMovement(), untouched.directMovement());
    EXPECT_EQ(parameters.forcedMovement(), untouched.forcedMovement());
    EXPECT_EQ(parameters.fixedRotation(), untouched.fixedRotation());
    EXPECT_EQ(parameters.imageDirection(), untouched.imageDirection());
}

TEST_F(GameplaySettingsTest, ValuesAreCopiedUnconverted)
{
    const auto component = ZqModelComponentCharacterGameplaySettings::create();
    component->m_maxSpeed->setValue(CCPoint(30, 15));
    component->m_airDrag->setValue(CCPoint(0.5f, 0.25f));
    component->m_groundThreshold->setValue(0.5f);
    component->m_rotationDrag->setValue(0.3f);
    component->m_forcedMovement->setValue(false);
    component->m_imageDirection->setValue(true);
    EXPECT_EQ(component->maxSpeed(), CCPoint(30, 15));
    EXPECT_EQ(component->groundThreshold(), 0.5f);

    GameplayParameters parameters(settings);
    parameters.loadFromCharacter(component);
    EXPECT_EQ(parameters.moveSpeed(), CCPoint(30, 15));
    EXPECT_EQ(parameters.characterFriction(), CCPoint(0.5f, 0.25f));
    EXPECT_EQ(parameters.groundThreshold(), 0.5f);
    EXPECT_EQ(parameters.rotationScale(), 0.3f);
    EXPECT_FALSE(parameters.forcedMovement());
    EXPECT_TRUE(parameters.imageDirection());
}

TEST(MoveComponent, VelocitiesStartEmptyAndStaySoInACopy)
{
    const auto move = ZqModelComponentMove::create();
    EXPECT_TRUE(move->m_linearVelocity->allowEmpty());
    EXPECT_TRUE(move->m_linearVelocity->isXEmpty());
    EXPECT_TRUE(move->m_linearVelocity->isYEmpty());
    EXPECT_TRUE(move->m_angularVelocity->allowEmpty());
    EXPECT_TRUE(move->m_angularVelocity->isEmpty());
    EXPECT_EQ(move->m_angularVelocity->value(), 0.0f);

    const auto copy = ZqModelComponentMove::create(*move);
    EXPECT_TRUE(copy->m_linearVelocity->isXEmpty());
    EXPECT_TRUE(copy->m_linearVelocity->isYEmpty());
    EXPECT_TRUE(copy->m_angularVelocity->isEmpty());

    // Other components' velocities are plain numbers.
    EXPECT_FALSE(ZqModelComponentMotor::create()->m_angularVelocity->isEmpty());
}

TEST(MoveComponent, AffectedAssetReadsTheLeadingNumber)
{
    const auto move = ZqModelComponentMove::create();
    EXPECT_EQ(move->affectedAsset(), -1);
    move->m_affectedAsset->setValue("-2");
    EXPECT_EQ(move->affectedAsset(), -2);
    move->m_affectedAsset->setValue("412");
    EXPECT_EQ(move->affectedAsset(), 412);
    move->m_affectedAsset->setValue("kAll");
    EXPECT_EQ(move->affectedAsset(), 0);
    move->m_affectedAsset->setValue("");
    EXPECT_EQ(move->affectedAsset(), 0);
    const auto motor = ZqModelComponentMotor::create();
    motor->m_affectedAsset->setValue("99999999999999");
    EXPECT_EQ(motor->affectedAsset(), 0);
}

TEST(Components, KindsFollowTheClassTree)
{
    const auto jump = ZqModelComponentIsoJump::create();
    EXPECT_TRUE(jump->isKindOf(ZqModelComponent::staticTypeId()));
    EXPECT_FALSE(jump->isKindOf(ZqModelCompound::staticTypeId()));
    EXPECT_NE(ZqModelComponentMove::staticTypeId(), ZqModelComponentMotor::staticTypeId());
    EXPECT_FALSE(ZqModelComponentMove::create()->isKindOf(ZqModelComponentMotor::staticTypeId()));
}

TEST(Buttons, SwitchActionIsFixedAndCopied)
{
    const auto button = ZqModelObjectButtonSwitch::create();
    EXPECT_EQ(button->action(), "kInputControllerActionButton");
    EXPECT_EQ(ZqModelObjectButtonSwitch::create(*button)->action(), "kInputControllerActionButton");
    EXPECT_EQ(ZqModelObjectButtonControl::create()->action(), "");
    EXPECT_TRUE(button->isKindOf(ZqModelObjectButton::staticTypeId()));
    EXPECT_TRUE(button->isKindOf(ZqModelObjectImage::staticTypeId()));
}

TEST(Buttons, FacebookButtonKeepsItsAddressUnderItsOwnName)
{
    const auto button = ZqModelObjectButtonFacebook::create();
    EXPECT_EQ(button->findAttribute("URL"), nullptr);
    ASSERT_NE(button->findAttribute("Facebook URL"), nullptr);
    button->m_url->setValue("https://example.org/page");
    button->m_facebookId->setValue("1234");
    EXPECT_EQ(button->url(), "https://example.org/page");

    const auto copy = ZqModelObjectButtonFacebook::create(*button);
    ASSERT_NE(copy->m_url, nullptr);
    EXPECT_EQ(copy->m_url, copy->findAttribute("Facebook URL"));
    EXPECT_EQ(copy->url(), "https://example.org/page");
    EXPECT_EQ(copy->facebookId(), "1234");
    EXPECT_TRUE(copy->isKindOf(ZqModelObjectButtonUrl::staticTypeId()));
    EXPECT_FALSE(ZqModelObjectButtonUrl::create()->isKindOf(ZqModelObjectButtonFacebook::staticTypeId()));
}

TEST_F(SceneModelTest, LockButtonsAreListedUnderTheirOwnClass)
{
    const auto first = controller().createModel<ZqModelObjectLockButton>();
    first->m_scene->setValue("3");
    const auto second = controller().createModel<ZqModelObjectLockButton>();
    second->m_destination->setValue("kNextSceneDestination");
    controller().createModel<ZqModelObjectButton>();

    const auto locks = controller().modelsOfClass<ZqModelObjectLockButton>();
    ASSERT_EQ(locks.size(), 2u);
    EXPECT_EQ(locks[0], first);
    EXPECT_EQ(locks[0]->destination(), kDestinationScene);
    EXPECT_EQ(locks[0]->scene(), "3");
    EXPECT_EQ(locks[0]->name(), "Lock Button");
    EXPECT_EQ(locks[1]->destination(), kDestinationNextScene);
}

} // namespace
