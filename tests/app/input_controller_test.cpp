// The input controller: held directions, holders, subscribers, action objects,
// characters over their life, motor joints in a real Box2D world.
#include "app/ZqObjectModelHolder.h"
#include "app/ZqPInputController.h"
#include "model/scene/ZqModelMedia.h"

#include "engine/director/DirectorFixture.h"

#include <box2d/box2d.h>

#include <string>
#include <vector>

using cocos2d::CCNode;
using cocos2d::CCObject;
using cocos2d::CCPoint;

namespace {

// A character that records what the controller asks of it.
class FakeCharacter : public CCNode, public ZqInputCharacter {
public:
    static FakeCharacter* create()
    {
        auto* character = new FakeCharacter();
        character->autorelease();
        return character;
    }
    CCNode* node() override { return this; }
    int state() const override { return m_state; }
    void setState(int state) override
    {
        m_state = state;
        calls.push_back("state " + std::to_string(state));
        // As a character without a death animation: removed at once.
        if (state == 4 && removeOnDeath)
            setState(5);
        if (state == 5)
            ZqPInputController::shared()->removeCharacter(this);
    }
    void setMoveDirection(float x, float y) override { direction = CCPoint(x, y); }
    void applyJoystick(float x, float y) override { joystick = CCPoint(x, y); }
    void setAxisX(float) override {}
    void setAxisY(float) override {}
    void jump() override { calls.push_back("jump"); }
    void releaseJump() override { calls.push_back("releaseJump"); }
    void startRotateLeft() override { calls.push_back("startRotateLeft"); }
    void stopRotateLeft() override { calls.push_back("stopRotateLeft"); }
    void startRotateRight() override { calls.push_back("startRotateRight"); }
    void stopRotateRight() override { calls.push_back("stopRotateRight"); }
    void setShooting(bool shooting) override { calls.push_back(shooting ? "shoot" : "stopShoot"); }
    void clearActivePowerups() override { calls.push_back("clearPowerups"); }

    std::vector<std::string> calls;
    CCPoint direction;
    CCPoint joystick;
    bool removeOnDeath = true;

private:
    int m_state = 0;
};

// A subscriber that counts its calls and may act on the controller inside one.
class Listener : public CCObject {
public:
    void onAction(CCObject* sender)
    {
        senders.push_back(sender);
        if (whenCalled)
            whenCalled();
    }
    std::vector<CCObject*> senders;
    std::function<void()> whenCalled;
};

class ActionObject : public ZqInputActionObject {
public:
    void setButtonActivated(bool activated) override { states.push_back(activated); }
    std::vector<bool> states;
};

class InputControllerTest : public DirectorFixture {
protected:
    void SetUp() override
    {
        DirectorFixture::SetUp();
        input = ZqPInputController::shared();
        hero = FakeCharacter::create();
        input->addCharacter(hero);
    }
    void TearDown() override
    {
        ZqPInputController::purgeShared();
        DirectorFixture::TearDown();
    }

    // A node carrying a model of the given id, as an on-screen control does.
    CCNode* control(unsigned id)
    {
        std::shared_ptr<ZqModelSound> model = ZqModelSound::create();
        model->setId(id);
        CCNode* node = CCNode::create();
        node->setUserObject(ZqObjectModelHolder::create(model));
        return node;
    }

    static constexpr ZqInputHolder kKeyRight{ZqInputHolder::kKeyboard, 39};
    static constexpr ZqInputHolder kHatRight{ZqInputHolder::kPadHat, 2};

