// Controls that speak to the input controller's subscribers: the swipe control, the switch
// button and control buttons, built by a shown menu's UI build.
#include "ui_screen_support.h"

#include "app/ZqObjectModelHolder.h"
#include "common/ZqClock.h"
#include "components/ZqControlEvent.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "objects/ZqSwitchStates.h"
#include "screens/ZqPObjectButtonSwitch.h"
#include "screens/ZqPObjectSwipeControl.h"

namespace {

using namespace cocos2d;

constexpr int64_t kTicksPerSecond = 10'000'000;

// Hears the control and swipe actions of every sender.
class Listener : public CCObject {
public:
    Listener()
    {
        ZqPInputController* input = ZqPInputController::shared();
        input->subscribe(11, this, callfuncO_selector(Listener::heard11), 0);
        input->subscribe(12, this, callfuncO_selector(Listener::heard12), 0);
        input->subscribe(13, this, callfuncO_selector(Listener::heard13), 0);
        input->subscribe(14, this, callfuncO_selector(Listener::heard14), 0);
        input->subscribe(15, this, callfuncO_selector(Listener::heard15), 0);
        input->subscribe(16, this, callfuncO_selector(Listener::heard16), 0);
    }
    ~Listener() override { ZqPInputController::unsubscribeFromShared(this); }

    void heard11(CCObject* sender) { heard.emplace_back(11, sender); }
    void heard12(CCObject* sender) { heard.emplace_back(12, sender); }
    void heard13(CCObject* sender) { heard.emplace_back(13, sender); }
    void heard14(CCObject* sender) { heard.emplace_back(14, sender); }
    void heard15(CCObject* sender) { heard.emplace_back(15, sender); }
    void heard16(CCObject* sender) { heard.emplace_back(16, sender); }

    std::vector<std::pair<int, CCObject*>> heard;
};

// What a component bound to an event text hears: activations and deactivations from the
// senders it accepts.
class BoundListener : public CCObject {
public:
    explicit BoundListener(const std::string& text) : event(ZqControlEvent::parse(text))
    {
        event.bind(this, callfuncO_selector(BoundListener::activate), callfuncO_selector(BoundListener::deactivate));
    }
    ~BoundListener() override { ZqPInputController::unsubscribeFromShared(this); }

    void activate(CCObject* sender) { heard.push_back(event.acceptsSender(sender) ? "on" : "refused"); }
    void deactivate(CCObject* sender) { heard.push_back(event.acceptsSender(sender) ? "off" : "refused"); }

