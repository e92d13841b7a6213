#include "base/CCAutoreleasePool.h"
#include "director/CCDirector.h"
#include "director/CCEGLViewProtocol.h"
#include "menu/CCMenu.h"
#include "nodes/CCScene.h"
#include "touch/CCTouchDispatcher.h"

#include <gtest/gtest.h>

#include <functional>

using namespace cocos2d;

namespace {

class TestView : public CCEGLViewProtocol {
public:
    void end() override {}
    bool isOpenGLReady() override { return true; }
    void swapBuffers() override {}
};

// The object a button calls: counts presses.
class Handler : public CCObject {
public:
    void onPress(CCObject* sender)
    {
        ++presses;
        lastSender = sender;
        if (action)
            action();
    }

    int presses = 0;
    CCObject* lastSender = nullptr;
    std::function<void()> action;
};

// A game control (joystick, swipe) under the menus: claims every touch it is offered.
class GameControl : public CCObject, public CCTouchDelegate {
public:
    bool ccTouchBegan(CCTouch* touch, CCEvent* event) override
    {
        ++touches;
        return true;
    }
    int touches = 0;
};

CCNodeRGBA* image(float width, float height)
{
    CCNodeRGBA* node = CCNodeRGBA::create();
    node->setContentSize(CCSize(width, height));
    return node;
}

class MenuTest : public testing::Test {
protected:
    void SetUp() override
    {
        CCDirector* director = CCDirector::sharedDirector();
        director->purgeDirector();
        liveAtStart = CCObject::liveObjectCount();
        director = CCDirector::sharedDirector();
        // One pixel per design point: window y = 640 - scene y.
        view.setFrameSize(1136, 640);
        view.setDesignResolutionSize(1136, 640, kResolutionExactFit);
        director->setOpenGLView(&view);
        scene = CCScene::create();
        director->runWithScene(scene);
        director->getTouchDispatcher()->addTargetedDelegate(&control, 0, true);

        menu = CCMenu::create();
        menu->setAnchorPoint(CCPoint(0, 0));
        menu->setPosition(CCPoint(0, 0));
        scene->addChild(menu);
        // Box 150..250 x 275..325 in the scene.
        item = addItem(200, 300);
    }

    void TearDown() override
    {
        CCDirector::sharedDirector()->getTouchDispatcher()->removeDelegate(&control);
        CCDirector::sharedDirector()->purgeDirector();
        EXPECT_EQ(CCObject::liveObjectCount(), liveAtStart);
    }

    CCMenuItemSprite* addItem(float x, float y)
    {
        CCMenuItemSprite* added = CCMenuItemSprite::create(image(100, 50), image(100, 50), image(100, 50), &handler,
                                                           menu_selector(Handler::onPress));
        added->setPosition(CCPoint(x, y));
        menu->addChild(added);
        return added;
    }

    // Touch id 0 at scene points (y up).
    static void touch(void (CCTouchDispatcher::*phase)(int, const int[], const float[], const float[]), float x,
                      float y)
    {
        const int ids[] = {0};
        const float windowY = 640 - y;
        (CCDirector::sharedDirector()->getTouchDispatcher()->*phase)(1, ids, &x, &windowY);
    }
    static void press(float x, float y) { touch(&CCTouchDispatcher::handleTouchesBegin, x, y); }
    static void move(float x, float y) { touch(&CCTouchDispatcher::handleTouchesMove, x, y); }
    static void release(float x, float y) { touch(&CCTouchDispatcher::handleTouchesEnd, x, y); }
    static void tap(float x, float y)
    {
        press(x, y);
        release(x, y);
    }

    long liveAtStart = 0;
    TestView view;
    Handler handler;
    GameControl control;
    CCScene* scene = nullptr;
    CCMenu* menu = nullptr;
    CCMenuItemSprite* item = nullptr;
};

} // namespace

