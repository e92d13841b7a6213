// Components that swap what the owner shows or its shape: slide, iso jump and rotation
// mapper.
#include "component_support.h"

#include "components/ZqComponentIsoJump.h"
#include "components/ZqComponentRotationMapper.h"
#include "components/ZqComponentSlide.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/ZqSwitchStates.h"
#include "screens/buttons/ZqPObjectButton.h"

using namespace cocos2d;
using namespace component_test;

namespace {

class SlideTest : public ComponentFixture {
protected:
    // A 40 x 40 box in a world without gravity that slides as a 40 x 10 box.
    ZqPObjectAsset* slider()
    {
        auto model = componentModel<ZqModelComponentSlide>();
        auto low = ZqModelController::shared()->createModel<ZqModelAsset>();
        low->updateCollisionShape(CCSize(40, 10), CCPoint());
        model->m_collisionShape->setValue(low->collisionShape());
        model->m_animation->setValue(animationOf(1.0f));
        return dynamicInField(ownerWith({model}), CCPoint(0, 0));
    }
    static ZqComponentSlide* slideOf(ZqPObject* owner) { return dynamic_cast<ZqComponentSlide*>(owner->components().at(0)); }
};

TEST_F(SlideTest, TheShapeIsLowWhileHeldAndBackOnRelease)
{
    ZqPObjectAsset* box = slider();
    b2Body* body = box->getBody();
    EXPECT_NEAR(fixtureHeight(body), 2.0f, 0.05f);
    // A switch's switch-on, whatever its name, as any control's press.
    CCNode* anyControl = sender<ZqModelObjectButtonSwitch>("whatever");
    press(anyControl);
    EXPECT_TRUE(slideOf(box)->isEnabled());
    EXPECT_NEAR(fixtureHeight(body), 0.5f, 0.05f);
    EXPECT_EQ(body->GetFixtureList()->GetNext(), nullptr);
    EXPECT_FALSE(box->isMovementActive());
    EXPECT_TRUE(box->isVisible()) << "the owner is not hidden";
    frame();
    press(anyControl);
    EXPECT_NEAR(fixtureHeight(body), 0.5f, 0.05f) << "a second press changes nothing";

    release(anyControl);
    EXPECT_FALSE(slideOf(box)->isEnabled());
    EXPECT_NEAR(fixtureHeight(body), 2.0f, 0.05f);
    EXPECT_EQ(body->GetFixtureList()->GetNext(), nullptr);
    EXPECT_TRUE(box->isMovementActive());
    EXPECT_TRUE(box->isVisible());
    EXPECT_GT(body->GetMass(), 0.0f) << "a body with shapes of no density still falls";
}

TEST_F(SlideTest, APressWhileTheOwnerIsHeldWaitsAndAForeignFixtureIsLeftAlone)
{
    ZqPObjectAsset* box = slider();
    box->setMovementActive(false);
    press(sender<ZqModelObjectButtonControl>("a"));
    EXPECT_FALSE(slideOf(box)->isEnabled());
    EXPECT_TRUE(slideOf(box)->isHeld());
    box->setMovementActive(true);
    frame();
    EXPECT_TRUE(slideOf(box)->isEnabled()) << "it slides once the owner moves again";

    // A state animation swaps the first fixture (the slide's) for its own shape.
    auto tall = ZqModelController::shared()->createModel<ZqModelAsset>();
    tall->updateCollisionShape(CCSize(20, 80), CCPoint());
    box->addStateAnimation(1, nullptr, tall->collisionShape());
    b2Fixture* foreign = box->getBody()->GetFixtureList();
    release(sender<ZqModelObjectButtonControl>("a"));
    bool kept = false;
    for (b2Fixture* f = box->getBody()->GetFixtureList(); f; f = f->GetNext())
        kept = kept || f == foreign;
    EXPECT_TRUE(kept) << "the state animation's fixture stays";
    EXPECT_EQ(slideOf(box)->slideFixture(), nullptr);
}

// The slide picture stands in for the owner's look: under a damage look while one shows,
// back once it goes, and gone with the release or the owner's death.
TEST_F(SlideTest, TheSlidePictureReplacesTheOwnersLookUntilTheReleaseOrDeath)
{
    ZqPObjectAsset* box = slider();
    CCNode* control = sender<ZqModelObjectButtonControl>("a");
    press(control);
    CCNode* picture = box->currentStateAnimation();
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->isVisible());
    CCNode* damage = CCNode::create();
    box->addStateAnimation(0, damage, nullptr);
    EXPECT_FALSE(picture->isVisible()) << "under the damage look";
    box->removeStateAnimation(0, damage, nullptr);
    EXPECT_EQ(box->currentStateAnimation(), picture);
    EXPECT_TRUE(picture->isVisible());
    release(control);
    EXPECT_EQ(box->currentStateAnimation(), nullptr);
    EXPECT_FALSE(picture->isVisible());

