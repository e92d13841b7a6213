// Screens over a running field: the overlay in the field's container, the pause button
// pushing the pause screen and pausing the field (its steps, image actions and field
// sounds), back resuming it, back-to the running world, and names resolved on the
// overlay's node, then on the world node.
#include "engine/textures/MediaFixtures.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqDrawingFunctions.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAssetMirror.h"
#include "objects/ZqPhysicsWorld.h"
#include "screens/field/ZqPScreenScene.h"
#include "tools/ZqGameBuilder.h"
#include "ui_screen_support.h"

#include "platform/CCFileUtils.h"
#include "sprite_nodes/CCSpriteFrameCache.h"

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

    // A two-frame looping animation (its frames change every 1/30 s) and a five-second
    // sound, with their media under a resource root of the test's own.
    void makeMedia()
    {
        m_media.atlas(kAtlas, "Atlas", 64, 2);
        m_media.sprite(kAtlas + 1, "Red", kAtlas, 8, 8, {255, 0, 0, 255});
        m_media.sprite(kAtlas + 2, "Blue", kAtlas, 8, 8, {0, 0, 255, 255});
        m_media.container(kAtlas + 3, "Blink", 1.0f, {kAtlas + 1, kAtlas + 2});
        m_media.animation(kAtlas + 4, kAtlas + 5, "Blink", kAtlas + 3, true);
        m_media.sound(kAtlas + 6, "Hum", 5.0);
        m_media.writeMedia(m_mediaDir.file("data"));
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(m_mediaDir.file(""));
        cocos2d::CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(
            m_mediaDir.file("data/atlases/atlas_ID" + std::to_string(kAtlas) + ".plist").c_str());
        for (const std::shared_ptr<ZqModel>& model : m_media.models())
            ZqModelController::shared()->addModel(model);
    }
    void TearDown() override
    {
        UiScreenTest::TearDown();
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");
    }
    // The blinking animation playing in the field's camera; its sprite.
    cocos2d::CCSprite* blinkingInField()
    {
        ZqPAnimationObject* animation = ZqPAnimationObject::create(m_media.at<ZqModelAnimation>(kAtlas + 4));
        field()->camera()->addChild(animation);
        animation->restart();
        cocos2d::CCNode* image = animation->childNodeAt(0);
        return image && image->getChildrenCount() ? dynamic_cast<cocos2d::CCSprite*>(image->getChildren()->objectAtIndex(0))
                                                  : nullptr;
    }
    std::shared_ptr<ZqModelSound> hum() const { return m_media.at<ZqModelSound>(kAtlas + 6); }

    std::shared_ptr<ZqNodeScene> game;
    std::shared_ptr<ZqNodeUI> hud, pauseScreen, over;

private:
    // Ids far above those the controller hands out.
    static constexpr unsigned kAtlas = 90001;
    media::TempDir m_mediaDir;
    ZqGameBuilder m_media;
};