TEST_F(MenuTest, PressSelectsAndReleaseActivatesOnce)
{
    press(200, 300);
    EXPECT_TRUE(item->isSelected());
    EXPECT_TRUE(item->getSelectedImage()->isVisible());
    EXPECT_FALSE(item->getNormalImage()->isVisible());
    EXPECT_EQ(handler.presses, 0);
    release(200, 300);
    EXPECT_FALSE(item->isSelected());
    EXPECT_TRUE(item->getNormalImage()->isVisible());
    EXPECT_EQ(handler.presses, 1);
    EXPECT_EQ(handler.lastSender, item);
    // The button swallowed the touch; one beside it reaches the game's control.
    EXPECT_EQ(control.touches, 0);
    tap(100, 300);
    EXPECT_EQ(control.touches, 1);
    EXPECT_EQ(handler.presses, 1);
}

TEST_F(MenuTest, DraggingOffCancelsAndDraggingBackOnRestores)
{
    press(200, 300);
    move(260, 300);
    EXPECT_FALSE(item->isSelected());
    release(260, 300);
    EXPECT_EQ(handler.presses, 0);

    press(200, 300);
    move(200, 400);
    move(249, 324);
    EXPECT_TRUE(item->isSelected());
    release(249, 324);
    EXPECT_EQ(handler.presses, 1);

    // Sliding onto another button moves the press there.
    CCMenuItemSprite* other = addItem(400, 300);
    press(200, 300);
    move(400, 300);
    EXPECT_FALSE(item->isSelected());
    EXPECT_TRUE(other->isSelected());
    release(400, 300);
    EXPECT_EQ(handler.lastSender, other);

    // A release far away counts only where the finger is, even without a move first.
    press(200, 300);
    release(600, 100);
    EXPECT_EQ(handler.presses, 2);
    EXPECT_FALSE(item->isSelected());
}

TEST_F(MenuTest, OnlyEnabledVisibleItemsOfShownEnabledMenusTakeTouches)
{
    struct Case {
        const char* name;
        std::function<void(bool)> hide;
    };
    CCNode* container = CCNode::create();
    container->setTag(100);
    scene->addChild(container);
    menu->retain();
    menu->removeFromParent();
    container->addChild(menu);
    menu->release();

    const Case cases[] = {
        {"item disabled", [this](bool off) { item->setEnabled(!off); }},
        {"item hidden", [this](bool off) { item->setVisible(!off); }},
        {"menu hidden", [this](bool off) { menu->setVisible(!off); }},
        {"container hidden", [container](bool off) { container->setVisible(!off); }},
        {"menu disabled", [this](bool off) { menu->setEnabled(!off); }},
    };
    for (const Case& c : cases) {
        c.hide(true);
        tap(200, 300);
        EXPECT_EQ(handler.presses, 0) << c.name;
        EXPECT_EQ(control.touches, 1) << c.name;
        c.hide(false);
        tap(200, 300);
        EXPECT_EQ(handler.presses, 1) << c.name;
        handler.presses = 0;
        control.touches = 0;
    }

    item->setEnabled(false);
    EXPECT_TRUE(item->getDisabledImage()->isVisible());
    EXPECT_FALSE(item->getNormalImage()->isVisible());
    item->setEnabled(true);

    // Disabled while held down: the release does nothing.
    press(200, 300);
    item->setEnabled(false);
    release(200, 300);
    EXPECT_EQ(handler.presses, 0);
}

TEST_F(MenuTest, HandlerMayRemoveItsOwnMenu)
{
    handler.action = [this] {
        menu->removeFromParent();
        menu = nullptr;
        item = nullptr;
    };
    // Only the scene (and the dispatcher) keep the menu: the release frees it.
    CCPoolManager::sharedPoolManager()->finalize();
    tap(200, 300);
    EXPECT_EQ(handler.presses, 1);
    EXPECT_EQ(scene->getChildrenCount(), 0u);
    tap(200, 300);
    EXPECT_EQ(handler.presses, 1);
    EXPECT_EQ(control.touches, 1);
}

TEST_F(MenuTest, MenuLeavingDuringAPressDropsIt)
{
    press(200, 300);
    menu->retain();
    menu->removeFromParent();
    EXPECT_FALSE(item->isSelected());
    release(200, 300);
    EXPECT_EQ(handler.presses, 0);
    scene->addChild(menu);
    menu->release();
    tap(200, 300);
    EXPECT_EQ(handler.presses, 1);
}

