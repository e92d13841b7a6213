#pragma once

// Menus built from flow graphs in the shared controller, shown on a headless 480 x 320
// view through the navigator, with touches, keys and captured log lines; the saved
// progress, scores, sounds and input start fresh in each test.
#include "screens/ZqScreensLayerReset.h"
#include "app/ScoreRegistry.h"
#include "app/ZqPInputController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqPurchaseRegistry.h"
#include "app/ZqSound.h"
#include "flow_graph_support.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelButtons.h"
#include "screen_gl_fixture.h"
#include "screens/buttons/ZqPButtonKeys.h"
#include "screens/buttons/ZqPObjectButton.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"
#include "screens/ZqScreenMusic.h"

#include <ZqLog.h>

#include <algorithm>
#include <string>
#include <vector>

class UiScreenTest : public ScreenGLFixture {
protected:
    void SetUp() override
    {
        ZqPSettingsController::purgeShared();
        cocos2d::CCUserDefault::sharedUserDefault()->deleteStore();
        cocos2d::CCUserDefault::purgeSharedUserDefault();
        ScoreRegistry::clear();
        ScoreRegistry::setCurrentKey("");
        ZqPurchaseRegistry::reset();
        ScreenGLFixture::SetUp();
        zqSetLogSink([this](const char* line) { lines.emplace_back(line); });
        start = graph.start();
        menu = graph.menu("Menu");
        FlowGraph::link(*start, "Load", *menu);
    }

    void TearDown() override
    {
        zqSetLogSink({});
        ZqPScreenNavigator::shared()->reset();
        frame(); // the replaced scenes go
        zqResetScreensLayer();
        ScreenGLFixture::TearDown();
    }

    // A button on the node's screen: a 100 x 100 box (no image) centred at position.
    std::shared_ptr<ZqModelObjectButton> button(ZqBaseNode& node, const std::string& name, const std::string& action,
                                                cocos2d::CCPoint position, int key = 0)
    {
        auto model = ZqModelObjectButton::create();
        model->setName(name);
        model->m_action->setValue(action, true);
        model->m_position->setValue(position, true);
        model->m_keyboardKey->setValue(key, true);
        node.screen()->addChild(model, true);
        return model;
    }

    // Makes key's screen current and runs its container; the screen shown.
    ZqPScreenUi* show(const std::string& key)
    {
        EXPECT_TRUE(ZqPScreenNavigator::shared()->switchToScreen(key, true, 0)) << key;
        cocos2d::CCScene* container = ZqPScreenNavigator::shared()->sceneContainer();
        EXPECT_NE(container, nullptr) << key;
        if (director->getRunningScene())
            director->replaceScene(container);
        else
            director->runWithScene(container);
        frame();
        return shown();
    }
    ZqPScreenUi* shown() const { return ZqPScreenNavigator::shared()->currentUiScreen(); }

    // A touch pressed and released at (x, y) in points (y up).
    void touch(float x, float y)
    {
        touchDown(x, y);
        touchUp(x, y);
    }
    void touchDown(float x, float y) { touchEvent(true, x, y); }
    void touchUp(float x, float y) { touchEvent(false, x, y); }

    long linesWith(const std::string& text) const
    {
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; });
    }
    std::vector<std::string> history() const { return ZqPScreenNavigator::shared()->history(); }

    FlowGraph graph;
    std::shared_ptr<ZqNodeUIStart> start;
    std::shared_ptr<ZqNodeUI> menu;
    std::vector<std::string> lines;

private:
    void touchEvent(bool down, float x, float y)
    {
        const int ids[] = {0};
        const float xs[] = {x};
        const float ys[] = {static_cast<float>(kScreenHeight) - y};
        cocos2d::CCTouchDispatcher* touches = director->getTouchDispatcher();
        if (down)
            touches->handleTouchesBegin(1, ids, xs, ys);
        else
            touches->handleTouchesEnd(1, ids, xs, ys);
    }
};
