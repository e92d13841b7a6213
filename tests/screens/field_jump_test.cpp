// The field's screen jump: the switch to the screen linked under a key of the field's node.
#include "field_test_support.h"
#include "flow_graph_support.h"

#include "screens/ZqPScreenNavigator.h"

using namespace cocos2d;

namespace {

class FieldJumpTest : public field_test::RuntimeTest {
protected:
    void TearDown() override
    {
        ZqPScreenNavigator::shared()->reset();
        RuntimeTest::TearDown();
    }
};

TEST_F(FieldJumpTest, WithoutAUiScreenTheFieldSwitchesAtOnceAndOnlyToALinkedScreen)
{
    FlowGraph graph;
    auto start = graph.start();
    auto game = graph.world("Game");
    auto bonus = graph.menu("Bonus");
    FlowGraph::link(*start, "Load", *game);
    FlowGraph::link(*game, "Secret Door", *bonus);
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    navigator->reset();
    ASSERT_TRUE(navigator->switchToScreen("Load", false, 0));
    director->replaceScene(navigator->sceneContainer());
    frame();
    ZqPScreenScene* field = navigator->currentGameScene();
    ASSERT_NE(field, nullptr);
    ASSERT_EQ(navigator->currentUiScreen(), nullptr);

    field->requestScreenJump("Nowhere", false, 2, 1);
    EXPECT_EQ(navigator->currentKey(), "Game") << "an unlinked key switches nothing";
    field->requestScreenJump("Secret Door", true, 2, 1);
    EXPECT_EQ(navigator->currentKey(), "Bonus");
    frame();
    EXPECT_NE(navigator->currentUiScreen(), nullptr);
    EXPECT_EQ(navigator->currentGameScene(), nullptr);
}

} // namespace
