// The on-screen joystick: its touch area, relative and absolute steering, lifting and
// cancelling, rotation, and its release from the touch dispatcher with its screen.
#include "app/ZqPSettingsController.h"
#include "app/ZqPInputController.h"
#include "common/ZqLog.h"
#include "model/ZqModelIdentity.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "screens/buttons/ZqPObjectButtonJoystick.h"
#include "screens/ZqPScreen.h"
#include "model/scene/ZqModelScreen.h"

#include "engine/director/DirectorFixture.h"
#include "field_pilot.h"

#include <string>
#include <vector>

using namespace cocos2d;

namespace {

// A character that records the steering it is given.
class SteeredCharacter : public field_test::Pilot {
public:
    static SteeredCharacter* create()
    {
        auto* character = new SteeredCharacter();
        character->autorelease();
        return character;
    }
    void setMoveDirection(float x, float y) override { directions.push_back(CCPoint(x, y)); }
    void applyJoystick(float x, float y) override { joysticks.push_back(CCPoint(x, y)); }

    std::vector<CCPoint> directions;
    std::vector<CCPoint> joysticks;
};

// A lower-priority touch handler that records what reaches it.
class Bystander : public CCObject, public CCTouchDelegate {
public:
    bool ccTouchBegan(CCTouch*, CCEvent*) override
    {
        ++began;
        return true;
    }
    int began = 0;
};

class JoystickTest : public DirectorFixture {
protected:
    void SetUp() override
    {
        DirectorFixture::SetUp();
        runScene();
        character = SteeredCharacter::create();
        ZqPInputController::shared()->addCharacter(character);
    }

    void TearDown() override
    {
        ZqPInputController::purgeShared();
        DirectorFixture::TearDown();
    }

    // A joystick at (100, 100) of the scene: a 100 x 100 area from (50, 50) to (150, 150).
    ZqPObjectButtonJoystick* makeJoystick(const char* style, float rotation = 0.0f, float sensitivity = 1.0f)
    {
        auto model = zqCreateModel<ZqModelObjectManipulator>("Joystick");
        model->m_position->setValue(CCPoint(100.0f, 100.0f));
        model->m_rotation->setValue(rotation);
        model->m_sensitivity->setValue(sensitivity);
        model->m_controlStyle->setValue(style);
        ZqPObjectButtonJoystick* joystick = ZqPObjectButtonJoystick::create(model);
        director->getRunningScene()->addChild(joystick);
        joysticks.push_back(joystick);
        return joystick;
    }

    void removeJoysticks()
    {
        for (ZqPObjectButtonJoystick* joystick : joysticks)
            director->getTouchDispatcher()->removeDelegate(joystick);
        joysticks.clear();
    }

    // Touch 0 at a scene point (y up); the view's y runs down from the top.
    void touch(const char* phase, float x, float y)
    {
        int id = 0;
        float xs[] = {x};
        float ys[] = {view.getFrameSize().height - y};
        CCTouchDispatcher* dispatcher = director->getTouchDispatcher();
        std::string p = phase;
        if (p == "began")
            dispatcher->handleTouchesBegin(1, &id, xs, ys);
        else if (p == "moved")
            dispatcher->handleTouchesMove(1, &id, xs, ys);
        else if (p == "ended")
            dispatcher->handleTouchesEnd(1, &id, xs, ys);
        else
            dispatcher->handleTouchesCancel(1, &id, xs, ys);
    }

    static void expectPoint(const CCPoint& actual, float x, float y)
    {
        EXPECT_NEAR(actual.x, x, 1e-4f);
        EXPECT_NEAR(actual.y, y, 1e-4f);
    }

