// Controls that speak to the input controller's subscribers, built by a shown menu's UI
// build: the swipe control, the switch button and control buttons; and the sound button's
// two looks.
#include "shop_media_support.h"
#include "ui_screen_support.h"

#include "app/ZqPSettingsController.h"

#include "common/ZqClock.h"
#include "components/ZqControlEvent.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "objects/ZqSwitchStates.h"
#include "screens/buttons/ZqPObjectButtonSwitch.h"
#include "screens/ZqPObjectSwipeControl.h"

namespace {

using namespace cocos2d;
using Heard = std::vector<std::pair<int, CCObject*>>;

// Writes each call of action's subscribers, with its argument, into heard.
class Subscriber : public CCObject {
public:
    Subscriber(int action, Heard& heard) : m_action(action), m_heard(heard)
    {
        ZqPInputController::shared()->subscribe(action, this, callfuncO_selector(Subscriber::hear), 0);
    }
    ~Subscriber() override { ZqPInputController::unsubscribeFromShared(this); }
    void hear(CCObject* argument) { m_heard.emplace_back(m_action, argument); }

private:
    int m_action;
    Heard& m_heard;
};

// A component's view: what its event text binds, from the senders it accepts.
class Bound : public CCObject {
public:
    explicit Bound(const std::string& text) : m_event(ZqControlEvent::parse(text))
    {
        m_event.bind(this, callfuncO_selector(Bound::on), callfuncO_selector(Bound::off));
    }
    ~Bound() override { ZqPInputController::unsubscribeFromShared(this); }
    void on(CCObject* sender) { heard.push_back(m_event.acceptsSender(sender) ? "on" : "refused"); }
    void off(CCObject* sender) { heard.push_back(m_event.acceptsSender(sender) ? "off" : "refused"); }
    std::vector<std::string> heard;

private:
    ZqControlEvent m_event;
};

class ControlsTest : public UiScreenTest {
protected:
    void SetUp() override
    {
        UiScreenTest::SetUp();
        ZqSwitchStates::clear();
        zqSetClockTicks(int64_t{16'000'000'000'000'000});
        FlowGraph::link(*menu, "Next", *graph.menu("Other"));
    }

    void TearDown() override
    {
        zqSetClockTicks(std::nullopt);
        ZqSwitchStates::clear();
        UiScreenTest::TearDown();
    }

    static void advance(double seconds) { zqSetClockTicks(zqClockTicks() + static_cast<int64_t>(seconds * 1e7)); }

    // Touch 0 in view coordinates (y down): 'b'egan, 'm'oved, 'e'nded or 'c'ancelled.
    void viewTouch(char phase, float x, float y)
    {
        const int ids[] = {0};
        const float xs[] = {x};
        const float ys[] = {y};
        CCTouchDispatcher* touches = director->getTouchDispatcher();
        phase == 'b'   ? touches->handleTouchesBegin(1, ids, xs, ys)
        : phase == 'm' ? touches->handleTouchesMove(1, ids, xs, ys)
        : phase == 'e' ? touches->handleTouchesEnd(1, ids, xs, ys)
                       : touches->handleTouchesCancel(1, ids, xs, ys);
    }
    // One finger from (x, y) to (x + dx, y + dy), lifted after.
    void stroke(float x, float y, float dx, float dy)
    {
        viewTouch('b', x, y);
        viewTouch('m', x + dx, y + dy);
        viewTouch('e', x + dx, y + dy);
    }
};

TEST_F(ControlsTest, ASwipeReportsOneDirectionPerTouchWithinHalfASecond)
{
    // Over the left half of the view, view column 0 included.
    auto model = ZqModelObjectSwipeControl::create();
    model->setName("Swiper");
    model->setPosition(CCPoint(0, 160));
    model->setScale(CCPoint(4.8f, 3.2f));
    menu->screen()->addChild(model, true);
    ZqPScreenUi* screen = show("Menu");
    auto* swipe = dynamic_cast<ZqPObjectSwipeControl*>(screen->uiLayer()->getChildren()->lastObject());
    ASSERT_NE(swipe, nullptr);
    Heard heard;
    Subscriber left(13, heard), right(14, heard), up(15, heard), down(16, heard);
    Bound swipeRight("kSwipe-Swiper-1");

    viewTouch('b', 100, 100);
    advance(0.4);
    viewTouch('m', 140, 140);
    viewTouch('m', 180, 180);
    viewTouch('e', 180, 180);
    EXPECT_EQ(heard, (Heard{{14, swipe}})) << "x first, one a touch";
    EXPECT_EQ(swipeRight.heard, (std::vector<std::string>{"on"})) << "a component bound to it takes it";

    heard.clear();
    stroke(200, 100, -31, 0);
    stroke(100, 100, 0, 31);
    stroke(0, 100, 0, -40);
    EXPECT_EQ(heard, (Heard{{13, swipe}, {16, swipe}, {15, swipe}}));

    heard.clear();
    viewTouch('b', 100, 100);
    advance(0.6);
    viewTouch('m', 140, 100);
    EXPECT_FALSE(swipe->isSwiping()) << "too slow: the swipe is over";
    viewTouch('e', 140, 100);
    viewTouch('b', 100, 100);
    viewTouch('c', 100, 100);
    stroke(400, 100, 40, 0); // outside the area
    EXPECT_TRUE(heard.empty());

    // The screen that goes takes its swipe control out of the touch dispatcher.
    show("Other");
    frame();
    stroke(100, 100, 40, 0);
    EXPECT_TRUE(heard.empty());
}

TEST_F(ControlsTest, ASwitchTogglesTheSubscribersOnPressesOnlyAndRemembersItsState)
{
    ShopMedia media;
    auto model = ZqModelObjectButtonSwitch::create();
    model->m_image->setValue(media.image(), true);
    model->m_position->setValue(CCPoint(300, 100), true);
    menu->screen()->addChild(model, true);
    ZqPScreenUi* screen = show("Menu");
    auto* lever = dynamic_cast<ZqPObjectButtonSwitch*>(screen->findButton(kButtonInputAction));
    ASSERT_NE(lever, nullptr);
    Heard heard;
    Subscriber on(11, heard), off(12, heard);

    touchDown(300, 100);
    EXPECT_FALSE(ZqPInputController::shared()->isHeld(11)) << "the screen's press handler does not run";
    touchUp(300, 100);
    CCNode* look = lever->getNormalImage();
    touch(300, 100);
    touch(300, 100);
    EXPECT_EQ(heard, (Heard{{12, lever}, {11, lever}, {12, lever}}));
    frame();
    EXPECT_EQ(lever->getNormalImage(), look) << "one look, on or off";
    EXPECT_EQ(static_cast<CCSprite*>(look)->getColor().r, 255) << "not dimmed";

    heard.clear();
    show("Other");
    lever = dynamic_cast<ZqPObjectButtonSwitch*>(show("Menu")->findButton(kButtonInputAction));
    ASSERT_NE(lever, nullptr);
    EXPECT_FALSE(lever->isOn()) << "a rebuilt switch continues from its state";
    touch(300, 100);
    EXPECT_EQ(heard, (Heard{{11, lever}}));
}

TEST_F(ControlsTest, AControlButtonPressesAndReleasesAsItselfOnlyWithTheInputAction)
{
    auto control = ZqModelObjectButtonControl::create();
    control->setName("Pusher");
    control->m_action->setValue("kInputControllerActionButton", true);
    control->m_position->setValue(CCPoint(100, 100), true);
    menu->screen()->addChild(control, true);
    auto idle = ZqModelObjectButtonControl::create();
    idle->setName("Idle");
    idle->m_position->setValue(CCPoint(500, 100), true);
    menu->screen()->addChild(idle, true);
    button(*menu, "Pusher", "kCustom", CCPoint(300, 100)); // a plain button of that name
    show("Menu");
    Bound bound("kButton-Pusher-0");
    Bound unbound("kButton-Idle-0");

    touch(500, 100);
    EXPECT_TRUE(unbound.heard.empty()) << "a control button without the input action presses nothing";
    touchDown(100, 100);
    EXPECT_EQ(bound.heard, (std::vector<std::string>{"on"}));
    touchUp(100, 100);
    touch(300, 100);
    EXPECT_EQ(bound.heard, (std::vector<std::string>{"on", "off"})) << "a plain button is no control";
    EXPECT_EQ(linesWith("---------- register button with ID: "), 1);
}

TEST_F(ControlsTest, ASoundButtonWithOneImageDimsItWhileTheSoundIsOff)
{
    ShopMedia media;
    auto model = ZqModelObjectButtonSoundControl::create();
    model->m_image->setValue(media.image(), true);
    model->m_position->setValue(CCPoint(300, 100), true);
    menu->screen()->addChild(model, true);
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->setBackgroundSoundMuted(false);
    settings->setEffectsSoundMuted(false);
    ZqPScreenUi* screen = show("Menu");
    ZqPObjectButtonSound* sound = nullptr;
    for (ZqPObjectButton* button : screen->allButtons())
        sound = sound ? sound : dynamic_cast<ZqPObjectButtonSound*>(button);
    ASSERT_NE(sound, nullptr);
    auto shade = [&] { return static_cast<CCSprite*>(sound->getNormalImage())->getColor().r; };
    EXPECT_EQ(shade(), 255);

    touch(300, 100);
    frame();
    EXPECT_TRUE(settings->isBackgroundSoundMuted() && settings->isEffectsSoundMuted());
    EXPECT_TRUE(sound->isMutedShown());
    EXPECT_LT(shade(), 255);
    // One kind of sound on again, from elsewhere: the button shows sound on.
    settings->setEffectsSoundMuted(false);
    frame();
    EXPECT_FALSE(sound->isMutedShown());
    EXPECT_EQ(shade(), 255);
}

} // namespace
