// The accelerometer object: tilt leans the characters, move steers them by direction or to
// an absolute place, and it stays the accelerometer's delegate while screens come and go.
#include "screens/objects/character_support.h"

#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "objects/ZqPObjectManipulator.h"

using namespace cocos2d;

namespace {

class AccelerometerTest : public CharacterFieldTest {
protected:
    void SetUp() override
    {
        CharacterFieldTest::SetUp();
        setOrientation(ZqModelGeneralSettings::Orientation::kLandscape);
        setDesignSize(CCSize(1136.0f, 640.0f));
    }

    void TearDown() override
    {
        ZqPObjectAccelerometer::purge();
        CharacterFieldTest::TearDown();
    }

    ZqPObjectAccelerometer* accelerometer(const char* type, const char* style, const char* axes = "",
                                          float sensitivity = 1.0f)
    {
        auto model = zqCreateModel<ZqModelObjectAccelerometer>("Tilt");
        model->m_controlType->setValue(type);
        model->m_controlStyle->setValue(style);
        model->m_activeAxes->setValue(axes);
        model->m_sensitivity->setValue(sensitivity);
        ZqPObjectAccelerometer* object = ZqPObjectAccelerometer::shared();
        object->setModel(model);
        return object;
    }

    // A reading through the engine's accelerometer, as a device would send it.
    void reading(double x, double y) { director->getAccelerometer()->update(x, y, 0.0, 0.0); }
};

TEST_F(AccelerometerTest, TiltLeansEveryCharacterByTheRoll)
{
    ZqPObjectAssetCharacter* a = spawnCharacter(characterAsset(), CCPoint(0.0f, 300.0f));
    ZqPObjectAssetCharacter* b = spawnCharacter(characterAsset(), CCPoint(200.0f, 300.0f));
    accelerometer("kControlTypeTilt", "");
    const int left = ZqPObjectAssetCharacter::kRotateLeft;
    const int right = ZqPObjectAssetCharacter::kRotateRight;

    reading(0.3, 0.0);
    for (ZqPObjectAssetCharacter* character : {a, b}) {
        EXPECT_FLOAT_EQ(character->rotationFactor(), 0.6f);
        EXPECT_EQ(character->controlBits() & (left | right), right);
    }
    reading(-0.7, 0.0);
    EXPECT_FLOAT_EQ(a->rotationFactor(), 1.0f);
    EXPECT_EQ(a->controlBits() & (left | right), left);
    reading(0.0, 0.0);
    EXPECT_FLOAT_EQ(a->rotationFactor(), 0.0f);
    EXPECT_EQ(a->controlBits() & (left | right), left);

    // A portrait game ignores the roll.
    setOrientation(ZqModelGeneralSettings::Orientation::kPortrait);
    reading(0.9, 0.0);
    EXPECT_EQ(a->controlBits() & (left | right), left);
    EXPECT_FLOAT_EQ(a->rotationFactor(), 0.0f);
}

TEST_F(AccelerometerTest, MoveKeepsTheActiveAxisAndAbsoluteControlCentresOnTheDesign)
{
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(0.0f, 300.0f));
    accelerometer("kControlTypeMove", "kControlStyleRelative", "kActiveAxeX", 2.0f);
    reading(0.25, 0.5);
    EXPECT_FLOAT_EQ(hero->analogAxes().x, 0.5f);
    EXPECT_FLOAT_EQ(hero->analogAxes().y, 0.0f);

    accelerometer("kControlTypeMove", "kControlStyleRelative", "kActiveAxeY", 2.0f);
    reading(0.25, 0.5);
    EXPECT_FLOAT_EQ(hero->analogAxes().x, 0.0f);
    EXPECT_FLOAT_EQ(hero->analogAxes().y, 1.0f);

    accelerometer("kControlTypeMove", "kControlStyleAbsolute", "", 2.0f);
    reading(0.0, 0.0);
    EXPECT_FLOAT_EQ(hero->directPosition().x, 568.0f);
    EXPECT_FLOAT_EQ(hero->directPosition().y, 320.0f);
    reading(0.5, -0.5); // +-1/s reach the design area's edges
    EXPECT_FLOAT_EQ(hero->directPosition().x, 1136.0f);
    EXPECT_FLOAT_EQ(hero->directPosition().y, 0.0f);
}

TEST_F(AccelerometerTest, WithoutAnAccelerometerModelReadingsChangeNothing)
{
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(0.0f, 300.0f));
    ZqPObjectAccelerometer* object = ZqPObjectAccelerometer::shared();
    reading(0.8, 0.0);
    auto manipulator = zqCreateModel<ZqModelObjectManipulator>("Joystick");
    manipulator->m_sensitivity->setValue(3.0f);
    object->setModel(manipulator);
    EXPECT_EQ(object->sensitivity(), 0.0f);
    reading(0.8, 0.0);
    EXPECT_EQ(hero->controlBits(), hero->controlBits() & ~(ZqPObjectAssetCharacter::kRotateLeft |
                                                           ZqPObjectAssetCharacter::kRotateRight));
    EXPECT_FLOAT_EQ(hero->rotationFactor(), 1.0f);
}

TEST_F(AccelerometerTest, ReadingsStillArriveAfterAScreenEnteredTheStage)
{
    ZqPObjectAssetCharacter* hero = spawnCharacter(characterAsset(), CCPoint(0.0f, 300.0f));
    ZqPObjectAccelerometer* object = accelerometer("kControlTypeTilt", "");
    enterScreen();
    EXPECT_EQ(director->getAccelerometer()->getDelegate(), object);
    reading(0.3, 0.0);
    EXPECT_FLOAT_EQ(hero->rotationFactor(), 0.6f);
}

} // namespace
