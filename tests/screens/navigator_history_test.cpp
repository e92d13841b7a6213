// The navigator's history: names resolved as ports then keys, switches, back, back-to,
// and the screen that follows the start screen.
#include "screens/ZqPScreenNavigator.h"

#include "flow_graph_support.h"

#include <gtest/gtest.h>

namespace {

class NavigatorHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        navigator()->reset();
        start = graph.start();
        menu = graph.menu("Menu");
        shop = graph.menu("Shop");
        game = graph.world("Game");
        FlowGraph::link(*start, "Load", *menu);
        FlowGraph::link(*menu, "Play", *game);
        FlowGraph::link(*menu, "Store", *shop);
        FlowGraph::link(*shop, "Back Home", *menu);
    }
    void TearDown() override { navigator()->reset(); }

    static ZqPScreenNavigator* navigator() { return ZqPScreenNavigator::shared(); }
    std::vector<std::string> history() const { return navigator()->history(); }

    FlowGraph graph;
    std::shared_ptr<ZqNodeUIStart> start;
    std::shared_ptr<ZqNodeUI> menu, shop;
    std::shared_ptr<ZqNodeScene> game;
};

TEST_F(NavigatorHistoryTest, StartsAtTheStartScreenAndResetsThere)
{
    EXPECT_EQ(history(), std::vector<std::string>{"ZqPScreenStart"});
    EXPECT_EQ(navigator()->currentKey(), "ZqPScreenStart");
    ASSERT_TRUE(navigator()->switchToScreen("Load", false, 0));
    navigator()->setSceneDestination(7);
    navigator()->reset();
    EXPECT_EQ(history(), std::vector<std::string>{"ZqPScreenStart"});
    EXPECT_EQ(navigator()->sceneDestination(), 0);
}

TEST_F(NavigatorHistoryTest, NamesResolveAsPortsOfTheCurrentNodeThenAsKeys)
{
    EXPECT_EQ(navigator()->resolveScreenKey("Load", false), "Menu");
    // "Play" is a port of the menu, not of the start screen.
    EXPECT_EQ(navigator()->resolveScreenKey("Play", true), "");
    EXPECT_EQ(navigator()->resolveScreenKey("Shop", false), "");
    EXPECT_EQ(navigator()->resolveScreenKey("Shop", true), "Shop");
    EXPECT_EQ(navigator()->resolveScreenKey("Game", true), "Game");
    EXPECT_EQ(navigator()->resolveScreenKey("Nowhere", true), "");

    ASSERT_TRUE(navigator()->switchToScreen("Load", false, 0));
    EXPECT_EQ(navigator()->resolveScreenKey("Play", false), "Game");
    EXPECT_EQ(navigator()->resolveScreenKey("Store", false), "Shop");
    // A port wins over a screen of the same key.
    FlowGraph::link(*menu, "Shop", *game);
    EXPECT_EQ(navigator()->resolveScreenKey("Shop", true), "Game");
}

TEST_F(NavigatorHistoryTest, SwitchesAppendOrCutBackAndBackPops)
{
    EXPECT_FALSE(navigator()->back()) << "the first entry has nothing before it";
    EXPECT_FALSE(navigator()->switchToScreen("Nowhere", true, 0));
    EXPECT_EQ(history().size(), 1u);

    ASSERT_TRUE(navigator()->switchToScreen("Load", false, 1));
    ASSERT_TRUE(navigator()->switchToScreen("Store", false, 0));
    ASSERT_TRUE(navigator()->switchToScreen("Game", true, 0));
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu", "Shop", "Game"}));

    ASSERT_TRUE(navigator()->switchToScreen("Menu", true, 0));
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu"})) << "cut back to the menu";

    ASSERT_TRUE(navigator()->switchToScreen("Store", false, 0));
    EXPECT_TRUE(navigator()->back());
    EXPECT_EQ(navigator()->currentKey(), "Menu");
    EXPECT_FALSE(navigator()->back()) << "no way back to the start screen once loaded";
    EXPECT_EQ(navigator()->currentKey(), "Menu");
}

