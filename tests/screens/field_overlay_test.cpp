// Screens over a running field: the overlay in the field's container, the pause button
// pushing the pause screen and pausing the field, back resuming it, back-to the running
// world, and names resolved on the overlay's node, then on the world node.
#include "objects/ZqPhysicsWorld.h"
#include "screens/ZqPScreenScene.h"
#include "ui_screen_support.h"

#include <box2d/box2d.h>

#include <gtest/gtest.h>

namespace {

using cocos2d::CCPoint;

class FieldOverlayTest : public UiScreenTest {
protected:
    void SetUp() override
    {
        UiScreenTest::SetUp();
        game = graph.world("Game");
        hud = graph.menu("HUD");
        pauseScreen = graph.menu("PauseScreen");
        over = graph.menu("GameOver");
        FlowGraph::link(*game, "UI", *hud);
        FlowGraph::link(*hud, "Pause", *pauseScreen);
        FlowGraph::link(*game, "Game Over", *over);
        FlowGraph::link(*hud, "Bonus", *graph.world("Bonus"));
        button(*hud, "", "kPauseButton", CCPoint(100, 100));
        button(*pauseScreen, "", "kBackButton", CCPoint(300, 100));
        button(*pauseScreen, "", "kRestartButton", CCPoint(100, 250));
        auto home = button(*over, "", "kBackToButton", CCPoint(300, 250));
        home->m_backToWorld->setValue("Game", true);
    }

    ZqPScreenScene* field() const { return ZqPScreenNavigator::shared()->currentGameScene(); }
    // A moving body in the field's world.
    b2Body* movingBody()
    {
        b2BodyDef def;
        def.type = b2_dynamicBody;
        def.position.Set(5.0f, 5.0f);
        def.linearVelocity.Set(1.0f, 0.0f);
        return field()->world()->box2d().CreateBody(&def);
    }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            frame();
    }

    std::shared_ptr<ZqNodeScene> game;
    std::shared_ptr<ZqNodeUI> hud, pauseScreen, over;
};

TEST_F(FieldOverlayTest, ThePauseButtonPausesUnderThePauseScreenAndBackResumes)
{
    ZqPScreenUi* hudScreen = show("Game");
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(hudScreen, field()->overlay());
    EXPECT_EQ(hudScreen->screenModel()->key(), "HUD");
    EXPECT_EQ(hudScreen->getZOrder(), ZqPScreenNavigator::kOverlayZOrder);
    b2Body* body = movingBody();

    lines.clear();
    touch(100, 100);
    EXPECT_EQ(history().back(), "PauseScreen");
    EXPECT_EQ(linesWith("Screen On Enter"), 1) << "one overlay build for one press";
    EXPECT_EQ(shown()->screenModel()->key(), "PauseScreen");
    frame();
    ASSERT_TRUE(field()->isPaused());
    const float x = body->GetPosition().x;
    frames(120);
    EXPECT_EQ(body->GetPosition().x, x) << "nothing steps while paused";
    field()->pause(nullptr);
    EXPECT_EQ(history().back(), "PauseScreen") << "a second pause is ignored";

    touch(300, 100);
    EXPECT_EQ(history().back(), "HUD");
    EXPECT_EQ(shown()->screenModel()->key(), "HUD");
    frame();
    EXPECT_FALSE(field()->isPaused());
    EXPECT_GT(body->GetPosition().x, x);

    shown()->keyBackClicked();
    EXPECT_EQ(history().back(), "HUD") << "back on the overlay does nothing";
    EXPECT_NE(field(), nullptr);
}

TEST_F(FieldOverlayTest, ARestartFromThePauseScreenPlaysOnUnderTheOverlay)
{
    show("Game");
    ScoreRegistry::current().distance.add(12.0f);
    touch(100, 100);
    frame();
    ASSERT_TRUE(field()->isPaused());
    touch(100, 250);
    EXPECT_EQ(history().back(), "HUD");
    EXPECT_EQ(shown()->screenModel()->key(), "HUD");
    frame();
    EXPECT_FALSE(field()->isPaused());
    EXPECT_EQ(ScoreRegistry::current().distance.session, 0.0f);
}

TEST_F(FieldOverlayTest, PushedNamesResolveOnTheOverlayThenOnTheWorldNode)
{
    show("Menu");
    show("Game");
    ZqPScreenScene* running = field();
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    EXPECT_FALSE(navigator->pushScreen("Bonus", false)) << "a world is not pushed over a field";
    EXPECT_FALSE(navigator->pushScreen("Nowhere", true));
    EXPECT_FALSE(navigator->pushScreen("Menu", true)) << "the menu the field was entered from is switched to";
    ASSERT_TRUE(navigator->pushScreen("Game Over", false));
    EXPECT_EQ(history().back(), "GameOver");
    running->rebuildOverlay();
    frame();

    // Back-to the running world keeps the field and rebuilds the overlay.
    touch(300, 250);
    EXPECT_EQ(history().back(), "HUD");
    EXPECT_EQ(field(), running);
    EXPECT_EQ(shown()->screenModel()->key(), "HUD");
    EXPECT_EQ(navigator->backTo("Elsewhere", "", 0), 0);
}

} // namespace
