// The sample in windows of other shapes than its design, as a desktop resizes them: every
// screen keeps each of its objects inside the window, every button is pressed by the
// mouse where it is drawn, and the window does not shrink below its minimum. Screens are
// reached by clicks on their buttons, at the places the window shows them.
#include "screens/program/sample_fixture.h"

#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelLabel.h"
#include "screens/buttons/ZqPButtonMenu.h"
#include "screens/buttons/ZqPObjectButton.h"
#include "objects/ZqPObjectText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

namespace {

using cocos2d::CCPoint;
using cocos2d::CCRect;

struct WindowShape {
    int width, height;
    // What the window becomes: a smaller one than the minimum is enlarged.
    int shownWidth, shownHeight;
};
// Wider, wider still and lower, taller than the design; and below the minimum.
constexpr WindowShape kShapes[] = {
    {1800, 500, 1800, 500}, {1600, 400, 1600, 400}, {600, 900, 600, 900}, {300, 200, 568, 320}};
// The smallest button side, in window pixels, that a mouse still hits without aiming hard.
constexpr float kSmallestButton = 24.0f;

class SampleWindowTest : public SampleFixture {
protected:
    // A rectangle of the scene (design points, y up) in window pixels (y down).
    CCRect inWindow(const CCRect& points)
    {
        const cocos2d::CCEGLViewSDL& view = player.view();
        const CCRect& port = view.getViewPortRect();
        const float x = port.origin.x + points.origin.x * view.getScaleX();
        const float top = port.origin.y + (points.origin.y + points.size.height) * view.getScaleY();
        return CCRect(x, view.getFrameSize().height - top, points.size.width * view.getScaleX(),
                      points.size.height * view.getScaleY());
    }
    static CCRect sceneRect(const cocos2d::CCNode& node)
    {
        const cocos2d::CCNode* parent = node.getParent();
        return parent ? CCRectApplyAffineTransform(node.boundingBox(), parent->nodeToWorldTransform()) : node.boundingBox();
    }
    // What a node draws: its own rectangle, or with children the rectangles they draw (an
    // image draws its picture centred on its own position); an empty menu draws nothing.
    static std::optional<CCRect> drawnRect(const cocos2d::CCNode& node)
    {
        cocos2d::CCArray* children = node.getChildren();
        if (!children || children->count() == 0) {
            if (dynamic_cast<const cocos2d::CCMenu*>(&node))
                return std::nullopt;
            return sceneRect(node);
        }
        std::optional<CCRect> drawn;
        for (cocos2d::CCObject* object : *children) {
            const auto* child = static_cast<cocos2d::CCNode*>(object);
            const std::optional<CCRect> rect = child->isVisible() ? drawnRect(*child) : std::nullopt;
            if (!rect)
                continue;
            if (!drawn) {
                drawn = rect;
                continue;
            }
            const float left = std::min(drawn->getMinX(), rect->getMinX());
            const float bottom = std::min(drawn->getMinY(), rect->getMinY());
            drawn = CCRect(left, bottom, std::max(drawn->getMaxX(), rect->getMaxX()) - left,
                           std::max(drawn->getMaxY(), rect->getMaxY()) - bottom);
        }
        return drawn;
    }
    CCPoint centreOf(const cocos2d::CCNode& node)
    {
        const CCRect rect = inWindow(sceneRect(node));
        return CCPoint(rect.getMidX(), rect.getMidY());
    }

    // A full click at a node's centre, where the window shows it.
    void click(const cocos2d::CCNode& node, int frames = 3)
    {
        const CCPoint at = centreOf(node);
        player.touch(SDL_MOUSEBUTTONDOWN, static_cast<int>(at.x), static_cast<int>(at.y));
        player.step();
        player.touch(SDL_MOUSEBUTTONUP, static_cast<int>(at.x), static_cast<int>(at.y));
        player.step(frames);
    }
    static ZqPObjectButton* buttonNamed(const std::string& name)
    {
        for (ZqPObjectButton* button : shown()->allButtons()) {
            if (button->model()->name() == name)
                return button;
        }
        ADD_FAILURE() << "no button " << name << " on " << key();
        return nullptr;
    }
    void clickButton(const std::string& name, const std::string& expectedKey)
    {
        ZqPObjectButton* button = buttonNamed(name);
        ASSERT_NE(button, nullptr);
        click(*button);
        ASSERT_EQ(key(), expectedKey) << "after " << name;
    }