TEST_F(MenuTest, HandlerPriorityOrdersMenusAgainstOtherControls)
{
    GameControl overlay;
    CCTouchDispatcher* dispatcher = CCDirector::sharedDirector()->getTouchDispatcher();
    dispatcher->addTargetedDelegate(&overlay, -200, true);
    tap(200, 300);
    EXPECT_EQ(overlay.touches, 1);
    EXPECT_EQ(handler.presses, 0);
    menu->setHandlerPriority(-300);
    tap(200, 300);
    EXPECT_EQ(overlay.touches, 1);
    EXPECT_EQ(handler.presses, 1);
    dispatcher->removeDelegate(&overlay);
}

TEST_F(MenuTest, HitAreaFollowsScaleAndTheTopItemWins)
{
    item->setScale(2.0f); // box 100..300 x 250..350
    tap(290, 340);
    EXPECT_EQ(handler.presses, 1);
    item->setScaleX(-1.0f); // mirrored: box 150..250 again
    tap(290, 300);
    EXPECT_EQ(handler.presses, 1);
    tap(160, 300);
    EXPECT_EQ(handler.presses, 2);

    CCMenuItemSprite* above = addItem(220, 300);
    tap(240, 300);
    EXPECT_EQ(handler.lastSender, above);
}

TEST_F(MenuTest, SpriteItemShowsItsImagesAndKeepsItsHandlerOnReinit)
{
    EXPECT_EQ(item->getContentSize(), CCSize(100, 50));
    EXPECT_EQ(item->getNormalImage()->getAnchorPoint(), CCPoint(0, 0));
    const CCRect box = item->rect();
    EXPECT_EQ(box.origin, CCPoint(150, 275));
    EXPECT_EQ(box.size, CCSize(100, 50));

    // The item's colour shows on its images, times each image's own (a tint).
    static_cast<CCNodeRGBA*>(item->getDisabledImage())->setColor(ccc3(128, 0, 255));
    item->setColor(ccc3(128, 128, 128));
    item->setOpacity(60);
    for (CCNode* node : {item->getNormalImage(), item->getSelectedImage()}) {
        CCNodeRGBA* rgba = static_cast<CCNodeRGBA*>(node);
        EXPECT_EQ(rgba->getDisplayedColor(), ccc3(128, 128, 128));
        EXPECT_EQ(rgba->getDisplayedOpacity(), 60);
    }
    EXPECT_EQ(static_cast<CCNodeRGBA*>(item->getDisabledImage())->getDisplayedColor(), ccc3(64, 0, 128));

    // Re-skinned without a handler: the old images go, the handler and the colour stay.
    item->setEnabled(false);
    CCNodeRGBA* wide = image(160, 40);
    wide->setColor(ccc3(0, 255, 0));
    EXPECT_TRUE(item->initWithNormalSprite(wide, nullptr, nullptr));
    EXPECT_EQ(item->getNormalImage(), wide);
    EXPECT_EQ(item->getSelectedImage(), nullptr);
    EXPECT_EQ(item->getChildrenCount(), 1u);
    EXPECT_EQ(item->getContentSize(), CCSize(160, 40));
    EXPECT_EQ(wide->getDisplayedOpacity(), 60);
    EXPECT_EQ(wide->getDisplayedColor(), ccc3(0, 128, 0)) << "a tint given before it joined";
    EXPECT_FALSE(item->isEnabled());
    EXPECT_TRUE(wide->isVisible());
    item->setEnabled(true);
    item->selected();
    EXPECT_TRUE(wide->isVisible());
    item->unselected();
    item->activate();
    EXPECT_EQ(handler.presses, 1);

    Handler other;
    item->initWithNormalSprite(image(10, 10), nullptr, nullptr, &other, menu_selector(Handler::onPress));
    item->activate();
    EXPECT_EQ(other.presses, 1);
    EXPECT_EQ(handler.presses, 1);

    EXPECT_EQ(CCMenuItemSprite::create(nullptr, nullptr), nullptr);
    item->setTarget(nullptr, nullptr);
    item->activate();
    EXPECT_EQ(other.presses, 1);
}
