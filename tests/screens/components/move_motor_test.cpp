// The move component (start, events, velocity operations, stopping the others, the switch
// states, replacement) and the motor component.
#include "component_support.h"

#include "components/ZqComponentMotor.h"
#include "components/ZqComponentMove.h"
#include "components/ZqControlEvent.h"
#include "objects/ZqSwitchStates.h"

using namespace cocos2d;
using namespace component_test;

namespace {

class MoveTest : public ComponentFixture {
protected:
    std::shared_ptr<ZqModelComponentMove> move(const std::string& event, std::optional<float> x = std::nullopt,
                                               std::optional<float> y = std::nullopt)
    {
        auto model = componentModel<ZqModelComponentMove>();
        model->m_event->setValue(event);
        setAxes(model->m_linearVelocity, x, y);
        return model;
    }

    static ZqComponentMove* moveOf(ZqPObject* owner, std::size_t index = 0)
    {
        return dynamic_cast<ZqComponentMove*>(owner->components().at(index));
    }

    void TearDown() override
    {
        ZqSwitchStates::clear();
        ComponentFixture::TearDown();
    }
};

TEST_F(MoveTest, StartEventDrivesTheSetAxisForTheTimeoutThenLetsGo)
{
    auto model = move("kEventStart", 5.0f, std::nullopt);
    model->m_timeout->setValue(0.5f);
    ZqPObjectAsset* box = dynamicInField(ownerWith({model}, CCPoint(0, 1000)), CCPoint(0, -50));
    ZqComponentMove* component = moveOf(box);
    ASSERT_NE(component, nullptr);

    int driven = 0;
    float lastY = 0.0f;
    for (int f = 1; f <= 29; ++f) {
        frame();
        const b2Vec2 v = box->getBody()->GetLinearVelocity();
        if (f >= 2) {
            EXPECT_FLOAT_EQ(v.x, 5.0f) << "frame " << f;
            EXPECT_LT(v.y, lastY) << "y is left to gravity, frame " << f;
            driven += v.x == 5.0f;
        }
        lastY = v.y;
        EXPECT_TRUE(component->isEnabled());
        EXPECT_FALSE(box->isMovementActive()) << "the owner's own movement waits";
    }
    EXPECT_EQ(driven, 28);
    for (int f = 30; f <= 32; ++f)
        frame();
    EXPECT_FALSE(component->isEnabled());
    EXPECT_TRUE(box->isMovementActive());
    box->getBody()->SetLinearVelocity(b2Vec2(1.0f, 0.0f));
    frame();
    EXPECT_FLOAT_EQ(box->getBody()->GetLinearVelocity().x, 1.0f) << "x is no longer forced";
}

TEST_F(MoveTest, EventTextsBindTheirActions)
{
    const ZqControlEvent three = ZqControlEvent::parse("kButton-Go-0");
    EXPECT_EQ(three.kind, kControlButton);
    EXPECT_EQ(three.name, "Go");
    EXPECT_EQ(three.last, "0");
    const ZqControlEvent two = ZqControlEvent::parse("kSwitch-Go");
    EXPECT_EQ(two.name, "Go");
    EXPECT_EQ(two.last, "Go") << "two pieces: the name is also the last piece";
    EXPECT_EQ(ZqControlEvent::parse("kSwipe-S-2-9").last, "2") << "at most three pieces";

    CCNode* go = sender<ZqModelObjectButtonControl>("Go");
    // Press activates with "0"; any other last piece, the name of a two-piece text
    // included, swaps press and release.
    for (const char* event : {"kButton-Go-0", "kButton-Go-1", "kSwitch-Go"}) {
        ZqPObjectAsset* owner = ownerWith({move(event)});
        const bool onPress = std::string(event).back() == '0';
        press(go);
        owner->update(kStep);
        EXPECT_EQ(moveOf(owner)->isEnabled(), onPress) << event;
        release(go);
        owner->update(kStep);
        EXPECT_EQ(moveOf(owner)->isEnabled(), !onPress) << event;
    }

    auto* input = ZqPInputController::shared();
    ZqPObjectAsset* swipe = ownerWith({move("kSwipe-S-2")});
    EXPECT_EQ(input->subscriptionCount(ZqPInputController::kSwipeUp), 1u);
    for (int action : {ZqPInputController::kSwipeLeft, ZqPInputController::kSwipeRight, ZqPInputController::kSwipeDown})
        EXPECT_EQ(input->subscriptionCount(action), 0u);
    input->notifySubscribers(sender<ZqModelObjectSwipeControl>("S"), ZqPInputController::kSwipeUp, 0);
    swipe->update(kStep);
    EXPECT_TRUE(moveOf(swipe)->isEnabled());
    for (const char* nothing : {"kSwipe-S-", "kSwipe-S-7", "kTap-S-0"}) {
        const std::size_t before = input->subscriptionCount(ZqPInputController::kSwipeLeft) +
                                   input->subscriptionCount(ZqPInputController::kControlPressed);
        ownerWith({move(nothing)});
        EXPECT_EQ(input->subscriptionCount(ZqPInputController::kSwipeLeft) +
                      input->subscriptionCount(ZqPInputController::kControlPressed),
                  before)
            << nothing;
    }

    // The start event is a whole text: with a name it is no event.
    for (const char* start : {"kEventStart", "kEventStart-Go"}) {
        ZqPObjectAsset* owner = ownerWith({move(start)});
        owner->update(kStep);
        EXPECT_EQ(moveOf(owner)->isEnabled(), std::string(start) == "kEventStart") << start;
    }

    // Only the three control classes, with the matching name, start it.
    ZqPObjectAsset* strict = ownerWith({move("kButton-Go-0")});
    for (CCNode* other : {sender<ZqModelObjectButton>("Go"), sender<ZqModelObjectButtonControl>("Stop"),
                          CCNode::create()}) {
        press(other);
        strict->update(kStep);
        EXPECT_FALSE(moveOf(strict)->isEnabled());
    }
    press(sender<ZqModelObjectButtonSwitch>("Go"));
    strict->update(kStep);
    EXPECT_TRUE(moveOf(strict)->isEnabled());
}

TEST_F(MoveTest, ActivateOnReleaseStartsOnTheReleaseAndRunsOn)
{
    auto model = move("kButton-Go-0");
    model->m_activateOnRelease->setValue(true);
    ZqPObjectAsset* owner = ownerWith({model});
    CCNode* go = sender<ZqModelObjectButtonControl>("Go");
    press(go);
    owner->update(kStep);
    EXPECT_FALSE(moveOf(owner)->isEnabled());
    release(go);
    owner->update(kStep);
    EXPECT_TRUE(moveOf(owner)->isEnabled());
    for (int f = 0; f < 120; ++f)
        owner->update(kStep);
    EXPECT_TRUE(moveOf(owner)->isEnabled()) << "timeout 0 runs until stopped";
    owner->setState(ZqPObject::kStateDestroyed);
    EXPECT_FALSE(moveOf(owner)->isEnabled());
    EXPECT_TRUE(owner->isMovementActive());
    moveOf(owner)->setEnabled(true);
    EXPECT_FALSE(moveOf(owner)->isEnabled()) << "a destroyed owner is not started";
}

TEST_F(MoveTest, OperationsCombinePerSetAxis)
{
    struct Case {
        const char* operation;
        std::optional<float> x, y, angular;
        b2Vec2 expected;
        float expectedAngular;
    };
    const Case cases[] = {
        {"kReplace", 3.0f, std::nullopt, std::nullopt, b2Vec2(3, 2), 0.5f},
        {"kAdd", 3.0f, std::nullopt, 1.0f, b2Vec2(4, 2), 1.5f},
        {"kMultiply", std::nullopt, -2.0f, 4.0f, b2Vec2(1, -4), 2.0f},
    };
    for (const Case& c : cases) {
        auto model = move("kEventStart", c.x, c.y);
        model->m_operation->setValue(c.operation);
        if (c.angular) {
            model->m_angularVelocity->setEmpty(false);
            model->m_angularVelocity->setValue(*c.angular);
        }
        ZqPObjectAsset* box = dynamicInField(ownerWith({model}), CCPoint(0, 0));
        box->getBody()->SetLinearVelocity(b2Vec2(1, 2));
        box->getBody()->SetAngularVelocity(0.5f);
        for (int f = 0; f < 3; ++f)
            frame();
        EXPECT_EQ(box->getBody()->GetLinearVelocity(), c.expected) << c.operation;
        EXPECT_FLOAT_EQ(box->getBody()->GetAngularVelocity(), c.expectedAngular) << c.operation;
        box->removeFromParent();
    }
}

TEST_F(MoveTest, StartingStopsTheOwnersOtherMoveComponentsAndFlipsForcedSwitches)
{
    auto first = move("kEventStart", 1.0f, std::nullopt);
    auto second = move("kButton-Go-0", 2.0f, std::nullopt);
    second->m_forcedSwitchButton->setValue(true);
    ZqPObjectAsset* owner = ownerWith({first, second});
    owner->update(kStep);
    EXPECT_TRUE(moveOf(owner, 0)->isEnabled());
    const auto on = componentModel<ZqModelComponentMove>();
    const auto off = componentModel<ZqModelComponentMove>();
    ZqSwitchStates::store(on.get(), true);
    ZqSwitchStates::store(off.get(), false);

    press(sender<ZqModelObjectButtonControl>("Go"));
    owner->update(kStep);
    EXPECT_FALSE(moveOf(owner, 0)->isEnabled());
    EXPECT_TRUE(moveOf(owner, 1)->isEnabled());
    EXPECT_FALSE(owner->isMovementActive());
    bool found = false;
    EXPECT_FALSE(ZqSwitchStates::find(on.get(), &found));
    EXPECT_TRUE(found);
    EXPECT_TRUE(ZqSwitchStates::find(off.get(), &found));
}

TEST_F(MoveTest, ReplacementCarriesOnAtTheBodysVelocity)
{
    ZqPObjectAsset* copy = dynamicInField(ownerWith({move("kButton-Other-0", 9.0f, std::nullopt)}), CCPoint(0, 0));
    ZqPObjectAsset* source = ownerWith({move("kButton-Go-0", 9.0f, std::nullopt)});
    press(sender<ZqModelObjectButtonControl>("Go"));
    source->update(kStep);
    ASSERT_TRUE(moveOf(source)->isEnabled());
    copy->update(kStep);
    ASSERT_FALSE(moveOf(copy)->isEnabled()) << "another control";
    copy->wakeUp();
    copy->getBody()->SetLinearVelocity(b2Vec2(2, 0));
    copy->reapplyComponentStates(*source);
    EXPECT_TRUE(moveOf(copy)->isEnabled());
    frame();
    EXPECT_FLOAT_EQ(copy->getBody()->GetLinearVelocity().x, 2.0f) << "kept, not the model's 9";
}

class MotorTest : public ComponentFixture {
protected:
    std::shared_ptr<ZqModelComponentMotor> motor(const std::string& event, const CCPoint& linear)
    {
        auto model = componentModel<ZqModelComponentMotor>();
        model->m_event->setValue(event);
        model->m_linearVelocity->setValue(linear);
        return model;
    }
};

TEST_F(MotorTest, HoldsTheSetVelocityAgainstGravityAndSpin)
{
    ZqPObjectAsset* box = dynamicInField(ownerWith({motor("", CCPoint(0, 5))}, CCPoint(0, 100)), CCPoint(0, -50));
    box->getBody()->SetAngularVelocity(3.0f);
    frame();
    const float startY = box->getPositionY();
    for (int f = 0; f < 60; ++f) {
        frame();
        EXPECT_FLOAT_EQ(box->getBody()->GetLinearVelocity().y, 5.0f);
        EXPECT_EQ(box->getBody()->GetAngularVelocity(), 0.0f);
    }
    const float rise = box->getPositionY() - startY;
    EXPECT_GE(rise, 80.0f);
    EXPECT_LE(rise, 100.0f);
}

TEST_F(MotorTest, PressesMultiplyAndAFreedMotorHearsNothing)
{
    auto model = motor("kEventButton", CCPoint(1, 5));
    model->m_linearMultiplier->setValue(CCPoint(2, -1));
    model->m_angularMultiplier->setValue(3.0f);
    model->m_angularVelocity->setValue(1.0f);
    ZqPObjectAsset* owner = ownerWith({model});
    auto* component = dynamic_cast<ZqComponentMotor*>(owner->components().at(0));
    CCNode* anyone = sender<ZqModelObjectButtonPowerup>("x");
    press(anyone);
    press(anyone);
    EXPECT_EQ(component->linearVelocity(), CCPoint(4, 5));
    EXPECT_FLOAT_EQ(component->angularVelocity(), 9.0f);

    owner->retain();
    CCPoolManager::sharedPoolManager()->pop();
    owner->release();
    EXPECT_EQ(loggedCount("[ZqComponentMotor] deallocate"), 1);
    EXPECT_EQ(ZqPInputController::shared()->subscriptionCount(ZqPInputController::kControlPressed), 0u);
    press(sender<ZqModelObjectButtonControl>("x"));
}

} // namespace
