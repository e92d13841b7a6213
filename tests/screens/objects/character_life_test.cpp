// The character's life: health with its death delay and invulnerable time, death with and
// without a defeated animation, power-ups that refuse death, and the factory's rules.
#include "screens/objects/character_support.h"

#include "app/ZqPSettingsController.h"
#include "common/ZqClock.h"
#include "common/ZqLog.h"
#include "components/ZqComponentHealth.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelComponents.h"

#include <string>
#include <vector>

using namespace cocos2d;

namespace {

using CharacterLifeTest = CharacterFieldTest;

constexpr int64_t kTicksPerSecond = 10'000'000;

ZqComponentHealth* healthOf(ZqPObject* object)
{
    return dynamic_cast<ZqComponentHealth*>(object->healthComponent());
}

TEST_F(CharacterLifeTest, FatalHitKillsAfterTheDeathDelayAndASecondHitChangesNothing)
{
    addPlatform(CCPoint(0.0f, 0.0f), CCSize(600.0f, 40.0f));
    CharacterSettings settings;
    settings.health = 1.0f;
    settings.deathDelay = 0.5f;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(0.0f, 41.0f));
    ZqPObjectAsset* enemy = addPlatform(CCPoint(1000.0f, 0.0f), CCSize(40.0f, 40.0f), 1, 1);
    landOnGround(hero);
    hero->retain();

    ZqPObjectAsset::applyContactDamage(enemy, hero);
    ASSERT_NE(healthOf(hero), nullptr);
    EXPECT_EQ(healthOf(hero)->health(), 0);
    int alive = 0;
    while (hero->state() < 4 && alive < 40) {
        step();
        if (alive == 10)
            ZqPObjectAsset::applyContactDamage(enemy, hero); // ignored: already dying
        if (hero->state() < 4)
            ++alive;
    }
    EXPECT_NEAR(alive, 30, 1);
    // No defeated animation: dead and removed in the same frame.
    EXPECT_EQ(hero->state(), 5);
    EXPECT_EQ(hero->getParent(), nullptr) << "the field took it out";
    hero->release();
}

TEST_F(CharacterLifeTest, InvulnerableTimeRunsOnTheInjectedClock)
{
    CharacterSettings settings;
    settings.health = 3.0f;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(0.0f, 300.0f));
    ZqComponentHealth* health = healthOf(hero);
    ASSERT_NE(health, nullptr);
    const int64_t start = zqClockTicks();

    EXPECT_TRUE(health->takeDamage(1, 0.5f));
    EXPECT_EQ(health->health(), 2);
    EXPECT_FALSE(health->takeDamage(1, 0.5f));
    zqSetClockTicks(start + kTicksPerSecond * 49 / 100);
    EXPECT_FALSE(health->takeDamage(1, 0.5f));
    zqSetClockTicks(start + kTicksPerSecond / 2);
    // Amount 0 counts as a hit: it renews the window and keeps the points.
    EXPECT_TRUE(health->takeDamage(0, 1.0f));
    EXPECT_EQ(health->health(), 2);
    zqSetClockTicks(start + kTicksPerSecond);
    EXPECT_FALSE(health->takeDamage(1, 0.0f));
    zqSetClockTicks(start + kTicksPerSecond * 3 / 2);
    EXPECT_TRUE(health->takeDamage(5, 0.0f));
    EXPECT_EQ(health->health(), 0);
    EXPECT_TRUE(health->isDying());
    EXPECT_FALSE(health->takeDamage(1, 0.0f));
}

TEST_F(CharacterLifeTest, HealthBelowOneStartsWithOnePointAndDelayZeroDestroysNextUpdate)
{
    CharacterSettings settings;
    settings.health = 0.0f;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(0.0f, 300.0f));
    ASSERT_NE(healthOf(hero), nullptr);
    EXPECT_EQ(healthOf(hero)->health(), 1);
    EXPECT_TRUE(healthOf(hero)->takeDamage(1, 0.0f));
    hero->retain();
    step();
    EXPECT_EQ(hero->state(), 5);
    hero->release();
}