    // Every word centred on a visible button of the shown screen lies inside the button's
    // face: its rectangle less a sixteenth of its width at each side (the rim of a painted
    // face, the margin of the magnet's icon).
    void expectWordsOnTheirButtons()
    {
        int words = 0;
        for (ZqPObjectButton* button : shown()->allButtons()) {
            const CCRect box = sceneRect(*button);
            const float rim = box.size.width / 16.0f;
            const CCRect face(box.origin.x + rim, box.origin.y, box.size.width - 2.0f * rim, box.size.height);
            for (cocos2d::CCObject* child : *shown()->uiLayer()->getChildren()) {
                const auto* word = dynamic_cast<ZqPObjectText*>(child);
                if (!button->isVisible() || !word || !word->isVisible() ||
                    word->getPosition().getDistance(button->getPosition()) > 1.0f)
                    continue;
                ++words;
                const std::optional<CCRect> drawn = drawnRect(*word);
                ASSERT_TRUE(drawn);
                EXPECT_TRUE(face.containsPoint(drawn->origin) &&
                            face.containsPoint(CCPoint(drawn->getMaxX(), drawn->getMaxY())))
                    << word->labelModel()->name() << " (" << drawn->size.width << " wide) spills over "
                    << button->model()->name() << " (" << face.size.width << ") on " << key();
            }
        }
        EXPECT_GE(words, 4) << key();
    }
    // The distinct colours the window shows in a rectangle of window pixels (y down).
    std::size_t coloursIn(const CCRect& rect)
    {
        const int height = static_cast<int>(player.view().getFrameSize().height);
        const int width = static_cast<int>(rect.size.width), tall = static_cast<int>(rect.size.height);
        const std::vector<unsigned char> pixels = player.view().readPixels(
            static_cast<int>(rect.origin.x), height - static_cast<int>(rect.origin.y) - tall, width, tall);
        std::set<uint32_t> colours;
        for (std::size_t i = 0; i + 3 < pixels.size(); i += 4)
            colours.insert(uint32_t(pixels[i]) << 16 | uint32_t(pixels[i + 1]) << 8 | pixels[i + 2]);
        return colours.size();
    }

