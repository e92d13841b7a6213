// What a UI screen does as it shows: its music, the window-mode buttons, the name it
// reports, and the advertising counted per showing.
#include "ui_screen_support.h"

#include "app/ZqServices.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqPObjectImage.h"
#include "objects/ZqPObjectManipulator.h"
#include "screens/buttons/ZqPObjectButtonJoystick.h"

namespace {

using namespace cocos2d;

using UiScreenShowTest = UiScreenTest;

TEST_F(UiScreenShowTest, OnlyTheStartScreenPlaysNoMusic)
{
    auto music = ZqModelSound::create();
    start->screen()->setMusic(music);
    auto almost = graph.menu("ZqPScreenStartX");
    almost->screen()->setMusic(music);
    director->runWithScene(ZqPScreenNavigator::shared()->sceneContainer());
    frame();
    EXPECT_EQ(ZqScreenMusic::shared().current(), nullptr) << "the start screen's music waits";
    show("ZqPScreenStartX");
    EXPECT_EQ(ZqScreenMusic::shared().current(), music);

    // A screen without music keeps the track.
    show("Menu");
    EXPECT_EQ(ZqScreenMusic::shared().current(), music);
}

TEST_F(UiScreenShowTest, WindowModeButtonsFollowTheSavedFlagAndSwap)
{
    std::vector<std::pair<int, intptr_t>> posted;
    ZqServices::shared()->setPoster([&](int message, intptr_t parameter) { posted.emplace_back(message, parameter); });
    button(*menu, "Full", "kFullscreen", CCPoint(100, 100));
    button(*menu, "Window", "kWindowed", CCPoint(300, 100));
    auto lonely = graph.menu("Lonely");
    button(*lonely, "Window", "kWindowed", CCPoint(300, 100));

    ZqPScreenUi* screen = show("Menu");
    ZqPObjectButton* full = screen->findButton(kButtonFullscreen);
    ZqPObjectButton* windowed = screen->findButton(kButtonWindowed);
    EXPECT_TRUE(full->isVisible());
    EXPECT_FALSE(windowed->isVisible());
    touch(100, 100);
    EXPECT_FALSE(full->isVisible());
    EXPECT_TRUE(windowed->isVisible());
    EXPECT_TRUE(ZqPSettingsController::shared()->isFullscreen());
    touch(300, 100);
    EXPECT_TRUE(full->isVisible());
    EXPECT_FALSE(ZqPSettingsController::shared()->isFullscreen());
    EXPECT_EQ(posted, (std::vector<std::pair<int, intptr_t>>{{1024, 1}, {1024, 0}}));

    // A screen with one of the two buttons switches all the same.
    ZqPSettingsController::shared()->setFullscreen(true);
    screen = show("Lonely");
    EXPECT_TRUE(screen->findButton(kButtonWindowed)->isVisible());
    touch(300, 100);
    screen->goFullscreen();
    EXPECT_TRUE(ZqPSettingsController::shared()->isFullscreen());
    EXPECT_EQ(posted.size(), 4u);
    ZqServices::shared()->setPoster({});
}

TEST_F(UiScreenShowTest, TheLastInterfaceNodeOfTheScreenNamesItsReports)
{
    menu->setName("Main Menu");
    auto twin = ZqNodeUI::create();
    twin->setName("Twin");
    twin->addChild(menu->screen(), true);
    ZqModelController::shared()->addModel(twin);
    auto other = graph.menu("Other");
    other->setName("Elsewhere");
    start->setName("Loading");
    director->runWithScene(ZqPScreenNavigator::shared()->sceneContainer());
    frame();
    show("Menu");
    frame();
    EXPECT_EQ(shown()->reportedName(), "Twin");
    // Named at each report: a node renamed while its screen shows names the leaving.
    twin->setName("Twin Renamed");
    show("Other");
    // The start node is a class of its own, not an interface node: its screen is unnamed.
    const std::vector<std::string> expected = {"[ZqServices] Screen On Enter: Unknown", "[ZqServices] Screen On Exit: Unknown",
                                               "[ZqServices] Screen On Enter: Twin", "[ZqServices] Screen On Exit: Twin Renamed",
                                               "[ZqServices] Screen On Enter: Elsewhere"};
    std::vector<std::string> reports;
    for (const std::string& line : lines) {
        if (line.find("[ZqServices] Screen On") == 0)
            reports.push_back(line);
    }
    EXPECT_EQ(reports, expected);
}

TEST_F(UiScreenShowTest, AdsAreCountedPerShowingAtTheirFrequencies)
{
    ZqModelScreen& model = *menu->screen();
    model.m_adBanner->setValue("kAdMob", true);
    model.m_adInterstitial->setValue("kChartboost", true);
    model.m_adInterstitialsFrequency->setValue(3.0f, true);
    auto shop = graph.menu("Shop");
    for (int showing = 0; showing < 3; ++showing) {
        show("Menu");
        show("Shop");
    }
    EXPECT_EQ(linesWith("[Menu] banner: kAdMob interstitial: kChartboost"), 3);
    EXPECT_EQ(linesWith("[ZqAdController] show banner: kAdMob"), 3) << "frequency 1: every showing";
    EXPECT_EQ(linesWith("[ZqAdController] show interstitial: kChartboost"), 1) << "frequency 3: the third";
    EXPECT_EQ(model.interstitialCounter, 0);
    EXPECT_EQ(linesWith("[Shop] banner:  interstitial: "), 3);

    ZqPSettingsController::shared()->setAdsRemoved(true);
    lines.clear();
    show("Menu");
    EXPECT_EQ(linesWith("banner:"), 0) << "bought away";
}

} // namespace