TEST_F(CharacterLifeTest, DamageFeedbackShowsOnNonFatalHitsOnly)
{
    CharacterSettings settings;
    settings.health = 2.0f;
    settings.damageAnimation = true;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(0.0f, 300.0f));
    ZqComponentHealth* health = healthOf(hero);
    ASSERT_NE(health, nullptr);
    ASSERT_NE(health->damageAnimation(), nullptr);
    EXPECT_FALSE(health->damageAnimation()->isVisible());

    EXPECT_TRUE(health->takeDamage(0, 0.0f));
    step();
    EXPECT_EQ(hero->currentStateAnimation(), health->damageAnimation());
    EXPECT_TRUE(health->damageAnimation()->isVisible());
    // The character's own animations give way to the state animation.
    EXPECT_FALSE(hero->defaultAnimation()->isVisible());
    step(65); // the one-second damage animation ends and takes itself away
    EXPECT_EQ(hero->currentStateAnimation(), nullptr);
    EXPECT_FALSE(health->damageAnimation()->isVisible());
    EXPECT_TRUE(hero->defaultAnimation()->isVisible());

    hero->retain();
    EXPECT_TRUE(health->takeDamage(2, 0.0f));
    step();
    EXPECT_EQ(hero->currentStateAnimation(), nullptr) << "a fatal hit plays no feedback";
    EXPECT_EQ(hero->state(), 5) << "death delay 0: destroyed at the next update";
    hero->release();
}

TEST_F(CharacterLifeTest, DeathWithoutDefeatedAnimationEndsInOneCall)
{
    CharacterSettings settings;
    settings.fall = 2.0f;
    settings.cameraFlash = 0.5f;
    settings.cameraShake = 0.3f;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(0.0f, 300.0f));
    hero->retain();
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.push_back(line); });
    hero->setState(4);
    zqSetLogSink(nullptr);

    EXPECT_EQ(hero->state(), 5);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "deathAnimationDidEnd --- "), lines.end());
    EXPECT_TRUE(ZqPObjectAssetCharacter::registeredCharacters().empty());
    EXPECT_FALSE(ZqPInputController::shared()->hasActiveCharacters());
    ASSERT_NE(hero->getParent(), nullptr);
    expectFlashAndShake(); // one frame: the field takes the character out
    EXPECT_EQ(hero->getParent(), nullptr);
    // The fall: a sensor sent up by "Fall Attribute" x 20.
    EXPECT_TRUE(hero->getBody()->GetFixtureList()->IsSensor());
    EXPECT_FLOAT_EQ(hero->getBody()->GetLinearVelocity().y, 40.0f);
    hero->release();
}

TEST_F(CharacterLifeTest, DeathWithDefeatedAnimationStaysDeadAndShowsIt)
{
    CharacterSettings settings;
    settings.defeatedAnimation = true;
    settings.cameraFlash = 0.5f;
    settings.cameraShake = 0.3f;
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(settings), CCPoint(0.0f, 300.0f));
    EXPECT_TRUE(ZqPInputController::shared()->hasActiveCharacters());
    hero->setState(4);
    EXPECT_EQ(hero->state(), 4);
    ASSERT_NE(hero->defeatedAnimation(), nullptr);
    EXPECT_TRUE(hero->defeatedAnimation()->isVisible());
    EXPECT_FALSE(hero->defaultAnimation()->isVisible());
    expectFlashAndShake();
    EXPECT_FALSE(ZqPInputController::shared()->hasActiveCharacters());
    for (int state : {0, 1, 2, 3, 4}) {
        hero->setState(state);
        EXPECT_EQ(hero->state(), 4);
    }
    step(3);
    EXPECT_EQ(hero->state(), 4);
    EXPECT_TRUE(hero->defeatedAnimation()->isVisible());
}

