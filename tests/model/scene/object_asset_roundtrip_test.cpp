// A small game of placed objects, assets, components and media, written to model-file
// bytes and read back through the controller's loader and the registry, comes back with
// the same classes, values, references and children.
#include "object_asset_support.h"

#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelShapes.h"

namespace {

using namespace object_asset_test;

using namespace cocos2d;

class RoundTripTest : public SceneModelTest {
protected:
    void SetUp() override
    {
        SceneModelTest::SetUp();
        ZqModelController& models = controller();
        sound = models.createModel<ZqModelSound>();
        animation = models.createModel<ZqModelAnimation>();
        container = models.createModel<ZqModelSpriteContainer>();
        shape = models.createModel<ZqModelCircle>();
        shape->addPoint(CCPoint(0, 0));
        shape->addPoint(CCPoint(12, 0));

        character = models.createModel<ZqModelAssetCharacter>();
        character->setName("Runner");
        character->m_defaultAnimation->setValue(animation);
        character->m_jumpSound->setValue(sound);
        character->m_collisionShape->setValue(shape);
        character->m_castShadow->setValue(false);
        character->m_price->setValue(2.5f);
        character->m_purchaseMethod->setValue("kPurchaseCoins");
        character->m_webLink->setValue("https://example.org/runner");
        health = models.createModel<ZqModelComponentHealth>();
        health->m_takingDamageSound->setValue(sound);
        health->m_lives->setValue(3.0f);
        health->m_deathDelay->setValue(0.75f);
        character->addChild(health);

        powerup = models.createModel<ZqModelAssetPowerup>();
        powerup->m_powerupType->setValue("kPowerupGameplay");
        powerup->m_idleSound->setValue(sound);
        powerup->m_rewardCoins->setValue(7.9f);
        powerup->m_maxSpeed->setValue(CCPoint(30, 15));
        powerup->m_groundThreshold->setValue(0.5f);
        powerup->m_fixedRotation->setValue(true);

        placedCharacter = models.createModel<ZqModelObjectAssetCharacter>();
        placedCharacter->setAsset(character);
        placedCharacter->setPosition(CCPoint(120, -40));
        placedCharacter->setZDepth(4);
        placedPowerup = models.createModel<ZqModelObjectAssetPowerup>();
        placedPowerup->setAsset(powerup);
        placedPowerup->m_rotation->setValue(45.0f);
        placedPowerup->m_hidden->setValue(true);

        image = models.createModel<ZqModelObjectImage>();
        image->m_image->setValue(container);
        image->setStickToEdge(false);
        image->m_autohide->setValue(2.0f);
        image->m_opacity->setValue(0.25f);

        object = models.createModel<ZqModelObject>();
        score = models.createModel<ZqModelComponentScore>();
        score->m_resetPoints->setValue(true);
        object->addChild(score);
        object->addChild(image);

        game = {sound, animation, container, shape, character, health, powerup, placedCharacter,
                placedPowerup, image, object, score};
    }

    std::shared_ptr<ZqModelSound> sound;
    std::shared_ptr<ZqModelAnimation> animation;
    std::shared_ptr<ZqModelSpriteContainer> container;
    std::shared_ptr<ZqModelCircle> shape;
    std::shared_ptr<ZqModelAssetCharacter> character;
    std::shared_ptr<ZqModelComponentHealth> health;
    std::shared_ptr<ZqModelAssetPowerup> powerup;
    std::shared_ptr<ZqModelObjectAssetCharacter> placedCharacter;
    std::shared_ptr<ZqModelObjectAssetPowerup> placedPowerup;
    std::shared_ptr<ZqModelObjectImage> image;
    std::shared_ptr<ZqModelObject> object;
    std::shared_ptr<ZqModelComponentScore> score;
    ModelList game;
};

TEST_F(RoundTripTest, GameComesBackThroughModelFileBytes)
{
    const SavedModels saved = saveModels(game, attributeLines);
    game.clear();
    sound.reset(), animation.reset(), container.reset(), shape.reset(), character.reset(), health.reset();
    powerup.reset(), placedCharacter.reset(), placedPowerup.reset(), image.reset(), object.reset(), score.reset();
    ASSERT_NO_FATAL_FAILURE(expectModelsReload(saved, attributeLines));

    // The loaded models answer through their typed accessors and lists.
    const auto placed = controller().modelsOfClass<ZqModelObjectAssetPowerup>();
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0]->rewardCoins(), 7);
    EXPECT_EQ(placed[0]->powerupType(), kPowerupGameplay);
    EXPECT_TRUE(placed[0]->idleSound());
    const auto runner = controller().modelsOfClass<ZqModelObjectAssetCharacter>();
    ASSERT_EQ(runner.size(), 1u);
    EXPECT_FALSE(runner[0]->isCastShadow());
    EXPECT_TRUE(runner[0]->defaultAnimation());
    EXPECT_EQ(runner[0]->collisionShape()->typeId(), ZqModelCircle::staticTypeId());
    const auto characters = controller().modelsOfClass<ZqModelAssetCharacter>();
    ASSERT_EQ(characters.size(), 1u);
    ASSERT_EQ(characters[0]->components().size(), 1u);
    const auto loadedHealth = modelCast<ZqModelComponentHealth>(std::shared_ptr<ZqModel>(characters[0]->components()[0]));
    ASSERT_TRUE(loadedHealth);
    EXPECT_EQ(loadedHealth->lives(), 3);
    const auto objects = controller().modelsOfClass<ZqModelObject>();
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(objects[0]->components().size(), 1u); // the score, not the image
    EXPECT_EQ(objects[0]->children().size(), 2u);
}

} // namespace