    // The shown screen in each window shape: every visible object inside the window, every
    // visible button big enough and pressed by the mouse at its centre. A button is let go
    // over the bar at the window's corner, so that no action runs.
    void expectEverythingReachable()
    {
        const std::string screen = key();
        for (const WindowShape& shape : kShapes) {
            SCOPED_TRACE(screen + " at " + std::to_string(shape.width) + "x" + std::to_string(shape.height));
            player.resizeWindow(shape.width, shape.height);
            player.step(2);
            const cocos2d::CCSize frame = player.view().getFrameSize();
            ASSERT_EQ(static_cast<int>(frame.width), shape.shownWidth);
            ASSERT_EQ(static_cast<int>(frame.height), shape.shownHeight);
            const CCRect window(-1.0f, -1.0f, frame.width + 2.0f, frame.height + 2.0f);
            for (cocos2d::CCObject* child : *shown()->uiLayer()->getChildren()) {
                const auto* node = static_cast<cocos2d::CCNode*>(child);
                if (!node->isVisible() || node->getTag() == ZqPButtonMenu::kTag)
                    continue;
                const std::optional<CCRect> drawn = drawnRect(*node);
                if (!drawn)
                    continue;
                const CCRect rect = inWindow(*drawn);
                EXPECT_TRUE(window.containsPoint(rect.origin) &&
                            window.containsPoint(CCPoint(rect.getMaxX(), rect.getMaxY())))
                    << "an object cut off at " << rect.origin.x << "," << rect.origin.y << " " << rect.size.width
                    << "x" << rect.size.height;
            }
            for (ZqPObjectButton* button : shown()->allButtons()) {
                if (!button->isVisible())
                    continue;
                const std::string& name = button->model()->name();
                const CCRect rect = inWindow(sceneRect(*button));
                EXPECT_TRUE(window.containsPoint(rect.origin) &&
                            window.containsPoint(CCPoint(rect.getMaxX(), rect.getMaxY())))
                    << name << " cut off";
                EXPECT_GE(std::min(rect.size.width, rect.size.height), kSmallestButton) << name << " too small";
                if (!button->isEnabled())
                    continue;
                const CCPoint at = centreOf(*button);
                player.touch(SDL_MOUSEBUTTONDOWN, static_cast<int>(at.x), static_cast<int>(at.y));
                player.step();
                EXPECT_TRUE(button->isSelected()) << name << " not pressed at " << at.x << "," << at.y;
                player.touch(SDL_MOUSEBUTTONUP, 0, 0);
                player.step();
                ASSERT_EQ(key(), screen) << name << " acted, let go elsewhere";
            }
        }
    }
};

TEST_F(SampleWindowTest, EveryScreenShowsEachButtonInsideWindowsOfAnyShapeAndAClickReachesIt)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    ASSERT_NO_FATAL_FAILURE(expectEverythingReachable());
    ASSERT_NO_FATAL_FAILURE(clickButton("Shop", "Shop"));
    ASSERT_NO_FATAL_FAILURE(expectEverythingReachable());
    ASSERT_NO_FATAL_FAILURE(clickButton("Back", "Menu"));
    ASSERT_NO_FATAL_FAILURE(clickButton("Characters", "Characters"));
    ASSERT_NO_FATAL_FAILURE(expectEverythingReachable());
    ASSERT_NO_FATAL_FAILURE(clickButton("Back", "Menu"));
    ASSERT_NO_FATAL_FAILURE(clickButton("Play", "HUD"));
    ASSERT_NE(ZqPScreenNavigator::shared()->currentGameScene(), nullptr);
    ASSERT_NO_FATAL_FAILURE(expectEverythingReachable());
    ASSERT_NO_FATAL_FAILURE(clickButton("TouchHUD", "TouchHUD"));
    ASSERT_NO_FATAL_FAILURE(expectEverythingReachable());
    ASSERT_NO_FATAL_FAILURE(clickButton("Keys", "HUD"));
    ASSERT_NO_FATAL_FAILURE(clickButton("Pause", "Pause"));
    ASSERT_NO_FATAL_FAILURE(expectEverythingReachable());
    ASSERT_NO_FATAL_FAILURE(clickButton("Resume", "HUD"));
    shown()->switchToLinkedScreen("Game Over", 0, 14, 2, 0);
    player.step(2);
    ASSERT_EQ(key(), "GameOver");
    ASSERT_NO_FATAL_FAILURE(expectEverythingReachable());
    ASSERT_NO_FATAL_FAILURE(clickButton("Menu", "Menu"));
}