    SteeredCharacter* character = nullptr;
    std::vector<ZqPObjectButtonJoystick*> joysticks;
};

TEST_F(JoystickTest, TouchOutsideTheAreaIsNotClaimedAndReachesOtherHandlers)
{
    makeJoystick("kControlStyleRelative");
    auto* bystander = new Bystander();
    director->getTouchDispatcher()->addTargetedDelegate(bystander, 1, true);

    touch("began", 160.0f, 100.0f); // 10 points right of the area
    touch("moved", 200.0f, 100.0f);
    EXPECT_EQ(bystander->began, 1);
    EXPECT_TRUE(character->directions.empty());

    touch("ended", 200.0f, 100.0f);
    touch("began", 140.0f, 60.0f); // inside, near a corner: the joystick swallows it
    EXPECT_EQ(bystander->began, 1);

    director->getTouchDispatcher()->removeDelegate(bystander);
    bystander->release();
    removeJoysticks();
}

TEST_F(JoystickTest, RelativeControlHoldsTheOffsetFromTheStartUntilLiftedOrCancelled)
{
    makeJoystick("kControlStyleRelative");
    touch("began", 100.0f, 100.0f);
    touch("moved", 150.0f, 100.0f);
    ASSERT_EQ(character->directions.size(), 1u);
    expectPoint(character->directions.back(), 0.5f, 0.0f);
    touch("moved", 100.0f, 150.0f);
    expectPoint(character->directions.back(), 0.0f, 0.5f);
    touch("ended", 100.0f, 150.0f);
    expectPoint(character->directions.back(), 0.0f, 0.0f);

    // A cancelled touch (the window lost focus) lets go like a lifted one.
    touch("began", 90.0f, 90.0f);
    touch("moved", 40.0f, 90.0f);
    expectPoint(character->directions.back(), -0.5f, 0.0f);
    touch("cancelled", 40.0f, 90.0f);
    expectPoint(character->directions.back(), 0.0f, 0.0f);
    EXPECT_TRUE(character->joysticks.empty());
    removeJoysticks();
}

TEST_F(JoystickTest, AbsoluteControlPassesEachStepScaledBySensitivity)
{
    makeJoystick("kControlStyleAbsolute", 0.0f, 2.0f);
    touch("began", 100.0f, 100.0f);
    touch("moved", 110.0f, 95.0f);
    ASSERT_EQ(character->joysticks.size(), 1u);
    expectPoint(character->joysticks.back(), 2.0f, -1.0f); // 2 x (10, -5) x 0.1
    touch("moved", 110.0f, 95.0f);                          // no movement: a zero step
    expectPoint(character->joysticks.back(), 0.0f, 0.0f);
    touch("ended", 110.0f, 95.0f);
    expectPoint(character->directions.back(), 0.0f, 0.0f);
    removeJoysticks();
}

TEST_F(JoystickTest, RotationTurnsEveryMovement)
{
    makeJoystick("kControlStyleRelative", 90.0f);
    touch("began", 100.0f, 100.0f);
    touch("moved", 150.0f, 100.0f);
    expectPoint(character->directions.back(), 0.0f, 0.5f);
    touch("ended", 150.0f, 100.0f);
    removeJoysticks();
}

TEST_F(JoystickTest, LogsWhereEachTouchCameDownInItsSpace)
{
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.push_back(line); });
    makeJoystick("kControlStyleRelative");
    touch("began", 120.0f, 90.0f);
    touch("ended", 120.0f, 90.0f);
    zqSetLogSink(nullptr);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "location :20.000000 -10.000000 ");
    removeJoysticks();
}

// A screen with a joystick in its UI layer.
class JoystickScreen : public ZqPScreen {
public:
    JoystickScreen() : ZqPScreen(zqCreateModel<ZqModelScreen>("Controls")) {}
};

TEST_F(JoystickTest, ReplacedScreenFreesItsJoystick)
{
    ZqPSettingsController::shared(); // a showing screen asks it about ads
    const long before = CCObject::liveObjectCount();
    auto* screen = new JoystickScreen();
    screen->init();
    screen->autorelease();
    auto model = zqCreateModel<ZqModelObjectManipulator>("Joystick");
    screen->uiLayer()->addChild(ZqPObjectButtonJoystick::create(model));
    CCScene* container = CCScene::create();
    container->addChild(screen, 0, 0);
    director->replaceScene(container);
    frame();
    ASSERT_GT(CCObject::liveObjectCount(), before);

    director->replaceScene(CCScene::create());
    frame();
    frame();
    // The old running scene of the fixture went too; the new one is made by the test.
    EXPECT_EQ(CCObject::liveObjectCount(), before);
    ZqPSettingsController::purgeShared();
}

} // namespace
