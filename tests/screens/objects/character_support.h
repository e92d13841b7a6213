#pragma once

// A field core for character tests: the runtime tests' world with a game field running as
// the current game scene, the gameplay parameters at the general settings' defaults with
// velocity scale 1, time scale 1 and game direction 0, the generator seeded and the clock
// fixed. Character assets are built in memory with a 40 x 40 box, a gameplay-settings
// component and, on request, a health component and one-frame animations.

#include "screens/field_test_support.h"

#include "app/ZqPSettingsController.h"
#include "common/ZqClock.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelComponents.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "screens/ZqPScreen.h"
#include "screens/ZqPScreenNavigator.h"

#include <optional>

// What a test character differs in; the rest is the acceptance set-up's character.
struct CharacterSettings {
    cocos2d::CCPoint maxSpeed{10.0f, 0.0f};
    cocos2d::CCPoint jumpForce{0.0f, 5.0f};
    cocos2d::CCPoint airDrag{0.8f, 1.0f};
    cocos2d::CCPoint bounceForce{0.0f, 0.0f};
    float jumpTimeout = 0.25f;
    float jumpCounter = 0.0f;
    float groundThreshold = 0.05f;
    float leftLeanForce = 0.0f;
    float rightLeanForce = 0.0f;
    float rotationDrag = 1.0f;
    bool forcedMovement = false;
    bool directMovement = false;
    bool imageDirection = false;
    bool withShape = true;
    // A health component when set ("Health"), with its death delay in seconds.
    std::optional<float> health;
    float deathDelay = 0.0f;
    // A one-second damage animation on the health component.
    bool damageAnimation = false;
    bool defeatedAnimation = false;
    // One-second move and shooting animations, a 0.2-second jump animation.
    bool stateAnimations = false;
    float fall = 0.0f;
    float cameraFlash = 0.0f;
    float cameraShake = 0.0f;
};

class CharacterFieldTest : public field_test::RuntimeTest {
protected:
    cocos2d::CCSize viewSize() const override { return field_test::kFieldViewSize; }