    ZqPInputController* input = nullptr;
    FakeCharacter* hero = nullptr;
};

TEST_F(InputControllerTest, HeldDirectionsAreSummedAndPushedToLiveCharacters)
{
    input->actionBegin(ZqPInputController::kRight, nullptr);
    EXPECT_EQ(hero->direction, CCPoint(1, 0));
    input->actionBegin(ZqPInputController::kUp, nullptr);
    EXPECT_EQ(hero->direction, CCPoint(1, 1));
    input->actionBegin(ZqPInputController::kLeft, nullptr);
    EXPECT_EQ(hero->direction, CCPoint(0, 1));
    input->actionBegin(ZqPInputController::kDown, nullptr);
    EXPECT_EQ(hero->direction, CCPoint(0, 0));
    input->actionEnd(ZqPInputController::kUp, nullptr);
    EXPECT_EQ(hero->direction, CCPoint(0, -1));

    input->updateCharactersDirection(CCPoint(0.5f, 0.25f));
    EXPECT_EQ(hero->direction, CCPoint(0.5f, -0.75f));
    input->applyJoystickToCharacters(0.3f, -0.2f);
    EXPECT_EQ(hero->joystick, CCPoint(0.3f, -0.2f));

    // A dying character gets no direction.
    hero->removeOnDeath = false;
    hero->setState(4);
    input->actionEnd(ZqPInputController::kDown, nullptr);
    EXPECT_EQ(hero->direction, CCPoint(0.5f, -0.75f));
}

TEST_F(InputControllerTest, CharacterActionsStartAndEnd)
{
    for (int action : {5, 6, 7, 8}) {
        input->actionBegin(action, nullptr);
        input->actionEnd(action, nullptr);
    }
    EXPECT_EQ(hero->calls, (std::vector<std::string>{"jump", "releaseJump", "startRotateLeft", "stopRotateLeft",
                                                      "startRotateRight", "stopRotateRight", "shoot", "stopShoot"}));
}

TEST_F(InputControllerTest, AnActionHeldByTwoDevicesEndsWithItsLastHolder)
{
    input->holdBegin(ZqPInputController::kRight, kKeyRight);
    input->holdBegin(ZqPInputController::kRight, kHatRight);
    EXPECT_EQ(hero->direction, CCPoint(1, 0));
    input->holdEnd(ZqPInputController::kRight, kKeyRight);
    EXPECT_TRUE(input->isHeld(ZqPInputController::kRight));
    EXPECT_EQ(hero->direction, CCPoint(1, 0));
    input->holdEnd(ZqPInputController::kRight, kHatRight);
    EXPECT_FALSE(input->isHeld(ZqPInputController::kRight));
    EXPECT_EQ(hero->direction, CCPoint(0, 0));

    // A key repeat is no second press: one jump, and one release ends it.
    input->holdBegin(ZqPInputController::kJump, kKeyRight);
    input->holdBegin(ZqPInputController::kJump, kKeyRight);
    input->holdEnd(ZqPInputController::kJump, kKeyRight);
    input->holdEnd(ZqPInputController::kJump, kKeyRight);
    EXPECT_EQ(hero->calls, (std::vector<std::string>{"jump", "releaseJump"}));

    // An end from game logic ends it for every holder; their later releases do nothing.
    hero->calls.clear();
    input->holdBegin(ZqPInputController::kShoot, kKeyRight);
    input->holdBegin(ZqPInputController::kShoot, kHatRight);
    input->actionEnd(ZqPInputController::kShoot, nullptr);
    input->holdEnd(ZqPInputController::kShoot, kKeyRight);
    input->holdEnd(ZqPInputController::kShoot, kHatRight);
    EXPECT_EQ(hero->calls, (std::vector<std::string>{"shoot", "stopShoot"}));
}

TEST_F(InputControllerTest, ReleaseAllEndsEveryHeldActionOnce)
{
    input->holdBegin(ZqPInputController::kRight, kKeyRight);
    input->holdBegin(ZqPInputController::kRight, kHatRight);
    input->holdBegin(ZqPInputController::kJump, kKeyRight);
    input->actionBegin(ZqPInputController::kShoot, nullptr);
    Listener listener;
    input->subscribe(ZqPInputController::kJump, &listener, callfuncO_selector(Listener::onAction), 0);

    input->releaseAll();
    EXPECT_EQ(hero->direction, CCPoint(0, 0));
    EXPECT_EQ(hero->calls, (std::vector<std::string>{"jump", "shoot", "releaseJump", "stopShoot"}));
    EXPECT_EQ(listener.senders.size(), 1u);
    for (int action = 1; action < ZqPInputController::kActionCount; ++action)
        EXPECT_FALSE(input->isHeld(action)) << action;
    // The devices' late releases end nothing more.
    input->holdEnd(ZqPInputController::kJump, kKeyRight);
    input->releaseAll();
    EXPECT_EQ(hero->calls.size(), 4u);
    input->unsubscribe(&listener);
}

TEST_F(InputControllerTest, ADisabledControllerStartsNothingButEndsWhatIsHeld)
{
    input->holdBegin(ZqPInputController::kJump, kKeyRight);
    input->setEnabled(false);
    input->actionBegin(ZqPInputController::kShoot, nullptr);
    input->holdBegin(ZqPInputController::kRight, kKeyRight);
    EXPECT_FALSE(input->isHeld(ZqPInputController::kShoot));
    EXPECT_EQ(hero->direction, CCPoint(0, 0));
    input->holdEnd(ZqPInputController::kRight, kKeyRight);
    input->holdEnd(ZqPInputController::kJump, kKeyRight);
    EXPECT_EQ(hero->calls, (std::vector<std::string>{"jump", "releaseJump"}));
}

TEST_F(InputControllerTest, SubscribersAreFilteredBySenderModel)
{
    CCNode* first = control(41);
    CCNode* second = control(42);
    Listener any, onlyFirst, onlySecond;
    input->subscribe(11, &any, callfuncO_selector(Listener::onAction), 0);
    input->subscribe(11, &onlyFirst, callfuncO_selector(Listener::onAction), 41);
    input->subscribe(11, &onlySecond, callfuncO_selector(Listener::onAction), 42);

    input->actionBegin(11, first);
    EXPECT_EQ(any.senders, std::vector<CCObject*>{first});
    EXPECT_EQ(onlyFirst.senders, std::vector<CCObject*>{first});
    EXPECT_TRUE(onlySecond.senders.empty());

    // Without a sender model every subscriber is called (a switch notifies with 0).
    input->notifySubscribers(second, 11, 0);
    EXPECT_EQ(onlyFirst.senders.size(), 2u);
    EXPECT_EQ(onlySecond.senders, std::vector<CCObject*>{second});

    // A release reaches the subscribers of its own action: a control button ends 12.
    Listener released;
    input->subscribe(12, &released, callfuncO_selector(Listener::onAction), 42);
    input->actionEnd(12, second);
    input->actionEnd(12, first);
    EXPECT_EQ(released.senders, std::vector<CCObject*>{second});

    input->unsubscribe(&any);
    input->unsubscribe(&onlyFirst);
    input->unsubscribe(&onlySecond);
    input->unsubscribe(&released);
    EXPECT_EQ(input->subscriptionCount(11), 0u);
    EXPECT_EQ(input->subscriptionCount(12), 0u);
}

TEST_F(InputControllerTest, UnsubscribingInsideANotificationIsSafe)
{
    Listener first, second, late;
    // The first handler drops itself and the second, and subscribes a third.
    first.whenCalled = [&] {
        input->unsubscribe(&first);
        input->unsubscribe(&second);
        input->subscribe(13, &late, callfuncO_selector(Listener::onAction), 0);
    };
    input->subscribe(13, &first, callfuncO_selector(Listener::onAction), 0);
    input->subscribe(13, &second, callfuncO_selector(Listener::onAction), 0);
    input->notifySubscribers(nullptr, 13, 0);
    EXPECT_EQ(first.senders.size(), 1u);
    EXPECT_TRUE(second.senders.empty());
    EXPECT_TRUE(late.senders.empty());
    input->notifySubscribers(nullptr, 13, 0);
    EXPECT_EQ(late.senders.size(), 1u);
    EXPECT_EQ(first.senders.size(), 1u);
    input->unsubscribe(&late);
}

TEST_F(InputControllerTest, ActionObjectsFollowTheirAction)
{
    ActionObject spawner, other;
    input->registerActionObject(&spawner, ZqPInputController::kShoot);
    input->registerActionObject(&other, ZqPInputController::kJump);
    input->actionBegin(ZqPInputController::kShoot, nullptr);
    input->actionEnd(ZqPInputController::kShoot, nullptr);
    EXPECT_EQ(spawner.states, (std::vector<bool>{true, false}));
    EXPECT_TRUE(other.states.empty());
    input->unregisterActionObject(&spawner);
    input->unregisterActionObject(&spawner);
    input->actionBegin(ZqPInputController::kShoot, nullptr);
    EXPECT_EQ(spawner.states.size(), 2u);
    input->unregisterActionObject(&other);
}

TEST_F(InputControllerTest, CentreAndActivityOverTheCharactersLives)
{
    ZqPInputController::purgeShared();
    input = ZqPInputController::shared();
    EXPECT_TRUE(input->hasActiveCharacters()) << "before any character";
    EXPECT_EQ(input->charactersCenter(), CCPoint(0, 0));

    FakeCharacter* a = FakeCharacter::create();
    FakeCharacter* b = FakeCharacter::create();
    a->setPosition(CCPoint(100, 50));
    b->setPosition(CCPoint(300, 150));
    input->addCharacter(a);
    input->addCharacter(b);
    EXPECT_EQ(input->characters()->count(), 2u);
    EXPECT_EQ(input->charactersCenter(), CCPoint(200, 100));
    EXPECT_TRUE(input->hasActiveCharacters());

    // A dying character leaves the centre; the last centre stays once none lives.
    b->removeOnDeath = false;
    b->setState(4);
    EXPECT_EQ(input->charactersCenter(), CCPoint(100, 50));
    EXPECT_TRUE(input->hasActiveCharacters());
    a->setState(4); // removed at once
    EXPECT_EQ(input->characters()->count(), 1u);
    EXPECT_FALSE(input->hasActiveCharacters());
    EXPECT_EQ(input->charactersCenter(), CCPoint(100, 50));
    b->setState(5);
    EXPECT_EQ(input->characters()->count(), 0u);
    EXPECT_FALSE(input->hasActiveCharacters()) << "an emptied list is game over, not 'before'";

    input->removeAllCharacters();
    EXPECT_TRUE(input->hasActiveCharacters());
}

TEST_F(InputControllerTest, KillingAllCharactersClearsPowerupsFirstAndSurvivesRemovals)
{
    FakeCharacter* second = FakeCharacter::create();
    input->addCharacter(second);
    input->killAllCharacters();
    EXPECT_EQ(hero->calls, (std::vector<std::string>{"clearPowerups", "state 4", "state 5"}));
    EXPECT_EQ(second->calls, (std::vector<std::string>{"clearPowerups", "state 4", "state 5"}));
    EXPECT_EQ(input->characters()->count(), 0u);
    EXPECT_FALSE(input->hasActiveCharacters());
}

// A wheel on a revolute motor joint, as a linker makes it.
class MotorJointTest : public InputControllerTest {
protected:
    void SetUp() override
    {
        InputControllerTest::SetUp();
        world.SetDestructionListener(&listener);
        b2BodyDef groundDef;
        ground = world.CreateBody(&groundDef);
        b2BodyDef wheelDef;
        wheelDef.type = b2_dynamicBody;
        wheel = world.CreateBody(&wheelDef);
        b2CircleShape circle;
        circle.m_radius = 1.0f;
        wheel->CreateFixture(&circle, 1.0f);
        b2RevoluteJointDef def;
        def.Initialize(ground, wheel, b2Vec2(0, 0));
        def.enableMotor = true;
        def.maxMotorTorque = 200.0f;
        joint = static_cast<b2RevoluteJoint*>(world.CreateJoint(&def));
        input->registerMotorJoint(joint, 2.5f);
    }