TEST_F(NavigatorHistoryTest, BackToAnswersOneForAnInterfaceScreenOrAnotherWorldAndZeroOtherwise)
{
    ASSERT_TRUE(navigator()->switchToScreen("Load", false, 0));
    ASSERT_TRUE(navigator()->switchToScreen("Store", false, 0));

    EXPECT_EQ(navigator()->backTo("", "", 0), 0);
    EXPECT_EQ(navigator()->backTo("", "Nowhere", 0), 0);
    EXPECT_EQ(navigator()->backTo("", "Game", 0), 0) << "a world is no interface screen";
    EXPECT_EQ(navigator()->backTo("Menu", "", 0), 0) << "a world target must be a world";
    EXPECT_EQ(navigator()->currentKey(), "Shop");
    EXPECT_EQ(navigator()->backTo("Game", "Menu", 0), 1) << "a world not running is switched to";
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu", "Shop", "Game"}));

    EXPECT_EQ(navigator()->backTo("", "Menu", 0), 1);
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu"}));
    ASSERT_TRUE(navigator()->switchToScreen("Play", false, 0));
    EXPECT_EQ(navigator()->backTo("", "Shop", 0), 1) << "a screen not in the history is appended";
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu", "Game", "Shop"}));
}

TEST_F(NavigatorHistoryTest, TheLoadPortLeadsPastTheStartScreen)
{
    EXPECT_EQ(navigator()->firstScreenAfterLoading(), "Menu");
}

TEST(NavigatorFirstScreenTest, WithoutALoadLinkTheFirstOtherInterfaceNodeFollows)
{
    FlowGraph graph;
    graph.world("Game");
    graph.start();
    EXPECT_EQ(ZqPScreenNavigator::shared()->firstScreenAfterLoading(), "");
    graph.menu("Credits");
    graph.menu("Menu");
    EXPECT_EQ(ZqPScreenNavigator::shared()->firstScreenAfterLoading(), "Credits");
}

} // namespace

namespace {

// A world with an overlay ("HUD" behind its "UI" port), a pause screen linked from the
// overlay and a game-over screen linked from the world node.
class NavigatorWorldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        navigator()->reset();
        FlowGraph::link(*graph.start(), "Load", *menu);
        FlowGraph::link(*menu, "Play", *game);
        FlowGraph::link(*game, "UI", *hud);
        FlowGraph::link(*hud, "Pause", *pauseScreen);
        FlowGraph::link(*game, "Game Over", *over);
        FlowGraph::link(*hud, "Other World", *graph.world("Bonus"));
        ASSERT_TRUE(navigator()->switchToScreen("Load", false, 0));
    }
    void TearDown() override { navigator()->reset(); }

    static ZqPScreenNavigator* navigator() { return ZqPScreenNavigator::shared(); }
    std::vector<std::string> history() const { return navigator()->history(); }

    FlowGraph graph;
    std::shared_ptr<ZqNodeUI> menu = graph.menu("Menu");
    std::shared_ptr<ZqNodeScene> game = graph.world("Game");
    std::shared_ptr<ZqNodeUI> hud = graph.menu("HUD");
    std::shared_ptr<ZqNodeUI> pauseScreen = graph.menu("PauseScreen");
    std::shared_ptr<ZqNodeUI> over = graph.menu("GameOver");
};

TEST_F(NavigatorWorldTest, AWorldEntersWithItsOverlayAndBackStopsAtTheOverlay)
{
    ASSERT_TRUE(navigator()->switchToScreen("Play", false, 0));
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu", "Game", "HUD"}));
    EXPECT_FALSE(navigator()->isScreenPushed());
    EXPECT_FALSE(navigator()->back()) << "the overlay is the floor over a field";
    EXPECT_EQ(navigator()->currentKey(), "HUD");

    ASSERT_TRUE(navigator()->switchToScreen("Menu", true, 0));
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu"}));
    EXPECT_FALSE(navigator()->isScreenPushed());
}

// A world left for another from a screen shown over it (a game over both share, whose
// restart leads to the other world) goes with that screen: kept before the new field, the
// game over would count as a screen the new field was entered from.
TEST_F(NavigatorWorldTest, AnotherWorldTakesThePlaceOfTheFieldLeftAndOfItsScreens)
{
    std::shared_ptr<ZqNodeScene> second = graph.world("Second");
    FlowGraph::link(*menu, "Play Second", *second);
    FlowGraph::link(*second, "UI", *hud);
    FlowGraph::link(*over, "Restart", *game);
    ASSERT_TRUE(navigator()->switchToScreen("Play Second", false, 0));
    ASSERT_TRUE(navigator()->switchToScreen("GameOver", true, 0));

    ASSERT_TRUE(navigator()->switchToScreen("Restart", false, 0));
    EXPECT_EQ(history(), (std::vector<std::string>{"ZqPScreenStart", "Menu", "Game", "HUD"}));
    EXPECT_EQ(navigator()->screenBeforeField(), "Menu");
}

} // namespace