    void SetUp() override
    {
        // The store is made once for the process: before the fixture counts live objects.
        cocos2d::CCUserDefault::sharedUserDefault();
        RuntimeTest::SetUp();
        zqSrand(1);
        zqSetClockTicks(int64_t{16'000'000'000'000'000});
        ZqPSettingsController::shared()->setSelectedCharacter(0);
        m_field = makeField();
        frame(); // builds the world from fresh gameplay parameters
        GameplayParameters* parameters = GameplayParameters::shared();
        parameters->setVelocityScale(1.0f);
        parameters->setSimulationTimeScale(1.0f);
        parameters->setGameplayAngleDirection(0.0f);
        parameters->setGameSpeed(0.0f);
        parameters->setGravity(cocos2d::CCPoint(0.0f, -50.0f));
        world().SetGravity(b2Vec2(0.0f, -50.0f));
    }

    void TearDown() override
    {
        zqSetClockTicks(std::nullopt);
        ZqPSettingsController::purgeShared();
        RuntimeTest::TearDown();
    }

    b2World& world() const { return m_field->world()->box2d(); }
    ZqPScreenScene* field() const { return m_field; }

    // One director frame: the field steps the world once and updates every object.
    void step(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
            frame();
    }
    // Steps until the character stands on ground (at most 120 frames).
    void landOnGround(ZqPObjectAssetCharacter* character)
    {
        for (int i = 0; i < 120 && !(character->controlBits() & ZqPObjectAssetCharacter::kOnGround); ++i)
            frame();
        ASSERT_TRUE(character->controlBits() & ZqPObjectAssetCharacter::kOnGround) << "never landed";
    }

    // A box outline of w x h points centred on the object.
    static std::shared_ptr<ZqModelPolygon> box(float w, float h)
    {
        auto shape = zqCreateModel<ZqModelPolygon>("Box");
        shape->addDefaultShape(cocos2d::CCSize(w, h), cocos2d::CCPoint(), true);
        return shape;
    }

    // An animation of one image frame, duration in seconds.
    std::shared_ptr<ZqModelAnimation> animation(float duration, bool loop)
    {
        auto model = zqCreateModel<ZqModelAnimation>("Animation");
        model->addChild(imageOf(containerOf({{200, 40, 40, 255}})), true);
        model->setLoop(loop);
        model->setDuration(duration);
        return model;
    }

    std::shared_ptr<ZqModelAssetCharacter> characterAsset(const CharacterSettings& s = {})
    {
        auto asset = zqCreateModel<ZqModelAssetCharacter>("Hero");
        if (s.withShape)
            asset->m_collisionShape->setValue(box(40.0f, 40.0f), true);
        asset->m_defaultAnimation->setValue(animation(1.0f, true), true);
        if (s.defeatedAnimation)
            asset->m_defeatedAnimation->setValue(animation(1.0f, false), true);
        if (s.stateAnimations) {
            asset->m_moveAnimation->setValue(animation(1.0f, true), true);
            asset->m_shootingAnimation->setValue(animation(1.0f, true), true);
            asset->m_jumpAnimation->setValue(animation(0.2f, false), true);
        }
        asset->m_fallAttribute->setValue(s.fall, true);
        asset->m_cameraFlash->setValue(s.cameraFlash, true);
        asset->m_cameraShake->setValue(s.cameraShake, true);
        auto gameplay = zqCreateModel<ZqModelComponentCharacterGameplaySettings>("Gameplay");
        gameplay->m_maxSpeed->setValue(s.maxSpeed, true);
        gameplay->m_jumpForce->setValue(s.jumpForce, true);
        gameplay->m_airDrag->setValue(s.airDrag, true);
        gameplay->m_bounceForce->setValue(s.bounceForce, true);
        gameplay->m_jumpTimeout->setValue(s.jumpTimeout, true);
        gameplay->m_jumpCounter->setValue(s.jumpCounter, true);
        gameplay->m_groundThreshold->setValue(s.groundThreshold, true);
        gameplay->m_leftLeanForce->setValue(s.leftLeanForce, true);
        gameplay->m_rightLeanForce->setValue(s.rightLeanForce, true);
        gameplay->m_rotationDrag->setValue(s.rotationDrag, true);
        gameplay->m_forcedMovement->setValue(s.forcedMovement, true);
        gameplay->m_directMovement->setValue(s.directMovement, true);
        gameplay->m_imageDirection->setValue(s.imageDirection, true);
        asset->addChild(gameplay, true);
        if (s.health) {
            auto health = zqCreateModel<ZqModelComponentHealth>("Health");
            health->m_health->setValue(*s.health, true);
            health->m_deathDelay->setValue(s.deathDelay, true);
            if (s.damageAnimation)
                health->m_takingDamageAnimation->setValue(animation(1.0f, false), true);
            asset->addChild(health, true);
        }
        return asset;
    }

    static std::shared_ptr<ZqModelObjectAssetCharacter> placeCharacter(
        const std::shared_ptr<ZqModelAssetCharacter>& asset, const cocos2d::CCPoint& position)
    {
        auto placed = zqCreateModel<ZqModelObjectAssetCharacter>("Hero");
        placed->setAsset(asset);
        placed->setPosition(position);
        placed->setZDepth(10);
        return placed;
    }

    // A character made by the asset-object factory and placed on the field.
    ZqPObjectAssetCharacter* spawnCharacter(const std::shared_ptr<ZqModelAssetCharacter>& asset,
                                            const cocos2d::CCPoint& position)
    {
        auto* character = dynamic_cast<ZqPObjectAssetCharacter*>(
            ZqPObjectAsset::createAssetObject(placeCharacter(asset, position)));
        EXPECT_NE(character, nullptr);
        if (character)
            addToField(m_field, character);
        return character;
    }

    // A static object of class T with a box shape, its collision kind and destroy type.
    template <class T = ZqPObjectAsset>
    T* addObject(const cocos2d::CCPoint& centre, const cocos2d::CCSize& size, int collisionKind = 1,
                 int destroyType = 0)
    {
        auto* object = new T(boxModel(centre, size));
        object->autorelease();
        object->setCollisionKind(collisionKind);
        object->setDestroyType(destroyType);
        addToField(m_field, object);
        return object;
    }
    ZqPObjectAsset* addPlatform(const cocos2d::CCPoint& centre, const cocos2d::CCSize& size, int collisionKind = 1,
                                int destroyType = 0)
    {
        return addObject<ZqPObjectAsset>(centre, size, collisionKind, destroyType);
    }

    // The field flashes, and shakes its layer at its next frame (which this runs).
    void expectFlashAndShake()
    {
        EXPECT_NE(m_field->scenery().flashSprite(), nullptr);
        frame();
        EXPECT_FALSE(m_field->fieldLayer()->getPosition().equals(cocos2d::CCPoint()));
    }

    // The general settings' orientation (1 landscape) and design size.
    static void setOrientation(ZqModelGeneralSettings::Orientation orientation)
    {
        zqRebindAttribute<ZqModelGeneralSettings::ZqAttributeOrientation>(*ZqModelGeneralSettings::shared(),
                                                                          "Orientation")
            ->setValue(orientation);
    }
    static void setDesignSize(const cocos2d::CCSize& size)
    {
        zqRebindAttribute<ZqAttributeSize>(*ZqModelGeneralSettings::shared(), "Design Size")->setValue(size);
    }

    // A menu screen enters the stage over the field.
    void enterScreen()
    {
        struct MenuScreen : ZqPScreen {
            MenuScreen() : ZqPScreen(zqCreateModel<ZqModelScreen>("Menu")) {}
        };
        auto* menu = new MenuScreen();
        menu->init();
        menu->autorelease();
        scene->addChild(menu, 1);
        frame();
    }

private:
    ZqPScreenScene* m_field = nullptr;
};
