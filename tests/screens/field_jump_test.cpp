// The field's screen jump: the switch to the screen linked under a key of the field's node,
// at once without an overlay, else through the overlay's deferred actions.
#include "field_test_support.h"
#include "flow_graph_support.h"

#include "model/objects/ZqModelObjectsLogic.h"
#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/assets/ZqPObjectAssetTriggers.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"

using namespace cocos2d;

namespace {

class FieldJumpTest : public field_test::RuntimeTest {
protected:
    void TearDown() override
    {
        ZqPScreenNavigator::shared()->reset();
        RuntimeTest::TearDown();
    }

    // The graph's start node followed into world; its field, shown.
    ZqPScreenScene* enter(FlowGraph& graph, const ZqNodeScene& world)
    {
        FlowGraph::link(*graph.start(), "Load", world);
        ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
        navigator->reset();
        EXPECT_TRUE(navigator->switchToScreen("Load", false, 0));
        director->replaceScene(navigator->sceneContainer());
        frame();
        return navigator->currentGameScene();
    }
};

TEST_F(FieldJumpTest, WithoutAUiScreenTheFieldSwitchesAtOnceAndOnlyToALinkedScreen)
{
    FlowGraph graph;
    auto game = graph.world("Game");
    FlowGraph::link(*game, "Secret Door", *graph.menu("Bonus"));
    ZqPScreenScene* field = enter(graph, *game);
    ASSERT_NE(field, nullptr);
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    ASSERT_EQ(navigator->currentUiScreen(), nullptr);

    field->requestScreenJump("Nowhere", false, 2, 1);
    EXPECT_EQ(navigator->currentKey(), "Game") << "an unlinked key switches nothing";
    field->requestScreenJump("Secret Door", true, 2, 1);
    EXPECT_EQ(navigator->currentKey(), "Bonus");
    frame();
    EXPECT_NE(navigator->currentUiScreen(), nullptr);
    EXPECT_EQ(navigator->currentGameScene(), nullptr);
}

TEST_F(FieldJumpTest, WithoutAUiScreenAFieldSwitchedToRestartsWithTheStartMode)
{
    FlowGraph graph;
    auto game = graph.world("Game");
    FlowGraph::link(*game, "Level 2", *graph.world("Level 2"));
    ZqPSettingsController::Checkpoint kept;
    kept.indexOnly = true;
    ZqPSettingsController::shared()->setCheckpoint("Level 2", kept);
    ZqPScreenScene* field = enter(graph, *game);
    ASSERT_NE(field, nullptr);
    field->requestScreenJump("Level 2", false, 6, 1);
    frame(); // shown
    frame(); // built
    ZqPScreenScene* level = ZqPScreenNavigator::shared()->currentGameScene();
    ASSERT_NE(level, nullptr);
    EXPECT_NE(level, field);
    EXPECT_EQ(ZqPSettingsController::shared()->checkpoint("Level 2"), nullptr) << "a full restart drops the checkpoint";
}

// A screen jump to the screen linked under key, in the field's camera.
ZqPObjectAssetScreenJump* screenJump(ZqPScreenScene* field, const std::string& key, bool pause)
{
    auto model = ZqModelController::shared()->createModel<ZqModelObjectScreenJump>();
    model->setName(key);
    model->m_pauseCurrentWorld->setValue(pause);
    auto* jump = new ZqPObjectAssetScreenJump(model);
    jump->autorelease();
    field->adoptObject(jump, nullptr);
    return jump;
}

// A live character on the field.
ZqPObjectAssetCharacter* hero(ZqPScreenScene* field)
{
    auto asset = ZqModelController::shared()->createModel<ZqModelAssetCharacter>();
    asset->updateCollisionShape(CCSize(40, 40), CCPoint());
    auto placed = ZqModelController::shared()->createModel<ZqModelObjectAssetCharacter>();
    placed->setAsset(asset);
    ZqPObject* character = ZqPObjectAsset::createAssetObject(placed);
    field->adoptObject(character, nullptr);
    return dynamic_cast<ZqPObjectAssetCharacter*>(character);
}

TEST_F(FieldJumpTest, OverAnOverlayTheJumpWaitsForItsActionsAndAnotherMeanwhileIsDropped)
{
    FlowGraph graph;
    auto game = graph.world("Game");
    auto hud = graph.menu("HUD");
    FlowGraph::link(*game, "UI", *hud);
    FlowGraph::link(*game, "Secret Door", *graph.menu("Bonus"));
    FlowGraph::link(*game, "Level 2", *graph.world("Level 2"));
    hud->screen()->m_closeAnimationFrames->setValue(6, true);
    ZqPScreenScene* field = enter(graph, *game);
    ASSERT_NE(field, nullptr);
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    ZqPScreenUi* overlay = navigator->currentUiScreen();
    ASSERT_NE(overlay, nullptr);
    ZqPObjectAssetCharacter* touching = hero(field);
    ASSERT_NE(touching, nullptr);

    ZqPObjectAssetScreenJump* door = screenJump(field, "Secret Door", true);
    door->beginContact(touching, nullptr, true);
    door->update(kStep);
    EXPECT_EQ(overlay->actionState(), ZqPScreen::kActionWaiting) << "the overlay's close animation runs first";
    EXPECT_EQ(navigator->currentKey(), "HUD");
    ZqPObjectAssetScreenJump* level = screenJump(field, "Level 2", false);
    level->beginContact(touching, nullptr, true);
    level->update(kStep);
    for (int i = 0; i < 14; ++i)
        frame();
    EXPECT_EQ(navigator->currentKey(), "Bonus") << "pushed over the field after 0.2 s";
    EXPECT_EQ(navigator->currentGameScene(), field) << "the jump asked meanwhile was dropped";
    frame();
    EXPECT_TRUE(field->isPaused()) << "the door pauses the world it leaves";

    // From the pushed screen's overlay, a jump to a world switches to a fresh field.
    level->beginContact(touching, nullptr, true);
    level->update(kStep);
    frame();
    EXPECT_EQ(navigator->currentKey(), "Level 2");
    EXPECT_NE(navigator->currentGameScene(), field);
    frame();
}

} // namespace
