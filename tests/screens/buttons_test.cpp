// Buttons on a shown menu: presses by touch and by key reach their handlers, disabled
// buttons take nothing, invisible ones still take their keys, intervals, touch
// emulation, touches that pass a non-blocking button, releases after the screen went,
// and one back per Escape.
#include "ui_screen_support.h"

#include "attributes/ZqEditorKeys.h"

namespace {

using namespace cocos2d;

constexpr int kKeyJ = 'J';

// Hears control presses and releases, and touches below the buttons.
class Listener : public CCLayer {
public:
    std::vector<std::pair<int, CCObject*>> heard;
    int touchesBelow = 0;
    void pressed(CCObject* sender) { heard.emplace_back(11, sender); }
    void released(CCObject* sender) { heard.emplace_back(12, sender); }
    bool ccTouchBegan(CCTouch*, CCEvent*) override
    {
        ++touchesBelow;
        return true;
    }
};

using ButtonsTest = UiScreenTest;

TEST_F(ButtonsTest, TouchesAndKeysPressAndReleaseButtonsThroughTheirHandlers)
{
    button(*menu, "Jump", "kCharacterJumpButton", CCPoint(100, 100), kKeyJ);
    button(*menu, "Lever", "kInputControllerActionButton", CCPoint(300, 100));
    ZqPScreenUi* screen = show("Menu");
    ASSERT_NE(screen, nullptr);
    ZqPInputController* input = ZqPInputController::shared();

    touchDown(100, 100);
    EXPECT_TRUE(input->isHeld(5));
    touchUp(100, 100);
    EXPECT_FALSE(input->isHeld(5));

    EXPECT_TRUE(ZqPButtonKeys::keyDown(kKeyJ));
    EXPECT_TRUE(input->isHeld(5));
    EXPECT_TRUE(ZqPButtonKeys::keyUp(kKeyJ));
    EXPECT_FALSE(input->isHeld(5));
    EXPECT_FALSE(ZqPButtonKeys::keyDown('K')) << "no button takes another key";
    EXPECT_FALSE(ZqPButtonKeys::keyUp('K'));

    Listener* listener = new Listener();
    listener->autorelease();
    screen->addChild(listener);
    input->subscribe(11, listener, callfuncO_selector(Listener::pressed), 0);
    input->subscribe(12, listener, callfuncO_selector(Listener::released), 0);
    touch(300, 100);
    ZqPObjectButton* lever = screen->findButton(kButtonInputAction);
    EXPECT_EQ(listener->heard, (std::vector<std::pair<int, CCObject*>>{{11, lever}, {12, lever}}));
    EXPECT_EQ(linesWith("---------- register button with ID: "), 1);
    input->unsubscribe(listener);
}

TEST_F(ButtonsTest, DisabledButtonsTakeNothingAndInvisibleOnesStillTakeTheirKeys)
{
    button(*menu, "Hello", "kCustom", CCPoint(100, 100), kKeyJ);
    button(*menu, "Shortcut", "kCustom", CCPoint(300, 100), ZqEditorKey::kReturn)->m_hidden->setValue(true, true);
    ZqPScreenUi* screen = show("Menu");
    touch(100, 100);
    EXPECT_EQ(linesWith("Custom Button Activated: Hello"), 1);

    screen->setButtonsEnabled(false);
    EXPECT_FALSE(ZqPInputController::shared()->isEnabled());
    touch(100, 100);
    EXPECT_FALSE(ZqPButtonKeys::keyDown(kKeyJ));
    ZqPButtonKeys::keyUp(kKeyJ);
    EXPECT_EQ(linesWith("Custom Button Activated: Hello"), 1);

    screen->setButtonsEnabled(true);
    EXPECT_TRUE(ZqPButtonKeys::keyDown(kKeyJ));
    EXPECT_TRUE(ZqPButtonKeys::keyUp(kKeyJ));
    EXPECT_EQ(linesWith("Custom Button Activated: Hello"), 2);

    EXPECT_FALSE(screen->findButton(kButtonCustom)->isVisible() && screen->findButtons(kButtonCustom)[1]->isVisible());
    touch(300, 100);
    EXPECT_EQ(linesWith("Custom Button Activated: Shortcut"), 0) << "no touch on an invisible button";
    EXPECT_TRUE(ZqPButtonKeys::keyDown(ZqEditorKey::kReturn));
    EXPECT_TRUE(ZqPButtonKeys::keyUp(ZqEditorKey::kReturn));
    EXPECT_EQ(linesWith("Custom Button Activated: Shortcut"), 1);
}

TEST_F(ButtonsTest, IntervalsCountPressesAndTouchEmulationPressesOncePerRisingEdge)
{
    auto every = button(*menu, "Every Third", "kCustom", CCPoint(100, 100));
    every->m_interval->setValue(3.0f, true);
    every->resetInterval();
    auto emulated = button(*menu, "Emulated", "kCustom", CCPoint(300, 100));
    emulated->m_touchEmulation->setValue(0.6f, true);
    show("Menu");
    EXPECT_EQ(linesWith("Custom Button Activated: Emulated"), 1) << "pressed by the first update";
    frame();
    frame();
    EXPECT_EQ(linesWith("Custom Button Activated: Emulated"), 1) << "once per rising edge";
    emulated->m_touchEmulation->setValue(0.2f, true);
    frame();
    emulated->m_touchEmulation->setValue(0.5f, true);
    frame();
    EXPECT_EQ(linesWith("Custom Button Activated: Emulated"), 2);

    std::vector<int> fired;
    for (int press = 1; press <= 6; ++press) {
        const long before = linesWith("Custom Button Activated: Every Third");
        touch(100, 100);
        if (linesWith("Custom Button Activated: Every Third") > before)
            fired.push_back(press);
    }
    EXPECT_EQ(fired, (std::vector<int>{2, 5}));
}

TEST_F(ButtonsTest, ATouchOnANonBlockingButtonAlsoReachesTheControlsBelow)
{
    button(*menu, "Blocking", "kCustom", CCPoint(100, 100));
    button(*menu, "Open", "kCustom", CCPoint(300, 100))->m_blockTouch->setValue(false, true);
    ZqPScreenUi* screen = show("Menu");
    Listener* below = new Listener();
    below->autorelease();
    below->setTouchEnabled(true);
    screen->addChild(below);
    frame();

    touch(100, 100);
    EXPECT_EQ(below->touchesBelow, 0);
    EXPECT_EQ(linesWith("Custom Button Activated: Blocking"), 1);
    touch(300, 100);
    EXPECT_EQ(below->touchesBelow, 1);
    EXPECT_EQ(linesWith("Custom Button Activated: Open"), 1);
}

// A menu whose button "Shop", on Return, leads to the shop; the menu shown.
class KeyLinkTest : public ButtonsTest {
protected:
    void SetUp() override
    {
        ButtonsTest::SetUp();
        shop = graph.menu("Shop");
        button(*menu, "Shop", "", CCPoint(100, 100), ZqEditorKey::kReturn);
        FlowGraph::link(*menu, "Shop", *shop);
        show("Menu");
    }
    std::shared_ptr<ZqNodeUI> shop;
};

TEST_F(KeyLinkTest, AKeyReleasedAfterItsScreenWentReachesNothing)
{
    ASSERT_TRUE(ZqPButtonKeys::keyDown(ZqEditorKey::kReturn));
    // Another way to the shop while the key is held: the menu's screen is replaced and freed.
    show("Shop");
    frame();
    EXPECT_TRUE(ZqPButtonKeys::buttonsFor(ZqEditorKey::kReturn).empty());
    EXPECT_FALSE(ZqPButtonKeys::keyUp(ZqEditorKey::kReturn));
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu", "Shop"}));
}

TEST_F(KeyLinkTest, PressingAKeyLinkedButtonSwitchesScreens)
{
    ASSERT_TRUE(ZqPButtonKeys::keyDown(ZqEditorKey::kReturn));
    ASSERT_TRUE(ZqPButtonKeys::keyUp(ZqEditorKey::kReturn));
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu", "Shop"}));
    frame();
    EXPECT_EQ(ZqPScreen::runningScreen(), shown());
    EXPECT_EQ(shown()->screenModel(), shop->screen());
}

TEST_F(ButtonsTest, OneEscapeRunsOneBack)
{
    auto shop = graph.menu("Shop");
    auto cart = graph.menu("Cart");
    show("Menu");
    show("Shop");
    show("Cart");
    ASSERT_EQ(history().size(), 4u);
    director->getKeypadDispatcher()->dispatchKeypadMSG(kTypeBackClicked);
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu", "Shop"}));
    EXPECT_EQ(linesWith("[ZqPScreenUi] keyBackClicked"), 1);
    frame();
    EXPECT_EQ(ZqPScreen::runningScreen(), shown());
    director->getKeypadDispatcher()->dispatchKeypadMSG(kTypeBackClicked);
    frame();
    director->getKeypadDispatcher()->dispatchKeypadMSG(kTypeBackClicked);
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu"})) << "never back to loading";
}

} // namespace