TEST_F(SampleWindowTest, TheHudsControlsCoverNothingThatComesAtTheHero)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    player.keyDown(ZqEditorKey::kReturn);
    player.step();
    player.keyUp(ZqEditorKey::kReturn);
    player.step(3);
    ASSERT_EQ(key(), "HUD");
    int checked = 0;
    // A jump now and then carries the hero over the pits for a while.
    for (int frame = 0; frame < 1200; ++frame) {
        if (frame % 45 == 0)
            player.keyDown(ZqEditorKey::kSpace);
        if (frame % 45 == 6)
            player.keyUp(ZqEditorKey::kSpace);
        player.step();
        const ZqPObjectAssetCharacter* runner = key() == "HUD" && field() ? hero() : nullptr;
        if (!runner)
            break;
        const CCRect at = sceneRect(*runner);
        for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
            const auto* object = static_cast<cocos2d::CCNode*>(child);
            const std::optional<CCRect> drawn = object->isVisible() ? drawnRect(*object) : std::nullopt;
            if (!drawn || drawn->getMinX() <= at.getMaxX())
                continue;
            ++checked;
            for (ZqPObjectButton* button : shown()->allButtons()) {
                if (button->isVisible()) {
                    EXPECT_FALSE(drawn->intersectsRect(sceneRect(*button)))
                        << button->model()->name() << " covers what comes at the hero, frame " << frame;
                }
            }
        }
    }
    EXPECT_GT(checked, 1000) << "objects ahead of the hero";
}

// Both HUDs in the smallest window, at the start of a run with the gold door behind the
// hero: every word on a button stays on it ("magnet" spilled over its icon onto the door),
// the HUD's magnet count stands clear of the door (it stood on it), nothing of the touch
// HUD covers the door (its "move" pad did), and the touch HUD's slide control and lock are
// drawn as buttons, not flat squares. A screenshot of the touch HUD stays in
// "screenshots/touch-hud-568x320.png" of the working directory (the build tree).
TEST_F(SampleWindowTest, TheHudsInTheSmallestWindowKeepTheirWordsOnTheirButtonsAndTheDoorInSight)
{
    ASSERT_NO_FATAL_FAILURE(startOnTheMenu());
    player.resizeWindow(568, 320);
    player.step(2);
    ASSERT_NO_FATAL_FAILURE(clickButton("Play", "HUD"));
    ASSERT_NO_FATAL_FAILURE(expectWordsOnTheirButtons());

    const cocos2d::CCNode* door = nullptr;
    for (cocos2d::CCObject* child : *field()->camera()->getChildren()) {
        const auto* object = dynamic_cast<ZqPObject*>(child);
        if (object && object->model() && object->model()->name() == "Bonus Door")
            door = object;
    }
    ASSERT_NE(door, nullptr);
    const std::optional<CCRect> doorRect = drawnRect(*door);
    ASSERT_TRUE(doorRect);
    ZqPObjectButton* magnet = buttonNamed("Magnet Button");
    ASSERT_NE(magnet, nullptr);
    int counts = 0;
    for (cocos2d::CCObject* child : *magnet->getChildren()) {
        if (const auto* count = dynamic_cast<cocos2d::CCLabelBMFont*>(child)) {
            ++counts;
            EXPECT_FALSE(sceneRect(*count).intersectsRect(*doorRect)) << "the magnet count stands on the door";
        }
    }
    EXPECT_EQ(counts, 1);

    ASSERT_NO_FATAL_FAILURE(clickButton("TouchHUD", "TouchHUD"));
    player.step(2);
    ASSERT_NO_FATAL_FAILURE(expectWordsOnTheirButtons());
    for (cocos2d::CCObject* child : *shown()->uiLayer()->getChildren()) {
        const auto* node = static_cast<cocos2d::CCNode*>(child);
        const std::optional<CCRect> drawn = node->isVisible() ? drawnRect(*node) : std::nullopt;
        EXPECT_FALSE(drawn && drawn->intersectsRect(*doorRect))
            << "the touch HUD covers the door at " << drawn->origin.x << "," << drawn->origin.y;
    }

    player.step();
    for (const char* name : {"Slide", "Hold Slide"}) {
        ZqPObjectButton* control = buttonNamed(name);
        ASSERT_NE(control, nullptr);
        EXPECT_GT(coloursIn(inWindow(sceneRect(*control))), 20u) << name << " is a flat square";
    }
    const std::filesystem::path shots = std::filesystem::current_path() / "screenshots";
    std::filesystem::create_directories(shots);
    EXPECT_TRUE(player.view().saveScreenshotPNG((shots / "touch-hud-568x320.png").c_str()));
}

} // namespace