namespace {

TEST_F(UiScreenShowTest, AManipulatorBecomesAJoystickAndNoTiltActsOverAMenu)
{
    auto stick = ZqModelObjectManipulator::create();
    stick->m_position->setValue(CCPoint(200, 150), true);
    menu->screen()->addChild(stick, true);
    // An accelerometer model is a manipulator too, but not exactly one: no joystick.
    menu->screen()->addChild(ZqModelObjectAccelerometer::create(), true);
    auto tilt = ZqModelObjectAccelerometer::create();
    ZqPObjectAccelerometer::shared()->setModel(tilt);

    ZqPScreenUi* screen = show("Menu");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(ZqPObjectAccelerometer::shared()->manipulatorModel(), nullptr);
    std::vector<ZqPObjectButtonJoystick*> sticks;
    CCArray* children = screen->uiLayer()->getChildren();
    for (unsigned i = 0; children && i < children->count(); ++i) {
        if (auto* joystick = dynamic_cast<ZqPObjectButtonJoystick*>(children->objectAtIndex(i)))
            sticks.push_back(joystick);
    }
    ASSERT_EQ(sticks.size(), 1u);
    EXPECT_EQ(sticks[0]->manipulatorModel(), stick);
    EXPECT_EQ(sticks[0]->getPosition(), CCPoint(200, 150));
}

} // namespace

namespace {

TEST_F(UiScreenShowTest, TheIdleLoopRestartsTheObjectsAfterTheOpeningAndEveryIdlePeriod)
{
    menu->screen()->m_idleAnimationLoop->setValue(true, true);
    menu->screen()->m_openAnimationFrames->setValue(15, true); // 0.5 s
    menu->screen()->m_idleAnimationFrames->setValue(30, true); // 1 s
    menu->screen()->addChild(ZqModelObjectImage::create(), true);
    auto still = graph.menu("Still");
    still->screen()->addChild(ZqModelObjectImage::create(), true);

    auto imageOf = [](ZqPScreenUi* screen) -> ZqPObjectImage* {
        for (CCObject* object : *screen->uiObjects()) {
            if (auto* image = dynamic_cast<ZqPObjectImage*>(object))
                return image;
        }
        return nullptr;
    };
    ZqPObjectImage* image = imageOf(show("Menu"));
    ASSERT_NE(image, nullptr);
    const float start = image->time();
    for (int i = 0; i < 24; ++i)
        frame(0.0125f); // 0.3 s
    EXPECT_NEAR(image->time() - start, 0.3f, 0.02f) << "not before the opening ends";
    for (int i = 0; i < 24; ++i)
        frame(0.0125f);
    EXPECT_NEAR(image->time(), 0.1f, 0.03f) << "restarted at 0.5 s";
    for (int i = 0; i < 80; ++i)
        frame(0.0125f); // 1.6 s
    EXPECT_NEAR(image->time(), 0.1f, 0.03f) << "and again at 1.5 s";

    ZqPObjectImage* stillImage = imageOf(show("Still"));
    ASSERT_NE(stillImage, nullptr);
    for (int i = 0; i < 160; ++i)
        frame(0.0125f);
    EXPECT_GT(stillImage->time(), 1.9f) << "without the loop the clock runs on";
}

} // namespace