TEST_F(FieldOverlayTest, ThePauseButtonPausesUnderThePauseScreenAndBackResumes)
{
    makeMedia();
    ZqPScreenUi* hudScreen = show("Game");
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(hudScreen, field()->overlay());
    EXPECT_EQ(hudScreen->screenModel()->key(), "HUD");
    EXPECT_EQ(hudScreen->getZOrder(), ZqPScreenNavigator::kOverlayZOrder);
    b2Body* body = movingBody();
    cocos2d::CCSprite* sprite = blinkingInField();
    ASSERT_NE(sprite, nullptr);
    ZqSoundHandle button(hum(), ZqSound::kTagInterface);
    ZqSoundHandle rock(hum(), ZqSound::kTagField);
    ZqSoundHandle death(hum(), ZqSound::kTagDeath);
    for (ZqSoundHandle* sound : {&button, &rock, &death})
        (*sound)->play(true, false);
    ASSERT_EQ(rock->state(), ZqSound::kPlaying);

    lines.clear();
    touch(100, 100);
    EXPECT_EQ(history().back(), "PauseScreen");
    EXPECT_EQ(linesWith("Screen On Enter"), 1) << "one overlay build for one press";
    EXPECT_EQ(shown()->screenModel()->key(), "PauseScreen");
    frame();
    ASSERT_TRUE(field()->isPaused());
    const float x = body->GetPosition().x;
    cocos2d::CCSpriteFrame* held = sprite->displayFrame();
    held->retain();
    frames(120);
    EXPECT_EQ(body->GetPosition().x, x) << "nothing steps while paused";
    EXPECT_TRUE(sprite->getActionManager()->isTargetPaused(sprite));
    EXPECT_TRUE(sprite->isFrameDisplayed(held)) << "the animation holds its frame";
    EXPECT_EQ(button->state(), ZqSound::kPlaying) << "interface sounds play on";
    EXPECT_EQ(rock->state(), ZqSound::kPaused);
    EXPECT_EQ(death->state(), ZqSound::kPaused);
    field()->pause(nullptr);
    EXPECT_EQ(history().back(), "PauseScreen") << "a second pause is ignored";

    touch(300, 100);
    EXPECT_EQ(history().back(), "HUD");
    EXPECT_EQ(shown()->screenModel()->key(), "HUD");
    frame();
    EXPECT_FALSE(field()->isPaused());
    EXPECT_GT(body->GetPosition().x, x);
    EXPECT_FALSE(sprite->getActionManager()->isTargetPaused(sprite));
    bool changed = false;
    for (int i = 0; i < 6; ++i) {
        frame();
        changed = changed || !sprite->isFrameDisplayed(held);
    }
    EXPECT_TRUE(changed) << "the animation plays on";
    held->release();
    for (ZqSoundHandle* sound : {&button, &rock, &death})
        EXPECT_EQ((*sound)->state(), ZqSound::kPlaying);

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

TEST_F(FieldOverlayTest, TheWaterMirrorLeavesTheOverlayScreenOutAndRestoresIt)
{
    show("Game");
    ZqPScreenUi* hudScreen = field()->overlay();
    ASSERT_NE(hudScreen, nullptr);
    // The HUD's button image, green at (240, 200), on the overlay screen as the sample has it;
    // a red field object beside it, at (200, 200).
    cocos2d::CCSprite* hudImage = makeSolidColorSprite(cocos2d::CCSize(12, 12), 0, 255, 0, 255);
    hudImage->setPosition(CCPoint(240, 200));
    hudScreen->uiLayer()->addChild(hudImage);
    cocos2d::CCSprite* rock = makeSolidColorSprite(cocos2d::CCSize(12, 12), 255, 0, 0, 255);
    rock->setPosition(CCPoint(200, 200));
    field()->camera()->addChild(rock);
    // 100 x 40 texels at (240, 150): it reflects y 170..210 into y 170 down to 130.
    auto model = zqCreateModel<ZqModelObjectMirror>("water");
    model->setScale(CCPoint(1.0f, 0.4f));
    ZqPObject* mirror = ZqPObjectAsset::createAssetObject(model);
    ASSERT_NE(dynamic_cast<ZqPObjectAssetMirror*>(mirror), nullptr);
    mirror->setPosition(CCPoint(240, 150));
    field()->adoptObject(mirror, nullptr);
    frames(2);
    EXPECT_PIXEL(*this, 200, 140, 255, 0, 0);
    EXPECT_PIXEL(*this, 240, 200, 0, 255, 0);
    const std::vector<unsigned char> water = pixel(240, 140);
    EXPECT_LT(water.at(1), 128) << "the HUD's button shows upside down in the water";
    EXPECT_TRUE(hudScreen->isVisible());

    // An overlay hidden before the pass stays hidden after it.
    hudScreen->setVisible(false);
    frames(2);
    EXPECT_FALSE(hudScreen->isVisible());
    EXPECT_PIXEL(*this, 200, 140, 255, 0, 0);
}

} // namespace