    press(control);
    EXPECT_EQ(box->currentStateAnimation(), picture);
    box->setState(ZqPObject::kStateDestroyed);
    EXPECT_EQ(box->currentStateAnimation(), nullptr) << "the owner's own look for its death";
    EXPECT_FALSE(picture->isVisible());
}

// A switch starts on: its first press switches it off (12), which ends a slide and starts
// none; its second switches it on (11) and slides, its third lets go.
TEST_F(SlideTest, ASwitchSlidesFromItsSwitchOnToItsSwitchOff)
{
    ZqPObjectAsset* box = slider();
    auto model = ZqModelController::shared()->createModel<ZqModelObjectButtonSwitch>();
    model->setName("whatever");
    ZqPObjectButton* lever = ZqPObjectButton::create(model);
    lever->retain();
    auto toggle = [lever] {
        lever->selected();
        lever->unselected();
    };
    toggle();
    EXPECT_FALSE(slideOf(box)->isEnabled()) << "the first press switches off";
    EXPECT_FALSE(slideOf(box)->isHeld());
    toggle();
    EXPECT_TRUE(slideOf(box)->isEnabled()) << "the second switches on";
    EXPECT_NEAR(fixtureHeight(box->getBody()), 0.5f, 0.05f);
    toggle();
    EXPECT_FALSE(slideOf(box)->isEnabled());
    EXPECT_FALSE(slideOf(box)->isHeld());
    EXPECT_NEAR(fixtureHeight(box->getBody()), 2.0f, 0.05f);
    lever->release();
    ZqSwitchStates::clear();
}

TEST_F(SlideTest, AnOwnerWithoutABodyOrDyingDoesNotSlide)
{
    auto model = componentModel<ZqModelComponentSlide>();
    ZqPObjectAsset* loose = ownerWith({model});
    press(sender<ZqModelObjectButtonControl>("a"));
    EXPECT_TRUE(slideOf(loose)->isEnabled()) << "no body: no fixture work, no crash";
    loose->setState(ZqPObject::kStateDestroyed);
    EXPECT_FALSE(slideOf(loose)->isEnabled());
    EXPECT_FALSE(slideOf(loose)->isHeld());
    press(sender<ZqModelObjectButtonControl>("a"));
    EXPECT_FALSE(slideOf(loose)->isHeld());
}

class IsoJumpTest : public ComponentFixture {
protected:
    std::shared_ptr<ZqModelComponentIsoJump> jump(const CCPoint& velocity, const CCPoint& gravity)
    {
        auto model = componentModel<ZqModelComponentIsoJump>();
        model->m_event->setValue("kButton-J-0");
        model->m_jumpVelocity->setValue(velocity);
        model->m_jumpGravity->setValue(gravity);
        model->m_animation->setValue(animationOf(1.0f, 4));
        return model;
    }
    static ZqComponentIsoJump* jumpOf(ZqPObject* owner) { return dynamic_cast<ZqComponentIsoJump*>(owner->components().at(0)); }
    CCNode* control() { return sender<ZqModelObjectButtonControl>("J"); }
};

TEST_F(IsoJumpTest, WithoutGravityTheLiftSnapsBackAfterTheDuration)
{
    ZqPObjectAsset* owner = ownerWith({jump(CCPoint(0, 60), CCPoint())});
    ZqComponentIsoJump* component = jumpOf(owner);
    press(control());
    owner->update(kStep);
    EXPECT_TRUE(component->isJumping());
    EXPECT_EQ(owner->currentStateAnimation(), component->jumpAnimation());
    EXPECT_FALSE(owner->isMovementActive());
    for (int f = 0; f < 59; ++f)
        owner->update(kStep);
    EXPECT_NEAR(component->jumpAnimation()->getPositionY(), 60.0f, 1.5f);
    for (int f = 0; f < 3; ++f)
        owner->update(kStep);
    EXPECT_FALSE(component->isJumping());
    EXPECT_EQ(component->jumpAnimation()->getPositionY(), 0.0f);
    EXPECT_EQ(owner->currentStateAnimation(), nullptr) << "every take-off's entry removed";
    EXPECT_TRUE(owner->isMovementActive());
}

