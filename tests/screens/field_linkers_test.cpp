// Linkers on a running field: motor joints made as the creation queue makes their objects,
// turned by the motor actions or by themselves, and let go with their bodies, at restarts
// and when the field goes. Generated games through the game builder.
#include "field_unit_game.h"

#include "app/ZqPInputController.h"
#include "model/scene/ZqModelFont.h"

#include <box2d/box2d.h>

#include <gtest/gtest.h>

using namespace cocos2d;
using namespace field_test;

namespace {

constexpr unsigned kOther = 90020, kAnchor = 90021, kWheel = 90022, kLinker = 90023, kFiller = 90100;
constexpr float kSpeed = 2.0f;

class FieldLinkersTest : public UnitGameTest {
protected:
    void TearDown() override
    {
        if (field) {
            scene->removeChild(field);
            field = nullptr;
            EXPECT_EQ(ZqPInputController::shared()->motorJointCount(), 0u) << "a field that went keeps no joint";
        }
        UnitGameTest::TearDown();
    }

    // The anchor and the wheel of the start section, linked.
    std::shared_ptr<ZqModelLinker> wheelOnAnchor(bool buttonActivated)
    {
        place(*start, kAnchor, CCPoint(300, 300));
        place(*start, kWheel, CCPoint(340, 300), true);
        return game.linker(kLinker, "Axle", *start, kAnchor, kWheel, kSpeed, buttonActivated);
    }
};

TEST_F(FieldLinkersTest, AButtonMotorTurnsUnderTheMotorActionsAndStopsOnRelease)
{
    auto linker = wheelOnAnchor(true);
    linker->m_torque->setValue(500.0f, true);
    play();
    ASSERT_EQ(field->linkers().joints().size(), 1u);
    b2RevoluteJoint* joint = field->linkers().joints().front();
    EXPECT_EQ(joint->GetBodyA(), bodyOf(kAnchor));
    EXPECT_EQ(joint->GetBodyB(), bodyOf(kWheel));
    EXPECT_FALSE(joint->GetCollideConnected());
    EXPECT_FLOAT_EQ(joint->GetMaxMotorTorque(), 500.0f);
    const b2Vec2 anchor = joint->GetAnchorA();
    EXPECT_NEAR(anchor.x, 340.0f * zqphysics::kMetresPerPoint, 1e-4f) << "joined at B's body position";
    EXPECT_EQ(ZqPInputController::shared()->motorJointCount(), 1u);

    b2Body* wheel = bodyOf(kWheel);
    frames(10);
    EXPECT_NEAR(wheel->GetAngularVelocity(), 0.0f, 1e-3f) << "still until an action";

    ZqPInputController* input = ZqPInputController::shared();
    input->actionBegin(ZqPInputController::kMotorClockwise, nullptr);
    frames(10);
    EXPECT_NEAR(wheel->GetAngularVelocity(), -kSpeed, 1e-3f);
    input->actionEnd(ZqPInputController::kMotorClockwise, nullptr);
    frames(10);
    EXPECT_NEAR(wheel->GetAngularVelocity(), 0.0f, 1e-3f) << "a release stops it";
    input->actionBegin(ZqPInputController::kMotorCounterClockwise, nullptr);
    frames(10);
    EXPECT_NEAR(wheel->GetAngularVelocity(), kSpeed, 1e-3f);
    input->actionEnd(ZqPInputController::kMotorCounterClockwise, nullptr);
}

TEST_F(FieldLinkersTest, AButtonlessMotorTurnsClockwiseOnScreenAtItsSpeedAlways)
{
    wheelOnAnchor(false);
    play();
    ASSERT_EQ(field->linkers().joints().size(), 1u);
    EXPECT_EQ(ZqPInputController::shared()->motorJointCount(), 0u) << "no action drives it";
    frames(10);
    b2Body* wheel = bodyOf(kWheel);
    EXPECT_NEAR(wheel->GetAngularVelocity(), -kSpeed, 1e-3f);
    // Node rotations are clockwise-positive.
    ZqPObject* node = zqObjectOf(wheel);
    const float before = node->getRotation();
    frame();
    EXPECT_GT(node->getRotation(), before);
}

TEST_F(FieldLinkersTest, EachPlacementOfASectionJoinsItsOwnObjects)
{
    start->m_width->setValue(200.0f, true);
    auto other = game.section(kOther, "Axles", *sceneModel, 200, 0, false);
    place(*other, kAnchor, CCPoint(50, 300));
    place(*other, kWheel, CCPoint(90, 300), true);
    game.linker(kLinker, "Axle", *other, kAnchor, kWheel, kSpeed, false);
    play();
    frames(3);
    // Appended up to the view's length and the back threshold ahead, 200 points each.
    ASSERT_GE(field->linkers().joints().size(), 5u);
    for (b2RevoluteJoint* joint : field->linkers().joints()) {
        const b2Vec2 gap = joint->GetBodyB()->GetPosition() - joint->GetBodyA()->GetPosition();
        EXPECT_NEAR(gap.x, 40.0f * zqphysics::kMetresPerPoint, 1e-3f);
    }
}

TEST_F(FieldLinkersTest, ABodyThatGoesTakesItsJointOutOfTheInputAndTheField)
{
    wheelOnAnchor(true);
    play();
    ASSERT_EQ(field->linkers().joints().size(), 1u);
    zqObjectOf(bodyOf(kWheel))->setState(ZqPObject::kStateRemoved);
    frame();
    EXPECT_EQ(bodyOf(kWheel), nullptr);
    EXPECT_TRUE(field->linkers().joints().empty());
    EXPECT_EQ(ZqPInputController::shared()->motorJointCount(), 0u);
    // A forgotten joint is never turned again (ASan would catch the freed one).
    ZqPInputController::shared()->actionBegin(ZqPInputController::kMotorClockwise, nullptr);
    ZqPInputController::shared()->actionEnd(ZqPInputController::kMotorClockwise, nullptr);
    frame();
}

TEST_F(FieldLinkersTest, JointsWaitForBothObjectsAndGoAtRestartsAndWithTheField)
{
    // 20 objects a queue call: the anchor comes in the first, the wheel in the second.
    place(*start, kAnchor, CCPoint(300, 300));
    for (unsigned i = 0; i < 23; ++i)
        place(*start, kFiller + i, CCPoint(400.0f + 20.0f * static_cast<float>(i), 100));
    place(*start, kWheel, CCPoint(340, 300), true);
    game.linker(kLinker, "Axle", *start, kAnchor, kWheel, kSpeed, true);
    // An image makes no field object, so its linker makes no joint.
    start->addChild(game.make<ZqModelObjectImage>(kLinker + 1, "Picture"), true);
    game.linker(kLinker + 2, "Loose", *start, kAnchor, kLinker + 1, kSpeed, false);
    play();
    EXPECT_TRUE(field->linkers().joints().empty()) << "the wheel is still queued";
    frame();
    ASSERT_EQ(field->linkers().joints().size(), 1u);
    EXPECT_EQ(field->linkers().joints().front()->GetBodyB(), bodyOf(kWheel));
    ASSERT_EQ(ZqPInputController::shared()->motorJointCount(), 1u);

    // The restart's own frame makes the anchor again, not yet the wheel.
    field->restarts().request(1);
    frame();
    EXPECT_TRUE(field->linkers().joints().empty());
    EXPECT_EQ(ZqPInputController::shared()->motorJointCount(), 0u);
    frame();
    EXPECT_EQ(field->linkers().joints().size(), 1u);
    EXPECT_EQ(ZqPInputController::shared()->motorJointCount(), 1u);

    // Restarted again before the wheel came: the new build's joint joins its own objects.
    field->restarts().request(1);
    frame();
    field->restarts().request(1);
    frame();
    EXPECT_TRUE(field->linkers().joints().empty());
    frame();
    ASSERT_EQ(field->linkers().joints().size(), 1u);
    EXPECT_EQ(field->linkers().joints().front()->GetBodyA(), bodyOf(kAnchor));
    EXPECT_EQ(ZqPInputController::shared()->motorJointCount(), 1u);
    // The teardown checks that the field's end leaves no joint registered.
}

} // namespace