    ZqControlEvent event;
    std::vector<std::string> heard;
};

class ControlsTest : public UiScreenTest {
protected:
    void SetUp() override
    {
        UiScreenTest::SetUp();
        ZqSwitchStates::clear();
        zqSetClockTicks(int64_t{16'000'000'000'000'000});
        other = graph.menu("Other");
        FlowGraph::link(*menu, "Next", *other);
    }

    void TearDown() override
    {
        zqSetClockTicks(std::nullopt);
        ZqSwitchStates::clear();
        UiScreenTest::TearDown();
    }

    static void advance(double seconds)
    {
        zqSetClockTicks(zqClockTicks() + static_cast<int64_t>(seconds * kTicksPerSecond));
    }

    // Touch 0 in view coordinates (y down from the top).
    void viewTouch(const std::string& phase, float x, float y)
    {
        const int ids[] = {0};
        const float xs[] = {x};
        const float ys[] = {y};
        CCTouchDispatcher* touches = director->getTouchDispatcher();
        if (phase == "began")
            touches->handleTouchesBegin(1, ids, xs, ys);
        else if (phase == "moved")
            touches->handleTouchesMove(1, ids, xs, ys);
        else if (phase == "ended")
            touches->handleTouchesEnd(1, ids, xs, ys);
        else
            touches->handleTouchesCancel(1, ids, xs, ys);
    }

    // A swipe control on the menu covering the left half of the view, view x 0 included.
    void addSwipe()
    {
        auto swipe = ZqModelObjectSwipeControl::create();
        swipe->setName("Swiper");
        swipe->setPosition(CCPoint(0, 160));
        swipe->setScale(CCPoint(4.8f, 3.2f));
        menu->screen()->addChild(swipe, true);
    }

    ZqPObjectSwipeControl* swipeOf(ZqPScreen* screen) const
    {
        for (CCObject* child : *screen->uiLayer()->getChildren()) {
            if (auto* swipe = dynamic_cast<ZqPObjectSwipeControl*>(child))
                return swipe;
        }
        return nullptr;
    }

    std::shared_ptr<ZqNodeUI> other;
};

TEST_F(ControlsTest, ASwipeReportsOneDirectionPerTouchWithinHalfASecond)
{
    addSwipe();
    ZqPScreenUi* screen = show("Menu");
    ZqPObjectSwipeControl* swipe = swipeOf(screen);
    ASSERT_NE(swipe, nullptr);
    EXPECT_EQ(ZqObjectModelHolder::modelOf(swipe)->name(), "Swiper");
    Listener listener;
    BoundListener swipeRight("kSwipe-Swiper-1");

    viewTouch("began", 100, 100);
    advance(0.4);
    viewTouch("moved", 140, 140);
    viewTouch("moved", 180, 180);
    viewTouch("ended", 180, 180);
    EXPECT_EQ(listener.heard, (std::vector<std::pair<int, CCObject*>>{{14, swipe}})) << "x first, one a touch";
    EXPECT_EQ(swipeRight.heard, (std::vector<std::string>{"on"})) << "a component bound to it takes it";

    listener.heard.clear();
    viewTouch("began", 200, 100);
    viewTouch("moved", 169, 100);
    viewTouch("ended", 169, 100);
    viewTouch("began", 100, 100);
    viewTouch("moved", 100, 131);
    viewTouch("ended", 100, 131);
    viewTouch("began", 0, 100); // on view column 0
    viewTouch("moved", 0, 60);
    viewTouch("ended", 0, 60);
    EXPECT_EQ(listener.heard, (std::vector<std::pair<int, CCObject*>>{{13, swipe}, {16, swipe}, {15, swipe}}));

    listener.heard.clear();
    viewTouch("began", 100, 100);
    advance(0.6);
    viewTouch("moved", 140, 100);
    EXPECT_FALSE(swipe->isSwiping()) << "too slow: the swipe is over";
    viewTouch("ended", 140, 100);
    viewTouch("began", 100, 100);
    viewTouch("cancelled", 100, 100);
    EXPECT_FALSE(swipe->isSwiping()) << "a cancelled touch ends it";
    viewTouch("began", 400, 100); // outside the area
    EXPECT_FALSE(swipe->isSwiping());
    viewTouch("ended", 400, 100);
    EXPECT_TRUE(listener.heard.empty());

    // The screen that goes takes its swipe control out of the touch dispatcher.
    show("Other");
    frame();
    viewTouch("began", 100, 100);
    viewTouch("moved", 140, 100);
    viewTouch("ended", 140, 100);
    EXPECT_TRUE(listener.heard.empty());
}

TEST_F(ControlsTest, ASwitchTogglesTheSubscribersOnPressesOnlyAndRemembersItsState)
{
    auto model = ZqModelObjectButtonSwitch::create();
    model->setName("Lever");
    model->m_position->setValue(CCPoint(300, 100), true);
    menu->screen()->addChild(model, true);
    ZqPScreenUi* screen = show("Menu");
    auto* lever = dynamic_cast<ZqPObjectButtonSwitch*>(screen->findButton("kInputControllerActionButton"));
    ASSERT_NE(lever, nullptr);
    EXPECT_TRUE(lever->isOn());
    Listener listener;

    touchDown(300, 100);
    EXPECT_FALSE(ZqPInputController::shared()->isHeld(11)) << "the screen's press handler does not run";
    touchUp(300, 100);
    touch(300, 100);
    touch(300, 100);
    EXPECT_EQ(listener.heard, (std::vector<std::pair<int, CCObject*>>{{12, lever}, {11, lever}, {12, lever}}));
    EXPECT_FALSE(lever->isOn());

    listener.heard.clear();
    show("Other");
    screen = show("Menu");
    lever = dynamic_cast<ZqPObjectButtonSwitch*>(screen->findButton("kInputControllerActionButton"));
    ASSERT_NE(lever, nullptr);
    EXPECT_FALSE(lever->isOn()) << "a rebuilt switch continues from its state";
    touch(300, 100);
    EXPECT_EQ(listener.heard, (std::vector<std::pair<int, CCObject*>>{{11, lever}}));
}

TEST_F(ControlsTest, AControlButtonOfAnyActionPressesAndReleasesAsItself)
{
    auto control = ZqModelObjectButtonControl::create();
    control->setName("Pusher");
    control->m_position->setValue(CCPoint(100, 100), true);
    menu->screen()->addChild(control, true);
    button(*menu, "Pusher", "kCustom", CCPoint(300, 100)); // a plain button of that name
    show("Menu");
    BoundListener bound("kButton-Pusher-0");

    touchDown(100, 100);
    EXPECT_EQ(bound.heard, (std::vector<std::string>{"on"}));
    touchUp(100, 100);
    EXPECT_EQ(bound.heard, (std::vector<std::string>{"on", "off"}));
    touch(300, 100);
    EXPECT_EQ(bound.heard.size(), 2u) << "a plain button is no control";
    EXPECT_EQ(linesWith("---------- register button with ID: "), 1);
}

} // namespace