    struct Forget : b2DestructionListener {
        void SayGoodbye(b2Joint* joint) override { ZqPInputController::shared()->forgetJoint(joint); }
        void SayGoodbye(b2Fixture*) override {}
    } listener;
    b2World world{b2Vec2(0, -10)};
    b2Body* ground = nullptr;
    b2Body* wheel = nullptr;
    b2RevoluteJoint* joint = nullptr;
};

TEST_F(MotorJointTest, MotorActionsTurnTheJointBothWaysAndStopOnRelease)
{
    input->actionBegin(ZqPInputController::kMotorClockwise, nullptr);
    EXPECT_EQ(joint->GetMotorSpeed(), -2.5f);
    for (int i = 0; i < 30; ++i)
        world.Step(1.0f / 60.0f, 6, 6);
    EXPECT_LT(wheel->GetAngularVelocity(), -1.0f) << "clockwise is a negative Box2D angle";
    input->actionEnd(ZqPInputController::kMotorClockwise, nullptr);
    EXPECT_EQ(joint->GetMotorSpeed(), 0.0f);
    input->holdBegin(ZqPInputController::kMotorCounterClockwise, kKeyRight);
    EXPECT_EQ(joint->GetMotorSpeed(), 2.5f);
    input->holdEnd(ZqPInputController::kMotorCounterClockwise, kKeyRight);
    EXPECT_EQ(joint->GetMotorSpeed(), 0.0f);
}

TEST_F(MotorJointTest, AJointDestroyedWithItsBodyIsForgotten)
{
    EXPECT_EQ(input->motorJointCount(), 1u);
    world.DestroyBody(wheel);
    EXPECT_EQ(input->motorJointCount(), 0u);
    // Under ASan a kept joint would be a use after free here.
    input->actionBegin(ZqPInputController::kMotorClockwise, nullptr);
    input->actionEnd(ZqPInputController::kMotorClockwise, nullptr);
}

} // namespace