TEST_F(IsoJumpTest, DoubleJumpTakesOffAgainFromTheCurrentHeight)
{
    auto model = jump(CCPoint(0, 120), CCPoint(0, 240));
    model->m_jumpCount->setValue(2.0f);
    model->m_jumpDuration->setValue(5.0f);
    ZqPObjectAsset* owner = ownerWith({model});
    ZqComponentIsoJump* component = jumpOf(owner);
    press(control());
    for (int f = 0; f < 20; ++f)
        owner->update(kStep);
    const float height = component->jumpAnimation()->getPositionY();
    EXPECT_LT(component->liftVelocity().y, 120.0f);
    press(control());
    owner->update(kStep);
    EXPECT_EQ(component->takeOffs(), 2);
    EXPECT_GT(component->jumpAnimation()->getPositionY(), height) << "from where it was, at full lift";
    press(control());
    owner->update(kStep);
    EXPECT_EQ(component->takeOffs(), 2) << "no third take-off in the air";
    for (int f = 0; f < 300 && component->isJumping(); ++f)
        owner->update(kStep);
    EXPECT_FALSE(component->isJumping());
    EXPECT_EQ(owner->currentStateAnimation(), nullptr);
}

TEST_F(IsoJumpTest, ContinuousJumpWhileHeldAndAFlatJumpDoesNotSync)
{
    auto model = jump(CCPoint(0, 60), CCPoint(0, 240));
    model->m_continuousJump->setValue(true);
    model->m_syncronizeAnimation->setValue(true);
    ZqPObjectAsset* owner = ownerWith({model});
    ZqComponentIsoJump* component = jumpOf(owner);
    press(control());
    int landings = 0;
    bool was = false;
    for (int f = 0; f < 120; ++f) {
        owner->update(kStep);
        landings += was && !component->isJumping();
        was = component->isJumping();
    }
    EXPECT_GE(landings, 2);
    release(control());
    for (int f = 0; f < 120; ++f)
        owner->update(kStep);
    EXPECT_FALSE(component->isJumping()) << "no new jump once let go";

    // No vertical lift: the frame sync has nothing to divide by.
    ZqPObjectAsset* flat = ownerWith({jump(CCPoint(30, 0), CCPoint())});
    jumpOf(flat)->update(0.0f);
    press(control());
    flat->update(kStep);
}

TEST_F(IsoJumpTest, AnOwnerDyingInTheAirKeepsItsHeight)
{
    ZqPObjectAsset* owner = ownerWith({jump(CCPoint(0, 60), CCPoint())});
    press(control());
    for (int f = 0; f < 30; ++f)
        owner->update(kStep);
    const float lift = jumpOf(owner)->jumpAnimation()->getPositionY();
    owner->setState(ZqPObject::kStateDestroyed);
    EXPECT_FALSE(jumpOf(owner)->isJumping());
    EXPECT_NEAR(owner->getPositionY(), lift, 0.01f) << "no body: the node alone rises";
    EXPECT_EQ(jumpOf(owner)->jumpAnimation()->getPositionY(), 0.0f);
}

class RotationMapperTest : public ComponentFixture {};

TEST_F(RotationMapperTest, AnglesMapToFramesOfOneTurn)
{
    EXPECT_EQ(ZqComponentRotationMapper::frameForAngle(90.0f, 36), 9);
    EXPECT_EQ(ZqComponentRotationMapper::frameForAngle(-90.0f, 36), 27);
    EXPECT_EQ(ZqComponentRotationMapper::frameForAngle(370.0f, 36), 1);
    EXPECT_EQ(ZqComponentRotationMapper::frameForAngle(-360.0f, 36), 36) << "kept: one past the last";
    EXPECT_EQ(ZqComponentRotationMapper::frameForAngle(45.0f, 0), 0);
}

TEST_F(RotationMapperTest, EnablesOnTheFirstRealStepAndLeavesWithTheOwner)
{
    auto model = componentModel<ZqModelComponentRotationMapper>();
    model->m_animation->setValue(animationOf(1.2f, 36));
    ZqPObjectAsset* owner = ownerWith({model});
    ZqComponent* component = owner->components().at(0);
    owner->update(0.0f);
    EXPECT_FALSE(component->isEnabled()) << "a step of 0 does not count";
    owner->update(kStep);
    EXPECT_TRUE(component->isEnabled());
    EXPECT_EQ(owner->currentStateAnimationPriority(), 3);
    owner->setRotation(30.0f);
    owner->reset();
    EXPECT_EQ(owner->getRotation(), 0.0f);
    owner->setState(ZqPObject::kStateDestroyed);
    EXPECT_FALSE(component->isEnabled());
    EXPECT_EQ(owner->currentStateAnimation(), nullptr);

    ZqPObjectAsset* source = ownerWith({componentModel<ZqModelComponentRotationMapper>()});
    source->setSpawnSource(true);
    source->update(kStep);
    EXPECT_FALSE(source->components().at(0)->isEnabled()) << "spawn sources show no rotation frames";
}

} // namespace