TEST_F(CharacterLifeTest, ActivePowerupRefusesDeath)
{
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(0.0f, 300.0f));
    // The set only holds the pointer; power-up objects come later.
    auto* powerup = reinterpret_cast<ZqPObjectAssetPowerup*>(hero);
    hero->addActivePowerup(powerup);
    EXPECT_EQ(hero->powerupStrength(), 100.0f);
    hero->setState(4);
    EXPECT_EQ(hero->state(), 0);
    hero->removeActivePowerup(powerup);
    hero->setState(4);
    EXPECT_EQ(hero->state(), 5);
}

class CharacterFactoryTest : public CharacterFieldTest {
protected:
    void TearDown() override
    {
        ZqPSettingsController::shared()->setSelectedCharacter(0);
        CharacterFieldTest::TearDown();
    }

    std::shared_ptr<ZqModelAssetCharacter> registered(const CharacterSettings& settings = {})
    {
        std::shared_ptr<ZqModelAssetCharacter> asset = characterAsset(settings);
        ZqModelController::shared()->addModel(asset);
        return asset;
    }
};

TEST_F(CharacterFactoryTest, EachPlacedModelGetsItsOwnCopyOfTheSelectedCharacter)
{
    std::shared_ptr<ZqModelAssetCharacter> first = registered();
    std::shared_ptr<ZqModelAssetCharacter> second = registered();
    ZqPSettingsController::shared()->setSelectedCharacter(1);
    std::shared_ptr<ZqModelObjectAssetCharacter> placedA = placeCharacter(first, CCPoint(0.0f, 300.0f));
    std::shared_ptr<ZqModelObjectAssetCharacter> placedB = placeCharacter(second, CCPoint(100.0f, 300.0f));
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.push_back(line); });
    auto* a = dynamic_cast<ZqPObjectAssetCharacter*>(ZqPObjectAsset::createAssetObject(placedA));
    auto* b = dynamic_cast<ZqPObjectAssetCharacter*>(ZqPObjectAsset::createAssetObject(placedB));
    zqSetLogSink(nullptr);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "character created"), 2);
    EXPECT_EQ(ZqPObjectAssetCharacter::registeredCharacters().size(), 2u);
    for (ZqPObjectAssetCharacter* character : {a, b}) {
        EXPECT_EQ(character->characterAsset(), second);
        EXPECT_NE(character->model(), placedA);
        EXPECT_NE(character->model(), placedB);
    }
    EXPECT_NE(a->model(), b->model());
    EXPECT_EQ(placedA->asset(), first) << "the placed model keeps its own asset";
    ZqPInputController::shared()->removeAllCharacters();
}

TEST_F(CharacterFactoryTest, InvalidSelectedShapeGivesNothingAndAnIndexPastTheListUsesTheModel)
{
    std::shared_ptr<ZqModelAssetCharacter> valid = registered();
    CharacterSettings shapeless;
    shapeless.withShape = false;
    std::shared_ptr<ZqModelAssetCharacter> invalid = registered(shapeless);
    std::shared_ptr<ZqModelObjectAssetCharacter> placed = placeCharacter(valid, CCPoint(0.0f, 300.0f));

    ZqPSettingsController::shared()->setSelectedCharacter(1);
    EXPECT_EQ(ZqPObjectAsset::createAssetObject(placed), nullptr) << "no fallback to the model's own asset";

    ZqPSettingsController::shared()->setSelectedCharacter(2);
    auto* own = dynamic_cast<ZqPObjectAssetCharacter*>(ZqPObjectAsset::createAssetObject(placed));
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->model(), placed) << "no copy past the list";

    // Exact class only: a plain object asset of a character asset is no character.
    auto plain = zqCreateModel<ZqModelObjectAsset>("Plain");
    plain->setAsset(valid);
    EXPECT_EQ(dynamic_cast<ZqPObjectAssetCharacter*>(ZqPObjectAsset::createAssetObject(plain)), nullptr);
    ZqPInputController::shared()->removeAllCharacters();
}

} // namespace
