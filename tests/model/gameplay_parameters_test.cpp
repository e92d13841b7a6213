// The live gameplay values: defaults from the general settings, the scene's and the
// character's values, nested save and restore around power-ups, the gameplay direction
// and the screen content offset.
#include "model/GameplayParameters.h"

#include "attributes/ZqAttributeFundamental.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelComponentsBehaviour.h"

#include <gtest/gtest.h>

namespace {

using namespace cocos2d;

class GameplayParametersTest : public ::testing::Test {
protected:
    void SetUp() override { ZqModelController::shared()->reset(); }
    void TearDown() override { ZqModelController::shared()->reset(); }

    GameplayParameters parameters{ZqModelGeneralSettings::shared()};
};

TEST_F(GameplayParametersTest, StartsFromTheGeneralSettings)
{
    EXPECT_EQ(parameters.gravity().y, -50.0f);
    EXPECT_EQ(parameters.upForce().y, 5.0f);
    EXPECT_EQ(parameters.characterFriction().x, 0.8f);
    EXPECT_EQ(parameters.upForceDuration(), 0.25f);
    EXPECT_EQ(parameters.groundThreshold(), 0.01f);
    EXPECT_EQ(parameters.velocityScale(), 0.0f); // 1 minus the settings' drag base 1
    EXPECT_EQ(parameters.platformFriction(), 1.0f);
    EXPECT_EQ(parameters.gameSpeed(), 3.0f);
    EXPECT_EQ(parameters.gameSpeedMax(), 10.0f);
    EXPECT_EQ(parameters.backDeletionThreshold(), 300.0f);
    EXPECT_EQ(parameters.sidesDeletionThreshold(), 550.0f);
    EXPECT_TRUE(parameters.forcedMovement());
    EXPECT_FALSE(parameters.directMovement());
    EXPECT_EQ(parameters.saveCounter(), 0);
    EXPECT_EQ(GameplayParameters::shared(), GameplayParameters::shared());
}

TEST_F(GameplayParametersTest, OverlappingSavesRestoreTheOutermostValues)
{
    parameters.setMoveSpeed(4, 2);
    parameters.setGameSpeedMin(6.5f);
    parameters.setUpForceFromGround(true);
    parameters.setGameSpeed(7);
    parameters.setGroundThreshold(0.2f);

    parameters.saveToDictionary();
    parameters.setMoveSpeed(10, 10);
    parameters.setGameSpeedMin(1);
    parameters.saveToDictionary(); // a second power-up: only counts
    parameters.setMoveSpeed(20, 20);
    parameters.setUpForceFromGround(false);
    EXPECT_EQ(parameters.saveCounter(), 2);

    parameters.restoreCountdown(); // the first power-up ends: nothing restored yet
    EXPECT_EQ(parameters.moveSpeed().x, 20.0f);
    parameters.setGameSpeed(9);
    parameters.setGroundThreshold(0.5f);
    parameters.restoreCountdown();
    EXPECT_EQ(parameters.saveCounter(), 0);
    EXPECT_EQ(parameters.moveSpeed().x, 4.0f);
    EXPECT_EQ(parameters.moveSpeed().y, 2.0f);
    EXPECT_EQ(parameters.gameSpeedMin(), 6.5f);
    EXPECT_TRUE(parameters.upForceFromGround());
    // Never saved: the current speed and the ground threshold keep their latest values.
    EXPECT_EQ(parameters.gameSpeed(), 9.0f);
    EXPECT_EQ(parameters.groundThreshold(), 0.5f);

    parameters.restoreCountdown(); // nothing saved: nothing happens
    EXPECT_EQ(parameters.saveCounter(), 0);
    EXPECT_EQ(parameters.moveSpeed().x, 4.0f);
}

TEST_F(GameplayParametersTest, ResetCounterMakesTheNextSaveStoreAfresh)
{
    parameters.setFriction(0.3f);
    parameters.saveToDictionary();
    parameters.saveToDictionary();
    parameters.resetSaveCounter();
    parameters.setFriction(0.6f);
    parameters.saveToDictionary();
    parameters.setFriction(0.9f);
    parameters.restoreCountdown();
    EXPECT_FLOAT_EQ(parameters.friction(), 0.6f);
}

TEST_F(GameplayParametersTest, DirectionPointsAlongTheAngle)
{
    EXPECT_FLOAT_EQ(parameters.gameplayDirection().x, 1.0f);
    EXPECT_NEAR(parameters.gameplayDirection().y, 0.0f, 1e-6);
    parameters.setGameplayAngleDirection(90);
    EXPECT_NEAR(parameters.gameplayDirection().x, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(parameters.gameplayDirection().y, -1.0f);
}

// The accessors of a game scene, as the game field hands them over.
struct SceneValues {
    CCPoint gravity() const { return CCPoint(0, -30); }
    float timeWarp() const { return 0.5f; }
    float gameSpeedMin() const { return 4; }
    float gameSpeedMax() const { return 12; }
    float speedIncrease() const { return 0.2f; }
    float friction() const { return 0.1f; }
    float velocityDrag() const { return 0.05f; }
    float bounce() const { return 0.3f; }
    float scoreMultiplier() const { return 2; }
    float gameDirection() const { return 45; }
    float sidesDeletionThreshold() const { return 700; }
    float backDeletionThreshold() const { return 400; }
};

TEST_F(GameplayParametersTest, SceneValuesLeaveTheCurrentSpeed)
{
    parameters.loadFromScene(SceneValues());
    EXPECT_EQ(parameters.gravity().y, -30.0f);
    EXPECT_EQ(parameters.simulationTimeScale(), 0.5f);
    EXPECT_EQ(parameters.gameSpeedMin(), 4.0f);
    EXPECT_EQ(parameters.gameSpeedMax(), 12.0f);
    EXPECT_EQ(parameters.gameSpeedIncrease(), 0.2f);
    EXPECT_EQ(parameters.friction(), 0.1f);
    EXPECT_EQ(parameters.velocityScale(), 0.05f);
    EXPECT_EQ(parameters.restitution(), 0.3f);
    EXPECT_EQ(parameters.scoreMultiplier(), 2.0f);
    EXPECT_EQ(parameters.gameplayAngleDirection(), 45.0f);
    EXPECT_EQ(parameters.sidesDeletionThreshold(), 700.0f);
    EXPECT_EQ(parameters.backDeletionThreshold(), 400.0f);
    EXPECT_EQ(parameters.gameSpeed(), 3.0f);
}

// A character's gameplay settings copied from data of another shape: "Left Lean Force"
// missing and "Fixed Rotation" of another class, so the copy leaves both unbound.
std::shared_ptr<ZqModelComponentCharacterGameplaySettings> reshapedSettings()
{
    auto source = ZqModelComponentCharacterGameplaySettings::create();
    source->m_maxSpeed->setValue(CCPoint(6, 0), true);
    source->m_airDrag->setValue(CCPoint(0.5f, 0.7f), true);
    source->m_jumpTimeout->setValue(0.6f, true);
    source->m_groundThreshold->setValue(0.03f, true);
    source->m_forcedMovement->setValue(false, true);
    source->m_imageDirection->setValue(true, true);
    delete source->m_leftLeanForce;
    delete source->m_fixedRotation;
    (new ZqAttributeFloat("Fixed Rotation", source.get()))->setValue(1.0f, true);
    return std::make_shared<ZqModelComponentCharacterGameplaySettings>(*source);
}

TEST_F(GameplayParametersTest, CharacterValuesComeFromTheSettingsModel)
{
    parameters.loadFromCharacter(nullptr);
    EXPECT_EQ(parameters.moveSpeed().x, 0.0f);

    parameters.setLeftLeanForce(0.4f);
    parameters.loadFromCharacter(reshapedSettings());
    EXPECT_EQ(parameters.moveSpeed().x, 6.0f);
    EXPECT_EQ(parameters.characterFriction().y, 0.7f);
    EXPECT_EQ(parameters.upForceDuration(), 0.6f);
    EXPECT_EQ(parameters.groundThreshold(), 0.03f);
    EXPECT_FALSE(parameters.forcedMovement());
    EXPECT_TRUE(parameters.imageDirection());
    EXPECT_FALSE(parameters.fixedRotation());
    EXPECT_EQ(parameters.leftLeanForce(), 0.4f); // absent: kept
}

// Each attribute feeds its own value; after a power-up the saved ones come back and the
// never-saved ones keep what was loaded meanwhile.
TEST_F(GameplayParametersTest, CharacterValuesComeBackAfterAPowerUp)
{
    auto settings = ZqModelComponentCharacterGameplaySettings::create();
    settings->m_bounceForce->setValue(CCPoint(1, 2));
    settings->m_jumpForce->setValue(CCPoint(3, 4));
    settings->m_jumpCounter->setValue(2.0f);
    settings->m_jumpTimeout->setValue(0.5f);
    settings->m_leftLeanForce->setValue(0.25f);
    settings->m_rightLeanForce->setValue(0.75f);
    settings->m_platformFriction->setValue(0.125f);
    settings->m_jumpFromGround->setValue(true);
    settings->m_fixedRotation->setValue(true);
    settings->m_directMovement->setValue(true);
    parameters.loadFromCharacter(settings);
    parameters.saveToDictionary();
    parameters.loadFromCharacter(ZqModelComponentCharacterGameplaySettings::create());
    parameters.restoreCountdown();

    EXPECT_EQ(parameters.bounceForce(), CCPoint(1, 2));
    EXPECT_EQ(parameters.upForce(), CCPoint(3, 4));
    EXPECT_EQ(parameters.upForceCounter(), 2.0f);
    EXPECT_EQ(parameters.upForceDuration(), 0.5f);
    EXPECT_EQ(parameters.leftLeanForce(), 0.25f);
    EXPECT_EQ(parameters.rightLeanForce(), 0.75f);
    EXPECT_EQ(parameters.platformFriction(), 0.125f);
    EXPECT_TRUE(parameters.upForceFromGround());
    EXPECT_TRUE(parameters.fixedRotation());
    EXPECT_FALSE(parameters.directMovement());
}

class FrameOnlyView : public CCEGLViewProtocol {
public:
    void end() override {}
    bool isOpenGLReady() override { return true; }
    void swapBuffers() override {}
};

TEST_F(GameplayParametersTest, ContentOffsetOfTheView)
{
    CCDirector* director = CCDirector::sharedDirector();
    EXPECT_EQ(GameplayParameters::screenContentOffset().x, 0.0f);

    FrameOnlyView view;
    director->setOpenGLView(&view);
    // A wider window crops the design area at the top and bottom.
    view.setFrameSize(2272, 1000);
    view.setDesignResolutionSize(1136, 640, kResolutionNoBorder);
    EXPECT_FLOAT_EQ(GameplayParameters::screenContentOffset().x, 0.0f);
    EXPECT_FLOAT_EQ(GameplayParameters::screenContentOffset().y, (1000.0f / 2.0f - 640.0f) * 0.5f);
    // A narrower one crops the sides.
    view.setFrameSize(1000, 640);
    EXPECT_FLOAT_EQ(GameplayParameters::screenContentOffset().x, (1000.0f - 1136.0f) * 0.5f);
    EXPECT_FLOAT_EQ(GameplayParameters::screenContentOffset().y, 0.0f);
    // Other policies answer the director's content offset, which is zero.
    view.setFrameSize(1136, 1000);
    view.setDesignResolutionSize(1136, 640, kResolutionShowAll);
    EXPECT_FLOAT_EQ(GameplayParameters::screenContentOffset().x, 0.0f);
    EXPECT_FLOAT_EQ(GameplayParameters::screenContentOffset().y, 0.0f);
    director->setOpenGLView(nullptr);
}

} // namespace
